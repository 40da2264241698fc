# Ctrl-C, SIGTERM and SIGHUP end the game in the town, on a dungeon level, in a fight and on the loot after a
# won fight (and Ctrl-\ there): each time the shell gets its screen and line mode back, the game ends with the
# signal's status and the crash message, and its crash save, renamed, brings back the same hero at the same
# place; so does a terminal closed in a fight, by its hangup or (hangup ignored) by the end of input; no ending
# leaves a lock file. Ctrl-C in
# the menu leaves no file and no message, quitting with 0 restores the terminal too, and Ctrl-Z gives the shell
# its screen until fg brings the game back, reading keys.
. "$(dirname "$0")/lib.sh"

# expect_ended LABEL SIGNAL|0: the game ended by SIGNAL (or by itself) and the shell has its screen and line mode
# back: the marker and no game text, the main screen, a visible cursor, the whole screen as the scroll region (a
# fight leaves out its top row) and plain attributes.
expect_ended() {
    local want=0
    [ "$2" = 0 ] || want=$((128 + $(kill -l "$2")))
    wait_for "status $want; modes after: icanon echo"
    local modes
    modes=$(tm display -p -t "$PANE" '#{alternate_on} #{cursor_flag} #{scroll_region_upper} #{scroll_region_lower}')
    [ "$modes" = "0 1 0 24" ] || fail "$1: the terminal is left as the game set it"
    ! tm capture-pane -p -e -t "$PANE" | grep -q $'\e' || fail "$1: the shell's text is left coloured"
    wait_for "marker-42-$1"
    for text in "Kelvrin v 0.2" "Jesteś w" "komendy:afuec" "Co chcesz zrobić"; do expect_not_shown "$text"; done
    wait_for 'shell$'
}
quit_game() { leave_game n 'shell$'; }
# field TEXT KEY: the number after KEY ("pw:" gives "12/13") in TEXT.
field() { printf '%s\n' "$1" | sed -n "s/.*$2\([0-9/-]*\).*/\1/p" | head -n 1; }
# The hero as the dungeon's first row shows him, from a fight's status bar and GOLD.
from_bar() { echo "$1 Człowiek Barbarzyńca, Poziom 1, Pw $(field "$BAR" 'pw:'), Złoto $2"; }

# check_case PLACE SIGNAL|CLOSE NAME NUMBER: NAME (Pw and gold of its own, from NUMBER) taken to PLACE and ended
# there by SIGNAL or by its terminal closed, then loaded back: the same rows on the screen, the same cell.
check_case() {
    local place=$1 signal=$2 name=$3 back="Jesteś w podziemiach na 1 poziomie." rows=1,1 expect="" where=""
    local found pid now
    cp "$TEMPLATE" "$WORK/save_$name"
    put_i32 "$WORK/save_$name" 40 $((990 - 7 * $4))  # Pw
    put_i32 "$WORK/save_$name" 48 $((500 + 11 * $4)) # gold
    start_game "$name"
    open_hero "$name"
    wait_for "$back"
    case $place in
        town)
            press u "Gdzie chcesz iść:"
            keys m
            back="Jesteś w mieście." rows=1,2
            wait_for "$back" ;;
        dungeon) walk_until view; rows=1,21 ;;  # one step off the stairs, a cell the crash save has to keep
        fight) walk_until fight; where=$TARGET expect=$(from_bar "$name" "$(field "$BAR" 'złoto:')") ;;
        loot)  # the gold found is the hero's already
            walk_until loot
            found=$(field "$(printf '%s\n' "$OK_SCREEN" | grep 'Znalazłeś [0-9]* złota')" 'Znalazłeś ')
            where=$TARGET expect=$(from_bar "$name" $(($(field "$BAR" 'złoto:') + ${found:-0}))) ;;
    esac
    [ -n "$expect" ] || expect=$(screen | sed -n "${rows}p")
    case $signal in
        INT) keys C-c ;;
        QUIT) keys 'C-\' ;;
        CLOSE)
            pid=$(cat "$WORK/game.pid")
            tm kill-server
            poll 5 ended "$pid" || fail "$name: the game still ran after its terminal closed"
            shell ;;
        *) kill -"$signal" "$(cat "$WORK/game.pid")" ;;
    esac
    [ "$signal" = CLOSE ] || { expect_ended "$name" "$signal"; crash_message "$name"; }
    no_lock_left "$name"
    reload "$name"
    wait_for "$back"
    now=$(screen | sed -n "${rows}p")
    [ "$now" = "$expect" ] || fail "$name: the crash save brought back another hero: $now instead of $expect"
    [ -z "$where" ] || [ "$(hero_position)" = "$where" ] ||
        fail "$name: the hero came back at $(hero_position), not $where"
    quit_game
}

shell
make_runner
# The template: a new hero saved on the first dungeon level, made strong.
start_game template
keys 1
create_hero Wzor
to_dungeon
leave_game t "status 0;"
TEMPLATE=$WORK/template.sav
mv "$WORK/save_Wzor" "$TEMPLATE" || fail "no save_Wzor to start from"
strong_hero "$TEMPLATE"

number=0
for place in town dungeon fight loot; do
    for signal in INT TERM HUP; do
        number=$((number + 1))
        check_case "$place" "$signal" "$place$signal" "$number"
    done
done
check_case loot QUIT Żółw 13  # and a name with Polish letters
check_case fight CLOSE closedsignal 14
# The game ends just as its process group is left without a shell: the leak checker's exit-time tracer stops it
# then, and the system's SIGCONT to the orphaned group cancels that stop, leaving the checker waiting for ever.
sed -i '1a trap "" HUP\nexport ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"' "$WORK/run.sh"
check_case fight CLOSE closedignored 15

# Ctrl-C back in the menu after a game: no crash save and no message.
start_game menu
cp "$TEMPLATE" "$WORK/save_menu"
open_hero menu
wait_for "Jesteś w podziemiach na 1 poziomie."
leave_game n
keys C-c
expect_ended menu INT
no_lock_left menu
! joined | grep -qF "$CRASH_MESSAGE" || fail "a crash message without a game"
[ -z "$(find "$WORK" -name 'error_save_*')" ] || fail "a crash save without a game"
start_game quit
keys 0
expect_ended quit 0
no_lock_left quit

# Ctrl-Z, the game run straight from the interactive shell: the shell's screen while it is stopped; fg draws
# the game anew, and it reads keys.
typed clear
typed "echo \"marker-\$((6 * 7))-stop\""
cp "$TEMPLATE" "$WORK/save_stop"
typed "'$GAME'"
wait_for "Kelvrin v 0.2"
open_hero stop
wait_for "Jesteś w podziemiach na 1 poziomie."
press C-z "marker-42-stop"
expect_not_shown "Jesteś w podziemiach"
typed fg
wait_for "Jesteś w podziemiach na 1 poziomie."
press u "Gdzie chcesz iść:"
press m "Jesteś w mieście."
quit_game
echo "ok: signals"
