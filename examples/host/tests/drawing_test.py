"""The extension tool's drawing commands in the host, checked with ezdxf.

On a fresh machine with the installed layout (MWLoadLibrary brings in
MWCommonModule and MWExtensionTool), the host runs titledframe.scr on a new
drawing and saves it as DXF; ezdxf, an independent DXF implementation, then
reads what the commands made: entity kinds, layers, attributes and WCS
coordinates. The block drawing is made by ezdxf too (make_door.py).

    drawing_test.py BUILD SOURCE
"""
import math
import pathlib
import shutil
import subprocess
import sys
import tempfile

import ezdxf

build = pathlib.Path(sys.argv[1])
source = pathlib.Path(sys.argv[2])
binaries = build / "bin"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def near(a, b, tolerance=1e-6):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


# The script's UCS: origin (100, 50, 0), turned 30 degrees about Z.
ANGLE = math.radians(30)


def wcs(x, y):
    c, s = math.cos(ANGLE), math.sin(ANGLE)
    return (100 + x * c - y * s, 50 + x * s + y * c, 0.0)


with tempfile.TemporaryDirectory() as work:
    machine = pathlib.Path(work) / "machine"
    subprocess.run([binaries / "winsim", "new", machine], check=True, stdout=subprocess.DEVNULL)
    c_drive = machine / "drives" / "c"
    installation = c_drive / "Program Files" / "Merrowin" / "DWG Merrowin"
    (installation / "Bin").mkdir(parents=True)
    (installation / "MWTools").mkdir()
    shutil.copy(binaries / "korax", installation / "korax.exe")
    for name in ("koraxkwlres.dll", "expressres.dll"):
        shutil.copy(binaries / name, installation)
    shutil.copy(binaries / "BCGCBPRO2510u100.dll", installation / "Bin")
    for name in ("MWLoadLibrary.krx", "MWCommonModule.krx", "MWExtensionTool.krx"):
        shutil.copy(binaries / name, installation / "MWTools")
    (c_drive / "Blocks").mkdir()
    subprocess.run(["/usr/bin/python3", source / "commonmodule" / "tests" / "data" / "make_door.py",
                    c_drive / "Blocks" / "door.dxf"], check=True)
    shutil.copy(source / "examples" / "host" / "titledframe.scr", c_drive / "titledframe.scr")

    host = (r'"C:\Program Files\Merrowin\DWG Merrowin\korax.exe" '
            r'--load "C:\Program Files\Merrowin\DWG Merrowin\MWTools\MWLoadLibrary.krx" '
            r'--script C:\titledframe.scr --saveas C:\titledframe.dxf')
    run = subprocess.run([binaries / "winsim", "run", machine, host], capture_output=True, text=True)
    output = run.stdout
    if run.returncode != 0:
        print(output, run.stderr)
        sys.exit("the host failed")

    check('The frame "Merrowin sample sheet" has 8 objects on MW_FRAME, MW_TITLE and MW_DIMS.' in output,
          "MWFRAME did not report its 8 objects")
    check("Inserted C:\\Blocks\\door.dxf with 2 attributes: NUMBER=D-07 WIDTH=1000" in output,
          "MWINSERT did not report the attribute values")
    check("5 objects on MW_FRAME lie within" in output, "MWEXTENTS did not measure the frame's lines")

    doc = ezdxf.readfile(c_drive / "titledframe.dxf")
    auditor = doc.audit()
    check(not auditor.has_errors, f"ezdxf finds errors: {[str(e.message) for e in auditor.errors]}")
    msp = doc.modelspace()
    for name, color in (("MW_FRAME", 7), ("MW_TITLE", 2), ("MW_DIMS", 1), ("MW_BLOCKS", 4), ("DOOR", 3)):
        check(name in doc.layers, f"layer {name} is missing")
        if name in doc.layers:
            check(doc.layers.get(name).color == color, f"layer {name} has colour {doc.layers.get(name).color}")
    # Each command left the user's current layer as it was.
    check(doc.header.get("$CLAYER") == "0", f"the current layer is {doc.header.get('$CLAYER')}")

    # The frame: four sides and the title strip, in the turned UCS.
    lines = msp.query("LINE")
    check(len(lines) == 5 and all(line.dxf.layer == "MW_FRAME" for line in lines), "the frame is not 5 lines")
    corners = [(0, 0), (200, 0), (200, 120), (0, 120)]
    for i, corner in enumerate(corners):
        start, end = wcs(*corner), wcs(*corners[(i + 1) % 4])
        check(any(near(line.dxf.start, start) and near(line.dxf.end, end) for line in lines),
              f"no side from {start} to {end}")
    check(any(near(line.dxf.start, wcs(0, 12)) and near(line.dxf.end, wcs(200, 12)) for line in lines),
          "no title strip line")

    texts = msp.query("TEXT")
    check(len(texts) == 2 and all(text.dxf.layer == "MW_TITLE" for text in texts), "the title block is not 2 texts")
    titles = [text for text in texts if text.dxf.text == "Merrowin sample sheet"]
    check(len(titles) == 1, "the title text is missing")
    if titles:
        title = titles[0]
        check(title.dxf.halign == 1 and title.dxf.valign == 2, "the title is not centred")
        check(near(title.dxf.align_point, wcs(100, 6)), f"the title sits at {title.dxf.align_point}")
        check(abs(title.dxf.rotation - 30) < 1e-6, f"the title is turned {title.dxf.rotation}")
        check(abs(title.dxf.height - 6) < 1e-9, "the title is not 6 high")

    dimensions = msp.query("DIMENSION")
    check(len(dimensions) == 1, "there is no dimension")
    if dimensions:
        dimension = dimensions[0]
        check(dimension.dxf.layer == "MW_DIMS", "the dimension is not on MW_DIMS")
        check(near(dimension.dxf.defpoint2, wcs(0, 0)) and near(dimension.dxf.defpoint3, wcs(200, 0)),
              "the dimension does not measure the bottom side")
        check(abs(dimension.dxf.angle - 30) < 1e-6, f"the dimension is turned {dimension.dxf.angle}")
        check(dimension.dxf.geometry in doc.blocks, "the dimension's block is missing")

    # The door: one definition read from the file, one reference with its attributes.
    check("door" in doc.blocks, "the door block is missing")
    if "door" in doc.blocks:
        attdefs = {attdef.dxf.tag: attdef for attdef in doc.blocks.get("door").query("ATTDEF")}
        check(sorted(attdefs) == ["MAKER", "NUMBER", "WIDTH"], f"the door defines {sorted(attdefs)}")
        check("MAKER" in attdefs and attdefs["MAKER"].is_const, "MAKER is not constant")
    inserts = msp.query("INSERT")
    check(len(inserts) == 1, "there is not one block reference")
    if inserts:
        door = inserts[0]
        check(door.dxf.name == "door" and door.dxf.layer == "MW_BLOCKS", "the reference is not a door on MW_BLOCKS")
        check(near(door.dxf.insert, wcs(20, 30)), f"the door sits at {door.dxf.insert}")
        check(abs(door.dxf.rotation - 30) < 1e-6, f"the door is turned {door.dxf.rotation}")
        check(door.dxf.xscale == 2 and door.dxf.yscale == 2, "the door is not scaled by 2")
        values = {attrib.dxf.tag: attrib for attrib in door.attribs}
        check(sorted(values) == ["NUMBER", "WIDTH"], f"the door has the attributes {sorted(values)}")
        if "NUMBER" in values and "WIDTH" in values:
            check(values["NUMBER"].dxf.text == "D-07" and values["WIDTH"].dxf.text == "1000",
                  "the attribute values were not taken")
            check(values["WIDTH"].is_invisible and not values["NUMBER"].is_invisible, "WIDTH is not invisible")
            # NUMBER sits at (1, 22) in the block: scaled by 2 and turned with the door.
            c, s = math.cos(ANGLE), math.sin(ANGLE)
            x, y, _ = wcs(20, 30)
            expected = (x + 2 * (1 * c - 22 * s), y + 2 * (1 * s + 22 * c), 0.0)
            check(near(values["NUMBER"].dxf.insert, expected), f"NUMBER sits at {values['NUMBER'].dxf.insert}")
            check(all(attrib.dxf.layer == "MW_BLOCKS" for attrib in values.values()),
                  "the attributes are not on the reference's layer")

if failures:
    print(output)
    for failure in failures:
        print("FAILED:", failure)
    sys.exit(1)
print("the drawing commands made what ezdxf reads back")
