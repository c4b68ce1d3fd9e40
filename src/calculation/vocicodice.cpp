#include "calculation/vocicodice.h"

#include <QStringList>

#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/interazione.h"
#include "common/testiprogramma.h"

namespace varimo {

const std::array<QString, 13>& vociCodice2023() {
    static const std::array<QString, 13> voci = {
        QStringLiteral("Lavori in economia esclusi dall'appalto"),
        QStringLiteral("Rilievi, accertamenti e indagini"),
        QStringLiteral("Allacciamenti ai pubblici servizi"),
        QStringLiteral("Imprevisti"),
        QStringLiteral("Acquisizione di aree o immobili e indennizzi"),
        QStringLiteral("Accantonamento per la revisione dei prezzi"),
        QStringLiteral("Spese tecniche (progettazione, D.L., sicurezza)"),
        QStringLiteral("Incentivi per funzioni tecniche"),
        QStringLiteral("Spese per attività di consulenza e supporto"),
        QStringLiteral("Spese per commissioni giudicatrici"),
        QStringLiteral("Spese per pubblicità e opere artistiche"),
        QStringLiteral("Accertamenti di laboratorio, verifiche e collaudi"),
        QStringLiteral("IVA ed eventuali altre imposte"),
    };
    return voci;
}

QString voceCodice(int i) {
    if (i < kPrimaVoceCodice || i > kUltimaVoceCodice) return {};
    return vociCodice2023().at(static_cast<std::size_t>(i - kPrimaVoceCodice));
}

QString confermaVociCodice(const StatoCalcolo& s) {
    QStringList sostituite;
    for (int i = kPrimaVoceCodice; i <= kUltimaVoceCodice; ++i) {
        if (s.tipo(i) == voceCodice(i)) continue;
        const QString attuale = s.tipo(i).isEmpty() ? QStringLiteral("(vuota)") : s.tipo(i);
        sostituite << QString(letteraVoce(i)) + QStringLiteral(" - ") + attuale;
    }
    if (sostituite.isEmpty()) return {};
    QStringList righe{
        QStringLiteral("Le voci da E a S prenderanno le denominazioni del D.Lgs. 36/2023 "
                       "(allegato I.7, articolo 5)."),
        QStringLiteral("Saranno sostituite le voci:"),
    };
    righe << sostituite;
    righe << QStringLiteral("Importi, percentuali e voci di riferimento non cambiano. Procedere?");
    return righe.join(QLatin1Char('\r'));
}

bool applicaVociCodice(StatoCalcolo& s) {
    const QString domanda = confermaVociCodice(s);
    if (domanda.isEmpty()) {
        messaggio(QStringLiteral("Le voci da E a S hanno già le denominazioni del D.Lgs. 36/2023."),
                  TestiProgramma::titoloaiuto, Icona::Informazione);
        return false;
    }
    if (messaggio(domanda, TestiProgramma::titoloaiuto, Icona::Domanda, Pulsanti::SiNo,
                  Risposta::No) != Risposta::Si)
        return false;
    // One step of the undo history, when the window keeps one.
    Progetto::Passo passo(Progetto::di(s), QStringLiteral("voci del D.Lgs. 36/2023"));
    for (int i = kPrimaVoceCodice; i <= kUltimaVoceCodice; ++i) s.scriviTipo(i, voceCodice(i));
    return true;
}

}  // namespace varimo
