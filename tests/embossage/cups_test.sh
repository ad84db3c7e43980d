#!/bin/bash
# Embossing through a real spooler: a raw CUPS queue whose device is a
# socket on this machine, where a listener plays the embosser. Every byte
# received must be what the file back end writes; two copies are two jobs;
# an embosser that refuses the connection is an error, never a success.
# Usage: cups_test.sh DOTAVOB-CLI ECOUTEUR DONNEES
set -u
export LC_ALL=C  # the spooler's messages read below are its English ones
cli=$1
ecouteur=$2
doc=$3/embossage.dtv
travail=$(mktemp -d)
file=DotavobEssai$$
fin() {
    lpadmin -x "$file" 2>/dev/null
    lpadmin -x "$file-muette" 2>/dev/null
    rm -rf "$travail"
}
trap fin EXIT
echecs=0
verifie() {  # verifie NOM CONDITION...
    local nom=$1
    shift
    if "$@"; then echo "ok   $nom"; else echo "ÉCHEC $nom"; echecs=$((echecs + 1)); fi
}

source "$(dirname "$0")/spouleur.sh"
demarre_cupsd || exit 1

for code in us fr; do
    mkdir -p "$travail/$code"
    "$ecouteur" "$travail/$code" 2 >"$travail/port" &
    ecoute=$!
    for _ in $(seq 50); do [ -s "$travail/port" ] && break; sleep 0.1; done
    port=$(cat "$travail/port")
    lpadmin -p "$file" -v "socket://127.0.0.1:$port" -E 2>/dev/null || { echo "lpadmin a échoué"; exit 1; }
    "$cli" embosser "$doc" --imprimante "$file" --copies 2 --code "$code" --marge-gauche 1 --marge-haut 1 --attente 30
    verifie "file CUPS, code $code" test $? -eq 0
    # The listener ends with its two jobs; a failed embossing sent none: stop it.
    for _ in $(seq 50); do kill -0 $ecoute 2>/dev/null || break; sleep 0.2; done
    kill $ecoute 2>/dev/null
    wait $ecoute 2>/dev/null
    "$cli" embosser "$doc" --fichier "$travail/$code/fichier.bin" --code "$code" --marge-gauche 1 --marge-haut 1
    verifie "deux travaux, code $code" cmp -s "$travail/$code/travail-1.bin" "$travail/$code/travail-2.bin"
    verifie "octets reçus = composition, code $code" cmp -s "$travail/$code/travail-1.bin" "$travail/$code/fichier.bin"
    verifie "travail non vide, code $code" test -s "$travail/$code/travail-1.bin"
done
verifie "codes différents" sh -c "! cmp -s '$travail/us/fichier.bin' '$travail/fr/fichier.bin'"

# A queue that does not exist: said in French.
sortie=$("$cli" embosser "$doc" --imprimante "NExistePas$$" 2>&1)
verifie "file introuvable" sh -c "printf '%s' \"\$1\" | grep -q introuvable" _ "$sortie"

# An embosser that refuses the connection: an error, said, and no job left behind.
lpadmin -p "$file-muette" -v "socket://127.0.0.1:9" -E 2>/dev/null
sortie=$("$cli" embosser "$doc" --imprimante "$file-muette" --attente 4 2>&1)
code=$?
verifie "refus : code de sortie" test $code -ne 0
verifie "refus : message" sh -c "printf '%s' \"\$1\" | grep -q \"impossible d'embosser\"" _ "$sortie"
for _ in $(seq 25); do [ -z "$(lpstat -o "$file-muette" 2>/dev/null)" ] && break; sleep 0.2; done
verifie "refus : plus de travail en attente" sh -c "[ -z \"\$(lpstat -o '$file-muette' 2>/dev/null)\" ]"

[ $echecs -eq 0 ] || { echo "$echecs vérification(s) en échec"; exit 1; }
echo "embossage par CUPS conforme"
