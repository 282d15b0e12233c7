// Drawings carried number by number against the plane mapping, every other byte kept, and
// refusals that write nothing.

#include "drawing/dxf_transform.h"

#include "data/file_io.h"
#include "data/handoff_files.h"
#include "test_support.h"
#include "text/failure.h"
#include "transform/plane_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

namespace tavrelo {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// A turn of 50 grads, a scale and shifts in all three axes.
const char* const kParameters = "50\r\n 1000 \r\n 2000 \r\n3\r\n1.0002\r\n5000\r\n6000\r\n";

// A drawing template: lines as they are, and lines "@K code numbers..." that stand for the
// groups of one number or point and say how it moves: P world position, O position in the
// entity's own axes (Q the same without z), D direction, V vector, L length or scale, A angle
// in degrees, R in radians, N negated angle, Z elevation in the entity's own axes; "@+K ..." the
// same for groups that only the carried drawing has.
struct Line {
    std::string text;
    bool number = false;
    double expected = 0;
};

struct Expanded {
    std::string input;
    std::vector<Line> output;
};

Expanded expand(const std::string& drawing, const PlaneMapping& m, bool mirrored)
{
    const double s = mirrored ? -1 : 1;
    const double psi = (m.inverse() ? 1 : -1) * m.rotation();
    Expanded e;
    std::istringstream lines(drawing);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] != '@') {
            e.input += line + "\n";
            e.output.push_back({line});
            continue;
        }
        // "@+K ..." stands for groups that the drawing leaves out and the carried one states.
        const bool added = line.size() > 1 && line[1] == '+';
        std::istringstream in(line.substr(added ? 2 : 1));
        char kind;
        int code;
        std::vector<double> v;
        in >> kind >> code;
        for (double x; in >> x;)
            v.push_back(x);
        std::vector<double> out = v;
        double X = 0, Y = 0;
        switch (kind) {
        case 'P': case 'O': case 'Q':
            m.carry(kind == 'P' ? v[0] : s * v[0], v[1], X, Y);
            out[0] = kind == 'P' ? X : s * X;
            out[1] = Y;
            if (v.size() > 2)
                out[2] = kind == 'P' ? m.height(v[2]) : s * m.height(s * v[2]);
            break;
        case 'D': case 'V':
            m.turn(v[0], v[1], X, Y);
            out[0] = X * (kind == 'V' ? m.lengthFactor() : 1);
            out[1] = Y * (kind == 'V' ? m.lengthFactor() : 1);
            break;
        case 'L': out[0] = v[0] * m.lengthFactor(); break;
        case 'A': out[0] = std::fmod(v[0] + s * psi * 180 / std::numbers::pi + 720, 360); break;
        case 'N': out[0] = std::fmod(v[0] - s * psi * 180 / std::numbers::pi + 720, 360); break;
        case 'R': out[0] = std::fmod(v[0] + s * psi + 4 * std::numbers::pi, 2 * std::numbers::pi); break;
        case 'Z': out[0] = s * m.height(s * v[0]); break;
        }
        const int step = code == 43 || code == 45 ? 1 : 10;  // a hatch pattern's base point and offset
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::ostringstream number;
            number.precision(17);
            number << v[i];
            if (!added)
                e.input += std::to_string(code + step * int(i)) + "\n" + number.str() + "\n";
            e.output.push_back({std::to_string(code + step * int(i))});
            e.output.push_back({number.str(), true, out[i]});
        }
    }
    return e;
}

