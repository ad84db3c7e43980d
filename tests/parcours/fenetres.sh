# Finds a visible window by its title: cherche_fenetre DELAI MOTIF prints the
# first one's id, or fails once DELAI seconds have passed. A window that
# closes while xdotool reads it (a transient one, as the editor starts) makes
# Xlib end the whole search with BadWindow; `--sync` would then give up, so
# each search is a single look, tried again until the window is there.
cherche_fenetre() {
    local delai=$1 motif=$2 fin_delai id
    fin_delai=$((SECONDS + delai))
    while :; do
        id=$(xdotool search --onlyvisible --name "$motif" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        [ "$SECONDS" -lt "$fin_delai" ] || return 1
        sleep 0.2
    done
}
