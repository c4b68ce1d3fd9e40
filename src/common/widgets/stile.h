#pragma once

#include <QHash>
#include <QPixmap>
#include <QProxyStyle>

namespace varimo {

// The program's style: the one the application chose (the platform's own, or
// the one asked for with -style), except that under Fusion the frame of a
// text box is drawn once for each size, focus and palette into a transparent
// picture that is then copied. Fusion strokes that rounded, antialiased
// outline and its shaded line afresh every time, which was two thirds of the
// cost of a keystroke in the calculation window (it repaints the sixteen
// boxes whose amounts change). The copy looks the same: only the blending of
// the outline's antialiased edge pixels is rounded differently (by at most 2
// in 255).
class StileVarimo final : public QProxyStyle {
  public:
    // Over `base` (taken over), or over the platform's default style.
    explicit StileVarimo(QStyle* base = nullptr);
    void drawPrimitive(PrimitiveElement elemento, const QStyleOption* opzione, QPainter* pittore,
                       const QWidget* widget = nullptr) const override;

    struct Chiave {
        int larghezza, altezza;
        qreal rapporto;  // device pixel ratio
        bool fuoco;
        QRgb finestra, evidenza;  // the palette colours the frame is made of
        bool operator==(const Chiave&) const = default;
    };

  private:
    bool fusion_ = false;
    mutable QHash<Chiave, QPixmap> cornici_;
};

size_t qHash(const StileVarimo::Chiave& k, size_t seme = 0) noexcept;

// Puts the program's style over the application's present one (the
// application must exist, its windows not yet).
void installaStile();

}  // namespace varimo
