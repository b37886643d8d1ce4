#!/usr/bin/env bash
# Exit status 0 when this machine can run 32-bit x86 programs, 1 when not.
# Some kernels have IA-32 emulation switched off: there Wine's 32-bit loader
# fails with "Exec format error" and no PE32 program can run under Wine.
#
#   tools/can-run-32bit.sh          try Wine's 32-bit loader when it is
#                                   installed, else a tiny 32-bit program
#   tools/can-run-32bit.sh --wine   Wine's 32-bit loader only (1 if missing)
set -uo pipefail

loader=/usr/lib/wine/wine
if [ -x "$loader" ]; then
    "$loader" --version >/dev/null 2>&1
    exit
fi
[ "${1:-}" = --wine ] && exit 1

# Before wine32 is installed: a 93-byte static i386 ELF that only calls
# exit(0), so the kernel itself answers.
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$dir/probe"
chmod +x "$dir/probe"
"$dir/probe" 2>/dev/null
