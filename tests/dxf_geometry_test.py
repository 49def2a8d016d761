#!/usr/bin/env python3
"""Checks inserts (with dimensions and leaders), curves and outlines against ezdxf as an independent
reference: every shape of each converted symbol lies within the tolerance
of the path that ezdxf draws for the block (inserts expanded with
virtual_entities, curves flattened), and every point of that path lies
within the tolerance of a shape.

Usage: dxf_geometry_test.py SYMCONV.  Exit 77 (skipped) without ezdxf."""

import json
import math
import os
import subprocess
import sys
import tempfile

try:
    import ezdxf
    import numpy as np
    from ezdxf import path as ezpath
    from ezdxf.entities.boundary_paths import BoundaryPathType, EdgeType
    from ezdxf.math import (BSpline, ConstructionArc, Vec3, bulge_to_arc,
                            closed_uniform_bspline)
except ImportError as error:
    print(f"skipped: {error} (Debian: python3-ezdxf)")
    sys.exit(77)

TOLERANCE = 0.002


def build_drawing():
    doc = ezdxf.new("R2018")
    inner = doc.blocks.new("INNER", base_point=(0.5, 0.25))
    inner.add_line((0, 0), (1, 0))
    inner.add_arc((0, 0), 1, 10, 100)
    inner.add_circle((2, 2), 0.5)
    inner.add_lwpolyline([(0, 3, 0, 0, 0.5), (1, 3, 0, 0, -1), (1, 4)],
                         format="xyseb")
    mid = doc.blocks.new("MID")
    mid.add_blockref("INNER", (3, 1), dxfattribs={
        "rotation": 30, "xscale": 2, "yscale": 2})
    mid.add_arc((0, 0), 2, 300, 45)
    cases = {}

    def case(name):
        if name not in cases:
            cases[name] = doc.blocks.new(name)
        return cases[name]

    case("NESTED").add_blockref("MID", (1, 2), dxfattribs={
        "rotation": 15, "extrusion": (0, 0, -1)})
    case("MIRRORED").add_blockref("MID", (0, 0), dxfattribs={
        "xscale": -1.5, "yscale": 1.5, "rotation": 200})
    # ezdxf cannot explode a rotated insert inside an unevenly scaled one
    # (the result is sheared), so the uneven scale applies to INNER alone.
    case("UNEVEN").add_blockref("INNER", (2, 0), dxfattribs={
        "xscale": 2, "yscale": -0.5, "rotation": 20})
    case("MINSERT").add_blockref("INNER", (0, 0), dxfattribs={
        "column_count": 3, "row_count": 2, "column_spacing": 6,
        "row_spacing": 7, "rotation": 15, "xscale": 1.5, "yscale": 1.5})
    anonymous = doc.blocks.new_anonymous_block("U")
    anonymous.add_circle((1, 1), 3)
    anonymous.add_line((0, 0), (4, 1))
    case("ANONYMOUS").add_blockref(anonymous.name, (5, 5), dxfattribs={
        "rotation": 45})
    case("ELLIPSES").add_ellipse((1, 2), (4, 1.5), 0.4, 5.5, 0.8)
    case("ELLIPSES").add_ellipse((9, 2), (0, 3), 0.7)
    case("ELLIPSES").add_ellipse((1, 9), (2, -2), 0.5, 1, 4).dxf.extrusion = (
        0, 0, -1)
    points = [(0, 0), (3, 5), (6, -2), (9, 4), (12, 0), (14, 6)]
    case("SPLINES").add_open_spline(points, degree=2)
    case("SPLINES").add_open_spline([(x, y + 10) for x, y in points], degree=3)
    closed = case("SPLINES").add_spline()
    closed.apply_construction_tool(closed_uniform_bspline(
        [(0, 20), (4, 26), (9, 21), (6, 16), (2, 17)], order=4))
    closed.closed = True
    case("SPLINES").add_rational_spline(
        [(0, 30), (5, 36), (10, 30), (14, 35)], [1, 3, 0.5, 2], degree=3)
    case("SPLINES").add_spline([(0, 40), (4, 44), (8, 41), (12, 45)])
    hatch = case("HATCH").add_hatch()
    edges = hatch.paths.add_edge_path()
    edges.add_line((0, 0), (10, 0))
    edges.add_arc((10, 3), 3, 270, 90, ccw=True)
    edges.add_ellipse((5, 6), (-5, 0), 0.4, 0, 180, ccw=True)
    edges.add_spline(control_points=[(0, 6), (-2, 4), (1, 2), (0, 0)],
                     knot_values=[0, 0, 0, 0, 1, 1, 1, 1], degree=3)
    hatch.paths.add_polyline_path(
        [(2, 1, 0), (4, 1, 0.6), (4, 3, 0), (2, 3, -0.3)], is_closed=True)
    arcs = hatch.paths.add_edge_path()
    arcs.add_arc((15, 3), 2, 30, 300, ccw=False)
    arcs.add_line((15 + 2 * math.cos(math.radians(-30)),
                   3 + 2 * math.sin(math.radians(-30))),
                  (15 + 2 * math.cos(math.radians(-300)),
                   3 + 2 * math.sin(math.radians(-300))))
    case("OUTLINES").add_solid([(0, 0), (4, 0), (0, 3), (4, 4)])
    case("OUTLINES").add_trace([(6, 0), (9, 0), (6, 2)])
    case("OUTLINES").add_3dface([(10, 0), (14, 1), (13, 5), (10, 4)])
    case("OUTLINES").add_solid([(0, 10), (4, 10), (0, 13)]).dxf.extrusion = (
        0, 0, -1)
    dims = case("DIMENSIONS")
    dims.add_linear_dim(base=(3, 2), p1=(0, 0), p2=(5, 0)).render()
    dims.add_linear_dim(base=(12, 4), p1=(9, 0), p2=(13, 3),
                        angle=60).render()
    dims.add_aligned_dim(p1=(0, 8), p2=(6, 12), distance=1.5).render()
    dims.add_radius_dim(center=(20, 5), radius=3, angle=30).render()
    # A copy made by continued dimensioning: moved by its insertion point.
    moved = dims.add_linear_dim(base=(3, -4), p1=(0, -6), p2=(4, -6))
    moved.render()
    moved.dimension.dxf.insert = (1, 30, 0)
    case("LEADERS").add_leader([(0, 0), (2, 3), (6, 3)],
                               dxfattribs={"has_arrowhead": 0})
    case("LEADERS").add_leader([(1, -1, 0), (4, -5, 0)],
                               dxfattribs={"has_arrowhead": 0})
    return doc, cases


