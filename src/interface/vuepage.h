// What the print page and the Braille page share: they observe the document
// and the editor, repaint only the band of lines a change touches, and draw
// a caret that blinks and restarts from shown at each move.
#pragma once

#include <QRect>
#include <QTimer>
#include <QWidget>

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
    // The page as a screen reader reads it; only its lines are read.
    virtual TextePage texteAccessible() const = 0;
    // That text as a screen reader last heard it (none until one asks for the page).
    std::optional<std::u32string> texteAnnonce;

    // ObservateurDocument, ObservateurEditeur
    void lignesModifiees(std::int32_t premiere, std::int32_t derniere) override;
    void vueModifiee(std::int32_t premiere, std::int32_t derniere) override;
    void curseurDeplace(Point curseur) override;
    void selectionModifiee(std::int32_t debut, std::int32_t fin) override;
    void selectionAnnulee() override;

protected:
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
    QRect curseurPrecedent_;
    int molette_ = 0;  // wheel steps not yet a whole notch (touchpads send small ones)
};

}  // namespace dotavob
