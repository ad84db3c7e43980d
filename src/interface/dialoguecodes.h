// The code chooser ("Choix d'un code"), opened by the tool button "Autre
// code": on "Noir", print signs that are hard to type, each with a preview
// of its cells; on "Braille", the grid of the 64 cells. A double-click (or
// Enter on the grid) chooses; the main window inserts what was chosen.
// Created once; the metrics, the hit testing and the signs are the core's
// (core/editeur/grillecodes.h).
#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <optional>
#include <string>

#include "core/editeur/grillecodes.h"
#include "interface/optionsaffichage.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace dotavob {

class GrilleCellules;
class ApercuCode;
class PageSignes;
class EtiquetteSigne;
class LegendeSigne;

class Tdlgchoixcode : public QDialog {
    Q_OBJECT
public:
    // `options`: the Braille page's display options, whose frame flag the
    // dialog takes at each opening.
    Tdlgchoixcode(const OptionsAffichage& options, QWidget* parent);

    // What was chosen at the last OK: a cell of the grid, or else a text
    // (code page 1252, empty: nothing).
    std::optional<Octet> celluleChoisie() const;
    const std::string& texteChoisi() const { return texteChoisi_; }
    // The bytes to insert, one by one, through insereCaractere.
    std::string aInserer() const;

    const GrilleCodes& metriques() const { return g_; }
    CaseGrille survol() const { return survol_; }
    const std::string& texteApercu() const { return texteApercu_; }
    bool pointsGris() const { return pointsGris_; }
    bool cadre() const { return cadre_; }

    QTabWidget* onglets() const { return onglets_; }
    QWidget* pageNoir() const;
    QWidget* grille() const;
    QWidget* apercu() const;
    QToolButton* boutonPointsGris() const { return boutonGris_; }
    QToolButton* boutonCadre() const { return boutonCadre_; }
    QPushButton* fermer() const { return fermer_; }
    // The labels in the order of etiquettesCodes(), the captions in that of legendesCodes().
    const QList<QLabel*>& etiquettes() const { return etiquettes_; }
    const QList<QLabel*>& legendes() const { return legendes_; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    friend class GrilleCellules;
    friend class ApercuCode;
    friend class PageSignes;
    friend class EtiquetteSigne;
    friend class LegendeSigne;

    void activation();
    void redimensionne();
    void survole(int x, int y);
    void fixeSurvol(CaseGrille c);
    void choisitEtiquette(const EtiquetteCode& e);
    void choisitLegende();
    void choisitCase();
    void montreApercu(const EtiquetteCode& e, QPoint coin);
    void cacheApercu();
    void afficheApercu(const std::string& texte);

    const OptionsAffichage& options_;
    GrilleCodes g_;
    bool pointsGris_ = true, cadre_ = false;
    CaseGrille survol_;
    std::string texteApercu_;
    QPoint pointApercu_;
    std::string texteChoisi_;
    bool ouverture_ = false;  // being shown: the keyboard's first place previews nothing

    QTabWidget* onglets_ = nullptr;
    PageSignes* pageNoir_ = nullptr;
    GrilleCellules* grille_ = nullptr;
    ApercuCode* apercu_ = nullptr;
    QToolButton *boutonGris_ = nullptr, *boutonCadre_ = nullptr;
    QPushButton* fermer_ = nullptr;
    QList<QLabel*> etiquettes_, legendes_;
};

}  // namespace dotavob
