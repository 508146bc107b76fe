#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build and the tests need and is not there yet.
# Runs as root, or through sudo for a normal user. A second run only checks.
set -euo pipefail

PACKAGES=(
  # build
  cmake make g++ clang libclang-rt-14-dev clang-format pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libgif-dev zlib1g-dev
  # the Linux program
  libx11-dev libxext-dev libxfixes-dev libfltk1.3-dev fonts-liberation2 fonts-vlgothic fontconfig
  # end-to-end tests
  xvfb xdotool x11-utils faketime procps util-linux
  # the Windows program
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64
)

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
