// Radio buttons as the keyboard expects them: Tab enters a group on its
// checked button (a screen reader then says the choice in force), and the
// arrows move within it.
#pragma once

#include <QList>

class QAbstractButton;

namespace dotavob {

// The buttons of one exclusive group.
void groupeRadio(const QList<QAbstractButton*>& boutons);

}  // namespace dotavob
