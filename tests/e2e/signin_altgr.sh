#!/usr/bin/env bash
# Types the sign-in form of the real game with real key events on an X keyboard
# whose '@' is AltGr+Q (right Alt as Mode_switch, as on older European maps),
# fixes a typo with Backspace, submits with a click and expects the fake account
# service to receive exactly what was typed and the home screen (the first screen
# with the footer) to follow the sync. Runs on a display of its own, because it
# changes that display's keyboard map.
# usage: signin_altgr.sh <build-dir>
set -u
build=$(cd "$1" && pwd)
for tool in Xvfb xdotool xwd convert xwininfo python3; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
done
python3 -c 'import ctypes; ctypes.CDLL("libX11.so.6")' 2>/dev/null || { echo "skip: no libX11"; exit 77; }
for exe in TarvonixVolleyAccountE2E.exe account_fake_service.exe; do
  [ -f "$build/bin/$exe" ] || { echo "FAIL: $build/bin/$exe is not built"; exit 1; }
done

root=$(mktemp -d /tmp/tarvo-e2e-altgr.XXXXXX)
mkdir -p "$root/data"
shots=$build/e2e-signin-altgr
mkdir -p "$shots"
xvfb= pid= fakepid=
log=$root/data/logs/tarvonix-volley.log
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  touch "$root/stop"
  if [ -n "$fakepid" ]; then
    for _ in $(seq 1 100); do kill -0 "$fakepid" 2>/dev/null || break; sleep 0.05; done
    kill "$fakepid" 2>/dev/null; wait "$fakepid" 2>/dev/null
  fi
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$log" ] && sed -e 's/\r$//' "$log" | cut -c1-240
  exit 1
}

# --- a display of our own; -noreset keeps the keyboard map between clients -----------
for n in $(seq 141 190); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -ac -noreset </dev/null >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb" 2>/dev/null; then export DISPLAY=":$n"; break; fi
  kill "$xvfb" 2>/dev/null; xvfb=
done
[ -n "$xvfb" ] || fail "no free display for Xvfb"

python3 - <<'PY' || fail "could not set up the AltGr key"
# Right Alt (keycode 108) becomes Mode_switch on Mod5; Q's second group holds '@'.
import ctypes
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XStringToKeysym.restype = ctypes.c_ulong
x.XStringToKeysym.argtypes = [ctypes.c_char_p]
x.XKeysymToKeycode.restype = ctypes.c_ubyte
x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]

class ModifierKeymap(ctypes.Structure):
    _fields_ = [("max_keypermod", ctypes.c_int), ("modifiermap", ctypes.POINTER(ctypes.c_ubyte))]

Map = ctypes.POINTER(ModifierKeymap)
x.XGetModifierMapping.restype = Map
x.XGetModifierMapping.argtypes = [ctypes.c_void_p]
x.XInsertModifiermapEntry.restype = Map
x.XInsertModifiermapEntry.argtypes = [Map, ctypes.c_ubyte, ctypes.c_int]
x.XDeleteModifiermapEntry.restype = Map
x.XDeleteModifiermapEntry.argtypes = [Map, ctypes.c_ubyte, ctypes.c_int]
x.XSetModifierMapping.argtypes = [ctypes.c_void_p, Map]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

d = x.XOpenDisplay(None)
if not d:
    raise SystemExit(1)
sym = lambda name: x.XStringToKeysym(name.encode())
ralt = 108
q = x.XKeysymToKeycode(d, sym("q"))
x.XChangeKeyboardMapping(d, ralt, 2, (ctypes.c_ulong * 2)(sym("Mode_switch"), sym("Mode_switch")), 1)
x.XChangeKeyboardMapping(d, q, 4, (ctypes.c_ulong * 4)(sym("q"), sym("Q"), sym("at"), sym("at")), 1)
mods = x.XGetModifierMapping(d)
for index in range(8):
    mods = x.XDeleteModifiermapEntry(mods, ralt, index)
mods = x.XInsertModifiermapEntry(mods, ralt, 7)  # Mod5
x.XSetModifierMapping(d, mods)
x.XSync(d, 0)
PY

source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
tarvo_wine_env "$build" || fail "no Wine environment"

# --- the fake account service and the game -------------------------------------------
(cd "$build/bin" && exec "$TARVO_WINE" ./account_fake_service.exe "$(winepath_of "$root/url.txt")" \
   "$(winepath_of "$root/stop")" "$(winepath_of "$root/requests.txt")") >/dev/null 2>&1 &
fakepid=$!
for _ in $(seq 1 600); do [ -f "$root/url.txt" ] && break; sleep 0.05; done
[ -f "$root/url.txt" ] || fail "the fake account service did not start"
export TARVO_E2E_ACCOUNT_URL=$(tr -d '\r\n' < "$root/url.txt")
export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")

