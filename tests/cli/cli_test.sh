#!/bin/sh
# dotavob-cli as a script uses it: outputs, exit codes, nothing half-written.
set -eu
cli=$1
case $cli in /*) ;; *) cli=$(pwd)/$cli ;; esac
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

# « - » is standard output for every command that writes a file.
(cd "$tmp" && "$cli" transcrire a.txt - --cpl 20 > sortie.dtv)
[ ! -e "$tmp/-" ] || echec "fichier « - » créé"
cmp -s "$tmp/sortie.dtv" "$tmp/a.dtv" || echec "transcrire vers la sortie standard"

# An option given twice takes its last value, in every command.
"$cli" transcrire "$tmp/a.txt" "$tmp/r.dtv" --cpl 12 --cpl 20
cmp -s "$tmp/r.dtv" "$tmp/a.dtv" || echec "option répétée (transcrire)"
"$cli" exporter "$tmp/a.dtv" - --code us --code fr | cmp -s - "$tmp/fr.txt" || echec "option répétée (exporter)"
texte="un deux trois quatre cinq six sept"
[ "$("$cli" demo "$texte" --cpl 40 --cpl 10)" = "$("$cli" demo "$texte" --cpl 10)" ] || echec "option répétée (demo)"

# A file of the old print-text layout tells its own version.
printf '\005\000\001\000\036\034\000\001\000\001\000\000\000a\000' > "$tmp/ancien.dtv"
"$cli" info "$tmp/ancien.dtv" | grep -qx 'version: 5' || echec "version d'un ancien fichier"

# A folder is called a folder, with or without its final slash.
mkdir "$tmp/dossier"
for d in "$tmp/dossier" "$tmp/dossier/"; do
    if "$cli" info "$d" 2> "$tmp/err"; then echec "dossier « $d » lu"; fi
    grep -qF "« $d » est un dossier, pas un fichier." "$tmp/err" || echec "message du dossier « $d » (lecture)"
    if "$cli" transcrire "$tmp/a.txt" "$d" 2> "$tmp/err"; then echec "dossier « $d » écrit"; fi
    grep -qF "« $d » est un dossier, pas un fichier." "$tmp/err" || echec "message du dossier « $d » (écriture)"
done

# A file that opens but cannot be read: a message and status 1, no crash.
if [ -r /proc/self/mem ]; then
    rc=0
    "$cli" info /proc/self/mem 2> "$tmp/err" || rc=$?
    [ "$rc" -eq 1 ] || echec "lecture impossible : code $rc"
    grep -qF '« /proc/self/mem »' "$tmp/err" || echec "message de lecture impossible"
fi

# Output that cannot be written is a failure, not a success.
if [ -w /dev/full ]; then
    for commande in "--help" "demo" "info a.dtv" "noir a.dtv" "transcrire a.txt -"; do
        if (cd "$tmp" && "$cli" $commande > /dev/full 2> err); then echec "« $commande » sur un disque plein"; fi
        grep -q 'sortie standard' "$tmp/err" || echec "message de « $commande » sur un disque plein"
    done
fi

# Braille exchange files. A .brf is the Code US export; read back, its last
# line end is what closed the last line.
"$cli" exporter "$tmp/a.dtv" "$tmp/a.brf"
cmp -s "$tmp/a.brf" "$tmp/us.txt" || echec "export .brf"
"$cli" importer "$tmp/a.brf" "$tmp/b.dtv"
"$cli" exporter "$tmp/b.dtv" "$tmp/b.brf"
printf '.bonjour .paris4\r\n.le ,*< mai4' | cmp -s - "$tmp/b.brf" || echec "aller-retour .brf"
"$cli" importer "$tmp/b.brf" "$tmp/c.dtv"
cmp -s "$tmp/c.dtv" "$tmp/b.dtv" || echec "second aller-retour .brf"
# Another program's file: capitals, a page break, the last page closed by FF.
"$cli" importer "$donnees/exemple.brf" "$tmp/e.dtv"
"$cli" info "$tmp/e.dtv" | grep -qx 'pages: 2' || echec "pages d'un .brf"
printf 'bonjour .paris4\r\n.le ,*< mai4\r\n\f.page deux4' > "$tmp/attendu.brf"
"$cli" exporter "$tmp/e.dtv" - | cmp -s - "$tmp/attendu.brf" || echec "cellules d'un .brf"
# The name tells the format, in any case; a .txt is Braille ASCII, and a .brf
# or .pef opens wherever a document does.
cp "$donnees/exemple.brf" "$tmp/EXEMPLE.TXT"
"$cli" importer "$tmp/EXEMPLE.TXT" "$tmp/t.dtv"
cmp -s "$tmp/t.dtv" "$tmp/e.dtv" || echec "importer un .TXT"
"$cli" exporter "$donnees/exemple.brf" - | cmp -s - "$tmp/attendu.brf" || echec "exporter un .brf"
# Unicode braille: UTF-8 cells, the same line ends.
printf 'ab\r\ncd\r\n' > "$tmp/ab.brf"
"$cli" exporter "$tmp/ab.brf" - --code unicode > "$tmp/ab.txt"
printf '\342\240\201\342\240\203\r\n\342\240\211\342\240\231' | cmp -s - "$tmp/ab.txt" || echec "exporter --code unicode"
# ... and it opens again as the same cells; the old end-of-file mark ends a .brf.
"$cli" exporter "$tmp/ab.brf" "$tmp/ab.txt.brf"
"$cli" importer "$tmp/ab.txt" "$tmp/ab-u.dtv" && "$cli" exporter "$tmp/ab-u.dtv" - | cmp -s - "$tmp/ab.txt.brf" ||
    echec "importer l'export unicode"
{ cat "$donnees/exemple.brf"; printf '\032'; } > "$tmp/z.brf"
"$cli" importer "$tmp/z.brf" "$tmp/z.dtv" && cmp -s "$tmp/z.dtv" "$tmp/e.dtv" || echec "fin de fichier 0x1A"
# The formatted pages in Braille ASCII: a header, each page ended by a form feed.
"$cli" exporter "$donnees/embossage.dtv" "$tmp/pages.brf" --code brf-pages --marge-gauche 2
[ "$(tr -cd '\f' < "$tmp/pages.brf" | wc -c)" = "$("$cli" info "$donnees/embossage.dtv" | sed -n 's/^pages: //p')" ] ||
    echec "une page, un saut de page"
"$cli" exporter "$donnees/embossage.dtv" - --code brf-pages --marge-gauche 2 | cmp -s - "$tmp/pages.brf" || echec "brf-pages sur la sortie standard"
if "$cli" exporter "$donnees/embossage.dtv" - --code us --marge-gauche 2 2> /dev/null; then echec "marge hors des pages"; fi
# PEF: the pages as embossed, read back page for page, written again the same.
"$cli" exporter "$tmp/a.dtv" "$tmp/a.pef" --code pef --lignes 4 --titre a
grep -q '<volume cols="20" rows="4" rowgap="0" duplex="false">' "$tmp/a.pef" || echec "volume PEF"
"$cli" importer "$tmp/a.pef" "$tmp/p.dtv"
"$cli" exporter "$tmp/p.dtv" "$tmp/p.pef" --code pef --lignes 4 --titre a
grep -v 'dc:identifier\|dc:date' "$tmp/a.pef" > "$tmp/a-corps.pef"
grep -v 'dc:identifier\|dc:date' "$tmp/p.pef" | cmp -s - "$tmp/a-corps.pef" || echec "aller-retour PEF"
# Every row a line, the blank rows of the page included.
"$cli" exporter "$tmp/a.pef" "$tmp/pef.brf"
printf '.bonjour .paris4\r\n.le ,*< mai4\r\n\r\n' | cmp -s - "$tmp/pef.brf" || echec "rangées d'un PEF"
"$cli" importer "$donnees/volumes.pef" "$tmp/v.dtv"
"$cli" info "$tmp/v.dtv" | grep -qx 'pages: 5' || echec "volumes PEF"
# What cannot be read is refused whole: a message, status 1, the output left as it was.
cp "$tmp/b.dtv" "$tmp/garde.dtv"
printf 'ab\r\ncd\351\r\n' > "$tmp/faux.brf"
if "$cli" importer "$tmp/faux.brf" "$tmp/b.dtv" 2> "$tmp/err"; then echec ".brf fautif accepté"; fi
grep -qF "« $tmp/faux.brf » n'est pas un fichier braille ASCII lisible : l'octet 0xE9 de la ligne 2, colonne 3, n'est pas du braille ASCII." "$tmp/err" || echec "message du .brf fautif"
sed 's|ns/2008/pef|ns/2009/pef|' "$donnees/volumes.pef" > "$tmp/faux.pef"
if "$cli" importer "$tmp/faux.pef" "$tmp/b.dtv" 2> "$tmp/err"; then echec ".pef fautif accepté"; fi
grep -qF "n'est pas un fichier PEF lisible : l'élément racine « pef » n'est pas dans l'espace de noms de PEF" "$tmp/err" || echec "message du .pef fautif"
head -c 700 "$donnees/volumes.pef" > "$tmp/tronque.pef"
if "$cli" importer "$tmp/tronque.pef" "$tmp/b.dtv" 2> "$tmp/err"; then echec ".pef tronqué accepté"; fi
grep -qF 'XML mal formé' "$tmp/err" || echec "message du .pef tronqué"
if "$cli" importer "$tmp/a.dtv" "$tmp/b.dtv" 2> "$tmp/err"; then echec "format inconnu importé"; fi
grep -qF 'format inconnu' "$tmp/err" || echec "message du format inconnu"
cmp -s "$tmp/b.dtv" "$tmp/garde.dtv" || echec "document remplacé malgré l'erreur"
if "$cli" exporter "$tmp/a.dtv" - --code braille 2> /dev/null; then echec "--code braille accepté"; fi
if "$cli" exporter "$tmp/a.dtv" - --code us --lignes 4 2> "$tmp/err"; then echec "--lignes sans pef accepté"; fi
grep -qF -- "--lignes ne vaut que pour --code pef" "$tmp/err" || echec "message de --lignes sans pef"
"$cli" --help | grep -q 'importer FICHIER.brf|FICHIER.pef' || echec "aide (importer)"
"$cli" --help | grep -q 'exporter DOC SORTIE \[--code us|fr|unicode|pef|brf-pages\]' || echec "aide (exporter)"
echo "dotavob-cli : tout est conforme"

# What a transcription leaves out is said once on standard error; it still succeeds.
printf 'caf\303\251 \302\266 \342\200\242 \302\266 \377\n' > "$tmp/omis.txt"
"$cli" transcrire "$tmp/omis.txt" "$tmp/omis.dtv" 2> "$tmp/err" || echec "transcription avec omissions refusée"
grep -qx 'dotavob-cli : 1 octet invalide en UTF-8 a été remplacé par « ? ».' "$tmp/err" || echec "octet invalide non signalé"
grep -qx 'dotavob-cli : 3 caractères sans équivalent braille ont été omis : ¶ •' "$tmp/err" || echec "caractères omis non signalés"
[ "$(wc -l < "$tmp/err")" -eq 2 ] || echec "omissions signalées plus d'une fois"
# What code page 1252 cannot hold becomes "?", and is said too: an emoji is one character.
printf 'grec \316\261\316\262 \342\211\244 \360\237\230\200 \316\261\n' > "$tmp/remplaces.txt"
"$cli" transcrire "$tmp/remplaces.txt" "$tmp/remplaces.dtv" 2> "$tmp/err" || echec "transcription avec remplacements refusée"
grep -qx 'dotavob-cli : 5 caractères sans équivalent dans le jeu de caractères du document ont été remplacés par « ? » : α β ≤ 😀' "$tmp/err" ||
    echec "caractères remplacés non signalés : $(cat "$tmp/err")"

# Text that an RTF file leaves out is said.
"$cli" transcrire "$donnees/notes.rtf" "$tmp/notes.dtv" 2> "$tmp/err" || echec "transcription d'un RTF à notes refusée"
grep -qx 'dotavob-cli : notes de bas de page omises.' "$tmp/err" || echec "notes omises non signalées : $(cat "$tmp/err")"

# Standard output carries the same bytes as a file: no CR added before LF.
"$cli" exporter "$tmp/a.dtv" "$tmp/us-fichier.txt" --code us
"$cli" exporter "$tmp/a.dtv" - --code us | cmp -s - "$tmp/us-fichier.txt" || echec "sortie standard différente du fichier"

# Names in any script, for inputs, outputs and messages.
cp "$tmp/a.txt" "$tmp/élève.txt"
"$cli" transcrire "$tmp/élève.txt" "$tmp/Ελλάδα.dtv" --cpl 20
cmp -s "$tmp/Ελλάδα.dtv" "$tmp/a.dtv" || echec "document au nom grec"
"$cli" exporter "$tmp/Ελλάδα.dtv" "$tmp/Привет.txt" --code us
cmp -s "$tmp/Привет.txt" "$tmp/us-fichier.txt" || echec "export au nom cyrillique"
if "$cli" noir "$tmp/Привет.dtv" 2> "$tmp/err"; then echec "document cyrillique absent accepté"; fi
grep -qF "« $tmp/Привет.dtv » : fichier ou dossier introuvable." "$tmp/err" || echec "message au nom cyrillique"
