# Sourced by the run, test and emulator scripts: a private Wine prefix per build
# folder, a null ALSA device, font replacements and an Xvfb display when none is set.
# usage: tarvo_wine_env <build-dir>

TARVO_WINE=${TARVO_WINE:-/usr/lib/wine/wine64}

tarvo_start_xvfb() {
  local build=$1 state=$1/xvfb.display n
  if [ -f "$state" ]; then
    n=$(cat "$state")
    if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$(cat "$build/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
      export DISPLAY=":$n"; return 0
    fi
  fi
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    nohup Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -ac </dev/null >/dev/null 2>&1 9>&- &
    echo $! > "$build/xvfb.pid"
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n" > "$state"; export DISPLAY=":$n"; return 0
    fi
  done
  echo "tarvo: could not start Xvfb" >&2
  return 1
}

tarvo_wine_env() {
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX=${TARVO_WINEPREFIX:-$build/wineprefix}
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export ALSA_CONFIG_PATH=$build/alsa-null.conf
  if [ ! -f "$ALSA_CONFIG_PATH" ]; then
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$ALSA_CONFIG_PATH"
  fi
  (
    flock 9
    if [ -z "${DISPLAY:-}" ]; then tarvo_start_xvfb "$build" || exit 1; fi
  ) 9>"$build/xvfb.lock" || return 1
  if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=":$(cat "$build/xvfb.display")"
  fi
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.tarvo-ready" ]; then
      "$TARVO_WINE" wineboot -i </dev/null >/dev/null 2>&1 9>&-
      local reg=$build/wine-fonts.reg
      # Font replacements for the families the program asks for, and no crash
      # debugger: a crashing test must end, not wait for winedbg.
      printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n"Segoe UI"="DejaVu Sans"\n"Bahnschrift"="DejaVu Sans Condensed"\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\n"Auto"="1"\n"Debugger"="false"\n\n' > "$reg"
      "$TARVO_WINE" regedit /S "$(winepath_of "$reg")" </dev/null >/dev/null 2>&1 9>&-
      # Let the first boot finish (services, audio devices) before anything runs.
      "${TARVO_WINESERVER:-/usr/lib/wine/wineserver}" -w </dev/null >/dev/null 2>&1 9>&-

      touch "$WINEPREFIX/.tarvo-ready"
    fi
  ) 9>"$build/wineprefix.lock"
}

# Wine maps the host root to drive Z:.
winepath_of() {
  printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"
}
