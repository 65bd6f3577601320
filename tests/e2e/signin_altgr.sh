#!/usr/bin/env bash
# Types the sign-in form of the real game with real key events on an X keyboard
# whose '@' is AltGr+Q (right Alt as Mode_switch, as on older European maps),
# fixes a typo with Backspace, submits with a click and expects the fake account
# service to receive exactly what was typed and the home screen (the first screen
# with the footer) to follow the sync. Runs on a display of its own, because it
# changes that display's keyboard map.
# usage: signin_altgr.sh <build-dir>
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
e2e_begin "$1" tarvo-e2e-altgr
need_tools Xvfb xdotool xwd convert xwininfo python3
python3 -c 'import ctypes; ctypes.CDLL("libX11.so.6")' 2>/dev/null || { echo "skip: no libX11"; exit 77; }
need_built TarvonixVolleyAccountE2E.exe account_fake_service.exe

mkdir -p "$root/data"
shots=$build/e2e-signin-altgr
mkdir -p "$shots"
log=$root/data/logs/tarvonix-volley.log

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

tarvo_wine_env "$build" || fail "no Wine environment"

# --- the fake account service and the game -------------------------------------------
start_fake_service
export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")

run_bin TarvonixVolleyAccountE2E.exe
pid=$!
win=$(window_of 'TARVONIX VOLLEY' 30) || fail "no main window"
wait_for 'LoginEntered' 20 || fail "the sign-in screen was not reached"
sleep 0.3
geometry

# Cyan pixels (the footer's privacy link) in a canvas rectangle of the last shot.
cyan_in() {
  convert "$shots/$1.png" -crop "$(canvas_rect 1335 1018 1675 1064)" +repage -fx 'b > 0.7 && g > 0.5 && r < 0.45 ? 1 : 0' \
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
wait_for 'AccountRequestCompleted=sync' 20 || { shot stuck; fail "the sign-in did not reach the sync"; }
home=0
for _ in $(seq 1 40); do
  sleep 0.25
  shot home
  [ "$(cyan_in home)" -ge 20 ] && { home=1; break; }
done
[ "$home" -eq 1 ] || fail "the home screen did not follow the sync (see $shots/home.png)"

close_and_wait
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4"

# --- what the service received ----------------------------------------------------------
stop_fake_service
first=$(sed -n '1p' "$root/requests.txt" | tr -d '\r')
body=$(sed -n '2p' "$root/requests.txt")
[ "${first% }" = "POST /api/v1/auth/login" ] || fail "the first request was: $first"
case "$body" in
  *'"email":"pilot@example.com"'*'"password":"Secret123"'*) ;;
  *) fail "the sign-in sent: $body" ;;
esac
echo "screenshots in $shots"
echo "ok"
