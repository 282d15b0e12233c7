#include "drawing/drawing_outline.h"

#include "data/file_io.h"
#include "data/handoff_files.h"
#include "text/failure.h"
#include "transform/plane_mapping.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

namespace tavrelo {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Curves read as chords (bulges, ellipses) take one chord to this much of a turn at most.
constexpr double kChordTurn = kPi / 16;
constexpr int kMaxChords = 64;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The drawing as group-code/value pairs, one line each.
class PairReader {
public:
    explicit PairReader(const PathName& path) : file_(path) {}

    // The next pair; false at the end of the file. `value` stays valid until the next call.
    bool next(int& code, std::string_view& value)
    {
        std::string_view line;
        if (!nextLine(line))
            return false;
        if (!readCode(line, code)) {
            if (line_ == 1 && line.starts_with("AutoCAD Binary DXF"))
                throw Failure("Το σχέδιο " + inQuotes(file_.name()) +
                              " είναι δυαδικό DXF. Αποθηκεύστε το ως DXF κειμένου (ASCII) και ξαναδοκιμάστε.");
            fail("ο κωδικός ομάδας δεν είναι ακέραιος αριθμός");
        }
        if (!nextLine(value))
            fail("το αρχείο τελειώνει πριν από την τιμή της ομάδας " + std::to_string(code));
        return true;
    }

    double number(std::string_view value) const
    {
        const std::string_view text = trimmed(value);
        double x = 0.0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), x);
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(x))
            fail("ο αριθμός " + inQuotes(std::string(text)) + " δεν διαβάζεται");
        return x;
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        throw Failure("Το σχέδιο " + inQuotes(file_.name()) + ", γραμμή " + std::to_string(line_) + ": " + what + ".");
    }

private:
    // A group code: a whole number, blanks about it allowed (most are written right-aligned).
    static bool readCode(std::string_view line, int& code)
    {
        std::size_t i = 0;
        while (i < line.size() && line[i] == ' ')
            ++i;
        const bool negative = i < line.size() && line[i] == '-';
        i += negative;
        const std::size_t first = i;
        int n = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i - first < 9)
            n = n * 10 + (line[i++] - '0');
        if (i == first)
            return false;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        code = negative ? -n : n;
        return i == line.size();
    }

    bool nextLine(std::string_view& line)
    {
        std::string_view buffered = file_.buffered();
        if (buffered.empty())
            return false;
        ++line_;
        // Lines are short: a plain loop finds their end sooner than a library call.
        const char* const begin = buffered.data();
        const char* const stop = begin + buffered.size();
        for (const char* at = begin; at != stop; ++at) {
            if (*at == '\n') {
                const std::size_t length = static_cast<std::size_t>(at - begin);
                line = trimmedEnd(buffered.substr(0, length));
                file_.skip(length + 1);
                return true;
            }
        }
        // A line across the end of what is read ahead.
        held_.assign(buffered);
        file_.skip(buffered.size());
        while (!(buffered = file_.buffered()).empty()) {
            const void* end = std::memchr(buffered.data(), '\n', buffered.size());
            const std::size_t length = end ? static_cast<const char*>(end) - buffered.data() : buffered.size();
            held_.append(buffered.substr(0, length));
            file_.skip(end ? length + 1 : length);
            if (end)
                break;
        }
        line = trimmedEnd(held_);
        return true;
    }
    static std::string_view trimmedEnd(std::string_view line)
    {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

    InputFile file_;
    std::string held_;
    long line_ = 0;
};

enum class Kind {
    Other, Line, Point, Circle, Arc, Ellipse, LwPolyline, Polyline, Vertex, SeqEnd, Spline, Insert,
    Text,       // TEXT, ATTRIB: anchored in their own axes
    WorldText,  // MTEXT: anchored in world coordinates
    Corners,  // SOLID, TRACE: four corners in their own axes, run 1, 2, 4, 3 round the edge
    Face,     // 3DFACE: four corners in world coordinates, run 1, 2, 3, 4
    Hatch,    // HATCH: the edges of its boundary paths, in its own axes
    Dimension // DIMENSION: the block that draws it
};

