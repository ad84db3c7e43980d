// The Braille page on screen (right-hand page) and its header and footer
// strips: thin widgets that paint what the document model says.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "braille/document.h"
#include "braille/geometrie.h"

class QKeyEvent;
class QPainter;

namespace dotavob {

// Colours of the Braille page.
namespace couleurs {
const QColor blanc(255, 255, 255), noir(0, 0, 0), gris(221, 221, 221), selection(0, 136, 187), rouge(255, 0, 0);
}

// Draws one cell at (x, y): the selection band, the dots, the grey dots, the
// frame and the mark of a blank cell, as the options say.
struct OptionsCellule {
    bool selection = false, retourne = false, pointsGris = false, cadre = false, espacesVisibles = false;
};
void dessineCellule(QPainter& p, const GeometrieBraille& g, int x, int y, Octet cellule, const OptionsCellule& o);

// The virtual-key code of a Qt key (0 when it has none here).
int toucheVirtuelle(int cleQt);

class TEdBraille : public QWidget, public ObservateurDocument {
    Q_OBJECT
public:
    TEdBraille(DocumentBraille& document, QWidget* parent);
    ~TEdBraille() override;

    // A new page height, the print view's line pitch and top margin.
    void redimensionne(int hauteurPage, int hauteurLigne, int margeHaut);
    const GeometrieBraille& geometrie() const { return geo_; }

    // Draws the page's lines at an origin and a scale (printing, preview).
    void dessinePage(QPainter& p, QPointF origine, double echelle);

    // Display options: stored, and the page repainted only when they change.
    void fixePointsGris(bool b);
    void fixeCadre(bool b);
    void fixeSautsPage(bool b);
    void fixeSautsParagraphe(bool b);
    void fixeEspaces(bool b);

    // Keys, as the main window forwards them.
    void toucheEnfoncee(const QKeyEvent& e);
    void toucheRelachee(const QKeyEvent& e);
    void caractereFrappe(const QKeyEvent& e);
    // The six-key mode, with the caret's blink that goes with it.
    void modeSixTouches(bool on);

    // ObservateurDocument
    void lignesModifiees(std::int32_t premiere, std::int32_t derniere) override;
    void curseurDeplace(Point curseur) override;
    void selectionModifiee(std::int32_t debut, std::int32_t fin) override;
    void selectionAnnulee() override;
    void pageModifiee(std::int32_t page, std::int32_t nbPages) override;

    bool curseurAffiche() const { return curseurAffiche_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void clignote();
    QRect rectCurseur() const;
    GeometriePage geometriePage() const;
    bool changeOption(bool& option, bool valeur);

    DocumentBraille& doc_;
    GeometrieBraille geo_;
    QTimer minuterie_;
    bool curseurAffiche_ = true;
    QRect curseurPrecedent_;
};

class TenteteBraille : public QWidget {
    Q_OBJECT
public:
    TenteteBraille(const TEdBraille& page, QWidget* parent);

    // Over the Braille page: its left and width, one line high.
    void placeEntete(int gauche, int largeur);
    void fixeContenu(const std::string& braille);
    const std::string& contenu() const { return texte_; }
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
