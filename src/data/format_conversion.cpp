#include "data/format_conversion.h"

#include "data/file_io.h"
#include "data/list_input.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <charconv>

namespace tavrelo {

namespace {

// A coordinate or height as written: a number in the general number form, a text as read,
// empty as nothing. A plain decimal is written straight from its digits where that gives the
// same text.
void appendPlain(std::string& out, const FieldView& field)
{
    if (field.quoted) {
        out += field.text;
        return;
    }
    if (field.text.empty() || appendGeneralFormOfDecimalText(out, field.text))
        return;
    const Value v = valueOf(field);
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
        std::string roles;  // the layout's fields in file order: P, X, Y, Z, D
        for (char role : layout)
            if (role != ',')
                roles += role;
        const int count = static_cast<int>(roles.size());
        FieldView fields[ListReader::kMaxFields];
        std::string line;
        long counter = 0;
        while (!reader.atEnd()) {
            ++counter;
            const int read = reader.readFields(fields, count);
            if (read < count)
                throw Failure("Το αρχείο " + inQuotes(reader.name()) + " τελειώνει μέσα στην εγγραφή " +
                              std::to_string(counter) + ": λείπει το πεδίο " + layoutFieldName(roles[read]) +
                              " της μορφής " + layout + ". Το αρχείο δεν μετατράπηκε.");
            const FieldView *Pn = nullptr, *X = nullptr, *Y = nullptr, *Z = nullptr, *D = nullptr;
            for (int i = 0; i < count; ++i) {
                switch (roles[i]) {
                case 'P': Pn = &fields[i]; break;
                case 'X': X = &fields[i]; break;
                case 'Y': Y = &fields[i]; break;
                case 'Z': Z = &fields[i]; break;
                default: D = &fields[i]; break;
                }
            }
            // Without P the record counter, without Z height 0, without D "-".
            line.clear();
            if (Pn) {
                line += Pn->text;
            } else {
                char number[24];
                line.append(number, std::to_chars(number, number + sizeof number, counter).ptr);
            }
            line += ',';
            appendPlain(line, *X);
            line += ',';
            appendPlain(line, *Y);
            line += ',';
            if (Z)
                appendPlain(line, *Z);
            else
                line += '0';
            line += ',';
            if (D)
                line += D->text;
            else
                line += '-';
            line += "\r\n";
            out.write(line);
        }
    }
    out.commit();
}

}  // namespace tavrelo
