#!/usr/bin/python3
"""Draws examples/survey.dxf, the plan of the example survey in its local system.

It reads examples/survey.txt (Pn,X,Y,h,D, Windows-1253) and draws, as a surveyor would in CAD:
the parcel boundary through its four corner points and the building at its corner and entrance
as closed polylines, the six stations as blocks with their point number and height as
attributes (at their height), the trees as circles, a few texts and the length of the
building's front as a dimension. DXF x is the file's X, y its Y, in metres. Saved as R2000
(AC1015) with Greek texts in Windows-1253, the code page of the survey files.

    python3 scripts/make_example_drawing.py [SURVEY] [DRAWING]

Needs python3-ezdxf. The output is the same on every run (no dates or random ids in it).
"""

import math
import os
import sys

import ezdxf
from ezdxf import bbox

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")


def read_survey(path):
    points = {}
    with open(path, encoding="cp1253", newline="") as f:
        for line in f.read().replace("\r\n", "\n").split("\n"):
            if not line.strip():
                continue
            pn, x, y, h, d = line.split(",", 4)
            points[pn] = (float(x), float(y), float(h), d)
    return points


def station_block(doc):
    """A station: a triangle about its centre with a cross, Pn above right, height below right."""
    block = doc.blocks.new("STATION")
    r = 1.2
    corners = [(r * math.cos(math.radians(a)), r * math.sin(math.radians(a))) for a in (90, 210, 330)]
    block.add_lwpolyline(corners, close=True, dxfattribs={"layer": "0"})
    block.add_line((-0.3, 0), (0.3, 0))
    block.add_line((0, -0.3), (0, 0.3))
    block.add_attdef("PN", (1.5, 0.6), dxfattribs={"height": 1.6, "prompt": "Point number"})
    block.add_attdef("H", (1.5, -1.8), dxfattribs={"height": 1.2, "prompt": "Height"})
    return block


def main():
    survey = sys.argv[1] if len(sys.argv) > 1 else os.path.join(EXAMPLES, "survey.txt")
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(EXAMPLES, "survey.dxf")
    points = read_survey(survey)
    xy = lambda pn: points[pn][:2]

    ezdxf.options.write_fixed_meta_data_for_testing = True  # no dates or random ids
    doc = ezdxf.new("R2000", setup=True, units=6)  # metres
    doc.encoding = "cp1253"
    doc.header["$INSUNITS"] = 6
    doc.header["$MEASUREMENT"] = 1
    for name, colour in (("BOUNDARY", 1), ("BUILDING", 5), ("STATIONS", 6), ("TREES", 94),
                         ("TEXT", 7), ("DIMENSIONS", 30)):
        doc.layers.add(name, color=colour)
    station_block(doc)
    msp = doc.modelspace()

    # The parcel through its four corner points (described "Γωνία οικοπέδου"), in turn.
    corners = [pn for pn, p in points.items() if p[3] == "Γωνία οικοπέδου"]
    cx = sum(xy(pn)[0] for pn in corners) / len(corners)
    cy = sum(xy(pn)[1] for pn in corners) / len(corners)
    corners.sort(key=lambda pn: math.atan2(xy(pn)[1] - cy, xy(pn)[0] - cx))
    msp.add_lwpolyline([xy(pn) for pn in corners], close=True,
                       dxfattribs={"layer": "BOUNDARY", "const_width": 0.15})

    # The building: its corner 16 and the entrance 13 give the front; 12 m front, 9 m deep.
    (x0, y0), (xe, ye) = xy("16"), xy("13")
    length = math.hypot(xe - x0, ye - y0)
    ux, uy = (xe - x0) / length, (ye - y0) / length
    vx, vy = -uy, ux
    front, depth = 12.0, 9.0
    building = [(x0, y0), (x0 + front * ux, y0 + front * uy),
                (x0 + front * ux + depth * vx, y0 + front * uy + depth * vy), (x0 + depth * vx, y0 + depth * vy)]
    msp.add_lwpolyline(building, close=True, dxfattribs={"layer": "BUILDING"})
    msp.add_aligned_dim(p1=building[0], p2=building[1], distance=-3.0,
                        dxfattribs={"layer": "DIMENSIONS"},
                        override={"dimtxt": 1.2, "dimasz": 0.8, "dimdec": 2, "dimexe": 0.5, "dimexo": 0.3}).render()

    # The stations, at their heights, with their number and height.
    for pn, (x, y, h, d) in points.items():
        if d.startswith("Στάση Σ"):
            insert = msp.add_blockref("STATION", (x, y, h), dxfattribs={"layer": "STATIONS"})
            insert.add_auto_attribs({"PN": pn, "H": "%.3f" % h})
            for attrib in insert.attribs:
                attrib.dxf.layer = "STATIONS"

    # The trees, 3 m across.
    for pn, (x, y, h, d) in points.items():
        if d == "Δένδρο":
            msp.add_circle((x, y), radius=1.5, dxfattribs={"layer": "TREES"})

    # Texts: the parcel, the building along its front, the entrance, the title.
    text = lambda s, at, height, rotation=0.0: msp.add_text(
        s, dxfattribs={"layer": "TEXT", "height": height, "rotation": rotation, "insert": at})
    text("ΟΙΚΟΠΕΔΟ", (cx - 14, cy - 16), 2.5)
    angle = math.degrees(math.atan2(uy, ux))
    text("ΚΤΙΡΙΟ", (x0 + 3 * ux + 4 * vx, y0 + 3 * uy + 4 * vy), 1.8, angle)
    text("Είσοδος", (xe + 0.5 * vx - 2.5 * ux, ye + 0.5 * vy - 2.5 * uy), 0.9, angle)
    text("Τοπογραφικό διάγραμμα - τοπικό σύστημα (m)", (2380, 3895), 3.0)

    extents = bbox.extents(msp, fast=True)  # texts by their boxes, whatever fonts are installed
    # Saving writes the model space layout's extents and limits into the header.
    msp.dxf.extmin = extents.extmin
    msp.dxf.extmax = extents.extmax
    msp.dxf.limmin = (extents.extmin.x, extents.extmin.y)
    msp.dxf.limmax = (extents.extmax.x, extents.extmax.y)
    doc.set_modelspace_vport(height=extents.size.y * 1.1, center=extents.center)
    doc.saveas(target)


if __name__ == "__main__":
    main()
