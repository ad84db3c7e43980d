#include "interface/vuepage.h"

#include "interface/accessibilite.h"

#include <QWheelEvent>
#include <algorithm>

namespace dotavob {

VuePage::VuePage(EditeurBraille& editeur, const OptionsAffichage& options, QWidget* parent)
    : QWidget(parent), ed_(editeur), doc_(editeur.document()), options_(options) {
    setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the main window
    resize(500, 600);
    minuterie_.setInterval(500);
    connect(&minuterie_, &QTimer::timeout, this, [this] { clignote(); });
    doc_.ajouteObservateur(this);
    ed_.ajouteObservateur(this);
}

VuePage::~VuePage() {
    ed_.retireObservateur(this);
    doc_.retireObservateur(this);
}

void VuePage::repeint(std::int32_t premiere, std::int32_t derniere) {
    const std::int32_t n = doc_.format().nbLignesTexte, debut = ed_.premiereLigne();
    if (premiere > debut + n || derniere < debut) return;
    const int haut = yRang(std::max(premiere, debut) - debut);
    const int bas = yRang(std::min(derniere, debut + n) - debut + 1);
    // A visible page break is drawn below the last line: repaint down to it.
    update(QRect(0, haut, width(), options_.sautsPageVisibles ? height() - haut : bas - haut));
}

// A screen reader hears each change of the page's text, caret and selection.
void VuePage::lignesModifiees(std::int32_t premiere, std::int32_t derniere) {
    repeint(premiere, derniere);
    annonceTexte(*this);
}
void VuePage::vueModifiee(std::int32_t premiere, std::int32_t derniere) {
    repeint(premiere, derniere);
    annonceTexte(*this);
}
void VuePage::selectionModifiee(std::int32_t, std::int32_t) { annonceSelection(*this); }
void VuePage::selectionAnnulee() { annonceSelection(*this); }

void VuePage::curseurDeplace(Point) {
    // A caret move repaints the caret alone; a blink restarts from shown.
    curseurAffiche_ = true;
    update(curseurPrecedent_);
    curseurPrecedent_ = rectCurseur();
    update(curseurPrecedent_);
    annonceCurseur(*this);
}

void VuePage::wheelEvent(QWheelEvent* e) {
    if (e->modifiers() & Qt::ControlModifier) {
        e->ignore();  // Ctrl+wheel is left to the window
        return;
    }
    molette_ += e->angleDelta().y();
    constexpr int CRAN = 120;
    while (molette_ >= CRAN) {
        molette_ -= CRAN;
        ed_.allerPage(ed_.pageCourante() - 1);
    }
    while (molette_ <= -CRAN) {
        molette_ += CRAN;
        ed_.allerPage(ed_.pageCourante() + 1);
    }
    e->accept();
}

void VuePage::clignote() {
    curseurAffiche_ = !curseurAffiche_;
    update(rectCurseur());
}

}  // namespace dotavob
