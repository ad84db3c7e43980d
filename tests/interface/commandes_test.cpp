#include <QCheckBox>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <deque>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "commun/fenetre.h"
#include "commun/interruption.h"
#include "core/braille/unicode.h"
#include "core/fichiers/brf.h"
#include "core/fichiers/dtv.h"
#include "core/noir/noir.h"
#include "core/sorties/embossage.h"
#include "core/sorties/export.h"
#include "interface/accessibilite.h"
#include "interface/dialogueembossage.h"
#include "interface/dialogueexport.h"
#include "interface/dialogueformat.h"
#include "interface/dialoguerecherche.h"
#include "interface/dialoguesynthese.h"
#include "interface/vuenoir.h"

using namespace dotavob;
using essai::octets;

namespace {

class Commandes : public essai::Fenetre {
protected:
    std::deque<Reponse> reponses;       // what the user answers, in order
    std::deque<QString> fichiers;       // what the user picks in file dialogs ("" cancels)
    std::vector<QString> proposes;      // where the save dialogs started

    // The next answer; one nobody expected fails the test and cancels.
    template <class T>
    static T prochain(std::deque<T>& file, T defaut, const QString& quoi) {
        if (file.empty()) {
            ADD_FAILURE() << "inattendu : " << quoi.toStdString();
            return defaut;
        }
        const T r = file.front();
        file.pop_front();
        return r;
    }
    void SetUp() override {
        Fenetre::SetUp();
        f->demande = [this](const QString&, const QString& texte) { return prochain(reponses, Reponse::Annuler, texte); };
        f->fichierAOuvrir = [this](const QString& titre, const QString&) { return prochain(fichiers, QString(), titre); };
        f->fichierAEnregistrer = [this](const QString& titre, const QString&, const QString& propose) {
            proposes.push_back(propose);
            return prochain(fichiers, QString(), titre);
        };
    }
    void ecrit(const QString& nom, const QByteArray& contenu) {
        QFile fi(nom);
        ASSERT_TRUE(fi.open(QIODevice::WriteOnly));
        fi.write(contenu);
    }
    // The export dialog with its two choices (buttons by name) and "OK"; still open, the save
    // dialog was cancelled or the file not written.
    bool exporte(const char* format, const char* destination) {
        TdlgExport& d = f->dialogueExport();
        essai::pendant(d, [&d, format, destination] {
            d.findChild<QRadioButton*>(QString::fromLatin1(format))->setChecked(true);
            d.findChild<QRadioButton*>(QString::fromLatin1(destination))->setChecked(true);
            d.findChild<QPushButton*>(QStringLiteral("boutok"))->click();
            if (d.isVisible()) d.reject();
        });
        return d.exec() == QDialog::Accepted;
    }
    // The embossing options as the user leaves them, then "OK".
    void optionsEmbossage(std::function<void(TDlgOptEmb&)> choix) {
        TDlgOptEmb& o = f->dialogueOptionsEmbossage();
        essai::pendant(o, [&o, choix] {
            choix(o);
            o.accept();
        });
    }
    std::string noir() { return BrailleVersNoir(f->document().texte()); }
    // The command, the user picking `nom` in its file dialog.
    bool avec(bool (TFDotavoB::*commande)(), const char* nom) {
        fichiers = {chemin(nom)};
        return (f.get()->*commande)();
    }
};

}  // namespace

TEST_F(Commandes, RaccourcisEtEntreesCachees) {
    // Shortcuts no other test presses.
    for (auto [entree, raccourci] : {std::pair{"Ouvrir", "Ctrl+O"}, {"Nouveau", "Ctrl+N"},
                                     {"Copier en braille Unicode", "Ctrl+Shift+C"}, {"Recherche", "Ctrl+F"},
                                     {"Poursuivre la recherche", "F3"}}) {
        QAction* a = f->action(QString::fromUtf8(entree));
        ASSERT_NE(a, nullptr) << entree;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(raccourci))) << entree;
    }
    for (const char* cachee : {"Mise en évidence", "Synthèse vocale"})
        EXPECT_FALSE(f->action(QString::fromUtf8(cachee))->isVisible()) << cachee;
    // The tool buttons never take the keyboard from the pages.
    for (QToolButton* b : f->panelBoutons().findChildren<QToolButton*>())
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << b->toolTip().toStdString();
}

