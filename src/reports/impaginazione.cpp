#include "reports/impaginazione.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace varimo {

namespace {

struct Larghezza {
    char16_t codice;
    int millesimi;  // thousandths of an em
};

#include "reports/metrica_caratteri.inc"

// A character no table knows counts as wide as the font size.
constexpr int kIgnoto = 1000;

// Room kept beyond the measured width: rounding in the word processor's own
// measures and a little air between the text and the cell edge.
constexpr double kMarginePercentuale = 0.03;
constexpr int kMargineFisso = 20;

template <std::size_t N>
int millesimi(const Larghezza (&tabella)[N], char16_t c) {
    const auto* fine = tabella + N;
    const auto* t = std::lower_bound(tabella, fine, c,
                                     [](const Larghezza& l, char16_t v) { return l.codice < v; });
    return t != fine && t->codice == c ? t->millesimi : kIgnoto;
}

// Room a column needs for one line of a cell: the text, the cell margins and
// the safety room.
int necessaria(const QString& testo, double punti, bool grassetto) {
    const double l = larghezzaRiga(testo, punti, grassetto);
    return static_cast<int>(std::ceil(l * (1 + kMarginePercentuale))) + kMargineFisso +
           2 * kMargineCella;
}

struct Bisogno {
    int minimo = 0;   // the longest word
    int massimo = 0;  // the longest line
};

Bisogno bisognoColonna(const Tabella& t, int colonna) {
    Bisogno b;
    const double punti = t.carattere().dimensione;
    b.minimo = b.massimo = necessaria(QString(), punti, false);
    for (int r = 1; r <= t.righe(); ++r) {
        const bool grassetto = cellaInGrassetto(t, r, colonna);
        for (const QString& riga : t.cella(r, colonna).testo.split(QChar(13))) {
            b.massimo = std::max(b.massimo, necessaria(riga, punti, grassetto));
            for (const QString& parola : riga.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                b.minimo = std::max(b.minimo, necessaria(parola, punti, grassetto));
        }
    }
    return b;
}

// Whole twips adding up to totale: the parts rounded down, the rest to the
// widest column.
std::vector<int> arrotonda(const std::vector<double>& parti, int totale) {
    std::vector<int> r(parti.size());
    int somma = 0;
    for (std::size_t i = 0; i < parti.size(); ++i) {
        r[i] = static_cast<int>(std::floor(parti[i]));
        somma += r[i];
    }
    if (!r.empty()) *std::max_element(r.begin(), r.end()) += totale - somma;
    return r;
}

}  // namespace

int larghezzaRiga(const QString& testo, double punti, bool grassetto) {
    long millesimiTotali = 0;
    for (QChar c : testo)
        millesimiTotali +=
            grassetto ? millesimi(kGrassetto, c.unicode()) : millesimi(kNormale, c.unicode());
    // thousandths of an em at `punti` points, 20 twips a point
    return static_cast<int>(std::ceil(static_cast<double>(millesimiTotali) * punti * 20 / 1000));
}

bool rigaInGrassetto(const Tabella& t, int riga) {
    return riga == 1 && t.conIntestazione();
}

bool cellaInGrassetto(const Tabella& t, int riga, int colonna) {
    return rigaInGrassetto(t, riga) || t.carattereCella(riga, colonna).grassetto;
}

std::vector<int> larghezzeColonne(const Tabella& t, int disponibile) {
    const auto n = static_cast<std::size_t>(t.colonne());
    if (!t.conIntestazione())
        return std::vector<int>(n, disponibile / static_cast<int>(n));
    std::vector<Bisogno> b(n);
    for (std::size_t c = 0; c < n; ++c) b[c] = bisognoColonna(t, static_cast<int>(c) + 1);

    double sommaMinimi = 0;
    double sommaMassimi = 0;
    for (const Bisogno& x : b) {
        sommaMinimi += x.minimo;
        sommaMassimi += x.massimo;
    }

    std::vector<double> parti(n);
    if (sommaMassimi <= disponibile) {
        // Every line fits: the room left over goes to the columns in
        // proportion to their needs.
        for (std::size_t c = 0; c < n; ++c) parti[c] = b[c].massimo * disponibile / sommaMassimi;
    } else if (sommaMinimi <= disponibile) {
        // Every word fits: what is left goes to the columns whose lines must
        // wrap, in proportion to what they lack.
        const double resto = disponibile - sommaMinimi;
        const double mancano = sommaMassimi - sommaMinimi;
        for (std::size_t c = 0; c < n; ++c)
            parti[c] = b[c].minimo + resto * (b[c].massimo - b[c].minimo) / mancano;
    } else {
        // Even the words do not fit: the narrow columns keep their room, the
        // widest are cut to one common width that fills the page.
        std::vector<int> minimi(n);
        for (std::size_t c = 0; c < n; ++c) minimi[c] = b[c].minimo;
        std::sort(minimi.begin(), minimi.end());
        double tetto = static_cast<double>(disponibile) / static_cast<double>(n);
        double usato = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double restanti = static_cast<double>(n - i);
            const double quota = (disponibile - usato) / restanti;
            if (minimi[i] > quota) {
                tetto = quota;
                break;
            }
            usato += minimi[i];
        }
        for (std::size_t c = 0; c < n; ++c) parti[c] = std::min<double>(b[c].minimo, tetto);
    }
    return arrotonda(parti, disponibile);
}

QString dataPiePagina(const Documento& d) {
    return d.proprieta().creato.date().toString(QStringLiteral("dd/MM/yyyy"));
}

QString testoPagina(int pagina, int pagine) {
    return QStringLiteral("pag. %1 di %2").arg(pagina).arg(pagine);
}

Carattere caratterePiePagina(const Documento& d) {
    Carattere c = carattereIniziale();
    for (const Documento::Blocco& b : d.blocchi()) {
        const auto* p = std::get_if<Paragrafo>(&b);
        if (p && !p->frammenti.isEmpty()) {
            c = p->frammenti.first().carattere;
            break;
        }
    }
    c.dimensione = kDimensionePiePagina;
    c.grassetto = false;
    return c;
}

}  // namespace varimo
