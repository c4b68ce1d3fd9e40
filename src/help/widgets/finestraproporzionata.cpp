#include "help/widgets/finestraproporzionata.h"

#include "shell/widgets/twips.h"

namespace varimo {

FinestraProporzionata::FinestraProporzionata(QWidget* parent) : QWidget(parent) {
    impostaFattoreTwip(this, fattoreCarattere(font()));
}

FinestraProporzionata::~FinestraProporzionata() = default;

void FinestraProporzionata::avviaScala(int larghezza, int altezza, std::optional<int> sinistra) {
    // The layout first grows for the texts of the window, at its design size.
    resize(twip(this, larghezza), twip(this, altezza));
    adattaAlTesto(this);
    resize(twip(this, larghezza), twip(this, altezza));
    scala_ = std::make_unique<clsResize>();
    scala_->setSourceForm(this);
    scala_->SizeFormToScreen(75);
    resize(twip(this, larghezza), twip(this, altezza));
    if (sinistra) move(twip(this, *sinistra), y());
    // A window not yet shown receives its resize event only when it appears;
    // the controls are placed now so the window is right from the start.
    scala_->ResizeControls();
}

void FinestraProporzionata::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (scala_) scala_->ResizeControls();
}

}  // namespace varimo
