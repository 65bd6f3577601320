#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest under Wine.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tarvo_install_packages
tarvo_build -DTARVO_BUILD_TESTS=ON
source "$TARVO_ROOT/tools/wine-env.sh"
tarvo_wine_env "$TARVO_BUILD"
# One wineserver for the whole run keeps every test start cheap.
/usr/lib/wine/wineserver -p 60 </dev/null >/dev/null 2>&1 || true
# The first processes of a new server start Wine's services and fill its audio and
# font registries; let one process do that here, not many at once inside the tests.
# The services it starts live on after this script and keep whatever output they
# inherit, so they get a file: a pipe reading this script would never see its end.
timeout 300 "$TARVO_WINE" "$TARVO_BUILD/bin/wine-warmup.exe" </dev/null \
  >"$TARVO_BUILD/wine-warmup.log" 2>&1 || true
cd "$TARVO_BUILD"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@"
