#!/usr/bin/env bash
# Start-up time of the editor: from its launch to its window on screen, on a
# private X server, best and median of N starts, a fresh settings folder each
# time. A measure, not a test: it prints the figures.
#   demarrage.sh DOTAVOB [N]
set -u
dotavob=$1
n=${2:-7}
t=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$t"' EXIT
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$t/affichage" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$t/affichage" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$t/affichage")
unset QT_QPA_PLATFORM
temps=()
for i in $(seq "$n"); do
    export HOME=$t/h$i XDG_CONFIG_HOME=$t/h$i/config XDG_RUNTIME_DIR=$t/h$i/run
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    debut=$(date +%s%N)
    "$dotavob" >/dev/null 2>&1 &
    p=$!
    xdotool search --sync --onlyvisible --name '^DotavoB' >/dev/null 2>&1
    fin=$(date +%s%N)
    kill "$p" 2>/dev/null
    wait "$p" 2>/dev/null
    temps+=($(((fin - debut) / 1000000)))
done
trie=($(printf '%s\n' "${temps[@]}" | sort -n))
echo "fenêtre affichée en ms (${#trie[@]} démarrages) : meilleur ${trie[0]}, médian ${trie[$((${#trie[@]} / 2))]}, tous : ${temps[*]}"
