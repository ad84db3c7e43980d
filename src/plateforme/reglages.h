// The settings kept between runs: the registry of the current user on
// Windows, a per-user settings file elsewhere, with the same keys, value
// names and types. Every operation opens the store for its own call.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "core/document/formatpage.h"

class QSettings;

namespace dotavob {

struct ReglagesEmbosseuse {
    std::optional<int> lignes, caracteres, margeGauche, margeHaut, code;
};

struct ReglagesSynthese {
    std::string voix;
    std::optional<int> volume, vitesse, lecture, pitch;
};

class MagasinReglages {
public:
    // The user's own settings.
    MagasinReglages() = default;
    // Settings kept in this file (tests never touch the user's).
    explicit MagasinReglages(QString fichier) : fichier_(std::move(fichier)) {}

    // Each write returns false when the store could not be written.
    bool ecritformat(const FormatStocke& f);
    // Empty when the key does not exist; a value it lacks stays absent.
    std::optional<FormatStocke> litformat() const;
    bool ecritfonte(const std::string& nom);
    // Only a stored, non-empty name replaces `nom`; false when the key does not exist.
    bool litfonte(std::string& nom) const;
    bool ecritembosseuse(const ReglagesEmbosseuse& r);
    std::optional<ReglagesEmbosseuse> litembosseuse() const;
    bool ecritsynthvoc(const ReglagesSynthese& r);
    std::optional<ReglagesSynthese> litsynthvoc() const;

    // What went wrong since the last call, in French for the user (empty when
    // nothing did): an unreadable store, values of the wrong type (the
    // defaults stand for them), a store that could not be written.
    QString messageProblemes();

private:
    std::unique_ptr<QSettings> ouvre() const;
    bool ferme(QSettings& s);
    QString fichier_;
    mutable QStringList problemes_;
    mutable bool illisible_ = false;
    bool nonEnregistre_ = false;
};

}  // namespace dotavob
