// The embosser options ("Options d'embossage") and the progress window of an
// embossing ("Embossage"). Both are created once by the main window.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "core/document/formatpage.h"
#include "core/sorties/embossage.h"
#include "plateforme/reglages.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace dotavob {

class TDlgOptEmb : public QDialog {
    Q_OBJECT
public:
    TDlgOptEmb(MagasinReglages& reglages, QWidget* parent);

    // Modal, for the printer chosen: the stored settings (or the page
    // format's sizes and no margins), OK stores them and returns true.
    bool edite(const QString& imprimante, const FormatPage& format);
    ReglagesEmbossage reglages() const;
    // What the embosser has stored, or the page format's sizes and no
    // margins: the layout of a PEF export when the dialog is not asked.
    ReglagesEmbossage reglagesEnregistres(const FormatPage& format) const;
    // "Enregistrer les octets dans un fichier": the bytes go to a file.
    bool versFichier() const;

    QSpinBox* caracteres() const { return editcaracteres_; }
    QSpinBox* lignes() const { return editnblignesparpage_; }
    QSpinBox* margeHaut() const { return editmargeH_; }
    QSpinBox* margeGauche() const { return editMargeG_; }
    QRadioButton* codeUS() const { return RBCodeUS_; }
    QRadioButton* codeFR() const { return RBCodeFR_; }
    QCheckBox* fichier() const { return fichier_; }

private:
    MagasinReglages& reglages_;
    QLabel* sur_ = nullptr;
    QSpinBox *editcaracteres_ = nullptr, *editnblignesparpage_ = nullptr, *editmargeH_ = nullptr, *editMargeG_ = nullptr;
    QRadioButton *RBCodeUS_ = nullptr, *RBCodeFR_ = nullptr;
    QCheckBox* fichier_ = nullptr;
};

class Tsuiviembossage : public QDialog {
    Q_OBJECT
public:
    explicit Tsuiviembossage(QWidget* parent);

    // A new job: the caption, the abort flag cleared.
    void commence(const QString& nomfichier);
    // Before page p: the label; false once the user aborted.
    bool page(std::int32_t p);
    // The spooler refused a page: asks "Continuer" or "Abandon"; true retries.
    bool reessaie();
    // While the embosser is awaited: says so with "Abandon" at hand, keeps the
    // window alive; false once the user aborted.
    bool attend();
    void termine();
    bool abandonne() const { return abandon_; }
    QLabel* etiquette() const { return etiquette_; }
    // Escape or the window's close button abandon, as "Abandon" does.
    void reject() override;

private:
    QLabel* etiquette_ = nullptr;
    QPushButton *continuer_ = nullptr, *abandon_b_ = nullptr, *terminer_ = nullptr;
    bool abandon_ = false;
    QElapsedTimer depuis_;  // since the job began: the pages are shown once it lasts
    static constexpr qint64 DELAI_AVANT_SUIVI_MS = 400;
};

}  // namespace dotavob
