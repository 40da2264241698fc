# Shared by the terminal tests: the game built at $1 runs in a shell inside
# a tmux pane of 80×25 on a server of our own, in a fresh temporary folder.
# Sourced, not run.

set -u

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
    echo "usage: bash $0 /path/to/kelvrin" >&2
    exit 2
fi
GAME=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")

# tmux decides from the locale whether it speaks UTF-8 to us.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset NO_COLOR TMUX

SOCKET=kelvrin-$$
WORK=$(mktemp -d)
PANE=game:0.0

cleanup() {
    tmux -L "$SOCKET" kill-server 2>/dev/null
    # A game still ending may write its crash save into the folder: wait
    # for it before the folder goes.
    [ -f "$WORK/game.pid" ] && poll 5 ended "$(cat "$WORK/game.pid")"
    rm -rf "$WORK"
}
trap cleanup EXIT

tm() { tmux -u -L "$SOCKET" "$@"; }

screen() { tm capture-pane -p -t "$PANE"; }

fail() {
    echo "FAIL: $*" >&2
    echo "---- screen ----" >&2
    screen >&2 2>/dev/null
    echo "----------------" >&2
    exit 1
}

keys() { tm send-keys -t "$PANE" "$@"; }

# Types a shell command line and runs it.
command_line() { tm send-keys -t "$PANE" -l "$1" && tm send-keys -t "$PANE" Enter; }

# poll SECONDS COMMAND...: until COMMAND succeeds; false after SECONDS.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -le $deadline ] || return 1
        sleep 0.05
    done
}
changed() { [ "$(screen)" != "$1" ]; }
gone() { ! shows "$1"; }
alive() { kill -0 "$1" 2>/dev/null; }
ended() { ! alive "$1"; }

# wait_for TEXT [SECONDS]: until the screen shows TEXT (a fixed string);
# wait_gone: until it no longer does; wait_changed SCREEN: until the screen
# is another.
wait_for() { poll "${2:-10}" shows "$1" || fail "the screen did not show \"$1\""; }
wait_gone() { poll "${2:-10}" gone "$1" || fail "the screen still shows \"$1\""; }
wait_changed() { poll 10 changed "$1" || fail "the screen did not change"; }

shows() { screen | grep -qF -- "$1"; }

expect_shown() { shows "$1" || fail "expected \"$1\" on the screen"; }
expect_not_shown() { ! shows "$1" || fail "did not expect \"$1\" on the screen"; }

# Starts an interactive shell with a plain prompt in the pane.
start_shell() {
    tm -f /dev/null new-session -d -s game -x 80 -y 25 -c "$WORK" \
        "env PS1='shell\$ ' HOME='$WORK' HISTFILE= bash --norc --noprofile -i" || fail "tmux would not start"
    wait_for 'shell$'
}

