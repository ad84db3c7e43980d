// DotavoB: the editor of six-dot French Braille documents.
#include <QApplication>

#include "interface/fenetreprincipale.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KELMAR"));
    QApplication::setApplicationName(QStringLiteral("DotavoB"));
    dotavob::TFDotavoB fenetre(dotavob::MagasinReglages{}, QApplication::arguments());
    fenetre.showMaximized();
    return QApplication::exec();
}