Kind kindOf(std::string_view type)
{
    struct Entry {
        std::string_view type;
        Kind kind;
    };
    static constexpr Entry kinds[] = {
        {"LINE", Kind::Line},         {"POINT", Kind::Point},       {"CIRCLE", Kind::Circle},
        {"ARC", Kind::Arc},           {"ELLIPSE", Kind::Ellipse},   {"LWPOLYLINE", Kind::LwPolyline},
        {"POLYLINE", Kind::Polyline}, {"VERTEX", Kind::Vertex},     {"SEQEND", Kind::SeqEnd},
        {"SPLINE", Kind::Spline},     {"TEXT", Kind::Text},         {"MTEXT", Kind::WorldText},
        {"ATTRIB", Kind::Text},       {"INSERT", Kind::Insert},     {"SOLID", Kind::Corners},
        {"TRACE", Kind::Corners},     {"3DFACE", Kind::Face},       {"HATCH", Kind::Hatch},
        {"DIMENSION", Kind::Dimension},
    };
    for (const Entry& e : kinds)
        if (e.type == type)
            return e.kind;
    return Kind::Other;
}

// One entity as its pairs go by: only what the outline needs.
struct Entity {
    Kind kind = Kind::Other;
    bool paperSpace = false;
    int flags = 0;                  // group 70
    double p[4][2] = {};            // positions 10..13 (x, y)
    bool has[4] = {};
    double radius = 0.0;            // 40 (CIRCLE, ARC); ratio of ELLIPSE
    double angle[2] = {0.0, 0.0};   // 50, 51 (ARC, degrees); 41, 42 (ELLIPSE, radians)
    bool ellipseEnd = false;        // 42 given
    double extrusionZ = 1.0;        // 230
    // Vertices with their bulges (LWPOLYLINE; POLYLINE gathers its VERTEXes), fit points of
    // a SPLINE in `fit`.
    std::vector<OutlinePoint> points;
    std::vector<double> bulges;
    std::vector<OutlinePoint> fit;
    // A HATCH: where its groups are (before its boundary paths, in a polyline path, in an
    // edge path, past the paths), the type of the edge being read (72) and its sense (73).
    enum class HatchPart { Before, PolylinePath, EdgePath, After } hatchPart = HatchPart::Before;
    int edgeType = 0;
    bool clockwise = false;
    std::string block;  // the block a DIMENSION draws (2)

    void clear(Kind k)
    {
        kind = k;
        paperSpace = false;
        flags = 0;
        std::fill(std::begin(has), std::end(has), false);
        radius = 0.0;
        angle[0] = angle[1] = 0.0;
        ellipseEnd = false;
        extrusionZ = 1.0;
        points.clear();
        bulges.clear();
        fit.clear();
        hatchPart = HatchPart::Before;
        edgeType = 0;
        clockwise = false;
        block.clear();
    }
    // Mirrored in CAD: the entity's own x axis runs west.
    bool mirrored() const { return extrusionZ < 0; }
};

class OutlineBuilder {
public:
    explicit OutlineBuilder(DrawingOutline& outline) : o_(outline) {}

    // Everything of `piece` (the outline of a block) added as it stands.
    void add(const DrawingOutline& piece)
    {
        const auto base = static_cast<std::uint32_t>(o_.vertices.size());
        o_.vertices.insert(o_.vertices.end(), piece.vertices.begin(), piece.vertices.end());
        for (const std::uint32_t end : piece.pathEnds)
            o_.pathEnds.push_back(base + end);
        o_.arcs.insert(o_.arcs.end(), piece.arcs.begin(), piece.arcs.end());
        o_.marks.insert(o_.marks.end(), piece.marks.begin(), piece.marks.end());
        if (piece.hasExtents) {
            take(piece.minX, piece.minY);
            take(piece.maxX, piece.maxY);
        }
    }

