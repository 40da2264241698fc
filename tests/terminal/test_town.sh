# A new game: the town, the world map and back, the save question.
. "$(dirname "$0")/lib.sh"

start_shell
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"

keys 1
wait_for "Jesteś w mieście."
expect_shown "w - wyjdź z miasta"

keys w
wait_for "Gdzie chcesz iść:"
expect_not_shown "Jesteś w mieście."
keys m
wait_for "Jesteś w mieście."
expect_not_shown "Gdzie chcesz iść:"

keys q
wait_for "Czy chcesz zapisać grę? (tak/nie/anuluj)"
keys a
wait_gone "Czy chcesz zapisać grę?"
expect_shown "Jesteś w mieście."

keys q
wait_for "Czy chcesz zapisać grę? (tak/nie/anuluj)"
keys n
wait_for "1. Graj"
keys 0
wait_for 'shell$'
echo "ok: town"
