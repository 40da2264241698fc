# Sourced by the terminal tests: the game at $1 (or kelvrin.exe under wine in the prefix $2) in a shell inside
# an 80×25 tmux pane on a server of our own, in a fresh temporary folder.
set -u
if [ $# -lt 1 ] || [ ! -x "$1" ]; then
    echo "usage: bash $0 /path/to/kelvrin | kelvrin.exe WINEPREFIX" >&2
    exit 2
fi
GAME=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
LAUNCH="'$GAME'"
if [ "${GAME%.exe}" != "$GAME" ]; then
    [ $# -ge 2 ] || { echo "usage: bash $0 kelvrin.exe WINEPREFIX" >&2; exit 2; }
    LAUNCH="bash '$(cd "$(dirname "${BASH_SOURCE[0]}")/../wine" && pwd)/wine.sh' '$2' '$GAME'"
fi
export LANG=C.UTF-8 LC_ALL=C.UTF-8  # tmux speaks UTF-8 by the locale
unset NO_COLOR TMUX
SOCKET=kelvrin-$$ WORK=$(mktemp -d) PANE=game:0.0

# A game still ending may write its crash save: wait for it before the folder goes.
cleanup() {
    tmux -L "$SOCKET" kill-server 2>/dev/null
    [ -f "$WORK/game.pid" ] && poll 5 ended "$(cat "$WORK/game.pid")"
    rm -rf "$WORK"
}
trap cleanup EXIT

tm() { tmux -u -L "$SOCKET" "$@"; }
screen() { tm capture-pane -p -t "$PANE"; }
joined() { tm capture-pane -p -J -t "$PANE" | tr -d '\n'; }  # wrapped or broken lines as one
keys() { tm send-keys -t "$PANE" "$@"; }
press() { keys "$1"; wait_for "$2"; }  # press KEY TEXT: the key, then TEXT on the screen
typed() { tm send-keys -t "$PANE" -l "$1" && keys Enter; }
fail() { printf 'FAIL: %s\n---- screen ----\n%s\n----------------\n' "$*" "$(screen 2>/dev/null)" >&2; exit 1; }

# poll SECONDS COMMAND...: until COMMAND succeeds; false after SECONDS.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -le $deadline ] || return 1
        sleep 0.05
    done
}
shows() { screen | grep -qF -- "$1"; }
gone() { ! shows "$1"; }
ended() { ! kill -0 "$1" 2>/dev/null; }
wait_for() { poll "${2:-10}" shows "$1" || fail "the screen did not show \"$1\""; }
wait_gone() { poll 10 gone "$1" || fail "the screen still shows \"$1\""; }
expect_not_shown() { gone "$1" || fail "did not expect \"$1\" on the screen"; }
# no_lock_left LABEL: the heroes' lock files go with the game that held them.
no_lock_left() {
    local left
    left=$(cd "$WORK" && ls -A | grep '^lock_' | tr '\n' ' ')
    [ -z "$left" ] || fail "$1: $left left"
}

# shell [WINDOW]: an interactive shell with a plain prompt in a new server (or a new window, then PANE).
shell() {
    local command="env PS1='shell\$ ' HOME='$WORK' HISTFILE= bash --norc --noprofile -i"
    if [ -z "${1:-}" ]; then
        tm -f /dev/null new-session -d -s game -x 80 -y 25 -c "$WORK" "$command" || fail "tmux would not start"
        PANE=game:0.0
    else
        tm new-window -d -t game: -c "$WORK" "$command" && tm resize-window -t "game:$1" -x 80 -y 25 || fail "no window"
        PANE=game:$1.0
    fi
    wait_for 'shell$'
}

# The runner starts the game, its process id in the file given ($WORK/game.pid by default), then reports its
# exit status and how it left the terminal, with no interactive shell between that might put it right.
make_runner() {
    cat >"$WORK/run.sh" <<RUNNER
trap : INT
sh -c 'echo \$\$ > "\$1"; shift; eval exec "\$@"' sh "\${1:-$WORK/game.pid}" "$LAUNCH"
status=\$?
modes=\$(stty -a | tr ' ' '\n' | grep -x -e -icanon -e icanon -e -echo -e echo | tr '\n' ' ')
echo "status \$status; modes after: \$modes"
RUNNER
}

# start_game LABEL [PIDFILE]: a marker line in a clear shell, then the game through the runner on top of it.
start_game() {
    typed clear
    wait_gone "modes after"
    typed "echo \"marker-\$((6 * 7))-$1\""
    wait_for "marker-42-$1"
    rm -f "$WORK/${2:-game.pid}"
    typed "bash '$WORK/run.sh' '$WORK/${2:-game.pid}'"
    wait_for "Kelvrin v 0.2" 30  # a wine start may take long
    expect_not_shown "marker-42-$1"
}

CRASH_MESSAGE="Wystąpił błąd gry, została ona zapisana w pliku error_save_"
crash_message() {
    joined | grep -qF "$CRASH_MESSAGE$1 jednak może nie działać poprawnie." || fail "$1: no crash message"
}
# reload NAME: the crash save is whole, the save it was loaded from gone; renamed to the save, it is loaded by the
# game started anew.
reload() {
    [ "$(stat -c %s "$WORK/error_save_$1" 2>/dev/null)" = 1008 ] || fail "no error_save_$1 of 1008 bytes"
    [ ! -e "$WORK/save_$1" ] || fail "save_$1 is still there after loading"
    mv "$WORK/error_save_$1" "$WORK/save_$1"
    start_game "reload-$1"
    open_hero "$1"
}

# put_i32 FILE OFFSET VALUE: a 32-bit little-endian integer into the file.
put_i32() {
    local v=$3
    printf "$(printf '\\%03o' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
# strong_hero SAVE: SIŁ and ZRĘ 30 and up to 999 Pw: every fight on the first level is won in a few rounds.
strong_hero() { put_i32 "$1" 8 30 && put_i32 "$1" 12 30 && put_i32 "$1" 44 999; }

# open_hero NAME: from the main menu, the game of that name.
open_hero() { press 1 "Podaj swoje imię śmiałku:"; typed "$1"; }
# leave_game t|n [TEXT]: "q", save (t) or not (n), back at the main menu; with TEXT, "0" too until TEXT shows.
leave_game() {
    press q "Czy chcesz zapisać grę? (tak/nie/anuluj)"
    press "$1" "1. Graj"
    [ -z "${2:-}" ] || press 0 "$2"
}
to_dungeon() {
    press w "Gdzie chcesz iść:"
    press p "Jesteś w podziemiach na 1 poziomie."
    wait_for "u - użyj schodów, q - zapis i wyjście"  # the view's key line comes last
}

# The hero's cell "X Y" on the dungeon overview (columns 51-70, rows 2-21).
hero_position() {
    screen | sed -n '2,21p' | cut -c51-70 | awk '{ i = index($0, "O"); if (i) { print i - 1, NR - 1; exit } }'
}

# drive HANDLER SECONDS: each new screen to HANDLER, which acts on it and returns 0, or 1 for the screen waited
# for, or 2 for one still being drawn; a screen unchanged for two seconds goes again. False after SECONDS.
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

# walk_until view|fight|loot: to and fro between the hero's cell and a floor cell next to it until the view after
# a step, a fight waiting for a command, or the loot after a won fight (fights on the way fought, a chest left).
# It answers every screen the first level can show, whatever the clock's seed. Sets BAR to the last fight's
# status bar, OK_SCREEN to the last screen that waited for "(ok)" and TARGET to the cell of the last step.
walk_until() {
    WANT=$1 STEPS=0 FOUGHT="" THERE="" BAR="" OK_SCREEN="" TARGET=""
    drive walk_screen 100 || fail "the $1 did not come"
}
walk_screen() {
    case "$1" in
        *"-- dalej --"*) keys Space ;;
        *"Czy chcesz zaatakować?"*) keys t ;;  # "(t/n)" may wrap to the next row
        *"Co chcesz zrobić (liczba - podnieś"*)
            [ "$WANT" = loot ] && [ -n "$FOUGHT" ] && [ "$(printf '%s\n' "$OK_SCREEN" | sed -n 1p)" = "$BAR" ] &&
                return 1
            keys w Enter ;;
        *"(ok)"*) OK_SCREEN=$1; keys Space ;;
        *"komendy:afuec"*)
            BAR=$(printf '%s\n' "$1" | sed -n 1p)
            [ "$WANT" = fight ] && return 1
            FOUGHT=yes
            keys f ;;
        *"Ruch - strzałki, s - statystki"*)
            FOUGHT=""
            [ "$WANT" = view ] && [ $STEPS -ge 1 ] && return 1
            [ -n "$THERE" ] || find_walk
            STEPS=$((STEPS + 1))
            [ $STEPS -le 400 ] || fail "four hundred steps did not bring the $WANT"
            if [ $((STEPS % 2)) -eq 1 ]; then
                keys "$THERE"
                TARGET=$NEXT_CELL
            else
                keys "$BACK"
                TARGET=$HOME_CELL
            fi ;;
        *) return 2 ;;
    esac
}
# Sets HOME_CELL, NEXT_CELL (a floor cell next to it) and the arrows THERE and BACK between them.
find_walk() {
    local hx hy nx ny
    read -r hx hy < <(hero_position) || fail "the overview does not show the hero"
    for pair in "Up Down 0 -1" "Down Up 0 1" "Left Right -1 0" "Right Left 1 0"; do
        set -- $pair
        nx=$((hx + $3)) ny=$((hy + $4))
        [ $nx -ge 0 ] && [ $nx -le 19 ] && [ $ny -ge 0 ] && [ $ny -le 19 ] || continue
        if [ "$(screen | sed -n "$((ny + 2))p" | cut -c"$((nx + 51))")" != "#" ]; then
            THERE=$1 BACK=$2 HOME_CELL="$hx $hy" NEXT_CELL="$nx $ny"
            return 0
        fi
    done
    fail "no floor next to the hero"
}

# create_hero [NAME]: from the name question or a later creation screen, the first choice of each until the
# town, NAME typed when asked.
create_hero() { HERO_NAME=${1:-}; drive creation_screen 60 || fail "character creation did not reach the town"; }
creation_screen() {
    case "$1" in
        *"Jesteś w mieście."*) return 1 ;;
        *"Czy chcesz grać jako"* | *"t - ok, n - anuluj, r - przerzuć cechy"*) keys t ;;
        *"w - wybierz, inny - anuluj"*) keys w ;;
        *"(ok)"* | *"-- dalej --"*) keys Space ;;  # "-- dalej --": a sheet longer than the screen
        *"liczba - wybierz, n - anuluj, c - cofnij."*) keys 1 ;;
        *"liczba - wybór, n - anuluj, c - cofnij."* | *"liczba - wybór, p - pokaż"* | *"liczba - wybór, c - cofnij"*)
            keys 1 Enter ;;
        *"Zmiana:"*) keys 0 Enter ;;
        *"Podaj swoje imię śmiałku:"*) [ -n "$HERO_NAME" ] || fail "no name for create_hero"; typed "$HERO_NAME" ;;
        *) return 2 ;;
    esac
}
