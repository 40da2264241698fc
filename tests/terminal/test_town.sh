# A new game: the name typed with a Polish letter and edited, the town, the
# world map and back, the save question.
. "$(dirname "$0")/lib.sh"

start_shell
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"

# A new hero; the name is typed and edited in the terminal: Backspace
# takes back the whole Polish letter.
keys 1
wait_for "Podaj swoje imię śmiałku:"
tm send-keys -t "$PANE" -l "Łucjaś"
wait_for "śmiałku: Łucjaś"
keys BSpace
wait_gone "Łucjaś"
screen | grep -q "śmiałku: Łucja\$" || fail "the name line is not \"Łucja\" after Backspace"
keys Enter
create_hero
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

leave_game n
keys 0
wait_for 'shell$'
echo "ok: town"
