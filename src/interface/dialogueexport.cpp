#include "interface/dialogueexport.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dotavob {

TdlgExport::TdlgExport(std::function<QString()> fichier, std::function<bool(bool, const QString&)> exporte,
                       QWidget* parent)
    : QDialog(parent), fichier_(std::move(fichier)), exporte_(std::move(exporte)) {
    setObjectName(QStringLiteral("dlgExport"));
    setWindowTitle(QStringLiteral("Exportation"));
    auto* l = new QVBoxLayout(this);
    auto groupe = [this, l](const QString& titre, QRadioButton*& a, const QString& ta, const char* na, QRadioButton*& b,
                            const QString& tb, const char* nb) {
        auto* g = new QGroupBox(titre, this);
        auto* gl = new QVBoxLayout(g);
        a = new QRadioButton(ta, g);
        a->setObjectName(QString::fromLatin1(na));
        b = new QRadioButton(tb, g);
        b->setObjectName(QString::fromLatin1(nb));
        gl->addWidget(a);
        gl->addWidget(b);
        l->addWidget(g);
    };
    groupe(QStringLiteral("Format"), RBFr_, QStringLiteral("Code Français"), "RBFr", RBUS_, QStringLiteral("Code US"),
           "RBUS");
    groupe(QStringLiteral("Destination"), RBPP_, QStringLiteral("Presse-papier"), "RBPP", RBFichier_,
           QStringLiteral("Fichier texte"), "RBFichier");
    RBUS_->setChecked(true);
    RBPP_->setChecked(true);
    // The keyboard starts on the code: Tab reaches the destination, arrows choose.
    RBUS_->setFocus();
    auto* boutons = new QHBoxLayout;
    auto* boutok = new QPushButton(QStringLiteral("OK"), this);
    boutok->setObjectName(QStringLiteral("boutok"));
    boutok->setDefault(true);
    auto* annuler = new QPushButton(QStringLiteral("Annuler"), this);
    connect(boutok, &QPushButton::clicked, this, &TdlgExport::ok);
    connect(annuler, &QPushButton::clicked, this, &QDialog::reject);
    boutons->addStretch();
    boutons->addWidget(boutok);
    boutons->addWidget(annuler);
    l->addLayout(boutons);
}

void TdlgExport::ok() {
    QString nom;
    if (RBFichier_->isChecked()) {
        nom = fichier_();
        if (nom.isEmpty()) return;  // the save dialog cancelled: this one stays open
    }
    if (exporte_(RBFr_->isChecked(), nom)) accept();
}

}  // namespace dotavob
