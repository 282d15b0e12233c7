// Any bytes as the parameter hand-off file. The seven values read must be the model's first
// seven fields, read into value targets; a file of fewer fields must be a Failure. The values
// are then applied to a small coordinate file: the save step writes a whole result whose
// numbers all read back, or fails and leaves everything as it was.

#include "fuzz_support.h"
#include "test_support.h"

using namespace tavrelo;
using namespace tavrelo::fuzz;

namespace {

const char kPoints[] =
    "1,1000,1000,50,\xD3\xF4\xDE\xEB\xE7 1\r\n"
    "2,1060,1080,52,\"a, b\"\r\n"
    "007,-20.125,0,,\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SaveStep step = [] {
        SaveStep s;
        test::writeBytes(s.input, kPoints);
        return s;
    }();
    static const std::vector<Field> records = modelFields(kPoints);

    const std::string bytes = bytesOf(data, size);
    test::writeBytes(step.handoff.parameterFile(), bytes);
    const std::vector<Field> fields = modelFields(bytes);

    bool allNumbers = true;
    try {
        const TransformParameters p = readTransformParameters(step.handoff);
        require(fields.size() >= 7, "read seven values from a file of fewer fields");
        const Value* const read[] = {&p.f, &p.X1, &p.Y1, &p.Dh, &p.klimax, &p.X1N, &p.Y1N};
        for (int i = 0; i < 7; ++i) {
            const Value model = modelValue(fields[i]);
            require(sameValue(*read[i], model), "a parameter not as read");
            allNumbers = allNumbers && !model.isText();
        }
    } catch (const Failure& failure) {
        checkMessage(failure);
        // A model file (affine or second degree) is refused whatever it holds: its first field
        // is a text, and its parameters are not a similarity's.
        require(fields.size() < 7 || bytes.rfind(kModelFileMark, 0) == 0, "refused a file of seven fields");
        allNumbers = false;
    }
    runSaveStep(step, bytes, records, allNumbers);
    return 0;
}
