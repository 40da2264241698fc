# Ctrl-C, SIGTERM and SIGHUP end the game anywhere: in the town, on a
# dungeon level, in a fight and on the loot screen after a won fight. Each
# time the shell gets its screen and line mode back, the game ends with the
# signal's own status, the crash message is shown, and the crash save
# "error_save_<name>", renamed to "save_<name>", brings back the same hero
# at the same place.
. "$(dirname "$0")/lib.sh"

# A hero strong enough that every fight on the first level is won in a few
# rounds: the game's own save of a new hero on the first level's stairs,
# with SIŁ and ZRĘ 30 and 999 Pw written into it.
TEMPLATE=$WORK/template.sav

# put_i32 FILE OFFSET VALUE: a 32-bit little-endian integer into the file.
put_i32() {
    local v=$3
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# The shell's output joined across wrapped lines (the crash message is
# longer than a row).
joined() { tm capture-pane -p -J -t "$PANE"; }

# A runner that reports the game's exit status and the terminal's modes.
make_signal_runner() {
    make_runner
    sed -i 's/^echo "modes after: /status=$?\necho "status $status; modes after: /' "$WORK/run.sh"
}

start_shell
make_signal_runner

command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
create_hero Wzor
keys w
wait_for "Gdzie chcesz iść:"
keys p
wait_for "Jesteś w podziemiach na 1 poziomie."
keys q
wait_for "Czy chcesz zapisać grę? (tak/nie/anuluj)"
keys t
wait_for "1. Graj"
keys 0
wait_for 'shell$'
[ -f "$WORK/save_Wzor" ] || fail "no save_Wzor to start from"
mv "$WORK/save_Wzor" "$TEMPLATE"
put_i32 "$TEMPLATE" 8 30    # SIŁ
put_i32 "$TEMPLATE" 12 30   # ZRĘ
put_i32 "$TEMPLATE" 40 999  # Pw
put_i32 "$TEMPLATE" 44 999  # most Pw

# load_hero NAME: from the shell, the game with NAME's save, up to the
# dungeon view. RUNNER (optional) starts it through the reporting runner.
load_hero() {
    if [ "${2:-}" = runner ]; then
        rm -f "$WORK/game.pid"
        command_line "bash '$WORK/run.sh'"
    else
        command_line "'$GAME'"
    fi
    wait_for "Kelvrin v 0.2"
    keys 1
    wait_for "Podaj swoje imię śmiałku:"
    tm send-keys -t "$PANE" -l "$1"
    keys Enter
}

# The hero's cell on the overview (columns 51-70 of rows 2-21), as "x y".
hero_position() {
    screen | sed -n '2,21p' | cut -c51-70 | awk '{ i = index($0, "O"); if (i) { print i - 1, NR - 1; exit } }'
}

overview_char() { screen | sed -n "$(($2 + 2))p" | cut -c"$(($1 + 51))"; }

# Sets THERE and BACK: the arrow to a floor cell next to the hero and back.
find_walk() {
    local hx hy pair nx ny
    read -r hx hy < <(hero_position) || fail "the overview does not show the hero"
    THERE="" BACK=""
    for pair in "Up Down 0 -1" "Down Up 0 1" "Left Right -1 0" "Right Left 1 0"; do
        set -- $pair
        nx=$((hx + $3)) ny=$((hy + $4))
        [ $nx -ge 0 ] && [ $nx -le 19 ] && [ $ny -ge 0 ] && [ $ny -le 19 ] || continue
        [ "$(overview_char "$nx" "$ny")" != "#" ] && { THERE=$1; BACK=$2; return 0; }
    done
    fail "no floor next to the hero"
}

# walk_until WHAT: walks to and fro from the hero's cell until WHAT comes:
# "fight" (the fight waits for a command) or "loot" (the loot screen after
# a won fight; fights on the way are fought, a chest's loot is left). Sets
# BAR to the fight's status bar and OK_SCREEN to the screen before the loot.
walk_until() {
    local step=0 tick now last="" fought=""
    find_walk
    BAR="" OK_SCREEN=""
    for tick in $(seq 1 2000); do
        now=$(screen)
        if [ "$now" = "$last" ]; then
            sleep 0.03
            continue
        fi
        case "$now" in
            *"-- dalej --"*) keys Space ;;
            *"Czy chcesz zaatakować? (t/n)"*) keys t ;;
            *"Co chcesz zrobić (liczba - podnieś"*)
                [ -n "$fought" ] && return 0
                keys w Enter  # a chest's treasure: not what we wait for
                ;;
            *"(ok)"*)
                if [ -n "$fought" ] && [ "$(printf '%s\n' "$now" | sed -n 1p)" = "$BAR" ]; then
                    OK_SCREEN=$now
                fi
                keys Space
                ;;
            *"komendy:afuec"*)
                BAR=$(printf '%s\n' "$now" | sed -n 1p)
                [ "$1" = fight ] && return 0
                fought=yes
                keys f
                ;;
            *"Ruch - strzałki, s - statystki"*)
                fought=""
                step=$((step + 1))
                [ $step -le 400 ] || fail "four hundred steps did not bring the $1"
                if [ $((step % 2)) -eq 1 ]; then keys "$THERE"; else keys "$BACK"; fi
                ;;
            *) sleep 0.03; continue ;;  # a screen being drawn
        esac
        last=$now
    done
    fail "the $1 did not come"
}

