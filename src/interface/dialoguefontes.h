// The font chooser ("Choix de la police de caractères"): the print page and
// its strips draw in one font, which must be of fixed pitch so that print
// characters stand over their Braille cells.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "plateforme/reglages.h"

class QListWidget;

namespace dotavob {

class Tdlgfontes : public QDialog {
    Q_OBJECT
public:
    Tdlgfontes(MagasinReglages& reglages, QWidget* parent);

    // Modal, `nom` selected when the list holds it. OK or a double-click
    // takes the selected entry (`nom` stays when none is), stores it with
    // ecritfonte and returns true; Cancel changes nothing.
    bool choisit(QString& nom);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void valide();

    MagasinReglages& reglages_;
    QListWidget* liste_ = nullptr;
    QString preselection_;  // the entry selected at opening, standing for the font in force
    QString nomChoisi_;
};

// The families the chooser offers, sorted: fixed pitch, Latin script, not
// vertical ("@..."), and a name code page 1252 can hold (settings and
// documents keep it so).
QStringList fontesFixes();
// Offered by the chooser; the letter case counts.
bool fonteinstallee(const QString& nom);
// The font for a document that names `nomDemande`: that name when it is
// installed (or is "Courier New"), else "Courier New", after telling the
// user through `informe` (an information box over `parent` when empty).
QString choisitfonte(const QString& nomDemande, QWidget* parent,
                     const std::function<void(const QString&)>& informe = {});

}  // namespace dotavob