def expand(entity):
    if entity.dxftype() in ("DIMENSION", "LEADER"):
        for child in entity.virtual_entities():
            yield from expand(child)
    elif entity.dxftype() == "INSERT":
        copies = entity.multi_insert() if entity.mcount > 1 else [entity]
        for copy in copies:
            for child in copy.virtual_entities():
                yield from expand(child)
    else:
        yield entity


def hatch_polylines(hatch, step):
    """The boundary paths of a HATCH in the drawing plane, edge by edge."""
    for boundary in hatch.paths:
        if boundary.type == BoundaryPathType.POLYLINE:
            vertices = list(boundary.vertices)
            if boundary.is_closed:
                vertices.append(vertices[0])
            for (x1, y1, bulge), (x2, y2, _) in zip(vertices, vertices[1:]):
                if bulge:
                    centre, start, end, radius = bulge_to_arc(
                        (x1, y1), (x2, y2), bulge)
                    yield ConstructionArc(
                        centre, radius, math.degrees(start),
                        math.degrees(end)).flattening(step)
                else:
                    yield [Vec3(x1, y1), Vec3(x2, y2)]
            continue
        for edge in boundary.edges:
            if edge.type == EdgeType.LINE:
                yield [Vec3(edge.start), Vec3(edge.end)]
            elif edge.type == EdgeType.SPLINE:
                yield BSpline(edge.control_points, edge.degree + 1,
                              edge.knot_values,
                              edge.weights or None).flattening(step)
            else:
                yield edge.construction_tool().flattening(step)


def reference_polylines(block):
    """Points on the true paths (arcs and curves evaluated exactly, not as
    Bezier curves), at most TOLERANCE / 50 apart from the path between
    them."""
    step = TOLERANCE / 50
    polylines = []
    for entity in block:
        for part in expand(entity):
            kind = part.dxftype()
            if kind in ("LWPOLYLINE", "POLYLINE"):
                parts = list(part.virtual_entities())
            else:
                parts = [part]
            for piece in parts:
                kind = piece.dxftype()
                if kind in ("MTEXT", "TEXT", "POINT"):
                    continue  # not drawn without --text; points never
                if kind == "LINE":
                    paths = [[piece.dxf.start, piece.dxf.end]]
                elif kind in ("ARC", "CIRCLE"):
                    paths = [piece.flattening(step)]
                elif kind in ("ELLIPSE", "SPLINE"):
                    paths = [piece.flattening(step, segments=16)]
                elif kind == "HATCH":
                    paths = hatch_polylines(piece, step)
                else:  # outlines: straight edges only
                    paths = [sub.flattening(step) for sub in
                             ezpath.make_path(piece).sub_paths()]
                for p in paths:
                    points = [(v.x, v.y) for v in p]
                    if len(points) >= 2:
                        polylines.append(np.array(points))
    return polylines


