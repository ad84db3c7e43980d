#!/bin/sh
# wine.sh PREFIX PROGRAM.exe [ARGUMENTS...]: runs a Windows program under
# Wine, in its own prefix, with no display and no prompt.
set -eu
WINEPREFIX=$1
shift
# No .NET or browser to install, no menu entries made for the user.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine turns the arguments into the program's wide command line in the
# locale's character set; file names are UTF-8.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
wine=
for w in /usr/lib/wine/wine64 wine64 wine; do
    if command -v "$w" > /dev/null 2>&1; then wine=$w; break; fi
done
[ -n "$wine" ] || { echo "wine.sh : wine64 introuvable (./dev deps-windows)" >&2; exit 127; }
serveur=/usr/lib/wine/wineserver64
[ -x "$serveur" ] || serveur=wineserver
# Wine's services outlive the program that started them and keep its output
# open (a test runner would wait for them): the prefix, its server and its
# services are started here, with no output of ours, before the program. The
# server stays DOTAVOB_WINE_ATTENTE seconds after the last program; it is
# started first, also before a new prefix is made, so that no program meets
# the short-lived server that making the prefix would otherwise leave, as it
# stops.
mkdir -p "$WINEPREFIX"
flock -o "$WINEPREFIX" sh -c '
    if "$2" -p"$3" || [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$1" cmd /c exit
    fi' sh "$wine" "$serveur" "${DOTAVOB_WINE_ATTENTE:-30}" < /dev/null > /dev/null 2>&1
exec "$wine" "$@"
