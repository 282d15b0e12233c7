#include "screens/fit_screen.h"

#include "screen_test_support.h"
#include "data/file_io.h"
#include "screens/choosers_screens.h"
#include "screens/file_lists.h"
#include "screens/form3.h"
#include "screens/points_plot.h"
#include "text/codepage.h"
#include "text/measure_form.h"
#include "text/number_form.h"
#include "transform/apply_transformation.h"
#include "transform/fit_report.h"
#include "transform/model_file.h"

#include <QCheckBox>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QLocale>
#include <QTableView>

#include <cstdlib>
#include <deque>
#include <optional>

namespace tavrelo {
namespace {

using namespace test;

const std::string kExamples = TAVRELO_EXAMPLES;

class FitScreenTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        setFileAsker([this](QWidget*, const FileQuestion& question) {
            questions.push_back(question);
            if (answers.empty())
                return FileAnswer{};
            FileAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    void TearDown() override
    {
        if (savedHome)
            qputenv("HOME", QByteArray::fromStdString(*savedHome));
        setFileAsker({});
        ScreenTest::TearDown();
    }

    FitScreen* open()
    {
        FitScreen* screen = showScreen<FitScreen>();
        settle();
        return screen;
    }
    // Chooses `path` as the file of common points, as the open dialog does.
    void chooseTargets(const std::string& path)
    {
        answers.push_back({QString::fromStdString(path), 0});
        click(button("targetFileButton"));
    }
    // The example survey where a surveyor keeps a job, in a folder "Εργασίες" of the home
    // folder (one of the test's own), as the screen and its report show it.
    std::string job(const char* name) { return utf8Path(folder / "home" / pathFromUtf8("Εργασίες") / name); }
    void useExample(const char* points = "survey.txt", const char* targets = "survey_common_points.txt")
    {
        std::filesystem::create_directories(pathFromUtf8(job("")));
        for (const char* name : {points, targets})
            std::filesystem::copy_file(pathFromUtf8(kExamples + "/" + name), pathFromUtf8(job(name)),
                                       std::filesystem::copy_options::overwrite_existing);
        if (!savedHome)
            savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        qputenv("HOME", QByteArray::fromStdString(utf8Path(folder / "home")));
        writeHandoffPath(handoff, job(points));
        open();
        chooseTargets(job(targets));
    }
    std::optional<std::string> savedHome;

    QPushButton* button(const char* name) { return control<QPushButton>(openScreen<FitScreen>(), name); }
    QLineEdit* box(const char* name) { return control<QLineEdit>(openScreen<FitScreen>(), name); }
    QTableView* table() { return control<QTableView>(openScreen<FitScreen>(), "pointsTable"); }
    QString cell(int row, int column) { return table()->model()->index(row, column).data().toString(); }
    bool checked(int row) { return table()->model()->index(row, FitTableModel::Use).data(Qt::CheckStateRole) == Qt::Checked; }
    bool red(int row) { return table()->model()->index(row, FitTableModel::V).data(Qt::BackgroundRole).isValid(); }

    // Switches a point in or out with the keyboard, as a user does in the table.
    void toggle(int row)
    {
        QTableView* view = table();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, FitTableModel::Use));
        QTest::keyClick(view, Qt::Key_Space);
        settle();
    }

    // The parameter boxes as the screen shows them.
    QStringList parameterBoxes()
    {
        QStringList texts;
        for (const char* name : {"fBox", "dxBox", "dyBox", "dhBox", "scaleResultBox"})
            texts << box(name)->text();
        return texts;
    }
    // The boxes show the figures of the text report, each to the decimals of its meaning.
    static QStringList parameterBoxesOf(const SimilarityFit& fit)
    {
        QStringList texts;
        for (const std::string& text : {rotationForm(fit.f), lengthForm(fit.dx()), lengthForm(fit.dy()), lengthForm(fit.Dh),
                                        scaleForm(fit.klimax)})
            texts << QString::fromStdString(text);
        return texts;
    }
    QColor stateColour()
    {
        auto* label = control<QLabel>(openScreen<FitScreen>(), "stateLabel");
        return label->palette().color(QPalette::WindowText);
    }

