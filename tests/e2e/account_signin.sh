#!/usr/bin/env bash
# Signs in with the real game against the fake account service, under Wine and
# Xvfb: the sign-in form typed and clicked, home with the synced profile, Alt+F4.
# A second start restores the stored session and refreshes it. Checks the log's
# events in order, the stored session and profile, the exit codes and what the
# fake service received. Screenshots are left in the build folder.
# usage: account_signin.sh <build-dir>
set -u
build=$(cd "$1" && pwd)
for tool in xdotool xwd convert xwininfo python3; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
done
for exe in TarvonixVolleyAccountE2E.exe account_fake_service.exe; do
  [ -f "$build/bin/$exe" ] || { echo "FAIL: $build/bin/$exe is not built"; exit 1; }
done
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
tarvo_wine_env "$build" || exit 1

shots=$build/e2e-account
mkdir -p "$shots"
root=$(mktemp -d /tmp/tarvo-e2e-account.XXXXXX)
mkdir -p "$root/data"
pid=
fakepid=
log=$root/data/logs/tarvonix-volley.log
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  touch "$root/stop"
  if [ -n "$fakepid" ]; then
    for _ in $(seq 1 100); do kill -0 "$fakepid" 2>/dev/null || break; sleep 0.05; done
    kill "$fakepid" 2>/dev/null; wait "$fakepid" 2>/dev/null
  fi
  rm -rf "$root"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$log" ] && sed -e 's/\r$//' "$log" | cut -c1-240
  exit 1
}
has() { grep -q -- "$1" "$log" 2>/dev/null; }
wait_for() {  # wait_for <event> <seconds>
  local tries=$(( $2 * 20 ))
  for _ in $(seq 1 "$tries"); do has "$1" && return 0; sleep 0.05; done
  return 1
}
in_order() {  # the events, each after the one before, in the log from line $1
  local rest events
  events=$(sed -e 's/\r$//' -e 's/^.* | //' "$log" | tail -n +"$1" | tr '\n' '|')
  rest="|$events"
  shift
  for e in "$@"; do
    case "$rest" in
      *"|$e|"*) rest="|${rest#*|$e|}" ;;
      *) fail "event '$e' missing or out of order" ;;
    esac
  done
}
window_of() {
  local w
  for _ in $(seq 1 400); do
    w=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.025
  done
  return 1
}
# Clicks the design-canvas point (x, y) of the window $win.
click_canvas() {
  local at
  at=$(python3 - "$ww" "$wh" "$wx" "$wy" "$1" "$2" <<'PY'
import sys
w, h, x, y, cx, cy = map(float, sys.argv[1:])
s = min(w / 1920, h / 1080)
print(int(x + (w - 1920 * s) / 2 + cx * s), int(y + (h - 1080 * s) / 2 + cy * s))
PY
)
  xdotool mousemove $at click 1 >/dev/null 2>&1
  sleep 0.2
}
geometry() {
  eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print "wx="$NF} /Absolute upper-left Y/{print "wy="$NF} /Width/{print "ww="$NF} /Height/{print "wh="$NF}')"
}
shot() { xwd -root -display "$DISPLAY" 2>/dev/null | convert xwd:- "$shots/$1.png" 2>/dev/null; }
start_game() {
  (cd "$build/bin" && exec "$TARVO_WINE" ./TarvonixVolleyAccountE2E.exe) >/dev/null 2>&1 &
  pid=$!
  win=$(window_of 'TARVONIX VOLLEY') || fail "no main window"
  geometry
}
close_and_wait() {
  xdotool windowactivate --sync "$win" >/dev/null 2>&1
  xdotool key --window "$win" alt+F4 >/dev/null 2>&1
  for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  wait "$pid"
  local code=$?
  pid=
  return $code
}

