#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <gtest/gtest.h>

#include "core/fichiers/embossage.h"
#include "core/braille/unicode.h"
#include "core/fichiers/export.h"
#include "core/noir/noir.h"
#include "interface/dialogueembossage.h"
#include "interface/dialogueexport.h"
#include "interface/dialogueformat.h"
#include "interface/dialoguerecherche.h"
#include "interface/dialoguesynthese.h"
#include "interface/fenetreprincipale.h"

using namespace dotavob;

namespace {

class Commandes : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    std::unique_ptr<TFDotavoB> f;
    std::deque<Reponse> reponses;       // what the user answers, in order
    std::deque<QString> fichiers;       // what the user picks in file dialogs ("" cancels)
    std::vector<QString> questions, messages;

    void SetUp() override {
        f = std::make_unique<TFDotavoB>(MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))),
                                        QStringList{QStringLiteral("dotavob")});
        f->afficheErreur = [this](const QString& m) { messages.push_back(m); };
        f->informe = [this](const QString& m) { messages.push_back(m); };
        f->demande = [this](const QString&, const QString& texte) {
            questions.push_back(texte);
            if (reponses.empty()) ADD_FAILURE() << "question inattendue : " << texte.toStdString();
            const Reponse r = reponses.empty() ? Reponse::Annuler : reponses.front();
            if (!reponses.empty()) reponses.pop_front();
            return r;
        };
        auto choix = [this](const QString&, const QString&) {
            if (fichiers.empty()) ADD_FAILURE() << "dialogue de fichier inattendu";
            const QString r = fichiers.empty() ? QString() : fichiers.front();
            if (!fichiers.empty()) fichiers.pop_front();
            return r;
        };
        f->fichierAOuvrir = choix;
        f->fichierAEnregistrer = choix;
        f->resize(1500, 800);
        f->show();
        QCoreApplication::processEvents();
    }
    QString chemin(const char* nom) { return dossier.filePath(QString::fromUtf8(nom)); }
    QByteArray octets(const QString& nom) {
        QFile fi(nom);
        return fi.open(QIODevice::ReadOnly) ? fi.readAll() : QByteArray("<absent>");
    }
    void ecrit(const QString& nom, const QByteArray& contenu) {
        QFile fi(nom);
        ASSERT_TRUE(fi.open(QIODevice::WriteOnly));
        fi.write(contenu);
    }
    void tape(const QString& texte) { QTest::keyClicks(f->centralWidget(), texte); }
    std::string noir() { return BrailleVersNoir(f->document().texte()); }
    QStringList entrees(int menu) {
        QStringList r;
        for (QAction* a : f->menuBar()->actions()[menu]->menu()->actions())
            if (!a->isSeparator()) r << a->text() + (a->isVisible() ? "" : " (cachée)");
        return r;
    }
};

}  // namespace

