"""A Wine workplace for the end-to-end tests: a display, a 32-bit prefix, and helpers to run
the real program and the test programs in fresh start directories."""
import contextlib
import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
# A 64-bit build runs in a 64-bit prefix, with Debian's 64-bit loader (VELMOR_WINEARCH=win64).
WIN64 = os.environ.get("VELMOR_WINEARCH") == "win64"
# The 32-bit build in a 64-bit prefix, as most workstations run it (VELMOR_WOW64=1): the 32-bit
# loader, and the registry's two views.
WOW64 = not WIN64 and os.environ.get("VELMOR_WOW64") == "1"
CONFIG = "win64" if WIN64 else "wow64" if WOW64 else "win32"
BUILD = Path(os.environ.get("VELMOR_BUILD", ROOT / "build" / ("win64" if WIN64 else "win32")))
PREFIX = Path(os.environ.get("VELMOR_WINEPREFIX", ROOT / "build" / {
    "win64": "wineprefix64", "wow64": "wineprefix-wow64", "win32": "wineprefix"}[CONFIG]))
WINE = "/usr/lib/wine/wine64" if WIN64 else "wine"
# What a test run makes for the docs (the robustness table, screenshots): scripts/refresh-docs
# copies it there.
OUT = ROOT / "build" / ("e2e-out" if CONFIG == "win32" else "e2e-out-" + CONFIG)
# Where `reg` finds what the program itself writes under HKLM\Software (its own view: the 32-bit
# build's values under WOW6432Node), and what Explorer reads at logon (the 64-bit view).
OWN_VIEW = {"win64": ["/reg:64"], "wow64": ["/reg:32"], "win32": []}[CONFIG]
LOGON_VIEW = [] if CONFIG == "win32" else ["/reg:64"]
OTHER_VIEW = {"win64": ["/reg:32"], "wow64": ["/reg:64"], "win32": []}[CONFIG]

HOST_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters"
HOST_VALUE = "NV HostName"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
MAIN_TITLE = "数据库启动窗口"


# Outcomes of the robustness cases, printed as a table at the end of the run.
OUTCOMES = []


def record_outcome(case, exit_code, seconds, result):
    OUTCOMES.append((case, exit_code, seconds, result))


