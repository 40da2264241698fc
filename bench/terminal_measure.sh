# The real game in a real terminal (tmux, 80×25): how long it takes to show
# its first screen, how many write calls and bytes each key costs in the
# town, the dungeon view and a fight, and how much CPU time a key takes.
# Usage: bash bench/terminal_measure.sh path/to/kelvrin   (needs strace)
. "$(dirname "$0")/../tests/terminal/lib.sh"
[ -n "${KEEP_TRACE:-}" ] && trap "cp -r \"\$WORK\" /tmp/measure-work; cleanup" EXIT
command -v strace >/dev/null || { echo "terminal_measure: strace is needed" >&2; exit 1; }
start_shell
KEYS=0
keys() { KEYS=$((KEYS + $#)); tm send-keys -t "$PANE" "$@"; }

# Start-up: from execve to the first write to the terminal, 20 starts.
for i in $(seq 1 20); do
    command_line "clear; strace -ttt -e trace=execve,write -s 0 -o '$WORK/start.$i' '$GAME'; echo done-$i"
    wait_for "Kelvrin v 0.2"
    keys 0
    wait_for "done-$i"
done
for i in $(seq 1 20); do
    awk '/execve\(/ && !t0 { t0 = $1 } / write\(1,/ { printf "%.2f\n", ($1 - t0) * 1000; exit }' "$WORK/start.$i"
done | sort -n | awk '{ v[NR] = $1 } END { printf "start-up to the first screen: median %.2f ms, max %.2f ms (%d starts)\n", v[int((NR + 1) / 2)], v[NR], NR }'

# One session: the town, the dungeon until a fight, the fight's rounds.
# Each phase's keys are told apart by the clock (strace's and ours agree).
now() { date +%s.%N; }
play() {  # play PHASES_FILE: each key is logged with its phase first
    create_hero Miara
    press() { echo "$1 $(now)" >>"$PHASES"; keys "$2"; sleep "${3:-0.1}"; }
    PHASES=$1
    for _ in $(seq 1 25); do press town w; press town m; done
    press town w; press other p 0.5
    local arrows=(Up Down Left Right) steps=0
    while [ $steps -lt 150 ] && ! shows "1. Graj"; do
        if shows "runda:"; then press fight f 0.2
        elif shows "(ok)" || shows "dalej"; then press other Space
        else press dungeon "${arrows[RANDOM % 4]}"; steps=$((steps + 1))
        fi
    done
    echo "end $(now)" >>"$PHASES"
}

# The game is ended by SIGTERM (it writes its crash save), so the shell
# goes on to the next command.
run_game="sh -c 'echo \$\$ >$WORK/pid; exec $GAME'"
command_line "clear; strace -ttt -e trace=read,write -s 0 -o '$WORK/session' $run_game; echo session-done"
wait_for "Kelvrin v 0.2"
keys 1
play "$WORK/phases"
kill -TERM "$(cat "$WORK/pid")"
wait_for "session-done"
awk -v phases="$WORK/phases" '
    BEGIN { while ((getline line < phases) > 0) { split(line, f, " "); name[++n] = f[1]; at[n] = f[2] } }
    function isort(a, n,   i, j, v) { for (i = 2; i <= n; ++i) { v = a[i]; for (j = i - 1; j >= 1 && a[j] > v; --j) a[j + 1] = a[j]; a[j + 1] = v } }
    function phase(t,   i) { for (i = n; i >= 1; --i) if (t >= at[i]) return name[i]; return "" }
    / read\(0,/ && $NF > 0 { if (p != "") { writes[p, k] = w; bytes[p, k] = b; count[p] = k }
                            p = phase($1); k = ++keysIn[p]; w = 0; b = 0; next }
    / write\(1,/ { ++w; b += $NF }
    END {
        if (p != "") { writes[p, k] = w; bytes[p, k] = b; count[p] = k }
        split("town dungeon fight", shown, " ")
        for (i = 1; i <= 3; ++i) {
            p = shown[i]; if (!count[p]) continue
            mw = 0; mb = 0; sb = 0; delete ws; delete bs
            for (k = 1; k <= count[p]; ++k) { ws[k] = writes[p, k]; bs[k] = bytes[p, k]; sb += bs[k]
                if (ws[k] > mw) mw = ws[k]; if (bs[k] > mb) mb = bs[k] }
            isort(ws, count[p]); isort(bs, count[p])
            printf "%-8s %3d keys: writes per key median %d, max %d; bytes per key median %d, mean %d, max %d\n",
                   p, count[p], ws[int((count[p] + 1) / 2)], mw, bs[int((count[p] + 1) / 2)], sb / count[p], mb
        }
    }' "$WORK/session"

# CPU time per key: the same kind of session without strace, timed by bash.
mv "$WORK/phases" "$WORK/phases.session"
command_line "clear; TIMEFORMAT='cpu %3U %3S'; time $run_game; echo cpu-done"
wait_for "Kelvrin v 0.2"
KEYS=0
keys 1
play "$WORK/phases"
kill -TERM "$(cat "$WORK/pid")"
wait_for "cpu-done"
screen | awk -v keys=$KEYS '/^cpu / { printf "CPU time per key: %.3f ms (%.3f s user + %.3f s system over %d keys, start-up included)\n", ($2 + $3) * 1000 / keys, $2, $3, keys }'
