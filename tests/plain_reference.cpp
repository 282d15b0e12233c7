#include "plain_reference.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavrelo::test::reference {

namespace {

// List input over bytes in memory, one character at a time.
struct Field {
    std::string text;
    bool quoted = false;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : b_(bytes) {}

    bool atEnd() const { return i_ >= b_.size(); }

    bool next(Field& f)
    {
        if (atEnd())
            return false;
        f = Field{};
        while (i_ < b_.size() && (b_[i_] == ' ' || b_[i_] == '\t'))
            ++i_;
        if (i_ < b_.size() && b_[i_] == '"') {
            f.quoted = true;
            ++i_;
            while (i_ < b_.size() && b_[i_] != '"')
                f.text += b_[i_++];
            while (i_ < b_.size() && !endsField(b_[i_]))  // the closing quote and anything after it
                ++i_;
        } else {
            while (i_ < b_.size() && !endsField(b_[i_]))
                f.text += b_[i_++];
            while (!f.text.empty() && (f.text.back() == ' ' || f.text.back() == '\t'))
                f.text.pop_back();
        }
        if (i_ < b_.size()) {
            if (b_[i_] == '\r' && i_ + 1 < b_.size() && b_[i_ + 1] == '\n')
                ++i_;
            ++i_;
        }
        return true;
    }

private:
    static bool endsField(char c) { return c == ',' || c == '\r' || c == '\n'; }

    const std::string& b_;
    std::size_t i_ = 0;
};

struct Value {
    enum Kind { Empty, Number, Text } kind = Empty;
    double number = 0;
    std::string text;
};

bool digit(char c) { return c >= '0' && c <= '9'; }

// Optional sign, digits with at most one '.', optional exponent; then strtod.
Value valueOf(const Field& f)
{
    Value v;
    if (f.quoted) {
        v.kind = Value::Text;
        v.text = f.text;
        return v;
    }
    if (f.text.empty())
        return v;
    const std::string& t = f.text;
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-')
        ++i;
    int digits = 0;
    while (i < t.size() && digit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.')
        for (++i; i < t.size() && digit(t[i]); ++i)
            ++digits;
    bool ok = digits > 0;
    if (ok && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < t.size() && digit(t[i]))
            ++i;
        ok = i > start;
    }
    ok = ok && i == t.size();
    if (ok) {
        errno = 0;
        const double n = std::strtod(t.c_str(), nullptr);
        ok = !(errno == ERANGE && std::isinf(n));  // too large is not a number; too small is 0
        v.number = n;
    }
    if (ok) {
        v.kind = Value::Number;
    } else {
        v.kind = Value::Text;
        v.text = t;
    }
    return v;
}

void printForm(std::string& out, const Value& v)
{
    if (v.kind == Value::Number) {
        if (!(v.number < 0))
            out += ' ';
        out += generalForm(v.number);
        out += ' ';
    } else if (v.kind == Value::Text) {
        out += v.text;
    }
}

void printForm(std::string& out, double n)
{
    Value v;
    v.kind = Value::Number;
    v.number = n;
    printForm(out, v);
}

}  // namespace

std::string generalForm(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15G", value);
    const std::string s = text;
    return s == "-0" ? "0" : s;
}

std::optional<ApplyResult> apply(const std::string& parameterBytes, const std::string& pointBytes)
{
    Reader parameters(parameterBytes);
    Value p[7];
    double n[7];
    for (int i = 0; i < 7; ++i) {
        Field f;
        if (!parameters.next(f))
            return std::nullopt;
        p[i] = valueOf(f);
        if (p[i].kind == Value::Text)
            return std::nullopt;
        n[i] = p[i].number;
    }
    const double f = n[0], X1 = n[1], Y1 = n[2], Dh = n[3], klimax = n[4], X1N = n[5], Y1N = n[6];

    ApplyResult result;
    printForm(result.headerValues, p[0]);
    result.headerValues += "\r\n";
    printForm(result.headerValues, X1N - X1);
    result.headerValues += "\r\n";
    printForm(result.headerValues, Y1N - Y1);
    result.headerValues += "\r\n";
    printForm(result.headerValues, p[3]);
    result.headerValues += "\r\n";
    printForm(result.headerValues, p[4]);
    result.headerValues += "\r\n";

    const double theta = f * 3.1415927 / 200;
    Reader points(pointBytes);
    while (!points.atEnd()) {
        Field field[5];
        for (auto& one : field)
            if (!points.next(one))
                return std::nullopt;
        double c[3];
        for (int i = 0; i < 3; ++i) {
            const Value v = valueOf(field[i + 1]);
            if (v.kind == Value::Text)
                return std::nullopt;
            c[i] = v.number;
        }
        const double dx = c[0] - X1;
        const double dy = c[1] - Y1;
        const double u = dx * std::cos(-theta) - dy * std::sin(-theta);
        const double v = dy * std::cos(-theta) + dx * std::sin(-theta);
        const double Xo = std::floor((klimax * u + X1N) * 1000) / 1000;
        const double Yo = std::floor((klimax * v + Y1N) * 1000) / 1000;
        const double ho = std::floor((c[2] - Dh) * 1000) / 1000;
        if (!std::isfinite(Xo) || !std::isfinite(Yo) || !std::isfinite(ho))
            return std::nullopt;
        std::string& out = result.pointLines;
        out += field[0].text;
        out += ",  ";
        printForm(out, Xo);
        out += ",  ";
        printForm(out, Yo);
        out += ",  ";
        printForm(out, ho);
        out += ",  ";
        out += field[4].text;
        out += "\r\n";
    }
    return result;
}

