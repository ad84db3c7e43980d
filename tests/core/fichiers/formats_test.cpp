// The Braille exchange files: Braille ASCII (.brf) and PEF, read and written.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/braille/codes.h"
#include "core/braille/unicode.h"
#include "core/document/document.h"
#include "core/fichiers/brf.h"
#include "core/fichiers/echange.h"
#include "core/fichiers/pef.h"
#include "core/sorties/export.h"
#include "core/sorties/pef.h"

using namespace dotavob;

namespace {

// Each byte as its cell's canonical byte; line ends and page breaks as they are.
std::string cellules(std::string_view t) {
    std::string r;
    for (char c : t) r += estFinDeLigne(oct(c)) ? c : static_cast<char>(caractere(cellule(oct(c))));
    return r;
}

// What a reader of the pages sees: each line's cells, and where each page starts.
using Pages = std::pair<std::vector<std::string>, std::vector<std::int32_t>>;

Pages pagesDe(const DocumentBraille& d) {
    Pages p;
    for (std::int32_t n = 1; n <= d.nbLignes(); ++n) p.first.push_back(cellules(d.ligne(n).texte));
    for (std::int32_t n = 1; n <= d.nbPages(); ++n) p.second.push_back(d.premiereLigneDePage(n));
    return p;
}

// A document as the editor holds it once opened: re-wrapped to its format.
struct Ouvert {
    FormatPage format;
    DocumentBraille document{format};
    Ouvert(const FormatPage& f, const std::string& texte) : format(f) { document.charge(texte, {}), document.recoupeDocument(false); }
    explicit Ouvert(const ResultatLecture& r) : Ouvert(r.contenu.format, r.contenu.texte) {}
};

// Words of cells, some longer than a line, now and then a byte that shares its cell.
std::string paragrapheAuHasard(std::mt19937& alea, std::size_t mots, std::int32_t cpl) {
    std::string s;
    for (std::size_t m = 0; m < mots; ++m) {
        if (m > 0) s += ' ';
        const auto longueur = alea() % 10 == 0 ? 1 + alea() % static_cast<unsigned>(cpl + 10) : 1 + alea() % 7;
        for (std::size_t k = 0; k < longueur; ++k)
            s += alea() % 20 == 0 ? '\xF5' : static_cast<char>(tableCode()[1 + alea() % 63]);
    }
    return s;
}

std::string lis(const std::string& nom) {
    std::string octets, erreur;
    EXPECT_TRUE(lisFichier(std::string(DOTAVOB_DONNEES_TEST) + "/" + nom, octets, erreur)) << erreur;
    return octets;
}

}  // namespace

TEST(Brf, ChaqueCaractereSaCelluleChaqueFinDeLigneUnParagraphe) {
    // The characters of the US table in the other case (as exported, the round trip below reads them).
    for (int c = 0; c < 64; ++c) {
        const auto us = caractereUS(c);
        if (us < 0x40 || us == '_') continue;  // '_' ^ 0x20 is DEL
        EXPECT_EQ(litBrf(std::string(1, static_cast<char>(us ^ 0x20))).contenu.texte, std::string(1, static_cast<char>(caractere(c)))) << us;
    }
    const struct { const char* fichier; const char* texte; } cas[] = {
        {"", ""}, {"ABC abc", "abc abc"}, {"a\r\nb\nc\rd", "a\rb\rc\rd"}, {"a\r\n\r\nb", "a\r\rb"},
        {"a\fb\r\n\fc", "a\fb\r\fc"},  // FF ends its line, after a line end or not
        {"\fa", "\fa"},                  // an empty first page
        // The final line end and page break only close the last line and page.
        {"a\r\n", "a"}, {"a\r\n\f", "a"}, {"a\f", "a"},
        {"a\r\n\r\n", "a\r"}, {"a\f\f", "a\f"},  // an empty last line or page, itself closed
        {"a\n\r", "a\r"},                        // LF then CR: two line ends
    };
    for (auto [fichier, texte] : cas) {
        const ResultatLecture r = litBrf(fichier);
        EXPECT_EQ(std::pair(r.ok, r.contenu.texte), std::pair(true, std::string(texte))) << fichier;
    }
}

