#include "interface/accessibilite.h"
#include "interface/dialogueformat.h"
#include "interface/fenetreprincipale.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>

#include "core/fichiers/dtv.h"
#include "core/fichiers/rtf.h"
#include "interface/dialoguesynthese.h"
#include "interface/vuebraille.h"
#include "interface/vuenoir.h"
#include "plateforme/secours.h"
#include "plateforme/synthese.h"

namespace dotavob {
namespace {

const QString TITRE = QStringLiteral("DotavoB 2.9 - ");
constexpr int HAUTEUR_BOUTONS = 55;
constexpr int LARGEUR_SEPARATEUR = 24;
constexpr int LARGEUR_MINIMALE = 870, HAUTEUR_MINIMALE = 560;

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
    // The keys still reach the window's filter; a screen reader, which
    // follows the focus, reads the page being typed on: the print page, or
    // the Braille page in six-key mode.
    client_->setAccessibleName(QStringLiteral("Document"));
    client_->setFocusProxy(noir_);
    noir_->fixeParole(true);
    connect(braille_, &TEdBraille::modeSixTouchesChange, this, [this](bool six) {
        QWidget* avant = focusWidget();
        client_->setFocusProxy(six ? static_cast<QWidget*>(braille_) : noir_);
        noir_->fixeParole(!six);
        braille_->fixeParole(six);
        if (avant == noir_ || avant == braille_) client_->setFocus();
    });
    ed_.ajouteObservateur(this);
    doc_.ajouteObservateur(static_cast<ObservateurDocument*>(this));
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
    panel2_ = panneau(panelBoutons_, QColor(192, 220, 192));
    // A modified document is copied aside within the delay (30 s; the
    // journeys shorten it with DOTAVOB_DELAI_SECOURS, in seconds).
    secours_ = std::make_unique<GardeDeSecours>();
    // A copy that cannot be written is said once: the user then knows to save.
    secours_->echec = [this](const QString& erreur) {
        QMetaObject::invokeMethod(this, [this, erreur] {
            if (std::exchange(echecSecoursDit_, true)) return;
            afficheErreur(QStringLiteral("La copie de secours du document n'a pas pu être écrite : %1 Enregistrez votre "
                                         "travail pour ne pas le perdre.")
                              .arg(erreur));
        }, Qt::QueuedConnection);
    };
    delaiSecours_ = new QTimer(this);
    delaiSecours_->setSingleShot(true);
    bool nombre = false;
    const int delai = qEnvironmentVariableIntValue("DOTAVOB_DELAI_SECOURS", &nombre);
    delaiSecours_->setInterval(nombre && delai >= 0 ? delai * 1000 : 30000);
    connect(delaiSecours_, &QTimer::timeout, this, [this] {
        if (doc_.modifie())
            secours_->garde(nomfichier_.toStdString(), contenu());
        else
            secours_->oublie();
    });
    creeDialogues();
    creeBoutons();
    creeMenus();
    client_->installEventFilter(this);
    qApp->installEventFilter(this);
    // A dialog that went may still be handed the activation by a window
    // manager that is late (the embossing's progress, shown and hidden in a
    // moment): the keys would go to a hidden window, and the shortcuts die.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        QWidget* actif = QApplication::activeWindow();
        if (actif && actif != this && !actif->isVisible() && isVisible())
            QTimer::singleShot(0, this, [this] { rendFocus(); });
    });
}

TFDotavoB::~TFDotavoB() {
    qApp->removeEventFilter(this);
    delete dlgSynthese_;  // it drives the voice released with the window
    ed_.retireObservateur(this);
    doc_.retireObservateur(static_cast<ObservateurDocument*>(this));
    // The views observe the document and the editor: they go before them.
    delete client_;
}

void TFDotavoB::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (premiereactivation_) FormActivate();
}

