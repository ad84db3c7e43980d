#include "plateforme/synthese.h"

#include <QTextToSpeech>
#include <QVoice>

namespace dotavob {

SyntheseSysteme::SyntheseSysteme() {
    // No engine at all: no object, and no error state to report on each call.
    if (QTextToSpeech::availableEngines().isEmpty()) return;
    moteur_ = std::make_unique<QTextToSpeech>();
    if (moteur_->state() == QTextToSpeech::Error) {
        moteur_.reset();
        return;
    }
    // The engine lists the voices of its current language only: every
    // language in turn, then back to the one it had.
    const QLocale langueInitiale = moteur_->locale();
    for (const QLocale& l : moteur_->availableLocales()) {
        moteur_->setLocale(l);
        voixQt_ += moteur_->availableVoices();
    }
    moteur_->setLocale(langueInitiale);
    for (const QVoice& v : voixQt_) {
        const QString langue = v.locale().name();
        voix_.append({v.name(), langue,
                      QStringLiteral("%1, %2, %3, %4")
                          .arg(v.name(), langue, QVoice::genderName(v.gender()), QVoice::ageName(v.age()))});
    }
}

SyntheseSysteme::~SyntheseSysteme() = default;

void SyntheseSysteme::choisitVoix(int index) {
    if (moteur_ && index >= 0 && index < voixQt_.size()) moteur_->setVoice(voixQt_[index]);
}

void SyntheseSysteme::fixeVolume(double volume) {
    if (moteur_) moteur_->setVolume(volume);
}

void SyntheseSysteme::fixeVitesse(double vitesse) {
    if (moteur_) moteur_->setRate(vitesse);
}

}  // namespace dotavob
