#!/usr/bin/env bash
# Signs in with the real game against the fake account service, under Wine and
# Xvfb: the sign-in form typed and clicked, home with the synced profile, Alt+F4.
# A second start restores the stored session and refreshes it. Checks the log's
# events in order, the stored session and profile, the exit codes and what the
# fake service received. Screenshots are left in the build folder.
# usage: account_signin.sh <build-dir>
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
e2e_begin "$1" tarvo-e2e-account
need_tools xdotool xwd convert xwininfo python3
need_built TarvonixVolleyAccountE2E.exe account_fake_service.exe
tarvo_wine_env "$build" || exit 1

shots=$build/e2e-account
mkdir -p "$shots" "$root/data"
log=$root/data/logs/tarvonix-volley.log
start_game() {
  run_bin TarvonixVolleyAccountE2E.exe
  pid=$!
  win=$(window_of 'TARVONIX VOLLEY') || fail "no main window"
  geometry
}

# --- the fake account service ---------------------------------------------------
start_fake_service
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
# The splash ends by either reason, as fast as the machine is; what follows is the same.
in_order "$((lines + 1))" ApplicationStarted ServerTrustedDeviceCacheRestored \
  AccountRequestStarted=refresh 'AccountRequestCompleted=refresh Http=200 Code=' AccountRequestStarted=sync \
  'AccountRequestCompleted=sync Http=200 Code='
has 'LoginEntered' && [ "$(grep -c 'LoginEntered' "$log")" -gt 1 ] && fail "the second start showed the sign-in screen"
close_and_wait
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after the second Alt+F4"

# --- what the service received -----------------------------------------------------
stop_fake_service
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
