#include "reports/foglioquadro.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <map>

#include "common/importi.h"
#include "common/piattaforma.h"
#include "common/scritturafile.h"
#include "common/testiprogramma.h"
#include "reports/libroxlsx.h"

namespace varimo {

namespace {

constexpr lxw_col_t kColCodice = 0;
constexpr lxw_col_t kColVoce = 1;
constexpr lxw_col_t kColRegola = 2;
constexpr lxw_col_t kColImporto = 3;
// An award's items reduced by the discount: the amount before it and the
// labour kept out of it.
constexpr lxw_col_t kColPrima = 4;
constexpr lxw_col_t kColManodopera = 5;

// A percentage of up to this many cells is written as a plain sum in
// brackets, as the rule reads; beyond it as a SUM.
constexpr qsizetype kAddendiInChiaro = 30;

constexpr char kFormatoImporti[] = "#,##0.00";
constexpr char kFormatoRibasso[] = "0.000%";
constexpr uint8_t kCartaA4 = 9;

QString cella(int riga) {
    return QStringLiteral("D") + QString::number(riga);
}

QString somma(const QList<int>& righe) {
    return sommaCelle(QStringLiteral("D"), righe);
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

double euro(qint64 centesimi) {
    return static_cast<double>(centesimi) / 100.0;
}

// Width of a column, in characters, for the texts it holds.
double larghezza(const QStringList& testi, double minimo, double massimo) {
    qsizetype l = 0;
    for (const QString& t : testi) l = std::max(l, t.size());
    return std::clamp(static_cast<double>(l) + 2, minimo, massimo);
}

__extension__ typedef __int128 Grande;

// An amount reduced by a discount (thousandths of a per cent), rounded half
// up to the cent (floor(x + 1/2), for negative amounts too), exactly: the
// award's own arithmetic, to tell whether the sheet's formula gives the
// record's figure.
qint64 ribassato(qint64 importo, qint32 ribasso) {
    const Grande n = Grande(importo) * (kPercentualeMassima - ribasso);
    const Grande d = kPercentualeMassima;
    const Grande a = 2 * n + d;
    const Grande b = 2 * d;
    Grande q = a / b;
    if (a % b != 0 && a < 0) --q;
    return static_cast<qint64>(q);
}

// The award in the record: the discount, and whether every item it reduces
// carries the amount before it and the labour kept out, from which the
// discount gives the item's amount.
std::optional<qint32> ribassoCalcolabile(const QuadroEsportato& q) {
    if (!q.ribasso || *q.ribasso < 0 || *q.ribasso > kPercentualeMassima) return std::nullopt;
    bool alcuna = false;
    for (const VoceEsportata& v : q.voci) {
        if (!v.centesimiPrimaDelRibasso) continue;
        if (v.tipo != VoceEsportata::Tipo::Importo) return std::nullopt;
        const qint64 prima = *v.centesimiPrimaDelRibasso;
        if (v.manodoperaEsclusa + ribassato(prima - v.manodoperaEsclusa, *q.ribasso) != v.centesimi)
            return std::nullopt;
        alcuna = true;
    }
    return alcuna ? q.ribasso : std::nullopt;
}

// Where each item sits in the tree: its section, -1 for a top-level item or
// one no section lists.
QList<int> genitori(const QuadroEsportato& q) {
    QList<int> g(q.voci.size(), -1);
    for (int i = 0; i < q.voci.size(); ++i)
        for (int f : q.voci.at(i).figli)
            if (f >= 0 && f < q.voci.size()) g[f] = i;
    return g;
}

// Whether some percentage's value depends on item x: it refers to x, to a
// section holding it, or to another percentage that does.
bool percentualeDipendeDa(const QuadroEsportato& q, const QList<int>& genitore, int x) {
    QList<bool> dipende(q.voci.size(), false);
    auto segna = [&](int i) {
        for (; i >= 0 && !dipende.at(i); i = genitore.at(i)) dipende[i] = true;
    };
    segna(x);
    for (bool cambiato = true; cambiato;) {
        cambiato = false;
        for (int i = 0; i < q.voci.size(); ++i) {
            const VoceEsportata& v = q.voci.at(i);
            if (v.tipo != VoceEsportata::Tipo::Percentuale || dipende.at(i)) continue;
            for (int r : v.riferimenti) {
                if (r >= 0 && r < q.voci.size() && dipende.at(r)) {
                    segna(i);
                    cambiato = true;
                    break;
                }
            }
        }
    }
    for (int i = 0; i < q.voci.size(); ++i)
        if (i != x && dipende.at(i) && q.voci.at(i).tipo == VoceEsportata::Tipo::Percentuale)
            return true;
    return false;
}

// The items that make up the project total with item x: the top-level items
// other than the one holding x, and at every level down to x the siblings of
// the section holding it. Nothing when x is not reached from the top.
std::optional<QList<int>> altreVoci(const QuadroEsportato& q, const QList<int>& genitore, int x) {
    QList<int> percorso{x};
    for (int g = genitore.at(x); g >= 0; g = genitore.at(g)) {
        if (percorso.contains(g)) return std::nullopt;
        percorso.prepend(g);
    }
    if (!q.sezioni.contains(percorso.first())) return std::nullopt;
    QList<int> altre;
    for (int s : q.sezioni)
        if (s != percorso.first() && s >= 0 && s < q.voci.size()) altre << s;
    for (qsizetype k = 0; k + 1 < percorso.size(); ++k)
        for (int f : q.voci.at(percorso.at(k)).figli)
            if (f != percorso.at(k + 1) && f >= 0 && f < q.voci.size()) altre << f;
    return altre;
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
        if (e != LXW_NO_ERROR && errore_.isEmpty()) errore_ = motivoLibro(e);
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
         h.data.isValid() ? h.data.toString(QStringLiteral("dd/MM/yyyy")) : h.dataScritta},
        {QStringLiteral("RUP"), h.rup},
        {QStringLiteral("Progettista"), h.progettista},
        {QStringLiteral("Valuta"), valuta},
    };
    static_assert(kRigaIntestazioneColonne == 11, "nine header rows, one blank row");

