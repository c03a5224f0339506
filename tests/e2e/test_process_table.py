"""The process utility on Wine's real process table."""

def test_finds_a_running_program_by_its_file_name(lab):
    own_id, found = lab.tool("process_probe", "self").split()
    assert int(own_id) > 0
    assert found == own_id


def test_a_name_that_runs_nowhere_is_not_found(lab):
    assert lab.tool("process_probe", "find", "nothere.exe").strip() == "0"
    assert lab.tool("process_probe", "find", "process_probe").strip() == "0", "the extension belongs to the name"


def test_ends_a_running_program_by_id(lab):
    holder = lab.hold_window("holder", 30)
    found = int(lab.tool("process_probe", "find", "WINDOW_HOLDER.EXE").strip() or 0)
    assert found == 0, "the wanted name is compared as given, in lower case"
    found = int(lab.tool("process_probe", "find", "window_holder.exe").strip())
    assert found > 0
    assert lab.tool("process_probe", "kill", str(found)).strip() == "1"
    assert holder.wait(timeout=10) is not None
    assert lab.tool("process_probe", "find", "window_holder.exe").strip() == "0"
    assert lab.tool("process_probe", "kill", "-1").strip() == "0"
    assert lab.tool("process_probe", "kill", "0").strip() == "0"
