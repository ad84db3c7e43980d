#!/bin/sh
# Memory that runs out is said in French, and nothing is written: a book
# transcribed under a memory limit too small for it.
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
# About 73 MB of text: a 150 MB address space is too small to transcribe it.
if (ulimit -v 150000; "$cli" transcrire "$tmp/livre.txt" "$tmp/livre.dtv") 2> "$tmp/err"; then
    echec "transcription réussie sous une limite trop petite ?"
fi
grep -qx "dotavob-cli : mémoire insuffisante pour « transcrire » ; rien n'a été écrit." "$tmp/err" ||
    echec "message : $(cat "$tmp/err")"
[ ! -e "$tmp/livre.dtv" ] || echec "un document a été écrit"
[ -z "$(ls -A "$tmp" | grep -v '^bloc.txt$\|^livre.txt$\|^err$')" ] || echec "des fichiers temporaires restent : $(ls "$tmp")"
echo "mémoire insuffisante : réussi"
