#include "screens/form3.h"

#include "data/point_table.h"
#include "screens/fit_screen.h"
#include "screens/message_dialogs.h"
#include "screens/screen_mechanics.h"
#include "text/failure.h"
#include "transform/parameters.h"
#include "ui_form3.h"

#include <QLineEdit>
#include <QPalette>

namespace tavrelo {

namespace {

// Read-only boxes: the colour of an inactive window title behind the colour of menu text.
void makeReadOnlyLook(QLineEdit* box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(191, 205, 219));
    palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    box->setPalette(palette);
}

}  // namespace

Form3::Form3(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form3>())
{
    ui->setupUi(this);
    move(69, 96);
    setWindowIcon(applicationIcon());
    setFont(screenFont("MS Sans Serif", 8.25));
    ui->Label6->setFont(screenFont("MS Sans Serif", 8.25, true));
    QPalette heading = ui->Label6->palette();
    heading.setColor(QPalette::WindowText, heading.color(QPalette::Highlight));
    ui->Label6->setPalette(heading);

    for (QLineEdit* box : {ui->No1, ui->X1, ui->Y1, ui->h1, ui->D1, ui->No2, ui->X2, ui->Y2, ui->h2, ui->D2,
                           ui->f, ui->dx1, ui->Dy1, ui->Dh, ui->klimax})
        makeReadOnlyLook(box);
    QPalette sd = ui->SD->palette();
    sd.setColor(QPalette::Base, sd.color(QPalette::Highlight));
    sd.setColor(QPalette::Text, sd.color(QPalette::HighlightedText));
    ui->SD->setPalette(sd);

    for (QPushButton* button : {ui->Command1, ui->Command2, ui->Command3, ui->fitButton})
        useHandPointer(button);

    for (QComboBox* list : {ui->Combo1, ui->Combo2}) {
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        // A typed text that matches an entry picks nothing, at Enter or when the focus
        // leaves: only a click or the arrow keys pick.
        disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
        disconnect(list->lineEdit(), &QLineEdit::returnPressed, list, nullptr);
        keepNothingPickedWhileTyping(list);
    }

    // A pick by mouse or by the arrow keys.
    connect(ui->Combo1, &QComboBox::activated, this, [this](int row) { runHandler([&] { Combo1_Click(row); }); });
    connect(ui->Combo2, &QComboBox::activated, this, [this](int row) { runHandler([&] { Combo2_Click(row); }); });
    connect(ui->Command1, &QPushButton::clicked, this, [this] { runHandler([&] { Command1_Click(); }); });
    connect(ui->Command2, &QPushButton::clicked, this, [this] { runHandler([&] { Command2_Click(); }); });
    connect(ui->Command3, &QPushButton::clicked, this, [this] { runHandler([&] { Command3_Click(); }); });
    // The least-squares fit from many common points: a screen of its own, beside this one.
    connect(ui->fitButton, &QPushButton::clicked, this, [] { showScreen<FitScreen>(); });

    for (QLineEdit* box : {ui->X1N, ui->Y1N, ui->h1N, ui->X2N, ui->Y2N, ui->h2N})
        connect(box, &QLineEdit::textEdited, this, &Form3::parametersNoLongerShown);
    connect(ui->Check2, &QCheckBox::toggled, this, &Form3::parametersNoLongerShown);

    runHandler([&] { Form_Load(); });
}

Form3::~Form3() = default;

void Form3::keepNothingPickedWhileTyping(QComboBox* list)
{
    // Typing over the text part of a list leaves nothing picked, with the typed text kept.
    connect(list->lineEdit(), &QLineEdit::textEdited, this, [this, list](const QString& text) {
        if (list->currentIndex() != -1) {
            QLineEdit* edit = list->lineEdit();
            const int cursor = edit->cursorPosition();
            const QSignalBlocker block(list);
            list->setCurrentIndex(-1);
            edit->setText(text);
            edit->setCursorPosition(cursor);
        }
        parametersNoLongerShown();
    });
}

void Form3::parametersNoLongerShown()
{
    ui->Command2->setEnabled(false);
}

