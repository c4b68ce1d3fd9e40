#include "help/edizione.h"

#include <QStringList>

namespace varimo {

int annoVersione(const QString& dataversione) {
    const QStringList parti = dataversione.trimmed().split(QLatin1Char('/'));
    if (parti.size() != 3) return 0;
    const QString testo = parti.at(2).trimmed();
    bool ok = false;
    const int anno = testo.toInt(&ok);
    if (!ok || anno < 0 || testo.size() > 4) return 0;
    if (testo.size() <= 2) return anno < 30 ? 2000 + anno : 1900 + anno;
    return anno;
}

QString rigaEdizione(const QString& versione, const QString& dataversione,
                     const QString& codicecompilazione) {
    const int anno = annoVersione(dataversione);
    // A number written as text keeps a leading blank for its sign. An
    // unreadable date leaves the year out rather than showing a wrong one.
    const QString annoTesto = anno > 0 ? QLatin1Char(' ') + QString::number(anno) : QString();
    return QStringLiteral("edizione professionale - versione ") + versione + QStringLiteral("  ") +
           annoTesto + QStringLiteral("- 20") + codicecompilazione.right(2);
}

}  // namespace varimo
