#!/usr/bin/env bash
# vestrand-cli writing into a read-only folder fails with status 1 and a message naming the path
# and the reason, and nothing in the folder changes; the safe writer's own tests have the other
# faults. Usage: write_faults_test.sh PROGRAM WORKDIR; exit status 77: no other user to run as.
set -u
program=$1 workdir=$2 stem=20121225143000

fail() { echo "FAILED: $*"; exit 1; }
skip() { echo "SKIPPED: $*"; exit 77; }

if [ -d "$workdir" ]; then chmod -R u+w "$workdir"; fi
rm -rf "$workdir" && mkdir -p "$workdir/d/ro" && cd "$workdir/d" || fail "cannot prepare $workdir"
printf 'an earlier file\n' >"ro/$stem CS 0.gpx" && chmod 555 ro
run=("$program" creeping --lat 40 --lon -10 --course 0 --spacing 1 --leg 4 --loops 1 --stem $stem
     --dir ro)
# Permissions do not stop root, so root runs the program as an unprivileged user.
if [ "$(id -u)" = 0 ]; then
  command -v setpriv >/dev/null || skip "no setpriv to drop root"
  chmod 777 . && chmod -R o+rX "$workdir"
  run=(setpriv --reuid=65534 --regid=65534 --clear-groups "${run[@]}")
  "${run[@]:0:5}" --version >/dev/null 2>&1 || skip "no other user can run the program here"
fi

# Every name with its kind, size and link target, and every file's checksum.
snapshot() {
  find . -mindepth 1 -printf '%P %y %s %l\n' | LC_ALL=C sort
  find . -type f -exec md5sum {} + | LC_ALL=C sort
}
before=$(snapshot)
"${run[@]}" >../out.txt 2>../err.txt
status=$?
cat ../out.txt ../err.txt
[ "$status" = 1 ] || fail "exit status $status, expected 1"
[ -s ../out.txt ] && fail "something was printed on standard output"
grep -q "cannot write 'ro/$stem CS 0.gpx'.*Permission denied" ../err.txt ||
  fail "the message does not name the file and 'Permission denied'"
[ "$before" = "$(snapshot)" ] || fail "the folder changed"
echo "PASSED"
