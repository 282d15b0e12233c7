// Any bytes as a file to convert; the first byte picks the layout (-1 to 11), the rest is the
// file. The copy must be exactly the records the model of list input finds, rebuilt in the
// layout's order; a file that ends inside a record must be a Failure that leaves the earlier
// copy and the folder as they were.

#include "data/format_conversion.h"
#include "fuzz_support.h"
#include "test_support.h"
#include "text/number_form.h"

#include <optional>

using namespace tavrelo;
using namespace tavrelo::fuzz;

namespace {

void appendCoordinate(std::string& out, const Value& v)
{
    if (v.isNumber())
        appendGeneralNumberForm(out, v.number, '.');
    else
        out += v.text;
}

// The copy of `fields` in `layout`, or nothing when a record is cut short.
std::optional<std::string> modelCopy(const std::vector<Field>& fields, int layout)
{
    if (layout < 0)
        return std::string();
    std::string order = kConversionLayouts[layout];
    std::erase(order, ',');
    if (fields.size() % order.size() != 0)
        return std::nullopt;
    std::string out;
    long counter = 0;
    for (std::size_t at = 0; at < fields.size(); at += order.size()) {
        std::string Pn = std::to_string(++counter), D = "-";
        Value X, Y, Z = Value::makeNumber(0);
        for (std::size_t k = 0; k < order.size(); ++k) {
            const Field& f = fields[at + k];
            switch (order[k]) {
            case 'P': Pn = f.text; break;
            case 'X': X = modelValue(f); break;
            case 'Y': Y = modelValue(f); break;
            case 'Z': Z = modelValue(f); break;
            default: D = f.text; break;
            }
        }
        out += Pn + ",";
        appendCoordinate(out, X);
        out += ",";
        appendCoordinate(out, Y);
        out += ",";
        appendCoordinate(out, Z);
        out += "," + D + "\r\n";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const std::filesystem::path folder = [] {
        std::filesystem::create_directories(workFolder() / "convert");
        return workFolder() / "convert";
    }();
    static const std::filesystem::path input = folder / "in.txt", output = folder / "PENZD_in.txt";
    const std::string earlier = "an earlier copy";

    const int layout = data[0] % 13 - 1;
    const std::string bytes = bytesOf(data + 1, size - 1);
    test::writeBytes(input, bytes);
    test::writeBytes(output, earlier);
    const std::string listing = test::listFolder(folder);
    const auto expected = modelCopy(modelFields(bytes), layout);

    try {
        convertToPointFile(input.string(), output.string(), layout);
        require(expected.has_value(), "converted a file that ends inside a record");
        require(test::readBytes(output) == *expected, "a copy that differs from the records read");
    } catch (const Failure& failure) {
        checkMessage(failure);
        require(!expected, "refused a file of whole records");
        require(test::readBytes(output) == earlier, "a failed conversion touched the earlier copy");
    }
    require(test::listFolder(folder) == listing, "the conversion left a file behind");
    return 0;
}
