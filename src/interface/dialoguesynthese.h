// The speech settings ("Options Synthèse vocale"): the voice, its volume and
// speed, the pitch and the reading speed (kept, not yet used), stored in the
// settings. Created once by the main window over the window's voice.
#pragma once

#include <QDialog>
#include <QStringList>

#include "plateforme/reglages.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace dotavob {

class MoteurSynthese;

class TDlgOptionSpEng : public QDialog {
    Q_OBJECT
public:
    // `moteur` may have no voice; the settings are kept all the same. The
    // voices' word lists ("dico-<langue>.txt") are looked for in `dossier`,
    // the program's folder when it is empty.
    TDlgOptionSpEng(MagasinReglages& reglages, MoteurSynthese& moteur, QWidget* parent,
                    const QString& dossier = QString());

    // The stored settings back into the controls, the voice set from them.
    void chargeReglages();
    const QStringList& dictionnaire() const { return dictionnaire_; }
    const QString& description() const { return description_; }

    QComboBox* voix() const { return voix_; }
    QSlider* volume() const { return volume_; }
    QSlider* vitesse() const { return vitesse_; }
    QSlider* hauteur() const { return hauteur_; }
    QSlider* lecture() const { return lecture_; }
    QLabel* legendeLecture() const { return legendeLecture_; }
    QPushButton* parametresOriginaux() const { return originaux_; }
    QPushButton* ok() const { return ok_; }
    QPushButton* annuler() const { return annuler_; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void selectionneVoix(int index);
    void appliqueVolumeEtVitesse();
    void valeursParDefaut();
    void enregistre();

    MagasinReglages& reglages_;
    MoteurSynthese& moteur_;
    QString dossier_;
    QString description_;
    QStringList dictionnaire_;  // the voice's word list, for the reading to come
    QComboBox* voix_ = nullptr;
    QSlider *volume_ = nullptr, *vitesse_ = nullptr, *hauteur_ = nullptr, *lecture_ = nullptr;
    QLabel* legendeLecture_ = nullptr;
    QPushButton *originaux_ = nullptr, *ok_ = nullptr, *annuler_ = nullptr;
};

}  // namespace dotavob
