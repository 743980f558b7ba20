# Makes door.dxf, the block drawing of the block tests, with ezdxf (an
# independent DXF implementation): a door leaf on layer DOOR and three
# attribute definitions, one invisible and one constant.
#
#   /usr/bin/python3 make_door.py door.dxf
import sys

import ezdxf

doc = ezdxf.new("R2000")
msp = doc.modelspace()
doc.layers.add("DOOR", color=3)
msp.add_lwpolyline([(0, 0), (9, 0), (9, 21), (0, 21)], close=True, dxfattribs={"layer": "DOOR"})
msp.add_line((0, 0), (9, 21), dxfattribs={"layer": "DOOR"})
msp.add_attdef("NUMBER", (1, 22), "D-01", dxfattribs={"height": 1.5})
width = msp.add_attdef("WIDTH", (1, -2), "900", dxfattribs={"height": 1.0})
width.is_invisible = True
maker = msp.add_attdef("MAKER", (1, -4), "Halvorn", dxfattribs={"height": 1.0})
maker.is_const = True
doc.saveas(sys.argv[1])