std::string entities(const std::string& body) { return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n"; }

struct DrawingCase {
    const char* name;
    bool mirrored;
    std::string drawing;
};

const DrawingCase kDrawings[] = {
    {"world entities and extended data", false,
     entities("0\nLINE\n5\n1A\n8\nΌρια\n@P 10 1010.5 2020.25 100\n@P 11 1100 2100 101.5\n"
              "1001\nAPP\n1010\n1\n1020\n2\n1030\n3\n@P 1011 1005 2005 7\n@V 1012 3 4 0\n@D 1013 0 1 0\n"
              "@L 1041 2.5\n@L 1042 2\n1040\n9.5\n"
              "0\nPOINT\n5\n1B\n@P 10 900 1900 50\n@A 50 10\n"
              "0\n3DFACE\n5\n1C\n@P 10 1 2 3\n@P 11 4 5 6\n@P 12 7 8 9\n@P 13 7 8 9\n"
              "0\nELLIPSE\n5\n1D\n@P 10 10 20 0\n@V 11 5 2 0\n40\n0.5\n41\n0\n42\n3.14\n"
              "0\nSPLINE\n5\n1E\n@P 10 1 1 0\n@P 10 2 3 0\n@P 11 4 4 0\n@D 12 1 0 0\n@D 13 0 1 0\n40\n0\n"
              "0\nMTEXT\n5\n1F\n@P 10 3 4 5\n@L 40 2.5\n@L 41 30\n@D 11 1 1 0\n@A 50 30\n1\nκείμενο\n"
              "0\nXLINE\n5\n20\n@P 10 1 2 0\n@D 11 0.6 0.8 0\n0\nRAY\n5\n21\n@P 10 3 4 0\n@D 11 1 0 0\n"
              "0\nIMAGE\n5\n22\n@P 10 1 2 0\n@V 11 0.1 0 0\n@V 12 0 0.1 0\n13\n640\n23\n480\n14\n0\n24\n0\n"
              "0\nLEADER\n5\n23\n@P 10 1 2 0\n@P 10 3 4 0\n@L 40 2\n@D 211 1 0 0\n@V 212 0.5 0.5 0\n"
              "0\nMLINE\n5\n24\n@L 40 1\n@P 10 1 2 0\n@P 11 1 2 0\n@D 12 1 0 0\n@D 13 0 1 0\n@L 41 0\n@L 41 0.5\n")},
    {"entities in their own axes", false,
     entities("0\nCIRCLE\n5\n30\n@O 10 1200 2300 4\n@L 40 10\n"
              "0\nARC\n5\n31\n@O 10 1200 2300 4\n@L 40 10\n@A 50 30\n@A 51 350\n"
              "0\nTEXT\n5\n32\n@O 10 5 6 0\n@L 40 2.5\n1\nΣ1\n@A 50 15\n41\n1\n51\n0\n@O 11 7 8 0\n"
              "0\nINSERT\n5\n33\n66\n1\n2\nST\n@O 10 1300 2400 10\n@L 41 2\n@L 42 2\n43\n2\n@A 50 20\n"
              "0\nATTRIB\n5\n34\n@O 10 1301 2401 10\n@L 40 1\n1\n17\n2\nPN\n@A 50 20\n0\nSEQEND\n5\n35\n"
              "0\nLWPOLYLINE\n5\n36\n90\n2\n@Z 38 4\n@L 43 0.5\n@Q 10 1 2\n42\n0.5\n@Q 10 3 4\n@L 40 1\n@L 41 2\n"
              "0\nPOLYLINE\n5\n37\n66\n1\n10\n0\n20\n0\n@Z 30 2\n70\n0\n"
              "0\nVERTEX\n5\n38\n@O 10 1 2 2\n42\n1\n70\n0\n0\nSEQEND\n5\n39\n"
              "0\nSOLID\n5\n3A\n@O 10 0 0 0\n@O 11 1 0 0\n@O 12 0 1 0\n@O 13 0 1 0\n"
              "0\nHATCH\n5\n3B\n10\n0\n20\n0\n@Z 30 1\n2\nANSI31\n70\n0\n91\n2\n92\n2\n72\n1\n73\n1\n93\n2\n"
              "@Q 10 0 0\n42\n0.5\n@Q 10 10 0\n97\n0\n92\n1\n93\n3\n72\n1\n@Q 10 0 0\n@Q 11 5 0\n"
              "72\n2\n@Q 10 5 5\n@L 40 5\n@A 50 10\n@A 51 100\n73\n1\n72\n2\n@Q 10 5 5\n@L 40 5\n@N 50 260\n@N 51 350\n"
              "73\n0\n72\n3\n@Q 10 1 2\n@V 11 3 1\n40\n0.5\n50\n10\n51\n80\n73\n1\n97\n0\n75\n1\n76\n1\n"
              "@A 52 45\n@L 41 2\n77\n0\n78\n1\n@A 53 45\n@Q 43 0 0\n@V 45 -4 4\n79\n0\n98\n1\n@Q 10 3 3\n"
              "450\n1\n@R 460 0.5\n")},
    {"mirrored entities", true,
     entities("0\nCIRCLE\n5\n40\n@O 10 1200 2300 4\n@L 40 10\n210\n0\n220\n0\n230\n-1\n"
              "0\nARC\n5\n41\n@O 10 -1200 2300 4\n@L 40 10\n@A 50 30\n@A 51 120\n210\n0\n220\n0\n230\n-1\n"
              "0\nTEXT\n5\n42\n@O 10 -5 6 0\n@L 40 2.5\n1\nx\n@A 50 15\n210\n0\n220\n0\n230\n-1\n"
              "0\nINSERT\n5\n43\n2\nST\n@O 10 -1300 2400 10\n@L 41 2\n@L 42 2\n@A 50 20\n210\n0\n220\n0\n230\n-1\n"
              "0\nLWPOLYLINE\n5\n44\n90\n1\n@Z 38 4\n@Q 10 1 2\n210\n0\n220\n0\n230\n-1\n")},
    {"what entities leave out", false,
     entities("0\nTEXT\n5\n60\n@O 10 5 6\n@+Z 30 0\n@L 40 2.5\n@+A 50 0\n1\nΣ1\n"
              "0\nINSERT\n5\n61\n2\nST\n@O 10 1300 2400 10\n@+L 41 1\n@+L 42 1\n@+A 50 0\n"
              "0\nMTEXT\n5\n62\n@P 10 3 4 5\n@L 40 2.5\n@+D 11 1 0 0\n1\nx\n"
              "0\nLWPOLYLINE\n5\n63\n90\n1\n@+Z 38 0\n@Q 10 1 2\n"
              "0\nPOLYLINE\n5\n65\n66\n1\n10\n0\n20\n0\n@+Z 30 0\n70\n0\n0\nSEQEND\n5\n66\n"
              "0\nPOLYLINE\n5\n67\n66\n1\n@+Z 30 0\n70\n0\n0\nSEQEND\n5\n68\n"
              "0\nDIMENSION\n5\n64\n@P 10 1 2 0\n70\n32\n@P 13 1 2 0\n@P 14 3 4 0\n@+A 50 0\n")},
    {"header, active view, dimension with its block, what stays", false,
     "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$INSBASE\n@P 10 1 2 3\n9\n$UCSXDIR\n@D 10 1 0 0\n"
     "9\n$PINSBASE\n10\n1\n20\n2\n30\n3\n0\nENDSEC\n"
     "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nVPORT\n0\nVPORT\n2\n*Active\n10\n0\n20\n0\n@P 12 1500 2500\n@L 40 300\n41\n1.5\n"
     "0\nVPORT\n2\nOther\n12\n1\n22\n2\n40\n3\n0\nENDTAB\n0\nENDSEC\n"
     "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\n*D1\n10\n0\n20\n0\n30\n0\n0\nLINE\n5\n50\n@P 10 1 2 0\n@P 11 3 4 0\n0\nENDBLK\n"
     "0\nBLOCK\n2\nST\n10\n0\n20\n0\n30\n0\n0\nCIRCLE\n5\n51\n10\n0\n20\n0\n30\n0\n40\n1\n0\nENDBLK\n0\nENDSEC\n" +
         entities("0\nDIMENSION\n5\n52\n2\n*D1\n@P 10 1 2 0\n@O 11 5 6 0\n70\n32\n@P 13 1 2 0\n@P 14 3 4 0\n@L 42 2.8\n"
                  "@A 50 30\n@N 51 10\n0\nLINE\n5\n53\n67\n1\n10\n1\n20\n2\n30\n3\n11\n1\n21\n2\n31\n3\n") +
         "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n10\n1\n0\nENDSEC\n"},
};

struct DrawingRun {
    TempFolder folder;
    std::string result() const { return (folder / "result.dxf").string(); }
    DrawingSummary carry(const std::string& drawing, bool inverse = false, bool skip = false)
    {
        writeBytes(folder / "in.dxf", drawing);
        writeBytes(folder / "p.par", kParameters);
        return transformDrawing(result(), (folder / "in.dxf").string(), folder / "p.par", {inverse, skip});
    }
};

void expectLines(const std::string& bytes, const std::vector<Line>& lines, const std::string& eol, const char* name)
{
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t end = bytes.find(eol, at);
        ASSERT_NE(end, std::string::npos) << name << ": line " << i + 1 << " missing";
        const std::string got = bytes.substr(at, end - at);
        at = end + eol.size();
        if (!lines[i].number) {
            EXPECT_EQ(got, lines[i].text) << name << ": line " << i + 1;
            continue;
        }
        const double want = lines[i].expected;
        EXPECT_NEAR(std::stod(got), want, 1e-9 * std::max(1.0, std::abs(want))) << name << ": line " << i + 1;
    }
    EXPECT_EQ(at, bytes.size()) << name;
}

