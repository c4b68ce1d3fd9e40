#include "app/misuraavvio.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace varimo {

namespace {

long piccoMemoriaKib() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    long kib = -1;
    char riga[256];
    while (std::fgets(riga, sizeof riga, f)) {
        if (std::sscanf(riga, "VmHWM: %ld", &kib) == 1) break;
    }
    std::fclose(f);
    return kib;
}

// Sees every event of the application until a window is painted. The paint
// event of a window comes before its children's and before the picture is
// handed to the screen; the line is written when the event loop gets back
// control, that is once the whole window has been painted and flushed.
class Osservatore final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!visto_ && e->type() == QEvent::Paint && o->isWidgetType() &&
            static_cast<QWidget*>(o)->isWindow()) {
            visto_ = true;
            QTimer::singleShot(0, this, [this] {
                timespec t{};
                clock_gettime(CLOCK_MONOTONIC, &t);
                const long long ns = static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
                std::printf("avvio %lld %ld\n", ns, piccoMemoriaKib());
                std::fflush(stdout);
                QCoreApplication::instance()->removeEventFilter(this);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(o, e);
    }

  private:
    bool visto_ = false;
};

}  // namespace

bool misuraAvvioRichiesta() {
    return std::getenv("VARIMO_MISURA_AVVIO") != nullptr;
}

void misuraAlPrimoDisegno() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !misuraAvvioRichiesta()) return;
    app->installEventFilter(new Osservatore(app));
}

}  // namespace varimo
