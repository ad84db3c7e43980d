#include "interface/vuebraille.h"

#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "core/editeur/lignespage.h"
#include "interface/couleurs.h"

namespace dotavob {

void dessineCellule(QPainter& p, const GeometrieBraille& g, int x, int y, Octet cellule, const OptionsCellule& o) {
    p.setPen(Qt::NoPen);
    // A selected blank shows its band too: what a cut takes is what the user saw.
    if (o.selection)
        p.fillRect(x - g.ecart / 2, y, g.largeurCellule + 2 * (g.ecart / 2) + 1, g.hauteurLigne, couleurs::selection);
    if (cellule != 0) {
        const QColor couleur = o.selection ? couleurs::blanc : o.retourne ? couleurs::rouge : o.couleurPoints;
        for (int bit = 0; bit < 6; ++bit) {
            const bool leve = (cellule >> bit) & 1;
            if (!leve && !o.pointsGris) continue;
            std::int32_t dx = 0, dy = 0;
            g.positionPoint(bit, dx, dy);
            p.setBrush(leve ? couleur : couleurs::gris);
            p.drawEllipse(QRect(x + dx, y + dy, g.taillePoint, g.taillePoint));
        }
    }
    if (o.cadre) {
        p.setBrush(Qt::NoBrush);
        p.setPen(couleurs::rouge);
        p.drawRect(x, y, g.largeurCellule - 1, g.hauteurCellule - 1);
        p.setPen(Qt::NoPen);
    }
    // The blank mark comes last, over the frame.
    if (cellule == 0 && o.espacesVisibles) p.fillRect(x, y, g.largeurCellule, g.hauteurCellule, couleurs::gris);
}

int toucheVirtuelle(int cle) {
    if ((cle >= Qt::Key_A && cle <= Qt::Key_Z) || (cle >= Qt::Key_0 && cle <= Qt::Key_9)) return cle;
    switch (cle) {
        case Qt::Key_Backspace: return touches::RETOUR_ARRIERE;
        case Qt::Key_Return: case Qt::Key_Enter: return touches::ENTREE;
        case Qt::Key_PageUp: return touches::PAGE_PRECEDENTE;
        case Qt::Key_PageDown: return touches::PAGE_SUIVANTE;
        case Qt::Key_End: return touches::FIN;
        case Qt::Key_Home: return touches::DEBUT;
        case Qt::Key_Left: return touches::GAUCHE;
        case Qt::Key_Up: return touches::HAUT;
        case Qt::Key_Right: return touches::DROITE;
        case Qt::Key_Down: return touches::BAS;
        case Qt::Key_Delete: return touches::SUPPR;
        default: return 0;
    }
}

// ---- TEdBraille -------------------------------------------------------------

TEdBraille::TEdBraille(EditeurBraille& editeur, const OptionsAffichage& options, QWidget* parent)
    : VuePage(editeur, options, parent) {
    geo_ = GeometrieBraille::calcule(600, doc_.format().cpl, 20, 10);
}

void TEdBraille::redimensionne(int hauteurPage, int hauteurLigne, int pasLigne, int margeHaut) {
    geo_ = GeometrieBraille::calcule(hauteurPage, doc_.format().cpl, hauteurLigne, margeHaut, pasLigne);
    resize(geo_.largeurPage, hauteurPage);
    update();
}

void TEdBraille::dessinePage(QPainter& p, QPointF origine, double echelle, bool surPapier) {
    p.save();
    p.translate(origine);
    p.scale(echelle, echelle);
    const auto& m = doc_.marqueurs();
    const std::int32_t s = ed_.debutSelection(), e = ed_.finSelection();
    const bool selection = !surPapier && s >= 1 && e >= s;
    OptionsCellule base;
    base.pointsGris = options_.pointsGris;
    base.cadre = options_.cadresCellules;
    base.espacesVisibles = options_.espacesVisibles && !surPapier;
    const auto lignes = lignesAffichees(ed_, false, false);
    for (std::size_t k = 0; k < lignes.size(); ++k) {
        const LignePage& l = lignes[k];
        const int y = geo_.yLigne(static_cast<std::int32_t>(k));
        const auto longueur = static_cast<std::int32_t>(l.texte.size());
        std::int32_t col = decalageLigne(doc_, l.debut, longueur);
        // The blank cells that centre or indent a line are marked like spaces.
        for (std::int32_t c = 0; c < col; ++c) dessineCellule(p, geo_, geo_.xCellule(c), y, 0, base);
        // Runs of bytes in one state; a turned run reads reversed, every cell turned.
        for (std::int32_t i = 0; i < longueur;) {
            auto etat = [&](std::int32_t j) {
                const std::int32_t pos = l.debut + j;
                return std::make_pair(selection && pos >= s && pos <= e, m.DansMarqueur(pos, MARQUEUR_RETOURNE));
            };
            const auto courant = etat(i);
            std::int32_t j = i;
            while (j < longueur && etat(j) == courant) ++j;
            std::string run = l.texte.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(j - i));
            if (courant.second) run = retourneChaine(run);
            OptionsCellule o = base;
            o.selection = courant.first;
            o.retourne = courant.second;
            for (char b : run) dessineCellule(p, geo_, geo_.xCellule(col++), y, cellule(oct(b)) & 63, o);
            i = j;
        }
        // A selected line end shows as a selected blank after the last cell.
        const std::int32_t fin = l.debut + longueur;
        if (l.finLigne != 0 && selection && fin >= s && fin <= e) {
            OptionsCellule o = base;
            o.selection = true;
            dessineCellule(p, geo_, geo_.xCellule(col), y, 0, o);
        }
        if (l.finLigne == CR && options_.sautsParagrapheVisibles && !surPapier) {
            // A return arrow in the slot after the last cell.
            const int gauche = geo_.xCellule(col), droite = gauche + geo_.largeurCellule;
            const int a = geo_.hauteurCellule / 5, niveau = y + geo_.hauteurCellule - 2 * a;
            p.setPen(QPen(couleurs::rouge, 2));
            p.drawLine(droite, y, droite, niveau);
            p.drawLine(droite, niveau, gauche, niveau);
            p.drawLine(gauche, niveau, gauche + a, niveau + a);
            p.drawLine(gauche, niveau, gauche + a, niveau - a);
        }
        if (l.finLigne == FF) {
            if (options_.sautsPageVisibles && !surPapier) {
                const int yb = geo_.yLigne(static_cast<std::int32_t>(k) + 1) + geo_.hauteurLigne / 2;
                p.setPen(QPen(couleurs::rouge, 1, Qt::DashLine));
                p.drawLine(0, yb, geo_.largeurPage, yb);
            }
            break;
        }
    }
    p.restore();
}

