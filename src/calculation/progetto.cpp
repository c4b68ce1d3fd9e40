#include "calculation/progetto.h"

#include "common/testiprogramma.h"

namespace varimo {

namespace {

QString voce(int i) {
    return QStringLiteral(" voce ") + letteraVoce(i);
}

QString chiave(const char* box, int i = 0) {
    return QString::fromLatin1(box) + QLatin1Char('_') + QString::number(i);
}

// costorif as the text written into the referenced row's cost box.
QString testoCostorif(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    return v.toString();
}

}  // namespace

// One step of the history: the state before and after it. The step is taken
// once its operation has run, so its first redo (the push) does nothing.
class Progetto::Comando final : public QUndoCommand {
  public:
    Comando(Progetto& p, const QString& nome, FotoCalcolo prima, FotoCalcolo dopo,
            Esterno esternoPrima, Esterno esternoDopo, QString unione)
        : QUndoCommand(nome),
          esternoPrima_(std::move(esternoPrima)),
          esternoDopo_(std::move(esternoDopo)),
          p_(p),
          prima_(std::move(prima)),
          dopo_(std::move(dopo)),
          unione_(std::move(unione)),
          generazione_(p.generazione_) {}

    // Steps with a joining key may join; the key itself is compared below.
    int id() const override { return unione_.isEmpty() ? -1 : 1; }

    bool mergeWith(const QUndoCommand* altro) override {
        const auto* a = static_cast<const Comando*>(altro);
        if (a->unione_ != unione_ || a->generazione_ != generazione_) return false;
        dopo_ = a->dopo_;
        esternoDopo_ = a->esternoDopo_;
        setText(a->text());
        // Typed and typed away again: the step changes nothing any more.
        setObsolete(dopo_ == prima_ && esternoDopo_ == esternoPrima_);
        return true;
    }

    void undo() override { p_.applica(prima_, esternoDopo_, esternoPrima_); }

    void redo() override {
        if (eseguito_) {
            eseguito_ = false;
            return;
        }
        p_.applica(dopo_, esternoPrima_, esternoDopo_);
    }

    // The file of the states before and after the step (renamed by a save).
    Esterno esternoPrima_;
    Esterno esternoDopo_;