TEST(Brf, UnOctetQuiNEstPasDuBrailleAsciiRefuseToutLeFichier) {
    const struct { std::string fichier; const char* ou; } cas[] = {
        {"ab\x80", "l'octet 0x80 de la ligne 1, colonne 3,"},
        {"a\fb\xC3\xA9", "l'octet 0xC3 de la ligne 1, colonne 4,"},  // FF counts as a character of its line
        {"\r\n\n\r\x7F", "l'octet 0x7F de la ligne 4, colonne 1,"}, {std::string("ok\r\n\0", 5), "l'octet 0x00 de la ligne 2, colonne 1,"},
        {"\xEF\xBB\xBF" "abc", "l'octet 0xEF de la ligne 1, colonne 1,"},  // a UTF-8 text is not Braille ASCII
    };
    for (const auto& [fichier, ou] : cas) {
        const ResultatLecture r = litBrf(fichier);
        EXPECT_EQ(std::tuple(r.ok, r.erreur, r.contenu.texte), std::tuple(false, std::string(ou) + " n'est pas du braille ASCII", ""))
            << fichier;
    }
}

TEST(Brf, LaMarqueDeFinEtLesLignesTropLongues) {
    // The old end-of-file mark ends the file; elsewhere it is no Braille ASCII.
    for (const char* fichier : {"AB\r\n\x1A", "AB\x1A\x1A", "AB\r\n\f\x1A"})
        EXPECT_EQ(litBrf(fichier).contenu.texte, "ab") << fichier;
    EXPECT_FALSE(litBrf("A\x1A" "B").ok);
    // A line wider than any page goes on on the next lines, every cell kept,
    // a blank never turned into a line end; the user is told.
    const std::string large = std::string(50, 'A') + " B" + std::string(60, 'C');
    const ResultatLecture r = litBrf(large + "\r\nD\r\n" + large);
    ASSERT_TRUE(r.ok);
    const std::string a = std::string(50, 'a'), c = std::string(48, 'c');
    EXPECT_EQ(r.contenu.texte, a + "\r b" + c + "\rcccccccccccc\rd\r" + a + "\r b" + c + "\rcccccccccccc");
    EXPECT_EQ(r.avertissement, "2 lignes de plus de 50 cellules ont été coupées toutes les 50 cellules, sans perdre une cellule : "
                               "une page n'est pas plus large.");
    // Exactly as wide as a page is not too wide; twice as wide is one line cut once.
    const ResultatLecture juste = litBrf(std::string(50, 'A') + "\r\nB");
    EXPECT_EQ(std::tuple(juste.contenu.texte, juste.avertissement), std::tuple(a + "\rb", std::string()));
    const ResultatLecture double_ = litBrf(std::string(100, 'A'));
    EXPECT_EQ(std::tuple(double_.contenu.texte, double_.avertissement.substr(0, 7)), std::tuple(a + "\r" + a, std::string("1 ligne")));
    // A text of Unicode braille, with a byte order mark, CR LF and a page break; anything else is not one.
    EXPECT_TRUE(estTexteBrailleUnicode("\xEF\xBB\xBF⠁⠃ ⠉\r\n\f⠙"));
    for (const char* autre : {"", " \r\n", "⠁b", "⡁", "\xEF\xBB\xBF"}) EXPECT_FALSE(estTexteBrailleUnicode(autre)) << autre;
    const ResultatLecture u = litBrailleUnicode("\xEF\xBB\xBF⠁⠃ ⠉\r\n\f⠙\n");
    ASSERT_TRUE(u.ok) << u.erreur;
    EXPECT_EQ(u.contenu.texte, litBrf("AB C\r\n\fD\n").contenu.texte);
}

TEST(Brf, LeFormatSElargitALaPlusLongueLigneEtALaPlusLonguePage) {
    FormatPage enVigueur;  // 31 characters, 28 lines, a header
    enVigueur.derive();
    std::string page;
    for (int l = 0; l < 33; ++l) page += "abc\r\n";
    const std::string longue(36, 'x');
    const struct { std::string fichier; std::int32_t caracteres, lignes; } cas[] = {
        {"abc", 31, 28},
        {longue + "\r\nabc", 36, 28},
        {"abc\r\n" + longue, 36, 28},    // the last line, with no line end after it
        {page + "\fabc", 31, 33},         // a page that its page break closes
        {page, 31, 28},                  // no page break: the lines per page are not the file's
        {std::string(70, 'x'), 50, 28},   // up to what the format allows
    };
    for (const auto& [fichier, caracteres, lignes] : cas) {
        const ResultatLecture r = litBrf(fichier, enVigueur);
        ASSERT_TRUE(r.ok);
        const FormatPage& f = r.contenu.format;
        EXPECT_EQ(std::tuple(f.caracteres, f.lignes, int{f.cpl}, int{f.nbLignesTexte}, f.entete.active, f.pied.active),
                  std::tuple(caracteres, lignes, caracteres, lignes, false, false))
            << fichier.substr(0, 40);
    }
    // Double spacing off: the page holds twice the lines it had.
    enVigueur.basculeInterligne(true);
    const FormatPage f = litBrf("abc", enVigueur).contenu.format;
    EXPECT_EQ(std::tuple(f.interligneDouble, f.lignes), std::tuple(false, 28));
}

