"""Whole runs of the real program: the server start and the autostart entry."""
import contextlib
import re
import shutil
import socket
import subprocess
import time

import pytest

from winelab import BUILD, CONFIG, LOGON_VIEW, OTHER_VIEW, ROOT, RUN_KEY, WINE, install


@pytest.fixture(params=["as_installed", "windows_xp"])
def reported_windows(request, lab):
    """The Windows version Wine reports to the programs started: its own default, or Windows XP
    (XP x64 in a 64-bit prefix), so that a path that asks for the version cannot break there."""
    if request.param == "windows_xp":
        xp = "winxp" if CONFIG == "win32" else "winxp64"
        lab.reg("add", r"HKCU\Software\Wine", "/v", "Version", "/t", "REG_SZ", "/d", xp, "/f")
        assert re.search(r"\b5\.[12]\.", lab.run(["cmd", "/c", "ver"]).stdout.decode()), "Wine reports XP"
    yield request.param
    lab.reg("delete", r"HKCU\Software\Wine", "/v", "Version", "/f")


def test_a_first_run_starts_the_server_and_registers_autostart(lab, reported_windows):
    lab.set_host_name("SRV1")
    # The entry of an earlier install in another folder, whose copy is still on disk.
    earlier = lab.start_directory("first-run-earlier", standin=False)
    lab.add_run_value("qzdb", f'"{earlier.exe}"')
    start = lab.start_directory("first-run")
    assert start.run() == 0
    assert start.ini_text() == "[database]\r\napppath=C:\\e2e\\first-run\r\nsetup=1\r\nservername=SRV1\r\n"
    launches = start.standin_launches()
    assert len(launches) == 1
    lines = launches[0].splitlines()
    assert lines[0] == "dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} C:\\e2e\\first-run\\datebase\\qzdb.db"
    assert lines[-2] == "arg11: C:\\e2e\\first-run\\datebase\\qzdb.db"
    assert lab.run_value("qzdb") == "C:\\e2e\\first-run\\velmor.exe"
    with socket.create_connection(("127.0.0.1", 3362), timeout=5) as connection:
        assert connection.recv(64).startswith(b"dbsrv12 stand-in")


