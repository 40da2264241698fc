# The player's zip for Windows holds kelvrin.exe beside its README.txt and LICENSE.txt (the game's licence, then the
# notices of the runtime linked in), and the kelvrin.exe in it replays a recorded game as the built one does.
#   bash test_zip.sh kelvrin-win64.zip WINEPREFIX
set -u
[ $# -ge 2 ] || { echo "usage: bash $0 kelvrin-win64.zip WINEPREFIX" >&2; exit 2; }
ZIP=$(realpath "$1") PREFIX=$2 HERE=$(cd "$(dirname "$0")" && pwd) WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
die() { echo "FAIL: $*" >&2; exit 1; }
(cd "$WORK" && cmake -E tar xf "$ZIP") || die "$ZIP does not unpack (cpack makes it)"
[ "$(cd "$WORK" && ls | tr '\n' ' ')" = "LICENSE.txt README.txt kelvrin.exe " ] ||
    die "the zip holds $(cd "$WORK" && ls | tr '\n' ' ')instead of LICENSE.txt, README.txt and kelvrin.exe"
head -c 15 "$WORK/LICENSE.txt" | grep -q "MIT License" && grep -q winpthreads "$WORK/LICENSE.txt" &&
    grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$WORK/LICENSE.txt" || die "LICENSE.txt lacks the licence or a notice"
KELVRIN_RECORDINGS=new_hero bash "$HERE/../recordings/run.sh" bash "$HERE/wine.sh" "$PREFIX" "$WORK/kelvrin.exe" ||
    die "the zip's kelvrin.exe does not replay new_hero"
echo "ok: the zip"
