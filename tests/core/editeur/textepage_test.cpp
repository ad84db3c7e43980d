#include "core/editeur/textepage.h"

#include <gtest/gtest.h>

#include <random>

#include "core/editeur/editeur.h"

using namespace dotavob;

namespace {

class TexteDePage : public ::testing::Test {
protected:
    FormatPage format;
    DocumentBraille doc{format};
    EditeurBraille ed{doc};

    TextePage noir() const { return texteNoir(lignesAffichees(ed, false)); }
    TextePage braille() const { return texteBraille(lignesAffichees(ed, false, false)); }
};

TEST_F(TexteDePage, LesLignesDeLaPageSeSuiventSepareesParDesFinsDeLigne) {
    ed.initialise("le chat\rdu chat");
    const TextePage t = noir();
    EXPECT_EQ(t.texte, U"le chat\ndu chat");
    ASSERT_EQ(t.lignes.size(), 2u);
    EXPECT_EQ(t.lignes[1].decalage, 8);
    // Byte 9 starts the second line; byte 8, the paragraph end, stands after "le chat".
    EXPECT_EQ(std::pair(decalageDe(t, 9), decalageDe(t, 8)), std::pair(8, 7));
    EXPECT_EQ(std::pair(positionDe(t, 8), positionDe(t, 7)), std::pair(9, 8));
}

TEST_F(TexteDePage, LeCurseurEnNoirSeTientAvantLUniteEtSonSigneCache) {
    ed.insereNoir("Le chat.");
    const TextePage n = noir(), b = braille();
    // Position 1 is the capital sign, 2 the L it makes a capital, 3 the e; 10 is after the last byte.
    EXPECT_EQ((std::vector{decalageDe(n, 1), decalageDe(n, 2), decalageDe(n, 3), decalageDe(b, 3), decalageDe(n, 10)}),
              (std::vector{0, 0, 1, 2, 8}));
    EXPECT_EQ(std::pair(positionDe(n, 0), positionDe(n, 1)), std::pair(1, 3));
    // The e and the space selected.
    for (auto [t, premier, dernier] : {std::tuple{&n, 1, 3}, {&b, 2, 4}})
        EXPECT_EQ(std::pair(etendueDe(*t, 3, 4).premier, etendueDe(*t, 3, 4).dernier), std::pair(premier, dernier));
}

TEST_F(TexteDePage, SeulesLesLignesDeLaPageMontreeSontLues) {
    const std::int32_t n = doc.lignesParPage();
    std::string texte;
    for (std::int32_t i = 0; i < 3 * n; ++i) texte += i < n ? "a\r" : "b\r";
    ed.initialise(texte);
    ed.allerPage(2);
    const TextePage t = noir();
    // A caret before the page stands at its start, one after it at its end.
    EXPECT_EQ(std::tuple(static_cast<std::int32_t>(t.lignes.size()), t.texte.find(U'a'), decalageDe(t, 1), decalageDe(t, doc.longueur())),
              std::tuple(n, std::u32string::npos, 0, static_cast<std::int32_t>(t.texte.size())));
}

// The pieces a screen reader asks for, written apart from the page's own: whether each pair of
// neighbours stands in one piece, walked from the offset both ways.
class Reference {
public:
    explicit Reference(const TextePage& t) : s_(t.texte), n_(static_cast<std::int32_t>(s_.size())) {
        for (std::int32_t i = 0; i < n_; ++i) finPar_.push_back(s_[i] == U'\n');
        for (const auto& l : t.lignes)
            if (l.decalage + l.longueur < n_) finPar_[l.decalage + l.longueur] = l.finParagraphe;
    }

    Morceau a(std::int32_t o, Frontiere f) const {
        if (n_ == 0) return {0, 0};
        if (f == Frontiere::Caractere && o >= n_) return {n_, n_};
        // After a last line end stands an empty line, and an empty paragraph if it closed one.
        const bool vide = (f == Frontiere::Ligne && s_.back() == U'\n') || (f == Frontiere::Paragraphe && finPar_.back());
        if (o >= n_) o = vide ? n_ : n_ - 1;
        if (o == n_) return {n_, n_};
        std::int32_t d = o, e = o + 1;
        while (d > 0 && !coupe(d, f)) --d;
        while (e < n_ && !coupe(e, f)) ++e;
        return {d, e};
    }
    Morceau avant(std::int32_t o, Frontiere f) const {
        const Morceau m = a(o, f);
        return m.debut == 0 ? Morceau{0, 0} : a(m.debut - 1, f);
    }
    Morceau apres(std::int32_t o, Frontiere f) const {
        const Morceau m = a(o, f);
        return m.fin >= n_ ? Morceau{n_, n_} : a(m.fin, f);
    }

private:
    static bool lettre(char32_t c) {
        return std::isalnum(static_cast<unsigned char>(c & 0x7F)) && c < 0x80 ? true
               : c >= 0x2801 && c <= 0x283F                                  ? true
                                                                              : std::u32string_view(U"éèêàçùôîïœÉÈÀÇπ").find(c) != std::u32string_view::npos;
    }
    static bool blanc(char32_t c) { return c == U' ' || c == 0x2800; }
    bool mot(std::int32_t i) const { return i >= 0 && i < n_ && lettre(s_[i]); }
    bool apostrophe(std::int32_t i) const { return i >= 0 && i < n_ && s_[i] == U'\''; }
    static bool point(char32_t c) { return std::u32string_view(U".!?…⠲⠖⠢").find(c) != std::u32string_view::npos; }
    // Does a piece start at i (0 < i < n)?
    bool coupe(std::int32_t i, Frontiere f) const {
        const char32_t p = s_[i - 1], c = s_[i];
        switch (f) {
            case Frontiere::Caractere: return true;
            case Frontiere::Ligne: return p == U'\n';
            case Frontiere::Paragraphe: return finPar_[i - 1];
            case Frontiere::Mot:
                if (mot(i - 1) && mot(i)) return false;
                if (apostrophe(i) && mot(i - 1) && mot(i + 1)) return false;
                if (apostrophe(i - 1) && mot(i - 2) && mot(i)) return false;
                return !(blanc(p) && blanc(c));
            case Frontiere::Phrase: {
                if (finPar_[i - 1]) return true;
                if (blanc(c) || c == U'\n') return false;
                std::int32_t k = i - 1;
                while (k >= 0 && (blanc(s_[k]) || (s_[k] == U'\n' && !finPar_[k]))) --k;
                if (k == i - 1) return false;  // no blank before: "3.14"
                while (k >= 0 && std::u32string_view(U")]»\"").find(s_[k]) != std::u32string_view::npos) --k;
                return k >= 0 && point(s_[k]);
            }
        }
        return false;
    }

