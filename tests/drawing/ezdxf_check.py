"""A carried drawing read by an independent DXF library: it opens and passes its audit, and
every entity it can transform itself lands where the rewriter put it.

    ezdxf_check.py DRAWING PARAMS CARRIED [--inverse]
    ezdxf_check.py --cli TAVRELO_CLI FOLDER   (draws a survey with the library, carries it both ways)

Exit status 0 when all agree, 1 with the differences, 77 when the library is missing."""
import math
import sys

try:
    import ezdxf
    from ezdxf.math import Matrix44
except ImportError:
    print("python3-ezdxf is not installed")
    sys.exit(77)

K_PI = 3.1415927  # the save step's value of pi


def mapping(path, inverse):
    with open(path, "rb") as file:
        f, x1, y1, dh, k, x1n, y1n = (float(v) for v in file.read().decode("cp1253").splitlines()[:7])
    t = f * K_PI / 200
    forward = (Matrix44.translate(-x1, -y1, 0) @ Matrix44.scale(k, k, 1) @ Matrix44.z_rotate(-t)
               @ Matrix44.translate(x1n, y1n, -dh))
    if inverse:
        forward = forward.copy()
        forward.inverse()
    return forward


def close(a, b, scale):
    return abs(a - b) <= 1e-7 * max(1.0, abs(scale))


def values(entity):
    """The numbers of an entity by attribute name, vectors as their components."""
    out = {}
    for name, value in entity.dxfattribs().items():
        # The library leaves a hatch's pattern and seed points where they were, a multi-line's
        # width and a point's symbol angle as they were; the rewriter's own tests check them.
        if (entity.dxftype(), name) in (("MLINE", "scale_factor"), ("POINT", "angle")) or name in (
                "pattern_angle", "pattern_scale", "handle", "owner", "layer", "linetype", "style", "text", "name",
                "color", "flags"):
            continue
        if isinstance(value, (int, float)) and not isinstance(value, bool):
            out[name] = float(value)
        elif hasattr(value, "__len__") and len(value) in (2, 3) and all(isinstance(v, (int, float)) for v in value):
            for i, v in enumerate(value):
                out[f"{name}[{i}]"] = float(v)
    return out


def path_numbers(path):
    """The numbers of a hatch boundary path in order."""
    numbers = []
    if hasattr(path, "vertices"):
        for v in path.vertices:
            numbers += [v[0], v[1]]
        return numbers
    for edge in path.edges:
        for name in ("start", "end", "center", "radius", "start_angle", "end_angle", "major_axis"):
            value = getattr(edge, name, None)
            if value is None:
                continue
            numbers += list(value)[:2] if hasattr(value, "__len__") else [value]
        for p in list(getattr(edge, "control_points", [])) + list(getattr(edge, "fit_points", [])):
            numbers += [p[0], p[1]]
    return numbers


def angle_close(name, a, b):
    if "angle" in name or name == "rotation":
        d = (a - b) % 360
        return min(d, 360 - d) < 1e-7
    return False


