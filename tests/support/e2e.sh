# shellcheck shell=bash
# Sourced by the end-to-end scripts that drive the real executables under Wine and
# Xvfb: tool checks, a temporary root removed on exit, the program's log, its
# window, the mouse on the 1920 x 1080 design canvas, screenshots.
#
# Globals the helpers share with the script:
#   build   the build folder (absolute)        root  a temporary folder, removed on exit
#   log     the log file the events are read from and dumped on failure
#   shots   the folder screenshots go to       win   the window under test
#   pid     the program under test             fakepid  the fake account service
#   xvfb    a display server of the script's own, stopped on exit
#   wx wy ww wh  the window's client area on the screen (set by geometry)
# A script may define e2e_at_exit to release what it holds (keys, buttons) on exit.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"

# e2e_begin <build-dir> <root-name>: the absolute build folder and the temporary root.
e2e_begin() {
  build=$(cd "$1" && pwd)
  root=$(mktemp -d "/tmp/$2.XXXXXX")
  pid='' fakepid='' xvfb='' win='' log=${log:-}
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  [ -n "$fakepid" ] && stop_fake_service 100
  declare -F e2e_at_exit >/dev/null && e2e_at_exit
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$root"
}

# Exits 77 (skipped) unless every tool is installed.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
  done
}

# Fails unless every executable is built in $build/bin.
need_built() {
  local exe
  for exe in "$@"; do
    [ -f "$build/bin/$exe" ] || { echo "FAIL: $build/bin/$exe is not built"; exit 1; }
  done
}

fail() {
  echo "FAIL: $*"
  [ -n "$log" ] && [ -f "$log" ] && sed -e 's/\r$//' "$log" | cut -c1-240
  exit 1
}

# --- the log -----------------------------------------------------------------------
has() { grep -q -- "$1" "$log" 2>/dev/null; }
wait_for() {  # wait_for <event> <seconds>
  local tries=$(( $2 * 20 ))
  for _ in $(seq 1 "$tries"); do has "$1" && return 0; sleep 0.05; done
  return 1
}
log_events() {  # log_events [first-line]: the events alone, one a line
  sed -e 's/\r$//' -e 's/^.* | //' "$log" | tail -n +"${1:-1}"
}
in_order() {  # in_order <first-line> <event>...: each a whole line (ending in *: a line's start), after the one before
  local rest e head tail
  rest="|$(log_events "$1" | tr '\n' '|')"
  shift
  for e in "$@"; do
    head=${e%\*} tail='|'
    [ "$head" = "$e" ] || tail='*|'
    case "$rest" in
      *"|$head"$tail*) rest="|${rest#*"|$head"$tail}" ;;
      *) fail "event '$e' missing or out of order" ;;
    esac
  done
}

# --- the programs --------------------------------------------------------------------
# run_bin <exe> [args]: starts $build/bin/<exe> under Wine in the background; $! is its pid.
run_bin() {
  (cd "$build/bin" && exec "$TARVO_WINE" "./$1" "${@:2}") >/dev/null 2>&1 &
}

# The fake account service on a free port; its URL goes to TARVO_E2E_ACCOUNT_URL and
# what it receives to $root/requests.txt.
start_fake_service() {
  run_bin account_fake_service.exe "$(winepath_of "$root/url.txt")" \
    "$(winepath_of "$root/stop")" "$(winepath_of "$root/requests.txt")"
  fakepid=$!
  for _ in $(seq 1 600); do [ -f "$root/url.txt" ] && break; sleep 0.05; done
  [ -f "$root/url.txt" ] || fail "the fake account service did not start"
  export TARVO_E2E_ACCOUNT_URL=$(tr -d '\r\n' < "$root/url.txt")
}
stop_fake_service() {  # stop_fake_service [polls]: asks it to stop, ends it after the polls
  touch "$root/stop"
  for _ in $(seq 1 "${1:-200}"); do kill -0 "$fakepid" 2>/dev/null || break; sleep 0.05; done
  kill "$fakepid" 2>/dev/null
  wait "$fakepid" 2>/dev/null
  fakepid=
}

