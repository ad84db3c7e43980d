// The colours of both pages, their strips and the code chooser's grid.
#pragma once

#include <QColor>

namespace dotavob::couleurs {
inline const QColor blanc(255, 255, 255), noir(0, 0, 0), gris(221, 221, 221), selection(0, 136, 187),
    rouge(255, 0, 0), bleu(0, 0, 255), vert(0, 183, 0), argent(192, 192, 192);
}  // namespace dotavob::couleurs