TEST(DrawingTransform, CarriesEveryNumberOfTheTableAndKeepsEveryOtherByte)
{
    for (const DrawingCase& c : kDrawings) {
        for (const std::string eol : {"\n", "\r\n"}) {
            for (const bool inverse : {false, true}) {
                DrawingRun run;
                writeBytes(run.folder / "p.par", kParameters);
                const PlaneMapping m(readParameterFile(run.folder / "p.par"), "p.par",
                                     inverse ? Direction::Inverse : Direction::Forward);
                Expanded e = expand(c.drawing, m, c.mirrored);
                std::string input = e.input;
                if (eol != "\n")
                    for (std::size_t at = 0; (at = input.find('\n', at)) != std::string::npos; at += 2)
                        input.replace(at, 1, eol);
                run.carry(input, inverse);
                expectLines(readBytes(run.result()), e.output, eol, c.name);
            }
        }
    }
}

TEST(DrawingTransform, ForwardThenBackReturnsTheDrawingAndTellsWhatMoved)
{
    for (const DrawingCase& c : kDrawings) {
        DrawingRun forward, back;
        writeBytes(forward.folder / "p.par", kParameters);
        Expanded e = expand(c.drawing, PlaneMapping(readParameterFile(forward.folder / "p.par"), "p.par"), c.mirrored);
        for (Line& line : e.output)
            line.expected = line.number ? std::stod(line.text) : 0;
        forward.carry(e.input);
        back.carry(readBytes(forward.result()), true);
        const std::string bytes = readBytes(back.result());
        // Numbers within rounding of where they started (angles within a turn), the rest as it was.
        std::size_t at = 0;
        for (const Line& line : e.output) {
            const std::size_t end = bytes.find('\n', at);
            ASSERT_NE(end, std::string::npos) << c.name;
            const std::string got = bytes.substr(at, end - at);
            at = end + 1;
            if (!line.number)
                EXPECT_EQ(got, line.text) << c.name;
            else
                EXPECT_NEAR(std::remainder(std::stod(got) - line.expected, 360.0), 0, 1e-9 * std::max(1.0, std::abs(line.expected)))
                    << c.name << ": " << line.text;
        }
    }
    DrawingRun run;
    writeBytes(run.folder / "p.par", kParameters);
    const PlaneMapping m(readParameterFile(run.folder / "p.par"), "p.par");
    const DrawingSummary s = run.carry(expand(kDrawings[1].drawing, m, false).input);
    EXPECT_EQ(s.carried.at("VERTEX"), 1);
    EXPECT_EQ(s.carried.at("ATTRIB"), 1);
    EXPECT_EQ(s.carried.count("SEQEND"), 0u);
    EXPECT_TRUE(s.hasExtents);
}