    std::deque<FileAnswer> answers;
    std::vector<FileQuestion> questions;
};

TEST_F(FitScreenTest, TheButtonOnTheCommonPointsScreenOpensItAndTakesNoOneElsesPlace)
{
    chooseCoordinateFile("1,1000,1000,50,a\r\n2,1060,1080,52,b\r\n");
    Form3* form3 = showScreen<Form3>();
    settle();
    auto* fit = control<QPushButton>(form3, "fitButton");
    EXPECT_EQ(fit->text(), QStringLiteral("Περισσότερα κοινά σημεία…"));
    // In the free area right of Command1, clear of every other control.
    EXPECT_GE(fit->x(), control<QWidget>(form3, "Command1")->geometry().right());
    for (QWidget* other : form3->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != fit && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(fit->geometry())) << other->objectName().toStdString();
        }
    }
    // Last in the tab order.
    QWidget* next = control<QWidget>(form3, "SD")->nextInFocusChain();
    while (next && next->focusPolicy() == Qt::NoFocus)
        next = next->nextInFocusChain();
    EXPECT_EQ(next, fit);

    click(fit);
    FitScreen* screen = openScreen<FitScreen>();
    ASSERT_NE(screen, nullptr);
    EXPECT_NE(openScreen<Form3>(), nullptr);  // the common points screen stays open
    EXPECT_EQ(control<QLabel>(screen, "coordinateFileName")->text(), QString::fromStdString((folder / "points.txt").string()));
    EXPECT_FALSE(button("okButton")->isEnabled());
    // What to do next, in the normal colour: red is kept for what is wrong.
    EXPECT_TRUE(control<QLabel>(screen, "stateLabel")->text().startsWith(QStringLiteral("Επιλέξτε")));
    EXPECT_EQ(stateColour(), screen->palette().color(QPalette::WindowText));
    EXPECT_FALSE(button("reportButton")->isEnabled());
    click(fit);
    EXPECT_EQ(openScreen<FitScreen>(), screen);  // one window, brought to the front

    // Resizable, the plan taking the room it is given.
    EXPECT_EQ(screen->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    auto* plot = control<PointsPlot>(screen, "pointsPlot");
    const QSize before = plot->size();
    screen->resize(screen->width() + 200, screen->height() + 150);
    settle();
    EXPECT_GT(plot->width(), before.width());
    EXPECT_GT(plot->height(), before.height());
}

TEST_F(FitScreenTest, TheKeyboardWalksItsControlsInOrder)
{
    // The order a surveyor works in: the file, the table, the options, the results, the buttons.
    chooseCoordinateFile("1,1000,1000,50,a\r\n");
    FitScreen* screen = open();
    const char* order[] = {"targetFileButton", "pointsTable", "modelBox", "scaleBox", "toleranceBox",
                           "dropOutliersButton", "fBox", "dxBox", "dyBox", "dhBox", "scaleResultBox", "sigma0Box",
                           "heightSigmaBox", "cancelButton", "reportButton", "saveModelButton", "saveResultButton",
                           "okButton", "targetFileButton"};
    QWidget* w = control<QWidget>(screen, order[0]);
    for (std::size_t i = 1; i < std::size(order); ++i) {
        w = w->nextInFocusChain();
        while (w && (w->focusPolicy() & Qt::TabFocus) == 0)
            w = w->nextInFocusChain();
        ASSERT_TRUE(w);
        EXPECT_EQ(w->objectName(), QString::fromLatin1(order[i])) << "after " << order[i - 1];
    }
    EXPECT_FALSE(control<QTableView>(screen, "pointsTable")->tabKeyNavigation());  // Tab leaves the table
}

TEST_F(FitScreenTest, WithoutAChosenCoordinateFileTheErrorBoxSaysSo)
{
    open();
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("αρχείο συντεταγμένων"))) << errorMessage().toStdString();
    closeAllScreens();
    open();
    click(button("targetFileButton"));
    EXPECT_TRUE(questions.empty());  // nothing asked before a coordinate file is chosen
    EXPECT_FALSE(errorMessage().isEmpty());
    EXPECT_FALSE(button("okButton")->isEnabled());
}