TEST_F(Commandes, DocumentModifieSurChaqueChemin) {
    // Every path that drops a document asks; "Annuler" keeps it, "Non" drops it.
    for (const char* nom : {"Nouveau", "Fermer", "Ouvrir", "Quitter"}) {
        const bool ouvrir = std::string(nom) == "Ouvrir";
        auto commande = [&] {
            if (ouvrir) fichiers.push_front(QStringLiteral(DOTAVOB_DONNEES_TEST "/embossage.dtv"));  // the dialog comes first
            f->action(QString::fromUtf8(nom))->trigger();
        };
        ASSERT_TRUE(f->nouveau());
        f->editeur().insereNoir("brouillon");
        // "Annuler", then "Oui" on an unnamed document with the save dialog cancelled: nothing is lost.
        reponses = {Reponse::Annuler, Reponse::Oui};
        commande();
        fichiers.push_back(QString());
        commande();
        EXPECT_EQ(std::tuple(noir(), f->isVisible()), std::tuple(std::string("brouillon"), true)) << nom;
        reponses = {Reponse::Non};
        commande();
        if (std::string(nom) == "Quitter") {
            EXPECT_FALSE(f->isVisible());  // closed, the changes dropped
            f->show();
        } else {
            EXPECT_NE(noir(), "brouillon") << nom;
        }
    }
    // The window's close button asks too.
    f->editeur().insereNoir("encore");
    reponses = {Reponse::Annuler};
    QCloseEvent fermeture;
    QApplication::sendEvent(f.get(), &fermeture);
    EXPECT_FALSE(fermeture.isAccepted());
    EXPECT_TRUE(reponses.empty());
}

TEST_F(Commandes, EnregistrerSousUnFichierExistantOuImpossible) {
    const QString existant = chemin("existant.dtv"), libre = chemin("libre.dtv");
    ecrit(existant, "ancien");
    f->editeur().insereNoir("nouveau");
    // "Non" opens the dialog again; "Annuler" writes nothing and keeps the name.
    reponses = {Reponse::Non};
    fichiers = {existant, libre};
    ASSERT_TRUE(f->enregistrerSous());
    reponses = {Reponse::Annuler};
    fichiers = {existant};
    EXPECT_FALSE(f->enregistrerSous());
    EXPECT_EQ(std::tuple(octets(existant), f->nomfichier()), std::tuple(QByteArray("ancien"), libre));
    // A save that fails is said, and the document stays modified under its old name.
    f->editeur().insereNoir(" encore");
    EXPECT_FALSE(avec(&TFDotavoB::enregistrerSous, "absent/dossier/x.dtv"));
    EXPECT_EQ(std::tuple(f->document().modifie(), f->nomfichier(), messages.empty()), std::tuple(true, libre, false));
}

TEST_F(Commandes, RechercheEtPageNumero) {
    f->editeur().insereNoir("le chat\rdu chat\fle chien");
    TDlgRecheche& d = f->dialogueRecherche();
    for (const char* mot : {"CHAT", "loup"}) {
        QTimer::singleShot(0, &d, [&d, mot] {
            d.fixeTexte(QString::fromUtf8(mot));
            d.fixeDepuisDebut(true);
            d.accept();
        });
        f->recherche();
        if (messages.empty()) {
            EXPECT_EQ(f->editeur().positionCurseur(), 4);
            f->poursuitRecherche();
            EXPECT_EQ(f->editeur().curseur(), (Point{4, 2}));
        }
    }
    ASSERT_EQ(messages.size(), 1u);  // "loup" is not there
    EXPECT_EQ(messages[0], QStringLiteral("Aucune occurrence de \"loup\" trouvée"));
    // "Page numéro ": a number goes there, a cancel does nothing, a word is refused and said.
    std::optional<QString> saisie;
    f->saisit = [&](const QString&, const QString&, const QString&) { return saisie; };
    using Pas = std::tuple<std::optional<QString>, int, std::size_t>;
    for (auto [tape, page, dits] : {Pas{QStringLiteral("2"), 2, 1u}, {std::nullopt, 2, 1u}, {QStringLiteral("deux"), 2, 2u}}) {
        saisie = tape;
        f->pageNumero();
        EXPECT_EQ(std::tuple(f->editeur().pageCourante(), messages.size()), std::tuple(page, dits)) << tape.value_or("-").toStdString();
    }
}

