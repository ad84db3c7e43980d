#include "interface/vuepage.h"

#include "interface/accessibilite.h"

#include <QAccessible>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

namespace dotavob {

VuePage::VuePage(EditeurBraille& editeur, const OptionsAffichage& options, QWidget* parent)
    : QWidget(parent), ed_(editeur), doc_(editeur.document()), options_(options) {
    setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the main window
    resize(500, 600);
    minuterie_.setInterval(500);
    connect(&minuterie_, &QTimer::timeout, this, [this] { clignote(); });
    annonces_.setSingleShot(true);
    annonces_.setInterval(0);
    connect(&annonces_, &QTimer::timeout, this, [this] { annonceMaintenant(); });
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

VuePage::CleTexte VuePage::cleTexte() const {
    return {ed_.premiereLigne(), doc_.format().nbLignesTexte, ed_.tousLesSignes()};
}

const TextePage& VuePage::texteAccessible() const {
    // Every change of the text is heard below; the page shown, its length
    // and the signs shown are checked besides, as they change without a word.
    if (!texte_ || cle_ != cleTexte()) {
        texte_ = composeTexteAccessible();
        cle_ = cleTexte();
        ++compositions_;
    }
    return *texte_;
}

QString VuePage::ligneDuCurseur() const {
    const TextePage& t = texteAccessible();
    const Morceau m = morceau(t, decalageDe(t, ed_.positionCurseur()), Frontiere::Ligne, Cote::A);
    std::u32string_view l = std::u32string_view(t.texte).substr(m.debut, m.fin - m.debut);
    if (!l.empty() && l.back() == U'\n') l.remove_suffix(1);
    return QString::fromUcs4(l.data(), static_cast<qsizetype>(l.size()));
}

void VuePage::fixeParole(bool parle) {
    if (parle == parle_) return;
    parle_ = parle;
    // What a silent page last told is stale: it starts again from its text
    // as it stands, so that its very next change is told.
    texteAnnonce.reset();
    curseurAnnonce.reset();
    if (parle_ && QAccessible::isActive()) texteAnnonce = texteAccessible().texte;
    texteAAnnoncer_ = curseurAAnnoncer_ = selectionAAnnoncer_ = false;
}

void VuePage::aAnnoncer(bool texte, bool curseur, bool selection) {
    // While nobody listens, what was last told stays the base of the next
    // change told: the screen reader then hears everything it missed at once.
    if (!parle_ || !QAccessible::isActive()) return;
    texteAAnnoncer_ |= texte;
    curseurAAnnoncer_ |= curseur;
    selectionAAnnoncer_ |= selection;
    // A keystroke changes the text, re-wraps, moves the caret and may turn
    // the page: the screen reader hears it once, when it is over.
    if (planifie)
        planifie();
    else
        annonces_.start();
}

void VuePage::annonceMaintenant() {
    annonces_.stop();
    annonce(*this, std::exchange(texteAAnnoncer_, false), std::exchange(curseurAAnnoncer_, false),
            std::exchange(selectionAAnnoncer_, false));
}

// A screen reader hears each change of the page's text, caret and selection.
void VuePage::lignesModifiees(std::int32_t premiere, std::int32_t derniere) {
    texte_.reset();
    repeint(premiere, derniere);
    aAnnoncer(true, false, false);
}
void VuePage::vueModifiee(std::int32_t premiere, std::int32_t derniere) {
    texte_.reset();
    repeint(premiere, derniere);
    aAnnoncer(true, false, false);
}
void VuePage::pageModifiee(std::int32_t, std::int32_t) {
    texte_.reset();
    aAnnoncer(true, true, false);
}
void VuePage::selectionModifiee(std::int32_t, std::int32_t) { aAnnoncer(false, false, true); }
void VuePage::selectionAnnulee() { aAnnoncer(false, false, true); }

void VuePage::curseurDeplace(Point) {
    // A caret move repaints the caret alone; a blink restarts from shown.
    curseurAffiche_ = true;
    update(curseurPrecedent_);
    curseurPrecedent_ = rectCurseur();
    update(curseurPrecedent_);
    aAnnoncer(false, true, false);
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