TEST(Brf, AllerRetourLesMemesCellulesSurLesMemesLignesEtLesMemesPages) {
    // Exported, read back and opened: the same cells on the same lines and pages. A page broken by
    // counting lines leaves no mark, so pages a page break closes hold at most the format's lines.
    std::mt19937 alea(2025);
    int essais = 0, sautsDePage = 0, coupuresDeMot = 0;
    while (essais < 120) {
        FormatPage f;
        f.entete.active = false;
        f.setCaracteres(10 + static_cast<std::int32_t>(alea() % 31)), f.setLignes(10 + static_cast<std::int32_t>(alea() % 20)), f.derive();
        std::string texte;
        for (std::size_t pages = 1 + alea() % 4, p = 0; p < pages; ++p) {
            if (p > 0) texte += '\f';
            for (std::size_t paragraphes = alea() % 5, k = 0; k < paragraphes; ++k)
                texte += paragrapheAuHasard(alea, alea() % 12, f.cpl) + '\r';
        }
        texte += paragrapheAuHasard(alea, 1 + alea() % 12, f.cpl);
        const Ouvert o(f, texte);
        const DocumentBraille& a = o.document;
        std::int32_t lignes = 1, plusLongue = 0;
        for (char c : a.texte()) {
            if (c == '\f') plusLongue = std::max(plusLongue, lignes), lignes = 0;
            if (estFinDeLigne(oct(c))) ++lignes;
        }
        if (plusLongue > f.nbLignesTexte) continue;
        ++essais;
        sautsDePage += a.texte().find('\f') != std::string::npos;
        coupuresDeMot += a.texte().find('\v') != std::string::npos;
        const ResultatLecture r = litBrf(Exporte(a.texte(), a.marqueurs(), false), f);
        ASSERT_TRUE(r.ok) << r.erreur;
        const Ouvert b(r);
        ASSERT_EQ(pagesDe(b.document), pagesDe(a)) << texte;
        // The Unicode braille export opens again the same way.
        const std::string unicode = ExporteUnicode(a.texte(), a.marqueurs());
        ASSERT_TRUE(estTexteBrailleUnicode(unicode) || a.texte().find_first_not_of("\r\f") == std::string::npos);
        const ResultatLecture u = litBrailleUnicode(unicode, f);
        ASSERT_TRUE(u.ok) << u.erreur;
        ASSERT_EQ(pagesDe(Ouvert(u).document), pagesDe(a)) << texte;
    }
    EXPECT_GT(sautsDePage, 40);
    EXPECT_GT(coupuresDeMot, 10);
}

TEST(Pef, LesPagesEmbosseesEnBrailleUnicode) {
    FormatPage f;
    f.entete = Bande{true, "[P]", Alignement::Droite, 1};
    f.setCaracteres(12), f.setLignes(10), f.derive();
    DocumentBraille d(f);
    d.initialise("abc\rde\fk");
    ReglagesEmbossage r;
    r.caracteresParLigne = 12, r.lignesParPage = 5, r.margeGauche = 1;
    const MetaPef meta{"urn:x:1", "Le <chat> & « lui »\x01", "2024-05-06", "fr"};
    const std::string pef = exportePef(d, f, r, meta);
    // The rest of the header is the grammar's to check (pef_schema.sh), the volume and the rows the command
    // line's (cli_test.sh) and the round trip's; a control character has no place in XML.
    for (const char* attendu : {"<dc:identifier>urn:x:1</dc:identifier>", "<dc:title>Le &lt;chat&gt; &amp; « lui »</dc:title>"})
        EXPECT_NE(pef.find(attendu), std::string::npos) << attendu << "\n" << pef;
    // The same document, the same identifier; the date is today's.
    const MetaPef m = metaPef("Titre", d.texte());
    EXPECT_EQ(m.identifiant, metaPef("Autre", d.texte()).identifiant);
    EXPECT_NE(m.identifiant, metaPef("Titre", "abd").identifiant);
    EXPECT_EQ(m.date.size(), 10u);
}

