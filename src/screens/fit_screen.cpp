#include "screens/fit_screen.h"

#include "data/file_io.h"
#include "data/handoff_files.h"
#include "screens/fit_report_pdf.h"
#include "screens/points_plot.h"
#include "screens/screen_mechanics.h"
#include "text/failure.h"
#include "text/measure_form.h"
#include "text/number_form.h"
#include "transform/apply_transformation.h"
#include "transform/fit_report.h"
#include "transform/model_file.h"
#include "ui_fit_screen.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>

#include <filesystem>

namespace tavrelo {

namespace {

const QColor kOverText(190, 0, 0);
const QColor kOverGround(255, 226, 226);
const QColor kUnusedText(140, 140, 140);

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

void makeReadOnlyLook(QLineEdit* box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(191, 205, 219));
    box->setPalette(palette);
}

}  // namespace

// --- the table ------------------------------------------------------------------------------

void FitTableModel::setPoints(const CommonPoints* points, const std::vector<bool>* use, const FitStatistics* fit)
{
    beginResetModel();
    points_ = points;
    use_ = use;
    fit_ = fit;
    endResetModel();
}

void FitTableModel::refresh(const FitStatistics* fit)
{
    fit_ = fit;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int FitTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !points_)
        return 0;
    return static_cast<int>(points_->matched.size() + points_->unmatched.size());
}

int FitTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FitTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    static const char* const heads[ColumnCount] = {
        "Χρήση", "Pn", "X\nαρχείου", "Y\nαρχείου", "h\nαρχείου", "X\nπροορισμού", "Y\nπροορισμού", "h\nπροορισμού",
        "vX", "vY", "vh", "v"};
    static const char* const tips[ColumnCount] = {
        "Το σημείο μετέχει στην προσαρμογή", "Αριθμός σημείου",
        "Στο αρχείο συντεταγμένων", "Στο αρχείο συντεταγμένων", "Στο αρχείο συντεταγμένων",
        "Στο σύστημα προορισμού", "Στο σύστημα προορισμού", "Στο σύστημα προορισμού",
        "Υπόλοιπο σε X (m): μετασχηματισμένο μείον προορισμού", "Υπόλοιπο σε Y (m)", "Υπόλοιπο υψομέτρου (m)",
        "Οριζοντιογραφική απόκλιση (m)"};
    if (section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(heads[section]);
    if (role == Qt::ToolTipRole)
        return QString::fromUtf8(tips[section]);
    return {};
}

Qt::ItemFlags FitTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Use && index.row() < static_cast<int>(points_->matched.size()))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant FitTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !points_)
        return {};
    const int row = index.row();
    const int column = index.column();
    const int matchedCount = static_cast<int>(points_->matched.size());

    if (row >= matchedCount) {
        // A target point number that the coordinate file does not hold.
        const std::string& pn = points_->unmatched[static_cast<std::size_t>(row - matchedCount)];
        if (role == Qt::DisplayRole) {
            if (column == Pn)
                return fromFileText(pn);
            if (column == SourceX)
                return QStringLiteral("δεν υπάρχει στο αρχείο συντεταγμένων");
        }
        if (role == Qt::ForegroundRole)
            return kUnusedText;
        if (role == Qt::FontRole) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    }

    const std::size_t i = static_cast<std::size_t>(row);
    const CommonPoint& p = points_->matched[i];
    const bool used = (*use_)[i];
    const Residual* r = fit_ && i < fit_->residuals.size() ? &fit_->residuals[i] : nullptr;
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case Pn: return fromFileText(p.Pn);
        case SourceX: return displayNumber(p.x);
        case SourceY: return displayNumber(p.y);
        case SourceH: return p.h ? displayNumber(*p.h) : QString();
        case TargetX: return displayNumber(p.X);
        case TargetY: return displayNumber(p.Y);
        case TargetH: return p.H ? displayNumber(*p.H) : QString();
        case VX: return r ? shownFigure(residualForm, r->vX) : QString();
        case VY: return r ? shownFigure(residualForm, r->vY) : QString();
        case VH: return r ? shownFigure(residualForm, r->vh) : QString();
        case V: return r ? shownFigure(residualForm, r->v) : QString();
        default: return {};
        }
    case Qt::CheckStateRole:
        if (column == Use)
            return used ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (column >= SourceX)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (!used)
            return kUnusedText;
        if (r && r->overTolerance)
            return kOverText;
        return {};
    case Qt::BackgroundRole:
        if (r && r->overTolerance)
            return kOverGround;
        return {};
    case Qt::ToolTipRole:
        if (r && r->overTolerance)
            return QStringLiteral("Η απόκλιση v ξεπερνά την ανοχή");
        if (!used)
            return QStringLiteral("Εκτός προσαρμογής");
        return {};
    default:
        return {};
    }
}

