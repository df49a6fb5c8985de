#!/usr/bin/env bash
# Runs vestrand-cli once in a fresh folder and checks what it did (see vestrand_cli_test in
# CMakeLists.txt for the options). A failed run must leave the folder as it found it. Every failed
# check prints CLI-TEST-FAILED, which the tests treat as failure whatever else matched.
set -u

golden="" stdout_expected="" stdout_given=0 file_limit="" mkdir="" earlier="" wellformed=()
while [ $# -gt 0 ]; do
  case "$1" in
    --program) program=$2 ;;
    --workdir) workdir=$2 ;;
    --status) status=$2 ;;
    --xmllint) xmllint=$2 ;;
    --golden) golden=$2 ;;
    --stdout) stdout_expected=$2 stdout_given=1 ;;
    --mkdir) mkdir=$2 ;;
    --earlier) earlier=$2 ;;
    --file-limit) file_limit=$2 ;;
    --wellformed) wellformed+=("$2") ;;
    --) shift; break ;;
    *) echo "CLI-TEST-FAILED: unknown driver option $1"; exit 1 ;;
  esac
  shift 2
done

failures=0
fail() {
  echo "CLI-TEST-FAILED: $*"
  failures=$((failures + 1))
}

rm -rf "$workdir" && mkdir -p "$workdir" && cd "$workdir" || {
  fail "cannot prepare $workdir"
  exit 1
}
[ -z "$mkdir" ] || mkdir -p "$mkdir"
[ -z "$earlier" ] || printf 'an earlier file\n' >"$earlier"

listing() { find . -mindepth 1 \( -name .out -o -name .err \) -prune -o -print | LC_ALL=C sort; }
before=$(listing)

if [ -n "$file_limit" ]; then
  # The program itself must turn SIGXFSZ into a plain write error (EFBIG).
  (ulimit -f "$file_limit"; exec "$program" "$@") >.out 2>.err
else
  "$program" "$@" >.out 2>.err
fi
actual=$?
cat .out .err

[ "$actual" = "$status" ] || fail "exit status $actual, expected $status"
if [ "$actual" -ne 0 ]; then
  after=$(listing)
  if [ "$before" != "$after" ]; then
    fail "a failed run changed the folder:"
    diff <(echo "$before") <(echo "$after")
  fi
  [ -z "$earlier" ] || [ "$(cat "$earlier")" = "an earlier file" ] || fail "'$earlier' was changed"
  [ ! -s .out ] || fail "a failed run printed on standard output"
  [ -s .err ] || fail "a failed run gave no message"
fi

if [ "$stdout_given" -eq 1 ] && [ "$(cat .out)" != "$stdout_expected" ]; then
  fail "standard output differs; expected: $stdout_expected"
fi

# The golden files are well-formed; a file equal to one needs no XML check of its own.
if [ -n "$golden" ]; then
  written=$(cat .out)
  if [ "$(wc -l <.out)" -ne 1 ] || [ ! -f "$written" ]; then
    fail "expected one line, the path of the file written"
  elif ! cmp -s "$written" "$golden"; then
    fail "'$written' differs from $golden"
    diff -u "$golden" "$written" | head -40
  fi
fi

for f in ${wellformed[@]+"${wellformed[@]}"}; do
  "$xmllint" --noout "$f" || fail "'$f' is missing or not well-formed XML"
done

[ "$failures" -eq 0 ]
