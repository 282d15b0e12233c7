// Any bytes as the coordinate file of the save step, with the parameters of the example
// survey (a rotation, a scale and a height shift). A file of whole records whose coordinates
// are numbers or empty must give a whole result; anything else must be a Failure that leaves
// the earlier result, the hand-off files and the folder as they were.

#include "fuzz_support.h"
#include "test_support.h"

using namespace tavrelo;
using namespace tavrelo::fuzz;

namespace {

const std::string kParameters =
    "99.9999982811266\r\n 1000 \r\n 1000 \r\n-0.0800000000000018\r\n1.00025\r\n500\r\n400\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SaveStep step = [] {
        SaveStep s;
        test::writeBytes(s.handoff.parameterFile(), kParameters);
        return s;
    }();

    const std::string bytes = bytesOf(data, size);
    test::writeBytes(step.input, bytes);
    const std::vector<Field> fields = modelFields(bytes);
    bool whole = fields.size() % 5 == 0;
    for (std::size_t i = 0; whole && i < fields.size(); i += 5)
        for (std::size_t k = 1; k <= 3; ++k)
            whole = whole && !modelValue(fields[i + k]).isText();
    runSaveStep(step, kParameters, fields, whole);
    return 0;
}