TEST(DrawingTransform, ReadsTheSameWhereverTheFileIsReadInBlocks)
{
    // A dimension's block named after a comment long enough to bring every line of the
    // dimension, and of the line in its block, across the end of a block of reading; and a
    // comment longer than the room a drawing is first read into. What is carried must not
    // depend on where the blocks fall.
    const std::string blocks = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\n*D1\n0\nLINE\n10\n1\n20\n2\n0\nENDBLK\n0\nENDSEC\n";
    const std::string body = "0\nSECTION\n2\nENTITIES\n0\nDIMENSION\n2\n*D1\n10\n5\n20\n6\n70\n0\n0\nENDSEC\n0\nEOF\n";
    const auto drawing = [&](std::size_t comment) { return "999\n" + std::string(comment, 'c') + "\n" + blocks + body; };
    const auto carried = [](const std::string& input) {
        DrawingRun run;
        run.carry(input);
        const std::string bytes = readBytes(run.result());
        return bytes.substr(bytes.find('\n', 5));  // without the comment
    };
    const std::string expected = carried(drawing(1));
    ASSERT_EQ(expected.find("\n1\n20\n2\n"), std::string::npos) << "the block's line stays";
    const std::size_t tail = blocks.size() + body.size();
    const std::size_t firstRead = 4 * InputFile::kBlockSize;  // what a large drawing's window reads first
    for (std::size_t comment = firstRead - tail - 8; comment < firstRead; ++comment)
        ASSERT_EQ(carried(drawing(comment)), expected) << comment;
    EXPECT_EQ(carried(drawing(5 * InputFile::kBlockSize)), expected);
}

