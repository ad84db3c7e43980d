// Recovery copies: while a document is modified, a copy of it as a save
// would write it, with its name, in the user's data folder; one for each
// running editor, which holds a lock beside it for its whole run. A copy
// whose editor no longer runs (it crashed, or was killed) is an orphan: the
// next editor offers it. The copies are written by a thread of their own, so
// that no keystroke waits for a book's bytes to reach the disk.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "core/fichiers/dtv.h"
#include "core/fichiers/secours.h"

class QLockFile;

namespace dotavob {

class GardeDeSecours {
public:
    // `dossier`: where the copies live; empty: the folder DOTAVOB_SECOURS
    // names, else "secours" in the user's data folder for this program.
    explicit GardeDeSecours(QString dossier = {});
    ~GardeDeSecours();
    GardeDeSecours(const GardeDeSecours&) = delete;
    GardeDeSecours& operator=(const GardeDeSecours&) = delete;

    // This editor's copy becomes this document (`nom`: its file, UTF-8, empty
    // when unnamed): written in the background, the newest asked winning.
    void garde(std::string nom, ContenuDocument contenu);
    // This editor's copy goes (the document was saved, or dropped on purpose),
    // after any write already under way.
    void oublie();
    // Returns once every write and removal asked is done.
    void attends();
    QString fichier() const { return fichier_; }
    QString dossier() const { return dossier_; }
    // The last write that failed, in French (empty when the last one went well).
    QString erreur() const;
    // Told, from the writing thread, each time a copy could not be written.
    std::function<void(const QString& erreur)> echec;

    // A copy left by an editor that no longer runs. While it is offered, its
    // lock is held: no other editor offers it at the same time.
    struct Orpheline {
        QString fichier;
        QDateTime date;
        bool lisible = false;
        CopieDeSecours copie;  // when readable
        QString erreur;        // when not, why
        std::shared_ptr<QLockFile> verrou;
    };
    QList<Orpheline> orphelines() const;
    // The orphan becomes this editor's copy (it stays until the document is
    // saved or dropped).
    bool adopte(const Orpheline& o);
    // Removed for good, or set aside where it is no longer offered (renamed
    // ".illisible"), kept for the user.
    static void supprime(const Orpheline& o);
    static void metDeCote(const Orpheline& o);

private:
    void travaille();

    QString dossier_, fichier_;
    std::unique_ptr<QLockFile> verrou_;
    mutable std::mutex m_;
    std::condition_variable travail_, fini_;
    struct Ecriture {
        std::string nom;
        ContenuDocument contenu;
    };
    // What is asked and not yet begun: a copy to write, or (nullopt inside) a removal.
    std::optional<std::optional<Ecriture>> demande_;
    bool enCours_ = false, arret_ = false;
    QString erreur_;
    std::thread ecrivain_;
};

}  // namespace dotavob
