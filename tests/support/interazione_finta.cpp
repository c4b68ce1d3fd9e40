#include "support/interazione_finta.h"

namespace varimo::test {

InterazioneFinta::InterazioneFinta() {
    Interazione::imposta(this);
}

InterazioneFinta::~InterazioneFinta() {
    Interazione::imposta(nullptr);
}

Risposta InterazioneFinta::mostraMessaggio(const Messaggio& m) {
    messaggi.append(m);
    if (allaDomanda) allaDomanda(m);
    if (!risposte.empty()) {
        const Risposta r = risposte.front();
        risposte.pop_front();
        return r;
    }
    return rispostaPrudente(m.pulsanti);
}

std::optional<QString> InterazioneFinta::chiediFile(const RichiestaFile& r) {
    richiesteFile.append(r);
    if (file.empty()) return std::nullopt;
    const bool scelto = file.front().has_value();
    const QString nome = scelto ? *file.front() : QString();
    file.pop_front();
    if (!scelto) return std::nullopt;
    return nome;
}

std::optional<quint32> InterazioneFinta::chiediColore(quint32 iniziale) {
    richiesteColore.append(iniziale);
    if (colori.empty()) return std::nullopt;
    auto c = colori.front();
    colori.pop_front();
    return c;
}

QStringList InterazioneFinta::testi() const {
    QStringList t;
    for (const auto& m : messaggi) t << m.testo;
    return t;
}

}  // namespace varimo::test
