#include "common/widgets/stile.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <cmath>

namespace varimo {

namespace {
// Frames kept at most; the windows use a handful of sizes.
constexpr qsizetype kCorniciMassime = 256;
}  // namespace

size_t qHash(const StileVarimo::Chiave& k, size_t seme) noexcept {
    return qHashMulti(seme, k.larghezza, k.altezza, k.rapporto, k.fuoco, k.finestra, k.evidenza);
}

StileVarimo::StileVarimo(QStyle* base) : QProxyStyle(base) {
    fusion_ = baseStyle() &&
              baseStyle()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) == 0;
}

void StileVarimo::drawPrimitive(PrimitiveElement elemento, const QStyleOption* opzione,
                                QPainter* pittore, const QWidget* widget) const {
    // Fusion draws this frame from the rectangle's size, the focus and two
    // colours of the palette alone. The copy is put at whole pixels; a
    // painter that scales, rotates or shifts by a fraction draws the frame
    // itself.
    const QTransform& t = pittore ? pittore->deviceTransform() : QTransform();
    const bool intero = t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
                        t.dy() == std::floor(t.dy());
    if (elemento != PE_FrameLineEdit || !fusion_ || !opzione || !pittore || !intero ||
        opzione->rect.isEmpty() || !pittore->device()) {
        QProxyStyle::drawPrimitive(elemento, opzione, pittore, widget);
        return;
    }
    const qreal rapporto = pittore->device()->devicePixelRatio();
    const Chiave chiave{opzione->rect.width(),
                        opzione->rect.height(),
                        rapporto,
                        (opzione->state & State_HasFocus) != 0,
                        opzione->palette.window().color().rgba(),
                        opzione->palette.highlight().color().rgba()};
    auto trovata = cornici_.constFind(chiave);
    if (trovata == cornici_.constEnd()) {
        QPixmap cornice(opzione->rect.size() * rapporto);
        cornice.setDevicePixelRatio(rapporto);
        cornice.fill(Qt::transparent);
        QPainter p(&cornice);
        p.setRenderHints(pittore->renderHints());
        QStyleOption copia(*opzione);
        copia.rect = QRect(QPoint(0, 0), opzione->rect.size());
        QProxyStyle::drawPrimitive(elemento, &copia, &p, widget);
        p.end();
        if (cornici_.size() >= kCorniciMassime) cornici_.clear();
        trovata = cornici_.insert(chiave, cornice);
    }
    pittore->drawPixmap(opzione->rect.topLeft(), *trovata);
}

void installaStile() {
    // A fresh instance of the style in use, so that a style chosen with
    // -style or QT_STYLE_OVERRIDE stays the one the windows show.
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    QApplication::setStyle(new StileVarimo(base));
}

}  // namespace varimo