TEST_F(Commandes, MenusEtBarreDOutils) {
    QStringList menus;
    for (QAction* a : f->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&Fichiers", "&Edition", "&Options", "&Claviers", "?"}));
    EXPECT_EQ(entrees(0), (QStringList{"Nouveau", "Ouvrir", "Enregistrer", "Enregistrer sous", "Fermer", "Importer texte",
                                       "Exporter ...", "Imprimer", "Embosser", "Quitter"}));
    EXPECT_EQ(entrees(1),
              (QStringList{"Défait", "Refait", "Copier", "Copier en braille Unicode", "Coller", "Couper", "Supprime la sélection", "Retourne la sélection",
                           "Mise en évidence (cachée)", "Centrer", "Recherche", "Poursuivre la recherche", "Page numéro "}));
    EXPECT_EQ(entrees(2), (QStringList{"&Format de la page", "Police de caractères", "Indentation des paragraphes",
                                       "Points &Gris", "&Cadre", "Affichage de tous les signes", "Sauts de &pages visibles",
                                       "Sauts de paragraphe visibles", "Espaces visibles", "Synthèse vocale (cachée)"}));
    const struct { const char* entree; const char* raccourci; } raccourcis[] = {
        {"Nouveau", "Ctrl+N"}, {"Ouvrir", "Ctrl+O"}, {"Enregistrer", "Ctrl+S"}, {"Quitter", "Ctrl+Q"},
        {"Défait", "Ctrl+Z"}, {"Refait", "Ctrl+Alt+Z"}, {"Copier", "Ctrl+C"}, {"Copier en braille Unicode", "Ctrl+Shift+C"},
        {"Coller", "Ctrl+V"},
        {"Couper", "Ctrl+X"}, {"Retourne la sélection", "Ctrl+R"}, {"Recherche", "Ctrl+F"},
        {"Poursuivre la recherche", "F3"},
    };
    for (const auto& r : raccourcis) {
        QAction* a = f->action(QString::fromUtf8(r.entree));
        ASSERT_NE(a, nullptr) << r.entree;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(r.raccourci))) << r.entree;
    }
    // The tool buttons never take the keyboard from the pages.
    for (QToolButton* b : f->panelBoutons().findChildren<QToolButton*>())
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << b->toolTip().toStdString();
}

TEST_F(Commandes, EnregistrerFermerRouvrir) {
    tape(QStringLiteral("Le chat dort."));
    const QString nom = chemin("chat.dtv");
    fichiers = {nom};
    QTest::keyClick(f->centralWidget(), Qt::Key_S, Qt::ControlModifier);  // unnamed: "Enregistrer sous"
    EXPECT_EQ(f->windowTitle(), QStringLiteral("DotavoB 2.9 - ") + nom);
    EXPECT_FALSE(f->document().modifie());
    const QByteArray premier = octets(nom);
    ASSERT_NE(premier, QByteArray("<absent>"));
    f->action(QStringLiteral("Fermer"))->trigger();  // unmodified: no question
    EXPECT_EQ(f->document().longueur(), 0);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("DotavoB 2.9 - "));
    fichiers = {nom};
    ASSERT_TRUE(f->ouvrir());
    EXPECT_EQ(noir(), "Le chat dort.");
    EXPECT_FALSE(f->document().modifie());
    ASSERT_TRUE(f->enregistrer());  // named now: no dialog
    EXPECT_EQ(octets(nom), premier);
    EXPECT_TRUE(questions.empty());
}

TEST_F(Commandes, DocumentModifieSurChaqueChemin) {
    // Every path that drops a document asks; "Annuler" keeps it, "Non" drops it.
    const std::vector<std::pair<const char*, std::function<void()>>> chemins = {
        {"Nouveau", [this] { f->action(QStringLiteral("Nouveau"))->trigger(); }},
        {"Fermer", [this] { f->action(QStringLiteral("Fermer"))->trigger(); }},
        {"Ouvrir", [this] {
             fichiers.push_front(chemin("autre.dtv"));  // the open dialog comes first
             f->action(QStringLiteral("Ouvrir"))->trigger();
         }},
        {"Quitter", [this] { f->action(QStringLiteral("Quitter"))->trigger(); }},
    };
    {  // a document to open
        TFDotavoB autre(MagasinReglages(dossier.filePath(QStringLiteral("r2.conf"))), {QStringLiteral("dotavob")});
        autre.fichierAEnregistrer = [this](const QString&, const QString&) { return chemin("autre.dtv"); };
        autre.editeur().insereNoir("autre");
        ASSERT_TRUE(autre.enregistrerSous());
    }
    for (const auto& [nomChemin, commande] : chemins) {
        ASSERT_TRUE(f->nouveau());  // unnamed, unmodified
        f->editeur().insereNoir("brouillon");
        reponses = {Reponse::Annuler};
        commande();
        EXPECT_EQ(noir(), "brouillon") << nomChemin << " annulé";
        EXPECT_TRUE(f->isVisible()) << nomChemin;
        // "Oui" on an unnamed document, then the save dialog cancelled: nothing is lost.
        reponses = {Reponse::Oui};
        fichiers.push_back(QString());
        commande();
        EXPECT_EQ(noir(), "brouillon") << nomChemin << " enregistrement annulé";
        EXPECT_TRUE(f->isVisible()) << nomChemin;
        reponses = {Reponse::Non};
        commande();
        if (std::string(nomChemin) == "Quitter") {
            EXPECT_FALSE(f->isVisible());  // closed, the changes dropped
            f->show();
        } else {
            EXPECT_NE(noir(), "brouillon") << nomChemin << " abandonné";
        }
    }
    // The window's close button asks too.
    f->editeur().insereNoir("encore");
    reponses = {Reponse::Annuler};
    QCloseEvent fermeture;
    QApplication::sendEvent(f.get(), &fermeture);
    EXPECT_FALSE(fermeture.isAccepted());
    EXPECT_EQ(questions.back(), QStringLiteral("Le texte a été modifié. Voulez-vous l'enregistrer ?"));
}

