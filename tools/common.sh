# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail

TARVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TARVO_BUILD=${TARVO_BUILD:-$TARVO_ROOT/build}

TARVO_PACKAGES=(
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine64 xvfb xauth libgl1-mesa-dri mesa-vulkan-drivers libvulkan1 libvulkan-dev
  glslang-tools spirv-tools fonts-dejavu-core fonts-dejavu-extra fonts-liberation
  cmake ninja-build python3 googletest x11-apps x11-utils imagemagick xdotool
  autoconf automake libtool dpkg-dev
)

tarvo_install_packages() {
  local missing=()
  for p in "${TARVO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "tarvo: installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

tarvo_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  cmake -S "$TARVO_ROOT" -B "$TARVO_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TARVO_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE="${TARVO_BUILD_TYPE:-Release}" "$@"
  cmake --build "$TARVO_BUILD" -j "$jobs"
  "$TARVO_ROOT/tools/build-libsodium.sh" "$TARVO_BUILD"
}
