// The Braille document: one byte string in which CR, LF, VT and FF give
// lines, paragraphs and pages, with the caret, the selection, the markers and
// the undo journal. Views observe it; none keeps a copy of the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/formatpage.h"
#include "braille/codes.h"
#include "braille/tampons.h"
#include "editing/journal.h"
#include "editing/marqueurs.h"

namespace dotavob {

struct Point {
    std::int32_t colonne = 1;
    std::int32_t ligne = 1;
    bool operator==(const Point&) const = default;
};

// A line: its first position, its last byte before the structure byte that
// ends it, and its bytes. An empty document gives {0, 0, ""}.
struct Tligne {
    std::int32_t debut = 0;
    std::int32_t fin = 0;
    std::string texte;
};

class ObservateurDocument {
public:
    virtual ~ObservateurDocument() = default;
    virtual void lignesModifiees(std::int32_t /*premiere*/, std::int32_t /*derniere*/) {}
    virtual void curseurDeplace(Point /*curseur*/) {}
    virtual void selectionModifiee(std::int32_t /*debut*/, std::int32_t /*fin*/) {}
    virtual void selectionAnnulee() {}
    // The page shown or the number of pages changed.
    virtual void pageModifiee(std::int32_t /*page*/, std::int32_t /*nbPages*/) {}
};

// Keys as the main window forwards them (virtual-key codes).
namespace touches {
constexpr int RETOUR_ARRIERE = 8, ENTREE = 13, PAGE_PRECEDENTE = 33, PAGE_SUIVANTE = 34, FIN = 35, DEBUT = 36,
              GAUCHE = 37, HAUT = 38, DROITE = 39, BAS = 40, SUPPR = 46;
}

// The platform's clipboard, for the selection copied as text (code page 1252).
class PressePapiers {
public:
    virtual ~PressePapiers() = default;
    virtual void metTexte(const std::string& texte) = 0;
};

// Where the Braille page stands on screen, in pixels: enough to find the
// position under the pointer.
struct GeometriePage {
    std::int32_t margeHaut = 0;
    std::int32_t hauteurLigne = 1;
    std::int32_t pas = 1;  // cell width + gap; also the left margin
};

struct ResultatRecoupage {
    std::int32_t premiereLigne = 1;
    bool nbLignesChange = false;
    std::int32_t derniereLigne = 1;
};

class DocumentBraille {
public:
    explicit DocumentBraille(const FormatPage& format);

    // The text.
    std::int32_t longueur() const { return texte_.taille(); }
    Octet octet(std::int32_t pos) const {
        return pos >= 1 && pos <= longueur() ? oct(texte_[pos - 1]) : 0;
    }
    std::string texte() const { return texte_.chaine(); }
    std::string sousChaine(std::int32_t debut, std::int32_t n) const;
    // The document becomes this text: caret at the start, no selection,
    // unmodified. The journal and the markers are the caller's to set.
    void initialise(std::string texte);
    // A new, empty document: no text, selection, markers or undo history.
    void nouveau();
    // A document read from a file: caret after its last byte, unmodified, and
    // no undo history (undo never replays another document's edits).
    void charge(std::string texte, std::vector<Marqueur> marqueurs);

    // Lines.
    std::int32_t nbLignes() const { return static_cast<std::int32_t>(lignes_.taille()) + 1; }
    Tligne ligne(std::int32_t n) const;
    std::int32_t positionDe(Point p) const;
    Point pointDe(std::int32_t position) const;
    std::int32_t debutParagraphe(std::int32_t pos) const;
    std::int32_t finParagraphe(std::int32_t pos) const;  // the CR or FF that ends it, or length + 1

    // Caret and pages.
    Point curseur() const { return curseur_; }
    std::int32_t positionCurseur() const;
    void placeCurseur(Point p);
    void allerPage(std::int32_t n);
    std::int32_t pageCourante() const { return pageCourante_; }
    std::int32_t nbPages() const { return nbPages_; }
    std::int32_t premiereLigne() const { return premiereLigne_; }
    std::int32_t premierePosition() const { return premierePosition_; }
    // The row (1-based) of the shown page on which the caret is drawn.
    std::int32_t rangCurseur() const;
    // The page that shows line n, and the first line of that page.
    std::int32_t pageDeLigne(std::int32_t n, std::int32_t* premiere = nullptr) const;

    // Selection (0: none).
    std::int32_t debutSelection() const { return debutSelection_; }
    std::int32_t finSelection() const { return finSelection_; }
    void selectionne(std::int32_t de, std::int32_t a);
    void annuleSelection();

    // Keys: dot keys are gathered on key down, editing keys act on release.
    void toucheEnfoncee(int touche);
    void toucheRelachee(int touche, bool maj = false, bool ctrl = false);
    void caractereFrappe(Octet c);

    // Editing. `remplace` is the single change of the text; it returns the
    // position just after the new text once the paragraphs are re-wrapped.
    std::int32_t remplace(std::int32_t from, std::int32_t to, std::string_view nouveau);
    ResultatRecoupage recoupeParagraphe(std::int32_t pos, std::int32_t* suivi = nullptr, bool suiviEstFin = false);
    void insereCaractere(Octet c);
    void insereNoir(std::string_view noir);
    void finParagraphe();
    void sautDePage();
    void gauche(bool maj = false);
    void droite(bool maj = false);
    void haut(bool maj = false);
    void bas(bool maj = false);
    void supprime();
    void recule();
    void signeMajuscule();
    void signeNumerique();
    void miseEnEvidence();
    void marqueParagraphe(std::uint8_t kind);
    void supprimeSelection();
    std::string copieSelection();
    void coupeSelection();
    bool sansSelection() const { return debutSelection_ == 0 || finSelection_ == 0; }
    void setPressePapiers(PressePapiers* p) { pressePapiers_ = p; }