void Form3::Form_Load()
{
    // Both lists hold every point number in file order; nothing is picked, and their text
    // parts keep showing their names until the user picks an entry.
    struct Restore {
        Ui::Form3* ui;
        ~Restore()
        {
            for (QComboBox* list : {ui->Combo1, ui->Combo2}) {
                const QSignalBlocker block(list);
                list->setCurrentIndex(-1);
                list->setEditText(list->objectName());
            }
        }
    } restore{ui.get()};
    const QSignalBlocker block1(ui->Combo1);
    const QSignalBlocker block2(ui->Combo2);
    loadPointTable(handoffFiles(), [this](int, const PointRecord& record) {
        const QString pn = fromFileText(record.Pn);
        ui->Combo1->addItem(pn);
        ui->Combo2->addItem(pn);
    });
}

void Form3::showPoint(int row, QLineEdit* No, QLineEdit* X, QLineEdit* Y, QLineEdit* h, QLineEdit* D)
{
    const LoadedPoints points = loadPointTable(handoffFiles());
    if (row < 0 || row >= points.count)
        throw Failure("Το σημείο της θέσης " + std::to_string(row + 1) +
                      " δεν υπάρχει πια στο αρχείο συντεταγμένων, που άλλαξε από τότε που άνοιξε η οθόνη.");
    const PointTable& t = points.table;
    No->setText(fromFileText(t.Pn[row]));
    X->setText(displayValue(t.X[row]));
    Y->setText(displayValue(t.Y[row]));
    h->setText(displayValue(t.h[row]));
    D->setText(fromFileText(t.D[row]));
    for (QLineEdit* box : {No, X, Y, h, D})
        box->setCursorPosition(0);
    repaint();
}

void Form3::Combo1_Click(int row)
{
    if (row != computedRow1_)
        parametersNoLongerShown();
    showPoint(row, ui->No1, ui->X1, ui->Y1, ui->h1, ui->D1);
}

void Form3::Combo2_Click(int row)
{
    if (row != computedRow2_)
        parametersNoLongerShown();
    showPoint(row, ui->No2, ui->X2, ui->Y2, ui->h2, ui->D2);
}

void Form3::Command1_Click()
{
    CommonPointInput input;
    input.row1 = ui->Combo1->currentIndex();
    input.row2 = ui->Combo2->currentIndex();
    input.X1N = ui->X1N->text().toStdString();
    input.Y1N = ui->Y1N->text().toStdString();
    input.h1N = ui->h1N->text().toStdString();
    input.X2N = ui->X2N->text().toStdString();
    input.Y2N = ui->Y2N->text().toStdString();
    input.h2N = ui->h2N->text().toStdString();
    input.scaleWanted = ui->Check2->isChecked();

    const std::optional<ParameterResult> result = computeParameters(input, handoffFiles(), regionalSeparator());
    if (!result) {
        showScreen<Form5>();
        return;
    }
    if (result->distanceMismatch)
        showScreen<Dialog1>();
    ui->klimax->setText(QString::fromStdString(result->klimax));
    ui->Dh->setText(QString::fromStdString(result->Dh));
    ui->f->setText(QString::fromStdString(result->f));
    ui->dx1->setText(QString::fromStdString(result->dx1));
    ui->Dy1->setText(QString::fromStdString(result->Dy1));
    ui->SD->setText(QString::fromStdString(result->SD));
    for (QLineEdit* box : {ui->klimax, ui->Dh, ui->f, ui->dx1, ui->Dy1, ui->SD})
        box->setCursorPosition(0);
    computedRow1_ = input.row1;
    computedRow2_ = input.row2;
    ui->Command2->setEnabled(true);
}

void Form3::Command2_Click()
{
    ParameterBoxes boxes;
    boxes.f = ui->f->text().toStdString();
    boxes.Dh = ui->Dh->text().toStdString();
    boxes.klimax = ui->klimax->text().toStdString();
    boxes.X1N = ui->X1N->text().toStdString();
    boxes.Y1N = ui->Y1N->text().toStdString();
    writeTransformParameters(handoffFiles(), ui->Combo1->currentIndex(), boxes, regionalSeparator());
    close();
}

void Form3::Command3_Click()
{
    close();
}

}  // namespace tavrelo
