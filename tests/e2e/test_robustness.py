"""Bad input and faults against the real program: every case ends with the program exited (no
hang, no crash) and with setup.ini and the registry in the state the case checks. The outcomes
are printed as a table at the end of the run and kept in docs/robustness.md."""
import random
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

from winelab import install, leftovers, record_outcome

STANDARD_LINE = "dbsrv12.exe -os 10240k -m -c 8m -q -n {name} -x tcpip{{port=3362}} {path}\\datebase\\qzdb.db"


def run_with_host(lab, name, host="SRV1", setup=None, encoding="gbk", raw=None, database="qzdb"):
    """One run in a fresh start directory with that database; returns (start directory, exit
    code, seconds)."""
    lab.set_host_name(host)
    start = lab.start_directory(name, databases=(database,))
    if raw is not None:
        start.ini.write_bytes(raw)
    elif setup is not None:
        start.write_ini(setup, encoding)
    began = time.monotonic()
    code = start.run(timeout=30)
    return start, code, time.monotonic() - began


def first_line(start):
    launches = start.standin_launches()
    return launches[0].splitlines()[0] if launches else None


# --- setup.ini ---

def test_ini_missing(lab):
    start, code, seconds = run_with_host(lab, "ini-missing")
    assert code == 0
    assert start.ini_text() == "[database]\r\napppath=C:\\e2e\\ini-missing\r\nsetup=1\r\nservername=SRV1\r\n"
    assert first_line(start) == STANDARD_LINE.format(name="SRV1", path=start.path)
    record_outcome("setup.ini missing", code, seconds, "created with apppath, setup, servername; defaults used")


def test_ini_empty(lab):
    start, code, seconds = run_with_host(lab, "ini-empty", raw=b"")
    assert code == 0
    assert "servername=SRV1" in start.ini_text()
    assert first_line(start) == STANDARD_LINE.format(name="SRV1", path=start.path)
    record_outcome("setup.ini empty (0 bytes)", code, seconds, "section and keys written; defaults used")


def test_ini_random_bytes(lab):
    garbage = random.Random(20261208).randbytes(64 * 1024)
    start, code, seconds = run_with_host(lab, "ini-random", raw=garbage)
    assert code == 0
    after = start.ini.read_bytes()
    assert b"apppath=C:\\e2e\\ini-random" in after and b"servername=SRV1" in after
    line = first_line(start)
    assert line is not None and line.startswith("dbsrv12.exe -os 10240k -m -c 8m")
    kept = after.startswith(garbage)
    record_outcome("setup.ini: 64 KiB of random bytes", code, seconds,
                   "run completes; server started; " +
                   ("original bytes kept, keys appended" if kept else
                    f"the profile functions rewrote the file ({len(after)} bytes after, {len(garbage)} before)"))


def test_ini_utf16_with_bom(lab):
    text = "\ufeff[database]\r\ndbname=销售库\r\nstartype=不显示\r\n"
    start, code, seconds = run_with_host(lab, "ini-utf16", raw=text.encode("utf-16-le"), database="销售库")
    assert code == 0
    assert first_line(start) == (f"dbsrv12.exe -os 10240k -m -c 8m -qi -n SRV1 -x tcpip{{port=3362}} "
                                 f"{start.path}\\datebase\\销售库.db")
    after = start.ini.read_bytes()
    assert after.startswith(b"\xff\xfe"), "stays UTF-16"
    assert "servername=SRV1" in after.decode("utf-16")
    assert lab.run_value("销售库") == start.exe
    lab.clear_run_value("销售库")
    record_outcome("setup.ini UTF-16LE with BOM, Chinese values", code, seconds,
                   "Chinese dbname and startype read right; file stays UTF-16")