TEST(Pef, AllerRetourLesPagesTellesQuEmbossees) {
    // Whatever the format, bands, spacing and margins: read back, page for page, the cells embossing composes.
    std::mt19937 alea(8);
    for (int essai = 0; essai < 100; ++essai) {
        FormatPage f;
        f.setCaracteres(10 + static_cast<std::int32_t>(alea() % 25));
        f.setLignes(10 + static_cast<std::int32_t>(alea() % 20));
        f.entete = Bande{alea() % 2 == 0, "[P] sur [T]", static_cast<Alignement>(alea() % 3), 1 + static_cast<std::int32_t>(alea() % 3)};
        f.pied = Bande{alea() % 3 == 0, "pied", Alignement::Centre, 1};
        f.interligneDouble = alea() % 4 == 0;
        f.derive();
        ReglagesEmbossage r;
        r.caracteresParLigne = f.cpl, r.lignesParPage = f.lignesParPage * (f.interligneDouble ? 2 : 1);
        r.margeHaut = static_cast<std::int32_t>(alea() % 3), r.margeGauche = static_cast<std::int32_t>(alea() % 4);
        r.codeUS = alea() % 2 == 0;  // cells are cells
        ReglagesEmbossage enCellules = r;
        enCellules.codeUS = false;
        std::string texte;
        for (std::size_t paragraphes = 1 + alea() % 30, k = 0; k < paragraphes; ++k) {
            if (k > 0) texte += alea() % 6 == 0 ? '\f' : '\r';
            texte += paragrapheAuHasard(alea, alea() % 15, f.cpl);
        }
        Ouvert o(f, texte);
        DocumentBraille& a = o.document;
        if (alea() % 2) a.marqueurs().ajouteBrut({1, std::min(a.longueur(), 12), MARQUEUR_CENTRE, 0});
        const ResultatLecture lu = litPef(exportePef(a, f, r, metaPef("t", texte)));
        ASSERT_TRUE(lu.ok) << lu.erreur;
        const Ouvert b(lu);
        ASSERT_EQ(b.document.nbPages(), a.nbPages());
        for (std::int32_t p = 1; p <= a.nbPages(); ++p) {
            std::string attendu = cellules(composePage(a, f, enCellules, p)), obtenu;
            std::erase(attendu, '\n');
            const std::int32_t premiere = b.document.premiereLigneDePage(p);
            for (std::int32_t n = premiere; n <= b.document.derniereLigneDePage(premiere); ++n)
                obtenu += cellules(b.document.ligne(n).texte) + '\r';
            ASSERT_EQ(obtenu, attendu) << "page " << p << " de " << texte;
        }
    }
}

