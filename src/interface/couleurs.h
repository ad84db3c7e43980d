// The colours of both pages and their strips.
#pragma once

#include <QColor>

namespace dotavob::couleurs {
inline const QColor blanc(255, 255, 255), noir(0, 0, 0), gris(221, 221, 221), selection(0, 136, 187),
    rouge(255, 0, 0);
}  // namespace dotavob::couleurs
