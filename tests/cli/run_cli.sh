#!/usr/bin/env bash
# Runs vestrand-cli once with the arguments given, in a fresh folder, and checks what it did. The
# checks come from the environment that vestrand_cli_test in CMakeLists.txt sets: PROGRAM, WORKDIR,
# STATUS and XMLLINT always; GOLDEN, STDOUT, MKDIR, EARLIER, FILE_LIMIT and WELLFORMED (names
# joined by '|') when a test asks. A failed run must leave the folder as it found it. Every failed
# check prints CLI-TEST-FAILED, which the tests treat as failure whatever else matched.
set -u

failures=0
fail() {
  echo "CLI-TEST-FAILED: $*"
  failures=$((failures + 1))
}

rm -rf "$WORKDIR" && mkdir -p "$WORKDIR" && cd "$WORKDIR" || {
  fail "cannot prepare $WORKDIR"
  exit 1
}
[ -z "${MKDIR:-}" ] || mkdir -p "$MKDIR"
[ -z "${EARLIER:-}" ] || printf 'an earlier file\n' >"$EARLIER"

listing() { find . -mindepth 1 \( -name .out -o -name .err \) -prune -o -print | LC_ALL=C sort; }
before=$(listing)

if [ -n "${FILE_LIMIT:-}" ]; then
  # The program itself must turn SIGXFSZ into a plain write error (EFBIG).
  (ulimit -f "$FILE_LIMIT"; exec "$PROGRAM" "$@") >.out 2>.err
else
  "$PROGRAM" "$@" >.out 2>.err
fi
actual=$?
cat .out .err

[ "$actual" = "$STATUS" ] || fail "exit status $actual, expected $STATUS"
if [ "$actual" -ne 0 ]; then
  after=$(listing)
  if [ "$before" != "$after" ]; then
    fail "a failed run changed the folder:"
    diff <(echo "$before") <(echo "$after")
  fi
  if [ -n "${EARLIER:-}" ] && [ "$(cat "$EARLIER")" != "an earlier file" ]; then
    fail "'$EARLIER' was changed"
  fi
  [ ! -s .out ] || fail "a failed run printed on standard output"
  [ -s .err ] || fail "a failed run gave no message"
fi

if [ -n "${STDOUT+set}" ] && [ "$(cat .out)" != "$STDOUT" ]; then
  fail "standard output differs; expected: $STDOUT"
fi

# The golden files are well-formed; a file equal to one needs no XML check of its own.
if [ -n "${GOLDEN:-}" ]; then
  written=$(cat .out)
  if [ "$(wc -l <.out)" -ne 1 ] || [ ! -f "$written" ]; then
    fail "expected one line, the path of the file written"
  elif ! cmp -s "$written" "$GOLDEN"; then
    fail "'$written' differs from $GOLDEN"
    diff -u "$GOLDEN" "$written" | head -40
  fi
fi

IFS='|' read -ra wellformed <<<"${WELLFORMED:-}"
for f in ${wellformed[@]+"${wellformed[@]}"}; do
  "$XMLLINT" --noout "$f" || fail "'$f' is missing or not well-formed XML"
done

[ "$failures" -eq 0 ]