# Alt+F4 to $win, then the exit code of $pid.
close_and_wait() {
  xdotool windowactivate --sync "$win" >/dev/null 2>&1
  xdotool windowfocus "$win" >/dev/null 2>&1
  xdotool key --window "$win" alt+F4 >/dev/null 2>&1
  for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  wait "$pid"
  local code=$?
  pid=
  return $code
}

# --- the window and the design canvas --------------------------------------------------
# window_of <title> [seconds]: prints the id of the window of that title that the
# program under test ($pid) opened. Wine puts the Unix pid of the process into the
# window's _NET_WM_PID, and run_bin execs Wine in the process $! names; a process
# started under $pid counts as well. Another program's window, even one of the same
# title, is never taken.
window_of() {
  local w tries=$(( ${2:-10} * 40 ))
  [ -n "$pid" ] || return 1
  for _ in $(seq 1 "$tries"); do
    for w in $(xdotool search --name "$1" 2>/dev/null); do
      started_by_pid "$(xdotool getwindowpid "$w" 2>/dev/null)" && { echo "$w"; return 0; }
    done
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.025
  done
  return 1
}
started_by_pid() {  # started_by_pid <process>: it is $pid or runs under it
  local p=$1
  while [ -n "$p" ] && [ "$p" -gt 1 ]; do
    [ "$p" = "$pid" ] && return 0
    p=$(ps -o ppid= -p "$p" 2>/dev/null | tr -d ' ')
  done
  return 1
}
# The client area of $win (the window has no frame under Xvfb).
geometry() {
  eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print "wx="$NF} /Absolute upper-left Y/{print "wy="$NF} /Width:/{print "ww="$NF} /Height:/{print "wh="$NF}')"
}
# The canvas is scaled to fit the client area and centred in it.
canvas_point() {  # canvas_point <x> <y>: prints the screen point "x y"
  python3 - "$ww" "$wh" "$wx" "$wy" "$1" "$2" <<'PY'
import sys
w, h, x, y, cx, cy = map(float, sys.argv[1:])
s = min(w / 1920, h / 1080)
print(int(x + (w - 1920 * s) / 2 + cx * s), int(y + (h - 1080 * s) / 2 + cy * s))
PY
}
canvas_rect() {  # canvas_rect <left> <top> <right> <bottom>: prints the screen's WxH+X+Y
  python3 - "$ww" "$wh" "$wx" "$wy" "$1" "$2" "$3" "$4" <<'PY'
import sys
w, h, x, y, l, t, r, b = map(float, sys.argv[1:])
s = min(w / 1920, h / 1080)
ox, oy = x + (w - 1920 * s) / 2, y + (h - 1080 * s) / 2
print(f"{max(1, int((r - l) * s))}x{max(1, int((b - t) * s))}+{int(ox + l * s)}+{int(oy + t * s)}")
PY
}
click_settle=${click_settle:-0.2}
click_canvas() {  # click_canvas <x> <y>: moves there, clicks, waits $click_settle
  local x y
  read -r x y < <(canvas_point "$1" "$2")
  xdotool mousemove --sync "$x" "$y" >/dev/null 2>&1
  sleep 0.15
  xdotool click 1 >/dev/null 2>&1
  sleep "$click_settle"
}

# --- screen captures --------------------------------------------------------------------
grab() { xwd -root -display "$DISPLAY" > "$1" 2>/dev/null; }  # grab <file.xwd>
shot() {  # shot <name>: the whole screen as $shots/<name>.png
  grab "$root/frame.xwd" && convert "xwd:$root/frame.xwd" "$shots/$1.png"
}
canvas_stat() {  # canvas_stat <image> <format> <left> <top> <right> <bottom>
  convert "$1" -crop "$(canvas_rect "$3" "$4" "$5" "$6")" +repage -format "$2" info: 2>/dev/null
}
