"""The installed viewer in a person's session, checked with ezdxf.

On a fresh machine whose drive D is the example package, the setup program
installs the product quietly; the viewer's launcher kxStart.exe, run from the
install folder as the finish page and the desktop shortcut run it, starts
korax.exe with the module loader, and a UI script of `command` lines draws
with the extension tool (MWFRAME, MWINSERT, MWEXTENTS) and saves the drawing
as DXF. ezdxf, an independent DXF implementation, reads what was drawn. A
launcher without its viewer beside it says so and fails.

    viewer_test.py BUILD SOURCE
"""
import json
import math
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

import ezdxf

build = pathlib.Path(sys.argv[1])
source = pathlib.Path(sys.argv[2])
winsim = build / "bin" / "winsim"
package = build / "package"
INSTALL_DIR = r"C:\Program Files (x86)\Halvorn\Merrowin"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def near(a, b, tolerance=1e-6):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def run(machine, command_line, ui_script=None):
    """`winsim run`: its exit code and standard output. The output pipe stays
    open while any program the command started holds it, so this also waits
    for the viewer that the launcher started without waiting for it."""
    env = {name: value for name, value in os.environ.items() if name != "WINSIM_UI"}
    if ui_script is not None:
        env["WINSIM_UI"] = str(ui_script)
    done = subprocess.run([winsim, "run", machine, command_line], capture_output=True, text=True, env=env,
                          timeout=120)
    return done.returncode, done.stdout + done.stderr


def transcript(machine, kind):
    records = []
    for line in (machine / "transcript.jsonl").read_text().splitlines():
        record = json.loads(line)
        if record.get("kind") == kind:
            records.append(record)
    return records


# The person's UCS: origin (100, 50, 0), turned 30 degrees about Z.
ANGLE = math.radians(30)


def wcs(x, y):
    c, s = math.cos(ANGLE), math.sin(ANGLE)
    return (100 + x * c - y * s, 50 + x * s + y * c, 0.0)


UI_SCRIPT = r"""# The person draws a titled sheet in a turned UCS, inserts a door and saves.
command UCS O 100,50,0
command UCS Z 30
command MWFRAME 0,0 200 120 "Merrowin sample sheet"
command MWINSERT
command C:\Blocks\door.dxf 20,30 2 0 NUMBER=D-07;WIDTH=1000
command UCS W
command MWEXTENTS MW_FRAME
command SAVEAS C:\Users\User\Documents\sheet.dxf
# then closes the viewer: the next thing the person does is no command line
answer IDOK
"""

