#include "interface/fenetreprincipale.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QToolButton>

#include "core/fichiers/dtv.h"
#include "core/fichiers/rtf.h"
#include "interface/vuebraille.h"
#include "interface/vuenoir.h"
#include "plateforme/pressepapiers.h"

namespace dotavob {
namespace {

const QString TITRE = QStringLiteral("DotavoB 2.9 - ");
constexpr int HAUTEUR_BOUTONS = 55;
constexpr int LARGEUR_SEPARATEUR = 24;
constexpr int LARGEUR_MINIMALE = 870, HAUTEUR_MINIMALE = 560;

PressePapiersSysteme pressePapiersSysteme;

QWidget* panneau(QWidget* parent, const QColor& couleur) {
    auto* w = new QWidget(parent);
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, couleur);
    w->setPalette(pal);
    return w;
}

}  // namespace

TFDotavoB::TFDotavoB(MagasinReglages reglages, QStringList arguments)
    : reglages_(std::move(reglages)), arguments_(std::move(arguments)) {
    // FormCreate.
    setWindowTitle(TITRE);
    resize(1085, 691);
    // Every tool button and both pages stay usable: the tool bar is 850
    // pixels wide, and the pages keep room for their lines.
    setMinimumSize(LARGEUR_MINIMALE, HAUTEUR_MINIMALE);
    std::string fonte = nomfonte_.toStdString();
    if (reglages_.litfonte(fonte)) nomfonte_ = QString::fromStdString(cp1252VersUtf8(fonte));
    afficheErreur = [this](const QString& m) { QMessageBox::warning(this, QStringLiteral("DotavoB"), m); };

    client_ = new QWidget(this);
    client_->setFocusPolicy(Qt::StrongFocus);  // holds the keyboard focus, as the hidden edit did
    setCentralWidget(client_);
    panelBoutons_ = panneau(client_, QColor(166, 202, 240));
    panel3_ = new QWidget(client_);
    panelEntete_ = panneau(panel3_, Qt::white);
    panelPied_ = panneau(panel3_, Qt::white);
    panel1_ = new QWidget(panel3_);
    separateur_ = new QWidget(panel1_);
    panelEntete_->hide();
    panelPied_->hide();

    noir_ = new TMyEdit(ed_, options_, panel1_);
    noir_->setNomFonte(nomfonte_);
    braille_ = new TEdBraille(ed_, options_, panel1_);
    ed_.ajouteObservateur(this);
    ed_.setPressePapiers(&pressePapiersSysteme);
    enteteBraille_ = new TenteteBraille(*braille_, panelEntete_);
    piedBraille_ = new TenteteBraille(*braille_, panelPied_);
    enteteNoir_ = new TenteteNoir(*enteteBraille_, panelEntete_);
    piedNoir_ = new TenteteNoir(*piedBraille_, panelPied_);
    enteteBraille_->changement = [this](TenteteBraille&) {
        if (panelEntete_->isVisible()) enteteNoir_->update();
    };
    piedBraille_->changement = [this](TenteteBraille&) {
        if (panelPied_->isVisible()) piedNoir_->update();
    };
    creeBoutons();
    creeMenus();
    client_->installEventFilter(this);
    qApp->installEventFilter(this);
}

TFDotavoB::~TFDotavoB() {
    qApp->removeEventFilter(this);
    ed_.retireObservateur(this);
    // The views observe the document and the editor: they go before them.
    delete client_;
}

QToolButton* TFDotavoB::bouton(QWidget* parent, const QString& texte, const QString& bulle, int x, int largeur) {
    auto* b = new QToolButton(parent);
    b->setText(texte);
    b->setToolTip(bulle);
    b->setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the document
    b->setGeometry(x, 6, largeur, 42);
    return b;
}

