#include "common/widgets/proporzioni.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace varimo {

namespace {

constexpr const char* kProprieta = "varimoProporzioni";

// Size of a font: points, or pixels (negative) for a font given in pixels.
double misuraCarattere(const QFont& f) {
    return f.pointSizeF() > 0 ? f.pointSizeF() : -static_cast<double>(f.pixelSize());
}

void scalaCarattere(QWidget* c, double misura, double fattore) {
    QFont f = c->font();
    if (misura > 0) {
        const double punti = misura * fattore;
        if (f.pointSizeF() == punti && (f.resolveMask() & QFont::SizeResolved)) return;
        f.setPointSizeF(punti);
    } else if (misura < 0) {
        const int pixel = std::max(1, static_cast<int>(std::lround(-misura * fattore)));
        if (f.pixelSize() == pixel && (f.resolveMask() & QFont::SizeResolved)) return;
        f.setPixelSize(pixel);
    } else {
        return;
    }
    c->setFont(f);
}

// The central area of a main window has not been laid out while the window
// is hidden: this lays it out now, at the window's present size.
void disponi(QWidget* finestra) {
    if (QLayout* l = finestra->layout()) l->setGeometry(finestra->rect());
}

}  // namespace

Proporzioni::Proporzioni(QWidget* area, QSize disegno)
    : QObject(area), area_(area), disegno_(disegno) {
    // Every control's own font is kept, the area's first: each is then
    // scaled on its own, as fonts set on a control (bold, larger titles) do
    // not follow the area's.
    caratteri_.append({area, misuraCarattere(area->font())});
    for (QWidget* c : area->findChildren<QWidget*>()) {
        if (c->isWindow()) continue;
        caratteri_.append({c, misuraCarattere(c->font())});
    }
    area->setProperty(kProprieta, QVariant::fromValue(static_cast<QObject*>(this)));
    area->installEventFilter(this);
}

Proporzioni* Proporzioni::avvia(QWidget* area, int larghezza, int altezza, QSize almeno) {
    if (QLayout* l = area->layout()) l->activate();
    const QSize minima = area->minimumSizeHint().expandedTo(QSize(1, 1));
    QSize d = area->sizeHint().expandedTo(almeno).expandedTo(minima);
    if (larghezza > 0 && altezza > 0) {
        // The window keeps the proportions of its design: the shorter side
        // grows until they hold.
        const double rapporto = static_cast<double>(larghezza) / altezza;
        if (d.width() < d.height() * rapporto)
            d.setWidth(static_cast<int>(std::ceil(d.height() * rapporto)));
        else
            d.setHeight(static_cast<int>(std::ceil(d.width() / rapporto)));
    }
    area->setMinimumSize(minima);
    auto* p = new Proporzioni(area, d);
    portaAlDisegno(area->window());
    return p;
}

Proporzioni* Proporzioni::di(const QWidget* area) {
    if (!area) return nullptr;
    return qobject_cast<Proporzioni*>(area->property(kProprieta).value<QObject*>());
}

bool Proporzioni::eventFilter(QObject* o, QEvent* e) {
    if (o == area_ && e->type() == QEvent::Resize) applica();
    return QObject::eventFilter(o, e);
}

void Proporzioni::applica() {
    if (!area_ || disegno_.isEmpty()) return;
    // A minimised window keeps the fonts it had.
    if (area_->window()->isMinimized()) return;
    const double fx = static_cast<double>(area_->width()) / disegno_.width();
    const double fy = static_cast<double>(area_->height()) / disegno_.height();
    const double f = std::min(fx, fy);
    if (!std::isfinite(f) || f <= 0 || f == fattore_) return;
    fattore_ = f;
    for (const Carattere& c : caratteri_) {
        if (c.controllo) scalaCarattere(c.controllo, c.misura, f);
    }
}

void portaAlDisegno(QWidget* finestra) {
    if (!finestra) return;
    QWidget* area = finestra;
    if (auto* mw = qobject_cast<QMainWindow*>(finestra); mw && mw->centralWidget())
        area = mw->centralWidget();
    const Proporzioni* p = Proporzioni::di(area);
    if (!p) return;
    QSize intorno(0, 0);
    if (area != finestra) {
        disponi(finestra);
        intorno = QSize(std::max(0, finestra->width() - area->width()),
                        std::max(0, finestra->height() - area->height()));
    }
    finestra->resize(p->disegno() + intorno);
    if (area != finestra) disponi(finestra);
}

void collocaSulloSchermo(QWidget* finestra, double sinistra) {
    const QScreen* s = finestra->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect a = s->availableGeometry();
    finestra->move(a.x() + static_cast<int>(a.width() * sinistra), a.y() + a.height() / 8);
}

void fissaMisura(QWidget* finestra, int larghezza) {
    QLayout* l = finestra->layout();
    if (!l) return;
    l->activate();
    larghezza = std::max(larghezza, l->totalMinimumSize().width());
    const int altezza =
        l->hasHeightForWidth() ? l->totalHeightForWidth(larghezza) : l->totalSizeHint().height();
    finestra->setFixedSize(larghezza, std::max(altezza, l->totalMinimumSize().height()));
}

int larghezzaCaratteri(const QFontMetrics& fm, double caratteri) {
    return static_cast<int>(std::ceil(fm.averageCharWidth() * caratteri));
}

int altezzaRighe(const QFontMetrics& fm, double righe) {
    return static_cast<int>(std::ceil(fm.height() * righe));
}

}  // namespace varimo
