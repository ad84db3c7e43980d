// The main window: two A4 pages side by side (print on the left, Braille on
// the right) with their header and footer bands, the tool bar, the menus and
// the routing of every key to the Braille editor.
#pragma once

#include <QMainWindow>
#include <QSet>
#include <QStringList>
#include <functional>

#include "core/document/document.h"
#include "core/document/formatpage.h"
#include "core/editeur/editeur.h"
#include "interface/optionsaffichage.h"
#include "plateforme/reglages.h"

class QLabel;
class QToolButton;
class QAction;

namespace dotavob {

class TEdBraille;
class TenteteBraille;
class TMyEdit;
class TenteteNoir;

class TFDotavoB : public QMainWindow, public ObservateurEditeur {
    Q_OBJECT
public:
    TFDotavoB(MagasinReglages reglages, QStringList arguments);
    ~TFDotavoB() override;

    DocumentBraille& document() { return doc_; }
    EditeurBraille& editeur() { return ed_; }
    const OptionsAffichage& options() const { return options_; }
    FormatPage& format() { return format_; }
    TMyEdit& vueNoir() { return *noir_; }
    TEdBraille& vueBraille() { return *braille_; }
    TenteteBraille& enteteBraille() { return *enteteBraille_; }
    TenteteBraille& piedBraille() { return *piedBraille_; }
    TenteteNoir& enteteNoir() { return *enteteNoir_; }
    QWidget& panel3() { return *panel3_; }
    QWidget& panelEntete() { return *panelEntete_; }
    QWidget& panelPied() { return *panelPied_; }
    QWidget& panel1() { return *panel1_; }
    QWidget& panelBoutons() { return *panelBoutons_; }
    QLabel& labelPages() { return *labelPages_; }
    const QString& nomfichier() const { return nomfichier_; }

    void FormResize();
    void affichepages();
    void majentetes();
    void appliqueformat(bool journalise = false);
    void setnomfichier(const QString& nom);
    // Opens a .dtv named on the command line; anything else is ignored.
    bool ouvrefichier(const QString& nom);
    // Shows a message to the user (replaced in tests).
    std::function<void(const QString&)> afficheErreur;

    void pageModifiee(std::int32_t page, std::int32_t nbPages) override;

protected:
    bool eventFilter(QObject* objet, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void FormActivate();
    void creeMenus();
    void creeBoutons();
    QToolButton* bouton(QWidget* parent, const QString& texte, const QString& bulle, int x, int largeur);
    void modeClavier(bool sixTouches);
    void basculeAffichage(QAction* a, const std::function<void(bool)>& applique,
                          const std::function<bool()>& etat = {});
    void fixeOption(bool OptionsAffichage::*option, bool valeur);

    MagasinReglages reglages_;
    QStringList arguments_;
    FormatPage format_;
    DocumentBraille doc_{format_};
    EditeurBraille ed_{doc_};
    OptionsAffichage options_;
    QString nomfichier_;
    QString nomfonte_ = QStringLiteral("Courier New");
    bool premiereactivation_ = true;
    QSet<int> touchesEnfoncees_;  // keys that went down over the pages, not yet released

    QWidget* client_ = nullptr;
    QWidget* panelBoutons_ = nullptr;
    QWidget* panel2_ = nullptr;
    QWidget* panel3_ = nullptr;
    QWidget* panelEntete_ = nullptr;
    QWidget* panelPied_ = nullptr;
    QWidget* panel1_ = nullptr;
    QWidget* separateur_ = nullptr;
    QLabel* labelPages_ = nullptr;
    QToolButton *premiere_ = nullptr, *precedente_ = nullptr, *suivante_ = nullptr, *derniere_ = nullptr;
    QAction* tousLesSignes_ = nullptr;
    TMyEdit* noir_ = nullptr;
    TEdBraille* braille_ = nullptr;
    TenteteBraille *enteteBraille_ = nullptr, *piedBraille_ = nullptr;
    TenteteNoir *enteteNoir_ = nullptr, *piedNoir_ = nullptr;
};

}  // namespace dotavob