void TEdBraille::dessinePageImprimee(QPainter& p, const QRect& cible, const TenteteBraille* entete,
                                     const TenteteBraille* pied) {
    const double echelle = std::min(static_cast<double>(cible.height()) / std::max(1, height()),
                                    static_cast<double>(cible.width()) / std::max(1, width()));
    const double pas = geo_.pasLigne * echelle;
    double haut = cible.y();
    if (entete) {
        entete->dessine(p, QPointF(cible.x(), cible.y()), echelle);
        haut += pas;
    }
    dessinePage(p, QPointF(cible.x(), std::round(haut - geo_.margeHaut * echelle)), echelle, true);
    if (pied) pied->dessine(p, QPointF(cible.x(), std::round(cible.y() + cible.height() - pas)), echelle);
}

QRect TEdBraille::rectCurseur() const {
    const Tligne l = doc_.ligne(ed_.curseur().ligne);
    const std::int32_t decalage = decalageLigne(doc_, l.debut, std::max(0, l.fin - l.debut + 1));
    const int x = geo_.pas * (ed_.curseur().colonne + decalage);
    const int y = geo_.yLigne(ed_.rangCurseur() - 1) + geo_.hauteurCellule;
    return QRect(x, y, geo_.largeurCellule, 2);
}

void TEdBraille::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), couleurs::blanc);
    dessinePage(p, QPointF(0, 0), 1.0);
    if (curseurAffiche_) {
        // Drawn by inversion, as a bar under the caret's cell.
        p.setCompositionMode(QPainter::CompositionMode_Difference);
        p.fillRect(rectCurseur(), couleurs::blanc);
    }
}

