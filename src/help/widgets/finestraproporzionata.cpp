#include "help/widgets/finestraproporzionata.h"

#include "shell/widgets/twips.h"

namespace varimo {

FinestraProporzionata::FinestraProporzionata(QWidget* parent) : QWidget(parent) {}

FinestraProporzionata::~FinestraProporzionata() = default;

void FinestraProporzionata::avviaScala(int larghezza, int altezza, std::optional<int> sinistra) {
    scala_ = std::make_unique<clsResize>();
    scala_->setSourceForm(this);
    scala_->SizeFormToScreen(75);
    resize(twip(larghezza), twip(altezza));
    if (sinistra) move(twip(*sinistra), y());
    // A window not yet shown receives its resize event only when it appears;
    // the controls are placed now so the window is right from the start.
    scala_->ResizeControls();
}

void FinestraProporzionata::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (scala_) scala_->ResizeControls();
}

}  // namespace varimo