TEST_F(Commandes, EnregistrerSousUnFichierExistantOuImpossible) {
    const QString existant = chemin("existant.dtv");
    ecrit(existant, "ancien");
    f->editeur().insereNoir("nouveau");
    // "Non" opens the dialog again; the second name is free.
    reponses = {Reponse::Non};
    fichiers = {existant, chemin("libre.dtv")};
    ASSERT_TRUE(f->enregistrerSous());
    EXPECT_EQ(octets(existant), QByteArray("ancien"));
    EXPECT_EQ(f->nomfichier(), chemin("libre.dtv"));
    // "Annuler": nothing written, the name stays.
    reponses = {Reponse::Annuler};
    fichiers = {existant};
    EXPECT_FALSE(f->enregistrerSous());
    EXPECT_EQ(octets(existant), QByteArray("ancien"));
    EXPECT_EQ(f->nomfichier(), chemin("libre.dtv"));
    // A save that fails is said, and the document stays modified under its old name.
    f->editeur().insereNoir(" encore");
    fichiers = {chemin("absent/dossier/x.dtv")};
    EXPECT_FALSE(f->enregistrerSous());
    EXPECT_TRUE(f->document().modifie());
    EXPECT_EQ(f->nomfichier(), chemin("libre.dtv"));
    ASSERT_FALSE(messages.empty());
}

TEST_F(Commandes, RechercheEtPageNumero) {
    f->editeur().insereNoir("le chat\rdu chat\fle chien");
    TDlgRecheche& d = f->dialogueRecherche();
    auto cherche = [&](const QString& texte, bool depuisDebut) {
        QTimer::singleShot(0, &d, [&] {
            d.fixeTexte(texte);
            d.fixeDepuisDebut(depuisDebut);
            d.accept();
        });
        f->recherche();
    };
    cherche(QStringLiteral("CHAT"), true);
    EXPECT_EQ(f->editeur().positionCurseur(), 4);
    f->poursuitRecherche();
    EXPECT_EQ(f->editeur().curseur(), (Point{4, 2}));
    cherche(QStringLiteral("loup"), true);
    EXPECT_EQ(messages.back(), QStringLiteral("Aucune occurence de \"loup\" trouvée"));
    // "Page numéro ": a number goes there, a cancel does nothing, a word is refused.
    std::optional<QString> saisie = QStringLiteral("2");
    f->saisit = [&](const QString&, const QString&, const QString&) { return saisie; };
    f->pageNumero();
    EXPECT_EQ(f->editeur().pageCourante(), 2);
    saisie.reset();
    f->editeur().allerPage(1);
    f->pageNumero();
    EXPECT_EQ(f->editeur().pageCourante(), 1);
    saisie = QStringLiteral("deux");
    f->pageNumero();
    EXPECT_EQ(messages.back(), QStringLiteral("'deux' n'est pas une valeur entière correcte"));
}

