#!/bin/bash
# A user's day in the real window, keys only but for one tool button: type a
# page, set the page format in its dialog, centre the title, search a word,
# save through the file dialog, quit, start again, open the file, paste from
# the real clipboard, import an RTF file, undo, and quit answering the close
# question. The saved file is checked with the command-line tool.
# Usage: parcours_journee.sh DOTAVOB DOTAVOB-CLI DONNEES
set -u
dotavob=$1
cli=$2
donnees=$3
source "$(dirname "$0")/commun.sh"
fichier=$travail/journee.dtv

etape "une page en français"
demarre
# A page of French: a title, then a paragraph.
tape "Le jardin"
touches Return
tape "Le petit chat dort dans le jardin. Il a 12 ans et il aime l'été."
etape "le format de la page"
# The page format, keys only: 20 lines of 25 characters.
ouvre_par_menu "Format des pages" alt+o f
touches ctrl+a 2 0 Tab Tab ctrl+a 2 5 Return
etape "le titre centré"
# The title centred with its tool button ("Centrer le paragraphe").
touches ctrl+Home Home
xdotool mousemove --window "$fenetre" 164 52 click 1
attends
etape "la recherche"
# Search "chat": found, it is selected; typed over, a word goes before it.
touches ctrl+f
attends_fenetre "Recherche"
tape "chat"
touches Return
tape "beau chat"
etape "l'enregistrement"
# Save through the platform's file dialog.
touches ctrl+s
attends_fenetre "Enregistrement de fichiers DotavoB"
tape "$fichier"
touches Return
sleep 0.5
verifie "enregistré" "Le jardin
Le petit beau chat dort dans le jardin. Il a 12 ans et il aime l'été." "$("$cli" noir "$fichier" | tr -d '\r')"
verifie "format enregistré" "lignes par page: 20 caractères par ligne: 25 marqueurs: 1" \
    "$("$cli" info "$fichier" | grep -E '^(lignes par page|caractères par ligne|marqueurs):' | tr '\n' ' ' | sed 's/ $//')"
etape "quitter sans question"
# Nothing changed since: Ctrl+Q quits without a question.
touches ctrl+q
attends_fin && verifie "quitter sans question" "fini" "fini" || verifie "quitter sans question" "fini" "encore ouvert"

etape "le lendemain : ouvrir, coller, importer, défaire"
# The next morning: open the file, paste plain text and rich text from the
# real clipboard, import an RTF file, undo the import.
demarre
touches ctrl+o
attends_fenetre "Ouverture de fichiers DotavoB"
tape "$fichier"
touches Return
sleep 0.5
verifie "titre" "DotavoB 2.9 - $fichier" "$(xdotool getwindowname "$fenetre")"
printf ' Fin.' | xclip -selection clipboard 2>/dev/null
touches ctrl+End
xdotool key --delay 15 --repeat 80 Right
touches ctrl+v
printf '{\\rtf1\\ansi {\\b Gras} et riche.}' | xclip -selection clipboard -t text/rtf 2>/dev/null
touches ctrl+v
ouvre_par_menu "Importation d'un fichier texte" alt+f Down Down Down Down Down Return
tape "$donnees/notes.rtf"
touches Return
# Its footnote is left out, and said: the message copies with Ctrl+C.
attends_fenetre "^DotavoB$"
touches ctrl+c
verifie "la note omise est dite" "Notes de bas de page omises." "$(xclip -o -selection clipboard 2>/dev/null)"
touches Return
sleep 0.5
touches ctrl+z
etape "quitter en enregistrant"
# Quit, answering "Oui": the document is saved where it came from.
touches ctrl+q
attends_fenetre "Attention !"
touches alt+o
attends_fin && verifie "quitter en enregistrant" "fini" "fini" || verifie "quitter en enregistrant" "fini" "encore ouvert"
verifie "collé, importé puis défait" "Le jardin
Le petit beau chat dort dans le jardin. Il a 12 ans et il aime l'été. Fin.Gras et riche." \
    "$("$cli" noir "$fichier" | tr -d '\r')"
bilan "parcours d'une journée"
