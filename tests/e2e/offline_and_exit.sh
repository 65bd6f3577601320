#!/usr/bin/env bash
# The game under Wine and Xvfb without a usable account service: nothing is lost,
# nothing hangs.
# 1. A stored profile file holding "LOCAL" and another account's profile, with one
#    bit of the other account's kills flipped. A start that goes from the splash to
#    sign-in and is closed leaves the file as it was (the profile was never read).
#    Two starts with Escape on the splash reach home with the stored "LOCAL"
#    profile and keep it; the damaged file is kept beside as player.dat.damaged and
#    both readable profiles go on.
# 2. A sign-in against a service that accepts and never answers, and one against a
#    service that sends a byte every three seconds: Alt+F4 while it is pending ends
#    the process within 2 s of its window's destruction, with the log and the
#    files whole.
# usage: offline_and_exit.sh <build-dir>
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
e2e_begin "$1" tarvo-e2e-offline
need_tools xdotool xwd convert xwininfo python3
need_built TarvonixVolleyAccountE2E.exe
tarvo_wine_env "$build" || exit 1

profile_tool=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/player_dat.py
shots=$build/e2e-offline
mkdir -p "$shots" "$root/data/Profile"
export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")
log=$root/data/logs/tarvonix-volley.log
player=$root/data/Profile/player.dat
# Nothing listens there: a request would fail at once.
export TARVO_E2E_ACCOUNT_URL=http://127.0.0.1:9/api/v1

