#include "common/interazione.h"

#include <QObject>
#include <QPointer>
#include <vector>

namespace varimo {

namespace {

// Used before the program installs its dialogs: never blocks, never agrees.
class InterazioneSilenziosa final : public Interazione {
  public:
    Risposta mostraMessaggio(const Messaggio& m) override { return rispostaPrudente(m.pulsanti); }
    std::optional<QString> chiediFile(const RichiestaFile&) override { return std::nullopt; }
    std::optional<quint32> chiediColore(quint32) override { return std::nullopt; }
};

InterazioneSilenziosa silenziosa;
Interazione* attuale = &silenziosa;

struct Preparazione {
    QPointer<QObject> proprietario;
    std::function<void()> f;
};
std::vector<Preparazione> preparazioni;

}  // namespace

Risposta rispostaPrudente(Pulsanti p) {
    switch (p) {
        case Pulsanti::SiNo:
            return Risposta::No;
        case Pulsanti::SiNoAnnulla:
            return Risposta::Annulla;
        case Pulsanti::Ok:
            break;
    }
    return Risposta::Ok;
}

Interazione& Interazione::corrente() {
    return *attuale;
}

void Interazione::imposta(Interazione* i) {
    attuale = i ? i : &silenziosa;
}

void primaDiOgniMessaggio(QObject* proprietario, std::function<void()> f) {
    std::erase_if(preparazioni, [](const Preparazione& p) { return p.proprietario.isNull(); });
    preparazioni.push_back({proprietario, std::move(f)});
}

Risposta messaggio(const QString& testo, const QString& titolo, Icona icona, Pulsanti pulsanti,
                   Risposta predefinita) {
    const std::vector<Preparazione> daFare = preparazioni;
    for (const Preparazione& p : daFare)
        if (!p.proprietario.isNull()) p.f();
    return Interazione::corrente().mostraMessaggio(
        Messaggio{testo, titolo, icona, pulsanti, predefinita});
}

void avviso(const QString& testo, const QString& titolo, Icona icona) {
    const std::vector<Preparazione> daFare = preparazioni;
    for (const Preparazione& p : daFare)
        if (!p.proprietario.isNull()) p.f();
    Interazione::corrente().mostraAvviso(
        Messaggio{testo, titolo, icona, Pulsanti::Ok, Risposta::Ok});
}

}  // namespace varimo
