#!/bin/sh
# aller_retour.sh LINUX-CLI WINDOWS-CLI DATA: a document written by one
# system reads the same on the other, byte for byte, both ways.
set -eu
linux=$1
windows=$2
donnees=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }

printf 'Élève à l’école, 12 mai 2024 : « Paris » coûte 3,5 %% de plus !\n\nDeuxième paragraphe ; œuf, Noël.\n' > "$tmp/texte.txt"
cp "$donnees/exemple.rtf" "$tmp/exemple.rtf"

# compare ÉCRIVAIN LECTEUR: the writer makes the documents, both read them.
compare() {
    ecrivain=$1
    lecteur=$2
    for source in texte.txt exemple.rtf; do
        doc="$tmp/$source.dtv"
        "$ecrivain" transcrire "$tmp/$source" "$doc" --cpl 25 --lignes 12
        # The same document from both, to the byte.
        "$lecteur" transcrire "$tmp/$source" "$tmp/autre.dtv" --cpl 25 --lignes 12
        cmp "$doc" "$tmp/autre.dtv" || echec "$source : documents différents"
        for sortie in "noir" "info" "exporter --code us" "exporter --code fr"; do
            set -- $sortie
            commande=$1
            shift
            if [ "$commande" = exporter ]; then
                "$ecrivain" exporter "$doc" "$tmp/e.txt" "$@"
                "$lecteur" exporter "$doc" "$tmp/l.txt" "$@"
                cmp "$tmp/e.txt" "$tmp/l.txt" || echec "$source : $sortie (fichier)"
                "$lecteur" exporter "$doc" - "$@" > "$tmp/l.txt"
            else
                "$ecrivain" "$commande" "$doc" > "$tmp/e.txt"
                "$lecteur" "$commande" "$doc" > "$tmp/l.txt"
            fi
            cmp "$tmp/e.txt" "$tmp/l.txt" || echec "$source : $sortie"
            [ -s "$tmp/e.txt" ] || echec "$source : $sortie vide"
        done
    done
}

compare "$linux" "$windows"
compare "$windows" "$linux"
echo "Linux et Windows : documents et sorties identiques"
