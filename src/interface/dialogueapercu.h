// The print preview ("Aperçu avant impression"): the page shown as print
// text, as Braille, or both side by side, on a sheet in portrait or
// landscape; it moves through the pages and prints them on an ordinary
// printer (or a PDF file) exactly as the sheet shows them. Created once; it
// keeps its choices between uses.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPainter;
class QPrinter;
class QToolButton;

namespace dotavob {

class EditeurBraille;

class TDlgApercu : public QDialog {
    Q_OBJECT
public:
    // A page painter: the page shown, scaled into a rectangle of any device.
    using Peintre = std::function<void(QPainter&, const QRect&)>;
    TDlgApercu(EditeurBraille& editeur, Peintre noir, Peintre braille, QWidget* parent);

    // The document's name, for the print job's title.
    std::function<QString()> nomDocument;
    std::function<void(const QString&)> afficheErreur;
    // The platform's print dialog over this printer, for a document of this
    // many pages (false: cancelled). Tests choose a PDF file instead.
    std::function<bool(QPrinter&, std::int32_t nbPages)> prepareImprimante;

    // One sheet of this size: white, then the pages where the layout puts them.
    void dessineFeuille(QPainter& p, int largeur, int hauteur);
    // "Imprimer": false when cancelled or when it failed (and said so).
    bool imprime();

    QToolButton* portrait() const { return portrait_; }
    QToolButton* paysage() const { return paysage_; }
    QToolButton* texteNoir() const { return noir_; }
    QToolButton* braille() const { return braille_; }
    QToolButton* premiere() const { return premiere_; }
    QToolButton* precedente() const { return precedente_; }
    QToolButton* suivante() const { return suivante_; }
    QToolButton* derniere() const { return derniere_; }
    QToolButton* boutonImprimer() const { return imprimer_; }
    QLabel* numeroPage() const { return numero_; }
    QWidget* feuille() const { return feuille_; }

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    void placeFeuille();
    void allerPage(std::int32_t n);
    void majNumero();

    EditeurBraille& ed_;
    Peintre peintreNoir_, peintreBraille_;
    // The editor as the preview found it: its page, caret and selection come back on closing.
    std::int32_t pageAvant_ = 1, curseurAvant_ = 1, debutSelectionAvant_ = 0, finSelectionAvant_ = 0;
    QWidget* client_ = nullptr;
    QWidget* feuille_ = nullptr;
    QLabel* numero_ = nullptr;
    QToolButton *portrait_ = nullptr, *paysage_ = nullptr, *noir_ = nullptr, *braille_ = nullptr;
    QToolButton *premiere_ = nullptr, *precedente_ = nullptr, *suivante_ = nullptr, *derniere_ = nullptr;
    QToolButton* imprimer_ = nullptr;
};

}  // namespace dotavob
