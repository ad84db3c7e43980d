#!/bin/sh
# What dotavob-cli writes as PEF is valid PEF 2008-1 (the grammar
# tests/data/pef.rng, checked by xmllint), and so are the hand-made files
# that the tests read; the grammar itself refuses what breaks the format.
set -eu
cli=$1
case $cli in /*) ;; *) cli=$(pwd)/$cli ;; esac
donnees=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }
valide() {
    xmllint --noout --relaxng "$donnees/pef.rng" "$1" 2> "$tmp/xmllint" || { cat "$tmp/xmllint" >&2; echec "$2"; }
}

# Header, margins, a title to escape; a document with markers; a Braille ASCII file.
"$cli" exporter "$donnees/embossage.dtv" "$tmp/e.pef" --code pef --marge-haut 1 --marge-gauche 2 \
    --titre 'Titre <à> & « guillemets »'
valide "$tmp/e.pef" "export PEF de embossage.dtv"
grep -qF '<dc:title>Titre &lt;à&gt; &amp; « guillemets »</dc:title>' "$tmp/e.pef" || echec "titre échappé"
"$cli" exporter "$donnees/exemple.dtv" "$tmp/x.pef" --code pef
valide "$tmp/x.pef" "export PEF de exemple.dtv"
"$cli" exporter "$donnees/exemple.brf" "$tmp/b.pef" --code pef
valide "$tmp/b.pef" "export PEF de exemple.brf"
for f in "$donnees"/*.pef; do valide "$f" "fichier de test $f"; done

# A grammar that let anything through would prove nothing.
# Extensions stand in a body, a volume, a section or a page, never in a row,
# and never without a namespace.
for faute in '/dc:identifier/d' 's/cols="[0-9]*"/cols="0"/' 's/<section>/<section><note\/>/' 's/version="2008-1"/version="2"/' \
    's/<row>/<row><x:y xmlns:x="urn:x"\/>/' 's/<page>/<page><y xmlns=""\/>/'; do
    sed "$faute" "$tmp/e.pef" > "$tmp/faux.pef"
    if xmllint --noout --relaxng "$donnees/pef.rng" "$tmp/faux.pef" 2> /dev/null; then echec "grammaire trop large : $faute"; fi
done
echo "PEF conformes"
