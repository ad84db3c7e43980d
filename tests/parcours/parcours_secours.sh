#!/bin/bash
# Nothing lost when the editor dies: a saved document is opened and typed in,
# the recovery copy is written behind the typing, the editor is killed
# (kill -9), and the next start offers the copy; recovered, every word is
# back under the document's name, the file untouched until Ctrl+S.
# Usage: parcours_secours.sh DOTAVOB DOTAVOB-CLI
set -u
dotavob=$1
cli=$2
source "$(dirname "$0")/commun.sh"
export DOTAVOB_DELAI_SECOURS=1  # a second after a change, not thirty

etape "un document enregistré, ouvert, puis tapé"
doc=$travail/livre.dtv
printf 'Le début du livre.' >"$travail/livre.txt"
"$cli" transcrire "$travail/livre.txt" "$doc" >/dev/null
avant=$(md5sum <"$doc")
demarre "$doc"
touches ctrl+End End
xdotool key --delay 60 --repeat 40 Right
tape " Tout ce qui a suivi, mot après mot."
# The copy is written behind the typing, within a second of a change: the
# last one is down three seconds after the typing (or later on a loaded machine).
fin_frappe=$SECONDS
for _ in $(seq 100); do
    [ $((SECONDS - fin_frappe)) -ge 3 ] && compgen -G "$secours/*.copie" >/dev/null && break
    sleep 0.1
done
verifie "une copie de secours écrite" 1 "$(find "$secours" -name '*.copie' | wc -l)"

etape "l'éditeur tué"
kill -9 "$editeur"
wait "$editeur" 2>/dev/null
verifie "le fichier n'a pas bougé" "$avant" "$(md5sum <"$doc")"

etape "le démarrage suivant offre la copie"
"$dotavob" >>"$travail/dotavob.log" 2>&1 &
editeur=$!
pids+=($editeur)
attends_fenetre "Copie de secours"
xdotool windowactivate --sync "$(cherche_fenetre 5 "Copie de secours")" 2>/dev/null
touches Return  # "Récupérer"
sleep 0.5
fenetre=$(cherche_fenetre 15 "^DotavoB")
verifie "titre : le nom du document" "DotavoB 2.9 - $doc" "$(xdotool getwindowname "$fenetre")"
verifie "le fichier n'a toujours pas bougé" "$avant" "$(md5sum <"$doc")"

etape "Ctrl+S enregistre là où était le document"
touches ctrl+s
sleep 0.5
verifie "chaque mot est revenu" "Le début du livre.
 Tout ce qui a suivi, mot après mot." \
    "$("$cli" noir "$doc" | tr -d '\r')"
verifie "le dossier des copies de secours est là" "oui" "$([ -d "$secours" ] && echo oui)"
verifie "plus aucune copie de secours" "0" "$(find "$secours" -name '*.copie' | wc -l)"

kill -0 "$editeur" 2>/dev/null || { echo "ÉCHEC l'éditeur s'est arrêté"; echecs=$((echecs + 1)); }
bilan "parcours de la copie de secours"
