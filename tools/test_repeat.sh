#!/bin/sh
# Runs the built suite again and again, optionally with CPU-burning processes beside it, to
# see a test that passes only at some speed before it lands. Called by `make test-repeat`
# and `make test-load` (see the Makefile for the variables).
#
#   tools/test_repeat.sh BUILD REPEAT JOBS BURNERS TWO_CORE_BURNERS WHICH
#
# WHICH is "wide" (REPEAT runs of ctest -jJOBS with BURNERS burners on any core), "two"
# (REPEAT runs of taskset -c 0,1 ctest -j2 with TWO_CORE_BURNERS burners pinned to the same
# two cores) or "both". The burners are ended when the runs end, however they end (a
# failure, Ctrl-C, a kill of make). Exits non-zero when any run failed.
set -u
build=$1 repeat=$2 jobs=$3 burners=$4 two_core_burners=$5 which=${6:-both}

# A burner spins on the CPU and checks, a few times a second, that this script still
# runs: killed outright (SIGKILL, no trap), the script leaves no burner behind for long.
burner='while kill -0 "$1" 2>/dev/null; do i=0; while [ "$i" -lt 50000 ]; do i=$((i + 1)); done; done'
burner_pids=""
start_burners() {  # count, cores ("" for any)
  n=0
  while [ "$n" -lt "$1" ]; do
    if [ -n "$2" ]; then
      taskset -c "$2" /bin/sh -c "$burner" burner $$ &
    else
      /bin/sh -c "$burner" burner $$ &
    fi
    burner_pids="$burner_pids $!"
    n=$((n + 1))
  done
}
stop_burners() {
  for pid in $burner_pids; do kill "$pid" 2>/dev/null; done
  for pid in $burner_pids; do wait "$pid" 2>/dev/null; done
  burner_pids=""
}
trap stop_burners EXIT
trap 'exit 130' INT TERM HUP

cd "$build" || exit 1
status=0
summary=""
run() {  # label, burners, burner cores, ctest command...
  label=$1 count=$2 cores=$3
  shift 3
  i=1
  while [ "$i" -le "$repeat" ]; do
    start_burners "$count" "$cores"
    echo "== $label: run $i of $repeat ($count CPU-burning processes beside it)"
    began=$(date +%s)
    if "$@" --output-on-failure; then result=passed; else result=FAILED; status=1; fi
    took=$(($(date +%s) - began))
    stop_burners
    summary="$summary
$label, run $i: $result in ${took} s"
    i=$((i + 1))
  done
}
case $which in
  wide | both) run "ctest -j$jobs" "$burners" "" ctest -j "$jobs" ;;
esac
case $which in
  two | both) run "two cores (taskset -c 0,1 ctest -j2)" "$two_core_burners" 0,1 \
                taskset -c 0,1 ctest -j 2 ;;
esac
echo "== summary:$summary"
exit $status
