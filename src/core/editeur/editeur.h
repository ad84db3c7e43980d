// The editor over a document: the caret and the page it shows, the
// selection, the keys and six-key chords, the editing commands, the mouse and
// the text a copy takes. Every change of the text goes through the document's
// `remplace`; the editor only decides what to replace and where the caret goes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/document.h"

namespace dotavob {

// What the views follow besides the text: the caret, the selection, the page shown.
class ObservateurEditeur {
public:
    virtual ~ObservateurEditeur() = default;
    virtual void curseurDeplace(Point /*curseur*/) {}
    virtual void selectionModifiee(std::int32_t /*debut*/, std::int32_t /*fin*/) {}
    virtual void selectionAnnulee() {}
    // The page shown or the number of pages changed.
    virtual void pageModifiee(std::int32_t /*page*/, std::int32_t /*nbPages*/) {}
    // Lines whose look changed without a change of the text (selection,
    // page shown).
    virtual void vueModifiee(std::int32_t /*premiere*/, std::int32_t /*derniere*/) {}
};

// Keys as the main window forwards them (virtual-key codes).
namespace touches {
constexpr int RETOUR_ARRIERE = 8, ENTREE = 13, PAGE_PRECEDENTE = 33, PAGE_SUIVANTE = 34, FIN = 35, DEBUT = 36,
              GAUCHE = 37, HAUT = 38, DROITE = 39, BAS = 40, SUPPR = 46;
}

// Where the Braille page stands on screen, in pixels: enough to find the
// position under the pointer.
struct GeometriePage {
    std::int32_t margeHaut = 0;
    std::int32_t hauteurLigne = 1;
    std::int32_t pas = 1;  // cell width + gap; also the left margin
};

class EditeurBraille {
public:
    explicit EditeurBraille(DocumentBraille& document);

    DocumentBraille& document() { return doc_; }
    const DocumentBraille& document() const { return doc_; }

    // The document becomes this text, the caret at its start.
    void initialise(std::string texte);
    // A new, empty document.
    void nouveau();
    // A document read from a file: the caret after its last byte.
    void charge(std::string texte, std::vector<Marqueur> marqueurs);

    // Caret and pages.
    Point curseur() const { return curseur_; }
    std::int32_t positionCurseur() const;
    void placeCurseur(Point p);
    void allerPage(std::int32_t n);
    std::int32_t pageCourante() const { return pageCourante_; }
    std::int32_t nbPages() const { return nbPages_; }
    // The first line of the page shown, and its first position.
    std::int32_t premiereLigne() const { return premiereLigne_; }
    std::int32_t premierePosition() const { return premierePosition_; }
    // The row (1-based) of the shown page on which the caret is drawn.
    std::int32_t rangCurseur() const;

    // Selection (0: none).
    std::int32_t debutSelection() const { return debutSelection_; }
    std::int32_t finSelection() const { return finSelection_; }
    void selectionne(std::int32_t de, std::int32_t a);
    void annuleSelection();
    bool sansSelection() const { return debutSelection_ == 0 || finSelection_ == 0; }

    // Keys: dot keys are gathered on key down, editing keys act on release,
    // with the modifiers that were held when the key went down (a fast typist
    // lets go of Shift with, or just before, the arrow). The modifiers given
    // on release count only for a key that was never seen going down.
    void toucheEnfoncee(int touche, bool maj = false, bool ctrl = false);
    void toucheRelachee(int touche, bool maj = false, bool ctrl = false);
    // A character typed as print text; control characters are not text and
    // never reach the document.
    void caractereFrappe(Octet c);

    // Editing commands.
    void insereCaractere(Octet c);
    void insereNoir(std::string_view noir);
    // Cells pasted as they are (Unicode braille read back into bytes), at the caret.
    void insereBraille(std::string_view cellules);
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
    // The selection as the page reads it (print, or the cells in six-key mode), for the clipboard.
    std::string copieSelection();
    void retourneSelection();
    bool recherche(std::string_view s, bool depuisDebut);
    // The whole document re-wrapped (a new page format); `gardeCurseur`: the
    // caret stays before the same byte of the text, its page shown.
    void recoupeDocument(bool journalise = true, const FormatPage* formatAvant = nullptr, bool gardeCurseur = true);
    bool Defait();
    bool Refait();

    // The mouse on the Braille page.
    std::int32_t positionSousPointeur(std::int32_t x, std::int32_t y, const GeometriePage& g) const;
    void sourisEnfoncee(std::int32_t position);
    void sourisDeplacee(std::int32_t position);
    void sourisRelachee(std::int32_t position);

    // Six-key mode: chords of dot keys instead of print typing. It also shows
    // every sign, as stored, in the print view.
    bool sixTouches() const { return sixTouches_; }
    void modeSixTouches(bool on);
    // Every sign as stored: in the print view and in what is copied.
    bool tousLesSignes() const { return tousLesSignes_; }
    void afficheTousLesSignes(bool on) { tousLesSignes_ = on; }

    void ajouteObservateur(ObservateurEditeur* o) { observateurs_.push_back(o); }
    void retireObservateur(ObservateurEditeur* o);

private:
    bool selectionValide() const { return debutSelection_ >= 1 && finSelection_ >= debutSelection_; }
    bool dansNombre(std::int32_t p) const;
    std::int32_t precedent(std::int32_t p) const;     // the byte before p, cuts (VT) passed over; 0 if none
    bool apresSeparateur(std::int32_t p) const;       // p starts a word
    bool majusculeCouverte(std::int32_t p) const;     // a capital typed at p needs no sign of its own
    void deplaceCurseur(std::int32_t position, bool maj);
    std::int32_t basculeEvidence(std::int32_t q);  // the position after the change, 0 when none
    void placeCurseurPosition(std::int32_t p) { placeCurseur(doc_.pointDe(p)); }
    // The page of the caret, the shown page's first line and the page count.
    void calculePageCurseur();
    void montrePage(std::int32_t premiere);
    void annonceVue(std::int32_t premiere, std::int32_t derniere);
    void annoncePage();
    void annonceSelection();
    void apresRejeu(const ResultatRejeu& r);

    DocumentBraille& doc_;
    Point curseur_;
    std::int32_t premiereLigne_ = 1, premierePosition_ = 1, pageCourante_ = 1, nbPages_ = 1;
    std::int32_t debutSelection_ = 0, finSelection_ = 0;
    // The anchor of the last selection made with Shift, and that selection.
    std::int32_t ancre_ = 0;
    std::int32_t selectionClavier_[2] = {0, 0};
    bool sixTouches_ = false, tousLesSignes_ = false;
    Octet accord_ = 0;  // dots of the chord being typed
    // For each key code below 256: down, and Shift and Ctrl as they were then.
    std::array<std::uint8_t, 256> enfoncees_{};
    std::vector<ObservateurEditeur*> observateurs_;
};

}  // namespace dotavob