// What carrying `drawing` comes to: the bytes written and the summary, or the message.
std::string outcome(const std::string& drawing, DrawingOptions options)
{
    DrawingRun run;
    writeBytes(run.folder / "in.dxf", drawing);
    writeBytes(run.folder / "p.par", kParameters);
    std::ostringstream o;
    try {
        const DrawingSummary s = transformDrawing(run.result(), (run.folder / "in.dxf").string(), run.folder / "p.par", options);
        o << readBytes(run.result()) << "|";
        for (const auto& [type, count] : s.carried)
            o << type << count << " ";
        for (const StayedEntity& e : s.stayed)
            o << e.type << "/" << e.handle << " ";
        o.precision(17);
        o << s.hasExtents << " " << s.extentMin[0] << " " << s.extentMin[1] << " " << s.extentMin[2] << " "
          << s.extentMax[0] << " " << s.extentMax[1] << " " << s.extentMax[2];
    } catch (const Failure& f) {
        std::string message = f.what();
        if (const auto at = message.find(run.folder.path().string()); at != std::string::npos)
            message.replace(at, run.folder.path().string().size(), "F");
        o << "refused: " << message << " " << std::filesystem::exists(run.result());
    }
    return o.str();
}

TEST(DrawingTransform, CarriedInPiecesOnTwoThreadsItIsTheSameAsInOne)
{
    // Pieces of a few bytes start at nearly every record; drawings the rewriter refuses, with a
    // fault in some piece or with sections where pieces may not start, must be refused alike.
    std::vector<std::string> drawings = {readBytes(TAVRELO_FIXTURES "/survey_drawing.dxf"),
                                         readBytes(TAVRELO_EXAMPLES "/survey.dxf")};
    DrawingRun run;
    writeBytes(run.folder / "p.par", kParameters);
    const PlaneMapping m(readParameterFile(run.folder / "p.par"), "p.par");
    for (const DrawingCase& c : kDrawings)
        drawings.push_back(expand(c.drawing, m, c.mirrored).input);
    const std::string line = "0\nLINE\n5\n9A\n10\n1\n20\n2\n11\n3\n21\n4\n";
    const std::string polyline = "0\nPOLYLINE\n5\n9B\n66\n1\n230\n-1\n0\nVERTEX\n10\n1\n20\n2\n0\nVERTEX\n10\n3\n20\n4\n0\nSEQEND\n";
    for (const std::string& body : {line + polyline + "0\nFLOWER\n5\n9D\n" + line + polyline + line,
                                    line + polyline + line + "0\nLINE\n10\nx\n" + line,
                                    line + "0\nLINE\n10\n1\n20\n1e999\n" + line + "0\nFLOWER\n" + polyline + "x\n",
                                    line + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + polyline + line,
                                    line + "0\nEOF\n" + line + line, line + "70\n" + line + line})
        drawings.push_back(entities(body));
    for (const std::string& drawing : drawings)
        for (const bool skip : {false, true}) {
            const std::string whole = outcome(drawing, {true, skip});
            for (const std::uint64_t piece : {1, 13, 60, 200})
                ASSERT_EQ(outcome(drawing, {true, skip, piece}), whole) << drawing.substr(0, 80) << " in pieces of " << piece;
        }
    // A drawing of five megabytes in the pieces of a megabyte that the rewriter takes itself.
    std::string body;
    for (int i = 0; body.size() < (5u << 20); ++i)
        body += i % 3 ? line : polyline;
    EXPECT_EQ(outcome(entities(body), {}), outcome(entities(body), {false, false, std::uint64_t{1} << 40}));
}