void TFDotavoB::creeBoutons() {
    auto relie = [this](QToolButton* b, auto action) { connect(b, &QToolButton::clicked, this, action); };
    bouton(panelBoutons_, QStringLiteral("…"), QStringLiteral("Autre code"), 4, 22)->setEnabled(false);
    relie(bouton(panelBoutons_, QStringLiteral("¶"), QStringLiteral("Insère un saut à la ligne"), 30, 52),
          [this] { ed_.toucheRelachee(touches::ENTREE); });
    relie(bouton(panelBoutons_, QStringLiteral("G"), QStringLiteral("Mise en évidence"), 84, 52),
          [this] { ed_.miseEnEvidence(); });
    relie(bouton(panelBoutons_, QStringLiteral("≡"), QStringLiteral("Centrer le paragraphe"), 138, 52),
          [this] { ed_.marqueParagraphe(MARQUEUR_CENTRE); });
    relie(bouton(panelBoutons_, QStringLiteral("→"), QStringLiteral("Indentation du paragraphe"), 192, 52),
          [this] { ed_.marqueParagraphe(MARQUEUR_INDENTATION); });

    panel2_ = panneau(panelBoutons_, QColor(192, 220, 192));
    panel2_->setGeometry(270, 4, 342, 46);
    auto* pages = new QLabel(QStringLiteral("Pages"), panel2_);
    pages->setFont(QFont(QStringLiteral("Verdana"), -1, QFont::Bold));
    pages->setStyleSheet(QStringLiteral("font-size: 16px; font-weight: bold"));
    pages->setGeometry(4, 12, 60, 22);
    relie(bouton(panel2_, QStringLiteral("↵"), QStringLiteral("Insère un saut de page"), 66, 36),
          [this] { ed_.sautDePage(); });
    premiere_ = bouton(panel2_, QStringLiteral("|◀"), QStringLiteral("Première page"), 104, 36);
    precedente_ = bouton(panel2_, QStringLiteral("◀"), QStringLiteral("Page précédente"), 142, 36);
    labelPages_ = new QLabel(QStringLiteral("0/0"), panel2_);
    labelPages_->setAlignment(Qt::AlignCenter);
    labelPages_->setStyleSheet(QStringLiteral("font-family: Verdana; font-size: 16px"));
    labelPages_->setGeometry(180, 12, 80, 22);
    suivante_ = bouton(panel2_, QStringLiteral("▶"), QStringLiteral("Page suivante"), 262, 36);
    derniere_ = bouton(panel2_, QStringLiteral("▶|"), QStringLiteral("Dernière page"), 300, 36);
    for (auto* b : {premiere_, precedente_, suivante_, derniere_}) b->setGeometry(b->x(), 2, b->width(), 42);
    relie(premiere_, [this] { ed_.allerPage(1); });
    relie(precedente_, [this] { ed_.allerPage(ed_.pageCourante() - 1); });
    relie(suivante_, [this] { ed_.allerPage(ed_.pageCourante() + 1); });
    relie(derniere_, [this] { ed_.allerPage(ed_.nbPages()); });

    auto* normal = bouton(panelBoutons_, QStringLiteral("abc"), QStringLiteral("Clavier normal"), 620, 52);
    auto* sdf = bouton(panelBoutons_, QStringLiteral("sdf jkl"), QStringLiteral("Clavier \"sdf jkl\""), 674, 60);
    for (auto* b : {normal, sdf}) b->setCheckable(true);
    normal->setAutoExclusive(true);
    sdf->setAutoExclusive(true);
    normal->setChecked(true);
    relie(sdf, [this, sdf] { modeClavier(sdf->isChecked()); });
    relie(normal, [this, sdf] { modeClavier(sdf->isChecked()); });
    auto* gris = bouton(panelBoutons_, QStringLiteral("⠿"), QStringLiteral("Affichage des points gris"), 740, 52);
    auto* cadre = bouton(panelBoutons_, QStringLiteral("▢"), QStringLiteral("Affichage du cadre"), 794, 52);
    for (auto* b : {gris, cadre}) b->setCheckable(true);
    // The buttons set the page and both strips; the menu entries the page alone.
    connect(gris, &QToolButton::toggled, this, [this](bool b) {
        fixeOption(&OptionsAffichage::pointsGris, b);
        enteteBraille_->fixePointsGris(b);
        piedBraille_->fixePointsGris(b);
    });
    connect(cadre, &QToolButton::toggled, this, [this](bool b) {
        fixeOption(&OptionsAffichage::cadresCellules, b);
        enteteBraille_->fixeCadre(b);
        piedBraille_->fixeCadre(b);
    });
}

void TFDotavoB::basculeAffichage(QAction* a, const std::function<void(bool)>& applique,
                                 const std::function<bool()>& etat) {
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, a, applique, etat](bool coche) {
        // A flag that a tool button or the keyboard mode also sets is turned
        // from its own value, and the check mark follows it.
        const bool b = etat ? !etat() : coche;
        applique(b);
        a->setChecked(b);
        noir_->update();
        majentetes();
    });
}