    void take(double x, double y)
    {
        if (!o_.hasExtents) {
            o_.hasExtents = true;
            o_.minX = o_.maxX = x;
            o_.minY = o_.maxY = y;
            return;
        }
        o_.minX = std::min(o_.minX, x);
        o_.maxX = std::max(o_.maxX, x);
        o_.minY = std::min(o_.minY, y);
        o_.maxY = std::max(o_.maxY, y);
    }
    void vertex(double x, double y)
    {
        o_.vertices.push_back({x, y});
        take(x, y);
    }
    void endPath(std::size_t start)
    {
        if (o_.vertices.size() - start < 2) {
            o_.vertices.resize(start);
            return;
        }
        o_.pathEnds.push_back(static_cast<std::uint32_t>(o_.vertices.size()));
    }
    void mark(double x, double y, MarkKind kind)
    {
        o_.marks.push_back({x, y, kind});
        take(x, y);
    }
    void arc(double x, double y, double radius, double start, double sweep)
    {
        if (!(radius > 0))
            return;
        o_.arcs.push_back({x, y, radius, start, sweep});
        // The box of the arc: its ends and the quarter points it passes.
        take(x + radius * std::cos(start), y + radius * std::sin(start));
        take(x + radius * std::cos(start + sweep), y + radius * std::sin(start + sweep));
        const double from = std::ceil(start / (kPi / 2));
        for (double q = from; q * (kPi / 2) <= start + sweep; ++q) {
            const int quarter = static_cast<int>(std::fmod(std::fmod(q, 4) + 4, 4));
            take(x + radius * (quarter == 0 ? 1 : quarter == 2 ? -1 : 0), y + radius * (quarter == 1 ? 1 : quarter == 3 ? -1 : 0));
        }
    }
    // Chords from (x1, y1) to (x2, y2) along the arc of bulge b (tan of a quarter of its turn,
    // counter-clockwise positive); the first vertex is already in.
    void bulgeTo(double x1, double y1, double x2, double y2, double b)
    {
        if (b != 0 && std::isfinite(b)) {
            const double turn = 4 * std::atan(b);
            const double dx = x2 - x1, dy = y2 - y1;
            const double chord = std::hypot(dx, dy);
            if (chord > 0) {
                // The centre lies left of the chord for a counter-clockwise arc.
                const double offset = chord * (1 - b * b) / (4 * b);
                const double cx = (x1 + x2) / 2 - dy / chord * offset;
                const double cy = (y1 + y2) / 2 + dx / chord * offset;
                const double r = std::hypot(x1 - cx, y1 - cy);
                const double a = std::atan2(y1 - cy, x1 - cx);
                const int n = std::clamp(static_cast<int>(std::ceil(std::abs(turn) / kChordTurn)), 1, kMaxChords);
                for (int i = 1; i < n; ++i) {
                    const double u = a + turn * i / n;
                    vertex(cx + r * std::cos(u), cy + r * std::sin(u));
                }
            }
        }
        vertex(x2, y2);
    }

    // The edge of a hatch's edge path that has been read: a line, an arc (angles in degrees;
    // a clockwise one written with its angles negated), an elliptic arc or a spline through its
    // control points, in the hatch's own axes.
    void hatchEdge(const Entity& e)
    {
        if (e.paperSpace)
            return;
        const double sx = e.mirrored() ? -1.0 : 1.0;
        const std::size_t first = o_.vertices.size();
        switch (e.edgeType) {
        case 1:
            if (e.has[0] && e.has[1]) {
                vertex(sx * e.p[0][0], e.p[0][1]);
                vertex(sx * e.p[1][0], e.p[1][1]);
            }
            break;
        case 2: {
            double from = e.angle[0], to = e.angle[1];
            if (e.clockwise)
                std::tie(from, to) = std::pair(-to, -from);
            double start = from * kPi / 180, sweep = std::fmod((to - from) * kPi / 180, 2 * kPi);
            if (sweep <= 0)
                sweep += 2 * kPi;
            if (e.mirrored())
                start = kPi - (start + sweep);
            arc(sx * e.p[0][0], e.p[0][1], e.radius, std::fmod(start, 2 * kPi), sweep);
            break;
        }
        case 3: {
            double from = e.angle[0] * kPi / 180, to = e.angle[1] * kPi / 180;
            if (e.clockwise)
                std::tie(from, to) = std::pair(-to, -from);
            double sweep = std::fmod(to - from, 2 * kPi);
            if (sweep <= 0)
                sweep += 2 * kPi;
            const double cx = e.p[0][0], cy = e.p[0][1], mx = e.p[1][0], my = e.p[1][1];
            const double nx = -my * e.radius, ny = mx * e.radius;
            const int n = std::clamp(static_cast<int>(std::ceil(sweep / kChordTurn)), 2, kMaxChords);
            for (int i = 0; i <= n; ++i) {
                const double u = from + sweep * i / n;
                vertex(sx * (cx + mx * std::cos(u) + nx * std::sin(u)), cy + my * std::cos(u) + ny * std::sin(u));
            }
            break;
        }
        case 4:
            for (const OutlinePoint& p : e.points)
                vertex(sx * p.x, p.y);
            break;
        default:
            break;
        }
        endPath(first);
    }

