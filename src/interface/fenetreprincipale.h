// The main window: two A4 pages side by side (print on the left, Braille on
// the right) with their header and footer bands, the tool bar, the menus and
// the routing of every key to the Braille editor. Layout and keys are in
// fenetreprincipale.cpp, the menu and tool-bar commands in commandes.cpp.
#pragma once

#include <QMainWindow>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "core/braille/codes.h"
#include "core/document/document.h"
#include "core/document/formatpage.h"
#include "core/editeur/editeur.h"
#include "core/fichiers/dtv.h"
#include "interface/optionsaffichage.h"
#include "plateforme/reglages.h"

class QKeyEvent;
class QTimer;
class QLabel;
class QMimeData;
class QToolButton;
class QAction;
class QMenu;

namespace dotavob {

class TEdBraille;
class TenteteBraille;
class TMyEdit;
class TenteteNoir;
class TdlgFormatpage;
class TdlgIndent;
class Tdlgfontes;
class TDlgRecheche;
class TDlgOptEmb;
class Tsuiviembossage;
class TdlgExport;
class TDlgApercu;
class Annonceur;
class Tdlgchoixcode;
class TDlgOptionSpEng;
class MoteurSynthese;
class GardeDeSecours;

// What the print dialog gave: the printer, the pages (0: to the last) and the copies.
struct ChoixImpression {
    QString imprimante;
    std::int32_t premiere = 1, derniere = 0, copies = 1;
};

// The answers of a Yes/No/Cancel question.
enum class Reponse { Oui, Non, Annuler };

class TFDotavoB : public QMainWindow, public ObservateurEditeur, public ObservateurDocument {
    Q_OBJECT
public:
    TFDotavoB(MagasinReglages reglages, QStringList arguments);
    ~TFDotavoB() override;

    // The speech engine, made when its settings are first opened (the
    // system's; the tests give one of their own, as the machine's server may
    // be slow or absent).
    std::function<std::unique_ptr<MoteurSynthese>()> fabriqueSynthese;

    DocumentBraille& document() { return doc_; }
    EditeurBraille& editeur() { return ed_; }
    const OptionsAffichage& options() const { return options_; }
    FormatPage& format() { return format_; }
    TMyEdit& vueNoir() { return *noir_; }
    TEdBraille& vueBraille() { return *braille_; }
    TenteteBraille& enteteBraille() { return *enteteBraille_; }
    TenteteBraille& piedBraille() { return *piedBraille_; }
    TenteteNoir& enteteNoir() { return *enteteNoir_; }
    QWidget& panel3() { return *panel3_; }
    QWidget& panelEntete() { return *panelEntete_; }
    QWidget& panelPied() { return *panelPied_; }
    QWidget& panel1() { return *panel1_; }
    QWidget& panelBoutons() { return *panelBoutons_; }
    QLabel& labelPages() { return *labelPages_; }
    const QString& nomfichier() const { return nomfichier_; }

    void FormResize();
    void affichepages();
    void majentetes();
    // The page format in force: the layout, then the whole document re-wrapped
    // (`formatAvant`: the one it replaces, which undo puts back).
    void appliqueformat(bool journalise = false, const FormatPage* formatAvant = nullptr, bool premierePage = true);
    void setnomfichier(const QString& nom);
    // Opens a .dtv, .brf or .pef named on the command line; anything else is ignored.
    bool ouvrefichier(const QString& nom);

    // The document commands. Each returns false when it did not go through
    // (cancelled, or failed and said so).
    bool nouveau();
    bool ouvrir();
    bool enregistrer();
    bool enregistrerSous();
    bool importerTexte();
    void coller();
    // "Copier": the selection as the page shows it, with its cells as Unicode
    // braille beside; "Copier en braille Unicode": the cells as the text too.
    void copier(bool brailleUnicodeSeul);
    void recherche();
    void poursuitRecherche();
    void pageNumero();
    void formatDeLaPage();
    void indentationDesParagraphes();
    void policeDeCaracteres();
    bool embosser();
    // "Imprimer": the print preview, which prints.
    void imprimer();
    // "Autre code": the code chooser, then what it chose at the caret.
    void autreCode();
    void syntheseVocale();
    // May the current document be dropped? Asks when it is modified; a save
    // that does not happen (cancelled or failed) keeps it.
    bool enregistremodification();
    QAction* action(const QString& texte) const;
    // The keyboard back on the page being typed on, the window active.
    void rendFocus();
    // Is there anything on the clipboard that "Coller" takes?
    static bool collable(const QMimeData* m);