@pytest.mark.parametrize("mark", [b"", b"\xef\xbb\xbf"], ids=["utf8", "utf8-bom"])
def test_ini_saved_by_notepad_as_utf8(lab, mark):
    # Notepad's default since Windows 10 1903 is UTF-8 without a mark.
    text = "[database]\r\ndbname=客户库\r\nstartype=不显示\r\n"
    start, code, seconds = run_with_host(lab, "ini-" + mark.hex() + "utf8", raw=mark + text.encode("utf-8"),
                                         database="客户库")
    assert code == 0
    assert first_line(start) == (f"dbsrv12.exe -os 10240k -m -c 8m -qi -n SRV1 -x tcpip{{port=3362}} "
                                 f"{start.path}\\datebase\\客户库.db")
    assert lab.run_value("客户库") == start.exe
    lab.clear_run_value("客户库")
    after = start.ini.read_bytes()
    assert after.startswith(b"\xff\xfe") and after.decode("utf-16").startswith(text), "same text, UTF-16LE"
    record_outcome(f"setup.ini saved as UTF-8 {'with' if mark else 'without'} BOM (Notepad), Chinese values",
                   code, seconds, "made UTF-16LE with the same text first; Chinese values read right")


def test_ini_utf8_at_a_standard_users_logon(lab):
    # Notepad's UTF-8, and a run that may rewrite neither the file (the client holds it open) nor
    # the Run key: read as it says, nothing written, no box.
    lab.set_host_name("SRV1")
    start = lab.start_directory("ini-utf8-standard-user", databases=("客户库",))
    raw = "[database]\r\nstartype=不显示\r\ndbname=客户库\r\nport=4000\r\n".encode("utf-8")
    start.ini.write_bytes(raw)
    lab.add_run_value("客户库", start.exe)
    reader = lab.hold_open_for_reading(start.path + "\\setup.ini", 20)
    try:
        with lab.run_key_refusing_writes():
            began = time.monotonic()
            code = start.run(timeout=30)
            seconds = time.monotonic() - began
    finally:
        reader.kill()
        lab.clear_run_value("客户库")
    assert code == 0, "no failure box"
    assert first_line(start) == (f"dbsrv12.exe -os 10240k -m -c 8m -qi -n SRV1 -x tcpip{{port=4000}} "
                                 f"{start.path}\\datebase\\客户库.db")
    assert start.ini.read_bytes() == raw, "nothing written into it"
    assert leftovers(start.folder) == []
    record_outcome("setup.ini UTF-8 (Notepad), neither it nor the Run key writable (standard user)", code, seconds,
                   "read as it says; file untouched; the entry counts; no box")


def test_ini_ansi_code_page_936(lab):
    start, code, seconds = run_with_host(lab, "ini-gbk", setup="[database]\ndbname=销售库\nstartype=不显示\n",
                                         database="销售库")
    assert code == 0
    assert first_line(start).endswith(f" -qi -n SRV1 -x tcpip{{port=3362}} {start.path}\\datebase\\销售库.db")
    assert lab.run_value("销售库") == start.exe
    lab.clear_run_value("销售库")
    record_outcome("setup.ini ANSI (code page 936), Chinese values", code, seconds, "Chinese values read right")


def test_ini_without_final_newline(lab):
    start, code, seconds = run_with_host(lab, "ini-no-newline", raw=b"[database]\r\nport=4000")
    assert code == 0
    text = start.ini_text()
    assert "port=4000\r\n" in text and "apppath=" in text and "port=4000apppath" not in text
    assert "tcpip{port=4000}" in first_line(start)
    record_outcome("setup.ini without newline at the end", code, seconds, "last value read whole; new keys on own lines")


def test_ini_duplicate_keys(lab):
    start, code, seconds = run_with_host(lab, "ini-duplicates", setup="[database]\nport=4000\nport=5000\n")
    assert code == 0
    used = "4000" if "tcpip{port=4000}" in first_line(start) else "5000"
    assert used == "4000", "the first of duplicate keys counts, as in Windows"
    record_outcome("setup.ini with duplicate keys", code, seconds, f"the first value counts (port {used})")