# --- the fake account service ---------------------------------------------------
(cd "$build/bin" && exec "$TARVO_WINE" ./account_fake_service.exe "$(winepath_of "$root/url.txt")" \
   "$(winepath_of "$root/stop")" "$(winepath_of "$root/requests.txt")") >/dev/null 2>&1 &
fakepid=$!
for _ in $(seq 1 600); do [ -f "$root/url.txt" ] && break; sleep 0.05; done
[ -f "$root/url.txt" ] || fail "the fake account service did not start"
export TARVO_E2E_ACCOUNT_URL=$(tr -d '\r\n' < "$root/url.txt")
export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")
echo "fake account service at $TARVO_E2E_ACCOUNT_URL"

# --- first start: type and sign in ----------------------------------------------
start_game
wait_for 'LoginEntered' 15 || fail "the sign-in screen was not reached"
sleep 0.3
xdotool windowactivate --sync "$win" >/dev/null 2>&1
click_canvas 1415 440
xdotool type --delay 30 'pilot@example.com' >/dev/null 2>&1
click_canvas 1415 527
xdotool type --delay 30 'Secret123' >/dev/null 2>&1
sleep 0.2
shot signin-typed
click_canvas 1415 696
wait_for 'AccountRequestCompleted=sync' 20 || { shot signin-stuck; fail "the sign-in did not reach the sync (screenshot $shots/signin-stuck.png)"; }
sleep 0.5
shot home-after-signin
in_order 1 ApplicationStarted LoginEntered AccountRequestStarted=login 'AccountRequestCompleted=login Http=200 Code=' \
  AccountRequestStarted=sync 'AccountRequestCompleted=sync Http=200 Code='
close_and_wait
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4"
[ -s "$root/data/Auth/server.session" ] || fail "no stored session"
[ -s "$root/data/Profile/player.dat" ] || fail "no stored profile"
python3 - "$root/data/Auth/server.session" <<'PY' || fail "the session file shows its tokens in clear"
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(any(t in data for t in (b"e2e-access-1", "e2e-access-1".encode("utf-16-le"))))
PY
lines=$(wc -l < "$log")

# --- second start: the stored session opens home and is refreshed ----------------
start_game
wait_for 'AccountRequestCompleted=refresh' 15 || fail "no refresh at the second start"
wait_for 'ServerTrustedDeviceCacheRestored' 1 || fail "the stored session was not restored"
for _ in $(seq 1 200); do [ "$(grep -c 'AccountRequestCompleted=sync' "$log")" -ge 2 ] && break; sleep 0.05; done
sleep 0.5
shot home-after-restart
in_order "$((lines + 1))" ApplicationStarted SplashExitReason=InitializationCompleted ServerTrustedDeviceCacheRestored \
  AccountRequestStarted=refresh 'AccountRequestCompleted=refresh Http=200 Code=' AccountRequestStarted=sync \
  'AccountRequestCompleted=sync Http=200 Code='
has 'LoginEntered' && [ "$(grep -c 'LoginEntered' "$log")" -gt 1 ] && fail "the second start showed the sign-in screen"
close_and_wait
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after the second Alt+F4"

# --- what the service received -----------------------------------------------------
touch "$root/stop"
for _ in $(seq 1 200); do kill -0 "$fakepid" 2>/dev/null || break; sleep 0.05; done
wait "$fakepid" 2>/dev/null
fakepid=
received=$(tr -d '\r' < "$root/requests.txt" | sed -n '1~2p')
login_body=$(sed -n '2p' "$root/requests.txt")
case "$login_body" in
  *'"email":"pilot@example.com"'*'"password":"Secret123"'*) ;;
  *) fail "the sign-in sent: $login_body" ;;
esac
expected="POST /api/v1/auth/login 
GET /api/v1/sync Bearer e2e-access-1
POST /api/v1/auth/refresh 
GET /api/v1/sync Bearer e2e-access-2"
[ "$received" = "$expected" ] || fail "the service received:
$received"
echo "screenshots in $shots"
echo "ok"
