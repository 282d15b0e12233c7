#include "drawing/dxf_transform.h"

#include "data/file_io.h"
#include "data/handoff_files.h"
#include "drawing/dxf_groups.h"
#include "text/failure.h"
#include "text/number_form.h"
#include "transform/plane_mapping.h"

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavrelo {

namespace {

using namespace dxf;

const std::string kNothingWritten = " Δεν γράφτηκε κανένα αρχείο.";

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Whether two texts are the same, compared here rather than by a library call: records' types
// are compared several times a record.
inline bool same(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}
template <std::size_t N>
inline bool is(std::string_view text, const char (&name)[N])
{
    return same(text, {name, N - 1});
}

std::string upper(std::string_view s)
{
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return u;
}

// A whole number as DXF writes one: optional sign, digits, blanks around.
bool readWhole(std::string_view text, long& value)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// ---- reading: group-code/value line pairs, one record (a 0 group and what follows) at a time

// One group of a record: the bytes of its two lines inside the record's bytes. Its code line
// starts where the group before it ends (at 0 for the first).
struct Group {
    int code;
    bool rewritten = false;
    std::size_t valueBegin;   // its value line,
    std::size_t valueEnd;     // up to its line end,
    std::size_t next;         // and after it
    double value = 0;         // the new number, when rewritten
};

// A group the carried record states that the drawing left out: after group `after`.
struct Insertion {
    std::size_t after;
    int code;
    double value;
};

struct Record {
    std::string_view bytes;  // valid until the next record is read
    long line = 0;           // the number of its first line: group i's code line is line + 2 i
    std::vector<Group> groups;
    std::vector<Insertion> insertions;

    std::string_view value(const Group& g) const { return {bytes.data() + g.valueBegin, g.valueEnd - g.valueBegin}; }
    std::string_view value(std::size_t i) const { return value(groups[i]); }
    // The type: the value of the 0 group it starts with ("" when it starts with another).
    std::string_view type() const
    {
        return !groups.empty() && groups[0].code == 0 ? trimmed(value(groups[0])) : std::string_view();
    }
    // The value of the first group of `code` below 1000, or empty.
    std::string_view find(int code) const
    {
        for (const Group& g : groups)
            if (g.code == code)
                return trimmed(value(g));
        return {};
    }
};

// A group code as DXF writes one, the usual form (blanks, up to five digits, blanks) read
// here at once and any other through readWhole.
bool readCode(std::string_view text, long& code)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && (*p == ' ' || *p == '\t'))
        ++p;
    const char* const digits = p;
    long value = 0;
    while (p != end && *p >= '0' && *p <= '9' && p - digits < 5)
        value = value * 10 + (*p++ - '0');
    const bool read = p != digits;
    while (p != end && (*p == ' ' || *p == '\t'))
        ++p;
    if (read && p == end) {
        code = value;
        return true;
    }
    return readWhole(text, code);
}

// The first LF among `size` bytes, or null; 16 bytes from `bytes` on may be read whatever
// `size` is. A DXF line is mostly a few bytes long: the first 16 bytes are looked through here
// at once where the processor can (with no branch that depends on where the line ends), longer
// lines by memchr.
inline const void* findLineEnd(const char* bytes, std::size_t size)
{
#if defined(__SSE2__)
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    auto ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n'))));
    if (size < 16)
        ends &= (1u << size) - 1;
    if (ends != 0)
        return bytes + std::countr_zero(ends);
#else
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 16); ++i)
        if (bytes[i] == '\n')
            return bytes + i;
#endif
    return size > 16 ? std::memchr(bytes + 16, '\n', size - 16) : nullptr;
}

constexpr std::uint64_t kNoLimit = static_cast<std::uint64_t>(-1);

// The drawing's bytes from the record being read on, in one run of memory however the blocks
// of the file fall, so that a record is one string_view. It holds one record and what is read
// after it, read straight into it: bytes let go of stay where they were until the room after
// the window runs out, when what is held moves to the front.
class ByteWindow {
public:
    explicit ByteWindow(const std::string& path) : in_(path)
    {
        // A small drawing is held whole in room of its own size; a large one in room for four
        // blocks, more only for a record larger than that.
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(PathName(path).path(), error);
        capacity_ = error || size > 4 * InputFile::kBlockSize ? 4 * InputFile::kBlockSize
                                                              : static_cast<std::size_t>(size) + kLeastRead;
        room_.reset(new char[capacity_ + kSlack]);
    }

    const std::string& name() const { return in_.name(); }
    // The first bytes of the drawing.
    std::string_view head()
    {
        if (size_ == 0)
            more(0);
        return {data(), size_};
    }

    // The bytes held, from the window's start, which is byte offset() of the drawing.
    const char* data() const { return room_.get() + begin_; }
    std::size_t size() const { return size_; }
    std::uint64_t offset() const { return offset_; }

    // Lets go of the bytes before `keep` (so that every offset at or after it moves down by
    // `keep`) and reads on. False at the end of the file.
    bool more(std::size_t keep)
    {
        begin_ += keep;
        size_ -= keep;
        offset_ += keep;
        if (capacity_ - begin_ - size_ < kLeastRead) {
            if (size_ + InputFile::kBlockSize > capacity_) {
                capacity_ = std::max(2 * capacity_, size_ + InputFile::kBlockSize);
                std::unique_ptr<char[]> larger(new char[capacity_ + kSlack]);
                std::copy_n(data(), size_, larger.get());
                room_ = std::move(larger);
            } else {
                std::memmove(room_.get(), data(), size_);
            }
            begin_ = 0;
        }
        std::size_t room = capacity_ - begin_ - size_;
        if (readEnd_ != kNoLimit) {
            const std::uint64_t held = offset_ + size_;  // the bytes held end here in the drawing
            room = static_cast<std::size_t>(
                std::min<std::uint64_t>(room, std::max(readEnd_, held) + kLeastRead - held));
        }
        const std::size_t read = in_.read(room_.get() + begin_ + size_, room);
        size_ += read;
        return read > 0;
    }

    // Reads need go no further than byte `end` of the drawing, and a little beyond for the line
    // that starts there: a reader of a piece stops at its end.
    void readUpTo(std::uint64_t end) { readEnd_ = end; }

    // Empties the window, to go on from byte `offset` of the drawing.
    void seek(std::uint64_t offset)
    {
        in_.seek(offset);
        begin_ = size_ = 0;
        offset_ = offset;
    }

private:
    static constexpr std::size_t kLeastRead = 4096;
    // Bytes after the room that findLineEnd may read.
    static constexpr std::size_t kSlack = 16;

    InputFile in_;
    std::unique_ptr<char[]> room_;
    std::size_t capacity_ = 0, begin_ = 0, size_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t readEnd_ = kNoLimit;
};

// A place in the drawing where a line starts: its byte offset and its line number.
struct LineStart {
    std::uint64_t offset = 0;
    long line = 1;
};

class DrawingReader {
public:
    // A reader of the drawing from its start. A binary DXF or a DWG is refused here, told
    // apart by its first bytes; a reader of pieces (`fromStart` false) goes only where jump()
    // takes it, in a drawing already read from its start.
    explicit DrawingReader(const std::string& path, bool fromStart = true) : window_(path)
    {
        if (!fromStart)
            return;
        const std::string_view head = window_.head();
        const std::string_view binary = "AutoCAD Binary DXF";
        if (head.substr(0, binary.size()) == binary)
            throw Failure("Το σχέδιο " + inQuotes(name()) +
                          " είναι δυαδικό DXF. Αποθηκεύστε το ως ASCII DXF και δοκιμάστε ξανά." + kNothingWritten);
        if (head.size() >= 6 && head.substr(0, 3) == "AC1" &&
            std::all_of(head.begin() + 3, head.begin() + 6, [](char c) { return c >= '0' && c <= '9'; }))
            throw Failure("Το " + inQuotes(name()) +
                          " είναι σχέδιο DWG, όχι DXF. Αποθηκεύστε το ως ASCII DXF και δοκιμάστε ξανά." + kNothingWritten);
    }