TEST_F(Commandes, ImporterEtColler) {
    const struct { const char* nom; QByteArray contenu; const char* attendu; } cas[] = {
        {"utf8.txt", "Caf\xC3\xA9\nbien\n", "Caf\xE9\r\nbien\r\n"},
        {"windows.TXT", "Caf\xE9\r\nbien\r\n", "Caf\xE9\r\nbien\r\n"},
        {"sauts.rtf", "{\\rtf1\\ansi un\\par\\page deux\\par}", "un\r\fdeux\r\n"},
    };
    for (const auto& c : cas) {
        f->editeur().nouveau();
        ecrit(chemin(c.nom), c.contenu);
        fichiers = {chemin(c.nom)};
        ASSERT_TRUE(f->importerTexte()) << c.nom;
        EXPECT_EQ(noir(), c.attendu) << c.nom;
    }
    // A character with no Braille form is left out, and the user is told.
    f->editeur().nouveau();
    messages.clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("a|b"));
    QTest::keyClick(f->centralWidget(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(noir(), "ab");
    ASSERT_EQ(messages.size(), 1u);
    // Rich text is preferred when the clipboard holds it.
    f->editeur().nouveau();
    auto* donnees = new QMimeData;
    donnees->setText(QStringLiteral("brut"));
    donnees->setData(QStringLiteral("text/rtf"), "{\\rtf1 riche}");
    QGuiApplication::clipboard()->setMimeData(donnees);
    f->coller();
    EXPECT_EQ(noir(), "riche");
}

TEST_F(Commandes, BrailleUnicodeCopieEtColle) {
    f->editeur().insereNoir("Le chat");
    const std::string cellules = f->document().texte();
    f->editeur().selectionne(3, 5);
    f->action(QStringLiteral("Retourne la sélection"))->trigger();  // a turned stretch: copied turned
    const std::string attendu = ExporteUnicode(cellules, f->document().marqueurs());
    const QString mime = QStringLiteral("text/x-braille-unicode");
    // "Copier": the print text, and the cells beside it; "Copier en braille Unicode": the cells as the text.
    f->editeur().selectionne(1, f->document().longueur());
    f->copier(false);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data(mime).toStdString(), attendu);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Le chat"));
    f->copier(true);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), attendu);
    // Pasted here, either gives back the same cells, turned as they were read.
    const std::string lus = brailleUnicodeVersOctets(attendu);
    for (bool seulementLeTexte : {false, true}) {
        if (seulementLeTexte) QGuiApplication::clipboard()->setText(QString::fromStdString(attendu));
        f->editeur().nouveau();
        f->coller();
        EXPECT_EQ(f->document().texte(), lus) << seulementLeTexte;
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
    // Unicode braille typed elsewhere is cells too, never print to transcribe.
    f->editeur().nouveau();
    QGuiApplication::clipboard()->setText(QStringLiteral("\u2807\u2811 \u2809"));
    f->coller();
    EXPECT_EQ(f->document().texte(), "le c");
}

