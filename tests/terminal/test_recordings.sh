# Recording and replay as a player starts them, with the game given (build/kelvrin; bash wine.sh PREFIX kelvrin.exe;
# node ... kelvrin.js); with KELVRIN_LINUX_GAME set, each of it and the Linux game replays what the other recorded.
set -u
[ $# -ge 1 ] || { echo "usage: bash $0 GAME [ARGUMENTS...]" >&2; exit 2; }
GAME=()
for word; do [ -e "$word" ] && word=$(realpath "$word"); GAME+=("$word"); done  # the game runs in other folders
RECORDINGS=$(cd "$(dirname "$0")/../recordings" && pwd) WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
err() { cat "$WORK/replay.err"; }
# play NAME GAME...: in the new folder NAME, a new hero into the dungeon and saved; printed into NAME.out.
play() { mkdir "$WORK/$1" && (cd "$WORK/$1" && printf '1Ala\nt1t1\nt1\nw1\nw wpqt0' | "${@:2}" >"../$1.out" 2>../err) ||
    fail "${*:2} ended with status $?: $(cat "$WORK/err")"; }
# replay FOLDER FILE GAME...: FILE replayed in FOLDER, printed into replay.out and replay.err.
replay() { mkdir -p "$1" && (cd "$1" && "${@:3}" --replay "$2" </dev/null >"$WORK/replay.out" 2>"$WORK/replay.err"); }

if [ -n "${KELVRIN_LINUX_GAME:-}" ]; then
    play linux "$KELVRIN_LINUX_GAME" --seed 3 --record "$WORK/linux.rec"
    play this "${GAME[@]}" --seed 3 --record "$WORK/this.rec"
    replay "$WORK/a" "$WORK/linux.rec" "${GAME[@]}" || fail "the Linux game's recording: $(err)"
    replay "$WORK/b" "$WORK/this.rec" "$KELVRIN_LINUX_GAME" || fail "this game's recording on the Linux game: $(err)"
fi

# The same seed and keys, recorded or not, give the same bytes and save; another seed another first level.
play seven "${GAME[@]}" --seed 7 --record "$WORK/seven.rec"
play again "${GAME[@]}" --seed 7
play eight "${GAME[@]}" --seed 8
cmp -s "$WORK/seven.out" "$WORK/again.out" || fail "seed 7 printed other bytes the second time:
$(diff "$WORK/seven.out" "$WORK/again.out" | head -n 10)"
cmp -s "$WORK/seven/save_Ala" "$WORK/again/save_Ala" || fail "seed 7 saved other bytes the second time"
level() { sed -n '/^Jesteś w podziemiach na 1 poziomie/,/^Ruch - strzałki/p' "$WORK/$1.out"; }
[ "$(level seven | wc -l)" -gt 20 ] || fail "seed 7 showed no first level: $(tail -n 5 "$WORK/seven.out")"
[ "$(level seven)" != "$(level eight)" ] || fail "seeds 7 and 8 showed the same first level"

# A hero's death replayed beside another hero's save, a graveyard and the lock file of the hero who dies.
mkdir "$WORK/kept" && cp "$WORK/seven/save_Ala" "$WORK/kept/save_Bob"
printf 'graveyard' >"$WORK/kept/cmentarz.dat" && : >"$WORK/kept/lock_Ala"
touch -d '2001-02-03 04:05:06' "$WORK/kept"/* && cp -a "$WORK/kept" "$WORK/kept.before"
before=$(ls -l --full-time "$WORK/kept")
replay "$WORK/kept" "$RECORDINGS/dungeon_death.rec" "${GAME[@]}" || fail "the replay: $(err)"
[ "$(ls -l --full-time "$WORK/kept")" = "$before" ] ||
    fail "the replay changed the folder: $(diff <(echo "$before") <(ls -l --full-time "$WORK/kept"))"
diff -r "$WORK/kept.before" "$WORK/kept" >/dev/null || fail "the replay changed a file's bytes"

# Cut as a kill leaves it (its end and half a key gone), a recording plays to its last whole event.
head -c -30 "$WORK/seven.rec" >"$WORK/cut.rec"
replay "$WORK/cut" "$WORK/cut.rec" "${GAME[@]}" || fail "a recording cut short: $(err)"
grep -qF "was cut short" "$WORK/replay.err" || fail "a recording cut short replayed saying: $(err)"

# Refused: a recording over a file, a damaged recording (nothing shown), an unknown option.
cp "$WORK/seven.rec" "$WORK/seven.before"
(cd "$WORK/seven" && printf 0 | "${GAME[@]}" --record "$WORK/seven.rec" >/dev/null 2>&1)
[ $? -eq 1 ] || fail "--record over a file did not end with status 1"
cmp -s "$WORK/seven.before" "$WORK/seven.rec" || fail "--record over a file changed it"
sed '7s/.*/key soon/' "$WORK/seven.rec" >"$WORK/damaged.rec"
replay "$WORK/damaged" "$WORK/damaged.rec" "${GAME[@]}"
[ $? -eq 1 ] || fail "a damaged recording did not end with status 1"
grep -qF "line 7" "$WORK/replay.err" || fail "a damaged recording's message names no line 7: $(err)"
[ ! -s "$WORK/replay.out" ] || fail "a damaged recording showed: $(head -n 3 "$WORK/replay.out")"
"${GAME[@]}" --bogus >/dev/null 2>"$WORK/replay.err"
[ $? -eq 2 ] || fail "an unknown option did not end with status 2"
grep -qF "Usage: kelvrin" "$WORK/replay.err" || fail "an unknown option did not show the usage: $(err)"
echo "ok: recordings${KELVRIN_LINUX_GAME:+, and beside the Linux game}"
