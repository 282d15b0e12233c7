#include "screens/choosers_screens.h"

#include "screen_test_support.h"
#include "screens/choosers.h"
#include "screens/file_lists.h"
#include "screens/form3.h"
#include "screens/message_dialogs.h"
#include "transform/apply_transformation.h"

#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>

namespace tavrelo {
namespace {

using namespace test;

class FileChoosers : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        std::filesystem::create_directory(folder / "survey");
        writeBytes(folder / "survey" / "a.txt", "1,100,200,10,a\r\n2,110,200,11,b\r\n");
        writeBytes(folder / "survey" / "B.TXT", "1,1,2,3,x\r\n");
        writeBytes(folder / "survey" / "notes.doc", "not listed");
        std::filesystem::create_directory(folder / "survey" / "sub");
        surveyFolder = chooserPath(folder / "survey");
    }

    // Opens `directory` in the chooser's directory list, as a double click does.
    void openDirectory(QWidget* screen, const QString& directory)
    {
        control<DirectoryList>(screen, "Dir1")->setPath(directory);
        settle();
    }

    // Clicks a file name in the chooser's file list, once the list has read its directory.
    void clickFile(QWidget* screen, const QString& name)
    {
        auto* files = control<FileList>(screen, "File1");
        ASSERT_TRUE(waitUntil([&] { return files->fileNames().contains(name); })) << name.toStdString();
        const int row = files->fileNames().indexOf(name);
        const QRect item = files->visualRect(files->model()->index(row, 0, files->rootIndex()));
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, item.center());
        settle();
    }

    QString surveyFolder;
};

TEST_F(FileChoosers, Form1RecordsTheClickedFile)
{
    writeBytes(handoff.pathFile(), "earlier choice\r\n");
    Form1* screen = showScreen<Form1>();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Επιλογή Αρχείου Συντεταγμένων"));
    openDirectory(screen, surveyFolder);
    auto* files = control<FileList>(screen, "File1");
    // "*.txt" whatever its case, in name order.
    const QStringList listed{"a.txt", "B.TXT"};
    EXPECT_TRUE(waitUntil([&] { return files->fileNames() == listed; })) << files->fileNames().join(' ').toStdString();
    EXPECT_FALSE(control<QPushButton>(screen, "Command1")->isEnabled());
    clickFile(screen, QStringLiteral("a.txt"));
    EXPECT_TRUE(control<QPushButton>(screen, "Command1")->isEnabled());
    auto* dir = control<DirectoryList>(screen, "Dir1");
    EXPECT_TRUE(waitUntil([&] { return dir->currentIndex().data(QFileSystemModel::FilePathRole) == surveyFolder; }));
    // Once the folders on the way have been read, the directory is shown.
    EXPECT_TRUE(waitUntil([&] { return dir->viewport()->rect().contains(dir->visualRect(dir->currentIndex()).center()); }));
    saveScreenshot(screen, QStringLiteral("Form1"));
    click(control<QPushButton>(screen, "Command1"));
    EXPECT_EQ(openScreen<Form1>(), nullptr);
    EXPECT_EQ(readBytes(handoff.pathFile()), utf8Path(folder / "survey" / "a.txt") + "\r\n");
}

TEST_F(FileChoosers, Form1InTheRootRecordsADoubledSeparator)
{
    const QString root = systemDriveRoot();
    Form1* screen = showScreen<Form1>();
    openDirectory(screen, root);
    EXPECT_EQ(control<DirectoryList>(screen, "Dir1")->path(), root);
    // "//p.txt"; on Windows "C:\\p.txt", which Windows opens as "C:\p.txt".
    EXPECT_EQ(joinChooserPath(root, QStringLiteral("p.txt")), QDir::toNativeSeparators(root + QStringLiteral("/p.txt")));
}

TEST_F(FileChoosers, Form1CancelOrNoFileKeepsThePreviousChoice)
{
    writeBytes(handoff.pathFile(), "earlier choice\r\n");
    Form1* screen = showScreen<Form1>();
    openDirectory(screen, surveyFolder);
    clickFile(screen, QStringLiteral("a.txt"));
    openDirectory(screen, surveyFolder + QStringLiteral("/sub"));  // no file selected any more
    click(control<QPushButton>(screen, "Command1"));
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("Δεν έχει επιλεγεί αρχείο"))) << errorMessage().toStdString();
    EXPECT_EQ(openScreen<Form1>(), screen);
    click(control<QPushButton>(screen, "Command2"));
    EXPECT_EQ(openScreen<Form1>(), nullptr);
    EXPECT_EQ(readBytes(handoff.pathFile()), "earlier choice\r\n");
}