TEST_F(Commandes, OuvrirBrfEtPef) {
    // A Braille ASCII file opens as a new document with no name: saving asks where.
    ecrit(chemin("livre.BRF"), "LE *AT\r\n,PARIS\r\n\f=T=\r\n");
    fichiers = {chemin("livre.BRF")};
    ASSERT_TRUE(f->ouvrir());
    EXPECT_EQ(f->nomfichier(), QString());
    EXPECT_FALSE(f->document().modifie());
    EXPECT_EQ(f->editeur().nbPages(), 2);
    // What it holds is what the US code exports back (in lower case).
    EXPECT_EQ(Exporte(f->document().texte(), f->document().marqueurs(), false), "le *at\r\n,paris\r\n\f=t=");
    // PEF written by the export dialog opens the same way.
    TdlgExport& d = f->dialogueExport();
    QTimer::singleShot(0, &d, [&d] {
        d.pef()->setChecked(true);
        d.versFichier()->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("boutok"))->click();
    });
    fichiers = {chemin("livre.pef")};
    ASSERT_EQ(d.exec(), QDialog::Accepted);
    EXPECT_TRUE(octets(chemin("livre.pef")).contains("<pef"));
    fichiers = {chemin("livre.pef")};
    ASSERT_TRUE(f->ouvrir());
    EXPECT_NE(f->document().texte().find("\xE9t\xE9"), std::string::npos);
    // A file that is not what its name says is refused, and the document stays.
    const std::string avant = f->document().texte();
    ecrit(chemin("faux.brf"), "ab\x80" "c");
    ecrit(chemin("faux.pef"), "<pef");
    ecrit(chemin("texte.txt"), "LE *AT");  // not chosen as Braille ASCII: not a document
    for (const char* nom : {"faux.brf", "faux.pef", "texte.txt"}) {
        messages.clear();
        fichiers = {chemin(nom)};
        EXPECT_FALSE(f->ouvrir()) << nom;
        EXPECT_EQ(messages.size(), 1u) << nom;
        EXPECT_EQ(f->document().texte(), avant) << nom;
    }
}

