#include "shell/widgets/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace varimo {

double pixelPerTwip() {
    double dpi = 96.0;
    if (const QScreen* s = QGuiApplication::primaryScreen()) dpi = s->logicalDotsPerInch();
    if (dpi <= 0) dpi = 96.0;
    return dpi / 1440.0;
}

int twip(double t) {
    return static_cast<int>(std::lround(t * pixelPerTwip()));
}

QRect twipRect(int left, int top, int width, int height) {
    return QRect(twip(left), twip(top), twip(width), twip(height));
}

void collocaTwip(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipRect(left, top, width, height));
}

}  // namespace varimo