# field TEXT KEY: the number after KEY ("pw:" gives "12/13") in TEXT.
field() { printf '%s\n' "$1" | sed -n "s/.*$2\([0-9/-]*\).*/\1/p" | head -n 1; }

# check_case PLACE SIGNAL NAME: takes NAME to PLACE, ends the game with
# SIGNAL there and checks the terminal, the message and the crash save,
# then loads the crash save and checks the hero is the one left behind.
check_case() {
    local place=$1 signal=$2 name=$3 expect="" found="" status
    cp "$TEMPLATE" "$WORK/save_$name"
    command_line "clear"
    wait_gone "modes after"
    command_line "echo \"marker-\$((6 * 7))-$name\""
    wait_for "marker-42-$name"
    load_hero "$name" runner
    wait_for "Jesteś w podziemiach na 1 poziomie."
    expect_not_shown "marker-42-$name"

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
            find_walk
            keys "$THERE"
            walk_until view
            expect=$(screen | sed -n 1,21p)
            ;;
        fight)
            walk_until fight
            expect="$name Człowiek Barbarzyńca, Poziom 1, Pw $(field "$BAR" 'pw:'), Złoto $(field "$BAR" 'złoto:')"
            ;;
        loot)
            walk_until loot
            [ -n "$OK_SCREEN" ] || fail "no fight report before the loot screen"
            found=$(field "$(printf '%s\n' "$OK_SCREEN" | grep 'Znalazłeś [0-9]* złota')" 'Znalazłeś ')
            expect="$name Człowiek Barbarzyńca, Poziom 1, Pw $(field "$BAR" 'pw:'), Złoto $(($(field "$BAR" 'złoto:') + ${found:-0}))"
            ;;
    esac

    case $signal in
        INT) keys C-c ;;
        *) kill -"$signal" "$(game_pid)" ;;
    esac
    wait_for "modes after:"
    status=$(screen | sed -n 's/^status \([0-9]*\);.*/\1/p')
    [ "$status" = $((128 + $(kill -l "$signal"))) ] ||
        fail "$place/$signal: the game ended with status $status, not by SIG$signal"
    expect_shown "modes after: icanon echo"
    expect_shown "marker-42-$name"
    expect_not_shown "Jesteś w"
    expect_not_shown "komendy:afuec"
    joined | grep -qF "Wystąpił błąd gry, została ona zapisana w pliku error_save_$name jednak może nie działać poprawnie." ||
        fail "$place/$signal: no crash message"
    wait_for 'shell$'
    [ -f "$WORK/error_save_$name" ] || fail "$place/$signal: no error_save_$name"
    [ "$(stat -c %s "$WORK/error_save_$name")" = 1008 ] || fail "$place/$signal: error_save_$name is not 1008 bytes"
    [ ! -e "$WORK/save_$name" ] || fail "$place/$signal: save_$name is still there after loading"

    mv "$WORK/error_save_$name" "$WORK/save_$name"
    command_line "clear"
    load_hero "$name"
    local view="Jesteś w podziemiach na 1 poziomie." now
    [ "$place" = town ] && view="Jesteś w mieście."
    wait_for "$view"
    case $place in
        town) now=$(screen | sed -n 1,2p) ;;
        dungeon) now=$(screen | sed -n 1,21p) ;;
        *) now=$(screen | sed -n 1p) ;;
    esac
    [ "$now" = "$expect" ] || fail "$place/$signal: the crash save brought back another hero:
$now
instead of
$expect"
    keys q
    wait_for "Czy chcesz zapisać grę? (tak/nie/anuluj)"
    keys n
    wait_for "1. Graj"
    keys 0
    wait_for 'shell$'
}

# Every place meets every signal once in the first round and a second one
# in the next, so twelve pairs in all would cost twice the time for little.
check_case town INT townInt
check_case dungeon TERM dungeonTerm
check_case fight HUP fightHup
check_case loot INT lootInt
check_case town TERM townTerm
check_case dungeon HUP dungeonHup
check_case fight INT fightInt
check_case loot TERM lootTerm
echo "ok: signals"
