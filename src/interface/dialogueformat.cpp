#include "interface/dialogueformat.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "interface/groupesradio.h"
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

// A value typed by hand is brought into the range when the box is left,
// as one assigned by code is at once.
QSpinBox* compteur(QWidget* parent, const QString& nom, int min, int max) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(nom);
    s->setRange(min, max);
    s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return s;
}

// A template may not grow longer than a line, but what it already holds
// (a line made shorter, a document's own template) is never cut.
void limiteModele(QLineEdit* modele, int caracteres) {
    modele->setMaxLength(std::max(caracteres, static_cast<int>(modele->text().size())));
}

QPushButton* boutonsOkAnnuler(QDialog* d, QBoxLayout* l) {
    auto* boutons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), d);
    ok->setObjectName(QStringLiteral("boutok"));
    ok->setDefault(true);
    auto* annuler = new QPushButton(QStringLiteral("Annuler"), d);
    annuler->setObjectName(QStringLiteral("boutannuler"));
    QObject::connect(annuler, &QPushButton::clicked, d, &QDialog::reject);
    boutons->addStretch();
    boutons->addWidget(ok);
    boutons->addWidget(annuler);
    l->addLayout(boutons);
    return ok;
}

}  // namespace

TdlgFormatpage::TdlgFormatpage(MagasinReglages& reglages, QWidget* parent) : QDialog(parent), reglages_(reglages) {
    setObjectName(QStringLiteral("dlgFormatpage"));
    setWindowTitle(QStringLiteral("Format des pages"));
    auto* l = new QVBoxLayout(this);

    auto* tailles = new QGridLayout;
    spEdnblgpg_ = compteur(this, QStringLiteral("spEdnblgpg"), 10, 60);
    auto* etiquetteLignes = new QLabel(QStringLiteral("Nombre de lignes par page :"), this);
    etiquetteLignes->setBuddy(spEdnblgpg_);
    chbinterligne_ = new QCheckBox(QStringLiteral("Interligne double"), this);
    chbinterligne_->setObjectName(QStringLiteral("chbinterligne"));
    spednbcarlg_ = compteur(this, QStringLiteral("spednbcarlg"), 10, 50);
    auto* etiquetteCaracteres = new QLabel(QStringLiteral("Nombre de caractères par ligne :"), this);
    etiquetteCaracteres->setBuddy(spednbcarlg_);
    tailles->addWidget(etiquetteLignes, 0, 0);
    tailles->addWidget(spEdnblgpg_, 0, 1);
    tailles->addWidget(chbinterligne_, 0, 2);
    tailles->addWidget(etiquetteCaracteres, 1, 0);
    tailles->addWidget(spednbcarlg_, 1, 1);
    tailles->setColumnStretch(3, 1);
    l->addLayout(tailles);

    l->addWidget(creeBande(entete_, QStringLiteral("Entête"), QString(), QStringLiteral("Entête à partir de la page : ")));
    l->addWidget(creeBande(pied_, QStringLiteral("Pied de page"), QStringLiteral("1"),
                           QStringLiteral("Pied de page à partir de la page : ")));
    entete_.active->setObjectName(QStringLiteral("chbentete"));
    entete_.modele->setObjectName(QStringLiteral("Editentete"));
    entete_.premierePage->setObjectName(QStringLiteral("EditPremEntete"));
    pied_.active->setObjectName(QStringLiteral("chBPied"));
    pied_.modele->setObjectName(QStringLiteral("Editpied"));
    pied_.premierePage->setObjectName(QStringLiteral("EditPremPied"));
    l->addStretch();

    boutok_ = boutonsOkAnnuler(this, l);
    connect(boutok_, &QPushButton::clicked, this, &TdlgFormatpage::boutokClick);
    // clicked, not toggled: only the user's own click halves or doubles.
    connect(chbinterligne_, &QCheckBox::clicked, this, &TdlgFormatpage::chbinterligneClick);
    connect(spednbcarlg_, &QSpinBox::valueChanged, this, [this](int v) {
        limiteModele(entete_.modele, v);
        limiteModele(pied_.modele, v);
    });

    fixeFormat(FormatPage{});
    setFixedSize(QSize(484, 533).expandedTo(sizeHint()));
}

QWidget* TdlgFormatpage::creeBande(ControlesBande& c, const QString& titre, const QString& suffixe,
                                    const QString& premiere) {
    auto* cadre = new QGroupBox(this);
    auto* l = new QVBoxLayout(cadre);
    c.active = new QCheckBox(titre, cadre);
    auto* aide = new QLabel(QStringLiteral("Numéro page [P]  nombre de page [T]"), cadre);
    c.modele = new QLineEdit(cadre);
    aide->setBuddy(c.modele);
    // The header's and the footer's fields share the help text: each says whose it is.
    c.modele->setAccessibleName(QStringLiteral("Texte : %1").arg(titre));
    c.modele->setAccessibleDescription(aide->text());
    c.alignement = new QButtonGroup(cadre);
    auto* radios = new QHBoxLayout;
    const QString noms[] = {QStringLiteral("RBGauche"), QStringLiteral("RBCentre"), QStringLiteral("RBDroite")};
    const QString textes[] = {QStringLiteral("Gauche"), QStringLiteral("Centré"), QStringLiteral("Droite")};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(textes[i], cadre);
        rb->setObjectName(noms[i] + suffixe);
        c.alignement->addButton(rb, i);  // the ids follow Alignement
        radios->addWidget(rb);
    }
    radios->addStretch();
    groupeRadio(c.alignement->buttons());
    c.premierePage = compteur(cadre, QString(), 1, 100);
    auto* etiquette = new QLabel(premiere, cadre);
    etiquette->setBuddy(c.premierePage);
    auto* ligne = new QHBoxLayout;
    ligne->addWidget(etiquette);
    ligne->addWidget(c.premierePage);
    ligne->addStretch();
    l->addWidget(c.active);
    l->addWidget(aide);
    l->addWidget(c.modele);
    l->addLayout(radios);
    l->addLayout(ligne);
    QLineEdit* modele = c.modele;
    connect(c.active, &QCheckBox::toggled, modele, &QWidget::setEnabled);
    connect(modele, &QLineEdit::textChanged, this, [this, modele] { limiteModele(modele, spednbcarlg_->value()); });
    return cadre;
}