std::optional<std::string> convert(const std::string& inputBytes, int layoutIndex)
{
    static const char* const layouts[] = {"PXYZ", "PXY", "XYZ", "XY", "XYZD", "XYD",
                                          "PYXZ", "PYX", "YXZ", "YX", "YXZD", "YXD"};
    std::string out;
    if (layoutIndex < 0)
        return out;
    Reader reader(inputBytes);
    long counter = 0;
    auto plain = [](const Value& v) {
        if (v.kind == Value::Number)
            return generalForm(v.number);
        return v.text;
    };
    while (!reader.atEnd()) {
        ++counter;
        std::string Pn = std::to_string(counter), D = "-", X, Y, Z = "0";
        for (const char* role = layouts[layoutIndex]; *role; ++role) {
            Field f;
            if (!reader.next(f))
                return std::nullopt;
            switch (*role) {
            case 'P': Pn = f.text; break;
            case 'X': X = plain(valueOf(f)); break;
            case 'Y': Y = plain(valueOf(f)); break;
            case 'Z': Z = plain(valueOf(f)); break;
            default: D = f.text; break;
            }
        }
        out += Pn + "," + X + "," + Y + "," + Z + "," + D + "\r\n";
    }
    return out;
}

namespace {

class Maker {
public:
    explicit Maker(std::mt19937_64& random) : random_(random) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(int percent) { return pick(100) < percent; }

    std::string digits(int count, bool leadingNonZero)
    {
        std::string s;
        for (int i = 0; i < count; ++i)
            s += static_cast<char>('0' + ((i == 0 && leadingNonZero) ? 1 + pick(9) : pick(10)));
        return s;
    }

    std::string sign(bool plusToo) { return chance(30) ? "-" : (plusToo && chance(5)) ? "+" : ""; }

    // A field that reads as a number, in one of the many ways files write numbers.
    std::string number(bool hugeToo)
    {
        char text[64];
        switch (pick(12)) {
        case 0:
        case 1:
        case 2:  // a surveyed coordinate
            return sign(false) + digits(1 + pick(7), true) + "." + digits(pick(5), false);
        case 3:  // whole, perhaps with leading zeros or a plus
            return sign(true) + (chance(20) ? "00" : "") + digits(1 + pick(9), false);
        case 4:  // no digits on one side of the point
            return chance(50) ? sign(true) + "." + digits(1 + pick(6), false) : sign(true) + digits(1 + pick(6), false) + ".";
        case 5:  // exponent forms
            return sign(true) + digits(1 + pick(4), true) + (chance(50) ? "." + digits(pick(5), false) : "") +
                   (chance(50) ? "E" : "e") + (chance(40) ? "-" : chance(30) ? "+" : "") + digits(1 + pick(2), false);
        case 6:  // more digits than a double holds
            return sign(false) + digits(1 + pick(12), true) + "." + digits(8 + pick(12), false);
        case 7:  // large: millimetre cuts beyond fifteen digits and the exponent switch
            return sign(false) + digits(12 + pick(8), true) + (chance(50) ? "." + digits(pick(4), false) : "");
        case 8:  // small
            return sign(false) + "0.0" + digits(pick(6), false) + digits(1 + pick(4), true);
        case 9: {  // the zeros
            static const char* const zeros[] = {"0", "-0", "0.000", "-0.0", "+0", ".0", "0e5", "-0E-3"};
            return zeros[pick(8)];
        }
        case 10:  // any magnitude
            std::snprintf(text, sizeof text, "%.17g",
                          std::uniform_real_distribution<double>(-1, 1)(random_) *
                              std::pow(10.0, pick(hugeToo ? 600 : 400) - (hugeToo ? 320 : 200)));
            return text;
        default:  // a whole number of millimetres near the fifteen-digit edge
            std::snprintf(text, sizeof text, "%s%lld.%03d", sign(false).c_str(),
                          static_cast<long long>(std::uniform_int_distribution<long long>(999999999000LL, 1000000001000LL)(random_)),
                          pick(1000));
            return text;
        }
    }