TEST(Pef, FichiersDAutresProgrammesEtToutLeXml) {
    const std::string volumes = lis("volumes.pef");
    const struct { std::string fichier; const char* texte; std::int32_t caracteres, lignes; } cas[] = {
        // Two volumes, a section of another size, row gaps, duplex, other metadata, an empty last page:
        // as wide as the widest volume, as high as the tallest section (at least 10 lines).
        {volumes, "abc\r\rde\ff\fghij\fk\rl\rm\rn\ro\rp\f", 12, 10},
        // A namespace prefix, a byte order mark, CR LF, a character reference, CDATA.
        {lis("prefixe.pef"), "abc", 40, 25},
        // Elements and attributes of other namespaces in the body, a volume, a
        // section and a page: skipped, with all they hold.
        {lis("extensions.pef"), "ab\rc\fd", 10, 10},
        // A doctype with an internal subset, comments and processing
        // instructions anywhere, references in attributes and rows, single
        // quotes, white space around "=", CDATA, CR line ends, a reference
        // that is not XML's own in the head, an empty element written open and shut.
        {"<?xml version='1.0'?>\r\n<!DOCTYPE pef [ <!ENTITY x \"<row>\"> <!-- ] > --> <?pi ]>?> ]>\r"
         "<!-- avant --><pef xmlns = \"http://www.daisy.org/ns/2008/pef\" version='2008-1'>"
         "<head><meta>&nbsp; &unknown; <?outil ok?></meta></head>"
         "<body><volume cols='&#51;' rows=\"&#x32;\" duplex='&#116;rue'><section><![CDATA[ \n ]]>"
         "<page><row>&#x2801;<!-- rien -->&#10243;<?pi?><![CDATA[⠉]]></row><row></row></page>"
         "<page><row><![CDATA[]]></row></page>"
         "</section></volume></body></pef><!-- après -->\n",
         "abc\r\f", 10, 10},
    };
    for (const auto& c : cas) {
        const ResultatLecture r = litPef(c.fichier);
        ASSERT_TRUE(r.ok) << c.texte << " : " << r.erreur;
        const FormatPage& f = r.contenu.format;
        EXPECT_EQ(std::tuple(r.contenu.texte, f.caracteres, f.lignes, f.entete.active), std::tuple(c.texte, c.caracteres, c.lignes, false));
    }
    // The same file in UTF-16 and UTF-32, either byte order, with or without
    // its byte order mark.
    std::u32string caracteres;
    char32_t lu = 0;
    for (std::size_t i = 0; i < volumes.size(); caracteres += lu) i += decodeUtf8(volumes, i, lu);
    for (const int largeur : {2, 4})
        for (const bool grandBoutiste : {false, true})
            for (const bool marque : {false, true}) {
                std::string fichier;
                auto unite = [&](std::uint32_t u) {
                    for (int k = 0; k < largeur; ++k)
                        fichier += static_cast<char>(u >> (8 * (grandBoutiste ? largeur - 1 - k : k)));
                };
                if (marque) unite(0xFEFF);
                for (char32_t c : caracteres) unite(c);  // no character past U+FFFF there
                const ResultatLecture u = litPef(fichier);
                ASSERT_TRUE(u.ok) << largeur << grandBoutiste << marque << " : " << u.erreur;
                EXPECT_EQ(u.contenu.texte, cas[0].texte);
            }
}

