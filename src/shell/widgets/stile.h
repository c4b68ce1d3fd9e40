#pragma once

#include <QHash>
#include <QPixmap>
#include <QProxyStyle>

namespace varimo {

// The program's style: the platform's own, except that the frame of a text
// box, when the style is Fusion, is drawn once for each size, focus and
// palette into a transparent picture that is then copied. Drawing that
// rounded, antialiased frame was a third of the cost of painting a box, and
// the calculation window repaints a dozen boxes at every keystroke. The copy
// looks the same: only the blending of the frame's antialiased edge pixels is
// rounded differently (by at most 2 in 255).
class StileVarimo final : public QProxyStyle {
  public:
    // Over the platform's default style, or over `base` (taken over).
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

// Installs the program's style on the application (which must exist).
void installaStile();

}  // namespace varimo
