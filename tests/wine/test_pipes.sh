# kelvrin.exe on pipes (the stream backend): the main menu, the information
# screen and quitting print the very bytes the Linux game prints for the
# same keys (no "\r\n", UTF-8 letters), and both end with status 0.
# Given the player's zip instead of the .exe, the game is the one unpacked
# from it, beside its README.txt.
# usage: bash test_pipes.sh kelvrin.exe|kelvrin-win64.zip WINEPREFIX LINUX_GAME
set -u
[ $# -ge 2 ] || { echo "usage: bash $0 kelvrin.exe|kelvrin-win64.zip WINEPREFIX [LINUX_GAME]" >&2; exit 2; }
EXE=$(realpath "$1") PREFIX=$2 LINUX_GAME=${3:-}
WINE="$(cd "$(dirname "$0")" && pwd)/wine.sh"
if [ -z "$LINUX_GAME" ]; then
    echo "skipped: no Linux game to compare with (configure with -DKELVRIN_LINUX_GAME=...)"
    exit 77
fi
[ -x "$LINUX_GAME" ] || { echo "FAIL: no Linux game at $LINUX_GAME" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1

if [ "${EXE%.zip}" != "$EXE" ]; then
    [ -f "$EXE" ] || { echo "FAIL: no $EXE (cpack in the Windows build makes it)" >&2; exit 1; }
    mkdir unpacked && (cd unpacked && cmake -E tar xf "$EXE") || { echo "FAIL: $EXE does not unpack" >&2; exit 1; }
    [ "$(cd unpacked && ls)" = "$(printf 'README.txt\nkelvrin.exe')" ] ||
        { echo "FAIL: the zip holds $(cd unpacked && ls | tr '\n' ' ')instead of README.txt and kelvrin.exe" >&2; exit 1; }
    EXE=$WORK/unpacked/kelvrin.exe
fi

keys='3x0'
printf '%s' "$keys" | "$LINUX_GAME" >linux.out
linux_status=$?
printf '%s' "$keys" | bash "$WINE" "$PREFIX" "$EXE" >windows.out
windows_status=$?

[ "$linux_status" = 0 ] || { echo "FAIL: the Linux game ended with status $linux_status" >&2; exit 1; }
grep -qF "Autor: Brannok52" linux.out || { echo "FAIL: the Linux game showed no information screen" >&2; exit 1; }
if ! cmp -s linux.out windows.out; then
    echo "FAIL: kelvrin.exe printed other bytes than the Linux game:" >&2
    diff <(od -c linux.out) <(od -c windows.out) | head -n 20 >&2
    exit 1
fi
[ "$windows_status" = 0 ] || { echo "FAIL: kelvrin.exe ended with status $windows_status" >&2; exit 1; }
echo "ok: pipes"
