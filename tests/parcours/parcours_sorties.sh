#!/bin/bash
# What leaves the program, from the real window, keys only: emboss a
# document on a raw CUPS queue (a listener on this machine plays the
# embosser), print it from the preview on that queue (the listener receives
# the PDF that Qt sends), and export it to a file through the export dialog.
# Each result is checked against the command-line tool's own output.
# Usage: parcours_sorties.sh DOTAVOB DOTAVOB-CLI ECOUTEUR DONNEES
set -u
export LC_ALL=C.UTF-8  # the spooler's words read below are its English ones
dotavob=$1
cli=$2
ecouteur=$3
donnees=$4
source "$(dirname "$0")/commun.sh"
source "$(dirname "$(dirname "$0")")/embossage/spouleur.sh"
etape "le serveur d'impression"
demarre_cupsd || exit 1
file=DotavobParcours$$
defaut=$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
fin_sorties() {
    lpadmin -x "$file" 2>/dev/null
    lpadmin -x "$file-muette" 2>/dev/null
    [ -n "$defaut" ] && lpadmin -d "$defaut" 2>/dev/null
    fin
}
trap fin_sorties EXIT

# The embosser: two jobs (the embossing, then the printing), on the
# machine's default queue so that the print dialogs offer it first.
mkdir -p "$travail/recu"
"$ecouteur" "$travail/recu" 2 >"$travail/port" &
pids+=($!)
for _ in $(seq 50); do [ -s "$travail/port" ] && break; sleep 0.1; done
lpadmin -p "$file" -v "socket://127.0.0.1:$(cat "$travail/port")" -E 2>/dev/null || { echo "lpadmin a échoué"; exit 1; }
lpadmin -d "$file"
# Waits until the listener has job N whole (the next one started, or it ended).
attends_travail() {
    for _ in $(seq 150); do
        [ -s "$travail/recu/travail-$1.bin" ] && [ -z "$(lpstat -o "$file" 2>/dev/null)" ] && { sleep 0.5; return 0; }
        sleep 0.2
    done
    return 1
}

doc=$travail/livre.dtv
cp "$donnees/embossage.dtv" "$doc"
etape "l'embossage sur la file CUPS"
demarre "$doc"

# "Embosser": the print dialog on the default queue, the options as they come.
ouvre_par_menu "Imprimer|Print" alt+f Down Down Down Down Down Down Down Down Return
touches Return
attends_fenetre "Options d'embossage"
touches Return
attends_travail 1 || echo "aucun travail d'embossage reçu"
"$cli" embosser "$doc" --fichier "$travail/attendu.bin" --code us >/dev/null
verifie "embossé sur la file CUPS = composition" "$(od -An -tx1 "$travail/attendu.bin" | md5sum)" \
    "$(od -An -tx1 "$travail/recu/travail-1.bin" 2>/dev/null | md5sum)"

etape "l'impression depuis l'aperçu"
# "Imprimer": the preview, then its print button (Ctrl+P) and the print dialog.
ouvre_par_menu "avant impression" alt+f Down Down Down Down Down Down Down Return
touches ctrl+p
attends_fenetre "Imprimer|Print"
touches Return
attends_travail 2 || echo "aucun travail d'impression reçu"
verifie "imprimé : un PDF de deux pages" "2" \
    "$(pdfinfo "$travail/recu/travail-2.bin" 2>&1 | awk '/^Pages:/ {print $2}')"
touches Escape

etape "l'exportation"
# "Exporter ...": Code US to a text file.
ouvre_par_menu "Exportation" alt+f Down Down Down Down Down Down Return
touches Tab Down Return
attends_fenetre "Choisir un fichier d'exportation"
tape "$travail/export.txt"
touches Return
sleep 0.5
"$cli" exporter "$doc" "$travail/attendu.txt" --code us
verifie "exporté en Code US" "$(od -An -tx1 "$travail/attendu.txt" | md5sum)" \
    "$(od -An -tx1 "$travail/export.txt" 2>/dev/null | md5sum)"

# An embosser that never answers: the window waits with "Abandon" at hand
# (it has the keyboard); Abandon cancels the job and says so.
lpadmin -p "$file-muette" -v "socket://127.0.0.1:9" -E 2>/dev/null
lpadmin -d "$file-muette"
ouvre_par_menu "Imprimer|Print" alt+f Down Down Down Down Down Down Down Down Return
touches Return
attends_fenetre "Options d'embossage"
touches Return
attends_fenetre "Embossage de"
sleep 1
touches Return
attends_fenetre "^DotavoB$"
verifie "abandon : le travail est retiré de la file" "" "$(lpstat -o "$file-muette" 2>/dev/null)"
touches Return
verifie "abandon : la fenêtre répond encore" "DotavoB 2.9 - $doc" "$(xdotool getactivewindow getwindowname 2>/dev/null)"
bilan "parcours des sorties"
