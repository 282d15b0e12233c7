#include "data/handoff_files.h"

#include "data/file_io.h"
#include "data/list_input.h"
#include "data/point_table.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <utility>

namespace tavrelo {

HandoffFiles::HandoffFiles(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path HandoffFiles::pathFile() const { return folder_ / "file000.tmp"; }

std::filesystem::path HandoffFiles::parameterFile() const { return folder_ / "file001.tmp"; }

namespace {

void writeWhole(const HandoffFiles& handoff, const std::filesystem::path& file, const std::string& bytes)
{
    createPrivateFolder(handoff.folder());
    OutputFile out(file);
    out.write(bytes);
    out.commit();
}

}  // namespace

void writeHandoffPath(const HandoffFiles& handoff, const std::string& path)
{
    writeWhole(handoff, handoff.pathFile(), path + "\r\n");
}

std::string readHandoffPath(const HandoffFiles& handoff)
{
    std::error_code ec;
    if (!std::filesystem::exists(handoff.pathFile(), ec))
        throw Failure("Δεν έχει επιλεγεί αρχείο συντεταγμένων: το αρχείο " +
                      inQuotes(utf8Path(handoff.pathFile())) +
                      " δεν υπάρχει. Επιλέξτε πρώτα το αρχείο εισόδου.");
    return readFirstLine(handoff.pathFile());
}

void writeTransformParameters(const HandoffFiles& handoff, int row1, const ParameterBoxes& boxes,
                              char decimalSeparator)
{
    const LoadedPoints points = loadPointTable(handoff);
    if (row1 < 0 || row1 >= points.count)
        throw Failure("Δεν έχει επιλεγεί το κοινό σημείο 1. Οι παράμετροι δεν γράφτηκαν.");

    writeHandoffParameters(handoff, twoPointParameterLines(points.table.row(row1), boxes, decimalSeparator));
}

ParameterLines twoPointParameterLines(const PointRecord& point1, const ParameterBoxes& boxes, char decimalSeparator)
{
    // A box text goes to the file with '.' as its separator, and only when it is a number:
    // anything else would not read back as the value shown.
    auto boxText = [decimalSeparator](const std::string& text, const char* box) {
        if (!readTypedNumber(text, decimalSeparator))
            throw Failure(std::string("Το κείμενο «") + text + "» του πεδίου " + box +
                          " δεν είναι αριθμός. Οι παράμετροι δεν γράφτηκαν.");
        std::string out = text;
        if (decimalSeparator != '.')
            for (char& c : out)
                if (c == decimalSeparator)
                    c = '.';
        return out;
    };

    ParameterLines lines;
    lines.f = boxText(boxes.f, "φ");
    appendPrintForm(lines.X1, point1.X);
    appendPrintForm(lines.Y1, point1.Y);
    lines.Dh = boxText(boxes.Dh, "Dh");
    lines.klimax = boxText(boxes.klimax, "Κλίμακα");
    lines.X1N = boxText(boxes.X1N, "X1N");
    lines.Y1N = boxText(boxes.Y1N, "Y1N");
    return lines;
}

void writeHandoffParameters(const HandoffFiles& handoff, const ParameterLines& lines)
{
    createPrivateFolder(handoff.folder());
    writeParameterFile(handoff.parameterFile(), lines);
}

void writeParameterFile(const PathName& file, const ParameterLines& lines)
{
    std::string bytes;
    for (const std::string* line : {&lines.f, &lines.X1, &lines.Y1, &lines.Dh, &lines.klimax, &lines.X1N, &lines.Y1N}) {
        bytes += *line;
        bytes += "\r\n";
    }
    OutputFile out(file);
    out.write(bytes);
    out.commit();
}

bool isModelFile(const PathName& file)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec) && readFirstLine(file).rfind(kModelFileMark, 0) == 0;
}

TransformParameters readParameterFile(const PathName& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        throw Failure("Το αρχείο παραμέτρων " + inQuotes(file.utf8()) + " δεν υπάρχει.");
    if (isModelFile(file))
        throw Failure("Το αρχείο " + inQuotes(file.utf8()) +
                      " είναι αρχείο μοντέλου (ομοπαραλληλικού ή 2ου βαθμού), όχι αρχείο των επτά παραμέτρων ομοιότητας. "
                      "Ένα σχέδιο μεταφέρεται μόνο με μετασχηματισμό ομοιότητας, αφού με άλλο μοντέλο ο κύκλος δεν μένει "
                      "κύκλος· με αρχείο μοντέλου μεταφέρονται μόνο αρχεία σημείων (tavrelo-cli apply).");
    ListReader reader(file);
    TransformParameters p;
    Value* const targets[] = {&p.f, &p.X1, &p.Y1, &p.Dh, &p.klimax, &p.X1N, &p.Y1N};
    Field field;
    int n = 0;
    for (Value* target : targets) {
        ++n;
        if (!reader.readField(field))
            throw Failure("Το αρχείο παραμέτρων " + inQuotes(reader.name()) + " τελειώνει πριν από την τιμή " +
                          std::to_string(n) + " από τις 7. Υπολογίστε ξανά τις παραμέτρους στα κοινά σημεία.");
        *target = valueOf(field);
    }
    return p;
}

TransformParameters readTransformParameters(const HandoffFiles& handoff)
{
    std::error_code ec;
    if (!std::filesystem::exists(handoff.parameterFile(), ec))
        throw Failure("Δεν υπάρχουν παράμετροι μετασχηματισμού: το αρχείο " +
                      inQuotes(utf8Path(handoff.parameterFile())) +
                      " δεν υπάρχει. Υπολογίστε πρώτα τις παραμέτρους στα κοινά σημεία.");
    return readParameterFile(handoff.parameterFile());
}

}  // namespace tavrelo
