#!/usr/bin/env bash
# Kills vestrand-cli at random moments while it writes a large pattern and its picture. Whenever
# it dies, each final name holds either the earlier file, byte for byte, or the whole new file:
# never a part. SIGTERM and SIGINT leave no temporary file; SIGKILL may leave one only where the
# filesystem has no unnamed files, and only under the temporaries' own name.
#
#   kill_test.sh PROGRAM WORKDIR [ROUNDS]
set -u
program=$1 workdir=$2 rounds=${3:-40}

fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$workdir" && mkdir -p "$workdir/reference" "$workdir/run" || fail "cannot prepare $workdir"
cd "$workdir" || fail "cannot enter $workdir"

names=("K SS 0.gpx" "K.svg")
big=(square --lat 40 --lon -10 --course 0 --spacing 0.001 --count 60000 --stem K --svg K.svg)

# The earlier files and the complete new ones, each written once without interruption.
(cd reference && "$program" square --lat 41 --lon -9 --course 0 --spacing 1 --count 2 --stem K \
  --svg K.svg >/dev/null && mv "${names[0]}" earlier.gpx && mv K.svg earlier.svg) ||
  fail "cannot write the earlier files"
start=$(date +%s%N)
(cd reference && "$program" "${big[@]}" >/dev/null && mv "${names[0]}" complete.gpx &&
  mv K.svg complete.svg) || fail "cannot write the complete files"
took_us=$((($(date +%s%N) - start) / 1000))
echo "a whole run takes ${took_us} us"

signals=(KILL TERM INT)
interrupted=0 left=0
for ((round = 0; round < rounds; round++)); do
  rm -rf run && mkdir run || fail "cannot clear run"
  with_earlier=$((round % 4 != 3))
  if [ "$with_earlier" = 1 ]; then
    cp reference/earlier.gpx "run/${names[0]}" && cp reference/earlier.svg run/K.svg
  fi
  signal=${signals[round % 3]}
  # A moment anywhere from the start to a little past the end of a whole run.
  delay_us=$(((RANDOM * 32768 + RANDOM) % (took_us + took_us / 5 + 1)))

  (cd run && exec "$program" "${big[@]}") >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000)))"
  kill -s "$signal" "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  status=$?
  # Ended by the signal, not by finishing: the exit status says so.
  [ "$status" -gt 128 ] && interrupted=$((interrupted + 1))

  temporaries=$(find run -name '.vestrand-*.tmp' | wc -l)
  if [ "$temporaries" -gt 0 ]; then
    [ "$signal" = KILL ] || fail "round $round: SIG$signal left a temporary file behind"
    left=$((left + 1))
  fi
  others=$(find run -mindepth 1 ! -name "${names[0]}" ! -name K.svg ! -name '.vestrand-*.tmp' | wc -l)
  [ "$others" = 0 ] || fail "round $round: unexpected files: $(ls -A run)"

  for kind in gpx svg; do
    name=${names[0]}
    [ "$kind" = svg ] && name=K.svg
    if [ ! -e "run/$name" ]; then
      [ "$with_earlier" = 0 ] || fail "round $round (SIG$signal after ${delay_us} us): the earlier $name is gone"
    elif ! cmp -s "run/$name" "reference/complete.$kind" &&
      ! { [ "$with_earlier" = 1 ] && cmp -s "run/$name" "reference/earlier.$kind"; }; then
      fail "round $round (SIG$signal after ${delay_us} us): '$name' is neither the earlier nor the whole new file"
    fi
  done
done

echo "rounds $rounds: interrupted $interrupted, a temporary left by SIGKILL $left"
# Without interruptions the test would prove nothing.
[ "$interrupted" -gt 0 ] || fail "no round interrupted the program"
echo "PASSED"
