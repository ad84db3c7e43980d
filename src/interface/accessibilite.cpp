#include "interface/accessibilite.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <algorithm>
#include <optional>
#include <string_view>

#include "interface/vuebraille.h"
#include "interface/vuenoir.h"

namespace dotavob {
namespace {

QString enQString(std::u32string_view s) { return QString::fromUcs4(s.data(), static_cast<qsizetype>(s.size())); }

std::optional<Frontiere> frontiere(QAccessible::TextBoundaryType type) {
    switch (type) {
        case QAccessible::CharBoundary: return Frontiere::Caractere;
        case QAccessible::WordBoundary: return Frontiere::Mot;
        case QAccessible::SentenceBoundary: return Frontiere::Phrase;
        case QAccessible::LineBoundary: return Frontiere::Ligne;
        case QAccessible::ParagraphBoundary: return Frontiere::Paragraphe;
        case QAccessible::NoBoundary: break;
    }
    return std::nullopt;
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
        const TextePage& t = page_->texteAccessible();
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
        const std::u32string& t = page_->texteAccessible().texte;
        const int n = static_cast<int>(t.size());
        debut = std::clamp(debut, 0, n);
        fin = fin < 0 || fin > n ? n : std::max(fin, debut);
        return enQString(std::u32string_view(t).substr(debut, fin - debut));
    }
    // The pieces a screen reader reads by: the core's, never Qt's own
    // search of boundaries (which did not come back from some pages).
    QString textBeforeOffset(int decalage, QAccessible::TextBoundaryType type, int* debut, int* fin) const override {
        return morceauTexte(decalage, type, Cote::Avant, debut, fin);
    }
    QString textAfterOffset(int decalage, QAccessible::TextBoundaryType type, int* debut, int* fin) const override {
        return morceauTexte(decalage, type, Cote::Apres, debut, fin);
    }
    QString textAtOffset(int decalage, QAccessible::TextBoundaryType type, int* debut, int* fin) const override {
        return morceauTexte(decalage, type, Cote::A, debut, fin);
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
    // The page has one style: its whole text is one run, which holds every
    // offset (a screen reader cuts a line where a run ends).
    QString attributes(int, int* debut, int* fin) const override {
        *debut = 0;
        *fin = characterCount();
        return {};
    }

private:
    QString morceauTexte(int decalage, QAccessible::TextBoundaryType type, Cote cote, int* debut, int* fin) const {
        const TextePage& t = page_->texteAccessible();
        const auto n = static_cast<std::int32_t>(t.texte.size());
        Morceau m{0, n};
        if (const auto f = frontiere(type))
            m = morceau(t, decalage, *f, cote);
        else if (cote != Cote::A)
            m = cote == Cote::Avant ? Morceau{0, 0} : Morceau{n, n};  // the whole text has nothing beside it
        *debut = m.debut;
        *fin = m.fin;
        return enQString(std::u32string_view(t.texte).substr(m.debut, m.fin - m.debut));
    }

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

Annonceur::Annonceur(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 1, 1);
    minuterie_.setSingleShot(true);
    minuterie_.setInterval(0);
    connect(&minuterie_, &QTimer::timeout, this, [this] { dit(); });
}

void Annonceur::annonce(const QString& texte) {
    aDire_ << texte;
    if (planifie)
        planifie();
    else
        minuterie_.start();
}

void Annonceur::dit() {
    minuterie_.stop();
    if (aDire_.isEmpty()) return;
    setAccessibleName(aDire_.join(QStringLiteral(". ")));
    aDire_.clear();
    // Qt has no announcement of its own here: a notification that appears is spoken.
    if (!QAccessible::isActive()) return;
    hide();
    show();
}

void installeAccessibilite() { QAccessible::installFactory(fabrique); }

void annonce(VuePage& page, bool texte, bool curseur, bool selection) {
    if (!QAccessible::isActive() || !page.parle()) {
        page.texteAnnonce.reset();
        page.curseurAnnonce.reset();
        return;
    }
    const TextePage& t = page.texteAccessible();
    if (texte) {
        // A page no screen reader ever asked for is not told its changes
        // (asking for it starts from its text as it stands).
        if (page.texteAnnonce) {
            const Difference d = difference(*page.texteAnnonce, t.texte);
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
        page.texteAnnonce = t.texte;
    }
    const EditeurBraille& ed = page.editeur();
    const std::int32_t position = decalageDe(t, ed.positionCurseur());
    if (curseur || texte) {
        QAccessibleTextCursorEvent e(&page, position);
        QAccessible::updateAccessibility(&e);
        page.curseurAnnonce = position;
    }
    if (selection) {
        const Etendue s = ed.sansSelection() ? Etendue{} : etendueDe(t, ed.debutSelection(), ed.finSelection());
        QAccessibleTextSelectionEvent e(&page, s.premier, s.dernier);
        e.setCursorPosition(position);
        QAccessible::updateAccessibility(&e);
    }
}

}  // namespace dotavob
