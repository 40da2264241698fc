# Ctrl-C, SIGTERM and SIGHUP end the game anywhere: in the town, on a
# dungeon level, in a fight and on the loot screen after a won fight. Each
# time the shell gets its screen and line mode back, the game ends with the
# signal's own status, the crash message is shown, and the crash save
# "error_save_<name>", renamed to "save_<name>", brings back the same hero
# at the same place. Also: a rage does not outlive the crash save, Ctrl-\
# (SIGQUIT) does the same, Ctrl-C outside a game leaves no file and no
# message, and a terminal closed in a fight still leaves the crash save,
# whether the hangup signal ends the game or the end of its input does.
# Quitting with 0 leaves the terminal as it was too; Ctrl-Z gives the
# shell its screen and fg brings the game back, reading single keys.
. "$(dirname "$0")/lib.sh"

# The pane's text with wrapped lines joined (the crash message is longer
# than a row).
joined() { tm capture-pane -p -J -t "$PANE"; }

CRASH_MESSAGE="Wystąpił błąd gry, została ona zapisana w pliku error_save_"

# expect_ended LABEL SIGNAL|0: the game ended by SIGNAL (or by itself) and
# the shell has its screen (the marker, no game text) and its line mode back.
expect_ended() {
    local status want=0
    [ "$2" = 0 ] || want=$((128 + $(kill -l "$2")))
    wait_for "modes after:"
    status=$(screen | sed -n 's/^status \([0-9]*\);.*/\1/p')
    [ "$status" = "$want" ] || fail "$1: the game ended with status $status, not $want ($2)"
    expect_shown "modes after: icanon echo"
    # The main screen, a visible cursor, the whole screen as the scroll
    # region (a fight had left out its top row) and plain attributes.
    [ "$(tm display -p -t "$PANE" '#{alternate_on} #{cursor_flag} #{scroll_region_upper} #{scroll_region_lower}')" = "0 1 0 24" ] ||
        fail "$1: the terminal is left as the game set it"
    ! tm capture-pane -p -e -t "$PANE" | grep -q $'\e' || fail "$1: the shell's text is left coloured"
    expect_shown "marker-42-$1"
    for text in "Kelvrin v 0.2" "Jesteś w" "komendy:afuec" "Co chcesz zrobić"; do expect_not_shown "$text"; done
    wait_for 'shell$'
}

# expect_crash_save NAME: the crash save is there, whole, and the save it
# was loaded from is gone.
expect_crash_save() {
    [ -f "$WORK/error_save_$1" ] || fail "no error_save_$1"
    [ "$(stat -c %s "$WORK/error_save_$1")" = 1008 ] || fail "error_save_$1 is not 1008 bytes"
    [ ! -e "$WORK/save_$1" ] || fail "save_$1 is still there after loading"
}

# open_hero NAME: from the main menu, the game with NAME's save.
open_hero() {
    keys 1
    type_name "$1"
}

# load_hero NAME: the game started from the shell with NAME's save.
load_hero() {
    command_line "'$GAME'"
    wait_for "Kelvrin v 0.2"
    open_hero "$1"
}

# From the town or a dungeon level back to the shell, unsaved.
quit_game() {
    leave_game n
    keys 0
    wait_for 'shell$'
}

# field TEXT KEY: the number after KEY ("pw:" gives "12/13") in TEXT.
field() { printf '%s\n' "$1" | sed -n "s/.*$2\([0-9/-]*\).*/\1/p" | head -n 1; }

# The attribute rows of the character sheet, from the dungeon view and back.
sheet_attributes() {
    keys s
    wait_for "Atak: "
    screen | grep -E '^(SIŁ|ZRĘ|KON|INT|MĄD|CHA):'
    keys Space
    wait_for "Ruch - strzałki, s - statystki"
}

# rage_bar MAX: the status bar shows more than MAX most Pw; sets RAGE_PW to
# its "pw/most".
rage_bar() { RAGE_PW=$(field "$(screen | sed -n 1p)" 'pw:'); [ "${RAGE_PW#*/}" -gt "$1" ]; }