TEST_F(Commandes, ImporterEtColler) {
    // The name's extension in any case; the decoding itself is the importer's.
    ecrit(chemin("windows.TXT"), "Caf\xE9\r\nbien\r\n");
    ASSERT_TRUE(avec(&TFDotavoB::importerTexte, "windows.TXT"));
    EXPECT_EQ(noir(), "Caf\xE9\r\nbien\r\n");
    // Ctrl+V on an empty document: nothing vanishes or changes without a word. Rich text
    // counts an emoji (two \u) as one character; Linux line ends make paragraphs.
    const QString remplaces = QStringLiteral("%1 caractère(s) sans équivalent dans le jeu de caractères du document ont été "
                                             "remplacés par « ? » : %2");
    const struct { const char *rtf, *texte, *attendu; std::vector<QString> dits; } cas[] = {
        {nullptr, "a|b", "ab", {QStringLiteral("1 caractère(s) sans équivalent braille ont été omis : |")}},
        {nullptr, "ligne un\nligne deux\n\nligne trois", "ligne un\r\nligne deux\r\n\r\nligne trois", {}},
        {nullptr, "x\u2264\U0001F600\u2264", "x???", {remplaces.arg(3).arg(QStringLiteral("≤😀"))}},
        {"{\\rtf1 x\\u-10179?\\u-8704?}", nullptr, "x?", {remplaces.arg(1).arg(QStringLiteral("😀"))}},
        {"{\\rtf1 a{\\footnote b}}", nullptr, "a", {QStringLiteral("Notes de bas de page omises.")}},
    };
    for (const auto& c : cas) {
        f->editeur().nouveau();
        messages.clear();
        auto* donnees = new QMimeData;
        if (c.rtf) donnees->setData(QStringLiteral("text/rtf"), QByteArray(c.rtf));
        else donnees->setText(QString::fromUtf8(c.texte));
        QGuiApplication::clipboard()->setMimeData(donnees);
        QTest::keyClick(f->centralWidget(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(std::tuple(noir(), messages), std::tuple(std::string(c.attendu), c.dits)) << (c.rtf ? c.rtf : c.texte);
    }
}

TEST_F(Commandes, BrailleUnicodeCopieEtColle) {
    f->editeur().insereNoir("Le chat");
    const std::string cellules = f->document().texte();
    f->editeur().selectionne(3, 5);
    f->action(QStringLiteral("Retourne la sélection"))->trigger();  // a turned stretch: copied turned
    const std::string attendu = ExporteUnicode(cellules, f->document().marqueurs());
    QClipboard* pp = QGuiApplication::clipboard();
    // "Copier": the print text, and the cells beside it; "Copier en braille Unicode": the cells as the text.
    f->editeur().selectionne(1, f->document().longueur());
    f->copier(false);
    EXPECT_EQ(pp->mimeData()->data(QStringLiteral("text/x-braille-unicode")).toStdString(), attendu);
    EXPECT_EQ(pp->text(), QStringLiteral("Le chat"));
    f->copier(true);
    EXPECT_EQ(pp->text().toStdString(), attendu);
    // Pasted here, either gives back the same cells, turned as they were read (Unicode braille is never print).
    for (bool seulementLeTexte : {false, true}) {
        if (seulementLeTexte) pp->setText(QString::fromStdString(attendu));
        f->editeur().nouveau();
        f->coller();
        EXPECT_EQ(f->document().texte(), brailleUnicodeVersOctets(attendu)) << seulementLeTexte;
    }
    // A paragraph the wrap cut into lines pastes back as one paragraph, wrapped as it was.
    f->editeur().nouveau();
    f->editeur().insereNoir("Un long paragraphe qui tient sur plusieurs lignes de la page, et que le retour "
                            "automatique coupe en lignes, parfois au milieu d'anticonstitutionnellement.");
    const std::string paragraphe = f->document().texte();
    ASSERT_NE(paragraphe.find('\n'), std::string::npos);
    f->editeur().selectionne(1, f->document().longueur());
    f->copier(false);
    f->editeur().nouveau();
    f->coller();
    EXPECT_EQ(f->document().texte(), paragraphe);
}

TEST_F(Commandes, OuvrirBrfEtPef) {
    // A Braille ASCII file opens as a new document with no name: saving asks where.
    ecrit(chemin("livre.BRF"), "LE *AT\r\n,PARIS\r\n\f=T=\r\n");
    ASSERT_TRUE(avec(&TFDotavoB::ouvrir, "livre.BRF"));
    EXPECT_EQ(std::tuple(f->nomfichier(), f->document().modifie(), f->editeur().nbPages()), std::tuple(QString(), false, 2));
    // PEF written by the export dialog opens the same way.
    fichiers = {chemin("livre.pef"), chemin("livre.pef")};
    ASSERT_TRUE(exporte("RBPef", "RBFichier"));
    ASSERT_TRUE(f->ouvrir());
    EXPECT_NE(f->document().texte().find("\xE9t\xE9"), std::string::npos);
    // What the Unicode braille export writes opens as its cells, and imports as them.
    ecrit(chemin("unicode.txt"), QStringLiteral("⠁⠃ ⠉\n⠙\n").toUtf8());
    const std::string cellules = litBrf("AB C\r\nD").contenu.texte;
    ASSERT_TRUE(avec(&TFDotavoB::ouvrir, "unicode.txt"));
    EXPECT_EQ(std::tuple(f->document().texte(), f->nomfichier()), std::tuple(cellules, QString()));
    f->editeur().nouveau();
    ASSERT_TRUE(avec(&TFDotavoB::importerTexte, "unicode.txt"));
    EXPECT_EQ(f->document().texte(), cellules + "\r");
    // A line wider than any page: every cell kept, and the user told.
    messages.clear();
    ecrit(chemin("large.brf"), QByteArray(60, 'A'));
    reponses = {Reponse::Non};  // the import is not kept
    ASSERT_TRUE(avec(&TFDotavoB::ouvrir, "large.brf"));
    EXPECT_EQ(std::tuple(f->document().texte(), messages.size()),
              std::tuple(std::string(50, 'a') + "\r" + std::string(10, 'a'), 1u));
    EXPECT_TRUE(!messages.empty() && messages[0].contains(QStringLiteral("1 ligne de plus de 50 cellules a été coupée")));
    // A file that is not what its name says is refused, and the document stays.
    const std::string avant = f->document().texte();
    ecrit(chemin("faux.pef"), "<pef");
    ecrit(chemin("texte.txt"), "LE *AT");  // not chosen as Braille ASCII: not a document
    for (const char* nom : {"faux.pef", "texte.txt"}) {
        messages.clear();
        EXPECT_FALSE(avec(&TFDotavoB::ouvrir, nom)) << nom;
        EXPECT_EQ(std::tuple(messages.size(), f->document().texte()), std::tuple(1u, avant)) << nom;
    }
}

#ifndef _WIN32
TEST_F(Commandes, UnEnregistrementSurPlaceInterrompuOffreLeDocumentEntier) {
    // A file with a second hard link is saved into itself; a save killed in that write leaves
    // it half written. Opening offers the copy kept whole aside; saving it mends the file.
    f->editeur().insereNoir("Le petit chat dort.");
    ASSERT_TRUE(avec(&TFDotavoB::enregistrerSous, "doc.dtv"));
    const std::string octetsAvant = octets(chemin("doc.dtv")).toStdString();
    QTest::keyClicks(f->centralWidget(), QStringLiteral(" Il dort bien."));
    ASSERT_TRUE(avec(&TFDotavoB::enregistrerSous, "apres.dtv"));
    const std::string texte = f->document().texte(), octetsApres = octets(chemin("apres.dtv")).toStdString();
    ASSERT_EQ(::link(chemin("doc.dtv").toLocal8Bit().constData(), chemin("autre-nom.dtv").toLocal8Bit().constData()), 0);
    // As a crash or a power cut leaves it.
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        std::string erreur;
        interruption::tueAuMilieuDeLEcriture(chemin("doc.dtv").toStdString());
        ecritFichierAtomique(chemin("doc.dtv").toStdString(), octetsApres, erreur);
        ::_exit(1);  // not reached: killed in its write
    }
    ::waitpid(fils, nullptr, 0);
    // "Non" opens nothing; "Oui" opens the whole document.
    reponses = {Reponse::Non};
    const QString nomAvant = f->nomfichier();
    EXPECT_FALSE(avec(&TFDotavoB::ouvrir, "autre-nom.dtv"));
    EXPECT_EQ(std::tuple(reponses.empty(), f->nomfichier()), std::tuple(true, nomAvant));  // asked
    reponses = {Reponse::Oui};
    ASSERT_TRUE(avec(&TFDotavoB::ouvrir, "autre-nom.dtv"));
    EXPECT_EQ(std::tuple(f->document().texte(), f->nomfichier(), f->document().modifie()),
              std::tuple(texte, chemin("autre-nom.dtv"), true));
    ASSERT_TRUE(f->enregistrer());
    EXPECT_NE(octets(chemin("doc.dtv")).toStdString(), octetsAvant);
    EXPECT_EQ(octets(chemin("doc.dtv")), octets(chemin("autre-nom.dtv")));  // the link kept
    // Whole again: the next opening asks nothing, and no copy is left.
    ASSERT_TRUE(avec(&TFDotavoB::ouvrir, "doc.dtv"));
    EXPECT_EQ(f->document().texte(), texte);
    const QDir aCote(QString::fromStdString(dossierDesDonnees()) + QStringLiteral("/sur-place"));
    EXPECT_TRUE(aCote.entryList({QStringLiteral("*.dtv")}).isEmpty());
}
#endif

TEST_F(Commandes, UnCaractereSansEquivalentNeTapeRienEtLeDit) {
    // A Greek letter or an emoji typed (another keyboard, a compose key) has
    // no byte in the document: nothing is typed, and a screen reader hears why.
    QTest::keyClicks(f->centralWidget(), QStringLiteral("a"));
    const std::string tape = f->document().texte();
    ASSERT_FALSE(tape.empty());
    for (const QString& texte : {QStringLiteral("α"), QStringLiteral("😀")}) {
        QKeyEvent appui(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, texte);
        QApplication::sendEvent(f->centralWidget(), &appui);
        QCoreApplication::processEvents();
        EXPECT_EQ(f->document().texte(), tape);
        EXPECT_EQ(f->findChild<Annonceur*>()->accessibleName(),
                  QStringLiteral("« %1 » : caractère sans équivalent dans le jeu de caractères du document, rien n'est tapé")
                      .arg(texte));
    }
    QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("é"));
    QApplication::sendEvent(f->centralWidget(), &e);
    EXPECT_NE(f->document().texte(), tape);  // code page 1252 still types
}

