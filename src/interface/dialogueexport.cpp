#include "interface/dialogueexport.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "interface/groupesradio.h"

namespace dotavob {

TdlgExport::TdlgExport(std::function<QString(FormatExport)> fichier,
                       std::function<bool(FormatExport, const QString&)> exporte, QWidget* parent)
    : QDialog(parent), fichier_(std::move(fichier)), exporte_(std::move(exporte)) {
    setObjectName(QStringLiteral("dlgExport"));
    setWindowTitle(QStringLiteral("Exportation"));
    auto* l = new QVBoxLayout(this);
    auto bouton = [this](QWidget* groupe, QLayout* gl, const QString& texte, const char* nom) {
        auto* b = new QRadioButton(texte, groupe);
        b->setObjectName(QString::fromLatin1(nom));
        gl->addWidget(b);
        return b;
    };
    auto* format = new QGroupBox(QStringLiteral("Format"), this);
    auto* fl = new QVBoxLayout(format);
    RBFr_ = bouton(format, fl, QStringLiteral("Code Français"), "RBFr");
    RBUS_ = bouton(format, fl, QStringLiteral("Code US"), "RBUS");
    RBUnicode_ = bouton(format, fl, QStringLiteral("Braille Unicode"), "RBUnicode");
    RBPef_ = bouton(format, fl, QStringLiteral("PEF (pages embossées)"), "RBPef");
    RBBrfPages_ = bouton(format, fl, QStringLiteral("BRF (pages mises en forme)"), "RBBrfPages");
    l->addWidget(format);
    auto* destination = new QGroupBox(QStringLiteral("Destination"), this);
    auto* dl = new QVBoxLayout(destination);
    RBPP_ = bouton(destination, dl, QStringLiteral("Presse-papier"), "RBPP");
    RBFichier_ = bouton(destination, dl, QStringLiteral("Fichier texte"), "RBFichier");
    l->addWidget(destination);
    RBUS_->setChecked(true);
    RBPP_->setChecked(true);
    groupeRadio({RBFr_, RBUS_, RBUnicode_, RBPef_, RBBrfPages_});
    groupeRadio({RBPP_, RBFichier_});
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

FormatExport TdlgExport::format() const {
    if (RBFr_->isChecked()) return FormatExport::CodeFrancais;
    if (RBUnicode_->isChecked()) return FormatExport::Unicode;
    if (RBPef_->isChecked()) return FormatExport::Pef;
    if (RBBrfPages_->isChecked()) return FormatExport::BrfPages;
    return FormatExport::CodeUS;
}

void TdlgExport::ok() {
    QString nom;
    if (RBFichier_->isChecked()) {
        nom = fichier_(format());
        if (nom.isEmpty()) return;  // the save dialog cancelled: this one stays open
    }
    if (exporte_(format(), nom)) accept();
}

}  // namespace dotavob
