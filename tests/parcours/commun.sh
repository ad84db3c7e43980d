# What the journeys through the real window share: a private X server with a
# window manager, the editor started on a fresh settings folder, real keys
# (xdotool), and the checks. Sourced by the journeys; `dotavob` is set.
for outil in Xvfb openbox xdotool xclip setxkbmap xprop; do
    command -v "$outil" >/dev/null || { echo "outil absent : $outil (./dev deps l'installe)"; exit 1; }
done

source "$(dirname "${BASH_SOURCE[0]}")/fenetres.sh"

travail=$(mktemp -d)
pids=()
fin() {
    for p in "${pids[@]}"; do
        # What it started first (the watchdog's sleep, which would otherwise
        # outlive it and hold the journey's output open).
        pkill -P "$p" 2>/dev/null
        kill "$p" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$travail"
}
trap fin EXIT
trap 'exit 1' TERM

# Each step says its name as it starts; a journey that runs past its limit
# (a hung window, a key that never came) says in which step, and stops.
debut_parcours=$SECONDS
etape() { echo "== [$((SECONDS - debut_parcours)) s] $1"; printf '%s' "$1" >"$travail/etape"; }
limite=${DOTAVOB_LIMITE_PARCOURS:-240}
(
    # Its sleep killed at the journey's end, the watchdog ends quietly.
    sleep "$limite" || exit 0
    echo "ÉCHEC délai de $limite s dépassé pendant l'étape : $(cat "$travail/etape" 2>/dev/null)"
    # A hung xdotool or editor would hold the journey's end (the journey
    # hears its TERM only once its command is over): they go first.
    for c in $(pgrep -P $$); do [ "$c" = "$BASHPID" ] || kill "$c" 2>/dev/null; done
    kill -TERM $$
) &
pids+=($!)

# A display of our own: the server picks a free number and tells it.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$travail/affichage" >"$travail/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$travail/affichage" ] && break; sleep 0.1; done
[ -s "$travail/affichage" ] || { echo "Xvfb n'a pas démarré"; cat "$travail/xvfb.log"; exit 1; }
export DISPLAY=:$(head -1 "$travail/affichage")
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
# The window manager is ready once it names its check window on the root.
# On a loaded machine it may give up on a server still starting: it is
# started again, and a journey never runs without it (windows could not be
# activated, and every key would go astray).
wm_pret() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
for _ in 1 2 3; do
    openbox >>"$travail/openbox.log" 2>&1 &
    wm=$!
    pids+=($wm)
    for _ in $(seq 200); do
        wm_pret && break
        kill -0 "$wm" 2>/dev/null || break
        sleep 0.1
    done
    wm_pret && break
done
wm_pret || { echo "le gestionnaire de fenêtres n'a pas démarré"; cat "$travail/openbox.log"; exit 1; }
# A French keyboard, as our users have: accented letters are on keys of
# their own, so xdotool never remaps a key while the editor reads it.
setxkbmap fr 2>>"$travail/xvfb.log" || echo "clavier français indisponible (setxkbmap)"
sleep 0.5

# A fresh settings folder: the first start of a new user.
export HOME=$travail XDG_CONFIG_HOME=$travail/config XDG_RUNTIME_DIR=$travail/run XDG_DATA_HOME=$travail/data
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DOTAVOB_SECOURS  # the recovery copies go where a user's go
secours=$XDG_DATA_HOME/KELMAR/DotavoB/secours
unset QT_QPA_PLATFORM

# Starts the editor (arguments passed on) and gives it the keyboard.
demarre() {
    "$dotavob" "$@" >>"$travail/dotavob.log" 2>&1 &
    editeur=$!
    pids+=($editeur)
    fenetre=$(cherche_fenetre 60 "DotavoB")
    [ -n "$fenetre" ] || { echo "ÉCHEC la fenêtre de l'éditeur n'est pas apparue"; exit 1; }
    for _ in 1 2 3 4 5; do
        xdotool windowactivate --sync "$fenetre" 2>/dev/null && break
        sleep 1
    done
    sleep 0.5
}
# Waits for the editor to end by itself (a few seconds at most).
attends_fin() {
    for _ in $(seq 50); do kill -0 "$editeur" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}

echecs=0
attends() { sleep 0.3; }
# Opens a dialog through a menu: the menu key, a pause for the menu to
# open, then the entry's keys; tried again (Escape first) when the dialog
# does not show, as a loaded machine may drop a key sent too early.
# ouvre_par_menu TITRE MENU TOUCHE...
ouvre_par_menu() {
    local titre=$1 menu=$2
    shift 2
    for _ in 1 2 3; do
        xdotool key --clearmodifiers "$menu"
        sleep 0.6
        xdotool key --clearmodifiers --delay 150 "$@"
        cherche_fenetre 6 "$titre" >/dev/null && { attends; return; }
        xdotool key Escape Escape
        sleep 0.5
    done
    echo "ÉCHEC fenêtre « $titre » absente"
    echecs=$((echecs + 1))
}
# Waits for a window of this title (a dialog) before typing into it.
attends_fenetre() {
    cherche_fenetre 15 "$1" >/dev/null || {
        echo "ÉCHEC fenêtre « $1 » absente"
        echecs=$((echecs + 1))
    }
    attends
}
touches() { xdotool key --clearmodifiers --delay 60 "$@"; attends; }
tape() { xdotool type --delay 40 "$1"; attends; }
presse_papiers() { xclip -o -selection clipboard 2>/dev/null | od -An -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
verifie() {  # verifie NOM ATTENDU OBTENU
    if [ "$2" = "$3" ]; then
        echo "ok   $1"
    else
        echo "ÉCHEC $1"
        echo "     attendu : $2"
        echo "     obtenu  : $3"
        echecs=$((echecs + 1))
    fi
}
hex() { printf '%s' "$1" | od -An -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
bilan() {  # bilan NOM
    if [ $echecs -ne 0 ]; then
        echo "$echecs étape(s) du parcours en échec"
        cat "$travail/dotavob.log"
        exit 1
    fi
    echo "$1 réussi"
}
