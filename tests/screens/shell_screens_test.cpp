#include "screens/shell_screens.h"

#include "app/handoff_folder.h"
#include "screen_test_support.h"
#include "screens/choosers_screens.h"
#include "screens/form3.h"

#include <QDir>
#include <QFontInfo>
#include <QFrame>
#include <QPlainTextEdit>

#include <cstdlib>

namespace tavrelo {
namespace {

using namespace test;

class Shell : public ScreenTest {};

TEST_F(Shell, TheSplashShowsTheTitleAndVersion)
{
    frmSplash* splash = showScreen<frmSplash>();
    EXPECT_EQ(control<QLabel>(splash, "lblVersion")->text(), QStringLiteral("Version " TAVRELO_VERSION));
    EXPECT_EQ(control<QLabel>(splash, "lblProductName")->text(), QStringLiteral("Tavrelo"));
    EXPECT_EQ(control<QLabel>(splash, "lblPlatform")->text(), QStringLiteral("for windows"));
    EXPECT_FALSE(control<QLabel>(splash, "imgLogo")->pixmap().isNull());
    EXPECT_EQ(control<QLabel>(splash, "imgLogo")->pixmap().size(), QSize(314, 260));
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash->size(), QSize(492, 283));
    saveScreenshot(splash, QStringLiteral("frmSplash"));
}

TEST_F(Shell, OnlyAKeyThatYieldsACharacterOpensTheMenu)
{
    frmSplash* splash = showScreen<frmSplash>();
    QTest::keyClick(splash, Qt::Key_Shift);
    QTest::keyClick(splash, Qt::Key_Left);
    settle();
    EXPECT_EQ(openScreen<Form2>(), nullptr);
    EXPECT_NE(openScreen<frmSplash>(), nullptr);
    QTest::keyClick(splash, Qt::Key_Escape);
    settle();
    EXPECT_NE(openScreen<Form2>(), nullptr);
    EXPECT_EQ(openScreen<frmSplash>(), nullptr);  // destroyed
}

TEST_F(Shell, AClickOnTheFreeFrameOpensTheMenuButNotOnALabelOrTheLogo)
{
    frmSplash* splash = showScreen<frmSplash>();
    auto* frame = control<QFrame>(splash, "Frame1");
    for (const char* name : {"lblProductName", "lblVersion", "lblCopyright", "imgLogo"}) {
        QTest::mouseClick(control<QWidget>(splash, name), Qt::LeftButton);
        settle();
        EXPECT_EQ(openScreen<Form2>(), nullptr) << name;
    }
    QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(20, frame->height() - 10));
    settle();
    EXPECT_NE(openScreen<Form2>(), nullptr);
    EXPECT_EQ(openScreen<frmSplash>(), nullptr);
}

TEST_F(Shell, EachMenuButtonOpensItsScreenOnce)
{
    chooseCoordinateFile("1,1,2,3,a\r\n");
    Form2* menu = showScreen<Form2>();
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("Αλλαγή Συστήματος Συντεταγμένων"));
    EXPECT_EQ(control<QPushButton>(menu, "Command1")->text(), QStringLiteral("Επιλογή Αρχείου Συντεταγμένων"));
    EXPECT_EQ(control<QPushButton>(menu, "Command2")->text(), QStringLiteral("Επιλογή Κοινών Σημείων"));
    EXPECT_EQ(control<QPushButton>(menu, "Command3")->text(),
              QString(19, ' ') + QStringLiteral("Υπολογισμοί") + QString(22, ' ') +
                  QStringLiteral("Αποθήκευση Νέων Συντεταγμένων"));
    EXPECT_EQ(control<QPushButton>(menu, "Command4")->text(), QStringLiteral("Εξοδος"));
    EXPECT_EQ(control<QPushButton>(menu, "Command5")->text(), QStringLiteral("Βοήθεια"));
    EXPECT_EQ(control<QLabel>(menu, "Label1")->text(),
              QStringLiteral("Αλλαγή Συστήματος συντεταγμένων με στροφή, κλίμακα και μετατόπιση"));
    saveScreenshot(menu, QStringLiteral("Form2"));

    auto expectOpensOnce = [&](const char* button, auto opened) {
        click(control<QPushButton>(menu, button));
        QWidget* first = opened();
        ASSERT_NE(first, nullptr) << button;
        click(control<QPushButton>(menu, button));
        EXPECT_EQ(opened(), first) << button;
        EXPECT_TRUE(first->isVisible());
    };
    expectOpensOnce("Command1", [] { return static_cast<QWidget*>(openScreen<Form1>()); });
    expectOpensOnce("Command2", [] { return static_cast<QWidget*>(openScreen<Form3>()); });
    expectOpensOnce("Command3", [] { return static_cast<QWidget*>(openScreen<Form4>()); });
    expectOpensOnce("Command5", [] { return static_cast<QWidget*>(openScreen<Dialog>()); });

    click(control<QPushButton>(menu, "Command4"));  // Εξοδος: every screen goes at once
    EXPECT_EQ(openScreen<Form1>(), nullptr);
    EXPECT_EQ(openScreen<Form2>(), nullptr);
    EXPECT_EQ(openScreen<Dialog>(), nullptr);
}

