#include "reports/foglioquadro.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "common/piattaforma.h"
#include "reports/libroxlsx.h"
#include <algorithm>
#include <map>

#include "common/importi.h"
#include "common/scritturafile.h"
#include "common/testiprogramma.h"

namespace varimo {

namespace {

constexpr lxw_col_t kColCodice = 0;
constexpr lxw_col_t kColVoce = 1;
constexpr lxw_col_t kColRegola = 2;
constexpr lxw_col_t kColImporto = 3;

// The longest text a cell holds.
constexpr qsizetype kTestoMassimo = 32767;
// Arguments of one SUM: the spreadsheets accept 255.
constexpr qsizetype kArgomentiSomma = 200;
// A percentage of up to this many cells is written as a plain sum in
// brackets, as the rule reads; beyond it as a SUM.
constexpr qsizetype kAddendiInChiaro = 30;

constexpr char kFormatoImporti[] = "#,##0.00";
constexpr uint8_t kCartaA4 = 9;

QString cella(int riga) {
    return QStringLiteral("D") + QString::number(riga);
}

// A SUM of cells in as few arguments as possible: runs of consecutive rows
// become ranges, and more arguments than one SUM takes are split into nested
// SUMs.
QString somma(QList<int> righe) {
    std::sort(righe.begin(), righe.end());
    QStringList argomenti;
    for (qsizetype i = 0; i < righe.size();) {
        qsizetype j = i;
        while (j + 1 < righe.size() && righe.at(j + 1) == righe.at(j) + 1) ++j;
        argomenti << (j == i ? cella(righe.at(i))
                             : cella(righe.at(i)) + QLatin1Char(':') + cella(righe.at(j)));
        i = j + 1;
    }
    if (argomenti.isEmpty()) return QStringLiteral("0");
    while (argomenti.size() > kArgomentiSomma) {
        QStringList gruppi;
        for (qsizetype i = 0; i < argomenti.size(); i += kArgomentiSomma)
            gruppi << QStringLiteral("SUM(") +
                          argomenti.mid(i, kArgomentiSomma).join(QLatin1Char(',')) +
                          QLatin1Char(')');
        argomenti = gruppi;
    }
    return QStringLiteral("SUM(") + argomenti.join(QLatin1Char(',')) + QLatin1Char(')');
}

// The cells a percentage applies to, as its rule reads: "D12", "(D12+D13)".
QString addendi(const QList<int>& righe) {
    if (righe.isEmpty()) return QStringLiteral("0");
    if (righe.size() == 1) return cella(righe.first());
    if (righe.size() > kAddendiInChiaro) return somma(righe);
    QStringList c;
    for (int r : righe) c << cella(r);
    return QLatin1Char('(') + c.join(QLatin1Char('+')) + QLatin1Char(')');
}

// A percentage as a formula literal ("22", "1.8"): digits and one point only.
bool percentualeValida(const QString& p) {
    if (p.isEmpty() || p.startsWith(QLatin1Char('.')) || p.endsWith(QLatin1Char('.'))) return false;
    int punti = 0;
    for (QChar c : p) {
        if (c == QLatin1Char('.')) {
            if (++punti > 1) return false;
        } else if (!c.isDigit() || c.unicode() > 0x7F) {
            return false;
        }
    }
    return true;
}

// The characters a cell can hold: control characters other than tab and
// line feed, the two non-characters and halves of a surrogate pair cannot
// be written into the file's XML (a reader drops the cell or the sheet).
QString testoAmmesso(const QString& t) {
    QString r;
    r.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate()) {
            r.append(c);
            r.append(t.at(++i));
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF) continue;
        if (u < 0x20 && u != 9 && u != 10) continue;
        r.append(c);
    }
    return r;
}

double euro(qint64 centesimi) {
    return static_cast<double>(centesimi) / 100.0;
}

