#!/bin/bash
# Where the editor meets the desktop, on a real X server: a message about a
# file with an accented name read from the real message box, text and
# Unicode braille pasted from the real clipboard, then, after an embossing,
# the shortcuts and the menus still answering.
# Usage: parcours_coutures.sh DOTAVOB DOTAVOB-CLI
set -u
dotavob=$1
cli=$2
source "$(dirname "$0")/commun.sh"
export LANG=C.UTF-8  # file names in UTF-8, as a French desktop has them

etape "un fichier illisible au nom accentué, nommé au démarrage"
abime="$travail/abîmé.dtv"
printf 'rien de lisible' >"$abime"
demarre "$abime"
attends_fenetre "^DotavoB$"
sleep 0.5
: | xclip -selection clipboard
touches ctrl+c  # a message box copies its text
message=$(xclip -o -selection clipboard 2>/dev/null)
verifie "le message nomme le fichier tel qu'il s'écrit" "oui" \
    "$([[ "$message" == *"abîmé.dtv"* && "$message" != *"Ã"* ]] && echo oui || echo "non : $message")"
touches Return

etape "du texte collé depuis un programme Linux"
printf 'ligne un\nligne deux\n\nligne trois' | xclip -selection clipboard
touches ctrl+v
fichier=$travail/coutures.dtv
touches ctrl+s
attends_fenetre "Enregistrement de fichiers DotavoB"
tape "$fichier"
touches Return
sleep 0.5
verifie "chaque ligne collée est un paragraphe" "ligne un
ligne deux

ligne trois" "$("$cli" noir "$fichier" | tr -d '\r')"

etape "trois paragraphes de braille Unicode collés"
# 47 cells each, on a page of 30.
paragraphe=$(printf '⠁⠃⠉⠙⠑⠋⠛ %.0s' 1 2 3 4 5 6)
printf '%s\n%s\n%s' "$paragraphe" "$paragraphe" "$paragraphe" | xclip -selection clipboard
touches Return ctrl+v ctrl+s
sleep 0.5
# The lines as saved (opening a file would wrap them again): the cells a to
# g are the bytes "abcdefg", the longest run of them and blanks is a line.
large=$(tr -c 'a-g ' '\n' <"$fichier" | awk '{ if (length($0) > m) m = length($0) } END { print m + 0 }')
verifie "aucune ligne plus large que la page, telle qu'enregistrée" "oui" \
    "$([ "$large" -le 30 ] && echo oui || echo "non : $large")"
verifie "chaque cellule collée est là" "18" \
    "$("$cli" exporter "$fichier" - --code unicode | sed 's/[ ⠀]//g' | tr -d '\r\n' | grep -o '⠁⠃⠉⠙⠑⠋⠛' | wc -l)"

etape "l'embossage dans un fichier"
ouvre_par_menu "Imprimer|Print" alt+f Down Down Down Down Down Down Down Down Return
touches Return
attends_fenetre "Options d'embossage"
touches Tab Tab Tab Tab Tab space Return
attends_fenetre "Enregistrer les octets"
tape "$travail/embosse.brl"
touches Return
for _ in $(seq 50); do [ -s "$travail/embosse.brl" ] && break; sleep 0.1; done
verifie "embossé" "oui" "$([ -s "$travail/embosse.brl" ] && echo oui || echo non)"
sleep 1

etape "après l'embossage : Ctrl+S, Ctrl+F, Alt+F"
tape "Fin"
touches ctrl+s
sleep 0.5
verifie "Ctrl+S enregistre" "oui" "$("$cli" noir "$fichier" | grep -q Fin && echo oui || echo non)"
touches ctrl+f
attends_fenetre "Recherche"
touches Escape
xdotool key --clearmodifiers alt+f
sleep 0.6
xdotool key --clearmodifiers --delay 150 Down Down Down Down Down Down Return
attends_fenetre "Exportation"
touches Escape

kill -0 "$editeur" 2>/dev/null || { echo "ÉCHEC l'éditeur s'est arrêté"; echecs=$((echecs + 1)); }
bilan "parcours des coutures"
