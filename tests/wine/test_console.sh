# kelvrin.exe under wine in an 80×25 tmux pane, where wine gives it a real
# Windows console: the main menu and the information screen; a hero named
# with a Polish letter, and the colours of a gain and of a harm on his race
# screen; the town; the dungeon with both map panels at their columns;
# saving and loading by name; a second copy refused the hero in play; the
# hero walked by arrow keys into a fight with its status bar on the top row;
# Ctrl-C in the fight leaves the crash save, which loads back once renamed.
#   bash test_console.sh kelvrin.exe WINEPREFIX
# Given the Linux game instead (no prefix), it runs the same steps in the
# terminal, which checks this script itself.
. "$(dirname "$0")/../terminal/lib.sh"

if [ "${GAME%.exe}" != "$GAME" ]; then
    [ $# -ge 2 ] || { echo "usage: bash $0 kelvrin.exe WINEPREFIX" >&2; exit 2; }
    LAUNCH="bash '$(cd "$(dirname "$0")" && pwd)/wine.sh' '$2' '$GAME'"
else
    LAUNCH="'$GAME'"
fi

# The runner: the game with its process id in the file $1 (so that the
# lib's cleanup waits for it), then its exit status.
cat >"$WORK/run.sh" <<RUNNER
trap : INT
sh -c 'echo \$\$ > "\$1"; shift; eval exec "\$@"' sh "\$1" "$LAUNCH"
echo "game ended: \$?"
RUNNER

# play [PIDFILE]: the game started on a cleared screen, at its main menu.
play() {
    command_line "clear"
    wait_gone "game ended"
    command_line "bash '$WORK/run.sh' '$WORK/${1:-game.pid}'"
    wait_for "Kelvrin v 0.2" 30
}

# The screen as one line: the Windows console breaks a long line itself,
# so tmux never sees it wrapped.
joined() { tm capture-pane -p -t "$PANE" | tr -d '\n'; }
# The row of the screen that starts with TEXT, with its colours.
coloured_row() { tm capture-pane -p -e -t "$PANE" | grep -F -- "$1"; }

VIEW_HINT="Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście"

start_shell

# The main menu and the information screen.
play
for line in "1. Graj" "2. Cmentarz" "3. Info" "0. Wyjście"; do expect_shown "$line"; done
keys 3
wait_for "Autor: Brannok52"
expect_shown "- barbażyńca"
expect_not_shown "1. Graj"
keys x
wait_for "1. Graj"

# A new hero with a Polish letter in his name, an elf: his race screen
# shows ZRĘ +2 as a gain (light green) and KON -2 as a harm (light red).
NAME=Łucja
keys 1
wait_for "Podaj swoje imię śmiałku:"
tm send-keys -t "$PANE" -l "$NAME"
wait_for "śmiałku: $NAME"
keys Enter
wait_for "t - ok, n - anuluj, r - przerzuć cechy"
keys t
wait_for "WYBIERZ RASĘ:"
keys 2
wait_for "Czy chcesz grać jako Elf?"
coloured_row "ZRĘ:" | grep -q $'\e\\[92m+2' || fail "ZRĘ +2 is not in light green: $(coloured_row "ZRĘ:" | cat -v)"
coloured_row "KON:" | grep -q $'\e\\[91m-2' || fail "KON -2 is not in light red: $(coloured_row "KON:" | cat -v)"
create_hero
expect_shown "w - wyjdź z miasta"

# The dungeon: the close-up at the left with the hero in its middle, the
# overview at columns 51-70.
to_dungeon
wait_for "$VIEW_HINT"
[ "$(screen | sed -n 12p | cut -c10)" = "O" ] || fail "the close-up does not show the hero in its middle"
[ -n "$(hero_position)" ] || fail "the overview does not show the hero"

# Saved with q, t, and loaded by his name, on the stairs again.
overview=$(screen | sed -n '2,21p' | cut -c51-70)
leave_game t
[ "$(stat -c %s "$WORK/save_$NAME" 2>/dev/null)" = 1008 ] || fail "no save_$NAME of 1008 bytes"
keys 1
type_name "$NAME"
wait_for "$VIEW_HINT"
[ "$(screen | sed -n '2,21p' | cut -c51-70)" = "$overview" ] || fail "the hero came back somewhere else"
[ ! -e "$WORK/save_$NAME" ] || fail "loading left save_$NAME"

# A second copy, in a window of its own in the same folder, cannot take him.
second_window
play second.pid
keys 1
type_name "$NAME"
wait_for "Ta postać jest już w grze w innym oknie."
keys Space
wait_for "1. Graj"
keys 0
wait_for "game ended: 0"
PANE=game:0.0

# Arrow keys walk him to a floor cell next to the stairs, as the overview
# shows, then to and fro until monsters come (the twentieth quiet step
# always meets them): the fight's status bar on the top row, its messages
# below.
walk_until view
[ "$(hero_position)" = "$TARGET" ] || fail "the arrow keys did not move the hero on the overview"
walk_until fight
case "$(screen | sed -n 1p)" in
    "$NAME pw:"*"komendy:afuec"*) ;;
    *) fail "the top row is not the fight's status bar" ;;
esac
screen | sed -n '2,25p' | grep -q . || fail "no fight message below the status bar"

# Ctrl-C in the fight: the crash save and its message; renamed to the save,
# it brings the hero back.
keys C-c
wait_for "game ended:"
joined | grep -qF "Wystąpił błąd gry, została ona zapisana w pliku error_save_$NAME jednak może nie działać poprawnie." ||
    fail "no crash message naming error_save_$NAME"
[ "$(stat -c %s "$WORK/error_save_$NAME" 2>/dev/null)" = 1008 ] || fail "no error_save_$NAME of 1008 bytes"
mv "$WORK/error_save_$NAME" "$WORK/save_$NAME"
play
keys 1
type_name "$NAME"
wait_for "Jesteś w podziemiach na 1 poziomie."
leave_game n
keys 0
wait_for "game ended: 0"
echo "ok: console"