    const std::string& name() const { return window_.name(); }

    // Goes on from a record that starts at `at`, and stops before byte `limit`.
    void jump(LineStart at, std::uint64_t limit = kNoLimit)
    {
        window_.seek(at.offset);
        start_ = 0;
        line_ = at.line - 1;
        ended_ = false;
        setLimit(limit);
    }
    void setLimit(std::uint64_t limit)
    {
        limit_ = limit;
        window_.readUpTo(limit);
    }

    // Where the next record starts, and whether the EOF group has been read.
    std::uint64_t offset() const { return window_.offset() + start_; }
    LineStart place() const { return {offset(), line_ + 1}; }
    bool ended() const { return ended_; }

    // The next record into `record`; false after the EOF group, or at the limit. A file that
    // ends before the EOF group is cut short.
    bool next(Record& record)
    {
        if (ended_ || offset() >= limit_)
            return false;
        record.insertions.clear();
        record.groups.clear();
        std::size_t at = 0;  // from the record's start, `start_` in the window
        long line = line_;
        record.line = line + 1;
        while (true) {
            Group g{};
            const std::size_t codeBegin = at;
            std::size_t codeEnd = 0;
            if (!readLine(at, codeEnd))
                throw cutShort(line);
            ++line;
            std::string_view codeText(window_.data() + start_ + codeBegin, codeEnd - codeBegin);
            if (line == 1 && codeText.starts_with("\xEF\xBB\xBF"))
                codeText.remove_prefix(3);  // a UTF-8 byte order mark, kept as it is
            long code = 0;
            if (!readCode(codeText, code) || code < -9999 || code > 9999)
                throw Failure("Η γραμμή " + std::to_string(line) + " του σχεδίου " + inQuotes(name()) +
                              " πρέπει να είναι κωδικός ομάδας (ακέραιος αριθμός), αλλά είναι " +
                              inQuotes(std::string(trimmed(codeText))) + "." + kNothingWritten);
            g.code = static_cast<int>(code);
            if (g.code == 0 && !record.groups.empty()) {
                // The next record starts here.
                record.bytes = {window_.data() + start_, codeBegin};
                start_ += codeBegin;
                line_ = line - 1;
                return true;
            }
            g.valueBegin = at;
            if (!readLine(at, g.valueEnd))
                throw cutShort(line);
            ++line;
            g.next = at;
            record.groups.push_back(g);
            // Values are read through `record.bytes`, which follows the window.
            record.bytes = {window_.data() + start_, at};
            if (g.code == 0 && is(trimmed(record.value(g)), "EOF")) {
                start_ += at;
                line_ = line;
                ended_ = true;
                return true;
            }
        }
    }

    // The bytes after the EOF group, as they are.
    void copyRest(OutputFile& out)
    {
        out.write({window_.data() + start_, window_.size() - start_});
        while (window_.more(window_.size()))
            out.write({window_.data(), window_.size()});
        start_ = window_.size();
    }

private:
    Failure cutShort(long lines) const
    {
        return Failure("Το σχέδιο " + inQuotes(name()) + " τελειώνει στη γραμμή " + std::to_string(lines) +
                       " χωρίς την ομάδα EOF: είναι κομμένο ή δεν είναι DXF." + kNothingWritten);
    }

    // The line at `at` (from the record's start): `contentEnd` is where its line end (LF or
    // CR LF, none at the end of the file) begins, and `at` moves past it. False at the end of
    // the file.
    bool readLine(std::size_t& at, std::size_t& contentEnd)
    {
        std::size_t from = start_ + at;  // where the search for the LF goes on
        while (true) {
            const char* const data = window_.data();
            const void* lf = findLineEnd(data + from, window_.size() - from);
            if (lf) {
                const std::size_t end = static_cast<const char*>(lf) - data;
                contentEnd = end - start_;
                if (end > start_ + at && data[end - 1] == '\r')
                    --contentEnd;
                at = end + 1 - start_;
                return true;
            }
            const std::size_t held = window_.size() - start_;
            const bool read = window_.more(start_);
            start_ = 0;
            if (!read) {
                if (at == window_.size())
                    return false;
                contentEnd = at = window_.size();
                return true;
            }
            from = held;
        }
    }

    ByteWindow window_;
    std::size_t start_ = 0;  // where the record being read starts in the window
    long line_ = 0;          // lines before it
    bool ended_ = false;
    std::uint64_t limit_ = kNoLimit;
};

// ---- the table, by type

struct TypeRules {
    std::string_view type;
    std::size_t index = 0;  // its place among all types, for counting by type
    std::vector<const GroupRule*> rules;
    std::vector<const PartSwitch*> switches;
    std::bitset<1100> named;  // the codes that a rule or a switch names: the rest pass at once

    bool names(int code) const { return code >= 0 && code < static_cast<int>(named.size()) && named[code]; }
};

const std::unordered_map<std::string_view, TypeRules>& rulesByType()
{
    static const auto* const byType = [] {
        auto* map = new std::unordered_map<std::string_view, TypeRules>;
        for (const GroupRule& r : groupRules()) {
            (*map)[r.type].rules.push_back(&r);
            (*map)[r.type].named.set(r.code);
        }
        for (const PartSwitch& s : partSwitches()) {
            (*map)[s.type].switches.push_back(&s);
            (*map)[s.type].named.set(s.code);
        }
        std::size_t index = 0;
        for (auto& [type, rules] : *map) {
            rules.type = type;
            rules.index = index++;
        }
        return map;
    }();
    return *byType;
}

const TypeRules* rulesOf(std::string_view type)
{
    const auto& map = rulesByType();
    const auto it = map.find(type);
    return it == map.end() ? nullptr : &it->second;
}

// ---- the rewriter

