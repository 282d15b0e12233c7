#include "transform/apply_transformation.h"

#include "data/file_io.h"
#include "data/list_input.h"
#include "data/point_table.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "text/number_form.h"
#include "transform/model_file.h"
#include "transform/plane_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>

namespace tavrelo {

std::string resultFilePath(const std::string& directory, const std::string& name)
{
    if (directory == "c:\\")
        return directory + name;
    return directory + static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

namespace {

// Header texts, UTF-8 here and written in Windows-1253.
const char* const kTitle =
    " Αλλαγή Συστήματος Συντεταγμένων με  Στροφή - Μετατόπιση & Αναγωγή Κλίμακος";
const char* const kCredit = " Tavrelo " TAVRELO_VERSION " - πρόγραμμα του έργου Tavrelo, επικοινωνία: " TAVRELO_CONTACT;
const char* const kInputLabel = " Αρχείο εισόδου :";
const char* const kParametersTitle = " Παράμετροι Μετασχηματισμού";
const char* const kInverseNote = " (αντίστροφα: από το σύστημα προορισμού στο αρχικό)";
// Twelve spaces and the label: 20 characters, so the colons stand in one column.
const char* const kRotationLabel = "            Στροφή :";
const char* const kDeltaXLabel = "            Delta X:";
const char* const kDeltaYLabel = "            Delta Y:";
const char* const kDeltaHLabel = "            Delta h:";
const char* const kScaleLabel = "            Scale  :";
const char* const kRule = "___________________________________________";
const char* const kLineEnd = "\r\n";

// A coordinate field for arithmetic: the number, 0 when empty; false for a text.
bool coordinate(const FieldView& field, double& value)
{
    if (field.hasNumber) {
        value = field.number;
        return true;
    }
    if (field.quoted)
        return false;
    if (field.text.empty()) {
        value = 0.0;
        return true;
    }
    const auto number = readDecimalNumber(field.text);
    value = number.value_or(0.0);
    return number.has_value();
}

// Cut to three decimals towards minus infinity, on the double product, as a whole number of
// thousandths: the cut value is this divided by 1000.
double cutToThousandths(double value)
{
    return std::floor(value * 1000);
}

// Carries every record of the coordinate file at `inputPath` by `carry(x, y, h, X, Y, H)` (false:
// the point cannot be carried) and writes its line after what `out` holds.
template <class Carry>
void writePoints(OutputFile& out, const std::string& inputPath, Carry carry)
{
    // One record at a time, each line written before the next record is read.
    ListReader reader(inputPath);
    FieldView fields[5];  // Pn, X, Y, h, D
    long number = 0;
    while (!reader.atEnd()) {
        ++number;
        readPointFields(reader, fields, number);
        double xyh[3];
        for (int i = 0; i < 3; ++i) {
            if (!coordinate(fields[i + 1], xyh[i]))
                throw Failure("Η εγγραφή " + std::to_string(number) + " του αρχείου " + inQuotes(reader.name()) +
                              ": το πεδίο " + pointFieldName(i + 1) + " δεν είναι αριθμός (" +
                              inQuotes(windows1253ToUtf8(fields[i + 1].text)) + "). Το αρχείο αποτελεσμάτων δεν γράφτηκε.");
        }
        double X, Y, H;
        if (!carry(xyh[0], xyh[1], xyh[2], X, Y, H))
            throw Failure("Η εγγραφή " + std::to_string(number) + " του αρχείου " + inQuotes(reader.name()) +
                          ": το σημείο δεν φέρεται πίσω από το πολυώνυμο (βρίσκεται έξω από την περιοχή όπου "
                          "αντιστρέφεται). Το αρχείο αποτελεσμάτων δεν γράφτηκε.");
        // The results cut to three decimals, as whole numbers of thousandths: Xo = Xk / 1000.
        const double Xk = cutToThousandths(X);
        const double Yk = cutToThousandths(Y);
        const double hk = cutToThousandths(H);
        if (!std::isfinite(Xk) || !std::isfinite(Yk) || !std::isfinite(hk))
            throw Failure("Η εγγραφή " + std::to_string(number) + " του αρχείου " + inQuotes(reader.name()) +
                          " δίνει αποτέλεσμα εκτός ορίων αριθμών. Το αρχείο αποτελεσμάτων δεν γράφτηκε.");

        // The point line, Pn,  Xo ,  Yo ,  ho ,  D and CR LF, written in place.
        char* p = out.room(fields[0].text.size() + fields[4].text.size() + 3 * kNumberTextRoom + 16);
        auto put = [&p](std::string_view bytes) {
            std::memcpy(p, bytes.data(), bytes.size());
            p += bytes.size();
        };
        put(fields[0].text);
        put(",  ");
        p = writePrintFormOfThousandths(p, Xk);
        put(",  ");
        p = writePrintFormOfThousandths(p, Yk);
        put(",  ");
        p = writePrintFormOfThousandths(p, hk);
        put(",  ");
        put(fields[4].text);
        put("\r\n");
        out.advance(p);
    }
}

// Where the save step finds its input: the parameters, the coordinate file's path, and any
// file besides those two that the result may not replace.
struct SaveInput {
    std::function<TransformParameters()> parameters;
    std::filesystem::path parameterFile;
    std::function<std::string()> coordinatePath;
    std::filesystem::path pathFile;  // empty when there is none
    Direction direction;
};

void apply(const std::string& resultPath, const SaveInput& in)
{
    // The result is written to a temporary file beside its target first, so an existing
    // file of that name survives every failure below.
    OutputFile out(resultPath);

    const TransformParameters p = in.parameters();
    const PlaneMapping mapping(p, in.parameterFile, in.direction);
    const double X1 = mapping.X1(), Y1 = mapping.Y1(), X1N = mapping.X1N(), Y1N = mapping.Y1N();

    const std::string inputPath = in.coordinatePath();
    if (sameFile(resultPath, inputPath))
        throw Failure("Το αρχείο αποτελεσμάτων " + inQuotes(resultPath) +
                      " είναι το ίδιο το αρχείο συντεταγμένων που μετασχηματίζεται. Δώστε άλλο όνομα.");
    // Nor may it replace the hand-off files it was read from: the next save would find a
    // result where the chosen file or the parameters should be.
    if ((!in.pathFile.empty() && sameFile(resultPath, in.pathFile)) || sameFile(resultPath, in.parameterFile))
        throw Failure("Το αρχείο αποτελεσμάτων " + inQuotes(resultPath) +
                      " είναι αρχείο όπου το πρόγραμμα κρατά το επιλεγμένο αρχείο ή τις παραμέτρους. Δώστε άλλο όνομα.");

    std::string header;
    auto text = [&header](const char* utf8) { header += utf8ToWindows1253(utf8); };
    text(kTitle);
    text(kLineEnd);
    text(kCredit);
    text(kLineEnd);
    text(kLineEnd);
    text(kInputLabel);
    header += utf8ToWindows1253(inputPath);
    text(kLineEnd);
    text(kParametersTitle);
    if (mapping.inverse())
        text(kInverseNote);
    text(kLineEnd);
    text(kRotationLabel);
    appendPrintForm(header, p.f);
    text(kLineEnd);
    text(kDeltaXLabel);
    appendPrintForm(header, X1N - X1);
    text(kLineEnd);
    text(kDeltaYLabel);
    appendPrintForm(header, Y1N - Y1);
    text(kLineEnd);
    text(kDeltaHLabel);
    appendPrintForm(header, p.Dh);
    text(kLineEnd);
    text(kScaleLabel);
    appendPrintForm(header, p.klimax);
    text(kLineEnd);
    text(kRule);
    text(kLineEnd);
    text(kLineEnd);
    out.write(header);

    writePoints(out, inputPath, [&mapping](double x, double y, double h, double& X, double& Y, double& H) {
        mapping.carry(x, y, X, Y);
        H = mapping.height(h);
        return true;
    });
    out.commit();
}

}  // namespace

void applyModel(const std::string& resultPath, const std::string& coordinatePath, const PlaneModel& model,
                Direction direction)
{
    OutputFile out(resultPath);
    if (sameFile(resultPath, coordinatePath))
        throw Failure("Το αρχείο αποτελεσμάτων " + inQuotes(resultPath) +
                      " είναι το ίδιο το αρχείο συντεταγμένων που μετασχηματίζεται. Δώστε άλλο όνομα.");
    const bool inverse = direction == Direction::Inverse;
    std::string header;
    auto text = [&header](const std::string& utf8) { header += utf8ToWindows1253(utf8); };
    text(model.model == FitModel::Affine ? " Αλλαγή Συστήματος Συντεταγμένων με Ομοπαραλληλικό Μετασχηματισμό"
                                         : " Αλλαγή Συστήματος Συντεταγμένων με Πολυώνυμο 2ου Βαθμού");
    text(kLineEnd);
    text(kCredit);
    text(kLineEnd);
    text(kLineEnd);
    text(kInputLabel);
    text(coordinatePath);
    text(kLineEnd);
    text(kParametersTitle);
    if (inverse)
        text(kInverseNote);
    text(kLineEnd);
    text("            Μοντέλο: " + std::string(modelName(model.model)) + ", " +
         std::to_string(parameterCountOf(model.model, false)) + " παράμετροι" + kLineEnd);
    for (const std::string& formula : modelFormulas(model.model))
        text("            " + formula + kLineEnd);
    for (const ModelFigure& figure : modelFigures(model)) {
        std::string label = figure.name == "Dh" ? "Delta h" : figure.name;
        label.resize(std::max<std::size_t>(label.size(), 7), ' ');
        text("            " + label + ":");
        appendPrintForm(header, figure.value);
        text(kLineEnd);
    }
    text(kRule);
    text(kLineEnd);
    text(kLineEnd);
    out.write(header);

    writePoints(out, coordinatePath, [&](double x, double y, double h, double& X, double& Y, double& H) {
        H = inverse ? h + model.Dh : h - model.Dh;
        if (inverse)
            return model.carryBack(x, y, X, Y);
        model.carry(x, y, X, Y);
        return true;
    });
    out.commit();
}

void applyTransformation(const std::string& resultPath, const HandoffFiles& handoff, Direction direction)
{
    apply(resultPath, {[&handoff] { return readTransformParameters(handoff); }, handoff.parameterFile(),
                       [&handoff] { return readHandoffPath(handoff); }, handoff.pathFile(), direction});
}

void applyTransformation(const std::string& resultPath, const std::string& coordinatePath,
                         const PathName& parameterPath, Direction direction)
{
    if (isModelFile(parameterPath)) {
        if (sameFile(resultPath, parameterPath))
            throw Failure("Το αρχείο αποτελεσμάτων " + inQuotes(resultPath) +
                          " είναι το ίδιο το αρχείο μοντέλου. Δώστε άλλο όνομα.");
        applyModel(resultPath, coordinatePath, readModelFile(parameterPath), direction);
        return;
    }
    apply(resultPath, {[&parameterPath] { return readParameterFile(parameterPath); }, parameterPath,
                       [&coordinatePath] { return coordinatePath; }, {}, direction});
}

}  // namespace tavrelo
