"""A signed release: a throw-away certificate authority signs both programs, Windows' checks
(osslsigncode here) accept them, the signed program still does its whole job, and a wrong
password leaves no package behind."""
import os
import subprocess
import zipfile

from winelab import ROOT, WIN64


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, capture_output=True)


def make_certificate(folder):
    """A CA and a code-signing certificate it issued, as sign.pfx with the password in pass.txt."""
    (folder / "pass.txt").write_text("secret\n")
    (folder / "signer.ext").write_text("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                                       "extendedKeyUsage=codeSigning\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
            "-subj", "/CN=velmor test CA", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=folder)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "signer.key", "-out", "signer.csr",
            "-subj", "/CN=velmor test signer", cwd=folder)
    openssl("x509", "-req", "-in", "signer.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-out", "signer.pem", "-days", "2", "-extfile", "signer.ext", cwd=folder)
    openssl("pkcs12", "-export", "-inkey", "signer.key", "-in", "signer.pem", "-certfile", "ca.pem",
            "-out", "sign.pfx", "-passout", "file:pass.txt", cwd=folder)


def release(folder, password_file):
    env = {**os.environ, "VELMOR_DIST": str(folder / "dist"), "VELMOR_SIGN_PFX": str(folder / "sign.pfx"),
           "VELMOR_SIGN_PASSWORD_FILE": str(password_file), "VELMOR_SIGN_URL": "https://example.invalid/velmor"}
    return subprocess.run([str(ROOT / "scripts" / "release")], env=env, capture_output=True, text=True, timeout=600)


def test_a_signed_release(lab, tmp_path):
    make_certificate(tmp_path)
    done = release(tmp_path, tmp_path / "pass.txt")
    assert done.returncode == 0, done.stderr
    packages = sorted((tmp_path / "dist").glob("*.zip"))
    assert [p.name.rsplit("-", 1)[1] for p in packages] == ["win32.zip", "win64.zip"]
    for package in packages:
        program = tmp_path / package.stem / "velmor.exe"
        with zipfile.ZipFile(package) as archive:
            name = next(n for n in archive.namelist() if n.endswith("/velmor.exe"))
            for script in ("install.cmd", "uninstall.cmd"):  # as the deployment guide's case tests them
                shipped = next(n for n in archive.namelist() if n.endswith(f"/deploy/{script}"))
                assert archive.read(shipped) == (ROOT / "deploy" / script).read_bytes(), shipped
            program.parent.mkdir()
            program.write_bytes(archive.read(name))
        check = subprocess.run(["osslsigncode", "verify", "-CAfile", str(tmp_path / "ca.pem"), "-in", str(program)],
                               capture_output=True, text=True)
        assert check.returncode == 0 and "Signature verification: ok" in check.stdout, check.stdout + check.stderr
    sums = (tmp_path / "dist" / "SHA256SUMS").read_text()
    listed = subprocess.run(["sha256sum", "-c", "-"], input=sums, cwd=tmp_path / "dist", capture_output=True, text=True)
    assert listed.returncode == 0, "the sums are of the signed packages"

    # The signed program of the lab's build does the whole job.
    lab.set_host_name("SRV1")
    start = lab.start_directory("signed")
    package = packages[1 if WIN64 else 0]
    (start.folder / "velmor.exe").write_bytes((tmp_path / package.stem / "velmor.exe").read_bytes())
    assert start.run() == 0
    assert len(start.standin_launches()) == 1
    assert lab.run_value("qzdb") == start.exe

    # A wrong password fails the release, and no package is left.
    (tmp_path / "wrong.txt").write_text("not the password\n")
    failed = release(tmp_path, tmp_path / "wrong.txt")
    assert failed.returncode != 0
    assert "signing" in failed.stderr and "failed" in failed.stderr
    assert not (tmp_path / "dist").exists() or not list((tmp_path / "dist").glob("*.zip"))
