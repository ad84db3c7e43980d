// The export dialog ("Exportation"): the whole document as Braille ASCII, in
// "Code US" or "Code Français", to the clipboard or to a text file. Created
// once; it keeps its choices between uses.
#pragma once

#include <QDialog>
#include <functional>

class QRadioButton;

namespace dotavob {

class TdlgExport : public QDialog {
    Q_OBJECT
public:
    // `fichier`: the save dialog (empty: cancelled). `exporte`: writes the
    // text (to the clipboard when the name is empty); false when it failed
    // and said so, and the dialog then stays open.
    TdlgExport(std::function<QString()> fichier, std::function<bool(bool francais, const QString& nom)> exporte,
               QWidget* parent);

    QRadioButton* codeFrancais() const { return RBFr_; }
    QRadioButton* versFichier() const { return RBFichier_; }

private:
    void ok();

    std::function<QString()> fichier_;
    std::function<bool(bool, const QString&)> exporte_;
    QRadioButton *RBFr_ = nullptr, *RBUS_ = nullptr, *RBPP_ = nullptr, *RBFichier_ = nullptr;
};

}  // namespace dotavob
