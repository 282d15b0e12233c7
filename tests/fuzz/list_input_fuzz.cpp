// Any bytes as the chosen coordinate file, loaded as the common points step loads it. The
// table must hold exactly the records that the model of list input finds, each field as the
// model reads it; a file that ends inside a record, or holds more than 401 records, must be a
// Failure with a sound message.

#include "data/point_table.h"
#include "fuzz_support.h"
#include "test_support.h"

using namespace tavrelo;
using namespace tavrelo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path points = workFolder() / "points.txt";
    static const HandoffFiles handoff = [] {
        HandoffFiles h(workFolder() / "state");
        writeHandoffPath(h, points.string());
        return h;
    }();

    const std::string bytes = bytesOf(data, size);
    test::writeBytes(points, bytes);
    const std::vector<Field> fields = modelFields(bytes);
    const std::size_t records = fields.size() / 5;
    const bool loads = fields.size() % 5 == 0 && records <= PointTable::kRows;

    int reported = 0;
    try {
        const LoadedPoints loaded = loadPointTable(handoff, [&](int i, const PointRecord&) {
            require(i == reported++, "records reported out of order");
        });
        require(loads, "loaded a file that ends inside a record or holds more than 401 records");
        require(static_cast<std::size_t>(loaded.count) == records && reported == loaded.count,
                "loaded another number of records than the file holds");
        const PointTable& t = loaded.table;
        for (int i = 0; i < PointTable::kRows; ++i) {
            const bool stored = static_cast<std::size_t>(i) < records;
            const Field none;
            const Field* f = stored ? &fields[5 * i] : &none;
            require(t.Pn[i] == f[0].text, "a Pn not as read");
            require(sameValue(t.X[i], stored ? modelValue(f[1]) : Value{}), "an X not as read");
            require(sameValue(t.Y[i], stored ? modelValue(f[2]) : Value{}), "a Y not as read");
            require(sameValue(t.h[i], stored ? modelValue(f[3]) : Value{}), "an h not as read");
            require(t.D[i] == (stored ? f[4].text : std::string()), "a D not as read");
        }
    } catch (const Failure& failure) {
        checkMessage(failure);
        require(!loads, "refused a file of whole records");
    }
    return 0;
}
