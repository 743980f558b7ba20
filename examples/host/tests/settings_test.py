"""The extension tool's settings commands in the host, checked with ezdxf.

On a fresh machine with the installed layout (MWLoadLibrary brings in
MWCommonModule and MWExtensionTool), the host runs toolsettings.scr on a new
drawing and saves it as DXF, then runs toolsettingsrestore.scr on another new
drawing, which takes a setting back from the registry. ezdxf, an independent
DXF implementation, reads what the commands stored: the named dictionary and
its entries' xdata (strings, binary chunks, braced lists), a mark's xdata,
the layers with their linetypes, and the dimension style.

    settings_test.py BUILD SOURCE
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile

import ezdxf

build = pathlib.Path(sys.argv[1])
source = pathlib.Path(sys.argv[2])
binaries = build / "bin"
scripts = source / "examples" / "host"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def xdata(entity, app):
    """The entity's items for one application, as (code, value) pairs."""
    if not entity.has_xdata(app):
        return []
    return [(tag.code, tag.value) for tag in entity.get_xdata(app)]


def chunks_text(items):
    """The text of a run of binary chunks, and their sizes."""
    data = b"".join(bytes(value) for code, value in items if code == 1004)
    return data.decode("cp1252"), [len(value) for code, value in items if code == 1004]


