#!/usr/bin/env bash
# Starts the real executable under Wine with a private data root, watches the
# splash give way to the sign-in screen, closes the window with Alt+F4 and checks
# the exit code, the log and the saved preferences. Then starts it again to see
# the preferences read back.
# usage: start_and_close.sh <build-dir>
set -u
build=$(cd "$1" && pwd)
exe="$build/bin/TarvonixVolley.exe"
for tool in xdotool xwd convert; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
done
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
tarvo_wine_env "$build" || exit 1

root=$(mktemp -d /tmp/tarvo-e2e.XXXXXX)
frames=$root/frames
mkdir -p "$frames" "$root/data/Settings"
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$log" ] && cat "$log"; exit 1; }

export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")
log=$root/data/logs/tarvonix-volley.log
printf '{\n  "schemaVersion": 1,\n  "fpsLimit": 60\n}\n' > "$root/data/Settings/game.json"

window_of() {
  local w
  for _ in $(seq 1 400); do
    w=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.025
  done
  return 1
}

close_and_wait() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1
  xdotool key --window "$1" alt+F4 >/dev/null 2>&1
  for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  wait "$pid"
  local code=$?
  pid=
  return $code
}

# --- first start -------------------------------------------------------------
(cd "$build/bin" && exec "$TARVO_WINE" ./TarvonixVolley.exe) >/dev/null 2>&1 &
pid=$!
win=$(window_of 'TARVONIX VOLLEY') || fail "no main window"
n=0
for _ in $(seq 1 120); do
  xwd -root -display "$DISPLAY" > "$frames/$n.xwd" 2>/dev/null
  n=$((n + 1))
  grep -q 'LoginEntered' "$log" 2>/dev/null && break
  sleep 0.03
done
grep -q 'LoginEntered' "$log" 2>/dev/null || fail "the sign-in screen was not reached"

# The splash frame: the brand row of the canvas is lit; the sign-in screen (still
# empty) leaves it dark. The window has no frame under Xvfb, so its client area
# is where xwininfo puts it.
eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print "wx="$NF} /Absolute upper-left Y/{print "wy="$NF} /Width/{print "ww="$NF} /Height/{print "wh="$NF}')"
splash=
for i in $(seq 0 $((n - 1))); do
  brand=$(python3 - "$ww" "$wh" "$wx" "$wy" <<'PY'
import sys
w, h, x, y = map(float, sys.argv[1:])
s = min(w / 1920, h / 1080); ox = x + (w - 1920 * s) / 2; oy = y + (h - 1080 * s) / 2
l, t, r, b = 280, 385, 1640, 590
print(f"{int((r - l) * s)}x{int((b - t) * s)}+{int(ox + l * s)}+{int(oy + t * s)}")
PY
)
  bright=$(convert "xwd:$frames/$i.xwd" -crop "$brand" -format '%[fx:maxima]' info: 2>/dev/null)
  if awk -v b="${bright:-0}" 'BEGIN{exit !(b > 0.8)}'; then splash=$i; break; fi
done
if [ -n "$splash" ]; then
  convert "xwd:$frames/$splash.xwd" "$build/e2e-splash.png"
  echo "splash captured: $build/e2e-splash.png"
else
  echo "note: the splash was on screen too briefly to be captured on this machine"
fi
convert "xwd:$frames/$((n - 1)).xwd" "$build/e2e-signin.png"

close_and_wait "$win"
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4"

expected="ApplicationStarted UIInitialized WindowCreated SplashEntered InitializationStarted InitializationCompleted AnimationTimerArmed SplashExitReason=InitializationCompleted NavigationRequested(Login) LoginEntered"
events=$(sed -e 's/\r$//' -e 's/^.* | //' "$log" | tr '\n' ' ')
rest=" $events"
for e in $expected; do
  case "$rest" in
    *" $e "*) rest=" ${rest#* $e }" ;;
    *) fail "event $e missing or out of order in: $events" ;;
  esac
done
grep -q '"fpsLimit": 60' "$root/data/Settings/game.json" || fail "game.json was not read back and saved: $(cat "$root/data/Settings/game.json")"
grep -q '"controlBindings"' "$root/data/Settings/game.json" || fail "game.json was not rewritten on exit"

# --- second start: the saved file is read again --------------------------------
sed -i 's/"fpsLimit": 60/"fpsLimit": 120/' "$root/data/Settings/game.json"
(cd "$build/bin" && exec "$TARVO_WINE" ./TarvonixVolley.exe) >/dev/null 2>&1 &
pid=$!
win=$(window_of 'TARVONIX VOLLEY') || fail "no main window on the second start"
sleep 0.5
close_and_wait "$win"
code=$?
[ "$code" -eq 0 ] || fail "exit code $code on the second start"
grep -q '"fpsLimit": 120' "$root/data/Settings/game.json" || fail "the second start did not read game.json"
[ "$(grep -c 'ApplicationStarted' "$log")" -eq 2 ] || fail "the second run did not append to the log"
echo "ok"
