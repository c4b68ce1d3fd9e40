// The yardstick of the start-up benchmark: a bare Qt Widgets program whose
// one window holds one label. It ends at its first painted window like the
// real program does under the same switch.
#include <QApplication>
#include <QLabel>

#include "app/misuraavvio.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    varimo::misuraAlPrimoDisegno();
    QLabel etichetta(QStringLiteral("Varimo"));
    etichetta.show();
    return QApplication::exec();
}
