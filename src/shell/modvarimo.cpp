#include "shell/modvarimo.h"

namespace varimo {

void ModVarimo::datiprogramma() {
    nomeprogramma = QStringLiteral("Varimo");
    descrizioneprogramma = QStringLiteral("elaborazione di un quadro economico");
    versioneprogramma = QStringLiteral("2.04.05");
    dataversione = QStringLiteral("26/01/05");
    // Build date as ddmmyy; the release was built in 2011.
    codicecompilazione = QStringLiteral("150311");
}

void ModVarimo::impostatitoli() {
    datiprogramma();
    titolocontrollo =
        nomeprogramma + QStringLiteral(": controllo dati immessi nella finestra attiva");
    titoloaiuto = nomeprogramma + QStringLiteral(": aiuto in linea");
    titoloelimina =
        QStringLiteral("Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo");
}

void ModVarimo::azzera() {
    nomeprogramma.clear();
    descrizioneprogramma.clear();
    versioneprogramma.clear();
    dataversione.clear();
    codicecompilazione.clear();
    titolocontrollo.clear();
    titoloaiuto.clear();
    titoloelimina.clear();
    nomeprogetto.clear();
    valuta.clear();
    titologuida.clear();
    testoguida.clear();
}

}  // namespace varimo
