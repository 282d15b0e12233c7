#include "screens/drawing_screen.h"

#include "data/file_io.h"
#include "data/handoff_files.h"
#include "drawing/drawing_outline.h"
#include "drawing/dxf_transform.h"
#include "screens/drawing_plot.h"
#include "screens/file_questions.h"
#include "screens/screen_mechanics.h"
#include "text/failure.h"
#include "transform/plane_mapping.h"
#include "ui_drawing_screen.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <filesystem>
#include <map>
#include <system_error>

namespace tavrelo {

namespace {

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString count(long n)
{
    return QLocale().toString(static_cast<qlonglong>(n));
}

// What a carrying did, as a surveyor reads it: how many of each kind were carried, what stayed
// as it was and where the drawing now lies.
QString summaryOf(const DrawingSummary& summary)
{
    long carried = 0;
    QStringList kinds;
    for (const auto& [type, n] : summary.carried) {
        carried += n;
        kinds << QString::fromStdString(type) + QStringLiteral(" ") + count(n);
    }
    QString text = carried == 1 ? QStringLiteral("Μεταφέρθηκε 1 οντότητα")
                                : QStringLiteral("Μεταφέρθηκαν %1 οντότητες").arg(count(carried));
    text += kinds.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + kinds.join(QStringLiteral(", ")) + QStringLiteral(".");

    if (!summary.stayed.empty()) {
        // By type: how many, and the handles of the first few.
        std::map<std::string, QStringList> handles;
        for (const StayedEntity& e : summary.stayed)
            handles[e.type] << QString::fromStdString(e.handle);
        QStringList stayed;
        for (const auto& [type, list] : handles) {
            QStringList shown = list.mid(0, 8);
            if (list.size() > 8)
                shown << QStringLiteral("…");
            stayed << QString::fromStdString(type) + QStringLiteral(" ") + count(list.size()) + QStringLiteral(" (handle ") +
                          shown.join(QStringLiteral(", ")) + QStringLiteral(")");
        }
        text += QStringLiteral("\nΈμειναν ως είχαν, γιατί δεν μεταφέρονται: ") + stayed.join(QStringLiteral("; ")) +
                QStringLiteral(".");
    }
    if (summary.hasExtents)
        text += QStringLiteral("\nΤο σχέδιο απλώνεται τώρα από X %1, Y %2 έως X %3, Y %4.")
                    .arg(fixedDecimals(summary.extentMin[0], 3), fixedDecimals(summary.extentMin[1], 3),
                         fixedDecimals(summary.extentMax[0], 3), fixedDecimals(summary.extentMax[1], 3));
    return text;
}

// The chosen coordinate file, or nothing when none has been chosen yet.
std::string chosenCoordinateFile()
{
    try {
        return readHandoffPath(handoffFiles());
    } catch (const Failure&) {
        return {};
    }
}

}  // namespace

DrawingScreen::DrawingScreen(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::DrawingScreen>())
{
    ui->setupUi(this);
    setWindowIcon(applicationIcon());
    for (QPushButton* button : {ui->drawingFileButton, ui->saveButton, ui->cancelButton})
        useHandPointer(button);
    ui->drawingFileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui->saveButton->setEnabled(false);
    showDirection();

    connect(ui->drawingFileButton, &QPushButton::clicked, this, [this] { runHandler([&] { drawingFileButton_Click(); }); });
    connect(ui->skipUnknownBox, &QCheckBox::toggled, this, [this] { runHandler([&] { skipUnknownBox_Toggled(); }); });
    connect(ui->saveButton, &QPushButton::clicked, this, [this] { runHandler([&] { saveButton_Click(); }); });
    connect(ui->cancelButton, &QPushButton::clicked, this, &QWidget::close);
}

DrawingScreen::~DrawingScreen()
{
    stopCarrying();
}

void DrawingScreen::setInverse(bool inverse)
{
    if (inverse == inverse_)
        return;
    inverse_ = inverse;
    showDirection();
    if (!drawingPath_.empty())
        runHandler([&] { carry(drawingPath_); });
}

void DrawingScreen::showDirection()
{
    ui->directionText->setText(inverse_ ? QStringLiteral("αντίστροφα, από το σύστημα προορισμού στο αρχικό")
                                        : QStringLiteral("από το αρχικό σύστημα στο σύστημα προορισμού"));
}

void DrawingScreen::drawingFileButton_Click()
{
    FileQuestion question;
    question.title = QStringLiteral("Σχέδιο DXF προς μετασχηματισμό");
    question.filters = {QStringLiteral("Σχέδια DXF (*.dxf *.DXF)"), QStringLiteral("Όλα τα αρχεία (*)")};
    question.suggestedName = drawingPath_.empty()
                                 ? QFileInfo(QString::fromStdString(chosenCoordinateFile())).absolutePath()
                                 : QString::fromStdString(drawingPath_);
    const FileAnswer answer = askForFile(this, question);
    if (answer.path.isEmpty())
        return;
    carry(answer.path.toStdString());
}

void DrawingScreen::skipUnknownBox_Toggled()
{
    if (!drawingPath_.empty())
        carry(drawingPath_);
}

void DrawingScreen::carry(const std::string& drawingPath)
{
    stopCarrying();  // what was being carried for an earlier choice is no longer wanted
    const HandoffFiles files = handoffFiles();
    const std::filesystem::path parameters = files.parameterFile();
    const DrawingOptions options{inverse_, ui->skipUnknownBox->isChecked()};
    if (!scratch_ || !scratch_->isValid())
        scratch_ = std::make_unique<QTemporaryDir>();
    if (!scratch_->isValid())
        throw Failure("Δεν δημιουργήθηκε προσωρινός φάκελος για το σχέδιο: " + scratch_->errorString().toStdString() + ".");
    const std::filesystem::path carried =
        pathFromUtf8(scratch_->path().toStdString()) / ("carried" + std::to_string(carryings_ + 1) + ".dxf");

    // The plan shows at once the drawing's outline carried by the parameters; the whole
    // drawing is carried meanwhile in the background, which tells what was carried and what
    // stayed, or refuses it.
    DrawingOutline outline;
    std::vector<PlanPoint> points;
    QString pointsNote;
    {
        const WaitCursor wait;
        const PlaneMapping mapping(readParameterFile(parameters), parameters,
                                   inverse_ ? Direction::Inverse : Direction::Forward);
        try {
            outline = readDrawingOutline(drawingPath);
        } catch (const Failure&) {
            // The carrying names what is wrong with a drawing as a surveyor's CAD program
            // would (a DWG, a binary DXF, the entity and its handle): its word comes first.
            transformDrawing(utf8Path(carried), drawingPath, parameters, options);
            std::error_code ignored;
            std::filesystem::remove(carried, ignored);
            throw;
        }
        carryOutline(outline, mapping);
        // The points are a guide on the plan: a coordinate file that cannot be shown is said,
        // and the drawing is shown without them.
        try {
            points = carriedPlan(readHandoffPath(files), parameters, inverse_, DrawingPlot::kMaxDots);
            pointsNote = points.empty()
                             ? QStringLiteral("Το αρχείο συντεταγμένων δεν έχει σημεία να δειχτούν.")
                             : QStringLiteral("Τρίγωνα: τα σημεία του αρχείου συντεταγμένων, μεταφερμένα με τις ίδιες παραμέτρους.");
        } catch (const Failure& failure) {
            pointsNote = QStringLiteral("Τα σημεία του αρχείου συντεταγμένων δεν φαίνονται: ") + QString::fromUtf8(failure.what());
        }
    }
    drawingPath_ = drawingPath;
    pointsNote_ = pointsNote;
    summary_.clear();
    ui->drawingFileName->setText(shownPath(drawingPath_));
    ui->summaryLabel->setText(QStringLiteral("Το σχέδιο μεταφέρεται…\n") + pointsNote_);
    ui->drawingPlot->setDrawing(std::move(outline), std::move(points));
    ui->saveButton->setEnabled(false);

    const unsigned number = ++carryings_;
    carrying_ = true;
    worker_ = std::thread([this, number, carried, drawingPath, parameters, options] {
        DrawingSummary summary;
        std::exception_ptr failure;
        try {
            summary = transformDrawing(utf8Path(carried), drawingPath, parameters, options);
        } catch (...) {
            failure = std::current_exception();
        }
        std::error_code ignored;
        std::filesystem::remove(carried, ignored);
        QMetaObject::invokeMethod(
            this, [this, number, summary, failure] { carriedInBackground(number, summary, failure); },
            Qt::QueuedConnection);
    });
}

void DrawingScreen::carriedInBackground(unsigned number, const DrawingSummary& summary, std::exception_ptr failure)
{
    if (number != carryings_)
        return;  // a carrying stopped for a later choice
    stopCarrying();
    if (failure) {
        // The drawing cannot be carried: the plan no longer shows it.
        drawingPath_.clear();
        ui->drawingFileName->clear();
        ui->summaryLabel->clear();
        ui->drawingPlot->setDrawing({}, {});
        runHandler([&] { std::rethrow_exception(failure); });
        return;
    }
    summary_ = summaryOf(summary);
    ui->summaryLabel->setText(summary_ + QStringLiteral("\n") + pointsNote_);
    ui->saveButton->setEnabled(true);
}

void DrawingScreen::stopCarrying()
{
    // The carrying cannot be cut short: waiting for it takes at most as long as it does.
    if (worker_.joinable())
        worker_.join();
    carrying_ = false;
}

void DrawingScreen::saveButton_Click()
{
    if (drawingPath_.empty())
        throw Failure("Δεν έχει επιλεγεί σχέδιο. Επιλέξτε πρώτα το σχέδιο DXF.");
    const QFileInfo drawing(QString::fromStdString(drawingPath_));
    FileQuestion question;
    question.save = true;
    question.title = QStringLiteral("Αποθήκευση του μετασχηματισμένου σχεδίου");
    question.filters = {QStringLiteral("Σχέδια DXF (*.dxf)")};
    question.suggestedName = drawing.absolutePath() + QLatin1Char('/') + drawing.completeBaseName() + QStringLiteral("_μετασχ.dxf");
    const FileAnswer answer = askForFile(this, question);
    if (answer.path.isEmpty())
        return;
    QString path = answer.path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".dxf");

    // The rewriter refuses a name that is the drawing's own, writing nothing.
    const DrawingOptions options{inverse_, ui->skipUnknownBox->isChecked()};
    DrawingSummary summary;
    {
        const WaitCursor wait;
        summary = transformDrawing(path.toStdString(), drawingPath_, handoffFiles().parameterFile(), options);
    }
    summary_ = summaryOf(summary);
    ui->summaryLabel->setText(summary_ + QStringLiteral("\nΓράφτηκε το σχέδιο ") + path + QStringLiteral("."));
}

}  // namespace tavrelo