    // What the window asks and tells the user; tests replace them.
    std::function<void(const QString&)> afficheErreur;
    std::function<void(const QString&)> informe;
    std::function<Reponse(const QString& titre, const QString& texte)> demande;
    // A file chosen in the platform's dialog (empty: cancelled).
    // The dialog to open starts in dossierDeTravail(); the one to save at `propose`
    // (a folder, or a file name in it).
    std::function<QString(const QString& titre, const QString& filtres)> fichierAOuvrir;
    std::function<QString(const QString& titre, const QString& filtres, const QString& propose)> fichierAEnregistrer;
    // Where file dialogs start: beside the document, else where the user last
    // opened or saved, else the home folder; and a file there named after the
    // document with this extension.
    QString dossierDeTravail() const;
    QString nomPropose(const QString& extension) const;
    // A line typed in an input box (nullopt: cancelled).
    std::function<std::optional<QString>(const QString& titre, const QString& invite, const QString& texte)> saisit;
    // A recovery copy left by an editor that stopped is offered: what to do with it.
    enum class ChoixSecours { Recuperer, Ignorer, Supprimer };
    std::function<ChoixSecours(const QString& texte)> choisitSecours;
    GardeDeSecours& secours() { return *secours_; }
    // The copies that stopped editors left are offered, one after another,
    // until one is recovered (said after the window has painted, at start).
    void proposeSecours();
    void apresDemarrage();  // the start's messages and recovery offers, once the page has painted
    // The platform's print dialog, for a document of this many pages (nullopt: cancelled).
    std::function<std::optional<ChoixImpression>(std::int32_t nbPages)> choisitImprimante;
    TDlgOptEmb& dialogueOptionsEmbossage() { return *dlgOptEmb_; }
    TdlgExport& dialogueExport() { return *dlgExport_; }
    TDlgApercu& dialogueApercu() { return *dlgApercu_; }
    TDlgRecheche& dialogueRecherche() { return *dlgRecherche_; }
    TdlgFormatpage& dialogueFormat() { return *dlgFormat_; }
    TdlgIndent& dialogueIndentation() { return *dlgIndent_; }
    Tdlgfontes& dialogueFontes() { return *dlgFontes_; }
    Tdlgchoixcode& dialogueCodes() { return *dlgCodes_; }
    // The speech settings and the voice they drive are made at their first
    // use: a speech engine starts slowly, and may start a speech server.
    TDlgOptionSpEng& dialogueSynthese();

