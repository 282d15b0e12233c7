// tavrelo_generate_drawing: a large survey drawing for timing the drawing rewriter.
//
//   tavrelo_generate_drawing ENTITIES RESULT [TEMPLATE]
//
// Takes the example drawing (examples/survey.dxf, or TEMPLATE) as it is, with its header,
// tables, blocks and objects, and adds ENTITIES model-space entities to its ENTITIES section:
// lots on a grid, each of ten entities as a surveyor draws them: four lines, two closed
// polylines (parcel and building), a tree as a circle, a text, a detail point and a station
// (the drawing's STATION block with its number and height as attributes). Coordinates in
// metres with three decimals, heights about 110. Handles follow on from the drawing's own
// and $HANDSEED is moved past them, so the result is a valid drawing of its own.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> readLines(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "tavrelo_generate_drawing: cannot read " << path << "\n";
        std::exit(1);
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string trim(const std::string& s)
{
    const auto a = s.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a);
}

class Writer {
public:
    explicit Writer(std::FILE* f) : f_(f) { buffer_.reserve(1 << 20); }
    ~Writer() { flush(); }
    void pair(const char* code, const std::string& value) { pair(code, value.data(), value.size()); }
    void pair(const char* code, const char* value) { pair(code, value, std::char_traits<char>::length(value)); }
    void pair(const char* code, const char* value, std::size_t size)
    {
        buffer_ += code;
        buffer_ += '\n';
        buffer_.append(value, size);
        buffer_ += '\n';
        if (buffer_.size() > (1 << 20) - 256)
            flush();
    }
    void number(const char* code, double v)
    {
        char text[40];
        const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 3);
        // Trailing zeros dropped, as drawings usually hold them.
        char* end = r.ptr;
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
        pair(code, text, end - text);
    }
    void handle(unsigned long h)
    {
        char text[20];
        const auto r = std::to_chars(text, text + sizeof text, h, 16);
        for (char* c = text; c < r.ptr; ++c)
            *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        pair("  5", text, r.ptr - text);
    }
    void flush()
    {
        if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), f_) != buffer_.size()) {
            std::cerr << "tavrelo_generate_drawing: write error\n";
            std::exit(1);
        }
        buffer_.clear();
    }

