# However the game ends (its own quit, Ctrl-C, a hangup, a kill) the shell's
# screen comes back as it was and the terminal has its line editing and
# echo again. Ctrl-Z gives the shell its screen too, and fg brings the game
# back, drawn anew and reading single keys.
. "$(dirname "$0")/lib.sh"

start_shell
make_runner

# expect_restored LABEL: the shell's screen with the marker, no game text,
# and the terminal in its normal line mode.
expect_restored() {
    wait_for "modes after:" 
    expect_shown "marker-42-$1"
    expect_not_shown "Kelvrin v 0.2"
    expect_not_shown "Jesteś w mieście."
    expect_shown "modes after: icanon echo"
    wait_for 'shell$'
}

start_game quit
keys 0
expect_restored quit

start_game ctrl-c
keys 1
create_hero Tester
keys C-c
expect_restored ctrl-c

for signal in HUP TERM; do
    start_game "$signal"
    keys 1
    create_hero Tester
    kill -"$signal" "$(game_pid)"
    expect_restored "$signal"
done

# Ctrl-Z: here the game runs straight from the interactive shell, which
# shows its own screen while the game is stopped.
command_line "clear"
command_line "echo \"marker-\$((6 * 7))-stop\""
wait_for "marker-42-stop"
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
create_hero Tester
keys C-z
wait_for "marker-42-stop"
expect_not_shown "Jesteś w mieście."
command_line "fg"
wait_for "Jesteś w mieście."
keys w
wait_for "Gdzie chcesz iść:"
keys m
wait_for "Jesteś w mieście."
keys q
wait_for "Czy chcesz zapisać grę?"
keys n
wait_for "1. Graj"
keys 0
wait_for "marker-42-stop"
echo "ok: restore"
