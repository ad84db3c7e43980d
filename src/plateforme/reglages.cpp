#include "plateforme/reglages.h"

#include <QSettings>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

const QString FORMAT = QStringLiteral("Format Page");
const QString EMBOSSEUSE = QStringLiteral("Embosseuse");
const QString SYNTHESE = QStringLiteral("synthvoc");

// A value that is missing, or not a number, reads as absent.
std::optional<int> entier(const QSettings& s, const QString& nom) {
    if (!s.contains(nom)) return std::nullopt;
    bool ok = false;
    const int v = s.value(nom).toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<bool> drapeau(const QSettings& s, const QString& nom) {
    auto v = entier(s, nom);
    return v ? std::optional<bool>(*v != 0) : std::nullopt;
}

template <class T>
void ecrit(QSettings& s, const QString& nom, const std::optional<T>& v) {
    if (v) s.setValue(nom, static_cast<int>(*v));
}

QString versQString(const std::string& cp1252) { return QString::fromStdString(cp1252VersUtf8(cp1252)); }
std::string depuisQString(const QString& s) { return utf8VersCp1252(s.toStdString()); }

}  // namespace

std::unique_ptr<QSettings> MagasinReglages::ouvre() const {
    if (!fichier_.isEmpty()) return std::make_unique<QSettings>(fichier_, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KELMAR"),
                                       QStringLiteral("DotavoB"));
}

void MagasinReglages::ecritformat(const FormatStocke& f) {
    auto s = ouvre();
    s->beginGroup(FORMAT);
    ecrit(*s, QStringLiteral("version"), f.version);
    ecrit(*s, QStringLiteral("Lignes"), f.lignes);
    ecrit(*s, QStringLiteral("Caractères"), f.caracteres);
    ecrit(*s, QStringLiteral("Indentation"), f.indentation);
    ecrit(*s, QStringLiteral("Interligne double"), f.interligneDouble);
    ecrit(*s, QStringLiteral("Entete"), f.entete);
    ecrit(*s, QStringLiteral("Pied"), f.pied);
}

std::optional<FormatStocke> MagasinReglages::litformat() const {
    auto s = ouvre();
    if (!s->childGroups().contains(FORMAT)) return std::nullopt;
    s->beginGroup(FORMAT);
    FormatStocke f;
    f.version = entier(*s, QStringLiteral("version"));
    f.lignes = entier(*s, QStringLiteral("Lignes"));
    f.caracteres = entier(*s, QStringLiteral("Caractères"));
    f.indentation = entier(*s, QStringLiteral("Indentation"));
    f.interligneDouble = drapeau(*s, QStringLiteral("Interligne double"));
    f.entete = drapeau(*s, QStringLiteral("Entete"));
    f.pied = drapeau(*s, QStringLiteral("Pied"));
    return f;
}

void MagasinReglages::ecritfonte(const std::string& nom) {
    auto s = ouvre();
    s->beginGroup(FORMAT);
    s->setValue(QStringLiteral("Fonte"), versQString(nom));
}

bool MagasinReglages::litfonte(std::string& nom) const {
    auto s = ouvre();
    if (!s->childGroups().contains(FORMAT)) return false;
    s->beginGroup(FORMAT);
    const QString lu = s->value(QStringLiteral("Fonte")).toString();
    if (!lu.isEmpty()) nom = depuisQString(lu);
    return true;
}

void MagasinReglages::ecritembosseuse(const ReglagesEmbosseuse& r) {
    auto s = ouvre();
    s->beginGroup(EMBOSSEUSE);
    ecrit(*s, QStringLiteral("Lignes"), r.lignes);
    ecrit(*s, QStringLiteral("Caractères"), r.caracteres);
    ecrit(*s, QStringLiteral("Marge gauche"), r.margeGauche);
    ecrit(*s, QStringLiteral("Marge haut"), r.margeHaut);
    ecrit(*s, QStringLiteral("Code"), r.code);
}

std::optional<ReglagesEmbosseuse> MagasinReglages::litembosseuse() const {
    auto s = ouvre();
    if (!s->childGroups().contains(EMBOSSEUSE)) return std::nullopt;
    s->beginGroup(EMBOSSEUSE);
    return ReglagesEmbosseuse{entier(*s, QStringLiteral("Lignes")), entier(*s, QStringLiteral("Caractères")),
                              entier(*s, QStringLiteral("Marge gauche")), entier(*s, QStringLiteral("Marge haut")),
                              entier(*s, QStringLiteral("Code"))};
}

void MagasinReglages::ecritsynthvoc(const ReglagesSynthese& r) {
    auto s = ouvre();
    s->beginGroup(SYNTHESE);
    s->setValue(QStringLiteral("voix"), versQString(r.voix));
    ecrit(*s, QStringLiteral("volume"), r.volume);
    ecrit(*s, QStringLiteral("vitesse"), r.vitesse);
    ecrit(*s, QStringLiteral("lecture"), r.lecture);
    ecrit(*s, QStringLiteral("pitch"), r.pitch);
}

std::optional<ReglagesSynthese> MagasinReglages::litsynthvoc() const {
    auto s = ouvre();
    if (!s->childGroups().contains(SYNTHESE)) return std::nullopt;
    s->beginGroup(SYNTHESE);
    ReglagesSynthese r;
    r.voix = depuisQString(s->value(QStringLiteral("voix")).toString());
    r.volume = entier(*s, QStringLiteral("volume"));
    r.vitesse = entier(*s, QStringLiteral("vitesse"));
    r.lecture = entier(*s, QStringLiteral("lecture"));
    r.pitch = entier(*s, QStringLiteral("pitch"));
    return r;
}

}  // namespace dotavob
