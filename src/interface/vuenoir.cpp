#include "interface/vuenoir.h"

#include <cmath>

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "core/editeur/unites.h"
#include "interface/couleurs.h"
#include "interface/vuebraille.h"

namespace dotavob {

QFont FontesNoir::pour(std::uint8_t style, bool barre) const {
    QFont f = base;
    if (style & STYLE_GRAS) {
        f.setBold(true);
        f.setPixelSize(hauteurGras > 0 ? hauteurGras : base.pixelSize());
    }
    // A superscript stands at the line's top at half height.
    if (style & STYLE_EXPOSANT) f.setPixelSize(std::max(1, f.pixelSize() / 2));
    f.setStrikeOut(barre);
    return f;
}

FontesNoir FontesNoir::aLEchelle(double echelle) const {
    FontesNoir f = *this;
    f.base.setPixelSize(std::max(1, static_cast<int>(std::lround(base.pixelSize() * echelle))));
    f.hauteurGras = std::max(1, static_cast<int>(std::lround(hauteurGras * echelle)));
    return f;
}

QString texteMorceau(const MorceauNoir& m) {
    if (m.style & STYLE_GREC) return QString(QChar(0x03C0));
    return QString::fromStdString(cp1252VersUtf8(m.texte));
}

namespace {

// Text is measured on the device it is drawn on: a printer's glyphs are not
// as wide as the screen's hinted ones, and runs must not drift apart.
QFontMetrics mesures(const QFont& f, const QPaintDevice* appareil) {
    return appareil ? QFontMetrics(f, appareil) : QFontMetrics(f);
}

}  // namespace

std::vector<int> largeursMorceaux(const LigneNoire& l, const FontesNoir& f, const QPaintDevice* appareil) {
    std::vector<int> r;
    r.reserve(l.morceaux.size());
    for (const auto& m : l.morceaux)
        r.push_back(mesures(f.pour(m.style, false), appareil).horizontalAdvance(texteMorceau(m)));
    return r;
}

namespace {

// Draws a line's pieces from x at the line top y; returns where it ends.
// `largeurs`: each piece's width as measured for the line's place (largeursMorceaux).
int dessineMorceaux(QPainter& p, const LigneNoire& l, const std::vector<int>& largeurs, int x, int y,
                    const FontesNoir& f, const std::function<bool(std::int32_t)>& selectionne,
                    const std::function<bool(std::int32_t)>& barre, bool espacesVisibles) {
    for (std::size_t i = 0; i < l.morceaux.size(); ++i) {
        const MorceauNoir& m = l.morceaux[i];
        const bool sel = selectionne && selectionne(m.fin);
        const QFont fonte = f.pour(m.style, barre && barre(m.fin));
        const QFontMetrics fm = mesures(fonte, p.device());
        const QString t = texteMorceau(m);
        const int largeur = largeurs[i];
        if (sel) p.fillRect(x, y, largeur, fm.height(), couleurs::selection);
        if (espacesVisibles) {
            const int w = fm.horizontalAdvance(QLatin1Char(' ')), h = fm.height();
            int xi = x;
            for (QChar c : t) {
                if (c == QLatin1Char(' ')) p.fillRect(xi, y + h / 4, (4 * w) / 5, h - h / 4, couleurs::gris);
                xi += fm.horizontalAdvance(c);
            }
        }
        p.setFont(fonte);
        p.setPen(sel ? Qt::white : Qt::black);
        p.drawText(x, y + fm.ascent(), t);
        x += largeur;
    }
    return x;
}

}  // namespace

// ---- TMyEdit ----------------------------------------------------------------

TMyEdit::TMyEdit(EditeurBraille& editeur, const OptionsAffichage& options, QWidget* parent)
    : VuePage(editeur, options, parent) {
    fontes_.base = QFont(QStringLiteral("Courier New"));
    fontes_.base.setPixelSize(16);
    fontes_.hauteurGras = 16;
    minuterie_.start();
}

void TMyEdit::setNomFonte(const QString& nom) {
    fontes_.base.setFamily(nom);
    update();
}

void TMyEdit::redimentionne(bool interligneDouble) {
    const std::int32_t n = std::max<std::int32_t>(1, doc_.format().nbLignesTexte);
    const std::int32_t cpl = doc_.format().cpl;
    const int h = parentWidget() ? parentWidget()->height() : height();
    int largeur = h * 210 / 297;
    margeHaut_ = h / (2 * n);
    // One pass, from the page alone: the line and, with double spacing, the
    // blank line under it (as high as the line) share the slot of each line.
    const int slot = (h - 2 * margeHaut_) / n - 1;
    fontes_.base.setPixelSize(std::max(1, interligneDouble ? slot / 2 : slot));
    const int w = QFontMetrics(fontes_.base).horizontalAdvance(QLatin1Char(' '));
    margeGauche_ = 2 * w;
    if (largeur < cpl * w + 2 * margeGauche_) margeGauche_ = w;
    while (largeur < cpl * w + 2 * margeGauche_) largeur += 10;
    // Bold runs get the height at which "a" is as wide as a space.
    QFont gras = fontes_.base;
    gras.setBold(true);
    for (int essai = 0; essai < 200 && QFontMetrics(gras).horizontalAdvance(QLatin1Char('a')) < w; ++essai)
        gras.setPixelSize(gras.pixelSize() + 1);
    fontes_.hauteurGras = gras.pixelSize();
    hauteurLigne_ = fontes_.base.pixelSize();
    interligne_ = interligneDouble ? hauteurLigne_ : 0;
    resize(largeur, h);
    update();
}

int TMyEdit::decalage(const LignePage& l, const std::vector<int>& largeurs, const FontesNoir& f,
                      const QPaintDevice* appareil, double echelle) const {
    if (l.centre) {
        int total = 0;
        for (int x : largeurs) total += x;
        return static_cast<int>(std::lround((width() - 2 * margeGauche_) * echelle - total)) / 2;
    }
    return mesures(f.base, appareil).horizontalAdvance(QLatin1Char(' ')) * l.retrait;
}

void TMyEdit::dessinePage(QPainter& p, QPointF origine, double echelle, bool surPapier) const {
    // Geometry scales, text is set in fonts scaled to the target and measured
    // there: the page keeps its lines and its breaks on any device.
    const FontesNoir f = echelle == 1.0 ? fontes_ : fontes_.aLEchelle(echelle);
    const bool brut = ed_.tousLesSignes();
    const std::int32_t s = ed_.debutSelection(), e = ed_.finSelection();
    auto selectionne = [&](std::int32_t pos) { return !surPapier && s >= 1 && e >= s && pos >= s && pos <= e; };
    auto barre = [&](std::int32_t pos) { return doc_.marqueurs().DansMarqueur(pos, MARQUEUR_RETOURNE); };
    const auto lignes = lignesAffichees(ed_, brut);
    const int x0 = static_cast<int>(std::lround(origine.x()));
    const QFontMetrics fm = mesures(f.base, p.device());
    for (std::size_t k = 0; k < lignes.size(); ++k) {
        const LignePage& l = lignes[k];
        const int y = static_cast<int>(std::lround(origine.y() + static_cast<double>(k) * pas() * echelle));
        const std::vector<int> largeurs = largeursMorceaux(l.noire, f, p.device());
        const int x = x0 + decalage(l, largeurs, f, p.device(), echelle);
        const int fin =
            dessineMorceaux(p, l.noire, largeurs, x, y, f, selectionne, barre, options_.espacesVisibles && !surPapier);
        // A selected line end shows as a selected blank after the text.
        if (l.finLigne != 0 && selectionne(l.debut + static_cast<std::int32_t>(l.texte.size())))
            p.fillRect(fin, y, fm.horizontalAdvance(QLatin1Char(' ')), fm.height(), couleurs::selection);
        if (l.finLigne == CR && options_.sautsParagrapheVisibles && !surPapier) {
            // A return arrow after the line's text.
            const int t = f.base.pixelSize(), d = t / 10, m = t / 2;
            p.setPen(QPen(couleurs::rouge, std::max(1.0, 2 * echelle)));
            const QPoint coin(fin, y + t - 2 * d);
            p.drawLine(fin + m, y, fin + m, y + t - 2 * d);
            p.drawLine(fin + m, y + t - 2 * d, coin.x(), coin.y());
            p.drawLine(coin, QPoint(fin + d, y + t - d));
            p.drawLine(coin, QPoint(fin + d, y + t - 3 * d));
        }
        if (l.finLigne == FF) {
            if (options_.sautsPageVisibles && !surPapier) {
                const int yb = y + pas() + hauteurLigne_ / 2;
                p.setPen(QPen(couleurs::rouge, 1, Qt::DashLine));
                p.drawLine(0, yb, width(), yb);
            }
            break;
        }
    }
}

void TMyEdit::dessinePageImprimee(QPainter& p, const QRect& cible, const TenteteNoir* entete,
                                  const TenteteNoir* pied) const {
    // The page keeps its proportions: as high as the target, unless a wide
    // format would then run past its width.
    const double echelle = std::min(static_cast<double>(cible.height()) / std::max(1, height()),
                                    static_cast<double>(cible.width()) / std::max(1, width()));
    const int marge = cible.width() / (doc_.format().cpl + 2);
    int lignes = 0;
    if (entete) {
        entete->dessineEntete(p, QPointF(cible.x() + marge, cible.y()), echelle);
        lignes = 1;
    }
    dessinePage(p, QPointF(cible.x() + marge, cible.y() + std::round(lignes * echelle * pas())), echelle, true);
    if (pied)
        pied->dessineEntete(p, QPointF(cible.x() + marge, std::round(cible.height() - pas() * echelle + cible.y())), echelle);
}

QRect TMyEdit::rectCurseur() const {
    const int y = yRang(ed_.rangCurseur() - 1);
    int x = margeGauche_;
    const std::int32_t ligne = ed_.curseur().ligne;
    // Only the caret's own line is read; the empty line of a page break
    // after a full page is shown before the next page's first line.
    if (doc_.longueur() > 0 && ligne >= ed_.premiereLigne() && ligne <= doc_.nbLignes()) {
        const LignePage l = lignePage(doc_, ligne, ed_.tousLesSignes());
        const auto largeurs = largeursMorceaux(l.noire, fontes_);
        x += decalage(l, largeurs, fontes_);
        // The caret stands before the unit it is in: never between a prefix and its sign.
        const std::int32_t position = ed_.positionCurseur();
        for (std::size_t i = 0; i < l.noire.morceaux.size() && l.noire.morceaux[i].fin < position; ++i)
            x += largeurs[i];
    }
    return QRect(x, y, 2, hauteurLigne_);
}

TextePage TMyEdit::composeTexteAccessible() const { return texteNoir(lignesAffichees(ed_, ed_.tousLesSignes())); }

void TMyEdit::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    dessinePage(p, QPointF(margeGauche_, margeHaut_), 1.0);
    if (curseurAffiche_) {
        p.setCompositionMode(QPainter::CompositionMode_Difference);
        p.fillRect(rectCurseur(), Qt::white);
    }
}

