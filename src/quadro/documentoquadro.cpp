#include "quadro/documentoquadro.h"

#include <QUndoCommand>

#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"

#include "common/interazione.h"
#include "common/scritturafile.h"

namespace varimo::quadro {

namespace {

class Passo : public QUndoCommand {
  public:
    Passo(DocumentoQuadro* d, const QString& nome, StatoDocumento prima, StatoDocumento dopo)
        : QUndoCommand(nome), d_(d), prima_(std::move(prima)), dopo_(std::move(dopo)) {}
    void undo() override { d_->ripristina(prima_); }
    void redo() override {
        // The first redo is the push: the document already holds the result.
        if (primo_) {
            primo_ = false;
            return;
        }
        d_->ripristina(dopo_);
    }

  private:
    DocumentoQuadro* d_;
    StatoDocumento prima_, dopo_;
    bool primo_ = true;
};

// An item without its children, at its depth in reading order: a phase's
// items as a list in which an edit changes one stretch.
struct VocePiana {
    int profondita = 0;
    Voce voce;  // its `voci` empty
    bool operator==(const VocePiana&) const = default;
};

void appiattisci(const QList<Voce>& voci, int profondita, QList<VocePiana>& in) {
    for (const Voce& v : voci) {
        VocePiana p{profondita, v};
        p.voce.voci = QList<Voce>();  // shared with the tree: dropped (clear() would allocate)
        in.append(std::move(p));
        appiattisci(v.voci, profondita + 1, in);
    }
}

QList<VocePiana> appiattisci(const QList<Voce>& voci) {
    QList<VocePiana> r;
    appiattisci(voci, 0, r);
    return r;
}

// The same reading order as pointers into a tree that outlives it: an edit
// is compared with what it changed without copying the items. A child list
// the edit did not touch is shared by both trees, so its items are the same
// objects.
struct VoceVista {
    int profondita = 0;
    const Voce* voce = nullptr;
};

void guarda(const QList<Voce>& voci, int profondita, QList<VoceVista>& in) {
    for (const Voce& v : voci) {
        in.append({profondita, &v});
        guarda(v.voci, profondita + 1, in);
    }
}

VocePiana piana(const VoceVista& v) {
    VocePiana p{v.profondita, *v.voce};
    p.voce.voci = QList<Voce>();
    return p;
}

bool uguali(const VoceVista& a, const VoceVista& b) {
    if (a.profondita != b.profondita) return false;
    return a.voce == b.voce || piana(a) == piana(b);
}

// The tree back from its reading order: each item is the child of the
// nearest item before it one level up.
QList<Voce> ricostruisci(const QList<VocePiana>& piane, qsizetype& i, int profondita) {
    QList<Voce> r;
    while (i < piane.size() && piane[i].profondita == profondita) {
        Voce v = piane[i].voce;
        ++i;
        if (i < piane.size() && piane[i].profondita > profondita)
            v.voci = ricostruisci(piane, i, profondita + 1);
        r.append(std::move(v));
    }
    return r;
}

QList<Voce> ricostruisci(const QList<VocePiana>& piane) {
    qsizetype i = 0;
    return ricostruisci(piane, i, 0);
}

// An edit of the items of one phase: the stretch of items in reading order
// that differs (before and after) and the rest of what such an edit may
// change (header, fixed total, unknown keys), which is small.
class PassoVoci : public QUndoCommand {
  public:
    PassoVoci(DocumentoQuadro* d, const QString& nome, int fase, const FileQuadro& prima,
              const FileQuadro& dopo)
        : QUndoCommand(nome), d_(d), fase_(fase), prima_(prima), dopo_(dopo) {
        QList<VoceVista> a, b;
        guarda(prima.quadro.voci, 0, a);
        guarda(dopo.quadro.voci, 0, b);
        qsizetype inizio = 0;
        while (inizio < a.size() && inizio < b.size() && uguali(a[inizio], b[inizio])) ++inizio;
        qsizetype fine = 0;
        while (fine < a.size() - inizio && fine < b.size() - inizio &&
               uguali(a[a.size() - 1 - fine], b[b.size() - 1 - fine]))
            ++fine;
        inizio_ = inizio;
        for (qsizetype k = inizio; k < a.size() - fine; ++k) vecchie_.append(piana(a[k]));
        for (qsizetype k = inizio; k < b.size() - fine; ++k) nuove_.append(piana(b[k]));
        prima_.quadro.voci = QList<Voce>();
        dopo_.quadro.voci = QList<Voce>();
    }
    void undo() override { applica(prima_, nuove_, vecchie_); }
    void redo() override {
        if (primo_) {
            primo_ = false;
            return;
        }
        applica(dopo_, vecchie_, nuove_);
    }