struct Box {
    double min[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, max[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    bool hasZ = true;
    bool valid() const { return min[0] <= max[0] && min[1] <= max[1]; }
    void add(double x, double y, double z)
    {
        const double p[3] = {x, y, z};
        for (int i = 0; i < 3; ++i) {
            min[i] = std::min(min[i], p[i]);
            max[i] = std::max(max[i], p[i]);
        }
    }
};

// An entity's frame: whether its own axes are the world's mirrored (extrusion 0,0,-1).
struct Frame {
    bool mirrored = false;
    long flags = 0;  // group 70
};

// What a POLYLINE or INSERT hands on to the VERTEXes or ATTRIBs that follow it.
struct Parent {
    bool active = false;
    bool carried = false;
    bool mirrored = false;
};

// What a piece of the ENTITIES section carried apart adds to the summary.
struct PieceSummary {
    std::map<std::string, long> carried;
    std::vector<StayedEntity> stayed;
    Box seen;
};

// Writes into `Out`: the OutputFile of the result, or a piece's bytes in memory.
template <class Out>
class Rewriter {
public:
    Rewriter(const PlaneMapping& mapping, const DrawingOptions& options, const std::set<std::string>& dimensionBlocks,
             DrawingReader& reader, Out& out)
        : map_(mapping), options_(options), dimensionBlocks_(dimensionBlocks), reader_(reader), out_(out)
    {
        const double psi = mapping.inverse() ? mapping.rotation() : -mapping.rotation();
        psiRadians_ = psi;
        psiDegrees_ = psi * 180 / std::numbers::pi;
    }

    // Carries the records that the reader gives, up to its limit or the EOF group.
    void carry()
    {
        while (reader_.next(record_)) {
            count_ = record_.groups.size();
            handle(record_);
            write(record_);
        }
    }

    // A piece of the ENTITIES section, from a record that is not a VERTEX or an ATTRIB (so
    // that nothing before it counts) up to the reader's limit. False, with the piece left
    // unfinished, at a record that would end the section or the drawing.
    bool carryPiece()
    {
        section_ = Section::Entities;
        while (reader_.next(record_)) {
            const std::string_view type = record_.type();
            if (is(type, "SECTION") || is(type, "ENDSEC") || is(type, "EOF"))
                return false;
            count_ = record_.groups.size();
            handle(record_);
            write(record_);
        }
        return true;
    }
    PieceSummary pieceSummary()
    {
        countCarried();
        return {std::move(summary_.carried), std::move(summary_.stayed), seen_};
    }

    bool inEntities() const { return section_ == Section::Entities; }

    // A piece carried apart, whose bytes the output has taken.
    void add(PieceSummary& piece)
    {
        for (const auto& [type, count] : piece.carried)
            summary_.carried[type] += count;
        summary_.stayed.insert(summary_.stayed.end(), piece.stayed.begin(), piece.stayed.end());
        if (piece.seen.valid()) {
            seen_.add(piece.seen.min[0], piece.seen.min[1], piece.seen.min[2]);
            seen_.add(piece.seen.max[0], piece.seen.max[1], piece.seen.max[2]);
        }
        parent_ = {};
    }

    // The bytes after the EOF group, and the summary.
    DrawingSummary finish()
    {
        reader_.copyRest(out_);
        countCarried();
        if (headerExtents_.valid()) {
            summary_.hasExtents = true;
            std::copy(headerExtents_.min, headerExtents_.min + 3, summary_.extentMin);
            std::copy(headerExtents_.max, headerExtents_.max + 3, summary_.extentMax);
        } else if (seen_.valid()) {
            summary_.hasExtents = true;
            std::copy(seen_.min, seen_.min + 3, summary_.extentMin);
            std::copy(seen_.max, seen_.max + 3, summary_.extentMax);
        }
        return summary_;
    }

private:
    enum class Section { None, Header, Tables, Blocks, Entities, Other };

    void handle(Record& r)
    {
        const std::string_view type = r.type();
        if (is(type, "SECTION")) {
            parent_ = {};
            const std::string name = upper(r.find(2));
            section_ = name == "HEADER" ? Section::Header
                     : name == "TABLES" ? Section::Tables
                     : name == "BLOCKS" ? Section::Blocks
                     : name == "ENTITIES" ? Section::Entities
                                          : Section::Other;
            if (section_ == Section::Header)
                header(r);
            return;
        }
        if (is(type, "ENDSEC")) {
            section_ = Section::None;
            return;
        }
        switch (section_) {
        case Section::Tables:
            if (type == "TABLE")
                table_ = upper(r.find(2));
            else if (type == "VPORT" && table_ == "VPORT" && upper(r.find(2)) == "*ACTIVE")
                rewrite(r, "*ACTIVE", *rulesOf("*ACTIVE"), Frame{}, false);
            return;
        case Section::Blocks:
            if (type == "BLOCK") {
                inCarriedBlock_ = dimensionBlocks_.count(upper(r.find(2))) > 0;
                parent_ = {};
            } else if (type == "ENDBLK") {
                inCarriedBlock_ = false;
            } else if (inCarriedBlock_) {
                entity(r, type);
            }
            return;
        case Section::Entities: entity(r, type); return;
        default: return;
        }
    }

    void countCarried()
    {
        for (const auto& [type, rules] : rulesByType())
            if (carried_[rules.index] > 0)
                summary_.carried[std::string(type)] += carried_[rules.index];
        std::fill(carried_.begin(), carried_.end(), 0);
    }

    // The rules of an entity type, looked up once for each of the last few types met (the
    // types of a drawing's entities take turns: an INSERT, its ATTRIBs, its SEQEND, a LINE).
    const TypeRules* rulesFor(std::string_view type)
    {
        for (const KnownType& known : knownTypes_)
            if (known.used && same(known.type, type))
                return known.rules;
        KnownType& slot = knownTypes_[nextKnown_];
        nextKnown_ = (nextKnown_ + 1) % knownTypes_.size();
        slot = {std::string(type), rulesOf(type), true};
        return slot.rules;
    }

    // ---- header

    void header(Record& r)
    {
        // The boxes first: each becomes the box of its carried corners.
        Box ext = cornersOf(r, "$EXTMIN", "$EXTMAX", true);
        Box lim = cornersOf(r, "$LIMMIN", "$LIMMAX", false);
        if (ext.valid())
            headerExtents_ = ext;
        std::string_view variable;
        const TypeRules* rules = nullptr;
        for (std::size_t i = 1; i < count_; ++i) {
            const Group& g = r.groups[i];
            if (g.code == 9) {
                variable = trimmed(r.value(g));
                rules = rulesOf(variable);
                continue;
            }
            if (!rules)
                continue;
            for (const GroupRule* rule : rules->rules) {
                if (rule->code != g.code)
                    continue;
                if (rule->move == Move::BoxCorner) {
                    const Box& box = variable.substr(0, 4) == "$EXT" ? ext : lim;
                    if (box.valid()) {
                        const double* corner = variable.ends_with("MIN") ? box.min : box.max;
                        i = setCoordinates(r, i, *rule, corner, box.hasZ, variable);
                    }
                } else {
                    i = apply(r, i, *rule, Frame{}, variable, false);
                }
                break;
            }
        }
    }

    // The box of the carried corners of the box that two header variables hold (x, y and,
    // with `withZ`, z), or an empty box when either is missing or the box is empty.
    Box cornersOf(const Record& r, std::string_view minName, std::string_view maxName, bool withZ)
    {
        double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
        int found = 0;
        std::string_view variable;
        for (std::size_t i = 1; i < count_; ++i) {
            const Group& g = r.groups[i];
            if (g.code == 9) {
                variable = trimmed(r.value(g));
                continue;
            }
            double* target = variable == minName ? lo : variable == maxName ? hi : nullptr;
            if (!target || g.code % 10 != 0 || g.code < 10 || g.code > (withZ ? 30 : 20))
                continue;
            target[g.code / 10 - 1] = number(r, i, variable);
            found |= (target == lo ? 1 : 2) << (g.code / 10 - 1) * 2;
        }
        Box box;
        // A box without heights (or with a height on one corner only) keeps heights of 0.
        withZ = withZ && (found & 0x30) == 0x30;
        if ((found & 0x0F) != 0x0F || !(lo[0] <= hi[0] && lo[1] <= hi[1]) || (withZ && !(lo[2] <= hi[2])))
            return box;
        for (double x : {lo[0], hi[0]})
            for (double y : {lo[1], hi[1]}) {
                double X, Y;
                map_.carry(x, y, X, Y);
                box.add(X, Y, withZ ? map_.height(lo[2]) : 0);
                box.add(X, Y, withZ ? map_.height(hi[2]) : 0);
            }
        for (int k = 0; k < 3; ++k)
            if (!std::isfinite(box.min[k]) || !std::isfinite(box.max[k]))
                throw outOfRange(r, 1, std::string(minName));
        if (!withZ) {
            box.min[2] = box.max[2] = 0;
            box.hasZ = false;
        }
        return box;
    }

    std::size_t setCoordinates(Record& r, std::size_t i, const GroupRule& rule, const double* values, bool withZ,
                               std::string_view what)
    {
        const std::string name(what);
        set(r, i, values[0], number(r, i, name), name);
        if (i + 1 < count_ && r.groups[i + 1].code == rule.y) {
            ++i;
            set(r, i, values[1], number(r, i, name), name);
        }
        if (rule.z && i + 1 < count_ && r.groups[i + 1].code == rule.z) {
            ++i;
            if (withZ)
                set(r, i, values[2], number(r, i, name), name);
        }
        return i;
    }

    // ---- entities

    void entity(Record& r, std::string_view type)
    {
        if (is(type, "SEQEND")) {  // it ends a POLYLINE's VERTEXes or an INSERT's ATTRIBs, and carries nothing
            parent_ = {};
            return;
        }
        const bool follower = is(type, "VERTEX") || is(type, "ATTRIB");
        if (follower && parent_.active && !parent_.carried)
            return;
        const bool opensSequence = is(type, "POLYLINE") || is(type, "INSERT");
        if (!follower)
            parent_ = {};
        if (opensSequence)
            parent_ = {true, false, false};

        long paper = 0;
        const std::string_view space = r.find(67);
        if (!space.empty() && !readWhole(space, paper))
            throw notANumber(r, index(r, 67), type);
        if (paper == 1)
            return;  // paper space stays

        const TypeRules* rules = rulesFor(type);
        if (!rules || type.empty() || type.front() == '$' || type.front() == '*') {
            stay(r, type,
                 "είναι τύπος οντότητας που το πρόγραμμα δεν μεταφέρει" +
                     std::string(isSolidKind(type) ? " (τρισδιάστατο στερεό, επιφάνεια ή ξένο αντικείμενο)" : ""));
            return;
        }

        Frame frame;
        long flags = 0;
        const std::string_view flagText = r.find(70);
        if (!flagText.empty() && !readWhole(flagText, flags))
            throw notANumber(r, index(r, 70), type);
        frame.flags = flags;
        if (is(type, "VERTEX") && parent_.active) {
            frame.mirrored = parent_.mirrored;
        } else {
            const int axes = extrusion(r, type);
            if (axes == 0) {
                stay(r, type, "έχει κεκλιμένη διεύθυνση εξώθησης (210, 220, 230): δεν είναι σχέδιο σε κάτοψη");
                return;
            }
            frame.mirrored = axes < 0;
        }
        rewrite(r, type, *rules, frame, true);
        ++carried_[rules->index];
        if (opensSequence)
            parent_ = {true, true, frame.mirrored};
    }

    static bool isSolidKind(std::string_view type)
    {
        for (std::string_view t : {"3DSOLID", "REGION", "BODY", "ACAD_PROXY_ENTITY", "OLE2FRAME", "OLEFRAME", "MESH"})
            if (type == t)
                return true;
        return type.ends_with("SURFACE");
    }

    // 1 for plain axes (extrusion 0,0,1 or none), -1 for mirrored (0,0,-1), 0 for any other.
    int extrusion(const Record& r, std::string_view type)
    {
        double e[3] = {0, 0, 1};
        for (std::size_t i = 1; i < count_; ++i) {
            const int c = r.groups[i].code;
            if (c == 210 || c == 220 || c == 230)
                e[(c - 210) / 10] = number(r, i, type);
        }
        constexpr double tiny = 1e-12;
        if (std::abs(e[0]) > tiny || std::abs(e[1]) > tiny || std::abs(std::abs(e[2]) - 1) > tiny)
            return 0;
        return e[2] > 0 ? 1 : -1;
    }

    void stay(const Record& r, std::string_view type, const std::string& why)
    {
        const std::string handle(r.find(5));
        if (!options_.skipUnknown)
            throw Failure("Η οντότητα " + inQuotes(std::string(type)) + " (handle " +
                          inQuotes(handle.empty() ? "-" : handle) + ", γραμμή " + std::to_string(r.line) +
                          ") του σχεδίου " + inQuotes(reader_.name()) + " " + why +
                          ". Με την επιλογή παράλειψης μένει όπως είναι." + kNothingWritten);
        summary_.stayed.push_back({std::string(type), handle});
        if (parent_.active)
            parent_.carried = false;
    }

    static std::size_t index(const Record& r, int code)
    {
        for (std::size_t i = 0; i < r.groups.size(); ++i)
            if (r.groups[i].code == code)
                return i;
        return 0;
    }

    static bool holds(When when, long flags, bool clockwise)
    {
        switch (when) {
        case When::Counterclockwise: return !clockwise;
        case When::Clockwise: return clockwise;
        case When::Always: return true;
        case When::FlatPolyline: return (flags & (8 | 16 | 64)) == 0;
        case When::FlatVertex: return (flags & (32 | 64 | 128)) == 0;
        case When::WorldVertex: return (flags & (32 | 64)) != 0;
        case When::Measured: return (flags & 7) != 2 && (flags & 7) != 5;
        case When::Linear: return (flags & 7) == 0;
        }
        return false;
    }

    // Every group of the record that the rules of its type name, moved.
    void rewrite(Record& r, std::string_view type, const TypeRules& rules, const Frame& frame, bool modelSpace)
    {
        const TypeRules& extended = *extended_;
        Part part = Part::Main;
        bool clockwise = false;
        for (std::size_t i = 1; i < count_; ++i) {
            const int code = r.groups[i].code;
            if (!(code >= 1000 ? extended : rules).names(code))
                continue;
            for (const PartSwitch* s : rules.switches) {
                if (s->code != code || !(s->from & bit(part)))
                    continue;
                if (s->mask != 0) {
                    long v = 0;
                    if (!readWhole(r.value(i), v))
                        throw notANumber(r, i, type);
                    if ((v & s->mask) != s->value)
                        continue;
                }
                part = s->to;
                if (part == Part::HatchArc)
                    clockwise = clockwiseEdge(r, i, type);
                break;
            }
            const TypeRules& set = code >= 1000 ? extended : rules;
            for (const GroupRule* rule : set.rules) {
                if (rule->code == code && (code >= 1000 || rule->part == part) && holds(rule->when, frame.flags, clockwise)) {
                    i = apply(r, i, *rule, frame, type, modelSpace);
                    break;
                }
            }
        }
        if (modelSpace)
            addMissing(r, type, rules, frame);
    }

    // The groups of the table of missing groups that the record leaves out, moved, each after
    // its anchor.
    void addMissing(Record& r, std::string_view type, const TypeRules& rules, const Frame& frame)
    {
        for (const MissingGroup& m : missingGroups()) {
            if (m.type != type || !holds(m.when, frame.flags, false) || find(r, m.code) || (m.unless && find(r, m.unless)))
                continue;
            std::size_t at = 0;
            if (m.after) {
                const auto anchor = find(r, m.after);
                if (!anchor)
                    continue;
                at = *anchor;
                while (at + 1 < count_ &&
                       (r.groups[at + 1].code == m.after + 10 || r.groups[at + 1].code == m.after + 20))
                    ++at;
            } else {
                const auto anchor = find(r, m.before);
                if (!anchor)
                    continue;
                at = *anchor - 1;
            }
            const GroupRule* rule = nullptr;
            for (const GroupRule* candidate : rules.rules)
                if (candidate->code == m.code && candidate->part == Part::Main)
                    rule = candidate;
            if (!rule || (rule->y && find(r, rule->y)) || (rule->z && find(r, rule->z)))
                continue;
            double values[3] = {m.value, m.y, m.z};
            const int count = moveNumbers(*rule, frame, values, true, false);
            const int codes[3] = {m.code, rule->y, rule->z};
            for (int k = 0; k < count; ++k)
                if (codes[k])
                    insert(r, at, codes[k], values[k], type);
        }
    }

    // The index of the first group of `code` in the record's own part (before any extended data).
    std::optional<std::size_t> find(const Record& r, int code) const
    {
        for (std::size_t i = 1; i < count_ && r.groups[i].code < 1000; ++i)
            if (r.groups[i].code == code)
                return i;
        return std::nullopt;
    }

    void insert(Record& r, std::size_t after, int code, double value, std::string_view type)
    {
        if (!std::isfinite(value))
            throw outOfRange(r, after, type);
        r.insertions.push_back({after, code, value == 0 ? 0.0 : value});
    }

    // Whether the arc edge of a hatch whose type stands at `i` is drawn clockwise: its group
    // 73, before the next edge or path, is 0.
    bool clockwiseEdge(const Record& r, std::size_t i, std::string_view type) const
    {
        for (std::size_t j = i + 1; j < count_; ++j) {
            const int code = r.groups[j].code;
            if (code == 72 || code == 92 || code == 75 || code == 97)
                break;
            if (code == 73) {
                long ccw = 0;
                if (!readWhole(r.value(j), ccw))
                    throw notANumber(r, j, type);
                return ccw == 0;
            }
        }
        return false;
    }

    // Moves the group at `i` (with the y and z that follow it) by `rule`; returns the index
    // of the last group it took.
    std::size_t apply(Record& r, std::size_t i, const GroupRule& rule, const Frame& frame, std::string_view type,
                      bool modelSpace)
    {
        double v[3] = {number(r, i, type), 0, 0};
        if (!isPoint(rule.move)) {
            if (rule.move != Move::BoxCorner) {
                const double old = v[0];
                moveNumbers(rule, frame, v, false, false);
                set(r, i, v[0], old, type);
            }
            return i;
        }
        // Two or three coordinates: the y must follow the x.
        if (i + 1 >= count_ || r.groups[i + 1].code != rule.y)
            throw Failure("Στη γραμμή " + std::to_string(r.line + 2 * static_cast<long>(i)) + " του σχεδίου " + inQuotes(reader_.name()) +
                          " η συντεταγμένη x (κωδικός " + std::to_string(rule.code) + ") " + of(r, type) +
                          " δεν ακολουθείται από την y (κωδικός " + std::to_string(rule.y) + ")." + kNothingWritten);
        const std::size_t iy = i + 1;
        const bool hasZ = rule.z != 0 && iy + 1 < count_ && r.groups[iy + 1].code == rule.z;
        v[1] = number(r, iy, type);
        if (hasZ)
            v[2] = number(r, iy + 1, type);
        const bool position = rule.move == Move::Position || rule.move == Move::OcsPosition;
        const double old[3] = {v[0], v[1], v[2]};
        moveNumbers(rule, frame, v, true, modelSpace && position);
        set(r, i, v[0], old[0], type);
        set(r, iy, v[1], old[1], type);
        if (hasZ && position)
            set(r, iy + 1, v[2], old[2], type);
        // A point written without its z stands at 0, which the height shift moves.
        if (!hasZ && rule.z != 0 && position && rule.code < 1000 && v[2] != 0 && !find(r, rule.z))
            insert(r, iy, rule.z, v[2], type);
        return hasZ ? iy + 1 : iy;
    }

    static bool isPoint(Move move)
    {
        return move == Move::Position || move == Move::OcsPosition || move == Move::Direction ||
               move == Move::OcsDirection || move == Move::Vector || move == Move::OcsVector;
    }

    // The numbers `v` (x, y, z of a point, or one number) moved by `rule` in the entity's frame.
    // Returns how many there are: 1, or 3 for a point. `seen` adds a carried position to the
    // box of what model space holds.
    int moveNumbers(const GroupRule& rule, const Frame& frame, double* v, bool point, bool seen)
    {
        const double k = map_.lengthFactor();
        const double turn = frame.mirrored ? -1 : 1;
        switch (rule.move) {
        case Move::Length:
        case Move::ScaleFactor: v[0] *= k; return 1;
        case Move::AngleDegrees: v[0] = turned(v[0], turn * psiDegrees_, 360); return 1;
        case Move::AngleRadians: v[0] = turned(v[0], turn * psiRadians_, 2 * std::numbers::pi); return 1;
        case Move::NegatedDegrees: v[0] = turned(v[0], -turn * psiDegrees_, 360); return 1;
        case Move::OcsElevation: v[0] = frame.mirrored ? -map_.height(-v[0]) : map_.height(v[0]); return 1;
        case Move::BoxCorner: return 1;
        default: break;
        }
        if (!point)
            return 1;
        const bool own = rule.move == Move::OcsPosition || rule.move == Move::OcsDirection || rule.move == Move::OcsVector;
        const bool mirror = own && frame.mirrored;
        const double x = mirror ? -v[0] : v[0], y = v[1], z = mirror ? -v[2] : v[2];
        double X = 0, Y = 0, Z = z;
        switch (rule.move) {
        case Move::Position:
        case Move::OcsPosition:
            map_.carry(x, y, X, Y);
            Z = map_.height(z);
            if (seen)
                seen_.add(X, Y, Z);
            break;
        case Move::Direction:
        case Move::OcsDirection: map_.turn(x, y, X, Y); break;
        default:  // vectors
            map_.turn(x, y, X, Y);
            X *= k;
            Y *= k;
            break;
        }
        v[0] = mirror ? -X : X;
        v[1] = Y;
        v[2] = mirror ? -Z : Z;
        return 3;
    }

    // An angle turned by `by`; one within a turn stays within a turn.
    static double turned(double angle, double by, double fullTurn)
    {
        double a = angle + by;
        if (angle >= 0 && angle <= fullTurn) {
            if (a >= fullTurn)
                a -= fullTurn;
            else if (a < 0)
                a += fullTurn;
        }
        return a;
    }

    double number(const Record& r, std::size_t i, std::string_view type) const
    {
        const auto n = readDecimalNumber(trimmed(r.value(i)));
        if (!n)
            throw notANumber(r, i, type);
        return *n;
    }

    // The group at `i`, which read `old`, is to hold `value`.
    void set(Record& r, std::size_t i, double value, double old, std::string_view type)
    {
        if (!std::isfinite(value))
            throw outOfRange(r, i, type);
        Group& g = r.groups[i];
        if (old == value && std::signbit(old) == std::signbit(value))
            return;  // unchanged: the line stays as written
        g.rewritten = true;
        g.value = value == 0 ? 0.0 : value;
    }

    // "of the entity TYPE (handle H)" or "of the header variable $X".
    static std::string of(const Record& r, std::string_view type)
    {
        if (!type.empty() && type.front() == '$')
            return "της μεταβλητής " + inQuotes(std::string(type));
        const std::string handle(r.find(5));
        return "της οντότητας " + inQuotes(std::string(type.empty() ? r.type() : type)) + " (handle " +
               inQuotes(handle.empty() ? "-" : handle) + ")";
    }

    Failure notANumber(const Record& r, std::size_t i, std::string_view type) const
    {
        const Group& g = r.groups[i];
        return Failure("Η γραμμή " + std::to_string(r.line + 2 * static_cast<long>(i) + 1) + " του σχεδίου " + inQuotes(reader_.name()) +
                       " (κωδικός ομάδας " + std::to_string(g.code) + " " + of(r, type) + ") δεν είναι αριθμός: " +
                       inQuotes(std::string(r.value(g))) + "." + kNothingWritten);
    }

    Failure outOfRange(const Record& r, std::size_t i, std::string_view type) const
    {
        const Group& g = r.groups[i];
        return Failure("Ο αριθμός της γραμμής " + std::to_string(r.line + 2 * static_cast<long>(i) + 1) + " του σχεδίου " +
                       inQuotes(reader_.name()) + " (κωδικός ομάδας " + std::to_string(g.code) + " " + of(r, type) +
                       ") βγαίνει εκτός ορίων αριθμών όταν μεταφερθεί." + kNothingWritten);
    }

    // The record as read, its moved numbers written anew before their own line ends.
    void write(Record& r)
    {
        std::stable_sort(r.insertions.begin(), r.insertions.end(),
                         [](const Insertion& a, const Insertion& b) { return a.after < b.after; });
        const char* bytes = r.bytes.data();
        std::size_t from = 0;
        auto insertion = r.insertions.begin();
        for (std::size_t i = 0; i < count_; ++i) {
            const Group& g = r.groups[i];
            if (g.rewritten) {
                out_.write({bytes + from, g.valueBegin - from});
                writeNumber(g.value);
                from = g.valueEnd;
            }
            if (insertion == r.insertions.end() || insertion->after != i)
                continue;
            // Added groups take the line end of the group before them, and its code's width.
            out_.write({bytes + from, g.next - from});
            from = g.next;
            const std::string_view eol(bytes + g.valueEnd, g.next - g.valueEnd);
            const std::size_t codeBegin = i > 0 ? r.groups[i - 1].next : 0;
            const std::string_view codeLine(bytes + codeBegin, g.valueBegin - codeBegin);
            const std::size_t width = codeLine.size() - eol.size();
            for (; insertion != r.insertions.end() && insertion->after == i; ++insertion) {
                std::string code = std::to_string(insertion->code);
                if (!codeLine.empty() && codeLine.front() == ' ' && code.size() < width)
                    code.insert(0, width - code.size(), ' ');
                out_.write(code);
                out_.write(eol.empty() ? "\n" : eol);
                writeNumber(insertion->value);
                out_.write(eol.empty() ? "\n" : eol);
            }
        }
        out_.write({bytes + from, r.bytes.size() - from});
    }

    void writeNumber(double value)
    {
        char text[40];
        const auto result = std::to_chars(text, text + sizeof text, value);
        out_.write({text, static_cast<std::size_t>(result.ptr - text)});
    }

    const PlaneMapping& map_;
    const DrawingOptions& options_;
    const std::set<std::string>& dimensionBlocks_;
    DrawingReader& reader_;
    Out& out_;
    Record record_;
    double psiRadians_ = 0, psiDegrees_ = 0;

    const TypeRules* const extended_ = rulesOf("");
    struct KnownType {
        std::string type;
        const TypeRules* rules = nullptr;
        bool used = false;
    };
    std::array<KnownType, 8> knownTypes_;  // the last types met, and their rules
    std::size_t nextKnown_ = 0;            // the one to give way to the next new type
    std::vector<long> carried_ = std::vector<long>(rulesByType().size());  // entities carried, by type index
    std::size_t count_ = 0;  // groups of the record being handled
    Section section_ = Section::None;
    std::string table_;
    bool inCarriedBlock_ = false;
    Parent parent_;
    Box headerExtents_, seen_;
    DrawingSummary summary_;
};

// ---- the ENTITIES section in pieces, carried on two threads

// The LFs among `size` bytes, eight at a time: a byte of x is zero where an LF was, and only
// then is its top bit left clear by (low seven bits + 0x7F) | x.
std::size_t countLineEnds(const char* bytes, std::size_t size)
{
    constexpr std::uint64_t ones = 0x0101010101010101, low7 = 0x7F7F7F7F7F7F7F7F;
    std::size_t count = 0, i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        const std::uint64_t x = word ^ (ones * '\n');
        // The top bits gathered into the lowest byte by one multiplication: at most 8 of them.
        count += static_cast<std::size_t>((((~(((x & low7) + low7) | x) & ~low7) >> 7) * ones) >> 56);
    }
    for (; i < size; ++i)
        count += bytes[i] == '\n';
    return count;
}

// Where a record that a piece may start with begins, among the lines of `window` from the one
// at `at` (whose number is `line`): a code 0 on a line of odd number (every group is two lines
// from the first line on, so that is a record's start in any drawing) whose type is not a
// VERTEX or an ATTRIB, which belong to the record before them. None when the window ends
// first, or a record that opens or closes a section or ends the drawing comes first.
std::optional<LineStart> pieceStartIn(const ByteWindow& window, std::size_t at, long line)
{
    const char* const data = window.data();
    bool zero = false;
    bool first = true;  // a value line first may be the type of a record that ends the section
    LineStart start;
    while (true) {
        const void* lf = std::memchr(data + at, '\n', window.size() - at);
        if (!lf)
            return std::nullopt;
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
        std::string_view text(data + at, end - at);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        if (line % 2 == 1) {
            long code = -1;
            zero = readCode(text, code) && code == 0;
            start = {window.offset() + at, line};
        } else if (zero || first) {
            const std::string_view type = trimmed(text);
            if (is(type, "SECTION") || is(type, "ENDSEC") || is(type, "EOF"))
                return std::nullopt;
            if (zero && !is(type, "VERTEX") && !is(type, "ATTRIB"))
                return start;
        }
        first = false;
        at = end + 1;
        ++line;
    }
}

// A piece's bytes, carried into memory: `used` of `room`.
struct PieceBytes {
    std::unique_ptr<char[]> room;
    std::size_t capacity = 0, used = 0;

