#include "interface/dialoguerecherche.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "interface/groupesradio.h"
#include <QVBoxLayout>

namespace dotavob {

TDlgRecheche::TDlgRecheche(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DlgRecheche"));
    setWindowTitle(QStringLiteral("Recherche"));
    setFixedSize(415, 155);
    auto* l = new QVBoxLayout(this);
    auto* etiquette = new QLabel(QStringLiteral("Texte à rechercher"), this);
    EditRecherche_ = new QLineEdit(this);
    EditRecherche_->setObjectName(QStringLiteral("EditRecherche"));
    etiquette->setBuddy(EditRecherche_);
    RBTout_ = new QRadioButton(QStringLiteral("Dans tout le texte"), this);
    RBTout_->setObjectName(QStringLiteral("RBTout"));
    RBCurseur_ = new QRadioButton(QStringLiteral("à partir du curseur"), this);
    RBCurseur_->setObjectName(QStringLiteral("RBCurseur"));
    RBTout_->setChecked(true);
    groupeRadio({RBTout_, RBCurseur_});
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    l->addWidget(etiquette);
    l->addWidget(EditRecherche_);
    l->addWidget(RBTout_);
    l->addWidget(RBCurseur_);
    l->addWidget(boutons);
}

bool TDlgRecheche::edite() {
    EditRecherche_->setFocus();
    EditRecherche_->selectAll();
    return exec() == QDialog::Accepted;
}

QString TDlgRecheche::texte() const { return EditRecherche_->text(); }
void TDlgRecheche::fixeTexte(const QString& t) { EditRecherche_->setText(t); }
bool TDlgRecheche::depuisDebut() const { return RBTout_->isChecked(); }
void TDlgRecheche::fixeDepuisDebut(bool b) { (b ? RBTout_ : RBCurseur_)->setChecked(true); }

}  // namespace dotavob
