"""Start-up of the real program under Wine: the instance guard and the start directory."""
import time

from winelab import MAIN_TITLE


def test_a_window_with_the_main_title_ends_the_run_quietly(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("guard")
    holder = lab.hold_window(MAIN_TITLE)
    began = time.monotonic()
    assert start.run() == 0
    assert time.monotonic() - began < 10
    assert not start.ini.exists(), "a copy that ends at the guard touches nothing"
    assert start.standin_launches(wait=1) == []
    holder.kill()


def test_a_title_differing_in_one_character_does_not_stop_the_run(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("guard-other")
    holder = lab.hold_window(MAIN_TITLE[:-1] + "日")
    assert start.run() == 0
    assert start.ini.exists()
    holder.kill()


def test_the_start_directory_is_the_programs_folder_not_the_current_one(lab):
    # At logon Windows starts Run-key programs in the system directory.
    lab.set_host_name("SRV1")
    start = lab.start_directory("elsewhere")
    system32 = lab.drive_c / "windows" / "system32"
    stray = system32 / "setup.ini"
    stray.unlink(missing_ok=True)
    assert start.run(cwd=system32) == 0
    assert not stray.exists()
    assert "apppath=C:\\e2e\\elsewhere" in start.ini_text()
    assert start.standin_launches()[0].startswith(
        "dbsrv12.exe -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} C:\\e2e\\elsewhere\\datebase\\qzdb.db")


def test_two_copies_started_together_start_one_server(lab):
    lab.set_host_name("SRV1")
    for round_ in range(6):
        lab.kill_all()
        start = lab.start_directory(f"together-{round_}")
        copies = [start.start(), start.start()]
        assert [copy.wait(timeout=30) for copy in copies] == [0, 0], f"round {round_}"
        assert len(start.standin_launches()) >= 1
        time.sleep(1.0)  # a second server would have written its record by now
        assert len(start.standin_launches()) == 1, f"round {round_}"


def test_an_outside_close_of_the_main_window_while_the_dialog_waits(lab):
    # taskkill without /f sends WM_CLOSE: the run still does its job and ends with 0.
    lab.set_host_name(None)
    start = lab.start_directory("outside-close")
    first = start.start()
    assert lab.tool("dialog_driver", "inspect").startswith("field: ")
    assert lab.tool("fault_maker", "close-main") == "sent\n"
    time.sleep(0.5)
    assert start.run(timeout=30) == 0, "a second copy is still kept out"
    assert lab.tool("dialog_driver", "inspect").startswith("field: "), "one dialog, the first copy's"
    lab.tool("dialog_driver", "set", "FIRST")
    assert first.wait(timeout=30) == 0
    launches = start.standin_launches()
    assert len(launches) == 1 and " -n FIRST " in launches[0]
