#!/bin/sh
# The layers, as the includes show them: every "#include" of the project
# points downward. Qt appears only in the interface and the platform layer,
# pugixml only in the files and outputs layers; the core's folders include one another in
# one order only.
# Usage: couches.sh SRC_DIR
set -u
src=$1
fautes=0

# What each folder may include, besides itself.
permis() {
    case $1 in
        core/memoire) echo "" ;;
        core/braille) echo "" ;;
        core/transcription) echo "core/memoire core/braille" ;;
        core/document) echo "core/memoire core/braille core/transcription" ;;
        core/noir) echo "core/memoire core/braille core/document" ;;
        core/editeur) echo "core/memoire core/braille core/transcription core/document core/noir" ;;
        core/fichiers) echo "core/memoire core/braille core/transcription core/document" ;;
        core/sorties) echo "core/memoire core/braille core/transcription core/document core/fichiers" ;;
        cli) echo "core/memoire core/braille core/transcription core/document core/noir core/editeur core/fichiers core/sorties plateforme" ;;
        plateforme) echo "core/memoire core/braille core/transcription core/document core/noir core/editeur core/fichiers core/sorties" ;;
        interface) echo "core/memoire core/braille core/transcription core/document core/noir core/editeur core/fichiers core/sorties plateforme" ;;
        *) echo "?" ;;
    esac
}

for f in $(cd "$src" && find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort); do
    dossier=$(dirname "$f")
    autorises=$(permis "$dossier")
    if [ "$autorises" = "?" ]; then
        echo "$f : dossier inconnu des couches ($dossier)"
        fautes=$((fautes + 1))
        continue
    fi
    case $f in
        plateforme/spouleur*) qt_permis=non ;;  # the command-line tool links them: no Qt
        interface/*|plateforme/*) qt_permis=oui ;;
        *) qt_permis=non ;;
    esac
    # The XML library belongs to the files and outputs layers, where the PEF
    # files are read and written; nothing else depends on it.
    case $dossier in
        core/fichiers|core/sorties) ;;
        *)
            if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<pugixml' "$src/$f"; then
                echo "$f : pugixml n'a sa place que dans core/fichiers et core/sorties"
                fautes=$((fautes + 1))
            fi ;;
    esac
    case $qt_permis in
        oui) ;;
        *)
            if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$src/$f"; then
                echo "$f : Qt interdit ici"
                fautes=$((fautes + 1))
            fi ;;
    esac
    for inc in $(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$src/$f"); do
        cible=$(dirname "$inc")
        [ "$cible" = "$dossier" ] && continue
        ok=0
        for a in $autorises; do [ "$a" = "$cible" ] && ok=1; done
        if [ $ok -eq 0 ]; then
            echo "$f inclut $inc : $dossier ne peut inclure que : ${autorises:-(rien)}"
            fautes=$((fautes + 1))
        fi
    done
done

if [ $fautes -ne 0 ]; then
    echo "$fautes inclusion(s) contre les couches"
    exit 1
fi
echo "couches respectées"
