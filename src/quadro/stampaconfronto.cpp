#include "quadro/stampaconfronto.h"

#include <QFileInfo>
#include <QHash>

#include "common/scritturafile.h"
#include "quadro/comandifasi.h"
#include "quadro/documentiquadro.h"
#include "quadro/foglioconfronto.h"

namespace varimo::quadro {

namespace {

const QChar kFine(13);
const QString kCarattere = QStringLiteral("Liberation Sans");

// The amounts as the table writes them; an amount met again (the items a
// later phase leaves as they were) shares the text already made, so a
// comparison of a million cells holds each distinct figure once.
class Importi {
  public:
    QString operator()(const std::optional<Centesimi>& c) {
        if (!c) return {};
        auto it = testi_.constFind(*c);
        if (it == testi_.constEnd()) it = testi_.insert(*c, testoImporto(*c));
        return *it;
    }

  private:
    QHash<Centesimi, QString> testi_;
};

QString conSegno(Centesimi c) {
    return (c > 0 ? QStringLiteral("+") : QString()) + testoImporto(c);
}

}  // namespace

std::unique_ptr<Documento> documentoConfronto(const ConfrontoCalcolato& cc, bool colori) {
    const Confronto& c = cc.confronto;
    const QList<Andamento>& andamenti = cc.andamenti;
    auto documento = std::make_unique<Documento>();
    Documento& doc = *documento;
    const Intestazione& i = cc.intestazione;
    doc.impostaTitolo(QStringLiteral("Quadro economico: confronto tra le fasi"));
    doc.impostaNomeCarattere(kCarattere);
    doc.impostaDimensioneCarattere(11);
    if (!i.ente.isEmpty()) doc.scriviTesto(i.ente + kFine);
    doc.impostaGrassetto(true);
    doc.impostaDimensioneCarattere(14);
    if (!i.titolo.isEmpty()) doc.scriviTesto(i.titolo + kFine);
    doc.impostaGrassetto(false);
    doc.impostaDimensioneCarattere(10);
    QStringList codici;
    if (!i.cup.isEmpty()) codici.append(QStringLiteral("CUP ") + i.cup);
    if (!i.cig.isEmpty()) codici.append(QStringLiteral("CIG ") + i.cig);
    if (!codici.isEmpty()) doc.scriviTesto(codici.join(QStringLiteral(" - ")) + kFine);
    doc.impostaDimensioneCarattere(12);
    doc.impostaGrassetto(true);
    doc.scriviTesto(QStringLiteral("Quadro economico: confronto tra le fasi - valori in ") +
                    i.valuta);
    // The table goes into the paragraph that closes the heading and takes
    // its font: a plain one, so that only the sections are bold.
    doc.impostaGrassetto(false);
    doc.impostaDimensioneCarattere(10);
    doc.scriviTesto(QString(kFine));

    const int fasi = int(c.nomi.size());
    const int colonne = 2 + fasi + (c.haDifferenza() ? 1 : 0);
    const int righe = 1 + int(c.righe.size()) + 2;
    Tabella& t = doc.aggiungiTabella(righe, colonne);
    Importi importo;
    t.impostaDimensioneCarattere(fasi > 3 ? 7 : 8);
    t.impostaTestoCella(1, 1, QStringLiteral("Codice"));
    t.impostaTestoCella(1, 2, QStringLiteral("Voce"));
    for (int k = 0; k < fasi; ++k) {
        const QString data = cc.date.value(k);
        QString titolo = c.nomi[k];
        if (!data.isEmpty()) titolo += kFine + dataItaliana(data);
        t.impostaTestoCella(1, 3 + k, titolo);
    }
    if (c.haDifferenza())
        t.impostaTestoCella(1, colonne,
                            QStringLiteral("Differenza") + kFine + c.nomi[c.a] +
                                QStringLiteral(" - ") + c.nomi[c.da]);
    t.impostaGrassettoRiga(1, true);
    int r = 2;
    for (const RigaConfronto& riga : c.righe) {
        t.impostaTestoCella(r, 1, riga.codice);
        // Items indented under their section, by three fixed spaces a level.
        t.impostaTestoCella(r, 2, QString(3 * riga.profondita, QChar::Nbsp) + riga.etichetta);
        for (int k = 0; k < fasi; ++k) t.impostaTestoCella(r, 3 + k, importo(riga.importi[k]));
        if (c.haDifferenza()) t.impostaTestoCella(r, colonne, conSegno(c.differenza(riga)));
        if (riga.sezione) t.impostaGrassettoRiga(r, true);
        ++r;
    }
    t.impostaTestoCella(r, 2, QStringLiteral("Importo contrattuale"));
    for (int k = 0; k < fasi; ++k) t.impostaTestoCella(r, 3 + k, testoImporto(c.contratti[k]));
    if (c.haDifferenza())
        t.impostaTestoCella(r, colonne, conSegno(c.contratti[c.a] - c.contratti[c.da]));
    ++r;
    t.impostaTestoCella(r, 2, QStringLiteral("TOTALE PROGETTO"));
    for (int k = 0; k < fasi; ++k) t.impostaTestoCella(r, 3 + k, testoImporto(c.totali[k]));
    if (c.haDifferenza()) t.impostaTestoCella(r, colonne, conSegno(c.differenzaTotale()));
    t.impostaGrassettoRiga(r, true);
    for (int col = 3; col <= colonne; ++col)
        for (int x = 1; x <= righe; ++x) t.cella(x, col).allineamento = Allineamento::Destra;
    // Columns as wide as their contents need, amounts never wrapped.
    t.formatoAutomatico(colori ? Tabella::Formato::Colorato2 : Tabella::Formato::Semplice);

    doc.aggiungiParagrafo();
    doc.impostaDimensioneCarattere(9);
    doc.scriviTesto(QString(kFine));
    for (int k = 0; k < fasi; ++k) {
        const int indice = c.fasi.value(k, -1);
        if (indice < 0 || indice >= andamenti.size()) continue;
        const Andamento& a = andamenti[indice];
        QStringList parti;
        if (!a.imprevisti.codice.isEmpty())
            parti.append(
                QStringLiteral("imprevisti usati %1, residui %2")
                    .arg(testoImporto(a.imprevisti.usato), testoImporto(a.imprevisti.residuo)));
        if (!a.economie.codice.isEmpty())
            parti.append(
                QStringLiteral("economie usate %1, residue %2")
                    .arg(testoImporto(a.economie.usato), testoImporto(a.economie.residuo)));
        if (!parti.isEmpty())
            doc.scriviTesto(c.nomi[k] + QStringLiteral(": ") + parti.join(QStringLiteral("; ")) +
                            u'.' + kFine);
        if (!a.avviso.isEmpty()) doc.scriviTesto(a.avviso + kFine);
    }
    return documento;
}

QStringList estensioniConfronto() {
    return {QStringLiteral(".csv"), QStringLiteral(".docx"), QStringLiteral(".pdf"),
            QStringLiteral(".xlsx")};
}

std::optional<QString> esportaConfronto(ConfrontoCalcolato cc, const QString& percorso) {
    const QString est = QFileInfo(percorso).suffix().toLower();
    if (est == QLatin1String("csv")) {
        if (const auto e = scriviFileCompleto(percorso, csvConfronto(cc.confronto, cc.andamenti)))
            return e->motivo;
        return std::nullopt;
    }
    if (est == QLatin1String("xlsx")) {
        QString errore;
        const auto dati = foglioConfronto(cc, &errore);
        if (!dati) return errore;
        if (const auto e = scriviFileCompleto(percorso, *dati)) return e->motivo;
        return std::nullopt;
    }
    if (est != QLatin1String("docx") && est != QLatin1String("pdf"))
        return QStringLiteral("il confronto si esporta in %1")
            .arg(estensioniConfronto().join(QStringLiteral(", ")));
    const auto doc = documentoConfronto(cc, stampaAColori());
    cc = {};  // the document holds what is printed
    QString errore;
    if (!doc->salvaCome(
            percorso, &errore,
            est == QLatin1String("pdf") ? Documento::Formato::PdfA : Documento::Formato::Docx))
        return errore.isEmpty() ? QStringLiteral("il documento non è stato scritto") : errore;
    return std::nullopt;
}

}  // namespace varimo::quadro