    void finish(const Entity& e)
    {
        if (e.paperSpace)
            return;
        const double sx = e.mirrored() ? -1.0 : 1.0;  // OCS x of a mirrored entity runs west
        switch (e.kind) {
        case Kind::Line:
            if (e.has[0] && e.has[1]) {
                const std::size_t start = o_.vertices.size();
                vertex(e.p[0][0], e.p[0][1]);
                vertex(e.p[1][0], e.p[1][1]);
                endPath(start);
            }
            break;
        case Kind::Point:
            mark(e.p[0][0], e.p[0][1], MarkKind::Point);
            break;
        case Kind::Text:
            mark(sx * e.p[0][0], e.p[0][1], MarkKind::Text);
            break;
        case Kind::WorldText:
            mark(e.p[0][0], e.p[0][1], MarkKind::Text);
            break;
        case Kind::Insert:
            mark(sx * e.p[0][0], e.p[0][1], MarkKind::Insert);
            break;
        case Kind::Circle:
            arc(sx * e.p[0][0], e.p[0][1], e.radius, 0, 2 * kPi);
            break;
        case Kind::Arc: {
            double start = e.angle[0] * kPi / 180, end = e.angle[1] * kPi / 180;
            double sweep = std::fmod(end - start, 2 * kPi);
            if (sweep <= 0)
                sweep += 2 * kPi;
            if (e.mirrored())
                start = kPi - end;  // the same arc, run from its other end
            start = std::fmod(start, 2 * kPi);
            arc(sx * e.p[0][0], e.p[0][1], e.radius, start, sweep);
            break;
        }
        case Kind::Ellipse: {
            const double cx = e.p[0][0], cy = e.p[0][1];
            const double mx = e.p[1][0], my = e.p[1][1];
            const double ratio = e.radius;
            const double start = e.angle[0];
            double sweep = e.ellipseEnd ? e.angle[1] - start : 2 * kPi;
            while (sweep <= 0)
                sweep += 2 * kPi;
            sweep = std::min(sweep, 2 * kPi);
            // The minor axis a quarter turn from the major, counter-clockwise seen from +Z.
            const double nx = -my * ratio * (e.mirrored() ? -1 : 1), ny = mx * ratio * (e.mirrored() ? -1 : 1);
            const int n = std::clamp(static_cast<int>(std::ceil(sweep / kChordTurn)), 2, kMaxChords);
            const std::size_t first = o_.vertices.size();
            for (int i = 0; i <= n; ++i) {
                const double u = start + sweep * i / n;
                vertex(cx + mx * std::cos(u) + nx * std::sin(u), cy + my * std::cos(u) + ny * std::sin(u));
            }
            endPath(first);
            break;
        }
        case Kind::LwPolyline:
        case Kind::Polyline:
            polyline(e, sx, (e.flags & 1) != 0);
            break;
        case Kind::Hatch:
            // What is left: a polyline path, closed; an edge path's last edge.
            if (e.hatchPart == Entity::HatchPart::PolylinePath)
                polyline(e, sx, true);
            else if (e.hatchPart == Entity::HatchPart::EdgePath)
                hatchEdge(e);
            break;
        case Kind::Spline: {
            const std::vector<OutlinePoint>& through = e.fit.empty() ? e.points : e.fit;
            const std::size_t first = o_.vertices.size();
            for (const OutlinePoint& p : through)
                vertex(p.x, p.y);
            if ((e.flags & 1) && !through.empty())
                vertex(through.front().x, through.front().y);
            endPath(first);
            break;
        }
        case Kind::Corners:
        case Kind::Face: {
            if (!(e.has[0] && e.has[1] && e.has[2]))
                break;
            static constexpr int kEdge[] = {0, 1, 3, 2};
            static constexpr int kFace[] = {0, 1, 2, 3};
            const int* order = e.kind == Kind::Face ? kFace : kEdge;
            const double cx = e.kind == Kind::Face ? 1.0 : sx;
            const std::size_t first = o_.vertices.size();
            for (int i = 0; i < 4; ++i) {
                const int k = order[i];
                const int at = e.has[k] ? k : 2;  // a missing fourth corner is the third
                vertex(cx * e.p[at][0], e.p[at][1]);
            }
            vertex(cx * e.p[0][0], e.p[0][1]);
            endPath(first);
            break;
        }
        default:
            break;
        }
    }

private:
    void polyline(const Entity& e, double sx, bool closed)
    {
        const std::size_t n = e.points.size();
        if (n == 0)
            return;
        const std::size_t first = o_.vertices.size();
        vertex(sx * e.points[0].x, e.points[0].y);
        const std::size_t edges = closed ? n : n - 1;
        for (std::size_t i = 0; i < edges; ++i) {
            const OutlinePoint& a = e.points[i];
            const OutlinePoint& b = e.points[(i + 1) % n];
            bulgeTo(sx * a.x, a.y, sx * b.x, b.y, sx * e.bulges[i]);
        }
        if (n == 1)
            mark(sx * e.points[0].x, e.points[0].y, MarkKind::Point);
        endPath(first);
    }

