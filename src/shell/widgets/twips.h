#pragma once

#include <QRect>

class QWidget;

namespace varimo {

// Window layouts are designed in twips (1/1440 inch). These convert to pixels
// with the screen's logical resolution (15 twips per pixel at 96 dpi).
double pixelPerTwip();
int twip(double t);
QRect twipRect(int left, int top, int width, int height);
// Places a control at a position given in twips.
void collocaTwip(QWidget* w, int left, int top, int width, int height);

}  // namespace varimo
