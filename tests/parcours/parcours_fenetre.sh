#!/bin/bash
# A user's journey through the real window, on a real X server with a window
# manager: real key events (xdotool), the text read back through the real
# clipboard (xclip). The offscreen platform of the widget tests does not send
# what a real keyboard sends; this does.
# Usage: parcours_fenetre.sh DOTAVOB
set -u
dotavob=$1
for outil in Xvfb openbox xdotool xclip; do
    command -v "$outil" >/dev/null || { echo "outil absent : $outil (./dev deps l'installe)"; exit 1; }
done

travail=$(mktemp -d)
pids=()
fin() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$travail"
}
trap fin EXIT

# A display of our own, free even when several runs share the machine.
for n in $(seq $((90 + $$ % 50)) 200); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { affichage=":$n"; break; }
done
Xvfb "$affichage" -screen 0 1600x1000x24 -nolisten tcp >"$travail/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$affichage
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$travail/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

# A fresh settings folder: the first start of a new user.
export HOME=$travail XDG_CONFIG_HOME=$travail/config XDG_RUNTIME_DIR=$travail/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
"$dotavob" >"$travail/dotavob.log" 2>&1 &
pids+=($!)
fenetre=$(xdotool search --sync --onlyvisible --name "DotavoB" | head -1)
xdotool windowactivate --sync "$fenetre"
sleep 0.5

echecs=0
attends() { sleep 0.3; }
touches() { xdotool key --clearmodifiers --delay 60 "$@"; attends; }
tape() { xdotool type --delay 60 "$1"; attends; }
presse_papiers() { xclip -o -selection clipboard 2>/dev/null | od -An -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
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
verifie() {  # verifie NOM ATTENDU OBTENU
    if [ "$2" = "$3" ]; then
        echo "ok   $1"
    else
        echo "ÉCHEC $1"
        echo "     attendu : $2"
        echo "     obtenu  : $3"
        echecs=$((echecs + 1))
    fi
}
hex() { printf '%s' "$1" | od -An -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# Print typing with a capital; Delete on a real keyboard deletes, never types.
tape "Page deux."
touches Left Left Left Delete
verifie "Suppr efface" "$(hex 'Page dex.')" "$(texte)"

# Accents, a capital É, digits, Enter and Backspace; Ctrl+Enter held as a
# fast typist does (Ctrl let go before Enter).
touches Return
xdotool key --delay 60 shift+Eacute
tape "lève 12"
touches BackSpace
xdotool keydown ctrl keydown Return keyup ctrl keyup Return
attends
verifie "texte en noir" "$(hex $'Page dex.\r\nÉlève 1\r\f')" "$(texte)"

# A quick Shift+Right (Shift let go first) selects the cell it passes.
touches Home
xdotool keydown shift keydown Right keyup shift keyup Right
attends
touches ctrl+c
verifie "Maj+Droite rapide" "$(hex 'P')" "$(presse_papiers)"

# The six-key keyboard, chosen in the menu ("Claviers", "sdfjkl"; the Enter
# that chooses it does nothing to the text): F and D make the cell b, J K L
# the emphasis sign, and every sign is shown and copied as stored.
xdotool key --delay 15 --repeat 60 Right
xdotool key --delay 100 alt+c Down Return
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

kill -0 "${pids[2]}" 2>/dev/null || { echo "ÉCHEC l'éditeur s'est arrêté"; cat "$travail/dotavob.log"; echecs=$((echecs + 1)); }
if [ $echecs -ne 0 ]; then
    echo "$echecs étape(s) du parcours en échec"
    exit 1
fi
echo "parcours de la fenêtre réussi"
