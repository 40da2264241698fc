# A tour of the Linux game, or of kelvrin.exe under wine in a real Windows console (bash test_tour.sh kelvrin |
# kelvrin.exe WINEPREFIX), in an 80×25 pane: the information screen and keys that are escape sequences; a name
# with a Polish letter, edited; a gain and a harm in colour; the town, the world map and the save question; the
# dungeon's two map panels; save and load by name; a second copy refused the hero in play until the first has
# saved; arrow keys into a fight with its status bar on top; Ctrl-C there leaves a crash save that loads back.
# The hero is made strong enough never to die on the first level, however the clock seeded it.
. "$(dirname "$0")/lib.sh"

coloured_row() { tm capture-pane -p -e -t "$PANE" | grep -F -- "$1"; }
VIEW_HINT="Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście"
# refused: a second copy asked for the hero in play says so and goes back.
refused() { open_hero "$NAME"; wait_for "Ta postać jest już w grze w innym oknie."; press Space "1. Graj"; }
loaded() { open_hero "$NAME"; wait_for "$VIEW_HINT"; [ ! -e "$WORK/save_$NAME" ] || fail "loading left save_$NAME"; }

shell
make_runner
start_game menu
press 3 "Autor: Brannok52"
expect_not_shown "1. Graj"
press x "1. Graj"
# Arrows, Home, End, PgUp, the F-keys, Escape, Ctrl-Up (ESC [ 1 ; 5 A), SS3 Up (ESC O A) and the Linux
# console's F1 (ESC [ [ A): none may reach the menu as a '1' (which would start a game); the '3' after them does.
keys Up Down Left Right Home End PPage NPage F1 F5 F12 Escape
tm send-keys -t "$PANE" -H 1b 5b 31 3b 35 41 1b 4f 41 1b 5b 5b 41
press 3 "Autor: Brannok52"
keys x

# Backspace takes back the whole Polish letter. An elf's race screen shows ZRĘ +2 light green, KON -2 light red.
NAME=Łucja
press 1 "Podaj swoje imię śmiałku:"
tm send-keys -t "$PANE" -l "${NAME}ś"
wait_for "śmiałku: ${NAME}ś"
keys BSpace
wait_gone "${NAME}ś"
screen | grep -q "śmiałku: $NAME\$" || fail "the name line is not \"$NAME\" after Backspace"
press Enter "t - ok, n - anuluj, r - przerzuć cechy"
press t "WYBIERZ RASĘ:"
press 2 "Czy chcesz grać jako Elf?"
coloured_row "ZRĘ:" | grep -q $'\e\\[92m+2' || fail "ZRĘ +2 is not light green: $(coloured_row "ZRĘ:" | cat -v)"
coloured_row "KON:" | grep -q $'\e\\[91m-2' || fail "KON -2 is not light red: $(coloured_row "KON:" | cat -v)"
create_hero
[ -f "$WORK/lock_$NAME" ] || fail "no lock_$NAME while $NAME is in play"
press w "Gdzie chcesz iść:"
expect_not_shown "Jesteś w mieście."
press m "Jesteś w mieście."
press q "Czy chcesz zapisać grę? (tak/nie/anuluj)"
keys a
wait_gone "Czy chcesz zapisać grę?"
wait_for "Jesteś w mieście."

# The close-up at the left with the hero in its middle, the overview at columns 51-70; saved, made strong, and
# loaded by name on the stairs again.
to_dungeon
wait_for "$VIEW_HINT"
[ "$(screen | sed -n 12p | cut -c10)" = "O" ] || fail "the close-up does not show the hero in its middle"
[ -n "$(hero_position)" ] || fail "the overview does not show the hero"
overview=$(screen | sed -n '2,21p' | cut -c51-70)
leave_game t
[ "$(stat -c %s "$WORK/save_$NAME" 2>/dev/null)" = 1008 ] || fail "no save_$NAME of 1008 bytes"
strong_hero "$WORK/save_$NAME"
loaded
[ "$(screen | sed -n '2,21p' | cut -c51-70)" = "$overview" ] || fail "the hero came back somewhere else"

# A second copy in a window of its own, in the same folder, cannot take him and leaves no save; once the first
# has saved him it loads him, and the first is the one refused.
shell 1
start_game second second.pid
refused
[ ! -e "$WORK/save_$NAME" ] || fail "the second copy left a save"
PANE=game:0.0 leave_game t
loaded
PANE=game:0.0 refused
PANE=game:0.0 press 0 "status 0;"

# Arrow keys walk him to a floor cell next to the stairs, as the overview shows, then to and fro until monsters
# come (the twentieth quiet step always meets them): the fight's status bar on the top row, its messages below.
walk_until view
[ "$(hero_position)" = "$TARGET" ] || fail "the arrow keys did not move the hero on the overview"
walk_until fight
case "$(screen | sed -n 1p)" in
    "$NAME pw:"*"komendy:afuec"*) ;;
    *) fail "the top row is not the fight's status bar" ;;
esac
screen | sed -n '2,25p' | grep -q . || fail "no fight message below the status bar"
press C-c "modes after:"
crash_message "$NAME"
no_lock_left "Ctrl-C"
reload "$NAME"
wait_for "Jesteś w podziemiach na 1 poziomie."
leave_game n "status 0;"
no_lock_left tour
echo "ok: tour"
