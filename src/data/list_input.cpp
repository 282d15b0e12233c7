#include "data/list_input.h"

#include "text/number_form.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace tavrelo {

namespace {

bool isBlank(int c) { return c == ' ' || c == '\t'; }

bool endsField(char c) { return c == ',' || c == '\r' || c == '\n'; }

// The first comma or line end from `p` on, or `last`. Reads whole words of 8 bytes and so up
// to InputFile::kReadSlack bytes past `last`.
[[gnu::always_inline]] inline const char* findFieldEnd(const char* p, const char* last)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t ones = 0x0101010101010101;
        constexpr std::uint64_t highs = 0x8080808080808080;
        // High bit of each byte equal to b; wrong only in bytes after the first that is.
        auto bytesEqual = [](std::uint64_t word, unsigned char b) {
            const std::uint64_t x = word ^ (ones * b);
            return (x - ones) & ~x & highs;
        };
        for (; p < last; p += 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            const std::uint64_t found = bytesEqual(word, ',') | bytesEqual(word, '\r') | bytesEqual(word, '\n');
            if (found != 0)
                return std::min(p + std::countr_zero(found) / 8, last);
        }
        return last;
    } else {
        while (p != last && !endsField(*p))
            ++p;
        return p;
    }
}

// The length of the field text at the start of `in`, a view from InputFile::buffered(): up
// to the first comma or line end, or all of it.
std::size_t fieldLength(std::string_view in)
{
    return static_cast<std::size_t>(findFieldEnd(in.data(), in.data() + in.size()) - in.data());
}

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool ListReader::readField(Field& field)
{
    FieldView view;
    if (!readField(view))
        return false;
    field.text.assign(view.text);
    field.quoted = view.quoted;
    return true;
}

bool ListReader::readField(FieldView& field)
{
    field.quoted = false;
    field.hasNumber = false;
    int c = file_.peek();
    if (c < 0)
        return false;
    while (isBlank(c)) {
        file_.skip(1);
        c = file_.peek();
    }
    if (c == '"') {
        field.quoted = true;
        field.text = readQuoted();
    } else {
        const std::string_view in = file_.buffered();  // empty at the end of the file
        const std::size_t length = fieldLength(in);
        if (length == in.size()) {
            field.text = withoutTrailingBlanks(readUnquotedAcrossBlocks(in));
        } else if (in[length] == '\r' && length + 1 == in.size()) {
            // A CR that ends the read buffer: the LF that may follow is not read yet, and
            // reading it replaces the buffer, so the text is kept aside first.
            held_.assign(in.substr(0, length));
            file_.skip(length);
            field.text = withoutTrailingBlanks(held_);
        } else {
            // The whole field and the comma or line end after it lie in the buffer.
            field.text = withoutTrailingBlanks(in.substr(0, length));
            const bool crlf = in[length] == '\r' && in[length + 1] == '\n';
            file_.skip(length + (crlf ? 2 : 1));
            return true;
        }
    }
    // The comma or line end that ends the field, if any; CR LF is one line end, and a lone CR
    // or a lone LF is one too.
    c = file_.get();
    if (c == '\r' && file_.peek() == '\n')
        file_.skip(1);
    return true;
}

int ListReader::readFields(FieldView* fields, int count, unsigned numberFields)
{
    // When all the fields and the comma or line end after each lie in the read buffer, none
    // quoted, they are taken where they are.
    const std::string_view in = file_.buffered();
    const char* const first = in.data();
    const char* const last = first + in.size();
    const char* p = first;
    int n = 0;
    for (; n < count; ++n) {
        while (p != last && isBlank(*p))
            ++p;
        if (p == last || *p == '"')
            break;
        const char* const start = p;
        // A number field that is a plain decimal up to its comma or line end is read as one.
        FieldView& field = fields[n];
        field.hasNumber = false;
        if ((numberFields >> n) & 1) {
            const char* const end = readPlainDecimal(p, last, field.number);
            field.hasNumber = end != nullptr && end != last && endsField(*end);
            if (field.hasNumber)
                p = end;
        }
        if (!field.hasNumber)
            p = findFieldEnd(p, last);
        if (p == last || (*p == '\r' && p + 1 == last))
            break;
        field.text = withoutTrailingBlanks({start, static_cast<std::size_t>(p - start)});
        field.quoted = false;
        p += (*p == '\r' && p[1] == '\n') ? 2 : 1;
    }
    if (n == count) {
        file_.skip(static_cast<std::size_t>(p - first));
        return n;
    }

    // Otherwise one at a time, each text kept aside before the next read replaces the buffer.
    for (n = 0; n < count; ++n) {
        if (!readField(fields[n]))
            break;
        heldFields_[n].assign(fields[n].text);
        fields[n].text = heldFields_[n];
    }
    return n;
}

// After the opening quote: the text up to the closing quote (or the end of the file), then
// anything up to the comma or line end, which is dropped. The comma or line end stays unread.
std::string_view ListReader::readQuoted()
{
    file_.skip(1);
    held_.clear();
    bool closed = false;
    for (std::string_view in = file_.buffered(); !in.empty(); in = file_.buffered()) {
        const std::size_t quote = in.find('"');
        if (quote != std::string_view::npos) {
            held_.append(in.substr(0, quote));
            file_.skip(quote + 1);
            closed = true;
            break;
        }
        held_.append(in);
        file_.skip(in.size());
    }
    if (closed)
        for (int c = file_.peek(); c >= 0 && !endsField(static_cast<char>(c)); c = file_.peek())
            file_.skip(1);
    return held_;
}

// An unquoted field that runs past the read buffer: `start` is all of the buffer. The comma or
// line end after it stays unread.
std::string_view ListReader::readUnquotedAcrossBlocks(std::string_view start)
{
    held_.assign(start);
    file_.skip(start.size());
    for (std::string_view in = file_.buffered(); !in.empty(); in = file_.buffered()) {
        const std::size_t length = fieldLength(in);
        held_.append(in.substr(0, length));
        file_.skip(length);
        if (length != in.size())
            break;
    }
    return held_;
}

namespace {

Value valueOfText(std::string_view text, bool quoted)
{
    if (quoted)
        return Value::makeText(std::string(text));
    if (text.empty())
        return Value{};
    if (const auto number = readDecimalNumber(text))
        return Value::makeNumber(*number);
    return Value::makeText(std::string(text));
}

}  // namespace

Value valueOf(const Field& field)
{
    return valueOfText(field.text, field.quoted);
}

Value valueOf(const FieldView& field)
{
    if (field.hasNumber)
        return Value::makeNumber(field.number);
    return valueOfText(field.text, field.quoted);
}

}  // namespace tavrelo
