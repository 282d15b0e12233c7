#include "transform/apply_transformation.h"

#include "data/file_io.h"
#include "data/list_input.h"
#include "data/point_table.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "text/number_form.h"

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
const char* const kCredit = " Tavrelo " TAVRELO_VERSION " - πρόγραμμα του έργου Tavrelo, επικοινωνία: tavrelo@example.org";
const char* const kInputLabel = " Αρχείο εισόδου :";
const char* const kParametersTitle = " Παράμετροι Μετασχηματισμού";
// Twelve spaces and the label: 20 characters, so the colons stand in one column.
const char* const kRotationLabel = "            Στροφή :";
const char* const kDeltaXLabel = "            Delta X:";
const char* const kDeltaYLabel = "            Delta Y:";
const char* const kDeltaHLabel = "            Delta h:";
const char* const kScaleLabel = "            Scale  :";
const char* const kRule = "___________________________________________";
const char* const kLineEnd = "\r\n";

const char* const kParameterNames[] = {"f (στροφή)", "X1", "Y1", "Dh", "klimax (κλίμακα)", "X1N", "Y1N"};

// A parameter for arithmetic: the number, 0 when empty; a text cannot be used.
double parameter(const Value& v, int index, const std::filesystem::path& parameterFile)
{
    double n = 0.0;
    if (!v.arithmetic(n))
        throw Failure("Η παράμετρος " + std::string(kParameterNames[index]) + " του αρχείου " +
                      inQuotes(utf8Path(parameterFile)) + " δεν είναι αριθμός: " +
                      inQuotes(windows1253ToUtf8(v.text)) + ". Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");
    return n;
}

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

// Where the save step finds its input: the parameters, the coordinate file's path, and any
// file besides those two that the result may not replace.
struct SaveInput {
    std::function<TransformParameters()> parameters;
    std::filesystem::path parameterFile;
    std::function<std::string()> coordinatePath;
    std::filesystem::path pathFile;  // empty when there is none
};

void apply(const std::string& resultPath, const SaveInput& in)
{
    // The result is written to a temporary file beside its target first, so an existing
    // file of that name survives every failure below.
    OutputFile out(resultPath);

    const TransformParameters p = in.parameters();
    const double f = parameter(p.f, 0, in.parameterFile);
    const double X1 = parameter(p.X1, 1, in.parameterFile);
    const double Y1 = parameter(p.Y1, 2, in.parameterFile);
    const double Dh = parameter(p.Dh, 3, in.parameterFile);
    const double klimax = parameter(p.klimax, 4, in.parameterFile);
    const double X1N = parameter(p.X1N, 5, in.parameterFile);
    const double Y1N = parameter(p.Y1N, 6, in.parameterFile);

    // Rotation in radians: f times the constant first, then divided by 200.
    const double theta = f * kPiApply / 200;
    // The shift of common point 1 stands in the header: it must be a number.
    if (!std::isfinite(X1N - X1) || !std::isfinite(Y1N - Y1))
        throw Failure("Οι παράμετροι του αρχείου " + inQuotes(utf8Path(in.parameterFile)) +
                      " δίνουν μετατόπιση εκτός ορίων αριθμών. Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");

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

    // Every direction seen from common point 1 turns by theta (bearings counted from +Y
    // towards +X), is scaled and carried onto common point 1's target position.
    const double c = std::cos(-theta);
    const double s = std::sin(-theta);

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
        const double dx = xyh[0] - X1;
        const double dy = xyh[1] - Y1;
        const double u = dx * c - dy * s;
        const double v = dy * c + dx * s;
        // The results cut to three decimals, as whole numbers of thousandths: Xo = Xk / 1000.
        const double Xk = cutToThousandths(klimax * u + X1N);
        const double Yk = cutToThousandths(klimax * v + Y1N);
        const double hk = cutToThousandths(xyh[2] - Dh);
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
    out.commit();
}

}  // namespace

void applyTransformation(const std::string& resultPath, const HandoffFiles& handoff)
{
    apply(resultPath, {[&handoff] { return readTransformParameters(handoff); }, handoff.parameterFile(),
                       [&handoff] { return readHandoffPath(handoff); }, handoff.pathFile()});
}

void applyTransformation(const std::string& resultPath, const std::string& coordinatePath,
                         const PathName& parameterPath)
{
    apply(resultPath, {[&parameterPath] { return readParameterFile(parameterPath); }, parameterPath,
                       [&coordinatePath] { return coordinatePath; }, {}});
}

}  // namespace tavrelo
