# kelvrin.exe on pipes (the stream backend), as built or unpacked from the
# player's zip beside its README.txt and LICENSE.txt (the game's licence,
# then the notices of the runtime linked in): the main menu, the information screen
# and quitting print the very bytes the Linux game prints for the same keys
# (no "\r\n", UTF-8 letters), with status 0.
#   bash test_pipes.sh kelvrin.exe|kelvrin-win64.zip WINEPREFIX [LINUX_GAME]
set -u
[ $# -ge 2 ] || { echo "usage: bash $0 kelvrin.exe|kelvrin-win64.zip WINEPREFIX [LINUX_GAME]" >&2; exit 2; }
EXE=$(realpath "$1") PREFIX=$2 LINUX_GAME=${3:-} WINE="$(cd "$(dirname "$0")" && pwd)/wine.sh"
die() { echo "FAIL: $*" >&2; exit 1; }
[ -n "$LINUX_GAME" ] || { echo "skipped: no Linux game to compare with (configure with -DKELVRIN_LINUX_GAME=...)"; exit 77; }
[ -x "$LINUX_GAME" ] || die "no Linux game at $LINUX_GAME"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
if [ "${EXE%.zip}" != "$EXE" ]; then
    mkdir unpacked && (cd unpacked && cmake -E tar xf "$EXE") || die "$EXE does not unpack (cpack makes it)"
    [ "$(cd unpacked && ls | tr '\n' ' ')" = "LICENSE.txt README.txt kelvrin.exe " ] ||
        die "the zip holds $(cd unpacked && ls | tr '\n' ' ')instead of LICENSE.txt, README.txt and kelvrin.exe"
    head -c 15 unpacked/LICENSE.txt | grep -q "MIT License" && grep -q winpthreads unpacked/LICENSE.txt &&
        grep -q "GCC RUNTIME LIBRARY EXCEPTION" unpacked/LICENSE.txt || die "LICENSE.txt lacks the licence or a notice"
    EXE=$WORK/unpacked/kelvrin.exe
fi
printf 3x0 | "$LINUX_GAME" >linux.out || die "the Linux game ended with status $?"
grep -qF "Autor: Brannok52" linux.out || die "the Linux game showed no information screen"
printf 3x0 | bash "$WINE" "$PREFIX" "$EXE" >windows.out || die "kelvrin.exe ended with status $?"
cmp -s linux.out windows.out ||
    die "kelvrin.exe printed other bytes than the Linux game:
$(diff <(od -c linux.out) <(od -c windows.out) | head -n 20)"
echo "ok: pipes"
