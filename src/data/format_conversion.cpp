#include "data/format_conversion.h"

#include "data/file_io.h"
#include "data/list_input.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace tavrelo {

namespace {

// A coordinate or height written at `out`, where its text's length and kNumberTextRoom more
// bytes are free: a number in the general number form, a text as read, empty as nothing. A
// plain decimal is written straight from its digits where that gives the same text.
char* writePlain(char* out, const FieldView& field)
{
    if (!field.quoted && !field.text.empty()) {
        if (char* const end = writeGeneralFormOfDecimalText(out, field.text))
            return end;
        const Value v = valueOf(field);
        if (v.isNumber())
            return writeGeneralNumberForm(out, v.number, '.');
    }
    std::memcpy(out, field.text.data(), field.text.size());
    return out + field.text.size();
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
            // The line Pn,X,Y,h,D and CR LF, written in place: without P the record counter,
            // without Z height 0, without D "-".
            std::size_t room = 48 + 3 * kNumberTextRoom;
            for (int i = 0; i < count; ++i)
                room += fields[i].text.size();
            char* const first = out.room(room);
            char* p = first;
            auto put = [&p](std::string_view bytes) {
                std::memcpy(p, bytes.data(), bytes.size());
                p += bytes.size();
            };
            if (Pn)
                put(Pn->text);
            else
                p = std::to_chars(p, first + room, counter).ptr;
            *p++ = ',';
            p = writePlain(p, *X);
            *p++ = ',';
            p = writePlain(p, *Y);
            *p++ = ',';
            if (Z)
                p = writePlain(p, *Z);
            else
                *p++ = '0';
            *p++ = ',';
            if (D)
                put(D->text);
            else
                *p++ = '-';
            put("\r\n");
            out.advance(p);
        }
    }
    out.commit();
}

}  // namespace tavrelo
