# Ctrl-C, SIGTERM and SIGHUP end the game in the town, on a dungeon level,
# in a fight and on the loot screen after a won fight (and Ctrl-\ there):
# each time the shell gets its screen and line mode back, the game ends with
# the signal's own status and the crash message, and its crash save, renamed
# to the save, brings back the same hero at the same place. Ctrl-C outside a
# game leaves no file and no message; quitting with 0 leaves the terminal as
# it was too; a terminal closed in a fight leaves the crash save, whether
# the hangup signal ends the game or the end of its input does; Ctrl-Z
# gives the shell its screen and fg brings the game back, reading keys.
. "$(dirname "$0")/lib.sh"

CRASH_MESSAGE="Wystąpił błąd gry, została ona zapisana w pliku error_save_"

# expect_ended LABEL SIGNAL|0: the game ended by SIGNAL (or by itself) and
# the shell has its screen and its line mode back: the marker and no game
# text, the main screen, a visible cursor, the whole screen as the scroll
# region (a fight leaves out its top row) and plain attributes.
expect_ended() {
    local want=0
    [ "$2" = 0 ] || want=$((128 + $(kill -l "$2")))
    wait_for "status $want; modes after: icanon echo"
    [ "$(tm display -p -t "$PANE" '#{alternate_on} #{cursor_flag} #{scroll_region_upper} #{scroll_region_lower}')" = "0 1 0 24" ] ||
        fail "$1: the terminal is left as the game set it"
    ! tm capture-pane -p -e -t "$PANE" | grep -q $'\e' || fail "$1: the shell's text is left coloured"
    wait_for "marker-42-$1"
    for text in "Kelvrin v 0.2" "Jesteś w" "komendy:afuec" "Co chcesz zrobić"; do expect_not_shown "$text"; done
    wait_for 'shell$'
}

# reload NAME: the crash save is there, whole, the save it was loaded from
# is gone; renamed to the save, it is loaded by the game started anew.
reload() {
    [ "$(stat -c %s "$WORK/error_save_$1" 2>/dev/null)" = 1008 ] || fail "no error_save_$1 of 1008 bytes"
    [ ! -e "$WORK/save_$1" ] || fail "save_$1 is still there after loading"
    mv "$WORK/error_save_$1" "$WORK/save_$1"
    typed clear
    typed "'$GAME'"
    wait_for "Kelvrin v 0.2"
    open_hero "$1"
}

# From the town or a dungeon level back to the shell, unsaved.
quit_game() { leave_game n; keys 0; wait_for 'shell$'; }

# field TEXT KEY: the number after KEY ("pw:" gives "12/13") in TEXT.
field() { printf '%s\n' "$1" | sed -n "s/.*$2\([0-9/-]*\).*/\1/p" | head -n 1; }
# The hero as the town's first row shows him, from a fight's status bar.
from_bar() { echo "$1 Człowiek Barbarzyńca, Poziom 1, Pw $(field "$BAR" 'pw:'), Złoto $2"; }

