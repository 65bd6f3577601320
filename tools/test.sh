#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest under Wine.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tarvo_install_packages
tarvo_build -DTARVO_BUILD_TESTS=ON
source "$TARVO_ROOT/tools/wine-env.sh"
tarvo_wine_env "$TARVO_BUILD"
# One wineserver for the whole run keeps every test start cheap.
/usr/lib/wine/wineserver -p 60 </dev/null >/dev/null 2>&1 || true
# The first process of a new server starts Wine's services; let that happen here,
# not inside a test's time limit.
timeout 300 "$TARVO_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
cd "$TARVO_BUILD"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@"
