// The Braille page on screen (right-hand page) and its header and footer
// strips: thin widgets that paint what the document and the editor say.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "core/editeur/geometrie.h"
#include "interface/couleurs.h"
#include "interface/vuepage.h"

class QKeyEvent;
class QPainter;

namespace dotavob {

// Draws one cell at (x, y): the selection band, the dots, the grey dots, the
// frame and the mark of a blank cell, as the options say.
struct OptionsCellule {
    bool selection = false, retourne = false, pointsGris = false, cadre = false, espacesVisibles = false;
    QColor couleurPoints = couleurs::noir;  // raised dots neither selected nor turned
};
void dessineCellule(QPainter& p, const GeometrieBraille& g, int x, int y, Octet cellule, const OptionsCellule& o);

// The virtual-key code of a Qt key (0 when it has none here).
int toucheVirtuelle(int cleQt);

class TEdBraille : public VuePage {
    Q_OBJECT
public:
    TEdBraille(EditeurBraille& editeur, const OptionsAffichage& options, QWidget* parent);

    // A new page height, the print view's line height, line pitch and top margin.
    void redimensionne(int hauteurPage, int hauteurLigne, int pasLigne, int margeHaut);
    const GeometrieBraille& geometrie() const { return geo_; }

    // Draws the page's lines at an origin and a scale.
    // `surPapier`: no selection and none of the screen's marks (arrows).
    void dessinePage(QPainter& p, QPointF origine, double echelle, bool surPapier = false);
    // The page with its header and footer strips (null: off) scaled into a
    // rectangle of any device, its first line at the top as on the print page.
    void dessinePageImprimee(QPainter& p, const QRect& cible, const class TenteteBraille* entete,
                             const class TenteteBraille* pied);

    // Keys, as the main window forwards them.
    void toucheEnfoncee(const QKeyEvent& e);
    void toucheRelachee(const QKeyEvent& e);
    // Types the key's text; returns the characters that code page 1252
    // cannot hold, which type nothing.
    QString caractereFrappe(const QKeyEvent& e);
    // The six-key mode, with the caret's blink that goes with it.
    void modeSixTouches(bool on);

    QRect rectCurseur() const override;
protected:
    TextePage composeTexteAccessible() const override;

public:

signals:
    // The keyboard mode changed (the window moves the focus to the page typed on).
    void modeSixTouchesChange(bool on);

protected:
    int yRang(std::int32_t k) const override { return geo_.yLigne(k); }
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    GeometriePage geometriePage() const;

    GeometrieBraille geo_;
};

class TenteteBraille : public QWidget {
    Q_OBJECT
public:
    TenteteBraille(const TEdBraille& page, QWidget* parent);

    // Over the Braille page: its left and width, one line high.
    void placeEntete(int gauche, int largeur);
    void fixeContenu(const std::string& braille);
    const std::string& contenu() const { return texte_; }
    // The strips' own grey dots and frames: the tool buttons set them, the
    // menu entries leave them as they are.
    void fixePointsGris(bool b);
    void fixeCadre(bool b);
    // Called after each new text (the print strip follows).
    std::function<void(TenteteBraille&)> changement;

    void dessine(QPainter& p, QPointF origine, double echelle) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const TEdBraille& page_;
    std::string texte_;
    bool pointsGris_ = false, cadre_ = false;
};

}  // namespace dotavob