# check_case PLACE SIGNAL NAME NUMBER: NAME (Pw and gold of its own, from
# NUMBER) taken to PLACE and ended there by SIGNAL, then loaded back.
check_case() {
    local place=$1 signal=$2 name=$3 expect="" where="" now found
    cp "$TEMPLATE" "$WORK/save_$name"
    put_i32 "$WORK/save_$name" 40 $((990 - 7 * $4))  # Pw
    put_i32 "$WORK/save_$name" 48 $((500 + 11 * $4)) # gold
    start_game "$name"
    open_hero "$name"
    wait_for "Jesteś w podziemiach na 1 poziomie."
    case $place in
        town)
            keys u
            wait_for "Gdzie chcesz iść:"
            keys m
            wait_for "Jesteś w mieście."
            expect=$(screen | sed -n 1,2p) ;;
        dungeon)  # one step off the stairs, a cell the crash save has to keep
            walk_until view
            expect=$(screen | sed -n 1,21p) ;;
        fight)
            walk_until fight
            where=$TARGET expect=$(from_bar "$name" "$(field "$BAR" 'złoto:')") ;;
        loot)  # the gold found is the hero's already
            walk_until loot
            found=$(field "$(printf '%s\n' "$OK_SCREEN" | grep 'Znalazłeś [0-9]* złota')" 'Znalazłeś ')
            where=$TARGET expect=$(from_bar "$name" $(($(field "$BAR" 'złoto:') + ${found:-0}))) ;;
    esac
    case $signal in
        INT) keys C-c ;;
        QUIT) keys 'C-\' ;;
        *) kill -"$signal" "$(cat "$WORK/game.pid")" ;;
    esac
    expect_ended "$name" "$signal"
    joined | grep -qF "$CRASH_MESSAGE$name jednak może nie działać poprawnie." || fail "$name: no crash message"
    reload "$name"
    if [ "$place" = town ]; then
        wait_for "Jesteś w mieście."
        now=$(screen | sed -n 1,2p)
    else
        wait_for "Jesteś w podziemiach na 1 poziomie."
        now=$(screen | sed -n "1,$([ "$place" = dungeon ] && echo 21 || echo 1)p")
    fi
    [ "$now" = "$expect" ] || fail "$name: the crash save brought back another hero: $now instead of $expect"
    [ -z "$where" ] || [ "$(hero_position)" = "$where" ] || fail "$name: the hero came back at $(hero_position), not $where"
    quit_game
}

shell
make_runner
# The template: a new hero saved on the first dungeon level, made strong.
typed "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
create_hero Wzor
to_dungeon
leave_game t
keys 0
wait_for 'shell$'
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

# Ctrl-C back in the menu after a game: no crash save and no message.
start_game menu
cp "$TEMPLATE" "$WORK/save_menu"
open_hero menu
wait_for "Jesteś w podziemiach na 1 poziomie."
leave_game n
keys C-c
expect_ended menu INT
! joined | grep -qF "$CRASH_MESSAGE" || fail "a crash message without a game"
[ -z "$(find "$WORK" -name 'error_save_*')" ] || fail "a crash save without a game"
start_game quit
keys 0
expect_ended quit 0

# Ctrl-Z, the game run straight from the interactive shell: the shell's
# screen while it is stopped; fg draws the game anew, and it reads keys.
typed clear
typed "echo \"marker-\$((6 * 7))-stop\""
cp "$TEMPLATE" "$WORK/save_stop"
typed "'$GAME'"
wait_for "Kelvrin v 0.2"
open_hero stop
wait_for "Jesteś w podziemiach na 1 poziomie."
keys C-z
wait_for "marker-42-stop"
expect_not_shown "Jesteś w podziemiach"
typed fg
wait_for "Jesteś w podziemiach na 1 poziomie."
keys u
wait_for "Gdzie chcesz iść:"
keys m
wait_for "Jesteś w mieście."
quit_game

# A terminal closed in a fight, with the hangup signal, and with it ignored
# (nohup), when the end of input ends the game. The game then ends just as
# its process group is left without a shell: the leak checker's exit-time
# tracer stops it at that moment, and the system's SIGCONT to the orphaned
# group cancels that stop, leaving the checker waiting for ever; so no leak
# check there (the other cases do it).
for mode in signal ignored; do
    name=closed$mode
    [ $mode = signal ] ||
        sed -i '1a trap "" HUP\nexport ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"' "$WORK/run.sh"
    cp "$TEMPLATE" "$WORK/save_$name"
    start_game "$name"
    open_hero "$name"
    walk_until fight
    pid=$(cat "$WORK/game.pid") expect=$(from_bar "$name" "$(field "$BAR" 'złoto:')")
    tm kill-server
    poll 5 ended "$pid" || fail "$name: the game still ran after its terminal closed"
    shell
    reload "$name"
    wait_for "Jesteś w podziemiach na 1 poziomie."
    [ "$(screen | sed -n 1p)" = "$expect" ] || fail "$name: the crash save brought back another hero"
    quit_game
done
echo "ok: signals"
