#include "text/codepage.h"

#include "text/failure.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace tavrelo {

namespace {

// One iconv conversion; closed when the conversion is done.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from))
    {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw Failure(std::string("Η μετατροπή κειμένου από ") + from + " σε " + to +
                          " δεν υποστηρίζεται σε αυτό το σύστημα.");
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; at a sequence it cannot convert, appends `replacement` and skips
    // `skip(in)` bytes of the input.
    template <typename Skip>
    std::string convert(std::string_view in, std::string_view replacement, Skip skip)
    {
        std::string out;
        out.reserve(in.size() * 2);
        char buffer[1024];
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                // EILSEQ or EINVAL: a character without a form in the target, or a
                // broken sequence at this point.
                out += replacement;
                const std::size_t n = std::min(inLeft, skip(std::string_view(inPtr, inLeft)));
                inPtr += n;
                inLeft -= n;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t handle_;
};

// Length of the UTF-8 sequence that starts `s`, at least 1.
std::size_t utf8SequenceLength(std::string_view s)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = 1;
    if (lead >= 0xF0)
        n = 4;
    else if (lead >= 0xE0)
        n = 3;
    else if (lead >= 0xC0)
        n = 2;
    // Stop early at a byte that does not continue the sequence.
    std::size_t i = 1;
    while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        ++i;
    return i;
}

}  // namespace

std::string utf8ToWindows1253(std::string_view utf8)
{
    Converter converter("CP1253", "UTF-8");
    return converter.convert(utf8, "?", utf8SequenceLength);
}

std::string windows1253ToUtf8(std::string_view bytes)
{
    Converter converter("UTF-8", "CP1253");
    return converter.convert(bytes, "\xEF\xBF\xBD", [](std::string_view) { return std::size_t{1}; });
}

}  // namespace tavrelo
