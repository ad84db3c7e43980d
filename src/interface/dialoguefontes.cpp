#include "interface/dialoguefontes.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "core/braille/codes.h"

namespace dotavob {
namespace {

const QString COURIER = QStringLiteral("Courier New");

// Each entry drawn in the font it names, two pixels shorter than its row.
class DessinFonte : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int hauteur = 20;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        QFont f(index.data().toString());
        f.setPixelSize(hauteur - 2);
        option->font = f;
        option->fontMetrics = QFontMetrics(f);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), hauteur};
    }
};

}  // namespace

QStringList fontesFixes() {
    QStringList r;
    for (const QString& f : QFontDatabase::families()) {
        if (f.startsWith(QLatin1Char('@')) || !QFontDatabase::isFixedPitch(f) ||
            !QFontDatabase::writingSystems(f).contains(QFontDatabase::Latin))
            continue;
        if (QString::fromStdString(cp1252VersUtf8(utf8VersCp1252(f.toStdString()))) != f) continue;
        r << f;
    }
    r.removeDuplicates();
    r.sort(Qt::CaseInsensitive);
    return r;
}

bool fonteinstallee(const QString& nom) { return fontesFixes().contains(nom, Qt::CaseSensitive); }

QString choisitfonte(const QString& nomDemande, QWidget* parent, const std::function<void(const QString&)>& informe) {
    // "Courier New" is the fallback: it is taken as it is, wherever it resolves.
    if (nomDemande == COURIER || fonteinstallee(nomDemande)) return nomDemande;
    // A name from a file may be of any length: the message quotes its start.
    const QString cite = nomDemande.size() > 40 ? nomDemande.left(40) + QStringLiteral("…") : nomDemande;
    const QString message = QStringLiteral("La police de caractères : ") + cite +
                            QStringLiteral(" n'existe pas sur cet ordinateur\nelle sera remplacée par la police \"") +
                            COURIER + QLatin1Char('"');
    if (informe)
        informe(message);
    else
        QMessageBox::information(parent, QStringLiteral("DotavoB"), message);
    return COURIER;
}

Tdlgfontes::Tdlgfontes(MagasinReglages& reglages, QWidget* parent) : QDialog(parent), reglages_(reglages) {
    setObjectName(QStringLiteral("dlgfontes"));
    setWindowTitle(QStringLiteral("Choix de la police de caractères"));
    auto* l = new QVBoxLayout(this);
    liste_ = new QListWidget(this);
    liste_->setObjectName(QStringLiteral("listeFontes"));
    liste_->setAccessibleName(QStringLiteral("Polices de caractères"));
    liste_->setItemDelegate(new DessinFonte(liste_));
    liste_->setUniformItemSizes(true);
    l->addWidget(liste_);
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    boutons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("boutok"));
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    boutons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("boutannuler"));
    connect(boutons, &QDialogButtonBox::accepted, this, &Tdlgfontes::valide);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(liste_, &QListWidget::itemDoubleClicked, this, &Tdlgfontes::valide);
    l->addWidget(boutons);
    setFixedSize(QSize(342, 368).expandedTo(sizeHint()));
}

bool Tdlgfontes::choisit(QString& nom) {
    nomChoisi_ = nom;
    if (exec() != QDialog::Accepted) return false;
    nom = nomChoisi_;
    reglages_.ecritfonte(utf8VersCp1252(nom.toStdString()));
    return true;
}

void Tdlgfontes::showEvent(QShowEvent* e) {
    if (!e->spontaneous()) {
        // Fonts may have come or gone since the last time.
        liste_->clear();
        liste_->addItems(fontesFixes());
        // A name the list lacks ("Courier New" is often an alias) shows the
        // family it resolves to.
        const QString resolue = QFontInfo(QFont(nomChoisi_)).family();
        preselection_.clear();
        for (const QString& nom : {nomChoisi_, resolue}) {
            const auto trouves = liste_->findItems(nom, Qt::MatchExactly);
            if (trouves.isEmpty()) continue;
            liste_->setCurrentItem(trouves.front());
            liste_->scrollToItem(trouves.front());
            preselection_ = nom;
            break;
        }
        // The keyboard starts on the list: a screen reader says the font in force.
        liste_->setAccessibleDescription(QStringLiteral("Police actuelle : %1").arg(nomChoisi_));
        liste_->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(e);
}

void Tdlgfontes::valide() {
    const auto choix = liste_->selectedItems();
    // The entry shown for the font in force keeps its name: "Courier New"
    // stays "Courier New" however it resolves here.
    if (!choix.isEmpty() && choix.first()->text() != preselection_) nomChoisi_ = choix.first()->text();
    accept();
}

}  // namespace dotavob
