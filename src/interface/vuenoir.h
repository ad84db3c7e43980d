// The print page on screen (left-hand page) and its header and footer
// strips: they read the Braille through the core and draw it in print.
#pragma once

#include <QFont>
#include <QWidget>
#include <functional>

#include "core/editeur/lignespage.h"
#include "interface/vuepage.h"

class QPainter;

class QPaintDevice;

namespace dotavob {

class TenteteBraille;

// The fonts a line of print is drawn with.
struct FontesNoir {
    QFont base;
    int hauteurGras = 0;  // pixel height of bold runs, so that they keep the column width

    QFont pour(std::uint8_t style, bool barre) const;
    // The same fonts for a page drawn at this scale (printing, preview).
    FontesNoir aLEchelle(double echelle) const;
};

// Each piece's drawn width, in order, measured on a device (null: the screen).
std::vector<int> largeursMorceaux(const LigneNoire& l, const FontesNoir& f, const QPaintDevice* appareil = nullptr);
// The text of a piece as it is drawn (pi for the Greek run).
QString texteMorceau(const MorceauNoir& m);

class TMyEdit : public VuePage {
    Q_OBJECT
public:
    TMyEdit(EditeurBraille& editeur, const OptionsAffichage& options, QWidget* parent);

    void setNomFonte(const QString& nom);
    // The page geometry from the parent's height; widened until a line fits.
    void redimentionne(bool interligneDouble);

    int hauteurLigne() const { return hauteurLigne_; }
    int interligne() const { return interligne_; }
    int pas() const { return hauteurLigne_ + interligne_; }
    int margeGauche() const { return margeGauche_; }
    int margeHaut() const { return margeHaut_; }
    const FontesNoir& fontes() const { return fontes_; }
    QRect rectCurseur() const override;
protected:
    TextePage composeTexteAccessible() const override;

public:

    // `surPapier`: no selection and none of the screen's marks (arrows, spaces).
    void dessinePage(QPainter& p, QPointF origine, double echelle, bool surPapier = false) const;
    // The shown page with its header and footer strips (null when off), into
    // a rectangle of any surface (printer, preview), scaled by height.
    void dessinePageImprimee(QPainter& p, const QRect& cible, const class TenteteNoir* entete,
                             const class TenteteNoir* pied) const;

protected:
    int yRang(std::int32_t k) const override { return k * pas() + margeHaut_; }
    void clignote() override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // What lies under a point: a unit (debut..fin, from its hidden prefixes
    // on), or a place between units (left of the text, past its end): then
    // fin = debut - 1. A click puts the caret at debut, before the unit, as
    // on the Braille page; a drag selects up to fin.
    struct Impact {
        std::int32_t debut = 0;
        std::int32_t fin = 0;
    };
    Impact sousLePoint(QPoint q) const;
    // Left of the line's text, from the left margin: centring or indentation.
    int decalage(const LignePage& l, const std::vector<int>& largeurs, const FontesNoir& f,
                 const QPaintDevice* appareil = nullptr, double echelle = 1.0) const;

    FontesNoir fontes_;
    int hauteurLigne_ = 16, interligne_ = 0, margeGauche_ = 0, margeHaut_ = 0;
    std::int32_t ancre_ = 0;
};

class TenteteNoir : public QWidget {
    Q_OBJECT
public:
    TenteteNoir(const TenteteBraille& braille, QWidget* parent);

    // Over the print page; `marge` is the page's left margin.
    void placeEntete(int gauche, int largeur, const FontesNoir& fontes, int marge);
    void fixeSignesModificateurs(bool b);
    bool signesModificateurs() const { return brut_; }
    void dessineEntete(QPainter& p, QPointF origine, double echelle) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const TenteteBraille& braille_;
    FontesNoir fontes_;
    int marge_ = 0;
    bool brut_ = false;
};

}  // namespace dotavob