void TMyEdit::clignote() {
    // The print caret blinks while the ordinary keyboard is in use.
    if (!ed_.sixTouches()) VuePage::clignote();
}

TMyEdit::Impact TMyEdit::sousLePoint(QPoint q) const {
    const auto lignes = lignesAffichees(ed_, ed_.tousLesSignes());
    if (lignes.empty()) return {1, 0};
    const int k = std::clamp((q.y() - margeHaut_) / std::max(1, pas()), 0, static_cast<int>(lignes.size()) - 1);
    const LignePage& l = lignes[static_cast<std::size_t>(k)];
    const auto largeurs = largeursMorceaux(l.noire, fontes_);
    int x = margeGauche_ + decalage(l, largeurs, fontes_);
    if (q.x() < x || l.noire.morceaux.empty()) return {l.debut, l.debut - 1};
    for (std::size_t i = 0; i < largeurs.size(); ++i) {
        const auto& m = l.noire.morceaux[i];
        if (q.x() < x + largeurs[i]) return {m.debut, m.fin};
        x += largeurs[i];
    }
    // Past the end: up to the line's last byte, never its line end unseen.
    return {l.noire.arret, l.noire.arret - 1};
}

void TMyEdit::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    ed_.annuleSelection();
    // A click on a letter takes its capital or number sign too.
    ancre_ = sousLePoint(e->position().toPoint()).debut;
    ed_.sourisEnfoncee(ancre_);
}

