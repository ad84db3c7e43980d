// The search dialog: the text to look for and where to start. One instance
// for the whole run; it keeps its text and its choice between searches.
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace dotavob {

class TDlgRecheche : public QDialog {
    Q_OBJECT
public:
    explicit TDlgRecheche(QWidget* parent);

    // Modal; true on OK.
    bool edite();
    QString texte() const;
    void fixeTexte(const QString& t);
    bool depuisDebut() const;
    void fixeDepuisDebut(bool b);

private:
    QLineEdit* EditRecherche_ = nullptr;
    QRadioButton* RBTout_ = nullptr;
    QRadioButton* RBCurseur_ = nullptr;
};

}  // namespace dotavob