TEST_F(Commandes, EntreesDEditionParLeursRaccourcis) {
    // Each entry of "&Edition" through its shortcut, or its menu entry when it has none.
    auto raccourci = [this](Qt::Key k, Qt::KeyboardModifiers m) { QTest::keyClick(f->centralWidget(), k, m); };
    auto entree = [this](const char* texte) { f->action(QString::fromUtf8(texte))->trigger(); };
    f->editeur().insereNoir("abc def");
    raccourci(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(noir(), "");
    raccourci(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(noir(), "abc def");
    // With no selection, copy and cut do nothing, as their disabled entries would.
    QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
    raccourci(Qt::Key_C, Qt::ControlModifier);
    raccourci(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("avant"));
    EXPECT_EQ(noir(), "abc def");
    f->editeur().selectionne(1, 3);
    raccourci(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
    raccourci(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(noir(), " def");
    f->editeur().selectionne(2, 4);
    raccourci(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(f->document().marqueurs().liste(), (std::vector<Marqueur>{{2, 4, MARQUEUR_RETOURNE, 0}}));
    f->editeur().selectionne(1, 1);
    entree("Supprime la sélection");
    EXPECT_EQ(noir(), "def");
    entree("Centrer");
    EXPECT_TRUE(f->document().marqueurs().DansMarqueur(1, MARQUEUR_CENTRE));
    // Ctrl+N on a modified document asks first; "Annuler" keeps it.
    reponses = {Reponse::Annuler};
    raccourci(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(noir(), "def");
}

TEST_F(Commandes, EmbosserDansUnFichierEtEchec) {
    f->editeur().insereNoir("Une page.\fUne autre.");
    f->choisitImprimante = [](std::int32_t) { return std::optional<ChoixImpression>(ChoixImpression{"test", 1, 0, 2}); };
    TDlgOptEmb& options = f->dialogueOptionsEmbossage();
    auto reponds = [&](bool versFichier) {
        QTimer::singleShot(0, &options, [&options, versFichier] {
            options.codeFR()->setChecked(true);
            options.lignes()->setValue(28);
            options.margeGauche()->setValue(2);
            options.fichier()->setChecked(versFichier);
            options.accept();
        });
    };
    reponds(true);
    fichiers = {chemin("embosse.brl")};
    ASSERT_TRUE(f->embosser());
    // Two copies of every page, as composed; the options kept in the settings.
    ReglagesEmbossage r = options.reglages();
    EXPECT_EQ(r.margeGauche, 2);
    EXPECT_FALSE(r.codeUS);
    const std::string copie = composePage(f->document(), f->format(), r, 1) + composePage(f->document(), f->format(), r, 2);
    EXPECT_EQ(octets(chemin("embosse.brl")).toStdString(), copie + copie);
    EXPECT_EQ(MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))).litembosseuse()->margeGauche, 2);
    // Unless set, the embosser's page is the paper page: twice the lines with double spacing.
    FormatPage double_;
    double_.lignes = 12;
    double_.interligneDouble = true;
    double_.derive();
    MagasinReglages aucun(dossier.filePath(QStringLiteral("vide.conf")));
    EXPECT_EQ(TDlgOptEmb(aucun, f.get()).reglagesEnregistres(double_).lignesParPage, 24);
    // Escape in the progress window abandons, as "Abandon" does.
    Tsuiviembossage suivi(f.get());
    suivi.commence(QStringLiteral("x"));
    ASSERT_TRUE(suivi.page(1));
    QTest::keyClick(&suivi, Qt::Key_Escape);
    EXPECT_FALSE(suivi.page(2));
    // Pages longer than the embosser's are said first; "Non" sends nothing.
    QTimer::singleShot(0, &options, [&options] {
        options.lignes()->setValue(1);
        options.fichier()->setChecked(true);
        options.accept();
    });
    f->editeur().insereNoir(" Et une ligne de plus, puis une autre encore.");
    reponses = {Reponse::Non};
    EXPECT_FALSE(f->embosser());
    EXPECT_TRUE(questions.back().contains(QStringLiteral("déborderont"))) << questions.back().toStdString();
    // A queue that cannot be reached: said, never a silent success.
    f->choisitImprimante = [](std::int32_t) {
        return std::optional<ChoixImpression>(ChoixImpression{"FileQuiNExistePas", 1, 0, 1});
    };
    reponds(false);
    messages.clear();
    EXPECT_FALSE(f->embosser());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("impossible d'embosser"))) << messages[0].toStdString();
}

TEST_F(Commandes, Exporter) {
    f->editeur().insereNoir("\xE9t\xE9\fx");
    TdlgExport& d = f->dialogueExport();
    auto ok = [&](bool francais, bool versFichier) {
        QTimer::singleShot(0, &d, [&d, francais, versFichier] {
            (francais ? d.codeFrancais() : d.findChild<QRadioButton*>(QStringLiteral("RBUS")))->setChecked(true);
            (versFichier ? d.versFichier() : d.findChild<QRadioButton*>(QStringLiteral("RBPP")))->setChecked(true);
            d.findChild<QPushButton*>(QStringLiteral("boutok"))->click();
            if (d.isVisible()) d.reject();  // still open: the save dialog was cancelled
        });
        return d.exec() == QDialog::Accepted;
    };
    // To a file in the French code: the cells as stored, a page break as FF alone.
    fichiers = {chemin("export.txt")};
    ASSERT_TRUE(ok(true, true));
    EXPECT_EQ(octets(chemin("export.txt")), QByteArray::fromStdString(f->document().texte()));
    // A cancelled save dialog leaves the export dialog open, nothing written.
    fichiers = {QString()};
    EXPECT_FALSE(ok(false, true));
    // To the clipboard in the US code: é is "=".
    ASSERT_TRUE(ok(false, false));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("=")));
    // A file that cannot be written is said, and the dialog stays open.
    fichiers = {chemin("absent/export.txt")};
    messages.clear();
    EXPECT_FALSE(ok(true, true));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Commandes, UnNouveauFormatSeDefaitAvecLeTexte) {
    f->editeur().insereNoir("Un paragraphe assez long pour tenir sur plusieurs lignes, quel que soit le format.");
    const FormatPage ancien = f->format();
    const std::string texte = f->document().texte();
    TdlgFormatpage& d = f->dialogueFormat();
    QTimer::singleShot(0, &d, [&d] {
        d.findChild<QSpinBox*>(QStringLiteral("spednbcarlg"))->setValue(20);
        d.accept();
    });
    f->formatDeLaPage();
    const FormatPage nouveau = f->format();
    const std::string recoupe = f->document().texte();
    ASSERT_NE(recoupe, texte);
    // Undo puts the old format back with the old wrap, redo the new one with
    // its wrap; the dialog shows the format in force.
    for (bool defait : {true, false}) {
        f->action(defait ? QStringLiteral("Défait") : QStringLiteral("Refait"))->trigger();
        EXPECT_EQ(f->format(), defait ? ancien : nouveau) << defait;
        EXPECT_EQ(f->document().texte(), defait ? texte : recoupe) << defait;
        EXPECT_EQ(d.findChild<QSpinBox*>(QStringLiteral("spednbcarlg"))->value(), f->format().caracteres) << defait;
    }
    // A new format that moves no line is undone too; the indentation, a
    // command of its own, stays as set.
    f->format().setIndentation(4);
    QTimer::singleShot(0, &d, [&d] {
        d.findChild<QSpinBox*>(QStringLiteral("spEdnblgpg"))->setValue(20);
        d.accept();
    });
    f->formatDeLaPage();
    ASSERT_EQ(f->document().texte(), recoupe);
    f->action(QStringLiteral("Défait"))->trigger();
    EXPECT_EQ(f->format().lignes, nouveau.lignes);
    EXPECT_EQ(f->format().indentation, 4);
    EXPECT_EQ(f->document().texte(), recoupe);
    // Typing after the undo wraps to the format shown, not to the one undone.
    f->action(QStringLiteral("Défait"))->trigger();
    f->editeur().placeCurseur(f->document().pointDe(1));
    f->editeur().insereNoir("x");
    const std::string t = f->document().texte();
    EXPECT_GT(static_cast<int>(t.find('\n')), nouveau.cpl);  // the old, longer lines
}

