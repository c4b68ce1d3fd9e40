#include "shell/interazione.h"

namespace varimo {

namespace {

// Used before the program installs its dialogs: never blocks, never agrees.
class InterazioneSilenziosa final : public Interazione {
  public:
    Risposta mostraMessaggio(const Messaggio& m) override {
        switch (m.pulsanti) {
            case Pulsanti::SiNo:
                return Risposta::No;
            case Pulsanti::SiNoAnnulla:
                return Risposta::Annulla;
            case Pulsanti::Ok:
                break;
        }
        return Risposta::Ok;
    }
    std::optional<QString> chiediFile(const RichiestaFile&) override { return std::nullopt; }
    std::optional<quint32> chiediColore(quint32) override { return std::nullopt; }
};

InterazioneSilenziosa silenziosa;
Interazione* attuale = &silenziosa;

}  // namespace

Interazione& Interazione::corrente() {
    return *attuale;
}

void Interazione::imposta(Interazione* i) {
    attuale = i ? i : &silenziosa;
}

Risposta messaggio(const QString& testo, const QString& titolo, Icona icona, Pulsanti pulsanti,
                   Risposta predefinita) {
    return Interazione::corrente().mostraMessaggio(
        Messaggio{testo, titolo, icona, pulsanti, predefinita});
}

}  // namespace varimo
