#include "point_generator.h"

#include "data/format_conversion.h"
#include "text/codepage.h"

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace tavrelo::bench {

namespace {

// What surveyors write against their points (UTF-8 here, written in Windows-1253).
constexpr std::array<const char*, 24> kDescriptions = {
    "Γωνία κτιρίου", "Γωνία οικοπέδου", "Περίφραξη", "Κράσπεδο", "Άξονας δρόμου",
    "Φρεάτιο ΟΚΩ", "Κολώνα ΔΕΗ", "Δένδρο", "Ρέμα", "Πάσσαλος", "Σιδηρούν σημείο",
    "Τοίχος αντιστήριξης", "Είσοδος κτιρίου", "Πρανές", "Όριο ιδιοκτησίας", "Άσφαλτος",
    "Σκάλα", "Φρεάτιο ύδρευσης", "Στύλος ΟΤΕ", "Πεζοδρόμιο", "Τάφρος", "Θεμέλιο",
    "Σημείο ελέγχου", "Έδαφος",
};

class Survey {
public:
    explicit Survey(unsigned long seed) : random_(seed)
    {
        for (const char* d : kDescriptions)
            descriptions_.push_back(utf8ToWindows1253(d));
        station_ = utf8ToWindows1253("Σ");
        stationWord_ = utf8ToWindows1253("Στάση Σ");
        kappa_ = utf8ToWindows1253("Κ");
    }

    struct Point {
        std::string Pn, X, Y, h, D;
    };

    // The next point of the survey: a station every 250 points, detail points around it.
    void next(long index, Point& p)
    {
        const bool station = index % 250 == 0;
        if (station) {
            ++stations_;
            // Stations walk across a few kilometres of the national grid.
            stationX_ = 470000000 + static_cast<std::int64_t>(uniform(0, 10000000));
            stationY_ = 4195000000 + static_cast<std::int64_t>(uniform(0, 10000000));
            stationH_ = 50000 + static_cast<std::int64_t>(uniform(0, 700000));
            p.Pn = station_ + std::to_string(stations_);
            p.D = stationWord_ + std::to_string(stations_);
            writeMillimetres(p.X, stationX_, 3);
            writeMillimetres(p.Y, stationY_, 3);
            writeMillimetres(p.h, stationH_, 3);
            return;
        }
        const long number = index + 1;
        const auto kind = uniform(0, 99);
        p.Pn = kind < 8 ? kappa_ + std::to_string(number) : std::to_string(number);
        const std::int64_t x = stationX_ + static_cast<std::int64_t>(uniform(0, 400000)) - 200000;
        const std::int64_t y = stationY_ + static_cast<std::int64_t>(uniform(0, 400000)) - 200000;
        const std::int64_t h = stationH_ + static_cast<std::int64_t>(uniform(0, 20000)) - 10000;
        // Most instruments write millimetres; some exports round to centimetres or decimetres.
        const auto precision = uniform(0, 99);
        const int decimals = precision < 80 ? 3 : precision < 95 ? 2 : 1;
        writeMillimetres(p.X, x, decimals);
        writeMillimetres(p.Y, y, decimals);
        if (uniform(0, 199) == 0)
            p.h.clear();  // a point measured without its height
        else
            writeMillimetres(p.h, h, 3);
        p.D = uniform(0, 29) == 0 ? std::string() : descriptions_[uniform(0, descriptions_.size() - 1)];
    }

private:
    std::uint64_t uniform(std::uint64_t low, std::uint64_t high)
    {
        return std::uniform_int_distribution<std::uint64_t>(low, high)(random_);
    }

    // A length given in millimetres, written with `decimals` decimals (1 to 3), the digits
    // below them dropped.
    static void writeMillimetres(std::string& out, std::int64_t mm, int decimals)
    {
        char text[32];
        const std::int64_t whole = mm / 1000;
        const std::int64_t fraction = mm % 1000;
        if (decimals == 3)
            std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(whole), static_cast<long long>(fraction));
        else if (decimals == 2)
            std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(whole), static_cast<long long>(fraction / 10));
        else
            std::snprintf(text, sizeof text, "%lld.%lld", static_cast<long long>(whole), static_cast<long long>(fraction / 100));
        out = text;
    }

    std::mt19937_64 random_;
    std::vector<std::string> descriptions_;
    std::string station_, stationWord_, kappa_;
    long stations_ = 0;
    std::int64_t stationX_ = 0, stationY_ = 0, stationH_ = 0;
};

void appendPoint(std::string& out, const Survey::Point& p, const GeneratorOptions& options)
{
    switch (options.shape) {
    case Shape::PointFile:
        out += p.Pn;
        out += ',';
        out += p.X;
        out += ',';
        out += p.Y;
        out += ',';
        out += p.h;
        out += ',';
        out += p.D;
        break;
    case Shape::Columns:
        out += p.Pn;
        out += ' ';
        out += p.X;
        out += ' ';
        out += p.Y;
        out += ' ';
        out += p.h.empty() ? std::string("0") : p.h;
        if (!p.D.empty()) {
            out += ' ';
            out += p.D;
        }
        break;
    case Shape::Layout: {
        bool first = true;
        for (const char* role = kConversionLayouts.at(options.layout); *role; ++role) {
            if (*role == ',')
                continue;
            if (!first)
                out += ',';
            first = false;
            switch (*role) {
            case 'P': out += p.Pn; break;
            case 'X': out += p.X; break;
            case 'Y': out += p.Y; break;
            case 'Z': out += p.h; break;
            default: out += p.D; break;
            }
        }
        break;
    }
    }
    out += "\r\n";
}

}  // namespace

bool writePoints(std::FILE* out, const GeneratorOptions& options)
{
    Survey survey(options.seed);
    Survey::Point p;
    std::string chunk;
    chunk.reserve(1 << 20);
    for (long i = 0; i < options.points; ++i) {
        survey.next(i, p);
        appendPoint(chunk, p, options);
        if (chunk.size() > (1 << 20) - 256) {
            if (std::fwrite(chunk.data(), 1, chunk.size(), out) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size() && std::fflush(out) == 0;
}

std::string generatePoints(const GeneratorOptions& options)
{
    Survey survey(options.seed);
    Survey::Point p;
    std::string all;
    for (long i = 0; i < options.points; ++i) {
        survey.next(i, p);
        appendPoint(all, p, options);
    }
    return all;
}

}  // namespace tavrelo::bench
