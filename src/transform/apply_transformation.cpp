#include "transform/apply_transformation.h"

#include "data/file_io.h"
#include "data/list_input.h"
#include "data/point_table.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <cmath>
#include <filesystem>

namespace tavrelo {

std::string resultFilePath(const std::string& directory, const std::string& name)
{
    if (directory == "c:\\")
        return directory + name;
    return directory + "/" + name;
}

namespace {

// Header texts, UTF-8 here and written in Windows-1253.
const char* const kTitle =
    " Αλλαγή Συστήματος Συντεταγμένων με  Στροφή - Μετατόπιση & Αναγωγή Κλίμακος";
const char* const kCredit = " Tavrelo 1.0.0 - πρόγραμμα του έργου Tavrelo, επικοινωνία: tavrelo@example.org";
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
double parameter(const Value& v, int index, const HandoffFiles& handoff)
{
    double n = 0.0;
    if (!v.arithmetic(n))
        throw Failure("Η παράμετρος " + std::string(kParameterNames[index]) + " του αρχείου " +
                      inQuotes(handoff.parameterFile().string()) + " δεν είναι αριθμός: " +
                      inQuotes(windows1253ToUtf8(v.text)) + ". Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");
    return n;
}

double coordinate(const Value& v, int field, long record, const std::string& file)
{
    double n = 0.0;
    if (!v.arithmetic(n))
        throw Failure("Η εγγραφή " + std::to_string(record) + " του αρχείου " + inQuotes(file) + ": το πεδίο " +
                      pointFieldName(field) + " δεν είναι αριθμός (" + inQuotes(windows1253ToUtf8(v.text)) +
                      "). Το αρχείο αποτελεσμάτων δεν γράφτηκε.");
    return n;
}

// Cut to three decimals towards minus infinity, on the double product.
double cutToMillimetres(double value)
{
    return std::floor(value * 1000) / 1000;
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

void applyTransformation(const std::string& resultPath, const HandoffFiles& handoff)
{
    // The result is written to a temporary file beside its target first, so an existing
    // file of that name survives every failure below.
    OutputFile out(resultPath);

    const TransformParameters p = readTransformParameters(handoff);
    const double f = parameter(p.f, 0, handoff);
    const double X1 = parameter(p.X1, 1, handoff);
    const double Y1 = parameter(p.Y1, 2, handoff);
    const double Dh = parameter(p.Dh, 3, handoff);
    const double klimax = parameter(p.klimax, 4, handoff);
    const double X1N = parameter(p.X1N, 5, handoff);
    const double Y1N = parameter(p.Y1N, 6, handoff);

    // Rotation in radians: f times the constant first, then divided by 200.
    const double theta = f * kPiApply / 200;
    // The shift of common point 1 stands in the header: it must be a number.
    if (!std::isfinite(X1N - X1) || !std::isfinite(Y1N - Y1))
        throw Failure("Οι παράμετροι του αρχείου " + inQuotes(handoff.parameterFile().string()) +
                      " δίνουν μετατόπιση εκτός ορίων αριθμών. Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");

    const std::string inputPath = readHandoffPath(handoff);
    if (sameFile(resultPath, inputPath))
        throw Failure("Το αρχείο αποτελεσμάτων " + inQuotes(resultPath) +
                      " είναι το ίδιο το αρχείο συντεταγμένων που μετασχηματίζεται. Δώστε άλλο όνομα.");
    // Nor may it replace the hand-off files it was read from: the next save would find a
    // result where the chosen file or the parameters should be.
    if (sameFile(resultPath, handoff.pathFile().string()) || sameFile(resultPath, handoff.parameterFile().string()))
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

    ListReader reader(inputPath);
    PointRecord record;
    std::string line;
    long number = 0;
    while (!reader.atEnd()) {
        ++number;
        readPointRecord(reader, record, number);
        const double dx = coordinate(record.X, 1, number, reader.name()) - X1;
        const double dy = coordinate(record.Y, 2, number, reader.name()) - Y1;
        const double h = coordinate(record.h, 3, number, reader.name());
        const double u = dx * c - dy * s;
        const double v = dy * c + dx * s;
        const double Xo = cutToMillimetres(klimax * u + X1N);
        const double Yo = cutToMillimetres(klimax * v + Y1N);
        const double ho = cutToMillimetres(h - Dh);
        if (!std::isfinite(Xo) || !std::isfinite(Yo) || !std::isfinite(ho))
            throw Failure("Η εγγραφή " + std::to_string(number) + " του αρχείου " + inQuotes(reader.name()) +
                          " δίνει αποτέλεσμα εκτός ορίων αριθμών. Το αρχείο αποτελεσμάτων δεν γράφτηκε.");

        line.clear();
        line += record.Pn;
        line += ",  ";
        appendPrintForm(line, Xo);
        line += ",  ";
        appendPrintForm(line, Yo);
        line += ",  ";
        appendPrintForm(line, ho);
        line += ",  ";
        line += record.D;
        line += "\r\n";
        out.write(line);
    }
    out.commit();
}

}  // namespace tavrelo
