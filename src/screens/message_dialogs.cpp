#include "screens/message_dialogs.h"

#include "screens/screen_mechanics.h"
#include "ui_dialog1.h"
#include "ui_form5.h"
#include "ui_form7.h"

#include <QPalette>
#include <QTextDocument>

namespace tavrelo {

namespace {

// Window frames: a fixed dialog frame without minimise or maximise button, kept out of the
// task bar; or the usual resizable frame.
constexpr Qt::WindowFlags kFixedDialog = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

}  // namespace

Dialog1::Dialog1(QWidget* parent) : QWidget(parent, kFixedDialog), ui(std::make_unique<Ui::Dialog1>())
{
    ui->setupUi(this);
    setFixedSize(size());
    move(268, 246);
    setWindowIcon(noIcon());
    ui->Label1->setFont(screenFont("UB-Script", 15.75, true, false, true));
    ui->Label2->setFont(screenFont("UB-Script", 12));
    makeRed(ui->Label1);
    makeRed(ui->Label2);
    connect(ui->OKButton, &QPushButton::clicked, this, &QWidget::close);
}

Dialog1::~Dialog1() = default;

const QString Form5::kMessage = QStringLiteral(
    "ΠΡΟΣΟΧΗ\u2026.. Δεν έχετε εισάγει όλες τις συντεταγμένες των κοινών σημείων. \r\n");

Form5::Form5(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form5>())
{
    ui->setupUi(this);
    setWindowIcon(applicationIcon());
    ui->Text1->setFont(screenFont("Arial", 9.75));
    // Red text on the colour of scroll bars.
    QPalette palette = ui->Text1->palette();
    palette.setColor(QPalette::Text, QColor(255, 0, 0));
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    ui->Text1->setPalette(palette);
    ui->Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->Text1->document()->setDocumentMargin(2);
    ui->Text1->setPlainText(kMessage);
    useHandPointer(ui->Command1);
    connect(ui->Command1, &QPushButton::clicked, this, &QWidget::close);
}

Form5::~Form5() = default;

Form7::Form7(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form7>())
{
    ui->setupUi(this);
    setWindowIcon(noIcon());
    ui->Label1->setFont(screenFont("UB-Script", 14.25, false, false, true));
    ui->Label2->setFont(screenFont("UB-Script", 12));
    makeRed(ui->Label1);
    makeRed(ui->Label2);
    connect(ui->Command1, &QPushButton::clicked, this, &QWidget::close);
}

Form7::~Form7() = default;

}  // namespace tavrelo
