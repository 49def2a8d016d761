#!/usr/bin/python3
"""Checks an SVG picture or an HTML sheet that symconv wrote.

The file must be well-formed XML; every svg in it must draw each shape
inside its extents frame (with a tolerance of a millionth of the symbol's
size) and inside its viewBox; an HTML page must load nothing from outside.
Prints the totals as one JSON object; --lines, --arcs, --circles, --svgs,
--tiles and --errors make it fail unless the totals match.
Exit status 0 when all holds, 1 otherwise.
"""
import argparse
import json
import re
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
XHTML = "{http://www.w3.org/1999/xhtml}"


def numbers(text):
    return [float(v) for v in re.findall(r"[-+]?[0-9.]+(?:e[-+]?[0-9]+)?", text)]


def path_points(d):
    """The end points of M, L and A commands of a path."""
    points = []
    for command, args in re.findall(r"([MLA])([^MLA]*)", d):
        values = numbers(args)
        if command == "A":
            if len(values) != 7:
                raise ValueError("arc command with %d values" % len(values))
            if values[3] != 0 or values[4] != 0:
                raise ValueError("arc piece not drawn small and anticlockwise")
            points.append((values[5], values[6]))
        else:
            points.append((values[0], values[1]))
    return points


def shape_points(element, kind):
    a = element.attrib
    if kind == "line":
        return [(float(a["x1"]), float(a["y1"])), (float(a["x2"]), float(a["y2"]))]
    if kind == "circle":
        cx, cy, r = float(a["cx"]), float(a["cy"]), float(a["r"])
        return [(cx - r, cy - r), (cx + r, cy + r)]
    return path_points(a["d"])


def check_svg(svg, totals, problems):
    totals["svgs"] += 1
    vx, vy, vw, vh = numbers(svg.attrib["viewBox"])
    frame = None
    for rect in svg.iter(SVG + "rect"):
        if rect.get("class") == "extents":
            frame = [float(rect.get(k)) for k in ("x", "y", "width", "height")]
    groups = [g for g in svg.iter(SVG + "g") if g.get("class") == "shapes"]
    if len(groups) != 1:
        problems.append("an svg without exactly one group of shapes")
        return
    size = max(vw, vh)
    # Strokes are in drawing units: between half a pixel and a few pixels
    # wide at the picture's size, whatever the symbol's size.
    pixels_per_unit = float(svg.get("width")) / vw
    stroke = float(groups[0].get("stroke-width", "nan")) * pixels_per_unit
    if not 0.5 <= stroke <= 4:
        problems.append("shapes drawn %g pixels wide" % stroke)
    slack = 1e-6 * size
    for element in groups[0]:
        kind = element.get("class")
        tag = element.tag[len(SVG):]
        expected_tag = {"line": "line", "arc": "path", "circle": "circle"}.get(kind)
        if tag != expected_tag:
            problems.append("unexpected element %s of class %s" % (tag, kind))
            continue
        totals[kind + "s"] += 1
        for x, y in shape_points(element, kind):
            if not (vx - slack <= x <= vx + vw + slack and
                    vy - slack <= y <= vy + vh + slack):
                problems.append("%s point (%g, %g) outside the viewBox" % (kind, x, y))
            if frame and not (frame[0] - slack <= x <= frame[0] + frame[2] + slack and
                              frame[1] - slack <= y <= frame[1] + frame[3] + slack):
                problems.append("%s point (%g, %g) outside the extents" % (kind, x, y))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("file")
    for name in ("lines", "arcs", "circles", "svgs", "tiles", "errors"):
        parser.add_argument("--" + name, type=int)
    args = parser.parse_args()
    try:
        root = ET.parse(args.file).getroot()
    except ET.ParseError as e:
        print("not well-formed XML: %s" % e)
        return 1
    totals = {"svgs": 0, "lines": 0, "arcs": 0, "circles": 0, "tiles": 0, "errors": 0}
    problems = []
    svgs = [root] if root.tag == SVG + "svg" else list(root.iter(SVG + "svg"))
    for svg in svgs:
        check_svg(svg, totals, problems)
    if root.tag == XHTML + "html":
        for element in root.iter():
            if element.tag.endswith("script") or "src" in element.attrib or \
                    "href" in element.attrib:
                problems.append("the page refers to something outside: %s" % element.tag)
        for figure in root.iter(XHTML + "figure"):
            totals["tiles"] += 1
            if "error" in figure.get("class", "").split():
                totals["errors"] += 1
    for name, want in vars(args).items():
        if name != "file" and want is not None and totals[name] != want:
            problems.append("%d %s, expected %d" % (totals[name], name, want))
    print(json.dumps(totals))
    for problem in problems[:20]:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
