// Heap of a long editing session: the calculation window (offscreen, with
// its menus and command bar) takes amounts typed into alternating rows, each one a step of its undo
// history, and the heap in use is printed at intervals. Once the history holds its 500 steps the
// figure must stay flat.
//   varimo_memoria_storia [edits]   (default 150000)
#include <malloc.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "app/registro_finestre.h"
#include "calculation/progetto.h"
#include "calculation/widgets/calcolo.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"

#include "quadro_tipico.h"

using namespace varimo;

namespace {

double heapMiB() {
    const struct mallinfo2 m = ::mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

// Resident memory of the process.
double residenteMiB() {
    long pagine = 0, residenti = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pagine, &residenti) != 2) residenti = 0;
        std::fclose(f);
    }
    return static_cast<double>(residenti) * 4096.0 / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long modifiche = argc > 1 ? std::atol(argv[1]) : 150000;
    // The window as the program builds it: menus, command bar, titles.
    registraFinestre();
    Calcolo* w = Finestre::istanza().mostra<Calcolo>();
    banco::quadroTipico(w->stato());
    w->activateWindow();
    QApplication::setActiveWindow(w);
    QCoreApplication::processEvents();
    Progetto* storia = &w->progettoAperto();
    // Measured from the moment the history is full.
    double pieno = 0;
    for (long k = 1; k <= modifiche; ++k) {
        // Rows B..D in turn, a new amount typed each time: one step per edit.
        QLineEdit* box = w->costo(2 + static_cast<int>(k % 3));
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, QString::number(1000 + k % 100000));
        storia->interrompiUnione();
        if (k % 100 == 0) QCoreApplication::processEvents();
        if (k == 10000) pieno = heapMiB();
        if (k % 10000 == 0)
            std::printf("modifiche %7ld  heap %.2f MiB  residente %.2f MiB\n", k, heapMiB(),
                        residenteMiB());
    }
    const double fine = heapMiB();
    std::printf("crescita dopo la storia piena: %.1f byte per modifica\n",
                (fine - pieno) * 1024.0 * 1024.0 / static_cast<double>(modifiche - 10000));
    return 0;
}