void TdlgFormatpage::fixeBande(ControlesBande& c, const Bande& b) {
    c.active->setChecked(b.active);
    c.modele->setEnabled(b.active);
    c.modele->setMaxLength(32767);  // setText would cut to the old limit
    c.modele->setText(QString::fromStdString(cp1252VersUtf8(b.texte)));
    limiteModele(c.modele, spednbcarlg_->value());
    c.alignement->button(static_cast<int>(b.alignement))->setChecked(true);
    c.premierePage->setValue(b.premierePage);
}

Bande TdlgFormatpage::bande(const ControlesBande& c) const {
    Bande b;
    b.active = c.active->isChecked();
    b.texte = utf8VersCp1252(c.modele->text().toStdString());
    b.alignement = static_cast<Alignement>(c.alignement->checkedId());
    b.premierePage = c.premierePage->value();
    return b;
}

void TdlgFormatpage::fixeFormat(const FormatPage& f) {
    base_ = f;
    spEdnblgpg_->setValue(f.lignes);
    spednbcarlg_->setValue(f.caracteres);
    chbinterligne_->setChecked(f.interligneDouble);
    fixeBande(entete_, f.entete);
    fixeBande(pied_, f.pied);
}

FormatPage TdlgFormatpage::format() const {
    FormatPage f = base_;
    f.lignes = spEdnblgpg_->value();
    f.caracteres = spednbcarlg_->value();
    f.interligneDouble = chbinterligne_->isChecked();
    f.entete = bande(entete_);
    f.pied = bande(pied_);
    f.derive();
    return f;
}

bool TdlgFormatpage::edite() { return exec() == QDialog::Accepted; }

void TdlgFormatpage::showEvent(QShowEvent* e) {
    if (!e->spontaneous()) ouverture_ = format();
    QDialog::showEvent(e);
}

void TdlgFormatpage::done(int resultat) {
    QDialog::done(resultat);
    if (resultat != QDialog::Accepted) fixeFormat(ouverture_);
}

void TdlgFormatpage::chbinterligneClick(bool coche) {
    // A format loaded into the hidden dialog keeps its number of lines.
    if (!isVisible()) return;
    spEdnblgpg_->interpretText();  // a number being typed is the one halved
    FormatPage f = format();
    f.basculeInterligne(coche);
    spEdnblgpg_->setValue(f.lignes);
}

void TdlgFormatpage::boutokClick() {
    // A number still being typed counts, clamped.
    for (QSpinBox* s : {spEdnblgpg_, spednbcarlg_, entete_.premierePage, pied_.premierePage}) s->interpretText();
    reglages_.ecritformat(formatAStocker(format()));
    accept();
}

TdlgIndent::TdlgIndent(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgIndent"));
    setWindowTitle(QStringLiteral("Indentation des paragraphes"));
    auto* l = new QVBoxLayout(this);
    auto* ligne = new QHBoxLayout;
    auto* etiquette = new QLabel(QStringLiteral("Indentation paragraphe (0 à 5):"), this);
    spEdIndent_ = compteur(this, QStringLiteral("spEdIndent"), 0, 5);
    spEdIndent_->setValue(2);
    etiquette->setBuddy(spEdIndent_);
    ligne->addWidget(etiquette);
    ligne->addWidget(spEdIndent_);
    ligne->addWidget(new QLabel(QStringLiteral("caractères"), this));
    ligne->addStretch();
    l->addLayout(ligne);
    l->addStretch();
    QPushButton* ok = boutonsOkAnnuler(this, l);
    connect(ok, &QPushButton::clicked, this, [this] {
        spEdIndent_->interpretText();
        accept();
    });
    setFixedSize(QSize(343, 143).expandedTo(sizeHint()));
}

void TdlgIndent::fixeIndentation(int v) { spEdIndent_->setValue(v); }
int TdlgIndent::indentation() const { return spEdIndent_->value(); }
bool TdlgIndent::edite() { return exec() == QDialog::Accepted; }

void TdlgIndent::showEvent(QShowEvent* e) {
    if (!e->spontaneous()) ouverture_ = indentation();
    QDialog::showEvent(e);
}

void TdlgIndent::done(int resultat) {
    QDialog::done(resultat);
    if (resultat != QDialog::Accepted) fixeIndentation(ouverture_);
}

}  // namespace dotavob
