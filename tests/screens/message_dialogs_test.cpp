#include "screens/message_dialogs.h"

#include "screen_test_support.h"

#include <QPlainTextEdit>

namespace tavrelo {
namespace {

using namespace test;

const QString kWarning =
    QStringLiteral("Ο Συντελεστής Κλίμακας μεταξύ των δύο συστημάτων αναφοράς είναι πολύ μεγάλος.") + QString(45, ' ') +
    QStringLiteral("Αυτό μπορεί να οφείλεται σε λανθασμένη πληκτρολόγιση των συντεταγμένων , σε λάθος επιλογής "
                   "σημείων ή σε σημαντικό σφάλμα στις εξασφαλίσεις.") +
    QString(42, ' ') +
    QStringLiteral("Παρακαλώ ελεγξτε τις συντεταγμένες. Το πρόγραμμα μπορεί να συνεχίσει αλλα πιθανόν να δώσει "
                   "λάθος αποτελέσματα.");

class MessageDialogs : public ScreenTest {};

TEST_F(MessageDialogs, ShowTheirFixedTexts)
{
    Dialog1* warning = showScreen<Dialog1>();
    EXPECT_EQ(warning->windowTitle(), QStringLiteral("ΠΡΟΣΟΧΗ!!!!!!!"));
    EXPECT_EQ(control<QPushButton>(warning, "OKButton")->text(), QStringLiteral("OK"));
    EXPECT_EQ(control<QLabel>(warning, "Label1")->text(), QStringLiteral("ΠΡΟΣΟΧΗ"));
    EXPECT_EQ(control<QLabel>(warning, "Label2")->text(), kWarning);
    EXPECT_EQ(warning->size(), QSize(482, 237));
    EXPECT_EQ(control<QLabel>(warning, "Label2")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(control<QLabel>(warning, "Label1")->font().pointSizeF(), 15.75);
    EXPECT_TRUE(control<QLabel>(warning, "Label1")->font().underline());

    Form5* missing = showScreen<Form5>();
    EXPECT_EQ(missing->windowTitle(), QStringLiteral("ERROR"));
    EXPECT_EQ(control<QPushButton>(missing, "Command1")->text(), QStringLiteral("O.K."));
    EXPECT_EQ(Form5::kMessage, QStringLiteral("ΠΡΟΣΟΧΗ\u2026.. Δεν έχετε εισάγει όλες τις συντεταγμένες των κοινών "
                                              "σημείων. \r\n"));
    const QString shown = control<QPlainTextEdit>(missing, "Text1")->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("ΠΡΟΣΟΧΗ….. Δεν έχετε"))) << shown.toStdString();
    EXPECT_TRUE(control<QPlainTextEdit>(missing, "Text1")->isReadOnly());
    EXPECT_EQ(missing->size(), QSize(312, 111));

    Form7* drive = showScreen<Form7>();
    EXPECT_EQ(drive->windowTitle(), QStringLiteral("ERROR!!!!!"));
    EXPECT_EQ(control<QLabel>(drive, "Label1")->text(), QStringLiteral("ΠΡΟΣΟΧΗ "));
    EXPECT_EQ(control<QLabel>(drive, "Label2")->text(),
              QStringLiteral("Ο  δίσκος είναι άδειος ή  δεν υπαρχει σύνδεση με το δίσκο δικτύου"));
    EXPECT_EQ(control<QPushButton>(drive, "Command1")->text(), QStringLiteral("O.K"));
    EXPECT_EQ(drive->size(), QSize(319, 132));

    saveScreenshot(warning, QStringLiteral("Dialog1"));
    saveScreenshot(missing, QStringLiteral("Form5"));
    saveScreenshot(drive, QStringLiteral("Form7"));
}

// Each dialog: one window however often it is shown, destroyed by its button, built afresh after.
template <class Dialog>
void expectOneWindowClosedByItsButton(const char* button)
{
    Dialog* first = showScreen<Dialog>();
    EXPECT_EQ(showScreen<Dialog>(), first);
    EXPECT_TRUE(first->isVisible());
    click(control<QPushButton>(first, button));
    EXPECT_EQ(openScreen<Dialog>(), nullptr);  // destroyed
    Dialog* second = showScreen<Dialog>();
    EXPECT_TRUE(second->isVisible());
}

TEST_F(MessageDialogs, AreOneWindowEachClosedByTheirButton)
{
    expectOneWindowClosedByItsButton<Dialog1>("OKButton");
    expectOneWindowClosedByItsButton<Form5>("Command1");
    expectOneWindowClosedByItsButton<Form7>("Command1");
}

}  // namespace
}  // namespace tavrelo