bool FitTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    const bool used = value.value<Qt::CheckState>() == Qt::Checked;
    if ((*use_)[static_cast<std::size_t>(index.row())] == used)
        return false;
    emit useChanged(index.row(), used);
    return true;
}

// --- the screen -----------------------------------------------------------------------------

FitScreen::FitScreen(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::FitScreen>())
{
    ui->setupUi(this);
    setWindowIcon(applicationIcon());
    for (QLineEdit* box : {ui->fBox, ui->dxBox, ui->dyBox, ui->dhBox, ui->scaleResultBox, ui->sigma0Box, ui->heightSigmaBox})
        makeReadOnlyLook(box);
    ui->toleranceBox->setText(displayNumber(kDistanceTolerance));
    ui->coordinateFileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui->targetFileName->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ui->pointsTable->setModel(&model_);
    // A point picked in the table is ringed on the plan; one clicked on the plan is picked in
    // the table.
    connect(ui->pointsTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                ui->pointsPlot->setMarked(current.isValid() && current.row() < static_cast<int>(points_.matched.size())
                                              ? current.row()
                                              : -1);
            });
    connect(ui->pointsPlot, &PointsPlot::pointPicked, this, [this](int point) {
        const QModelIndex row = model_.index(point, FitTableModel::Pn);
        ui->pointsTable->setCurrentIndex(row);
        ui->pointsTable->scrollTo(row);
    });
    ui->pointsTable->verticalHeader()->hide();
    // Columns fitted to their contents when a file is read, not at every change: a table of
    // thousands of points stays quick to refit.
    ui->pointsTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->pointsTable->horizontalHeader()->setStretchLastSection(true);
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 2);
    ui->splitter->setSizes({790, 430});

    for (QPushButton* button : {ui->targetFileButton, ui->dropOutliersButton, ui->reportButton, ui->saveModelButton,
                                ui->saveResultButton, ui->okButton, ui->cancelButton})
        useHandPointer(button);
    // The new model's controls in the order a surveyor works: the model before its options, its
    // saving before O.K.
    QWidget::setTabOrder(ui->pointsTable, ui->modelBox);
    QWidget::setTabOrder(ui->modelBox, ui->scaleBox);
    QWidget::setTabOrder(ui->reportButton, ui->saveModelButton);
    QWidget::setTabOrder(ui->saveModelButton, ui->saveResultButton);
    QWidget::setTabOrder(ui->saveResultButton, ui->okButton);
    ui->okButton->setEnabled(false);
    ui->saveModelButton->hide();
    ui->saveResultButton->hide();
    ui->coefficientsLabel->hide();
    ui->reportButton->setEnabled(false);
    ui->dropOutliersButton->setEnabled(false);

    connect(ui->targetFileButton, &QPushButton::clicked, this, [this] { runHandler([&] { targetFileButton_Click(); }); });
    connect(ui->dropOutliersButton, &QPushButton::clicked, this, [this] { runHandler([&] { dropOutliersButton_Click(); }); });
    connect(ui->reportButton, &QPushButton::clicked, this, [this] { runHandler([&] { reportButton_Click(); }); });
    connect(ui->okButton, &QPushButton::clicked, this, [this] { runHandler([&] { okButton_Click(); }); });
    connect(ui->saveResultButton, &QPushButton::clicked, this, [this] { runHandler([&] { saveResultButton_Click(); }); });
    connect(ui->saveModelButton, &QPushButton::clicked, this, [this] { runHandler([&] { saveModelButton_Click(); }); });
    connect(ui->cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->modelBox, &QComboBox::currentIndexChanged, this, [this] {
        runHandler([&] {
            // The similarity's own choices and hand-off; the other models save from here.
            const bool similarity = model() == FitModel::Similarity;
            ui->scaleBox->setEnabled(similarity);
            ui->okButton->setVisible(similarity);
            ui->saveModelButton->setVisible(!similarity);
            ui->saveResultButton->setVisible(!similarity);
            ui->coefficientsLabel->setVisible(!similarity);
            refit();
        });
    });
    connect(ui->scaleBox, &QCheckBox::toggled, this, [this] { runHandler([&] { refit(); }); });
    connect(ui->toleranceBox, &QLineEdit::textChanged, this, [this] { runHandler([&] { refit(); }); });
    connect(&model_, &FitTableModel::useChanged, this, [this](int point, bool used) {
        runHandler([&] {
            use_[static_cast<std::size_t>(point)] = used;
            refit();
        });
    });

    runHandler([&] { Form_Load(); });
}

