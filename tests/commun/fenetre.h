#pragma once
// What the widget tests share: the main window made for a test, a widget
// drawn into an image, a file's bytes, a voice engine that notes what it is
// told, the user's gesture while a dialog is up. Qt test programs only.
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "interface/fenetreprincipale.h"
#include "plateforme/synthese.h"

namespace dotavob::essai {

// The window on settings of its own, shown; its messages noted, never a box that would wait.
class Fenetre : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    std::unique_ptr<TFDotavoB> f;
    std::vector<QString> messages;

    void SetUp() override {
        f = std::make_unique<TFDotavoB>(MagasinReglages(chemin("r.conf")), QStringList{QStringLiteral("dotavob")});
        f->afficheErreur = f->informe = [this](const QString& m) { messages.push_back(m); };
        f->resize(1500, 800);
        f->show();
        QCoreApplication::processEvents();
    }
    QString chemin(const char* nom) const { return dossier.filePath(QString::fromUtf8(nom)); }
};

inline QImage image(QWidget& w) {
    QImage im(w.size(), QImage::Format_RGB32);
    w.render(&im);
    return im;
}

// "<absent>" for a file that is not there, unlike any content a test writes.
inline QByteArray octets(const QString& nom) {
    QFile fi(nom);
    return fi.open(QIODevice::ReadOnly) ? fi.readAll() : QByteArray("<absent>");
}

struct MoteurEspion : MoteurSynthese {
    QList<VoixSynthese> liste;
    int choisie = -1;
    double volume = -1, vitesse = -9;
    QList<VoixSynthese> voix() const override { return liste; }
    void choisitVoix(int i) override { choisie = i; }
    void fixeVolume(double v) override { volume = v; }
    void fixeVitesse(double v) override { vitesse = v; }
};

// The gesture runs once the dialog is up; a dialog it leaves open fails the test instead of waiting forever.
inline void pendant(QDialog& d, std::function<void()> geste) {
    QTimer::singleShot(0, &d, std::move(geste));
    QTimer::singleShot(5000, &d, [&d] {
        if (!d.isVisible()) return;
        ADD_FAILURE() << "dialogue resté ouvert";
        d.reject();
    });
}

}  // namespace dotavob::essai
