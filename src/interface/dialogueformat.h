// The page-format dialog ("Format des pages") and the indentation dialog
// ("Indentation des paragraphes"). Each is created once by the main window
// and reused; its controls mirror the window's FormatPage: the window gives
// the value with fixeFormat / fixeIndentation and takes it back after OK.
#pragma once

#include <QDialog>

#include "core/document/formatpage.h"
#include "plateforme/reglages.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace dotavob {

class TdlgFormatpage : public QDialog {
    Q_OBJECT
public:
    TdlgFormatpage(MagasinReglages& reglages, QWidget* parent);

    // The controls take the value, each clamped into its range. The
    // indentation, which this dialog does not show, is kept as given and is
    // what OK stores: give the window's current format before edite().
    void fixeFormat(const FormatPage& f);
    // The value of the controls, with derive() applied.
    FormatPage format() const;
    // Modal. OK stores the format in the settings (a failed write is told
    // by MagasinReglages::messageProblemes) and returns true; Cancel puts
    // back the controls as they were when the dialog opened.
    bool edite();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int resultat) override;

private:
    struct ControlesBande {
        QCheckBox* active = nullptr;
        QLineEdit* modele = nullptr;
        QButtonGroup* alignement = nullptr;
        QSpinBox* premierePage = nullptr;
    };
    QWidget* creeBande(ControlesBande& c, const QString& titre, const QString& suffixe, const QString& premiere);
    void fixeBande(ControlesBande& c, const Bande& b);
    Bande bande(const ControlesBande& c) const;
    void chbinterligneClick(bool coche);
    void boutokClick();

    MagasinReglages& reglages_;
    FormatPage base_;       // what the controls do not show
    FormatPage ouverture_;  // the controls when the dialog opened
    QSpinBox* spEdnblgpg_ = nullptr;
    QCheckBox* chbinterligne_ = nullptr;
    QSpinBox* spednbcarlg_ = nullptr;
    ControlesBande entete_, pied_;
    QPushButton* boutok_ = nullptr;
};

class TdlgIndent : public QDialog {
    Q_OBJECT
public:
    explicit TdlgIndent(QWidget* parent);

    // Clamped to 0..5.
    void fixeIndentation(int v);
    int indentation() const;
    // Modal. OK returns true; Cancel puts back the value it opened with.
    bool edite();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int resultat) override;

private:
    QSpinBox* spEdIndent_ = nullptr;
    int ouverture_ = 2;
};

}  // namespace dotavob
