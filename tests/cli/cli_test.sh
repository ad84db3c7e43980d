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
echo "dotavob-cli : tout est conforme"

# What a transcription leaves out is said once on standard error; it still succeeds.
printf 'caf\303\251 \302\266 \342\200\242 \302\266 \377\n' > "$tmp/omis.txt"
"$cli" transcrire "$tmp/omis.txt" "$tmp/omis.dtv" 2> "$tmp/err" || echec "transcription avec omissions refusée"
grep -qx 'dotavob-cli : 1 octet invalide en UTF-8 a été remplacé par « ? ».' "$tmp/err" || echec "octet invalide non signalé"
grep -qx 'dotavob-cli : 3 caractères sans équivalent braille ont été omis : ¶ •' "$tmp/err" || echec "caractères omis non signalés"
[ "$(wc -l < "$tmp/err")" -eq 2 ] || echec "omissions signalées plus d'une fois"

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
