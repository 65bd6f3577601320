#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game client under Wine
# (on Xvfb when there is no display).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tarvo_install_packages
tarvo_build -DTARVO_BUILD_TESTS=OFF
source "$TARVO_ROOT/tools/wine-env.sh"
tarvo_wine_env "$TARVO_BUILD"
echo "tarvo: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
cd "$TARVO_BUILD/bin"
exec "$TARVO_WINE" ./TarvonixVolley.exe
