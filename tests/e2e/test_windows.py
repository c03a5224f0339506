"""Both windows as defined, seen from outside by a test program under Wine; the program file's
imports and resources."""
import re
import shutil
import struct
import subprocess
import time

from winelab import BUILD, ROOT

WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x10000000, 0x00C00000, 0x00080000
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_TABSTOP = 0x00040000, 0x00020000, 0x00010000, 0x00010000
DS_MODALFRAME, SS_CENTERIMAGE, BS_TYPEMASK, WS_EX_CLIENTEDGE = 0x80, 0x200, 0xF, 0x200

# (class, x, y, width, height, text) in PowerBuilder units, in the order the dialog creates them.
SETUP_CONTROLS = [
    ("Static", 73, 28, 1545, 152,
     "同一个网络内服务名称不能重复，您修改后请记下，应用程序对应该名称设置。如网内没有重复应用不需要修改。"),
    ("Edit", 462, 200, 1074, 100, "SRV7"),
    ("Static", 82, 216, 393, 68, "数据服务名称："),
    ("Button", 1125, 340, 457, 132, "确定设置"),
]


def mul_div(value, numerator, denominator):
    return (value * numerator + denominator // 2) // denominator


def parse_layout(text):
    layout = {"controls": []}
    for line in text.splitlines():
        key, _, value = line.partition(": ")
        if key == "control":
            cls, style, exstyle, rect, caption = value.split(" | ", 4)
            layout["controls"].append({"class": cls, "style": int(style, 16), "exstyle": int(exstyle, 16),
                                       "rect": [int(v) for v in rect.split()], "text": caption})
        else:
            layout[key] = value
    return layout


def open_setup_dialog(lab, name):
    lab.set_host_name(None)
    start = lab.start_directory(name)
    start.write_ini("[database]\nservername=SRV7\n")
    return start, start.start()


def test_the_setup_dialog_is_built_as_defined(lab):
    start, run = open_setup_dialog(lab, "dialog-layout")
    layout = parse_layout(lab.tool("dialog_driver", "layout"))
    focus_moves = lab.tool("dialog_driver", "tab")
    lab.tool("dialog_driver", "close")
    assert run.wait(timeout=20) == 0

    assert layout["title"] == "数据服务名设置"
    style = int(layout["style"].split()[0], 16)
    assert style & WS_POPUP and style & WS_CAPTION == WS_CAPTION and style & WS_SYSMENU and style & DS_MODALFRAME
    assert not style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), "no resize, minimize or maximize"
    assert layout["visible"] == "1"

    dpi = int(layout["dpi"])
    left, top, width, height = (int(v) for v in layout["frame"].split())
    assert (width, height) == (mul_div(1673, dpi, 384), mul_div(580, dpi, 384)), "four units a pixel at 96 DPI"
    work = [int(v) for v in layout["workarea"].split()]
    assert abs((left + width / 2) - (work[0] + work[2]) / 2) <= 1, "centred across"
    assert abs((top + height / 2) - (work[1] + work[3]) / 2) <= 1, "centred down"

    controls = layout["controls"]
    assert [c["class"] for c in controls] == [c[0] for c in SETUP_CONTROLS]
    for control, (cls, x, y, w, h, text) in zip(controls, SETUP_CONTROLS):
        assert control["text"] == text
        assert control["rect"] == [mul_div(x, dpi, 384), mul_div(y, dpi, 384),
                                   mul_div(w, dpi, 384), mul_div(h, dpi, 384)], cls
    note, field, label, button = controls
    assert not note["style"] & WS_TABSTOP and not label["style"] & WS_TABSTOP, "static texts take no focus"
    assert field["style"] & WS_TABSTOP and button["style"] & WS_TABSTOP
    assert field["exstyle"] & WS_EX_CLIENTEDGE, "lowered 3D border"
    assert label["style"] & SS_CENTERIMAGE, "the label is centred on the field"
    assert button["style"] & BS_TYPEMASK == 0, "a plain push button, not the default one"
    label_middle = label["rect"][1] + label["rect"][3] / 2
    field_middle = field["rect"][1] + field["rect"][3] / 2
    assert abs(label_middle - field_middle) <= 1

    assert layout["focus"] == "field"
    assert focus_moves == "focus: button\nfocus: field\n", "Tab alternates between field and button"


def test_the_dialog_grows_evenly_with_the_screens_dpi(lab):
    frames = {}
    for dpi in (96, 144):
        lab.set_dpi(dpi)
        try:
            start, run = open_setup_dialog(lab, f"dialog-dpi-{dpi}")
            layout = parse_layout(lab.tool("dialog_driver", "layout"))
            if dpi == 144:  # to look at: nothing may be cut off
                left, top, width, height = layout["frame"].split()
                subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}",
                                str(lab.out / "setup-dialog-144dpi.png")], env=lab.env, timeout=30)
            lab.tool("dialog_driver", "close")
            assert run.wait(timeout=20) == 0
        finally:
            lab.set_dpi(96)
        assert int(layout["dpi"]) == dpi
        frames[dpi] = [int(v) for v in layout["frame"].split()[2:]]
    print("dialog frames:", frames)
    assert abs(frames[144][0] - 1.5 * frames[96][0]) <= 2 and abs(frames[144][1] - 1.5 * frames[96][1]) <= 2


