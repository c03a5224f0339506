import pytest

from winelab import OUT, OUTCOMES, wine_lab


@pytest.fixture(scope="session")
def lab():
    with wine_lab() as wine:
        yield wine


@pytest.fixture(autouse=True)
def clean(lab):
    """Every case starts with no program of ours running and ends the same way."""
    lab.kill_all()
    lab.wine_log.write_bytes(b"")
    yield
    lab.kill_all()


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item):
    # A failing case shows what Wine printed meanwhile: a run that Wine itself broke off
    # (its loader, its window system) tells so there, not in the program's exit code.
    outcome = yield
    report = outcome.get_result()
    lab = item.funcargs.get("lab") if hasattr(item, "funcargs") else None
    if report.failed and lab is not None and lab.wine_log.exists():
        printed = lab.wine_log.read_bytes().decode("utf-8", "replace")
        report.sections.append(("what Wine printed", printed[-6000:] or "(nothing)"))


def pytest_terminal_summary(terminalreporter):
    if not OUTCOMES:
        return
    lines = ["| case | exit code | seconds | outcome |", "|---|---|---|---|"]
    lines += [f"| {case} | {code} | {seconds:.2f} | {result} |" for case, code, seconds, result in OUTCOMES]
    terminalreporter.write_sep("=", "robustness: bad input and faults")
    for line in lines:
        terminalreporter.write_line(line)
    if len(OUTCOMES) >= 20:  # the whole suite ran: keep the figures for scripts/refresh-docs
        OUT.mkdir(parents=True, exist_ok=True)
        (OUT / "robustness.md").write_text(
            "# Robustness\n\nBad input and faults against the real `velmor.exe` under Wine, one run each, from\n"
            "`python3 -m pytest tests/e2e/test_robustness.py` (part of `scripts/test-all`). Every case ends\n"
            "with the program exited; the test checks `setup.ini` and the registry afterwards.\n"
            "A Run key that refuses writes is made under Wine by giving the key a DACL that denies\n"
            "setting values (`RegSetKeySecurity`, as `tests/win32/fault_maker.cpp` does); Wine enforces it.\n"
            "The autostart cases (exit codes 4 and 6, entries that start this program in either registry view,\n"
            "Task Manager's switch) and the runs that nobody watches (exit code 8) are in\n"
            "`tests/e2e/test_start_sequence.py`.\n\n"
            + "\n".join(lines) + "\n", encoding="utf-8")