    DrawingOutline& o_;
};

}  // namespace

DrawingOutline readDrawingOutline(const PathName& drawing)
{
    DrawingOutline outline;
    OutlineBuilder builder(outline);
    PairReader pairs(drawing);
    // Room as a drawing of lines and polylines of this size needs, taken at once rather than
    // by doubling and copying; room not used is never touched.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(drawing.path(), error);
    if (!error) {
        outline.vertices.reserve(static_cast<std::size_t>(size / 48));
        outline.pathEnds.reserve(static_cast<std::size_t>(size / 128));
        outline.arcs.reserve(static_cast<std::size_t>(size / 512));
        outline.marks.reserve(static_cast<std::size_t>(size / 512));
    }
    Entity entity;      // the entity being read
    Entity polyline;    // a POLYLINE gathering its VERTEXes
    bool inPolyline = false;
    bool inEntities = false;
    bool sectionName = false;
    // A dimension draws itself as the block it names, which the BLOCKS section holds before
    // the entities: the outlines of those blocks ("*D…") are kept, and read as entities are.
    bool inBlocks = false, blockName = false, inDimensionBlock = false;
    std::map<std::string, DrawingOutline> dimensionBlocks;
    std::unique_ptr<OutlineBuilder> blockBuilder;
    DrawingOutline* target = &outline;
    OutlineBuilder* active = &builder;
    const auto reading = [&] { return inEntities || inDimensionBlock; };
    int code = 0;
    std::string_view value;
    // Vertex being read (POLYLINE): its flags decide whether it is a point of the line.
    int vertexFlags = 0;
    double vertexAt[2] = {0, 0}, vertexBulge = 0;

    auto endEntity = [&] {
        if (entity.kind == Kind::Vertex) {
            // Spline frame points (16) and polyface faces (128 without 64) are not on the line.
            if (inPolyline && !(vertexFlags & 16) && !((vertexFlags & 128) && !(vertexFlags & 64))) {
                polyline.points.push_back({vertexAt[0], vertexAt[1]});
                polyline.bulges.push_back(vertexBulge);
            }
            return;
        }
        if (inPolyline) {
            inPolyline = false;
            ++outline.entities;
            // A 3-D polyline's vertices are in world coordinates, whatever the extrusion.
            if (polyline.flags & (8 | 16 | 64))
                polyline.extrusionZ = 1.0;
            // Meshes and polyface meshes: their vertices as points of one path would cross
            // the drawing; each vertex shows as a point.
            if (polyline.flags & (16 | 64)) {
                for (const OutlinePoint& p : polyline.points)
                    active->mark(p.x, p.y, MarkKind::Point);
            } else {
                active->finish(polyline);
            }
        }
        if (entity.kind == Kind::Polyline) {
            std::swap(polyline, entity);
            inPolyline = true;
            return;
        }
        if (entity.kind == Kind::Other || entity.kind == Kind::SeqEnd)
            return;
        ++target->entities;
        if (entity.kind == Kind::Dimension) {
            const auto block = dimensionBlocks.find(entity.block);
            if (inEntities && !entity.paperSpace && block != dimensionBlocks.end())
                active->add(block->second);
            return;
        }
        active->finish(entity);
    };

    // A HATCH's groups: its boundary paths, each drawn when the next begins or the paths end.
    using HatchPart = Entity::HatchPart;
    auto endHatchPiece = [&] {
        active->finish(entity);
        entity.points.clear();
        entity.bulges.clear();
        std::fill(std::begin(entity.has), std::end(entity.has), false);
        entity.edgeType = 0;
        entity.clockwise = false;
    };
    auto hatchGroup = [&](int code, std::string_view value) {
        if (entity.hatchPart == HatchPart::After)
            return;  // the pattern and the seed points
        if (code == 92) {
            endHatchPiece();
            entity.hatchPart = (static_cast<long>(pairs.number(value)) & 2) ? HatchPart::PolylinePath : HatchPart::EdgePath;
            return;
        }
        if (code == 75 || code == 98) {
            endHatchPiece();
            entity.hatchPart = HatchPart::After;
            return;
        }
        if (entity.hatchPart == HatchPart::PolylinePath) {
            if (code == 10) {
                entity.points.push_back({pairs.number(value), 0.0});
                entity.bulges.push_back(0.0);
            } else if (code == 20 && !entity.points.empty()) {
                entity.points.back().y = pairs.number(value);
            } else if (code == 42 && !entity.bulges.empty()) {
                entity.bulges.back() = pairs.number(value);
            }
            return;
        }
        if (entity.hatchPart != HatchPart::EdgePath)
            return;
        switch (code) {
        case 72:
            endHatchPiece();
            entity.edgeType = static_cast<int>(pairs.number(value));
            break;
        case 97:  // the boundary objects that follow the edges
            endHatchPiece();
            break;
        case 10: case 11: case 20: case 21: {
            const double v = pairs.number(value);
            const int slot = code % 10, axis = code / 10 - 1;
            if (entity.edgeType == 4) {
                // A spline edge drawn through its control points.
                if (slot == 0 && axis == 0)
                    entity.points.push_back({v, 0.0});
                else if (slot == 0 && !entity.points.empty())
                    entity.points.back().y = v;
            } else {
                entity.p[slot][axis] = v;
                entity.has[slot] = true;
            }
            break;
        }
        case 40: entity.radius = pairs.number(value); break;
        case 50: case 51: entity.angle[code - 50] = pairs.number(value); break;
        case 73:
            if (entity.edgeType == 2 || entity.edgeType == 3)
                entity.clockwise = pairs.number(value) == 0;
            break;
        default: break;
        }
    };

    while (pairs.next(code, value)) {
        if (code == 0) {
            if (reading())
                endEntity();
            const std::string_view type = trimmed(value);
            entity.clear(Kind::Other);
            blockName = false;
            if (type == "SECTION") {
                sectionName = true;
            } else if (type == "ENDSEC") {
                inEntities = inBlocks = false;
            } else if (type == "EOF") {
                break;
            } else if (inBlocks && (type == "BLOCK" || type == "ENDBLK")) {
                blockName = type == "BLOCK";
                inDimensionBlock = false;
                target = &outline;
                active = &builder;
            } else if (reading()) {
                entity.clear(kindOf(type));
                vertexFlags = 0;
                vertexBulge = 0;
            }
            continue;
        }
        if (sectionName && code == 2) {
            sectionName = false;
            inEntities = trimmed(value) == "ENTITIES";
            inBlocks = trimmed(value) == "BLOCKS";
            continue;
        }
        if (blockName && code == 2) {
            blockName = false;
            const std::string name(trimmed(value));
            if (name.starts_with("*D") || name.starts_with("*d")) {
                inDimensionBlock = true;
                target = &dimensionBlocks[name];
                blockBuilder = std::make_unique<OutlineBuilder>(*target);
                active = blockBuilder.get();
            }
            continue;
        }
        if (!reading() || entity.kind == Kind::Other || entity.kind == Kind::SeqEnd)
            continue;
        if (entity.kind == Kind::Hatch && code != 67 && code != 230) {
            hatchGroup(code, value);
            continue;
        }
        switch (code) {
        case 2:
            if (entity.kind == Kind::Dimension)
                entity.block = trimmed(value);
            break;
        case 67:
            entity.paperSpace = pairs.number(value) == 1;
            if (entity.kind == Kind::Vertex)
                polyline.paperSpace = polyline.paperSpace || entity.paperSpace;
            break;
        case 70:
            if (entity.kind == Kind::Vertex)
                vertexFlags = static_cast<int>(pairs.number(value));
            else
                entity.flags = static_cast<int>(pairs.number(value));
            break;
        case 230:
            entity.extrusionZ = pairs.number(value);
            break;
        case 10: case 11: case 12: case 13:
        case 20: case 21: case 22: case 23: {
            const double v = pairs.number(value);
            const int slot = code % 10;
            const int axis = code / 10 - 1;
            if (entity.kind == Kind::Vertex) {
                if (slot == 0)
                    vertexAt[axis] = v;
            } else if (entity.kind == Kind::LwPolyline && slot == 0) {
                if (axis == 0) {
                    entity.points.push_back({v, 0.0});
                    entity.bulges.push_back(0.0);
                } else if (!entity.points.empty()) {
                    entity.points.back().y = v;
                }
            } else if (entity.kind == Kind::Spline) {
                std::vector<OutlinePoint>& list = slot == 0 ? entity.points : entity.fit;
                if (slot <= 1) {
                    if (axis == 0)
                        list.push_back({v, 0.0});
                    else if (!list.empty())
                        list.back().y = v;
                }
            } else {
                entity.p[slot][axis] = v;
                entity.has[slot] = true;
            }
            break;
        }
        case 40:
            if (entity.kind == Kind::Circle || entity.kind == Kind::Arc || entity.kind == Kind::Ellipse)
                entity.radius = pairs.number(value);
            break;
        case 41:
            if (entity.kind == Kind::Ellipse)
                entity.angle[0] = pairs.number(value);
            break;
        case 42:
            if (entity.kind == Kind::Ellipse) {
                entity.angle[1] = pairs.number(value);
                entity.ellipseEnd = true;
            } else if (entity.kind == Kind::LwPolyline && !entity.bulges.empty()) {
                entity.bulges.back() = pairs.number(value);
            } else if (entity.kind == Kind::Vertex) {
                vertexBulge = pairs.number(value);
            }
            break;
        case 50:
        case 51:
            if (entity.kind == Kind::Arc)
                entity.angle[code - 50] = pairs.number(value);
            break;
        default:
            break;
        }
    }
    if (reading())
        endEntity();
    return outline;
}

