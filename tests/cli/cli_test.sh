#!/bin/sh
# dotavob-cli as a script uses it: outputs, exit codes, nothing half-written.
set -eu
cli=$1
donnees=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }

printf 'Bonjour Paris.\nLe 12 mai.\n' > "$tmp/a.txt"
"$cli" transcrire "$tmp/a.txt" "$tmp/a.dtv" --cpl 20
"$cli" noir "$tmp/a.dtv" > "$tmp/noir.txt"
printf 'Bonjour Paris.\r\nLe 12 mai.\r\n' | cmp -s - "$tmp/noir.txt" || echec "noir"
"$cli" exporter "$tmp/a.dtv" - > "$tmp/us.txt"
printf '.bonjour .paris4\r\n.le ,*< mai4\r\n' | cmp -s - "$tmp/us.txt" || echec "exporter (Code US)"
"$cli" exporter "$tmp/a.dtv" "$tmp/fr.txt" --code fr
printf '\250bonjour \250paris.\r\n\250le \221\342\352 mai.\r\n' | cmp -s - "$tmp/fr.txt" || echec "exporter (Code Français)"
"$cli" info "$tmp/a.dtv" | grep -qx 'pages: 1' || echec "info"

# An RTF file with a page break, wrapped to 25 cells.
"$cli" transcrire "$donnees/exemple.rtf" "$tmp/e.dtv" --cpl 25 --lignes 12
"$cli" info "$tmp/e.dtv" | grep -qx 'caractères par ligne: 25' || echec "info (RTF)"
"$cli" info "$tmp/e.dtv" | grep -qx 'pages: 2' || echec "pages (RTF)"

# Failures: a French message, a non-zero status, nothing written or replaced.
cp "$tmp/us.txt" "$tmp/garde.txt"
if "$cli" exporter "$tmp/absent.dtv" "$tmp/us.txt" 2> "$tmp/err"; then echec "document absent accepté"; fi
grep -q 'introuvable' "$tmp/err" || echec "message d'erreur"
cmp -s "$tmp/us.txt" "$tmp/garde.txt" || echec "sortie remplacée malgré l'erreur"
head -c 9 "$tmp/a.dtv" > "$tmp/tronque.dtv"
if "$cli" noir "$tmp/tronque.dtv" 2> "$tmp/err"; then echec "document tronqué accepté"; fi
grep -q 'texte incomplet' "$tmp/err" || echec "message du document tronqué"
if "$cli" transcrire "$tmp/a.txt" "$tmp/b.dtv" --cpl 9 2> /dev/null; then echec "--cpl 9 accepté"; fi
[ ! -e "$tmp/b.dtv" ] || echec "document écrit malgré l'erreur"
if "$cli" inconnue 2> /dev/null; then echec "commande inconnue acceptée"; fi
"$cli" --help | grep -q 'transcrire ENTREE' || echec "aide"
echo "dotavob-cli : tout est conforme"
