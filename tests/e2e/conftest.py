import pytest

from winelab import OUTCOMES, ROOT, wine_lab


@pytest.fixture(scope="session")
def lab():
    with wine_lab() as wine:
        yield wine


@pytest.fixture(autouse=True)
def clean(lab):
    """Every case starts with no program of ours running and ends the same way."""
    lab.kill_all()
    yield
    lab.kill_all()


def pytest_terminal_summary(terminalreporter):
    if not OUTCOMES:
        return
    lines = ["| case | exit code | seconds | outcome |", "|---|---|---|---|"]
    lines += [f"| {case} | {code} | {seconds:.2f} | {result} |" for case, code, seconds, result in OUTCOMES]
    terminalreporter.write_sep("=", "robustness: bad input and faults")
    for line in lines:
        terminalreporter.write_line(line)
    if len(OUTCOMES) >= 20:  # the whole suite ran: keep the figures
        (ROOT / "docs" / "robustness.md").write_text(
            "# Robustness\n\nBad input and faults against the real `velmor.exe` under Wine, one run each, from\n"
            "`python3 -m pytest tests/e2e/test_robustness.py` (part of `scripts/test-all`). Every case ends\n"
            "with the program exited; the test checks `setup.ini` and the registry afterwards.\n"
            "A Run key that refuses the write cannot be made under Wine; the unit suite covers it with\n"
            "the fake platform (`StartSequence.ARefused*`).\n\n" + "\n".join(lines) + "\n", encoding="utf-8")
