"""Whole runs of the real program: the server start and the autostart entry."""
import socket
import time


def test_a_first_run_starts_the_server_and_registers_autostart(lab):
    lab.set_host_name("SRV1")
    lab.clear_run_value("qzdb")
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
    start = lab.start_directory("no-icon")
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