TEST_F(FileChoosers, EachChooserOpensWhereTheLastNavigationEnded)
{
    Form1* first = showScreen<Form1>();
    openDirectory(first, surveyFolder + QStringLiteral("/sub"));
    click(control<QPushButton>(first, "Command2"));
    Form4* second = showScreen<Form4>();
    EXPECT_EQ(control<DirectoryList>(second, "Dir1")->path(), surveyFolder + QStringLiteral("/sub"));
    EXPECT_EQ(control<FileList>(second, "File1")->path(), surveyFolder + QStringLiteral("/sub"));
    EXPECT_EQ(control<DriveList>(second, "Drive1")->drive(), driveOf(surveyFolder));
    Form6* third = showScreen<Form6>();
    EXPECT_EQ(control<DirectoryList>(third, "Dir1")->path(), surveyFolder + QStringLiteral("/sub"));
}

TEST_F(FileChoosers, AnUnreadableDriveShowsForm7AndFallsBackToTheRoot)
{
    Form1* screen = showScreen<Form1>();
    openDirectory(screen, surveyFolder);
    auto* drive = control<DriveList>(screen, "Drive1");
    drive->setDrive(missingDriveRoot());  // a volume that has gone away
    settle();
    EXPECT_NE(openScreen<Form7>(), nullptr);
    EXPECT_EQ(drive->drive(), systemDriveRoot());
    EXPECT_EQ(control<DirectoryList>(screen, "Dir1")->path(), currentDirectoryOfDrive(systemDriveRoot()));
    EXPECT_EQ(QDir::currentPath(), control<DirectoryList>(screen, "Dir1")->path());
    Form7* shown = openScreen<Form7>();
    drive->setDrive(missingDriveRoot());  // again: the same Form7
    settle();
    EXPECT_EQ(openScreen<Form7>(), shown);
    EXPECT_EQ(openScreen<Form1>(), screen);  // the chooser stays usable
}

TEST_F(FileChoosers, TheDriveListStartsWithTheRoot)
{
    const QStringList drives = DriveList::availableDrives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first(), systemDriveRoot());
    for (const QString& d : drives) {
        EXPECT_FALSE(d.startsWith(QStringLiteral("/proc")) || d.startsWith(QStringLiteral("/sys"))) << d.toStdString();
        EXPECT_EQ(driveOf(d), d) << "not a volume's root";
    }
    // The second drive that scripts/windows/test.sh maps, when it has mapped one.
    const QString second = qEnvironmentVariable("TAVRELO_TEST_DRIVE");
    if (!second.isEmpty()) {
        EXPECT_TRUE(drives.contains(second.toUpper() + QLatin1Char('/'))) << drives.join(' ').toStdString();
    }
}

TEST_F(FileChoosers, Form4FollowsItsNameBoxAndWritesTheResult)
{
    chooseCoordinateFile("1,100,200,10,a\r\n2,110,200,11,b\r\n");
    writeBytes(handoff.parameterFile(), "0\r\n 100 \r\n 200 \r\n0\r\n1\r\n500\r\n600\r\n");
    Form4* screen = showScreen<Form4>();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Αποθήκευση ώς....."));
    EXPECT_EQ(control<QLabel>(screen, "Label1")->text(), QStringLiteral("Αποθήκευση ώς:"));
    auto* ok = control<QPushButton>(screen, "Command1");
    auto* name = control<QLineEdit>(screen, "Text1");
    EXPECT_FALSE(ok->isEnabled());
    type(name, " ");
    EXPECT_TRUE(ok->isEnabled());  // spaces count as a name
    name->clear();
    EXPECT_FALSE(ok->isEnabled());
    openDirectory(screen, surveyFolder);
    clickFile(screen, QStringLiteral("B.TXT"));
    EXPECT_EQ(name->text(), QStringLiteral("B.TXT"));
    EXPECT_TRUE(ok->isEnabled());
    openDirectory(screen, surveyFolder + QStringLiteral("/sub"));
    EXPECT_EQ(name->text(), QStringLiteral("B.TXT"));  // the name stays for another folder
    name->setText(QStringLiteral("result"));
    saveScreenshot(screen, QStringLiteral("Form4"));
    click(ok);
    EXPECT_EQ(openScreen<Form4>(), nullptr);
    EXPECT_EQ(errorMessage(), QString());

    const std::string expected = (folder / "expected.txt").string();
    applyTransformation(expected, handoff);
    EXPECT_EQ(readBytes(folder / "survey" / "sub" / "result"), readBytes(expected));
}

