#include "screens/shell_screens.h"

#include "screens/choosers_screens.h"
#include "screens/form3.h"
#include "screens/screen_mechanics.h"
#include "ui_dialog.h"
#include "ui_form2.h"
#include "ui_frmsplash.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVersionNumber>

namespace tavrelo {

namespace {

QPixmap logo()
{
    return QPixmap(QStringLiteral(":/logo.bmp"));
}

}  // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), ui(std::make_unique<Ui::frmSplash>())
{
    ui->setupUi(this);
    setFixedSize(size());
    move(158, 104);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(QCursor(QPixmap(QStringLiteral(":/hand.png")), 10, 1));
    ui->Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    ui->Frame1->installEventFilter(this);
    ui->imgLogo->setPixmap(logo());
    ui->imgLogo->setScaledContents(true);
    ui->lblProductName->setFont(screenFont("Athena", 15.75, true, true));
    ui->lblPlatform->setFont(screenFont("Arial", 15.75, true));
    ui->lblVersion->setFont(screenFont("Arial", 12, true));
    ui->lblCopyright->setFont(screenFont("Arial", 9, true, true));
    ui->lblCompany->setFont(screenFont("Athena", 9, false, true));
    Form_Load();
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load()
{
    const QVersionNumber version = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    ui->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                                .arg(version.majorVersion())
                                .arg(version.minorVersion())
                                .arg(version.microVersion()));
    ui->lblProductName->setText(QCoreApplication::applicationName());
    // These labels size themselves to their text; a right-aligned one keeps its right edge.
    for (QLabel* label : {ui->lblProductName, ui->lblPlatform, ui->lblVersion}) {
        const int right = label->geometry().right();
        label->adjustSize();
        if (label->alignment() & Qt::AlignRight)
            label->move(right - label->width() + 1, label->y());
    }
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Any key that yields a character (Enter and Esc included); Shift alone or an arrow
    // key does nothing.
    if (!event->text().isEmpty())
        openMenu();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the free area of the frame; a click on a label or the logo does nothing.
    if (watched == ui->Frame1 && event->type() == QEvent::MouseButtonPress) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (!ui->Frame1->childAt(click->position().toPoint()))
            openMenu();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::openMenu()
{
    showScreen<Form2>();
    close();
}

Form2::Form2(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form2>())
{
    ui->setupUi(this);
    move(74, 115);
    setWindowIcon(applicationIcon());
    ui->Picture1->setPixmap(logo());
    ui->Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui->Picture1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    ui->Label1->setFont(screenFont("Arial", 9.75, true, true));
    ui->Label2->setFont(screenFont("Arial", 9.75, true, true));
    for (QPushButton* button : std::initializer_list<QPushButton*>{ui->Command1, ui->Command2, ui->Command3,
                                                                    ui->Command4, ui->Command5})
        useHandPointer(button);
    connect(ui->Command1, &QPushButton::clicked, this, [] { showScreen<Form1>(); });
    connect(ui->Command2, &QPushButton::clicked, this, [] { showScreen<Form3>(); });
    connect(ui->Command3, &QPushButton::clicked, this, [] { showScreen<Form4>(); });
    connect(ui->Command4, &QPushButton::clicked, this, [] { endProgram(); });
    connect(ui->Command5, &QPushButton::clicked, this, [] { showScreen<Dialog>(); });
}

Form2::~Form2() = default;

const QString Dialog::kHelpText = QStringLiteral(
    "Το πρόγραμμα κάνει αλλαγή συστήματος συντεταγμένων σε ένα αρχείο συντεταγμένων.\r\n"
    "Γνωρίζοντας τις συντεταγμένες σε δύο τουλάχιστο σημεία στο σύστημα  στο οποίο θέλουμε να πάμε \r\n"
    "το αρχείο μας, γίνεται αναλυτικός υπολογισμός των παραμέτρων στροφής  και μετατόπισης και στη \r\n"
    "συνέχεια υπολογίζονται η νέες συντεταγμένες για όλο το αρχείο.\r\n"
    "Το format του αρχείου συντεταγμένων \"εισόδου\" θα πρέπει να είναι:\r\n"
    "Pn,X,Y,h,D\r\n"
    "\t\tΌπου \tPn=αριθμός σημείου  \r\n"
    "       \t\t   \tΧ ,Υ, h  = οι συντεταγμένες\r\n"
    "\t\t\tD = περιγραφή του σημείου.\r\n"
    "ΠΡΟΣΟΧΗ: Το πρόγραμμα λειτουργεί σε επίπεδες καρτεσιανές συντεταγμένες. Δεν μπορεί να δώσει \r\n"
    "ασφαλή αποτελέσματα σε περιπτώσεις που το DATUM και το προβολικό σύστημα παίζει σημαντικό \r\n"
    "ρόλο στους υπολογισμούς. Έτσι δεν μπορεί για παράδειγμα να κάνει μετατροπή ΗΑΤΤ σε ΕΓΣΑ  για \r\n"
    "μεγάλες αποστάσεις μεταξύ σημείων. Πρέπει να είμαστε πολύ προσεκτικοί στην επιλογή \r\n"
    "\"Υπολογισμός Κλίμακας\" καθώς αν τα σημεία εξάρτησης είναι κοντά σε σχέση με ολόκληρη την \r\n"
    "αποτύπωση αυτό μπορεί να μας δώσει λανθασμένες τελικέςσυνταταγμένες\r\n"
    "Για λόγους που αφορούν την μεθοδο υπολογισμού είναι καλό ώς πρώτο σημείο εξάρτησης να δώσουμε \r\n"
    "το σημείο που είναι \"καλύτερα\" ορισμένο (πχ. Στάση)\r\n"
    "Για κάθε ερώτηση ή παρατήρηση μπορείτε να επικοινωνήσετε μαζί μου:\r\n"
    "\tΤηλ: —      e-mail: " TAVRELO_CONTACT "\r\n");

Dialog::Dialog(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::Dialog>())
{
    ui->setupUi(this);
    setFixedSize(size());
    move(145, 106);
    setWindowIcon(applicationIcon());
    setFont(screenFont("Arial", 8.25));
    ui->OKButton->setFont(screenFont("MS Sans Serif", 8.25));
    ui->Text1->setFont(screenFont("MS Sans Serif", 8.25));
    ui->Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->Text1->setTabStopDistance(8 * ui->Text1->fontMetrics().averageCharWidth());
    // Shown afresh on every opening: edits on screen are not kept.
    ui->Text1->setPlainText(kHelpText);
    useHandPointer(ui->OKButton);
    connect(ui->OKButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Command1, &QPushButton::clicked, this, [this] {
        showScreen<Form6>();
        close();
    });
}

Dialog::~Dialog() = default;

void endProgram()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
        window->deleteLater();
    }
    QCoreApplication::exit(0);
}

}  // namespace tavrelo