    void pageModifiee(std::int32_t page, std::int32_t nbPages) override;
    // A change of the document: its recovery copy follows within the delay.
    void lignesModifiees(std::int32_t, std::int32_t) override;
    void formatRemis(const FormatPage& format) override;

protected:
    bool eventFilter(QObject* objet, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormActivate();
    // The pages and strips laid out for the format in force (no re-wrap).
    void miseEnPage();
    void creeMenus();
    void creeBoutons();
    QToolButton* bouton(QWidget* parent, const QString& icone, const QString& bulle, int x, int largeur);
    void modeClavier(bool sixTouches);
    void basculeAffichage(QAction* a, const std::function<void(bool)>& applique,
                          const std::function<bool()>& etat = {});
    void fixeOption(bool OptionsAffichage::*option, bool valeur);
    void creeDialogues();
    bool enregistre(const QString& nom);
    // The document as a save writes it.
    ContenuDocument contenu() const;
    // The document is saved or dropped on purpose: no copy to keep.
    void secoursInutile();
    // A file to write, chosen in the save dialog; an existing one only if the
    // user agrees to replace it ("Non" chooses again). Empty: cancelled.
    QString fichierARemplacer(const QString& titre, const QString& filtres, const QString& propose);
    // `txtEnBrailleAscii`: a .txt chosen as Braille ASCII in the open dialog.
    bool charge(const QString& nom, bool txtEnBrailleAscii = false);
    void insereNoir(const std::string& noir, std::int32_t octetsInvalides, const CaracteresRemplaces& remplaces,
                    const std::string& omissions = {});
    void aVenir(const QString& commande);
    QString choisitFonteDuDocument(const QString& nom);
    // A key of a menu entry's shortcut, typed on the document: it does what
    // the entry would (or nothing when the entry is disabled). True when the
    // key is a shortcut.
    bool raccourci(const QKeyEvent& k);

    MagasinReglages reglages_;
    QStringList arguments_;
    FormatPage format_;
    DocumentBraille doc_{format_};
    EditeurBraille ed_{doc_};
    OptionsAffichage options_;
    QString nomfichier_;
    QString pageAnnoncee_;  // the page a screen reader was last told
    int taillePages_ = 16;  // the pixel size of the page counter's font
    // What a screen reader is told after an event: the notice first (its
    // flash on a Braille display then gives way to the page), then the pages.
    QTimer* annonces_ = nullptr;
    QString filtreOuverture_;  // the filter the open dialog was left on
    QString dernierDossier_;   // the folder of the last file opened or saved
    QString nomfonte_ = QStringLiteral("Courier New");
    bool premiereactivation_ = true;
    QStringList messagesDeDemarrage_;  // said once the window has painted
    bool premierePeinture_ = true;
    QSet<int> touchesEnfoncees_;  // keys that went down over the pages, not yet released
    // The "Edition" entries enabled as the menu would show them, and all enabled again.
    std::function<void()> majEdition_, reactiveEdition_;
    // Entries that say what they did themselves: their keys stay Qt's shortcuts.
    QList<QAction*> annonceesSeules_;

    QWidget* client_ = nullptr;
    QWidget* panelBoutons_ = nullptr;
    QWidget* panel2_ = nullptr;
    QWidget* panel3_ = nullptr;
    QWidget* panelEntete_ = nullptr;
    QWidget* panelPied_ = nullptr;
    QWidget* panel1_ = nullptr;
    QWidget* separateur_ = nullptr;
    QLabel* labelPages_ = nullptr;
    Annonceur* annonceur_ = nullptr;
    QToolButton *premiere_ = nullptr, *precedente_ = nullptr, *suivante_ = nullptr, *derniere_ = nullptr;
    QAction* tousLesSignes_ = nullptr;
    TdlgFormatpage* dlgFormat_ = nullptr;
    TdlgIndent* dlgIndent_ = nullptr;
    Tdlgfontes* dlgFontes_ = nullptr;
    TDlgRecheche* dlgRecherche_ = nullptr;
    TDlgOptEmb* dlgOptEmb_ = nullptr;
    Tsuiviembossage* suivi_ = nullptr;
    TdlgExport* dlgExport_ = nullptr;
    TDlgApercu* dlgApercu_ = nullptr;
    Tdlgchoixcode* dlgCodes_ = nullptr;
    // The window's voice, from its first use to exit; its dialog goes before it.
    std::unique_ptr<MoteurSynthese> synthese_;
    TDlgOptionSpEng* dlgSynthese_ = nullptr;
    // This editor's recovery copy, written at most `delaiSecours` after a change.
    std::unique_ptr<GardeDeSecours> secours_;
    QTimer* delaiSecours_ = nullptr;
    bool echecSecoursDit_ = false;
    TMyEdit* noir_ = nullptr;
    TEdBraille* braille_ = nullptr;
    TenteteBraille *enteteBraille_ = nullptr, *piedBraille_ = nullptr;
    TenteteNoir *enteteNoir_ = nullptr, *piedNoir_ = nullptr;
};

}  // namespace dotavob