TEST_F(Commandes, ReglagesDuDocumentEtFichiersExistants) {
    // A new indentation is part of the document: quitting asks about it.
    TdlgIndent& d = f->dialogueIndentation();
    QTimer::singleShot(0, &d, [&d] {
        d.findChild<QSpinBox*>(QStringLiteral("spEdIndent"))->setValue(4);
        d.accept();
    });
    f->indentationDesParagraphes();
    EXPECT_EQ(f->format().indentation, 4);
    EXPECT_TRUE(f->document().modifie());
    // An export never replaces a file without asking; "Annuler" writes nothing.
    const QString existant = chemin("existant.txt");
    ecrit(existant, "ancien");
    TdlgExport& e = f->dialogueExport();
    QTimer::singleShot(0, &e, [&e] {
        e.versFichier()->setChecked(true);
        e.findChild<QPushButton*>(QStringLiteral("boutok"))->click();
        if (e.isVisible()) e.reject();
    });
    fichiers = {existant};
    reponses = {Reponse::Annuler};
    EXPECT_NE(e.exec(), QDialog::Accepted);
    EXPECT_EQ(octets(existant), QByteArray("ancien"));
    EXPECT_EQ(questions.back(), QStringLiteral("Ce fichier existe déjà voulez-vous le remplacer ?"));
}

TEST_F(Commandes, SyntheseVocaleParSonEntreeCachee) {
    // Hidden in the menu, the entry still opens the speech settings; OK stores them.
    TDlgOptionSpEng& d = f->dialogueSynthese();
    bool ouvert = false;
    QTimer::singleShot(0, &d, [&] {
        ouvert = d.isVisible();
        d.volume()->setValue(200);
        d.ok()->click();
    });
    f->action(QStringLiteral("Synthèse vocale"))->trigger();
    EXPECT_TRUE(ouvert);
    const auto r = MagasinReglages(dossier.filePath(QStringLiteral("r.conf"))).litsynthvoc();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->volume, 200);
}