    void write(std::string_view b)
    {
        if (capacity - used < b.size())
            reserve(std::max(2 * capacity, used + b.size()));
        copyBytes(room.get() + used, b.data(), b.size());
        used += b.size();
    }
    void reserve(std::size_t n)
    {
        if (n <= capacity)
            return;
        std::unique_ptr<char[]> larger(new char[n]);
        std::copy_n(room.get(), used, larger.get());
        room = std::move(larger);
        capacity = n;
    }
    std::string_view view() const { return {room.get(), used}; }
};

struct Piece {
    enum class State { Free, Busy, Carried, Unfinished, Failed };
    State state = State::Free;
    PieceBytes bytes;
    PieceSummary summary;
    std::exception_ptr failure;
};

// The pieces of the ENTITIES section: where each starts, offered by the first pass as it
// reads, the last ending at the section's ENDSEC. A second thread carries them, each into
// memory, ahead of the main thread, which writes them in order after checking that the
// drawing, carried up to each, stands there in the ENTITIES section; a piece carries alike
// from there whatever came before it. A piece the main thread reaches before the second
// thread does, it carries itself, straight into the result.
class PieceBoard {
public:
    PieceBoard(const std::string& path, const PlaneMapping& mapping, const DrawingOptions& options)
        : path_(path), map_(mapping), options_(options), ownStraight_(options.pieceBytes == 0)
    {
        worker_ = std::thread([this] { work(); });
    }
    ~PieceBoard()
    {
        stop();
        worker_.join();
    }
    PieceBoard(const PieceBoard&) = delete;
    PieceBoard& operator=(const PieceBoard&) = delete;