TEST_F(Commandes, EntreesDEditionParLeursRaccourcis) {
    // Each entry of "&Edition" through its shortcut, or its menu entry when it has none.
    f->editeur().insereNoir("abc def");
    QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
    const struct { int debut, fin; Qt::Key cle; Qt::KeyboardModifiers m; const char *entree, *attendu, *copie; } pas[] = {
        {0, 0, Qt::Key_Z, Qt::ControlModifier, nullptr, "", "avant"},
        {0, 0, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier, nullptr, "abc def", "avant"},
        // With no selection, copy and cut do nothing, as their disabled entries would.
        {0, 0, Qt::Key_C, Qt::ControlModifier, nullptr, "abc def", "avant"},
        {0, 0, Qt::Key_X, Qt::ControlModifier, nullptr, "abc def", "avant"},
        {1, 3, Qt::Key_C, Qt::ControlModifier, nullptr, "abc def", "abc"},
        {1, 3, Qt::Key_X, Qt::ControlModifier, nullptr, " def", "abc"},
        {1, 1, {}, {}, "Supprime la sélection", "def", "abc"},
    };
    for (const auto& p : pas) {
        if (p.debut) f->editeur().selectionne(p.debut, p.fin);
        if (p.entree) f->action(QString::fromUtf8(p.entree))->trigger();
        else QTest::keyClick(f->centralWidget(), p.cle, p.m);
        const auto trace = testing::Message() << int(p.cle) << " " << (p.entree ? p.entree : "");
        EXPECT_EQ(noir(), p.attendu) << trace;
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(p.copie)) << trace;
    }
    // Alt with a key that opens no menu types nothing.
    QTest::keyClick(f->centralWidget(), Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(noir(), "def");
    // Nothing on the clipboard: "Coller" stays disabled (rich text alone is pasted in ImporterEtColler).
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(TFDotavoB::collable(QGuiApplication::clipboard()->mimeData()));
    // A shortcut typed on the page comes as a key press, which a screen reader hears; an undo says itself.
    QKeyEvent colle(QEvent::ShortcutOverride, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(&f->vueNoir(), &colle);
    EXPECT_TRUE(colle.isAccepted());
    QCoreApplication::processEvents();
    QTest::keyClick(f->centralWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(noir(), " def");
    EXPECT_EQ(f->findChild<Annonceur*>()->accessibleName(), QStringLiteral("Défait"));
    f->editeur().selectionne(2, 3);
    QTest::keyClick(f->centralWidget(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(f->document().marqueurs().liste(), (std::vector<Marqueur>{{2, 3, MARQUEUR_RETOURNE, 0}}));
    f->action(QStringLiteral("Centrer"))->trigger();
    EXPECT_TRUE(f->document().marqueurs().DansMarqueur(1, MARQUEUR_CENTRE));
}

TEST_F(Commandes, EmbosserDansUnFichierEtEchec) {
    f->editeur().insereNoir("Une page.\fUne autre.");
    f->choisitImprimante = [](std::int32_t) { return std::optional<ChoixImpression>(ChoixImpression{"test", 1, 0, 2}); };
    auto reponds = [&](bool versFichier, int lignes) {
        optionsEmbossage([versFichier, lignes](TDlgOptEmb& o) {
            o.codeFR()->setChecked(true);
            o.lignes()->setValue(lignes);
            o.margeGauche()->setValue(2);
            o.fichier()->setChecked(versFichier);
        });
    };
    reponds(true, 28);
    fichiers = {chemin("embosse.brl")};
    ASSERT_TRUE(f->embosser());
    // Two copies of every page, as composed; the options kept in the settings.
    const ReglagesEmbossage r = f->dialogueOptionsEmbossage().reglages();
    const std::string copie = composePage(f->document(), f->format(), r, 1) + composePage(f->document(), f->format(), r, 2);
    EXPECT_EQ(octets(chemin("embosse.brl")).toStdString(), copie + copie);
    EXPECT_EQ(MagasinReglages(chemin("r.conf")).litembosseuse()->margeGauche, 2);
    // Unless set, the embosser's page is the paper page: twice the lines with double spacing.
    FormatPage double_;
    double_.lignes = 12;
    double_.interligneDouble = true;
    double_.derive();
    MagasinReglages aucun(chemin("vide.conf"));
    EXPECT_EQ(TDlgOptEmb(aucun, f.get()).reglagesEnregistres(double_).lignesParPage, 24);
    // Escape in the progress window abandons, as "Abandon" does.
    Tsuiviembossage suivi(f.get());
    suivi.commence(QStringLiteral("x"));
    ASSERT_TRUE(suivi.page(1));
    QTest::keyClick(&suivi, Qt::Key_Escape);
    EXPECT_FALSE(suivi.page(2));
    // Pages longer than the embosser's are said first; "Non" sends nothing.
    reponds(true, 1);
    f->editeur().insereNoir(" Et une ligne de plus, puis une autre encore.");
    reponses = {Reponse::Non};
    EXPECT_FALSE(f->embosser());
    EXPECT_TRUE(reponses.empty());
    // A queue that cannot be reached: said, never a silent success.
    f->choisitImprimante = [](std::int32_t) {
        return std::optional<ChoixImpression>(ChoixImpression{"FileQuiNExistePas", 1, 0, 1});
    };
    reponds(false, 28);
    messages.clear();
    EXPECT_FALSE(f->embosser());
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Commandes, LEmbosseuseNeCoupeAucuneLigneSansLeDire) {
    // A 30-cell document after a job at 20 cells: the options start at the
    // document's width; a narrower width is said before anything is sent.
    f->editeur().insereNoir("Une ligne assez longue pour remplir toute la largeur de la page.");
    f->choisitImprimante = [](std::int32_t) { return std::optional<ChoixImpression>(ChoixImpression{"test", 1, 0, 1}); };
    int montre = -1;
    auto reponds = [&](int caracteres) {
        optionsEmbossage([&montre, caracteres](TDlgOptEmb& o) {
            montre = o.caracteres()->value();
            o.caracteres()->setValue(caracteres);
            o.fichier()->setChecked(true);
        });
    };
    reponds(20);
    reponses = {Reponse::Non};
    EXPECT_FALSE(f->embosser());
    EXPECT_EQ(std::tuple(montre, reponses.empty()), std::tuple(f->format().cpl, true));
    EXPECT_EQ(MagasinReglages(chemin("r.conf")).litembosseuse()->caracteres, 20);
    // Shown again at the document's width, and taken as it is: nothing asked, nothing cut.
    reponds(f->format().cpl);
    fichiers = {chemin("embosse.brl")};
    ASSERT_TRUE(f->embosser());
    EXPECT_EQ(montre, f->format().cpl);
    std::size_t plusLongue = 0, plusLongueEmbossee = 0;
    for (std::int32_t n = 1; n <= f->document().nbLignes(); ++n)
        plusLongue = std::max(plusLongue, f->document().ligne(n).texte.size());
    for (const QByteArray& l : octets(chemin("embosse.brl")).split('\n'))
        plusLongueEmbossee = std::max(plusLongueEmbossee, static_cast<std::size_t>(l.trimmed().size()));
    EXPECT_EQ(plusLongueEmbossee, plusLongue);
    EXPECT_GT(plusLongue, 20u);
}

TEST_F(Commandes, LeDialogueDImpressionOffreToutesLesPages) {
    std::optional<std::tuple<bool, int, int>> vu;
    QTimer::singleShot(0, f.get(), [&vu] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible()) {
                const QSpinBox *de = d->findChild<QSpinBox*>(QStringLiteral("from")),
                               *a = d->findChild<QSpinBox*>(QStringLiteral("to"));
                vu = {d->printer()->printRange() == QPrinter::AllPages, de ? de->value() : -1, a ? a->value() : -1};
                d->reject();
            }
    });
    EXPECT_FALSE(f->choisitImprimante(12).has_value());
    EXPECT_EQ(vu, (std::tuple(true, 1, 12)));
}

TEST_F(Commandes, Exporter) {
    f->editeur().insereNoir("\xE9t\xE9\fx");
    // To a file in the French code: the cells as stored, a page break as FF alone.
    fichiers = {chemin("export.txt"), QString(), chemin("absent/export.txt")};
    ASSERT_TRUE(exporte("RBFr", "RBFichier"));
    EXPECT_EQ(octets(chemin("export.txt")), QByteArray::fromStdString(f->document().texte()));
    EXPECT_FALSE(exporte("RBUS", "RBFichier"));
    messages.clear();
    EXPECT_FALSE(exporte("RBFr", "RBFichier"));
    EXPECT_EQ(messages.size(), 1u);  // the file that cannot be written
    // An existing file is never replaced without asking; "Annuler" writes nothing.
    ecrit(chemin("existant.txt"), "ancien");
    fichiers = {chemin("existant.txt")};
    reponses = {Reponse::Annuler};
    EXPECT_FALSE(exporte("RBFr", "RBFichier"));
    EXPECT_EQ(std::tuple(octets(chemin("existant.txt")), reponses.empty()), std::tuple(QByteArray("ancien"), true));
    // To the clipboard in the US code: é is "=".
    ASSERT_TRUE(exporte("RBUS", "RBPP"));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("=")));
    // The dialogs start beside the document, the export named after it with the format's extension; unnamed, at home.
    EXPECT_EQ(proposes.front(), QDir::home().filePath(QStringLiteral("Document.txt")));
    ASSERT_TRUE(avec(&TFDotavoB::enregistrerSous, "livre.dtv"));
    EXPECT_EQ(f->dossierDeTravail(), dossier.path());
    proposes.clear();
    fichiers = {chemin("livre.brf")};
    ASSERT_TRUE(exporte("RBUS", "RBFichier"));
    EXPECT_EQ(proposes, std::vector<QString>{chemin("livre.brf")});
    // "BRF (pages mises en forme)": the pages as embossed, each ended by a form feed.
    fichiers = {chemin("pages.brf")};
    ASSERT_TRUE(exporte("RBBrfPages", "RBFichier"));
    ReglagesEmbossage r = f->dialogueOptionsEmbossage().reglagesEnregistres(f->format());
    r.codeUS = true;
    EXPECT_EQ(octets(chemin("pages.brf")).toStdString(), exporteBrfPages(f->document(), f->format(), r));
}

