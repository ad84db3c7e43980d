#include "plateforme/pressepapiers.h"

#include <QClipboard>
#include <QGuiApplication>

#include "core/braille/codes.h"

namespace dotavob {

void PressePapiersSysteme::metTexte(const std::string& texte) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(cp1252VersUtf8(texte)));
}

}  // namespace dotavob
