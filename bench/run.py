"""Times, under Wine and in one run, a full pass of velmor.exe (A) against the batch file an
administrator would write instead (B) and an empty program that creates one hidden window (F).

    bench/run          (builds first; REPEAT=N to change the 21 repetitions)

Host name known and the stand-in server already running, so A launches nothing. The runs are
interleaved A, B, F so that drift of the machine touches all three alike; the wineserver stays up
across them. A small Windows program of ours (bench/runner.cpp) starts each run with
CreateProcessW and times it until the process has ended, inside Wine. Under Wine 8 `tasklist` prints nothing, so B always takes its `start` branch; it
points at a missing program so that the branch fails fast.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from winelab import BUILD, WIN64, wine_lab  # noqa: E402

BATCH = r"""@echo off
tasklist | find /i "dbsrv12.exe" >nul
if errorlevel 1 start "" "C:\bench-batch\missing\dbsrv12.exe" -os 10240k -m -c 8m -q -n SRV1 -x tcpip{port=3362} C:\bench-batch\datebase\qzdb.db
reg add "HKLM\Software\Microsoft\Windows\CurrentVersion\Run" /v qzdb-batch /t REG_SZ /d "C:\bench-batch\velmor.exe" /f >nul
"""


def main():
    repeat = int(os.environ.get("REPEAT", "21"))
    with wine_lab() as lab:
        lab.kill_all()
        lab.set_host_name("SRV1")
        start = lab.start_directory("bench-velmor")
        assert start.run() == 0                       # starts the stand-in server ...
        assert len(start.standin_launches()) == 1      # ... which stays up through the benchmark
        batch_dir = lab.drive_c / "bench-batch"
        shutil.rmtree(batch_dir, ignore_errors=True)
        batch_dir.mkdir()
        (batch_dir / "start.bat").write_bytes(BATCH.replace("\n", "\r\n").encode("ascii"))
        floor = lab.drive_c / "bench-floor.exe"
        shutil.copy(BUILD / "bench_floor.exe", floor)

        names = ["A velmor.exe", "B batch file", "F empty window"]
        commands = [start.exe, r"cmd /c C:\bench-batch\start.bat", r"C:\bench-floor.exe"]
        shutil.copy(BUILD / "bench_runner.exe", lab.drive_c / "bench-runner.exe")
        out = lab.run([r"C:\bench-runner.exe", str(repeat), *commands], timeout=600).stdout.decode("utf-8", "replace")
        times = {name: [] for name in names}
        # The batch file's commands write to the same console: keep only the runner's lines.
        for index, ms in re.findall(r"^(\d) (-?\d+\.\d+)\r?$", out, re.M):
            assert float(ms) >= 0, f"{names[int(index)]} could not be started"
            times[names[int(index)]].append(float(ms) / 1000)
        launches = len(start.standin_launches())

    medians = {name: statistics.median(values) for name, values in times.items()}
    print(f"{repeat} repetitions each, interleaved; seconds from CreateProcessW to the end of the process\n")
    print("| case | median | min | max |")
    print("|---|---|---|---|")
    for name, values in times.items():
        print(f"| {name} | {medians[name]:.3f} | {min(values):.3f} | {max(values):.3f} |")
    a, b, f = medians["A velmor.exe"], medians["B batch file"], medians["F empty window"]
    print(f"\nA/F = {a / f:.2f}   (goal: at most 1.1)")
    print(f"A/B = {a / b:.2f}   (goal: at most 0.35)")
    size = (BUILD / "velmor.exe").stat().st_size
    print(f"velmor.exe: {size} bytes ({size / 1024:.0f} KiB; goal: under 1 MiB)")
    objdump = shutil.which(("x86_64" if WIN64 else "i686") + "-w64-mingw32-objdump") or "objdump"
    out = subprocess.run([objdump, "-p", str(BUILD / "velmor.exe")], capture_output=True, text=True).stdout
    print("imports:", ", ".join(re.findall(r"DLL Name: (\S+)", out)))
    print(f"server launches during the benchmark: {launches - 1} (the stand-in ran throughout)")


if __name__ == "__main__":
    main()
