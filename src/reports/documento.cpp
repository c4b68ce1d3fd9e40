#include "reports/documento.h"

#include <algorithm>

#include "common/testiprogramma.h"

namespace varimo {

namespace {

constexpr QChar kFineParagrafo(13);
constexpr QChar kACapo(10);
constexpr QChar kTabulazione(9);
constexpr QChar kFineRiga(11);
constexpr QChar kFinePagina(12);

// Keeps only the characters a document can hold: ordinary text, tab, manual
// line break, page break. Paragraph ends are handled by the callers.
QString soloTestoAmmesso(const QString& t) {
    QString r;
    r.reserve(t.size());
    for (QChar c : t) {
        const char16_t u = c.unicode();
        if (u >= 0x20 || c == kTabulazione || c == kFineRiga || c == kFinePagina) {
            if (u == 0xFFFE || u == 0xFFFF) continue;
            r.append(c);
        }
    }
    return r;
}

// Splits a text at its paragraph ends: CR, LF and CR LF each count as one.
QStringList spezzaParagrafi(const QString& t) {
    QStringList parti;
    QString corrente;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c == kFineParagrafo || c == kACapo) {
            if (c == kFineParagrafo && i + 1 < t.size() && t.at(i + 1) == kACapo) ++i;
            parti.append(corrente);
            corrente.clear();
        } else {
            corrente.append(c);
        }
    }
    parti.append(corrente);
    return parti;
}

bool allineamentoValido(int a) {
    return a >= 0 && a <= 3;
}

}  // namespace

Carattere carattereIniziale() {
    return Carattere{QStringLiteral("Times New Roman"), 12};
}

QString Paragrafo::testo() const {
    QString t;
    for (const Frammento& f : frammenti) t += f.testo;
    return t;
}

void Paragrafo::accoda(const QString& testo, const Carattere& c) {
    if (testo.isEmpty()) return;
    if (!frammenti.isEmpty() && frammenti.last().carattere == c) {
        frammenti.last().testo += testo;
    } else {
        frammenti.append(Frammento{testo, c});
    }
}

// --- Tabella ---------------------------------------------------------------

Tabella::Tabella(int righe, int colonne, Carattere carattere)
    : righe_(std::max(righe, 1)),
      colonne_(std::max(colonne, 1)),
      carattere_(std::move(carattere)),
      celle_(static_cast<std::size_t>(righe_ * colonne_)) {}

bool Tabella::impostaTestoCella(int riga, int colonna, const QString& testo) {
    if (riga < 1 || riga > righe_ || colonna < 1 || colonna > colonne_) return false;
    // A text with one paragraph and nothing to leave out is kept as it is,
    // shared with whoever made it: a million cells of a few figures hold
    // those figures once.
    if (std::all_of(testo.begin(), testo.end(), [](QChar c) {
            const char16_t u = c.unicode();
            return (u >= 0x20 && u != 0xFFFE && u != 0xFFFF) || c == kTabulazione ||
                   c == kFineRiga || c == kFinePagina;
        })) {
        cella(riga, colonna).testo = testo;
        return true;
    }
    // Within a cell every paragraph end becomes character 13.
    QStringList parti = spezzaParagrafi(testo);
    for (QString& p : parti) p = soloTestoAmmesso(p);
    cella(riga, colonna).testo = parti.join(kFineParagrafo);
    return true;
}

const Cella& Tabella::cella(int riga, int colonna) const {
    return celle_.at(static_cast<std::size_t>(riga - 1) * static_cast<std::size_t>(colonne_) +
                     static_cast<std::size_t>(colonna - 1));
}

Cella& Tabella::cella(int riga, int colonna) {
    return celle_.at(static_cast<std::size_t>(riga - 1) * static_cast<std::size_t>(colonne_) +
                     static_cast<std::size_t>(colonna - 1));
}

