#!/usr/bin/env bash
# vestrand-cli stopped by a real signal once its files start to arrive: SIGINT, SIGTERM and SIGHUP
# wait until the whole run is in place and say so; after SIGKILL, which cannot wait, the next run
# into the folder names what the killed one left. Usage: interrupt_test.sh PROGRAM WORKDIR
set -u
program=$1 workdir=$2

fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$workdir" && mkdir -p "$workdir" && cd "$workdir" || fail "cannot prepare $workdir"
# 501 RTZ parts of two points each. Without land: its warnings, printed once the files are in
# place, would leave the signal a moment when the run is done and merely talking.
run=("$program" creeping --lat 40 --lon -10 --course 0 --spacing 1 --leg 4 --loops 125
     --format rtz --max-points 2 --stem 20121225143000 --land none)
count() { find . -maxdepth 1 -name "$1" | wc -l; }

# Starts the run in a fresh folder and sends the signal as soon as the first part is in place.
interrupt() {
  rm -rf "run-$1" && mkdir "run-$1" && cd "run-$1" || fail "cannot enter run-$1"
  "${run[@]}" >../out.txt 2>../err.txt &
  pid=$!
  # Shell built-ins only, to catch the moment: the renames take a few milliseconds.
  until compgen -G '*.rtz' >/dev/null || ! kill -0 "$pid" 2>/dev/null; do :; done
  kill -"$1" "$pid" 2>/dev/null
  wait "$pid"
  status=$?
}

for signal in INT TERM HUP; do
  interrupt $signal
  number=$(kill -l $signal)
  parts=$(count '*.rtz') temporaries=$(count '.vestrand-*')
  echo "SIG$signal: exit status $status, $parts parts, $temporaries temporaries"
  cat ../err.txt
  [ "$parts" = 501 ] || fail "SIG$signal left $parts of the 501 parts"
  [ "$temporaries" = 0 ] || fail "SIG$signal left $temporaries temporary files"
  if [ "$status" = $((128 + number)) ]; then
    grep -qx "vestrand-cli: interrupted after the run's 501 files were put in place" ../err.txt ||
      fail "SIG$signal: no word of the interrupt"
  elif [ "$status" != 0 ]; then
    fail "SIG$signal: exit status $status"
  fi
  cd .. || fail "cannot leave run-$signal"
done

interrupt KILL
parts=$(count '*.rtz') temporaries=$(count '.vestrand-*')
echo "SIGKILL: $parts parts, $temporaries temporaries"
"$program" sector --lat 40 --lon -10 --course 30 --leg 2 --stem 20121225143000 >../out.txt \
  2>../err.txt || fail "the run after SIGKILL failed"
cat ../err.txt
if [ "$temporaries" != 0 ]; then
  grep -q "found $temporaries temporary files in the current folder of a run that ended before putting its files in place (process $pid)" ../err.txt ||
    fail "the run after SIGKILL did not name what the killed run left"
else
  # The kill came after the last rename: nothing was left to name.
  [ "$parts" = 501 ] || fail "SIGKILL left $parts parts and no temporary"
  [ ! -s ../err.txt ] || fail "the run after a whole run said something"
fi
echo "PASSED"