    // From the first pass.
    void offer(LineStart start) { tell([&] { starts_.push_back(start); }); }
    void offerEnd(LineStart end) { tell([&] { end_ = end; }); }
    void offersDone() { tell([&] { offered_ = true; }); }
    void stop() { tell([&] { stopped_ = true; }); }

    // Piece i's start and end, once the first pass is done; none when there is no such piece.
    std::optional<std::pair<LineStart, LineStart>> piece(std::size_t i)
    {
        const std::lock_guard lock(mutex_);
        if (!known(i))
            return std::nullopt;
        return bounds(i);
    }

    // Piece i for the main thread: null when it is to carry it itself, straight into the
    // result; else the piece as the second thread left it. While that thread is still
    // carrying it, the main thread carries pieces further on.
    Piece* take(std::size_t i)
    {
        std::unique_lock lock(mutex_);
        current_ = i;
        changed_.notify_all();
        if (i >= next_ && ownStraight_) {
            next_ = i + 1;
            return nullptr;
        }
        while (i >= next_ || pieces_[i].state == Piece::State::Busy) {
            if (claimable()) {
                const std::size_t j = claim();
                lock.unlock();
                if (!helper_)
                    helper_.emplace(path_, false);
                carry(*helper_, j);
                lock.lock();
                continue;
            }
            changed_.wait(lock);
        }
        return &pieces_[i];
    }
    // Piece i written: its memory serves a piece further on.
    void release(std::size_t i)
    {
        const std::lock_guard lock(mutex_);
        spare_.push_back(std::move(pieces_[i].bytes));
        pieces_[i] = Piece{};
    }

private:
    // How many pieces the second thread may hold carried ahead of the main thread's place:
    // 8 MB of the drawing. It gets that far ahead while the first pass still reads a large
    // drawing, so that the memory taken stays the same however large the drawing is.
    static constexpr std::size_t kAhead = 32;

