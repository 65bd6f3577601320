#!/usr/bin/env bash
# Starts the owner console (the test launcher runs product kind 1) under Wine with a
# private data root, checks its own log file and the gate, clicks UNLOCK and then
# every sidebar entry with the real mouse, checks from each screenshot that the
# clicked entry is the marked one and that the page changed, and closes the window
# with Alt+F4. Screenshots are kept in <build-dir>/e2e-ostrel/.
# usage: ostrel_end_to_end.sh <build-dir>
set -u
build=$(cd "$1" && pwd)
exe="$build/bin/ostrel_launcher.exe"
[ -f "$exe" ] || { echo "FAIL: $exe is missing"; exit 1; }
for tool in xdotool xwd convert xwininfo; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
done
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
tarvo_wine_env "$build" || exit 1

root=$(mktemp -d /tmp/tarvo-ostrel-e2e.XXXXXX)
shots=$build/e2e-ostrel
rm -rf "$shots"
mkdir -p "$shots" "$root/data"
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  rm -rf "$root"
}
trap cleanup EXIT
log=$root/data/logs/tarvonix-ostrel-node.log
fail() { echo "FAIL: $*"; [ -f "$log" ] && cat "$log"; exit 1; }

export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")
(cd "$build/bin" && exec "$TARVO_WINE" ./ostrel_launcher.exe) >/dev/null 2>&1 &
pid=$!

win=
for _ in $(seq 1 400); do
  win=$(xdotool search --name 'OSTREL NODE' 2>/dev/null | head -1)
  [ -n "$win" ] && break
  sleep 0.025
done
[ -n "$win" ] || fail "no owner console window"
for _ in $(seq 1 100); do grep -q 'WindowCreated' "$log" 2>/dev/null && break; sleep 0.05; done
[ -f "$log" ] || fail "no tarvonix-ostrel-node.log in the data root"
[ ! -e "$root/data/logs/tarvonix-volley.log" ] || fail "the owner console wrote the game's log"
events=$(sed -e 's/\r$//' -e 's/^.* | //' "$log" | tr '\n' ' ')
for e in ApplicationStarted UIInitialized WindowCreated; do
  case " $events " in *" $e "*) ;; *) fail "event $e missing in: $events" ;; esac
done
case " $events " in *" SplashEntered "*) fail "the owner console has no splash" ;; esac

xdotool windowactivate --sync "$win" >/dev/null 2>&1
sleep 0.5
eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print "wx="$NF} /Absolute upper-left Y/{print "wy="$NF} /Width/{print "ww="$NF} /Height/{print "wh="$NF}')"

# Canvas point -> screen point for this window.
to_screen() {
  python3 - "$ww" "$wh" "$wx" "$wy" "$1" "$2" <<'PY'
import sys
w, h, x, y, cx, cy = map(float, sys.argv[1:])
s = min(w / 1920, h / 1080)
print(int(x + (w - 1920 * s) / 2 + cx * s), int(y + (h - 1080 * s) / 2 + cy * s))
PY
}
# A canvas rectangle as an ImageMagick crop of the root window.
crop_of() {
  python3 - "$ww" "$wh" "$wx" "$wy" "$1" "$2" "$3" "$4" <<'PY'
import sys
w, h, x, y, l, t, r, b = map(float, sys.argv[1:])
s = min(w / 1920, h / 1080); ox = x + (w - 1920 * s) / 2; oy = y + (h - 1080 * s) / 2
print(f"{max(1, int((r - l) * s))}x{max(1, int((b - t) * s))}+{int(ox + l * s)}+{int(oy + t * s)}")
PY
}
shot() {
  xwd -root -display "$DISPLAY" > "$root/frame.xwd" 2>/dev/null && convert "xwd:$root/frame.xwd" "$shots/$1.png"
}
click() {
  read -r sx sy <<<"$(to_screen "$1" "$2")"
  xdotool mousemove --sync "$sx" "$sy" click 1 >/dev/null 2>&1
}
# Mean green minus blue of sidebar entry $2 in a screenshot: the marked entry is
# tinted with the (yellow-green) accent, the others are not.
accent_of() {
  local top=$((150 + 54 * $2))
  convert "$shots/$1.png" -crop "$(crop_of 24 "$top" 296 $((top + 48)))" +repage \
    -format '%[fx:mean.g-mean.b]' info: 2>/dev/null
}
title_sum() {
  convert "$shots/$1.png" -crop "$(crop_of 360 34 1400 104)" +repage -format '%#' info: 2>/dev/null
}

# The first paint can take a while on a busy machine: wait for the UNLOCK button.
bright=0
for _ in $(seq 1 100); do
  shot 00-gate
  bright=$(convert "$shots/00-gate.png" -crop "$(crop_of 780 610 1140 678)" +repage -format '%[fx:mean]' info:)
  awk -v b="${bright:-0}" 'BEGIN{exit !(b > 0.4)}' && break
  sleep 0.1
done
awk -v b="${bright:-0}" 'BEGIN{exit !(b > 0.4)}' || fail "the gate's UNLOCK button is not drawn (mean $bright)"

click 960 644
pages=(overview players matches downloads statistics announcements economy tarv security versions release health audit settings backend)
previous=
for i in "${!pages[@]}"; do
  name=$(printf '%02d-%s' $((i + 1)) "${pages[$i]}")
  top=$((150 + 54 * i))
  [ "$i" -gt 0 ] && click 150 $((top + 24))
  ok=
  for _ in $(seq 1 80); do
    sleep 0.1
    shot "$name"
    a=$(accent_of "$name" "$i")
    other=$(accent_of "$name" $(((i + 1) % ${#pages[@]})))
    if awk -v a="${a:-0}" -v o="${other:-0}" 'BEGIN{exit !(a > o + 0.04)}'; then ok=1; break; fi
  done
  [ -n "$ok" ] || fail "page ${pages[$i]} is not marked in the sidebar after its click"
  sum=$(title_sum "$name")
  [ "$sum" != "$previous" ] || fail "the title did not change on ${pages[$i]}"
  previous=$sum
done

xdotool windowactivate --sync "$win" >/dev/null 2>&1
xdotool key --window "$win" alt+F4 >/dev/null 2>&1
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
wait "$pid"
code=$?
pid=
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4"
echo "ok: gate, unlock and 15 pages; screenshots in $shots"
