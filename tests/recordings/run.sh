# Replays every recorded game here (NAME.rec) with the game given, at once, each in an empty folder of its own: it
# must end with status 0 (every check value matched), write the very screens kept in NAME.out and leave its folder
# empty. With the tool KELVRIN_GAME_FILES (the Linux build's kelvrin_game_files) it also checks that NAME.hero
# still makes the save the recording starts from.
#   bash run.sh [--update] GAME [ARGUMENTS...]   (build/kelvrin; bash wine.sh PREFIX kelvrin.exe; node ... kelvrin.js)
# KELVRIN_RECORDINGS="NAME ..." takes only those. --update (which needs the tool) records each game anew from its
# NAME.keys, in a folder holding NAME.hero's save if there is one, and writes NAME.rec, NAME.out (its screens) and
# NAME.files (the files in that folder after the game, field by field), but only when the last screen of every one
# shows its NAME.expect line.
set -u
export LC_ALL=C.UTF-8  # ${#text} counts letters, not bytes
[ "${1:-}" = --update ] && UPDATE=yes && shift || UPDATE=""
[ $# -ge 1 ] || { echo "usage: bash $0 [--update] GAME [ARGUMENTS...]" >&2; exit 2; }
HERE=$(cd "$(dirname "$0")" && pwd) GAME=() WORK=$(mktemp -d) TOOL=${KELVRIN_GAME_FILES:-}
[ -z "$TOOL" ] || TOOL=$(realpath "$TOOL")
[ -z "${KELVRIN_PTY_KEYS:-}" ] || KELVRIN_PTY_KEYS=$(realpath "$KELVRIN_PTY_KEYS")
for word; do [ -e "$word" ] && word=$(realpath "$word"); GAME+=("$word"); done  # the game runs in other folders
trap 'rm -rf "$WORK"' EXIT
[ -z "$UPDATE" ] || [ -n "$TOOL" ] || { echo "--update needs KELVRIN_GAME_FILES" >&2; exit 2; }

# run FOLDER GAME_ARGUMENTS...: the game in FOLDER (made new and empty) with no input; prints what went wrong.
run() {
    local folder=$1
    mkdir -p "$folder"
    (cd "$folder" && "${GAME[@]}" "${@:2}" </dev/null >/dev/null 2>"$WORK/err") ||
        echo "the game ended with status $?: $(tail -n 3 "$WORK/err")"
}

# screen FILE N: the Nth screen of a transcript, its heading first.
screen() { awk -v n="$2" '/^=== / { k++ } k == n' "$1"; }

# side_by_side EXPECTED ACTUAL: the first screen where two transcripts differ, the expected one on the left.
side_by_side() {
    local line n left right i l r mark
    line=$(cmp "$1" "$2" 2>&1 | grep -oE 'line [0-9]+' | grep -oE '[0-9]+')
    [ -n "$line" ] || line=$(($(wc -l <"$1") + 1))
    n=$(head -n "$line" "$1" | grep -c '^=== ')
    mapfile -t left < <(screen "$1" "$n")
    mapfile -t right < <(screen "$2" "$n")
    echo "screen $n differs; it came after $(screen "$1" $((n - 1)) | head -n 1 | tr -d =) (expected | actual):"
    for ((i = 0; i < ${#left[@]} || i < ${#right[@]}; i++)); do
        l=${left[i]-} r=${right[i]-} mark='|'
        [ "$l" = "$r" ] || mark='#'
        printf '%s%*s %s %s\n' "$l" $((80 - ${#l})) '' "$mark" "$r"
    done
}

# check NAME: what differs between the recording NAME and its expected outcome, replayed now.
check() {
    local name=$1 problem save
    if [ -n "$TOOL" ] && [ -f "$HERE/$name.hero" ]; then
        mkdir -p "$WORK/hero-$name"
        save=$("$TOOL" save "$HERE/$name.hero" "$WORK/hero-$name" 2>&1) || { echo "$name.hero: $save"; return; }
        grep -qF "read \"$save\" ok $(od -An -tx1 -v "$WORK/hero-$name/$save" | tr -d ' \n')" "$HERE/$name.rec" ||
            echo "$name.hero no longer makes the save the recording starts from: make update-recordings"
    fi
    problem=$(run "$WORK/$name" --replay "$HERE/$name.rec" --speed 0 --screens "$WORK/$name.out")
    [ -z "$problem" ] || { echo "$problem"; return; }
    [ -z "$(ls -A "$WORK/$name")" ] || echo "the replay left $(ls -A "$WORK/$name" | tr '\n' ' ')in its folder"
    cmp -s "$HERE/$name.out" "$WORK/$name.out" || side_by_side "$HERE/$name.out" "$WORK/$name.out"
}

# on_pipe KEYS GAME...: GAME with the file KEYS as its input.
on_pipe() { "${@:2}" <"$1"; }

# update NAME: the recording NAME made anew in $WORK, with its screens and files; prints what went wrong.
update() {
    local name=$1 new=$WORK/new/$1 keys=$HERE/$1.keys problem seed save last typist mode=()
    [ -f "$keys" ] || { echo "no $name.keys to record it from"; return; }
    mkdir -p "$WORK/$name"
    if [ -f "$HERE/$name.hero" ]; then
        save=$("$TOOL" save "$HERE/$name.hero" "$WORK/$name" 2>&1) || { echo "$name.hero: $save"; return; }
    fi
    seed=$(sed -n 's/^# seed: \([0-9]*\)$/\1/p' "$keys")
    # Lines starting with "#" are notes; the rest, joined, are the keys, with printf's \n (Enter), \e ...
    printf '%b' "$(grep -v '^#' "$keys" | tr -d '\n')" >"$WORK/$name.keys"
    # "# in a terminal": typed in a pseudo-terminal (arrow keys), else given on a pipe.
    if grep -qx '# in a terminal' "$keys"; then
        typist=("${KELVRIN_PTY_KEYS:?needs KELVRIN_PTY_KEYS}" "$WORK/$name.keys")
    else
        typist=(on_pipe "$WORK/$name.keys")
    fi
    # "# screen reader": played in the screen-reader mode.
    if grep -qx '# screen reader' "$keys"; then mode=(--screen-reader); fi
    (cd "$WORK/$name" && "${typist[@]}" "${GAME[@]}" "${mode[@]}" --seed "${seed:-7}" --record "$new.rec" >/dev/null \
        2>"$WORK/err") || { echo "the game ended with status $?: $(tail -n 3 "$WORK/err")"; return; }
    "$TOOL" show "$WORK/$name" >"$new.files"
    problem=$(run "$WORK/screens-$name" --replay "$new.rec" --speed 0 --screens "$new.out")
    [ -z "$problem" ] || { echo "$problem"; return; }
    # The last screen: the one at the last input, and the one the game left.
    last=$(grep -c '^=== ' "$new.out")
    { screen "$new.out" $((last - 1)) && screen "$new.out" "$last"; } >"$WORK/last"
    grep -qF -- "$(cat "$HERE/$name.expect" 2>/dev/null || echo '(no .expect)')" "$WORK/last" ||
        echo "the last screen does not show the line of $name.expect: $(cat "$HERE/$name.expect" 2>/dev/null)
$(cat "$WORK/last")"
}

names=()
for file in "$HERE"/*.keys; do
    [ -e "$file" ] || continue
    name=$(basename "${file%.*}")
    [[ " ${names[*]} " == *" $name "* ]] && continue
    [ -z "${KELVRIN_RECORDINGS:-}" ] || [[ " $KELVRIN_RECORDINGS " == *" $name "* ]] || continue
    names+=("$name")
done
mkdir -p "$WORK/new"
passed=0 failed=0
for name in "${names[@]}"; do
    if [ -n "$UPDATE" ]; then problem=$(update "$name"); else problem=$(check "$name"); fi
    [ -z "$problem" ] && passed=$((passed + 1)) && echo "ok: $name" && continue
    failed=$((failed + 1))
    echo "FAIL: $name: $problem"
done
if [ -n "$UPDATE" ] && [ $failed -eq 0 ] && [ $passed -gt 0 ]; then
    cp "$WORK"/new/* "$HERE/" || failed=1
fi
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
