#include "help/widgets/testiaiuto.h"

#include <QFile>

namespace varimo {

QString testoAiuto(const QString& nome) {
    QFile f(QStringLiteral(":/help/") + nome);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString testo = QString::fromUtf8(f.readAll());
    while (testo.endsWith(QLatin1Char('\n')) || testo.endsWith(QLatin1Char('\r'))) testo.chop(1);
    return testo;
}

}  // namespace varimo
