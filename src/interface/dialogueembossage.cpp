#include "interface/dialogueembossage.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "interface/groupesradio.h"

namespace dotavob {

TDlgOptEmb::TDlgOptEmb(MagasinReglages& reglages, QWidget* parent) : QDialog(parent), reglages_(reglages) {
    setObjectName(QStringLiteral("DlgOptEmb"));
    setWindowTitle(QStringLiteral("Options d'embossage"));
    auto* l = new QVBoxLayout(this);
    sur_ = new QLabel(this);
    l->addWidget(sur_);
    auto* champs = new QFormLayout;
    auto spin = [this](const char* nom) {
        auto* s = new QSpinBox(this);
        s->setObjectName(QString::fromLatin1(nom));
        return s;
    };
    editcaracteres_ = spin("editcaracteres");
    editcaracteres_->setRange(1, 255);
    editnblignesparpage_ = spin("editnblignesparpage");
    editnblignesparpage_->setRange(1, 255);
    editmargeH_ = spin("editmargeH");
    editMargeG_ = spin("editMargeG");
    champs->addRow(QStringLiteral("Caractères par ligne :"), editcaracteres_);
    champs->addRow(QStringLiteral("Lignes par page :"), editnblignesparpage_);
    champs->addRow(QStringLiteral("Marge du haut (lignes) :"), editmargeH_);
    champs->addRow(QStringLiteral("Marge de gauche (caractères) :"), editMargeG_);
    l->addLayout(champs);
    // The margins stay inside the page.
    connect(editnblignesparpage_, &QSpinBox::valueChanged, this, [this](int v) { editmargeH_->setMaximum(v - 1); });
    connect(editcaracteres_, &QSpinBox::valueChanged, this, [this](int v) { editMargeG_->setMaximum(v - 1); });
    RBCodeUS_ = new QRadioButton(QStringLiteral("Code US"), this);
    RBCodeUS_->setObjectName(QStringLiteral("RBCodeUS"));
    RBCodeFR_ = new QRadioButton(QStringLiteral("Code Français"), this);
    RBCodeFR_->setObjectName(QStringLiteral("RBCodeFR"));
    RBCodeUS_->setChecked(true);
    groupeRadio({RBCodeUS_, RBCodeFR_});
    l->addWidget(RBCodeUS_);
    l->addWidget(RBCodeFR_);
    fichier_ = new QCheckBox(QStringLiteral("Enregistrer les octets dans un fichier"), this);
    l->addWidget(fichier_);
    auto* boutons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* abandon = new QPushButton(QStringLiteral("Abandon"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(abandon, &QPushButton::clicked, this, &QDialog::reject);
    boutons->addStretch();
    boutons->addWidget(ok);
    boutons->addWidget(abandon);
    l->addLayout(boutons);
}

ReglagesEmbossage TDlgOptEmb::reglagesEnregistres(const FormatPage& format) const {
    const auto stocke = reglages_.litembosseuse();
    ReglagesEmbossage r;
    r.caracteresParLigne = stocke && stocke->caracteres ? *stocke->caracteres : format.cpl;
    r.lignesParPage = std::clamp(stocke && stocke->lignes ? *stocke->lignes : lignesPhysiques(format), 1, 255);
    r.margeHaut = std::clamp(stocke && stocke->margeHaut ? *stocke->margeHaut : 0, 0, r.lignesParPage - 1);
    r.margeGauche = std::clamp(stocke && stocke->margeGauche ? *stocke->margeGauche : 0, 0,
                               std::max(0, r.caracteresParLigne - 1));
    r.codeUS = !(stocke && stocke->code && *stocke->code != 1);
    return r;
}

bool TDlgOptEmb::edite(const QString& imprimante, const FormatPage& format) {
    const ReglagesEmbossage r0 = reglagesEnregistres(format);
    // The width starts at the document's: one stored by an earlier job for a
    // narrower document would cut every line.
    editcaracteres_->setValue(std::clamp<int>(format.cpl, 1, 255));
    editnblignesparpage_->setValue(r0.lignesParPage);
    editmargeH_->setMaximum(editnblignesparpage_->value() - 1);
    editMargeG_->setMaximum(editcaracteres_->value() - 1);
    editmargeH_->setValue(r0.margeHaut);
    editMargeG_->setValue(r0.margeGauche);
    (r0.codeUS ? RBCodeUS_ : RBCodeFR_)->setChecked(true);
    sur_->setText(QStringLiteral("Sur <b>%1</b>").arg(imprimante.toHtmlEscaped()));
    // Said with the first field, where the keyboard starts.
    const QString embosseuse =
        QStringLiteral("Embosseuse : %1").arg(imprimante.isEmpty() ? QStringLiteral("aucune") : imprimante);
    sur_->setAccessibleName(embosseuse);
    editcaracteres_->setAccessibleDescription(embosseuse);
    if (exec() != QDialog::Accepted) return false;
    ReglagesEmbosseuse r;
    r.lignes = editnblignesparpage_->value();
    r.caracteres = editcaracteres_->value();
    r.margeGauche = editMargeG_->value();
    r.margeHaut = editmargeH_->value();
    r.code = RBCodeUS_->isChecked() ? 1 : 0;
    reglages_.ecritembosseuse(r);
    return true;
}

ReglagesEmbossage TDlgOptEmb::reglages() const {
    ReglagesEmbossage r;
    r.caracteresParLigne = editcaracteres_->value();
    r.lignesParPage = editnblignesparpage_->value();
    r.margeHaut = editmargeH_->value();
    r.margeGauche = editMargeG_->value();
    r.codeUS = RBCodeUS_->isChecked();
    return r;
}

bool TDlgOptEmb::versFichier() const { return fichier_->isChecked(); }

Tsuiviembossage::Tsuiviembossage(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("suiviembossage"));
    setWindowTitle(QStringLiteral("Embossage"));
    // While pages go out, the document must not change under them.
    setWindowModality(Qt::ApplicationModal);
    // Pages that go out take nothing from the keyboard: a window that takes it
    // and goes at once left the window manager giving it to a window gone, and
    // the editor's keys dead. It takes the keyboard when it asks something.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* l = new QVBoxLayout(this);
    etiquette_ = new QLabel(this);
    etiquette_->setMinimumWidth(300);
    l->addWidget(etiquette_);
    auto* boutons = new QHBoxLayout;
    continuer_ = new QPushButton(QStringLiteral("Continuer"), this);
    abandon_b_ = new QPushButton(QStringLiteral("Abandon"), this);
    terminer_ = new QPushButton(QStringLiteral("Terminer"), this);
    connect(continuer_, &QPushButton::clicked, this, &QDialog::accept);
    connect(abandon_b_, &QPushButton::clicked, this, &Tsuiviembossage::reject);
    connect(terminer_, &QPushButton::clicked, this, &QDialog::accept);
    for (auto* b : {continuer_, abandon_b_, terminer_}) {
        boutons->addWidget(b);
        b->hide();
    }
    l->addLayout(boutons);
}

void Tsuiviembossage::reject() {
    abandon_ = true;
    QDialog::reject();
}

void Tsuiviembossage::commence(const QString& nomfichier) {
    setWindowTitle(QStringLiteral("Embossage de ") + nomfichier);
    abandon_ = false;
    depuis_.start();
}

bool Tsuiviembossage::page(std::int32_t p) {
    etiquette_->setText(QStringLiteral("Envoi de la page :%1").arg(p));
    for (auto* b : {continuer_, abandon_b_, terminer_}) b->hide();
    // The user sees the pages go and can abort between two pages, once the
    // job lasts: a window shown and gone in a moment only made the window
    // manager give the keyboard to a window gone.
    if (isVisible() || depuis_.elapsed() >= DELAI_AVANT_SUIVI_MS) show();
    // Until it shows, the window stays alive but takes no key or click: the
    // document must not change under the pages going out.
    QApplication::processEvents(isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !abandon_;
}

bool Tsuiviembossage::reessaie() {
    etiquette_->setText(etiquette_->text() + QStringLiteral("\nAttention buffer plein !"));
    terminer_->hide();
    continuer_->show();
    abandon_b_->show();
    hide();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    exec();
    setAttribute(Qt::WA_ShowWithoutActivating);
    return !abandon_;
}

bool Tsuiviembossage::attend() {
    if (abandon_) return false;
    if (!abandon_b_->isVisible()) {
        etiquette_->setText(QStringLiteral("En attente de l'embosseuse\u2026"));
        continuer_->hide();
        terminer_->hide();
        abandon_b_->show();
        show();
        activateWindow();
        abandon_b_->setFocus();
    }
    QApplication::processEvents();
    return !abandon_;
}

void Tsuiviembossage::termine() {
    etiquette_->setText(QStringLiteral("Embossage terminé"));
    continuer_->hide();
    abandon_b_->hide();
    terminer_->show();
    hide();
}

}  // namespace dotavob
