# Two copies of the game in one folder: while the first has a hero in play,
# the second cannot take him; once the first is back in the menu, it can.
. "$(dirname "$0")/lib.sh"

start_shell
make_runner
start_game first
keys 1
create_hero Celina
[ -f "$WORK/lock_Celina" ] || fail "no lock_Celina while Celina is in play"

# The second copy, in a window of its own in the same folder.
second_window
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
type_name "Celina"
wait_for "Ta postać jest już w grze w innym oknie."
keys Space
wait_for "1. Graj"
[ ! -f "$WORK/save_Celina" ] || fail "the second copy left a save"

# The first copy saves her and is back in the menu: the second loads her.
PANE=game:0.0
leave_game t
PANE=game:1.0
keys 1
type_name "Celina"
wait_for "Jesteś w mieście."
[ ! -f "$WORK/save_Celina" ] || fail "loading did not delete save_Celina"

# Now the first copy is the other one.
PANE=game:0.0
keys 1
type_name "Celina"
wait_for "Ta postać jest już w grze w innym oknie."
keys Space
wait_for "1. Graj"
keys 0
wait_for "modes after"
PANE=game:1.0
leave_game n
keys 0
wait_for 'shell$'
echo "ok: two copies"