TEST_F(FileChoosers, Form4WritesTheWayBackWithItsBoxTicked)
{
    chooseCoordinateFile("1,100,200,10,a\r\n2,110,200,11,b\r\n");
    writeBytes(handoff.parameterFile(), "30\r\n 100 \r\n 200 \r\n2\r\n1.5\r\n500\r\n600\r\n");
    Form4* screen = showScreen<Form4>();
    auto* inverse = control<QCheckBox>(screen, "inverseBox");
    EXPECT_EQ(inverse->text(), QStringLiteral("Αντίστροφα"));
    EXPECT_FALSE(inverse->isChecked());
    // In the free room under the drive list, clear of the directory list.
    const QRect box = inverse->geometry();
    EXPECT_GE(box.top(), control<QWidget>(screen, "Drive1")->geometry().bottom());
    EXPECT_LT(box.right(), control<QWidget>(screen, "Dir1")->geometry().left());
    openDirectory(screen, surveyFolder);
    type(control<QLineEdit>(screen, "Text1"), "back.txt");
    click(inverse);
    saveScreenshot(screen, QStringLiteral("Form4_inverse"));
    click(control<QPushButton>(screen, "Command1"));
    ASSERT_EQ(openScreen<Form4>(), nullptr) << errorMessage().toStdString();

    const std::string expected = (folder / "expected.txt").string();
    applyTransformation(expected, handoff, Direction::Inverse);
    EXPECT_EQ(readBytes(folder / "survey" / "back.txt"), readBytes(expected));
    // The next save screen starts forward again.
    EXPECT_FALSE(control<QCheckBox>(showScreen<Form4>(), "inverseBox")->isChecked());
}

TEST_F(FileChoosers, Form4ShowsAFailureAndStaysOpen)
{
    chooseCoordinateFile("1,100,200,10,a\r\n");  // no parameters were ever handed on
    Form4* screen = showScreen<Form4>();
    openDirectory(screen, surveyFolder);
    type(control<QLineEdit>(screen, "Text1"), "result.txt");
    click(control<QPushButton>(screen, "Command1"));
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("παράμετροι"))) << errorMessage().toStdString();
    EXPECT_EQ(openScreen<Form4>(), screen);
    EXPECT_FALSE(std::filesystem::exists(folder / "survey" / "result.txt"));
}

TEST_F(FileChoosers, Form6ConvertsWithTheChosenLayout)
{
    writeBytes(folder / "survey" / "a.txt", "4500.25,3000.10\r\n");
    Form6* screen = showScreen<Form6>();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Αλλαγή Format αρχείου εισόδου"));
    EXPECT_EQ(control<QLabel>(screen, "Label1")->text(), QStringLiteral(" Format αρχειου"));
    EXPECT_EQ(control<QLabel>(screen, "Label2")->text(),
              QStringLiteral("Το αρχείο που θα επιλεχθεί θα αντιγραφεί στο αρχείο PENZD_+\"όνομα αρχείου\" το οποίο "
                             "θα έχει το απαιτουμενο Format για το πρόγραμμα"));
    auto* layouts = control<QComboBox>(screen, "Combo1");
    ASSERT_EQ(layouts->count(), 12);
    EXPECT_EQ(layouts->itemText(0), QStringLiteral("P,X,Y,Z"));
    EXPECT_EQ(layouts->itemText(11), QStringLiteral("Y,X,D"));
    EXPECT_EQ(layouts->currentIndex(), -1);
    EXPECT_EQ(layouts->currentText(), QString());

    openDirectory(screen, surveyFolder);
    clickFile(screen, QStringLiteral("a.txt"));
    click(control<QPushButton>(screen, "Command1"));  // no layout chosen: nothing is written
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("Format"))) << errorMessage().toStdString();
    EXPECT_FALSE(std::filesystem::exists(folder / "survey" / "PENZD_a.txt"));
    EXPECT_EQ(openScreen<Form6>(), screen);

    pick(layouts, 9);
    saveScreenshot(screen, QStringLiteral("Form6"));
    click(control<QPushButton>(screen, "Command1"));
    EXPECT_EQ(openScreen<Form6>(), nullptr);
    EXPECT_EQ(readBytes(folder / "survey" / "PENZD_a.txt"), "1,3000.1,4500.25,0,-\r\n");
}

