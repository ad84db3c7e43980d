#include "interface/groupesradio.h"

#include <QAbstractButton>

namespace dotavob {

void groupeRadio(const QList<QAbstractButton*>& boutons) {
    // Only the checked button is in the Tab chain; the arrows reach the
    // others whatever their focus policy, as the group is exclusive.
    auto miseAJour = [boutons] {
        for (QAbstractButton* b : boutons) b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QAbstractButton* b : boutons) QObject::connect(b, &QAbstractButton::toggled, b, miseAJour);
    miseAJour();
}

}  // namespace dotavob
