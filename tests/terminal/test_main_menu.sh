# The main menu and the information screen in a UTF-8 terminal; keys that
# are escape sequences (arrows, Home, the F-keys) do nothing on the menu.
. "$(dirname "$0")/lib.sh"

start_shell
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
for line in "1. Graj" "2. Cmentarz" "3. Info" "0. Wyjście"; do
    expect_shown "$line"
done

keys 3
wait_for "Autor: Brannok52"
expect_shown "Wersja: 0.2"
expect_shown "- barbażyńca"
expect_shown "- las,droga,kopalnia"
expect_not_shown "1. Graj"

keys x
wait_for "1. Graj"
expect_not_shown "Autor: Brannok52"

# Arrows, Home, End, PgUp, F1, F5 and their variants: none may reach the
# menu as '1', '[' or '~' (a '1' would start a game). The '3' after them
# shows that they were all read.
before=$(screen)
keys Up Down Left Right Home End PPage NPage F1 F5 F12 Escape
tm send-keys -t "$PANE" -H 1b 5b 31 3b 35 41   # Ctrl-Up: ESC [ 1 ; 5 A
tm send-keys -t "$PANE" -H 1b 4f 41            # SS3 Up: ESC O A
tm send-keys -t "$PANE" -H 1b 5b 5b 41         # Linux console F1: ESC [ [ A
sleep 0.2
[ "$(screen)" = "$before" ] || fail "the menu changed after arrow and function keys"
keys 3
wait_for "Autor: Brannok52"
expect_not_shown "Jesteś w mieście."

keys x
wait_for "1. Graj"
keys 0
wait_for 'shell$'
echo "ok: main menu"
