#!/usr/bin/python3
"""Archives between our zip libraries (through the shared library, under Wine)
and Python's zipfile, both ways: Python reads, checks and decrypts what our
zip library wrote; our unzip library lists and extracts what Python wrote,
and refuses the members of a hostile archive that would land outside the
extract folder."""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

root = os.environ["VX_SOURCE_ROOT"]
tests = os.environ["VX_TEST_BIN_DIR"]
COMMENT = b"Package from Vindalex Personal Assistant by ZLM"
PASSWORD = b"Open sesame 42"
errors = []


def check(condition, text):
    if not condition:
        errors.append(text)


def run(work, gtest_filter):
    env = dict(os.environ, VX_ZIP_PEER_DIR=work)
    result = subprocess.run(
        [os.path.join(root, "scripts", "wine-run.sh"), os.path.join(tests, "trellane_zip_tests.exe"),
         "--gtest_filter=" + gtest_filter],
        env=env, capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        print(result.stdout, result.stderr)
        sys.exit("the test program failed: " + gtest_filter)


work = tempfile.mkdtemp(prefix="zip-peer-")
try:
    # Our archives, read by Python.
    inputs = {
        "report.txt": b"".join(b"line %d of the report\r\n" % (i % 41) for i in range(3000)),
        "binary.bin": bytes(range(256)) * 40 + os.urandom(5000),
        "empty.txt": b"",
    }
    os.makedirs(os.path.join(work, "in"))
    for name, data in inputs.items():
        with open(os.path.join(work, "in", name), "wb") as f:
            f.write(data)
    run(work, "ZipPeer.WritesArchivesForPython")
    for archive, encrypted in (("plain.zip", False), ("secret.zip", True)):
        with zipfile.ZipFile(os.path.join(work, archive)) as z:
            check(z.comment == COMMENT, "%s comment %r" % (archive, z.comment))
            names = sorted(i.filename for i in z.infolist())
            check(names == sorted(inputs), "%s members %r" % (archive, names))
            for info in z.infolist():
                check(bool(info.flag_bits & 1) == encrypted, "%s %s encryption flag" % (archive, info.filename))
                check(info.compress_type == zipfile.ZIP_DEFLATED, "%s %s method" % (archive, info.filename))
                if encrypted:
                    try:
                        z.read(info.filename)
                        errors.append("%s %s read without the password" % (archive, info.filename))
                    except RuntimeError:
                        pass
                    try:
                        z.read(info.filename, pwd=b"wrong password")
                        errors.append("%s %s read with a wrong password" % (archive, info.filename))
                    except (RuntimeError, zipfile.BadZipFile):
                        pass
                data = z.read(info.filename, pwd=PASSWORD if encrypted else None)  # checks the CRC too
                check(data == inputs.get(info.filename), "%s %s content" % (archive, info.filename))
            if not encrypted:
                check(z.testzip() is None, "%s testzip" % archive)

    # Python's archives, listed and extracted by ours.
    members = [
        (zipfile.ZipInfo("notes.txt", (2021, 6, 7, 8, 9, 10)), b"deflated notes\n" * 200, zipfile.ZIP_DEFLATED),
        (zipfile.ZipInfo("raw.bin", (2049, 12, 31, 23, 58, 0)), os.urandom(3000), zipfile.ZIP_STORED),
        (zipfile.ZipInfo("sub/deeper/leaf.txt", (1999, 1, 2, 3, 4, 6)), b"leaf", zipfile.ZIP_DEFLATED),
        (zipfile.ZipInfo("empty.dat", (2000, 2, 29, 0, 0, 0)), b"", zipfile.ZIP_STORED),
    ]
    with zipfile.ZipFile(os.path.join(work, "python.zip"), "w") as z:
        for info, data, method in members:
            info.compress_type = method
            z.writestr(info, data)
    hostile = [("../escape.txt", b"out"), ("sub/../../escape2.txt", b"out"), ("/rooted.txt", b"out"),
               ("C:/drive.txt", b"out"), ("kept/inside.txt", b"inside")]
    with zipfile.ZipFile(os.path.join(work, "hostile.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in hostile:
            z.writestr(zipfile.ZipInfo(name, (2020, 1, 1, 0, 0, 0)), data)
    run(work, "ZipPeer.ListsAndExtractsArchivesOfPython")

    with open(os.path.join(work, "report.txt")) as f:
        report = f.read().splitlines()
    with zipfile.ZipFile(os.path.join(work, "python.zip")) as z:
        expected = ["archive python.zip listed 1"]
        for info in z.infolist():
            y, mo, d, h, mi, _ = info.date_time
            year = y % 100 + (2000 if y % 100 < 50 else 1900)
            expected.append("%s|-|%d|%d|%04d-%02d-%02d %02d:%02d:00" % (
                info.filename, info.compress_size, info.file_size, year, mo, d, h, mi))
    expected.append("extracted 1")
    check(report[:len(expected)] == expected, "listing of python.zip:\n%s\nexpected\n%s" % (
        "\n".join(report[:len(expected)]), "\n".join(expected)))
    for info, data, _ in members:
        path = os.path.join(work, "out-python.zip", *info.filename.split("/"))
        try:
            with open(path, "rb") as f:
                check(f.read() == data, "extracted %s differs" % info.filename)
        except OSError:
            errors.append("not extracted: %s" % info.filename)
    check("archive hostile.zip listed 1" in report, "hostile.zip not listed")
    check(report[-1] == "extracted 0", "hostile archive reported as extracted: %s" % report[-1])
    with open(os.path.join(work, "out-hostile.zip", "kept", "inside.txt"), "rb") as f:
        check(f.read() == b"inside", "the safe member of the hostile archive")
    for name in ("escape.txt", "escape2.txt"):
        check(not os.path.exists(os.path.join(work, name)), "written outside: " + name)
    check(sorted(os.listdir(os.path.join(work, "out-hostile.zip"))) == ["kept"], "extra files in the extract folder")
finally:
    shutil.rmtree(work, ignore_errors=True)

if errors:
    sys.exit("\n".join(errors))
print("1 passed, 0 failed")
