// Every window the program can show, as the user sees it on this desktop's
// fonts: no text cut by its control, no control over its neighbour, every
// window inside the screen; a maximised window reads larger and comes back
// exactly; the reference lists open wide enough for their entries; a
// percentage is set from the keyboard alone.
//
// The texts are measured with QFontMetrics against the room the style gives
// each kind of control, as Qt draws them.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStyleOption>
#include <QWheelEvent>

#include "programma_intero.h"

namespace varimo::test {
namespace {

// Every window the program shows, by name.
const char* const kFinestre[] = {
    "frmSplash",          "calcolo",         "economico",   "sommario", "manuale",
    "guidafunzionamento", "guidacalcolo",    "guidaquadro", "frmTip",   "licenza",
    "catalogo",           "supportoclienti", "informa",     "postgara", "quadro"};

QString chi(const QWidget* c, const QString& testo) {
    return c->window()->objectName() + QLatin1Char('/') + c->objectName() + QStringLiteral(" \"") +
           testo + QStringLiteral("\" ") + QStringLiteral("%1x%2").arg(c->width()).arg(c->height());
}

// The part of a window that holds its controls.
QWidget* areaControlli(QWidget* finestra) {
    if (auto* mw = qobject_cast<QMainWindow*>(finestra))
        if (mw->centralWidget()) return mw->centralWidget();
    return finestra;
}

// Whether a control lies inside a bar or a scrolling area (whose contents
// scroll or are not texts of the layout).
bool dentroBarreOScorrimento(const QWidget* c, const QWidget* finestra) {
    for (const QWidget* p = c->parentWidget(); p && p != finestra; p = p->parentWidget()) {
        if (qobject_cast<const QMenuBar*>(p) || qobject_cast<const QToolBar*>(p) ||
            qobject_cast<const QAbstractScrollArea*>(p))
            return true;
    }
    return false;
}

std::optional<QString> etichettaTagliata(QLabel* l) {
    const QString t = l->text();
    if (t.isEmpty() || !l->pixmap().isNull()) return std::nullopt;
    if (l->wordWrap()) {
        if (l->heightForWidth(l->width()) > l->height()) return chi(l, t) + " (a capo)";
        return std::nullopt;
    }
    const QFontMetrics fm(l->font());
    const int m = l->margin();
    QRect r = l->contentsRect().marginsRemoved(QMargins(m, m, m, m));
    int rientro = l->indent();
    if (rientro < 0) rientro = l->frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    const Qt::Alignment a = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
    if (a & Qt::AlignLeft) r.setLeft(r.left() + rientro);
    if (a & Qt::AlignRight) r.setRight(r.right() - rientro);
    if (a & Qt::AlignTop) r.setTop(r.top() + rientro);
    if (a & Qt::AlignBottom) r.setBottom(r.bottom() - rientro);
    const QSize s = fm.size(0, t);
    if (s.width() > r.width() || s.height() > r.height()) return chi(l, t);
    return std::nullopt;
}

std::optional<QString> pulsanteTagliato(QPushButton* b) {
    if (b->text().isEmpty()) return std::nullopt;
    QStyleOptionButton o;
    o.initFrom(b);
    o.rect = b->rect();
    o.text = b->text();
    if (b->isDefault()) o.features |= QStyleOptionButton::DefaultButton;
    if (b->autoDefault()) o.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect r = b->style()->subElementRect(QStyle::SE_PushButtonContents, &o, b);
    const QSize s = QFontMetrics(b->font()).size(Qt::TextShowMnemonic, b->text());
    if (s.width() > r.width() || s.height() > r.height()) return chi(b, b->text());
    return std::nullopt;
}

std::optional<QString> casellaTagliata(QCheckBox* k) {
    if (k->text().isEmpty()) return std::nullopt;
    QStyleOptionButton o;
    o.initFrom(k);
    o.rect = k->rect();
    o.text = k->text();
    const QRect r = k->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, k);
    const QSize s = QFontMetrics(k->font()).size(Qt::TextShowMnemonic, k->text());
    if (s.width() > r.width() || s.height() > r.height()) return chi(k, k->text());
    return std::nullopt;
}

std::optional<QString> titoloGruppoTagliato(QGroupBox* g) {
    if (g->title().isEmpty()) return std::nullopt;
    QStyleOptionGroupBox o;
    o.initFrom(g);
    o.rect = g->rect();
    o.text = g->title();
    o.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect r =
        g->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, g);
    const int larghezza = QFontMetrics(g->font()).size(Qt::TextShowMnemonic, g->title()).width();
    if (larghezza > r.width() || r.right() > g->rect().right()) return chi(g, g->title());
    return std::nullopt;
}

