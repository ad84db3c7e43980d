#include "plateforme/reglages.h"

#include <QSettings>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

const QString FORMAT = QStringLiteral("Format Page");
const QString EMBOSSEUSE = QStringLiteral("Embosseuse");
const QString SYNTHESE = QStringLiteral("synthvoc");

// A value that is missing reads as absent; one that is not a number too,
// and it is noted so that the user hears of it.
std::optional<int> entier(const QSettings& s, const QString& nom, QStringList& problemes) {
    if (!s.contains(nom)) return std::nullopt;
    bool ok = false;
    const int v = s.value(nom).toInt(&ok);
    if (!ok) problemes << s.group() + QLatin1Char('/') + nom;
    return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<bool> drapeau(const QSettings& s, const QString& nom, QStringList& problemes) {
    auto v = entier(s, nom, problemes);
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
    auto s = fichier_.isEmpty() ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                             QStringLiteral("KELMAR"), QStringLiteral("DotavoB"))
                                : std::make_unique<QSettings>(fichier_, QSettings::IniFormat);
    if (s->status() != QSettings::NoError) illisible_ = true;
    return s;
}

bool MagasinReglages::ferme(QSettings& s) {
    s.sync();
    if (s.status() == QSettings::NoError) return true;
    nonEnregistre_ = true;
    return false;
}

QString MagasinReglages::messageProblemes() {
    QStringList phrases;
    if (illisible_) phrases << QStringLiteral("Le fichier des réglages est illisible : les valeurs par défaut sont utilisées.");
    if (!problemes_.isEmpty())
        phrases << QStringLiteral("Des réglages enregistrés sont invalides (%1) : les valeurs par défaut sont utilisées.")
                       .arg(problemes_.join(QStringLiteral(", ")));
    if (nonEnregistre_) phrases << QStringLiteral("Les réglages n'ont pas pu être enregistrés.");
    illisible_ = nonEnregistre_ = false;
    problemes_.clear();
    return phrases.join(QLatin1Char('\n'));
}

bool MagasinReglages::ecritformat(const FormatStocke& f) {
    auto s = ouvre();
    s->beginGroup(FORMAT);
    ecrit(*s, QStringLiteral("version"), f.version);
    ecrit(*s, QStringLiteral("Lignes"), f.lignes);
    ecrit(*s, QStringLiteral("Caractères"), f.caracteres);
    ecrit(*s, QStringLiteral("Indentation"), f.indentation);
    ecrit(*s, QStringLiteral("Interligne double"), f.interligneDouble);
    ecrit(*s, QStringLiteral("Entete"), f.entete);
    ecrit(*s, QStringLiteral("Pied"), f.pied);
    return ferme(*s);
}

std::optional<FormatStocke> MagasinReglages::litformat() const {
    auto s = ouvre();
    if (!s->childGroups().contains(FORMAT)) return std::nullopt;
    s->beginGroup(FORMAT);
    FormatStocke f;
    f.version = entier(*s, QStringLiteral("version"), problemes_);
    f.lignes = entier(*s, QStringLiteral("Lignes"), problemes_);
    f.caracteres = entier(*s, QStringLiteral("Caractères"), problemes_);
    f.indentation = entier(*s, QStringLiteral("Indentation"), problemes_);
    f.interligneDouble = drapeau(*s, QStringLiteral("Interligne double"), problemes_);
    f.entete = drapeau(*s, QStringLiteral("Entete"), problemes_);
    f.pied = drapeau(*s, QStringLiteral("Pied"), problemes_);
    return f;
}

bool MagasinReglages::ecritfonte(const std::string& nom) {
    auto s = ouvre();
    s->beginGroup(FORMAT);
    s->setValue(QStringLiteral("Fonte"), versQString(nom));
    return ferme(*s);
}

bool MagasinReglages::litfonte(std::string& nom) const {
    auto s = ouvre();
    if (!s->childGroups().contains(FORMAT)) return false;
    s->beginGroup(FORMAT);
    const QString lu = s->value(QStringLiteral("Fonte")).toString();
    if (!lu.isEmpty()) nom = depuisQString(lu);
    return true;
}

bool MagasinReglages::ecritembosseuse(const ReglagesEmbosseuse& r) {
    auto s = ouvre();
    s->beginGroup(EMBOSSEUSE);
    ecrit(*s, QStringLiteral("Lignes"), r.lignes);
    ecrit(*s, QStringLiteral("Caractères"), r.caracteres);
    ecrit(*s, QStringLiteral("Marge gauche"), r.margeGauche);
    ecrit(*s, QStringLiteral("Marge haut"), r.margeHaut);
    ecrit(*s, QStringLiteral("Code"), r.code);
    return ferme(*s);
}

std::optional<ReglagesEmbosseuse> MagasinReglages::litembosseuse() const {
    auto s = ouvre();
    if (!s->childGroups().contains(EMBOSSEUSE)) return std::nullopt;
    s->beginGroup(EMBOSSEUSE);
    return ReglagesEmbosseuse{entier(*s, QStringLiteral("Lignes"), problemes_), entier(*s, QStringLiteral("Caractères"), problemes_),
                              entier(*s, QStringLiteral("Marge gauche"), problemes_), entier(*s, QStringLiteral("Marge haut"), problemes_),
                              entier(*s, QStringLiteral("Code"), problemes_)};
}

bool MagasinReglages::ecritsynthvoc(const ReglagesSynthese& r) {
    auto s = ouvre();
    s->beginGroup(SYNTHESE);
    s->setValue(QStringLiteral("voix"), versQString(r.voix));
    ecrit(*s, QStringLiteral("volume"), r.volume);
    ecrit(*s, QStringLiteral("vitesse"), r.vitesse);
    ecrit(*s, QStringLiteral("lecture"), r.lecture);
    ecrit(*s, QStringLiteral("pitch"), r.pitch);
    return ferme(*s);
}

std::optional<ReglagesSynthese> MagasinReglages::litsynthvoc() const {
    auto s = ouvre();
    if (!s->childGroups().contains(SYNTHESE)) return std::nullopt;
    s->beginGroup(SYNTHESE);
    ReglagesSynthese r;
    r.voix = depuisQString(s->value(QStringLiteral("voix")).toString());
    r.volume = entier(*s, QStringLiteral("volume"), problemes_);
    r.vitesse = entier(*s, QStringLiteral("vitesse"), problemes_);
    r.lecture = entier(*s, QStringLiteral("lecture"), problemes_);
    r.pitch = entier(*s, QStringLiteral("pitch"), problemes_);
    return r;
}

}  // namespace dotavob