// Width of a column, in characters, for the texts it holds.
double larghezza(const QStringList& testi, double minimo, double massimo) {
    qsizetype l = 0;
    for (const QString& t : testi) l = std::max(l, t.size());
    return std::clamp(static_cast<double>(l) + 2, minimo, massimo);
}

// Writes one workbook, keeping the first error met.
class Scrittura {
  public:
    Scrittura(const QString& percorso, const QString& cartellaTemporanea)
        : cartella_(QFile::encodeName(cartellaTemporanea)) {
        lxw_workbook_options opzioni{};
        opzioni.tmpdir = cartella_.data();
        libro_ = workbook_new_opt(QFile::encodeName(percorso).constData(), &opzioni);
        if (!libro_) errore_ = QStringLiteral("impossibile creare il foglio di calcolo");
    }
    ~Scrittura() {
        if (libro_) chiudiLibro(libro_);
    }
    Scrittura(const Scrittura&) = delete;
    Scrittura& operator=(const Scrittura&) = delete;

    lxw_workbook* libro() const { return libro_; }
    bool riuscita() const { return errore_.isEmpty(); }
    const QString& errore() const { return errore_; }

    void verifica(lxw_error e) {
        if (e != LXW_NO_ERROR && errore_.isEmpty())
            errore_ = QStringLiteral("errore del foglio di calcolo: ") +
                      QString::fromUtf8(lxw_strerror(e));
    }
    void fallisci(const QString& motivo) {
        if (errore_.isEmpty()) errore_ = motivo;
    }
    // Closes the workbook, which is when the file is written.
    void chiudi() {
        if (!libro_) return;
        if (const auto e = chiudiLibro(libro_)) fallisci(*e);
        libro_ = nullptr;
    }

  private:
    QByteArray cartella_;  // libxlsxwriter's own temporary files go here
    lxw_workbook* libro_ = nullptr;
    QString errore_;
};

}  // namespace

