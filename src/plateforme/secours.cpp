#include "plateforme/secours.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace dotavob {
namespace {

const QString EXTENSION = QStringLiteral(".copie");

QString dossierParDefaut() {
    const QString choisi = qEnvironmentVariable("DOTAVOB_SECOURS");
    if (!choisi.isEmpty()) return choisi;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("secours"));
}

// A lock that only a running editor holds: its owner is known by its
// process (on this machine), whatever its age.
std::unique_ptr<QLockFile> verrouDe(const QString& dossier, const QString& id) {
    auto v = std::make_unique<QLockFile>(QDir(dossier).filePath(id + QStringLiteral(".verrou")));
    v->setStaleLockTime(0);
    return v;
}

}  // namespace

GardeDeSecours::GardeDeSecours(QString dossier) : dossier_(dossier.isEmpty() ? dossierParDefaut() : std::move(dossier)) {
    // Unsaved documents: for the user's eyes only.
    QDir().mkpath(dossier_);
    QFile::setPermissions(dossier_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString id = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    fichier_ = QDir(dossier_).filePath(id + EXTENSION);
    verrou_ = verrouDe(dossier_, id);
    (void)verrou_->tryLock(0);
    ecrivain_ = std::thread([this] { travaille(); });
}

GardeDeSecours::~GardeDeSecours() {
    {
        std::lock_guard l(m_);
        arret_ = true;
    }
    travail_.notify_all();
    ecrivain_.join();
}

void GardeDeSecours::garde(std::string nom, ContenuDocument contenu) {
    {
        std::lock_guard l(m_);
        demande_ = std::optional<Ecriture>(Ecriture{std::move(nom), std::move(contenu)});
    }
    travail_.notify_all();
}

void GardeDeSecours::oublie() {
    {
        std::lock_guard l(m_);
        demande_ = std::optional<Ecriture>();
    }
    travail_.notify_all();
}

void GardeDeSecours::attends() {
    std::unique_lock l(m_);
    fini_.wait(l, [this] { return !demande_ && !enCours_; });
}

QString GardeDeSecours::erreur() const {
    std::lock_guard l(m_);
    return erreur_;
}

void GardeDeSecours::travaille() {
    const std::string chemin = fichier_.toStdString();
    for (;;) {
        std::unique_lock l(m_);
        travail_.wait(l, [this] { return demande_ || arret_; });
        if (!demande_) return;  // stopped, nothing left to do
        std::optional<Ecriture> e = std::move(*demande_);
        demande_.reset();
        enCours_ = true;
        l.unlock();
        std::string erreur;
        try {
            if (e) {
                // The document as a save writes it: what a recovery gives back.
                const std::string octets = ecritCopieDeSecours({std::move(e->nom), ecritDtv(e->contenu)});
                (void)ecritFichierAtomique(chemin, octets, erreur, {}, {});
            } else {
                QFile::remove(fichier_);
            }
        } catch (const std::bad_alloc&) {
            erreur = "mémoire insuffisante pour la copie de secours";
        }
        if (!erreur.empty() && echec) echec(QString::fromStdString(erreur));
        l.lock();
        erreur_ = QString::fromStdString(erreur);
        enCours_ = false;
        fini_.notify_all();
    }
}

QList<GardeDeSecours::Orpheline> GardeDeSecours::orphelines() const {
    QList<Orpheline> r;
    const QFileInfoList copies =
        QDir(dossier_).entryInfoList({QStringLiteral("*") + EXTENSION}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& f : copies) {
        if (f.absoluteFilePath() == QFileInfo(fichier_).absoluteFilePath()) continue;
        // Its editor's lock is free only when that editor no longer runs.
        std::shared_ptr<QLockFile> verrou = verrouDe(dossier_, f.completeBaseName());
        if (!verrou->tryLock(0)) continue;
        Orpheline o;
        o.fichier = f.absoluteFilePath();
        o.date = f.lastModified();
        o.verrou = std::move(verrou);
        std::string octets, erreur;
        // A copy holds a document of the largest size, and its name besides.
        if (!lisFichier(o.fichier.toStdString(), octets, erreur, TAILLE_MAXIMALE_FICHIER + (std::size_t{1} << 20)))
            o.erreur = QString::fromStdString(erreur);
        else if (!litCopieDeSecours(octets, o.copie, erreur))
            o.erreur = QString::fromStdString(erreur);
        else
            o.lisible = true;
        r.append(std::move(o));
    }
    return r;
}

bool GardeDeSecours::adopte(const Orpheline& o) {
    attends();
    QFile::remove(fichier_);
    if (!QFile::rename(o.fichier, fichier_)) return false;
    o.verrou->unlock();
    return true;
}

void GardeDeSecours::supprime(const Orpheline& o) {
    QFile::remove(o.fichier);
    o.verrou->unlock();
}

void GardeDeSecours::metDeCote(const Orpheline& o) {
    QFile::rename(o.fichier, o.fichier + QStringLiteral(".illisible"));
    o.verrou->unlock();
}

}  // namespace dotavob