    // The rows, counted from 1: item i on the row after the column heading
    // plus i, then the project total, the fixed total and what is left of
    // it, then an award's discount and contract amount after a blank row.
    const int n = static_cast<int>(q.voci.size());
    auto riga = [&](int i) { return kRigaIntestazioneColonne + 1 + i; };
    auto valida = [&](int i) { return i >= 0 && i < n; };
    const int rigaTotale = riga(n);
    const int rigaFisso = rigaTotale + 1;
    const std::optional<qint32> ribasso = ribassoCalcolabile(q);
    const int rigaRibasso = rigaTotale + (q.totaleFisso ? 2 : 0) + 2;
    const int rigaContratto = rigaRibasso + 1;
    const qint64 ultimaRiga = ribasso ? rigaContratto : rigaTotale + (q.totaleFisso ? 2 : 0);
    if (ultimaRiga > LXW_ROW_MAX)
        return fallisci(QStringLiteral("il quadro ha più voci di quante righe abbia un foglio"));

    // The absorbing item as the fixed total less the other items, unless a
    // percentage depends on it (the formula would refer to itself) or the
    // record's figures do not add up that way.
    int assorbe = -1;
    for (int i = 0; i < n; ++i)
        if (q.voci.at(i).compensa && q.totaleFisso) assorbe = i;
    QString formulaAssorbe;
    if (assorbe >= 0 && q.voci.at(assorbe).tipo == VoceEsportata::Tipo::Importo) {
        const QList<int> genitore = genitori(q);
        const auto altre = altreVoci(q, genitore, assorbe);
        if (altre && !percentualeDipendeDa(q, genitore, assorbe)) {
            qint64 resto = *q.totaleFisso;
            QList<int> righe;
            for (int a : *altre) {
                resto -= q.voci.at(a).centesimi;
                righe << riga(a);
            }
            const QString f = righe.isEmpty() ? cella(rigaFisso)
                                              : cella(rigaFisso) + QLatin1Char('-') + somma(righe);
            if (resto == q.voci.at(assorbe).centesimi && formulaAmmessa(f)) formulaAssorbe = f;
        }
    }

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
    const QByteArray titolo = testoCella(QStringLiteral("Quadro economico - ") + h.titolo).toUtf8();
    const QByteArray autore = testoCella((TestiProgramma::nomeprogramma + QLatin1Char(' ') +
                                          TestiProgramma::versioneprogramma)
                                             .trimmed())
                                  .toUtf8();
    const QByteArray ente = testoCella(h.ente).toUtf8();
    lxw_doc_properties proprieta{};
    proprieta.title = const_cast<char*>(titolo.constData());
    proprieta.author = const_cast<char*>(autore.constData());
    proprieta.company = const_cast<char*>(ente.constData());
    s.verifica(workbook_set_properties(libro, &proprieta));