void Tabella::impostaGrassettoRiga(int riga, bool grassetto) {
    if (riga < 1 || riga > righe_) return;
    for (int c = 1; c <= colonne_; ++c) cella(riga, c).grassetto = grassetto;
}

Carattere Tabella::carattereCella(int riga, int colonna) const {
    Carattere c = carattere_;
    if (riga >= 1 && riga <= righe_ && colonna >= 1 && colonna <= colonne_)
        c.grassetto = c.grassetto || cella(riga, colonna).grassetto;
    return c;
}

// --- ParagrafoAggiunto -------------------------------------------------------

void ParagrafoAggiunto::impostaDimensioneCarattere(double punti) {
    auto* p = std::get_if<Paragrafo>(&documento_->blocchi_.at(blocco_));
    if (!p) return;
    p->marcatore.dimensione = punti;
    for (Frammento& f : p->frammenti) f.carattere.dimensione = punti;
}

void ParagrafoAggiunto::impostaTesto(const QString& testo) {
    auto& blocchi = documento_->blocchi_;
    auto* p = std::get_if<Paragrafo>(&blocchi.at(blocco_));
    if (!p) return;
    // The range holds the paragraph's own end: a final paragraph end in the
    // new text is that end, not a further paragraph.
    QStringList parti = spezzaParagrafi(testo);
    if (parti.size() > 1 && parti.last().isEmpty()) parti.removeLast();

    const Carattere c = p->frammenti.isEmpty() ? p->marcatore : p->frammenti.first().carattere;
    const Allineamento a = p->allineamento;
    p->frammenti.clear();
    p->marcatore = c;
    p->accoda(soloTestoAmmesso(parti.first()), c);

    for (qsizetype i = 1; i < parti.size(); ++i) {
        Paragrafo nuovo;
        nuovo.marcatore = c;
        nuovo.allineamento = a;
        nuovo.accoda(soloTestoAmmesso(parti.at(i)), c);
        const std::size_t dove = blocco_ + static_cast<std::size_t>(i);
        blocchi.insert(blocchi.begin() + static_cast<std::ptrdiff_t>(dove), std::move(nuovo));
        if (documento_->inserimento_ >= dove) ++documento_->inserimento_;
    }
}

// --- Documento -------------------------------------------------------------

Documento::Documento() : selezione_(carattereIniziale()) {
    proprieta_.autore =
        (TestiProgramma::nomeprogramma + QLatin1Char(' ') + TestiProgramma::versioneprogramma)
            .trimmed();
    proprieta_.creato = QDateTime::currentDateTime();
    Paragrafo p;
    p.marcatore = selezione_;
    blocchi_.emplace_back(std::move(p));
}

void Documento::impostaNomeCarattere(const QString& nome) {
    selezione_.nome = nome;
}

void Documento::impostaDimensioneCarattere(double punti) {
    selezione_.dimensione = punti;
}

void Documento::impostaGrassetto(bool grassetto) {
    selezione_.grassetto = grassetto;
}

void Documento::chiudiParagrafo() {
    auto& corrente = std::get<Paragrafo>(blocchi_.at(inserimento_));
    corrente.marcatore = selezione_;
    Paragrafo nuovo;
    nuovo.marcatore = selezione_;
    nuovo.allineamento = corrente.allineamento;
    ++inserimento_;
    blocchi_.insert(blocchi_.begin() + static_cast<std::ptrdiff_t>(inserimento_), std::move(nuovo));
}

void Documento::scriviTesto(const QString& testo) {
    tipoSelezione_ = Selezione::Punto;
    const QStringList parti = spezzaParagrafi(testo);
    for (qsizetype i = 0; i < parti.size(); ++i) {
        if (i > 0) chiudiParagrafo();
        auto& p = std::get<Paragrafo>(blocchi_.at(inserimento_));
        const QString pulito = soloTestoAmmesso(parti.at(i));
        if (!pulito.isEmpty()) {
            p.accoda(pulito, selezione_);
            p.marcatore = selezione_;
        }
    }
}

