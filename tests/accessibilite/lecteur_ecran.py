# Reads the editor over AT-SPI, as a screen reader does, while real keys
# (xdotool) type into it. Run by lecteur_ecran.sh with the system Python.
#   lecteur_ecran.py arbre CELLULES   the pages, their text, caret, selection, events, focus
#   lecteur_ecran.py frontieres       every character, word, sentence and line, at, before
#                                     and after every offset of both pages: at once, and
#                                     each a piece of the text that holds what it should
#   lecteur_ecran.py texte [PAGE]     prints a page's text (the print page by default)
#   lecteur_ecran.py montre NOM       exits 0 when an object of that name is showing
#   lecteur_ecran.py pages            a page break: the page counter's name
#   lecteur_ecran.py bus              waits for the accessibility bus and its registry
#   lecteur_ecran.py afficheur SOCKET FICHIER
#                                     plays a 40-cell Braille display for brltty's
#                                     virtual driver: what it shows goes to FICHIER
import socket
import subprocess
import sys
import time


def afficheur(chemin, sortie):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.bind(chemin)
    s.listen(1)
    open(sortie, "wb").close()
    c, _ = s.accept()
    c.sendall(b"cells 40\n")
    with open(sortie, "ab", buffering=0) as f:
        while True:
            d = c.recv(4096)
            if not d:
                break
            f.write(d)


def bus():
    # A program started before the registry answers never registers.
    from gi.repository import Gio
    for _ in range(300):
        try:
            session = Gio.bus_get_sync(Gio.BusType.SESSION)
            adresse = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None,
                                        Gio.DBusCallFlags.NONE, 2000, None).unpack()[0]
            c = Gio.DBusConnection.new_for_address_sync(
                adresse, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
                None, None)
            c.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root", "org.freedesktop.DBus.Peer",
                        "Ping", None, None, Gio.DBusCallFlags.NONE, 2000, None)
            return 0
        except Exception:
            time.sleep(0.1)
    print("ÉCHEC le registre d'accessibilité ne répond pas")
    return 1


if sys.argv[1] == "afficheur":
    afficheur(sys.argv[2], sys.argv[3])
    sys.exit(0)
if sys.argv[1] == "bus":
    sys.exit(bus())

import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

echecs = 0
evenements = []


def verifie(nom, attendu, obtenu):
    global echecs
    if attendu == obtenu:
        print(f"ok   {nom}")
    else:
        print(f"ÉCHEC {nom}\n     attendu : {attendu!r}\n     obtenu  : {obtenu!r}")
        echecs += 1


def pompe(secondes):
    fin = time.time() + secondes
    contexte = GLib.MainContext.default()
    while time.time() < fin:
        while contexte.pending():
            contexte.iteration(False)
        time.sleep(0.02)


def ecoute(e):
    try:
        nom = e.source.name
    except Exception:
        nom = "?"
    evenements.append((e.type, nom, e.detail1, e.detail2, e.any_data))


def touches(*t):
    subprocess.run(["xdotool", "key", "--clearmodifiers", "--delay", "80", *t], check=True)
    pompe(0.6)


def parcourt(o, profondeur=0):
    yield o
    if profondeur > 12:
        return
    for i in range(o.childCount):
        c = o.getChildAtIndex(i)
        if c is not None:
            yield from parcourt(c, profondeur + 1)


def application():
    for _ in range(300):
        bureau = pyatspi.Registry.getDesktop(0)
        for i in range(bureau.childCount):
            a = bureau.getChildAtIndex(i)
            if a is not None and a.name == "DotavoB":
                return a
        time.sleep(0.1)
    print("ÉCHEC l'application DotavoB n'est pas sur le bus d'accessibilité")
    sys.exit(1)


def trouve(app, nom, role):
    for o in parcourt(app):
        if o.name == nom and o.getRole() == role:
            return o
    return None


def texte(o):
    t = o.queryText()
    return t.getText(0, -1)


def inseres(nom):
    return "".join(e[4] for e in evenements if e[0].startswith("object:text-changed:insert") and e[1] == nom)