with tempfile.TemporaryDirectory() as work:
    work = pathlib.Path(work)
    machine = work / "machine"
    subprocess.run([winsim, "new", machine, "--drive", f"D={package}"], check=True, stdout=subprocess.DEVNULL)
    c_drive = machine / "drives" / "c"
    code, output = run(machine, r'"D:\Setup.exe" quiet=1')
    if code != 0:
            sys.exit("the quiet install failed")
    installed = c_drive / "Program Files (x86)" / "Halvorn" / "Merrowin"
    for name in ("korax.exe", "kxStart.exe", "koraxkwlres.dll", "expressres.dll", "Bin/BCGCBPRO2510u100.dll",
                 "MWTools/MWLoadLibrary.krx", "MWTools/MWCommonModule.krx", "MWTools/MWExtensionTool.krx"):
        check((installed / name).is_file(), f"the installation lacks {name}")

    (c_drive / "Blocks").mkdir()
    subprocess.run(["/usr/bin/python3", source / "commonmodule" / "tests" / "data" / "make_door.py",
                    c_drive / "Blocks" / "door.dxf"], check=True)
    ui_script = work / "person.txt"
    ui_script.write_text(UI_SCRIPT)

    # The launcher's own arguments go on to the viewer: here a second copy of
    # the drawing, saved when the person closes the viewer.
    # The path is quoted, as the shell quotes it when it opens the launcher.
    launcher = f'"{INSTALL_DIR}\\kxStart.exe" --saveas "C:\\Users\\User\\Documents\\on close.dxf"'
    code, output = run(machine, launcher, ui_script)
    check(code == 0, f"kxStart.exe ended with {code}")
    print(output)
    check('The frame "Merrowin sample sheet" has 8 objects on MW_FRAME, MW_TITLE and MW_DIMS.' in output,
          "MWFRAME did not report its 8 objects")
    check("Inserted C:\\Blocks\\door.dxf with 2 attributes: NUMBER=D-07 WIDTH=1000" in output,
          "MWINSERT did not take its answers from the lines after it")
    check("5 objects on MW_FRAME lie within" in output, "MWEXTENTS did not measure the frame's lines")

    # The viewer ran from the install folder with the loader, which brought in
    # the tool from beside itself, and the session ended at the person's answer.
    tools = INSTALL_DIR + "\\MWTools\\"
    loads = [record["path"] for record in transcript(machine, "ModuleLoad")]
    check(loads == [tools + "MWLoadLibrary.krx", tools + "MWCommonModule.krx", tools + "MWExtensionTool.krx"],
          f"the viewer loaded {loads}")
    hosts = {record.get("process") for record in transcript(machine, "ModuleLoad")}
    check(hosts == {INSTALL_DIR + "\\korax.exe"}, f"the modules were loaded by {hosts}")
    check(len(transcript(machine, "ModuleUnload")) == 3, "the viewer did not unload the tool when it closed")
    check("ScriptError" not in (machine / "transcript.jsonl").read_text(), "the UI script had errors")

    documents = c_drive / "Users" / "User" / "Documents"
    check((documents / "on close.dxf").is_file(), "the launcher did not pass its arguments on")
    drawing = documents / "sheet.dxf"
    if not drawing.is_file():
        print(output)
        sys.exit("the person's drawing was not saved")
    doc = ezdxf.readfile(drawing)
    auditor = doc.audit()
    check(not auditor.has_errors, f"ezdxf finds errors: {[str(e.message) for e in auditor.errors]}")
    msp = doc.modelspace()
    kinds = sorted({entity.dxftype() for entity in msp})
    check(kinds == ["DIMENSION", "INSERT", "LINE", "TEXT"], f"the drawing holds {kinds}")
    for name in ("MW_FRAME", "MW_TITLE", "MW_DIMS", "MW_BLOCKS"):
        check(name in doc.layers, f"layer {name} is missing")
    check(doc.header.get("$CLAYER") == "0", f"the current layer is {doc.header.get('$CLAYER')}")

    lines = msp.query("LINE")
    check(len(lines) == 5 and all(line.dxf.layer == "MW_FRAME" for line in lines), "the frame is not 5 lines")
    corners = [(0, 0), (200, 0), (200, 120), (0, 120)]
    for i, corner in enumerate(corners):
        start, end = wcs(*corner), wcs(*corners[(i + 1) % 4])
        check(any(near(line.dxf.start, start) and near(line.dxf.end, end) for line in lines),
              f"no side from {start} to {end}")
    texts = {text.dxf.text: text for text in msp.query("TEXT")}
    check("Merrowin sample sheet" in texts, f"the texts are {sorted(texts)}")
    if "Merrowin sample sheet" in texts:
        title = texts["Merrowin sample sheet"]
        check(title.dxf.layer == "MW_TITLE", "the title is not on MW_TITLE")
        check(near(title.dxf.align_point, wcs(100, 6)), f"the title sits at {title.dxf.align_point}")
    inserts = msp.query("INSERT")
    check(len(inserts) == 1, "there is not one block reference")
    if inserts:
        door = inserts[0]
        check(door.dxf.name == "door" and door.dxf.layer == "MW_BLOCKS", "the reference is not a door on MW_BLOCKS")
        check(near(door.dxf.insert, wcs(20, 30)), f"the door sits at {door.dxf.insert}")
        values = {attrib.dxf.tag: attrib.dxf.text for attrib in door.attribs}
        check(values == {"NUMBER": "D-07", "WIDTH": "1000"}, f"the door's attributes are {values}")

    # A launcher without its viewer beside it: a message box, exit code 1.
    lonely = c_drive / "Lonely"
    lonely.mkdir()
    shutil.copy(installed / "kxStart.exe", lonely / "kxStart.exe")
    code, output = run(machine, r"C:\Lonely\kxStart.exe")
    check(code == 1, f"the launcher without its viewer ended with {code}")
    boxes = [box for box in transcript(machine, "MessageBox") if box.get("process") == r"C:\Lonely\kxStart.exe"]
    check(len(boxes) == 1 and boxes[0].get("text", "").startswith(r"Cannot start C:\Lonely\korax.exe"),
          f"the launcher showed {boxes}")

if failures:
    print(output)
    for failure in failures:
        print("FAILED:", failure)
    sys.exit(1)
print("the installed viewer drew and saved what ezdxf reads back")
