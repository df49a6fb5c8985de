#!/usr/bin/env bash
# Faults of the disk while vestrand-cli writes a pattern, each in a fresh folder: the run fails
# with status 1 and a message naming the path and the reason, and nothing in the folder changes.
# Links, devices and write-protected targets are refused inside the safe writer, tested there.
#
#   write_faults_test.sh PROGRAM WORKDIR CASE
# Cases: disk_full, read_only_folder.
# Exit status 77 marks a case this machine cannot set up (no mount namespace, no other user).
set -u
script=$(readlink -f "$0")
program=$1 workdir=$2 case=$3
stem=20121225143000

fail() { echo "FAILED: $*"; exit 1; }
skip() { echo "SKIPPED: $*"; exit 77; }

# The program's output goes beside the folders the checks watch.
log=$workdir.log
if [ "${case#--inner}" = "$case" ]; then
  if [ -d "$workdir" ]; then chmod -R u+w "$workdir" 2>/dev/null; fi
  rm -rf "$workdir" "$log" && mkdir -p "$workdir/d" "$log" && cd "$workdir/d" ||
    fail "cannot prepare $workdir"
fi

# Lists every name with its kind, size and contents' checksum, links with their targets.
snapshot() {
  find "$1" -mindepth 1 -printf '%P %y %s %l\n' | LC_ALL=C sort
  find "$1" -type f -exec md5sum {} + 2>/dev/null | LC_ALL=C sort
}

# Runs the program; checks status 1, the message and that `watched` did not change.
expect_refusal() {
  local watched=$1 reason=$2
  shift 2
  local before after status
  before=$(snapshot "$watched")
  "$@" >"$log/out.txt" 2>"$log/err.txt"
  status=$?
  cat "$log/out.txt" "$log/err.txt"
  [ "$status" = 1 ] || fail "exit status $status, expected 1"
  [ -s "$log/out.txt" ] && fail "something was printed on standard output"
  grep -q "cannot write '.*'.*$reason" "$log/err.txt" || fail "the message does not say '$reason'"
  after=$(snapshot "$watched")
  [ "$before" = "$after" ] || fail "the folder changed:"$'\n'"$before"$'\n---\n'"$after"
}

big=(parallel --lat 40 --lon -10 --course 0 --spacing 1 --leg 4 --loops 2000 --stem $stem)
case "$case" in
  disk_full)
    # A really full disk: a small file system of its own, in a mount namespace of its own so
    # that nothing outside the test sees it.
    unshare --mount true 2>/dev/null || skip "no mount namespace here"
    mkdir -p small
    unshare --mount sh -c '
      mount -t tmpfs -o size=64k tmpfs small || exit 77
      printf "an earlier file\n" >"small/'"$stem"' PS_PM 0.gpx"
      cd small && exec bash "$0" "$@"' "$script" "$program" "$workdir" --inner "$program" "${big[@]}" \
      --dir .
    exit $?
    ;;
  read_only_folder)
    # Permissions do not stop root, so root runs the program as an unprivileged user.
    mkdir -p ro && printf 'an earlier file\n' >"ro/$stem CS 0.gpx" && chmod 555 ro
    run=("$program" creeping --lat 40 --lon -10 --course 0 --spacing 1 --leg 4 --loops 1
         --stem $stem --dir ro)
    if [ "$(id -u)" = 0 ]; then
      command -v setpriv >/dev/null || skip "no setpriv to drop root"
      chmod 777 . && chmod -R o+rX "$workdir" 2>/dev/null
      setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null || skip "no other user"
      setpriv --reuid=65534 --regid=65534 --clear-groups "$program" --version >/dev/null 2>&1 ||
        skip "the unprivileged user cannot run the program from this folder"
      run=(setpriv --reuid=65534 --regid=65534 --clear-groups "${run[@]}")
    fi
    expect_refusal . "Permission denied" "${run[@]}"
    ;;
  --inner)  # inside the namespace of disk_full, in the small file system
    shift 3
    expect_refusal . "No space left on device" "$@"
    ;;
  *) fail "unknown case $case" ;;
esac
echo "PASSED"
