"""Runs velmor.exe once under Wine in the demo start directory C:\\velmor-demo and reports."""
import socket
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from winelab import wine_lab  # noqa: E402


def main():
    with wine_lab() as lab:
        lab.kill_all()
        lab.set_host_name("DEMO-PC")
        start = lab.start_directory("velmor-demo")
        print(f"start directory: {start.path}  (velmor.exe, the stand-in dbsrv12.exe and datebase\\qzdb.db)")
        print("registry host name: DEMO-PC")
        began = time.monotonic()
        code = start.run()
        print(f"velmor.exe ended with exit code {code} after {time.monotonic() - began:.2f} s")
        print("\n--- setup.ini")
        print(start.ini_text().replace("\r\n", "\n").rstrip())
        print("\n--- the server's command line (as the stand-in received it)")
        launches = start.standin_launches()
        print(launches[0].splitlines()[0] if launches else "(the server was not started)")
        print("\n--- autostart value (HKLM\\...\\Run, name qzdb)")
        print(lab.run_value("qzdb"))
        print("\n--- connecting to the stand-in on 127.0.0.1:3362")
        with socket.create_connection(("127.0.0.1", 3362), timeout=5) as connection:
            print("server answered:", connection.recv(64).decode().strip())
        print("\n--- a second run while the server runs")
        code = start.run()
        time.sleep(1)
        print(f"exit code {code}; server launches so far: {len(start.standin_launches())} (no second launch)")
        print("\n--- velmor.exe /check: what a run would do now, changing nothing")
        check = lab.run([start.exe, "/check"])
        print(check.stdout.decode("gbk").replace("\r\n", "\n").rstrip())
        print(f"exit code {check.returncode}")

if __name__ == "__main__":
    main()
