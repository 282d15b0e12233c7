#include "cli/help.h"

#include "data/format_conversion.h"

namespace tavrelo::cli {

namespace {

const char* const kComputeUsage =
    "  tavrelo-cli compute FILE --common PN X Y h --common PN X Y h [--scale] [-p PARAMS] [--json]\n";
const char* const kFitUsage =
    "  tavrelo-cli fit FILE TARGETS [--model MODEL] [--scale] [--exclude PN]... [--tolerance T]\n"
    "                               [--drop-outliers] [-p PARAMS] [--report REPORT] [--json]\n";
const char* const kApplyUsage =
    "  tavrelo-cli apply PARAMS FILE RESULT [--inverse]\n"
    "  tavrelo-cli apply PARAMS --output-dir DIR FILE... [--inverse]\n";
const char* const kConvertUsage = "  tavrelo-cli convert LAYOUT FILE [-o RESULT]\n";
const char* const kDxfUsage = "  tavrelo-cli dxf PARAMS DRAWING RESULT [--inverse] [--skip-unknown] [--json]\n";

const char* const kExitStatus =
    "Κατάσταση εξόδου: 0 έγινε· 1 αποτυχία (το μήνυμα στο stderr, κανένα αρχείο δεν γράφεται ή\n"
    "αλλάζει)· 2 λάθος χρήση.\n";

std::string layoutList()
{
    std::string list;
    for (std::size_t i = 0; i < kConversionLayouts.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        list += "  " + std::string(3 - number.size(), ' ') + number + "  " + kConversionLayouts[i] + "\n";
    }
    return list;
}

}  // namespace

std::string usageText(const std::string& command)
{
    if (command == "compute")
        return std::string("Χρήση:\n") + kComputeUsage;
    if (command == "fit")
        return std::string("Χρήση:\n") + kFitUsage;
    if (command == "apply")
        return std::string("Χρήση:\n") + kApplyUsage;
    if (command == "convert")
        return std::string("Χρήση:\n") + kConvertUsage;
    if (command == "dxf")
        return std::string("Χρήση:\n") + kDxfUsage;
    return std::string("Χρήση:\n") + kComputeUsage + kFitUsage + kApplyUsage + kConvertUsage + kDxfUsage +
           "  tavrelo-cli --version | --help\n";
}

std::string helpText(const std::string& command)
{
    if (command == "compute")
        return usageText(command) +
               "\n"
               "Οι παράμετροι από δύο κοινά σημεία, όπως τις υπολογίζει η οθόνη «Κοινά σημεία»: στροφή φ\n"
               "(βαθμοί), κλίμακα, Dh, Dx, Dy και τυπική απόκλιση, με τα ίδια ακριβώς κείμενα. Τα σημεία\n"
               "βρίσκονται στο FILE με τον αριθμό τους (η πρώτη εγγραφή με αυτόν)· το αρχείο μπορεί να\n"
               "έχει οσαδήποτε σημεία. Αν τα μήκη της πλευράς 1-2 στα δύο συστήματα διαφέρουν πάνω από\n"
               "0.06, τυπώνεται και η προειδοποίηση.\n"
               "\n"
               "Επιλογές:\n"
               "  --common PN X Y h   κοινό σημείο: ο αριθμός του στο FILE και οι συντεταγμένες του στο\n"
               "                      νέο σύστημα, με τελεία για δεκαδικά· δύο φορές, πρώτα το σημείο 1\n"
               "  --scale             υπολογισμός κλίμακας (αλλιώς κλίμακα 1)\n"
               "  -p PARAMS           γράφει το αρχείο παραμέτρων (επτά γραμμές, όπως το O.K. της οθόνης)\n"
               "                      για την εντολή apply\n"
               "  --json              τα αποτελέσματα σε JSON: f, dx1, Dy1, Dh, klimax, SD ως κείμενα,\n"
               "                      distance_warning true/false\n"
               "  -h, --help          αυτή η βοήθεια\n"
               "\n"
               "Παράδειγμα:\n"
               "  tavrelo-cli compute survey.txt --common Σ1 475000 4201000 110.644 \\\n"
               "      --common Σ4 474914.629 4200971.510 108.708 -p survey.par\n"
               "\n" +
               kExitStatus;
    if (command == "fit")
        return usageText(command) +
               "\n"
               "Οι παράμετροι με ελάχιστα τετράγωνα από πολλά κοινά σημεία. Το TARGETS έχει τα σημεία\n"
               "στο νέο σύστημα στη μορφή Pn,X,Y,h,D (Windows-1253)· αντιστοιχίζονται με τον αριθμό τους\n"
               "στα σημεία του FILE. Κέντρο στροφής το κέντρο βάρους των σημείων που χρησιμοποιούνται.\n"
               "Τυπώνει την αναφορά: παράμετροι, σ0, σ υψομέτρων και τα υπόλοιπα κάθε σημείου.\n"
               "\n"
               "Μοντέλα (--model):\n"
               "  similarity          ομοιότητα (προεπιλογή): στροφή, μετάθεση και, με --scale, κλίμακα·\n"
               "                      για δύο αποτυπώσεις του ίδιου τόπου· τουλάχιστον 2 σημεία\n"
               "  affine              ομοπαραλληλικός, 6 παράμετροι: κλίμακα και στροφή κάθε άξονα χωριστά·\n"
               "                      για παλιό σχέδιο που συρρικνώθηκε άνισα ή σάρωση με λοξότητα·\n"
               "                      τουλάχιστον 3 σημεία, όχι σε μία ευθεία\n"
               "  poly2               πολυώνυμο 2ου βαθμού, 12 παράμετροι (a, b σε km από το κέντρο\n"
               "                      βάρους)· για τα παλιά συστήματα (ΗΑΤΤ, ΤΜ3) προς ΕΓΣΑ87·\n"
               "                      τουλάχιστον 6 σημεία, καλά απλωμένα\n"
               "\n"
               "Επιλογές:\n"
               "  --model MODEL       similarity, affine ή poly2 (δείτε πάνω)\n"
               "  --scale             υπολογισμός κλίμακας (αλλιώς κλίμακα 1)· μόνο στην ομοιότητα\n"
               "  --exclude PN        το σημείο PN δεν χρησιμοποιείται (όσες φορές χρειάζεται)\n"
               "  --tolerance T       ανοχή του υπολοίπου v (προεπιλογή 0.06)\n"
               "  --drop-outliers     απόρριψη, ένα ένα, των σημείων με το μεγαλύτερο υπόλοιπο πάνω από\n"
               "                      την ανοχή, όσο μένουν περισσότερα σημεία από τα ελάχιστα του\n"
               "                      μοντέλου (2, 3 ή 6)\n"
               "  -p PARAMS           γράφει το αρχείο παραμέτρων για την εντολή apply: τις επτά γραμμές\n"
               "                      της ομοιότητας, ή για affine και poly2 ένα αρχείο μοντέλου\n"
               "                      (TAVRELO-MODEL 1), που δεν μεταφέρει σχέδια DXF\n"
               "  --report REPORT     γράφει την αναφορά σε αρχείο (Windows-1253, CR LF)\n"
               "  --json              τα αποτελέσματα σε JSON: model, parameters (ομοιότητα) ή\n"
               "                      coefficients, used, sigma0, height_sigma, points, unmatched\n"
               "  -h, --help          αυτή η βοήθεια\n"
               "\n"
               "Παράδειγμα:\n"
               "  tavrelo-cli fit survey.txt targets.txt --scale --drop-outliers -p survey.par \\\n"
               "      --report survey_fit.txt\n"
               "  tavrelo-cli fit old_plan.txt old_plan_common_points.txt --model affine \\\n"
               "      --drop-outliers -p old_plan.model\n"
               "\n" +
               kExitStatus;
    if (command == "apply")
        return usageText(command) +
               "\n"
               "Εφαρμόζει το αρχείο παραμέτρων PARAMS (από τις compute ή fit, ή το file001.tmp του\n"
               "προγράμματος) σε κάθε σημείο του FILE και γράφει το αρχείο αποτελεσμάτων, byte προς byte\n"
               "όπως η οθόνη αποθήκευσης. Στην κεφαλίδα γράφεται η πλήρης διαδρομή του FILE. Το PARAMS\n"
               "μπορεί να είναι και αρχείο μοντέλου (fit --model affine ή poly2 -p): η κεφαλίδα γράφει\n"
               "τότε το μοντέλο και τους συντελεστές του.\n"
               "\n"
               "Επιλογές:\n"
               "  --output-dir DIR    κάθε FILE γράφεται στον φάκελο DIR με το δικό του όνομα. Όλα ή\n"
               "                      κανένα: αν ένα αρχείο αποτύχει, κανένα αποτέλεσμα δεν γράφεται\n"
               "  --inverse           αντίστροφα: τα σημεία του FILE είναι στο σύστημα προορισμού και\n"
               "                      γυρίζουν στο αρχικό (για χάραξη)· η κεφαλίδα το γράφει. Το\n"
               "                      πολυώνυμο 2ου βαθμού αντιστρέφεται με τη μέθοδο Newton, στο 0.1 mm\n"
               "  -h, --help          αυτή η βοήθεια\n"
               "\n"
               "Παραδείγματα:\n"
               "  tavrelo-cli apply survey.par survey.txt survey_target.txt\n"
               "  tavrelo-cli apply survey.par --output-dir target/ day1.txt day2.txt day3.txt\n"
               "  tavrelo-cli apply survey.par stakeout_target.txt stakeout_local.txt --inverse\n"
               "\n" +
               kExitStatus;
    if (command == "convert")
        return usageText(command) +
               "\n"
               "Μετατρέπει το FILE από τη μορφή LAYOUT στη μορφή Pn,X,Y,h,D του προγράμματος, όπως η\n"
               "οθόνη «Αλλαγή Format». Χωρίς -o το αποτέλεσμα γράφεται δίπλα στο FILE ως PENZD_ και το\n"
               "όνομά του. LAYOUT είναι ο αριθμός ή το κείμενο της μορφής:\n" +
               layoutList() +
               "\n"
               "Επιλογές:\n"
               "  -o RESULT           το αρχείο αποτελέσματος\n"
               "  -h, --help          αυτή η βοήθεια\n"
               "\n"
               "Παραδείγματα:\n"
               "  tavrelo-cli convert Y,X,Z,D station.txt\n"
               "  tavrelo-cli convert 11 station.txt -o station_pxyhd.txt\n"
               "\n" +
               kExitStatus;
    if (command == "dxf")
        return usageText(command) +
               "\n"
               "Μεταφέρει το σχέδιο DRAWING (ASCII DXF, από R12 έως AC1032) με το αρχείο παραμέτρων\n"
               "PARAMS και γράφει το RESULT: κάθε θέση, διεύθυνση, μήκος, κλίμακα μπλοκ και γωνία του\n"
               "χώρου μοντέλου μετασχηματίζεται όπως τα σημεία (τα υψόμετρα με το Dh), ενώ κάθε άλλη\n"
               "γραμμή του αρχείου μένει byte προς byte όπως ήταν· γωνία, κλίμακα ή υψόμετρο που μια\n"
               "οντότητα παραλείπει (στην προεπιλογή τους) προστίθεται. Ο χώρος χαρτιού και τα μπλοκ\n"
               "μένουν· μετακινούνται οι εισαγωγές τους. Δυαδικό DXF και DWG δεν διαβάζονται:\n"
               "αποθηκεύστε τα ως ASCII DXF.\n"
               "\n"
               "Επιλογές:\n"
               "  --inverse           αντίστροφα: από το σύστημα προορισμού στο αρχικό\n"
               "  --skip-unknown      οι οντότητες που δεν μεταφέρονται (άγνωστος τύπος, στερεά,\n"
               "                      κεκλιμένη εξώθηση) μένουν όπως είναι και αναφέρονται· χωρίς αυτή\n"
               "                      το σχέδιο δεν γράφεται\n"
               "  --json              τα αποτελέσματα σε JSON: carried (πλήθος ανά τύπο), stayed\n"
               "                      ([{type, handle}]), extents ({min, max} ή null)\n"
               "  -h, --help          αυτή η βοήθεια\n"
               "\n"
               "Παραδείγματα:\n"
               "  tavrelo-cli dxf survey.par survey.dxf survey_target.dxf\n"
               "  tavrelo-cli dxf survey.par stakeout_target.dxf stakeout_local.dxf --inverse\n"
               "\n" +
               kExitStatus;
    return "tavrelo-cli — ο μετασχηματισμός συντεταγμένων του Tavrelo από τη γραμμή εντολών, χωρίς\n"
           "παράθυρα: για σενάρια εντολών και για πολλά αρχεία μαζί.\n"
           "\n" +
           usageText(command) +
           "\n"
           "Εντολές:\n"
           "  compute   παράμετροι από δύο κοινά σημεία, όπως στην οθόνη «Κοινά σημεία»\n"
           "  fit       παράμετροι με ελάχιστα τετράγωνα από πολλά κοινά σημεία\n"
           "  apply     εφαρμογή αρχείου παραμέτρων σε αρχεία συντεταγμένων\n"
           "  convert   μετατροπή αρχείου άλλης μορφής στη μορφή Pn,X,Y,h,D\n"
           "  dxf       μεταφορά σχεδίου DXF με αρχείο παραμέτρων\n"
           "\n"
           "Τα αρχεία συντεταγμένων είναι κείμενο Windows-1253 με μια εγγραφή Pn,X,Y,h,D το σημείο.\n"
           "Οι αριθμοί γράφονται με τελεία. Το πρόγραμμα δεν αγγίζει τα αρχεία file000.tmp και\n"
           "file001.tmp της οθόνης, εκτός αν δοθούν ως ορίσματα.\n"
           "\n"
           "Παραδείγματα:\n"
           "  tavrelo-cli compute survey.txt --common Σ1 475000 4201000 110.644 \\\n"
           "      --common Σ4 474914.629 4200971.510 108.708 -p survey.par\n"
           "  tavrelo-cli fit survey.txt targets.txt --drop-outliers -p survey.par\n"
           "  tavrelo-cli apply survey.par --output-dir target/ day1.txt day2.txt\n"
           "  tavrelo-cli convert Y,X,Z,D station.txt\n"
           "  tavrelo-cli dxf survey.par survey.dxf survey_target.dxf\n"
           "\n"
           "Για κάθε εντολή: tavrelo-cli ΕΝΤΟΛΗ --help\n" +
           kExitStatus;
}

}  // namespace tavrelo::cli
