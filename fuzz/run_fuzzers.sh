#!/usr/bin/env bash
# Runs every fuzz target built in FOLDER for FUZZ_SECONDS seconds each, starting from its seed
# corpus in fuzz/corpus/<target>/. New inputs go to a working corpus in FOLDER, never into the
# repository; a crash leaves its input in FOLDER/findings/<target>/ and fails the run.
#
#   FUZZ_SECONDS=30 run_fuzzers.sh FOLDER
set -u
folder=$(cd "$1" && pwd) || exit 1
seconds=${FUZZ_SECONDS:-20}
here=$(cd "$(dirname "$0")" && pwd)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/lsan.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen

# The pattern of an open finding already reported for `target`, if its report matches one.
known_finding() {
  local target=$1 log=$2 name pattern
  while read -r name pattern; do
    [ "$name" = "$target" ] && grep -Eq -- "$pattern" "$log" && { echo "$pattern"; return 0; }
  done < <(grep -v '^#' "$here/known_findings.txt")
  return 1
}

failed=()
known=()
ran=0
for program in "$folder"/fuzz_*; do
  [ -x "$program" ] || continue
  target=${program##*/fuzz_}
  work=$folder/corpus-work/$target
  findings=$folder/findings/$target
  mkdir -p "$work" "$findings"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536
           -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f "$here/$target.dict" ] && options+=(-dict="$here/$target.dict")
  [ -f "$here/$target.options" ] && mapfile -t -O ${#options[@]} options <"$here/$target.options"
  echo "=== fuzz_$target for ${seconds} s"
  if "$program" "${options[@]}" "$work" "$here/corpus/$target" >"$folder/$target.log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::new_units_added|#[0-9]+ +DONE)' \
      "$folder/$target.log" | tr '\n' ' '
    echo
  elif pattern=$(known_finding "$target" "$folder/$target.log"); then
    grep -m1 -E -- "$pattern" "$folder/$target.log"
    echo "fuzz_$target stopped on a known, reported finding ($pattern); see known_findings.txt"
    known+=("$target")
  else
    tail -n 60 "$folder/$target.log"
    echo "fuzz_$target FAILED; its input is in $findings/"
    failed+=("$target")
  fi
  ran=$((ran + 1))
done

[ "$ran" -gt 0 ] || { echo "no fuzz targets in $folder"; exit 1; }
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
if [ ${#known[@]} -gt 0 ]; then
  echo "$ran fuzz targets ran; known open findings stopped: ${known[*]}"
else
  echo "all $ran fuzz targets ran ${seconds} s without a finding"
fi
