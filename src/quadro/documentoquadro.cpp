#include "quadro/documentoquadro.h"

#include <QUndoCommand>

#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"

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

// Sets the absorbing item of a framework that computes; leaves it as it is
// otherwise.
void assesta(Quadro& q) {
    Quadro copia = q;
    if (std::holds_alternative<Valutazione>(ricalcola(copia))) q = std::move(copia);
}

}  // namespace

DocumentoQuadro::DocumentoQuadro(QObject* parent) : QObject(parent) {
    FileQuadro f;
    f.quadro = modello2023();
    imposta(f, QString());
    connect(&storia_, &QUndoStack::cleanChanged, this, &DocumentoQuadro::cambiato);
}

void DocumentoQuadro::ricalcolaMostrato() {
    const FileFasi& ff = stato_.fasi;
    const Fase& fase = ff.fasi[stato_.corrente];
    file_.intestazione = ff.intestazione;
    file_.altri = ff.altri;
    file_.quadro = fase.quadro;
    aggiudicazione_.reset();
    problema_.clear();
    if (fase.tipo == TipoFase::Aggiudicazione && fase.ribasso && !primaDelRibasso_) {
        auto a = aggiudica(fase.quadro, *fase.ribasso, fase.ribassaManodopera);
        if (auto* g = std::get_if<Aggiudicazione>(&a)) {
            aggiudicazione_ = std::move(*g);
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
    auto r = ricalcola(mostrato_);
    valutazione_ = std::holds_alternative<Valutazione>(r) ? std::get<Valutazione>(std::move(r))
                                                          : Valutazione{};
}

FileQuadro DocumentoQuadro::fileMostrato() const {
    FileQuadro f = file_;
    f.quadro = mostrato_;
    if (stato_.fasi.fasi.size() > 1) {
        const Fase& fase = stato_.fasi.fasi[stato_.corrente];
        f.intestazione.fase = fase.nome;
        if (!fase.data.isEmpty()) f.intestazione.data = fase.data;
    }
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
    assesta(g.quadro);
    stato_ = {fileDaQuadro(g), 0};
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
    auto letto = apriFileFasi(percorso);
    if (auto* e = std::get_if<QString>(&letto)) return *e;
    StatoDocumento s{std::get<FileFasi>(std::move(letto)), 0};
    s.corrente = int(s.fasi.fasi.size()) - 1;
    assesta(s.fasi.fasi[s.corrente].quadro);
    stato_ = std::move(s);
    percorso_ = percorso;
    primaDelRibasso_ = false;
    ricalcolaMostrato();
    storia_.clear();
    storia_.setClean();
    emit cambiato();
    return std::nullopt;
}

std::optional<QString> DocumentoQuadro::salva(const QString& percorso) {
    if (auto e = salvaFileFasi(percorso, stato_.fasi)) return e;
    percorso_ = percorso;
    storia_.setClean();
    emit cambiato();
    return std::nullopt;
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
    auto r = ricalcola(nuovo.quadro);
    if (auto* p = std::get_if<Problema>(&r)) return p->messaggio;
    if (nuovo == file_) return std::nullopt;  // nothing changed: no step
    StatoDocumento prima = stato_;
    stato_.fasi.intestazione = nuovo.intestazione;
    stato_.fasi.altri = nuovo.altri;
    stato_.fasi.fasi[stato_.corrente].quadro = nuovo.quadro;
    ricalcolaMostrato();
    storia_.push(new Passo(this, nome, std::move(prima), stato_));
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

void DocumentoQuadro::ripristina(const StatoDocumento& s) {
    stato_ = s;
    ricalcolaMostrato();
    emit cambiato();
}

}  // namespace varimo::quadro
