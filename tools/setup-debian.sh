#!/usr/bin/env bash
# Installs what building and testing Pikora needs on Debian 12, as root.
# Idempotent: when everything is already there it only checks and returns.
set -euo pipefail

need_pkgs=(
  cmake make g++ python3
  g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  wine wine32:i386 xvfb x11-utils xauth
  fonts-ipafont-gothic locales
)

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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# The mingw g++ comes in two thread models; Pikora is built with the POSIX one
# so that std::thread and friends work in the e2e helpers.
if [ -x /usr/bin/i686-w64-mingw32-g++-posix ]; then
  update-alternatives --set i686-w64-mingw32-g++ /usr/bin/i686-w64-mingw32-g++-posix >/dev/null 2>&1 || true
  update-alternatives --set i686-w64-mingw32-gcc /usr/bin/i686-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
fi
echo "setup: done"