TEST_F(Commandes, UnNouveauFormatSeDefaitAvecLeTexte) {
    f->editeur().insereNoir("Un paragraphe assez long pour tenir sur plusieurs lignes, quel que soit le format.");
    const FormatPage ancien = f->format();
    const std::string texte = f->document().texte();
    TdlgFormatpage& d = f->dialogueFormat();
    auto change = [&](const char* controle, int valeur) {
        QTimer::singleShot(0, &d, [&d, controle, valeur] {
            d.findChild<QSpinBox*>(QString::fromLatin1(controle))->setValue(valeur);
            d.accept();
        });
        f->formatDeLaPage();
    };
    // The caret before "plusieurs": it stays there under the new format.
    f->editeur().placeCurseur(f->document().pointDe(static_cast<std::int32_t>(texte.find("plusieurs")) + 1));
    change("spednbcarlg", 20);
    const FormatPage nouveau = f->format();
    const std::string recoupe = f->document().texte();
    ASSERT_NE(recoupe, texte);
    EXPECT_EQ(recoupe.substr(static_cast<std::size_t>(f->editeur().positionCurseur() - 1), 9), "plusieurs");
    // Undo puts the old format back with the old wrap, redo the new one with its wrap; the dialog shows the format in force.
    for (bool defait : {true, false}) {
        f->action(defait ? QStringLiteral("Défait") : QStringLiteral("Refait"))->trigger();
        EXPECT_EQ(std::tuple(f->format(), f->document().texte(), d.findChild<QSpinBox*>(QStringLiteral("spednbcarlg"))->value()),
                  std::tuple(defait ? ancien : nouveau, defait ? texte : recoupe, f->format().caracteres)) << defait;
    }
    // A new format that moves no line is undone too; the indentation, a command of its own, stays as set.
    f->format().setIndentation(4);
    change("spEdnblgpg", 20);
    ASSERT_EQ(f->document().texte(), recoupe);
    f->action(QStringLiteral("Défait"))->trigger();
    EXPECT_EQ(std::tuple(f->format().lignes, f->format().indentation, f->document().texte()), std::tuple(nouveau.lignes, 4, recoupe));
    // Typing after the undo wraps to the format shown, not to the one undone.
    f->action(QStringLiteral("Défait"))->trigger();
    f->editeur().placeCurseur(f->document().pointDe(1));
    f->editeur().insereNoir("x");
    EXPECT_GT(static_cast<int>(f->document().texte().find('\n')), nouveau.cpl);  // the old, longer lines
}