def arbre(cellules):
    app = application()
    for type_ in ("object:text-changed", "object:text-caret-moved", "object:text-selection-changed", "focus:",
                  "object:state-changed:focused"):
        pyatspi.Registry.registerEventListener(ecoute, type_)
    noir = trouve(app, "Page en noir", pyatspi.ROLE_TEXT)
    braille = trouve(app, "Page braille", pyatspi.ROLE_TEXT)
    verifie("page en noir trouvée (nom, rôle texte)", True, noir is not None)
    verifie("page braille trouvée (nom, rôle texte)", True, braille is not None)
    if noir is None or braille is None:
        return
    verifie("le focus est sur la page en noir", True, noir.getState().contains(pyatspi.STATE_FOCUSED))
    verifie("page braille modifiable", True, braille.getState().contains(pyatspi.STATE_EDITABLE))

    subprocess.run(["xdotool", "type", "--delay", "80", "Le chat."], check=True)
    pompe(1.0)
    verifie("texte de la page en noir", "Le chat.", texte(noir))
    verifie("texte de la page braille", cellules, texte(braille))
    verifie("texte inséré annoncé (noir)", "Le chat.", inseres("Page en noir"))
    # One page speaks: the one typed on. The other is read on demand only.
    verifie("la page braille se tait", "", inseres("Page braille"))
    frappes = [e for e in evenements if e[1] == "Page en noir"
               and (e[0].startswith("object:text-changed") or e[0] == "object:text-caret-moved")]
    verifie("une touche : au plus un changement et un déplacement", True, len(frappes) <= 2 * len("Le chat."))
    verifie("curseur en fin (noir)", 8, noir.queryText().caretOffset)
    verifie("curseur en fin (braille)", len(cellules), braille.queryText().caretOffset)

    del evenements[:]
    touches("Left")
    verifie("Gauche : curseur (noir)", 7, noir.queryText().caretOffset)
    verifie("Gauche : curseur (braille)", len(cellules) - 1, braille.queryText().caretOffset)
    deplacements = [e[2] for e in evenements if e[0] == "object:text-caret-moved" and e[1] == "Page en noir"]
    verifie("Gauche : curseur déplacé annoncé (noir)", [7], deplacements)
    touches("Right")
    verifie("Droite : curseur (noir)", 8, noir.queryText().caretOffset)

    for avant, geste in [(["Left", "Left"], "shift+Right"), (["Left"], "shift+Left")]:
        touches(*avant)
        del evenements[:]
        touches(geste)
        verifie(geste + " : sélection (noir)", (6, 7), tuple(noir.queryText().getSelection(0)))
        verifie(geste + " : sélection (braille)", (7, 8), tuple(braille.queryText().getSelection(0)))
        selections = {e[1] for e in evenements if e[0] == "object:text-selection-changed"}
        verifie(geste + " : sélection annoncée par la page tapée seule", {"Page en noir"}, selections)
        touches("Right", "Right")  # back to the end of the line

    # Six-key mode: the Braille page takes the focus, as a screen reader sees it.
    del evenements[:]
    sdf = trouve(app, "sdfjkl", pyatspi.ROLE_MENU_ITEM)
    verifie("menu du clavier six points trouvé", True, sdf is not None)
    if sdf is not None:
        sdf.queryAction().doAction(0)
        pompe(1.0)
        verifie("six touches : focus sur la page braille", True, braille.getState().contains(pyatspi.STATE_FOCUSED))
        focus = [e[1] for e in evenements if e[0].startswith("object:state-changed:focused") and e[2] == 1]
        verifie("six touches : focus annoncé sur la page braille", True, "Page braille" in focus)
        normal = trouve(app, "Normal", pyatspi.ROLE_MENU_ITEM)
        normal.queryAction().doAction(0)
        pompe(0.5)
        verifie("clavier normal : focus sur la page en noir", True, noir.getState().contains(pyatspi.STATE_FOCUSED))