# The window of this process once it is on the screen: a later start may show its
# window only after its splash has ended, and the X id of the last one comes back.
start_game() {
  first=$(( $( [ -f "$log" ] && wc -l < "$log" || echo 0) + 1 ))
  run_bin TarvonixVolleyAccountE2E.exe
  pid=$!
  win=
  for _ in $(seq 1 300); do
    win=$(xdotool search --all --onlyvisible --pid "$pid" --name 'TARVONIX VOLLEY' 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.05
  done
  [ -n "$win" ] || fail "no main window"
  geometry
}
this_run() { log_events "$first"; }

# Alt+F4; the exit code must be 0. Without a window manager Wine alone takes about
# 2 s to take the window down, so the 2 s bound runs from the window's destruction,
# which the log marks when a request is pending ("PendingRequestsAtExit=").
close_and_check() {  # close_and_check <what> [pending request]
  xdotool windowactivate --sync "$win" >/dev/null 2>&1
  xdotool windowfocus "$win" >/dev/null 2>&1
  xdotool key --window "$win" alt+F4 >/dev/null 2>&1
  local gone=
  for _ in $(seq 1 750); do
    kill -0 "$pid" 2>/dev/null || { gone=$(date +%s%3N); break; }
    sleep 0.02
  done
  [ -n "$gone" ] || fail "$1: the process still runs 15 s after Alt+F4"
  wait "$pid"
  local code=$?
  pid=
  [ "$code" -eq 0 ] || fail "$1: exit code $code"
  [ $# -ge 2 ] || return 0
  local stamp closed
  stamp=$(grep -a "| PendingRequestsAtExit=$2" "$log" | tail -n 1 | cut -c1-23)
  [ -n "$stamp" ] || fail "$1: the window's destruction did not find the request pending"
  closed=$(date -d "$stamp" +%s%3N)
  echo "$1: process gone $((gone - closed)) ms after the window was destroyed"
  [ $((gone - closed)) -le 2000 ] || fail "$1: the process lived $((gone - closed)) ms after its window was destroyed"
}

# Escape while the splash shows leads home; a key after the splash ended does
# nothing on sign-in. Starts again when the splash was missed.
start_home_with_escape() {
  local attempt
  for attempt in 1 2 3; do
    start_game
    for _ in $(seq 1 16); do
      xdotool mousemove "$((wx + ww / 2))" "$((wy + wh / 2))" >/dev/null 2>&1
      xdotool windowfocus "$win" >/dev/null 2>&1
      xdotool key --window "$win" Escape >/dev/null 2>&1
      this_run | grep -q 'SplashExitReason' && break
      sleep 0.05
    done
    sleep 1.5
    this_run | grep -q 'SplashExitReason' || return 0
    echo "note: attempt $attempt missed the splash; starting again"
    close_and_check "missed splash"
  done
  fail "the home screen was not reached with Escape"
}

# --- 1. the stored profile ------------------------------------------------------------
python3 "$profile_tool" write "$player" flip-last-kills
cp "$player" "$root/seeded.dat"

start_game
wait_for 'LoginEntered' 15 || fail "the sign-in screen was not reached"
close_and_check "sign-in, closed"
cmp -s "$player" "$root/seeded.dat" || fail "a profile that was never read was written over the stored one"
[ ! -e "$player.damaged" ] || fail "nothing was written, yet a damaged copy was kept"

for run in 1 2; do
  start_home_with_escape
  close_and_check "home with Escape, run $run"
done
cmp -s "$player.damaged" "$root/seeded.dat" || fail "the damaged file was not kept as it was"
[ "$(grep -c 'PlayerDataDamaged Kept=player.dat.damaged Profiles=2' "$log")" -eq 1 ] ||
  fail "the damaged file was not logged once with its two readable profiles"
profiles=$(python3 "$profile_tool" read "$player") || fail "player.dat cannot be read"
expected="LOCAL|KEPT_PILOT|7|42
srv-9|OTHER|3|4
sealed"
[ "$profiles" = "$expected" ] || fail "player.dat after two starts with Escape:
$profiles"

# --- 2. requests that never end --------------------------------------------------------
# A loopback service: "silent" accepts and sends nothing, "drip" sends a status line
# one byte every three seconds. Writes its port, then each connection and byte sent.
serve() {
  rm -f "$root/stop" "$root/port" "$root/served"
  python3 - "$1" "$root/port" "$root/served" "$root/stop" <<'PY' &
import os, socket, sys, threading, time
mode, port_file, served, stop = sys.argv[1:]
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
listener.settimeout(0.2)
with open(port_file + ".tmp", "w") as f:
    f.write(str(listener.getsockname()[1]))
os.rename(port_file + ".tmp", port_file)
held = []
def note(text):
    with open(served, "a") as f:
        f.write(text + "\n")
def drip(conn):
    for byte in b"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}":
        if os.path.exists(stop):
            return
        try:
            conn.send(bytes([byte]))
        except OSError:
            return
        note("byte")
        time.sleep(3)
while not os.path.exists(stop):
    try:
        conn, _ = listener.accept()
    except socket.timeout:
        continue
    held.append(conn)
    note("accepted")
    if mode == "drip":
        threading.Thread(target=drip, args=(conn,), daemon=True).start()
PY
  fakepid=$!
  for _ in $(seq 1 100); do [ -f "$root/port" ] && break; sleep 0.05; done
  [ -f "$root/port" ] || fail "the $1 service did not start"
  export TARVO_E2E_ACCOUNT_URL="http://127.0.0.1:$(cat "$root/port")/api/v1"
}

sign_in_and_close() {  # sign_in_and_close <mode> <what the service notes> <how many before closing>
  serve "$1"
  cp "$player" "$root/before.dat"
  start_game
  wait_for 'LoginEntered' 15 || fail "$1: the sign-in screen was not reached"
  sleep 1  # a window shown late takes input a moment after it is mapped
  xdotool windowactivate --sync "$win" >/dev/null 2>&1
  xdotool windowfocus --sync "$win" >/dev/null 2>&1  # no window manager hands the focus on
  click_canvas 1415 440
  xdotool type --delay 30 'pilot@example.com' >/dev/null 2>&1
  click_canvas 1415 527
  xdotool type --delay 30 'Secret123' >/dev/null 2>&1
  shot "$1-typed"
  click_canvas 1415 696
  wait_for 'AccountRequestStarted=login' 10 || { shot "$1-not-sent"; fail "$1: the sign-in was not sent (screenshots in $shots)"; }
  for _ in $(seq 1 300); do
    [ "$(grep -c "$2" "$root/served" 2>/dev/null)" -ge "$3" ] && break
    sleep 0.05
  done
  [ "$(grep -c "$2" "$root/served" 2>/dev/null)" -ge "$3" ] || fail "$1: the service saw no request"
  this_run | grep -q 'AccountRequestCompleted' && fail "$1: the request ended before the window was closed"
  close_and_check "$1 service, sign-in pending" login
  touch "$root/stop"
  wait "$fakepid" 2>/dev/null
  fakepid=
  # The log ends whole with the cancel; the files are as they were or whole.
  [ "$(this_run | tail -n 2 | tr "\n" " ")" = "PendingRequestsAtExit=login NetworkRequestsCancelled=1 " ] ||
    fail "$1: the log does not end with the cancel"
  this_run | grep -q 'AccountRequestCompleted' && fail "$1: a cancelled request was applied"
  cmp -s "$player" "$root/before.dat" || fail "$1: the profile file changed"
  python3 -c 'import json,sys; json.load(open(sys.argv[1], encoding="utf-8"))' "$root/data/Settings/game.json" ||
    fail "$1: game.json is not whole"
  ls "$root/data"/*/*.tmp >/dev/null 2>&1 && fail "$1: a temporary file was left"
  return 0
}

sign_in_and_close silent accepted 1
sign_in_and_close drip byte 2
echo "ok"