    template <class Change>
    void tell(Change change)
    {
        const std::lock_guard lock(mutex_);
        change();
        changed_.notify_all();
    }

    bool known(std::size_t i) const { return i < starts_.size() && (i + 1 < starts_.size() || end_); }
    std::pair<LineStart, LineStart> bounds(std::size_t i) const
    {
        return {starts_[i], i + 1 < starts_.size() ? starts_[i + 1] : *end_};
    }

    bool claimable() const { return !stopped_ && known(next_) && next_ < current_ + kAhead; }

    // The next piece, for the thread that asks (under the lock).
    std::size_t claim()
    {
        const std::size_t i = next_++;
        if (pieces_.size() <= i)
            pieces_.resize(i + 1);
        pieces_[i].state = Piece::State::Busy;
        return i;
    }

    // Piece i carried into memory by `reader` (the lock not held).
    void carry(DrawingReader& reader, std::size_t i)
    {
        std::pair<LineStart, LineStart> at;
        PieceBytes out;
        {
            const std::lock_guard lock(mutex_);
            at = bounds(i);
            if (!spare_.empty()) {
                out = std::move(spare_.back());
                out.used = 0;
                spare_.pop_back();
            }
        }
        Piece piece;
        piece.state = Piece::State::Unfinished;
        try {
            if (at.second.offset < at.first.offset)
                throw std::range_error("a piece that ends before it starts");
            // Room for the piece grown by longer numbers and added groups, taken once, and in
            // a power of two, so that the memory of pieces of about the same size is used
            // again as it is rather than taken anew a little larger.
            const std::uint64_t size = at.second.offset - at.first.offset;
            out.reserve(std::bit_ceil(static_cast<std::size_t>(size + size / 2 + 4096)));
            reader.jump(at.first, at.second.offset);
            Rewriter<PieceBytes> rewriter(map_, options_, noBlocks_, reader, out);
            const bool whole = rewriter.carryPiece() && reader.offset() == at.second.offset;
            piece.state = whole ? Piece::State::Carried : Piece::State::Unfinished;
            piece.bytes = std::move(out);
            piece.summary = rewriter.pieceSummary();
        } catch (const Failure&) {
            piece.state = Piece::State::Failed;
            piece.failure = std::current_exception();
        } catch (...) {
            piece.state = Piece::State::Unfinished;  // the main thread carries it itself, and meets the same
        }
        tell([&] { pieces_[i] = std::move(piece); });
    }