    std::string text()
    {
        static const char* const pieces[] = {"A", "12", "\xD3\xF4\xDC\xF3\xE7", "\xE3\xF9\xED\xDF\xE1", " ", "-",
                                             "007", "x y", "\xD0", "\t", ".", "a\"b"};
        std::string s;
        const int n = pick(4);
        for (int i = 0; i < n; ++i)
            s += pieces[pick(12)];
        if (chance(10)) {  // quoted, perhaps with a comma inside and something after the quote
            std::erase(s, '"');
            return "\"" + s + (chance(50) ? ", " : "") + "\"" + (chance(20) ? " junk" : "");
        }
        return s;
    }

    std::string notANumber()
    {
        static const char* const texts[] = {"12A", "\"5\"", "inf", "nan", "0x10", "1e", "--1", ".", "1e400", "1.2.3", "1 2"};
        return texts[pick(11)];
    }

    std::string value(bool textToo, bool hugeToo)
    {
        if (chance(3))
            return "";
        if (textToo && chance(3))
            return notANumber();
        std::string s = number(hugeToo);
        if (chance(5))
            s = (chance(50) ? " " : "\t ") + s;
        if (chance(5))
            s += "  ";
        return s;
    }

    std::string lineEnd()
    {
        const int r = pick(100);
        return r < 85 ? "\r\n" : r < 93 ? "\n" : "\r";
    }

private:
    std::mt19937_64& random_;
};

}  // namespace

std::string randomFile(std::mt19937_64& random, const RandomFileOptions& options)
{
    static const char* const layouts[] = {"PXYZ", "PXY", "XYZ", "XY", "XYZD", "XYD",
                                          "PYXZ", "PYX", "YXZ", "YX", "YXZD", "YXD"};
    const char* roles = options.layout < 0 ? "PXYZD" : layouts[options.layout];
    Maker m(random);
    std::string out;
    // A separator after a field; a lone LF right after a lone CR would join it into one line
    // end and swallow the empty field between them, so it becomes CR LF there.
    auto separate = [&out](std::string separator) {
        if (separator == "\n" && !out.empty() && out.back() == '\r')
            separator = "\r\n";
        out += separator;
    };
    for (int r = 0; r < options.records; ++r) {
        for (const char* role = roles; *role; ++role) {
            if (role != roles)
                separate(m.chance(2) ? m.lineEnd() : ",");  // a record may run across lines
            if (*role == 'P' || *role == 'D')
                out += m.text();
            else
                out += m.value(options.textValues, options.layout >= 0);
        }
        // The last line may lack its line end, unless its last field is empty: a comma or a line
        // end at the very end only ends the field before it.
        if (r + 1 < options.records || m.chance(50) || out.back() == ',' || out.back() == '\n' || out.back() == '\r')
            separate(m.lineEnd());
    }
    return out;
}

std::string randomParameters(std::mt19937_64& random)
{
    Maker m(random);
    if (m.chance(15))
        return "0\r\n 0 \r\n 0 \r\n0\r\n1\r\n0\r\n0\r\n";  // carries every point onto itself
    std::string p;
    auto line = [&p](const std::string& s) { p += s + "\r\n"; };
    line(std::to_string(m.pick(400)) + "." + m.digits(m.pick(14), false));
    line(" " + m.digits(1 + m.pick(7), true) + "." + m.digits(m.pick(4), false) + " ");
    line(m.sign(false) + m.digits(1 + m.pick(7), true) + "." + m.digits(m.pick(4), false));
    line(m.sign(false) + "0." + m.digits(1 + m.pick(15), false));
    line(m.chance(30) ? "1" : "1.000" + m.digits(1 + m.pick(10), false));
    line(m.digits(1 + m.pick(7), true) + "." + m.digits(m.pick(4), false));
    line(m.digits(1 + m.pick(7), true) + "." + m.digits(m.pick(4), false));
    return p;
}

}  // namespace tavrelo::test::reference