# check_case PLACE SIGNAL NAME NUMBER [rage]: takes NAME (Pw and gold of its
# own, from NUMBER) to PLACE, ends the game there with SIGNAL, checks the
# terminal, the message and the crash save, then loads the crash save and
# checks it holds the hero left behind. With "rage" the hero is in a rage
# when the signal comes, which the crash save must not keep.
check_case() {
    local place=$1 signal=$2 name=$3 number=$4 rage=${5:-} expect="" found="" where="" attributes="" now hp max
    cp "$TEMPLATE" "$WORK/save_$name"
    put_i32 "$WORK/save_$name" 40 $((990 - 7 * number))  # Pw
    put_i32 "$WORK/save_$name" 48 $((500 + 11 * number)) # gold
    start_game "$name"
    open_hero "$name"
    wait_for "Jesteś w podziemiach na 1 poziomie."

    case $place in
        town)
            keys u
            wait_for "Gdzie chcesz iść:"
            keys m
            wait_for "Jesteś w mieście."
            expect=$(screen | sed -n 1,2p)
            ;;
        dungeon)
            # One step off the stairs, so that the crash save has to keep
            # the cell (a fight on that step is fought first).
            walk_until view
            expect=$(screen | sed -n 1,21p)
            ;;
        fight)
            [ -n "$rage" ] && attributes=$(sheet_attributes)
            walk_until fight
            where=$TARGET
            hp=$(field "$BAR" 'pw:') max=${hp#*/} hp=${hp%/*}
            if [ -n "$rage" ]; then
                keys s
                wait_for "Wpadasz w szał bojowy!"
                poll 5 rage_bar "$max" || fail "the rage gave no Pw: $RAGE_PW"
                # The Pw the rage gave go when it ends, down to the old most.
                hp=${RAGE_PW%/*}
                [ "$hp" -gt "$max" ] && hp=$max
            fi
            expect="$name Człowiek Barbarzyńca, Poziom 1, Pw $hp/$max, Złoto $(field "$BAR" 'złoto:')"
            ;;
        loot)
            walk_until loot
            where=$TARGET
            found=$(field "$(printf '%s\n' "$OK_SCREEN" | grep 'Znalazłeś [0-9]* złota')" 'Znalazłeś ')
            expect="$name Człowiek Barbarzyńca, Poziom 1, Pw $(field "$BAR" 'pw:'), Złoto $(($(field "$BAR" 'złoto:') + ${found:-0}))"
            ;;
    esac

    case $signal in
        INT) keys C-c ;;
        QUIT) keys 'C-\' ;;
        *) kill -"$signal" "$(game_pid)" ;;
    esac
    expect_ended "$name" "$signal"
    joined | grep -qF "$CRASH_MESSAGE$name jednak może nie działać poprawnie." || fail "$name: no crash message"
    expect_crash_save "$name"

    mv "$WORK/error_save_$name" "$WORK/save_$name"
    command_line "clear"
    load_hero "$name"
    if [ "$place" = town ]; then
        wait_for "Jesteś w mieście."
        now=$(screen | sed -n 1,2p)
    else
        wait_for "Jesteś w podziemiach na 1 poziomie."
        case $place in
            dungeon) now=$(screen | sed -n 1,21p) ;;
            *) now=$(screen | sed -n 1p) ;;
        esac
    fi
    [ "$now" = "$expect" ] || fail "$name: the crash save brought back another hero:
$now
instead of
$expect"
    if [ -n "$where" ]; then
        [ "$(hero_position)" = "$where" ] || fail "$name: the hero came back at $(hero_position), not at $where"
    fi
    if [ -n "$attributes" ]; then
        [ "$(sheet_attributes)" = "$attributes" ] || fail "$name: the rage outlived the crash save"
    fi
    quit_game
}

start_shell
make_runner

# The template: a new hero saved on the first dungeon level.
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
create_hero Wzor
to_dungeon
leave_game t
keys 0
wait_for 'shell$'
[ -f "$WORK/save_Wzor" ] || fail "no save_Wzor to start from"
# A hero strong enough that every fight on the first level is won.
TEMPLATE=$WORK/template.sav
mv "$WORK/save_Wzor" "$TEMPLATE"
strong_hero "$TEMPLATE"

# Every place with every signal; one fight with a rage running.
number=0
for place in town dungeon fight loot; do
    for signal in INT TERM HUP; do
        number=$((number + 1))
        check_case "$place" "$signal" "$place$signal" "$number"
    done
done
# A rage running, which the crash save must not keep; Ctrl-\ (SIGQUIT); a
# name with Polish letters.
check_case fight TERM Wściekły 13 rage
check_case loot QUIT Żółw 14

# Ctrl-C outside a game (back in the menu after one): the terminal back,
# no crash save and no message.
start_game menu
cp "$TEMPLATE" "$WORK/save_menu"
open_hero menu
wait_for "Jesteś w podziemiach na 1 poziomie."
leave_game n
keys C-c
expect_ended menu INT
! joined | grep -qF "$CRASH_MESSAGE" || fail "a crash message without a game"
[ -z "$(find "$WORK" -name 'error_save_*')" ] || fail "a crash save without a game"

# The game's own end, from the menu.
start_game quit
keys 0
expect_ended quit 0

# Ctrl-Z: the game run straight from the interactive shell, which shows its
# own screen while the game is stopped; fg draws the game anew, and it
# reads single keys again.
command_line "clear"
command_line "echo \"marker-\$((6 * 7))-stop\""
wait_for "marker-42-stop"
cp "$TEMPLATE" "$WORK/save_stop"
load_hero stop
wait_for "Jesteś w podziemiach na 1 poziomie."
keys C-z
wait_for "marker-42-stop"
expect_not_shown "Jesteś w podziemiach"
command_line "fg"
wait_for "Jesteś w podziemiach na 1 poziomie."
keys u
wait_for "Gdzie chcesz iść:"
keys m
wait_for "Jesteś w mieście."
quit_game

# A closed terminal in a fight: the game ends and keeps the hero, whether
# the hangup signal ends it or, with the signal ignored (nohup), the end
# of its input does.
for mode in signal ignored; do
    name=closed$mode
    if [ "$mode" = ignored ]; then
        # The game then ends normally, just as its process group is left
        # without a shell; the leak checker's exit-time tracer stops the
        # process at that moment, and the system's SIGCONT to the orphaned
        # group cancels that stop, leaving the checker waiting for ever. So
        # no leak check here (the other cases do it).
        sed -i '1a trap "" HUP\nexport ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"' "$WORK/run.sh"
    fi
    cp "$TEMPLATE" "$WORK/save_$name"
    start_game "$name"
    open_hero "$name"
    wait_for "Jesteś w podziemiach na 1 poziomie."
    walk_until fight
    pid=$(game_pid)
    expect="$name Człowiek Barbarzyńca, Poziom 1, Pw $(field "$BAR" 'pw:'), Złoto $(field "$BAR" 'złoto:')"
    tm kill-server
    wait_exit "$pid" 5 || fail "$name: the game still ran after its terminal closed"
    expect_crash_save "$name"
    mv "$WORK/error_save_$name" "$WORK/save_$name"
    start_shell
    load_hero "$name"
    wait_for "Jesteś w podziemiach na 1 poziomie."
    [ "$(screen | sed -n 1p)" = "$expect" ] || fail "$name: the crash save brought back another hero"
    quit_game
done
echo "ok: signals"
