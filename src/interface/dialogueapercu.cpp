#include "interface/dialogueapercu.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/editeur/apercu.h"
#include "core/editeur/editeur.h"

namespace dotavob {

namespace {

QRect enQRect(const RectangleApercu& r) { return QRect(r.x, r.y, r.largeur, r.hauteur); }

}  // namespace

TDlgApercu::TDlgApercu(EditeurBraille& editeur, Peintre noir, Peintre braille, QWidget* parent)
    : QDialog(parent), ed_(editeur), peintreNoir_(std::move(noir)), peintreBraille_(std::move(braille)) {
    setObjectName(QStringLiteral("DlgApercu"));
    setWindowTitle(QStringLiteral("Aperçu avant impression"));
    resize(900, 700);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    auto* barre = new QHBoxLayout;
    barre->setContentsMargins(6, 6, 6, 0);
    auto bouton = [this, barre](const QString& texte, bool basculant) {
        auto* b = new QToolButton(this);
        b->setText(texte);
        b->setToolTip(texte);
        b->setAccessibleName(texte);
        b->setCheckable(basculant);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        barre->addWidget(b);
        return b;
    };
    portrait_ = bouton(QStringLiteral("Portrait"), true);
    paysage_ = bouton(QStringLiteral("Paysage"), true);
    auto* orientation = new QButtonGroup(this);
    orientation->addButton(portrait_);
    orientation->addButton(paysage_);
    portrait_->setChecked(true);
    barre->addSpacing(12);
    noir_ = bouton(QStringLiteral("Texte noir"), true);
    noir_->setChecked(true);
    braille_ = bouton(QStringLiteral("Braille"), true);
    barre->addSpacing(12);
    premiere_ = bouton(QStringLiteral("Première page"), false);
    precedente_ = bouton(QStringLiteral("Page précédente"), false);
    numero_ = new QLabel(QStringLiteral("0/0"), this);
    numero_->setAlignment(Qt::AlignCenter);
    numero_->setMinimumWidth(70);
    numero_->setAccessibleName(QStringLiteral("Page"));
    barre->addWidget(numero_);
    suivante_ = bouton(QStringLiteral("Page suivante"), false);
    derniere_ = bouton(QStringLiteral("Dernière page"), false);
    barre->addStretch();
    imprimer_ = bouton(QStringLiteral("Imprimer"), false);
    imprimer_->setShortcut(QKeySequence::Print);
    l->addLayout(barre);

    client_ = new QWidget(this);
    client_->setAutoFillBackground(true);
    QPalette fond = client_->palette();
    fond.setColor(QPalette::Window, QColor(128, 128, 128));
    client_->setPalette(fond);
    client_->installEventFilter(this);
    l->addWidget(client_, 1);
    feuille_ = new QWidget(client_);
    feuille_->setAccessibleName(QStringLiteral("Feuille d'aperçu"));
    feuille_->installEventFilter(this);

    connect(orientation, &QButtonGroup::buttonToggled, this, [this] { placeFeuille(); });
    connect(noir_, &QToolButton::toggled, feuille_, qOverload<>(&QWidget::update));
    connect(braille_, &QToolButton::toggled, feuille_, qOverload<>(&QWidget::update));
    connect(premiere_, &QToolButton::clicked, this, [this] { allerPage(1); });
    connect(precedente_, &QToolButton::clicked, this, [this] { allerPage(ed_.pageCourante() - 1); });
    connect(suivante_, &QToolButton::clicked, this, [this] { allerPage(ed_.pageCourante() + 1); });
    connect(derniere_, &QToolButton::clicked, this, [this] { allerPage(ed_.nbPages()); });
    connect(imprimer_, &QToolButton::clicked, this, [this] { imprime(); });

    prepareImprimante = [this](QPrinter& imprimante, std::int32_t nbPages) {
        QPrintDialog d(&imprimante, this);
        d.setMinMax(1, std::max(1, nbPages));
        d.setOption(QAbstractPrintDialog::PrintPageRange);
        return d.exec() == QDialog::Accepted;
    };
}

void TDlgApercu::showEvent(QShowEvent* e) {
    // Shown again after being minimised, the preview keeps what it found first.
    if (!e->spontaneous()) {
        pageAvant_ = ed_.pageCourante();
        curseurAvant_ = ed_.positionCurseur();
        debutSelectionAvant_ = ed_.debutSelection();
        finSelectionAvant_ = ed_.finSelection();
    }
    majNumero();
    placeFeuille();
    QDialog::showEvent(e);
}

void TDlgApercu::done(int r) {
    // The editor goes back to the page, the caret and the selection it had.
    ed_.allerPage(pageAvant_);
    ed_.placeCurseur(ed_.document().pointDe(curseurAvant_));
    if (debutSelectionAvant_ >= 1 && finSelectionAvant_ >= debutSelectionAvant_)
        ed_.selectionne(debutSelectionAvant_, finSelectionAvant_);
    QDialog::done(r);
}

bool TDlgApercu::eventFilter(QObject* objet, QEvent* e) {
    if (objet == client_ && e->type() == QEvent::Resize) placeFeuille();
    if (objet == feuille_ && e->type() == QEvent::Paint) {
        QPainter p(feuille_);
        dessineFeuille(p, feuille_->width(), feuille_->height());
        return true;
    }
    return QDialog::eventFilter(objet, e);
}

void TDlgApercu::placeFeuille() {
    feuille_->setGeometry(enQRect(dotavob::placeFeuille(client_->width(), client_->height(), paysage_->isChecked())));
    feuille_->update();
}

void TDlgApercu::allerPage(std::int32_t n) {
    ed_.allerPage(n);  // a page out of the document is ignored
    majNumero();
    feuille_->update();
}

void TDlgApercu::majNumero() { numero_->setText(QStringLiteral("%1/%2").arg(ed_.pageCourante()).arg(ed_.nbPages())); }

void TDlgApercu::dessineFeuille(QPainter& p, int largeur, int hauteur) {
    p.fillRect(0, 0, largeur, hauteur, Qt::white);
    const PagesFeuille pages = placePages(largeur, hauteur, paysage_->isChecked(), noir_->isChecked(), braille_->isChecked());
    if (pages.noir) peintreNoir_(p, enQRect(*pages.noir));
    if (pages.braille) peintreBraille_(p, enQRect(*pages.braille));
    if (pages.separateur) {
        p.setPen(QPen(Qt::black, 0));
        const RectangleApercu& s = *pages.separateur;
        p.drawLine(s.x, s.y, s.x, s.y + s.hauteur);
    }
}

bool TDlgApercu::imprime() {
    const std::int32_t nbPages = ed_.nbPages();
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setFromTo(1, nbPages);
    imprimante.setPageOrientation(paysage_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!prepareImprimante(imprimante, nbPages)) return false;
    std::int32_t premiere = 1, derniere = nbPages;
    if (imprimante.printRange() == QPrinter::PageRange && imprimante.fromPage() > 0) {
        premiere = std::max(1, imprimante.fromPage());
        derniere = std::min(nbPages, std::max(premiere, imprimante.toPage()));
    }
    // One job per copy; a PDF file takes the copies one after the other, so
    // that the second does not replace the first.
    const int copies = imprimante.copyCount();
    imprimante.setCopyCount(1);
    const bool unFichier = imprimante.outputFormat() == QPrinter::PdfFormat;
    bool reussi = true;
    QPainter p;
    for (int copie = 0; reussi && copie < copies; ++copie) {
        if (!unFichier || copie == 0) {
            imprimante.setDocName(QStringLiteral("Dotavo Impression noir de ") + (nomDocument ? nomDocument() : QString()));
            imprimante.setPageOrientation(paysage_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
            if (!p.begin(&imprimante)) {
                reussi = false;
                break;
            }
        } else if (!imprimante.newPage()) {
            reussi = false;
            break;
        }
        const QRect page = imprimante.pageLayout().paintRectPixels(imprimante.resolution());
        for (std::int32_t n = premiere; n <= derniere; ++n) {
            allerPage(n);
            feuille_->repaint();
            dessineFeuille(p, page.width(), page.height());
            if (n != derniere && !imprimante.newPage()) {
                reussi = false;
                break;
            }
        }
        if ((!unFichier || copie == copies - 1) && !p.end()) reussi = false;
    }
    if (p.isActive()) p.end();
    if (!reussi && afficheErreur) afficheErreur(QStringLiteral("impossible d'imprimer"));
    return reussi && copies > 0;
}

}  // namespace dotavob