TEST_F(FileChoosers, CancelOnForm4AndForm6WritesNothing)
{
    chooseCoordinateFile("1,100,200,10,a\r\n");
    writeBytes(handoff.parameterFile(), "0\r\n 0 \r\n 0 \r\n0\r\n1\r\n0\r\n0\r\n");
    const std::string before = listFolder(folder / "survey") + readBytes(handoff.pathFile()) +
                               readBytes(handoff.parameterFile());
    Form4* save = showScreen<Form4>();
    openDirectory(save, surveyFolder);
    clickFile(save, QStringLiteral("a.txt"));
    click(control<QPushButton>(save, "Command2"));
    Form6* convert = showScreen<Form6>();
    openDirectory(convert, surveyFolder);
    pick(control<QComboBox>(convert, "Combo1"), 3);
    clickFile(convert, QStringLiteral("a.txt"));
    click(control<QPushButton>(convert, "Command2"));
    EXPECT_EQ(openScreen<Form4>(), nullptr);
    EXPECT_EQ(openScreen<Form6>(), nullptr);
    EXPECT_EQ(listFolder(folder / "survey") + readBytes(handoff.pathFile()) + readBytes(handoff.parameterFile()),
              before);
    EXPECT_EQ(readBytes(folder / "survey" / "a.txt"), "1,100,200,10,a\r\n2,110,200,11,b\r\n");
}

TEST_F(FileChoosers, ShowTheirButtonsAndTabOrder)
{
    const QString ok = QString::fromUtf8("\u039F.\u039A.");
    Form1* one = showScreen<Form1>();
    Form4* four = showScreen<Form4>();
    Form6* six = showScreen<Form6>();
    for (QWidget* screen : {static_cast<QWidget*>(one), static_cast<QWidget*>(four), static_cast<QWidget*>(six)}) {
        EXPECT_EQ(control<QPushButton>(screen, "Command1")->text(), ok);
        EXPECT_EQ(control<QPushButton>(screen, "Command2")->text(), QStringLiteral("Cancel"));
    }
    EXPECT_EQ(one->size(), QSize(610, 302));
    EXPECT_EQ(four->size(), QSize(533, 256));
    EXPECT_EQ(control<QWidget>(four, "Text1")->geometry(), QRect(184, 184, 289, 25));
    auto expectOrder = [](QWidget* screen, std::vector<const char*> order) {
        QWidget* w = control<QWidget>(screen, order[0]);
        for (std::size_t i = 1; i < order.size(); ++i) {
            do
                w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty());
            EXPECT_EQ(w->objectName(), QString::fromLatin1(order[i])) << "after " << order[i - 1];
        }
    };
    expectOrder(one, {"Drive1", "Dir1", "File1", "Command1", "Command2"});
    expectOrder(four, {"Drive1", "Dir1", "File1", "Text1", "inverseBox", "Command1", "Command2"});
    expectOrder(six, {"Drive1", "Dir1", "File1", "Command1", "Command2", "Combo1"});
}

// The whole main job through the real screens: choose the example survey, compute the
// parameters from two stations, write the result; it equals what the core alone writes.
TEST_F(FileChoosers, TheWholeRoadThroughTheScreens)
{
    const QString examples = QStringLiteral(TAVRELO_EXAMPLES);
    Form1* chooser = showScreen<Form1>();
    openDirectory(chooser, examples);
    clickFile(chooser, QStringLiteral("survey.txt"));
    click(control<QPushButton>(chooser, "Command1"));

    Form3* common = showScreen<Form3>();
    settle();
    pick(control<QComboBox>(common, "Combo1"), 0);
    pick(control<QComboBox>(common, "Combo2"), 3);
    const std::pair<const char*, const char*> targets[] = {{"X1N", "475000"}, {"Y1N", "4201000"},
                                                           {"h1N", "110.644"}, {"X2N", "474914.629"},
                                                           {"Y2N", "4200971.510"}, {"h2N", "108.708"}};
    for (const auto& [box, text] : targets)
        type(control<QLineEdit>(common, box), QString::fromLatin1(text));
    click(control<QPushButton>(common, "Command1"));
    click(control<QPushButton>(common, "Command2"));
    ASSERT_EQ(openScreen<Form3>(), nullptr) << errorMessage().toStdString();

    Form4* save = showScreen<Form4>();
    openDirectory(save, surveyFolder);
    type(control<QLineEdit>(save, "Text1"), "transformed.txt");
    click(control<QPushButton>(save, "Command1"));
    ASSERT_EQ(openScreen<Form4>(), nullptr) << errorMessage().toStdString();

    const std::string alone = (folder / "alone.txt").string();
    applyTransformation(alone, handoff);
    const std::string written = readBytes(folder / "survey" / "transformed.txt");
    EXPECT_EQ(written, readBytes(alone));
    EXPECT_NE(written.find("\r\n\xD3\x31,   475000 ,   4201000 ,   110.644 ,  "), std::string::npos);
}

}  // namespace
}  // namespace tavrelo
