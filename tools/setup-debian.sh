#!/usr/bin/env bash
# Installs what building and testing Pikora needs on Debian 12, as root.
# Idempotent: when everything is already there it only checks and returns.
#   tools/setup-debian.sh        what `make test` and `make run` need
#   tools/setup-debian.sh fuzz   what `make fuzz` needs: clang and its
#                                libFuzzer runtime, GoogleTest; no Windows tools
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
what=${1:-all}

# The 64-bit half (64-bit MinGW, wine64) is what the Wine tests need on every
# machine; the 32-bit MinGW builds Pikora.exe as it ships. Wine's 32-bit half
# only where the kernel can execute 32-bit programs: elsewhere it could not
# start anyway.
need_pkgs=(
  cmake make g++ python3
  g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  wine wine64 xvfb x11-utils xauth
  fonts-ipafont-gothic locales
)
want_i386=0
if [ "$what" = fuzz ]; then
  need_pkgs=(cmake make python3 clang-14 libclang-rt-14-dev libgtest-dev libgmock-dev)
elif bash "$root/tools/can-run-32bit.sh"; then
  want_i386=1
  need_pkgs+=(wine32:i386)
fi

missing=()
for p in "${need_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}" >&2
  echo "setup: run 'make setup' as root (or with sudo) on Debian 12" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [ "$want_i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# The mingw g++ comes in two thread models; Pikora is built with the POSIX one
# so that std::thread and friends work in the e2e helpers.
for target in i686-w64-mingw32 x86_64-w64-mingw32; do
  if [ -x /usr/bin/$target-g++-posix ]; then
    update-alternatives --set $target-g++ /usr/bin/$target-g++-posix >/dev/null 2>&1 || true
    update-alternatives --set $target-gcc /usr/bin/$target-gcc-posix >/dev/null 2>&1 || true
  fi
done
if [ "$want_i386" = 0 ]; then
  echo "setup: this machine cannot execute 32-bit programs: 32-bit Wine not installed, the Wine tests run on the 64-bit build"
fi
echo "setup: done"