    std::u32string s_;
    std::int32_t n_;
    std::vector<bool> finPar_;
};

std::string texteAuHasard(std::mt19937& alea) {
    static const std::vector<std::string> morceaux = {"le",   "chat", "l'été", "12",  " ",   "  ",  "(",   ")",
                                                      "-",    ".",    "!",     "?",   "'",   "\r", "…",   ":",
                                                      "«",    "»",    "Oui",   "3.14", "...", "\r\r", "\f", "Paris"};
    std::string t;
    const auto n = std::uniform_int_distribution<int>(0, 60)(alea);
    for (int i = 0; i < n; ++i) t += morceaux[std::uniform_int_distribution<std::size_t>(0, morceaux.size() - 1)(alea)];
    return utf8VersCp1252(t);
}

TEST_F(TexteDePage, ChaqueMorceauDemandeEstCeluiDeLaReferenceEtTientSonDecalage) {
    std::mt19937 alea(21);
    const Frontiere frontieres[] = {Frontiere::Caractere, Frontiere::Mot, Frontiere::Phrase, Frontiere::Ligne,
                                    Frontiere::Paragraphe};
    for (int essai = 0; essai < 150; ++essai) {
        format.cpl = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(5, 30)(alea));
        ed.initialise("");
        ed.insereNoir(texteAuHasard(alea));
        ed.allerPage(1);
        for (const TextePage& t : {noir(), braille()}) {
            const Reference ref(t);
            const auto n = static_cast<std::int32_t>(t.texte.size());
            for (Frontiere f : frontieres)
                for (std::int32_t o = 0; o <= n; ++o) {
                    const Morceau a = morceau(t, o, f, Cote::A);
                    SCOPED_TRACE(testing::Message() << "essai " << essai << ", frontière " << static_cast<int>(f)
                                                    << ", décalage " << o);
                    ASSERT_EQ(a, ref.a(o, f));
                    ASSERT_EQ(morceau(t, o, f, Cote::Avant), ref.avant(o, f));
                    ASSERT_EQ(morceau(t, o, f, Cote::Apres), ref.apres(o, f));
                }
        }
    }
}

TEST_F(TexteDePage, LesMorceauxDUnDebutDePageQuiNeCommencePasParUneLettre) {
    using M = Morceau;
    // What froze a screen reader: the word at offset 0 of a page that starts with a sign.
    for (const auto& [print, mot, phrase] : {std::tuple{"(oui) l'été.", M{0, 1}, M{0, 12}}, {"- Oui. Non", M{0, 1}, M{0, 7}},
                                              {"", M{0, 0}, M{0, 0}}}) {
        ed.initialise("");
        ed.insereNoir(utf8VersCp1252(print));
        const TextePage n = noir();
        EXPECT_EQ(morceau(n, 0, Frontiere::Mot, Cote::A), mot) << print;
        EXPECT_EQ(morceau(n, 0, Frontiere::Phrase, Cote::A), phrase) << print;
        EXPECT_EQ(morceau(n, 0, Frontiere::Mot, Cote::Avant), (M{0, 0})) << print;
    }
}

TEST(Difference, NeGardeQueCeQuiAChange) {
    using T = std::tuple<int, std::u32string, std::u32string>;
    for (const auto& [avant, apres, attendu] : {std::tuple{U"le chat", U"le chant", T{6, U"", U"n"}},
                                                {U"aaa", U"a", T{1, U"aa", U""}}, {U"abcd", U"abXd", T{2, U"c", U"X"}}}) {
        const Difference d = difference(avant, apres);
        EXPECT_EQ(T(d.decalage, d.ote, d.ajoute), attendu);
    }
}

}  // namespace
