#!/bin/sh
# A book is transcribed in little memory; memory that runs out is said in
# French, and nothing is written.
set -eu
cli=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }
phrase="Le petit chat dort dans le jardin pendant que leur mère prépare le repas."
i=0
while [ $i -lt 2000 ]; do echo "$phrase $phrase $phrase $phrase $phrase $phrase $phrase $phrase"; i=$((i + 1)); done > "$tmp/bloc.txt"
i=0
while [ $i -lt 60 ]; do cat "$tmp/bloc.txt"; i=$((i + 1)); done > "$tmp/livre.txt"
# About 73 MB of text: read, transcribed and written a piece at a time, it
# needs a few megabytes, and a 150 MB address space is enough.
(ulimit -v 150000; "$cli" transcrire "$tmp/livre.txt" "$tmp/livre.dtv") 2> "$tmp/err" ||
    echec "un livre de 73 Mo refusé sous 150 Mo : $(cat "$tmp/err")"
"$cli" transcrire "$tmp/livre.txt" - > "$tmp/memoire.dtv"
cmp -s "$tmp/livre.dtv" "$tmp/memoire.dtv" || echec "le livre écrit pièce par pièce diffère de celui fait en mémoire"
rm "$tmp/livre.dtv" "$tmp/memoire.dtv"
# The same text on a single line is one piece, as large as the text: the
# limit is too small for it.
tr -d '\n' < "$tmp/livre.txt" > "$tmp/ligne.txt"
if (ulimit -v 150000; "$cli" transcrire "$tmp/ligne.txt" "$tmp/ligne.dtv") 2> "$tmp/err"; then
    echec "transcription réussie sous une limite trop petite ?"
fi
grep -qx "dotavob-cli : Impossible d'enregistrer « $tmp/ligne.dtv » : mémoire insuffisante." "$tmp/err" ||
    echec "message : $(cat "$tmp/err")"
[ ! -e "$tmp/ligne.dtv" ] || echec "un document a été écrit"
[ -z "$(ls -A "$tmp" | grep -v '^bloc.txt$\|^livre.txt$\|^ligne.txt$\|^err$')" ] || echec "des fichiers temporaires restent : $(ls "$tmp")"
echo "mémoire insuffisante : réussi"
