#include "interface/dialoguesynthese.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "core/braille/codes.h"
#include "core/sorties/synthese.h"
#include "plateforme/synthese.h"

namespace dotavob {
namespace {

QSlider* curseur(QWidget* parent, int min, int max, const QString& nom) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(min, max);
    s->setAccessibleName(nom);
    return s;
}

// A word list: UTF-8, or code page 1252 when it is not.
QStringList litDictionnaire(const QString& nom) {
    QFile f(nom);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray octets = f.readAll();
    const std::string brut = octets.toStdString();
    const QString texte = estUtf8Valide(brut) ? QString::fromUtf8(octets)
                                              : QString::fromStdString(cp1252VersUtf8(brut));
    QStringList mots;
    for (QString ligne : texte.split(QLatin1Char('\n'))) {
        if (ligne.endsWith(QLatin1Char('\r'))) ligne.chop(1);
        if (!ligne.isEmpty()) mots << ligne;
    }
    return mots;
}

}  // namespace

TDlgOptionSpEng::TDlgOptionSpEng(MagasinReglages& reglages, MoteurSynthese& moteur, QWidget* parent,
                                 const QString& dossier)
    : QDialog(parent),
      reglages_(reglages),
      moteur_(moteur),
      dossier_(dossier.isEmpty() ? QCoreApplication::applicationDirPath() : dossier) {
    setObjectName(QStringLiteral("DlgOptionSpEng"));
    setWindowTitle(QStringLiteral("Options Synthèse vocale"));
    auto* l = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    auto legende = [this, g](const QString& texte, int rang, QWidget* controle) {
        auto* e = new QLabel(texte, this);
        e->setBuddy(controle);
        g->addWidget(e, rang, 0);
        g->addWidget(controle, rang, 1, 1, 3);
        return e;
    };
    voix_ = new QComboBox(this);
    voix_->setAccessibleName(QStringLiteral("Voix"));
    legende(QStringLiteral("Voix"), 0, voix_);
    volume_ = curseur(this, 0, VOLUME_MAX, QStringLiteral("Volume"));
    legende(QStringLiteral("Volume"), 1, volume_);
    vitesse_ = curseur(this, 0, VITESSE_MAX, QStringLiteral("Vitesse d'élocution"));
    legende(QStringLiteral("Vitesse d'élocution"), 2, vitesse_);
    hauteur_ = curseur(this, HAUTEUR_MIN, HAUTEUR_MAX, QStringLiteral("Hauteur de la voix, de grave à aigü"));
    g->addWidget(new QLabel(QStringLiteral("grave"), this), 3, 0, Qt::AlignRight);
    g->addWidget(hauteur_, 3, 1, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("aigü"), this), 3, 3);
    lecture_ = curseur(this, 0, LECTURE_MAX, QStringLiteral("Vitesse de lecture"));
    legendeLecture_ = legende(QStringLiteral("Vitesse de lecture"), 4, lecture_);
    l->addLayout(g);
    auto* boutons = new QHBoxLayout;
    originaux_ = new QPushButton(QStringLiteral("Paramètres originaux"), this);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    annuler_ = new QPushButton(QStringLiteral("Annuler"), this);
    ok_->setDefault(true);
    boutons->addWidget(originaux_);
    boutons->addStretch();
    boutons->addWidget(ok_);
    boutons->addWidget(annuler_);
    l->addLayout(boutons);
    setMinimumWidth(420);

    for (const VoixSynthese& v : moteur_.voix())
        voix_->addItem(QString::fromStdString(nomVoixAffiche(v.nom.toStdString())), v.nom);
    // The user's choice of a voice; the program's own selections call selectionneVoix.
    connect(voix_, &QComboBox::activated, this, &TDlgOptionSpEng::selectionneVoix);
    // Volume and speed reach the voice once the slider is let go, or at
    // each step taken from the keyboard.
    for (QSlider* s : {volume_, vitesse_}) {
        connect(s, &QSlider::sliderReleased, this, &TDlgOptionSpEng::appliqueVolumeEtVitesse);
        connect(s, &QSlider::valueChanged, this, [this, s] {
            if (!s->isSliderDown()) appliqueVolumeEtVitesse();
        });
    }
    connect(volume_, &QSlider::valueChanged, this,
            [this](int v) { volume_->setAccessibleDescription(QStringLiteral("%1 %").arg(volumeSynthese(v))); });
    connect(originaux_, &QPushButton::clicked, this, [this] {
        valeursParDefaut();
        appliqueVolumeEtVitesse();
    });
    connect(ok_, &QPushButton::clicked, this, [this] {
        enregistre();
        accept();
    });
    connect(annuler_, &QPushButton::clicked, this, &TDlgOptionSpEng::reject);

    valeursParDefaut();
    if (voix_->count() > 0) {
        voix_->setCurrentIndex(0);
        selectionneVoix(0);
    }
    chargeReglages();
}

