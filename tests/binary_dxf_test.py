#!/usr/bin/env python3
"""Binary DXF must give the same .SML bytes as the same drawing saved as
text. ezdxf saves one drawing both ways, for R12 (one-byte group codes) and
later versions (two-byte codes); symconv converts each file in a folder of
its own and every .SML must match byte for byte.

Usage: binary_dxf_test.py SYMCONV. Exit 77 (skipped) without ezdxf."""

import pathlib
import subprocess
import sys
import tempfile

try:
    import ezdxf
except ImportError:
    print("skipped: python3-ezdxf is not installed")
    sys.exit(77)


def build_drawing(version):
    doc = ezdxf.new(version)
    doc.appids.new("SYMCONV_TEST")
    # Values that have no short decimal form, a negative zero and a tiny one:
    # the doubles must come through bit for bit.
    awkward = [1 / 3, 0.1, -0.0, 1e-7, 12345.678901234567, -2 / 7]
    valve = doc.blocks.new("VALVE")
    valve.add_line((awkward[0], awkward[1]), (awkward[4], awkward[5]))
    valve.add_arc((awkward[3], 2.5), radius=awkward[1] * 7, start_angle=350.5,
                  end_angle=10.25)
    valve.add_circle((-1.5, awkward[2]), radius=2 / 3)
    # Mirrored like a CAD program writes mirrored arcs.
    valve.add_arc((3, 4), radius=1, start_angle=30, end_angle=120,
                  dxfattribs={"extrusion": (0, 0, -1)})
    line = valve.add_line((0, 0), (1, 1))
    line.set_xdata("SYMCONV_TEST", [(1000, "label"), (1004, b"\x00\x01\xfe"),
                                     (1040, 0.3), (1070, -5), (1071, 70000)])
    pipes = doc.blocks.new("PIPES")
    if version == "R12":
        pipes.add_polyline2d([(0, 0), (1 / 3, 2), (4, -1)], close=True)
    else:
        pipes.add_lwpolyline([(0, 0, 0, 0, 0.5), (1 / 3, 2, 0, 0, -1),
                              (4, -1, 0, 0, 0)], close=True)
    pipes.add_text("not converted")  # a passed-over entity
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 1 / 7))
    msp.add_circle((5, 5), radius=awkward[4])
    return doc


def convert(symconv, folder, name, save):
    folder.mkdir()
    save(folder / name)
    run = subprocess.run([symconv, "--yes", "--drawings", "--polylines",
                          str(folder)], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"symconv failed on {folder / name}:\n{run.stdout}"
                 f"{run.stderr}")
    return {p.name: p.read_bytes() for p in folder.glob("*.SML")}


def main():
    symconv = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        for version in ("R12", "R2000", "R2018"):
            doc = build_drawing(version)
            base = pathlib.Path(tmp) / version
            base.mkdir()
            text = convert(symconv, base / "text", "PARTS.DXF",
                           lambda p: doc.saveas(p))
            binary = convert(symconv, base / "binary", "PARTS.DXF",
                             lambda p: doc.saveas(p, fmt="bin"))
            if sorted(text) != ["PARTS.SML", "PIPES.SML", "VALVE.SML"]:
                failures.append(f"{version}: text gave {sorted(text)}")
            if sorted(binary) != sorted(text):
                failures.append(f"{version}: binary gave {sorted(binary)}, "
                                f"text {sorted(text)}")
            for name in sorted(set(text) & set(binary)):
                if text[name] != binary[name]:
                    failures.append(f"{version}: {name} differs")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
