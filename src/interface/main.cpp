// DotavoB: the editor of six-dot French Braille documents.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <new>

#include "interface/accessibilite.h"
#include "interface/fenetreprincipale.h"

namespace {

// Memory running out in a command is said, and the editor goes on instead of
// ending with every unsaved word: the document can still be saved (the
// recovery copy holds it besides).
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* objet, QEvent* e) override {
        try {
            return QApplication::notify(objet, e);
        } catch (const std::bad_alloc&) {
            QMessageBox::critical(activeWindow(), QStringLiteral("DotavoB"),
                                  QStringLiteral("Mémoire insuffisante : la dernière commande n'a pas abouti. "
                                                 "Enregistrez votre travail, de préférence sous un autre nom."));
            return false;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The icons live in a static library: nothing would pull them in.
    Q_INIT_RESOURCE(ressources);
    Application app(argc, argv);
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
