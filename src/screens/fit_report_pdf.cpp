#include "screens/fit_report_pdf.h"

#include "screens/points_plot.h"
#include "screens/screen_mechanics.h"
#include "text/failure.h"
#include "text/measure_form.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace tavrelo {

namespace {

constexpr int kResolution = 300;                  // dots per inch of the page
constexpr double kScreenPixel = kResolution / 96.0;  // one screen pixel on the page

QFont pageFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Lays text and tables down a run of A4 pages, starting a new page where one is full.
class Pages {
public:
    Pages(QPdfWriter& writer, QPainter& painter) : writer_(writer), painter_(painter)
    {
        const QRect area = writer.pageLayout().paintRectPixels(kResolution);
        width_ = area.width();
        height_ = area.height() - footer();
        drawFooter();
    }

    double width() const { return width_; }
    double room() const { return height_ - y_; }
    double y() const { return y_; }
    void skip(double height) { y_ += height; }

    void need(double height)
    {
        if (y_ + height > height_ && y_ > 0)
            newPage();
    }

    void newPage()
    {
        writer_.newPage();
        ++page_;
        y_ = 0;
        drawFooter();
    }

    void paragraph(const QString& text, const QFont& font, const QColor& colour = Qt::black)
    {
        painter_.setFont(font);
        const QRectF bounds = painter_.boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, text);
        need(bounds.height());
        painter_.setPen(colour);
        painter_.drawText(QRectF(0, y_, width_, bounds.height()), Qt::TextWordWrap, text);
        y_ += bounds.height();
    }

    void heading(const QString& text)
    {
        const QFont font = pageFont(11, true);
        need(QFontMetricsF(font, &writer_).height() * 4);  // not alone at the foot of a page
        y_ += QFontMetricsF(font, &writer_).height() * 0.6;
        paragraph(text, font, QColor(25, 70, 150));
        painter_.setPen(QPen(QColor(25, 70, 150), kScreenPixel * 0.6));
        painter_.drawLine(QPointF(0, y_ + 4), QPointF(width_, y_ + 4));
        y_ += QFontMetricsF(font, &writer_).height() * 0.3;
    }

    // One row of a table: `cells` in columns of `widths` (parts of the page's width), the
    // first column to the left, the others to the right unless `leftAligned` says otherwise.
    void row(const QStringList& cells, const std::vector<double>& widths, const QFont& font,
             const QColor& colour = Qt::black, const QColor& ground = QColor(), int leftAligned = 1)
    {
        painter_.setFont(font);
        const double height = QFontMetricsF(font, &writer_).height() * 1.35;
        need(height);
        if (ground.isValid())
            painter_.fillRect(QRectF(0, y_, width_, height), ground);
        painter_.setPen(colour);
        double x = 0;
        const double pad = kScreenPixel * 4;
        for (int i = 0; i < cells.size() && i < static_cast<int>(widths.size()); ++i) {
            const double w = widths[static_cast<std::size_t>(i)] * width_;
            const Qt::Alignment align = (i < leftAligned ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
            painter_.drawText(QRectF(x + pad, y_, w - 2 * pad, height), align, cells[i]);
            x += w;
        }
        y_ += height;
    }

    void rule(double thickness = 0.5)
    {
        painter_.setPen(QPen(QColor(120, 120, 120), kScreenPixel * thickness));
        painter_.drawLine(QPointF(0, y_), QPointF(width_, y_));
    }

private:
    double footer() const { return QFontMetricsF(pageFont(8), &writer_).height() * 2; }

    void drawFooter()
    {
        painter_.save();
        painter_.setFont(pageFont(8));
        painter_.setPen(QColor(110, 110, 110));
        const QRectF line(0, height_ + footer() / 2, width_, footer() / 2);
        painter_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                          QStringLiteral("Tavrelo ") + QStringLiteral(TAVRELO_VERSION) +
                              QStringLiteral(" — μετασχηματισμός με ελάχιστα τετράγωνα"));
        painter_.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Σελίδα %1").arg(page_));
        painter_.restore();
    }

    QPdfWriter& writer_;
    QPainter& painter_;
    double width_ = 0, height_ = 0, y_ = 0;
    int page_ = 1;
};

// Why the report could not be written at `path`, in Greek: Qt's own text of a file error is
// English. A missing folder by name; else the system's error number where the failing call
// left one, else the kind of error Qt saw.
QString greekReason(const QString& path, const QFileDevice& file, int error)
{
    if (!QFileInfo(path).absoluteDir().exists())
        return QStringLiteral("ο φάκελός της δεν υπάρχει");
    if (error == ENOENT)
        return QStringLiteral("ο φάκελός της δεν δέχεται νέα αρχεία");
    if (error != 0)
        return QString::fromStdString(describeSystemError(error));
    switch (file.error()) {
    case QFileDevice::OpenError: return QStringLiteral("το αρχείο δεν ανοίγει για εγγραφή");
    case QFileDevice::WriteError: return QStringLiteral("σφάλμα εγγραφής (ίσως γέμισε ο δίσκος)");
    case QFileDevice::RenameError: return QStringLiteral("το αρχείο δεν μπήκε στη θέση του");
    case QFileDevice::PermissionsError: return QStringLiteral("δεν επιτρέπεται η εγγραφή");
    case QFileDevice::ResourceError: return QStringLiteral("δεν έφτασαν οι πόροι του συστήματος (ίσως γέμισε ο δίσκος)");
    default: return QStringLiteral("σφάλμα αρχείου");
    }
}

}  // namespace