NOTES = next(line for line in (scripts / "toolsettings.scr").read_text().splitlines()
             if line.startswith("MWSET Notes "))[len("MWSET Notes "):]

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
    for name in ("toolsettings.scr", "toolsettingsrestore.scr"):
        shutil.copy(scripts / name, c_drive / name)

    def host(script, drawing):
        command = (r'"C:\Program Files\Merrowin\DWG Merrowin\korax.exe" '
                   r'--load "C:\Program Files\Merrowin\DWG Merrowin\MWTools\MWLoadLibrary.krx" '
                   rf'--script C:\{script} --saveas C:\{drawing}')
        run = subprocess.run([binaries / "winsim", "run", machine, command], capture_output=True, text=True)
        if run.returncode != 0:
            print(run.stdout, run.stderr)
            sys.exit(f"the host failed on {script}")
        return run.stdout

    output = host("toolsettings.scr", "settings.dxf")
    expected_lines = [
        "Made 3 layers; dimension style MW-DIM is current; 5 linetypes, current BYLAYER.",
        "Setting Sheet keeps 20 characters.",
        f"Setting Notes keeps {len(NOTES)} characters.",
        'Setting Sheet is "A3 landscape, metric".',
        f'Setting Notes is "{NOTES}".',
        '"A3 landscape, metric"',
        '"kept"',
        '1.5 "door" 7',
        "1.5 -2.0 5.0",
        "Mark Origin (number 1) at 10,20.",
        "Saved setting Sheet in the registry (21 characters).",
        "Forgot setting Scratch.",
        "There is no setting Scratch.",
    ]
    lines = output.splitlines()
    for line in expected_lines:
        check(line in lines, f"the command line lacks: {line}")
    # nil for a missing setting and for a value kept as text (no braced group).
    check(lines.count("nil") == 2, f"the command line has {lines.count('nil')} nil results")

    doc = ezdxf.readfile(c_drive / "settings.dxf")
    auditor = doc.audit()
    check(not auditor.has_errors, f"ezdxf finds errors: {[str(e.message) for e in auditor.errors]}")

    # The settings: a dictionary of the named-object dictionary, entries with xdata.
    settings = doc.rootdict.get("MW_SETTINGS")
    check(settings is not None and settings.dxftype() == "DICTIONARY", "MW_SETTINGS is not a dictionary")
    if settings is not None:
        check(sorted(settings.keys()) == ["Notes", "Origin", "Sheet"], f"the settings are {sorted(settings.keys())}")
        origin = settings.get("Origin")
        if origin is not None:
            check(xdata(origin, "MWTOOL_POINT") == [(1002, "{"), (1040, 1.5), (1040, -2), (1040, 5), (1002, "}")],
                  f"the Origin point is {xdata(origin, 'MWTOOL_POINT')}")
        sheet = settings.get("Sheet")
        notes = settings.get("Notes")
        check(sheet is not None and sheet.dxftype() == "XRECORD", "the Sheet setting is no xrecord")
        if sheet is not None:
            check(xdata(sheet, "MWTOOL_SETTING") == [(1000, "A3 landscape, metric")],
                  f"the Sheet value is {xdata(sheet, 'MWTOOL_SETTING')}")
            listed = xdata(sheet, "MWTOOL_LIST")
            check(listed == [(1002, "{"), (1040, 1.5), (1000, "door"), (1070, 7), (1002, "}")],
                  f"the Sheet list is {listed}")
        if notes is not None:
            text, sizes = chunks_text(xdata(notes, "MWTOOL_SETTING"))
            check(sizes == [127, 127, len(NOTES) - 254], f"the Notes chunks are {sizes}")
            check(text == NOTES, "the Notes chunks do not hold the text")
    for app in ("MWTOOL_SETTING", "MWTOOL_LIST", "MWTOOL_POINT", "MWTOOL_MARK", "MWTOOL_AT"):
        check(app in doc.appids, f"the application {app} is not registered")

    # The mark: a point with its list and its position.
    points = doc.modelspace().query("POINT")
    check(len(points) == 1, "there is not one mark")
    if points:
        mark = points[0]
        check(xdata(mark, "MWTOOL_MARK") == [(1002, "{"), (1000, "Origin"), (1070, 1), (1002, "}")],
              f"the mark's list is {xdata(mark, 'MWTOOL_MARK')}")
        at = xdata(mark, "MWTOOL_AT")
        check(len(at) == 1 and at[0][0] == 1011 and tuple(at[0][1]) == (10, 20, 0), f"the mark's position is {at}")

    # The layers with their linetypes, loaded from the metric file where missing.
    for name, linetype, color in (("MW_AXES", "DASH_DOT", 1), ("MW_HIDDEN", "HIDDENLINE", 8),
                                  ("MW_NOTES", "CONTINUOUS", 3)):
        check(name in doc.layers, f"layer {name} is missing")
        if name in doc.layers:
            layer = doc.layers.get(name)
            check(layer.dxf.linetype.upper() == linetype, f"layer {name} has linetype {layer.dxf.linetype}")
            check(layer.color == color, f"layer {name} has colour {layer.color}")
            check(layer.is_locked() == (name == "MW_HIDDEN"), f"layer {name} is locked: {layer.is_locked()}")
    # The dashes as acadiso.lin gives them (a dot is a dash of length 0).
    for linetype, dashes in (("DASH_DOT", [10, -2.5, 0, -2.5]), ("HIDDENLINE", [5, -2.5])):
        check(linetype in doc.linetypes, f"linetype {linetype} is missing")
        if linetype in doc.linetypes:
            pattern = doc.linetypes.get(linetype).simplified_line_pattern()
            check(list(pattern) == [abs(d) for d in dashes] or list(pattern) == dashes,
                  f"linetype {linetype} has the dashes {list(pattern)}")

    # The dimension style, current, bound to the tool's text style.
    check("MW-DIM" in doc.dimstyles, "the dimension style is missing")
    if "MW-DIM" in doc.dimstyles:
        style = doc.dimstyles.get("MW-DIM")
        for variable, value in (("dimasz", 1.5), ("dimtxt", 2.0), ("dimdli", 3.8), ("dimexe", 1.0), ("dimgap", 1.0),
                                ("dimtad", 1), ("dimtdec", 4), ("dimtix", 1), ("dimsah", 1), ("dimaltf", 25.4)):
            check(style.dxf.get(variable) == value, f"MW-DIM has {variable} {style.dxf.get(variable)}")
        check(style.dxf.get("dimtxsty") == "MW-TEXT", f"MW-DIM uses the text style {style.dxf.get('dimtxsty')}")
    check(doc.header.get("$DIMSTYLE") == "MW-DIM", f"the current dimension style is {doc.header.get('$DIMSTYLE')}")
    check(doc.header.get("$DIMASZ") == 1.5, "the current dimension variables are not the style's")
    check("MW-TEXT" in doc.styles and abs(doc.styles.get("MW-TEXT").dxf.width - 0.8) < 1e-9,
          "the text style MW-TEXT is missing or not 0.8 wide")

    # The saved setting in the machine's registry (64-bit view), then restored.
    registry = (machine / "registry.reg").read_bytes().decode("utf-16")
    check("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvorn\\DWG Merrowin\\MWExtensionTool]" in registry,
          "the registry has no key of the tool")
    check('"Sheet"="A3 landscape, metric"' in registry, "the registry does not hold the setting")
    check("WOW6432Node\\Halvorn" not in registry, "the setting went to the 32-bit view")

    restored = host("toolsettingsrestore.scr", "restored.dxf")
    for line in ("There is no setting Sheet.", 'Restored setting Sheet: "A3 landscape, metric".',
                 'Setting Sheet is "A3 landscape, metric".', "Setting Missing was never saved."):
        check(line in restored.splitlines(), f"the second drawing's command line lacks: {line}")
    second = ezdxf.readfile(c_drive / "restored.dxf")
    again = second.rootdict.get("MW_SETTINGS")
    check(again is not None and sorted(again.keys()) == ["Sheet"], "the restored drawing lacks its setting")
    if again is not None and "Sheet" in again:
        check(xdata(again.get("Sheet"), "MWTOOL_SETTING") == [(1000, "A3 landscape, metric")],
              "the restored setting has another value")

if failures:
    print(output)
    for failure in failures:
        print("FAILED:", failure)
    sys.exit(1)
print("the settings commands stored what ezdxf reads back")
