#!/usr/bin/python3
"""Writes the sample DXF files of the DXF reader's tests, one per DXF version.

Run once by hand with Debian's python3-ezdxf (0.18.1); the files are kept
with the sources and the build never runs this script.

Every file holds the same drawing:
  VALVE  a line (0,0,0)-(10,5,0), a circle (2,3,0) r 1, an arc (1,2,0) r 3
         from 0 to 90 degrees;
  PUMP   a polyline and a text "CIRCLE" (passed over), a line on layer "10"
         with colour 10, an arc with start angle past its end, a circle
         with a nonzero z;
  EMPTY  no entity;
  an anonymous block (*U...), skipped like model and paper space;
  a layer named BLOCKS in the tables, and entities in model space.
"""

import ezdxf

VERSIONS = ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]
# Header variables kept (the others are dropped to keep the files small).
KEEP = {"$ACADVER", "$HANDSEED", "$DWGCODEPAGE", "$INSBASE", "$EXTMIN",
        "$EXTMAX", "$CLAYER", "$DIMSTYLE", "$INSUNITS"}


def make(version):
    doc = ezdxf.new(version)
    for name in list(doc.header.varnames()):
        if name not in KEEP:
            del doc.header[name]
    doc.layers.add("BLOCKS")
    doc.layers.add("10")

    valve = doc.blocks.new("VALVE")
    valve.add_line((0, 0, 0), (10, 5, 0))
    valve.add_circle((2, 3, 0), 1)
    valve.add_arc((1, 2, 0), 3, 0, 90)

    pump = doc.blocks.new("PUMP", base_point=(5, 5, 0))
    if version == "R12":
        pump.add_polyline2d([(0, 0), (4, 0), (4, 4)])
    else:
        pump.add_lwpolyline([(0, 0), (4, 0), (4, 4)])
    pump.add_text("CIRCLE", dxfattribs={"layer": "LINE", "height": 2.5})
    pump.add_line((-1.5, 2.25, 0.5), (3, -4, 1),
                  dxfattribs={"layer": "10", "color": 10})
    pump.add_arc((0.125, -7, 0), 2.5, 270, 45)
    pump.add_circle((20, 30, 4), 0.75)

    doc.blocks.new("EMPTY")
    anonymous = doc.blocks.new_anonymous_block()
    anonymous.add_line((0, 0), (1, 1))

    msp = doc.modelspace()
    msp.add_blockref("VALVE", (100, 100))
    msp.add_line((0, 0), (50, 50))
    doc.saveas(f"blocks_{version.lower()}.dxf")


if __name__ == "__main__":
    for v in VERSIONS:
        make(v)