FitScreen::~FitScreen() = default;

void FitScreen::Form_Load()
{
    ui->coordinateFileName->setText(QStringLiteral("κανένα"));
    noFit(QStringLiteral("Επιλέξτε το αρχείο των κοινών σημείων στο σύστημα προορισμού."), false);
    const std::string path = readHandoffPath(handoffFiles());
    ui->coordinateFileName->setText(shownPath(path));
}

void FitScreen::targetFileButton_Click()
{
    // The coordinate file chosen at this moment.
    const std::string coordinatePath = readHandoffPath(handoffFiles());
    FileQuestion question;
    question.title = QStringLiteral("Αρχείο κοινών σημείων στο σύστημα προορισμού");
    question.filters = {QStringLiteral("Αρχεία κειμένου (*.txt)"), QStringLiteral("Όλα τα αρχεία (*)")};
    question.suggestedName = targetPath_.empty()
                                 ? QFileInfo(QString::fromStdString(coordinatePath)).absolutePath()
                                 : QString::fromStdString(targetPath_);
    const FileAnswer answer = askForFile(this, question);
    if (answer.path.isEmpty())
        return;
    loadCommonPoints(coordinatePath, answer.path.toStdString());
}

void FitScreen::loadCommonPoints(const std::string& coordinatePath, const std::string& targetPath)
{
    CommonPoints points;
    {
        const WaitCursor wait;
        points = matchCommonPoints(coordinatePath, targetPath, PointsPlot::kMaxDots);
    }
    // Read and matched: from here on the screen shows these files.
    coordinatePath_ = coordinatePath;
    targetPath_ = targetPath;
    points_ = std::move(points);
    use_.assign(points_.matched.size(), true);
    fit_.reset();
    ui->coordinateFileName->setText(shownPath(coordinatePath_));
    ui->targetFileName->setText(shownPath(targetPath_));
    model_.setPoints(&points_, &use_, nullptr);
    ui->pointsTable->clearSpans();
    for (int row = static_cast<int>(points_.matched.size()); row < model_.rowCount(); ++row)
        ui->pointsTable->setSpan(row, FitTableModel::SourceX, 1, FitTableModel::ColumnCount - FitTableModel::SourceX);
    ui->pointsPlot->setPlan(points_.plan);
    ui->dropOutliersButton->setEnabled(true);
    refit();
    ui->pointsTable->resizeColumnsToContents();
    ui->pointsPlot->showAll();
}

FitOptions FitScreen::options() const
{
    FitOptions options;
    options.scaleWanted = ui->scaleBox->isChecked();
    const std::optional<double> tolerance = readTypedNumber(ui->toleranceBox->text().toStdString(), regionalSeparator());
    if (!tolerance || !std::isfinite(*tolerance) || *tolerance < 0)
        throw Failure("Η ανοχή «" + ui->toleranceBox->text().toStdString() + "» δεν είναι μήκος σε μέτρα (αριθμός από 0 και πάνω).");
    options.tolerance = *tolerance;
    return options;
}

FitModel FitScreen::model() const
{
    static const FitModel models[] = {FitModel::Similarity, FitModel::Affine, FitModel::SecondDegree};
    const int index = ui->modelBox->currentIndex();
    return index >= 0 && index < 3 ? models[index] : FitModel::Similarity;
}

