// DotavoB: the editor of six-dot French Braille documents.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "interface/accessibilite.h"
#include "interface/fenetreprincipale.h"

int main(int argc, char** argv) {
    // The icons live in a static library: nothing would pull them in.
    Q_INIT_RESOURCE(ressources);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("dotavob"));
    QApplication::setOrganizationName(QStringLiteral("KELMAR"));
    QApplication::setApplicationName(QStringLiteral("DotavoB"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icones/dotavob.svg")));
    // The platform's dialogs and buttons speak French too ("Oui", "Annuler").
    QTranslator qt;
    if (qt.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt);
    // Before the window: a screen reader reads the pages through it.
    dotavob::installeAccessibilite();
    dotavob::TFDotavoB fenetre(dotavob::MagasinReglages{}, QApplication::arguments());
    fenetre.showMaximized();
    return QApplication::exec();
}