// A line edit draws its text 2 pixels in from its contents on either side and
// scrolls it once the text and the cursor no longer fit; the text line must
// not be taller than the contents.
std::optional<QString> casellaTestoTagliata(QLineEdit* e) {
    QStyleOptionFrame o;
    o.initFrom(e);
    o.rect = e->rect();
    o.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, e) : 0;
    o.midLineWidth = 0;
    o.state |= QStyle::State_Sunken;
    if (e->isReadOnly()) o.state |= QStyle::State_ReadOnly;
    const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &o, e);
    const QMargins tm = e->textMargins();
    const QFontMetrics fm(e->font());
    const int larghezza = r.width() - tm.left() - tm.right() - 2 * 2;
    const int altezza = r.height() - tm.top() - tm.bottom();
    if (fm.horizontalAdvance(e->text()) + 2 > larghezza || fm.height() > altezza)
        return chi(e, e->text());
    return std::nullopt;
}

// Every visible text of the window that its control cuts.
QStringList testiTagliati(QWidget* finestra) {
    QStringList tagliati;
    for (QWidget* c : finestra->findChildren<QWidget*>()) {
        if (c->isWindow() || !c->isVisibleTo(finestra) || dentroBarreOScorrimento(c, finestra))
            continue;
        std::optional<QString> t;
        if (auto* l = qobject_cast<QLabel*>(c))
            t = etichettaTagliata(l);
        else if (auto* b = qobject_cast<QPushButton*>(c))
            t = pulsanteTagliato(b);
        else if (auto* k = qobject_cast<QCheckBox*>(c))
            t = casellaTagliata(k);
        else if (auto* g = qobject_cast<QGroupBox*>(c))
            t = titoloGruppoTagliato(g);
        else if (auto* e = qobject_cast<QLineEdit*>(c))
            t = casellaTestoTagliata(e);
        if (t) tagliati << *t;
    }
    return tagliati;
}

// Controls of the window that overlap a neighbour or pass the window's edge.
QStringList controlliSovrapposti(QWidget* finestra) {
    QStringList difetti;
    QWidget* area = areaControlli(finestra);
    QList<QWidget*> visibili;
    for (QObject* o : area->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && w->isVisibleTo(finestra)) visibili << w;
    }
    for (qsizetype i = 0; i < visibili.size(); ++i) {
        const QRect a = visibili[i]->geometry();
        if (!area->rect().contains(a))
            difetti << visibili[i]->objectName() + QStringLiteral(" esce dalla finestra");
        for (qsizetype j = i + 1; j < visibili.size(); ++j) {
            if (a.intersects(visibili[j]->geometry()))
                difetti << visibili[i]->objectName() + QStringLiteral(" copre ") +
                               visibili[j]->objectName();
        }
    }
    return difetti;
}

QString elenco(const QStringList& l) {
    return l.join(QStringLiteral("\n  "));
}

