#!/usr/bin/env python3
"""Packs the release zip, build/dist/Pikora-<version>.zip, from the two Windows trees.

    tools/make-dist.py [WIN32_TREE [WIN64_TREE [OUT_DIR]]]   (build/win32 build/win64 build/dist)
    tools/make-dist.py --name                                 prints the zip's file name

The zip holds Pikora.exe (32-bit), x64/Pikora.exe (64-bit), the read-me, the
default sound, LICENSE and SHA256SUMS of the two programs. The programs are
stripped copies; the trees keep their symbols for debugging.

Two runs from one commit give the same bytes on any machine: every entry
carries the commit's time and mode 0644, entries are sorted, the stripped
programs carry the commit's time as their link time, and the build itself
keeps folders and link times out of the programs (cmake/win32.cmake).
"""

import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "src", "res")
README_NAME = "まず読んでね!.html"

# 2026-01-01 00:00:00 UTC: for a source tree that is neither in git nor given
# SOURCE_DATE_EPOCH (an unpacked source archive).
FALLBACK_EPOCH = 1767225600
# A zip date cannot be before 1980.
ZIP_EPOCH_MIN = 315532800


def fail(message):
    print(f"make-dist: {message}", file=sys.stderr)
    sys.exit(1)


def version():
    """The version Windows shows in the file's properties: the VERSIONINFO's FILEVERSION."""
    path = os.path.join(RES, "Pikora.rc")
    with open(path, encoding="utf-8") as f:
        m = re.search(r"^\s*FILEVERSION\s+(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)", f.read(), re.M)
    if not m:
        fail(f"no FILEVERSION in {path}")
    return ".".join(m.groups()[:3])


def zip_name():
    return f"Pikora-{version()}.zip"


def source_epoch():
    try:
        out = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout.strip()
        if out:
            dirty = subprocess.run(["git", "-C", ROOT, "status", "--porcelain", "--untracked-files=no"],
                                   capture_output=True, text=True).stdout.strip()
            # The date says which commit; a zip of uncommitted changes would claim
            # a commit it was not built from.
            if dirty:
                print("make-dist: note: the working tree has uncommitted changes, so this zip is not "
                      "the last commit's build", file=sys.stderr)
            return int(out), "last commit"
    except (OSError, subprocess.CalledProcessError, ValueError):
        pass
    sde = os.environ.get("SOURCE_DATE_EPOCH", "")
    if sde.isdigit():
        return int(sde), "SOURCE_DATE_EPOCH"
    return FALLBACK_EPOCH, "fixed date (not in git, no SOURCE_DATE_EPOCH)"


def cache_tool(tree, var, fallback):
    """The tool the tree was configured with, so a tree's own binutils strips its program."""
    try:
        with open(os.path.join(tree, "CMakeCache.txt"), encoding="utf-8") as f:
            for line in f:
                if line.startswith(var + ":"):
                    value = line.split("=", 1)[1].strip()
                    if value:
                        return value
    except OSError:
        fail(f"{tree} is not a configured build tree (no CMakeCache.txt)")
    return fallback


def stripped_program(tree, arch, prefix, epoch, workdir):
    exe = os.path.join(tree, "Pikora.exe")
    if not os.path.isfile(exe):
        fail(f"{exe} is missing: build the tree first (make {arch})")
    strip = cache_tool(tree, "CMAKE_STRIP", prefix + "-strip")
    objdump = cache_tool(tree, "CMAKE_OBJDUMP", prefix + "-objdump")
    out = os.path.join(workdir, arch + ".exe")
    # strip writes the PE header again, with the current time unless it is told
    # SOURCE_DATE_EPOCH.
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    r = subprocess.run([strip, "--strip-all", "-o", out, exe], env=env, capture_output=True, text=True)
    if r.returncode != 0:
        fail(f"{strip} {exe}: {r.stderr.strip()}")
    # Two swapped tree arguments would ship a 64-bit Pikora.exe.
    r = subprocess.run(["bash", os.path.join(ROOT, "tools", "check-pe.sh"), objdump, out, arch],
                       capture_output=True, text=True)
    if r.returncode != 0:
        fail(f"{exe} is not the {arch} program:\n{r.stderr.strip()}")
    with open(out, "rb") as f:
        return f.read()


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        fail(f"cannot read {path}: {e.strerror}")


def main(argv):
    if argv[1:] == ["--name"]:
        print(zip_name())
        return 0
    if len(argv) > 4 or any(a.startswith("-") for a in argv[1:]):
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    win32, win64, out_dir = argv[1:] + ["build/win32", "build/win64", "build/dist"][len(argv) - 1:]

    epoch, epoch_from = source_epoch()
    epoch = max(epoch, ZIP_EPOCH_MIN)
    stamp = time.gmtime(epoch)[:6]

    with tempfile.TemporaryDirectory() as work:
        exe32 = stripped_program(win32, "win32", "i686-w64-mingw32", epoch, work)
        exe64 = stripped_program(win64, "win64", "x86_64-w64-mingw32", epoch, work)

    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n"
                   for name, data in (("Pikora.exe", exe32), ("x64/Pikora.exe", exe64)))
    entries = {
        "Pikora.exe": exe32,
        "x64/Pikora.exe": exe64,
        README_NAME: read(os.path.join(RES, README_NAME)),
        "pu.wav": read(os.path.join(RES, "pu.wav")),
        "LICENSE": read(os.path.join(ROOT, "LICENSE")),
        "SHA256SUMS": sums.encode("ascii"),
    }

    os.makedirs(out_dir, exist_ok=True)
    target = os.path.join(out_dir, zip_name())
    fd, tmp = tempfile.mkstemp(dir=out_dir, prefix=".Pikora-", suffix=".zip")
    try:
        with os.fdopen(fd, "wb") as raw, zipfile.ZipFile(raw, "w") as z:
            for name in sorted(entries, key=lambda n: n.encode("utf-8")):
                info = zipfile.ZipInfo(name, date_time=stamp)
                info.compress_type = zipfile.ZIP_DEFLATED
                info.create_system = 3  # Unix, so that the mode below is read as one
                info.external_attr = 0o100644 << 16
                # zipfile stores a non-ASCII name as UTF-8 and sets bit 11, which
                # Windows' own extractor needs to show the Japanese name.
                z.writestr(info, entries[name], compresslevel=9)
        os.chmod(tmp, 0o644)
        os.replace(tmp, target)
    except BaseException:
        os.unlink(tmp)
        raise

    digest = hashlib.sha256(read(target)).hexdigest()
    print(f"{target}: {len(entries)} files, dated {time.strftime('%Y-%m-%d %H:%M:%S UTC', time.gmtime(epoch))} "
          f"({epoch_from}), sha256 {digest}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