void TMyEdit::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || ancre_ < 1) return;
    const Impact i = sousLePoint(e->position().toPoint());
    if (i.fin >= ancre_)
        ed_.selectionne(ancre_, i.fin);
    else
        ed_.annuleSelection();
}

void TMyEdit::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const Impact i = sousLePoint(e->position().toPoint());
    ancre_ = 0;
    ed_.placeCurseur(doc_.pointDe(debutUnite(doc_, i.debut)));
}

// ---- TenteteNoir ------------------------------------------------------------

TenteteNoir::TenteteNoir(const TenteteBraille& braille, QWidget* parent) : QWidget(parent), braille_(braille) {
    setFocusPolicy(Qt::NoFocus);
}

void TenteteNoir::placeEntete(int gauche, int largeur, const FontesNoir& fontes, int marge) {
    fontes_ = fontes;
    marge_ = marge;
    setGeometry(gauche, 1, largeur, parentWidget() ? parentWidget()->height() - 1 : height());
    update();
}

void TenteteNoir::fixeSignesModificateurs(bool b) {
    if (brut_ == b) return;
    brut_ = b;
    update();
}

void TenteteNoir::dessineEntete(QPainter& p, QPointF origine, double echelle) const {
    const FontesNoir f = echelle == 1.0 ? fontes_ : fontes_.aLEchelle(echelle);
    const LigneNoire l = ligneSeule(braille_.contenu(), brut_).noire;
    dessineMorceaux(p, l, largeursMorceaux(l, f, p.device()), static_cast<int>(std::lround(origine.x())),
                    static_cast<int>(std::lround(origine.y())), f, {}, {}, false);
}

void TenteteNoir::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    // Its text starts where the page's text starts.
    dessineEntete(p, QPointF(marge_, 0), 1.0);
}

}  // namespace dotavob