Paragrafo& Documento::ultimoParagrafo() {
    return std::get<Paragrafo>(blocchi_.back());
}

ParagrafoAggiunto Documento::aggiungiParagrafo() {
    Paragrafo& ultimo = ultimoParagrafo();
    if (!ultimo.vuoto()) {
        Paragrafo nuovo;
        nuovo.marcatore = ultimo.marcatore;
        nuovo.allineamento = ultimo.allineamento;
        blocchi_.emplace_back(std::move(nuovo));
    }
    return ParagrafoAggiunto(*this, blocchi_.size() - 1);
}

Tabella& Documento::aggiungiTabella(int righe, int colonne) {
    const Paragrafo& ultimo = ultimoParagrafo();
    const Carattere c = ultimo.marcatore;
    auto t = std::make_unique<Tabella>(righe, colonne, c);
    Tabella& rif = *t;
    if (ultimo.vuoto()) {
        // The empty closing paragraph moves down below the table.
        const std::size_t dove = blocchi_.size() - 1;
        blocchi_.insert(blocchi_.begin() + static_cast<std::ptrdiff_t>(dove), std::move(t));
        if (inserimento_ >= dove) ++inserimento_;
    } else {
        blocchi_.emplace_back(std::move(t));
        Paragrafo chiusura;
        chiusura.marcatore = c;
        blocchi_.emplace_back(std::move(chiusura));
    }
    return rif;
}

int Documento::numeroTabelle() const {
    int n = 0;
    for (const Blocco& b : blocchi_) n += std::holds_alternative<std::unique_ptr<Tabella>>(b);
    return n;
}

const Tabella* Documento::tabella(int n) const {
    if (n < 1) return nullptr;
    int i = 0;
    for (const Blocco& b : blocchi_) {
        if (const auto* t = std::get_if<std::unique_ptr<Tabella>>(&b)) {
            if (++i == n) return t->get();
        }
    }
    return nullptr;
}

Tabella* Documento::tabella(int n) {
    return const_cast<Tabella*>(std::as_const(*this).tabella(n));
}

QList<const Paragrafo*> Documento::paragrafi() const {
    QList<const Paragrafo*> r;
    for (const Blocco& b : blocchi_) {
        if (const auto* p = std::get_if<Paragrafo>(&b)) r.append(p);
    }
    return r;
}

void Documento::selezionaColonna(int tabella, int colonna) {
    tipoSelezione_ = Selezione::Colonna;
    tabellaSelezionata_ = tabella;
    colonnaSelezionata_ = colonna;
}

void Documento::selezionaTutto() {
    tipoSelezione_ = Selezione::Tutto;
}

void Documento::impostaAllineamentoSelezione(int allineamento) {
    if (!allineamentoValido(allineamento)) return;
    const auto a = static_cast<Allineamento>(allineamento);
    switch (tipoSelezione_) {
        case Selezione::Punto:
            std::get<Paragrafo>(blocchi_.at(inserimento_)).allineamento = a;
            break;
        case Selezione::Colonna: {
            Tabella* t = tabella(tabellaSelezionata_);
            if (!t || colonnaSelezionata_ < 1 || colonnaSelezionata_ > t->colonne()) break;
            for (int r = 1; r <= t->righe(); ++r) t->cella(r, colonnaSelezionata_).allineamento = a;
            break;
        }
        case Selezione::Tutto:
            for (Blocco& b : blocchi_) {
                if (auto* p = std::get_if<Paragrafo>(&b)) {
                    p->allineamento = a;
                } else {
                    Tabella& t = *std::get<std::unique_ptr<Tabella>>(b);
                    for (int r = 1; r <= t.righe(); ++r)
                        for (int c = 1; c <= t.colonne(); ++c) t.cella(r, c).allineamento = a;
                }
            }
            break;
    }
}

}  // namespace varimo
