// What a screen reader reads of the two pages: their text, caret and
// selection through Qt's accessibility interfaces, and the events that tell
// it each change. The text itself is the core's (core/editeur/textepage.h).
#pragma once

namespace dotavob {

class VuePage;

// Gives the print page and the Braille page their accessible interfaces.
void installeAccessibilite();

// Tell a screen reader, if one listens, what changed on a page.
void annonceTexte(VuePage& page);
void annonceCurseur(VuePage& page);
void annonceSelection(VuePage& page);

}  // namespace dotavob
