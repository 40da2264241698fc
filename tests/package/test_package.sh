# The .deb as a user gets it: built by cpack from a Release tree, unpacked
# into a temporary root, its files and manual page checked, and the
# installed game started in a terminal as far as the main menu; lintian
# finds no error and no warning in it.
#   bash tests/package/test_package.sh BUILD_DIR
set -u
BUILD=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd) ROOT=$(mktemp -d)
trap 'rm -rf "$ROOT"' EXIT
failed=0
check() { "${@:2}" || { failed=$((failed + 1)); echo "FAIL: $1" >&2; }; }  # check DESCRIPTION COMMAND...

(cd "$BUILD" && cpack -G DEB >"$ROOT/cpack.log" 2>&1) || { cat "$ROOT/cpack.log" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
deb="$BUILD/kelvrin_${version}_$(dpkg --print-architecture).deb"
check "the package is named after the version ($deb)" test -f "$deb"
dpkg-deb -x "$deb" "$ROOT/root"
files=$(cd "$ROOT/root" && find . -type f | sort | tr '\n' ' ')
check "file list: $files" test "$files" = \
    "./usr/games/kelvrin ./usr/share/doc/kelvrin/README.md ./usr/share/doc/kelvrin/changelog.gz \
./usr/share/doc/kelvrin/copyright ./usr/share/doc/kelvrin/recording.md ./usr/share/man/man6/kelvrin.6.gz "
check "package fields" sh -c "dpkg-deb -f '$deb' Package Version Depends | grep -q '^Depends: .*libc6'"
if ! command -v lintian >/dev/null; then
    echo "FAIL: lintian is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
lintian --pedantic "$deb" >"$ROOT/lintian.txt" 2>&1
check "lintian: $(grep '^[EW]:' "$ROOT/lintian.txt")" sh -c "! grep -q '^[EW]:' '$ROOT/lintian.txt'"
# The manual page renders without a warning in a UTF-8 locale, Polish included.
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$ROOT/root/usr/share/man/man6/kelvrin.6.gz" \
    >"$ROOT/man.txt" 2>"$ROOT/man.err"
check "man reports no warning: $(cat "$ROOT/man.err")" test ! -s "$ROOT/man.err"
check "the manual page shows its sections" grep -q 'CRASH SAVE' "$ROOT/man.txt"
check "the manual page shows Polish letters" grep -q Wyjście "$ROOT/man.txt"

# The installed binary in a real terminal: the main menu, then 0 quits.
. "$(dirname "$0")/../terminal/lib.sh" "$ROOT/root/usr/games/kelvrin"
trap 'cleanup; rm -rf "$ROOT"' EXIT
shell
typed "'$GAME'; echo exit=\$?"
wait_for "0. Wyjście"
keys 0
wait_for "exit=0"
echo "package: $failed failed"
[ "$failed" -eq 0 ]