class Display:
    """An Xvfb server of our own: every Wine process needs a display, hidden windows too."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.name = ":" + pipe.readline().strip()

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class WineLab:
    def __init__(self, display):
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": display.name,
            "WINEPREFIX": str(PREFIX),
            "WINEARCH": "win32" if CONFIG == "win32" else "win64",
            # Only Wine's own diagnoses (a window system it could not reach, say): they go to
            # the lab's log and are shown with a failing case.
            "WINEDEBUG": "-all,err+winediag",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",  # no Mono or Gecko prompt
            "LC_ALL": "zh_CN.UTF-8",                # code page 936, as on a Chinese Windows
            "VELMOR_STANDIN_SECONDS": "20",
        })
        self.env.pop("VELMOR_STANDIN_LOG", None)
        self.prefix_path = PREFIX
        self.drive_c = PREFIX / "drive_c"
        self.out = OUT
        OUT.mkdir(parents=True, exist_ok=True)
        # What Wine, its loader and Xlib print for the programs run here; a file, not a pipe,
        # since a server started by the program keeps the handle it inherited.
        self.wine_log = OUT / "wine-stderr.log"
        self.wine_log.write_bytes(b"")
        if not (PREFIX / "system.reg").exists():
            subprocess.run([WINE, "wineboot", "-i"], env=self.env, check=True, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Whatever an interrupted earlier run left in the prefix goes first.
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        # A persistent wineserver: no run pays for starting it.
        self.server = subprocess.Popen(["wineserver", "-p", "-f"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.run(["wineboot"], timeout=120, capture=False)

    def close(self):
        self.kill_all()
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)
        try:
            self.server.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.server.kill()

    # --- running programs ---

    # Output is captured only where it is read: a server started by the program inherits the
    # program's standard handles, and Wine's console for it dies writing to a pipe closed here.
    def start(self, args, cwd=None, env=None, capture=True):
        with self.wine_log.open("ab") as log:
            return subprocess.Popen([WINE, *args], env={**self.env, **(env or {})}, cwd=cwd or self.drive_c,
                                    stdout=subprocess.PIPE if capture else subprocess.DEVNULL, stderr=log)

    def run(self, args, cwd=None, env=None, timeout=60, capture=True):
        with self.wine_log.open("ab") as log:
            return subprocess.run([WINE, *args], env={**self.env, **(env or {})}, cwd=cwd or self.drive_c,
                                  stdout=subprocess.PIPE if capture else subprocess.DEVNULL, stderr=log,
                                  timeout=timeout)

    def tool(self, name, *args, timeout=60):
        """Runs one of the test programs; returns its output as text."""
        out = self.run([str(BUILD / f"{name}.exe"), *args], timeout=timeout).stdout
        return out.decode("utf-8", "replace").replace("\r\n", "\n")

    def hold_window(self, title, seconds=20):
        """A hidden top-level window with this title, held by a program of ours."""
        holder = self.start([str(BUILD / "window_holder.exe"), title, str(seconds)])
        assert holder.stdout.readline().strip() == b"ready"
        return holder

    PROGRAMS = (b"velmor.exe", b"dbsrv12.exe", b"window_holder.exe", b"dialog_driver.exe", b"fault_maker.exe",
                b"station_runner.exe")

    def kill_all(self):
        """Ends the programs of ours running in this lab's prefix; programs of the same name in
        any other Wine session (a second test run, a user's own) are left alone."""
        mine = b"WINEPREFIX=" + str(self.prefix_path).encode()
        ended = False
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    command = f.read()
                with open(f"/proc/{pid}/environ", "rb") as f:
                    environment = f.read().split(b"\0")
                if mine in environment and any(name in command for name in self.PROGRAMS):
                    os.kill(int(pid), signal.SIGTERM)
                    ended = True
            except (OSError, ProcessLookupError):
                continue  # gone meanwhile, or not ours to read
        if ended:
            time.sleep(0.2)

    # --- registry ---

    def reg(self, *args):
        return self.run(["reg", *args], timeout=60)

    def set_host_name(self, name, kind="REG_SZ"):
        if name is None:
            self.reg("delete", HOST_KEY, "/v", HOST_VALUE, "/f")
        else:
            self.reg("add", HOST_KEY, "/v", HOST_VALUE, "/t", kind, "/d", name, "/f")

    def run_value(self, name, view=None):
        """The data of a plain string value of the Run key (in the program's own view, or the one
        given), or None. Read from an export, which is UTF-16 and so holds characters that
        `reg query`'s code page lacks."""
        export = self.drive_c / "run-key.reg"
        export.unlink(missing_ok=True)
        self.reg("export", RUN_KEY, "C:\\run-key.reg", "/y", *(OWN_VIEW if view is None else view))
        if not export.exists():
            return None
        quoted = '"' + name.replace("\\", "\\\\").replace('"', '\\"') + '"="'
        for line in export.read_text("utf-16").splitlines():
            if line.startswith(quoted) and line.endswith('"'):
                return re.sub(r"\\(.)", r"\1", line[len(quoted):-1])
        return None

    def add_run_value(self, name, data, kind="REG_SZ", view=None):
        self.reg("add", RUN_KEY, "/v", name, "/t", kind, "/d", data, "/f", *(OWN_VIEW if view is None else view))

    def clear_run_value(self, name):
        for view in (OWN_VIEW, OTHER_VIEW) if OTHER_VIEW else (OWN_VIEW,):
            self.reg("delete", RUN_KEY, "/v", name, "/f", *view)

    @contextlib.contextmanager
    def run_key_refusing_writes(self, key=RUN_KEY, view=None):
        """The Run key (or another key of HKLM) refuses to have values set or deleted, as it
        does for a standard user: in the program's own view, or in "64" or "32"."""
        subkey = key.split("\\", 1)[1]
        which = [] if view is None else [view]
        assert self.tool("fault_maker", "deny-set-value", subkey, *which) == "done\n"
        try:
            yield
        finally:
            assert self.tool("fault_maker", "allow", subkey, *which) == "done\n"

    def lock_file(self, path, seconds):
        """Another program holds the file open without sharing for `seconds`."""
        locker = self.start([str(BUILD / "fault_maker.exe"), "lock", path, str(seconds)])
        assert locker.stdout.readline().strip() == b"ready"
        return locker

    def hold_open_for_reading(self, path, seconds):
        """Another program reads the file, sharing reads and writes but not deletion (fopen)."""
        reader = self.start([str(BUILD / "fault_maker.exe"), "read", path, str(seconds)])
        assert reader.stdout.readline().strip() == b"ready"
        return reader

    @contextlib.contextmanager
    def drive(self, letter, folder):
        """Drive LETTER: is the Linux folder FOLDER for the length of a with-block."""
        link = self.prefix_path / "dosdevices" / f"{letter.lower()}:"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(folder)
        try:
            yield
        finally:
            self.kill_all()
            link.unlink()

    def dismiss(self, title):
        """Presses OK in the message box of that title; returns its text."""
        return self.tool("dialog_driver", "dismiss", title)

    def set_dpi(self, dpi):
        """The screen's DPI for programs started from now on."""
        for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
            self.reg("add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")

    # --- start directories ---

    def start_directory(self, name, standin=True, databases=("qzdb",)):
        """A fresh folder C:\\e2e\\NAME (or C:\\NAME for a name without e2e) holding velmor.exe,
        the stand-in server and the client's databases."""
        relative = name if name == "velmor-demo" else "e2e/" + name
        folder = self.drive_c / relative
        shutil.rmtree(folder, ignore_errors=True)
        install(folder, standin, databases)
        return StartDirectory(self, folder, "C:\\" + relative.replace("/", "\\"))


    def program_files_directory(self, name):
        """A fresh folder C:\\Program Files\\NAME holding velmor.exe and the stand-in server: where
        the deployment guide installs it."""
        folder = self.drive_c / "Program Files" / name
        shutil.rmtree(folder, ignore_errors=True)
        install(folder)
        return StartDirectory(self, folder, "C:\\Program Files\\" + name)


def install(folder, standin=True, databases=("qzdb",)):
    """A new folder holding velmor.exe, as a client's installation has it: with datebase\\NAME.db
    for each of `databases`, and, unless told otherwise, the stand-in server."""
    folder.mkdir(parents=True)
    shutil.copy(BUILD / "velmor.exe", folder)
    if standin:
        shutil.copy(BUILD / "dbsrv12.exe", folder)
    for name in databases:
        (folder / "datebase").mkdir(exist_ok=True)
        (folder / "datebase" / f"{name}.db").write_bytes(b"stand-in database\n")


def leftovers(folder):
    """Files a rewrite of setup.ini would leave behind if it did not clean up."""
    return [p.name for p in folder.iterdir() if p.suffix in (".tmp", ".bak")]


class StartDirectory:
    def __init__(self, lab, folder, windows_path):
        self.lab = lab
        self.folder = folder
        self.path = windows_path
        self.exe = windows_path + "\\velmor.exe"

    @property
    def ini(self):
        return self.folder / "setup.ini"

    def ini_text(self, encoding="gbk"):
        return self.ini.read_bytes().decode(encoding) if self.ini.exists() else None

    def write_ini(self, text, encoding="gbk"):
        self.ini.write_bytes(text.replace("\n", "\r\n").encode(encoding))

    def run(self, cwd=None, timeout=30):
        """One whole run of velmor.exe; its exit code."""
        return self.lab.run([self.exe], cwd=cwd, timeout=timeout, capture=False).returncode

    def start(self, cwd=None):
        return self.lab.start([self.exe], cwd=cwd, capture=False)

    @property
    def standin_log(self):
        return self.folder / "dbsrv12-cmdline.txt"

    def standin_launches(self, wait=5.0):
        """The stand-in server's records, waiting up to `wait` seconds for the first one."""
        deadline = time.monotonic() + wait
        while not self.standin_log.exists() and time.monotonic() < deadline:
            time.sleep(0.1)
        if not self.standin_log.exists():
            return []
        time.sleep(0.2)
        text = self.standin_log.read_text("utf-8")
        return [block for block in text.split("raw: ")[1:]]


@contextlib.contextmanager
def wine_lab():
    """A display and a Wine workplace for the length of a with-block."""
    display = Display()
    lab = WineLab(display)
    try:
        yield lab
    finally:
        lab.close()
        display.close()