def test_no_window_is_shown_during_a_run_with_a_host_name(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("hidden-run")
    watcher = lab.start([str(BUILD / "dialog_driver.exe"), "watch", "6"])
    time.sleep(1.5)
    assert start.run() == 0
    report = dict(line.split(": ") for line in watcher.communicate(timeout=30)[0].decode().splitlines())
    assert int(report["hidden"]) > 0, "the watcher saw the main window while the run lasted"
    assert report["visible"] == "0"
    style = int(report["style"], 16)
    assert not style & WS_VISIBLE
    print("main window size:", report["size"])
    assert style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME) == \
        WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME


def test_a_screenshot_of_the_dialog(lab):
    """Taken in a Wine virtual desktop, which draws the title bar; saved for the README."""
    lab.set_host_name(None)
    start = lab.start_directory("screenshot")
    start.write_ini("[database]\nservername=SRV7\n")
    desktop = "/desktop=velmor-shot,480x220"
    run = lab.start(["explorer", desktop, start.exe], capture=False)
    deadline = time.monotonic() + 20
    window = ""
    while not window and time.monotonic() < deadline:
        time.sleep(0.3)
        window = subprocess.run(["xdotool", "search", "--name", "velmor-shot - Wine desktop"], env=lab.env,
                                capture_output=True, text=True).stdout.split("\n")[0]
    time.sleep(1.5)  # let the dialog paint
    target = lab.out / "setup-dialog.png"
    subprocess.run(["import", "-window", window, str(target)], env=lab.env, check=True, timeout=30)
    lab.run(["explorer", desktop, str(BUILD / "dialog_driver.exe"), "close"], capture=False)
    # The desktop's explorer outlives the program: wait for the program itself to end.
    deadline = time.monotonic() + 20
    while subprocess.run(["pgrep", "-f", r"^C:.e2e.screenshot.velmor\.exe"], capture_output=True).returncode == 0:
        assert time.monotonic() < deadline, "the program did not end after the dialog closed"
        time.sleep(0.2)
    run.kill()
    subprocess.run(["pkill", "-f", "velmor-shot"])
    assert target.stat().st_size > 2000


def objdump():
    return shutil.which("i686-w64-mingw32-objdump") or "objdump"


def test_the_program_imports_only_system_dlls(lab):
    out = subprocess.run([objdump(), "-p", str(BUILD / "velmor.exe")], capture_output=True, text=True).stdout
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", out)}
    assert dlls <= {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll"}, dlls


def test_both_builds_are_hardened():
    # ASLR, DEP and terminal-server aware; the 64-bit build with high-entropy ASLR.
    dynamic_base, high_entropy, nx_compat, ts_aware = 0x40, 0x20, 0x100, 0x8000
    for build, magic, wanted in (("win32", 0x10B, dynamic_base | nx_compat | ts_aware),
                                 ("win64", 0x20B, dynamic_base | nx_compat | ts_aware | high_entropy)):
        image = (ROOT / "build" / build / "velmor.exe").read_bytes()
        header = struct.unpack_from("<I", image, 0x3C)[0]
        assert image[header:header + 4] == b"PE\0\0"
        optional = header + 24
        assert struct.unpack_from("<H", image, optional)[0] == magic, build
        flags = struct.unpack_from("<H", image, optional + 70)[0]  # DllCharacteristics, both formats
        assert flags & wanted == wanted, f"{build}: {flags:#06x}"


def test_the_program_carries_icon_manifest_and_version(lab):
    exe = str(BUILD / "velmor.exe")
    listing = subprocess.run(["wrestool", "-l", exe], capture_output=True, text=True).stdout
    assert "type=group_icon" in listing and "--name='APPICON'" in listing
    assert "type=version" in listing
    manifest = subprocess.run(["wrestool", "-x", "--raw", "--type=24", exe], capture_output=True).stdout.decode()
    assert 'level="asInvoker"' in manifest
    assert "Microsoft.Windows.Common-Controls" in manifest and 'version="6.0.0.0"' in manifest
    assert "dpiAware" in manifest
    icon = subprocess.run(["wrestool", "-x", "--raw", "--type=3", exe], capture_output=True).stdout
    width, height, _, bits = struct.unpack_from("<iiHH", icon, 4)
    assert (width, height // 2, bits) == (32, 32, 8), "32 x 32 pixels, 256 colours"
    version = subprocess.run(["wrestool", "-x", "--raw", "--type=16", exe], capture_output=True).stdout
    assert "velmor".encode("utf-16-le") in version
