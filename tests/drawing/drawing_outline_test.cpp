#include "drawing/drawing_outline.h"

#include "data/handoff_files.h"
#include "drawing/dxf_transform.h"
#include "test_support.h"
#include "text/failure.h"
#include "transform/plane_mapping.h"

#include <gtest/gtest.h>

#include <numbers>

#include <cmath>

namespace tavrelo {
namespace {

using test::TempFolder;

// A drawing whose model space holds `entities` (pairs, one a line), with a block definition
// and a paper-space line that the outline leaves out.
std::string drawingOf(const std::string& entities, const std::string& lineEnd = "\n")
{
    std::string text = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nPOINTBLOCK\n0\nLINE\n10\n-9\n20\n-9\n11\n9\n21\n9\n0\nENDBLK\n"
                       "0\nBLOCK\n2\n*D1\n0\nLINE\n10\n1\n20\n1\n11\n5\n21\n1\n0\nTEXT\n10\n3\n20\n2\n0\nENDBLK\n0\nENDSEC\n"
                       "0\nSECTION\n2\nENTITIES\n" + entities +
                       "0\nLINE\n67\n1\n10\n0\n20\n0\n11\n500\n21\n500\n0\nENDSEC\n0\nEOF\n";
    std::string out;
    for (char c : text)
        out += c == '\n' ? lineEnd : std::string(1, c);
    return out;
}

DrawingOutline outlineOf(const std::string& entities, const std::string& lineEnd = "\n")
{
    TempFolder folder;
    test::writeBytes(folder / "d.dxf", drawingOf(entities, lineEnd));
    return readDrawingOutline(folder / "d.dxf");
}

TEST(DrawingOutline, EachKindOfEntityBecomesItsPrimitives)
{
    struct Case {
        const char* name;
        std::string entity;
        std::size_t paths, vertices, arcs, marks;
    };
    const Case cases[] = {
        {"line", "0\nLINE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n3\n21\n4\n31\n0\n", 1, 2, 0, 0},
        {"closed lwpolyline", "0\nLWPOLYLINE\n90\n3\n70\n1\n10\n0\n20\n0\n10\n4\n20\n0\n10\n4\n20\n3\n", 1, 4, 0, 0},
        {"half circle bulge", "0\nLWPOLYLINE\n90\n2\n70\n0\n10\n0\n20\n0\n42\n1\n10\n2\n20\n0\n", 1, 17, 0, 0},
        {"polyline and vertexes",
         "0\nPOLYLINE\n66\n1\n70\n0\n0\nVERTEX\n10\n0\n20\n0\n0\nVERTEX\n10\n5\n20\n0\n0\nVERTEX\n10\n5\n20\n5\n0\nSEQEND\n",
         1, 3, 0, 0},
        {"polyface mesh", "0\nPOLYLINE\n70\n64\n0\nVERTEX\n70\n192\n10\n1\n20\n1\n0\nVERTEX\n70\n128\n71\n1\n0\nSEQEND\n", 0, 0, 0, 1},
        {"circle", "0\nCIRCLE\n10\n5\n20\n5\n40\n2\n", 0, 0, 1, 0},
        {"arc", "0\nARC\n10\n5\n20\n5\n40\n2\n50\n0\n51\n90\n", 0, 0, 1, 0},
        {"ellipse", "0\nELLIPSE\n10\n0\n20\n0\n11\n4\n21\n0\n40\n0.5\n41\n0\n42\n6.283185307179586\n", 1, 33, 0, 0},
        {"spline by fit points", "0\nSPLINE\n70\n8\n10\n0\n20\n0\n10\n1\n20\n1\n10\n2\n20\n0\n11\n0\n21\n0\n11\n2\n21\n0\n", 1, 2, 0, 0},
        {"solid", "0\nSOLID\n10\n0\n20\n0\n11\n1\n21\n0\n12\n0\n22\n1\n13\n1\n23\n1\n", 1, 5, 0, 0},
        {"point, text, mtext, insert, attrib",
         "0\nPOINT\n10\n1\n20\n1\n0\nTEXT\n10\n2\n20\n2\n1\nΣ1\n0\nMTEXT\n10\n3\n20\n3\n0\nINSERT\n2\nPOINTBLOCK\n66\n1\n10\n4\n20\n4\n"
         "0\nATTRIB\n10\n4\n20\n5\n0\nSEQEND\n",
         0, 0, 0, 5},
        {"hatch: a polyline path, an edge path of a line and an arc, seed points left out",
         "0\nHATCH\n10\n0\n20\n0\n30\n0\n2\nSOLID\n70\n1\n91\n2\n92\n2\n72\n0\n73\n1\n93\n3\n10\n0\n20\n0\n10\n4\n"
         "20\n0\n10\n4\n20\n3\n92\n1\n93\n2\n72\n1\n10\n0\n20\n0\n11\n4\n21\n0\n72\n2\n10\n2\n20\n0\n40\n2\n50\n0\n51\n"
         "180\n73\n1\n97\n0\n75\n1\n76\n1\n98\n1\n10\n9\n20\n9\n",
         2, 6, 1, 0},
        {"dimension: the block it names", "0\nDIMENSION\n2\n*D1\n10\n1\n20\n1\n", 1, 2, 0, 1},
        {"kinds with nothing to draw",
         "0\nHATCH\n10\n0\n20\n0\n0\nDIMENSION\n10\n1\n20\n1\n0\nDIMENSION\n67\n1\n2\n*D1\n0\nVIEWPORT\n10\n1\n20\n1\n",
         0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* lineEnd : {"\n", "\r\n"}) {
            const DrawingOutline o = outlineOf(c.entity, lineEnd);
            EXPECT_EQ(o.pathEnds.size(), c.paths);
            EXPECT_EQ(o.vertices.size(), c.vertices);
            EXPECT_EQ(o.arcs.size(), c.arcs);
            EXPECT_EQ(o.marks.size(), c.marks);
            if (!o.pathEnds.empty()) {
                EXPECT_EQ(o.pathEnds.back(), o.vertices.size());
            }
        }
    }
}

TEST(DrawingOutline, CurvesLandWhereTheDrawingPutsThem)
{
    // A bulge of 1 from (0, 0) to (2, 0) is the half circle about (1, 0) through (1, -1).
    DrawingOutline o = outlineOf("0\nLWPOLYLINE\n90\n2\n10\n0\n20\n0\n42\n1\n10\n2\n20\n0\n");
    ASSERT_EQ(o.vertices.size(), 17u);
    EXPECT_NEAR(o.vertices[8].x, 1, 1e-12);
    EXPECT_NEAR(o.vertices[8].y, -1, 1e-12);
    EXPECT_DOUBLE_EQ(o.vertices[16].x, 2);

    // A mirrored arc (extrusion 0, 0, -1): centre and angles seen from above.
    o = outlineOf("0\nARC\n10\n5\n20\n1\n40\n2\n210\n0\n220\n0\n230\n-1\n50\n0\n51\n90\n");
    ASSERT_EQ(o.arcs.size(), 1u);
    EXPECT_DOUBLE_EQ(o.arcs[0].x, -5);
    EXPECT_NEAR(o.arcs[0].start, std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(o.arcs[0].sweep, std::numbers::pi / 2, 1e-12);
    // Its extents: from (-5, 3) round to (-7, 1).
    EXPECT_TRUE(o.hasExtents);
    EXPECT_NEAR(o.minX, -7, 1e-12);
    EXPECT_NEAR(o.maxX, -5, 1e-12);
    EXPECT_NEAR(o.minY, 1, 1e-12);
    EXPECT_NEAR(o.maxY, 3, 1e-12);

    // A hatch's clockwise arc edge is written with its angles negated: 0 to 90 clockwise runs
    // from (1, 0) down to (0, -1).
    o = outlineOf("0\nHATCH\n91\n1\n92\n1\n93\n1\n72\n2\n10\n0\n20\n0\n40\n1\n50\n0\n51\n90\n73\n0\n97\n0\n75\n1\n");
    ASSERT_EQ(o.arcs.size(), 1u);
    EXPECT_NEAR(o.minX, 0, 1e-12);
    EXPECT_NEAR(o.maxX, 1, 1e-12);
    EXPECT_NEAR(o.minY, -1, 1e-12);
    EXPECT_NEAR(o.maxY, 0, 1e-12);

    // Anchors: a mirrored TEXT's in its own axes (x runs west), an MTEXT's in the world's.
    o = outlineOf("0\nTEXT\n10\n3\n20\n1\n230\n-1\n0\nMTEXT\n10\n3\n20\n1\n230\n-1\n");
    ASSERT_EQ(o.marks.size(), 2u);
    EXPECT_EQ(o.marks[0].x, -3);
    EXPECT_EQ(o.marks[1].x, 3);
}

TEST(DrawingOutline, CarriedItIsTheOutlineOfTheDrawingCarried)
{
    // Every kind the plan draws, a mirrored arc and a hatch's arc edge among them.
    const std::string entities =
        "0\nLINE\n10\n1010\n20\n2020\n11\n1100\n21\n2100\n"
        "0\nLWPOLYLINE\n90\n3\n70\n1\n10\n1000\n20\n2000\n42\n0.4\n10\n1040\n20\n2000\n10\n1040\n20\n2030\n"
        "0\nCIRCLE\n10\n1200\n20\n2300\n40\n10\n0\nARC\n10\n1200\n20\n2300\n40\n10\n50\n30\n51\n350\n"
        "0\nARC\n10\n-1200\n20\n2300\n40\n10\n50\n30\n51\n120\n210\n0\n220\n0\n230\n-1\n"
        "0\nELLIPSE\n10\n1010\n20\n2020\n11\n5\n21\n2\n40\n0.5\n41\n0\n42\n3.14\n"
        "0\nTEXT\n10\n1005\n20\n2006\n40\n2.5\n1\nΣ1\n0\nINSERT\n2\nPOINTBLOCK\n10\n1300\n20\n2400\n"
        "0\nHATCH\n10\n0\n20\n0\n30\n0\n91\n1\n92\n1\n93\n1\n72\n2\n10\n1050\n20\n2050\n40\n5\n50\n10\n51\n100\n73\n0\n"
        "97\n0\n75\n1\n";
    TempFolder folder;
    test::writeBytes(folder / "p.par", "50\r\n 1000 \r\n 2000 \r\n3\r\n1.0002\r\n5000\r\n6000\r\n");
    test::writeBytes(folder / "d.dxf", drawingOf(entities));
    for (const bool inverse : {false, true}) {
        SCOPED_TRACE(inverse ? "back" : "forward");
        transformDrawing((folder / "c.dxf").string(), (folder / "d.dxf").string(), folder / "p.par", {inverse, false});
        const DrawingOutline want = readDrawingOutline(folder / "c.dxf");
        DrawingOutline got = readDrawingOutline(folder / "d.dxf");
        carryOutline(got, PlaneMapping(readParameterFile(folder / "p.par"), "p.par",
                                       inverse ? Direction::Inverse : Direction::Forward));
        ASSERT_EQ(got.vertices.size(), want.vertices.size());
        ASSERT_EQ(got.arcs.size(), want.arcs.size());
        ASSERT_EQ(got.marks.size(), want.marks.size());
        EXPECT_EQ(got.pathEnds, want.pathEnds);
        for (std::size_t i = 0; i < got.vertices.size(); ++i) {
            EXPECT_NEAR(got.vertices[i].x, want.vertices[i].x, 1e-6) << i;
            EXPECT_NEAR(got.vertices[i].y, want.vertices[i].y, 1e-6) << i;
        }
        for (std::size_t i = 0; i < got.arcs.size(); ++i) {
            EXPECT_NEAR(got.arcs[i].x, want.arcs[i].x, 1e-6) << i;
            EXPECT_NEAR(got.arcs[i].radius, want.arcs[i].radius, 1e-9) << i;
            EXPECT_NEAR(std::remainder(got.arcs[i].start - want.arcs[i].start, 2 * std::numbers::pi), 0, 1e-9) << i;
            EXPECT_NEAR(got.arcs[i].sweep, want.arcs[i].sweep, 1e-9) << i;
        }
        for (std::size_t i = 0; i < got.marks.size(); ++i)
            EXPECT_NEAR(got.marks[i].y, want.marks[i].y, 1e-6) << i;
        EXPECT_NEAR(got.minX, want.minX, 1e-6);
        EXPECT_NEAR(got.maxY, want.maxY, 1e-6);
    }
}

TEST(DrawingOutline, ADrawingThatDoesNotReadIsAFailureNamingTheLine)
{
    const std::pair<std::string, std::string> cases[] = {
        {"0\nLINE\nten\n1\n", "γραμμή 51"},
        {"0\nLINE\n10\n1,5\n", "γραμμή 52"},
    };
    for (const auto& [entities, where] : cases) {
        try {
            outlineOf(entities);
            ADD_FAILURE() << entities;
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(where), std::string::npos) << failure.what();
        }
    }
}

}  // namespace
}  // namespace tavrelo
