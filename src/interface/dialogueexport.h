// The export dialog ("Exportation"): the whole document as Braille ASCII
// ("Code US", which is BRF, or "Code Français"), as Unicode braille, or as
// PEF (the embossed pages), to the clipboard or to a file. Created once; it
// keeps its choices between uses.
#pragma once

#include <QDialog>
#include <functional>

class QRadioButton;

namespace dotavob {

enum class FormatExport { CodeFrancais, CodeUS, Unicode, Pef, BrfPages };

class TdlgExport : public QDialog {
    Q_OBJECT
public:
    // `fichier`: the save dialog, offered the filter of the format (empty:
    // cancelled). `exporte`: writes the text (to the clipboard when the name
    // is empty); false when it failed and said so, and the dialog then stays open.
    TdlgExport(std::function<QString(FormatExport)> fichier,
               std::function<bool(FormatExport, const QString& nom)> exporte, QWidget* parent);

    QRadioButton* codeFrancais() const { return RBFr_; }
    QRadioButton* unicode() const { return RBUnicode_; }
    QRadioButton* pef() const { return RBPef_; }
    QRadioButton* brfPages() const { return RBBrfPages_; }
    QRadioButton* versFichier() const { return RBFichier_; }
    FormatExport format() const;

private:
    void ok();

    std::function<QString(FormatExport)> fichier_;
    std::function<bool(FormatExport, const QString&)> exporte_;
    QRadioButton *RBFr_ = nullptr, *RBUS_ = nullptr, *RBUnicode_ = nullptr, *RBPef_ = nullptr, *RBBrfPages_ = nullptr;
    QRadioButton *RBPP_ = nullptr, *RBFichier_ = nullptr;
};

}  // namespace dotavob