TEST_F(FitScreenTest, TheExampleShowsItsOutlierAndDropsIt)
{
    useExample();
    ASSERT_EQ(errorMessage(), QString());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].filters.value(0), QStringLiteral("Αρχεία κειμένου (*.txt)"));
    ASSERT_EQ(table()->model()->rowCount(), 6);
    EXPECT_EQ(cell(4, FitTableModel::Pn), QStringLiteral("Σ5"));
    EXPECT_EQ(cell(0, FitTableModel::SourceX), QStringLiteral("2483.83"));

    const CommonPoints points = matchCommonPoints(kExamples + "/survey.txt", kExamples + "/survey_common_points.txt");
    std::vector<bool> use(6, true);
#ifdef Q_OS_WIN
    // Windows names files from their drive, so the path is shown whole there.
    const QString shown = QString::fromStdString(job("survey.txt"));
#else
    const QString shown = QStringLiteral("~/Εργασίες/survey.txt");
#endif
    EXPECT_EQ(control<QLabel>(openScreen<FitScreen>(), "coordinateFileName")->text(), shown);
    const SimilarityFit all = fitSimilarity(points.matched, use, {});
    EXPECT_EQ(parameterBoxes(), parameterBoxesOf(all));
    EXPECT_EQ(cell(4, FitTableModel::V), QString::number(all.residuals[4].v, 'f', 3));
    EXPECT_TRUE(red(4));
    EXPECT_TRUE(button("okButton")->isEnabled());
    EXPECT_FALSE(control<QLabel>(openScreen<FitScreen>(), "stateLabel")->text().isEmpty());
    saveScreenshot(openScreen<FitScreen>(), QStringLiteral("FitScreen-loaded"));

    click(button("dropOutliersButton"));
    const SimilarityFit dropped = dropOutliers(points.matched, use, {});
    ASSERT_FALSE(use[4]);
    EXPECT_FALSE(checked(4));
    for (int row : {0, 1, 2, 3, 5})
        EXPECT_TRUE(checked(row)) << row;
    EXPECT_EQ(parameterBoxes(), parameterBoxesOf(dropped));
    EXPECT_EQ(box("sigma0Box")->text(), QString::number(*dropped.sigma0, 'f', 4));
    EXPECT_TRUE(control<QLabel>(openScreen<FitScreen>(), "usedLabel")->text().contains(QStringLiteral("5 από 6")));
    EXPECT_TRUE(control<QLabel>(openScreen<FitScreen>(), "stateLabel")->text().isEmpty());
    // Every figure on the screen stands in the text report of the same fit.
    const std::string report = windows1253ToUtf8(fitReport({"a", "b", "", &points, &dropped}));
    for (const char* name : {"fBox", "dxBox", "dyBox", "dhBox", "scaleResultBox", "sigma0Box", "heightSigmaBox"})
        EXPECT_NE(report.find(": " + box(name)->text().toStdString() + "\r\n"), std::string::npos) << name;
    EXPECT_NE(report.find(" " + cell(0, FitTableModel::V).toStdString() + "\r\n"), std::string::npos);
    auto* plot = control<PointsPlot>(openScreen<FitScreen>(), "pointsPlot");
    EXPECT_EQ(plot->dots().size(), 60u);
    EXPECT_GT(plot->residualFactor(), 1.0);
    saveScreenshot(openScreen<FitScreen>(), QStringLiteral("FitScreen"));
    // A row picked in the table is ringed on the plan; a point clicked on the plan is picked
    // in the table.
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                      table()->visualRect(table()->model()->index(2, FitTableModel::Pn)).center());
    EXPECT_EQ(plot->marked(), 2);
    const QPointF sigma5 = plot->view().toPixel(points.matched[4].x, points.matched[4].y);
    QTest::mouseClick(plot, Qt::LeftButton, {}, sigma5.toPoint());
    EXPECT_EQ(table()->currentIndex().row(), 4);
    EXPECT_EQ(plot->marked(), 4);
    
    // O.K. hands on the seven lines of the fit; the save step then writes what the core writes
    // for them.
    click(button("okButton"));
    EXPECT_EQ(openScreen<FitScreen>(), nullptr);
    const std::filesystem::path coreParameters = folder / "core_parameters.tmp";
    writeParameterFile(coreParameters, parameterLinesOf(dropped));
    EXPECT_EQ(readBytes(handoff.parameterFile()), readBytes(coreParameters));

    std::filesystem::create_directory(folder / "out");
    Form4* save = showScreen<Form4>();
    control<DirectoryList>(save, "Dir1")->setPath(QString::fromStdString((folder / "out").string()));
    settle();
    control<QLineEdit>(save, "Text1")->setText(QStringLiteral("survey_target.txt"));
    click(control<QPushButton>(save, "Command1"));
    ASSERT_EQ(errorMessage(), QString());
    // The command line's save step, with the parameters the screen handed on.
    const QString cli = QStringLiteral(TAVRELO_CLI);
    ASSERT_EQ(QProcess::execute(cli, {QStringLiteral("apply"), QString::fromStdString(handoff.parameterFile().string()),
                                      QString::fromStdString(job("survey.txt")),
                                      QString::fromStdString((folder / "expected.txt").string())}),
              0);
    EXPECT_EQ(readBytes(folder / "out" / "survey_target.txt"), readBytes(folder / "expected.txt"));
}

