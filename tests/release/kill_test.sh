#!/usr/bin/env bash
# Kills vestrand-cli at random moments while it writes a large pattern. Whenever it dies, the
# final name holds either the earlier file, byte for byte, or the whole new file: never a part.
# Only SIGKILL may leave the temporary file behind; SIGTERM and SIGINT remove it.
#
#   kill_test.sh PROGRAM WORKDIR [ROUNDS]
set -u
program=$1 workdir=$2 rounds=${3:-40}

fail() {
  echo "FAILED: $*"
  exit 1
}

rm -rf "$workdir" && mkdir -p "$workdir/reference" "$workdir/run" || fail "cannot prepare $workdir"
cd "$workdir" || fail "cannot enter $workdir"

name="K SS 0.gpx"
big=(square --lat 40 --lon -10 --course 0 --spacing 1 --count 60000 --stem K)

# The earlier file and the complete new one, each written once without interruption.
(cd reference && "$program" square --lat 41 --lon -9 --course 0 --spacing 1 --count 2 --stem K \
  >/dev/null && mv "$name" earlier.gpx) || fail "cannot write the earlier file"
start=$(date +%s%N)
(cd reference && "$program" "${big[@]}" >/dev/null && mv "$name" complete.gpx) ||
  fail "cannot write the complete file"
took_us=$((($(date +%s%N) - start) / 1000))
size=$(stat -c %s reference/complete.gpx)
echo "a whole run takes ${took_us} us and writes ${size} bytes"

signals=(KILL TERM INT)
mid_write=0 kept=0 replaced=0 absent=0
for ((round = 0; round < rounds; round++)); do
  rm -rf run && mkdir run || fail "cannot clear run"
  with_earlier=$((round % 4 != 3))
  if [ "$with_earlier" = 1 ]; then cp reference/earlier.gpx "run/$name"; fi
  signal=${signals[round % 3]}
  # A moment anywhere from the start to a little past the end of a whole run.
  delay_us=$(((RANDOM * 32768 + RANDOM) % (took_us + took_us / 5 + 1)))

  (cd run && exec "$program" "${big[@]}") >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000)))"
  kill -s "$signal" "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null

  parts=$(find run -name "$name.part*" | wc -l)
  if [ "$parts" -gt 0 ]; then
    # Only a kill that cannot be caught may leave the temporary file behind.
    [ "$signal" = KILL ] || fail "round $round: SIG$signal left the temporary file behind"
    mid_write=$((mid_write + 1))
  fi
  others=$(find run -mindepth 1 ! -name "$name" ! -name "$name.part*" | wc -l)
  [ "$others" = 0 ] || fail "round $round: unexpected files: $(ls -A run)"

  if [ ! -e "run/$name" ]; then
    [ "$with_earlier" = 0 ] || fail "round $round (SIG$signal after ${delay_us} us): the earlier file is gone"
    absent=$((absent + 1))
  elif cmp -s "run/$name" reference/complete.gpx; then
    replaced=$((replaced + 1))
  elif [ "$with_earlier" = 1 ] && cmp -s "run/$name" reference/earlier.gpx; then
    kept=$((kept + 1))
  else
    fail "round $round (SIG$signal after ${delay_us} us): '$name' holds $(stat -c %s "run/$name") bytes, neither the earlier nor the whole new file"
  fi
done

echo "rounds $rounds: earlier kept $kept, replaced whole $replaced, nothing yet $absent," \
     "killed while a temporary file existed $mid_write"
# Without kills during the write the test would prove nothing.
[ "$mid_write" -gt 0 ] || fail "no round killed the program while it was writing"
echo "PASSED"