# The game as the runner starts it: kelvrin.exe under wine in the prefix
# given as the second argument, or the Linux game.
if [ "${GAME%.exe}" != "$GAME" ]; then
    [ $# -ge 2 ] || { echo "usage: bash $0 kelvrin.exe WINEPREFIX" >&2; exit 2; }
    LAUNCH="bash '$(cd "$(dirname "${BASH_SOURCE[0]}")/../wine" && pwd)/wine.sh' '$2' '$GAME'"
else
    LAUNCH="'$GAME'"
fi

# A wrapper that runs the game and then reports its exit status and how the
# terminal was left, with no interactive shell in between that might put
# the settings right by itself. It writes the game's process id to the file
# given as its argument ($WORK/game.pid when none is).
make_runner() {
    cat >"$WORK/run.sh" <<RUNNER
trap : INT
sh -c 'echo \$\$ > "\$1"; shift; eval exec "\$@"' sh "\${1:-$WORK/game.pid}" "$LAUNCH"
status=\$?
echo "status \$status; modes after: \$(stty -a | tr ' ' '\n' | grep -x -e -icanon -e icanon -e -echo -e echo | tr '\n' ' ')"
RUNNER
}

# start_game LABEL [PIDFILE]: a marker line in a clear shell, then the game
# through the runner (make_runner) on top of it.
start_game() {
    command_line "clear"
    wait_gone "modes after"
    command_line "echo \"marker-\$((6 * 7))-$1\""
    wait_for "marker-42-$1"
    rm -f "$WORK/${2:-game.pid}"
    command_line "bash '$WORK/run.sh' '$WORK/${2:-game.pid}'"
    wait_for "Kelvrin v 0.2" 30  # a wine start may take long
    expect_not_shown "marker-42-$1"
}

game_pid() { cat "$WORK/game.pid"; }

# put_i32 FILE OFFSET VALUE: a 32-bit little-endian integer into the file.
put_i32() {
    local v=$3
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# strong_hero SAVE: SIŁ and ZRĘ 30 and up to 999 Pw written into a save, so
# that every fight on the first level is won in a few rounds and a walk
# there never ends in death.
strong_hero() {
    put_i32 "$1" 8 30
    put_i32 "$1" 12 30
    put_i32 "$1" 44 999
}

# type_name NAME: answers the question for the hero's name.
type_name() { wait_for "Podaj swoje imię śmiałku:"; tm send-keys -t "$PANE" -l "$1"; keys Enter; }

# resize_to COLUMNS ROWS: the window resized, once the game's terminal has
# the new size (tmux may pass a resize on to the terminal later, after keys
# sent since).
resize_to() {
    tm resize-window -t "${PANE%%.*}" -x "$1" -y "$2"
    tty_size() { [ "$(stty -F "$(tm display -p -t "$PANE" '#{pane_tty}')" size 2>/dev/null)" = "$1 $2" ]; }
    poll 10 tty_size "$2" "$1" || fail "the terminal did not become $1×$2"
}

# second_window: a second shell window of 80×25 in the same folder, which
# PANE now names (set PANE=game:0.0 to go back to the first).
second_window() {
    tm new-window -d -t game: -c "$WORK" \
        "env PS1='shell\$ ' HOME='$WORK' HISTFILE= bash --norc --noprofile -i" || fail "no second window"
    tm resize-window -t game:1 -x 80 -y 25
    PANE=game:1.0
    wait_for 'shell$'
}

# The hero's cell on the dungeon overview (columns 51-70 of rows 2-21).
hero_position() {
    screen | sed -n '2,21p' | cut -c51-70 | awk '{ i = index($0, "O"); if (i) { print i - 1, NR - 1; exit } }'
}

overview_char() { screen | sed -n "$(($2 + 2))p" | cut -c"$(($1 + 51))"; }

# Sets HOME_CELL (the hero's cell), NEXT_CELL (a floor cell next to it),
# THERE and BACK (the arrows between them).
find_walk() {
    local hx hy pair nx ny
    read -r hx hy < <(hero_position) || fail "the overview does not show the hero"
    for pair in "Up Down 0 -1" "Down Up 0 1" "Left Right -1 0" "Right Left 1 0"; do
        set -- $pair
        nx=$((hx + $3)) ny=$((hy + $4))
        [ $nx -ge 0 ] && [ $nx -le 19 ] && [ $ny -ge 0 ] && [ $ny -le 19 ] || continue
        if [ "$(overview_char "$nx" "$ny")" != "#" ]; then
            THERE=$1 BACK=$2 HOME_CELL="$hx $hy" NEXT_CELL="$nx $ny"
            return 0
        fi
    done
    fail "no floor next to the hero"
}

# walk_until WHAT: walks to and fro next to the hero's cell until WHAT
# comes: "view" (the dungeon view after a step), "fight" (a fight waits for
# a command) or "loot" (the loot screen after a won fight; fights on the
# way are fought, a chest's treasure is left). Sets BAR to the last status
# bar of a fight, OK_SCREEN to the last screen that waited for "(ok)" and
# TARGET to the cell of the last step.
walk_until() {
    WANT=$1 STEPS=0 FOUGHT="" THERE="" BAR="" OK_SCREEN="" TARGET=""
    drive walk_screen 100 || fail "the $1 did not come"
}
walk_screen() {
    case "$1" in
        *"-- dalej --"*) keys Space ;;
        *"Czy chcesz zaatakować?"*) keys t ;;  # "(t/n)" may wrap to the next row
        *"Co chcesz zrobić (liczba - podnieś"*)
            [ "$WANT" = loot ] && [ -n "$FOUGHT" ] && [ "$(printf '%s\n' "$OK_SCREEN" | sed -n 1p)" = "$BAR" ] && return 1
            keys w Enter  # a chest's treasure, or not what we wait for
            ;;
        *"(ok)"*) OK_SCREEN=$1; keys Space ;;
        *"komendy:afuec"*)
            BAR=$(printf '%s\n' "$1" | sed -n 1p)
            [ "$WANT" = fight ] && return 1
            FOUGHT=yes
            keys f
            ;;
        *"Ruch - strzałki, s - statystki"*)
            FOUGHT=""
            [ "$WANT" = view ] && [ $STEPS -ge 1 ] && return 1
            [ -n "$THERE" ] || find_walk
            STEPS=$((STEPS + 1))
            [ $STEPS -le 400 ] || fail "four hundred steps did not bring the $WANT"
            if [ $((STEPS % 2)) -eq 1 ]; then keys "$THERE"; TARGET=$NEXT_CELL; else keys "$BACK"; TARGET=$HOME_CELL; fi
            ;;
        *) return 2 ;;  # a screen being drawn
    esac
}