TEST_F(Shell, TheHelpShowsItsStoredTextAfterAnEdit)
{
    Dialog* help = showScreen<Dialog>();
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Βοήθεια"));
    EXPECT_EQ(Dialog::kHelpText.count(QStringLiteral("\r\n")), 19);
    EXPECT_TRUE(Dialog::kHelpText.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = Dialog::kHelpText.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[5], QStringLiteral("Pn,X,Y,h,D"));
    EXPECT_EQ(lines[6], QStringLiteral("\t\tΌπου \tPn=αριθμός σημείου  "));
    EXPECT_EQ(lines[7], QStringLiteral("       \t\t   \tΧ ,Υ, h  = οι συντεταγμένες"));
    EXPECT_EQ(lines[8], QStringLiteral("\t\t\tD = περιγραφή του σημείου."));
    EXPECT_TRUE(lines[13].startsWith(QStringLiteral("\"Υπολογισμός Κλίμακας\" καθώς")));
    EXPECT_TRUE(lines[18].startsWith(QStringLiteral("\tΤηλ: ")));
    EXPECT_TRUE(lines[18].contains(QStringLiteral("      e-mail: ")));

    auto* text = control<QPlainTextEdit>(help, "Text1");
    // The box holds the stored text, its line ends as the box keeps them.
    EXPECT_EQ(text->toPlainText(), QString(Dialog::kHelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_FALSE(text->isReadOnly());
    saveScreenshot(help, QStringLiteral("Dialog"));
    type(text, "edited");
    EXPECT_NE(text->toPlainText(), QString(Dialog::kHelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    click(control<QPushButton>(help, "OKButton"));
    EXPECT_EQ(openScreen<Dialog>(), nullptr);
    help = showScreen<Dialog>();
    EXPECT_EQ(control<QPlainTextEdit>(help, "Text1")->toPlainText(),
              QString(Dialog::kHelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

TEST_F(Shell, ChangeFormatOpensTheConversionAndClosesTheHelp)
{
    Dialog* help = showScreen<Dialog>();
    EXPECT_EQ(control<QPushButton>(help, "Command1")->text(), QStringLiteral("Αλλαγή Format"));
    EXPECT_EQ(control<QPushButton>(help, "OKButton")->text(), QStringLiteral("OK"));
    click(control<QPushButton>(help, "Command1"));
    EXPECT_EQ(openScreen<Dialog>(), nullptr);
    ASSERT_NE(openScreen<Form6>(), nullptr);
    EXPECT_TRUE(openScreen<Form6>()->isVisible());
}

// Where the program carries its fonts (the Windows build), what names no font of its own (the
// least-squares screen, Qt's dialogs) shows in the carried sans face, not in the system's, which
// may lack Greek or, where it is missing (under Wine), stand in with a face of symbols.
TEST(Fonts, ScreensWithoutAFontOfTheirOwnShowTheCarriedFace)
{
    if (QDir(QStringLiteral(":/fonts")).isEmpty())
        GTEST_SKIP() << "this build carries no fonts";
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("Liberation Sans"));
}

TEST(HandoffFolder, FollowsXdgStateHomeOrFallsBackToTheHomeFolder)
{
#ifdef _WIN32
    const QByteArray keep = qgetenv("LOCALAPPDATA");
    qputenv("LOCALAPPDATA", "D:\\Users\\surveyor\\Local");
    EXPECT_EQ(defaultHandoffFolder(), std::filesystem::path("D:\\Users\\surveyor\\Local\\Tavrelo"));
    qputenv("LOCALAPPDATA", keep);
#else
    const char* saved = std::getenv("XDG_STATE_HOME");
    const std::string keep = saved ? saved : "";
    ::setenv("XDG_STATE_HOME", "/var/state-of-user", 1);
    EXPECT_EQ(defaultHandoffFolder(), std::filesystem::path("/var/state-of-user/tavrelo"));
    ::setenv("XDG_STATE_HOME", "relative/path", 1);
    EXPECT_EQ(defaultHandoffFolder(), std::filesystem::path(std::getenv("HOME")) / ".local/state/tavrelo");
    ::unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(defaultHandoffFolder(), std::filesystem::path(std::getenv("HOME")) / ".local/state/tavrelo");
    if (saved)
        ::setenv("XDG_STATE_HOME", keep.c_str(), 1);
#endif
}

}  // namespace
}  // namespace tavrelo
