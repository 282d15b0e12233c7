<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el_GR">
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Αναίρεση</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>Ε&amp;πανάληψη</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Απο&amp;κοπή</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Αντι&amp;γραφή</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Επικόλλη&amp;ση</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Διαγραφή</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Επιλογή όλων</translation>
    </message>
</context>
<context>
    <name>QWidgetTextControl</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Αναίρεση</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>Ε&amp;πανάληψη</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Απο&amp;κοπή</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Αντι&amp;γραφή</translation>
    </message>
    <message>
        <source>Copy &amp;Link Location</source>
        <translation>Αντιγραφή &amp;διεύθυνσης συνδέσμου</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Επικόλλη&amp;ση</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Διαγραφή</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Επιλογή όλων</translation>
    </message>
</context>
<context>
    <name>QUnicodeControlCharacterMenu</name>
    <message>
        <source>Insert Unicode control character</source>
        <translation>Εισαγωγή χαρακτήρα ελέγχου Unicode</translation>
    </message>
    <message>
        <source>LRM Left-to-right mark</source>
        <translation>LRM Σήμανση από αριστερά προς τα δεξιά</translation>
    </message>
    <message>
        <source>RLM Right-to-left mark</source>
        <translation>RLM Σήμανση από δεξιά προς τα αριστερά</translation>
    </message>
    <message>
        <source>ZWJ Zero width joiner</source>
        <translation>ZWJ Σύνδεσμος μηδενικού πλάτους</translation>
    </message>
    <message>
        <source>ZWNJ Zero width non-joiner</source>
        <translation>ZWNJ Μη σύνδεσμος μηδενικού πλάτους</translation>
    </message>
    <message>
        <source>ZWSP Zero width space</source>
        <translation>ZWSP Κενό μηδενικού πλάτους</translation>
    </message>
    <message>
        <source>LRE Start of left-to-right embedding</source>
        <translation>LRE Αρχή ενσωμάτωσης από αριστερά προς τα δεξιά</translation>
    </message>
    <message>
        <source>RLE Start of right-to-left embedding</source>
        <translation>RLE Αρχή ενσωμάτωσης από δεξιά προς τα αριστερά</translation>
    </message>
    <message>
        <source>LRO Start of left-to-right override</source>
        <translation>LRO Αρχή επιβολής από αριστερά προς τα δεξιά</translation>
    </message>
    <message>
        <source>RLO Start of right-to-left override</source>
        <translation>RLO Αρχή επιβολής από δεξιά προς τα αριστερά</translation>
    </message>
    <message>
        <source>PDF Pop directional formatting</source>
        <translation>PDF Τέλος μορφοποίησης κατεύθυνσης</translation>
    </message>
    <message>
        <source>LRI Left-to-right isolate</source>
        <translation>LRI Απομόνωση από αριστερά προς τα δεξιά</translation>
    </message>
    <message>
        <source>RLI Right-to-left isolate</source>
        <translation>RLI Απομόνωση από δεξιά προς τα αριστερά</translation>
    </message>
    <message>
        <source>FSI First strong isolate</source>
        <translation>FSI Απομόνωση κατά τον πρώτο ισχυρό χαρακτήρα</translation>
    </message>
    <message>
        <source>PDI Pop directional isolate</source>
        <translation>PDI Τέλος απομόνωσης κατεύθυνσης</translation>
    </message>