# drive HANDLER SECONDS: hands each new screen to HANDLER, which acts on it
# and returns 0, or returns 1 when the screen is the one waited for, or 2
# for a screen still being drawn. A screen that stays for two seconds is
# handed on again (a key that left it as it was). False after SECONDS.
drive() {
    local deadline=$((SECONDS + $2)) last="" since=$SECONDS now
    while [ $SECONDS -le $deadline ]; do
        now=$(screen)
        if [ "$now" = "$last" ] && [ $((SECONDS - since)) -lt 2 ]; then sleep 0.03; continue; fi
        "$1" "$now"
        case $? in
            1) return 0 ;;
            2) last=""; sleep 0.03 ;;
            *) last=$now since=$SECONDS ;;
        esac
    done
    return 1
}

# to_dungeon: from the town to the first level of the dungeon.
# The view is drawn top to bottom: its key line comes last.
to_dungeon() {
    keys w
    wait_for "Gdzie chcesz iść:"
    keys p
    wait_for "Jesteś w podziemiach na 1 poziomie."
    wait_for "u - użyj schodów, q - zapis i wyjście"
}

# leave_game t|n: "q", then save (t) or not (n), and back at the main menu.
leave_game() { keys q; wait_for "Czy chcesz zapisać grę? (tak/nie/anuluj)"; keys "$1"; wait_for "1. Graj"; }

# wait_exit PID [SECONDS]: until the process is gone.
wait_exit() { poll "${2:-5}" ended "$1"; }

# create_hero [NAME]: from "1. Graj" on, answers every screen of character
# creation with its first choice until the town shows. Types NAME when the
# name is asked (leave it out when the test types the name itself).
create_hero() {
    HERO_NAME=${1:-}
    drive creation_screen 60 || fail "character creation did not reach the town"
}
creation_screen() {
    case "$1" in
        *"Jesteś w mieście."*) return 1 ;;
        *"Czy chcesz grać jako"*) keys t ;;
        *"w - wybierz, inny - anuluj"*) keys w ;;
        *"(ok)"* | *"-- dalej --"*) keys Space ;;  # "-- dalej --": a sheet longer than the screen
        *"t - ok, n - anuluj, r - przerzuć cechy"*) keys t ;;
        *"liczba - wybierz, n - anuluj, c - cofnij."*) keys 1 ;;
        *"liczba - wybór, n - anuluj, c - cofnij."* | *"liczba - wybór, p - pokaż"* | *"liczba - wybór, c - cofnij"*) keys 1 Enter ;;
        *"Zmiana:"*) keys 0 Enter ;;
        *"Podaj swoje imię śmiałku:"*)
            [ -n "$HERO_NAME" ] || fail "create_hero: the name is asked and none was given"
            tm send-keys -t "$PANE" -l "$HERO_NAME"
            keys Enter
            ;;
        *) return 2 ;;  # a screen still being drawn, or one we do not know yet
    esac
}
