#include "screens/form3.h"

#include "screen_test_support.h"
#include "screens/error_box.h"
#include "screens/message_dialogs.h"
#include "transform/parameters.h"

#include <QCheckBox>
#include <QLocale>

namespace tavrelo {
namespace {

using namespace test;

const char* const kSurvey = "1,1000,1000,50,Στάση\r\n2,1060,1080,52,B\r\n3,1000.50,12A,,\"Γωνία, βόρεια\"\r\n";

class CommonPointsScreen : public ScreenTest {
protected:
    Form3* open()
    {
        Form3* screen = showScreen<Form3>();
        settle();
        return screen;
    }
    QLineEdit* box(const char* name) { return control<QLineEdit>(openScreen<Form3>(), name); }
    QComboBox* list(const char* name) { return control<QComboBox>(openScreen<Form3>(), name); }
    QPushButton* button(const char* name) { return control<QPushButton>(openScreen<Form3>(), name); }

    void typeTargets(const QStringList& texts)
    {
        const char* names[] = {"X1N", "Y1N", "h1N", "X2N", "Y2N", "h2N"};
        for (int i = 0; i < 6; ++i)
            type(box(names[i]), texts[i]);
    }
    QStringList results()
    {
        QStringList texts;
        for (const char* name : {"klimax", "Dh", "f", "dx1", "Dy1", "SD"})
            texts << box(name)->text();
        return texts;
    }
};

TEST_F(CommonPointsScreen, OpensWithThePointNumbersAndNothingPicked)
{
    chooseCoordinateFile(kSurvey);
    Form3* screen = open();
    for (const char* name : {"Combo1", "Combo2"}) {
        QComboBox* l = list(name);
        ASSERT_EQ(l->count(), 3);
        EXPECT_EQ(l->itemText(0), QStringLiteral("1"));
        EXPECT_EQ(l->itemText(2), QStringLiteral("3"));
        EXPECT_EQ(l->currentIndex(), -1);
        EXPECT_EQ(l->currentText(), QString::fromLatin1(name));
    }
    for (const char* name : {"No1", "X1", "D2", "X1N", "f", "SD"})
        EXPECT_EQ(box(name)->text(), QString()) << name;
    EXPECT_FALSE(button("Command2")->isEnabled());
    EXPECT_TRUE(box("X1")->isReadOnly());
    EXPECT_FALSE(box("X1N")->isReadOnly());
    EXPECT_FALSE(box("SD")->isReadOnly());
    EXPECT_EQ(screen->size(), QSize(786, 473));
}

TEST_F(CommonPointsScreen, APickShowsThatRowOfTheFile)
{
    chooseCoordinateFile(kSurvey);
    open();
    pick(list("Combo2"), 2);
    EXPECT_EQ(list("Combo2")->currentIndex(), 2);
    EXPECT_EQ(box("No2")->text(), QStringLiteral("3"));
    EXPECT_EQ(box("X2")->text(), QStringLiteral("1000.5"));
    EXPECT_EQ(box("Y2")->text(), QStringLiteral("12A"));
    EXPECT_EQ(box("h2")->text(), QString());
    EXPECT_EQ(box("D2")->text(), QStringLiteral("Γωνία, βόρεια"));
    pick(list("Combo1"), 2);  // the same point in both lists
    EXPECT_EQ(box("No1")->text(), QStringLiteral("3"));

    // A pick reads the file named at that moment, not the one the lists were filled from.
    chooseCoordinateFile("9,1,2,3,new\r\n8,4,5,6,other\r\n7,7,8,9,x\r\n");
    pick(list("Combo1"), 1);
    EXPECT_EQ(box("No1")->text(), QStringLiteral("8"));
    EXPECT_EQ(list("Combo1")->itemText(1), QStringLiteral("2"));
}

TEST_F(CommonPointsScreen, ComputesHandsOnAndCloses)
{
    chooseCoordinateFile(kSurvey);
    open();
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 1);
    typeTargets({"500", "400", "50.1", "580.02", "339.985", "52.06"});
    control<QCheckBox>(openScreen<Form3>(), "Check2")->setChecked(true);
    click(button("Command1"));
    EXPECT_EQ(results(), (QStringList{"1.00025", "-0.0800000000000018", "99.9999982811266", "-500", "-600", "0.0012"}));
    EXPECT_TRUE(button("Command2")->isEnabled());
    EXPECT_EQ(openScreen<Dialog1>(), nullptr);
    saveScreenshot(openScreen<Form3>(), QStringLiteral("Form3"));