void carryOutline(DrawingOutline& outline, const PlaneMapping& mapping)
{
    DrawingOutline carried;
    carried.pathEnds = std::move(outline.pathEnds);
    carried.entities = outline.entities;
    carried.vertices.reserve(outline.vertices.size());
    carried.arcs.reserve(outline.arcs.size());
    carried.marks.reserve(outline.marks.size());
    OutlineBuilder builder(carried);
    double X = 0.0, Y = 0.0;
    for (const OutlinePoint& v : outline.vertices) {
        mapping.carry(v.x, v.y, X, Y);
        builder.vertex(X, Y);
    }
    // Directions turn as the drawing's angles do, counter-clockwise from +X.
    const double turn = mapping.inverse() ? mapping.rotation() : -mapping.rotation();
    for (const OutlineArc& a : outline.arcs) {
        mapping.carry(a.x, a.y, X, Y);
        // A circle starts at 0 as the carried drawing states no angle for it.
        const double start = a.sweep >= 2 * kPi ? a.start : a.start + turn;
        builder.arc(X, Y, a.radius * mapping.lengthFactor(), start, a.sweep);
    }
    for (const OutlineMark& m : outline.marks) {
        mapping.carry(m.x, m.y, X, Y);
        builder.mark(X, Y, m.kind);
    }
    outline = std::move(carried);
}

std::vector<PlanPoint> carriedPlan(const std::string& coordinatePath, const std::filesystem::path& parameterPath,
                                   bool inverse, std::size_t limit)
{
    const PlaneMapping mapping(readParameterFile(parameterPath), parameterPath,
                               inverse ? Direction::Inverse : Direction::Forward);
    std::vector<PlanPoint> plan = readPlan(coordinatePath, limit);
    for (PlanPoint& p : plan) {
        double X = 0.0, Y = 0.0;
        mapping.carry(p.x, p.y, X, Y);
        p = {X, Y};
    }
    return plan;
}

}  // namespace tavrelo