void TFDotavoB::fixeOption(bool OptionsAffichage::*option, bool valeur) {
    // The pages are repainted only when an option changes.
    if (options_.*option == valeur) return;
    options_.*option = valeur;
    noir_->update();
    braille_->update();
}

void TFDotavoB::creeMenus() {
    QMenu* fichiers = menuBar()->addMenu(QStringLiteral("&Fichiers"));
    fichiers->addAction(QStringLiteral("Quitter"), QKeySequence(QStringLiteral("Ctrl+Q")), this, &QWidget::close);

    QMenu* edition = menuBar()->addMenu(QStringLiteral("&Edition"));
    QAction* defait = edition->addAction(QStringLiteral("Défait"), QKeySequence(QStringLiteral("Ctrl+Z")), this,
                                         [this] { ed_.Defait(); });
    QAction* refait = edition->addAction(QStringLiteral("Refait"), QKeySequence(QStringLiteral("Ctrl+Alt+Z")), this,
                                         [this] { ed_.Refait(); });
    QAction* copier = edition->addAction(QStringLiteral("Copier"), QKeySequence(QStringLiteral("Ctrl+C")), this,
                                         [this] { ed_.copieSelection(); });
    QAction* coller = edition->addAction(QStringLiteral("Coller"), QKeySequence(QStringLiteral("Ctrl+V")), this, [this] {
        const QMimeData* m = QGuiApplication::clipboard()->mimeData();
        if (!m) return;
        for (const QString& format : {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")})
            if (m->hasFormat(format)) {
                ed_.insereNoir(rtfverstexte(m->data(format).toStdString()));
                return;
            }
        if (m->hasText()) ed_.insereNoir(utf8VersCp1252(m->text().toStdString()));
    });
    QAction* couper = edition->addAction(QStringLiteral("Couper"), QKeySequence(QStringLiteral("Ctrl+X")), this,
                                         [this] { ed_.coupeSelection(); });
    QAction* supprime = edition->addAction(QStringLiteral("Supprime la sélection"), this, [this] { ed_.supprimeSelection(); });
    QAction* retourne = edition->addAction(QStringLiteral("Retourne la sélection"), QKeySequence(QStringLiteral("Ctrl+R")),
                                           this, [this] { ed_.retourneSelection(); });
    QAction* evidence = edition->addAction(QStringLiteral("Mise en évidence"), this, [this] { ed_.miseEnEvidence(); });
    evidence->setVisible(false);
    // A hidden action's shortcut is dead: the shortcut lives on an action of
    // the window, which no menu shows.
    auto* raccourciEvidence = new QAction(this);
    raccourciEvidence->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    connect(raccourciEvidence, &QAction::triggered, evidence, &QAction::trigger);
    addAction(raccourciEvidence);
    edition->addAction(QStringLiteral("Centrer"), this, [this] { ed_.marqueParagraphe(MARQUEUR_CENTRE); });
    // Entries are enabled when the menu opens, and before any of their shortcuts acts.
    auto active = [=, this] {
        const bool selection = !ed_.sansSelection();
        coller->setEnabled(QGuiApplication::clipboard()->mimeData() &&
                           QGuiApplication::clipboard()->mimeData()->hasText());
        copier->setEnabled(selection);
        couper->setEnabled(selection);
        defait->setEnabled(doc_.journal().PeutDefaire());
        refait->setEnabled(doc_.journal().PeutRefaire());
        supprime->setEnabled(selection);
        retourne->setEnabled(selection);
    };
    connect(edition, &QMenu::aboutToShow, this, active);
    // Shortcuts stay live: each command itself does nothing when it cannot act.
    connect(edition, &QMenu::aboutToHide, this, [=] {
        for (QAction* a : {defait, refait, copier, coller, couper, supprime, retourne}) a->setEnabled(true);
    });

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    basculeAffichage(
        options->addAction(QStringLiteral("Points &Gris")),
        [this](bool b) { fixeOption(&OptionsAffichage::pointsGris, b); }, [this] { return options_.pointsGris; });
    basculeAffichage(
        options->addAction(QStringLiteral("&Cadre")),
        [this](bool b) { fixeOption(&OptionsAffichage::cadresCellules, b); },
        [this] { return options_.cadresCellules; });
    tousLesSignes_ = options->addAction(QStringLiteral("Affichage de tous les signes"));
    basculeAffichage(
        tousLesSignes_,
        [this](bool b) {
            ed_.afficheTousLesSignes(b);
            enteteNoir_->fixeSignesModificateurs(b);
            piedNoir_->fixeSignesModificateurs(b);
        },
        [this] { return ed_.tousLesSignes(); });
    basculeAffichage(options->addAction(QStringLiteral("Sauts de &pages visibles")),
                     [this](bool b) { fixeOption(&OptionsAffichage::sautsPageVisibles, b); });
    basculeAffichage(options->addAction(QStringLiteral("Sauts de paragraphe visibles")),
                     [this](bool b) { fixeOption(&OptionsAffichage::sautsParagrapheVisibles, b); });
    basculeAffichage(options->addAction(QStringLiteral("Espaces visibles")),
                     [this](bool b) { fixeOption(&OptionsAffichage::espacesVisibles, b); });

    QMenu* claviers = menuBar()->addMenu(QStringLiteral("&Claviers"));
    auto* groupe = new QActionGroup(this);
    QAction* normal = claviers->addAction(QStringLiteral("Normal"), this, [this] { modeClavier(false); });
    QAction* sdf = claviers->addAction(QStringLiteral("sdfjkl"), this, [this] { modeClavier(true); });
    for (QAction* a : {normal, sdf}) {
        a->setCheckable(true);
        groupe->addAction(a);
    }
    normal->setChecked(true);
}

void TFDotavoB::modeClavier(bool sixTouches) {
    braille_->modeSixTouches(sixTouches);
    tousLesSignes_->setChecked(sixTouches);
    enteteNoir_->fixeSignesModificateurs(sixTouches);
    piedNoir_->fixeSignesModificateurs(sixTouches);
    noir_->update();
    majentetes();
}

void TFDotavoB::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (premiereactivation_) FormActivate();
}

void TFDotavoB::FormActivate() {
    FormResize();
    client_->setFocus();
    affichepages();
    format_ = chargeformat(reglages_.litformat());
    // Settings that could not be read are told once; their defaults stand.
    if (const QString probleme = reglages_.messageProblemes(); !probleme.isEmpty()) afficheErreur(probleme);
    appliqueformat();
    if (arguments_.size() > 1 && !arguments_[1].isEmpty()) ouvrefichier(arguments_[1]);
    premiereactivation_ = false;
}

void TFDotavoB::FormResize() {
    const int largeur = client_->width(), hauteur = client_->height();
    panelBoutons_->setGeometry(0, 0, largeur, HAUTEUR_BOUTONS);
    // Two A4 pages of height h side by side with the gap must fit.
    int h = hauteur - HAUTEUR_BOUTONS;
    if (2 * (h * 210 / 297) + LARGEUR_SEPARATEUR > largeur) h = (largeur - LARGEUR_SEPARATEUR) * 297 / 420;
    panel3_->setGeometry(0, HAUTEUR_BOUTONS, largeur, h);
    const int bande = (hauteur - HAUTEUR_BOUTONS) / std::max<int>(1, format_.lignesParPage);
    panelEntete_->setGeometry(0, 0, largeur, bande);
    panelPied_->setGeometry(0, h - bande, largeur, bande);
    // The bands take their final height from the pages' line height; the
    // pages are then sized again to fill what the bands leave.
    for (int passe = 0; passe < 2; ++passe) {
        const int haut = panelEntete_->isVisibleTo(panel3_) ? panelEntete_->height() : 0;
        const int bas = panelPied_->isVisibleTo(panel3_) ? panelPied_->height() : 0;
        panel1_->setGeometry(0, haut, largeur, h - haut - bas);
        panelPied_->move(0, h - panelPied_->height());
        noir_->redimentionne(format_.interligneDouble);
        braille_->redimensionne(panel1_->height(), noir_->hauteurLigne(), noir_->pas(), noir_->margeHaut());
        noir_->move((largeur - noir_->width() - braille_->width() - LARGEUR_SEPARATEUR) / 2, 0);
        separateur_->setGeometry(noir_->x() + noir_->width(), 0, LARGEUR_SEPARATEUR, noir_->height());
        braille_->move(separateur_->x() + LARGEUR_SEPARATEUR, 0);
        enteteBraille_->placeEntete(braille_->x(), braille_->width());
        piedBraille_->placeEntete(braille_->x(), braille_->width());
        enteteNoir_->placeEntete(noir_->x(), noir_->width(), noir_->fontes(), noir_->margeGauche());
        piedNoir_->placeEntete(noir_->x(), noir_->width(), noir_->fontes(), noir_->margeGauche());
    }
    const int haut = panelEntete_->isVisibleTo(panel3_) ? panelEntete_->height() : 0;
    const int bas = panelPied_->isVisibleTo(panel3_) ? panelPied_->height() : 0;
    panel1_->setGeometry(0, haut, largeur, h - haut - bas);
    panelPied_->move(0, h - panelPied_->height());
}

void TFDotavoB::affichepages() {
    const std::int32_t page = ed_.pageCourante(), nb = ed_.nbPages();
    labelPages_->setText(QStringLiteral("%1/%2").arg(page).arg(nb));
    suivante_->setEnabled(page < nb);
    derniere_->setEnabled(page < nb);
    precedente_->setEnabled(page > 1);
    premiere_->setEnabled(page > 1);
    majentetes();
}

void TFDotavoB::majentetes() {
    const bool entete = format_.entete.active, pied = format_.pied.active;
    const bool changement = entete != panelEntete_->isVisibleTo(panel3_) || pied != panelPied_->isVisibleTo(panel3_);
    panelEntete_->setVisible(entete);
    panelPied_->setVisible(pied);
    if (changement) FormResize();
    const std::int32_t page = ed_.pageCourante(), nb = ed_.nbPages();
    if (entete) enteteBraille_->fixeContenu(page >= format_.entete.premierePage ? format_.texteentete(page, nb) : "");
    if (pied) piedBraille_->fixeContenu(page >= format_.pied.premierePage ? format_.textepied(page, nb) : "");
}

void TFDotavoB::appliqueformat(bool journalise) {
    format_.derive();
    panelEntete_->setVisible(format_.entete.active && format_.entete.premierePage <= ed_.pageCourante());
    panelPied_->setVisible(format_.pied.active && format_.pied.premierePage <= ed_.pageCourante());
    FormResize();
    ed_.recoupeDocument(journalise);
    ed_.allerPage(1);
    majentetes();
}

void TFDotavoB::setnomfichier(const QString& nom) {
    nomfichier_ = nom;
    setWindowTitle(TITRE + nom);
}

bool TFDotavoB::ouvrefichier(const QString& nom) {
    const QFileInfo info(nom);
    if (!info.exists() || info.suffix().compare(QStringLiteral("dtv"), Qt::CaseInsensitive) != 0) return false;
    const auto familles = QFontDatabase::families();
    const ResultatLecture r = chargeDtv(nom.toStdString(), format_, [&](const std::string& fonte) {
        const QString f = QString::fromStdString(cp1252VersUtf8(fonte));
        return familles.contains(f, Qt::CaseInsensitive) ? fonte : std::string("Courier New");
    });
    if (!r.ok) {
        afficheErreur(QString::fromStdString(cp1252VersUtf8(r.erreur)));
        return false;
    }
    ed_.charge(r.contenu.texte, r.contenu.marqueurs);
    format_ = r.contenu.format;
    nomfonte_ = QString::fromStdString(cp1252VersUtf8(r.contenu.fonte));
    noir_->setNomFonte(nomfonte_);
    setnomfichier(nom);
    appliqueformat();
    doc_.setModifie(false);
    doc_.journal().vide();
    return true;
}

void TFDotavoB::pageModifiee(std::int32_t, std::int32_t) { affichepages(); }

bool TFDotavoB::eventFilter(QObject* objet, QEvent* e) {
    if (objet == client_ && e->type() == QEvent::Resize) {
        FormResize();
        return false;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
    auto* w = qobject_cast<QWidget*>(objet);
    if (!w || w->window() != this || QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (e->type() == QEvent::KeyPress) {
        touchesEnfoncees_.insert(k->key());
        braille_->toucheEnfoncee(*k);
        braille_->caractereFrappe(*k);
        return true;
    }
    // Editing and page keys act on release, once per release, and only for a
    // key that went down here: the Enter that chose a menu entry, or a key
    // pressed in a dialog, is released over the pages and must do nothing.
    if (k->isAutoRepeat()) return true;
    if (!touchesEnfoncees_.remove(k->key())) return true;
    switch (k->key()) {
        case Qt::Key_PageDown: ed_.allerPage(ed_.pageCourante() + 1); break;
        case Qt::Key_PageUp: ed_.allerPage(ed_.pageCourante() - 1); break;
        case Qt::Key_End: ed_.allerPage(ed_.nbPages()); break;
        case Qt::Key_Home: ed_.allerPage(1); break;
        default: braille_->toucheRelachee(*k); break;
    }
    return true;
}

}  // namespace dotavob
