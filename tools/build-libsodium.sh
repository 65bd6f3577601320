#!/usr/bin/env bash
# Builds libsodium for Windows x86-64 from Debian's source package with the
# mingw-w64 cross compiler and puts it beside the executables as libsodium.dll,
# the name the owner console loads. The built DLL is cached in the build folder,
# so the source is fetched and compiled only once per build folder.
# usage: build-libsodium.sh <build-dir>
set -euo pipefail

build=$(mkdir -p "$1" && cd "$1" && pwd)
cache=$build/libsodium
dll=$cache/libsodium.dll
mkdir -p "$cache" "$build/bin"

if [ ! -s "$dll" ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"

  # apt-get source needs a deb-src entry for the release the machine runs.
  if ! grep -rqs -e '^deb-src' -e '^Types:.*deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "tarvo: adding a deb-src entry for $suite"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$suite" | $sudo tee /etc/apt/sources.list.d/tarvo-deb-src.sources >/dev/null
    $sudo apt-get update -qq
  fi

  work=$cache/source
  rm -rf "$work"
  mkdir -p "$work"
  echo "tarvo: fetching the libsodium source package"
  (cd "$work" && apt-get source -qq libsodium >/dev/null 2>&1) || {
    # A stale package list may not know the source yet.
    $sudo apt-get update -qq
    (cd "$work" && apt-get source -qq libsodium >/dev/null)
  }
  tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libsodium-*' | head -1)
  [ -n "$tree" ] || { echo "tarvo: the libsodium source tree was not unpacked" >&2; exit 1; }

  echo "tarvo: building libsodium for x86_64-w64-mingw32 in $tree"
  (
    cd "$tree"
    ./autogen.sh -s >"$cache/autogen.log" 2>&1
    # No pthreads and a static libgcc: the DLL then needs only system DLLs.
    ./configure --host=x86_64-w64-mingw32 --disable-static --enable-shared --without-pthreads \
      LDFLAGS=-static-libgcc >"$cache/configure.log" 2>&1
    make -j "$(nproc 2>/dev/null || echo 2)" >"$cache/make.log" 2>&1
  ) || { echo "tarvo: the libsodium build failed; see $cache/*.log" >&2; exit 1; }

  built=$(find "$tree/src/libsodium/.libs" -maxdepth 1 -name 'libsodium*.dll' | head -1)
  [ -n "$built" ] || { echo "tarvo: no libsodium DLL was produced" >&2; exit 1; }
  cp "$built" "$dll.tmp"
  x86_64-w64-mingw32-strip --strip-unneeded "$dll.tmp"
  mv "$dll.tmp" "$dll"
  rm -rf "$work"
fi

cp -f "$dll" "$build/bin/libsodium.dll"
echo "tarvo: libsodium.dll is in $build/bin"
