# The machine's spooler, started when it is not running (CI starts on a bare
# machine). Sourced by the tests that send jobs through CUPS.
demarre_cupsd() {
    lpstat -r 2>/dev/null | grep -q "is running" && return 0
    command -v cupsd >/dev/null || { echo "cupsd absent (./dev deps l'installe)"; return 1; }
    cupsd || { echo "impossible de démarrer cupsd"; return 1; }
    for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q "is running" && return 0; sleep 0.2; done
    echo "cupsd ne répond pas"
    return 1
}
