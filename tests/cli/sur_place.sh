#!/usr/bin/env bash
# A document with a second hard link is saved into the file itself. The
# command-line tool is killed (kill -9) at random points of such saves: the
# file then opens as the old or the new document, or says that its save was
# cut short and names the new one, whole.
#   sur_place.sh DOTAVOB-CLI
set -u
cli=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
export HOME=$t XDG_DATA_HOME=$t/donnees  # its own data folder
echecs=0
echoue() { echo "ÉCHEC $*"; echecs=$((echecs + 1)); }

# Two books of different sizes, as their page counts tell them apart.
phrase="Le petit chat dort dans le jardin pendant que leur mère prépare le repas. "
for _ in $(seq 4000); do printf '%s%s%s\n' "$phrase" "$phrase" "$phrase"; done >"$t/court.txt"
for _ in $(seq 25); do cat "$t/court.txt"; done >"$t/long.txt"
"$cli" transcrire "$t/court.txt" "$t/court.dtv" >/dev/null && "$cli" transcrire "$t/long.txt" "$t/long.dtv" >/dev/null ||
    { echo "ÉCHEC transcription"; exit 1; }
pages() { "$cli" info "$1" 2>&1 | sed -n 's/^pages: //p'; }
court=$(pages "$t/court.dtv")
long=$(pages "$t/long.dtv")
[ -n "$court" ] && [ "$court" != "$long" ] || { echo "ÉCHEC les deux livres ne se distinguent pas ($court, $long)"; exit 1; }

doc=$t/livre.dtv
cp "$t/court.dtv" "$doc"
ln "$doc" "$t/autre-nom.dtv"
interrompus=0
for tour in $(seq 30); do
    source=$([ $((tour % 2)) -eq 0 ] && echo court || echo long)
    "$cli" transcrire "$t/$source.txt" "$doc" >/dev/null 2>&1 &
    p=$!
    if [ $((tour % 3)) -eq 0 ]; then
        # Killed as soon as the side copy is down: inside the write in place.
        for _ in $(seq 2000); do
            compgen -G "$XDG_DATA_HOME/*/*/sur-place/*.dtv" >/dev/null && break
            sleep 0.005
        done
    else
        sleep "0.$((10 + RANDOM % 30))"
    fi
    kill -9 "$p" 2>/dev/null
    wait "$p" 2>/dev/null
    info=$("$cli" info "$t/autre-nom.dtv" 2>&1)
    n=$(printf '%s\n' "$info" | sed -n 's/^pages: //p')
    if [ -n "$n" ]; then
        [ "$n" = "$court" ] || [ "$n" = "$long" ] || echoue "tour $tour : $n pages, ni l'ancien ni le nouveau livre"
        continue
    fi
    interrompus=$((interrompus + 1))
    case "$info" in
        *interrompu*) ;;
        *) echoue "tour $tour : ni un livre entier ni une interruption dite : $info" ; continue ;;
    esac
    copie=$(printf '%s\n' "$info" | grep -o '« [^»]*sur-place[^»]* »' | sed 's/^« //; s/ »$//')
    n=$(pages "$copie")
    [ "$n" = "$court" ] || [ "$n" = "$long" ] || echoue "tour $tour : la copie gardée n'est pas un livre entier ($copie : $n)"
done
[ "$(stat -c %h "$doc")" = 2 ] || echoue "le second lien est perdu"
echo "$interrompus enregistrement(s) sur 30 interrompu(s) dans le fichier"
[ "$interrompus" -gt 0 ] || echoue "aucun enregistrement interrompu : le test n'a rien éprouvé"
[ $echecs -eq 0 ] && echo "enregistrements sur place : réussi"
exit $((echecs != 0))
