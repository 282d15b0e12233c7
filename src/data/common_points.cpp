#include "data/common_points.h"

#include "data/list_input.h"
#include "data/point_table.h"
#include "text/codepage.h"
#include "text/failure.h"

#include <functional>
#include <string_view>
#include <unordered_map>

namespace tavrelo {

namespace {

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Target point numbers to their place in the target file's order.
using PointIndex = std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>>;

std::string pointName(std::string_view Pn)
{
    return inQuotes(windows1253ToUtf8(Pn));
}

std::string recordOf(long record, const std::string& file)
{
    return "εγγραφή " + std::to_string(record) + " του αρχείου " + inQuotes(file);
}

enum class Empty { Fails, IsZero, IsNone };

// Field `index` of a common point's record as a number. A text fails; an empty field fails,
// counts as 0, or is no number at all, as `empty` says.
std::optional<double> coordinate(const FieldView (&fields)[5], int index, Empty empty, long record,
                                 const std::string& file)
{
    const Value value = valueOf(fields[index]);
    if (value.isNumber())
        return value.number;
    if (value.isEmpty() && empty == Empty::IsZero)
        return 0.0;
    if (value.isEmpty() && empty == Empty::IsNone)
        return std::nullopt;
    throw Failure("Το σημείο " + pointName(fields[0].text) + " (" + recordOf(record, file) + "): το πεδίο " +
                  pointFieldName(index) + (value.isEmpty() ? " είναι κενό" : " δεν είναι αριθμός (" +
                  inQuotes(windows1253ToUtf8(value.text)) + ")") + ". Δεν έγινε υπολογισμός.");
}

struct Target {
    CommonPoint point;
    bool found = false;
};

// Reads the target file: every point with its X, Y and (optional) h, in file order.
std::vector<Target> readTargets(const std::string& targetPath, PointIndex& index)
{
    std::vector<Target> targets;
    ListReader reader(targetPath);
    FieldView fields[5];
    long record = 0;
    while (!reader.atEnd()) {
        ++record;
        readPointFields(reader, fields, record);
        const auto [at, added] = index.try_emplace(std::string(fields[0].text), targets.size());
        if (!added)
            throw Failure("Το σημείο " + pointName(fields[0].text) + " υπάρχει δύο φορές στο αρχείο κοινών σημείων " +
                          inQuotes(reader.name()) + ": εγγραφές " +
                          std::to_string(targets[at->second].point.targetRecord) + " και " + std::to_string(record) +
                          ". Δεν έγινε υπολογισμός.");
        Target t;
        t.point.Pn = at->first;
        t.point.X = *coordinate(fields, 1, Empty::Fails, record, reader.name());
        t.point.Y = *coordinate(fields, 2, Empty::Fails, record, reader.name());
        t.point.H = coordinate(fields, 3, Empty::IsNone, record, reader.name());
        t.point.targetRecord = record;
        targets.push_back(std::move(t));
    }
    return targets;
}

// An evenly thinned plan of a file read once: record i is kept while i is a multiple of the
// stride; when the plan is full the stride doubles and every other kept point goes.
class PlanThinning {
public:
    PlanThinning(std::vector<PlanPoint>& plan, std::size_t limit) : plan_(plan), limit_(limit) {}

    bool wants(long i)
    {
        if (limit_ == 0 || i % stride_ != 0)
            return false;
        if (plan_.size() < limit_)
            return true;
        stride_ *= 2;
        std::size_t kept = 0;
        for (std::size_t j = 0; j < plan_.size(); ++j)
            if (records_[j] % stride_ == 0) {
                plan_[kept] = plan_[j];
                records_[kept++] = records_[j];
            }
        plan_.resize(kept);
        records_.resize(kept);
        return i % stride_ == 0;
    }
    void add(long i, double x, double y)
    {
        plan_.push_back({x, y});
        records_.push_back(i);
    }

private:
    std::vector<PlanPoint>& plan_;
    std::vector<long> records_;
    std::size_t limit_;
    long stride_ = 1;
};

}  // namespace

CommonPoints matchCommonPoints(const std::string& coordinatePath, const std::string& targetPath,
                               std::size_t planLimit)
{
    PointIndex index;
    std::vector<Target> targets = readTargets(targetPath, index);

    CommonPoints result;
    PlanThinning plan(result.plan, planLimit);
    ListReader reader(coordinatePath);
    FieldView fields[5];
    long record = 0;
    while (!reader.atEnd()) {
        ++record;
        readPointFields(reader, fields, record, 0);  // numbers read only where wanted
        if (plan.wants(record - 1)) {
            const Value x = valueOf(fields[1]);
            const Value y = valueOf(fields[2]);
            if (!x.isText() && !y.isText())
                plan.add(record - 1, x.number, y.number);
        }
        const auto at = index.find(fields[0].text);
        if (at == index.end())
            continue;
        Target& t = targets[at->second];
        if (t.found)
            throw Failure("Το σημείο " + pointName(fields[0].text) + " υπάρχει δύο φορές στο αρχείο συντεταγμένων " +
                          inQuotes(reader.name()) + ": εγγραφές " + std::to_string(t.point.sourceRecord) + " και " +
                          std::to_string(record) + ". Δεν έγινε υπολογισμός.");
        t.found = true;
        t.point.x = *coordinate(fields, 1, Empty::IsZero, record, reader.name());
        t.point.y = *coordinate(fields, 2, Empty::IsZero, record, reader.name());
        t.point.h = coordinate(fields, 3, Empty::IsNone, record, reader.name());
        t.point.sourceRecord = record;
    }
    result.coordinateRecords = record;

    for (Target& t : targets) {
        if (t.found)
            result.matched.push_back(std::move(t.point));
        else
            result.unmatched.push_back(std::move(t.point.Pn));
    }
    if (result.matched.size() < 2)
        throw Failure("Μόνο " + std::to_string(result.matched.size()) + " από τα " + std::to_string(targets.size()) +
                      " σημεία του αρχείου κοινών σημείων " + inQuotes(targetPath) +
                      " βρέθηκαν στο αρχείο συντεταγμένων " + inQuotes(coordinatePath) +
                      ": χρειάζονται τουλάχιστον δύο κοινά σημεία. Δεν έγινε υπολογισμός.");
    return result;
}

std::vector<PlanPoint> readPlan(const std::string& coordinatePath, std::size_t planLimit)
{
    std::vector<PlanPoint> result;
    PlanThinning plan(result, planLimit);
    ListReader reader(coordinatePath);
    FieldView fields[5];
    long record = 0;
    while (!reader.atEnd()) {
        ++record;
        readPointFields(reader, fields, record, 0);
        if (plan.wants(record - 1)) {
            const Value x = valueOf(fields[1]);
            const Value y = valueOf(fields[2]);
            if (!x.isText() && !y.isText())
                plan.add(record - 1, x.number, y.number);
        }
    }
    return result;
}

}  // namespace tavrelo