TEST_F(FitScreenTest, EverySwitchRefitsAndNoFitLeavesNoOK)
{
    chooseCoordinateFile("A,100,100,10,x\r\nB,200,100,11,x\r\nC,200,200,12,x\r\nD,100,200,,x\r\n");
    writeBytes(folder / "targets.txt", "A,1100,1100,9,t\r\nB,1200,1100.01,10,t\r\nC,1200,1200,11,t\r\nD,1100,1200,8,t\r\nZ,5,5,5,t\r\n");
    open();
    chooseTargets((folder / "targets.txt").string());
    ASSERT_EQ(errorMessage(), QString());
    ASSERT_EQ(table()->model()->rowCount(), 5);
    EXPECT_EQ(cell(4, FitTableModel::Pn), QStringLiteral("Z"));  // unmatched, listed last
    EXPECT_TRUE(cell(4, FitTableModel::SourceX).contains(QStringLiteral("δεν υπάρχει")));
    EXPECT_EQ(cell(3, FitTableModel::SourceH), QString());
    EXPECT_EQ(cell(3, FitTableModel::VH), QString());  // no height, no height residual

    const CommonPoints points = matchCommonPoints((folder / "points.txt").string(), (folder / "targets.txt").string());
    std::vector<bool> use{true, false, true, true};
    toggle(1);
    EXPECT_FALSE(checked(1));
    EXPECT_EQ(parameterBoxes(), parameterBoxesOf(fitSimilarity(points.matched, use, {})));
    // An unused point still shows how far it misses, in grey.
    EXPECT_FALSE(cell(1, FitTableModel::V).isEmpty());
    EXPECT_TRUE(table()->model()->index(1, FitTableModel::Pn).data(Qt::ForegroundRole).isValid());

    toggle(0);
    toggle(2);  // one point left: no fit
    EXPECT_FALSE(button("okButton")->isEnabled());
    EXPECT_FALSE(button("reportButton")->isEnabled());
    EXPECT_EQ(box("fBox")->text(), QString());
    EXPECT_EQ(cell(3, FitTableModel::V), QString());
    EXPECT_FALSE(control<QLabel>(openScreen<FitScreen>(), "stateLabel")->text().isEmpty());
    EXPECT_EQ(errorMessage(), QString());  // a state of the screen, not a failure
    toggle(3);  // none at all
    EXPECT_FALSE(button("okButton")->isEnabled());
    click(button("dropOutliersButton"));
    EXPECT_FALSE(button("okButton")->isEnabled());
    click(button("okButton"));
    EXPECT_FALSE(std::filesystem::exists(handoff.parameterFile()));

    toggle(0);
    toggle(2);
    EXPECT_TRUE(button("okButton")->isEnabled());
    use = {true, false, true, false};
    EXPECT_EQ(parameterBoxes(), parameterBoxesOf(fitSimilarity(points.matched, use, {})));
}

