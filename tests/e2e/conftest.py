import pytest

from winelab import Display, WineLab


@pytest.fixture(scope="session")
def lab():
    display = Display()
    wine = WineLab(display)
    try:
        yield wine
    finally:
        wine.close()
        display.close()


@pytest.fixture(autouse=True)
def clean(lab):
    """Every case starts with no program of ours running and ends the same way."""
    lab.kill_all()
    yield
    lab.kill_all()
