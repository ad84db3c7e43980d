#include "interface/dialoguecodes.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QPointer>
#include <QTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "interface/couleurs.h"
#include "interface/vuebraille.h"

namespace dotavob {
namespace {

constexpr int LARGEUR = 480, HAUTEUR = 725, HAUTEUR_BANDE = 45;
constexpr int LARGEUR_GRILLE = 472, HAUTEUR_GRILLE = 636;
// The signs of the "Noir" page: slots of a line, and lines.
constexpr int GAUCHE = 10, PLACE = 58, HAUT = 14, LIGNE = 88, DESSOUS = 36;

QString versQString(const std::string& utf8) { return QString::fromStdString(utf8); }

QFont fonte(const QString& famille, int pixels) {
    QFont f(famille);
    f.setPixelSize(pixels);
    return f;
}

QColor couleur(CouleurPoints c) {
    switch (c) {
        case CouleurPoints::Bleu: return couleurs::bleu;
        case CouleurPoints::Rouge: return couleurs::rouge;
        case CouleurPoints::Vert: return couleurs::vert;
        case CouleurPoints::Noir: break;
    }
    return couleurs::noir;
}

QRect versQRect(const Rectangle& r) { return QRect(r.x, r.y, r.largeur, r.hauteur); }

}  // namespace

// ---- The widgets of the dialog ------------------------------------------------

// The grid of the 64 cells: the pointer or the arrow keys pick a cell, a
// double-click or Enter chooses it.
// The grid and the preview paint with the dialog's own grey dots and frames.
OptionsCellule optionsDe(const Tdlgchoixcode& d) {
    OptionsCellule o;
    o.pointsGris = d.pointsGris();
    o.cadre = d.cadre();
    return o;
}

class GrilleCellules : public QWidget {
public:
    GrilleCellules(Tdlgchoixcode& d, QWidget* parent) : QWidget(parent), d_(d) {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setFont(fonte(QStringLiteral("Arial"), 20));
        setObjectName(QStringLiteral("grilleCellules"));
        setAccessibleName(QStringLiteral("Grille des cellules braille"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const GrilleCodes& g = d_.g_;
        QPainter p(this);
        p.fillRect(rect(), couleurs::blanc);
        const GeometrieBraille geo = g.geometrieCellule();
        OptionsCellule o = optionsDe(d_);
        for (int c = 0; c < COLONNES_GRILLE; ++c)
            for (int r = 0; r < RANGS_GRILLE; ++r) {
                o.couleurPoints = couleur(couleurPoints({c, r}));
                dessineCellule(p, geo, g.xColonne(c), g.yRang(r), celluleGrille({c, r}), o);
            }
        p.setPen(couleurs::argent);
        for (int k = 0; k < 2; ++k) p.drawLine(0, g.ySeparation(k), width(), g.ySeparation(k));
        if (!d_.survol_.valide()) return;
        const QRect boite = versQRect(g.boiteCaractere(d_.survol_));
        p.setPen(couleurs::bleu);
        p.setBrush(couleurs::blanc);
        p.drawRect(boite.adjusted(0, 0, -1, -1));
        p.setPen(couleurs::noir);
        p.setFont(font());
        p.drawText(boite, Qt::AlignCenter, QString(QChar(versUnicode(caractere(celluleGrille(d_.survol_))))));
    }
    void resizeEvent(QResizeEvent*) override { d_.redimensionne(); }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint q = e->position().toPoint();
        d_.survole(q.x(), q.y());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        // The pointer came here: the cell under it is the one hovered.
        const QPoint q = e->position().toPoint();
        d_.survole(q.x(), q.y());
        d_.choisitCase();
    }
    void keyPressEvent(QKeyEvent* e) override {
        int dc = 0, dr = 0;
        switch (e->key()) {
            case Qt::Key_Left: dc = -1; break;
            case Qt::Key_Right: dc = 1; break;
            case Qt::Key_Up: dr = -1; break;
            case Qt::Key_Down: dr = 1; break;
            case Qt::Key_Return:
            case Qt::Key_Enter: d_.choisitCase(); return;
            default: QWidget::keyPressEvent(e); return;
        }
        d_.fixeSurvol(deplaceCase(d_.survol_, dc, dr));
    }
    void focusInEvent(QFocusEvent* e) override {
        QWidget::focusInEvent(e);
        // The cell hovered, if any, is said after Qt has said the grid itself;
        // else the first arrow goes to the first letter.
        QTimer::singleShot(0, this, [this] { annonceCase(); });
    }

public:
    // A screen reader hears the cell reached: its dots.
    void annonceCase() {
        if (!hasFocus() || !d_.survol_.valide() || !QAccessible::isActive()) return;
        QAccessibleEvent ev(this, QAccessible::Focus);
        ev.setChild(indiceCase(d_.survol_));
        QAccessible::updateAccessibility(&ev);
    }
    // The cells as a screen reader counts them: column by column, the two
    // empty slots of the first row left out.
    static bool vide(CaseGrille k) { return k.rang == 0 && (k.colonne == 0 || k.colonne == COLONNES_GRILLE - 1); }
    static int indiceCase(CaseGrille c) {
        int i = 0;
        for (int col = 0; col < COLONNES_GRILLE; ++col)
            for (int r = 0; r < RANGS_GRILLE; ++r) {
                const CaseGrille k{col, r};
                if (vide(k)) continue;
                if (k == c) return i;
                ++i;
            }
        return -1;
    }
    static CaseGrille caseDIndice(int indice) {
        int i = 0;
        for (int col = 0; col < COLONNES_GRILLE; ++col)
            for (int r = 0; r < RANGS_GRILLE; ++r) {
                const CaseGrille k{col, r};
                if (vide(k)) continue;
                if (i++ == indice) return k;
            }
        return {};
    }
    const Tdlgchoixcode& dialogue() const { return d_; }

private:
    Tdlgchoixcode& d_;
};

// ---- What a screen reader reads of the grid ------------------------------------

// One cell of the grid: named by its dots, selected when it is the one chosen.
class CaseAccessible : public QAccessibleInterface {
public:
    CaseAccessible(GrilleCellules* grille, CaseGrille c) : grille_(grille), case_(c) {}
    bool isValid() const override { return !grille_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grille_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return {};
        const std::string points = pointsDe(celluleGrille(case_));
        return points.empty() ? QStringLiteral("cellule vide") : QStringLiteral("points %1").arg(versQString(points));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!grille_) return {};
        const GrilleCodes& g = grille_->dialogue().metriques();
        return QRect(grille_->mapToGlobal(QPoint(g.xColonne(case_.colonne), g.yRang(case_.rang))), QSize(g.A, g.B));
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = s.selectable = true;
        const bool choisie = grille_ && grille_->dialogue().survol() == case_;
        s.selected = choisie;
        s.focused = choisie && grille_->hasFocus();
        return s;
    }

private:
    QPointer<GrilleCellules> grille_;
    CaseGrille case_;
};

class GrilleAccessible : public QAccessibleWidget {
public:
    explicit GrilleAccessible(GrilleCellules* g) : QAccessibleWidget(g, QAccessible::List), grille_(g) {}
    ~GrilleAccessible() override {
        for (QAccessible::Id id : std::as_const(cases_)) QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override { return GrilleCellules::indiceCase({COLONNES_GRILLE - 1, RANGS_GRILLE - 1}) + 1; }
    QAccessibleInterface* child(int i) const override {
        if (i < 0 || i >= childCount()) return nullptr;
        if (!cases_.contains(i)) {
            auto* c = new CaseAccessible(grille_, GrilleCellules::caseDIndice(i));
            cases_.insert(i, QAccessible::registerAccessibleInterface(c));
        }
        return QAccessible::accessibleInterface(cases_.value(i));
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        for (auto it = cases_.cbegin(); it != cases_.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == c) return it.key();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint q = grille_->mapFromGlobal(QPoint(x, y));
        const auto c = grille_->dialogue().metriques().caseSous(q.x(), q.y());
        return c && c->valide() ? child(GrilleCellules::indiceCase(*c)) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const CaseGrille c = grille_->dialogue().survol();
        return c.valide() ? child(GrilleCellules::indiceCase(c)) : nullptr;
    }

private:
    GrilleCellules* grille_;
    mutable QHash<int, QAccessible::Id> cases_;
};

QAccessibleInterface* fabriqueGrille(const QString&, QObject* objet) {
    if (auto* w = qobject_cast<QWidget*>(objet); w && w->objectName() == QLatin1String("grilleCellules"))
        return new GrilleAccessible(static_cast<GrilleCellules*>(w));
    return nullptr;
}

// The cells of the sign under the pointer, beside it.
class ApercuCode : public QWidget {
public:
    ApercuCode(Tdlgchoixcode& d, QWidget* parent) : QWidget(parent), d_(d) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFont(fonte(QStringLiteral("Arial"), 20));
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const GrilleCodes& g = d_.g_;
        QPainter p(this);
        p.fillRect(rect(), couleurs::blanc);
        const GeometrieBraille geo = g.geometrieCellule();
        OptionsCellule o = optionsDe(d_);
        for (std::size_t k = 0; k < d_.texteApercu_.size(); ++k)
            dessineCellule(p, geo, g.xApercu(static_cast<int>(k)), g.yApercu(),
                           cellule(oct(d_.texteApercu_[k])) & 63, o);
    }

private:
    Tdlgchoixcode& d_;
};

// The "Noir" page: the pointer off the signs hides the preview.
class PageSignes : public QWidget {
public:
    PageSignes(Tdlgchoixcode& d, QWidget* parent) : QWidget(parent), d_(d) {
        setMouseTracking(true);
        setAccessibleName(QStringLiteral("Signes en noir"));
    }

protected:
    void mouseMoveEvent(QMouseEvent*) override { d_.cacheApercu(); }

private:
    Tdlgchoixcode& d_;
};

// A print sign: the pointer over it (or the focus on it) previews its cells;
// a double-click (or Enter) inserts it.
class EtiquetteSigne : public QLabel {
public:
    EtiquetteSigne(Tdlgchoixcode& d, const EtiquetteCode& e, QWidget* parent)
        : QLabel(versQString(e.legende), parent), d_(d), e_(e) {
        setFont(fonte(e.times ? QStringLiteral("Times New Roman") : QStringLiteral("Arial"), e.taille));
        setAccessibleName(versQString(e.nom));
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        adjustSize();
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent* ev) override {
        if (ev->button() == Qt::LeftButton) d_.choisitEtiquette(e_);
    }
    void mouseMoveEvent(QMouseEvent*) override { d_.montreApercu(e_, geometry().bottomRight() + QPoint(1, 1)); }
    void focusInEvent(QFocusEvent* ev) override {
        QLabel::focusInEvent(ev);
        // Reached by Tab or the arrows; the dialog's opening (which Qt tells
        // as a Tab too) shows no preview.
        if ((ev->reason() == Qt::TabFocusReason || ev->reason() == Qt::BacktabFocusReason) && !d_.ouverture_)
            d_.montreApercu(e_, geometry().bottomRight() + QPoint(1, 1));
    }
    void keyPressEvent(QKeyEvent* ev) override {
        int dPlace = 0, dLigne = 0;
        switch (ev->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space: d_.choisitEtiquette(e_); return;
            case Qt::Key_Left: dPlace = -1; break;
            case Qt::Key_Right: dPlace = 1; break;
            case Qt::Key_Up: dLigne = -1; break;
            case Qt::Key_Down: dLigne = 1; break;
            default: QLabel::keyPressEvent(ev); return;
        }
        // The arrows walk the signs as they stand on the page.
        const auto i = static_cast<std::size_t>(&e_ - etiquettesCodes().data());
        d_.etiquettes_.at(static_cast<qsizetype>(etiquetteVoisine(i, dPlace, dLigne)))->setFocus(Qt::TabFocusReason);
    }

private:
    Tdlgchoixcode& d_;
    const EtiquetteCode& e_;
};

// What a sign is called, under it: a double-click closes the dialog, nothing chosen.
class LegendeSigne : public QLabel {
public:
    LegendeSigne(Tdlgchoixcode& d, const LegendeCode& l, QWidget* parent) : QLabel(versQString(l.texte), parent), d_(d) {
        setFont(fonte(QStringLiteral("Arial"), 11));
        setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setWordWrap(true);
        setMouseTracking(true);
        QString nom = text();
        setAccessibleName(nom.remove(QLatin1Char('(')).remove(QLatin1Char(')')));
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent* ev) override {
        if (ev->button() == Qt::LeftButton) d_.choisitLegende();
    }
    void mouseMoveEvent(QMouseEvent*) override { d_.cacheApercu(); }

private:
    Tdlgchoixcode& d_;
};

// ---- The dialog -------------------------------------------------------------------

Tdlgchoixcode::Tdlgchoixcode(const OptionsAffichage& options, QWidget* parent) : QDialog(parent), options_(options) {
    static const bool fabrique = (QAccessible::installFactory(fabriqueGrille), true);
    (void)fabrique;
    setObjectName(QStringLiteral("dlgchoixcode"));
    setWindowTitle(QStringLiteral("Choix d'un code"));
    setFixedSize(LARGEUR, HAUTEUR);

    onglets_ = new QTabWidget(this);
    onglets_->setGeometry(0, 0, LARGEUR, HAUTEUR - HAUTEUR_BANDE);
    onglets_->tabBar()->setFont(fonte(QStringLiteral("Arial"), 24));
    pageNoir_ = new PageSignes(*this, nullptr);
    auto* pageBraille = new QWidget;
    pageBraille->setAccessibleName(QStringLiteral("Cellules braille"));
    // Its own size, not the page's: a page not shown yet has none, and the
    // preview on "Noir" takes the grid's metrics.
    grille_ = new GrilleCellules(*this, pageBraille);
    grille_->setGeometry(0, 0, LARGEUR_GRILLE, HAUTEUR_GRILLE);
    onglets_->addTab(pageNoir_, QStringLiteral("Noir"));
    onglets_->addTab(pageBraille, QStringLiteral("Braille"));
    onglets_->tabBar()->setAccessibleTabName(0, QStringLiteral("Signes en noir"));
    onglets_->tabBar()->setAccessibleTabName(1, QStringLiteral("Cellules braille"));
    onglets_->setAccessibleName(QStringLiteral("Signes en noir ou cellules braille"));

    // The two display switches, right of the tabs.
    auto* coin = new QWidget(onglets_);
    auto* lc = new QHBoxLayout(coin);
    lc->setContentsMargins(0, 0, 4, 0);
    auto bascule = [coin, lc](const QString& icone, const QString& texte) {
        auto* b = new QToolButton(coin);
        b->setIcon(QIcon(QStringLiteral(":/icones/%1.svg").arg(icone)));
        b->setIconSize(QSize(24, 24));
        b->setCheckable(true);
        b->setText(texte);
        b->setToolTip(texte);
        b->setAccessibleName(texte);
        lc->addWidget(b);
        return b;
    };
    boutonGris_ = bascule(QStringLiteral("points-gris"), QStringLiteral("Affichage des points gris"));
    boutonCadre_ = bascule(QStringLiteral("cadre"), QStringLiteral("Affichage du cadre"));
    onglets_->setCornerWidget(coin, Qt::TopRightCorner);
    // The dialog's own flags: the grid shows them at once, the preview at its next showing.
    connect(boutonGris_, &QToolButton::toggled, this, [this](bool b) {
        pointsGris_ = b;
        grille_->update();
    });
    connect(boutonCadre_, &QToolButton::toggled, this, [this](bool b) {
        cadre_ = b;
        grille_->update();
    });

    for (const EtiquetteCode& e : etiquettesCodes()) {
        const int x = GAUCHE + e.place * PLACE, y = HAUT + (e.ligne - 1) * LIGNE;
        auto* s = new EtiquetteSigne(*this, e, pageNoir_);
        if (e.support.empty()) {
            s->move(x + (PLACE - s->width()) / 2, y);
        } else {
            // A superscript after its grey base, which does nothing.
            auto* base = new QLabel(versQString(e.support), pageNoir_);
            base->setFont(fonte(QStringLiteral("Arial"), 23));
            base->setStyleSheet(QStringLiteral("color: rgb(200, 200, 200)"));
            base->setAttribute(Qt::WA_TransparentForMouseEvents);
            base->adjustSize();
            const int gauche = x + (PLACE - base->width() - s->width()) / 2;
            base->move(gauche, y);
            s->move(gauche + base->width(), y - 2);
        }
        etiquettes_.append(s);
    }
    for (const LegendeCode& c : legendesCodes()) {
        auto* l2 = new LegendeSigne(*this, c, pageNoir_);
        l2->setGeometry(GAUCHE + c.place * PLACE - 2, HAUT + (c.ligne - 1) * LIGNE + DESSOUS, c.largeur * PLACE + 4, 30);
        legendes_.append(l2);
    }
    apercu_ = new ApercuCode(*this, pageNoir_);

    auto* consigne =
        new QLabel(QStringLiteral("Doublecliquer sur le code à insérer, ou Tab, flèches et Entrée"), this);
    consigne->setWordWrap(true);
    consigne->setGeometry(8, HAUTEUR - HAUTEUR_BANDE, LARGEUR - 116, HAUTEUR_BANDE);
    setAccessibleDescription(consigne->text());
    fermer_ = new QPushButton(QStringLiteral("Fermer"), this);
    fermer_->setAccessibleName(QStringLiteral("Fermer"));
    fermer_->setAutoDefault(false);  // Enter chooses on the grid; it never closes
    fermer_->setGeometry(LARGEUR - 98, HAUTEUR - HAUTEUR_BANDE + 8, 90, HAUTEUR_BANDE - 16);
    connect(fermer_, &QPushButton::clicked, this, &QDialog::reject);
    // Tab goes from the tabs to the signs or the grid, then to "Fermer", the
    // display switches last.
    setTabOrder(fermer_, boutonGris_);
    setTabOrder(boutonGris_, boutonCadre_);
    g_ = GrilleCodes::calcule(grille_->width());
}

QWidget* Tdlgchoixcode::pageNoir() const { return pageNoir_; }
QWidget* Tdlgchoixcode::grille() const { return grille_; }
QWidget* Tdlgchoixcode::apercu() const { return apercu_; }

std::optional<Octet> Tdlgchoixcode::celluleChoisie() const {
    if (!survol_.valide()) return std::nullopt;
    return celluleGrille(survol_);
}

std::string Tdlgchoixcode::aInserer() const {
    if (const auto c = celluleChoisie()) return std::string(1, static_cast<char>(octetDeCellule(*c)));
    return texteChoisi_;
}

void Tdlgchoixcode::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    ouverture_ = true;
    QTimer::singleShot(0, this, [this] { ouverture_ = false; });
    activation();
}