TEST_F(FitScreenTest, ToleranceAndScaleRefitAtOnceInTheRegionalFormat)
{
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    useExample();
    EXPECT_EQ(box("toleranceBox")->text(), QStringLiteral("0,06"));
    EXPECT_EQ(cell(0, FitTableModel::SourceX), QStringLiteral("2483,83"));
    EXPECT_TRUE(cell(4, FitTableModel::V).contains(QLatin1Char(',')));
    EXPECT_TRUE(red(4));

    box("toleranceBox")->selectAll();
    type(box("toleranceBox"), "0,6");
    EXPECT_FALSE(red(4));
    click(button("dropOutliersButton"));
    EXPECT_TRUE(checked(4));  // within the tolerance now: nothing to drop

    box("toleranceBox")->selectAll();
    type(box("toleranceBox"), "0.0x");
    EXPECT_FALSE(button("okButton")->isEnabled());
    EXPECT_TRUE(control<QLabel>(openScreen<FitScreen>(), "stateLabel")->text().contains(QStringLiteral("ανοχή")));
    EXPECT_EQ(stateColour(), QColor(255, 0, 0));  // red means wrong
    EXPECT_EQ(errorMessage(), QString());
    box("toleranceBox")->selectAll();
    type(box("toleranceBox"), "0.06");
    EXPECT_TRUE(button("okButton")->isEnabled());
    EXPECT_TRUE(red(4));

    EXPECT_EQ(box("scaleResultBox")->text(), QStringLiteral("1,000000000 (0,000 ppm)"));
    control<QCheckBox>(openScreen<FitScreen>(), "scaleBox")->setChecked(true);
    const CommonPoints points = matchCommonPoints(kExamples + "/survey.txt", kExamples + "/survey_common_points.txt");
    FitOptions withScale;
    withScale.scaleWanted = true;
    const SimilarityFit scaled = fitSimilarity(points.matched, std::vector<bool>(6, true), withScale);
    EXPECT_EQ(box("scaleResultBox")->text(), QString::fromStdString(scaleForm(scaled.klimax, ',')));
    EXPECT_EQ(box("dhBox")->text(), QString::fromStdString(lengthForm(scaled.Dh, ',')));

    // The hand-off is written with '.' whatever the screen shows.
    click(button("okButton"));
    EXPECT_EQ(readBytes(handoff.parameterFile()).find(','), std::string::npos);
}

struct BadTargets {
    const char* what;
    const char* bytes;  // nullptr: no file at all
    const char* inMessage;
};

TEST_F(FitScreenTest, BadCommonPointsFilesShowTheErrorBoxAndChangeNothing)
{
    const BadTargets cases[] = {
        {"missing", nullptr, "targets.txt"},
        {"not a number", "A,1100,1100,9,t\r\nB,12OO,1100,10,t\r\n", "B"},
        {"one match", "A,1100,1100,9,t\r\nQ,1200,1100,10,t\r\n", ""},
        {"twice", "A,1100,1100,9,t\r\nB,1200,1100,10,t\r\nA,1100,1100,9,t\r\n", "A"},
        {"cut short", "A,1100,1100,9,t\r\nB,\"1200", ""},
    };
    chooseCoordinateFile("A,100,100,10,x\r\nB,200,100,11,x\r\nC,200,200,12,x\r\n");
    writeBytes(folder / "good.txt", "A,1100,1100,9,t\r\nB,1200,1100,10,t\r\nC,1200,1200,11,t\r\n");
    for (const BadTargets& bad : cases) {
        SCOPED_TRACE(bad.what);
        std::filesystem::remove(folder / "targets.txt");
        if (bad.bytes)
            writeBytes(folder / "targets.txt", bad.bytes);

        // On a fresh screen: the error box, and still nothing to hand on.
        open();
        chooseTargets((folder / "targets.txt").string());
        EXPECT_FALSE(errorMessage().isEmpty());
        EXPECT_TRUE(errorMessage().contains(QString::fromUtf8(bad.inMessage))) << errorMessage().toStdString();
        EXPECT_TRUE(messageFault(errorMessage().toStdString()).empty()) << messageFault(errorMessage().toStdString());
        EXPECT_FALSE(button("okButton")->isEnabled());
        EXPECT_EQ(table()->model()->rowCount(), 0);
        closeAllScreens();

        // After a good file: the good file's fit stays as it was.
        open();
        chooseTargets((folder / "good.txt").string());
        ASSERT_TRUE(button("okButton")->isEnabled());
        const QStringList before = parameterBoxes();
        chooseTargets((folder / "targets.txt").string());
        EXPECT_FALSE(errorMessage().isEmpty());
        EXPECT_EQ(parameterBoxes(), before);
        EXPECT_EQ(table()->model()->rowCount(), 3);
        EXPECT_TRUE(control<QLabel>(openScreen<FitScreen>(), "targetFileName")->text().endsWith(QStringLiteral("good.txt")));
        EXPECT_TRUE(control<QLabel>(openScreen<FitScreen>(), "coordinateFileName")->text().endsWith(QStringLiteral("points.txt")));
        closeAllScreens();
    }
}