def survey(path):
    """A small survey drawing with an entity of each family the library can transform."""
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    msp.add_line((1000, 2000, 5), (1050, 2060, 7))
    msp.add_point((1020, 2010, 3))
    msp.add_circle((1030, 2020), 10)
    msp.add_circle((-1030, 2020), 10, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_arc((1040, 2030), 5, 30, 120)
    msp.add_arc((-1040, 2030), 5, 30, 120, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_lwpolyline([(1000, 1000), (1010, 1000), (1010, 1020)], format="xy", dxfattribs={"elevation": 4})
    msp.add_text("Σ1", dxfattribs={"insert": (1001, 1002), "height": 2.5, "rotation": 15})
    msp.add_text("Σ2", dxfattribs={"insert": (1001, 1002), "height": 2.5})  # no rotation written
    msp.add_point((1020, 2010, 3), dxfattribs={"angle": 30})
    station = doc.blocks.new("ST")
    station.add_circle((0, 0), 1)
    station.add_attdef("PN", (1, 1), dxfattribs={"height": 1})
    insert = msp.add_blockref("ST", (1200, 1300, 10), dxfattribs={"rotation": 20, "xscale": 2, "yscale": 2})
    insert.add_attrib("PN", "Σ2", (1201, 1301))
    msp.add_ellipse((1050, 1060), major_axis=(10, 5), ratio=0.5)
    msp.add_mtext("κείμενο", dxfattribs={"insert": (1010, 1020), "char_height": 2, "width": 30, "rotation": 30})
    msp.add_mtext("text", dxfattribs={"insert": (1010, 1020), "char_height": 2, "text_direction": (1, 1, 0)})
    msp.add_mtext("no direction", dxfattribs={"insert": (1010, 1020), "char_height": 2})
    msp.add_blockref("ST", (1200, 1300))  # no scale, no rotation written
    hatch = msp.add_hatch()
    hatch.paths.add_polyline_path([(1000, 1000), (1010, 1000), (1010, 1010)])
    edges = hatch.paths.add_edge_path()
    edges.add_line((1000, 1000), (1005, 1000))
    edges.add_arc((1005, 1005), 5, -90, 90)
    edges.add_arc((1005, 1005), 5, 10, 100, ccw=False)
    edges.add_ellipse((1001, 1002), (3, 1), 0.5, 10, 80)
    edges.add_line((1005, 1010), (1000, 1000))
    hatch.set_pattern_fill("ANSI31", scale=2)
    msp.add_linear_dim(base=(1000, 1020), p1=(1000, 1000), p2=(1010, 1000), angle=0).render()
    msp.add_aligned_dim(p1=(1000, 1000), p2=(1010, 1010), distance=2).render()
    msp.add_radius_dim(center=(1030, 2020), radius=10, angle=45).render()
    msp.add_spline([(1000, 1000), (1010, 1010), (1020, 1000), (1030, 1005)])
    msp.add_solid([(1000, 1000), (1001, 1000), (1000, 1001)])
    msp.add_3dface([(1000, 1000, 1), (1001, 1000, 1), (1001, 1001, 2)])
    msp.add_polyline2d([(1001, 1001), (1002, 1003), (1004, 1004)])
    msp.add_polyline3d([(1001, 1001, 1), (1002, 1003, 4), (1004, 1004, 4)])
    msp.add_leader([(1000, 1000), (1010, 1010), (1020, 1010)])
    msp.add_mline([(1000, 1000), (1010, 1000), (1010, 1020)])
    msp.add_polyface().append_face([(1000, 1000, 1), (1001, 1000, 1), (1001, 1001, 2)])
    mirrored = {"extrusion": (0, 0, -1)}
    msp.add_text("Σ3", dxfattribs={"insert": (-1001, 1002), "height": 2.5, "rotation": 15, **mirrored})
    msp.add_blockref("ST", (-1200, 1300, 10), dxfattribs={"rotation": 20, "xscale": 2, "yscale": 3, **mirrored})
    msp.add_lwpolyline([(-1000, 1000), (-1010, 1000, 0, 0, 0.3)], format="xyseb", dxfattribs={"elevation": 3, **mirrored})
    msp.add_angular_dim_2l(base=(1005, 1010), line1=((1000, 1000), (1010, 1000)),
                           line2=((1000, 1000), (1010, 1010))).render()
    msp.add_diameter_dim(center=(1030, 2020), radius=10, angle=45).render()
    msp.add_xline((1005, 1005), (1, 0))
    msp.add_ray((1005, 1005), (0, 1))
    doc.saveas(path)


def run_cli(cli, folder):
    import os
    import subprocess
    os.makedirs(folder, exist_ok=True)
    drawing, params = os.path.join(folder, "survey.dxf"), os.path.join(folder, "survey.par")
    survey(drawing)
    with open(params, "wb") as f:
        f.write(b"50\r\n 1000 \r\n 2000 \r\n3\r\n1.0002\r\n5000\r\n6000\r\n")
    status = 0
    for source, result, extra in (("survey.dxf", "target.dxf", []), ("target.dxf", "back.dxf", ["--inverse"])):
        source, result = os.path.join(folder, source), os.path.join(folder, result)
        subprocess.run([cli, "dxf", params, source, result] + extra, check=True, stdout=subprocess.DEVNULL)
        sys.argv = [sys.argv[0], source, params, result] + extra
        status |= check()
    return status


def main():
    if sys.argv[1] == "--cli":
        return run_cli(sys.argv[2], sys.argv[3])
    return check()


def check():
    drawing, params, carried = sys.argv[1:4]
    inverse = "--inverse" in sys.argv[4:]
    doc = ezdxf.readfile(carried)
    auditor = doc.audit()
    problems = [str(e) for e in auditor.errors]

    expected = ezdxf.readfile(drawing)
    m = mapping(params, inverse)
    for e in expected.modelspace():
        e.transform(m)
    for want in expected.modelspace():
        got = doc.entitydb.get(want.dxf.handle)
        if got is None:
            problems.append(f"{want.dxftype()} {want.dxf.handle} missing")
            continue
        a, b = values(want), values(got)
        for name in ("text_direction", "unit_vector", "horizontal_direction"):
            # A direction: only where it points counts.
            for d in (a, b):
                n = math.hypot(*(d.get(f"{name}[{i}]", 0.0) for i in range(3))) or 1.0
                for i in range(3):
                    if f"{name}[{i}]" in d:
                        d[f"{name}[{i}]"] /= n
        for name in a:
            if name in b and not close(a[name], b[name], a[name]) and not angle_close(name, a[name], b[name]):
                problems.append(f"{want.dxftype()} {want.dxf.handle} {name}: library {a[name]!r}, rewriter {b[name]!r}")
        if want.dxftype() == "LWPOLYLINE":
            for p, q in zip(want.get_points("xy"), got.get_points("xy")):
                if not (close(p[0], q[0], p[0]) and close(p[1], q[1], p[1])):
                    problems.append(f"LWPOLYLINE {want.dxf.handle} vertex {p} against {q}")
        if want.dxftype() == "HATCH":
            for p, q in zip(want.paths, got.paths):
                for u, v in zip(path_numbers(p), path_numbers(q)):
                    if not close(u, v, u) and not ((u - v) % 360 < 1e-7 or (v - u) % 360 < 1e-7):
                        problems.append(f"HATCH {want.dxf.handle} path: library {u!r}, rewriter {v!r}")
        if want.dxftype() == "SPLINE":
            for p, q in zip(want.control_points, got.control_points):
                if any(not close(u, v, u) for u, v in zip(p, q)):
                    problems.append(f"SPLINE {want.dxf.handle} control point {p} against {q}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
