#!/usr/bin/env bash
# Starts the owner console (the test launcher runs product kind 1) under Wine with a
# private data root, checks its own log file and the gate, clicks UNLOCK and then
# every sidebar entry with the real mouse, checks from each screenshot that the
# clicked entry is the marked one and that the page changed, and closes the window
# with Alt+F4. Screenshots are kept in <build-dir>/e2e-ostrel/.
# usage: ostrel_end_to_end.sh <build-dir>
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
e2e_begin "$1" tarvo-ostrel-e2e
need_built ostrel_launcher.exe
need_tools xdotool xwd convert xwininfo python3
tarvo_wine_env "$build" || exit 1

shots=$build/e2e-ostrel
rm -rf "$shots"
mkdir -p "$shots" "$root/data"
log=$root/data/logs/tarvonix-ostrel-node.log
click_settle=0

export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")
run_bin ostrel_launcher.exe
pid=$!

win=$(window_of 'OSTREL NODE') || fail "no owner console window"
wait_for 'WindowCreated' 5
[ -f "$log" ] || fail "no tarvonix-ostrel-node.log in the data root"
[ ! -e "$root/data/logs/tarvonix-volley.log" ] || fail "the owner console wrote the game's log"
events=$(log_events | tr '\n' ' ')
for e in ApplicationStarted UIInitialized WindowCreated; do
  case " $events " in *" $e "*) ;; *) fail "event $e missing in: $events" ;; esac
done
case " $events " in *" SplashEntered "*) fail "the owner console has no splash" ;; esac

xdotool windowactivate --sync "$win" >/dev/null 2>&1
sleep 0.5
geometry

# Mean green minus blue of sidebar entry $2 in a screenshot: the marked entry is
# tinted with the (yellow-green) accent, the others are not.
accent_of() {
  local top=$((150 + 54 * $2))
  canvas_stat "$shots/$1.png" '%[fx:mean.g-mean.b]' 24 "$top" 296 $((top + 48))
}
title_sum() {
  canvas_stat "$shots/$1.png" '%#' 360 34 1400 104
}

# The first paint can take a while on a busy machine: wait for the UNLOCK button.
bright=0
for _ in $(seq 1 100); do
  shot 00-gate
  bright=$(canvas_stat "$shots/00-gate.png" '%[fx:mean]' 780 610 1140 678)
  awk -v b="${bright:-0}" 'BEGIN{exit !(b > 0.4)}' && break
  sleep 0.1
done
awk -v b="${bright:-0}" 'BEGIN{exit !(b > 0.4)}' || fail "the gate's UNLOCK button is not drawn (mean $bright)"

click_canvas 960 644
pages=(overview players matches downloads statistics announcements economy tarv security versions release health audit settings backend)
previous=
for i in "${!pages[@]}"; do
  name=$(printf '%02d-%s' $((i + 1)) "${pages[$i]}")
  top=$((150 + 54 * i))
  [ "$i" -gt 0 ] && click_canvas 150 $((top + 24))
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

close_and_wait
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4"
echo "ok: gate, unlock and 15 pages; screenshots in $shots"
