#include "quadro/foglioconfronto.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/piattaforma.h"
#include "reports/libroxlsx.h"

namespace varimo::quadro {

namespace {

// "A", "B", ... "Z", "AA" ...
QString lettera(int colonna) {
    QString s;
    for (int c = colonna + 1; c > 0; c = (c - 1) / 26) s.prepend(QChar(u'A' + (c - 1) % 26));
    return s;
}

double euro(Centesimi c) {
    return static_cast<double>(c) / 100.0;
}

}  // namespace

std::optional<QByteArray> foglioConfronto(const FileFasi& f, const Confronto& c, QString* errore) {
    auto fallisci = [&](const QString& m) -> std::optional<QByteArray> {
        if (errore) *errore = m;
        return std::nullopt;
    };
    const auto lavoro = piattaforma::cartellaDiLavoro();
    QTemporaryDir& cartella = *lavoro;
    if (!cartella.isValid()) return fallisci(QStringLiteral("nessuna cartella temporanea"));
    const QString percorso = cartella.filePath(QStringLiteral("confronto.xlsx"));
    QByteArray tmp = QFile::encodeName(cartella.path());
    lxw_workbook_options opzioni{};
    opzioni.tmpdir = tmp.data();
    lxw_workbook* libro = workbook_new_opt(QFile::encodeName(percorso).constData(), &opzioni);
    if (!libro) return fallisci(QStringLiteral("impossibile creare il foglio di calcolo"));
    lxw_error primo = LXW_NO_ERROR;
    auto verifica = [&](lxw_error e) {
        if (primo == LXW_NO_ERROR) primo = e;
    };

    QByteArray titolo = QStringLiteral("Confronto tra le fasi").toUtf8();
    lxw_doc_properties proprieta{};
    proprieta.title = titolo.data();
    verifica(workbook_set_properties(libro, &proprieta));
    lxw_worksheet* foglio = workbook_add_worksheet(libro, "Confronto");
    lxw_format* grassetto = workbook_add_format(libro);
    format_set_bold(grassetto);
    lxw_format* testa = workbook_add_format(libro);
    format_set_bold(testa);
    format_set_text_wrap(testa);
    format_set_bottom(testa, LXW_BORDER_THIN);
    format_set_align(testa, LXW_ALIGN_CENTER);
    lxw_format* importo = workbook_add_format(libro);
    format_set_num_format(importo, "#,##0.00");
    lxw_format* importoGrassetto = workbook_add_format(libro);
    format_set_num_format(importoGrassetto, "#,##0.00");
    format_set_bold(importoGrassetto);
    lxw_format* testo = workbook_add_format(libro);
    format_set_text_wrap(testo);

    auto scrivi = [&](lxw_row_t r, lxw_col_t col, const QString& t, lxw_format* fm) {
        if (t.isEmpty())
            verifica(worksheet_write_blank(foglio, r, col, fm));
        else
            verifica(worksheet_write_string(foglio, r, col, t.toUtf8().constData(), fm));
    };
    auto formula = [&](lxw_row_t r, lxw_col_t col, const QString& fx, Centesimi valore,
                       lxw_format* fm) {
        verifica(
            worksheet_write_formula_num(foglio, r, col, fx.toUtf8().constData(), fm, euro(valore)));
    };

    const Intestazione& i = f.intestazione;
    scrivi(0, 0, i.ente, nullptr);
    scrivi(1, 0, i.titolo, grassetto);
    QStringList codici;
    if (!i.cup.isEmpty()) codici.append(QStringLiteral("CUP ") + i.cup);
    if (!i.cig.isEmpty()) codici.append(QStringLiteral("CIG ") + i.cig);
    scrivi(2, 0, codici.join(QStringLiteral(" - ")), nullptr);
    scrivi(3, 0, QStringLiteral("Quadro economico: confronto tra le fasi - valori in ") + i.valuta,
           grassetto);

    const int fasi = int(c.nomi.size());
    const lxw_col_t colDiff = lxw_col_t(2 + fasi);
    const lxw_row_t rigaColonne = kRigaColonneConfronto - 1;
    scrivi(rigaColonne, 0, QStringLiteral("Codice"), testa);
    scrivi(rigaColonne, 1, QStringLiteral("Voce"), testa);
    for (int k = 0; k < fasi; ++k) scrivi(rigaColonne, lxw_col_t(2 + k), c.nomi[k], testa);
    if (c.haDifferenza())
        scrivi(rigaColonne, colDiff,
               QStringLiteral("Differenza\n%1 - %2").arg(c.nomi[c.a], c.nomi[c.da]), testa);

    auto differenza = [&](lxw_row_t r, Centesimi valore, lxw_format* fm) {
        const QString a = lettera(2 + c.a) + QString::number(r + 1);
        const QString da = lettera(2 + c.da) + QString::number(r + 1);
        formula(r, colDiff, QStringLiteral("=ROUND(N(%1)-N(%2),2)").arg(a, da), valore, fm);
    };
    QStringList cime;  // the top-level rows, for the totals
    lxw_row_t r = rigaColonne + 1;
    qsizetype etichettaPiuLunga = 20;
    for (const RigaConfronto& x : c.righe) {
        const bool neretto = x.sezione || x.profondita == 0;
        scrivi(r, 0, x.codice, neretto ? grassetto : nullptr);
        const QString etichetta = QString(x.profondita * 2, QLatin1Char(' ')) + x.etichetta;
        etichettaPiuLunga = std::max(etichettaPiuLunga, etichetta.size());
        scrivi(r, 1, etichetta, neretto ? grassetto : testo);
        for (int k = 0; k < fasi; ++k) {
            if (x.importi[k])
                verifica(worksheet_write_number(foglio, r, lxw_col_t(2 + k), euro(*x.importi[k]),
                                                neretto ? importoGrassetto : importo));
        }
        if (c.haDifferenza()) differenza(r, c.differenza(x), neretto ? importoGrassetto : importo);
        if (x.profondita == 0) cime.append(QString::number(r + 1));
        ++r;
    }
    scrivi(r, 1, QStringLiteral("Importo contrattuale"), nullptr);
    for (int k = 0; k < fasi; ++k)
        verifica(
            worksheet_write_number(foglio, r, lxw_col_t(2 + k), euro(c.contratti[k]), importo));
    if (c.haDifferenza()) differenza(r, c.contratti[c.a] - c.contratti[c.da], importo);
    ++r;
    scrivi(r, 0, QStringLiteral("TOTALE"), grassetto);
    scrivi(r, 1, QStringLiteral("TOTALE PROGETTO"), grassetto);
    for (int k = 0; k < fasi; ++k) {
        QStringList celle;
        for (const QString& riga : cime) celle.append(lettera(2 + k) + riga);
        formula(r, lxw_col_t(2 + k),
                celle.isEmpty() ? QStringLiteral("=0")
                                : QStringLiteral("=SUM(%1)").arg(celle.join(u',')),
                c.totali[k], importoGrassetto);
    }
    if (c.haDifferenza()) differenza(r, c.differenzaTotale(), importoGrassetto);

    verifica(worksheet_set_row(foglio, rigaColonne, 30, nullptr));  // two lines of heading
    verifica(worksheet_set_column(foglio, 0, 0, 10, nullptr));
    verifica(worksheet_set_column(foglio, 1, 1, double(std::min<qsizetype>(etichettaPiuLunga, 60)),
                                  nullptr));
    verifica(worksheet_set_column(foglio, 2, colDiff, 18, nullptr));
    worksheet_freeze_panes(foglio, kRigaColonneConfronto, 2);
    verifica(worksheet_repeat_rows(foglio, rigaColonne, rigaColonne));
    worksheet_set_paper(foglio, 9);  // A4
    if (fasi > 3)
        worksheet_set_landscape(foglio);
    else
        worksheet_set_portrait(foglio);
    worksheet_fit_to_pages(foglio, 1, 0);
    verifica(worksheet_set_footer(foglio, "&Cpag. &P di &N"));

    const auto chiusura = chiudiLibro(libro);
    if (primo != LXW_NO_ERROR)
        return fallisci(QStringLiteral("errore del foglio di calcolo: ") +
                        QString::fromUtf8(lxw_strerror(primo)));
    if (chiusura) return fallisci(*chiusura);
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) return fallisci(file.errorString());
    QByteArray dati = file.readAll();
    if (dati.isEmpty()) return fallisci(QStringLiteral("foglio di calcolo vuoto"));
    return dati;
}

}  // namespace varimo::quadro
