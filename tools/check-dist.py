#!/usr/bin/env python3
"""Checks a release zip as a user on Windows would receive it.

    tools/check-dist.py ZIP

Prints one line per check and ends with "N passed, M failed"; the exit status
is 1 when a check failed. Needs the two MinGW objdumps (for tools/check-pe.sh).
"""

import hashlib
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
README_NAME = "まず読んでね!.html"
# What the zip must hold, no more, no less, in this order (sorted by UTF-8 bytes).
EXPECTED = ["LICENSE", "Pikora.exe", "SHA256SUMS", "pu.wav", "x64/Pikora.exe", README_NAME]
PROGRAMS = {"Pikora.exe": ("win32", "i686-w64-mingw32-objdump"),
            "x64/Pikora.exe": ("win64", "x86_64-w64-mingw32-objdump")}
UTF8_NAME_FLAG = 0x800

passed = 0
failed = 0


def check(ok, what, detail=""):
    global passed, failed
    if ok:
        passed += 1
        print(f"ok    {what}")
    else:
        failed += 1
        print(f"FAIL  {what}" + (f": {detail}" if detail else ""))


def local_header_flags(path, info):
    """The flags of the entry's local header: some extractors read the name from there."""
    with open(path, "rb") as f:
        f.seek(info.header_offset)
        header = f.read(30)
        signature, _, flags = struct.unpack("<IHH", header[:8])
        name = f.read(struct.unpack("<H", header[26:28])[0])
    return signature, flags, name


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def pe_timestamp(data):
    pe = struct.unpack("<I", data[0x3C:0x40])[0]
    return struct.unpack("<I", data[pe + 8:pe + 12])[0]


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    path = argv[1]
    try:
        z = zipfile.ZipFile(path)
    except (OSError, zipfile.BadZipFile) as e:
        print(f"FAIL  {path} cannot be opened: {e}")
        print("0 passed, 1 failed")
        return 1

    with z, tempfile.TemporaryDirectory() as work:
        infos = z.infolist()
        names = [i.filename for i in infos]
        check(names == EXPECTED, "holds exactly " + ", ".join(EXPECTED), f"holds {names}")
        data = {i.filename: z.read(i) for i in infos if i.filename in EXPECTED}
        bad_crc = z.testzip()
        check(bad_crc is None, "every entry reads back with its CRC", f"{bad_crc} is damaged")

        readme = next((i for i in infos if i.filename == README_NAME), None)
        if readme is None:
            check(False, "read-me name stored as UTF-8 with bit 11", "no read-me entry")
        else:
            signature, local_flags, local_name = local_header_flags(path, readme)
            check(readme.flag_bits & UTF8_NAME_FLAG and local_flags & UTF8_NAME_FLAG
                  and signature == 0x04034B50 and local_name == README_NAME.encode("utf-8"),
                  "read-me name stored as UTF-8 with bit 11, in both headers",
                  f"central flags {readme.flag_bits:#06x}, local flags {local_flags:#06x}, local name {local_name!r}")

        for name, (arch, objdump) in PROGRAMS.items():
            if name not in data:
                check(False, f"{name} is the {arch} GUI program, stripped", "missing")
                continue
            exe = os.path.join(work, arch + ".exe")
            with open(exe, "wb") as f:
                f.write(data[name])
            r = subprocess.run(["bash", os.path.join(ROOT, "tools", "check-pe.sh"), objdump, exe, arch],
                               capture_output=True, text=True)
            symbols = subprocess.run([objdump, "-t", exe], capture_output=True, text=True).stdout
            debug = re.findall(r"\s(\.debug\S*)", subprocess.run([objdump, "-h", exe], capture_output=True,
                                                                  text=True).stdout)
            stripped = "no symbols" in symbols and not debug
            check(r.returncode == 0 and stripped, f"{name} is the {arch} GUI program, stripped",
                  (r.stderr.strip() or r.stdout.strip()) if r.returncode else f"symbols or {debug} left")

        sums = data.get("SHA256SUMS", b"").decode("ascii", "replace")
        want = "".join(f"{hashlib.sha256(data.get(n, b'')).hexdigest()}  {n}\n" for n in PROGRAMS)
        check(sums == want, "SHA256SUMS holds the sums of the two zipped programs, in sha256sum's format",
              f"has {sums!r}, programs give {want!r}")

        # The marks of a reproducible zip that one build can show: one date for
        # every entry, equal to the programs' link time; one mode; and nothing
        # of the folder it was built in.
        dates = {i.date_time for i in infos}
        modes = {(i.create_system, i.external_attr >> 16) for i in infos}
        links = {time.gmtime(pe_timestamp(data[n]) & ~1)[:6] for n in PROGRAMS if n in data}
        check(len(dates) == 1 and links == dates and modes == {(3, 0o100644)},
              "one date for every entry, the programs' link time; mode 0644",
              f"dates {sorted(dates)}, link times {sorted(links)}, modes {sorted(modes)}")
        leaks = [n for n in PROGRAMS if n in data and ROOT.encode() in data[n]]
        check(not leaks, f"no program holds the source folder {ROOT}", f"found in {leaks}")

        same = [n for n, src in (("LICENSE", "LICENSE"), ("pu.wav", "src/res/pu.wav"),
                                 (README_NAME, "src/res/" + README_NAME))
                if n in data and read(os.path.join(ROOT, src)) == data[n]]
        check(len(same) == 3 and b"MIT License" in data.get("LICENSE", b""),
              "LICENSE (MIT), pu.wav and the read-me are the repository's files",
              f"only {same} match")

    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
