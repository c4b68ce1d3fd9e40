#include "classico/postgara.h"

#include <cmath>

#include "common/importi.h"
#include "common/numeri.h"

namespace varimo {

namespace {

constexpr qint64 kCento = 100000;  // 100 % in thousandths of a per cent
// Amounts beyond this many cents cannot be a framework's; they are refused
// before any arithmetic could overflow.
constexpr double kCentesimiFuoriScala = 1e17;

// floor(a / b) for b > 0.
qint64 divisioneInDifetto(qint64 a, qint64 b) {
    qint64 q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

// An amount reduced by the discount, rounded half up to the cent: exactly,
// in integers, floor(c * f / 100 % + 1/2) with f = 100 % - discount. The
// amount is split as c = a * 100 % + b (0 <= b < 100 %) so that no product
// leaves 64 bits for any amount a framework can hold.
qint64 ribassato(qint64 centesimi, qint64 ribasso) {
    const qint64 f = kCento - ribasso;
    const qint64 a = divisioneInDifetto(centesimi, kCento);
    const qint64 b = centesimi - a * kCento;
    return a * f + divisioneInDifetto(2 * b * f + kCento, 2 * kCento);
}

// A percentage of a reference in cents, rounded half up to the cent with the
// very operations of the calculation window, so that a discount of zero gives
// back the project's amounts to the cent.
qint64 percentuale(double p, qint64 riferimento) {
    if (riferimento == 0) return 0;
    return static_cast<qint64>(std::floor(p / 100 * static_cast<double>(riferimento) + 0.5));
}

}  // namespace

ProgettoGara progettoDa(const StatoCalcolo& s) {
    ProgettoGara p;
    for (int i = 1; i <= kVoci; ++i) {
        VoceProgetto& v = p.voci.at(static_cast<std::size_t>(i));
        v.tipo = s.tipo(i);
        v.costo = s.costo(i);
        v.perc = s.percentuale(i);
        const Riferimento& r = s.riferimento(i);
        v.riferimento = r.posizione >= 0 ? r.posizione + 1 : 0;
        v.testoRiferimento = r.testo;
    }
    p.progetto = s.progetto();
    return p;
}

bool puoSeguireRibasso(const ProgettoGara& p, int i) {
    return i >= 5 && i <= 17 && p.voci.at(static_cast<std::size_t>(i)).riferimento > 0;
}

bool incentiviTecnici(const ProgettoGara& p, int i) {
    return i >= 1 && i <= kVoci &&
           p.voci.at(static_cast<std::size_t>(i))
               .tipo.contains(QStringLiteral("Incentivi per funzioni tecniche"),
                              Qt::CaseInsensitive);
}

bool segueRibassoDiBase(const ProgettoGara& p, int i) {
    return puoSeguireRibasso(p, i) && p.voci.at(static_cast<std::size_t>(i)).riferimento == 4 &&
           !incentiviTecnici(p, i);
}

QString ErroreDopoGara::testo() const {
    if (tipo == Tipo::Ciclo)
        return QStringLiteral(
            "Le voci che seguono il ribasso si riferiscono l'una all'altra senza fine: togliere "
            "il segno \"segue il ribasso\" a una di esse.");
    if (voce == 0)
        return QStringLiteral(
            "L'importo del progetto non è leggibile: correggere i dati nella finestra Calcolo.");
    return QStringLiteral("L'importo della voce ") + letteraVoce(voce) +
           QStringLiteral(" non è leggibile: correggerlo nella finestra Calcolo.");
}

EsitoDopoGara calcolaDopoGara(const ProgettoGara& p, qint64 ribasso,
                              const std::array<bool, kVoci + 1>& segue) {
    QuadroDopoGara q;
    auto centesimi = [](const QString& t) -> std::optional<qint64> {
        if (t.isEmpty()) return 0;
        const auto c = letturaCentesimi(t);
        if (!c || !std::isfinite(*c) || std::fabs(*c) > kCentesimiFuoriScala) return std::nullopt;
        return static_cast<qint64>(std::llround(*c));
    };
    for (int i = 1; i <= kVoci; ++i) {
        const auto u = static_cast<std::size_t>(i);
        const auto c = centesimi(p.voci.at(u).costo);
        if (!c) return ErroreDopoGara{ErroreDopoGara::Tipo::ImportoNonLeggibile, i};
        q.prima.at(u) = *c;
        q.presente.at(u) = !p.voci.at(u).costo.isEmpty();
    }
    const auto totale = centesimi(p.progetto);
    if (!totale) return ErroreDopoGara{ErroreDopoGara::Tipo::ImportoNonLeggibile, 0};
    q.totalePrima = *totale;

    ribasso = std::clamp<qint64>(ribasso, 0, kCento);
    auto& dopo = q.dopo;
    dopo[1] = ribassato(q.prima[1], ribasso);
    dopo[2] = ribassato(q.prima[2], ribasso);
    dopo[3] = q.prima[3];
    dopo[4] = dopo[1] + dopo[2] + dopo[3];
    q.ribassoLavori = q.prima[1] + q.prima[2] - dopo[1] - dopo[2];
    for (int i = 5; i <= 17; ++i)
        dopo.at(static_cast<std::size_t>(i)) = q.prima.at(static_cast<std::size_t>(i));

    auto sommaSomme = [&dopo] {
        qint64 s = 0;
        for (int i = 5; i <= 17; ++i) s += dopo.at(static_cast<std::size_t>(i));
        return s;
    };
    // Marked rows, in row order, pass after pass until none changes: a row
    // that refers to a later one sees its new amount in the next pass.
    bool fermo = false;
    for (int passo = 0; passo < kPassiDopoGara && !fermo; ++passo) {
        fermo = true;
        for (int i = 5; i <= 17; ++i) {
            const auto u = static_cast<std::size_t>(i);
            if (!segue.at(u) || !puoSeguireRibasso(p, i)) continue;
            const int k = p.voci.at(u).riferimento;
            const qint64 x = k == kVoci ? sommaSomme() : dopo.at(static_cast<std::size_t>(k));
            const double perc = letturaRigorosa(p.voci.at(u).perc).value_or(0);
            const qint64 v = percentuale(perc, x);
            if (v != dopo.at(u)) {
                dopo.at(u) = v;
                fermo = false;
            }
        }
    }
    if (!fermo) return ErroreDopoGara{ErroreDopoGara::Tipo::Ciclo, 0};

    q.contratto = dopo[4];
    const qint64 somme = sommaSomme();
    q.economie = q.totalePrima - q.contratto - somme;
    dopo[kVoci] = somme + q.economie;
    q.totaleDopo = q.contratto + dopo[kVoci];
    return q;
}

QString Dichiarazione::inLettere(const QString& valuta) const {
    return QStringLiteral("(") + valuta + QLatin1Char(' ') + importoInLettere(importo) +
           QStringLiteral(")");
}

QString Dichiarazione::testo(const QString& valuta) const {
    return voce + QStringLiteral(": ") + valuta + QLatin1Char(' ') + formatoCentesimi(importo) +
           QLatin1Char(' ') + inLettere(valuta);
}

QList<Dichiarazione> dichiarazioni(const QuadroDopoGara& q) {
    return {
        {QStringLiteral("Importo contrattuale"), q.contratto},
        {QStringLiteral("Ribasso d'asta sui lavori"), q.ribassoLavori},
        {testipostgara::economie, q.economie},
    };
}

QString rigaRibasso(qint64 millesimi) {
    return QStringLiteral("Ribasso d'asta: ") + scriviRibasso(millesimi) + QStringLiteral(" %");
}

// ------------------------------------------------------------------ state

StatoPostGara::StatoPostGara(QObject* parent) : QObject(parent) {
    ricalcola();
}

void StatoPostGara::caricaProgetto(const ProgettoGara& p) {
    progetto_ = p;
    for (int i = 5; i <= 17; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (!puoSeguireRibasso(p, i)) {
            segue_.at(u) = false;
            sceltaUtente_.at(u) = false;
            riferimentoSegnato_.at(u) = 0;
        } else if (riferimentoSegnato_.at(u) != p.voci.at(u).riferimento) {
            sceltaUtente_.at(u) = false;
            riferimentoSegnato_.at(u) = p.voci.at(u).riferimento;
        }
    }
    segniPredefiniti();
    ricalcola();
}

void StatoPostGara::scriviRibasso(const QString& testo) {
    if (testo == ribasso_) return;
    ribasso_ = testo;
    ricalcola();
}

void StatoPostGara::scriviSegue(int i, bool segue) {
    if (!puoSeguire(i)) return;
    const auto u = static_cast<std::size_t>(i);
    sceltaUtente_.at(u) = true;
    if (segue_.at(u) == segue) return;
    segue_.at(u) = segue;
    segniPredefiniti();
    ricalcola();
}

// The rows the user has not marked himself: a row follows the discount when
// its reference is D (the VAT on the works, not the incentives for technical
// functions, which the law computes on the tender base amount), or when its
// reference is a row that follows it (O = 4 % of M follows with M).
void StatoPostGara::segniPredefiniti() {
    for (int giro = 0; giro < kVoci; ++giro) {
        bool cambiati = false;
        for (int i = 5; i <= 17; ++i) {
            const auto u = static_cast<std::size_t>(i);
            if (sceltaUtente_.at(u) || !puoSeguireRibasso(progetto_, i)) continue;
            const int k = progetto_.voci.at(u).riferimento;
            const bool v = segueRibassoDiBase(progetto_, i) ||
                           (k >= 5 && k <= 17 && segue_.at(static_cast<std::size_t>(k)));
            if (v != segue_.at(u)) {
                segue_.at(u) = v;
                cambiati = true;
            }
        }
        if (!cambiati) break;
    }
}

bool StatoPostGara::segue(int i) const {
    return i >= 5 && i <= 17 && segue_.at(static_cast<std::size_t>(i));
}

bool StatoPostGara::ribassoSegnalato() const {
    return lettura_.esito == LetturaRibasso::Esito::NonLeggibile ||
           lettura_.esito == LetturaRibasso::Esito::FuoriIntervallo;
}

void StatoPostGara::ricalcola() {
    lettura_ = leggiRibasso(ribasso_);
    quadro_.reset();
    avviso_.clear();
    switch (lettura_.esito) {
        case LetturaRibasso::Esito::Vuoto:
            avviso_ =
                QStringLiteral("Digitare il ribasso d'asta in percentuale (per esempio 23,456).");
            break;
        case LetturaRibasso::Esito::NonLeggibile:
            avviso_ = testipostgara::ribassoNonLeggibile;
            break;
        case LetturaRibasso::Esito::FuoriIntervallo:
            avviso_ = testipostgara::ribassoFuori;
            break;
        case LetturaRibasso::Esito::Valido: {
            const EsitoDopoGara e = calcolaDopoGara(progetto_, lettura_.millesimi, segue_);
            if (const auto* q = std::get_if<QuadroDopoGara>(&e)) {
                quadro_ = *q;
            } else {
                avviso_ = std::get<ErroreDopoGara>(e).testo();
            }
            break;
        }
    }
    emit cambiato();
}

}  // namespace varimo