def test_a_second_run_while_the_server_runs_launches_nothing(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("second-run")
    assert start.run() == 0
    assert len(start.standin_launches()) == 1
    lab.clear_run_value("qzdb")
    assert start.run() == 0
    time.sleep(1.5)
    assert len(start.standin_launches()) == 1
    assert lab.run_value("qzdb") == "C:\\e2e\\second-run\\velmor.exe", "autostart is written all the same"


def test_settings_choose_the_command_form(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("no-icon", databases=("销售",))
    start.write_ini("[database]\nstartype=不显示\nport=\ndbname=销售\n")
    assert start.run() == 0
    assert start.standin_launches()[0].splitlines()[0] == \
        "dbsrv12.exe -os 10240k -m -c 8m -qi -n SRV1 C:\\e2e\\no-icon\\datebase\\销售.db"
    assert lab.run_value("销售") == "C:\\e2e\\no-icon\\velmor.exe"
    lab.clear_run_value("销售")


def test_a_start_directory_with_blanks_is_quoted(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("with blanks/客户 端")
    assert start.run() == 0
    lines = start.standin_launches()[0].splitlines()
    assert lines[0].endswith(' -x tcpip{port=3362} "C:\\e2e\\with blanks\\客户 端\\datebase\\qzdb.db"')
    assert lines[-2] == "arg11: C:\\e2e\\with blanks\\客户 端\\datebase\\qzdb.db", "one argument for the server"
    assert lab.run_value("qzdb") == '"C:\\e2e\\with blanks\\客户 端\\velmor.exe"'


def test_a_server_name_with_a_blank_reaches_the_server_as_one_argument(lab):
    lab.set_host_name(None)
    start = lab.start_directory("name-blank")
    start.write_ini("[database]\nport=33 62\n")
    run = start.start()
    lab.tool("dialog_driver", "set", "MY SERVER")
    assert run.wait(timeout=20) == 0
    lines = start.standin_launches()[0].splitlines()
    assert lines[0] == ('dbsrv12.exe -os 10240k -m -c 8m -q -n "MY SERVER" -x "tcpip{port=33 62}" '
                        "C:\\e2e\\name-blank\\datebase\\qzdb.db")
    assert "arg8: MY SERVER" in lines and "arg10: tcpip{port=33 62}" in lines
    assert lines[-2] == "arg11: C:\\e2e\\name-blank\\datebase\\qzdb.db"


def test_a_run_before_the_database_registers_itself_and_the_next_starts_the_server(lab):
    # The first install, before the client has made or restored its database, after an
    # administrator tried the release unpacked in Downloads.
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    copy = lab.start_directory("Downloads/velmor-1.0-win32", databases=())
    try:
        assert copy.run() == 16
        assert copy.standin_launches(wait=1) == [], "no server for a database that is not there"
        assert lab.run_value("qzdb") == copy.exe, "registered all the same"
        # The client's installer made its datebase folder: its copy takes the entry over.
        client = lab.start_directory("client", databases=())
        (client.folder / "datebase").mkdir()
        assert client.run() == 16
        assert lab.run_value("qzdb") == client.exe
        # Tried again in Downloads, where a folder named like the database is no database: the
        # entry stays with the client's copy, and the exit code says so.
        (copy.folder / "datebase" / "qzdb.db").mkdir(parents=True)
        assert copy.run() == 16 + 32
        assert lab.run_value("qzdb") == client.exe
        assert "apppath=C:\\e2e\\Downloads\\velmor-1.0-win32\r\n" in copy.ini_text(), "setup.ini as always"
        # A device name (NUL.db is the null device before Windows 11) is no database either.
        copy.write_ini("[database]\ndbname=NUL\n")
        assert copy.run() == 16
        assert copy.standin_launches(wait=1) == []
        # The database appears: the next run, as at the next logon, starts the server.
        (client.folder / "datebase" / "qzdb.db").write_bytes(b"stand-in database\n")
        assert client.run() == 0 and len(client.standin_launches()) == 1
    finally:
        lab.clear_run_value("qzdb")
        lab.clear_run_value("NUL")


def test_the_installed_server_starts_never_one_from_the_current_folder(lab):
    # Started by an old shortcut's 8.3 path, from a folder where somebody put a dbsrv12.exe, with
    # the real server installed on PATH (as SQL Anywhere's installer leaves it).
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    installed = lab.start_directory("SQL Anywhere 12", databases=())
    planted = lab.start_directory("planted", databases=())
    start = lab.start_directory("client installed long ago", standin=False)
    short = lab.tool("fault_maker", "short-path", start.path).strip()
    assert "~" in short
    # A PATH as long as Windows 7 and later make them; the server on it is found all the same.
    path = ";".join([".", *(f"C:\\Program Files\\Vendor {n}\\Shared Components\\bin" for n in range(12)),
                     r"C:\e2e\SQL Anywhere 12"])
    assert len(path) > 255
    try:
        assert lab.run([short + "\\velmor.exe"], cwd=planted.folder, env={"WINEPATH": path},
                       capture=False).returncode == 0
        lines = installed.standin_launches()[0].splitlines()
        assert planted.standin_launches(wait=0) == [], "the current folder's dbsrv12.exe never runs"
        assert lines[0].startswith("dbsrv12.exe -os 10240k "), "the command line as composed"
        assert lines[0].endswith(f'"{start.path}\\datebase\\qzdb.db"'), "the long form, not the 8.3 one"
        assert lines[1] == f"cwd: {start.path}", "the server works in the start path"
        assert f"apppath={start.path}\r\n" in start.ini_text()
        assert lab.run_value("qzdb") == f'"{start.exe}"'
        # Beside the program and on PATH: the one beside it, the first folder looked in.
        lab.kill_all()
        shutil.copy(BUILD / "dbsrv12.exe", start.folder)
        assert lab.run([start.exe], cwd=planted.folder, env={"WINEPATH": path}, capture=False).returncode == 0
        assert len(start.standin_launches()) == 1 and len(installed.standin_launches()) == 1
        # Nowhere else to be found: no start, exit code 2.
        lab.kill_all()
        (start.folder / "dbsrv12.exe").unlink()
        assert lab.run([start.exe], cwd=planted.folder, capture=False).returncode == 2
    finally:
        lab.clear_run_value("qzdb")


AUTOSTART_FAILED = "将数据库加入启动项失败，数据库将不能自动启动，请在关闭安全软件后重新运行该程序!!!\n"
AUTOSTART_POLICY = "系统策略（DisableLocalMachineRun）禁止运行本机的启动项，数据库将不能自动启动，请联系管理员!!!\n"


def test_exit_codes_tell_what_was_not_done(lab):
    lab.set_host_name("SRV1")
    # No server program beside the program or on the path: 2, and autostart is in place.
    start = lab.start_directory("exit-no-server", standin=False)
    lab.clear_run_value("qzdb")
    assert start.run() == 2
    assert lab.run_value("qzdb") == start.exe
    lab.clear_run_value("qzdb")
    # The Run key refuses the write: 4 once the message is dismissed; both: 6.
    with lab.run_key_refusing_writes():
        for name, standin, code in (("exit-refused", True, 4), ("exit-both", False, 6)):
            lab.kill_all()  # no server left running from the case before
            start = lab.start_directory(name, standin=standin)
            run = start.start()
            assert lab.dismiss("提示") == AUTOSTART_FAILED
            assert run.wait(timeout=20) == code, name
            assert lab.run_value("qzdb") is None


@pytest.mark.parametrize("case", ["equivalent", "other_view", "ProgramFiles"])
def test_a_refused_write_beside_an_entry_that_starts_this_program_is_no_failure(lab, case):
    if case != "equivalent" and CONFIG == "win32":
        pytest.skip("one registry view, one program folder on 32-bit Windows")
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    if case == "equivalent":
        # Expandable, quoted, with an argument and in other letters: still this program.
        start = lab.start_directory("run-same")
        lab.add_run_value("qzdb", r'"%SystemDrive%\E2E\RUN-SAME\VELMOR.EXE" /x', kind="REG_EXPAND_SZ")
    elif case == "other_view":
        # As a Group Policy preference or the 64-bit regedit leaves it for the 32-bit build.
        start = lab.start_directory("run-other-view")
        lab.add_run_value("qzdb", start.exe, view=OTHER_VIEW)
    else:
        # Explorer expands %ProgramFiles% as a 64-bit program: C:\Program Files, where this copy is.
        start = lab.program_files_directory("e2e-run-expanded")
        lab.add_run_value("qzdb", r"%ProgramFiles%\e2e-run-expanded\velmor.exe", kind="REG_EXPAND_SZ")
    try:
        with lab.run_key_refusing_writes():
            began = time.monotonic()
            assert start.run(timeout=30) == 0, "no message box waits for anybody"
            assert time.monotonic() - began < 10
        if case == "other_view":
            lab.kill_all()
            assert start.run() == 0
            assert lab.run_value("qzdb") is None, "no second entry: Windows would start it twice"
    finally:
        lab.clear_run_value("qzdb")


@pytest.mark.parametrize("where", ["own_view", "other_view"])
def test_the_earlier_programs_unquoted_entry_counts_and_is_quoted_where_it_may_be(lab, where):
    if where == "other_view" and CONFIG == "win32":
        pytest.skip("one registry view on 32-bit Windows")
    view = OTHER_VIEW if where == "other_view" else None
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    start = lab.start_directory("legacy dir")
    lab.add_run_value("qzdb", start.exe, view=view)  # unquoted, with a blank: Windows tries C:\e2e\legacy.exe first
    try:
        with contextlib.ExitStack() as standard_user:  # a standard user's logon: no view may be written
            standard_user.enter_context(lab.run_key_refusing_writes())
            if view:
                standard_user.enter_context(lab.run_key_refusing_writes(view=view[0][-2:]))
            assert start.run(timeout=30) == 0, "Windows starts it: no box"
        assert lab.run_value("qzdb", view) == start.exe
        assert start.run() == 0
        assert lab.run_value("qzdb", view) == f'"{start.exe}"', "quoted, so that no C:\\e2e\\legacy.exe starts instead"
        if view is not None:
            assert lab.run_value("qzdb") is None, "quoted where it was found: no second entry"
    finally:
        lab.clear_run_value("qzdb")


def test_a_renamed_program_registers_itself_and_never_rewrites_its_entry(lab):
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    start = lab.start_directory("renamed")
    (start.folder / "velmor.exe").rename(start.folder / "dbstart.exe")
    exe = start.path + "\\dbstart.exe"
    assert lab.run([exe], capture=False).returncode == 0
    assert lab.run_value("qzdb") == exe
    # Again with the entry in place: security software that guards the key sees no write.
    trace = subprocess.run([WINE, exe], env={**lab.env, "WINEDEBUG": "+reg"}, cwd=lab.drive_c, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    assert trace.returncode == 0
    writes = [line for line in trace.stderr.decode("utf-8", "replace").splitlines() if "NtSetValueKey" in line]
    assert not any('L"qzdb"' in line for line in writes), writes
    lab.clear_run_value("qzdb")


def test_a_rerun_while_the_failure_message_waits_does_the_whole_job(lab):
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    start = lab.start_directory("rerun")
    with lab.run_key_refusing_writes():
        first = start.start()
        assert lab.tool("dialog_driver", "await", "提示") == AUTOSTART_FAILED
    # The technician runs it again as an administrator, as the message asks, box still open.
    assert start.run(timeout=30) == 0
    assert lab.run_value("qzdb") == start.exe
    assert lab.dismiss("提示") == AUTOSTART_FAILED
    assert first.wait(timeout=20) == 4
    lab.clear_run_value("qzdb")


# Task Manager's switch for the program's own entries, in the 64-bit view where Explorer reads it:
# those of the 32-bit view are under Run32.
def test_a_run_that_nobody_watches_waits_for_nobody(lab):
    # A deployment tool's run as SYSTEM: a window station without visible display surfaces,
    # where a box or the dialog would wait forever and the tool would see no exit code.
    def unseen_run(start):
        began = time.monotonic()
        runner = lab.start([str(BUILD / "station_runner.exe"), "20", start.exe])
        out = runner.stdout.readline().decode().strip()
        return out, time.monotonic() - began

    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    start = lab.start_directory("unseen-refused")
    with lab.run_key_refusing_writes():
        out, seconds = unseen_run(start)
    assert out == "exit 4" and seconds < 10, "no failure box"
    assert len(start.standin_launches()) == 1

    lab.kill_all()
    lab.set_host_name(None)
    start = lab.start_directory("unseen-no-host")
    assert unseen_run(start)[0] == "exit 8", "no dialog: nobody could be asked for a name"
    assert start.standin_launches()[0].splitlines()[0].startswith("dbsrv12.exe -os 10240k -m -c 8m -q -n qzdb ")
    assert lab.run_value("qzdb") == start.exe
    lab.clear_run_value("qzdb")

    lab.set_host_name("SRV1")
    start = lab.start_directory("unseen-locked")
    start.write_ini("[database]\nport=4000\n")
    locker = lab.lock_file(start.path + "\\setup.ini", 10)
    try:
        assert unseen_run(start)[0] == "exit 1", "no run-time error box"
    finally:
        locker.kill()
    assert start.standin_launches(wait=1) == []


APPROVED_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run" + (
    "32" if CONFIG == "wow64" else "")
APPROVED_VIEW = None if CONFIG == "win32" else "64"
POLICIES_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer"
SWITCHED_OFF = "03000000d40d438dc83bd901"  # as Task Manager leaves it: 03, then when


def test_autostart_that_windows_would_not_start_is_switched_on_or_reported(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("switched-off")
    lab.reg("add", APPROVED_KEY, "/v", "qzdb", "/t", "REG_BINARY", "/d", SWITCHED_OFF, "/f", *LOGON_VIEW)
    assert start.run() == 0
    assert lab.reg("query", APPROVED_KEY, "/v", "qzdb", *LOGON_VIEW).returncode != 0, "switched back on"
    # Where the run may not switch it on (a standard user's logon): the message and 4.
    lab.reg("add", APPROVED_KEY, "/v", "qzdb", "/t", "REG_BINARY", "/d", SWITCHED_OFF, "/f", *LOGON_VIEW)
    with lab.run_key_refusing_writes(APPROVED_KEY, APPROVED_VIEW):
        run = start.start()
        assert lab.dismiss("提示") == AUTOSTART_FAILED
        assert run.wait(timeout=20) == 4
    lab.reg("delete", APPROVED_KEY, "/v", "qzdb", "/f", *LOGON_VIEW)
    # A policy that makes Windows ignore the machine's Run key is the administrator's: kept, reported.
    lab.reg("add", POLICIES_KEY, "/v", "DisableLocalMachineRun", "/t", "REG_DWORD", "/d", "1", "/f", *LOGON_VIEW)
    try:
        run = start.start()
        assert lab.dismiss("提示") == AUTOSTART_POLICY, "names the policy, not the security software"
        assert run.wait(timeout=20) == 4
        assert lab.reg("query", POLICIES_KEY, "/v", "DisableLocalMachineRun", *LOGON_VIEW).returncode == 0
    finally:
        lab.reg("delete", POLICIES_KEY, "/v", "DisableLocalMachineRun", "/f", *LOGON_VIEW)
        lab.clear_run_value("qzdb")


def test_the_deployment_guides_commands_and_scripts_do_what_it_says(lab):
    guide = (ROOT / "docs" / "deploy.zh-CN.md").read_text("utf-8")
    blocks = re.findall(r"```bat\n(.*?)```", guide, re.S)
    assert len(blocks) == 4
    run_batch, query, delete, wow64 = blocks
    folder = lab.program_files_directory("client").folder
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")

    def batch(text):
        script = lab.drive_c / "guide.bat"
        script.write_bytes(text.replace("\n", "\r\n").encode("gbk"))
        return lab.run(["cmd", "/c", "C:\\guide.bat"], timeout=60).stdout.decode("gbk", "replace")

    assert "退出码 0" in batch(run_batch), "the run's exit code, as the guide shows it"
    assert lab.run_value("qzdb") == '"C:\\Program Files\\client\\velmor.exe"'
    assert "qzdb    REG_SZ    \"C:\\Program Files\\client\\velmor.exe\"" in batch(query)
    batch(delete)
    assert lab.run_value("qzdb") is None
    lab.reg("add", RUN_KEY, "/v", "qzdb", "/t", "REG_SZ", "/d", "x", "/f", "/reg:32")
    out = batch(wow64)
    assert "qzdb    REG_SZ    x" in out
    assert lab.run_value("qzdb") is None, "removed from the 32-bit view"

    # The deployment tools' scripts, as the release packages ship them (CR LF, nothing a GBK cmd
    # misreads), from a package folder after the client's own installer.
    scripts = {name: (ROOT / "deploy" / name).read_bytes() for name in ("install.cmd", "uninstall.cmd")}
    for text in scripts.values():
        assert text.decode("ascii").count("\n") == text.count(b"\r\n"), "CR LF throughout"
    shutil.rmtree(folder, ignore_errors=True)
    package = lab.drive_c / "e2e" / "package"
    shutil.rmtree(package, ignore_errors=True)
    package.mkdir(parents=True)
    for name, text in scripts.items():
        (package / name).write_bytes(text)

    def script(name):
        return lab.run(["cmd", "/c", f"C:\\e2e\\package\\{name}"], timeout=60).returncode

    assert script("install.cmd") == 2, "a package without velmor.exe"
    shutil.copy(BUILD / "velmor.exe", package)
    assert script("install.cmd") == 3, "the client is not installed: no retry"
    install(folder)  # the client's installation, with its database and (here) its server
    (folder / "velmor.exe").write_bytes(b"an older velmor.exe")
    locker = lab.lock_file("C:\\Program Files\\client\\velmor.exe", 10)
    try:
        # A Linux exit status keeps the low byte of Windows' 1618.
        assert script("install.cmd") == 1618 & 0xFF, "the program in use could not be replaced: try again"
    finally:
        locker.kill()
    lab.kill_all()
    (package / "setup.ini").write_bytes(b"[database]\r\nport=4000\r\n")
    assert script("install.cmd") == 0
    assert (folder / "velmor.exe").read_bytes() == (BUILD / "velmor.exe").read_bytes()
    assert b"port=4000" in (folder / "setup.ini").read_bytes()
    assert lab.run_value("qzdb") == '"C:\\Program Files\\client\\velmor.exe"'
    assert not (folder / "dbsrv12-cmdline.txt").exists(), "no server as SYSTEM: /register starts none"
    (folder / "setup.ini").write_bytes(b"[database]\r\nport=5000\r\n")  # as the client or the dialog left it
    assert script("install.cmd") == 0
    assert b"port=5000" in (folder / "setup.ini").read_bytes(), "the next boot keeps it"
    # The uninstall command: the entries first, then the program file; the client's setup.ini stays.
    assert script("uninstall.cmd") == 0
    assert lab.run_value("qzdb") is None and not (folder / "velmor.exe").exists() and (folder / "setup.ini").exists()
    assert script("uninstall.cmd") == 0, "once more: nothing left to do"
    lab.clear_run_value("qzdb")
    shutil.rmtree(folder, ignore_errors=True)


def test_file_names_compare_as_windows_compares_them_both_ways(lab):
    # CompareStringOrdinal (Vista on) and Windows XP's way, the system's upper case, must agree:
    # letters of XP users' code pages (1251, 1258, 1252) that a hand table got wrong, and names
    # that differ.
    for a, b, expected in (("C:\\Ґ\\velmor.exe", "c:\\ґ\\VELMOR.EXE", "equal"), ("Ơư", "ơƯ", "equal"),
                           ("ƒµ", "Ƒµ", "equal"), ("C:\\client\\velmor.exe", "C:\\client\\velmor2.exe", "different"),
                           ("C:\\app", "C:\\аpp", "different")):  # the second а is Cyrillic
        assert lab.tool("fault_maker", "compare", a, b) == f"ordinal {expected} upper {expected}\n", (a, b)


def test_the_deployers_switches_check_register_and_unregister(lab):
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    start = lab.start_directory("switches")

    def switch(word):
        done = lab.run([start.exe, word], timeout=30)
        return done.returncode, done.stdout.decode("gbk")  # a pipe: the OEM code page

    try:
        code, report = switch("/check")
        assert code == 4, report
        assert f"数据库文件：{start.path}\\datebase\\qzdb.db：存在\r\n" in report
        assert f"服务器程序：{start.path}\\dbsrv12.exe\r\n" in report
        assert not start.ini.exists() and lab.run_value("qzdb") is None, "nothing changed"
        assert switch("/REGISTER")[0] == 0
        assert lab.run_value("qzdb") == start.exe
        assert start.standin_launches(wait=1) == [], "no server from /register"
        code, report = switch("-check")
        assert code == 0, report
        assert "现在登录时：启动或找到服务器；退出码 0" in report
        lab.reg("add", APPROVED_KEY, "/v", "qzdb", "/t", "REG_BINARY", "/d", "02" + SWITCHED_OFF[2:], "/f",
                *LOGON_VIEW)
        # The client holds setup.ini open: /check says a run would stop, and shows no defaults.
        start.write_ini("[database]\ndbname=qzdb\n")
        locker = lab.lock_file(start.path + "\\setup.ini", 10)
        code, report = switch("/check")
        assert code == 1 and "dbname=" not in report, report
        # /unregister needs no setting: under the held file, it removes this program's entries
        # by program, the one under the name the client used before too.
        lab.add_run_value("olddb", start.exe)
        assert switch("/unregister")[0] == 0
        locker.kill()
        assert lab.run_value("qzdb") is None and lab.run_value("olddb") is None
        assert lab.reg("query", APPROVED_KEY, "/v", "qzdb", *LOGON_VIEW).returncode != 0, "its switch value with it"
    finally:
        lab.clear_run_value("qzdb")
        lab.clear_run_value("olddb")


def test_the_report_reaches_each_destination_in_the_form_its_readers_decode(lab):
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")  # /check's exit code 4: no entry yet
    start = lab.start_directory("destinations")
    out, piped = lab.drive_c / "report.txt", lab.drive_c / "piped.bin"

    def check(redirect, timeout=30):
        return lab.run(["cmd", "/c", f"{start.exe} /check {redirect}"], timeout=timeout).returncode

    # A new file: UTF-16 LE with its mark, every character kept.
    out.unlink(missing_ok=True)
    assert check("> C:\\report.txt") == 4
    report = out.read_bytes()
    assert report.startswith(b"\xff\xfe") and report[2:].decode("utf-16-le").startswith("velmor /check：只检查")
    assert "\r\n现在登录时：" in report[2:].decode("utf-16-le")
    # Appended to a batch file's GBK log: GBK, no mark in the middle; to a UTF-16 file: UTF-16, no mark.
    for before, encoding in (("安装日志\r\n".encode("gbk"), "gbk"), ("\ufeff安装日志\r\n".encode("utf-16-le"), "utf-16-le")):
        out.write_bytes(before)
        assert check(">> C:\\report.txt") == 4
        after = out.read_bytes()
        assert after.startswith(before) and b"\xff\xfe" not in after[len(before):], encoding
        assert after[len(before):].decode(encoding).startswith("velmor /check：只检查"), encoding
    # A pipe into a reader of ours: the OEM code page (936 here), never UTF-16. (Wine's cmd makes
    # "a | b" a temporary file, so the pipe is made here.)
    piped.unlink(missing_ok=True)
    velmor = lab.start([start.exe, "/check"])
    reader = subprocess.Popen([WINE, str(BUILD / "fault_maker.exe"), "copy-stdin", "C:\\piped.bin"],
                              stdin=velmor.stdout, env=lab.env, cwd=lab.drive_c)
    velmor.stdout.close()
    assert velmor.wait(timeout=30) == 4 and reader.wait(timeout=30) == 0
    bytes_ = piped.read_bytes()
    assert b"\0" not in bytes_ and bytes_.decode("gbk").startswith("velmor /check：只检查"), bytes_[:40]
    # NUL, as a script that only wants the exit code: written there, no box to wait on.
    began = time.monotonic()
    assert check("> NUL", timeout=20) == 4 and time.monotonic() - began < 15
    assert lab.run(["cmd", "/c", f"{start.exe} /check /register > NUL"], timeout=20).returncode == 87
    assert not start.ini.exists() and lab.run_value("qzdb") is None, "nothing changed"


def test_a_deployment_tools_quiet_flag_is_understood_and_a_guessed_switch_starts_no_server(lab):
    # As SYSTEM on a window station that nobody sees.
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    start = lab.start_directory("tool-switches")

    def unseen(*words):
        """The exit code, and the output for the tool (GBK, the OEM code page here)."""
        runner = lab.start([str(BUILD / "station_runner.exe"), "20", start.exe, *words])
        lines = runner.communicate(timeout=40)[0].decode("gbk").splitlines()
        return lines[-1], "\n".join(lines[:-1])

    try:
        code, output = unseen("/install")
        assert code == "exit 87" and "velmor.exe /register" in output, "the help, for the log"
        assert start.standin_launches(wait=1) == [] and not start.ini.exists(), "nothing done"
        assert unseen("/register", "/quiet") == ("exit 0", "velmor /register：自动启动项已就位，登录时启动本程序；退出码 0")
        assert lab.run_value("qzdb") == start.exe
        assert start.standin_launches(wait=1) == [], "no server as SYSTEM"
        assert unseen("/unregister", "/S")[0] == "exit 0"
        assert lab.run_value("qzdb") is None
    finally:
        lab.clear_run_value("qzdb")



def test_each_run_writes_one_event_of_its_outcome(lab):
    # Wine 8 keeps no Application log: ReportEventW prints each string under WINEDEBUG=+eventlog,
    # as warn: for a warning, err: for an error and trace: otherwise.
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
    loud = {"WINEDEBUG": "-all,err+winediag,+eventlog"}

    def reported(run):
        """What ran, and each reported string as (kind, string): "0134:warn:eventlog:ReportEventW L"…"."""
        lab.wine_log.write_bytes(b"")
        outcome = run()
        text = lab.wine_log.read_bytes().decode("utf-8", "replace")
        return outcome, re.findall(r"^[0-9a-f]+:(trace|warn|err):eventlog:ReportEventW (.*)$", text, re.M)

    try:
        started = lab.start_directory("events")
        code, lines = reported(lambda: lab.run([started.exe], env=loud, capture=False).returncode)
        assert code == 0 and len(started.standin_launches()) == 1
        assert [kind for kind, _ in lines] == ["trace"] * 3, lines
        assert "dbsrv12.exe -os 10240k" in lines[0][1] and lines[2][1] == 'L"0"', lines
        lab.clear_run_value("qzdb")

        missing = lab.start_directory("events-no-database", databases=())
        code, lines = reported(lambda: lab.run([missing.exe], env=loud, capture=False).returncode)
        assert code == 16
        assert [kind for kind, _ in lines] == ["warn"] * 3, lines
        assert "events-no-database\\\\datebase\\\\qzdb.db" in lines[0][1] and lines[2][1] == 'L"16"', lines
        lab.clear_run_value("qzdb")

        # A refused autostart where nobody sees the screen: the event, and no box.
        unseen = lab.start_directory("events-unseen")
        with lab.run_key_refusing_writes():
            (out, _), lines = reported(lambda: lab.start([str(BUILD / "station_runner.exe"), "20", unseen.exe],
                                                          env=loud).communicate(timeout=40))
        assert out.decode().strip().endswith("exit 4")
        assert ("warn", 'L"4"') in lines, lines
        # /check and /? write none.
        _, lines = reported(lambda: lab.run([started.exe, "/check"], env=loud).returncode)
        assert lines == []
    finally:
        lab.clear_run_value("qzdb")
