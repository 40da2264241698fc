# A window smaller than 80×25: the notice at start and before the next
# screen after it shrinks, not in the middle of one; the game goes on, paged
# in the small window, and the whole screen comes back as soon as the
# window is large enough again.
. "$(dirname "$0")/lib.sh"

# resize_to COLUMNS ROWS, waiting until the game's terminal has the size
# (tmux may pass it on after keys sent since).
resize_to() {
    tm resize-window -t "${PANE%%.*}" -x "$1" -y "$2"
    tty_size() { [ "$(stty -F "$(tm display -p -t "$PANE" '#{pane_tty}')" size 2>/dev/null)" = "$2 $1" ]; }
    poll 10 tty_size "$1" "$2" || fail "the terminal did not become $1×$2"
}
NOTICE="Okno terminala ma mniej niż 80×25 znaków"

shell
resize_to 60 20
typed "'$GAME'"
wait_for "$NOTICE"
press Space "1. Graj"
expect_not_shown "$NOTICE"
resize_to 80 25
keys 1
create_hero Ala
to_dungeon
view=$(screen)

resize_to 60 20
sleep 0.3  # a notice that must not come would come by now
expect_not_shown "$NOTICE"
press s "$NOTICE"
# The sheet, then the view again: one Space for each page, once it is shown.
for _ in 1 2 3 4 5 6; do
    shows "Ruch - strzałki" && break
    before=$(screen)
    keys Space
    poll 10 eval '[ "$(screen)" != "$before" ]' || fail "the screen did not change"
done
wait_for "Ruch - strzałki"
expect_not_shown "$NOTICE"
resize_to 80 25
whole() { [ "$(screen)" = "$view" ]; }
poll 10 whole || { diff <(echo "$view") <(screen) >&2; fail "the view did not come back whole"; }
leave_game n
expect_not_shown "$NOTICE"
press 0 'shell$'
echo "ok: small window"
