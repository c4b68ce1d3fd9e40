#include "quadro/documentoquadro.h"

#include <QUndoCommand>

#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"

namespace varimo::quadro {

namespace {

class Passo : public QUndoCommand {
  public:
    Passo(DocumentoQuadro* d, const QString& nome, FileQuadro prima, FileQuadro dopo)
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
    FileQuadro prima_, dopo_;
    bool primo_ = true;
};

}  // namespace

DocumentoQuadro::DocumentoQuadro(QObject* parent) : QObject(parent) {
    Quadro q = modello2023();
    FileQuadro f;
    f.quadro = q;
    imposta(f, QString());
    connect(&storia_, &QUndoStack::cleanChanged, this, &DocumentoQuadro::cambiato);
}

void DocumentoQuadro::imposta(const FileQuadro& f, const QString& percorso, bool daSalvare) {
    fasi_ = fileDaQuadro(f);
    corrente_ = 0;
    file_ = f;
    percorso_ = percorso;
    auto r = ricalcola(file_.quadro);
    valutazione_ =
        std::holds_alternative<Valutazione>(r) ? std::get<Valutazione>(r) : Valutazione{};
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
    const FileFasi& f = std::get<FileFasi>(letto);
    FileQuadro q;
    q.intestazione = f.intestazione;
    q.quadro = f.fasi.last().quadro;
    q.altri = f.altri;
    imposta(q, percorso);
    fasi_ = f;
    corrente_ = int(f.fasi.size()) - 1;
    return std::nullopt;
}

std::optional<QString> DocumentoQuadro::salva(const QString& percorso) {
    if (auto e = salvaFileFasi(percorso, fasi())) return e;
    percorso_ = percorso;
    storia_.setClean();
    emit cambiato();
    return std::nullopt;
}

EsitoModifica DocumentoQuadro::modifica(const QString& nome,
                                        const std::function<EsitoModifica(FileQuadro&)>& cambia) {
    if (fasi_.fasi.value(corrente_).bloccata)
        return QStringLiteral("La fase «%1» è bloccata: sbloccarla prima di modificarla.")
            .arg(fasi_.fasi[corrente_].nome);
    FileQuadro nuovo = file_;
    if (auto e = cambia(nuovo)) return e;
    auto r = ricalcola(nuovo.quadro);
    if (auto* p = std::get_if<Problema>(&r)) return p->messaggio;
    if (nuovo == file_) return std::nullopt;  // nothing changed: no step
    FileQuadro prima = std::move(file_);
    file_ = nuovo;
    valutazione_ = std::get<Valutazione>(std::move(r));
    storia_.push(new Passo(this, nome, std::move(prima), std::move(nuovo)));
    emit cambiato();
    return std::nullopt;
}

EsitoModifica DocumentoQuadro::modificaQuadro(const QString& nome,
                                              const std::function<EsitoModifica(Quadro&)>& cambia) {
    return modifica(nome, [&](FileQuadro& f) { return cambia(f.quadro); });
}

void DocumentoQuadro::ripristina(const FileQuadro& f) {
    file_ = f;
    auto r = ricalcola(file_.quadro);
    if (auto* v = std::get_if<Valutazione>(&r)) valutazione_ = std::move(*v);
    emit cambiato();
}

FileFasi DocumentoQuadro::fasi() const {
    FileFasi f = fasi_;
    f.intestazione = file_.intestazione;
    f.altri = file_.altri;
    if (corrente_ >= 0 && corrente_ < f.fasi.size()) f.fasi[corrente_].quadro = file_.quadro;
    return f;
}

void DocumentoQuadro::impostaFasi(const FileFasi& f, int corrente) {
    if (corrente < 0 || corrente >= f.fasi.size()) return;
    fasi_ = f;
    corrente_ = corrente;
    file_.intestazione = f.intestazione;
    file_.altri = f.altri;
    file_.quadro = f.fasi[corrente].quadro;
    auto r = ricalcola(file_.quadro);
    valutazione_ = std::holds_alternative<Valutazione>(r) ? std::get<Valutazione>(r) : Valutazione{};
    storia_.clear();
    storia_.resetClean();
    emit cambiato();
}

}  // namespace varimo::quadro
