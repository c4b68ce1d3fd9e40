#include "calculation/storiacalcolo.h"

#include "shell/modvarimo.h"

namespace varimo {

namespace {

QString voce(int i) {
    return QStringLiteral(" voce ") + letteraVoce(i);
}

QString chiave(const char* box, int i = 0) {
    return QString::fromLatin1(box) + QLatin1Char('_') + QString::number(i);
}

}  // namespace

StoriaCalcolo::StoriaCalcolo(StatoCalcolo& stato)
    : QObject(&stato), stato_(stato), attuale_(stato.foto()) {
    setObjectName(QStringLiteral("storia"));
    connect(&stato_, &StatoCalcolo::cambiato, this, &StoriaCalcolo::fineOperazioneEsterna);
}

StoriaCalcolo::~StoriaCalcolo() = default;

StoriaCalcolo* StoriaCalcolo::di(const StatoCalcolo& stato) {
    return stato.findChild<StoriaCalcolo*>(QString(), Qt::FindDirectChildrenOnly);
}

// ---------------------------------------------------------------- steps

StoriaCalcolo::Passo::Passo(StoriaCalcolo* storia, const QString& nome, const QString& unione)
    : storia_(storia) {
    if (storia_) storia_->inizia(nome, unione);
}

StoriaCalcolo::Passo::~Passo() {
    if (storia_) storia_->concludi();
}

void StoriaCalcolo::registraPasso(const QString& nome, const std::function<void()>& operazione,
                                  const QString& unione) {
    Passo passo(this, nome, unione);
    if (operazione) operazione();
}

StoriaCalcolo::Esterno StoriaCalcolo::esterno() const {
    return Esterno{stato_.filecorrente, ModVarimo::nomeprogetto, ModVarimo::valuta};
}

void StoriaCalcolo::inizia(const QString& nome, const QString& unione) {
    if (profondita_++ > 0) return;
    nome_ = nome;
    unione_ = unione;
    esternoInizio_ = esterno();
}

void StoriaCalcolo::concludi() {
    if (--profondita_ > 0) return;
    if (ripristino_) return;
    registra(nome_, unione_, esternoInizio_);
}

// An operation that did not name itself has finished.
void StoriaCalcolo::fineOperazioneEsterna() {
    if (profondita_ > 0 || ripristino_) return;
    registra(QStringLiteral("modifica dati"), {}, esterno());
}

void StoriaCalcolo::registra(const QString& nome, const QString& unione,
                             const Esterno& esternoPrima) {
    FotoCalcolo dopo = stato_.foto();
    const Esterno esternoDopo = esterno();
    if (dopo == attuale_ && esternoDopo == esternoPrima) return;

    const bool unisci = !unione.isEmpty() && unione == unioneAperta_ && indice_ > 0 &&
                        indice_ == static_cast<int>(passi_.size()) &&
                        passi_[indice_ - 1].unione == unione &&
                        passi_[indice_ - 1].generazione == generazione_ && pulito_ != indice_;
    if (unisci) {
        Voce& v = passi_[indice_ - 1];
        v.nome = nome;
        v.dopo = std::move(dopo);
        v.esternoDopo = esternoDopo;
        attuale_ = v.dopo;
        // Typed and typed away again: the step changes nothing any more.
        if (v.dopo == v.prima && v.esternoDopo == v.esternoPrima) {
            passi_.pop_back();
            --indice_;
        }
        emit cambiata();
        return;
    }

    // A new step drops what could be redone.
    if (indice_ < static_cast<int>(passi_.size())) {
        passi_.erase(passi_.begin() + indice_, passi_.end());
        if (pulito_ > indice_) pulito_ = -1;
    }
    ++generazione_;
    passi_.push_back(
        Voce{nome, std::move(attuale_), dopo, esternoPrima, esternoDopo, unione, generazione_});
    attuale_ = std::move(dopo);
    ++indice_;
    unioneAperta_ = unione;
    if (static_cast<int>(passi_.size()) > kPassiConservati) {
        passi_.pop_front();
        --indice_;
        pulito_ = pulito_ > 0 ? pulito_ - 1 : -1;
    }
    emit cambiata();
}

void StoriaCalcolo::interrompiUnione() {
    ++generazione_;
    unioneAperta_.clear();
}

// ---------------------------------------------------------------- undo, redo

QString StoriaCalcolo::nomeAnnulla() const {
    return puoAnnullare() ? passi_[indice_ - 1].nome : QString();
}

QString StoriaCalcolo::nomeRipeti() const {
    return puoRipetere() ? passi_[indice_].nome : QString();
}

void StoriaCalcolo::applica(const FotoCalcolo& f, const Esterno& da, const Esterno& a) {
    ripristino_ = true;
    struct Fine {
        bool& b;
        ~Fine() { b = false; }
    } fine{ripristino_};
    if (da.filecorrente != a.filecorrente) stato_.filecorrente = a.filecorrente;
    if (da.nomeprogetto != a.nomeprogetto || da.valuta != a.valuta) {
        ModVarimo::nomeprogetto = a.nomeprogetto;
        ModVarimo::valuta = a.valuta;
        if (impostaNomeValuta_) impostaNomeValuta_(a.nomeprogetto, a.valuta);
    }
    stato_.ripristina(f);
    attuale_ = f;
}

void StoriaCalcolo::annulla() {
    if (!puoAnnullare() || profondita_ > 0) return;
    interrompiUnione();
    const Voce& v = passi_[indice_ - 1];
    --indice_;
    applica(v.prima, v.esternoDopo, v.esternoPrima);
    emit cambiata();
}

void StoriaCalcolo::ripeti() {
    if (!puoRipetere() || profondita_ > 0) return;
    interrompiUnione();
    const Voce& v = passi_[indice_];
    ++indice_;
    applica(v.dopo, v.esternoPrima, v.esternoDopo);
    emit cambiata();
}

void StoriaCalcolo::svuota() {
    passi_.clear();
    indice_ = 0;
    pulito_ = 0;
    attuale_ = stato_.foto();
    interrompiUnione();
    emit cambiata();
}

void StoriaCalcolo::segnaSalvato() {
    pulito_ = indice_;
    interrompiUnione();
    emit cambiata();
}

// ---------------------------------------------------------------- user operations

void StoriaCalcolo::scriviTipo(int i, const QString& testo) {
    registraPasso(
        QStringLiteral("modifica descrizione") + voce(i), [&] { stato_.scriviTipo(i, testo); },
        chiave("tipo", i));
}

void StoriaCalcolo::scriviCosto(int i, const QString& testo) {
    registraPasso(
        QStringLiteral("modifica importo") + voce(i), [&] { stato_.scriviCosto(i, testo); },
        chiave("costo", i));
}

void StoriaCalcolo::scriviHScroll(int i, int valore, bool trascinamento) {
    registraPasso(
        QStringLiteral("modifica percentuale") + voce(i), [&] { stato_.scriviHScroll(i, valore); },
        trascinamento ? chiave("HScroll1", i) : QString());
}

void StoriaCalcolo::scriviTestoCombo(int i, const QString& testo) {
    registraPasso(
        QStringLiteral("modifica riferimento") + voce(i),
        [&] { stato_.scriviTestoCombo(i, testo); }, chiave("Combo1", i));
}

void StoriaCalcolo::scegliCombo(int i, int posizione) {
    registraPasso(QStringLiteral("scelta riferimento") + voce(i),
                  [&] { stato_.scegliCombo(i, posizione); });
}

void StoriaCalcolo::scriviCostoprogetto(const QString& testo) {
    registraPasso(
        testo.isEmpty() ? QStringLiteral("rimozione importo vincolato")
                        : QStringLiteral("modifica importo vincolato"),
        [&] { stato_.scriviCostoprogetto(testo); }, chiave("costoprogetto"));
}

void StoriaCalcolo::cancellaRiga(int i) {
    registraPasso(QStringLiteral("cancellazione") + voce(i), [&] { stato_.cancellaRiga(i); });
}

void StoriaCalcolo::cancellaTutto() {
    registraPasso(QStringLiteral("cancellazione dati immessi"), [&] { stato_.cancellaTutto(); });
}

void StoriaCalcolo::spegniVincolo() {
    registraPasso(QStringLiteral("rimozione importo vincolato"), [&] { stato_.spegniVincolo(); });
}

}  // namespace varimo