    click(button("Command2"));
    EXPECT_EQ(openScreen<Form3>(), nullptr);
    EXPECT_EQ(readBytes(handoff.parameterFile()),
              "99.9999982811266\r\n 1000 \r\n 1000 \r\n-0.0800000000000018\r\n1.00025\r\n500\r\n400\r\n");
}

TEST_F(CommonPointsScreen, ShowsWhatTheCoreComputesForTheExamples)
{
    writeHandoffPath(handoff, std::string(TAVRELO_EXAMPLES) + "/survey.txt");
    open();
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 3);
    const QStringList typed{"475000", "4201000", "110.644", "474914.629", "4200971.510", "108.708"};
    typeTargets(typed);
    click(button("Command1"));
    const auto core = computeParameters({0, 3, "475000", "4201000", "110.644", "474914.629", "4200971.510", "108.708",
                                         false},
                                        handoff);
    ASSERT_TRUE(core);
    EXPECT_EQ(results(), (QStringList{QString::fromStdString(core->klimax), QString::fromStdString(core->Dh),
                                      QString::fromStdString(core->f), QString::fromStdString(core->dx1),
                                      QString::fromStdString(core->Dy1), QString::fromStdString(core->SD)}));
    click(button("Command2"));
    const TransformParameters p = readTransformParameters(handoff);
    EXPECT_EQ(p.X1.number, 2483.83);
    EXPECT_EQ(p.Y1N.number, 4201000);
}

TEST_F(CommonPointsScreen, WithACommaSeparatorShowsCommasAndHandsOnPoints)
{
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    chooseCoordinateFile(kSurvey);
    open();
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 1);
    pick(list("Combo2"), 2);
    EXPECT_EQ(box("X2")->text(), QStringLiteral("1000,5"));
    pick(list("Combo2"), 1);
    typeTargets({"500", "400", "50,1", "580,02", "339.985", "52,06"});
    control<QCheckBox>(openScreen<Form3>(), "Check2")->setChecked(true);
    click(button("Command1"));
    EXPECT_EQ(results(), (QStringList{"1,00025", "-0,0800000000000018", "99,9999982811266", "-500", "-600", "0,0012"}));
    click(button("Command2"));
    EXPECT_EQ(readBytes(handoff.parameterFile()),
              "99.9999982811266\r\n 1000 \r\n 1000 \r\n-0.0800000000000018\r\n1.00025\r\n500\r\n400\r\n");
}

TEST_F(CommonPointsScreen, AnEmptyTargetShowsForm5AndChangesNothing)
{
    chooseCoordinateFile(kSurvey);
    open();
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 1);
    typeTargets({"500", "400", "50.1", "580.02", "339.985", "52.06"});
    click(button("Command1"));
    const QStringList before = results();
    box("h2N")->clear();
    click(button("Command1"));
    EXPECT_NE(openScreen<Form5>(), nullptr);
    EXPECT_EQ(results(), before);
    EXPECT_EQ(errorMessage(), QString());
}