def frontieres():
    # The page holds lines that start with "(" and "- ": Qt's own boundary
    # search never came back from them.
    app = application()
    types = {"caractère": pyatspi.TEXT_BOUNDARY_CHAR, "début de mot": pyatspi.TEXT_BOUNDARY_WORD_START,
             "fin de mot": pyatspi.TEXT_BOUNDARY_WORD_END, "début de phrase": pyatspi.TEXT_BOUNDARY_SENTENCE_START,
             "fin de phrase": pyatspi.TEXT_BOUNDARY_SENTENCE_END, "début de ligne": pyatspi.TEXT_BOUNDARY_LINE_START,
             "fin de ligne": pyatspi.TEXT_BOUNDARY_LINE_END}
    for nom in ("Page en noir", "Page braille"):
        page = trouve(app, nom, pyatspi.ROLE_TEXT)
        if page is None:
            verifie(nom + " trouvée", True, False)
            continue
        t = page.queryText()
        tout = t.getText(0, -1)
        n = len(tout)
        lent, faux, questions = 0.0, [], 0
        for type_nom, type_ in types.items():
            for o in range(n + 1):
                for cote, appel in (("à", t.getTextAtOffset), ("avant", t.getTextBeforeOffset),
                                    ("après", t.getTextAfterOffset)):
                    debut = time.time()
                    try:
                        texte_, d, f = appel(o, type_)
                    except Exception as e:  # a question that timed out on the bus
                        faux.append((type_nom, cote, o, repr(e)))
                        continue
                    lent = max(lent, time.time() - debut)
                    questions += 1
                    juste = 0 <= d <= f <= n and texte_ == tout[d:f]
                    if cote == "à":
                        juste = juste and d <= o and (o < f or o == n)
                    if not juste:
                        faux.append((type_nom, cote, o, (texte_, d, f)))
        print(f"     {nom} : {questions} questions sur {n + 1} positions, la plus lente {lent * 1000:.0f} ms")
        verifie(nom + " : chaque réponse en moins d'une seconde", True, lent < 1.0)
        verifie(nom + " : chaque réponse est un morceau du texte qui tient sa position", [], faux[:5])
        mot = t.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_WORD_START)
        verifie(nom + " : le mot au début de la page", True, mot[1] == 0 and len(mot[0]) > 0)
    # The window still answers, and types.
    noir = trouve(app, "Page en noir", pyatspi.ROLE_TEXT)
    avant = texte(noir)
    subprocess.run(["xdotool", "type", "--delay", "80", "x"], check=True)
    pompe(1.0)
    verifie("la fenêtre répond encore", len(avant) + 1, len(texte(noir)))
    subprocess.run(["xdotool", "key", "BackSpace"], check=True)
    pompe(0.5)


def montre(nom):
    app = application()
    for o in parcourt(app):
        try:
            if o.name == nom and o.getState().contains(pyatspi.STATE_SHOWING):
                return 0
        except Exception:
            pass
    return 1


def pages():
    # The document holds two pages, the first empty, the second starting with "Le chat."; page 1 is shown.
    app = application()
    noms, descriptions = [], []
    pyatspi.Registry.registerEventListener(lambda e: noms.append(e.source.name),
                                           "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(lambda e: descriptions.append(e.source.name),
                                           "object:property-change:accessible-description")
    # A notice that appears is what a screen reader speaks of a page turn.
    avis = []
    pyatspi.Registry.registerEventListener(
        lambda e: avis.append(e.source.name) if e.detail1 and e.source.getRole() == pyatspi.ROLE_NOTIFICATION else None,
        "object:state-changed:showing")
    verifie("compteur de pages", True, trouve(app, "Page 1 sur 2", pyatspi.ROLE_LABEL) is not None)
    noir = trouve(app, "Page en noir", pyatspi.ROLE_TEXT)
    braille = trouve(app, "Page braille", pyatspi.ROLE_TEXT)
    for touche, page, lu in [("Next", 2, True), ("Home", 1, False)]:
        del noms[:], descriptions[:], avis[:]
        touches(touche)
        mots = "Page %d sur 2" % page
        verifie(touche + " : compteur renommé", True, trouve(app, mots, pyatspi.ROLE_LABEL) is not None)
        verifie(touche + " : changement de nom annoncé", True, mots in noms)
        verifie(touche + " : la page en noir se décrit", mots, noir.description)
        verifie(touche + " : description annoncée", True, "Page en noir" in descriptions)
        # The caret stays at the start of a page: its line comes with the page.
        verifie(touche + " : avis affiché", True, any(a.startswith(mots) for a in avis))
        verifie(touche + " : seule la page montrée est lue", lu, "Le chat" in texte(noir))
        verifie(touche + " : curseur au début de la page", (0, 0),
                (noir.queryText().caretOffset, braille.queryText().caretOffset))


if sys.argv[1] == "liste":
    for o in parcourt(application()):
        print(repr(o.name), o.getRoleName())
elif sys.argv[1] == "arbre":
    arbre(sys.argv[2])
elif sys.argv[1] == "frontieres":
    frontieres()
elif sys.argv[1] == "texte":
    print(texte(trouve(application(), sys.argv[2] if len(sys.argv) > 2 else "Page en noir", pyatspi.ROLE_TEXT)))
    sys.exit(0)
elif sys.argv[1] == "montre":
    sys.exit(montre(sys.argv[2]))
else:
    pages()
sys.exit(1 if echecs else 0)
