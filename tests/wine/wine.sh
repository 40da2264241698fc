# wine.sh PREFIX PROGRAM [ARGUMENTS...]: a Windows program under wine in the
# prefix PREFIX (made on first use), without wine's debug output and without
# a display, so that a message box fails at once instead of waiting.
set -eu
[ $# -ge 2 ] || { echo "usage: bash $0 PREFIX PROGRAM [ARGUMENTS...]" >&2; exit 2; }
export WINEPREFIX=$1 WINEDEBUG=-all
# Wine names the Unix files in the locale's charset: in the C locale (a bare
# machine's, with no LANG) a Polish letter has none, and no file with one in
# its name could be made.
export LC_ALL=C.UTF-8
shift
unset DISPLAY WAYLAND_DISPLAY
# The wine server and services outlive the program that starts them and
# keep its output open (a test would last until they end): they are started
# apart, by a program of no output, and stay five seconds for the next one.
if [ -d "$WINEPREFIX" ]; then
    wineserver -p5 </dev/null >/dev/null 2>&1 || true
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec wine "$@"
