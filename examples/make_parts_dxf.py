#!/usr/bin/python3
"""Writes PARTS.DXF, a small block library, with Debian's python3-ezdxf.

Run once by hand; the output is committed and the build never runs this.
"""
import ezdxf

doc = ezdxf.new("R2000")

diode = doc.blocks.new(name="DIODE")
diode.add_line((0, 0), (3, 0))
diode.add_line((3, -1.5), (3, 1.5))
diode.add_line((3, 1.5), (5.5, 0))
diode.add_line((5.5, 0), (3, -1.5))
diode.add_line((5.5, -1.5), (5.5, 1.5))
diode.add_line((5.5, 0), (8.5, 0))

capacitor = doc.blocks.new(name="CAPACITOR")
capacitor.add_line((0, 0), (3.5, 0))
capacitor.add_line((3.5, -2), (3.5, 2))
capacitor.add_arc((6.5, 0), 2.5, 143.13, 216.87)
capacitor.add_line((4.5, 0), (8, 0))
capacitor.add_text("C", dxfattribs={"height": 1}).set_placement((3, 2.5))

motor = doc.blocks.new(name="MOTOR")
motor.add_circle((0, 0), 4)
motor.add_line((-2, -1.5), (-2, 1.5))
motor.add_line((-2, 1.5), (0, -0.5))
motor.add_line((0, -0.5), (2, 1.5))
motor.add_line((2, 1.5), (2, -1.5))
motor.add_lwpolyline([(-6, 0), (-4, 0)])

msp = doc.modelspace()
for i, name in enumerate(["DIODE", "CAPACITOR", "MOTOR"]):
    msp.add_blockref(name, (i * 15, 0))

doc.saveas("PARTS.DXF")