    void work()
    {
        try {
            DrawingReader reader(path_, false);
            while (true) {
                std::size_t i = 0;
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [&] { return stopped_ || claimable() || (offered_ && !known(next_)); });
                    if (!claimable())
                        return;
                    i = claim();
                }
                carry(reader, i);
            }
        } catch (...) {
            // The drawing does not open here: the main thread carries every piece itself.
        }
    }

    const std::string path_;
    const PlaneMapping& map_;
    const DrawingOptions& options_;
    // Whether the main thread carries a piece that nobody has taken straight into the result,
    // or into memory as the second thread does (with pieces of a size asked for, so that
    // tests meet every way a piece can go).
    const bool ownStraight_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<LineStart> starts_;
    std::optional<LineStart> end_;
    bool offered_ = false, stopped_ = false;
    std::deque<Piece> pieces_;
    std::vector<PieceBytes> spare_;  // the memory of pieces written
    std::size_t next_ = 0;     // the first piece nobody has taken
    std::size_t current_ = 0;  // the piece the main thread is at
    const std::set<std::string> noBlocks_;
    std::optional<DrawingReader> helper_;  // the main thread's, for the pieces it carries into memory
    std::thread worker_;
};

// The first pass: the blocks that model-space dimensions draw (upper case). A block that a
// dimension elsewhere (in paper space or inside another block) names too is refused: it cannot
// be both carried and left.
//
// It reads only the records that matter to it (SECTION, ENDSEC, DIMENSION and EOF), found by
// their names among the bytes: a line that holds one of them after a line that reads as code 0
// is that record's type in any drawing the second pass takes, as a code line must read as a
// number. Whatever else is wrong with the drawing, the second pass finds and names.
//
// With a board, it also counts the lines as it goes and offers it where the pieces of the
// ENTITIES section start, about every `pieceBytes` bytes, and the section's ENDSEC.
class DimensionScan {
public:
    DimensionScan(const std::string& path, PieceBoard* board = nullptr, std::uint64_t pieceBytes = 0)
        : path_(path), window_(path), board_(board), pieceBytes_(pieceBytes), counting_(board != nullptr)
    {
    }

    std::set<std::string> run()
    {
        std::size_t from = 0;  // where the search goes on
        while (true) {
            const char* const data = window_.data();
            const std::size_t size = window_.size();
            std::size_t hit = size;
            for (Cursor& c : cursors_) {
                if (c.at < from || c.at == kNone) {
                    const void* found = memmemOf(data + from, size - from, c);
                    c.at = found ? static_cast<const char*>(found) - data : kNone;
                }
                hit = std::min(hit, c.at);
            }
            if (hit == size) {
                // Nothing more here: read on, keeping what a name cut by the block's end needs.
                const std::size_t resume = size > 9 ? size - 9 : 0;
                const std::size_t keep = lineBefore(lineStart(resume));
                if (!more(keep))
                    break;
                from = resume - keep;
                continue;
            }
            countTo(lineStart(hit));
            const Outcome outcome = look(hit);
            if (outcome == Outcome::Ended)
                break;
            if (outcome == Outcome::NeedMore) {
                const std::size_t keep = lineBefore(lineStart(hit));
                if (!more(keep))
                    atEnd_ = true;  // the drawing ends here: read what is there as it is
                from = hit - keep;
                continue;
            }
            from = hit + 1;
        }
        for (const std::string& name : model_)
            if (other_.count(name))
                throw Failure("Το μπλοκ διάστασης " + inQuotes(name) + " του σχεδίου " + inQuotes(window_.name()) +
                              " το χρησιμοποιούν διαστάσεις και του χώρου μοντέλου και άλλου χώρου ή μπλοκ: δεν μπορεί "
                              "να μεταφερθεί για τις μεν και να μείνει για τις δε." + kNothingWritten);
        return model_;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    struct Cursor {
        std::string_view name;
        std::size_t key;  // the letter of the name looked for first
        std::size_t at = kNone;
    };
    enum class Outcome { Looked, NeedMore, Ended };

    // The first place of the cursor's name among `size` bytes, or null. Found by its letter that
    // drawings hold least often (the E and D of every "AcDbEntity" would stop the search at
    // every entity), then the whole name.
    static const void* memmemOf(const char* data, std::size_t size, const Cursor& c)
    {
        const std::size_t n = c.name.size(), k = c.key;
        for (std::size_t from = k; from < size;) {
            const void* found = std::memchr(data + from, c.name[k], size - from);
            if (!found)
                return nullptr;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(found) - data) - k;
            if (at + n <= size && std::memcmp(data + at, c.name.data(), n) == 0)
                return data + at;
            from = at + k + 1;
        }
        return nullptr;
    }

    // Lets go of the bytes before `keep` and reads on; false at the end of the drawing.
    bool more(std::size_t keep)
    {
        countTo(std::max(keep, counted_));
        const bool read = window_.more(keep);
        counted_ = counted_ > keep ? counted_ - keep : 0;
        dropped_ += keep;
        for (Cursor& c : cursors_)
            c.at = c.at == kNone || c.at < keep ? kNone : c.at - keep;
        return read;
    }

    // Where the line holding byte `at` starts.
    std::size_t lineStart(std::size_t at) const
    {
        const char* const data = window_.data();
        while (at > 0 && data[at - 1] != '\n')
            --at;
        return at;
    }
    // Where the line before the one starting at `start` starts (the window's start for the first).
    std::size_t lineBefore(std::size_t start) const { return start > 0 ? lineStart(start - 1) : 0; }

    // The line starting at `start`: its content (without LF or CR LF) and where the next starts.
    // False when its end is not in the window yet.
    bool line(std::size_t start, std::string_view& content, std::size_t& next) const
    {
        const char* const data = window_.data();
        const void* lf = std::memchr(data + start, '\n', window_.size() - start);
        std::size_t end = window_.size();
        if (lf) {
            end = static_cast<const char*>(lf) - data;
            next = end + 1;
        } else if (!atEnd_) {
            return false;
        } else {
            next = end;
        }
        content = {data + start, end - start};
        if (lf && !content.empty() && content.back() == '\r')
            content.remove_suffix(1);
        return true;
    }

