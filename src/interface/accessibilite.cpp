#include "interface/accessibilite.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "interface/vuebraille.h"
#include "interface/vuenoir.h"

namespace dotavob {
namespace {

QString enQString(const std::u32string& s) {
    return QString::fromUcs4(s.data(), static_cast<qsizetype>(s.size()));
}

// A page: an editable text of several lines, read through the core.
class PageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    PageAccessible(VuePage* page, const QString& nom)
        : QAccessibleWidget(page, QAccessible::EditableText), page_(page), nom_(nom) {
        // What a screen reader will be told next is measured from here.
        page_->texteAnnonce = page_->texteAccessible().texte;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return nom_;
        if (t == QAccessible::Value) return enQString(page_->texteAccessible().texte);
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.multiLine = true;
        s.focusable = true;
        s.focused = page_->hasFocus();
        return s;
    }

    // QAccessibleTextInterface
    void selection(int index, int* debut, int* fin) const override {
        *debut = *fin = 0;
        const EditeurBraille& e = page_->editeur();
        if (index != 0 || e.sansSelection()) return;
        const Etendue s = etendueDe(page_->texteAccessible(), e.debutSelection(), e.finSelection());
        *debut = s.premier;
        *fin = s.dernier;
    }
    int selectionCount() const override { return page_->editeur().sansSelection() ? 0 : 1; }
    void addSelection(int debut, int fin) override { setSelection(0, debut, fin); }
    void removeSelection(int) override { page_->editeur().annuleSelection(); }
    void setSelection(int, int debut, int fin) override {
        const TextePage t = page_->texteAccessible();
        if (fin <= debut) return;
        page_->editeur().selectionne(positionDe(t, debut), positionDe(t, fin) - 1);
    }
    int cursorPosition() const override {
        return decalageDe(page_->texteAccessible(), page_->editeur().positionCurseur());
    }
    void setCursorPosition(int decalage) override {
        EditeurBraille& e = page_->editeur();
        e.annuleSelection();
        e.placeCurseur(e.document().pointDe(positionDe(page_->texteAccessible(), decalage)));
    }
    QString text(int debut, int fin) const override {
        return enQString(page_->texteAccessible().texte).mid(debut, fin - debut);
    }
    int characterCount() const override { return static_cast<int>(page_->texteAccessible().texte.size()); }
    // Only the caret's place is known without measuring every character.
    QRect characterRect(int decalage) const override {
        if (decalage != cursorPosition()) return {};
        const QRect r = page_->rectCurseur();
        return QRect(page_->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int decalage, int* debut, int* fin) const override {
        *debut = decalage;
        *fin = decalage;
        return {};
    }

private:
    VuePage* page_;
    QString nom_;
};

QAccessibleInterface* fabrique(const QString&, QObject* objet) {
    if (auto* a = qobject_cast<Annonceur*>(objet)) return new QAccessibleWidget(a, QAccessible::Notification);
    if (auto* noir = qobject_cast<TMyEdit*>(objet)) return new PageAccessible(noir, QStringLiteral("Page en noir"));
    if (auto* braille = qobject_cast<TEdBraille*>(objet))
        return new PageAccessible(braille, QStringLiteral("Page braille"));
    return nullptr;
}

}  // namespace

Annonceur::Annonceur(QWidget* parent) : QWidget(parent) { setGeometry(0, 0, 1, 1); }

void Annonceur::annonce(const QString& texte) {
    setAccessibleName(texte);
    // Qt has no announcement of its own here: a notification that appears is spoken.
    if (!QAccessible::isActive()) return;
    hide();
    show();
}

void installeAccessibilite() { QAccessible::installFactory(fabrique); }

void annonceTexte(VuePage& page) {
    // A page no screen reader ever asked for is not read: typing stays cheap.
    if (!page.texteAnnonce) return;
    std::u32string texte = page.texteAccessible().texte;
    if (QAccessible::isActive()) {
        const Difference d = difference(*page.texteAnnonce, texte);
        if (!d.ote.empty() && !d.ajoute.empty()) {
            QAccessibleTextUpdateEvent e(&page, d.decalage, enQString(d.ote), enQString(d.ajoute));
            QAccessible::updateAccessibility(&e);
        } else if (!d.ote.empty()) {
            QAccessibleTextRemoveEvent e(&page, d.decalage, enQString(d.ote));
            QAccessible::updateAccessibility(&e);
        } else if (!d.ajoute.empty()) {
            QAccessibleTextInsertEvent e(&page, d.decalage, enQString(d.ajoute));
            QAccessible::updateAccessibility(&e);
        }
    }
    page.texteAnnonce = std::move(texte);
}

void annonceCurseur(VuePage& page) {
    if (!QAccessible::isActive()) return;
    QAccessibleTextCursorEvent e(&page, decalageDe(page.texteAccessible(), page.editeur().positionCurseur()));
    QAccessible::updateAccessibility(&e);
}

void annonceSelection(VuePage& page) {
    if (!QAccessible::isActive()) return;
    const EditeurBraille& ed = page.editeur();
    const TextePage t = page.texteAccessible();
    const Etendue s = ed.sansSelection() ? Etendue{} : etendueDe(t, ed.debutSelection(), ed.finSelection());
    QAccessibleTextSelectionEvent e(&page, s.premier, s.dernier);
    e.setCursorPosition(decalageDe(t, ed.positionCurseur()));
    QAccessible::updateAccessibility(&e);
}

}  // namespace dotavob