void writeFitReportPdf(const QString& path, const FitReportInput& input, const PointsPlot& plot)
{
    const CommonPoints& points = *input.points;
    const FitStatistics& fit = input.statistics();
    const PlaneModel* model = input.planeModel();
    const SimilarityFit* similarity = input.similarity();
    auto cannotWrite = [&](const QString& why) {
        return Failure("Η αναφορά " + inQuotes(path.toStdString()) + " δεν γράφτηκε: " + why.toStdString() + ".");
    };

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw cannotWrite(greekReason(path, file, errno));
    {
        QPdfWriter writer(&file);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 16, 18, 14),
                                         QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Αναφορά προσαρμογής ελαχίστων τετραγώνων"));
        writer.setCreator(QStringLiteral("Tavrelo ") + QStringLiteral(TAVRELO_VERSION));
        QPainter painter;
        if (!painter.begin(&writer))
            throw cannotWrite(QStringLiteral("η σελίδα PDF δεν ξεκίνησε"));
        // The plan's dots go in as a picture: kept lossless, so that single dots stay sharp
        // (and no JPEG encoder is loaded).
        painter.setRenderHint(QPainter::LosslessImageRendering);
        Pages pages(writer, painter);
        const QFont body = pageFont(9);
        const QFont bold = pageFont(9, true);
        const QFont small = pageFont(8);

        pages.paragraph(QStringLiteral("Μετασχηματισμός συντεταγμένων με ελάχιστα τετράγωνα"), pageFont(16, true));
        pages.paragraph(QStringLiteral("Αναφορά προσαρμογής · ") + QString::fromStdString(input.date), pageFont(10),
                        QColor(80, 80, 80));

        pages.heading(QStringLiteral("Αρχεία"));
        const std::vector<double> twoColumns{0.34, 0.66};
        pages.row({QStringLiteral("Αρχείο συντεταγμένων"), shownPath(input.coordinateFile)}, twoColumns, body,
                  Qt::black, QColor(), 2);
        pages.row({QStringLiteral("Κοινά σημεία (προορισμός)"), shownPath(input.targetFile)}, twoColumns, body,
                  Qt::black, QColor(), 2);

        pages.heading(QStringLiteral("Μέθοδος"));
        const QString common = QStringLiteral(
                                   " με ελάχιστα τετράγωνα από %1 κοινά σημεία, γύρω από το κέντρο βάρους τους. "
                                   "Μετάθεση υψομέτρων Dh: η μέση διαφορά h − H των σημείων σε χρήση με υψόμετρο και στα δύο "
                                   "αρχεία. Υπόλοιπα: το μετασχηματισμένο σημείο μείον το σημείο προορισμού.")
                                   .arg(fit.used);
        const std::vector<double> parameterColumns{0.42, 0.28};
        if (model) {
            pages.paragraph(QStringLiteral("Μετασχηματισμός ") + QString::fromUtf8(modelName(model->model)) +
                                QStringLiteral(" (%1 παράμετροι)").arg(parameterCountOf(model->model, false)) + common,
                            body);
            pages.heading(QStringLiteral("Παράμετροι"));
            for (const std::string& formula : modelFormulas(model->model))
                pages.paragraph(QString::fromStdString(formula), body);
            for (const auto& [name, value] : modelFitFigures(*model))
                pages.row({QString::fromStdString(name), QString::fromStdString(value)}, parameterColumns, body);
        } else {
            const SimilarityFit& sim = *similarity;
            pages.paragraph((sim.scaleWanted ? QStringLiteral("Μετασχηματισμός ομοιότητας (στροφή, μετάθεση και κλίμακα)")
                                             : QStringLiteral("Μετασχηματισμός στροφής και μετάθεσης (κλίμακα 1)")) +
                                common,
                            body);
            pages.heading(QStringLiteral("Παράμετροι"));
            const std::pair<QString, QString> parameters[] = {
                {QStringLiteral("Στροφή φ (βαθμοί)"), shownFigure(rotationForm, sim.f)},
                {QStringLiteral("Κλίμακα"), shownFigure(scaleForm, sim.klimax)},
                {QStringLiteral("Dx (m)"), shownFigure(lengthForm, sim.dx())},
                {QStringLiteral("Dy (m)"), shownFigure(lengthForm, sim.dy())},
                {QStringLiteral("Dh (m)"), shownFigure(lengthForm, sim.Dh)},
                {QStringLiteral("X1, κέντρο βάρους στο αρχείο"), shownFigure(lengthForm, sim.X1)},
                {QStringLiteral("Y1, κέντρο βάρους στο αρχείο"), shownFigure(lengthForm, sim.Y1)},
                {QStringLiteral("X1N, κέντρο βάρους στον προορισμό"), shownFigure(lengthForm, sim.X1N)},
                {QStringLiteral("Y1N, κέντρο βάρους στον προορισμό"), shownFigure(lengthForm, sim.Y1N)},
            };
            for (const auto& [name, value] : parameters)
                pages.row({name, value}, parameterColumns, body);
        }

        pages.heading(QStringLiteral("Στατιστικά"));
        auto optional = [](const std::optional<double>& value) {
            return value ? shownFigure(lengthForm, *value) + QStringLiteral(" m") : QStringLiteral("—");
        };
        const std::pair<QString, QString> statistics[] = {
            {QStringLiteral("Σημεία σε χρήση / κοινά"),
             QStringLiteral("%1 / %2").arg(fit.used).arg(points.matched.size())},
            {QStringLiteral("Σημεία σε χρήση με υψόμετρο"), QString::number(fit.heightsUsed)},
            {QStringLiteral("Χωρίς αντιστοιχία στο αρχείο"), QString::number(points.unmatched.size())},
            {QStringLiteral("Τυπικό σφάλμα σ0"), optional(fit.sigma0)},
            {QStringLiteral("Τυπικό σφάλμα υψομέτρων"), optional(fit.heightSigma)},
            {QStringLiteral("Ανοχή"), shownFigure(lengthForm, fit.tolerance) + QStringLiteral(" m")},
        };
        for (const auto& [name, value] : statistics)
            pages.row({name, value}, parameterColumns, body);

        pages.heading(QStringLiteral("Υπόλοιπα (m)"));
        const std::vector<double> residualColumns{0.16, 0.12, 0.15, 0.15, 0.15, 0.15, 0.12};
        const QStringList heads{QStringLiteral("Pn"), QStringLiteral("Χρήση"), QStringLiteral("vX"), QStringLiteral("vY"),
                                QStringLiteral("vh"), QStringLiteral("v"), QString()};
        pages.row(heads, residualColumns, bold);
        pages.rule();
        for (std::size_t i = 0; i < points.matched.size() && i < fit.residuals.size(); ++i) {
            const Residual& r = fit.residuals[i];
            if (pages.room() < QFontMetricsF(body, &writer).height() * 1.4) {
                pages.newPage();
                pages.row(heads, residualColumns, bold);
                pages.rule();
            }
            const QColor colour = !r.used ? QColor(130, 130, 130) : r.overTolerance ? QColor(190, 0, 0) : QColor(Qt::black);
            pages.row({fromFileText(points.matched[i].Pn), r.used ? QStringLiteral("ναι") : QStringLiteral("όχι"),
                       shownFigure(residualForm, r.vX), shownFigure(residualForm, r.vY), shownFigure(residualForm, r.vh),
                       shownFigure(residualForm, r.v), r.overTolerance ? QStringLiteral("> ανοχή") : QString()},
                      residualColumns, body, colour, r.overTolerance ? QColor(255, 232, 232) : QColor());
        }
        pages.rule();
        if (!points.unmatched.empty()) {
            QStringList names;
            for (const std::string& pn : points.unmatched)
                names << fromFileText(pn);
            pages.skip(QFontMetricsF(body, &writer).height() * 0.4);
            pages.paragraph(QStringLiteral("Χωρίς αντιστοιχία στο αρχείο συντεταγμένων (δεν χρησιμοποιήθηκαν): ") +
                                names.join(QStringLiteral(", ")),
                            small, QColor(90, 90, 90));
        }

        // The plan: on this page when it has room for a good one, else on the next.
        const double wanted = pages.width() * 0.95;
        if (pages.room() < wanted * 0.85)
            pages.newPage();
        pages.heading(QStringLiteral("Κάτοψη"));
        const double height = std::min(pages.room() - QFontMetricsF(small, &writer).height() * 2.5, wanted);
        const QRect area(0, static_cast<int>(pages.y()), static_cast<int>(pages.width()), static_cast<int>(height));
        plot.paintPlan(painter, area, plot.wholeView(area.size(), 28 * kScreenPixel), kScreenPixel);
        pages.skip(height);
        pages.paragraph(QStringLiteral("Κάτοψη του αρχείου συντεταγμένων (X δεξιά, Y πάνω). Τρίγωνα: τα κοινά σημεία· "
                                       "βέλη: τα υπόλοιπα, μεγεθυμένα όπως γράφεται κάτω δεξιά."),
                        small, QColor(90, 90, 90));
        if (!painter.end())
            throw cannotWrite(QStringLiteral("η σελίδα PDF δεν ολοκληρώθηκε"));
    }
    errno = 0;
    if (!file.commit())
        throw cannotWrite(greekReason(path, file, errno));
}

}  // namespace tavrelo