TEST_F(Commandes, LIndentationEstUnChangementDuDocument) {
    // Quitting then asks about it.
    TdlgIndent& d = f->dialogueIndentation();
    QTimer::singleShot(0, &d, [&d] {
        d.findChild<QSpinBox*>(QStringLiteral("spEdIndent"))->setValue(4);
        d.accept();
    });
    f->indentationDesParagraphes();
    EXPECT_EQ(std::tuple(f->format().indentation, f->document().modifie()), std::tuple(4, true));
}

TEST_F(Commandes, SyntheseVocaleParSonEntreeCachee) {
    // Hidden in the menu, the entry still opens the speech settings; OK drives the window's engine.
    essai::MoteurEspion* moteur = nullptr;
    f->fabriqueSynthese = [&moteur] {
        auto m = std::make_unique<essai::MoteurEspion>();
        m->liste = {{QStringLiteral("kal"), QStringLiteral("fr_FR"), {}}};
        return std::unique_ptr<MoteurSynthese>(moteur = m.release());
    };
    TDlgOptionSpEng& d = f->dialogueSynthese();
    QTimer::singleShot(0, &d, [&d] {
        d.volume()->setValue(200);
        d.ok()->click();
    });
    f->action(QStringLiteral("Synthèse vocale"))->trigger();
    ASSERT_NE(moteur, nullptr);
    EXPECT_NEAR(moteur->volume, 200 / 255.0, 1e-9);
}