void Tdlgchoixcode::activation() {
    survol_ = {};
    texteChoisi_.clear();
    for (QWidget* w : {static_cast<QWidget*>(grille_), static_cast<QWidget*>(apercu_)}) {
        QFont f = w->font();
        f.setBold(true);
        w->setFont(f);
    }
    boutonGris_->setChecked(true);
    pointsGris_ = true;
    boutonCadre_->setChecked(options_.cadresCellules);
    cadre_ = options_.cadresCellules;
    cacheApercu();
    redimensionne();
    // The keyboard starts on what the tab shown offers: the first sign, or the grid.
    if (onglets_->currentIndex() == 0)
        etiquettes_.front()->setFocus(Qt::OtherFocusReason);
    else
        grille_->setFocus(Qt::OtherFocusReason);
}

void Tdlgchoixcode::redimensionne() {
    g_ = GrilleCodes::calcule(grille_->width());
    for (QWidget* w : {static_cast<QWidget*>(grille_), static_cast<QWidget*>(apercu_)}) {
        QFont f = w->font();
        f.setPixelSize(std::max(1, g_.hauteurFonte));
        w->setFont(f);
    }
    apercu_->resize(apercu_->width(), g_.hauteurApercu);
    grille_->update();
}

void Tdlgchoixcode::survole(int x, int y) {
    if (const auto c = g_.caseSous(x, y)) fixeSurvol(*c);
}