    // The mouse on the Braille page.
    std::int32_t positionSousPointeur(std::int32_t x, std::int32_t y, const GeometriePage& g) const;
    void sourisEnfoncee(std::int32_t position);
    void sourisDeplacee(std::int32_t position);
    void sourisRelachee(std::int32_t position);

    // Where the caret may stand: never inside a sign of several bytes.
    std::int32_t positionGauche(std::int32_t p) const;
    std::int32_t positionDroite(std::int32_t p) const;
    std::int32_t debutUnite(std::int32_t p) const;

    // Re-wraps the whole document to the characters per line, the lines of
    // indented paragraphs shortened. Journaled as one change unless asked not
    // to (a document just opened has no history to keep).
    void recoupeDocument(bool journalise = true);
    void retourneSelection();
    bool recherche(std::string_view s, bool depuisDebut);
    bool Defait();
    bool Refait();

    bool modifie() const { return modifie_; }
    void setModifie(bool m) { modifie_ = m; }

    Journal& journal() { return journal_; }
    const Journal& journal() const { return journal_; }
    TgestionnaireMarqueurs& marqueurs() { return marqueurs_; }
    const TgestionnaireMarqueurs& marqueurs() const { return marqueurs_; }
    const FormatPage& format() const { return format_; }

    // Six-key mode: chords of dot keys instead of print typing. It also shows
    // every sign, as stored, in the print view.
    bool sixTouches() const { return sixTouches_; }
    void modeSixTouches(bool on);
    bool tousLesSignes() const { return tousLesSignes_; }
    void afficheTousLesSignes(bool on) { tousLesSignes_ = on; }

    // Display options read by the views.
    bool pointsGris = false, cadresCellules = false;
    bool sautsPageVisibles = false, sautsParagrapheVisibles = false, espacesVisibles = false;

    void ajouteObservateur(ObservateurDocument* o) { observateurs_.push_back(o); }
    void retireObservateur(ObservateurDocument* o);

private:
    struct Segment {
        std::int32_t debutLigne;  // first line of the segment
        std::int32_t derniereLigne;  // the line ended by its FF, or the last line
        std::int32_t pagesAvant;
        std::int32_t pages;
        bool absorbe;  // its FF line is empty and follows a full page
    };

    // Text, line index and page cache, nothing else.
    void changeTexte(std::int32_t from, std::int32_t to, std::string_view nouveau);
    // The lines of the segment that holds `ligne` changed by `deltaLignes`.
    void ajusteSegments(std::int32_t ligne, std::int32_t deltaLignes);
    // A segment of lines from `debut` to `derniere`, closed by the FF at
    // position `saut` (0: the last segment, closed by the end of the text).
    Segment segment(std::int32_t debut, std::int32_t derniere, std::int32_t saut, std::int32_t pagesAvant) const;
    void reconstruitIndex();
    const std::vector<Segment>& segments() const;
    std::int32_t debutLigne(std::int32_t n) const;
    // An exact replay of a journal record: no re-wrap, no new record.
    bool rejoue(std::int32_t from, std::int32_t to, std::string_view nouveau, std::int32_t caret);
    bool rejoueEnregistrement(const Enregistrement& e, bool defaire);
    bool selectionValide() const { return debutSelection_ >= 1 && finSelection_ >= debutSelection_; }
    bool prefixeCache(std::int32_t i) const;   // a prefix that belongs to the next sign
    bool signeDouble(std::int32_t i) const;    // the start of a base-first two-cell sign
    bool suite(std::int32_t p, std::string_view octets) const;
    std::int32_t longueurUniteSimple(std::int32_t p) const;
    bool dansNombre(std::int32_t p) const;
    void deplaceCurseur(std::int32_t position, bool maj);
    std::int32_t basculeEvidence(std::int32_t q);  // the position after the change, 0 when none
    void placeCurseurPosition(std::int32_t p) { placeCurseur(pointDe(p)); }
    void calculePageCurseur();
    void annonceLignes(std::int32_t premiere, std::int32_t derniere);
    void annoncePage();
    std::int32_t lignesParPage() const { return format_.nbLignesTexte > 0 ? format_.nbLignesTexte : 1; }

    const FormatPage& format_;
    TexteTampon texte_;
    IndexPositions lignes_;  // positions of every CR, LF, VT and FF
    IndexPositions sauts_;   // positions of every FF
    mutable std::vector<Segment> segments_;
    mutable bool segmentsValides_ = false;
    mutable std::int32_t segmentsLignesParPage_ = 0;

    Point curseur_;
    std::int32_t premiereLigne_ = 1, premierePosition_ = 1, pageCourante_ = 1, nbPages_ = 1;
    std::int32_t debutSelection_ = 0, finSelection_ = 0;
    bool modifie_ = false;
    bool sixTouches_ = false, tousLesSignes_ = false;
    Octet accord_ = 0;  // dots of the chord being typed
    PressePapiers* pressePapiers_ = nullptr;

    TgestionnaireMarqueurs marqueurs_;
    Journal journal_;
    std::vector<ObservateurDocument*> observateurs_;
};

}  // namespace dotavob