  private:
    void applica(const FileQuadro& resto, const QList<VocePiana>& via,
                 const QList<VocePiana>& dentro) {
        QList<VocePiana> piane = appiattisci(d_->fasi().fasi[fase_].quadro.voci);
        piane.remove(inizio_, via.size());
        for (qsizetype k = 0; k < dentro.size(); ++k) piane.insert(inizio_ + k, dentro[k]);
        FileQuadro f = resto;
        f.quadro.voci = ricostruisci(piane);
        d_->ripristinaFase(fase_, f);
    }

    DocumentoQuadro* d_;
    int fase_;
    FileQuadro prima_, dopo_;  // their items left out
    qsizetype inizio_ = 0;
    QList<VocePiana> vecchie_, nuove_;
    bool primo_ = true;
};

// Sets the absorbing item of a framework that computes; leaves it as it is
// otherwise.
void assesta(Quadro& q, const Riferimenti& r) {
    Quadro copia = q;
    if (std::holds_alternative<Valutazione>(ricalcola(copia, r))) q = std::move(copia);
}

}  // namespace

DocumentoQuadro::DocumentoQuadro(QObject* parent)
    : ProgettoAperto(QStringLiteral("Quadro economico"), parent) {
    FileQuadro f;
    f.quadro = modello2023();
    imposta(f, QString());
    connect(&storia_, &QUndoStack::cleanChanged, this, &DocumentoQuadro::cambiato);
}

DocumentoQuadro::~DocumentoQuadro() {
    // The steps refer to the document: they go before its members.
    storia_.clear();
}

void DocumentoQuadro::ricalcolaMostrato() {
    const FileFasi& ff = stato_.fasi;
    const Fase& fase = ff.fasi[stato_.corrente];
    file_.intestazione = ff.intestazione;
    file_.altri = ff.altri;
    file_.quadro = fase.quadro;
    aggiudicazione_.reset();
    problema_.clear();
    riferimenti_ = riferimentiFase(ff, stato_.corrente);
    riferimenti_.data = dataMostrata(ff.intestazione);
    if (fase.tipo == TipoFase::Aggiudicazione && fase.ribasso && !primaDelRibasso_) {
        auto a = aggiudica(fase.quadro, *fase.ribasso, fase.ribassaManodopera, riferimenti_);
        if (auto* g = std::get_if<Aggiudicazione>(&a)) {
            aggiudicazione_ = std::move(*g);
            riferimenti_.gara = aggiudicazione_->gara;
            mostrato_ = aggiudicazione_->quadro;
            valutazione_ = aggiudicazione_->valutazione;
            return;
        }
        problema_ = QStringLiteral(
                        "L'aggiudicazione non può essere calcolata: %1 Le voci sono "
                        "mostrate prima del ribasso.")
                        .arg(std::get<Problema>(a).messaggio);
    }
    mostrato_ = fase.quadro;
    auto r = ricalcola(mostrato_, riferimenti_);
    valutazione_ = std::holds_alternative<Valutazione>(r) ? std::get<Valutazione>(std::move(r))
                                                          : Valutazione{};
}

QString DocumentoQuadro::dataMostrata(const Intestazione& intestazione) const {
    const Fase& fase = stato_.fasi.fasi[stato_.corrente];
    return !fase.data.isEmpty() ? fase.data : intestazione.data;
}

FileQuadro DocumentoQuadro::fileMostrato() const {
    FileQuadro f = file_;
    f.quadro = mostrato_;
    // The phase's name and date, as the command line prints them.
    const Fase& fase = stato_.fasi.fasi[stato_.corrente];
    f.intestazione.fase = fase.nome;
    f.intestazione.data = dataMostrata(f.intestazione);
    return f;
}

void DocumentoQuadro::impostaPrimaDelRibasso(bool prima) {
    if (prima == primaDelRibasso_) return;
    primaDelRibasso_ = prima;
    ricalcolaMostrato();
    emit cambiato();
}

void DocumentoQuadro::imposta(const FileQuadro& f, const QString& percorso, bool daSalvare) {
    FileQuadro g = f;
    assesta(g.quadro, Riferimenti{g.intestazione.data, {}, nullptr});
    stato_ = {fileDaQuadro(g), 0};
    if (percorso != percorso_ || percorso.isEmpty()) lasciaFile();
    percorso_ = percorso;
    primaDelRibasso_ = false;
    ricalcolaMostrato();
    storia_.clear();
    // A converted document exists nowhere else: closing asks first.
    if (daSalvare)
        storia_.resetClean();
    else
        storia_.setClean();
    emit cambiato();
}

std::optional<QString> DocumentoQuadro::apri(const QString& percorso) {
    auto dati = leggiByteQuadro(percorso);
    if (auto* e = std::get_if<QString>(&dati)) return *e;
    auto letto = leggiFasi(std::get<QByteArray>(dati));
    if (auto* e = std::get_if<QString>(&letto)) return *e;
    if (!prendiFile(percorso, std::get<QByteArray>(dati))) return QString();
    StatoDocumento s{std::get<FileFasi>(std::move(letto)), 0};
    s.corrente = int(s.fasi.fasi.size()) - 1;
    {
        Riferimenti r = riferimentiFase(s.fasi, s.corrente);
        if (s.fasi.fasi.size() == 1) r.data = s.fasi.intestazione.data;
        assesta(s.fasi.fasi[s.corrente].quadro, r);
    }
    stato_ = std::move(s);
    percorso_ = percorso;
    primaDelRibasso_ = false;
    ricalcolaMostrato();
    storia_.clear();
    storia_.setClean();
    emit cambiato();
    return std::nullopt;
}

std::variant<QByteArray, QString> DocumentoQuadro::contenuto() const {
    return fileDaSalvare(stato_.fasi);
}

std::optional<QString> DocumentoQuadro::salva(const QString& percorso) {
    auto dati = contenuto();
    if (auto* e = std::get_if<QString>(&dati)) return *e;
    if (const auto e = scriviFileProgetto(percorso, std::get<QByteArray>(dati)))
        return QStringLiteral("Il quadro non è stato salvato in «%1»: %2").arg(percorso, *e);
    ricordaFile(percorso, std::get<QByteArray>(dati));
    salvatoIn(percorso);
    emit cambiato();
    return std::nullopt;
}

bool DocumentoQuadro::salvaChiedendo(bool nuovoNome,
                                     const std::function<std::optional<QString>()>& chiedi) {
    auto dati = contenuto();
    if (auto* e = std::get_if<QString>(&dati)) {
        messaggio(*e, titoloMessaggi(), Icona::Esclamazione);
        return false;
    }
    const bool fatto = salvaContenuto(std::get<QByteArray>(dati), nuovoNome, chiedi,
                                      QStringLiteral("Il quadro non è stato salvato in:"));
    if (fatto) emit cambiato();
    return fatto;
}

EsitoModifica DocumentoQuadro::modifica(const QString& nome,
                                        const std::function<EsitoModifica(FileQuadro&)>& cambia) {
    const Fase& fase = stato_.fasi.fasi[stato_.corrente];
    if (fase.bloccata)
        return QStringLiteral("La fase «%1» è bloccata: sbloccarla prima di modificarla.")
            .arg(fase.nome);
    FileQuadro nuovo = file_;
    if (auto e = cambia(nuovo)) return e;
    if (!vociModificabili() && nuovo.quadro != file_.quadro)
        return QStringLiteral(
                   "Le voci dell'aggiudicazione «%1» sono mostrate dopo il ribasso, che si "
                   "calcola dalle voci del progetto: per correggerle scegliere «Voci prima del "
                   "ribasso»; il ribasso si cambia in «Dati della fase…».")
            .arg(fase.nome);
    Riferimenti riferimenti = riferimenti_;
    riferimenti.data = dataMostrata(nuovo.intestazione);
    auto r = ricalcola(nuovo.quadro, riferimenti);
    if (auto* p = std::get_if<Problema>(&r)) return p->messaggio;
    if (nuovo == file_) return std::nullopt;  // nothing changed: no step
    auto* passo = new PassoVoci(this, nome, stato_.corrente, file_, nuovo);
    applicaFase(stato_.corrente, nuovo, &std::get<Valutazione>(r));
    storia_.push(passo);
    emit cambiato();
    return std::nullopt;
}

EsitoModifica DocumentoQuadro::modificaQuadro(const QString& nome,
                                              const std::function<EsitoModifica(Quadro&)>& cambia) {
    return modifica(nome, [&](FileQuadro& f) { return cambia(f.quadro); });
}

void DocumentoQuadro::modificaFasi(const QString& nome, const FileFasi& f, int corrente) {
    if (corrente < 0 || corrente >= f.fasi.size()) return;
    StatoDocumento prima = stato_;
    stato_ = {f, corrente};
    ricalcolaMostrato();
    storia_.push(new Passo(this, nome, std::move(prima), stato_));
    emit cambiato();
}

void DocumentoQuadro::scegliFase(int i) {
    if (i < 0 || i >= stato_.fasi.fasi.size() || i == stato_.corrente) return;
    stato_.corrente = i;
    primaDelRibasso_ = false;  // an award comes in after its discount
    ricalcolaMostrato();
    emit cambiato();
}

void DocumentoQuadro::applicaFase(int fase, const FileQuadro& f, const Valutazione* valutata) {
    stato_.corrente = fase;
    stato_.fasi.intestazione = f.intestazione;
    stato_.fasi.altri = f.altri;
    stato_.fasi.fasi[fase].quadro = f.quadro;
    const Fase& x = stato_.fasi.fasi[fase];
    const bool aggiudicazione =
        x.tipo == TipoFase::Aggiudicazione && x.ribasso && !primaDelRibasso_;
    if (!valutata || aggiudicazione) {
        ricalcolaMostrato();
        return;
    }
    // The edit has just computed these very items: the window shows them.
    file_.intestazione = f.intestazione;
    file_.altri = f.altri;
    file_.quadro = f.quadro;
    aggiudicazione_.reset();
    problema_.clear();
    mostrato_ = f.quadro;
    valutazione_ = *valutata;
    riferimenti_.data = dataMostrata(f.intestazione);
}

void DocumentoQuadro::ripristinaFase(int fase, const FileQuadro& f) {
    if (fase < 0 || fase >= stato_.fasi.fasi.size()) return;
    if (fase != stato_.corrente) primaDelRibasso_ = false;
    applicaFase(fase, f);
    emit cambiato();
}

void DocumentoQuadro::ripristina(const StatoDocumento& s) {
    stato_ = s;
    ricalcolaMostrato();
    emit cambiato();
}

}  // namespace varimo::quadro