TEST_F(CommonPointsScreen, ALengthMismatchWarnsAndStillComputes)
{
    chooseCoordinateFile("1,100,100,0,A\r\n2,200,200,0,B\r\n");
    open();
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 1);
    typeTargets({"300", "300", "0", "400", "400.2", "0"});
    click(button("Command1"));
    EXPECT_NE(openScreen<Dialog1>(), nullptr);
    EXPECT_EQ(results(), (QStringList{"1", "0", "-0.06360468144894", "200", "200", "0.007"}));
    EXPECT_TRUE(button("Command2")->isEnabled());
}

TEST_F(CommonPointsScreen, AnyChangeAfterTheComputationDisablesOK)
{
    chooseCoordinateFile(kSurvey);
    open();
    auto compute = [&] {
        click(button("Command1"));
        ASSERT_TRUE(button("Command2")->isEnabled());
    };
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 1);
    typeTargets({"500", "400", "50.1", "580.02", "339.985", "52.06"});
    compute();
    pick(list("Combo1"), 0);  // the same pick again changes nothing
    EXPECT_TRUE(button("Command2")->isEnabled());
    pick(list("Combo1"), 2);
    EXPECT_FALSE(button("Command2")->isEnabled());
    pick(list("Combo1"), 0);
    compute();
    type(box("X1N"), "1");
    EXPECT_FALSE(button("Command2")->isEnabled());
    box("X1N")->setText("500");
    compute();
    control<QCheckBox>(openScreen<Form3>(), "Check2")->setChecked(true);
    EXPECT_FALSE(button("Command2")->isEnabled());
    compute();
    type(list("Combo2")->lineEdit(), "7");
    EXPECT_EQ(list("Combo2")->currentIndex(), -1);
    EXPECT_FALSE(button("Command2")->isEnabled());
}

TEST_F(CommonPointsScreen, TypingOverAListLeavesNothingPickedAndEnterAddsNothing)
{
    chooseCoordinateFile(kSurvey);
    open();
    pick(list("Combo1"), 1);
    QLineEdit* text = list("Combo1")->lineEdit();
    text->selectAll();
    type(text, "1");
    QTest::keyClick(text, Qt::Key_Return);
    settle();
    EXPECT_EQ(list("Combo1")->currentIndex(), -1);
    EXPECT_EQ(list("Combo1")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(list("Combo1")->count(), 3);
    EXPECT_EQ(box("No1")->text(), QStringLiteral("2"));  // what the last pick showed
}

TEST_F(CommonPointsScreen, CancelWritesNothing)
{
    chooseCoordinateFile(kSurvey);
    writeBytes(handoff.parameterFile(), "earlier parameters");
    open();
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 1);
    typeTargets({"500", "400", "50.1", "580.02", "339.985", "52.06"});
    click(button("Command1"));
    click(button("Command3"));
    EXPECT_EQ(openScreen<Form3>(), nullptr);
    EXPECT_EQ(readBytes(handoff.parameterFile()), "earlier parameters");
}

TEST_F(CommonPointsScreen, IsOneWindowAndBuiltAfreshAfterClosing)
{
    chooseCoordinateFile(kSurvey);
    Form3* first = open();
    pick(list("Combo1"), 0);
    EXPECT_EQ(open(), first);
    EXPECT_EQ(box("No1")->text(), QStringLiteral("1"));  // no new load
    first->close();
    settle();
    EXPECT_EQ(openScreen<Form3>(), nullptr);
    open();
    EXPECT_EQ(box("No1")->text(), QString());
    EXPECT_EQ(list("Combo1")->currentText(), QStringLiteral("Combo1"));
    EXPECT_EQ(list("Combo1")->count(), 3);
}

