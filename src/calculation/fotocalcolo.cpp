#include "calculation/fotocalcolo.h"

#include "common/testiprogramma.h"

namespace varimo {

FotoCalcolo StatoCalcolo::foto() const {
    FotoCalcolo f;
    for (int i = 1; i <= kVoci; ++i) {
        const RigaCalcolo& r = righe_[i];
        FotoRiga& d = f.righe[i];
        d.tipo = r.tipo();
        d.costo = r.costo();
        d.percentuale = r.percentuale();
        d.scorrimento = r.scorrimento();
        d.riferimento = r.riferimento();
        d.centesimi = centesimi[i];
        d.vocerif = vocerif[i];
        d.costorif = costorif[i];
    }
    f.progetto = progetto_();
    f.costoprogetto = costoprogetto_();
    f.senzaVincolo = senzaVincoloVisibile_();
    f.centesimi20 = centesimi20;
    f.statovincolo = statovincolo;
    f.vincoloUtente = vincoloUtente_;
    return f;
}

void StatoCalcolo::ripristina(const FotoCalcolo& f) {
    // The members first, so that a view reading them sees the restored state.
    for (int i = 1; i <= kVoci; ++i) {
        const FotoRiga& d = f.righe[i];
        centesimi[i] = d.centesimi;
        vocerif[i] = d.vocerif;
        costorif[i] = d.costorif;
    }
    centesimi20 = f.centesimi20;
    statovincolo = f.statovincolo;
    vincoloUtente_ = f.vincoloUtente;
    eventoRiferimento_ = EventoRiferimento::Nessuno;
    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& r = righe_[i];
        const FotoRiga& d = f.righe[i];
        r.tipo.ripristina(d.tipo);
        r.costo.ripristina(d.costo);
        r.percentuale.ripristina(d.percentuale);
        r.scorrimento.ripristina(d.scorrimento);
        r.riferimento.ripristina(d.riferimento);
    }
    progetto_.ripristina(f.progetto);
    costoprogetto_.ripristina(f.costoprogetto);
    senzaVincoloVisibile_.ripristina(f.senzaVincolo);
    emit cambiato();
}

}  // namespace varimo