</context>
<context>
    <name>QScrollBar</name>
    <message>
        <source>Scroll here</source>
        <translation>Κύλιση εδώ</translation>
    </message>
    <message>
        <source>Left edge</source>
        <translation>Αριστερό άκρο</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Επάνω άκρο</translation>
    </message>
    <message>
        <source>Right edge</source>
        <translation>Δεξί άκρο</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Κάτω άκρο</translation>
    </message>
    <message>
        <source>Page left</source>
        <translation>Σελίδα αριστερά</translation>
    </message>
    <message>
        <source>Page up</source>
        <translation>Σελίδα επάνω</translation>
    </message>
    <message>
        <source>Page right</source>
        <translation>Σελίδα δεξιά</translation>
    </message>
    <message>
        <source>Page down</source>
        <translation>Σελίδα κάτω</translation>
    </message>
    <message>
        <source>Scroll left</source>
        <translation>Κύλιση αριστερά</translation>
    </message>
    <message>
        <source>Scroll up</source>
        <translation>Κύλιση επάνω</translation>
    </message>
    <message>
        <source>Scroll right</source>
        <translation>Κύλιση δεξιά</translation>
    </message>
    <message>
        <source>Scroll down</source>
        <translation>Κύλιση κάτω</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>Εντάξει</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Αποθήκευση</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>Αποθήκευση όλων</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Άνοιγμα</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ναι</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Ναι σε &amp;όλα</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>Ό&amp;χι</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>Όχι σε ό&amp;λα</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Διακοπή</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Επανάληψη</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Παράβλεψη</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Κλείσιμο</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Άκυρο</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Απόρριψη</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Βοήθεια</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Εφαρμογή</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Επαναφορά</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Επαναφορά προεπιλογών</translation>
    </message>
    <message>
        <source>Don&apos;t Save</source>
        <translation>Χωρίς αποθήκευση</translation>
    </message>
    <message>
        <source>Close without Saving</source>
        <translation>Κλείσιμο χωρίς αποθήκευση</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <source>Show Details...</source>
        <translation>Εμφάνιση λεπτομερειών...</translation>
    </message>
    <message>
        <source>Hide Details...</source>
        <translation>Απόκρυψη λεπτομερειών...</translation>
    </message>
    <message>
        <source>&amp;Show this message again</source>
        <translation>&amp;Να εμφανίζεται ξανά αυτό το μήνυμα</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>Look in:</source>
        <translation>Αναζήτηση σε:</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Πίσω</translation>
    </message>
    <message>
        <source>Go back</source>
        <translation>Μετάβαση πίσω</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Εμπρός</translation>
    </message>
    <message>
        <source>Go forward</source>
        <translation>Μετάβαση εμπρός</translation>
    </message>
    <message>
        <source>Parent Directory</source>
        <translation>Γονικός φάκελος</translation>
    </message>
    <message>
        <source>Go to the parent directory</source>
        <translation>Μετάβαση στον γονικό φάκελο</translation>
    </message>
    <message>
        <source>Create New Folder</source>
        <translation>Δημιουργία νέου φακέλου</translation>
    </message>
    <message>
        <source>Create a New Folder</source>
        <translation>Δημιουργία νέου φακέλου</translation>
    </message>
    <message>
        <source>List View</source>
        <translation>Προβολή λίστας</translation>
    </message>
    <message>
        <source>Change to list view mode</source>
        <translation>Προβολή ως λίστα</translation>
    </message>
    <message>
        <source>Detail View</source>
        <translation>Προβολή λεπτομερειών</translation>
    </message>
    <message>
        <source>Change to detail view mode</source>
        <translation>Προβολή με λεπτομέρειες</translation>
    </message>
    <message>
        <source>Sidebar</source>
        <translation>Πλευρική στήλη</translation>
    </message>
    <message>
        <source>List of places and bookmarks</source>
        <translation>Τοποθεσίες και σελιδοδείκτες</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Αρχεία</translation>
    </message>
    <message>
        <source>Files of type:</source>
        <translation>Αρχεία τύπου:</translation>
    </message>
    <message>
        <source>File &amp;name:</source>
        <translation>Όνομα &amp;αρχείου:</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Φάκελος:</translation>
    </message>
    <message>
        <source>Directories</source>
        <translation>Φάκελοι</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Όλα τα αρχεία (*)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ά&amp;νοιγμα</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Αποθήκευση</translation>
    </message>
    <message>
        <source>&amp;Choose</source>
        <translation>&amp;Επιλογή</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Άνοιγμα</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Αποθήκευση ως</translation>
    </message>
    <message>
        <source>Find Directory</source>
        <translation>Εύρεση φακέλου</translation>
    </message>
    <message>
        <source>Show </source>
        <translation>Εμφάνιση </translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Μετονομασία</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Διαγραφή</translation>
    </message>
    <message>
        <source>Show &amp;hidden files</source>
        <translation>Εμφάνιση &amp;κρυφών αρχείων</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>&amp;Νέος φάκελος</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Νέος φάκελος</translation>
    </message>
    <message>
        <source>Recent Places</source>
        <translation>Πρόσφατες τοποθεσίες</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Αφαίρεση</translation>
    </message>
    <message>
        <source>Could not delete directory.</source>
        <translation>Ο φάκελος δεν διαγράφηκε.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is write protected.
Do you want to delete it anyway?</source>
        <translation>Το «%1» προστατεύεται από εγγραφή.
Να διαγραφεί παρ&apos; όλα αυτά;</translation>
    </message>
    <message>
        <source>Are you sure you want to delete &apos;%1&apos;?</source>
        <translation>Να διαγραφεί το «%1»;</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>Το %1 υπάρχει ήδη.
Να αντικατασταθεί;</translation>
    </message>
    <message>
        <source>%1
Directory not found.
Please verify the correct directory name was given.</source>
        <translation>%1
Ο φάκελος δεν βρέθηκε.
Ελέγξτε ότι δώσατε σωστό όνομα φακέλου.</translation>
    </message>
    <message>
        <source>%1
File not found.
Please verify the correct file name was given.</source>
        <translation>%1
Το αρχείο δεν βρέθηκε.
Ελέγξτε ότι δώσατε σωστό όνομα αρχείου.</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Name</source>
        <translation>Όνομα</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Μέγεθος</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Τύπος</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Είδος</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Τροποποίηση</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Ο υπολογιστής μου</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Υπολογιστής</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Μη έγκυρο όνομα αρχείου</translation>
    </message>
    <message>
        <source>&lt;b&gt;The name &quot;%1&quot; cannot be used.&lt;/b&gt;&lt;p&gt;Try using another name, with fewer characters or no punctuation marks.</source>
        <translation>&lt;b&gt;Το όνομα «%1» δεν μπορεί να χρησιμοποιηθεί.&lt;/b&gt;&lt;p&gt;Δοκιμάστε άλλο όνομα, με λιγότερους χαρακτήρες ή χωρίς σημεία στίξης.</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Μονάδα δίσκου</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Φάκελος</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Αρχείο</translation>
    </message>
    <message>
        <source>%1 File</source>
        <translation>Αρχείο %1</translation>
    </message>
    <message>
        <source>Alias</source>
        <translation>Ψευδώνυμο</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Συντόμευση</translation>
    </message>
    <message>
        <source>File Folder</source>
        <translation>Φάκελος αρχείων</translation>
    </message>
</context>
</TS>
