#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "shell/widgets/clsresize.h"

namespace varimo {

// A help window that keeps its controls in proportion: it owns a clsResize
// while it is loaded and rescales its controls whenever it is resized.
class FinestraProporzionata : public QWidget {
    Q_OBJECT
  public:
    explicit FinestraProporzionata(QWidget* parent = nullptr);
    ~FinestraProporzionata() override;

    clsResize* scala() const { return scala_.get(); }

  protected:
    // Load step of every scaled window, once its controls are at their design
    // places with their texts: fits the layout to the texts (adattaAlTesto),
    // records the layout, sizes the window to 75 % of the screen, then gives it
    // its own size (twips) and, when given, its left edge (twips).
    void avviaScala(int larghezza, int altezza, std::optional<int> sinistra = std::nullopt);

    void resizeEvent(QResizeEvent* e) override;

  private:
    std::unique_ptr<clsResize> scala_;
};

}  // namespace varimo
