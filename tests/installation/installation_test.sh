#!/bin/sh
# cmake --install into a fresh prefix: every file in its place and well
# formed, the desktop entry naming the installed editor, the tool running
# from the installed bin.
# Usage: installation_test.sh BUILD_DIR SOURCE_DIR EDITEUR(1 when the editor is built, else 0)
set -eu
build=$1
source=$2
editeur=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }
for outil in xmllint desktop-file-validate; do
    command -v "$outil" > /dev/null || echec "$outil manque (./dev deps l'installe)"
done

# A space and a dollar in the prefix: the entry must quote and escape the path.
prefixe="$tmp/racine \$dotavob"
cmake --install "$build" --prefix "$prefixe" > "$tmp/journal" 2>&1 || { cat "$tmp/journal" >&2; echec "cmake --install"; }

# Everything the install says it wrote is there (the list ends without a newline).
[ -s "$build/install_manifest.txt" ] || echec "install_manifest.txt absent"
while IFS= read -r f || [ -n "$f" ]; do
    [ -f "$f" ] || echec "fichier installé absent : $f"
done < "$build/install_manifest.txt"

attendus="bin/dotavob-cli"
[ "$editeur" = 1 ] && attendus="$attendus bin/dotavob share/applications/dotavob.desktop
    share/icons/hicolor/scalable/apps/dotavob.svg share/mime/packages/dotavob.xml"
for f in $attendus; do
    [ -f "$prefixe/$f" ] || echec "$f n'est pas installé"
    grep -qxF "$prefixe/$f" "$build/install_manifest.txt" || echec "$f absent de install_manifest.txt"
done
[ "$(grep -c '' "$build/install_manifest.txt")" -eq "$(echo $attendus | wc -w)" ] ||
    echec "fichiers installés en trop : $(cat "$build/install_manifest.txt")"

# The tool runs from the installed bin, with nothing from the build folder.
"$prefixe/bin/dotavob-cli" --help > "$tmp/aide" || echec "dotavob-cli --help depuis le bin installé"
grep -q 'transcrire ENTREE' "$tmp/aide" || echec "aide de dotavob-cli installé"
printf 'Bonjour.\n' > "$tmp/a.txt"
(cd "$tmp" && "$prefixe/bin/dotavob-cli" transcrire a.txt a.dtv && "$prefixe/bin/dotavob-cli" noir a.dtv > noir.txt) ||
    echec "dotavob-cli installé : transcrire puis noir"
printf 'Bonjour.\r\n' | cmp -s - "$tmp/noir.txt" || echec "dotavob-cli installé : texte relu"

[ "$editeur" = 1 ] || exit 0

[ -x "$prefixe/bin/dotavob" ] || echec "dotavob n'est pas exécutable"
if ldd "$prefixe/bin/dotavob" | grep -q 'not found'; then echec "bibliothèque manquante : $(ldd "$prefixe/bin/dotavob" | grep 'not found')"; fi

# The desktop entry: valid (hints allowed, no warning nor error), and its
# Exec and TryExec are the installed editor, quoted and escaped.
entree="$prefixe/share/applications/dotavob.desktop"
desktop-file-validate "$entree" > "$tmp/validation" 2>&1 || { cat "$tmp/validation" >&2; echec "desktop-file-validate"; }
if grep -E ': (warning|error):' "$tmp/validation" >&2; then echec "desktop-file-validate"; fi
ligne() { grep "^$1=" "$entree" || echec "clé $1 absente de l'entrée"; }
[ "$(ligne Exec)" = "Exec=\"$tmp/racine \\\\\$dotavob/bin/dotavob\" %f" ] || echec "Exec : $(ligne Exec)"
[ "$(ligne TryExec)" = "TryExec=$prefixe/bin/dotavob" ] || echec "TryExec : $(ligne TryExec)"
[ "$(ligne MimeType)" = "MimeType=application/x-dotavob;" ] || echec "MimeType : $(ligne MimeType)"
[ "$(ligne Icon)" = "Icon=dotavob" ] || echec "Icon : $(ligne Icon)"
if grep -q '@' "$entree"; then echec "entrée non remplie : $(grep '@' "$entree")"; fi

# The file type, and the icon: well-formed XML of the right kind.
xmllint --noout "$prefixe/share/mime/packages/dotavob.xml" || echec "XML du type de fichier"
xmllint --xpath "//*[local-name()='mime-type'][@type='application/x-dotavob']/*[local-name()='glob']/@pattern" \
    "$prefixe/share/mime/packages/dotavob.xml" | grep -q 'pattern="\*\.dtv"' || echec "type application/x-dotavob sans *.dtv"
xmllint --noout "$prefixe/share/icons/hicolor/scalable/apps/dotavob.svg" || echec "SVG de l'icône"
[ "$(xmllint --xpath "name(/*)" "$prefixe/share/icons/hicolor/scalable/apps/dotavob.svg")" = svg ] || echec "l'icône n'est pas un SVG"

# Installed straight into a prefix, the file type and its editor are known at once.
if command -v update-mime-database > /dev/null; then
    grep -qF 'application/x-dotavob:*.dtv' "$prefixe/share/mime/globs2" || echec "*.dtv absent de la base des types"
fi
if command -v update-desktop-database > /dev/null; then
    grep -qF 'application/x-dotavob=dotavob.desktop;' "$prefixe/share/applications/mimeinfo.cache" ||
        echec "DotavoB absent des programmes qui ouvrent application/x-dotavob"
fi

# Every tool-bar icon: well-formed SVG on a 24 × 24 grid, and in the resources.
qrc="$source/src/interface/ressources.qrc"
xmllint --noout "$qrc" || echec "ressources.qrc"
n=0
for svg in "$source"/src/interface/icones/*.svg; do
    nom=$(basename "$svg")
    xmllint --noout "$svg" || echec "SVG mal formé : $nom"
    [ "$(xmllint --xpath "string(/*[local-name()='svg']/@viewBox)" "$svg")" = "0 0 24 24" ] || echec "$nom : viewBox autre que 0 0 24 24"
    grep -qF "<file alias=\"icones/$nom\">icones/$nom</file>" "$qrc" || echec "$nom absent de ressources.qrc"
    n=$((n + 1))
done
[ "$n" -eq "$(grep -c '<file ' "$qrc")" ] || echec "ressources.qrc nomme des icônes absentes du dossier"
exit 0