TEST_F(FitScreenTest, OKRefusesParametersForAnotherCoordinateFileAndCancelWritesNothing)
{
    useExample();
    writeBytes(handoff.parameterFile(), "earlier parameters");
    chooseCoordinateFile("1,1,2,3,x\r\n");  // chosen on the open-file screen meanwhile
    click(button("okButton"));
    EXPECT_TRUE(errorMessage().contains(QStringLiteral("points.txt"))) << errorMessage().toStdString();
    EXPECT_NE(openScreen<FitScreen>(), nullptr);
    // The screen still names the file its points came from.
    EXPECT_TRUE(control<QLabel>(openScreen<FitScreen>(), "coordinateFileName")->text().endsWith(QStringLiteral("survey.txt")));
    EXPECT_EQ(readBytes(handoff.parameterFile()), "earlier parameters");
    closeAllScreens();

    useExample();
    answers.push_back({});  // the dialog cancelled: the same files stay
    click(button("targetFileButton"));
    EXPECT_EQ(table()->model()->rowCount(), 6);
    click(button("cancelButton"));
    EXPECT_EQ(openScreen<FitScreen>(), nullptr);
    EXPECT_EQ(readBytes(handoff.parameterFile()), "earlier parameters");
}

TEST_F(FitScreenTest, TheReportIsWrittenAsPdfOrText)
{
    useExample();
    click(button("dropOutliersButton"));

    const std::string pdf = (folder / "report.pdf").string();
    answers.push_back({QString::fromStdString(pdf), 1});  // the name's ending decides
    click(button("reportButton"));
    ASSERT_EQ(errorMessage(), QString());
    EXPECT_EQ(questions.back().filters.value(0), QStringLiteral("Αναφορά PDF (*.pdf)"));
    EXPECT_TRUE(questions.back().save);
    const std::string bytes = readBytes(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
    // Kept with the screenshots, with its pages as pictures where poppler's pdftoppm is
    // installed: that also proves the file reads as a PDF of two pages.
    QDir shots(QStringLiteral(TAVRELO_SCREENSHOTS));
    shots.mkpath(QStringLiteral("."));
    writeBytes(shots.filePath(QStringLiteral("FitReport.pdf")).toStdString(), bytes);
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (!pdftoppm.isEmpty()) {
        for (const QString& old : shots.entryList({QStringLiteral("FitReport-*.png")}))
            shots.remove(old);
        EXPECT_EQ(QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                                              shots.filePath(QStringLiteral("FitReport.pdf")),
                                              shots.filePath(QStringLiteral("FitReport"))}),
                  0);
        EXPECT_EQ(shots.entryList({QStringLiteral("FitReport-*.png")}),
                  (QStringList{QStringLiteral("FitReport-1.png"), QStringLiteral("FitReport-2.png")}));
    }

    answers.push_back({QString::fromStdString((folder / "report").string()), 1});  // no ending: the filter's
    click(button("reportButton"));
    ASSERT_EQ(errorMessage(), QString());
    const std::string text = readBytes(folder / "report.txt");
    EXPECT_NE(text.find(utf8ToWindows1253("Σ5")), std::string::npos);
    EXPECT_NE(text.find("\r\n"), std::string::npos);

    // A folder that cannot take the file: the error box, no stray file.
    answers.push_back({QString::fromStdString((folder / "no such folder" / "report.pdf").string()), 0});
    click(button("reportButton"));
    EXPECT_FALSE(errorMessage().isEmpty());
    EXPECT_TRUE(messageFault(errorMessage().toStdString()).empty()) << errorMessage().toStdString();
    // The reason in Greek, not Qt's English text of the file error.
    EXPECT_TRUE(errorMessage().endsWith(QStringLiteral("δεν γράφτηκε: ο φάκελός της δεν υπάρχει."))) << errorMessage().toStdString();

    // Never over a file it reports on, even when the dialog's question was answered yes.
    for (const char* input : {"survey.txt", "survey_common_points.txt"}) {
        const std::string before = readBytes(pathFromUtf8(job(input)));
        answers.push_back({QString::fromStdString(job(input)), 1});
        click(button("reportButton"));
        EXPECT_TRUE(errorMessage().contains(QStringLiteral("θα έπαιρνε τη θέση"))) << errorMessage().toStdString();
        EXPECT_EQ(readBytes(pathFromUtf8(job(input))), before) << input;
    }
}

