# A window smaller than 80×25: the notice at start and before the next
# screen after it shrinks, the game goes on, and the whole screen comes
# back as soon as the window is large enough again.
. "$(dirname "$0")/lib.sh"

start_shell
resize_to 60 20
command_line "'$GAME'"
wait_for "Okno terminala ma mniej niż 80×25 znaków"
keys Space
wait_for "1. Graj"
expect_not_shown "Okno terminala"

resize_to 80 25
keys 1
create_hero Ala
to_dungeon
view=$(screen)

# Smaller again: the view is cut, and the notice comes before the next
# screen (the character sheet), not in the middle of this one.
resize_to 60 20
sleep 0.3  # a notice that must not come would come by now
expect_not_shown "Okno terminala"
keys s
wait_for "Okno terminala ma mniej niż 80×25 znaków"
# The sheet, paged in the small window, then the view again: one Space
# for each screen, sent once the last one was read.
for _ in 1 2 3 4 5 6; do
    shows "Ruch - strzałki" && break
    before=$(screen)
    keys Space
    wait_changed "$before"
done
wait_for "Ruch - strzałki"
expect_not_shown "Okno terminala"

# The view drawn in the small window comes back whole.
resize_to 80 25
whole() { [ "$(screen)" = "$view" ]; }
poll 10 whole || { diff <(echo "$view") <(screen) >&2; fail "the view did not come back whole"; }
leave_game n
expect_not_shown "Okno terminala"
keys 0
wait_for 'shell$'
echo "ok: small window"
