# Replays every recording here (NAME.rec) with the game given, at once, on pipes, each in an empty folder of its
# own: it must end with status 0, print the very transcript kept in NAME.out and leave its folder empty.
#   bash run.sh [--update] GAME [ARGUMENTS...]   (build/kelvrin; bash wine.sh PREFIX kelvrin.exe; node ... kelvrin.js)
# --update replays each and records it anew (fresh check values), and takes the transcript of the new recording;
# when the last screen (25 lines) of each shows its NAME.expect line, it replaces every NAME.rec and NAME.out.
set -u
[ "${1:-}" = --update ] && UPDATE=yes && shift || UPDATE=""
[ $# -ge 1 ] || { echo "usage: bash $0 [--update] GAME [ARGUMENTS...]" >&2; exit 2; }
HERE=$(cd "$(dirname "$0")" && pwd) GAME=() WORK=$(mktemp -d)
for word; do [ -e "$word" ] && word=$(realpath "$word"); GAME+=("$word"); done  # the game runs in other folders
trap 'rm -rf "$WORK"' EXIT

# replay FILE OUT [OPTIONS...]: FILE replayed in a new empty folder into OUT; prints what went wrong.
replay() {
    local folder
    folder=$(mktemp -d -p "$WORK")
    (cd "$folder" && "${GAME[@]}" --replay "$1" --speed 0 "${@:3}" </dev/null >"$2" 2>"$WORK/err") ||
        echo "the replay ended with status $?: $(tail -n 3 "$WORK/err")"
    [ -z "$(ls -A "$folder")" ] || echo "the replay left $(ls -A "$folder" | tr '\n' ' ')in its folder"
}

passed=0 failed=0
for recording in "$HERE"/*.rec; do
    name=$(basename "$recording" .rec) expected=$(cat "${recording%.rec}.expect" 2>/dev/null)
    if [ -z "$UPDATE" ]; then
        problem=$(replay "$recording" "$WORK/$name.out")
        [ -n "$problem" ] || cmp -s "$HERE/$name.out" "$WORK/$name.out" || problem="the transcript differs:
$(diff -U 3 --label "$name.out (expected)" --label "replayed (actual)" "$HERE/$name.out" "$WORK/$name.out" 2>&1 |
  head -n 24 | sed 's/\r/<CR>/g; s/\x1b/<ESC>/g')"
    else
        problem=$(replay "$recording" /dev/null --record "$WORK/$name.rec")
        [ -n "$problem" ] || problem=$(replay "$WORK/$name.rec" "$WORK/$name.out")
        [ -n "$problem" ] || { [ -n "$expected" ] && tail -n 25 "$WORK/$name.out" | grep -qF -- "$expected"; } ||
            problem="the last screen does not show the line of $name.expect: ${expected:-(none)}"
    fi
    [ -z "$problem" ] && passed=$((passed + 1)) && echo "ok: $name" && continue
    failed=$((failed + 1))
    echo "FAIL: $name: $problem"
done
if [ -n "$UPDATE" ] && [ $failed -eq 0 ]; then
    cp "$WORK"/*.rec "$WORK"/*.out "$HERE/" || failed=1
fi
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