std::optional<QByteArray> foglioQuadro(const QuadroEsportato& q, QString* errore,
                                       OpzioniFoglio opzioni) {
    auto fallisci = [&](const QString& motivo) -> std::optional<QByteArray> {
        if (errore) *errore = motivo;
        return std::nullopt;
    };

    const IntestazioneEsportata& h = q.intestazione;
    const QString valuta =
        h.valuta.trimmed().isEmpty() ? QStringLiteral("euro") : h.valuta.trimmed();
    const QList<std::pair<QString, QString>> campi = {
        {QStringLiteral("Ente"), h.ente},
        {QStringLiteral("Progetto"), h.titolo},
        {QStringLiteral("CUP"), h.cup},
        {QStringLiteral("CIG"), h.cig},
        {QStringLiteral("Fase"), h.fase},
        {QStringLiteral("Data"),
         h.data.isValid() ? h.data.toString(QStringLiteral("dd/MM/yyyy")) : QString()},
        {QStringLiteral("RUP"), h.rup},
        {QStringLiteral("Progettista"), h.progettista},
        {QStringLiteral("Valuta"), valuta},
    };
    static_assert(kRigaIntestazioneColonne == 11, "nine header rows, one blank row");

    // Every text must fit a cell; a longer one is refused, not cut.
    for (const auto& [nome, valore] : campi)
        if (valore.size() > kTestoMassimo)
            return fallisci(
                QStringLiteral("il campo ") + nome +
                QStringLiteral(" è più lungo di 32.767 caratteri, il massimo di una cella"));
    for (const VoceEsportata& v : q.voci)
        if (v.etichetta.size() > kTestoMassimo || v.codice.size() > kTestoMassimo)
            return fallisci(QStringLiteral("la voce ") + v.codice.left(40) +
                            QStringLiteral(" ha un testo più lungo di 32.767 caratteri, il "
                                           "massimo di una cella"));
    const qsizetype righeTotali = kRigaIntestazioneColonne + q.voci.size() + 3;
    if (righeTotali > LXW_ROW_MAX)
        return fallisci(QStringLiteral("il quadro ha più voci di quante righe abbia un foglio"));

    const auto lavoro = piattaforma::cartellaDiLavoro();
    QTemporaryDir& cartella = *lavoro;
    if (!cartella.isValid())
        return fallisci(QStringLiteral("cartella temporanea non disponibile: ") +
                        cartella.errorString());
    const QString percorso = cartella.filePath(QStringLiteral("quadro.xlsx"));
    Scrittura s(percorso, cartella.path());
    if (!s.riuscita()) return fallisci(s.errore());
    lxw_workbook* libro = s.libro();

    // Texts outlive the calls that take them: libxlsxwriter copies them, but
    // the properties are read when the workbook is closed.
    const QByteArray titolo =
        testoAmmesso(QStringLiteral("Quadro economico - ") + h.titolo).toUtf8();
    const QByteArray autore =
        (TestiProgramma::nomeprogramma + QLatin1Char(' ') + TestiProgramma::versioneprogramma)
            .trimmed()
            .toUtf8();
    const QByteArray ente = testoAmmesso(h.ente).toUtf8();
    lxw_doc_properties proprieta{};
    proprieta.title = const_cast<char*>(titolo.constData());
    proprieta.author = const_cast<char*>(autore.constData());
    proprieta.company = const_cast<char*>(ente.constData());
    s.verifica(workbook_set_properties(libro, &proprieta));

    lxw_worksheet* foglio = workbook_add_worksheet(libro, "Quadro economico");
    if (!foglio) return fallisci(QStringLiteral("impossibile aggiungere il foglio"));

    // Formats: bold texts, wrapped labels indented by their level, amounts.
    lxw_format* grassetto = workbook_add_format(libro);
    format_set_bold(grassetto);
    lxw_format* intestazioneColonne = workbook_add_format(libro);
    format_set_bold(intestazioneColonne);
    format_set_bottom(intestazioneColonne, LXW_BORDER_THIN);
    format_set_text_wrap(intestazioneColonne);
    lxw_format* testo = workbook_add_format(libro);
    format_set_text_wrap(testo);
    format_set_align(testo, LXW_ALIGN_VERTICAL_TOP);
    std::map<std::pair<int, bool>, lxw_format*> etichette;
    auto formatoEtichetta = [&](int livello, bool neretto) {
        const int rientro = std::clamp(livello, 0, 15);
        lxw_format*& f = etichette[{rientro, neretto}];
        if (!f) {
            f = workbook_add_format(libro);
            format_set_text_wrap(f);
            format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
            if (rientro > 0) format_set_indent(f, static_cast<uint8_t>(rientro));
            if (neretto) format_set_bold(f);
        }
        return f;
    };
    lxw_format* importo = workbook_add_format(libro);
    format_set_num_format(importo, kFormatoImporti);
    format_set_align(importo, LXW_ALIGN_VERTICAL_TOP);
    lxw_format* importoGrassetto = workbook_add_format(libro);
    format_set_num_format(importoGrassetto, kFormatoImporti);
    format_set_align(importoGrassetto, LXW_ALIGN_VERTICAL_TOP);
    format_set_bold(importoGrassetto);
    lxw_format* codice = workbook_add_format(libro);
    format_set_align(codice, LXW_ALIGN_VERTICAL_TOP);
    lxw_format* codiceGrassetto = workbook_add_format(libro);
    format_set_align(codiceGrassetto, LXW_ALIGN_VERTICAL_TOP);
    format_set_bold(codiceGrassetto);

    auto scriviTesto = [&](lxw_row_t r, lxw_col_t c, const QString& t, lxw_format* f) {
        if (testoAmmesso(t).isEmpty()) {
            s.verifica(worksheet_write_blank(foglio, r, c, f));
            return;
        }
        s.verifica(worksheet_write_string(foglio, r, c, testoAmmesso(t).toUtf8().constData(), f));
    };
    auto scriviFormula = [&](lxw_row_t r, const QString& formula, lxw_format* f, qint64 centesimi) {
        const QByteArray testoFormula = (QLatin1Char('=') + formula).toLatin1();
        if (opzioni.risultati) {
            s.verifica(worksheet_write_formula_num(foglio, r, kColImporto, testoFormula.constData(),
                                                   f, euro(centesimi)));
        } else {
            s.verifica(
                worksheet_write_formula(foglio, r, kColImporto, testoFormula.constData(), f));
        }
    };

    // The header.
    lxw_row_t r = 0;
    for (const auto& [nome, valore] : campi) {
        scriviTesto(r, kColCodice, nome, grassetto);
        scriviTesto(r, kColVoce, valore, nome == QLatin1String("Ente") ? grassetto : testo);
        ++r;
    }
    const lxw_row_t rigaColonne = kRigaIntestazioneColonne - 1;
    const QString colonne[] = {QStringLiteral("Codice"), QStringLiteral("Voce"),
                               QStringLiteral("Regola"),
                               QStringLiteral("Importo (") + valuta + QLatin1Char(')')};
    for (lxw_col_t c = 0; c < 4; ++c) scriviTesto(rigaColonne, c, colonne[c], intestazioneColonne);

    // The items: item i on the row after the heading plus i (rows from 1).
    auto riga = [&](int i) { return kRigaIntestazioneColonne + 1 + i; };
    auto valida = [&](int i) { return i >= 0 && i < q.voci.size(); };
    const QString fisso = q.totaleFisso ? formatoCentesimi(*q.totaleFisso) : QString();
    for (int i = 0; i < q.voci.size(); ++i) {
        const VoceEsportata& v = q.voci.at(i);
        const lxw_row_t x = static_cast<lxw_row_t>(riga(i) - 1);
        const bool sezione = v.tipo == VoceEsportata::Tipo::Sezione;
        scriviTesto(x, kColCodice, v.codice, sezione ? codiceGrassetto : codice);
        scriviTesto(x, kColVoce, v.etichetta, formatoEtichetta(v.livello, sezione));
        QString regola = regolaEsportata(q, v);
        if (v.compensa && q.totaleFisso)
            regola = QStringLiteral("compensa la differenza dal totale finanziato");
        scriviTesto(x, kColRegola, regola, testo);

        QList<int> righe;
        if (sezione && !v.figli.isEmpty()) {
            for (int f : v.figli)
                if (valida(f)) righe << riga(f);
            scriviFormula(x, somma(righe), importoGrassetto, v.centesimi);
        } else if (v.tipo == VoceEsportata::Tipo::Percentuale && !(v.compensa && q.totaleFisso) &&
                   percentualeValida(v.percentuale)) {
            for (int f : v.riferimenti)
                if (valida(f)) righe << riga(f);
            scriviFormula(x,
                          QStringLiteral("ROUND(") + v.percentuale + QStringLiteral("%*") +
                              addendi(righe) + QStringLiteral(",2)"),
                          importo, v.centesimi);
        } else {
            s.verifica(worksheet_write_number(foglio, x, kColImporto, euro(v.centesimi), importo));
        }
        if (v.compensa && q.totaleFisso) {
            const QByteArray nota =
                (QStringLiteral("Importo calcolato da ") + TestiProgramma::nomeprogramma.trimmed() +
                 QStringLiteral(
                     " perché il totale del progetto non superi il totale finanziato (") +
                 fisso +
                 QStringLiteral("): è un valore, non una formula, e non segue le modifiche "
                                "delle altre voci."))
                    .toUtf8();
            lxw_comment_options o{};
            o.width = 320;
            o.height = 90;
            s.verifica(worksheet_write_comment_opt(foglio, x, kColImporto, nota.constData(), &o));
        }
    }

    // The project total, then the fixed total and what is left of it.
    lxw_row_t x = static_cast<lxw_row_t>(riga(static_cast<int>(q.voci.size())) - 1);
    QList<int> sezioni;
    QStringList codici;
    for (int i : q.sezioni) {
        if (!valida(i)) continue;
        sezioni << riga(i);
        codici << q.voci.at(i).codice;
    }
    QString totale = QStringLiteral("TOTALE PROGETTO");
    if (!codici.isEmpty())
        totale += QStringLiteral(" (") + codici.join(QStringLiteral(" + ")) + QLatin1Char(')');
    scriviTesto(x, kColVoce, totale + QStringLiteral(" in ") + valuta, formatoEtichetta(0, true));
    scriviFormula(x, somma(sezioni), importoGrassetto, q.totale);
    const int rigaTotale = static_cast<int>(x) + 1;
    if (q.totaleFisso) {
        ++x;
        scriviTesto(x, kColVoce, QStringLiteral("Totale finanziato"), formatoEtichetta(0, false));
        s.verifica(worksheet_write_number(foglio, x, kColImporto, euro(*q.totaleFisso), importo));
        ++x;
        scriviTesto(x, kColVoce, QStringLiteral("Differenza non assegnata"),
                    formatoEtichetta(0, false));
        scriviFormula(x, cella(static_cast<int>(x)) + QLatin1Char('-') + cella(rigaTotale), importo,
                      *q.totaleFisso - q.totale);
    }

    // Column widths fitted to the texts, within limits that keep the sheet
    // readable; long labels and rules wrap.
    QStringList codiciTutti{QStringLiteral("Progettista")};
    QStringList voci{QStringLiteral("Voce"), totale + QStringLiteral(" in ") + valuta};
    QStringList regole{QStringLiteral("Regola")};
    QStringList importi{colonne[3], formatoCentesimi(q.totale)};
    for (const VoceEsportata& v : q.voci) {
        codiciTutti << v.codice;
        voci << QString(v.livello * 2, QLatin1Char(' ')) + v.etichetta;
        regole << regolaEsportata(q, v);
        importi << formatoCentesimi(v.centesimi);
    }
    if (q.totaleFisso) importi << fisso;
    s.verifica(worksheet_set_column(foglio, kColCodice, kColCodice, larghezza(codiciTutti, 8, 16),
                                    nullptr));
    s.verifica(worksheet_set_column(foglio, kColVoce, kColVoce, larghezza(voci, 30, 60), nullptr));
    s.verifica(
        worksheet_set_column(foglio, kColRegola, kColRegola, larghezza(regole, 10, 32), nullptr));
    s.verifica(worksheet_set_column(foglio, kColImporto, kColImporto, larghezza(importi, 14, 24),
                                    nullptr));

    // The column heading stays in view and on every printed page; A4,
    // fitted to the page width, page numbers in the footer.
    worksheet_freeze_panes(foglio, kRigaIntestazioneColonne, 0);
    s.verifica(worksheet_repeat_rows(foglio, rigaColonne, rigaColonne));
    worksheet_set_paper(foglio, kCartaA4);
    worksheet_set_portrait(foglio);
    worksheet_fit_to_pages(foglio, 1, 0);
    s.verifica(worksheet_set_footer(foglio, "&Cpag. &P di &N"));

    s.chiudi();
    if (!s.riuscita()) return fallisci(s.errore());
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) return fallisci(file.errorString());
    QByteArray dati = file.readAll();
    if (dati.isEmpty()) return fallisci(QStringLiteral("foglio di calcolo vuoto"));
    return dati;
}

bool scriviFoglioQuadro(const QuadroEsportato& q, const QString& percorso, QString* errore) {
    const std::optional<QByteArray> dati = foglioQuadro(q, errore);
    if (!dati) return false;
    if (const auto e = scriviFileCompleto(percorso, *dati)) {
        if (errore) *errore = e->motivo;
        return false;
    }
    return true;
}

}  // namespace varimo
