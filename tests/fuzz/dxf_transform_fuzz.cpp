// Any bytes as a DXF drawing carried with the parameters of the example survey, either way, with
// or without skipping what cannot be carried. A drawing that is carried must keep every line
// that is not a number the table moves, byte for byte and in the same order, and write each
// moved number in its shortest form before the line end it had; a drawing that is refused must
// leave the earlier result and the folder as they were, with a sound message.

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

void checkCarried(const std::string& input, const std::string& output)
{
    const auto in = linesOf(input), out = linesOf(output);
    require(in.size() == out.size(), "a carried drawing with another count of lines");
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == out[i])
            continue;
        // Only a value line after a code of the table may change: its number, not its line end.
        require(i % 2 == 1, "a code line changed");
        int code = 0;
        std::string_view codeText = content(in[i - 1]);
        while (!codeText.empty() && codeText.front() == ' ')
            codeText.remove_prefix(1);
        while (!codeText.empty() && codeText.back() == ' ')
            codeText.remove_suffix(1);
        std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
        require(movableCodes().count(code) > 0, "a line changed that is not a number of the table");
        require(in[i].substr(content(in[i]).size()) == out[i].substr(content(out[i]).size()),
                "a moved number lost its line end");
        double before = 0, after = 0;
        require(readsAsNumber(content(in[i]), before), "a line that was not a number changed");
        const std::string_view written = content(out[i]);
        require(readsAsNumber(written, after), "a moved number that does not read back");
        char shortest[40];
        const auto end = std::to_chars(shortest, shortest + sizeof shortest, after).ptr;
        require(written == std::string_view(shortest, end - shortest), "a moved number not in its shortest form");
    }
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
    try {
        transformDrawing((folder / "out.dxf").string(), (folder / "in.dxf").string(), folder / "p.par", options);
        checkCarried(input, test::readBytes(folder / "out.dxf"));
    } catch (const Failure& failure) {
        checkMessage(failure);
        require(test::readBytes(folder / "out.dxf") == earlier, "a refused drawing touched the earlier result");
    }
    require(test::listFolder(folder) == "in.dxf out.dxf p.par ", "the rewriter left a file behind");
    require(test::readBytes(folder / "p.par") == kParameters, "the rewriter changed the parameter file");
    return 0;
}
