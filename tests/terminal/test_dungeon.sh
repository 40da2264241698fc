# The first dungeon level in a real terminal: the overview shows the hero,
# arrow keys walk him, and the fight that walking brings keeps its status
# bar on the top row with the messages below it.
. "$(dirname "$0")/lib.sh"

start_shell
command_line "'$GAME'"
wait_for "Kelvrin v 0.2"
keys 1
create_hero Kopacz
to_dungeon
wait_for "Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście"

# overview_cell ROW COL: the character of the overview at map cell (COL, ROW).
overview_cell() { screen | sed -n "$(($1 + 2))p" | cut -c"$(($2 + 51))"; }

hero_position() {
    local y x
    for y in $(seq 0 19); do
        for x in $(seq 0 19); do
            [ "$(overview_cell "$y" "$x")" = "O" ] && { echo "$x $y"; return 0; }
        done
    done
    return 1
}

read -r hx hy < <(hero_position) || fail "the overview does not show the hero"
[ "$(screen | sed -n 12p | cut -c10)" = "O" ] || fail "the close-up does not show the hero in its middle"

# A floor cell next to the hero: walk there and back until monsters come
# (the twentieth quiet step always meets them).
there="" back=""
for pair in "Up Down 0 -1" "Down Up 0 1" "Left Right -1 0" "Right Left 1 0"; do
    set -- $pair
    nx=$((hx + $3)) ny=$((hy + $4))
    [ $nx -ge 0 ] && [ $nx -le 19 ] && [ $ny -ge 0 ] && [ $ny -le 19 ] || continue
    [ "$(overview_cell "$ny" "$nx")" != "#" ] && { there=$1; back=$2; break; }
done
[ -n "$there" ] || fail "no floor next to the stairs"

keys "$there"
sleep 0.2

fought=""
for step in $(seq 1 80); do
    now=$(screen)
    case "$now" in
        # The question may wrap past the 80th column: match its first words.
        *"Czy chcesz zaatakować?"*) keys t; sleep 0.2; continue ;;
        *"komendy:afuec"*) fought=yes; break ;;
        *"liczba - podnieś"*) keys w; sleep 0.1; continue ;;  # a chest's loot: leave it
        *"(ok)"*) keys Space; sleep 0.1; continue ;;
    esac
    if [ $((step % 2)) -eq 1 ]; then keys "$back"; else keys "$there"; fi
    sleep 0.1
done
[ -n "$fought" ] || fail "eighty steps met no monsters"

top=$(screen | sed -n 1p)
case "$top" in
    "Kopacz pw:"*"komendy:afuec"*) ;;
    *) fail "the top row is not the fight's status bar: \"$top\"" ;;
esac
# The messages of the fight are below the bar, never on its row.
screen | sed -n '2,25p' | grep -q . || fail "no fight message below the status bar"
[ -n "${VERBOSE:-}" ] && screen
echo "ok: dungeon"
