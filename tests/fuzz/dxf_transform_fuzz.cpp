// Any bytes as a DXF drawing carried with the parameters of the example survey, either way, with
// or without skipping what cannot be carried. A drawing that is carried must keep every line
// that is not a number the table moves, byte for byte and in the same order, and write each
// moved number in its shortest form before the line end it had; the only lines it may add are
// whole groups of the table that the input left out; a drawing that is refused must
// leave the earlier result and the folder as they were, with a sound message. Carried in pieces
// on two threads, it must come to the same bytes or the same message.

#include "fuzz_support.h"
#include "test_support.h"

#include "drawing/dxf_groups.h"
#include "drawing/dxf_transform.h"

#include <charconv>
#include <cmath>
#include <set>

using namespace tavrelo;
using namespace tavrelo::fuzz;

namespace {

const std::string kParameters =
    "99.9999982811266\r\n 1000 \r\n 1000 \r\n-0.0800000000000018\r\n1.00025\r\n500\r\n400\r\n";

// Every code whose number the table may move (x, y and z).
const std::set<int>& movableCodes()
{
    static const std::set<int> codes = [] {
        std::set<int> c;
        for (const dxf::GroupRule& rule : dxf::groupRules())
            for (int code : {rule.code, rule.y, rule.z})
                if (code)
                    c.insert(code);
        return c;
    }();
    return codes;
}

// The lines of `bytes`, each with its LF (the last may have none).
std::vector<std::string_view> linesOf(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size() - 1) + 1;
        lines.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end);
    }
    return lines;
}

std::string_view content(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool readsAsNumber(std::string_view text, double& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

int codeOf(std::string_view line)
{
    // A code read as the rewriter reads it: blanks (spaces and tabs) about it, a '+' before it.
    std::string_view text = content(line);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int code = -1;
    std::from_chars(text.data(), text.data() + text.size(), code);
    return code;
}

// A moved or added number: one of the table's codes, a number that reads back in its shortest
// form, with the line end of the line it stands for.
void checkNumber(std::string_view codeLine, std::string_view written, std::string_view lineEnd)
{
    require(movableCodes().count(codeOf(codeLine)) > 0, "a line changed that is not a number of the table");
    require(written.substr(content(written).size()) == lineEnd, "a moved number lost its line end");
    double after = 0;
    require(readsAsNumber(content(written), after), "a moved number that does not read back");
    char shortest[40];
    const auto end = std::to_chars(shortest, shortest + sizeof shortest, after).ptr;
    require(content(written) == std::string_view(shortest, end - shortest), "a moved number not in its shortest form");
}

void checkCarried(const std::string& input, const std::string& output)
{
    const auto in = linesOf(input), out = linesOf(output);
    std::size_t j = 0;
    for (std::size_t i = 0; i < in.size(); ++i, ++j) {
        require(j < out.size(), "a carried drawing shorter than its input");
        const std::string_view lineEnd = in[i].substr(content(in[i]).size());
        if (i % 2 == 0) {
            // A code line: as it was, or groups added before it (an angle, a scale, a height
            // that the input left out), each with the line end of the line before them.
            while (in[i] != out[j]) {
                require(j + 1 < out.size(), "a code line changed");
                const std::string_view before = i > 0 ? in[i - 1].substr(content(in[i - 1]).size()) : lineEnd;
                require(out[j].substr(content(out[j]).size()) == before, "an added group without the line end before it");
                checkNumber(out[j], out[j + 1], before);
                j += 2;
                require(j < out.size(), "a carried drawing shorter than its input");
            }
            continue;
        }
        if (in[i] == out[j])
            continue;
        double before = 0;
        require(readsAsNumber(content(in[i]), before), "a line that was not a number changed");
        checkNumber(in[i - 1], out[j], lineEnd);
    }
    require(j == out.size(), "a carried drawing with more than its input");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = [] {
        const auto f = workFolder() / "dxf";
        std::filesystem::create_directories(f);
        test::writeBytes(f / "p.par", kParameters);
        return f;
    }();
    const std::string input = bytesOf(data, size);
    const std::string earlier = "an earlier result";
    test::writeBytes(folder / "in.dxf", input);
    test::writeBytes(folder / "out.dxf", earlier);
    const DrawingOptions options{size % 2 == 1, size % 3 == 0};
    std::string carried, refusal;
    try {
        transformDrawing((folder / "out.dxf").string(), (folder / "in.dxf").string(), folder / "p.par", options);
        carried = test::readBytes(folder / "out.dxf");
        checkCarried(input, carried);
    } catch (const Failure& failure) {
        checkMessage(failure);
        refusal = failure.what();
        require(test::readBytes(folder / "out.dxf") == earlier, "a refused drawing touched the earlier result");
    }
    // Carried again in pieces of a few bytes on two threads: the same bytes, or the same refusal.
    test::writeBytes(folder / "out.dxf", earlier);
    DrawingOptions inPieces = options;
    inPieces.pieceBytes = 1 + size % 61;
    try {
        transformDrawing((folder / "out.dxf").string(), (folder / "in.dxf").string(), folder / "p.par", inPieces);
        require(refusal.empty() && test::readBytes(folder / "out.dxf") == carried, "carried otherwise in pieces");
    } catch (const Failure& failure) {
        require(failure.what() == refusal, "refused otherwise in pieces");
        require(test::readBytes(folder / "out.dxf") == earlier, "a refused drawing touched the earlier result");
    }
    require(test::listFolder(folder) == "in.dxf out.dxf p.par ", "the rewriter left a file behind");
    require(test::readBytes(folder / "p.par") == kParameters, "the rewriter changed the parameter file");
    return 0;
}
