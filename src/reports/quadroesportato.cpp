#include "reports/quadroesportato.h"

#include <QStringList>

namespace varimo {

QString percentualeItaliana(const QString& percentuale) {
    QString p = percentuale;
    return p.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString regolaEsportata(const QuadroEsportato& q, const VoceEsportata& v) {
    if (!v.regola.isEmpty() || v.tipo != VoceEsportata::Tipo::Percentuale) return v.regola;
    QStringList codici;
    for (int i : v.riferimenti)
        if (i >= 0 && i < q.voci.size()) codici << q.voci.at(i).codice;
    return percentualeItaliana(v.percentuale) + QStringLiteral(" % di ") +
           codici.join(QStringLiteral(" + "));
}

}  // namespace varimo