struct Refusal {
    const char* name;
    std::string drawing;
    const char* says;        // a piece of the message: what and where
    bool staysWhenSkipping;  // with skipUnknown the entity stays and the rest is carried
};

TEST(DrawingTransform, RefusesWhatItCannotCarryAndWritesNothing)
{
    const std::string line = "0\nLINE\n5\n9A\n10\n1\n20\n2\n11\n3\n21\n4\n";
    const Refusal cases[] = {
        {"binary", "AutoCAD Binary DXF\r\n\x1a", "ASCII DXF", false},
        {"DWG", std::string("AC1032\0\0\0\0", 10), "ASCII DXF", false},
        {"no EOF", "0\nSECTION\n2\nENTITIES\n" + line + "0\nENDSEC\n", "EOF", false},
        {"value line missing", "0\nSECTION\n2\nENTITIES\n0", "EOF", false},
        {"group code not a number", entities("0\nLINE\n5\n9A\nx10\n1\n"), "γραμμή 9", false},
        {"number that does not read", entities("0\nLINE\n5\n9A\n10\n1,5\n20\n2\n"), "γραμμή 10", false},
        {"y missing", entities("0\nCIRCLE\n5\n9B\n10\n1\n40\n2\n"), "«9B»", false},
        {"number beyond range", entities("0\nCIRCLE\n5\n9C\n10\n0\n20\n0\n40\n1.7976e308\n"), "εκτός ορίων", false},
        {"unknown entity", entities("0\nFLOWER\n5\n9D\n10\n1\n20\n1\n" + line), "«FLOWER» (handle «9D»", true},
        {"3-D solid", entities(line + "0\n3DSOLID\n5\n9E\n1\nabc\n"), "«3DSOLID»", true},
        {"tilted extrusion", entities("0\nCIRCLE\n5\n9F\n10\n1\n20\n2\n40\n1\n210\n0.6\n220\n0\n230\n0.8\n" + line),
         "«CIRCLE» (handle «9F»", true},
        {"a dimension block shared with paper space",
         "0\nSECTION\n2\nENTITIES\n0\nDIMENSION\n5\n1\n2\n*D1\n0\nDIMENSION\n5\n2\n67\n1\n2\n*D1\n0\nENDSEC\n0\nEOF\n",
         "*D1", false},
    };
    for (const Refusal& c : cases) {
        DrawingRun run;
        writeBytes(run.result(), "earlier");
        try {
            run.carry(c.drawing);
            ADD_FAILURE() << c.name << ": carried";
        } catch (const Failure& f) {
            EXPECT_NE(std::string(f.what()).find(c.says), std::string::npos) << c.name << ": " << f.what();
            EXPECT_EQ(test::messageFault(f.what()), "") << c.name;
        }
        EXPECT_EQ(readBytes(run.result()), "earlier") << c.name;
        EXPECT_EQ(test::listFolder(run.folder.path()), "in.dxf p.par result.dxf ") << c.name;
        if (c.staysWhenSkipping) {
            const DrawingSummary s = run.carry(c.drawing, false, true);
            ASSERT_EQ(s.stayed.size(), 1u) << c.name;
            EXPECT_EQ(s.carried.at("LINE"), 1) << c.name;
            EXPECT_NE(std::string(c.says).find(s.stayed[0].type), std::string::npos) << c.name;
        }
    }
    // A parameter file that does not read.
    DrawingRun run;
    writeBytes(run.folder / "in.dxf", entities(line));
    writeBytes(run.folder / "p.par", "50\r\n 1000 \r\n");
    EXPECT_THROW(transformDrawing(run.result(), (run.folder / "in.dxf").string(), run.folder / "p.par"), Failure);
    EXPECT_FALSE(std::filesystem::exists(run.result()));
}

}  // namespace
}  // namespace tavrelo
