#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs both programs from there, from another
# folder, as an operator would after installing the package.
#
#   install_test.sh CMAKE BUILD_DIR XMLLINT
set -u
cmake=$1 build=$2 xmllint=$3

fail() { echo "FAILED: $*"; exit 1; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vestrand-install.XXXXXX") || fail "no temporary folder"
window_pid=""
cleanup() {
  if [ -n "$window_pid" ]; then kill "$window_pid" 2>/dev/null; wait "$window_pid" 2>/dev/null; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "cmake --install"; }

files=(bin/vestrand-cli share/man/man1/vestrand-cli.1.gz share/doc/vestrand/copyright
       share/doc/vestrand/changelog.gz)
window=0
if grep -q "/bin/vestrand$" "$scratch/install.log"; then
  window=1
  files+=(bin/vestrand share/man/man1/vestrand.1.gz share/applications/vestrand.desktop
          share/icons/hicolor/scalable/apps/vestrand.svg
          share/metainfo/io.github.vestrand.vestrand.metainfo.xml)
  for line in Exec=vestrand Icon=vestrand; do
    grep -qx "$line" "$prefix/share/applications/vestrand.desktop" || fail "desktop entry: $line"
  done
  "$xmllint" --noout "$prefix/share/icons/hicolor/scalable/apps/vestrand.svg" || fail "icon XML"
  "$xmllint" --noout "$prefix/share/metainfo/io.github.vestrand.vestrand.metainfo.xml" ||
    fail "metainfo XML"
  gzip -dc "$prefix/share/man/man1/vestrand.1.gz" | grep -q '^\.TH VESTRAND 1' ||
    fail "manual page of vestrand"
fi
for f in "${files[@]}"; do [ -f "$prefix/$f" ] || fail "$f is not installed"; done
# The layout and language files are built into the window program, which never reads a copy
# from share/: none is installed.
[ ! -e "$prefix/share/vestrand" ] || fail "share/vestrand is installed but never read"
gzip -dc "$prefix/share/man/man1/vestrand-cli.1.gz" | grep -q '^\.TH VESTRAND-CLI 1' ||
  fail "manual page of vestrand-cli"
gzip -dc "$prefix/share/doc/vestrand/changelog.gz" | grep -q '^vestrand (' || fail "changelog"

# Another folder, far from the build and the sources, so nothing is found there by accident.
elsewhere=$scratch/elsewhere
mkdir -p "$elsewhere" && cd "$elsewhere" || fail "cannot enter $elsewhere"

out=$("$prefix/bin/vestrand-cli" sector --lat 40 --lon -10 --course 30 --leg 2 \
      --stem 20121225143000) || fail "vestrand-cli sector"
[ "$out" = "20121225143000 VS 30.gpx" ] || fail "printed '$out'"
"$xmllint" --noout "$elsewhere/$out" || fail "the written file is not well-formed"

if [ "$window" = 1 ]; then
  # The window has no way to end by itself: it must come up and still be running after a while
  # (a layout it cannot load ends it at once with a message).
  QT_QPA_PLATFORM=offscreen "$prefix/bin/vestrand" >/dev/null 2>"$scratch/window.err" &
  window_pid=$!
  sleep 3
  cat "$scratch/window.err"
  kill -0 "$window_pid" 2>/dev/null || fail "the installed window program ended at once"
  echo "the installed window program is running"
fi
echo "PASSED"
