// The menu and tool-bar commands of the main window: the document commands
// (new, open, save, close, quit), editing, search, import and paste, the
// display toggles and the keyboard modes.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include "core/braille/unicode.h"
#include "core/fichiers/brf.h"
#include "core/fichiers/dtv.h"
#include "core/fichiers/echange.h"
#include "core/fichiers/importation.h"
#include "core/fichiers/pef.h"
#include "core/fichiers/rtf.h"
#include "core/sorties/export.h"
#include "core/sorties/pef.h"
#include "core/transcription/transcription.h"
#include "interface/accessibilite.h"
#include "interface/dialogueapercu.h"
#include "interface/dialoguecodes.h"
#include "interface/dialogueembossage.h"
#include "interface/dialogueexport.h"
#include "interface/dialoguefontes.h"
#include "interface/dialogueformat.h"
#include "interface/dialoguerecherche.h"
#include "interface/dialoguesynthese.h"
#include "interface/fenetreprincipale.h"
#include "interface/vuebraille.h"
#include "interface/vuenoir.h"
#include "plateforme/secours.h"
#include "plateforme/spouleur.h"
#include "plateforme/synthese.h"

namespace dotavob {
namespace {

const QString ATTENTION = QStringLiteral("Attention !");
const QString MIME_BRAILLE_UNICODE = QStringLiteral("text/x-braille-unicode");
const QString FILTRE_OUVERTURE = QStringLiteral(
    "Documents braille (*.dtv *.brf *.pef);;fichiers DotavoB *.dtv (*.dtv);;Braille ASCII (*.brf *.txt);;PEF (*.pef);;"
    "Tous les fichiers (*)");
const QString FILTRE_ENREGISTREMENT = QStringLiteral("Fichiers DotavoB (*.dtv);;Tous les fichiers (*)");
const QString FILTRE_IMPORTATION =
    QStringLiteral("fichiers texte (*.txt);;fichiers RTF (*.rtf);;Tous les fichiers (*)");

QString versQString(const std::string& cp1252) { return QString::fromStdString(cp1252VersUtf8(cp1252)); }
// What the core says (its messages, with the file names as given) is UTF-8.
QString messageDuCoeur(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
std::string depuisQString(const QString& s) { return utf8VersCp1252(s.toStdString()); }

// A message box whose text Ctrl+C copies, on every system (a message can be
// pasted into a report, or read again elsewhere).
int boite(QWidget* parent, QMessageBox::Icon icone, const QString& titre, const QString& texte,
          QMessageBox::StandardButtons boutons, QMessageBox::StandardButton defaut) {
    QMessageBox b(icone, titre, texte, boutons, parent);
    b.setDefaultButton(defaut);
    auto* copie = new QAction(&b);
    copie->setShortcut(QKeySequence::Copy);
    QObject::connect(copie, &QAction::triggered, &b, [texte] { QGuiApplication::clipboard()->setText(texte); });
    b.addAction(copie);
    return b.exec();
}

}  // namespace

// ---- What the window asks the user --------------------------------------------

void TFDotavoB::creeDialogues() {
    afficheErreur = [this](const QString& m) {
        boite(this, QMessageBox::Warning, QStringLiteral("DotavoB"), m, QMessageBox::Ok, QMessageBox::Ok);
    };
    informe = [this](const QString& m) {
        boite(this, QMessageBox::Information, QStringLiteral("DotavoB"), m, QMessageBox::Ok, QMessageBox::Ok);
    };
    demande = [this](const QString& titre, const QString& texte) {
        switch (boite(this, QMessageBox::Question, titre, texte, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                      QMessageBox::Yes)) {
            case QMessageBox::Yes: return Reponse::Oui;
            case QMessageBox::No: return Reponse::Non;
            default: return Reponse::Annuler;
        }
    };
    choisitSecours = [this](const QString& texte) {
        QMessageBox b(QMessageBox::Question, QStringLiteral("Copie de secours"), texte, QMessageBox::NoButton, this);
        QPushButton* recuperer = b.addButton(QStringLiteral("Récupérer"), QMessageBox::AcceptRole);
        QPushButton* ignorer = b.addButton(QStringLiteral("Ignorer"), QMessageBox::RejectRole);
        QPushButton* supprimer = b.addButton(QStringLiteral("Supprimer"), QMessageBox::DestructiveRole);
        b.setDefaultButton(recuperer);
        b.setEscapeButton(ignorer);
        b.exec();
        return b.clickedButton() == supprimer ? ChoixSecours::Supprimer
               : b.clickedButton() == recuperer ? ChoixSecours::Recuperer
                                                : ChoixSecours::Ignorer;
    };
    fichierAOuvrir = [this](const QString& titre, const QString& filtres) {
        return QFileDialog::getOpenFileName(this, titre, dossierDeTravail(), filtres, &filtreOuverture_);
    };
    fichierAEnregistrer = [this](const QString& titre, const QString& filtres, const QString& propose) {
        QFileDialog d(this, titre, propose, filtres);
        d.setAcceptMode(QFileDialog::AcceptSave);
        // A name typed without an extension takes the first filter's.
        const QRegularExpressionMatch extension = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filtres);
        if (extension.hasMatch()) d.setDefaultSuffix(extension.captured(1));
        // The window asks about an existing file itself, with its own words.
        d.setOption(QFileDialog::DontConfirmOverwrite);
        return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().front() : QString();
    };
    saisit = [this](const QString& titre, const QString& invite, const QString& texte) -> std::optional<QString> {
        QInputDialog d(this);
        d.setWindowTitle(titre);
        d.setLabelText(invite);
        d.setTextValue(texte);
        // The box is named by what it holds, not by its prompt.
        if (auto* champ = d.findChild<QLineEdit*>()) champ->setAccessibleName(titre);
        return d.exec() == QDialog::Accepted ? std::optional<QString>(d.textValue()) : std::nullopt;
    };
    choisitImprimante = [this](std::int32_t nbPages) -> std::optional<ChoixImpression> {
        QPrinter imprimante;
        // Every page offered: all of them, or a range from the first to the last.
        imprimante.setPrintRange(QPrinter::AllPages);
        imprimante.setFromTo(1, std::max(1, nbPages));
        QPrintDialog d(&imprimante, this);
        d.setOption(QAbstractPrintDialog::PrintPageRange);
        d.setMinMax(1, std::max(1, nbPages));
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        ChoixImpression c;
        c.imprimante = imprimante.printerName();
        if (imprimante.printRange() == QPrinter::PageRange) {
            c.premiere = imprimante.fromPage();
            c.derniere = imprimante.toPage();
        }
        c.copies = imprimante.copyCount();
        return c;
    };
    // Created once, reused for the whole run: they keep what the user set.
    dlgFormat_ = new TdlgFormatpage(reglages_, this);
    dlgIndent_ = new TdlgIndent(this);
    dlgFontes_ = new Tdlgfontes(reglages_, this);
    dlgRecherche_ = new TDlgRecheche(this);
    dlgOptEmb_ = new TDlgOptEmb(reglages_, this);
    suivi_ = new Tsuiviembossage(this);
    // The preview draws the pages as the views do, with the strips that are on.
    dlgApercu_ = new TDlgApercu(
        ed_,
        [this](QPainter& p, const QRect& r) {
            noir_->dessinePageImprimee(p, r, format_.entete.active ? enteteNoir_ : nullptr,
                                       format_.pied.active ? piedNoir_ : nullptr);
        },
        [this](QPainter& p, const QRect& r) {
            braille_->dessinePageImprimee(p, r, format_.entete.active ? enteteBraille_ : nullptr,
                                          format_.pied.active ? piedBraille_ : nullptr);
        },
        this);
    dlgApercu_->nomDocument = [this] { return nomfichier_; };
    dlgApercu_->afficheErreur = [this](const QString& m) { afficheErreur(m); };
    dlgCodes_ = new Tdlgchoixcode(options_, this);
    dlgExport_ = new TdlgExport(
        [this](FormatExport f) {
            const QString filtres[] = {QStringLiteral("Fichiers textes (*.txt)"),
                                       QStringLiteral("Braille ASCII (*.brf *.txt)"),
                                       QStringLiteral("Texte en braille Unicode (*.txt)"), QStringLiteral("PEF (*.pef)"),
                                       QStringLiteral("Braille ASCII (*.brf *.txt)")};
            const char* extensions[] = {"txt", "brf", "txt", "pef", "brf"};
            return fichierARemplacer(QStringLiteral("Choisir un fichier d'exportation"),
                                     filtres[static_cast<int>(f)] + QStringLiteral(";;Tous les fichiers (*)"),
                                     nomPropose(QString::fromLatin1(extensions[static_cast<int>(f)])));
        },
        [this](FormatExport f, const QString& nom) {
            std::string texte;
            bool utf8 = true;
            // The pages as the embosser would take them, laid out as it is set,
            // as wide and as long as the document's pages at least: a file cuts no line.
            auto pagesDuFichier = [this] {
                ReglagesEmbossage r = dlgOptEmb_->reglagesEnregistres(format_);
                r.caracteresParLigne = std::max<std::int32_t>(r.caracteresParLigne, format_.cpl);
                r.lignesParPage = std::max<std::int32_t>(r.lignesParPage, lignesPhysiques(format_));
                return r;
            };
            switch (f) {
                case FormatExport::CodeFrancais:
                case FormatExport::CodeUS:
                    texte = Exporte(doc_.texte(), doc_.marqueurs(), f == FormatExport::CodeFrancais);
                    utf8 = false;
                    break;
                case FormatExport::Unicode: texte = ExporteUnicode(doc_.texte(), doc_.marqueurs()); break;
                case FormatExport::Pef: {
                    const QString titre = nomfichier_.isEmpty() ? QStringLiteral("Document")
                                                                : QFileInfo(nomfichier_).completeBaseName();
                    texte = exportePef(doc_, format_, pagesDuFichier(), metaPef(titre.toStdString(), doc_.texte()));
                    break;
                }
                case FormatExport::BrfPages: {
                    ReglagesEmbossage r = pagesDuFichier();
                    r.codeUS = true;
                    texte = exporteBrfPages(doc_, format_, r);
                    utf8 = false;
                    break;
                }
            }
            if (nom.isEmpty()) {
                // The clipboard carries Unicode: Braille ASCII bytes as code page 1252 characters.
                QGuiApplication::clipboard()->setText(utf8 ? QString::fromStdString(texte) : versQString(texte));
                return true;
            }
            std::string erreur;
            if (ecritFichierAtomique(nom.toStdString(), texte, erreur)) return true;
            afficheErreur(messageDuCoeur(erreur));
            return false;
        },
        this);
}

void TFDotavoB::imprimer() { dlgApercu_->exec(); }

void TFDotavoB::aVenir(const QString& commande) {
    informe(QStringLiteral("« %1 » n'est pas encore disponible dans cette version.").arg(commande));
}

// ---- Tool bar --------------------------------------------------------------------

QToolButton* TFDotavoB::bouton(QWidget* parent, const QString& icone, const QString& bulle, int x, int largeur) {
    auto* b = new QToolButton(parent);
    b->setIcon(QIcon(QStringLiteral(":/icones/%1.svg").arg(icone)));
    b->setIconSize(QSize(24, 24));
    b->setToolTip(bulle);
    // A screen reader says what the button does, not what it looks like.
    b->setText(bulle);
    b->setAccessibleName(bulle);
    b->setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the document
    b->setGeometry(x, 6, largeur, 42);
    return b;
}

void TFDotavoB::creeBoutons() {
    auto relie = [this](QToolButton* b, auto action) {
        connect(b, &QToolButton::clicked, this, [this, action] {
            action();
            rendFocus();
        });
    };
    relie(bouton(panelBoutons_, QStringLiteral("autre-code"), QStringLiteral("Autre code"), 4, 22),
          [this] { autreCode(); });
    relie(bouton(panelBoutons_, QStringLiteral("saut-ligne"), QStringLiteral("Insère un saut à la ligne"), 30, 52),
          [this] { ed_.toucheRelachee(touches::ENTREE); });
    relie(bouton(panelBoutons_, QStringLiteral("evidence"), QStringLiteral("Mise en évidence"), 84, 52),
          [this] { ed_.miseEnEvidence(); });
    relie(bouton(panelBoutons_, QStringLiteral("centrer"), QStringLiteral("Centrer le paragraphe"), 138, 52),
          [this] { ed_.marqueParagraphe(MARQUEUR_CENTRE); });
    relie(bouton(panelBoutons_, QStringLiteral("indentation"), QStringLiteral("Indentation du paragraphe"), 192, 52),
          [this] { ed_.marqueParagraphe(MARQUEUR_INDENTATION); });

    panel2_->setGeometry(270, 4, 342, 46);
    auto* pages = new QLabel(QStringLiteral("Pages"), panel2_);
    pages->setFont(QFont(QStringLiteral("Verdana"), -1, QFont::Bold));
    pages->setStyleSheet(QStringLiteral("font-size: 16px; font-weight: bold"));
    pages->setGeometry(4, 12, 60, 22);
    relie(bouton(panel2_, QStringLiteral("saut-page"), QStringLiteral("Insère un saut de page"), 66, 36),
          [this] { ed_.sautDePage(); });
    premiere_ = bouton(panel2_, QStringLiteral("premiere-page"), QStringLiteral("Première page"), 104, 36);
    precedente_ = bouton(panel2_, QStringLiteral("page-precedente"), QStringLiteral("Page précédente"), 142, 36);
    labelPages_ = new QLabel(QStringLiteral("0/0"), panel2_);
    labelPages_->setAlignment(Qt::AlignCenter);
    labelPages_->setStyleSheet(QStringLiteral("font-family: Verdana; font-size: 16px"));
    labelPages_->setGeometry(180, 12, 80, 22);
    annonceur_ = new Annonceur(panel2_);
    annonces_ = new QTimer(this);
    annonces_->setSingleShot(true);
    annonces_->setInterval(0);
    connect(annonces_, &QTimer::timeout, this, [this] {
        annonceur_->dit();
        noir_->annonceMaintenant();
        braille_->annonceMaintenant();
    });
    annonceur_->planifie = noir_->planifie = braille_->planifie = [this] { annonces_->start(); };
    suivante_ = bouton(panel2_, QStringLiteral("page-suivante"), QStringLiteral("Page suivante"), 262, 36);
    derniere_ = bouton(panel2_, QStringLiteral("derniere-page"), QStringLiteral("Dernière page"), 300, 36);
    for (auto* b : {premiere_, precedente_, suivante_, derniere_}) b->setGeometry(b->x(), 2, b->width(), 42);
    relie(premiere_, [this] { ed_.allerPage(1); });
    relie(precedente_, [this] { ed_.allerPage(ed_.pageCourante() - 1); });
    relie(suivante_, [this] { ed_.allerPage(ed_.pageCourante() + 1); });
    relie(derniere_, [this] { ed_.allerPage(ed_.nbPages()); });

    auto* normal = bouton(panelBoutons_, QStringLiteral("clavier-normal"), QStringLiteral("Clavier normal"), 620, 52);
    auto* sdf = bouton(panelBoutons_, QStringLiteral("clavier-six-points"), QStringLiteral("Clavier \"sdf jkl\""), 674, 60);
    for (auto* b : {normal, sdf}) b->setCheckable(true);
    normal->setAutoExclusive(true);
    sdf->setAutoExclusive(true);
    normal->setChecked(true);
    // Every click sets its mode, also on a button already down (the menu may
    // have changed the mode without it); toggled too: a screen reader's
    // "toggle" action sends no click.
    connect(sdf, &QToolButton::clicked, this, [this] { modeClavier(true); });
    connect(normal, &QToolButton::clicked, this, [this] { modeClavier(false); });
    connect(sdf, &QToolButton::toggled, this, [this](bool coche) {
        if (coche) modeClavier(true);
    });
    connect(normal, &QToolButton::toggled, this, [this](bool coche) {
        if (coche) modeClavier(false);
    });
    auto* gris = bouton(panelBoutons_, QStringLiteral("points-gris"), QStringLiteral("Affichage des points gris"), 740, 52);
    auto* cadre = bouton(panelBoutons_, QStringLiteral("cadre"), QStringLiteral("Affichage du cadre"), 794, 52);
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

// ---- Menus -------------------------------------------------------------------------

QAction* TFDotavoB::action(const QString& texte) const {
    for (QAction* a : findChildren<QAction*>())
        if (a->text() == texte) return a;
    return nullptr;
}

void TFDotavoB::creeMenus() {
    auto entree = [this](QMenu* menu, const QString& texte, auto commande, const QString& raccourci = {}) {
        QAction* a = menu->addAction(texte);
        if (!raccourci.isEmpty()) a->setShortcut(QKeySequence(raccourci));
        connect(a, &QAction::triggered, this, [this, commande] {
            commande();
            // Whatever the command showed, the keys come back to the page.
            rendFocus();
        });
        return a;
    };

    QMenu* fichiers = menuBar()->addMenu(QStringLiteral("&Fichiers"));
    entree(fichiers, QStringLiteral("Nouveau"), [this] { nouveau(); }, QStringLiteral("Ctrl+N"));
    entree(fichiers, QStringLiteral("Ouvrir"), [this] { ouvrir(); }, QStringLiteral("Ctrl+O"));
    entree(fichiers, QStringLiteral("Enregistrer"), [this] { enregistrer(); }, QStringLiteral("Ctrl+S"));
    entree(fichiers, QStringLiteral("Enregistrer sous"), [this] { enregistrerSous(); });
    entree(fichiers, QStringLiteral("Fermer"), [this] { nouveau(); });
    fichiers->addSeparator();
    entree(fichiers, QStringLiteral("Importer texte"), [this] { importerTexte(); });
    entree(fichiers, QStringLiteral("Exporter ..."), [this] { dlgExport_->exec(); });
    entree(fichiers, QStringLiteral("Imprimer"), [this] { imprimer(); });
    entree(fichiers, QStringLiteral("Embosser"), [this] { embosser(); });
    fichiers->addSeparator();
    entree(fichiers, QStringLiteral("Quitter"), [this] { close(); }, QStringLiteral("Ctrl+Q"));

    QMenu* edition = menuBar()->addMenu(QStringLiteral("&Edition"));
    // What was undone or redone is said (the pages tell the text itself).
    QAction* defait = entree(
        edition, QStringLiteral("Défait"),
        [this] {
            if (ed_.Defait()) annonceur_->annonce(QStringLiteral("Défait"));
        },
        QStringLiteral("Ctrl+Z"));
    QAction* refait = entree(
        edition, QStringLiteral("Refait"),
        [this] {
            if (ed_.Refait()) annonceur_->annonce(QStringLiteral("Refait"));
        },
        QStringLiteral("Ctrl+Alt+Z"));
    // Said by the window: a screen reader that heard the keys would add its own
    // word, and take Ctrl+Alt+Z for an undo.
    annonceesSeules_ = {defait, refait};
    QAction* copier = entree(edition, QStringLiteral("Copier"), [this] { this->copier(false); }, QStringLiteral("Ctrl+C"));
    QAction* copierUnicode =
        entree(edition, QStringLiteral("Copier en braille Unicode"), [this] { this->copier(true); }, QStringLiteral("Ctrl+Shift+C"));
    QAction* coller = entree(edition, QStringLiteral("Coller"), [this] { this->coller(); }, QStringLiteral("Ctrl+V"));
    QAction* couper = entree(
        edition, QStringLiteral("Couper"),
        [this] {
            this->copier(false);
            ed_.supprimeSelection();
        },
        QStringLiteral("Ctrl+X"));
    QAction* supprime = entree(edition, QStringLiteral("Supprime la sélection"), [this] { ed_.supprimeSelection(); });
    QAction* retourne =
        entree(edition, QStringLiteral("Retourne la sélection"), [this] { ed_.retourneSelection(); }, QStringLiteral("Ctrl+R"));
    QAction* evidence = entree(edition, QStringLiteral("Mise en évidence"), [this] { ed_.miseEnEvidence(); });
    evidence->setVisible(false);
    // A hidden action's shortcut is dead: the shortcut lives on an action of
    // the window, which no menu shows.
    auto* raccourciEvidence = new QAction(this);
    raccourciEvidence->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    connect(raccourciEvidence, &QAction::triggered, evidence, &QAction::trigger);
    addAction(raccourciEvidence);
    entree(edition, QStringLiteral("Centrer"), [this] { ed_.marqueParagraphe(MARQUEUR_CENTRE); });
    // The tool bar's commands that no key gives, within the keyboard's reach.
    entree(edition, QStringLiteral("&Indentation du paragraphe"), [this] { ed_.marqueParagraphe(MARQUEUR_INDENTATION); });
    entree(edition, QStringLiteral("&Autre code"), [this] { autreCode(); });
    edition->addSeparator();
    entree(edition, QStringLiteral("Recherche"), [this] { recherche(); }, QStringLiteral("Ctrl+F"));
    QAction* poursuit =
        entree(edition, QStringLiteral("Poursuivre la recherche"), [this] { poursuitRecherche(); }, QStringLiteral("F3"));
    entree(edition, QStringLiteral("Page numéro "), [this] { pageNumero(); });
    // The entries are enabled as the menu opens, and before their shortcut
    // acts (raccourci): a shortcut does what its entry would, or nothing. In
    // between they stay enabled.
    majEdition_ = [=, this] {
        const bool selection = !ed_.sansSelection();
        coller->setEnabled(collable(QGuiApplication::clipboard()->mimeData()));
        copier->setEnabled(selection);
        copierUnicode->setEnabled(selection);
        couper->setEnabled(selection);
        poursuit->setEnabled(!dlgRecherche_->texte().isEmpty());
        defait->setEnabled(doc_.journal().PeutDefaire());
        refait->setEnabled(doc_.journal().PeutRefaire());
        supprime->setEnabled(selection);
        retourne->setEnabled(selection);
    };
    reactiveEdition_ = [=] {
        for (QAction* a : {defait, refait, copier, copierUnicode, coller, couper, supprime, retourne, poursuit})
            a->setEnabled(true);
    };
    connect(edition, &QMenu::aboutToShow, this, [this] { majEdition_(); });
    connect(edition, &QMenu::aboutToHide, this, [this] { reactiveEdition_(); });

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    entree(options, QStringLiteral("&Format de la page"), [this] { formatDeLaPage(); });
    entree(options, QStringLiteral("Police de caractères"), [this] { policeDeCaracteres(); });
    entree(options, QStringLiteral("Indentation des paragraphes"), [this] { indentationDesParagraphes(); });
    options->addSeparator();
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
    options->addSeparator()->setVisible(false);
    entree(options, QStringLiteral("Synthèse vocale"), [this] { syntheseVocale(); })->setVisible(false);

    QMenu* claviers = menuBar()->addMenu(QStringLiteral("&Claviers"));
    auto* groupe = new QActionGroup(this);
    QAction* normal = entree(claviers, QStringLiteral("Normal"), [this] { modeClavier(false); });
    QAction* sdf = entree(claviers, QStringLiteral("sdfjkl"), [this] { modeClavier(true); });
    for (QAction* a : {normal, sdf}) {
        a->setCheckable(true);
        groupe->addAction(a);
    }
    normal->setChecked(true);

    QMenu* aide = menuBar()->addMenu(QStringLiteral("?"));
    entree(aide, QStringLiteral("A propos de DotavoB"), [this] {
        QMessageBox::about(this, QStringLiteral("A propos de DotavoB"),
                           QStringLiteral("<b>DotavoB 2.9</b><br>Éditeur de documents en braille français à six points."));
    });
}

void TFDotavoB::modeClavier(bool sixTouches) {
    braille_->modeSixTouches(sixTouches);
    tousLesSignes_->setChecked(sixTouches);
    enteteNoir_->fixeSignesModificateurs(sixTouches);
    piedNoir_->fixeSignesModificateurs(sixTouches);
    noir_->update();
    majentetes();
}


// ---- Document commands ---------------------------------------------------------

bool TFDotavoB::enregistremodification() {
    if (!doc_.modifie()) return true;
    switch (demande(ATTENTION, QStringLiteral("Le texte a été modifié. Voulez-vous l'enregistrer ?"))) {
        case Reponse::Annuler: return false;
        case Reponse::Non: return true;
        // A save that did not happen keeps the document: nothing is lost.
        case Reponse::Oui: return enregistrer();
    }
    return false;
}

bool TFDotavoB::nouveau() {
    if (!enregistremodification()) return false;
    ed_.nouveau();
    secoursInutile();
    setnomfichier(QString());
    // A new document starts in the stored page format, laid out at once.
    format_ = chargeformat(reglages_.litformat());
    if (const QString probleme = reglages_.messageProblemes(); !probleme.isEmpty()) afficheErreur(probleme);
    dlgFormat_->fixeFormat(format_);
    appliqueformat();
    doc_.setModifie(false);
    affichepages();
    return true;
}

QString TFDotavoB::choisitFonteDuDocument(const QString& nom) {
    return choisitfonte(nom, this, informe);
}

bool TFDotavoB::charge(const QString& nom, bool txtEnBrailleAscii) {
    // A Braille ASCII or PEF file opens as a new document: saving it asks
    // where, and never writes a document over the file it came from. A .txt
    // is Braille ASCII only when chosen as such.
    const QString extension = QFileInfo(nom).suffix().toLower();
    bool echange = extension == QStringLiteral("brf") || extension == QStringLiteral("pef") ||
                   (extension == QStringLiteral("txt") && txtEnBrailleAscii);
    // A text of Unicode braille (what the Unicode export writes) opens as its cells.
    if (!echange && extension == QStringLiteral("txt")) {
        std::string octets, erreur;
        echange = lisFichier(nom.toStdString(), octets, erreur) && estTexteBrailleUnicode(octets);
    }
    // Read into a new model first: a file that cannot be read leaves the
    // open document as it was.
    ResultatLecture r = echange ? chargeEchange(nom.toStdString(), format_)
                                : chargeDtv(nom.toStdString(), format_, [&](const std::string& fonte) {
                                      return depuisQString(choisitFonteDuDocument(versQString(fonte)));
                                  });
    bool recupere = false;
    if (!r.ok && !r.copieComplete.empty()) {
        // A save into this very file was cut short: the document it was
        // writing waits whole aside; it is opened in its stead if the user
        // wishes, modified, so that saving it makes the file whole again.
        if (demande(ATTENTION, messageDuCoeur(r.erreur) + QStringLiteral("\n\nOuvrir ce document entier ? Le fichier ne "
                                                                          "sera remplacé que lorsque vous l'enregistrerez.")) !=
            Reponse::Oui)
            return false;
        r = chargeDtv(r.copieComplete, format_, [&](const std::string& fonte) {
            return depuisQString(choisitFonteDuDocument(versQString(fonte)));
        });
        recupere = r.ok;
    }
    if (!r.ok) {
        afficheErreur(messageDuCoeur(r.erreur));
        return false;
    }
    // The format first: the text is checked against its width as it is
    // indexed, and a book saved wrapped is not re-wrapped again.
    format_ = r.contenu.format;
    format_.derive();
    ed_.charge(std::move(r.contenu.texte), std::move(r.contenu.marqueurs));
    dlgFormat_->fixeFormat(format_);
    if (!echange) {
        nomfonte_ = versQString(r.contenu.fonte);
        noir_->setNomFonte(nomfonte_);
    }
    setnomfichier(echange ? QString() : nom);
    dernierDossier_ = QFileInfo(nom).absolutePath();
    appliqueformat();
    doc_.setModifie(recupere);
    doc_.journal().vide();
    secoursInutile();
    if (recupere) delaiSecours_->start();
    if (!r.avertissement.empty()) informe(messageDuCoeur(r.avertissement));
    return true;
}

bool TFDotavoB::ouvrefichier(const QString& nom) {
    const QFileInfo info(nom);
    const QString extension = info.suffix().toLower();
    if (!info.exists() || (extension != QStringLiteral("dtv") && extension != QStringLiteral("brf") &&
                           extension != QStringLiteral("pef")))
        return false;
    return charge(nom);
}

bool TFDotavoB::ouvrir() {
    filtreOuverture_.clear();
    const QString nom = fichierAOuvrir(QStringLiteral("Ouverture de fichiers DotavoB"), FILTRE_OUVERTURE);
    if (nom.isEmpty() || !enregistremodification()) return false;
    return charge(nom, filtreOuverture_.startsWith(QStringLiteral("Braille ASCII")));
}

ContenuDocument TFDotavoB::contenu() const {
    ContenuDocument c;
    c.texte = doc_.texte();
    c.format = format_;
    c.formatPresent = true;
    c.fonte = depuisQString(nomfonte_);
    c.marqueurs = doc_.marqueurs().liste();
    return c;
}

bool TFDotavoB::enregistre(const QString& nom) {
    std::string erreur;
    if (!enregistreDtv(nom.toStdString(), contenu(), erreur)) {
        // The document stays modified: the user can try again elsewhere.
        afficheErreur(messageDuCoeur(erreur));
        return false;
    }
    dernierDossier_ = QFileInfo(nom).absolutePath();
    doc_.setModifie(false);
    secoursInutile();
    return true;
}

bool TFDotavoB::enregistrer() {
    if (nomfichier_.isEmpty()) return enregistrerSous();
    return enregistre(nomfichier_);
}

QString TFDotavoB::dossierDeTravail() const {
    // Beside the document; else where the user last opened or saved; else home.
    if (!nomfichier_.isEmpty()) return QFileInfo(nomfichier_).absolutePath();
    if (!dernierDossier_.isEmpty()) return dernierDossier_;
    return QDir::homePath();
}

QString TFDotavoB::nomPropose(const QString& extension) const {
    const QString base = nomfichier_.isEmpty() ? QStringLiteral("Document") : QFileInfo(nomfichier_).completeBaseName();
    return QDir(dossierDeTravail()).filePath(base + QLatin1Char('.') + extension);
}

QString TFDotavoB::fichierARemplacer(const QString& titre, const QString& filtres, const QString& propose) {
    for (;;) {
        const QString nom = fichierAEnregistrer(titre, filtres, propose);
        if (nom.isEmpty() || !QFileInfo::exists(nom)) return nom;
        const Reponse r = demande(ATTENTION, QStringLiteral("Ce fichier existe déjà voulez-vous le remplacer ?"));
        if (r == Reponse::Oui) return nom;
        if (r == Reponse::Annuler) return QString();
    }
}

bool TFDotavoB::enregistrerSous() {
    const QString nom = fichierARemplacer(QStringLiteral("Enregistrement de fichiers DotavoB"), FILTRE_ENREGISTREMENT,
                                          nomfichier_.isEmpty() ? dossierDeTravail() : nomfichier_);
    if (nom.isEmpty() || !enregistre(nom)) return false;
    setnomfichier(nom);
    return true;
}

void TFDotavoB::closeEvent(QCloseEvent* e) {
    if (enregistremodification()) {
        secoursInutile();
        e->accept();
    } else {
        e->ignore();
    }
}

void TFDotavoB::proposeSecours() {
    for (const GardeDeSecours::Orpheline& o : secours_->orphelines()) {
        const QString nom = o.lisible ? QString::fromStdString(o.copie.nom) : QString();
        const QString quoi = nom.isEmpty() ? QStringLiteral("qu'un document sans nom") : QStringLiteral("que « %1 »").arg(nom);
        const QString texte = QStringLiteral("DotavoB s'est arrêté sans %1 soit enregistré. Une copie de secours de ce "
                                             "document a été gardée le %2 à %3.")
                                  .arg(quoi, o.date.toString(QStringLiteral("dd/MM/yyyy")),
                                       o.date.toString(QStringLiteral("HH:mm")));
        switch (choisitSecours(texte)) {
            case ChoixSecours::Ignorer: break;  // offered again at the next start
            case ChoixSecours::Supprimer: GardeDeSecours::supprime(o); break;
            case ChoixSecours::Recuperer: {
                ResultatLecture r;
                if (o.lisible) r = litDtv(o.copie.document, format_);
                if (!r.ok) {
                    // Kept for the user, no longer offered.
                    GardeDeSecours::metDeCote(o);
                    afficheErreur(QStringLiteral("La copie de secours « %1 » est illisible : %2. Elle est gardée sous « %1.illisible ».")
                                      .arg(o.fichier, o.lisible ? messageDuCoeur(r.erreur) : o.erreur));
                    break;
                }
                if (!enregistremodification()) return;
                // As it was, under its own name and modified: saving writes
                // where the user meant, and nothing is written before.
                format_ = r.contenu.format;
                format_.derive();
                ed_.charge(std::move(r.contenu.texte), std::move(r.contenu.marqueurs));
                dlgFormat_->fixeFormat(format_);
                nomfonte_ = choisitFonteDuDocument(versQString(r.contenu.fonte));
                noir_->setNomFonte(nomfonte_);
                setnomfichier(nom);
                appliqueformat();
                doc_.journal().vide();
                doc_.setModifie(true);
                if (!secours_->adopte(o))
                    afficheErreur(QStringLiteral("La copie de secours « %1 » est ouverte mais reste où elle est : elle "
                                                 "sera proposée encore au prochain démarrage.")
                                      .arg(o.fichier));
                delaiSecours_->start();
                return;  // one document at a time: the others wait for the next start
            }
        }
    }
}

// ---- Import and paste ------------------------------------------------------------

void TFDotavoB::insereNoir(const std::string& noir, std::int32_t octetsInvalides, const CaracteresRemplaces& remplaces,
                           const std::string& omissions) {
    const CaracteresOmis omis = caracteresOmis(noir);
    ed_.insereNoir(noir);
    // Nothing vanishes or changes without a word.
    QStringList phrases;
    if (octetsInvalides > 0)
        phrases << QStringLiteral("%1 octet(s) illisible(s) en UTF-8 ont été remplacés par « ? ».").arg(octetsInvalides);
    if (remplaces.nombre > 0)
        phrases << QStringLiteral("%1 caractère(s) sans équivalent dans le jeu de caractères du document ont été "
                                  "remplacés par « ? » : %2")
                       .arg(remplaces.nombre)
                       .arg(QString::fromUcs4(remplaces.caracteres.data(),
                                              static_cast<qsizetype>(remplaces.caracteres.size())));
    if (omis.nombre > 0)
        phrases << QStringLiteral("%1 caractère(s) sans équivalent braille ont été omis : %2")
                       .arg(omis.nombre)
                       .arg(versQString(omis.caracteres));
    if (!omissions.empty()) {
        QString o = QString::fromStdString(omissions);
        o[0] = o[0].toUpper();
        phrases << o + QLatin1Char('.');
    }
    if (!phrases.isEmpty()) informe(phrases.join(QLatin1Char('\n')));
}

bool TFDotavoB::importerTexte() {
    const QString nom = fichierAOuvrir(QStringLiteral("Importation d'un fichier texte"), FILTRE_IMPORTATION);
    if (nom.isEmpty()) return false;
    std::string octets, erreur;
    if (!lisFichier(nom.toStdString(), octets, erreur)) {
        afficheErreur(messageDuCoeur(erreur));
        return false;
    }
    // Unicode braille is cells, as when it is pasted.
    if (estTexteBrailleUnicode(octets)) {
        ed_.insereBraille(brailleUnicodeVersOctets(octets.substr(octets.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0)));
        ed_.allerPage(1);
        return true;
    }
    std::int32_t invalides = 0;
    CaracteresRemplaces remplaces;
    std::string omissions;
    const std::string noir =
        texteImporte(octets, QFileInfo(nom).fileName().toStdString(), &invalides, &remplaces, &omissions);
    insereNoir(noir, invalides, remplaces, omissions);
    ed_.allerPage(1);
    return true;
}

bool TFDotavoB::collable(const QMimeData* m) {
    return m && (m->hasFormat(MIME_BRAILLE_UNICODE) || m->hasFormat(QStringLiteral("text/rtf")) ||
                 m->hasFormat(QStringLiteral("application/rtf")) || m->hasText());
}

bool TFDotavoB::raccourci(const QKeyEvent& k) {
    const QKeySequence touche(k.keyCombination());
    // The window's own: its menus' entries and the shortcuts it holds (not its dialogs').
    QList<QAction*> actions = this->actions();
    for (QAction* m : menuBar()->actions())
        if (m->menu()) actions += m->menu()->actions();
    for (QAction* a : std::as_const(actions)) {
        if (a->shortcut().isEmpty() || a->shortcut() != touche || annonceesSeules_.contains(a)) continue;
        if (k.type() == QEvent::KeyPress && (!k.isAutoRepeat() || a->autoRepeat())) {
            majEdition_();
            const bool actif = a->isEnabled();
            reactiveEdition_();
            if (actif) a->trigger();
        }
        return true;
    }
    return false;
}

void TFDotavoB::coller() {
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    if (!collable(m)) return;
    // Cells copied here come back as the same cells.
    if (m->hasFormat(MIME_BRAILLE_UNICODE)) {
        ed_.insereBraille(brailleUnicodeVersOctets(m->data(MIME_BRAILLE_UNICODE).toStdString()));
        return;
    }
    // Rich text first, as word processors put it on the clipboard.
    for (const QString& format : {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")})
        if (m->hasFormat(format)) {
            CaracteresRemplaces remplaces;
            std::string omissions;
            const std::string noir = rtfverstexte(m->data(format).toStdString(), &remplaces, &omissions);
            insereNoir(noir, 0, remplaces, omissions);
            return;
        }
    if (!m->hasText()) return;
    // Text that is all Unicode braille is cells, not print to transcribe.
    const std::string utf8 = m->text().toStdString();
    if (estBrailleUnicode(utf8)) {
        ed_.insereBraille(brailleUnicodeVersOctets(utf8));
        return;
    }
    // LF (other programs' line end), CR LF and CR each end a paragraph.
    CaracteresRemplaces remplaces;
    const std::string noir = joinsLignes(utf8VersCp1252(utf8, &remplaces), false);
    insereNoir(noir, 0, remplaces);
}

void TFDotavoB::copier(bool brailleUnicodeSeul) {
    if (ed_.sansSelection() || ed_.debutSelection() > ed_.finSelection()) return;
    // The editor gives the text; the window puts it on the clipboard with the cells.
    const std::string texte = ed_.copieSelection();
    const std::int32_t debut = ed_.debutSelection(), fin = ed_.finSelection();
    // The text as the page shows it (or its cells, line by line, for other
    // programs), and the cells by paragraph for a paste here.
    auto* donnees = new QMimeData;
    donnees->setText(brailleUnicodeSeul
                         ? QString::fromStdString(ExporteUnicodeExtrait(doc_.texte(), doc_.marqueurs(), debut, fin))
                         : versQString(texte));
    donnees->setData(MIME_BRAILLE_UNICODE,
                     QByteArray::fromStdString(ExporteUnicodeExtrait(doc_.texte(), doc_.marqueurs(), debut, fin, true)));
    QGuiApplication::clipboard()->setMimeData(donnees);
}

// ---- Other codes and speech -------------------------------------------------------

void TFDotavoB::autreCode() {
    if (dlgCodes_->exec() == QDialog::Accepted) {
        // A chosen cell is one byte; a print sign is typed as its characters would be.
        for (char c : dlgCodes_->aInserer()) ed_.insereCaractere(oct(c));
    }
    rendFocus();
}

void TFDotavoB::syntheseVocale() {
    dialogueSynthese().exec();
    rendFocus();
}

// ---- Search and pages -------------------------------------------------------------

void TFDotavoB::recherche() {
    if (!dlgRecherche_->edite()) return;
    const QString texte = dlgRecherche_->texte();
    if (!ed_.recherche(depuisQString(texte), dlgRecherche_->depuisDebut()))
        informe(QStringLiteral("Aucune occurrence de \"%1\" trouvée").arg(texte));
}

void TFDotavoB::poursuitRecherche() {
    const QString texte = dlgRecherche_->texte();
    if (texte.isEmpty()) return;
    if (!ed_.recherche(depuisQString(texte), false))
        informe(QStringLiteral("Aucune occurrence de \"%1\" trouvée").arg(texte));
}

void TFDotavoB::pageNumero() {
    const std::optional<QString> r = saisit(QStringLiteral("Numéro de page"), QStringLiteral("saisir"), QStringLiteral("1"));
    if (!r) return;  // cancelled: nothing happens
    bool ok = false;
    const int n = r->trimmed().toInt(&ok);
    if (!ok) {
        afficheErreur(QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(*r));
        return;
    }
    ed_.allerPage(n);
}

// ---- Page format and font ---------------------------------------------------------

void TFDotavoB::formatDeLaPage() {
    dlgFormat_->fixeFormat(format_);
    if (!dlgFormat_->edite()) return;
    const FormatPage nouveau = dlgFormat_->format();
    if (nouveau == format_) return;
    const FormatPage avant = format_;
    format_ = nouveau;
    // A new format is undone like an edit, the format with the text; the
    // file holds it: the document changed.
    appliqueformat(true, &avant, false);
    doc_.setModifie(true);
}

void TFDotavoB::indentationDesParagraphes() {
    dlgIndent_->fixeIndentation(format_.indentation);
    if (!dlgIndent_->edite() || dlgIndent_->indentation() == format_.indentation) return;
    format_.setIndentation(dlgIndent_->indentation());
    doc_.setModifie(true);  // the file holds it
}

void TFDotavoB::policeDeCaracteres() {
    QString nom = nomfonte_;
    if (!dlgFontes_->choisit(nom) || nom == nomfonte_) return;
    nomfonte_ = nom;
    doc_.setModifie(true);  // the file holds the font
    noir_->setNomFonte(nomfonte_);
    FormResize();
}

// ---- Embossing -----------------------------------------------------------------

bool TFDotavoB::embosser() {
    const auto choix = choisitImprimante(ed_.nbPages());
    if (!choix || !dlgOptEmb_->edite(choix->imprimante, format_)) return false;
    // Pages longer or lines wider than the embosser takes are said before
    // anything is sent: nothing is cut or spilled without a word.
    const ReglagesEmbossage reglages = dlgOptEmb_->reglages();
    const MesurePages mesure = mesurePages(doc_, format_, reglages, choix->premiere, choix->derniere);
    // Each excess is asked about once; "Non" sends nothing.
    auto accepte = [this](std::int32_t compte, std::int32_t limite, const QString& question) {
        return compte <= limite ||
               demande(QStringLiteral("Embossage"), question.arg(compte).arg(limite)) == Reponse::Oui;
    };
    if (!accepte(mesure.caracteres, reglages.caracteresParLigne,
                 QStringLiteral("Des lignes composées comptent %1 caractères, plus que les %2 caractères par ligne "
                                "de l'embosseuse : elles seront coupées. Embosser quand même ?")) ||
        !accepte(mesure.lignes, reglages.lignesParPage,
                 QStringLiteral("Des pages composées comptent %1 lignes, plus que les %2 lignes par page de "
                                "l'embosseuse : elles déborderont sur la feuille suivante. Embosser quand même ?")))
        return false;
    TravailEmbossage t;
    SpouleurFichier versFichier;
    std::unique_ptr<SpouleurBrut> systeme;
    SpouleurBrut* spouleur = &versFichier;
    if (dlgOptEmb_->versFichier()) {
        const QString nom = fichierARemplacer(QStringLiteral("Enregistrer les octets dans un fichier"),
                                              QStringLiteral("Braille embossé (*.brl *.txt);;Tous les fichiers (*)"),
                                              nomPropose(QStringLiteral("brl")));
        if (nom.isEmpty()) return false;
        t.imprimante = nom.toStdString();
    } else {
        // The window stays alive while the device is awaited, and "Abandon" cancels the job.
        systeme = spouleurSysteme(120, [this] { return suivi_->attend(); });
        spouleur = systeme.get();
        t.imprimante = choix->imprimante.toStdString();
    }
    t.nomDocument = "Dotavo Embossage de " + nomfichier_.toStdString();
    t.premiere = choix->premiere;
    t.derniere = choix->derniere;
    t.copies = choix->copies;
    suivi_->commence(nomfichier_);
    t.avantPage = [this](std::int32_t page) {
        ed_.allerPage(page);
        return suivi_->page(page);
    };
    t.reessaiePage = [this] { return suivi_->reessaie(); };
    const std::string erreur = embosse(doc_, format_, dlgOptEmb_->reglages(), t, *spouleur);
    suivi_->termine();
    if (!erreur.empty()) {
        afficheErreur(messageDuCoeur(erreur));
        return false;
    }
    annonceur_->annonce(QStringLiteral("Embossage terminé"));
    return true;
}

}  // namespace dotavob
