#include "shell/interazione.h"

namespace varimo {

namespace {

// Used before the program installs its dialogs: never blocks, never agrees.
class InterazioneSilenziosa final : public Interazione {
  public:
    Risposta mostraMessaggio(const Messaggio& m) override {
        return m.pulsanti == Pulsanti::SiNo ? Risposta::No : Risposta::Ok;
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