void FitScreen::refit(bool droppingOutliers)
{
    if (points_.matched.empty())
        return;
    // A fit that cannot be made is a state of the screen, not an error: it says why and
    // offers no O.K.
    try {
        fit_ = droppingOutliers ? dropOutliersOf(points_.matched, use_, options(), model())
                                : fitModel(points_.matched, use_, options(), model());
    } catch (const Failure& failure) {
        noFit(QString::fromUtf8(failure.what()));
        return;
    }
    showFit();
}

void FitScreen::dropOutliersButton_Click()
{
    refit(true);
}

namespace {

std::vector<PlotPoint> plotPoints(const CommonPoints& points, const std::vector<bool>& use, const FitStatistics* fit)
{
    std::vector<PlotPoint> shown;
    shown.reserve(points.matched.size());
    for (std::size_t i = 0; i < points.matched.size(); ++i) {
        const CommonPoint& p = points.matched[i];
        PlotPoint q;
        q.label = fromFileText(p.Pn);
        q.x = p.x;
        q.y = p.y;
        q.used = use[i];
        if (fit && i < fit->residuals.size()) {
            const Residual& r = fit->residuals[i];
            q.vX = r.vX;
            q.vY = r.vY;
            q.v = r.v;
            q.overTolerance = r.overTolerance;
        }
        shown.push_back(q);
    }
    return shown;
}

}  // namespace

