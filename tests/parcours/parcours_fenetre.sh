#!/bin/bash
# A user's journey through the real window, on a real X server with a window
# manager: real key events (xdotool), the text read back through the real
# clipboard (xclip). The offscreen platform of the widget tests does not send
# what a real keyboard sends; this does.
# Usage: parcours_fenetre.sh DOTAVOB
set -u
dotavob=$1
source "$(dirname "$0")/commun.sh"
etape "démarrage"
demarre

# Reads the whole text through the clipboard: the caret to the start (Home
# shows the first page), Shift and Right to its end, Ctrl+C; then Right
# leaves the caret at the end with nothing selected.
texte() {
    touches Home
    xdotool key --delay 15 --repeat 60 shift+Right
    attends
    touches ctrl+c Right
    presse_papiers
}

etape "frappe en noir, Suppr"
# Print typing with a capital; Delete on a real keyboard deletes, never types.
tape "Page deux."
touches Left Left Left Delete
verifie "Suppr efface" "$(hex 'Page dex.')" "$(texte)"

etape "accents, majuscule, chiffres, Entrée, Ctrl+Entrée"
# Accents, a capital É, digits, Enter and Backspace; Ctrl+Enter held as a
# fast typist does (Ctrl let go before Enter).
touches Return
xdotool key --delay 60 shift+Eacute
tape "lève 12"
touches BackSpace
xdotool keydown ctrl keydown Return keyup ctrl keyup Return
attends
verifie "texte en noir" "$(hex $'Page dex.\r\nÉlève 1\r\f')" "$(texte)"

etape "Maj+Droite rapide"
# A quick Shift+Right (Shift let go first) selects the cell it passes.
touches Home
xdotool keydown shift keydown Right keyup shift keyup Right
attends
touches ctrl+c
verifie "Maj+Droite rapide" "$(hex 'P')" "$(presse_papiers)"

etape "le clavier six points"
# The six-key keyboard, chosen in the menu ("Claviers", "sdfjkl"; the Enter
# that chooses it does nothing to the text): F and D make the cell b, J K L
# the emphasis sign, and every sign is shown and copied as stored.
xdotool key --delay 15 --repeat 60 Right
xdotool key alt+c
sleep 0.6  # the menu opens before its entry is chosen
xdotool key --delay 150 Down Return
attends
xdotool keydown f keydown d keyup d keyup f
attends
xdotool keydown j keydown k keydown l keyup l keyup k keyup j
attends
# Stored bytes in code page 1252, here in UTF-8: capital sign A8, é E9, è E8,
# number sign 91, 1 E2, page break 0C, emphasis B8.
verifie "six touches et octets bruts" \
    "c2 a8 70 61 67 65 20 64 65 78 2e 0d 0a c2 a8 c3 a9 6c c3 a8 76 65 20 e2 80 98 c3 a2 0c 62 c2 b8" \
    "$(texte)"

kill -0 "$editeur" 2>/dev/null || { echo "ÉCHEC l'éditeur s'est arrêté"; echecs=$((echecs + 1)); }
bilan "parcours de la fenêtre"
