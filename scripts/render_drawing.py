#!/usr/bin/python3
"""Renders a DXF drawing's model space to a PNG with ezdxf's drawing add-on and matplotlib,
an outside reader's view of what Tavrelo read or wrote.

    python3 scripts/render_drawing.py DRAWING PICTURE [TITLE]

Needs python3-ezdxf and python3-matplotlib. Axes in drawing units, so the coordinates show.
"""

import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import ezdxf  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402


def main():
    drawing, picture = sys.argv[1], sys.argv[2]
    title = sys.argv[3] if len(sys.argv) > 3 else drawing
    doc = ezdxf.readfile(drawing)
    auditor = doc.audit()
    if auditor.has_errors:
        auditor.print_error_report()
        sys.exit(1)
    fig = plt.figure(figsize=(8, 8), dpi=100)
    ax = fig.add_axes([0.16, 0.08, 0.8, 0.84])
    ctx = RenderContext(doc)
    ctx.set_current_layout(doc.modelspace())
    paper = ctx.current_layout_properties
    paper.set_colors("#ffffff")  # paper white, colour 7 drawn black
    Frontend(ctx, MatplotlibBackend(ax)).draw_layout(doc.modelspace(), finalize=True, layout_properties=paper)
    ax.set_axis_on()
    ax.get_xaxis().set_visible(True)
    ax.get_yaxis().set_visible(True)
    ax.ticklabel_format(useOffset=False, style="plain")
    ax.tick_params(labelsize=8)
    ax.grid(True, color="#cccccc", linewidth=0.5)
    ax.set_title(title, fontsize=10)
    fig.savefig(picture, facecolor="white")


if __name__ == "__main__":
    main()
