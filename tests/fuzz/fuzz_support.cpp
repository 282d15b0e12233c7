#include "fuzz_support.h"

#include "test_support.h"

#include "text/codepage.h"
#include "text/number_form.h"
#include "transform/apply_transformation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace tavrelo::fuzz {

namespace {

std::filesystem::path makeWorkFolder()
{
    std::error_code ec;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, ec))
        base = std::filesystem::temp_directory_path();
    std::string pattern = (base / "tavrelo-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        fault("no folder for the fuzzing files");
    return pattern;
}

void removeWorkFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(workFolder(), ec);
}

// Moves `at` past `expected`, which must stand there.
void expect(const std::string& bytes, std::size_t& at, const std::string& expected, const char* what)
{
    require(bytes.compare(at, expected.size(), expected) == 0, what);
    at += expected.size();
}

// Moves `at` past a number in print form (" 12.5 " or "-12.5 "), which must read back as a
// finite number.
void expectPrintForm(const std::string& bytes, std::size_t& at, const char* what)
{
    require(at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '-'), what);
    const std::size_t start = bytes[at] == ' ' ? at + 1 : at;
    const std::size_t end = bytes.find(' ', start + 1);
    require(end != std::string::npos, what);
    const auto number = readDecimalNumber(std::string_view(bytes).substr(start, end - start));
    require(number && std::isfinite(*number), what);
    at = end + 1;
}

void checkResult(const std::string& bytes, const std::vector<Field>& records)
{
    const std::string rule = "___________________________________________\r\n\r\n";
    const std::size_t headerEnd = bytes.find(rule);
    require(headerEnd != std::string::npos, "a result without the rule that ends its header");

    // Lines 6 to 10: a label, then the parameter's print form (nothing when it is empty).
    for (const char* label : {"            Στροφή :", "            Delta X:", "            Delta Y:",
                              "            Delta h:", "            Scale  :"}) {
        const std::string encoded = utf8ToWindows1253(label);
        std::size_t at = bytes.find(encoded);
        require(at < headerEnd, "a result header without one of its labels");
        at += encoded.size();
        if (bytes.compare(at, 2, "\r\n") != 0)
            expectPrintForm(bytes, at, "a parameter in the result header that does not read back");
        expect(bytes, at, "\r\n", "a parameter line of the result header with more after its number");
    }

    std::size_t at = headerEnd + rule.size();
    for (std::size_t r = 0; r + 4 < records.size(); r += 5) {
        expect(bytes, at, records[r].text + ",  ", "a point line that does not start with its Pn as read");
        for (int k = 0; k < 3; ++k) {
            expectPrintForm(bytes, at, "a coordinate in a point line that does not read back");
            expect(bytes, at, ",  ", "a point line without its separators");
        }
        expect(bytes, at, records[r + 4].text + "\r\n", "a point line that does not end with its D as read");
    }
    require(at == bytes.size(), "a result with more than its points");
}

}  // namespace

const std::filesystem::path& workFolder()
{
    // Never destroyed, so that it is still there when the folder is removed at exit.
    static const auto* const folder = [] {
        auto* made = new std::filesystem::path(makeWorkFolder());
        std::atexit(removeWorkFolder);
        return made;
    }();
    return *folder;
}

std::string bytesOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

void fault(const std::string& what)
{
    std::fprintf(stderr, "\n*** fault: %s\n", what.c_str());
    std::abort();
}

std::vector<Field> modelFields(std::string_view s)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    auto endsField = [](char c) { return c == ',' || c == '\r' || c == '\n'; };
    std::vector<Field> fields;
    std::size_t i = 0;
    while (i < s.size()) {
        Field field;
        while (i < s.size() && isBlank(s[i]))
            ++i;
        if (i < s.size() && s[i] == '"') {
            field.quoted = true;
            const std::size_t close = std::min(s.find('"', i + 1), s.size());
            field.text = s.substr(i + 1, close - i - 1);
            i = std::min(close + 1, s.size());
            while (i < s.size() && !endsField(s[i]))
                ++i;
        } else {
            const std::size_t start = i;
            while (i < s.size() && !endsField(s[i]))
                ++i;
            field.text = s.substr(start, i - start);
            while (!field.text.empty() && isBlank(field.text.back()))
                field.text.pop_back();
        }
        if (i < s.size())
            i += (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
        fields.push_back(std::move(field));
    }
    return fields;
}

Value modelValue(const Field& field)
{
    if (field.quoted)
        return Value::makeText(field.text);
    const std::string& t = field.text;
    if (t.empty())
        return {};
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-')
        ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (isDigit(t[i]))
            ++digits;
        else if (t[i] == '.' && !point)
            point = true;
        else
            break;
    }
    bool number = digits > 0;
    if (number && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < t.size() && isDigit(t[i]))
            ++i;
        number = i > start;
    }
    if (!number || i != t.size())
        return Value::makeText(t);
    const double v = std::strtod(t.c_str(), nullptr);
    if (std::isinf(v))
        return Value::makeText(t);
    return Value::makeNumber(v);
}

bool sameValue(const Value& read, const Value& model)
{
    if (read.kind != model.kind)
        return false;
    switch (read.kind) {
    case Value::Kind::Number:
        return read.number == model.number;
    case Value::Kind::Text: return read.text == model.text;
    case Value::Kind::Empty: return true;
    }
    return false;
}

void checkMessage(const Failure& failure)
{
    const std::string wrong = test::messageFault(failure.what());
    if (!wrong.empty())
        fault("a failure message " + wrong);
}

SaveStep::SaveStep()
    : input(workFolder() / "save" / "points.txt"),
      result(workFolder() / "save" / "result.txt"),
      handoff(workFolder() / "save" / "state")
{
    std::filesystem::create_directories(input.parent_path());
    writeHandoffPath(handoff, input.string());
    pathFile = test::readBytes(handoff.pathFile());
    test::writeBytes(result, earlierResult);
}

void runSaveStep(const SaveStep& step, const std::string& parameterFile, const std::vector<Field>& records,
                 bool shouldWrite)
{
    const std::filesystem::path folder = step.result.parent_path();
    bool written = true;
    try {
        applyTransformation(step.result.string(), step.handoff);
    } catch (const Failure& failure) {
        checkMessage(failure);
        written = false;
        require(!shouldWrite || std::string_view(failure.what()).find("εκτός ορίων") != std::string_view::npos,
                "the save step refused a file it should transform");
        require(test::readBytes(step.result) == step.earlierResult, "a failed save step touched the earlier result");
    }
    if (written) {
        require(shouldWrite, "the save step wrote a result from a file it should refuse");
        checkResult(test::readBytes(step.result), records);
        test::writeBytes(step.result, step.earlierResult);
    }
    require(test::listFolder(folder) == "points.txt result.txt state ", "the save step left a file behind");
    require(test::readBytes(step.handoff.pathFile()) == step.pathFile, "the save step changed the path hand-off file");
    require(test::readBytes(step.handoff.parameterFile()) == parameterFile,
            "the save step changed the parameter hand-off file");
}

}  // namespace tavrelo::fuzz
