// The speech engine of the system, as the speech settings drive it: its
// voices in the order it reports them, the voice in use, its volume and rate.
// The window owns one for the whole run.
#pragma once

#include <QList>
#include <QString>
#include <QVoice>
#include <memory>

class QTextToSpeech;

namespace dotavob {

struct VoixSynthese {
    QString nom;          // as the engine names it
    QString langue;       // locale name, e.g. "fr_FR"
    QString description;  // name, language, gender and age, in words
};

class MoteurSynthese {
public:
    virtual ~MoteurSynthese() = default;
    // Empty when there is no engine or the engine has no voice.
    virtual QList<VoixSynthese> voix() const = 0;
    virtual void choisitVoix(int index) = 0;
    virtual void fixeVolume(double volume) = 0;    // 0..1
    virtual void fixeVitesse(double vitesse) = 0;  // -1..1, 0 the voice's own rate
};

// Qt's text-to-speech, with the first engine it finds. Without an engine
// plugin (on Debian: qt6-speech-flite-plugin or qt6-speech-speechd-plugin)
// there is no voice, and every setting is kept but goes nowhere.
class SyntheseSysteme : public MoteurSynthese {
public:
    SyntheseSysteme();
    ~SyntheseSysteme() override;

    QList<VoixSynthese> voix() const override { return voix_; }
    void choisitVoix(int index) override;
    void fixeVolume(double volume) override;
    void fixeVitesse(double vitesse) override;

private:
    std::unique_ptr<QTextToSpeech> moteur_;
    QList<QVoice> voixQt_;
    QList<VoixSynthese> voix_;
};

}  // namespace dotavob
