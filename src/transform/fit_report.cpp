#include "transform/fit_report.h"

#include "data/file_io.h"
#include "platform/system.h"
#include "text/codepage.h"
#include "text/measure_form.h"
#include "text/number_form.h"

#include <ctime>

namespace tavrelo {

namespace {

std::string optionalForm(const std::optional<double>& value, std::string (*form)(double, char))
{
    return value ? form(*value, '.') : "-";
}

// Windows-1253 bytes padded with blanks to `width` characters (one byte a character), text
// to the left or numbers to the right.
std::string left(const std::string& bytes, std::size_t width)
{
    return bytes.size() < width ? bytes + std::string(width - bytes.size(), ' ') : bytes;
}
std::string right(const std::string& bytes, std::size_t width)
{
    return bytes.size() < width ? std::string(width - bytes.size(), ' ') + bytes : bytes;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> modelFitFigures(const PlaneModel& model)
{
    std::vector<std::pair<std::string, std::string>> figures;
    if (model.model == FitModel::Affine) {
        const AffineMeaning m = affineMeaning(model.cX[0], model.cX[1], model.cY[0], model.cY[1]);
        figures.push_back({"Κλίμακα άξονα x", scaleForm(m.scaleX)});
        figures.push_back({"Κλίμακα άξονα y", scaleForm(m.scaleY)});
        figures.push_back({"Στροφή άξονα x (grad)", rotationForm(m.rotationX)});
        figures.push_back({"Στροφή άξονα y (grad)", rotationForm(m.rotationY)});
        figures.push_back({"Διάτμηση (grad)", rotationForm(m.shear)});
    }
    for (const ModelFigure& figure : modelFigures(model))
        figures.push_back({figure.name + " (" + figure.meaning + ")", generalNumberForm(figure.value)});
    return figures;
}

std::string fitReport(const FitReportInput& in)
{
    const CommonPoints& points = *in.points;
    const FitStatistics& fit = in.statistics();
    const PlaneModel* model = in.planeModel();
    const SimilarityFit* similarity = in.similarity();
    std::string out;
    // A line of the program's own text (UTF-8 here), written in Windows-1253.
    auto line = [&out](const std::string& utf8) {
        out += utf8ToWindows1253(utf8);
        out += "\r\n";
    };
    // A labelled value: the labels padded so that the values stand in one column.
    auto item = [&out](const std::string& label, const std::string& bytes) {
        const std::string encoded = utf8ToWindows1253(label);
        out += " " + left(encoded, 34) + ": " + bytes + "\r\n";
    };

    if (model)
        line(std::string(" Tavrelo " TAVRELO_VERSION " - Μετασχηματισμός ") + modelName(model->model) +
             " με ελάχιστα τετράγωνα");
    else
        line(" Tavrelo " TAVRELO_VERSION " - Μετασχηματισμός ομοιότητας με ελάχιστα τετράγωνα");
    line(" " + std::string(72, '_'));
    line("");
    item("Ημερομηνία", utf8ToWindows1253(in.date));
    item("Αρχείο συντεταγμένων", utf8ToWindows1253(in.coordinateFile));
    item("Αρχείο κοινών σημείων", utf8ToWindows1253(in.targetFile));
    if (model) {
        item("Μέθοδος", utf8ToWindows1253(std::string(modelName(model->model)) + " (" +
                                          std::to_string(parameterCountOf(model->model, false)) + " παράμετροι)"));
        line("");
        line(" Παράμετροι μετασχηματισμού");
        for (const std::string& formula : modelFormulas(model->model))
            line("   " + formula);
        for (const auto& [label, value] : modelFitFigures(*model))
            item(label, value);
    } else {
        const SimilarityFit& sim = *similarity;
        item("Μέθοδος", utf8ToWindows1253(sim.scaleWanted ? "με κλίμακα (4 παράμετροι)" : "χωρίς κλίμακα (3 παράμετροι)"));
        line("");
        line(" Παράμετροι μετασχηματισμού");
        item("Στροφή f (grad)", rotationForm(sim.f));
        item("Κλίμακα", scaleForm(sim.klimax));
        item("X1 (κέντρο βάρους, αρχικό)", lengthForm(sim.X1));
        item("Y1 (κέντρο βάρους, αρχικό)", lengthForm(sim.Y1));
        item("X1N (κέντρο βάρους, προορισμού)", lengthForm(sim.X1N));
        item("Y1N (κέντρο βάρους, προορισμού)", lengthForm(sim.Y1N));
        item("Dx = X1N - X1", lengthForm(sim.dx()));
        item("Dy = Y1N - Y1", lengthForm(sim.dy()));
        item("Dh (h - H)", lengthForm(sim.Dh));
    }
    line("");
    line(" Στατιστικά");
    item("Κοινά σημεία σε χρήση", std::to_string(fit.used) + utf8ToWindows1253(" από ") + std::to_string(points.matched.size()));
    item("Σημεία χωρίς αντιστοιχία", std::to_string(points.unmatched.size()));
    item("Σημεία με υψόμετρο σε χρήση", std::to_string(fit.heightsUsed));
    item("Τυπικό σφάλμα σ0", optionalForm(fit.sigma0, lengthForm));
    item("Τυπικό σφάλμα υψομέτρων", optionalForm(fit.heightSigma, lengthForm));
    item("Ανοχή", lengthForm(fit.tolerance));
    line("");

    // The table of points: Pn, in use, the residuals and a mark over the tolerance.
    std::size_t pnWidth = 2;
    for (const CommonPoint& p : points.matched)
        pnWidth = std::max(pnWidth, p.Pn.size());
    const std::size_t w = 11;
    line(" Υπόλοιπα (σημείο μετασχηματισμένο μείον σημείο προορισμού)");
    out += " " + left("Pn", pnWidth) + "  " + left(utf8ToWindows1253("Χρήση"), 5) + right("vX", w) + right("vY", w) +
           right("vh", w) + right("v", w) + "\r\n";
    for (std::size_t i = 0; i < points.matched.size(); ++i) {
        const Residual& r = fit.residuals[i];
        out += " " + left(points.matched[i].Pn, pnWidth) + "  " + utf8ToWindows1253(r.used ? "ναι  " : "όχι  ") +
               right(residualForm(r.vX), w) + right(residualForm(r.vY), w) +
               right(optionalForm(r.vh, residualForm), w) + right(residualForm(r.v), w) +
               (r.overTolerance ? "  *" : "") + "\r\n";
    }
    line("");
    line(" * : v πάνω από την ανοχή");
    if (!points.unmatched.empty()) {
        std::string list;
        for (const std::string& Pn : points.unmatched)
            list += (list.empty() ? "" : ", ") + Pn;
        out += utf8ToWindows1253(" Σημεία χωρίς αντιστοιχία: ") + list + "\r\n";
    }
    return out;
}

void writeFitReport(const PathName& file, const FitReportInput& input)
{
    const std::string bytes = fitReport(input);
    OutputFile out(file);
    out.write(bytes);
    out.commit();
}

std::string reportDateNow()
{
    const std::time_t now = std::time(nullptr);
    const std::tm local = platform::localTime(now);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return std::string(text, n);
}

}  // namespace tavrelo
