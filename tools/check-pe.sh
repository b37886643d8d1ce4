#!/usr/bin/env bash
# Checks that a built program is what a clean Windows can start as it is: a
# GUI program of the given architecture that imports only Windows' own DLLs
# (a MinGW runtime DLL in the list would mean the static link was lost).
#
#   tools/check-pe.sh OBJDUMP EXE win32|win64
set -uo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 OBJDUMP EXE win32|win64" >&2
    exit 2
fi
objdump=$1 exe=$2 arch=$3
case "$arch" in
    win32) format=pei-i386 magic='(PE32)' ;;
    win64) format=pei-x86-64 magic='(PE32+)' ;;
    *) echo "check-pe: unknown architecture '$arch'" >&2; exit 2 ;;
esac
# Every DLL here is part of Windows itself (msvcrt.dll included).
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|winmm|advapi32|ole32|msvcrt)\.dll$'

if ! headers=$("$objdump" -p "$exe" 2>&1); then
    echo "check-pe: $exe: $headers" >&2
    exit 1
fi
failed=0
fail() {
    echo "check-pe: $exe: $*" >&2
    failed=1
}
grep -q "file format $format\$" <<<"$headers" || fail "not $format"
grep -qF "$magic" <<<"$headers" || fail "optional header is not $magic"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a Windows GUI program"
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ -n "$dlls" ] || fail "no imports found"
while read -r dll; do
    [ -z "$dll" ] && continue
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
    [[ $lower =~ $allowed ]] || fail "imports $dll, which Windows does not have"
done <<<"$dlls"
if [ "$failed" = 0 ]; then
    echo "$exe: $format GUI program, imports only Windows DLLs ($(tr '\n' ' ' <<<"$dlls"))"
fi
exit "$failed"
