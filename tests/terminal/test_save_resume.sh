# Saving in the dungeon and coming back: the hero is on the same cell of the
# same level. A game ended by a hangup leaves its crash save, and the
# terminal is given back.
. "$(dirname "$0")/lib.sh"

start_shell
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
create_hero Ala
to_dungeon
overview_before=$(screen | sed -n '2,21p' | cut -c51-70)
leave_game t
[ -f "$WORK/save_Ala" ] || fail "no save_Ala after saving"
[ "$(stat -c %s "$WORK/save_Ala")" = 1008 ] || fail "save_Ala is not 1008 bytes"
keys 0
wait_for 'shell$'

command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
type_name "Ala"
wait_for "Jesteś w podziemiach na 1 poziomie."
overview_after=$(screen | sed -n '2,21p' | cut -c51-70)
[ "$overview_before" = "$overview_after" ] || fail "the hero came back somewhere else or on another map"
[ ! -f "$WORK/save_Ala" ] || fail "loading did not delete save_Ala"

# A hangup in the middle of the game: a crash save, and the terminal back.
make_runner
leave_game n
keys 0
wait_for 'shell$'
rm -f "$WORK/game.pid"
command_line "bash '$WORK/run.sh'"
wait_for "Kelvrin v 0.2"
keys 1
create_hero Ola
kill -HUP "$(game_pid)"
wait_for "modes after: icanon echo"
[ -f "$WORK/error_save_Ola" ] || fail "no error_save_Ola after the hangup"
[ "$(stat -c %s "$WORK/error_save_Ola")" = 1008 ] || fail "error_save_Ola is not 1008 bytes"
echo "ok: save and resume"
