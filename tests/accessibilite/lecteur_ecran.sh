#!/usr/bin/env bash
# The editor read by a real screen-reader stack: on a private X server and a
# private session bus, the AT-SPI registry reads both pages (text, caret,
# selection, events, focus), then Orca speaks, its speech captured in a file,
# and shows its Braille line on brltty's virtual display.
#   lecteur_ecran.sh DOTAVOB DOTAVOB_CLI
set -uo pipefail
ici=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != "--session" ]; then
    dotavob=$1 cli=$2
    for outil in Xvfb openbox xdotool xprop dbus-run-session orca speech-dispatcher brltty /usr/libexec/at-spi-bus-launcher; do
        command -v "$outil" >/dev/null || { echo "outil absent : $outil (./dev deps l'installe)"; exit 1; }
    done
    /usr/bin/python3 -c 'import pyatspi, brlapi' || { echo "pyatspi ou brlapi absent (./dev deps l'installe)"; exit 1; }
    T=$(mktemp -d)
    # The user's folders, before the bus starts: dconf and Orca write there.
    export HOME=$T/home XDG_CONFIG_HOME=$T/home/.config XDG_DATA_HOME=$T/home/.local/share \
        XDG_CACHE_HOME=$T/home/.cache XDG_RUNTIME_DIR=$T/run
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
    Xvfb -displayfd 3 -noreset -screen 0 1400x900x24 -nolisten tcp 3>"$T/affichage" >"$T/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$T/affichage" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -1 "$T/affichage")
    # The expected cells: the command-line tool's transcription.
    cellules=$("$cli" demo "Le chat." | sed -n '/^Braille :/{n;p;q}')
    T=$T dotavob=$dotavob cellules=$cellules timeout 240 dbus-run-session -- bash "$0" --session
    r=$?
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
    # Orca's speech server outlives it: it goes with the run.
    for f in "$XDG_RUNTIME_DIR"/speech-dispatcher/pid/*.pid; do [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
    wait 2>/dev/null
}
trap fin EXIT
echecs=0
verifie() {  # verifie NOM CONDITION...
    local nom=$1; shift
    if "$@"; then echo "ok   $nom"; else echo "ÉCHEC $nom"; echecs=$((echecs + 1)); fi
}

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$T/atspi.log" 2>&1 &
pids+=($!)
openbox >"$T/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
/usr/bin/python3 "$ici/lecteur_ecran.py" bus || exit 1

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$dotavob" >"$T/dotavob.log" 2>&1 &
editeur=$!
pids+=($editeur)
fenetre=$(timeout 30 xdotool search --sync --onlyvisible --name '^DotavoB' | head -1)
[ -n "$fenetre" ] || { echo "ÉCHEC la fenêtre de DotavoB n'est pas apparue"; cat "$T/dotavob.log"; exit 1; }
for _ in $(seq 10); do
    xdotool windowactivate --sync "$fenetre" 2>/dev/null
    xdotool getwindowfocus getwindowname 2>/dev/null | grep -q '^DotavoB' && break
    sleep 0.3
done
sleep 0.5

[ -n "${LISTE:-}" ] && /usr/bin/python3 "$ici/lecteur_ecran.py" liste
/usr/bin/python3 "$ici/lecteur_ecran.py" arbre "$cellules" || echecs=$((echecs + 1))

# Orca, its speech written to a file by speech-dispatcher.
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
# Keys are not echoed: what Orca says of the typing comes from the page's
# text (a word when it ends), not from the keyboard.
mkdir -p "$XDG_DATA_HOME/orca"
cat >"$XDG_DATA_HOME/orca/user-settings.conf" <<FIN
{"general": {"enableKeyEcho": false, "enableEchoByWord": true, "enableEchoByCharacter": false},
 "profiles": {"default": {"profile": ["Default", "default"], "enableKeyEcho": false, "enableEchoByWord": true,
                          "enableEchoByCharacter": false}},
 "pronunciations": {}, "keybindings": {}}
FIN
touch "$T/parole.txt"
# A Braille display without hardware: brltty's virtual driver talks to our
# listener; Orca writes to brltty through BrlAPI on a port of its own.
/usr/bin/python3 "$ici/lecteur_ecran.py" afficheur "$T/vr.sock" "$T/afficheur.txt" &
pids+=($!)
for _ in $(seq 50); do [ -S "$T/vr.sock" ] && break; sleep 0.1; done
export BRLAPI_HOST=127.0.0.1:$((10 + RANDOM % 80))
brltty -n -b vr -d "client:$T/vr.sock" -x no -s no -A "host=$BRLAPI_HOST,auth=none" \
    -P "$T/brltty.pid" -U "$T" -W "$T" >"$T/brltty.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do /usr/bin/python3 -c 'import brlapi; brlapi.Connection()' 2>/dev/null && break; sleep 0.2; done
orca --debug-file="$T/orca.out" >"$T/orca.log" 2>&1 &
orca=$!
pids+=($orca)
for _ in $(seq 300); do grep -q "SPEECH OUTPUT: 'Screen reader on" "$T/orca.out" 2>/dev/null && break; sleep 0.1; done
verifie "Orca démarré" grep -q "Screen reader on" "$T/orca.out"
sleep 1
# A second line, then back up to the first: Orca reads "Le chat." from the page.
: >"$T/parole.txt"
xdotool key --delay 150 Return
xdotool type --delay 150 "du loup "
sleep 1
verifie "Orca dit le mot tapé" grep -qi "loup" "$T/parole.txt"
xdotool key --delay 300 Up
sleep 1.5
verifie "Orca lit la ligne où va le curseur" grep -qi "chat" "$T/parole.txt"
verifie "l'afficheur braille montre la ligne" bash -c "grep -a '^Visual' '$T/afficheur.txt' | tail -1 | grep -q 'Page en noir Le chat'"
# A page break after "Le chat.", then back to page 1: Orca says each new page.
: >"$T/parole.txt"
xdotool key --delay 300 ctrl+Return
sleep 1.5
verifie "Orca dit la page où va le curseur" grep -qi "page 2 sur 2" "$T/parole.txt"
xdotool key --delay 300 Prior
sleep 1.5
verifie "Orca dit la page tournée" grep -qi "page 1 sur 2" "$T/parole.txt"
echo "--- paroles d'Orca :"
tr '\n' '|' <"$T/parole.txt"; echo
echo "--- afficheur braille :"
grep -a '^Visual' "$T/afficheur.txt" | tail -1
kill "$orca" 2>/dev/null
xdotool key shift  # Orca waits for an event before it ends
wait "$orca" 2>/dev/null

/usr/bin/python3 "$ici/lecteur_ecran.py" pages || echecs=$((echecs + 1))

if [ $echecs -ne 0 ]; then
    echo "$echecs étape(s) en échec"
    tail -20 "$T/dotavob.log"
    exit 1
fi
echo "lecteur d'écran : parcours réussi"