void TEdBraille::modeSixTouches(bool on) {
    ed_.modeSixTouches(on);
    curseurAffiche_ = true;
    if (on)
        minuterie_.start();
    else
        minuterie_.stop();
    update();
    emit modeSixTouchesChange(on);
}

TextePage TEdBraille::composeTexteAccessible() const { return texteBraille(lignesAffichees(ed_, false, false)); }

GeometriePage TEdBraille::geometriePage() const { return {geo_.margeHaut, geo_.pasLigne, geo_.pas}; }

void TEdBraille::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint q = e->position().toPoint();
    ed_.sourisEnfoncee(ed_.positionSousPointeur(q.x(), q.y(), geometriePage()));
}

void TEdBraille::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const QPoint q = e->position().toPoint();
    ed_.sourisDeplacee(ed_.positionSousPointeur(q.x(), q.y(), geometriePage()));
}

void TEdBraille::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint q = e->position().toPoint();
    ed_.sourisRelachee(ed_.positionSousPointeur(q.x(), q.y(), geometriePage()));
}

void TEdBraille::toucheEnfoncee(const QKeyEvent& e) {
    if (const int vk = toucheVirtuelle(e.key()))
        ed_.toucheEnfoncee(vk, e.modifiers() & Qt::ShiftModifier, e.modifiers() & Qt::ControlModifier);
}

void TEdBraille::toucheRelachee(const QKeyEvent& e) {
    if (const int vk = toucheVirtuelle(e.key()))
        ed_.toucheRelachee(vk, e.modifiers() & Qt::ShiftModifier, e.modifiers() & Qt::ControlModifier);
}

QString TEdBraille::caractereFrappe(const QKeyEvent& e) {
    // A chord with Alt or Ctrl (or the logo key) is a command, never text;
    // Ctrl+Alt is AltGr on Windows, which types.
    const Qt::KeyboardModifiers m = e.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    if (m && m != (Qt::AltModifier | Qt::ControlModifier)) return {};
    QString refuses;
    for (const char32_t c : e.text().toUcs4()) {
        if (!QChar::isPrint(c)) continue;  // a real Delete key carries "\x7f"
        const int b = depuisUnicode(c);
        if (b >= 0)
            ed_.caractereFrappe(static_cast<Octet>(b));
        else if (!ed_.sixTouches())
            refuses += QString::fromUcs4(&c, 1);
    }
    return refuses;
}

// ---- TenteteBraille ---------------------------------------------------------

TenteteBraille::TenteteBraille(const TEdBraille& page, QWidget* parent) : QWidget(parent), page_(page) {
    setFocusPolicy(Qt::NoFocus);
    resize(500, 40);
}

void TenteteBraille::placeEntete(int gauche, int largeur) {
    setGeometry(gauche, 1, largeur, page_.geometrie().hauteurLigne + 1);
    if (parentWidget()) parentWidget()->resize(parentWidget()->width(), height() + 1);
    update();
}

void TenteteBraille::fixeContenu(const std::string& braille) {
    texte_ = braille;
    if (parentWidget() && parentWidget()->isVisible()) update();
    if (changement) changement(*this);
}

void TenteteBraille::fixePointsGris(bool b) {
    if (pointsGris_ == b) return;
    pointsGris_ = b;
    update();
}

void TenteteBraille::fixeCadre(bool b) {
    if (cadre_ == b) return;
    cadre_ = b;
    update();
}

void TenteteBraille::dessine(QPainter& p, QPointF origine, double echelle) const {
    p.save();
    p.translate(origine);
    p.scale(echelle, echelle);
    const GeometrieBraille& g = page_.geometrie();
    OptionsCellule o;
    o.pointsGris = pointsGris_;
    o.cadre = cadre_;
    int x = g.pas;
    for (char b : texte_) {
        dessineCellule(p, g, x, 0, cellule(oct(b)) & 63, o);
        x += g.pas;
    }
    p.restore();
}

void TenteteBraille::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), couleurs::blanc);
    dessine(p, QPointF(0, 0), 1.0);
}

}  // namespace dotavob
