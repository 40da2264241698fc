# The web build under Node on pipes (the stream backend on standard input and output, its files in the current
# folder through the browser's file table) prints the very bytes the Linux game prints for the same keys; a hero the
# Linux game made loads, plays and is saved by both into the same bytes.
#   bash test_pipes.sh kelvrin.js LINUX_GAME
set -u
[ $# -ge 1 ] || { echo "usage: bash $0 kelvrin.js [LINUX_GAME]" >&2; exit 2; }
WEB=$(realpath "$1") LINUX_GAME=${2:+$(realpath "$2")}
die() { echo "FAIL: $*" >&2; exit 1; }
[ -n "$LINUX_GAME" ] || { echo "skipped: no Linux game to compare with (configure with -DKELVRIN_LINUX_GAME=...)"; exit 77; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/linux" "$WORK/web"
# Both games with the same keys, each in its folder; their output must be the same bytes.
both() {
    (cd "$WORK/linux" && printf "$1" | "$LINUX_GAME" >../linux.out) || die "the Linux game ended with status $?"
    (cd "$WORK/web" && printf "$1" | node --no-experimental-fetch "$WEB" >../web.out) || die "the web build ended with status $?"
    grep -qF -- "$2" "$WORK/linux.out" || die "the Linux game did not show \"$2\""
    cmp -s "$WORK/linux.out" "$WORK/web.out" ||
        die "the web build printed other bytes than the Linux game for '$1':
$(diff <(od -c "$WORK/linux.out") <(od -c "$WORK/web.out") | head -n 20)"
}
# The information screen, the empty graveyard, a name refused and another given up, quitting.
both '3x2x1a/b\n\0' "Niedozwolone imię, wybierz inne."
(cd "$WORK/linux" && rm -f save_* error_save_* && printf '1Ala\nt1t1\nt1\nw1\nw qt0' | "$LINUX_GAME" >/dev/null)
[ "$(stat -c %s "$WORK/linux/save_Ala" 2>/dev/null)" = 1008 ] || die "the Linux game made no save_Ala"
rm -f "$WORK/web"/*
cp "$WORK/linux/save_Ala" "$WORK/web/"
# Loaded by name, the world map and back, saved again.
both '1Ala\nwmqt0' "Gdzie chcesz iść:"
cmp -s "$WORK/linux/save_Ala" "$WORK/web/save_Ala" || die "the web build saved other bytes than the Linux game"
[ "$(cd "$WORK/web" && ls -A)" = save_Ala ] || die "the web build left $(cd "$WORK/web" && ls -A | tr '\n' ' ')"
echo "ok: pipes"