(cd "$build/bin" && exec "$TARVO_WINE" ./TarvonixVolleyAccountE2E.exe) >/dev/null 2>&1 &
pid=$!
win=
for _ in $(seq 1 600); do
  win=$(xdotool search --name 'TARVONIX VOLLEY' 2>/dev/null | head -1)
  [ -n "$win" ] && break
  sleep 0.05
done
[ -n "$win" ] || fail "no main window"
for _ in $(seq 1 400); do grep -q 'LoginEntered' "$log" 2>/dev/null && break; sleep 0.05; done
grep -q 'LoginEntered' "$log" 2>/dev/null || fail "the sign-in screen was not reached"
sleep 0.3
eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print "wx="$NF} /Absolute upper-left Y/{print "wy="$NF} /Width/{print "ww="$NF} /Height/{print "wh="$NF}')"

# A design-canvas rectangle as X geometry (WxH+X+Y) on the root window.
canvas_box() {
  python3 - "$ww" "$wh" "$wx" "$wy" "$@" <<'PY'
import sys
w, h, x, y, l, t, r, b = map(float, sys.argv[1:])
s = min(w / 1920, h / 1080)
ox, oy = x + (w - 1920 * s) / 2, y + (h - 1080 * s) / 2
print(f"{max(1, int((r - l) * s))}x{max(1, int((b - t) * s))}+{int(ox + l * s)}+{int(oy + t * s)}")
PY
}
click_canvas() {
  local box
  box=$(canvas_box "$1" "$2" "$1" "$2")
  local at=${box#*+}
  xdotool mousemove "${at%+*}" "${at#*+}" click 1 >/dev/null 2>&1
  sleep 0.2
}
shot() { xwd -root -display "$DISPLAY" 2>/dev/null | convert xwd:- "$shots/$1.png" 2>/dev/null; }
# Cyan pixels (the footer's privacy link) in a canvas rectangle of the last shot.
cyan_in() {
  convert "$shots/$1.png" -crop "$(canvas_box 1335 1018 1675 1064)" +repage -fx 'b > 0.7 && g > 0.5 && r < 0.45 ? 1 : 0' \
    -format '%[fx:mean*w*h]' info: 2>/dev/null | cut -d. -f1
}

# --- type with real keys: a typo fixed with Backspace, '@' through AltGr -----------------
click_canvas 1415 440                            # the e-mail field
xdotool type --delay 40 'pilotx' >/dev/null 2>&1
xdotool key --delay 40 BackSpace >/dev/null 2>&1
# Wine reads AltGr from the X state of the latest key event when the program
# translates the key, so AltGr stays down until the program has taken the Q.
xdotool keydown Mode_switch sleep 0.3 keydown q sleep 0.4 keyup q sleep 0.2 keyup Mode_switch >/dev/null 2>&1
xdotool type --delay 40 'example.com' >/dev/null 2>&1
click_canvas 1415 527                            # the password field
xdotool type --delay 40 'Secret123' >/dev/null 2>&1
sleep 0.4
shot typed
[ "$(cyan_in typed)" -lt 20 ] || fail "the sign-in screen already shows a footer"

click_canvas 1415 696                            # SIGN IN
for _ in $(seq 1 400); do grep -q 'AccountRequestCompleted=sync' "$log" 2>/dev/null && break; sleep 0.05; done
grep -q 'AccountRequestCompleted=sync' "$log" || { shot stuck; fail "the sign-in did not reach the sync"; }
home=0
for _ in $(seq 1 40); do
  sleep 0.25
  shot home
  [ "$(cyan_in home)" -ge 20 ] && { home=1; break; }
done
[ "$home" -eq 1 ] || fail "the home screen did not follow the sync (see $shots/home.png)"

xdotool key --window "$win" alt+F4 >/dev/null 2>&1
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
wait "$pid"
code=$?
pid=
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4"

# --- what the service received ----------------------------------------------------------
touch "$root/stop"
for _ in $(seq 1 200); do kill -0 "$fakepid" 2>/dev/null || break; sleep 0.05; done
wait "$fakepid" 2>/dev/null
fakepid=
first=$(sed -n '1p' "$root/requests.txt" | tr -d '\r')
body=$(sed -n '2p' "$root/requests.txt")
[ "${first% }" = "POST /api/v1/auth/login" ] || fail "the first request was: $first"
case "$body" in
  *'"email":"pilot@example.com"'*'"password":"Secret123"'*) ;;
  *) fail "the sign-in sent: $body" ;;
esac
echo "screenshots in $shots"
echo "ok"