void TFDotavoB::FormActivate() {
    FormResize();
    client_->setFocus();
    affichepages();
    // What goes wrong at start is said once the window stands painted
    // behind the message, not over a black window.
    const auto erreur = afficheErreur, information = informe;
    afficheErreur = [this](const QString& m) { messagesDeDemarrage_ << m; };
    informe = afficheErreur;
    format_ = chargeformat(reglages_.litformat());
    // Settings that could not be read are told once; their defaults stand.
    if (const QString probleme = reglages_.messageProblemes(); !probleme.isEmpty()) afficheErreur(probleme);
    appliqueformat();
    if (arguments_.size() > 1 && !arguments_[1].isEmpty()) ouvrefichier(arguments_[1]);
    afficheErreur = erreur;
    informe = information;
    premiereactivation_ = false;
}

void TFDotavoB::apresDemarrage() {
    // A long opening at start paints the page from inside FormActivate (its
    // progress lets events through): the messages wait until it is over.
    if (premiereactivation_) {
        QTimer::singleShot(50, this, &TFDotavoB::apresDemarrage);
        return;
    }
    const QStringList messages = std::exchange(messagesDeDemarrage_, {});
    for (const QString& m : messages) afficheErreur(m);
    proposeSecours();
    rendFocus();
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
    const QString compteur = QStringLiteral("%1/%2").arg(page).arg(nb);
    // Shown whole: a book of thousands of pages takes a smaller size.
    int taille = 16;
    QFont verdana(QStringLiteral("Verdana"));
    for (; taille > 8; --taille) {
        verdana.setPixelSize(taille);
        if (QFontMetrics(verdana).horizontalAdvance(compteur) <= labelPages_->contentsRect().width()) break;
    }
    if (taille != taillePages_) {
        taillePages_ = taille;
        labelPages_->setStyleSheet(QStringLiteral("font-family: Verdana; font-size: %1px").arg(taille));
    }
    labelPages_->setText(compteur);
    // Said in words; Qt tells a screen reader the new name.
    const QString mots = QStringLiteral("Page %1 sur %2").arg(page).arg(nb);
    labelPages_->setAccessibleName(mots);
    // The page typed on says it too, and a page turn is heard.
    noir_->setAccessibleDescription(mots);
    braille_->setAccessibleDescription(mots);
    if (pageAnnoncee_ != mots) {
        // A caret at the same offset of a new page is no move for a screen
        // reader, which then reads nothing: the line comes with the page.
        VuePage& vue = ed_.sixTouches() ? static_cast<VuePage&>(*braille_) : *noir_;
        const TextePage& t = vue.texteAccessible();
        const QString ligne = vue.ligneDuCurseur();
        if (vue.curseurAnnonce && *vue.curseurAnnonce == decalageDe(t, ed_.positionCurseur()) && !ligne.isEmpty())
            annonceur_->annonce(mots + QStringLiteral(" : ") + ligne);
        else
            annonceur_->annonce(mots);
    }
    pageAnnoncee_ = mots;
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

void TFDotavoB::miseEnPage() {
    format_.derive();
    panelEntete_->setVisible(format_.entete.active && format_.entete.premierePage <= ed_.pageCourante());
    panelPied_->setVisible(format_.pied.active && format_.pied.premierePage <= ed_.pageCourante());
    FormResize();
}

void TFDotavoB::appliqueformat(bool journalise, const FormatPage* formatAvant, bool premierePage) {
    miseEnPage();
    // A document opened or new starts at its first page; under a new format
    // the caret stays on its text.
    ed_.recoupeDocument(journalise, formatAvant, !premierePage);
    if (premierePage) ed_.allerPage(1);
    majentetes();
}

void TFDotavoB::formatRemis(const FormatPage& format) {
    // The indentation has a command of its own, not undone with the page format.
    const std::uint8_t indentation = format_.indentation;
    format_ = format;
    format_.indentation = indentation;
    dlgFormat_->fixeFormat(format_);
    miseEnPage();
    majentetes();
}

void TFDotavoB::setnomfichier(const QString& nom) {
    nomfichier_ = nom;
    setWindowTitle(TITRE + nom);
}

void TFDotavoB::pageModifiee(std::int32_t, std::int32_t) { affichepages(); }

void TFDotavoB::lignesModifiees(std::int32_t, std::int32_t) {
    // The first change since the last copy starts the delay; the copy takes
    // every change made until it is written.
    if (!delaiSecours_->isActive()) delaiSecours_->start();
}

void TFDotavoB::secoursInutile() {
    delaiSecours_->stop();
    secours_->oublie();
}

TDlgOptionSpEng& TFDotavoB::dialogueSynthese() {
    if (!dlgSynthese_) {
        synthese_ = fabriqueSynthese ? fabriqueSynthese() : std::make_unique<SyntheseSysteme>();
        dlgSynthese_ = new TDlgOptionSpEng(reglages_, *synthese_, this);
    }
    return *dlgSynthese_;
}

void TFDotavoB::rendFocus() {
    // After a dialog, a message or the embossing's progress window, the
    // window takes the keyboard back (else its shortcuts wait for a click)
    // and the page being typed on has it.
    if (!isVisible()) return;
    // Asked of the window manager even when Qt believes the window active;
    // and told to Qt when a modal window that just went (the embossing's
    // progress) had taken the activation the window manager gave this window:
    // no other activation would come, and every shortcut would stay dead.
    activateWindow();
    if (QApplication::activeWindow() != this) QApplication::setActiveWindow(this);
    client_->setFocus(Qt::OtherFocusReason);
}

bool TFDotavoB::eventFilter(QObject* objet, QEvent* e) {
    if (objet == client_ && e->type() == QEvent::Resize) {
        FormResize();
        return false;
    }
    if (objet == noir_ && e->type() == QEvent::Paint && premierePeinture_) {
        premierePeinture_ = false;
        // The page painted: the start's messages, and the recovery copies
        // that stopped editors left, come after this paint.
        QTimer::singleShot(0, this, &TFDotavoB::apresDemarrage);
        return false;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease && e->type() != QEvent::ShortcutOverride)
        return false;
    // Only the keys sent to the document are routed: the menu bar, once Alt
    // or F10 gave it the keyboard, keeps its own (arrows, Return, Escape).
    auto* w = qobject_cast<QWidget*>(objet);
    if (!w || (w != client_ && w != noir_ && w != braille_ && w != this) || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    // The menus' shortcuts typed on the document come as key presses, which
    // a screen reader hears (Qt's own shortcuts never reach it: it could not
    // say "undo" after Ctrl+Z).
    if (e->type() == QEvent::ShortcutOverride) {
        if (!raccourci(*k)) return false;
        e->accept();
        return true;
    }
    if (e->type() == QEvent::KeyPress && raccourci(*k)) return true;
    if (e->type() == QEvent::KeyPress && k->key() == Qt::Key_F10 && !(k->modifiers() & ~Qt::KeypadModifier)) {
        // F10 opens the first menu, as on every desktop.
        if (!menuBar()->actions().isEmpty()) menuBar()->setActiveAction(menuBar()->actions().front());
        return true;
    }
    if (e->type() == QEvent::KeyPress) {
        // Alt (or the logo key) with a key that opens no menu does nothing:
        // no letter, no dot, no caret move. Ctrl+Alt is AltGr on Windows.
        const Qt::KeyboardModifiers m = k->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
        if ((m & (Qt::AltModifier | Qt::MetaModifier)) && m != (Qt::AltModifier | Qt::ControlModifier)) return true;
        touchesEnfoncees_.insert(k->key());
        braille_->toucheEnfoncee(*k);
        // A character the document cannot hold types nothing, and says so.
        if (const QString refuses = braille_->caractereFrappe(*k); !refuses.isEmpty()) {
            QApplication::beep();
            annonceur_->annonce(QStringLiteral("« %1 » : caractère sans équivalent dans le jeu de caractères du "
                                               "document, rien n'est tapé")
                                    .arg(refuses));
        }
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