void TDlgOptionSpEng::valeursParDefaut() {
    volume_->setValue(VOLUME_DEFAUT);
    vitesse_->setValue(VITESSE_DEFAUT);
    hauteur_->setValue(HAUTEUR_DEFAUT);
    lecture_->setValue(LECTURE_DEFAUT);
}

void TDlgOptionSpEng::chargeReglages() {
    const auto r = reglages_.litsynthvoc();
    if (!r) {
        valeursParDefaut();
    } else {
        // The name as stored (code page 1252) against each entry's text.
        for (int i = 0; i < voix_->count(); ++i)
            if (utf8VersCp1252(voix_->itemText(i).toStdString()) == r->voix) {
                voix_->setCurrentIndex(i);
                selectionneVoix(i);
                break;
            }
        volume_->setValue(r->volume.value_or(VOLUME_DEFAUT));
        vitesse_->setValue(r->vitesse.value_or(VITESSE_DEFAUT));
        hauteur_->setValue(r->pitch.value_or(HAUTEUR_DEFAUT));
        lecture_->setValue(r->lecture.value_or(LECTURE_DEFAUT));
    }
    appliqueVolumeEtVitesse();
}

void TDlgOptionSpEng::selectionneVoix(int index) {
    const QList<VoixSynthese> liste = moteur_.voix();
    if (index < 0 || index >= liste.size()) return;
    moteur_.choisitVoix(index);
    appliqueVolumeEtVitesse();
    description_ = liste[index].description;
    const QString nom = QDir(dossier_).filePath(QStringLiteral("dico-%1.txt").arg(liste[index].langue));
    dictionnaire_ = QFile::exists(nom) ? litDictionnaire(nom) : QStringList();
    // A voice reads at its own speed: the reading speed is for none.
    lecture_->setEnabled(false);
    legendeLecture_->setEnabled(false);
}

void TDlgOptionSpEng::appliqueVolumeEtVitesse() {
    if (voix_->count() == 0) return;
    moteur_.fixeVolume(volume_->value() / double(VOLUME_MAX));
    moteur_.fixeVitesse(vitesseSynthese(vitesse_->value()) / 10.0);
}

void TDlgOptionSpEng::enregistre() {
    ReglagesSynthese r;
    r.voix = utf8VersCp1252(voix_->currentText().toStdString());
    r.volume = volume_->value();
    r.vitesse = vitesse_->value();
    r.lecture = lecture_->value();
    r.pitch = hauteur_->value();
    reglages_.ecritsynthvoc(r);
}

void TDlgOptionSpEng::showEvent(QShowEvent* e) {
    chargeReglages();
    QDialog::showEvent(e);
}

void TDlgOptionSpEng::reject() {
    // What the sliders did to the voice is undone: the stored settings stand.
    chargeReglages();
    QDialog::reject();
}

}  // namespace dotavob
