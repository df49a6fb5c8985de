#!/usr/bin/env bash
# Runs vestrand-cli once in a fresh folder and checks what it did (see vestrand_cli_test in
# CMakeLists.txt for the options). A failed run must leave the folder as it found it. Every failed
# check prints CLI-TEST-FAILED, which the tests treat as failure whatever else matched.
set -u

program="" workdir="" status="" golden="" stdout_expected="" stdout_given=0 xmllint=""
file_limit="" mkdirs=() earlier=() wellformed=()
while [ $# -gt 0 ]; do
  case "$1" in
    --program) program=$2; shift 2 ;;
    --workdir) workdir=$2; shift 2 ;;
    --status) status=$2; shift 2 ;;
    --golden) golden=$2; shift 2 ;;
    --stdout) stdout_expected=$2; stdout_given=1; shift 2 ;;
    --xmllint) xmllint=$2; shift 2 ;;
    --file-limit) file_limit=$2; shift 2 ;;
    --mkdir) mkdirs+=("$2"); shift 2 ;;
    --earlier) earlier+=("$2"); shift 2 ;;
    --wellformed) wellformed+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "CLI-TEST-FAILED: unknown driver option $1"; exit 1 ;;
  esac
done

failures=0
fail() {
  echo "CLI-TEST-FAILED: $*"
  failures=$((failures + 1))
}

rm -rf "$workdir" && mkdir -p "$workdir" && cd "$workdir" || {
  echo "CLI-TEST-FAILED: cannot prepare $workdir"
  exit 1
}
for d in ${mkdirs[@]+"${mkdirs[@]}"}; do mkdir -p "$d"; done
for f in ${earlier[@]+"${earlier[@]}"}; do printf 'an earlier file\n' >"$f"; done

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

if [ "$actual" != "$status" ]; then
  fail "exit status $actual, expected $status"
fi

if [ "$actual" -ne 0 ]; then
  after=$(listing)
  if [ "$before" != "$after" ]; then
    fail "a failed run changed the folder:"
    diff <(echo "$before") <(echo "$after")
  fi
  for f in ${earlier[@]+"${earlier[@]}"}; do
    if [ "$(cat "$f" 2>/dev/null)" != "an earlier file" ]; then
      fail "the earlier file '$f' was changed"
    fi
  done
  if [ -s .out ]; then fail "a failed run printed on standard output"; fi
  if [ ! -s .err ]; then fail "a failed run gave no message"; fi
fi

if [ "$stdout_given" -eq 1 ] && [ "$(cat .out)" != "$stdout_expected" ]; then
  fail "standard output differs; expected: $stdout_expected"
fi

if [ -n "$golden" ]; then
  if [ "$(wc -l <.out)" -ne 1 ]; then
    fail "expected exactly one line (the path written)"
  else
    written=$(cat .out)
    if [ ! -f "$written" ]; then
      fail "the printed path '$written' is no file"
    elif ! cmp -s "$written" "$golden"; then
      fail "'$written' differs from $golden"
      diff -u "$golden" "$written" | head -40
    elif [ -n "$xmllint" ] && ! "$xmllint" --noout "$written"; then
      fail "'$written' is not well-formed XML"
    fi
  fi
fi

if [ "$actual" -eq 0 ]; then
  for f in ${wellformed[@]+"${wellformed[@]}"}; do
    if [ ! -f "$f" ]; then
      fail "'$f' was not written"
    elif ! "$xmllint" --noout "$f"; then
      fail "'$f' is not well-formed XML"
    fi
  done
fi

[ "$failures" -eq 0 ]