    const QByteArray nome = nomeFoglio(QStringLiteral("Quadro economico")).toUtf8();
    lxw_worksheet* foglio = workbook_add_worksheet(libro, nome.constData());
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
    lxw_format* percentuale = workbook_add_format(libro);
    format_set_num_format(percentuale, kFormatoRibasso);
    format_set_align(percentuale, LXW_ALIGN_VERTICAL_TOP);
    format_set_bold(percentuale);
    lxw_format* codice = workbook_add_format(libro);
    format_set_align(codice, LXW_ALIGN_VERTICAL_TOP);
    lxw_format* codiceGrassetto = workbook_add_format(libro);
    format_set_align(codiceGrassetto, LXW_ALIGN_VERTICAL_TOP);
    format_set_bold(codiceGrassetto);

    auto scriviTesto = [&](lxw_row_t r, lxw_col_t c, const QString& t, lxw_format* f) {
        const QString ammesso = testoCella(t);
        if (ammesso.isEmpty()) {
            s.verifica(worksheet_write_blank(foglio, r, c, f));
            return;
        }
        s.verifica(worksheet_write_string(foglio, r, c, ammesso.toUtf8().constData(), f));
    };
    auto scriviNota = [&](lxw_row_t r, lxw_col_t c, const QString& nota, uint16_t altezza) {
        const QByteArray t = testoCella(nota).toUtf8();
        lxw_comment_options o{};
        o.width = 320;
        o.height = altezza;
        s.verifica(worksheet_write_comment_opt(foglio, r, c, t.constData(), &o));
    };
    // A formula with the amount it gives; its value, with a comment saying
    // why, when it is longer than a spreadsheet takes.
    auto scriviFormula = [&](lxw_row_t r, lxw_col_t c, const QString& formula, lxw_format* f,
                             qint64 centesimi) {
        if (!formulaAmmessa(formula)) {
            s.verifica(worksheet_write_number(foglio, r, c, euro(centesimi), f));
            scriviNota(r, c,
                       QStringLiteral("Valore calcolato da ") +
                           TestiProgramma::nomeprogramma.trimmed() +
                           QStringLiteral(": la formula supererebbe gli 8.192 caratteri che un "
                                          "foglio di calcolo ammette, quindi non segue le "
                                          "modifiche delle altre celle."),
                       80);
            return;
        }
        const QByteArray testoFormula = (QLatin1Char('=') + formula).toLatin1();
        if (opzioni.risultati) {
            s.verifica(worksheet_write_formula_num(foglio, r, c, testoFormula.constData(), f,
                                                   euro(centesimi)));
        } else {
            s.verifica(worksheet_write_formula(foglio, r, c, testoFormula.constData(), f));
        }
    };
    auto scriviImporto = [&](lxw_row_t r, lxw_col_t c, qint64 centesimi, lxw_format* f) {
        s.verifica(worksheet_write_number(foglio, r, c, euro(centesimi), f));
    };
    auto riga0 = [](int r) { return static_cast<lxw_row_t>(r - 1); };

