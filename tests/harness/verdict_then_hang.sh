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