    // The record whose name may stand at `hit`.
    Outcome look(std::size_t hit)
    {
        const std::size_t start = lineStart(hit);
        std::string_view text;
        std::size_t next = 0;
        if (!line(start, text, next))
            return Outcome::NeedMore;
        const std::string_view type = trimmed(text);
        if (type != "SECTION" && type != "ENDSEC" && type != "DIMENSION" && type != "EOF")
            return Outcome::Looked;
        if (start == 0 && dropped_ == 0)
            return Outcome::Looked;  // the first line is a code
        std::string_view codeText;
        std::size_t unused = 0;
        const std::size_t codeStart = lineBefore(start);
        line(codeStart, codeText, unused);
        if (codeStart == 0 && dropped_ == 0 && codeText.starts_with("\xEF\xBB\xBF"))
            codeText.remove_prefix(3);
        long code = -1;
        if (!readCode(codeText, code) || code != 0)
            return Outcome::Looked;
        if (type == "EOF")
            return Outcome::Ended;
        if (type == "ENDSEC") {
            if (section_ == "ENTITIES" && offering_) {
                // Its code line is the line before the one counted to.
                if (lines_ % 2 == 1)
                    board_->offerEnd({window_.offset() + codeStart, lines_});
                offering_ = counting_ = false;
            }
            section_.clear();
            return Outcome::Looked;
        }
        if (type == "DIMENSION" && section_ != "ENTITIES" && section_ != "BLOCKS")
            return Outcome::Looked;
        // The record's groups, up to the next code 0: its first 2 and 67.
        std::string_view name, space;
        bool hasName = false, hasSpace = false;
        for (std::size_t at = next;;) {
            std::string_view codeLine, value;
            std::size_t valueStart = 0;
            if (!line(at, codeLine, valueStart))
                return Outcome::NeedMore;
            if (valueStart == at || !readCode(codeLine, code) || code == 0)
                break;  // the record ends (or the drawing does, as the second pass tells)
            if (!line(valueStart, value, at))
                return Outcome::NeedMore;
            if (code == 2 && !hasName) {
                name = trimmed(value);
                hasName = true;
            } else if (code == 67 && !hasSpace) {
                space = trimmed(value);
                hasSpace = true;
            }
            if (valueStart == at)
                break;
        }
        if (type == "SECTION") {
            section_ = upper(name);
            if (section_ == "ENTITIES" && counting_)
                offering_ = true;
            return Outcome::Looked;
        }
        long paper = 0;
        if (!space.empty() && !readWhole(space, paper))
            throw Failure("Η γραμμή " + std::to_string(lineNumber(dropped_ + codeStart)) + " του σχεδίου " +
                          inQuotes(window_.name()) + ": η ένδειξη χώρου (67) μιας διάστασης δεν είναι αριθμός: " +
                          inQuotes(std::string(space)) + "." + kNothingWritten);
        if (!name.empty())
            (section_ == "ENTITIES" && paper != 1 ? model_ : other_).insert(upper(name));
        return Outcome::Looked;
    }

    // Counts the lines up to `to`, where a line starts in the window, and offers the board
    // where the pieces start on the way.
    void countTo(std::size_t to)
    {
        if (!counting_ || to <= counted_)
            return;
        const char* const data = window_.data();
        while (offering_ && window_.offset() + to > nextPiece_) {
            // From the first line that starts at or after nextPiece_.
            std::size_t from = nextPiece_ > window_.offset() ? static_cast<std::size_t>(nextPiece_ - window_.offset()) : 0;
            from = std::max(from, counted_);
            if (from > counted_ && data[from - 1] != '\n') {
                const void* lf = std::memchr(data + from, '\n', to - from);
                from = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1 : to;
            }
            lines_ += static_cast<long>(countLineEnds(data + counted_, from - counted_));
            counted_ = from;
            const std::optional<LineStart> start = pieceStartIn(window_, from, lines_ + 1);
            if (!start) {
                nextPiece_ = window_.offset() + window_.size();  // looked for again in what is read next
                break;
            }
            board_->offer(*start);
            nextPiece_ = start->offset + pieceBytes_;
        }
        lines_ += static_cast<long>(countLineEnds(data + counted_, to - counted_));
        counted_ = to;
    }

    // The number of the line that starts at byte `offset` of the drawing.
    long lineNumber(std::size_t offset) const
    {
        InputFile in(path_);
        long lines = 1;
        for (std::string_view b = in.buffered(); !b.empty() && offset > 0; b = in.buffered()) {
            const std::size_t n = std::min(offset, b.size());
            lines += static_cast<long>(std::count(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n), '\n'));
            in.skip(n);
            offset -= n;
        }
        return lines;
    }

    std::string path_;
    ByteWindow window_;
    Cursor cursors_[3] = {{"SEC", 2}, {"DIMENSION", 2}, {"EOF", 2}};
    std::size_t dropped_ = 0;  // bytes of the drawing before the window
    bool atEnd_ = false;
    PieceBoard* const board_;
    const std::uint64_t pieceBytes_;
    bool counting_, offering_ = false;
    std::size_t counted_ = 0;     // the lines are counted up to here in the window,
    long lines_ = 0;              // so many
    std::uint64_t nextPiece_ = 0;  // where to look for the next piece's start
    std::string section_;
    std::set<std::string> model_, other_;
};

// The drawing carried into `out`. The ENTITIES section of a drawing of more than two
// megabytes is carried in pieces on two threads, to the same bytes.
DrawingSummary carryDrawing(const PlaneMapping& mapping, const DrawingOptions& options, const std::string& drawingPath,
                            const std::string& resultPath)
{
    const std::uint64_t pieceBytes = options.pieceBytes ? options.pieceBytes : std::uint64_t{1} << 18;
    const std::uint64_t twoThreadsAbove = options.pieceBytes ? 2 * options.pieceBytes : std::uint64_t{2} << 20;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(PathName(drawingPath).path(), error);
    std::optional<PieceBoard> board;
    if (!error && size > twoThreadsAbove)
        board.emplace(drawingPath, mapping, options);
    std::set<std::string> dimensionBlocks;
    {
        DimensionScan scan(drawingPath, board ? &*board : nullptr, pieceBytes);
        try {
            dimensionBlocks = scan.run();
        } catch (...) {
            if (board)
                board->offersDone();
            throw;
        }
        if (board)
            board->offersDone();
    }
    DrawingReader reader(drawingPath);
    OutputFile out(resultPath);
    Rewriter<OutputFile> rewriter(mapping, options, dimensionBlocks, reader, out);
    if (board) {
        for (std::size_t i = 0;; ++i) {
            const auto piece = board->piece(i);
            if (!piece)
                break;
            const auto [start, end] = *piece;
            reader.setLimit(start.offset);
            rewriter.carry();
            if (reader.offset() != start.offset || reader.ended() || !rewriter.inEntities() || end.offset < start.offset)
                break;
            Piece* carried = board->take(i);
            if (!carried) {
                reader.setLimit(end.offset);
                rewriter.carry();
                continue;
            }
            if (carried->state == Piece::State::Unfinished)
                break;
            if (carried->state == Piece::State::Failed)
                std::rethrow_exception(carried->failure);
            out.write(carried->bytes.view());
            rewriter.add(carried->summary);
            reader.jump(end);
            board->release(i);
        }
        board->stop();
        reader.setLimit(kNoLimit);
    }
    rewriter.carry();
    const DrawingSummary summary = rewriter.finish();
    out.commit();
    return summary;
}

}  // namespace

DrawingSummary transformDrawing(const std::string& resultPath, const std::string& drawingPath,
                                const std::filesystem::path& parameterPath, const DrawingOptions& options)
{
    if (sameFile(resultPath, drawingPath))
        throw Failure("Το αποτέλεσμα " + inQuotes(resultPath) + " είναι το ίδιο το σχέδιο που μεταφέρεται. Δώστε άλλο όνομα." +
                      kNothingWritten);
    if (sameFile(resultPath, parameterPath))
        throw Failure("Το αποτέλεσμα " + inQuotes(resultPath) + " είναι το αρχείο παραμέτρων. Δώστε άλλο όνομα." +
                      kNothingWritten);
    const PlaneMapping mapping(readParameterFile(parameterPath), parameterPath,
                               options.inverse ? Direction::Inverse : Direction::Forward);
    return carryDrawing(mapping, options, drawingPath, resultPath);
}

}  // namespace tavrelo
