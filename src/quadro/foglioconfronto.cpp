#include "quadro/foglioconfronto.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include "common/piattaforma.h"
#include "reports/libroxlsx.h"

namespace varimo::quadro {

namespace {

double euro(Centesimi c) {
    return static_cast<double>(c) / 100.0;
}

}  // namespace

std::optional<QByteArray> foglioConfronto(const ConfrontoCalcolato& cc, QString* errore) {
    const Confronto& c = cc.confronto;
    auto fallisci = [&](const QString& m) -> std::optional<QByteArray> {
        if (errore) *errore = m;
        return std::nullopt;
    };
    const int fasi = int(c.nomi.size());
    const lxw_col_t colDiff = lxw_col_t(2 + fasi);
    const lxw_row_t rigaColonne = kRigaColonneConfronto - 1;
    const qsizetype ultimaRiga = kRigaColonneConfronto + c.righe.size() + 2;
    if (ultimaRiga > LXW_ROW_MAX)
        return fallisci(
            QStringLiteral("il confronto ha più voci di quante righe abbia un foglio di calcolo"));
    if (2 + fasi + 1 > LXW_COL_MAX)
        return fallisci(QStringLiteral(
            "il confronto ha più fasi di quante colonne abbia un foglio di calcolo"));

    const auto lavoro = piattaforma::cartellaDiLavoro();
    QTemporaryDir& cartella = *lavoro;
    if (!cartella.isValid()) return fallisci(QStringLiteral("nessuna cartella temporanea"));
    const QString percorso = cartella.filePath(QStringLiteral("confronto.xlsx"));
    QByteArray tmp = QFile::encodeName(cartella.path());
    lxw_workbook_options opzioni{};
    opzioni.tmpdir = tmp.data();
    // The rows are written in order and each is flushed to the working folder
    // when the next begins: a comparison of a million cells is not held.
    opzioni.constant_memory = LXW_TRUE;
    lxw_workbook* libro = workbook_new_opt(QFile::encodeName(percorso).constData(), &opzioni);
    if (!libro) return fallisci(QStringLiteral("impossibile creare il foglio di calcolo"));
    lxw_error primo = LXW_NO_ERROR;
    auto verifica = [&](lxw_error e) {
        if (primo == LXW_NO_ERROR) primo = e;
    };

    QByteArray titolo = testoCella(QStringLiteral("Confronto tra le fasi")).toUtf8();
    lxw_doc_properties proprieta{};
    proprieta.title = titolo.data();
    verifica(workbook_set_properties(libro, &proprieta));
    const QByteArray nomeFoglio = varimo::nomeFoglio(QStringLiteral("Confronto")).toUtf8();
    lxw_worksheet* foglio = workbook_add_worksheet(libro, nomeFoglio.constData());
    if (!foglio) {
        chiudiLibro(libro);
        return fallisci(QStringLiteral("impossibile aggiungere il foglio"));
    }
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

    // Every text through the one filter of the documents, cut to a cell.
    auto scrivi = [&](lxw_row_t r, lxw_col_t col, const QString& t, lxw_format* fm) {
        const QString ammesso = testoCella(t);
        if (ammesso.isEmpty())
            verifica(worksheet_write_blank(foglio, r, col, fm));
        else
            verifica(worksheet_write_string(foglio, r, col, ammesso.toUtf8().constData(), fm));
    };
    // A formula with the amount it gives; the amount alone when the formula
    // is longer than a spreadsheet takes.
    auto formula = [&](lxw_row_t r, lxw_col_t col, const QString& fx, Centesimi valore,
                       lxw_format* fm) {
        if (!formulaAmmessa(fx)) {
            verifica(worksheet_write_number(foglio, r, col, euro(valore), fm));
            return;
        }
        verifica(worksheet_write_formula_num(foglio, r, col, fx.toLatin1().constData(), fm,
                                             euro(valore)));
    };

    const Intestazione& i = cc.intestazione;
    scrivi(0, 0, i.ente, nullptr);
    scrivi(1, 0, i.titolo, grassetto);
    QStringList codici;
    if (!i.cup.isEmpty()) codici.append(QStringLiteral("CUP ") + i.cup);
    if (!i.cig.isEmpty()) codici.append(QStringLiteral("CIG ") + i.cig);
    scrivi(2, 0, codici.join(QStringLiteral(" - ")), nullptr);
    scrivi(3, 0, QStringLiteral("Quadro economico: confronto tra le fasi - valori in ") + i.valuta,
           grassetto);

    // Before its cells: a row once left is written out.
    verifica(worksheet_set_row(foglio, rigaColonne, 30, nullptr));  // two lines of heading
    scrivi(rigaColonne, 0, QStringLiteral("Codice"), testa);
    scrivi(rigaColonne, 1, QStringLiteral("Voce"), testa);
    for (int k = 0; k < fasi; ++k) scrivi(rigaColonne, lxw_col_t(2 + k), c.nomi[k], testa);
    if (c.haDifferenza())
        scrivi(rigaColonne, colDiff,
               QStringLiteral("Differenza\n%1 - %2").arg(c.nomi[c.a], c.nomi[c.da]), testa);

    // The rows (counted from 1) of the items, by code, and how each phase is
    // made.
    const int primaRiga = kRigaColonneConfronto + 1;
    QHash<QString, int> riga;
    for (qsizetype j = 0; j < c.righe.size(); ++j)
        riga.insert(c.righe[j].codice, primaRiga + int(j));
    QList<std::optional<StrutturaFase>> strutture;
    for (int k = 0; k < fasi; ++k)
        strutture << (k < cc.strutture.size() ? std::optional<StrutturaFase>(cc.strutture[k])
                                              : std::nullopt);

    // The SUM of phase k's amounts of the items `codici`, when each has its
    // row and amount there and they add up to `atteso`; nothing otherwise.
    auto sommaFase = [&](int k, const QStringList& codiciVoci,
                         Centesimi atteso) -> std::optional<QString> {
        QList<int> righe;
        Centesimi s = 0;
        for (const QString& x : codiciVoci) {
            const auto r = riga.constFind(x);
            if (r == riga.constEnd()) return std::nullopt;
            const auto& v = c.righe[*r - primaRiga].importi.value(k);
            if (!v) return std::nullopt;
            s += *v;
            righe << *r;
        }
        if (s != atteso) return std::nullopt;
        return QLatin1Char('=') + sommaCelle(letteraColonna(2 + k), righe);
    };

    auto differenza = [&](lxw_row_t r, Centesimi valore, lxw_format* fm) {
        const QString a = letteraColonna(2 + c.a) + QString::number(r + 1);
        const QString da = letteraColonna(2 + c.da) + QString::number(r + 1);
        formula(r, colDiff, QStringLiteral("=ROUND(N(%1)-N(%2),2)").arg(a, da), valore, fm);
    };
    QStringList cime;  // the rows of top-level items, when a phase's make is unknown
    lxw_row_t r = rigaColonne + 1;
    qsizetype etichettaPiuLunga = 20;
    for (const RigaConfronto& x : c.righe) {
        const bool neretto = x.sezione;
        scrivi(r, 0, x.codice, neretto ? grassetto : nullptr);
        const QString etichetta = QString(x.profondita * 2, QLatin1Char(' ')) + x.etichetta;
        etichettaPiuLunga = std::max(etichettaPiuLunga, etichetta.size());
        scrivi(r, 1, etichetta, neretto ? grassetto : testo);
        lxw_format* fm = neretto ? importoGrassetto : importo;
        for (int k = 0; k < fasi; ++k) {
            if (!x.importi.value(k)) continue;
            const Centesimi valore = *x.importi[k];
            // A section is the SUM of its children in that phase.
            std::optional<QString> somma;
            if (strutture[k])
                if (const auto fi = strutture[k]->figli.constFind(x.codice);
                    fi != strutture[k]->figli.constEnd())
                    somma = sommaFase(k, *fi, valore);
            if (somma)
                formula(r, lxw_col_t(2 + k), *somma, valore, fm);
            else
                verifica(worksheet_write_number(foglio, r, lxw_col_t(2 + k), euro(valore), fm));
        }
        if (c.haDifferenza()) differenza(r, c.differenza(x), fm);
        if (x.profondita == 0) cime.append(x.codice);
        ++r;
    }
    // The contract amount: the top-level item "A" of the phase, when it has
    // one and that is its contract amount; the amount otherwise.
    scrivi(r, 1, QStringLiteral("Importo contrattuale"), nullptr);
    for (int k = 0; k < fasi; ++k) {
        const Centesimi contratto = c.contratti.value(k);
        std::optional<QString> fx;
        if (strutture[k] && strutture[k]->cime.contains(QStringLiteral("A")))
            fx = sommaFase(k, {QStringLiteral("A")}, contratto);
        if (fx)
            formula(r, lxw_col_t(2 + k),
                    QLatin1Char('=') + letteraColonna(2 + k) +
                        QString::number(riga.value(QStringLiteral("A"))),
                    contratto, importo);
        else
            verifica(worksheet_write_number(foglio, r, lxw_col_t(2 + k), euro(contratto), importo));
    }
    if (c.haDifferenza()) differenza(r, c.contratti[c.a] - c.contratti[c.da], importo);
    ++r;
    // The project total of each phase: the SUM of its top-level items.
    scrivi(r, 0, QStringLiteral("TOTALE"), grassetto);
    scrivi(r, 1, QStringLiteral("TOTALE PROGETTO"), grassetto);
    for (int k = 0; k < fasi; ++k) {
        const Centesimi totale = c.totali.value(k);
        const auto fx = sommaFase(k, strutture[k] ? strutture[k]->cime : cime, totale);
        if (fx)
            formula(r, lxw_col_t(2 + k), *fx, totale, importoGrassetto);
        else
            verifica(worksheet_write_number(foglio, r, lxw_col_t(2 + k), euro(totale),
                                            importoGrassetto));
    }
    if (c.haDifferenza()) differenza(r, c.differenzaTotale(), importoGrassetto);

    // What each phase used of the contingencies and of the economies, and
    // the warnings on the variants' limits.
    if (const QList<Andamento>* andamenti = cc.andamenti.isEmpty() ? nullptr : &cc.andamenti) {
        auto fondo = [&](const QString& etichetta, auto cifra) {
            ++r;
            scrivi(r, 1, etichetta, nullptr);
            for (int k = 0; k < fasi; ++k) {
                const int i = k < c.fasi.size() ? c.fasi[k] : -1;
                if (i < 0 || i >= andamenti->size()) continue;
                if (const auto x = cifra((*andamenti)[i]))
                    verifica(worksheet_write_number(foglio, r, lxw_col_t(2 + k), euro(*x),
                                                    importo));
            }
        };
        auto di = [](const Fondo& d, Centesimi x) {
            return d.codice.isEmpty() ? std::optional<Centesimi>() : x;
        };
        ++r;
        fondo(QStringLiteral("Imprevisti usati"),
              [&](const Andamento& a) { return di(a.imprevisti, a.imprevisti.usato); });
        fondo(QStringLiteral("Imprevisti residui"),
              [&](const Andamento& a) { return di(a.imprevisti, a.imprevisti.residuo); });
        fondo(QStringLiteral("Economie usate"),
              [&](const Andamento& a) { return di(a.economie, a.economie.usato); });
        fondo(QStringLiteral("Economie residue"),
              [&](const Andamento& a) { return di(a.economie, a.economie.residuo); });
        for (int k = 0; k < fasi; ++k) {
            const int i = k < c.fasi.size() ? c.fasi[k] : -1;
            if (i >= 0 && i < andamenti->size() && !(*andamenti)[i].avviso.isEmpty())
                scrivi(++r, 1, (*andamenti)[i].avviso, nullptr);
        }
    }

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
    if (primo != LXW_NO_ERROR) return fallisci(motivoLibro(primo));
    if (chiusura) return fallisci(*chiusura);
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) return fallisci(file.errorString());
    QByteArray dati = file.readAll();
    if (dati.isEmpty()) return fallisci(QStringLiteral("foglio di calcolo vuoto"));
    return dati;
}

}  // namespace varimo::quadro
