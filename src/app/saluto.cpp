#include "app/saluto.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include "app/avvio.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"

namespace varimo {

namespace {
constexpr int kLarghezza = 640;
constexpr int kAltezza = 360;
constexpr int kBarra = 6;
}  // namespace

Suono::Uscita Saluto::uscitaSuonoScelta() {
    const QString scelta = qEnvironmentVariable("VARIMO_SUONO");
    if (scelta == QLatin1String("nessuno")) return Suono::Uscita::Nessuna;
    if (scelta == QLatin1String("scarto")) return Suono::Uscita::Scarto;
    return Suono::Uscita::Predefinita;
}

Saluto::Saluto(QWidget* parent) : QWidget(parent), suono_(uscitaSuonoScelta()) {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("Varimo"));
    setFixedSize(kLarghezza, kAltezza);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::yellow);
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);

    for (int i = 0; i < 12; ++i) {
        if (i == 6) continue;  // the window has no label 6
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("label_%1").arg(i));
        l->setPalette(pal);
        l->installEventFilter(this);
        etichette_[static_cast<size_t>(i)] = l;
    }
    // Yellow bars framing the window: top, bottom, left, right.
    for (int i : {0, 9, 10, 11}) {
        etichetta(i)->setAutoFillBackground(true);
        QPalette giallo = pal;
        giallo.setColor(QPalette::Window, Qt::yellow);
        etichetta(i)->setPalette(giallo);
    }
    etichetta(0)->setGeometry(0, 0, kLarghezza, kBarra);
    etichetta(9)->setGeometry(0, kAltezza - kBarra, kLarghezza, kBarra);
    etichetta(10)->setGeometry(0, kBarra, kBarra, kAltezza - 2 * kBarra);
    etichetta(11)->setGeometry(kLarghezza - kBarra, kBarra, kBarra, kAltezza - 2 * kBarra);

    immagine_ = new QLabel(this);
    immagine_->setObjectName(QStringLiteral("Image1"));
    // Kept uncompressed (PPM): decoding a PNG was a tenth of the work done
    // before the splash first shows.
    immagine_->setPixmap(QPixmap(QStringLiteral(":/immagini/splash.ppm")));
    immagine_->setGeometry(20, 30, 215, 299);
    immagine_->installEventFilter(this);

    const int x = 255, w = kLarghezza - x - 20;
    etichetta(1)->setText(QStringLiteral("software Veladio"));
    etichetta(1)->setGeometry(x, 30, w, 24);
    etichetta(2)->setText(kPresenta);
    etichetta(2)->setGeometry(x, 58, w, 24);
    QFont grande = font();
    grande.setPointSize(40);
    grande.setWeight(QFont::Black);
    etichetta(3)->setFont(grande);
    etichetta(3)->setGeometry(x, 90, w, 72);
    etichetta(4)->setGeometry(x, 170, w, 24);
    etichetta(5)->setGeometry(x, 200, w, 24);
    etichetta(7)->setText(QString());
    etichetta(7)->setGeometry(x, 230, w, 24);
    etichetta(8)->setText(
        QStringLiteral("(cliccare sulla finestra per iniziare; premere un tasto per uscire)"));
    etichetta(8)->setWordWrap(true);
    etichetta(8)->setGeometry(x, 280, w, 44);

    // Load: the sound's file name, then the labels with the program's texts. The sound is opened
    // and played once the window has been painted (or before any other command sent to it).
    suono_.impostaNomeFile(QStringLiteral("Internet.mid"));
    etichetta(3)->setText(TestiProgramma::nomeprogramma);
    etichetta(4)->setText(TestiProgramma::descrizioneprogramma);
    etichetta(5)->setText(QStringLiteral("EDIZIONE PROFESSIONALE - VERSIONE ") +
                          TestiProgramma::versioneprogramma);
}

Saluto::~Saluto() {
    suono_.chiudi();
}

void Saluto::avviaSuono() {
    if (suonoAvviato_) return;
    suonoAvviato_ = true;
    // Open and play: the synthesizer is built on a worker thread; a pause or
    // a close sent before it is ready keeps it from ever playing.
    suono_.apriInSottofondo();
    suono_.suona();
}

void Saluto::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (suonoAvviato_ || avvioPrenotato_) return;
    // After the picture has reached the screen, when the event loop is back.
    avvioPrenotato_ = true;
    QTimer::singleShot(0, this, [this] { avviaSuono(); });
}

void Saluto::congedo() {
    avviaSuono();
    suono_.suona();
    Finestre::porta(this);
    etichetta(2)->setText(kCongedo);
}

void Saluto::passaAlCalcolo() {
    avviaSuono();
    suono_.pausa();
    mostracalcolo();
}

void Saluto::esciDalSaluto() {
    suonoAvviato_ = true;  // closed before it was opened: it never will be
    suono_.chiudi();
    Finestre::istanza().chiudi(QStringLiteral("catalogo"));
    close();
}

void Saluto::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) passaAlCalcolo();
}

void Saluto::keyPressEvent(QKeyEvent* e) {
    // A key that types a character, Enter and Esc included; modifier keys
    // pressed alone do not count.
    if (!e->text().isEmpty()) {
        esciDalSaluto();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool Saluto::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton && o != this) {
        passaAlCalcolo();  // a click on the label or the picture does the same as one on the window
        return true;
    }
    return QWidget::eventFilter(o, e);
}

}  // namespace varimo