private:
    std::FILE* f_;
    std::string buffer_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: tavrelo_generate_drawing ENTITIES RESULT [TEMPLATE]\n";
        return 2;
    }
    const long count = std::atol(argv[1]);
    const std::vector<std::string> lines = readLines(argc > 3 ? argv[3] : TAVRELO_EXAMPLE_DRAWING);

    // Where the ENTITIES section ends, the model space's owner handle and $HANDSEED.
    std::size_t entitiesEnd = 0, handseed = 0;
    std::string owner;
    bool inEntities = false;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string code = trim(lines[i]);
        if (code == "9" && lines[i + 1] == "$HANDSEED")
            handseed = i + 3;
        if (code == "2" && lines[i + 1] == "ENTITIES")
            inEntities = true;
        if (inEntities && code == "330" && owner.empty())
            owner = lines[i + 1];
        if (inEntities && code == "0" && lines[i + 1] == "ENDSEC") {
            entitiesEnd = i;
            break;
        }
    }
    if (!entitiesEnd || !handseed || owner.empty()) {
        std::cerr << "tavrelo_generate_drawing: the template has no ENTITIES section, owner or $HANDSEED\n";
        return 1;
    }

    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f) {
        std::cerr << "tavrelo_generate_drawing: cannot write " << argv[2] << "\n";
        return 1;
    }
    static char fileBuffer[1 << 16];
    std::setvbuf(f, fileBuffer, _IOFBF, sizeof fileBuffer);
    Writer w(f);
    unsigned long next = 0x10000;
    const unsigned long lastHandle = next + static_cast<unsigned long>(count) * 4 + 16;
    for (std::size_t i = 0; i < entitiesEnd; i += 2) {
        if (i + 1 == handseed) {
            char text[20];
            const auto r = std::to_chars(text, text + sizeof text, lastHandle, 16);
            w.pair(lines[i].c_str(), std::string(text, r.ptr));
            continue;
        }
        w.pair(lines[i].c_str(), lines[i + 1]);
    }

    const long lots = (count + 9) / 10;
    const long across = std::max(1L, static_cast<long>(std::ceil(std::sqrt(static_cast<double>(lots)))));
    const double cell = 30.0;
    auto entity = [&](const char* type, const char* layer, const char* subclass, unsigned long ownerHandle = 0) {
        w.pair("  0", type);
        w.handle(next++);
        if (ownerHandle) {
            char text[20];
            const auto r = std::to_chars(text, text + sizeof text, ownerHandle, 16);
            w.pair("330", std::string(text, r.ptr));
        } else {
            w.pair("330", owner);
        }
        w.pair("100", "AcDbEntity");
        w.pair("  8", layer);
        if (subclass)
            w.pair("100", subclass);
    };
    long written = 0;
    for (long lot = 0; written < count; ++lot) {
        const double x0 = 2000 + (lot % across) * cell + (lot * 7 % 13) * 0.001;
        const double y0 = 3000 + (lot / across) * cell + (lot * 11 % 17) * 0.001;
        const double h = 105 + (lot % 997) * 0.01;
        for (int k = 0; k < 10 && written < count; ++k, ++written) {
            switch (k) {
            case 0: case 1: case 2: case 3: {  // the lot's fence, side by side
                static const double corner[5][2] = {{1, 1}, {29, 1.5}, {28.5, 29}, {1.5, 28}, {1, 1}};
                entity("LINE", "BOUNDARY", "AcDbLine");
                w.number(" 10", x0 + corner[k][0]);
                w.number(" 20", y0 + corner[k][1]);
                w.number(" 30", h);
                w.number(" 11", x0 + corner[k + 1][0]);
                w.number(" 21", y0 + corner[k + 1][1]);
                w.number(" 31", h);
                break;
            }
            case 4: case 5: {  // the parcel, then the building
                const double a = k == 4 ? 2 : 8, b = k == 4 ? 27 : 18;
                entity("LWPOLYLINE", k == 4 ? "BOUNDARY" : "BUILDING", "AcDbPolyline");
                w.pair(" 90", "4");
                w.pair(" 70", "1");
                const double pts[4][2] = {{a, a}, {b, a + 0.5}, {b - 0.5, b}, {a + 0.5, b - 0.5}};
                for (const auto& p : pts) {
                    w.number(" 10", x0 + p[0]);
                    w.number(" 20", y0 + p[1]);
                }
                break;
            }
            case 6:
                entity("CIRCLE", "TREES", "AcDbCircle");
                w.number(" 10", x0 + 24);
                w.number(" 20", y0 + 6);
                w.number(" 30", h);
                w.number(" 40", 1.5);
                break;
            case 7:
                entity("TEXT", "TEXT", "AcDbText");
                w.number(" 10", x0 + 9);
                w.number(" 20", y0 + 20);
                w.number(" 30", 0);
                w.number(" 40", 1.8);
                w.pair("  1", "\xCF\xE9\xEA\xFC\xF0\xE5\xE4\xEF " + std::to_string(lot + 1));  // "Οικόπεδο N"
                w.number(" 50", 12.5);
                w.pair("100", "AcDbText");
                break;
            case 8:
                entity("POINT", "STATIONS", "AcDbPoint");
                w.number(" 10", x0 + 15);
                w.number(" 20", y0 + 3);
                w.number(" 30", h + 0.4);
                break;
            case 9: {  // a station with its number and height
                const unsigned long insert = next;
                entity("INSERT", "STATIONS", "AcDbBlockReference");
                w.pair(" 66", "1");
                w.pair("  2", "STATION");
                w.number(" 10", x0 + 5);
                w.number(" 20", y0 + 25);
                w.number(" 30", h);
                const std::string values[2] = {"\xD3" + std::to_string(lot + 1), std::to_string(h).substr(0, 7)};
                const char* tags[2] = {"PN", "H"};
                for (int a = 0; a < 2; ++a) {
                    entity("ATTRIB", "STATIONS", "AcDbText", insert);
                    w.number(" 10", x0 + 6.5);
                    w.number(" 20", y0 + 25.6 - a * 2.4);
                    w.number(" 30", h);
                    w.number(" 40", a == 0 ? 1.6 : 1.2);
                    w.pair("  1", values[a]);
                    w.pair("100", "AcDbAttribute");
                    w.pair("  2", tags[a]);
                    w.pair(" 70", "0");
                }
                entity("SEQEND", "STATIONS", nullptr, insert);
                break;
            }
            }
        }
    }
    // The rest of the template as it is: the end of ENTITIES, the objects, EOF.
    for (std::size_t i = entitiesEnd; i + 1 < lines.size(); i += 2)
        w.pair(lines[i].c_str(), lines[i + 1]);
    w.flush();
    if (std::fflush(f) != 0 || std::fclose(f) != 0) {
        std::cerr << "tavrelo_generate_drawing: write error\n";
        return 1;
    }
    return 0;
}
