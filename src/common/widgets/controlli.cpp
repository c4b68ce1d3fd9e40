#include "common/widgets/controlli.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "common/numeri.h"
#include "common/widgets/proporzioni.h"

namespace varimo {

namespace {

// Frame of a window before the window manager has framed it.
constexpr int kBordoStimato = 4;
constexpr int kTitoloStimato = 30;

}  // namespace

QString nomeControllo(const char* base, int i) {
    return QString::fromLatin1(base) + QLatin1Char('_') + QString::number(i);
}

void sfondo(QWidget* w, const QColor& c) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
}

void grassetto(QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}

void testoColorato(QWidget* w, const QColor& testo, bool inGrassetto) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, testo);
    p.setColor(QPalette::WindowText, testo);
    w->setPalette(p);
    if (inGrassetto) grassetto(w);
}

void mostraTesto(QLineEdit* e, const QString& t) {
    if (e->text() == t) return;
    e->setText(t);
    e->setCursorPosition(0);
}

void segnaImporto(QLineEdit* e, bool leggibile) {
    static const char* const kSegnato = "varimoImportoSegnato";
    static const char* const kSuggerimento = "varimoSuggerimentoProprio";
    static const char* const kSfondo = "varimoSfondoProprio";
    // A number beyond the exact range reads, but is marked all the same.
    const QString perche =
        separatoreFuoriPosto(e->text())
            ? QStringLiteral(
                  "Separatore delle migliaia fuori posto: per i decimali usare la virgola")
        : letturaRigorosa(e->text())
            ? QStringLiteral("Importo oltre 999.999.999.999,99: il calcolo non è più esatto")
            : QStringLiteral("Importo non leggibile: usare cifre, la virgola per i decimali");
    if (e->property(kSegnato).toBool() == !leggibile) {
        if (!leggibile) e->setToolTip(perche);
        return;
    }
    e->setProperty(kSegnato, !leggibile);
    QPalette p = e->palette();
    if (!leggibile) {
        e->setProperty(kSuggerimento, e->toolTip());
        e->setProperty(kSfondo, p.color(QPalette::Base));
        p.setColor(QPalette::Base, QColor(255, 120, 120));
        e->setToolTip(perche);
    } else {
        p.setColor(QPalette::Base, e->property(kSfondo).value<QColor>());
        e->setToolTip(e->property(kSuggerimento).toString());
    }
    e->setPalette(p);
}

QGridLayout* creaAreaCentrale(QMainWindow* finestra) {
    auto* area = new QWidget(finestra);
    area->setObjectName(QStringLiteral("area"));
    QFont f = area->font();
    f.setPointSize(8);
    area->setFont(f);
    finestra->setCentralWidget(area);
    auto* griglia = new QGridLayout(area);
    griglia->setSpacing(0);
    // Narrow margins: a character and a half at the sides and below, a
    // little above the headings, which start just under the command bar.
    const QFontMetrics fm(f);
    const int lato = larghezzaCaratteri(fm, 1.6);
    griglia->setContentsMargins(lato, fm.height() / 3, lato, fm.height() / 2);
    return griglia;
}

void riempieCella(QWidget* c) {
    QSizePolicy p = c->sizePolicy();
    p.setHorizontalPolicy(QSizePolicy::Ignored);
    p.setVerticalPolicy(QSizePolicy::Preferred);
    c->setSizePolicy(p);
}

void poniInCella(QGridLayout* griglia, QWidget* c, int riga, int colonna, int righe, int colonne) {
    riempieCella(c);
    griglia->addWidget(c, riga, colonna, righe, colonne);
}