class TestiLeggibili : public ProgrammaIntero {
  protected:
    // Loads and shows a window by name, as the registry does for the user.
    static QWidget* apri(const char* nome) {
        QWidget* w = registro().mostra(QString::fromLatin1(nome));
        EXPECT_NE(w, nullptr) << nome;
        if (!w) return nullptr;
        if (auto* c = qobject_cast<Calcolo*>(w)) {
            // The rework button shows only after a rework; it is part of the
            // window all the same.
            c->stato().impostaSenzaVincoloVisibile(true);
        }
        QApplication::processEvents();
        return w;
    }
    static QRect schermo() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(TestiLeggibili, OgniTestoDiOgniFinestraStaNelSuoControllo) {
    for (const char* nome : kFinestre) {
        QWidget* w = apri(nome);
        ASSERT_NE(w, nullptr);
        const QStringList tagliati = testiTagliati(w);
        EXPECT_TRUE(tagliati.isEmpty()) << nome << ":\n  " << qPrintable(elenco(tagliati));
        const QStringList sovrapposti = controlliSovrapposti(w);
        EXPECT_TRUE(sovrapposti.isEmpty()) << nome << ":\n  " << qPrintable(elenco(sovrapposti));
        // A window that can be resized keeps its texts whole at full screen.
        if (w->minimumSize() != w->maximumSize()) {
            const QSize prima = w->size();
            w->resize(schermo().size() - QSize(20, 60));
            QApplication::processEvents();
            const QStringList grandi = testiTagliati(w);
            EXPECT_TRUE(grandi.isEmpty())
                << nome << " ingrandita:\n  " << qPrintable(elenco(grandi));
            const QStringList sopra = controlliSovrapposti(w);
            EXPECT_TRUE(sopra.isEmpty()) << nome << " ingrandita:\n  " << qPrintable(elenco(sopra));
            w->resize(prima);
            QApplication::processEvents();
        }
    }
}

TEST_F(TestiLeggibili, OgniFinestraStaDentroLoSchermo) {
    for (const char* nome : kFinestre) {
        QWidget* w = apri(nome);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(schermo().contains(w->frameGeometry()))
            << nome << " " << w->frameGeometry().x() << "," << w->frameGeometry().y() << " "
            << w->frameGeometry().width() << "x" << w->frameGeometry().height();
    }
    // A window whose place would put part of it outside comes back inside
    // when it is shown again, keeping its size.
    for (const char* nome : {"frmTip", "informa", "sommario", "guidacalcolo"}) {
        QWidget* w = registro().finestra(QString::fromLatin1(nome));
        ASSERT_NE(w, nullptr);
        const QSize misura = w->size();
        w->move(schermo().right() - w->width() / 2, schermo().bottom() - 10);
        registro().mostra(QString::fromLatin1(nome));
        QApplication::processEvents();
        EXPECT_TRUE(schermo().contains(w->frameGeometry())) << nome;
        EXPECT_EQ(w->size(), misura) << nome;
    }
}

TEST_F(TestiLeggibili, FinestraIngranditaSiLeggePiuGrandeETornaComEra) {
    for (const char* nome : {"calcolo", "economico", "sommario", "licenza", "manuale"}) {
        QWidget* w = apri(nome);
        ASSERT_NE(w, nullptr);
        QWidget* area = areaControlli(w);
        QHash<QWidget*, QFont> caratteri;
        QHash<QWidget*, QRect> posti;
        for (QObject* o : area->children()) {
            if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow()) {
                caratteri.insert(c, c->font());
                posti.insert(c, c->geometry());
            }
        }
        ASSERT_FALSE(caratteri.isEmpty());
        const QSize prima = w->size();
        w->resize(prima.width() * 3 / 2, prima.height() * 3 / 2);
        QApplication::processEvents();
        int piuGrandi = 0;
        for (auto it = caratteri.cbegin(); it != caratteri.cend(); ++it) {
            const double dopo = it.key()->font().pointSizeF();
            EXPECT_GE(dopo, it.value().pointSizeF())
                << nome << "/" << qPrintable(it.key()->objectName());
            if (dopo > it.value().pointSizeF() * 1.3) ++piuGrandi;
        }
        EXPECT_EQ(piuGrandi, caratteri.size()) << nome;
        w->resize(prima);
        QApplication::processEvents();
        for (auto it = caratteri.cbegin(); it != caratteri.cend(); ++it) {
            EXPECT_EQ(it.key()->font(), it.value())
                << nome << "/" << qPrintable(it.key()->objectName());
            EXPECT_EQ(it.key()->geometry(), posti.value(it.key()))
                << nome << "/" << qPrintable(it.key()->objectName());
        }
    }
}

