# kelvrin.exe in a real Windows console: the tour the Linux game makes.
#   bash test_console.sh kelvrin.exe WINEPREFIX
exec bash "$(dirname "$0")/../terminal/test_tour.sh" "$@"
