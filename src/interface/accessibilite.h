// What a screen reader reads of the two pages: their text, caret and
// selection through Qt's accessibility interfaces, and the events that tell
// it each change. The text itself is the core's (core/editeur/textepage.h).
#pragma once

#include <QStringList>
#include <functional>
#include <QTimer>
#include <QWidget>

namespace dotavob {

class VuePage;

// Gives the print page and the Braille page their accessible interfaces.
void installeAccessibilite();

// Tell a screen reader, if one listens, what changed on a page: its text
// (one event for the whole change), then its caret, then its selection.
void annonce(VuePage& page, bool texte, bool curseur, bool selection);

// A notice for screen readers: shown again with each new text, which a
// screen reader speaks as it appears (a page turn: "Page 2 sur 3"; an undo:
// "Défait"). What one command announces is said once it is over, in one
// notice. One pixel, in a corner of the window; nothing to see.
class Annonceur : public QWidget {
    Q_OBJECT
public:
    explicit Annonceur(QWidget* parent);
    void annonce(const QString& texte);
    // Says now what was announced since it last spoke.
    void dit();
    // When set, says when to speak (the window speaks before the pages); else
    // it speaks once the current event is over.
    std::function<void()> planifie;

private:
    QStringList aDire_;
    QTimer minuterie_;
};

}  // namespace dotavob