TEST_F(CommonPointsScreen, FailuresAreShownAndChangeNothingAfterThem)
{
    std::string many;
    for (int i = 1; i <= 402; ++i)
        many += std::to_string(i) + ",1,2,3,x\r\n";
    chooseCoordinateFile(many);
    open();
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("περισσότερα από 401 σημεία"))) << errorMessage().toStdString();
    EXPECT_EQ(list("Combo1")->count(), 401);
    saveScreenshot(openScreen<ErrorBox>(), QStringLiteral("ErrorBox"));
    closeAllScreens();

    std::filesystem::remove(folder / "points.txt");
    open();
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("points.txt"))) << errorMessage().toStdString();
    EXPECT_EQ(list("Combo1")->count(), 0);
    closeAllScreens();

    chooseCoordinateFile(kSurvey);
    writeBytes(handoff.parameterFile(), "earlier parameters");
    open();
    pick(list("Combo1"), 0);
    pick(list("Combo2"), 1);
    typeTargets({"500", "4OO", "50.1", "580.02", "339.985", "52.06"});
    click(button("Command1"));
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("Y1N"))) << errorMessage().toStdString();
    EXPECT_EQ(box("f")->text(), QString());
    EXPECT_FALSE(button("Command2")->isEnabled());
    EXPECT_EQ(readBytes(handoff.parameterFile()), "earlier parameters");
    EXPECT_NE(openScreen<Form3>(), nullptr);  // the screen stays open
}

TEST_F(CommonPointsScreen, ShowsItsCaptionsAsWritten)
{
    chooseCoordinateFile(kSurvey);
    Form3* screen = open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Κοινά σημεία"));
    const std::pair<const char*, const char*> captions[] = {
        {"Label6", "Επιλογή Κοινών Σημείων"}, {"Label13", "Σημείο 1ο"}, {"Label14", "Σημείο 2ο"},
        {"Label1", "Νο"}, {"Label2", "Χ"}, {"Label3", "Υ"}, {"Label4", "h"}, {"Label5", "Περιγραφή"},
        {"Label12", "Yπολογισμός Κλίμακας"}, {"Label7", "φ (Βαθμοί)"}, {"Label8", "Dx"}, {"Label9", "Dy"},
        {"Label10", "Dh"}, {"Label11", "Κλίμακα"}, {"Label15", "Τυπική Απόκλιση"},
    };
    for (const auto& [name, text] : captions)
        EXPECT_EQ(control<QLabel>(screen, name)->text(), QString::fromUtf8(text)) << name;
    EXPECT_EQ(button("Command1")->text(), QStringLiteral("Υπολογισμος Στροφής-Μετατόπισης"));
    EXPECT_EQ(button("Command2")->text(), QStringLiteral("O.K."));
    EXPECT_EQ(button("Command3")->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(control<QCheckBox>(screen, "Check2")->text(), QStringLiteral("Check2"));
    // Greek letters, not their Latin look-alikes; the Latin Y of the scale label.
    EXPECT_EQ(control<QLabel>(screen, "Label1")->text().at(0).unicode(), 0x039D);
    EXPECT_EQ(control<QLabel>(screen, "Label2")->text().at(0).unicode(), 0x03A7);
    EXPECT_EQ(control<QLabel>(screen, "Label12")->text().at(0).unicode(), 'Y');
    EXPECT_EQ(box("X1N")->geometry(), QRect(296, 104, 97, 25));

    // Tab order: the lists, the boxes of point 1 and 2, the targets of point 2 before point 1.
    const char* order[] = {"Combo1", "Combo2", "No1", "X1", "Y1", "h1", "D1", "No2", "X2", "Y2", "h2", "D2",
                           "X2N", "Y2N", "h2N", "X1N", "Y1N", "h1N", "Command1", "f", "dx1", "Dy1", "Dh",
                           "Command2", "klimax", "Check2", "Command3", "SD"};
    QWidget* w = control<QWidget>(screen, order[0]);
    for (std::size_t i = 1; i < std::size(order); ++i) {
        w = w->nextInFocusChain();
        while (w && (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty()))
            w = w->nextInFocusChain();
        ASSERT_TRUE(w);
        EXPECT_EQ(w->objectName(), QString::fromLatin1(order[i])) << "after " << order[i - 1];
    }
}

}  // namespace
}  // namespace tavrelo
