// Windows-1253 on Windows: the system's own table of code page 1253 (MultiByteToWideChar),
// read once, with the same rules as the POSIX build for what has no form on either side.

#include "text/codepage.h"

#include <array>
#include <unordered_map>
#include <windows.h>

namespace tavrelo {

namespace {

constexpr char32_t kNone = 0xFFFD;

struct Table {
    std::array<char32_t, 256> toUnicode{};
    std::unordered_map<char32_t, char> fromUnicode;

    Table()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const char in = static_cast<char>(byte);
            wchar_t out = 0;
            const int n = ::MultiByteToWideChar(1253, MB_ERR_INVALID_CHARS, &in, 1, &out, 1);
            // Code points the system gives the unassigned bytes (private use) count as none.
            toUnicode[byte] = (n == 1 && !(out >= 0xE000 && out <= 0xF8FF)) ? out : kNone;
            if (toUnicode[byte] != kNone)
                fromUnicode.emplace(toUnicode[byte], in);
        }
    }
};

const Table& table()
{
    static const Table t;
    return t;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character at the start of `s` and the bytes it takes, or kNone and the bytes to skip:
// those of a broken sequence up to the first byte that does not continue it.
std::pair<char32_t, std::size_t> nextCharacter(std::string_view s)
{
    const auto byte = [s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t n = 1;
    char32_t code = 0, least = 0;
    if (lead >= 0xF0)
        n = 4, code = lead & 0x07, least = 0x10000;
    else if (lead >= 0xE0)
        n = 3, code = lead & 0x0F, least = 0x800;
    else if (lead >= 0xC0)
        n = 2, code = lead & 0x1F, least = 0x80;
    std::size_t i = 1;
    while (i < n && i < s.size() && (byte(i) & 0xC0) == 0x80) {
        code = (code << 6) | (byte(i) & 0x3F);
        ++i;
    }
    if (n == 1 || i < n || lead > 0xF4 || code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {kNone, i};
    return {code, n};
}

}  // namespace

std::string utf8ToWindows1253(std::string_view utf8)
{
    const Table& t = table();
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto [code, length] = nextCharacter(utf8);
        utf8.remove_prefix(length);
        if (code < 0x80) {
            out += static_cast<char>(code);
            continue;
        }
        const auto found = t.fromUnicode.find(code);
        out += found != t.fromUnicode.end() ? found->second : '?';
    }
    return out;
}

std::string windows1253ToUtf8(std::string_view bytes)
{
    const Table& t = table();
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes)
        appendUtf8(out, t.toUnicode[static_cast<unsigned char>(b)]);
    return out;
}

}  // namespace tavrelo