TEST_F(FitScreenTest, AnOldPlansModelSavesItsNewCoordinatesAndItsFileButHandsNothingOn)
{
    useExample("old_plan.txt", "old_plan_common_points.txt");
    writeBytes(handoff.parameterFile(), "earlier\r\n");
    auto* models = control<QComboBox>(openScreen<FitScreen>(), "modelBox");
    const CommonPoints points = matchCommonPoints(kExamples + "/old_plan.txt", kExamples + "/old_plan_common_points.txt");
    for (const FitModel model : {FitModel::Affine, FitModel::SecondDegree}) {
        pick(models, model == FitModel::Affine ? 1 : 2);
        settle();
        EXPECT_FALSE(button("okButton")->isVisible());
        EXPECT_FALSE(control<QCheckBox>(openScreen<FitScreen>(), "scaleBox")->isEnabled());
        ASSERT_TRUE(button("saveResultButton")->isEnabled()) << modelKey(model);
        const ModelFit core = fitModel(points.matched, std::vector<bool>(8, true), {}, model);
        EXPECT_EQ(box("sigma0Box")->text(), shownFigure(lengthForm, core.sigma0));
        EXPECT_EQ(cell(0, FitTableModel::V), shownFigure(residualForm, core.residuals[0].v));
        const QString figures = control<QLabel>(openScreen<FitScreen>(), "coefficientsLabel")->text();
        EXPECT_TRUE(figures.contains(model == FitModel::Affine ? QStringLiteral("διάτμηση") : QStringLiteral("d5 = ")))
            << figures.toStdString();

        // The new coordinates are what the model file carries later, byte for byte.
        const auto result = folder / "result.txt", modelFile = folder / "plan.model", later = folder / "later.txt";
        answers.push_back({QString::fromStdString(result.string()), 0});
        click(button("saveResultButton"));
        answers.push_back({QString::fromStdString(modelFile.string()), 0});
        click(button("saveModelButton"));
        ASSERT_EQ(errorMessage(), QString());
        EXPECT_EQ(readBytes(modelFile), modelFileText(core.mapping));
        applyTransformation(later.string(), job("old_plan.txt"), modelFile);
        EXPECT_EQ(readBytes(result), readBytes(later)) << modelKey(model);
        // The report names the model, in the PDF as in the text.
        const auto report = folder / (std::string("report_") + modelKey(model) + ".txt");
        answers.push_back({QString::fromStdString(report.string()), 1});
        click(button("reportButton"));
        answers.push_back({QString::fromStdString(report.string()) + QStringLiteral(".pdf"), 0});
        click(button("reportButton"));
        ASSERT_EQ(errorMessage(), QString());
        EXPECT_NE(windows1253ToUtf8(readBytes(report)).find(modelName(model)), std::string::npos);
        EXPECT_GT(std::filesystem::file_size(report.string() + ".pdf"), 1000u);
    }
    EXPECT_EQ(readBytes(handoff.parameterFile()), "earlier\r\n");  // the save step's parameters untouched
    pick(models, 0);
    settle();
    EXPECT_TRUE(button("okButton")->isVisible());
    EXPECT_TRUE(button("okButton")->isEnabled());
    EXPECT_FALSE(button("saveResultButton")->isVisible());

    // The affine with the wrong point dropped, for the README.
    pick(models, 1);
    click(button("dropOutliersButton"));
    settle();
    saveScreenshot(openScreen<FitScreen>(), QStringLiteral("FitScreen-affine"));
}

}  // namespace
}  // namespace tavrelo