namespace {

// An affine or second-degree model as the screen shows it under the boxes: what the affine map
// amounts to, then the coefficients of X and of Y, each line in the figures of the report.
QString coefficientsText(const ModelFit& fit)
{
    const PlaneModel& m = fit.mapping;
    QStringList lines;
    lines << QString::fromUtf8(modelName(fit.model)) + QStringLiteral(":  ") +
                 QString::fromStdString(modelFormulas(fit.model)[0]);
    if (fit.model == FitModel::Affine) {
        const AffineMeaning meaning = affineMeaning(m.cX[0], m.cX[1], m.cY[0], m.cY[1]);
        lines << QStringLiteral("κλίμακα x %1 · κλίμακα y %2 · στροφή x %3 grad · στροφή y %4 grad · διάτμηση %5 grad")
                     .arg(shownFigure(scaleForm, meaning.scaleX), shownFigure(scaleForm, meaning.scaleY),
                          shownFigure(rotationForm, meaning.rotationX), shownFigure(rotationForm, meaning.rotationY),
                          shownFigure(rotationForm, meaning.shear));
    } else {
        lines << QString::fromStdString(modelFormulas(fit.model)[2]);
    }
    QString ofX, ofY;
    for (const ModelFigure& figure : modelFigures(m)) {
        const char first = figure.name[0];
        QString* line = first == 'a' || first == 'c' ? &ofX : first == 'b' || first == 'd' ? &ofY : nullptr;
        if (line)
            *line += (line->isEmpty() ? QString() : QStringLiteral("   ")) + QString::fromStdString(figure.name) +
                     QStringLiteral(" = ") + QString::fromStdString(generalNumberForm(figure.value, regionalSeparator()));
    }
    lines << ofX << ofY;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

void FitScreen::showFit()
{
    const ModelFit& fit = *fit_;
    // The figures of the text report; the parameters handed on keep every digit. The rotation
    // and the scale are the similarity's; another model shows its own figures under the boxes.
    if (fit.similarity) {
        ui->fBox->setText(shownFigure(rotationForm, fit.similarity->f));
        ui->scaleResultBox->setText(shownFigure(scaleForm, fit.similarity->klimax));
    } else {
        ui->fBox->clear();
        ui->scaleResultBox->clear();
        ui->coefficientsLabel->setText(coefficientsText(fit));
    }
    ui->dxBox->setText(shownFigure(lengthForm, fit.dx));
    ui->dyBox->setText(shownFigure(lengthForm, fit.dy));
    ui->dhBox->setText(shownFigure(lengthForm, fit.Dh));
    ui->sigma0Box->setText(shownFigure(lengthForm, fit.sigma0));
    ui->heightSigmaBox->setText(shownFigure(lengthForm, fit.heightSigma));
    for (QLineEdit* box : {ui->fBox, ui->dxBox, ui->dyBox, ui->dhBox, ui->scaleResultBox, ui->sigma0Box, ui->heightSigmaBox})
        box->setCursorPosition(0);

    QStringList over;
    for (std::size_t i = 0; i < fit.residuals.size(); ++i)
        if (fit.residuals[i].used && fit.residuals[i].overTolerance)
            over << fromFileText(points_.matched[i].Pn);
    showState(over.isEmpty() ? QString()
                             : QStringLiteral("Πάνω από την ανοχή: ") + over.join(QStringLiteral(", ")) +
                                   QStringLiteral(". «Απόρριψη» τα βγάζει ένα ένα από την προσαρμογή."),
              true);
    ui->usedLabel->setText(QStringLiteral("Σε χρήση %1 από %2 σημεία, %3 με υψόμετρο")
                               .arg(fit.used)
                               .arg(points_.matched.size())
                               .arg(fit.heightsUsed) +
                           (points_.unmatched.empty() ? QString()
                                                      : QStringLiteral(" · χωρίς αντιστοιχία: %1").arg(points_.unmatched.size())));
    model_.refresh(&fit);
    ui->pointsPlot->setCommonPoints(plotPoints(points_, use_, &fit), fit.turn);
    ui->okButton->setEnabled(fit.similarity.has_value());
    ui->saveModelButton->setEnabled(!fit.similarity);
    ui->saveResultButton->setEnabled(!fit.similarity);
    ui->reportButton->setEnabled(true);
}

void FitScreen::showState(const QString& text, bool wrong)
{
    QPalette palette = ui->stateLabel->palette();
    palette.setColor(QPalette::WindowText, wrong ? QColor(255, 0, 0) : this->palette().color(QPalette::WindowText));
    ui->stateLabel->setPalette(palette);
    ui->stateLabel->setText(text);
}

void FitScreen::noFit(const QString& why, bool wrong)
{
    fit_.reset();
    for (QLineEdit* box : {ui->fBox, ui->dxBox, ui->dyBox, ui->dhBox, ui->scaleResultBox, ui->sigma0Box, ui->heightSigmaBox})
        box->clear();
    showState(why, wrong);
    int used = 0;
    for (bool u : use_)
        used += u;
    ui->usedLabel->setText(points_.matched.empty() ? QString()
                                                   : QStringLiteral("Σε χρήση %1 από %2 σημεία").arg(used).arg(points_.matched.size()));
    model_.refresh(nullptr);
    ui->pointsPlot->setCommonPoints(plotPoints(points_, use_, nullptr), 0.0);
    ui->coefficientsLabel->clear();
    ui->okButton->setEnabled(false);
    ui->saveModelButton->setEnabled(false);
    ui->saveResultButton->setEnabled(false);
    ui->reportButton->setEnabled(false);
}

void FitScreen::reportButton_Click()
{
    if (!fit_)
        return;
    FileQuestion question;
    question.save = true;
    question.title = QStringLiteral("Αποθήκευση αναφοράς");
    question.filters = {QStringLiteral("Αναφορά PDF (*.pdf)"), QStringLiteral("Αναφορά κειμένου (*.txt)")};
    const QFileInfo coordinateFile(QString::fromStdString(coordinatePath_));
    question.suggestedName = coordinateFile.absolutePath() + QLatin1Char('/') + coordinateFile.completeBaseName() +
                             QStringLiteral("_αναφορά.pdf");
    const FileAnswer answer = askForFile(this, question);
    if (answer.path.isEmpty())
        return;

    // The kind by the name's ending; a name without one takes the ending of the filter chosen.
    QString path = answer.path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool pdf = answer.filter == 0;
    if (suffix == QStringLiteral("pdf"))
        pdf = true;
    else if (suffix == QStringLiteral("txt"))
        pdf = false;
    else if (suffix.isEmpty())
        path += pdf ? QStringLiteral(".pdf") : QStringLiteral(".txt");

    // The report never takes the place of a file it reports on.
    for (const std::string& input : {coordinatePath_, targetPath_})
        if (sameFile(path.toStdString(), input))
            throw Failure("Η αναφορά " + inQuotes(path.toStdString()) + " θα έπαιρνε τη θέση του αρχείου " + inQuotes(input) +
                          " από το οποίο γίνεται. Δώστε άλλο όνομα. Η αναφορά δεν γράφτηκε.");

    FitReportInput input;
    input.coordinateFile = coordinatePath_;
    input.targetFile = targetPath_;
    input.date = reportDateNow();
    input.points = &points_;
    input.model = &*fit_;
    const WaitCursor wait;
    if (pdf)
        writeFitReportPdf(path, input, *ui->pointsPlot);
    else
        writeFitReport(path.toStdString(), input);
}

void FitScreen::okButton_Click()
{
    if (!fit_)
        throw Failure("Δεν υπάρχει υπολογισμένη προσαρμογή. Οι παράμετροι δεν γράφτηκαν.");
    // The parameters belong to the coordinate file the points were matched in: the save step
    // must not carry another file with them.
    const std::string chosen = readHandoffPath(handoffFiles());
    if (chosen != coordinatePath_)
        throw Failure("Έχει επιλεγεί άλλο αρχείο συντεταγμένων (" + inQuotes(chosen) +
                      ") από εκείνο των κοινών σημείων (" + inQuotes(coordinatePath_) +
                      "). Διαβάστε ξανά το αρχείο κοινών σημείων. Οι παράμετροι δεν γράφτηκαν.");
    if (!fit_->similarity)
        throw Failure("Οι παράμετροι του αρχείου file001.tmp είναι του μετασχηματισμού ομοιότητας· αυτό το μοντέλο "
                      "αποθηκεύει τα νέα σημεία από εδώ. Οι παράμετροι δεν γράφτηκαν.");
    writeHandoffParameters(handoffFiles(), parameterLinesOf(*fit_->similarity));
    close();
}

namespace {

// Asks where a file made from the coordinate file goes, suggesting its name with `ending`
// beside it; empty when the user cancels. It may not take the place of either input.
QString askWhereToSave(QWidget* parent, const QString& title, const QString& filter, const std::string& coordinatePath,
                       const std::string& targetPath, const QString& ending, const char* what)
{
    FileQuestion question;
    question.save = true;
    question.title = title;
    question.filters = {filter, QStringLiteral("Όλα τα αρχεία (*)")};
    const QFileInfo coordinateFile(QString::fromStdString(coordinatePath));
    question.suggestedName = coordinateFile.absolutePath() + QLatin1Char('/') + coordinateFile.completeBaseName() + ending;
    const QString path = askForFile(parent, question).path;
    if (path.isEmpty())
        return path;
    for (const std::string& input : {coordinatePath, targetPath})
        if (sameFile(path.toStdString(), input))
            throw Failure(std::string("Το ") + what + " " + inQuotes(path.toStdString()) + " θα έπαιρνε τη θέση του αρχείου " +
                          inQuotes(input) + ". Δώστε άλλο όνομα. Δεν γράφτηκε.");
    return path;
}

}  // namespace

void FitScreen::saveResultButton_Click()
{
    if (!fit_ || fit_->similarity)
        return;
    const QString path =
        askWhereToSave(this, QStringLiteral("Αποθήκευση νέων συντεταγμένων"), QStringLiteral("Αρχεία κειμένου (*.txt)"),
                       coordinatePath_, targetPath_, QStringLiteral("_") + QString::fromLatin1(modelKey(fit_->model)) +
                                                         QStringLiteral(".txt"),
                       "αρχείο αποτελεσμάτων");
    if (path.isEmpty())
        return;
    const WaitCursor wait;
    // The model as its file holds it, so that this result and one made later from the model
    // file are the same bytes.
    applyModel(path.toStdString(), coordinatePath_, modelAsWritten(fit_->mapping));
    showState(QStringLiteral("Γράφτηκε: ") + path, false);
}

void FitScreen::saveModelButton_Click()
{
    if (!fit_ || fit_->similarity)
        return;
    const QString path = askWhereToSave(this, QStringLiteral("Αποθήκευση μοντέλου"),
                                        QStringLiteral("Αρχεία μοντέλου (*.model)"), coordinatePath_, targetPath_,
                                        QStringLiteral("_") + QString::fromLatin1(modelKey(fit_->model)) +
                                            QStringLiteral(".model"),
                                        "αρχείο μοντέλου");
    if (path.isEmpty())
        return;
    writeModelFile(path.toStdString(), fit_->mapping);
    showState(QStringLiteral("Γράφτηκε: ") + path, false);
}

}  // namespace tavrelo