void proporzionaGriglia(QGridLayout* griglia, const QFontMetrics& fm,
                        std::span<const double> larghezze, std::initializer_list<int> spazi,
                        int tasti) {
    for (int k = 0; k < static_cast<int>(larghezze.size()); ++k) {
        const double l = larghezze[static_cast<std::size_t>(k)];
        griglia->setColumnMinimumWidth(k, larghezzaCaratteri(fm, l));
        griglia->setColumnStretch(k, static_cast<int>(l * 10));
    }
    for (int r = 0; r <= tasti; ++r) griglia->setRowStretch(r, 2);
    for (int r : spazi) {
        griglia->setRowMinimumHeight(r, fm.height() / 2);
        griglia->setRowStretch(r, 1);
    }
    griglia->setRowStretch(tasti, 3);
}

QLabel* titoloColonna(QWidget* area, const QString& nome, const QString& testo,
                      const QString& suggerimento) {
    auto* l = new QLabel(testo, area);
    l->setObjectName(nome);
    l->setToolTip(suggerimento);
    sfondo(l, Qt::cyan);
    return l;
}

int ElencoIntero::larghezzaElenco() const {
    const QFontMetrics fm(font());
    int testo = 0;
    for (int i = 0; i < count(); ++i) testo = std::max(testo, fm.horizontalAdvance(itemText(i)));
    // Item margins and focus frame of the style, the list's frame, and the
    // scroll bar when the list holds more entries than it shows.
    const int margini = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) +
                        2 * fm.horizontalAdvance(QLatin1Char(' '));
    const int cornice = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int barra =
        count() > maxVisibleItems() ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    return testo + margini + cornice + barra;
}

void ElencoIntero::showPopup() {
    QAbstractItemView* v = view();
    // The open list is a window of its own and would take the application's
    // font: it shows the entries in the box's font, measured here.
    v->setFont(font());
    v->setTextElideMode(Qt::ElideNone);
    int larghezza = std::max(width(), larghezzaElenco());
    if (const QScreen* s = screen())
        larghezza = std::min(larghezza, s->availableGeometry().width());
    v->setMinimumWidth(larghezza);
    QComboBox::showPopup();
}

BarraPercentuale::BarraPercentuale(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void BarraPercentuale::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9 && !(e->modifiers() & ~Qt::KeypadModifier)) {
        const int v = cifre_.cifra(k - Qt::Key_0, static_cast<qint64>(e->timestamp()));
        setValue(std::clamp(v, minimum(), maximum()));
        e->accept();
        return;
    }
    cifre_.azzera();
    // A percentage grows to the right and upwards, whatever way a scroll bar
    // of a document would go (the wheel keeps the desktop's direction).
    if (!e->modifiers()) {
        switch (k) {
            case Qt::Key_Right:
            case Qt::Key_Up:
                triggerAction(SliderSingleStepAdd);
                return;
            case Qt::Key_Left:
            case Qt::Key_Down:
                triggerAction(SliderSingleStepSub);
                return;
            case Qt::Key_PageUp:
                triggerAction(SliderPageStepAdd);
                return;
            case Qt::Key_PageDown:
                triggerAction(SliderPageStepSub);
                return;
            default:
                break;
        }
    }
    QScrollBar::keyPressEvent(e);
}

void BarraPercentuale::focusOutEvent(QFocusEvent* e) {
    cifre_.azzera();
    QScrollBar::focusOutEvent(e);
}

void dentroLoSchermo(QWidget* finestra) {
    const QScreen* s = finestra->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    const QRect dentro = finestra->geometry();
    QRect telaio = finestra->frameGeometry();
    if (telaio == dentro) {
        // The frame is not known before the window manager has framed the
        // window: room for a title bar and thin borders is kept anyway.
        telaio = dentro.adjusted(-kBordoStimato, -kTitoloStimato, kBordoStimato, kBordoStimato);
    }
    if (area.contains(telaio)) return;
    int x = telaio.x();
    int y = telaio.y();
    x = std::max(area.left(), std::min(x, area.right() + 1 - telaio.width()));
    y = std::max(area.top(), std::min(y, area.bottom() + 1 - telaio.height()));
    // pos() of a window is the place of its frame.
    finestra->move(x, y);
}

}  // namespace varimo
