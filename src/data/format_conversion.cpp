#include "data/format_conversion.h"

#include "data/file_io.h"
#include "data/list_input.h"
#include "text/failure.h"
#include "text/number_form.h"

namespace tavrelo {

namespace {

// A coordinate or height as written: a number in the general number form, a text as read,
// empty as nothing.
void appendPlain(std::string& out, const Value& v)
{
    if (v.isNumber())
        appendGeneralNumberForm(out, v.number, '.');
    else
        out += v.text;
}

const char* layoutFieldName(char role)
{
    switch (role) {
    case 'P': return "αριθμός σημείου (P)";
    case 'X': return "X";
    case 'Y': return "Y";
    case 'Z': return "υψόμετρο (Z)";
    default: return "περιγραφή (D)";
    }
}

}  // namespace

void convertToPointFile(const std::string& inputPath, const std::string& outputPath, int layoutIndex)
{
    if (layoutIndex < -1 || layoutIndex >= static_cast<int>(kConversionLayouts.size()))
        throw Failure("Άγνωστη μορφή αρχείου (" + std::to_string(layoutIndex) + ").");
    ListReader reader(inputPath);
    OutputFile out(outputPath);
    if (layoutIndex >= 0) {
        const std::string layout = kConversionLayouts[layoutIndex];
        Field field;
        std::string Pn, D, line;
        Value X, Y, Z;
        long counter = 0;
        while (!reader.atEnd()) {
            ++counter;
            Pn = std::to_string(counter);
            D = "-";
            Z = Value::makeNumber(0.0);
            for (char role : layout) {
                if (role == ',')
                    continue;
                if (!reader.readField(field))
                    throw Failure("Το αρχείο " + inQuotes(reader.name()) + " τελειώνει μέσα στην εγγραφή " +
                                  std::to_string(counter) + ": λείπει το πεδίο " + layoutFieldName(role) +
                                  " της μορφής " + layout + ". Το αρχείο δεν μετατράπηκε.");
                switch (role) {
                case 'P': Pn = textOf(field); break;
                case 'X': X = valueOf(field); break;
                case 'Y': Y = valueOf(field); break;
                case 'Z': Z = valueOf(field); break;
                default: D = textOf(field); break;
                }
            }
            line = Pn;
            line += ',';
            appendPlain(line, X);
            line += ',';
            appendPlain(line, Y);
            line += ',';
            appendPlain(line, Z);
            line += ',';
            line += D;
            line += "\r\n";
            out.write(line);
        }
    }
    out.commit();
}

}  // namespace tavrelo
