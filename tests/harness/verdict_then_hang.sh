#!/usr/bin/env bash
# verdict_then_hang.sh <build-dir>: the Wine wrapper ends a program that printed its
# verdict and did not exit, keeps that verdict as the exit code and says so. The
# output is read through a pipe, as CTest reads it: the wrapper must close it.
build=$1
[ -f "$build/bin/verdict_then_hang.exe" ] || { echo "FAIL: verdict_then_hang.exe is not built"; exit 1; }
export TARVO_VERDICT_GRACE=1
for outcome in "pass 0" "fail 1"; do
  set -- $outcome
  out=$("$build/wine-run.sh" "$build/bin/verdict_then_hang.exe" "$1" 2>&1)
  rc=$?
  echo "$out"
  [ "$rc" = "$2" ] || { echo "FAIL: $1: exit $rc, expected $2"; exit 1; }
  line="tarvo: the program printed its verdict and had not exited 1 s later; ended it, the verdict stands (exit $2)"
  echo "$out" | grep -qxF "$line" || { echo "FAIL: $1: no line saying the program was ended"; exit 1; }
done
# A program killed from outside after its verdict keeps that verdict too.
export TARVO_VERDICT_GRACE=100
log=$(mktemp) && trap 'rm -f "$log"' EXIT
"$build/wine-run.sh" "$build/bin/verdict_then_hang.exe" pass >"$log" 2>&1 &
wrapper=$!
for _ in $(seq 1 300); do grep -q '^\[  PASSED  \] ' "$log" && break; sleep 0.1; done
pkill -KILL -P "$wrapper" -f 'verdict_then_hang\.exe'
wait "$wrapper"
rc=$?
cat "$log"
[ "$rc" = 0 ] || { echo "FAIL: killed: exit $rc, expected 0"; exit 1; }
grep -qxF "tarvo: the program printed its verdict and was then killed; the verdict stands (exit 0)" "$log" ||
  { echo "FAIL: killed: no line saying the verdict stands"; exit 1; }