def test_ini_value_over_10000_characters(lab):
    # Read whole: Wine finds no database of that name, so nothing is started; the run registers
    # itself under that name, as every run before its database does.
    name = "d" * 10500
    start, code, seconds = run_with_host(lab, "ini-long-value", setup=f"[database]\ndbname={name}\n")
    try:
        assert code == 16
        assert first_line(start) is None
        assert lab.run_value(name) == start.exe
    finally:
        lab.clear_run_value(name)
    record_outcome("setup.ini value of 10,500 characters", code, seconds,
                   "read whole; no such database file: nothing started, registered under that name (16)")


def test_ini_read_only(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("ini-read-only")
    start.write_ini("[database]\nport=4000\napppath=D:\\old-pc\\client\n")  # copied from another PC
    before = start.ini.read_bytes()
    if subprocess.run(["chattr", "+i", str(start.ini)], capture_output=True).returncode != 0:
        pytest.skip("no immutable files here: as root, a read-only mode does not stop writes")
    try:
        began = time.monotonic()
        code = start.run(timeout=30)
        seconds = time.monotonic() - began
    finally:
        subprocess.run(["chattr", "-i", str(start.ini)])
    assert code == 0
    assert start.ini.read_bytes() == before, "nothing else changes"
    assert first_line(start) == ("dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=4000} "
                                 f"{start.path}\\datebase\\qzdb.db"), "the stored port, the real folder"
    assert lab.run_value("qzdb") == start.exe
    record_outcome("setup.ini read-only, apppath of another PC", code, seconds,
                   "file unchanged; stored port used; paths of the program's real folder")


def test_ini_comments_other_sections_and_keys_kept(lab):
    original = "; client settings\n[client]\nuser=张三\n\n[database]\n; port of the server\nport=4000\nextra=1\n"
    start, code, seconds = run_with_host(lab, "ini-comments", setup=original)
    assert code == 0
    expected = original.replace("extra=1\n", "extra=1\napppath=C:\\e2e\\ini-comments\nsetup=1\nservername=SRV1\n")
    after = start.ini_text()
    if after == expected.replace("\n", "\r\n"):
        result = "all kept byte for byte"
    else:
        # Wine's profile functions drop empty lines when they rewrite the file; every other line stays.
        assert after == expected.replace("\n\n", "\n").replace("\n", "\r\n")
        result = "comments, sections and keys kept byte for byte; Wine drops the empty line between sections"
    record_outcome("setup.ini with comments, other sections and keys", code, seconds, result)


# --- the host name in the registry ---

def close_dialog_run(lab, start):
    run = start.start()
    output = lab.tool("dialog_driver", "close")
    code = run.wait(timeout=30)
    return code, output


@pytest.mark.parametrize("case,host,kind", [
    ("missing", None, None), ("empty", "", "REG_SZ"), ("of type REG_DWORD", "1234", "REG_DWORD"),
    ("of type REG_EXPAND_SZ", "SRV1", "REG_EXPAND_SZ")])
def test_host_name_unusable(lab, case, host, kind):
    if host is None:
        lab.set_host_name(None)
    else:
        lab.set_host_name(host, kind=kind)
    start = lab.start_directory("host-" + case.split()[-1].lower())
    began = time.monotonic()
    code, output = close_dialog_run(lab, start)
    assert output == "", "the dialog was there to close"
    assert code == 0
    assert "servername" not in start.ini_text()
    assert first_line(start) == STANDARD_LINE.format(name="qzdb", path=start.path)
    record_outcome(f"NV HostName {case}", code, time.monotonic() - began,
                   "setup dialog shown; closed unsaved: server named after the database")


def test_host_name_without_terminating_nul(lab, tmp_path):
    reg_file = tmp_path / "host.reg"
    data = ",".join(f"{b:02x}" for b in "SRV9".encode("utf-16-le"))  # 8 bytes, no NUL
    # Version 5 files are UTF-16 and take hex(1) data as raw UTF-16 bytes.
    reg_file.write_text("\ufeffWindows Registry Editor Version 5.00\r\n\r\n"
                        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"
                        f'"NV HostName"=hex(1):{data}\r\n', encoding="utf-16-le")
    lab.set_host_name(None)
    lab.run(["regedit", "/S", "Z:" + str(reg_file).replace("/", "\\")], capture=False)
    start = lab.start_directory("host-no-nul")
    began = time.monotonic()
    code = start.run()
    assert code == 0
    assert "servername=SRV9\r\n" in start.ini_text(), "exactly the stored characters, nothing past them"
    record_outcome("NV HostName REG_SZ without terminating NUL", code, time.monotonic() - began,
                   "the 4 stored characters read, nothing beyond")


def test_host_name_of_1000_characters(lab):
    name = "H" * 1000
    start, code, seconds = run_with_host(lab, "host-long", host=name)
    assert code == 0
    assert f"servername={name}\r\n" in start.ini_text()
    assert f" -n {name} -x " in first_line(start)
    record_outcome("NV HostName of 1,000 characters", code, seconds, "read whole")


# --- start directories ---

@pytest.mark.parametrize("case,folder", [
    ("with blanks", "start dir/with blanks"), ("with Chinese characters", "数据库/启动目录")])
def test_start_directory_names(lab, case, folder):
    start, code, seconds = run_with_host(lab, folder)
    assert code == 0
    path = start.path
    quoted = f'"{path}\\datebase\\qzdb.db"' if " " in path else f"{path}\\datebase\\qzdb.db"
    assert first_line(start) == f"dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{{port=3362}} {quoted}"
    assert lab.run_value("qzdb") == (f'"{start.exe}"' if " " in path else start.exe)
    record_outcome(f"start directory {case}", code, seconds, "paths right" + ("; quoted" if " " in path else ""))


def test_start_directory_drive_root(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("drive-root")
    with lab.drive("R", start.folder):
        began = time.monotonic()
        code = lab.run([r"R:\velmor.exe"], capture=False).returncode
        seconds = time.monotonic() - began
        assert code == 0
        assert "apppath=R:\\\r\n" in start.ini_text()
        line = first_line(start)  # the stand-in writes its record on R: too
        assert line == "dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} R:\\\\datebase\\qzdb.db"
        assert lab.run_value("qzdb") == "R:\\\\velmor.exe"
    record_outcome("start directory at a drive root (R:\\)", code, seconds,
                   "setup.ini in R:\\; paths keep the double backslash as composed")


def test_start_directory_near_max_path(lab):
    # C:\e2e\ plus this folder is 240 characters; the program file's path then is 251.
    folder = "long-" + "x" * (240 - len("C:\\e2e\\") - len("long-"))
    start, code, seconds = run_with_host(lab, folder)
    assert len(start.path) == 240
    assert code == 0
    assert f"apppath={start.path}\r\n" in start.ini_text()
    assert first_line(start) == STANDARD_LINE.format(name="SRV1", path=start.path)
    record_outcome("start directory of 240 characters (near MAX_PATH)", code, seconds, "setup.ini and paths right")


# --- a second copy ---

def test_a_second_copy_while_the_first_waits_in_its_dialog(lab):
    lab.set_host_name(None)
    start = lab.start_directory("second-copy")
    first = start.start()
    assert lab.tool("dialog_driver", "inspect").startswith("field: ")  # the first waits in its dialog
    began = time.monotonic()
    second = start.run(timeout=30)
    seconds = time.monotonic() - began
    assert second == 0
    assert start.standin_launches(wait=1) == [], "the second copy started nothing"
    lab.tool("dialog_driver", "set", "FIRST")
    assert first.wait(timeout=30) == 0
    assert " -n FIRST -x " in first_line(start)
    assert len(start.standin_launches()) == 1
    record_outcome("second copy while the first waits in its dialog", second, seconds,
                   "second ends silently; first then finishes normally")


def test_host_name_with_a_line_break(lab, tmp_path):
    reg_file = tmp_path / "host.reg"
    data = ",".join(f"{b:02x}" for b in "SRV1\r\nport=1\0".encode("utf-16-le"))
    reg_file.write_text("\ufeffWindows Registry Editor Version 5.00\r\n\r\n"
                        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"
                        f'"NV HostName"=hex(1):{data}\r\n', encoding="utf-16-le")
    lab.run(["regedit", "/S", "Z:" + str(reg_file).replace("/", "\\")], capture=False)
    start = lab.start_directory("host-line-break")
    began = time.monotonic()
    code = start.run()
    lab.set_host_name("SRV1")
    assert code == 0
    text = start.ini_text()
    assert "servername=SRV1\r\n" in text and "port=" not in text
    assert first_line(start) == STANDARD_LINE.format(name="SRV1", path=start.path)
    record_outcome("NV HostName with a line break (SRV1, port=1)", code, time.monotonic() - began,
                   "only the first line stored; no key added")


# --- setup.ini held open by another program ---

@pytest.mark.parametrize("seconds", [1, 10])
def test_ini_locked(lab, seconds):
    lab.set_host_name("SRV1")
    start = lab.start_directory(f"ini-locked-{seconds}", databases=("mydb",))
    start.write_ini("[database]\ndbname=mydb\nport=4000\nstartype=不显示\n")
    lab.clear_run_value("mydb")
    lab.clear_run_value("qzdb")
    locker = lab.lock_file(start.path + "\\setup.ini", seconds)
    began = time.monotonic()
    run = start.start()
    if seconds == 1:
        code = run.wait(timeout=30)
        assert code == 0
        assert first_line(start) == ("dbsrv12.exe -os 10240k -m -c 8m -qi -n SRV1 -x tcpip{port=4000} "
                                     f"{start.path}\\datebase\\mydb.db")
        assert lab.run_value("mydb") == start.exe
        result = "waited for the lock; stored settings used"
    else:
        report = lab.dismiss("velmor")
        code = run.wait(timeout=30)
        assert code == 1
        assert f"{start.path}\\setup.ini" in report and "32" in report, report
        assert start.standin_launches(wait=1) == []
        result = "run-time error naming the file; nothing started or registered"
    seconds_taken = time.monotonic() - began
    assert lab.run_value("mydb") == (start.exe if seconds == 1 else None)
    assert lab.run_value("qzdb") is None
    lab.clear_run_value("mydb")
    locker.kill()
    record_outcome(f"setup.ini held open without sharing for {seconds} s", code, seconds_taken, result)


# --- characters outside the ANSI code page ---

@pytest.mark.parametrize("case,folder,reader", [
    ("Chinese start directory, code page 1252", "数据库-1252", False),
    # Best fit would store "Lodz", a folder that does not exist.
    ("Polish start directory (Łódź), code page 1252", "Łódź", False),
    ("Chinese start directory, code page 1252, ANSI setup.ini held open by a reader", "客户端", True),
])
def test_folder_outside_a_western_code_page(lab, case, folder, reader):
    # Code page 1252 lacks these letters: setup.ini becomes UTF-16 so that apppath keeps them.
    lab.set_host_name("SRV1")
    start = lab.start_directory(folder)
    old_line = b"apppath=D:\\old-pc\\client\r\n"
    if reader:  # the switch to UTF-16 is refused: the old line stays as it was
        start.ini.write_bytes(b"[database]\r\n" + old_line)
        holder = lab.hold_open_for_reading(start.path + "\\setup.ini", 10)
    began = time.monotonic()
    code = lab.run([start.exe], env={"LC_ALL": "C.UTF-8"}, capture=False).returncode
    seconds = time.monotonic() - began
    assert code == 0
    raw = start.ini.read_bytes()
    assert leftovers(start.folder) == []
    if reader:
        holder.kill()
        assert old_line in raw and not raw.startswith(b"\xff\xfe")
    else:
        assert raw.startswith(b"\xff\xfe")
        assert f"apppath={start.path}\r\n" in raw.decode("utf-16")
    assert first_line(start) == STANDARD_LINE.format(name="SRV1", path=start.path)
    assert lab.run_value("qzdb") == start.exe
    record_outcome(case, code, seconds, "old apppath line kept; paths of the real folder" if reader else
                   "setup.ini made UTF-16; paths keep every character")


@pytest.mark.parametrize("existing", [False, True], ids=["new", "existing"])
def test_conversion_on_another_volume(lab, existing):
    # The UTF-16 file is made beside setup.ini: a file made elsewhere could not be renamed
    # onto another volume.
    volume = Path(tempfile.mkdtemp(prefix="velmor-e2e-", dir="/dev/shm"))
    folder = volume / "ทดสอบ"
    install(folder)
    if existing:
        (folder / "setup.ini").write_bytes(b"[database]\r\nport=4000\r\n")
    lab.set_host_name("SRV1")
    try:
        with lab.drive("T", volume):
            began = time.monotonic()
            code = lab.run(["T:\\ทดสอบ\\velmor.exe"], capture=False).returncode
            seconds = time.monotonic() - began
        raw = (folder / "setup.ini").read_bytes()
        assert code == 0
        assert raw.startswith(b"\xff\xfe") and "apppath=T:\\ทดสอบ\r\n" in raw.decode("utf-16")
        assert ("port=4000" in raw.decode("utf-16")) == existing
        assert leftovers(folder) == []
    finally:
        shutil.rmtree(volume, ignore_errors=True)
    record_outcome(f"Thai start directory on another volume, {'existing' if existing else 'no'} setup.ini (936)",
                   code, seconds, "made UTF-16 beside itself; no file left over")


def test_thai_folder_with_an_existing_ansi_file(lab):
    original = "; 客户端设置\n[client]\nuser=张三\n[database]\n; 端口\nport=4000\n"
    start, code, seconds = run_with_host(lab, "ทดสอบ", setup=original)
    assert code == 0
    raw = start.ini.read_bytes()
    assert raw.startswith(b"\xff\xfe"), "rewritten as UTF-16"
    text = raw.decode("utf-16")
    for kept in ("; 客户端设置", "[client]", "user=张三", "; 端口", "port=4000"):
        assert kept in text
    assert f"apppath={start.path}\r\n" in text
    assert "tcpip{port=4000}" in first_line(start) and "\\ทดสอบ\\datebase\\" in first_line(start)
    record_outcome("Thai start directory, existing ANSI setup.ini (936)", code, seconds,
                   "rewritten once as UTF-16: comments, sections and keys kept")


def test_thai_service_name_from_the_dialog(lab):
    lab.set_host_name(None)
    start = lab.start_directory("thai-name")
    start.write_ini("[database]\nport=4000\n")
    run = start.start()
    began = time.monotonic()
    lab.tool("dialog_driver", "set", "ทดสอบ")
    code = run.wait(timeout=20)
    assert code == 0
    assert "servername=ทดสอบ\r\n" in start.ini.read_bytes().decode("utf-16")
    assert " -n ทดสอบ -x " in first_line(start)
    record_outcome("Thai service name saved from the dialog (936)", code, time.monotonic() - began,
                   "stored and used whole; file now UTF-16")


def test_ansi_file_whose_values_fit_stays_ansi(lab):
    start, code, seconds = run_with_host(lab, "数据-ansi", setup="[database]\nport=4000\n")
    assert code == 0
    assert not start.ini.read_bytes().startswith(b"\xff\xfe")
    assert f"apppath={start.path}\r\nsetup=1\r\nservername=SRV1\r\n" in start.ini_text()
    record_outcome("Chinese start directory, ANSI setup.ini (936)", code, seconds, "file stays ANSI")


def test_undecodable_ansi_file_is_not_converted(lab):
    # Bytes that are no text in code page 936 would change in a conversion: the file is left to
    # the profile functions, as before.
    garbage = random.Random(936).randbytes(4096)
    start, code, seconds = run_with_host(lab, "ทดสอบ-random", raw=garbage)
    assert code == 0
    assert not start.ini.read_bytes().startswith(b"\xff\xfe")
    assert first_line(start) is not None
    record_outcome("Thai start directory, setup.ini of random bytes (936)", code, seconds,
                   "not converted (would not convert back to the same bytes); run completes")