    // The header.
    lxw_row_t r = 0;
    for (const auto& [nome, valore] : campi) {
        scriviTesto(r, kColCodice, nome, grassetto);
        scriviTesto(r, kColVoce, valore, nome == QLatin1String("Ente") ? grassetto : testo);
        ++r;
    }
    const lxw_row_t rigaColonne = kRigaIntestazioneColonne - 1;
    QStringList colonne = {QStringLiteral("Codice"), QStringLiteral("Voce"),
                           QStringLiteral("Regola"),
                           QStringLiteral("Importo (") + valuta + QLatin1Char(')')};
    if (ribasso)
        colonne << QStringLiteral("Importo prima del ribasso (") + valuta + QLatin1Char(')')
                << QStringLiteral("Manodopera esclusa dal ribasso (") + valuta + QLatin1Char(')');
    for (qsizetype c = 0; c < colonne.size(); ++c)
        scriviTesto(rigaColonne, static_cast<lxw_col_t>(c), colonne.at(c), intestazioneColonne);

    // The cell of the discount, which the reduced items refer to.
    const QString cellaRibasso = QStringLiteral("$D$") + QString::number(rigaRibasso);

    // The items.
    const QString fisso = q.totaleFisso ? formatoCentesimi(*q.totaleFisso) : QString();
    const QString nomeProgramma = TestiProgramma::nomeprogramma.trimmed();
    for (int i = 0; i < n; ++i) {
        const VoceEsportata& v = q.voci.at(i);
        const lxw_row_t x = riga0(riga(i));
        const bool sezione = v.tipo == VoceEsportata::Tipo::Sezione;
        const bool assorbente = i == assorbe;
        scriviTesto(x, kColCodice, v.codice, sezione ? codiceGrassetto : codice);
        scriviTesto(x, kColVoce, v.etichetta, formatoEtichetta(v.livello, sezione));
        scriviTesto(x, kColRegola,
                    assorbente ? QStringLiteral("compensa la differenza dal totale finanziato")
                               : regolaEsportata(q, v),
                    testo);

        QList<int> righe;
        if (assorbente && !formulaAssorbe.isEmpty()) {
            scriviFormula(x, kColImporto, formulaAssorbe, importo, v.centesimi);
            scriviNota(x, kColImporto,
                       QStringLiteral("Il totale finanziato (") + fisso +
                           QStringLiteral(") meno le altre voci del quadro: segue le modifiche "
                                          "delle altre voci, così che il totale del progetto "
                                          "resti pari al totale finanziato."),
                       70);
        } else if (assorbente) {
            s.verifica(worksheet_write_number(foglio, x, kColImporto, euro(v.centesimi), importo));
            scriviNota(x, kColImporto,
                       QStringLiteral("Importo calcolato da ") + nomeProgramma +
                           QStringLiteral(" perché il totale del progetto non superi il totale "
                                          "finanziato (") +
                           fisso +
                           QStringLiteral("): è un valore, non una formula, e non segue le "
                                          "modifiche delle altre voci."),
                       90);
        } else if (sezione && !v.figli.isEmpty()) {
            for (int f : v.figli)
                if (valida(f)) righe << riga(f);
            scriviFormula(x, kColImporto, somma(righe), importoGrassetto, v.centesimi);
        } else if (v.tipo == VoceEsportata::Tipo::Percentuale && percentualeValida(v.percentuale)) {
            for (int f : v.riferimenti)
                if (valida(f)) righe << riga(f);
            scriviFormula(x, kColImporto,
                          QStringLiteral("ROUND(") + v.percentuale + QStringLiteral("%*") +
                              addendi(righe) + QStringLiteral(",2)"),
                          importo, v.centesimi);
        } else if (ribasso && v.centesimiPrimaDelRibasso) {
            // The labour kept out plus the rest reduced by the discount,
            // rounded half up as the award rounds. ROUND rounds halves away
            // from zero, which is up for an amount not below zero; a
            // negative amount (a deduction) is raised first by half a
            // hundred-thousandth of a cent, less than the smallest step
            // between two amounts reduced by a discount of three decimals,
            // so that its half cents go up as well (for deductions up to
            // some ten million euro, while that nudge stands well above a
            // double's precision).
            const QString e = QStringLiteral("E") + QString::number(riga(i));
            const QString f = QStringLiteral("F") + QString::number(riga(i));
            const QString spinta =
                *v.centesimiPrimaDelRibasso < 0 ? QStringLiteral("+0.00000005") : QString();
            scriviImporto(x, kColPrima, *v.centesimiPrimaDelRibasso, importo);
            scriviImporto(x, kColManodopera, v.manodoperaEsclusa, importo);
            scriviFormula(
                x, kColImporto,
                QStringLiteral("ROUND(%1+(%2-%1)*(1-%3)%4,2)").arg(f, e, cellaRibasso, spinta),
                importo, v.centesimi);
        } else {
            scriviImporto(x, kColImporto, v.centesimi, importo);
        }
    }

