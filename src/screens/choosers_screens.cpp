#include "screens/choosers_screens.h"

#include "data/format_conversion.h"
#include "screens/choosers.h"
#include "screens/drawing_screen.h"
#include "screens/file_lists.h"
#include "screens/screen_mechanics.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"
#include "ui_form1.h"
#include "ui_form4.h"
#include "ui_form6.h"

#include <QDir>
#include <QApplication>
#include <QCursor>

namespace tavrelo {

namespace {

// The frame, icon, pointers and Cancel that the three choosers share.
template <class Ui>
void setUpChooser(QWidget* screen, Ui* ui)
{
    ui->setupUi(screen);
    screen->setWindowIcon(applicationIcon());
    screen->setFont(screenFont("MS Sans Serif", 8.25));
    screen->setFixedSize(screen->size());
    useHandPointer(ui->Command1);
    useHandPointer(ui->Command2);
    QObject::connect(ui->Command2, &QPushButton::clicked, screen, &QWidget::close);
    openChooserLists(ui->Drive1, ui->Dir1, ui->File1);
}

// Shows the wait cursor while a long file is written.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form1>())
{
    setUpChooser(this, ui.get());
    connect(ui->File1, &FileList::fileClicked, this, [this] { runHandler([&] { File1_Click(); }); });
    connect(ui->Command1, &QPushButton::clicked, this, [this] { runHandler([&] { Command1_Click(); }); });
}

Form1::~Form1() = default;

void Form1::File1_Click()
{
    ui->Command1->setEnabled(true);
}

void Form1::Command1_Click()
{
    const QString name = ui->File1->fileName();
    if (name.isEmpty())  // the directory changed since the click: keep the previous choice
        throw Failure("Δεν έχει επιλεγεί αρχείο στη λίστα αρχείων. Επιλέξτε το αρχείο συντεταγμένων και "
                      "πατήστε ξανά Ο.Κ.");
    writeHandoffPath(handoffFiles(), joinChooserPath(ui->Dir1->path(), name).toStdString());
    close();
}

Form4::Form4(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form4>())
{
    setUpChooser(this, ui.get());
    connect(ui->File1, &FileList::fileClicked, this, [this] { runHandler([&] { File1_Click(); }); });
    connect(ui->Text1, &QLineEdit::textChanged, this, [this] { runHandler([&] { Text1_Change(); }); });
    connect(ui->Command1, &QPushButton::clicked, this, [this] { runHandler([&] { Command1_Click(); }); });
    // The drawing of the survey carried by the same parameters, on its own screen.
    useHandPointer(ui->drawingButton);
    // It carries the drawing the way the Αντίστροφα box says, and follows the box while open.
    connect(ui->drawingButton, &QPushButton::clicked, this, [this] {
        runHandler([&] { showScreen<DrawingScreen>()->setInverse(ui->inverseBox->isChecked()); });
    });
    connect(ui->inverseBox, &QCheckBox::toggled, this, [](bool inverse) {
        if (DrawingScreen* drawing = openScreen<DrawingScreen>())
            drawing->setInverse(inverse);
    });
}

Form4::~Form4() = default;

void Form4::File1_Click()
{
    ui->Text1->setText(ui->File1->fileName());
    ui->Command1->setEnabled(true);
}

void Form4::Text1_Change()
{
    // A name of spaces only counts as a name.
    ui->Command1->setEnabled(!ui->Text1->text().isEmpty());
}

void Form4::Command1_Click()
{
    const std::string path = resultFilePath(QDir::toNativeSeparators(ui->Dir1->path()).toStdString(), ui->Text1->text().toStdString());
    {
        const WaitCursor wait;
        applyTransformation(path, handoffFiles(),
                            ui->inverseBox->isChecked() ? Direction::Inverse : Direction::Forward);
    }
    close();
}

Form6::Form6(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form6>())
{
    setUpChooser(this, ui.get());
    ui->Label2->setWordWrap(true);
    connect(ui->File1, &FileList::fileClicked, this, [this] { runHandler([&] { File1_Click(); }); });
    connect(ui->Command1, &QPushButton::clicked, this, [this] { runHandler([&] { Command1_Click(); }); });
    runHandler([&] { Form_Load(); });
}

Form6::~Form6() = default;

void Form6::Form_Load()
{
    for (const char* layout : kConversionLayouts)
        ui->Combo1->addItem(QString::fromLatin1(layout));
    ui->Combo1->setInsertPolicy(QComboBox::NoInsert);
    ui->Combo1->setCompleter(nullptr);
    // Typing leaves no layout chosen: only a pick from the list chooses one.
    disconnect(ui->Combo1->lineEdit(), &QLineEdit::editingFinished, ui->Combo1, nullptr);
    disconnect(ui->Combo1->lineEdit(), &QLineEdit::returnPressed, ui->Combo1, nullptr);
    connect(ui->Combo1->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (ui->Combo1->currentIndex() != -1) {
            const QSignalBlocker block(ui->Combo1);
            ui->Combo1->setCurrentIndex(-1);
            ui->Combo1->setEditText(text);
        }
    });
    ui->Combo1->setCurrentIndex(-1);
    ui->Combo1->setEditText(QString());
}

void Form6::File1_Click()
{
    ui->Command1->setEnabled(true);
}

void Form6::Command1_Click()
{
    const int layout = ui->Combo1->currentIndex();
    if (layout < 0)
        throw Failure("Δεν έχει επιλεγεί η μορφή (Format) του αρχείου. Επιλέξτε μία από τη λίστα και "
                      "πατήστε ξανά Ο.Κ.· κανένα αρχείο δεν γράφτηκε.");
    const QString name = ui->File1->fileName();
    if (name.isEmpty())
        throw Failure("Δεν έχει επιλεγεί αρχείο στη λίστα αρχείων. Επιλέξτε το αρχείο που θα μετατραπεί.");
    const QString folder = ui->Dir1->path();
    {
        const WaitCursor wait;
        convertToPointFile(joinChooserPath(folder, name).toStdString(),
                           joinChooserPath(folder, QStringLiteral("PENZD_") + name).toStdString(), layout);
    }
    close();
}

}  // namespace tavrelo
