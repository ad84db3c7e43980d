#!/usr/bin/env bash
# The editor read by a real screen-reader stack, in French, as a blind
# transcriber works: on a private X server and a private session bus, the
# AT-SPI registry reads both pages (text, caret, selection, events, focus,
# every text boundary), then Orca speaks, its speech captured in a file, and
# shows its Braille line on brltty's virtual display, while real keys type,
# read lines, walk the menus, choose a sign, turn pages, emboss and save.
# Each step says its name as it starts; a run that takes too long says
# which step it was in.
#   lecteur_ecran.sh DOTAVOB DOTAVOB_CLI
set -uo pipefail
ici=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != "--session" ]; then
    dotavob=$1 cli=$2
    for outil in Xvfb openbox xdotool xprop dbus-run-session orca speech-dispatcher spd-say brltty localedef \
        unshare /usr/libexec/at-spi-bus-launcher; do
        command -v "$outil" >/dev/null || { echo "outil absent : $outil (./dev deps l'installe)"; exit 1; }
    done
    /usr/bin/python3 -c 'import pyatspi, brlapi' || { echo "pyatspi ou brlapi absent (./dev deps l'installe)"; exit 1; }
    T=$(mktemp -d)
    # The user's folders, before the bus starts: dconf, Orca and speech-dispatcher read there.
    export HOME=$T/home XDG_CONFIG_HOME=$T/home/.config XDG_DATA_HOME=$T/home/.local/share \
        XDG_CACHE_HOME=$T/home/.cache XDG_RUNTIME_DIR=$T/run
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # French, as our users have it: the locale made here when the system lacks it.
    if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
        mkdir -p "$T/locale"
        localedef -i fr_FR -f UTF-8 "$T/locale/fr_FR.UTF-8" 2>"$T/localedef.log" && export LOCPATH=$T/locale
    fi
    export LANG=fr_FR.UTF-8 LANGUAGE=fr
    unset LC_ALL QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
    Xvfb -displayfd 3 -noreset -screen 0 1400x900x24 -nolisten tcp 3>"$T/affichage" >"$T/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$T/affichage" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -1 "$T/affichage")
    # The expected cells: the command-line tool's transcription.
    cellules=$("$cli" demo "Le chat." | sed -n '/^Braille :/{n;p;q}')
    T=$T dotavob=$dotavob cli=$cli cellules=$cellules timeout -k 10 ${DOTAVOB_ATTENTE_LECTEUR:-360} \
        dbus-run-session -- bash "$0" --session
    r=$?
    [ $r -eq 124 ] && echo "ÉCHEC délai dépassé pendant l'étape : $(cat "$T/etape" 2>/dev/null)"
    # Whatever the session left (speech-dispatcher outlives its bus) goes with the run.
    for f in "$XDG_RUNTIME_DIR"/speech-dispatcher/pid/*.pid "$T"/*.pid; do
        [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null
    done
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    # GARDE=DOSSIER keeps the speech, the display and Orca's log for a look.
    [ -n "${GARDE:-}" ] && cp -r "$T" "$GARDE"
    rm -rf "$T"
    exit $r
fi

# Inside the session bus.
pids=()
fin() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for f in "$XDG_RUNTIME_DIR"/speech-dispatcher/pid/*.pid; do [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
    wait 2>/dev/null
}
trap fin EXIT
echecs=0
debut=$SECONDS
etape() { echo "== [$((SECONDS - debut)) s] $1"; echo "$1" >"$T/etape"; }
verifie() {  # verifie NOM CONDITION...
    local nom=$1; shift
    if "$@"; then echo "ok   $nom"; else echo "ÉCHEC $nom"; echecs=$((echecs + 1)); fi
}
egal() {  # egal NOM ATTENDU OBTENU
    if [ "$2" = "$3" ]; then echo "ok   $1"; else
        echo "ÉCHEC $1"; echo "     attendu : $2"; echo "     obtenu  : $3"; echecs=$((echecs + 1))
    fi
}
py() { /usr/bin/python3 "$ici/lecteur_ecran.py" "$@"; }
source "$ici/../parcours/fenetres.sh"
dit() { tr '\n' '|' <"$T/parole.txt"; }
# What one key made Orca say, its utterances run together (it cuts a line at its sentences).
ditTout() { tr -d '\n' <"$T/parole.txt"; }
# Sends keys after emptying the speech; waits for what they make Orca say.
parle() {  # parle SECONDES TOUCHES...
    local s=$1; shift
    : >"$T/parole.txt"
    xdotool key --delay 150 "$@"
    sleep "$s"
}

# Speech first, before anything could start speech-dispatcher: its
# configuration writes what it would say to a file, in French.
etape "configuration de la parole"
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher/modules"
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<FIN
AddModule "capture" "sd_generic" "capture.conf"
DefaultModule capture
DefaultLanguage "fr"
AudioOutputMethod "alsa"
AudioALSADevice "null"
FIN
cat >"$XDG_CONFIG_HOME/speech-dispatcher/modules/capture.conf" <<FIN
GenericExecuteSynth "printf '%s\\\\n' \'\$DATA\' >> $T/parole.txt"
GenericCmdDependency "printf"
GenericLanguage "fr" "fr" "utf-8"
AddVoice "fr" "MALE1" "capture"
FIN
# Keys are not echoed, punctuation is not said: what Orca says of the
# typing comes from the page's text (a word when it ends).
mkdir -p "$XDG_DATA_HOME/orca"
cat >"$XDG_DATA_HOME/orca/user-settings.conf" <<FIN
{"general": {"enableKeyEcho": false, "enableEchoByWord": true, "enableEchoByCharacter": false,
             "verbalizePunctuationStyle": 3},
 "profiles": {"default": {"profile": ["Default", "default"], "enableKeyEcho": false, "enableEchoByWord": true,
                          "enableEchoByCharacter": false, "verbalizePunctuationStyle": 3}},
 "pronunciations": {}, "keybindings": {}}
FIN
touch "$T/parole.txt"

# speech-dispatcher started and checked here, before Orca: it must answer,
# within bounds, or the journey says so (Orca would hang in its first call).
etape "speech-dispatcher"
parole_prete() {
    speech-dispatcher -d -t 0 >>"$T/speechd.log" 2>&1
    for _ in $(seq 50); do
        timeout 5 spd-say -w "prêt" >/dev/null 2>&1 && grep -q "prêt" "$T/parole.txt" && return 0
        sleep 0.2
    done
    return 1
}
if ! parole_prete; then
    for f in "$XDG_RUNTIME_DIR"/speech-dispatcher/pid/*.pid; do [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
    sleep 1
    parole_prete || { echo "ÉCHEC speech-dispatcher ne répond pas"; tail -5 "$T/speechd.log"; exit 1; }
fi

etape "bus d'accessibilité et gestionnaire de fenêtres"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$T/atspi.log" 2>&1 &
pids+=($!)
openbox >"$T/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
py bus || exit 1

etape "démarrage de l'éditeur"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$dotavob" >"$T/dotavob.log" 2>&1 &
editeur=$!
pids+=($editeur)
fenetre=$(cherche_fenetre 30 '^DotavoB')
[ -n "$fenetre" ] || { echo "ÉCHEC la fenêtre de DotavoB n'est pas apparue"; cat "$T/dotavob.log"; exit 1; }
for _ in $(seq 10); do
    xdotool windowactivate --sync "$fenetre" 2>/dev/null
    xdotool getwindowfocus getwindowname 2>/dev/null | grep -q '^DotavoB' && break
    sleep 0.3
done
sleep 0.5

etape "les pages lues par le registre"
[ -n "${LISTE:-}" ] && py liste
py arbre "$cellules" || echecs=$((echecs + 1))

etape "chaque morceau de texte demandé à chaque position"
# Lines that start with "(" and "- ", as French dialogue does.
xdotool key --delay 100 Return
xdotool type --delay 60 "(oui) dit-il."
xdotool key --delay 100 Return
printf '%s' "- Oui. Non ?" | xdotool type --delay 60 --file -
sleep 0.5
py frontieres || echecs=$((echecs + 1))

# Orca, in a process space of its own: it refuses to start while another
# Orca of the same user runs, and must not see it. Its Braille line goes to
# brltty's virtual display, played by our listener.
etape "démarrage d'Orca"
espace=(unshare --pid --fork --kill-child --mount-proc)
[ "$(id -u)" -ne 0 ] && espace=(unshare --map-current-user --pid --fork --kill-child --mount-proc)
if ! "${espace[@]}" true 2>/dev/null; then
    if pgrep -u "$(id -u)" -x orca >/dev/null; then
        echo "lecteur d'écran : Orca ignoré — un autre Orca tourne pour cet utilisateur, et ce système ne donne pas d'espace de processus séparé (unshare)"
        [ $echecs -eq 0 ] && exit 0 || exit 1
    fi
    espace=()
fi
py afficheur "$T/vr.sock" "$T/afficheur.txt" &
pids+=($!)
for _ in $(seq 50); do [ -S "$T/vr.sock" ] && break; sleep 0.1; done
export BRLAPI_HOST=127.0.0.1:$((10 + RANDOM % 80))
brltty -n -b vr -d "client:$T/vr.sock" -x no -s no -A "host=$BRLAPI_HOST,auth=none" \
    -P "$T/brltty.pid" -U "$T" -W "$T" >"$T/brltty.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do /usr/bin/python3 -c 'import brlapi; brlapi.Connection()' 2>/dev/null && break; sleep 0.2; done
"${espace[@]}" orca --debug-file="$T/orca.out" >"$T/orca.log" 2>&1 &
orca=$!
pids+=($orca)
for _ in $(seq 300); do grep -q "SPEECH OUTPUT: 'Lecteur d.écran activé\|SPEECH OUTPUT: 'Screen reader on" "$T/orca.out" 2>/dev/null && break; sleep 0.1; done
verifie "Orca démarré, en français" grep -q "Lecteur d.écran activé" "$T/orca.out"
sleep 1

etape "Orca dit chaque mot tapé, une fois"
# Three sentences at eight keys a second, on a line of their own.
xdotool key --delay 150 Return
: >"$T/parole.txt"
xdotool type --delay 125 "Le chien dort. Il fait beau. Nous partons demain. "
sleep 1.5
egal "chaque mot dit une fois, aucun perdu" "Le|chien|dort|Il|fait|beau|Nous|partons|demain|" "$(dit)"

etape "Orca lit chaque ligne entière"
# The page reads: "Le chat.", "(oui) dit-il.", "- Oui. Non ?", then the
# sentences on two lines; the caret ends the last.
lignes=()
for k in Up Up Up Down; do
    parle 1.2 "$k"
    lignes+=("$(ditTout)|")
done
egal "Haut, Haut, Haut, Bas : chaque ligne dite entière" \
    "Le chien dort. Il fait beau.|- Oui. Non ?|(oui) dit-il.|- Oui. Non ?|" "$(printf '%s' "${lignes[@]}")"
verifie "l'afficheur braille montre la ligne" \
    bash -c "grep -a '^Visual' '$T/afficheur.txt' | tail -1 | grep -q 'Page en noir - Oui. Non ?'"

etape "la page braille se tait"
parle 1.2 shift+Right
verifie "Maj+Droite sur la page en noir : rien de la page braille" bash -c "! grep -q '[⠀-⣿]' '$T/parole.txt'"
verifie "l'afficheur reste sur la page en noir" \
    bash -c "grep -a '^Visual' '$T/afficheur.txt' | tail -1 | grep -q 'Page en noir'"
xdotool key --delay 150 Left

etape "les menus au clavier"
parle 1.2 alt
verifie "Alt : le menu Fichiers" grep -q "Fichiers" "$T/parole.txt"
parle 1 Down
verifie "Bas : l'entrée Nouveau" grep -q "Nouveau" "$T/parole.txt"
xdotool key --delay 150 Return
attention=$(cherche_fenetre 5 '^Attention')
verifie "Entrée : la question du document modifié" test -n "$attention"
parle 1 Escape
avant=$(py texte)
xdotool key --delay 200 alt+e Escape Escape
xdotool type --delay 100 "z"
sleep 0.8
egal "Échap deux fois : la lettre tapée va au document" "${#avant}" "$(($(py texte | wc -m) - 2))"
xdotool key --delay 150 BackSpace
parle 1 F10
verifie "F10 : la barre de menus" py montre "Nouveau"
xdotool key --delay 200 Escape Escape
sleep 0.5

etape "« Autre code » au clavier seul, puis défait"
avant=$(py texte)
xdotool key --delay 300 alt+e a
cherche_fenetre 5 "Choix d'un code" >/dev/null
sleep 0.5
parle 1 Right
verifie "les flèches vont de signe en signe" grep -q "Â majuscule" "$T/parole.txt"
xdotool key --delay 150 Return
sleep 1
apres=$(py texte)
insere() { [ "$apres" != "$avant" ] && [[ "$apres" == *Â* ]]; }
verifie "« Â » inséré" insere
parle 1.2 ctrl+z
verifie "Ctrl+Z : « Défait » dit" grep -q "Défait" "$T/parole.txt"
egal "le texte d'avant" "$avant" "$(py texte)"

etape "un caractère sans équivalent ne tape rien, et le dit"
: >"$T/parole.txt"
xdotool type --delay 150 "α"
sleep 1.5
egal "« α » ne tape rien" "$avant" "$(py texte)"
verifie "Orca dit pourquoi" grep -q "sans équivalent dans le jeu de caractères du document" "$T/parole.txt"

etape "l'embossage dans un fichier, puis Ctrl+S"
fichier=$T/journee.dtv
xdotool key --delay 150 ctrl+s
cherche_fenetre 10 "Enregistrement de fichiers DotavoB" >/dev/null
sleep 0.5
xdotool type --delay 30 "$fichier"
xdotool key --delay 150 Return
sleep 1
xdotool type --delay 100 "Fin."
# "Embosser": the print dialog, the options (bytes to a file), the file's name.
xdotool key --delay 300 alt+f Down Down Down Down Down Down Down Down Return
cherche_fenetre 10 "Imprimer|Print" >/dev/null
sleep 0.5
xdotool key --delay 150 Return
cherche_fenetre 10 "Options d'embossage" >/dev/null
sleep 0.5
xdotool key --delay 200 Tab Tab Tab Tab Tab space Return
cherche_fenetre 10 "Enregistrer les octets" >/dev/null
sleep 0.5
xdotool type --delay 30 "$T/embosse.brl"
xdotool key --delay 150 Return
for _ in $(seq 50); do [ -s "$T/embosse.brl" ] && break; sleep 0.2; done
verifie "embossé dans le fichier" test -s "$T/embosse.brl"
sleep 1
xdotool key --delay 150 ctrl+s
sleep 1
verifie "Ctrl+S après l'embossage enregistre" bash -c "'$cli' noir '$fichier' | grep -q 'Fin.'"
sleep 2  # the window active again is said: it is over before the next step listens

etape "les pages tournées"
# Embossing left the caret at the start of the page: a page break there,
# then Orca says each page turned, with its first line.
: >"$T/parole.txt"
xdotool key --delay 300 ctrl+Return
sleep 1.5
verifie "Orca dit la page où va le curseur" grep -qi "page 2 sur 2" "$T/parole.txt"
parle 1.5 Prior
verifie "Orca dit la page tournée" grep -q "Page 1 sur 2" "$T/parole.txt"
parle 1.5 Next
verifie "Orca dit la page tournée et sa ligne" grep -q "Page 2 sur 2 : Le chat." "$T/parole.txt"
verifie "l'afficheur braille montre la ligne du curseur aussitôt" \
    bash -c "grep -a '^Visual' '$T/afficheur.txt' | tail -1 | grep -q 'Page en noir Le chat.'"
parle 1 Prior
echo "--- paroles d'Orca :"
tr '\n' '|' <"$T/parole.txt"; echo
echo "--- afficheur braille :"
grep -a '^Visual' "$T/afficheur.txt" | tail -1
# Orca waits for an event before it ends; it is given a few seconds.
kill "$orca" 2>/dev/null
xdotool key shift
for _ in $(seq 50); do kill -0 "$orca" 2>/dev/null || break; sleep 0.1; done
kill -9 "$orca" 2>/dev/null

etape "le compteur de pages"
py pages || echecs=$((echecs + 1))

if [ $echecs -ne 0 ]; then
    echo "$echecs étape(s) en échec"
    tail -20 "$T/dotavob.log"
    exit 1
fi
echo "lecteur d'écran : parcours réussi"
