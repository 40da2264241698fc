# Random keys into the game on a pipe (no terminal), thirty sessions (five under wine, where a start costs a
# second), each in the same folder until its input ends: every session ends with status 0, and the folder then
# holds only what outlives a game (saves, crash saves, the graveyard and its copy put aside), never a lock file.
. "$(dirname "$0")/lib.sh"
runs=30
[ "${GAME%.exe}" = "$GAME" ] || runs=5
for seed in $(seq 1 $runs); do
    # Keys a player might type, Enter often (names and numbers end with it); a few sessions end in a death.
    awk -v seed="$seed" 'BEGIN { srand(seed); keys = "0123456789qwertyuiopasdfghjklzxcvbnm.,-+ "
        for (i = 0; i < 4000; i++)
            printf "%s", rand() < 0.2 ? "\n" : substr(keys, int(rand() * length(keys)) + 1, 1) }' \
        >"$WORK/keys"
    (cd "$WORK" && eval "$LAUNCH" <keys >/dev/null 2>&1)
    status=$?
    [ "$status" -eq 0 ] || fail "session $seed ended with status $status"
    left=$(cd "$WORK" && ls -A | grep -vxE 'keys|save_.*|error_save_.*|cmentarz\.dat(\.bak)?' | tr '\n' ' ')
    [ -z "$left" ] || fail "session $seed left $left"
done
echo "ok: $runs sessions on a pipe, no file left but saves and the graveyard"
