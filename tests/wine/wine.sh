# wine.sh PREFIX PROGRAM [ARGUMENTS...]: runs a Windows program under wine,
# in the wine prefix PREFIX (made on first use), without wine's own debug
# output, and without a display, so that a message box fails at once
# instead of waiting for a click that never comes.
set -eu
[ $# -ge 2 ] || { echo "usage: bash $0 PREFIX PROGRAM [ARGUMENTS...]" >&2; exit 2; }
export WINEPREFIX=$1 WINEDEBUG=-all
shift
unset DISPLAY WAYLAND_DISPLAY
# The wine server and wine's services outlive the program that starts them
# and keep its output open while they run (a test would seem to last until
# the last wine program ends): they are started apart, by a program of no
# output, and stay a few seconds after the last program for the next one.
# When they already run this costs a tenth of a second.
if [ -d "$WINEPREFIX" ]; then
    wineserver -p5 </dev/null >/dev/null 2>&1 || true
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec wine "$@"