def shape_samples(symbol):
    """Points along every stored shape, in drawing coordinates, and the
    shapes for distance queries."""
    origin = symbol["origin"]
    extents = symbol["extents"]
    sx = origin[0] + extents["min_x"]
    sy = origin[1] + extents["max_y"]

    def to_drawing(x, y):
        return (x - sx, -(y - sy))

    lines, arcs = [], []
    for line in symbol["lines"]:
        lines.append((to_drawing(*line["start"][:2]),
                      to_drawing(*line["end"][:2])))
    for arc in symbol["arcs"]:
        cx, cy = arc["centre"][:2]
        # Stored with the y axis down, running to decreasing angles: in
        # drawing coordinates counter-clockwise from -start to -end.
        start = -math.degrees(arc["start"])
        sweep = math.degrees(arc["start"] - arc["end"]) % 360
        arcs.append((to_drawing(cx, cy), arc["radius"], start, sweep))
    for circle in symbol["circles"]:
        arcs.append((to_drawing(*circle["centre"][:2]), circle["radius"], 0,
                     360))
    samples = []
    for a, b in lines:
        for f in np.linspace(0, 1, 9):
            samples.append((a[0] + f * (b[0] - a[0]), a[1] + f * (b[1] - a[1])))
    for (cx, cy), r, start, sweep in arcs:
        for f in np.linspace(0, 1, 17):
            t = math.radians(start + f * sweep)
            samples.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return np.array(samples), lines, arcs


def distance_to_polylines(points, polylines):
    best = np.full(len(points), np.inf)
    for poly in polylines:
        a, b = poly[:-1], poly[1:]
        d = b - a
        dd = np.maximum((d * d).sum(axis=1), 1e-300)
        for i in range(0, len(points), 512):
            q = points[i:i + 512, None, :]
            f = np.clip(((q - a) * d).sum(axis=2) / dd, 0, 1)
            closest = a + f[..., None] * d
            dist = np.sqrt(((q - closest) ** 2).sum(axis=2)).min(axis=1)
            best[i:i + 512] = np.minimum(best[i:i + 512], dist)
    return best


def distance_to_shapes(points, lines, arcs):
    best = np.full(len(points), np.inf)
    if lines:
        polylines = [np.array([a, b]) for a, b in lines]
        best = np.minimum(best, distance_to_polylines(points, polylines))
    for (cx, cy), r, start, sweep in arcs:
        v = points - (cx, cy)
        turn = (np.degrees(np.arctan2(v[:, 1], v[:, 0])) - start) % 360
        on_arc = np.abs(np.hypot(v[:, 0], v[:, 1]) - r)
        ends = []
        for angle in (start, start + sweep):
            t = math.radians(angle)
            e = (cx + r * math.cos(t), cy + r * math.sin(t))
            ends.append(np.hypot(points[:, 0] - e[0], points[:, 1] - e[1]))
        dist = np.where(turn <= sweep + 1e-9, on_arc, np.minimum(*ends))
        best = np.minimum(best, dist)
    return best


def main():
    symconv = sys.argv[1]
    doc, cases = build_drawing()
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        doc.saveas(os.path.join(folder, "CASES.DXF"))
        run = subprocess.run(
            [symconv, "--yes", "--polylines", "--inserts", "--curves",
             "--outlines", "--tolerance", str(TOLERANCE), folder],
            capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"symconv failed: {run.stdout}{run.stderr}")
        for name, block in cases.items():
            sml = os.path.join(folder, name + ".SML")
            if not os.path.exists(sml):
                failures.append(f"{name}: no symbol")
                continue
            symbol = json.loads(subprocess.run(
                [symconv, "inspect", "--json", sml], capture_output=True,
                text=True, check=True).stdout)
            reference = reference_polylines(block)
            samples, lines, arcs = shape_samples(symbol)
            # Shapes near the reference path; the reference near a shape.
            away = distance_to_polylines(samples, reference).max()
            points = np.concatenate(reference)
            missed = distance_to_shapes(points, lines, arcs).max()
            limit = TOLERANCE + 1e-6
            print(f"{name}: {len(lines)} lines, {len(arcs)} arcs/circles, "
                  f"shape to reference {away:.2e}, reference to shape "
                  f"{missed:.2e}")
            if away > limit or missed > limit:
                failures.append(f"{name}: beyond {TOLERANCE}")
    for failure in failures:
        print("FAILED", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
