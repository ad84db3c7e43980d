// What the print page and the Braille page share: they observe the document
// and the editor, repaint only the band of lines a change touches, and draw
// a caret that blinks and restarts from shown at each move.
#pragma once

#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "core/editeur/editeur.h"
#include "core/editeur/textepage.h"
#include "interface/optionsaffichage.h"

namespace dotavob {

class VuePage : public QWidget, public ObservateurDocument, public ObservateurEditeur {
    Q_OBJECT
public:
    VuePage(EditeurBraille& editeur, const OptionsAffichage& options, QWidget* parent);
    ~VuePage() override;

    const OptionsAffichage& options() const { return options_; }
    bool curseurAffiche() const { return curseurAffiche_; }
    virtual QRect rectCurseur() const = 0;
    EditeurBraille& editeur() { return ed_; }
    const EditeurBraille& editeur() const { return ed_; }
    // The page as a screen reader reads it; only its lines are read. It is
    // made once for each change of the page, however often it is asked for.
    const TextePage& texteAccessible() const;
    // How many times that text was made.
    std::int64_t compositions() const { return compositions_; }
    // That text as a screen reader last heard it (none until one asks for the
    // page), and the caret's offset last told.
    std::optional<std::u32string> texteAnnonce;
    std::optional<std::int32_t> curseurAnnonce;
    // The page being typed on speaks: it alone tells a screen reader of its
    // changes, once the keystroke or command is over. The other page stays
    // readable on demand and silent.
    void fixeParole(bool parle);
    bool parle() const { return parle_; }
    // Changes told to a screen reader at once instead of after the current event.
    void annonceMaintenant();
    // When set, says when to tell them (the window orders what is said); else
    // they are told once the current event is over.
    std::function<void()> planifie;
    // The line the caret stands on, as read aloud.
    QString ligneDuCurseur() const;

    // ObservateurDocument, ObservateurEditeur
    void lignesModifiees(std::int32_t premiere, std::int32_t derniere) override;
    void vueModifiee(std::int32_t premiere, std::int32_t derniere) override;
    void pageModifiee(std::int32_t page, std::int32_t nbPages) override;
    void curseurDeplace(Point curseur) override;
    void selectionModifiee(std::int32_t debut, std::int32_t fin) override;
    void selectionAnnulee() override;

protected:
    virtual TextePage composeTexteAccessible() const = 0;
    // Top of row k (0-based) of the page, in pixels.
    virtual int yRang(std::int32_t k) const = 0;
    virtual void clignote();
    // The wheel turns pages, one a notch, as Page Down and Page Up do.
    void wheelEvent(QWheelEvent* e) override;

    EditeurBraille& ed_;
    DocumentBraille& doc_;
    const OptionsAffichage& options_;
    QTimer minuterie_;
    bool curseurAffiche_ = true;

private:
    void repeint(std::int32_t premiere, std::int32_t derniere);
    // What changed since a screen reader was last told, told after the current event.
    void aAnnoncer(bool texte, bool curseur, bool selection);
    struct CleTexte {
        std::int32_t premiereLigne = 0, lignes = 0;
        bool tousLesSignes = false;
        bool operator==(const CleTexte&) const = default;
    };
    CleTexte cleTexte() const;
    mutable std::optional<TextePage> texte_;
    mutable CleTexte cle_;
    mutable std::int64_t compositions_ = 0;
    bool parle_ = false;
    bool texteAAnnoncer_ = false, curseurAAnnoncer_ = false, selectionAAnnoncer_ = false;
    QTimer annonces_;
    QRect curseurPrecedent_;
    int molette_ = 0;  // wheel steps not yet a whole notch (touchpads send small ones)
};

}  // namespace dotavob