  private:
    Progetto& p_;
    FotoCalcolo prima_;
    FotoCalcolo dopo_;
    QString unione_;
    long generazione_;
    bool eseguito_ = true;  // the operation has already run
};

Progetto::Progetto(QObject* parent)
    : ProgettoAperto(TestiProgramma::titoloaiuto, parent),
      calcolo_(new StatoCalcolo(this)),
      attuale_(calcolo_->foto()) {
    connect(calcolo_, &StatoCalcolo::cambiato, this, &Progetto::fineOperazioneEsterna);
    connect(&storia_, &QUndoStack::indexChanged, this, &Progetto::storiaCambiata);
    connect(&storia_, &QUndoStack::cleanChanged, this, &Progetto::storiaCambiata);
    connect(&storia_, &QUndoStack::undoTextChanged, this, &Progetto::storiaCambiata);
}

Progetto::~Progetto() {
    // The steps refer to the project: they go before its members.
    storia_.clear();
}

void Progetto::avvia() {
    ++profondita_;  // the start-up is no step
    calcolo_->preparaFinestra();
    impostaValuta(QStringLiteral("euro"));
    --profondita_;
    svuota();
}

Progetto* Progetto::di(const StatoCalcolo& stato) {
    return qobject_cast<Progetto*>(stato.parent());
}

// ---------------------------------------------------------------- name, currency, file

void Progetto::impostaNome(const QString& nome) {
    nome_ = nome;
}

void Progetto::impostaValuta(const QString& valuta) {
    valuta_ = valuta;
}

void Progetto::impostaPercorso(const QString& percorso) {
    if (percorso_ == percorso) return;
    percorso_ = percorso;
    emit percorsoCambiato(percorso_);
}

// ---------------------------------------------------------------- the file

ProgettoFile Progetto::comeFile() {
    StatoCalcolo& stato = *calcolo_;
    ProgettoFile p;
    p.nomeprogetto = nome();
    p.valuta = valuta();
    for (int i = 1; i <= kVoci; ++i) {
        const int posizione = stato.riferimento(i).posizione;
        if (posizione < 0) {
            stato.costorif[i] = 0;
        } else {
            const QString c = stato.costo(posizione + 1);
            stato.costorif[i] = c.isEmpty() ? QVariant(0) : QVariant(c);
        }
        VoceFile& v = p.voci[i - 1];
        v.tipo = stato.tipo(i);
        v.costo = stato.costo(i);
        v.perc = stato.percentuale(i).toInt();
        v.costorif = stato.costorif[i];
        v.vocerif = stato.vocerif[i];
        // A row whose list lost its selection (a label edit refills every
        // list) still remembers its old reference number. Written as is, the
        // next Open would make it a percentage row again and overwrite the
        // referenced row's amount with the 0 captured above; the row has no
        // reference now, and that is what is stored.
        if (posizione < 0 && v.vocerif.isValid() && v.vocerif.toInt() != 0) v.vocerif = 0;
    }
    return p;
}

void Progetto::apri(const QString& percorso, const ProgettoFile& letto) {
    svuota();
    {
        Passo passo(this, QStringLiteral("apertura progetto"));
        StatoCalcolo& stato = *calcolo_;
        stato.cancellaTutto();
        impostaPercorso(percorso);
        impostaNome(letto.nomeprogetto);
        impostaValuta(letto.valuta);
        emit nomeValutaCambiati(letto.nomeprogetto, letto.valuta);

        // Every value goes in through the same change handlers as the user's
        // edits, with the loading mark set: labels, costs and percentages,
        // emptied lists refilled, then each stored reference selected again,
        // with the referenced row's cost set back to the captured costorif.
        stato.caricamento = true;
        for (int i = 1; i <= kVoci; ++i) {
            const VoceFile& v = letto.voci[i - 1];
            stato.costorif[i] = v.costorif;
            stato.vocerif[i] = v.vocerif;
            stato.scriviTipo(i, v.tipo);
            stato.scriviCosto(i, v.costo);
            stato.scriviScorrimento(i, v.perc);
            stato.svuotaElencoRiferimento(i);
        }
        stato.impostavoci();
        for (int i = 1; i <= kVoci; ++i) {
            const int r = stato.vocerif[i].isValid() ? stato.vocerif[i].toInt() : 0;
            if (r < 1 || r > kVoci) continue;  // 0 or unassigned: no reference
            stato.scriviTestoRiferimento(i, stato.tipo(r));
            stato.scegliRiferimento(i, r - 1);
            stato.applicaRiferimento(i);
            stato.scriviCosto(r, testoCostorif(stato.costorif[i]));
        }
        stato.caricamento = false;
        // A file may hold amounts no calculation can carry (NaN, inf, 1E308,
        // twenty digits): they are shown as read and count as zero, so the
        // sums still add up what the boxes show.
        if (!stato.importiInutilizzabili().isEmpty()) stato.assestaImportiInutilizzabili();
    }
    segnaSalvato();
}

void Progetto::salvato(const QString& percorso) {
    impostaPercorso(percorso);
    rinominaNellaStoria(percorso);
    segnaSalvato();
}

// The file of a state in the history is the one it was last opened from or
// saved in. A save under a new name renames it in the steps that lead to this
// state and away from it, up to the nearest Open on either side, so that undo
// and redo never put back a name the work no longer has: the unsaved mark and
// the title would otherwise call saved a state whose file holds other work.
void Progetto::rinominaNellaStoria(const QString& percorso) {
    const auto passo = [this](int k) {
        return const_cast<Comando*>(static_cast<const Comando*>(storia_.command(k)));
    };
    for (int k = storia_.index() - 1; k >= 0; --k) {
        Comando* c = passo(k);
        const QString vecchio = c->esternoDopo_.percorso;
        c->esternoDopo_.percorso = percorso;
        if (c->esternoPrima_.percorso != vecchio)
            break;  // an Open: what came before keeps its file
        c->esternoPrima_.percorso = percorso;
    }
    for (int k = storia_.index(); k < storia_.count(); ++k) {
        Comando* c = passo(k);
        const QString vecchio = c->esternoPrima_.percorso;
        c->esternoPrima_.percorso = percorso;
        if (c->esternoDopo_.percorso != vecchio) break;
        c->esternoDopo_.percorso = percorso;
    }
}

// ---------------------------------------------------------------- steps

Progetto::Passo::Passo(Progetto* progetto, const QString& nome, const QString& unione)
    : progetto_(progetto) {
    if (progetto_) progetto_->inizia(nome, unione);
}

Progetto::Passo::~Passo() {
    if (progetto_) progetto_->concludi();
}

void Progetto::registraPasso(const QString& nome, const std::function<void()>& operazione,
                             const QString& unione) {
    Passo passo(this, nome, unione);
    if (operazione) operazione();
}

void Progetto::inizia(const QString& nome, const QString& unione) {
    if (profondita_++ > 0) return;
    nomePasso_ = nome;
    unione_ = unione;
    esternoInizio_ = esterno();
}

void Progetto::concludi() {
    if (--profondita_ > 0) return;
    if (ripristino_) return;
    registra(nomePasso_, unione_, esternoInizio_);
}

// An operation that did not name itself has finished.
void Progetto::fineOperazioneEsterna() {
    if (profondita_ > 0 || ripristino_) return;
    registra(QStringLiteral("modifica dati"), {}, esterno());
}

void Progetto::registra(const QString& nome, const QString& unione, const Esterno& esternoPrima) {
    FotoCalcolo dopo = calcolo_->foto();
    const Esterno esternoDopo = esterno();
    if (dopo == attuale_ && esternoDopo == esternoPrima) return;
    // The step holds the state after it; it joins the step on top of the
    // stack when both have the same key and nothing has ended the joining
    // since (QUndoStack never joins onto the saved state).
    auto* comando =
        new Comando(*this, nome, std::move(attuale_), dopo, esternoPrima, esternoDopo, unione);
    attuale_ = std::move(dopo);
    storia_.push(comando);
}

void Progetto::interrompiUnione() {
    ++generazione_;
}

// ---------------------------------------------------------------- undo, redo

void Progetto::applica(const FotoCalcolo& f, const Esterno& da, const Esterno& a) {
    interrompiUnione();
    ripristino_ = true;
    struct Fine {
        bool& b;
        ~Fine() { b = false; }
    } fine{ripristino_};
    if (da.percorso != a.percorso) impostaPercorso(a.percorso);
    if (da.nome != a.nome || da.valuta != a.valuta) {
        impostaNome(a.nome);
        impostaValuta(a.valuta);
        emit nomeValutaCambiati(a.nome, a.valuta);
    }
    calcolo_->ripristina(f);
    attuale_ = f;
}

void Progetto::annulla() {
    if (profondita_ == 0) storia_.undo();
}

void Progetto::ripeti() {
    if (profondita_ == 0) storia_.redo();
}

void Progetto::svuota() {
    storia_.clear();
    attuale_ = calcolo_->foto();
    interrompiUnione();
    emit storiaCambiata();
}

void Progetto::segnaSalvato() {
    storia_.setClean();
    interrompiUnione();
    emit storiaCambiata();
}

// ---------------------------------------------------------------- user operations

void Progetto::scriviTipo(int i, const QString& testo) {
    registraPasso(
        QStringLiteral("modifica descrizione") + voce(i), [&] { calcolo_->scriviTipo(i, testo); },
        chiave("tipo", i));
}

void Progetto::scriviCosto(int i, const QString& testo) {
    registraPasso(
        QStringLiteral("modifica importo") + voce(i), [&] { calcolo_->scriviCosto(i, testo); },
        chiave("costo", i));
}

void Progetto::scriviScorrimento(int i, int valore, bool trascinamento) {
    registraPasso(
        QStringLiteral("modifica percentuale") + voce(i),
        [&] { calcolo_->scriviScorrimento(i, valore); },
        trascinamento ? chiave("HScroll1", i) : QString());
}

void Progetto::scriviTestoRiferimento(int i, const QString& testo) {
    registraPasso(
        QStringLiteral("modifica riferimento") + voce(i),
        [&] { calcolo_->scriviTestoRiferimento(i, testo); }, chiave("Combo1", i));
}

void Progetto::scegliRiferimento(int i, int posizione) {
    registraPasso(QStringLiteral("scelta riferimento") + voce(i),
                  [&] { calcolo_->scegliRiferimento(i, posizione); });
}

void Progetto::scriviCostoprogetto(const QString& testo) {
    registraPasso(
        testo.isEmpty() ? QStringLiteral("rimozione importo vincolato")
                        : QStringLiteral("modifica importo vincolato"),
        [&] { calcolo_->scriviCostoprogetto(testo); }, chiave("costoprogetto"));
}

void Progetto::cancellaRiga(int i) {
    registraPasso(QStringLiteral("cancellazione") + voce(i), [&] { calcolo_->cancellaRiga(i); });
}

void Progetto::cancellaTutto() {
    registraPasso(QStringLiteral("cancellazione dati immessi"), [&] { calcolo_->cancellaTutto(); });
}

void Progetto::spegniVincolo() {
    registraPasso(QStringLiteral("rimozione importo vincolato"),
                  [&] { calcolo_->spegniVincolo(); });
}

}  // namespace varimo