void Tdlgchoixcode::fixeSurvol(CaseGrille c) {
    if (c == survol_) return;
    const int marge = 1;  // the outline's pen
    if (survol_.valide()) grille_->update(versQRect(g_.boiteCaractere(survol_)).adjusted(-marge, -marge, marge, marge));
    survol_ = c;
    if (survol_.valide()) grille_->update(versQRect(g_.boiteCaractere(survol_)).adjusted(-marge, -marge, marge, marge));
    // A screen reader hears the cell the arrows reached.
    grille_->annonceCase();
}

void Tdlgchoixcode::choisitEtiquette(const EtiquetteCode& e) {
    survol_ = {};
    texteChoisi_ = e.insere;
    accept();
}

void Tdlgchoixcode::choisitLegende() {
    survol_ = {};
    accept();
}

void Tdlgchoixcode::choisitCase() {
    if (survol_.valide()) accept();
}

void Tdlgchoixcode::montreApercu(const EtiquetteCode& e, QPoint coin) {
    pointApercu_ = coin;
    afficheApercu(e.apercu);
}

void Tdlgchoixcode::cacheApercu() {
    pointApercu_ = QPoint();
    afficheApercu(std::string());
}

void Tdlgchoixcode::afficheApercu(const std::string& texte) {
    if (texte == texteApercu_) return;
    texteApercu_ = texte;
    if (pointApercu_.x() < 1 || texte.empty()) {
        apercu_->hide();
        return;
    }
    const int largeur = g_.largeurApercu(static_cast<int>(texte.size()));
    // Kept inside the page on the right.
    const int x = std::min(pointApercu_.x(), pageNoir_->width() - largeur);
    apercu_->setGeometry(x, pointApercu_.y(), largeur, g_.hauteurApercu);
    apercu_->raise();
    apercu_->show();
    apercu_->update();
}

}  // namespace dotavob
