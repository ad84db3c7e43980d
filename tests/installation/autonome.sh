#!/bin/sh
# dotavob-cli carries its C++ runtime and its XML library: none of them is
# loaded and bound at its start. Usage: autonome.sh DOTAVOB_CLI
set -eu
dyn=$(readelf -d "$1")
printf '%s\n' "$dyn" | grep -q NEEDED || { echo "ÉCHEC : readelf ne lit aucune bibliothèque de $1" >&2; exit 1; }
if printf '%s\n' "$dyn" | grep -E 'NEEDED.*lib(stdc\+\+|gcc_s|pugixml)' >&2; then
    echo "ÉCHEC : dotavob-cli charge encore ces bibliothèques" >&2
    exit 1
fi