    // The project total, then the fixed total and what is left of it.
    lxw_row_t x = riga0(rigaTotale);
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
    scriviFormula(x, kColImporto, somma(sezioni), importoGrassetto, q.totale);
    if (q.totaleFisso) {
        x = riga0(rigaFisso);
        scriviTesto(x, kColVoce, QStringLiteral("Totale finanziato"), formatoEtichetta(0, false));
        scriviImporto(x, kColImporto, *q.totaleFisso, importo);
        ++x;
        scriviTesto(x, kColVoce, QStringLiteral("Differenza non assegnata"),
                    formatoEtichetta(0, false));
        scriviFormula(x, kColImporto, cella(rigaFisso) + QLatin1Char('-') + cella(rigaTotale),
                      importo, *q.totaleFisso - q.totale);
    }

    // An award: the discount the user may change, and the contract amount,
    // the top-level item "A" (works and safety costs) or, without one, the
    // items the discount reduces.
    if (ribasso) {
        x = riga0(rigaRibasso);
        scriviTesto(x, kColVoce, QStringLiteral("Ribasso d'asta"), formatoEtichetta(0, true));
        s.verifica(worksheet_write_number(foglio, x, kColImporto,
                                          static_cast<double>(*ribasso) / kPercentualeMassima,
                                          percentuale));
        scriviNota(x, kColImporto,
                   QStringLiteral("Il ribasso d'asta: cambiandolo, le voci soggette a ribasso, "
                                  "l'importo contrattuale e le economie si ricalcolano, e il "
                                  "totale del progetto resta pari al totale finanziato."),
                   70);
        ++x;
        int voceA = -1;
        for (int i : q.sezioni)
            if (valida(i) && q.voci.at(i).codice == QLatin1String("A")) {
                voceA = i;
                break;
            }
        QList<int> ribassate;
        qint64 contratto = 0;
        for (int i = 0; i < n; ++i)
            if (q.voci.at(i).centesimiPrimaDelRibasso) {
                ribassate << riga(i);
                contratto += q.voci.at(i).centesimi;
            }
        scriviTesto(x, kColVoce, QStringLiteral("Importo contrattuale"), formatoEtichetta(0, true));
        if (voceA >= 0)
            scriviFormula(x, kColImporto, cella(riga(voceA)), importoGrassetto,
                          q.voci.at(voceA).centesimi);
        else
            scriviFormula(x, kColImporto, somma(ribassate), importoGrassetto, contratto);
    }

    // Column widths fitted to the texts, within limits that keep the sheet
    // readable; long labels and rules wrap.
    QStringList codiciTutti{QStringLiteral("Progettista")};
    QStringList voci{QStringLiteral("Voce"), totale + QStringLiteral(" in ") + valuta};
    QStringList regole{QStringLiteral("Regola")};
    QStringList importi{colonne.at(kColImporto), formatoCentesimi(q.totale)};
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
    if (ribasso) s.verifica(worksheet_set_column(foglio, kColPrima, kColManodopera, 18, nullptr));

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