TEST_F(TestiLeggibili, GliElenchiDiRiferimentoMostranoLeVociIntere) {
    auto* c = qobject_cast<Calcolo*>(apri("calcolo"));
    ASSERT_NE(c, nullptr);
    for (int i : {2, 13, 17}) {
        QComboBox* cb = c->elencoRiferimento(i);
        ASSERT_EQ(cb->count(), 18);
        cb->showPopup();
        QApplication::processEvents();
        QAbstractItemView* v = cb->view();
        ASSERT_TRUE(v->isVisible());
        EXPECT_EQ(v->textElideMode(), Qt::ElideNone);
        const QFontMetrics fm(v->font());
        // The list shows the entries in the box's font, each whole.
        EXPECT_EQ(v->font().pointSizeF(), cb->font().pointSizeF());
        for (int k = 0; k < cb->count(); ++k) {
            const QModelIndex idx = v->model()->index(k, 0);
            const int serve = fm.horizontalAdvance(cb->itemText(k));
            EXPECT_GE(v->viewport()->width(), serve) << qPrintable(cb->itemText(k));
            EXPECT_GE(v->visualRect(idx).width(), serve) << qPrintable(cb->itemText(k));
        }
        EXPECT_TRUE(schermo().contains(v->window()->geometry()));
        cb->hidePopup();
        // The box itself keeps its text as the rows set it.
        EXPECT_EQ(cb->currentText(), QString());
    }
}

TEST_F(TestiLeggibili, IvaAl22PerCentoDallaSolaTastiera) {
    auto* c = qobject_cast<Calcolo*>(apri("calcolo"));
    ASSERT_NE(c, nullptr);
    c->activateWindow();
    scrivi(c, riga("costo", 1), QStringLiteral("1000"));
    // From the amount of row S: Tab to its scroll bar, Tab to its list, the
    // first entry (row A), back to the scroll bar, then the digits. The
    // focus is read from the window: on an X server with no window manager
    // the window may not have become the active one yet, and the keys move
    // the window's focus all the same.
    QLineEdit* costoS = c->costo(17);
    costoS->setFocus();
    int tasti = 0;
    auto tasto = [&tasti](QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = {}) {
        ++tasti;
        QTest::keyClick(w, k, m);
    };
    tasto(costoS, Qt::Key_Tab);
    ASSERT_EQ(c->focusWidget(), c->barraPercentuale(17));
    tasto(c->focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(c->elencoRiferimento(17)->isAncestorOf(c->focusWidget()) ||
                c->focusWidget() == c->elencoRiferimento(17));
    tasto(c->focusWidget(), Qt::Key_Down);
    ASSERT_EQ(c->elencoRiferimento(17)->currentIndex(), 0);
    tasto(c->focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(c->focusWidget(), c->barraPercentuale(17));
    tasto(c->barraPercentuale(17), Qt::Key_2);
    tasto(c->barraPercentuale(17), Qt::Key_2);
    EXPECT_EQ(c->barraPercentuale(17)->value(), 22);
    EXPECT_EQ(c->etichettaPercentuale(17)->text(), "22");
    EXPECT_EQ(c->costo(17)->text(), "220");
    EXPECT_EQ(c->progetto()->text(), "1220");
    EXPECT_LE(tasti, 6);

    // Arrows move by one, the page keys by the page step, the wheel as a
    // desktop scroll bar does; every move recalculates the row.
    QScrollBar* h = c->barraPercentuale(17);
    QTest::keyClick(h, Qt::Key_Right);
    EXPECT_EQ(h->value(), 23);
    EXPECT_EQ(c->costo(17)->text(), "230");
    QTest::keyClick(h, Qt::Key_Left);
    QTest::keyClick(h, Qt::Key_Left);
    EXPECT_EQ(h->value(), 21);
    QTest::keyClick(h, Qt::Key_PageUp);
    EXPECT_EQ(h->value(), 21 + h->pageStep());
    QTest::keyClick(h, Qt::Key_PageDown);
    EXPECT_EQ(h->value(), 21);
    const int primaRotella = h->value();
    QWheelEvent rotella(QPointF(5, 5), h->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(h, &rotella);
    EXPECT_NE(h->value(), primaRotella);
    EXPECT_EQ(c->etichettaPercentuale(17)->text(), QString::number(h->value()));
    // Digits after another key start a new number; 100 is the most.
    for (Qt::Key k : {Qt::Key_1, Qt::Key_0, Qt::Key_0}) QTest::keyClick(h, k);
    EXPECT_EQ(h->value(), 100);
    EXPECT_EQ(c->costo(17)->text(), "1000");
}

}  // namespace
}  // namespace varimo::test
