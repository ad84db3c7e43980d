#!/bin/sh
# console.sh CLI: on a console (a terminal here), accents show as accents,
# on standard output and on standard error alike, whatever the code page.
set -eu
cli=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }

# script(1) gives the program a terminal, which Wine makes its console.
script -qec "cd '$tmp' && '$cli' demo 'Noël à Paris'; '$cli' noir é.dtv" /dev/null > "$tmp/ecran" 2>&1 || true
grep -q 'Noël à Paris' "$tmp/ecran" || echec "sortie standard illisible sur la console"
grep -q '« é.dtv »' "$tmp/ecran" || echec "erreur illisible sur la console"
echo "console : accents lisibles"
