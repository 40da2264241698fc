# The screen-reader mode: on a pipe the map panels are left out and the dungeon is told in words instead; in a
# terminal, plain lines that never hold an escape sequence (no colours, no cursor moves, no alternate screen).
. "$(dirname "$0")/lib.sh"
SAID="Tu: schody w górę. "

shell
typed "$LAUNCH"
open_hero Ala
create_hero Ala
leave_game t "shell$"

printf '1Ala\nwpqt0' | (cd "$WORK" && eval "$LAUNCH --screen-reader") >"$WORK/piped" || fail "the game on a pipe failed"
grep -qF "$SAID" "$WORK/piped" || fail "the pipe was not told the dungeon: $(tail -n 5 "$WORK/piped")"
grep -q '^______' "$WORK/piped" && fail "the close-up was written on the pipe"

# The game alone in a window of its own, every byte it sends kept.
tm new-window -d -t game:1 -c "$WORK" "sleep 1; exec $LAUNCH --screen-reader" || fail "no window"
tm pipe-pane -t game:1.0 -o "cat >'$WORK/sent'"
PANE=game:1.0
wait_for "1. Graj"
open_hero Ala
wait_for "$SAID"  # saved in the dungeon, on the pipe
press j "Pw "
press q "Czy chcesz zapisać grę? (tak/nie/anuluj)"
press t "1. Graj"
keys 0
poll 10 eval '! tm has-session -t game:1 2>/dev/null || ! tm list-windows -t game | grep -q "^1:"' ||
    fail "the game did not end"
# Under wine the console is wine's, drawn on the terminal with sequences of its own.
if [ "${GAME%.exe}" = "$GAME" ] && grep -q $'\x1b' "$WORK/sent"; then
    fail "an escape sequence in the terminal: $(grep -ao $'\x1b.\{1,8\}' "$WORK/sent" | head -3)"
fi
# A replay plays in its recording's own mode.
eval "$LAUNCH --replay '$WORK/none.rec' --screen-reader" 2>/dev/null
[ $? -eq 2 ] || fail "--screen-reader beside --replay was not refused as a usage error"
echo "ok: screen reader"
