#!/bin/sh
# cpack -G DEB: the Debian package holds the installed files under /usr,
# owned by root, with its name, version and the libraries it needs.
# Usage: paquet_test.sh BUILD_DIR VERSION EDITEUR(1 when the editor is built, else 0)
set -eu
build=$1
version=$2
editeur=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }
for outil in dpkg-deb dpkg-shlibdeps; do
    command -v "$outil" > /dev/null || echec "$outil manque (./dev deps l'installe)"
done

# Made outside the build folder, so that nothing of a run stays behind.
(cd "$build" && cpack -G DEB -B "$tmp/paquet") > "$tmp/journal" 2>&1 || { cat "$tmp/journal" >&2; echec "cpack -G DEB"; }
set -- "$tmp"/paquet/dotavob_"$version"_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || echec "paquet dotavob_${version}_*.deb absent : $(ls "$tmp/paquet")"
deb=$1

champ() { dpkg-deb -f "$deb" "$1"; }
[ "$(champ Package)" = dotavob ] || echec "Package : $(champ Package)"
[ "$(champ Version)" = "$version" ] || echec "Version : $(champ Version)"
[ "$(champ Maintainer)" = DotavoB ] || echec "Maintainer : $(champ Maintainer)"
[ "$(champ Architecture)" = "$(dpkg --print-architecture)" ] || echec "Architecture : $(champ Architecture)"
champ Description | grep -q 'braille français' || echec "Description : $(champ Description)"
depend() { champ Depends | tr ',' '\n' | grep -q "^ *$1\( \|$\)" || echec "Depends sans $1 : $(champ Depends)"; }
depend libc6
depend libcups2
# dotavob-cli carries its C++ runtime; the editor uses the system's, as Qt does.
if [ "$editeur" = 1 ]; then depend libstdc++6; depend libqt6widgets6; depend libqt6svg6; fi

# Exactly the expected files, all under /usr and owned by root.
dpkg-deb -c "$deb" > "$tmp/contenu"
if grep -v ' root/root ' "$tmp/contenu" >&2; then echec "fichiers qui n'appartiennent pas à root"; fi
awk '$1 !~ /^d/ { print $6 }' "$tmp/contenu" | sort > "$tmp/fichiers"
{
    echo ./usr/bin/dotavob-cli
    if [ "$editeur" = 1 ]; then
        echo ./usr/bin/dotavob
        echo ./usr/share/applications/dotavob.desktop
        echo ./usr/share/icons/hicolor/scalable/apps/dotavob.svg
        echo ./usr/share/mime/packages/dotavob.xml
    fi
} | sort > "$tmp/attendus"
diff "$tmp/attendus" "$tmp/fichiers" >&2 || echec "contenu du paquet"

# Unpacked, the tool runs and the entry names the editor under /usr.
dpkg-deb -x "$deb" "$tmp/racine"
"$tmp/racine/usr/bin/dotavob-cli" --help | grep -q 'transcrire ENTREE' || echec "dotavob-cli du paquet"
if [ "$editeur" = 1 ]; then
    grep -qx 'Exec=/usr/bin/dotavob %f' "$tmp/racine/usr/share/applications/dotavob.desktop" ||
        echec "Exec de l'entrée du paquet : $(grep '^Exec=' "$tmp/racine/usr/share/applications/dotavob.desktop")"
fi
exit 0