TEST(Pef, UnFichierFautifEstRefuseAvecSaRaisonEtSansDocument) {
    const std::string debut = "<pef xmlns='http://www.daisy.org/ns/2008/pef' version='2008-1'><head/><body>";
    auto volume = [&](const std::string& pages, const std::string& attributs = "cols='3' rows='2'") {
        return debut + "<volume " + attributs + "><section>" + pages + "</section></volume></body></pef>";
    };
    const struct { std::string fichier; const char* raison; } cas[] = {
        {"", "le document n'a pas d'élément racine"}, {debut + "</body></pef>", "le corps (body) n'a aucun volume"},
        {volume("<page><row>⠁</row></page>").substr(0, 120), "XML mal formé à la ligne 1, colonne "},
        {"<html xmlns='http://www.daisy.org/ns/2008/pef'/>", "ce n'est pas un document PEF : son élément racine est « html »"},
        {"<p:pef xmlns:q='http://www.daisy.org/ns/2008/pef'/>", "le préfixe « p » de « p:pef » n'est pas déclaré"},
        {volume("<page><row xmlns=''>⠁</row></page>"), "l'élément « row » n'a pas sa place dans « page »"},
        {volume("<page><row>⠁<x:b xmlns:x='urn:autre'>⠃</x:b></row></page>"),
         "page 1, rangée 1 : l'élément « x:b » n'a pas sa place dans une rangée"},  // no extension in a row
        {volume("<page><rangee/></page>"), "l'élément « rangee » n'a pas sa place dans « page »"},
        {volume("<page><row>⠁<b>⠃</b></row></page>"), "page 1, rangée 1 : l'élément « b » n'a pas sa place dans une rangée"},
        {volume("<page>⠁</page>"), "du texte hors d'une rangée, dans « page »"},
        {volume("<page><row>⠁⠃⠉</row><row>⠁⠃⠉⠙</row></page>"), "page 1, rangée 2 : plus de cellules que les 3 colonnes"},
        {debut + "<volume cols='9' rows='2'><section cols='2'><page><row>⠁⠃⠉</row></page></section></volume></body></pef>",
         "plus de cellules que les 2 colonnes"},
        {volume("<page/><page><row/><row/><row/></page>"), "la page 2 a plus de rangées que les 2 de son volume"},
        {volume("<page><row>⠁a</row></page>"), "page 1, rangée 1, cellule 2 : le caractère U+0061 n'est pas une cellule braille"},
        {volume("<page><row>⡁</row></page>"), "cellule 1 : U+2841 est une cellule à huit points"},
        {volume("<page><row>\xE2\xA0</row></page>"), "page 1, rangée 1 : UTF-8 mal formé"},
        {volume("<page/>", "rows='2'"), "il manque l'attribut cols de « volume »"},
        {volume("<page/>", "cols='3' rows='2' duplex='oui'"), "l'attribut duplex de « volume » vaut « oui »"},
        {volume("<page/>", "cols='3' cols='4' rows='2'"), "l'attribut cols de « volume » est donné deux fois"},
        {volume("<page/>") + "<pef/>", "le document a plus d'un élément racine"},
        {volume(std::string("<page><row>⠁\0⠃</row></page>", 31)), "le fichier contient un octet nul à la ligne 1, colonne "},
        // What makes XML well formed, with where it stops being so.
        {volume("<page><row>⠁</rangee></page>"), "XML mal formé à la ligne 1, colonne 124 : balise fermante qui ne ferme pas"},
        {volume("<page><row>⠁</row></page>").substr(0, 140), "fichier tronqué"},
        {volume("<page><row a='1' b>⠁</row></page>"), "colonne 130 : attribut mal formé"},
        {volume("<page><row a='1'b='2'>⠁</row></page>"), "colonne 128 : attribut mal formé"},
        {volume("<page><row a='1>⠁</row></page>"), "attribut mal formé"},
        {volume("<page><row/ >⠁</row></page>"), "balise ouvrante mal formée"},
        {volume("<page><row>⠁</row ></page >").substr(0, 145), "fichier tronqué"},
        {volume("<page><!-- sans fin </page>"), "commentaire mal formé"},
        {volume("<page><![CDATA[ sans fin </page>"), "section CDATA mal formée"},
        {volume("<page><? pi ?></page>"), "instruction de traitement mal formée"},
        {volume("<page><!DOCTYPE pef></page>"), "déclaration de type de document mal formée"},
        {"<!DOCTYPE pef [ <!ELEMENT pef ANY>", "déclaration de type de document mal formée"},
        {volume("<page>< row/></page>"), "balise illisible"},
        {volume("<page><!ELEMENT x></page>"), "balise illisible"},
        {volume("<page></></page>"), "balise fermante mal formée"},
        {"\n\n  <pef xmlns='http://www.daisy.org/ns/2008/pef'></pef>", "le document n'a pas de corps (body)"},
        {"texte<pef/>", "du texte hors de l'élément racine"},
        {debut + [] {
             std::string s;
             for (int k = 0; k < 10000; ++k) s += "<x:a xmlns:x='urn:autre'>";
             return s;
         }(),
         "plus de 10 000 éléments imbriqués"},
    };
    // A huge value is quoted by its first 40 characters.
    const std::string chiffres(10'000'000, '7');
    const ResultatLecture enorme = litPef(volume("<page/>", "cols='" + chiffres + "' rows='2'"));
    EXPECT_EQ(enorme.erreur, "l'attribut cols de « volume » vaut « " + chiffres.substr(0, 40) +
                                 "… », qui n'est pas un nombre de 1 à 100000");
    EXPECT_EQ(extrait("àéîõü", 3), "àéî…");
    EXPECT_EQ(extrait("àéî", 3), "àéî");
    for (const auto& [fichier, raison] : cas) {
        const ResultatLecture r = litPef(fichier);
        EXPECT_FALSE(r.ok) << fichier;
        EXPECT_NE(r.erreur.find(raison), std::string::npos) << r.erreur << "\nau lieu de : " << raison;
        EXPECT_TRUE(r.contenu.texte.empty()) << fichier;
    }
    // A file cut anywhere before its end is never read as a shorter document.
    const std::string entier = lis("volumes.pef");
    const std::size_t fin = entier.rfind("</pef>");
    for (std::size_t n = 0; n < fin; n += 11) ASSERT_FALSE(litPef(entier.substr(0, n)).ok) << n;
}

// Reading and refusals by file name: cli_test.sh.

TEST(Echange, LeFormatSelonLExtension) {
    const struct { const char* nom; FormatEchange f; } noms[] = {
        {"a/livre.txt", FormatEchange::Brf}, {"livre.Pef", FormatEchange::Pef}, {"dossier.pef/livre", FormatEchange::Aucun},
    };
    for (auto [nom, f] : noms) EXPECT_EQ(formatEchangeDe(nom), f) << nom;
}
