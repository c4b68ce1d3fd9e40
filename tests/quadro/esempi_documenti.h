#pragma once

// Frameworks the document tests print and export: the school renovation of a
// 2023 project, a long framework, random ones, and one whose every text is
// hostile to the formats (XML specials, quotes, right-to-left marks, very
// long labels).

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "quadro/quadro.h"
#include "quadro/rigacomando.h"

namespace varimo::test {

using quadro::Centesimi;
using quadro::FileQuadro;
using quadro::Millesimi;
using quadro::Tipo;
using quadro::Voce;

inline Voce importo(const QString& codice, const QString& etichetta, Centesimi c) {
    Voce v;
    v.codice = codice;
    v.etichetta = etichetta;
    v.tipo = Tipo::Importo;
    v.importo = c;
    return v;
}

inline Voce percentuale(const QString& codice, const QString& etichetta, Millesimi m,
                        const QStringList& di) {
    Voce v;
    v.codice = codice;
    v.etichetta = etichetta;
    v.tipo = Tipo::Percentuale;
    v.percentuale = m;
    v.di = di;
    return v;
}

inline Voce sezione(const QString& codice, const QString& etichetta, QList<Voce> voci) {
    Voce v;
    v.codice = codice;
    v.etichetta = etichetta;
    v.tipo = Tipo::Sezione;
    v.voci = std::move(voci);
    return v;
}

// The school renovation: works as typed, fees 9 % of the works a misura, the
// pension contribution 4 % of the fees, VAT 22 % of fees and contribution,
// VAT 10 % of the works, the incentive 2 % of the works, and the
// contingencies absorbing a funding of 1.250.000,00.
inline FileQuadro scuola() {
    FileQuadro f;
    f.intestazione.ente = QStringLiteral("Comune di Borgo San Lorenzo");
    f.intestazione.titolo = QStringLiteral(
        "Riqualificazione energetica e adeguamento sismico della scuola primaria "
        "«G. Pascoli»");
    f.intestazione.cup = QStringLiteral("B61H23000120004");
    f.intestazione.cig = QStringLiteral("9876543210");
    f.intestazione.rup = QStringLiteral("Ing. Maria Rossi");
    f.intestazione.progettista = QStringLiteral("Arch. Luca Bianchi");
    f.intestazione.fase = QStringLiteral("esecutivo");
    f.intestazione.data = QStringLiteral("2026-12-08");
    f.quadro.voci = {
        sezione(QStringLiteral("A"), QStringLiteral("Lavori"),
                {importo(QStringLiteral("A.1"), QStringLiteral("Lavori a misura"), 81234567),
                 importo(QStringLiteral("A.2"), QStringLiteral("Costi della sicurezza"), 2437037)}),
        sezione(
            QStringLiteral("B"), QStringLiteral("Somme a disposizione dell'amministrazione"),
            {importo(QStringLiteral("B.1"), QStringLiteral("Imprevisti"), 0),
             percentuale(QStringLiteral("B.2"), QStringLiteral("Spese tecniche"), 9000,
                         {QStringLiteral("A.1")}),
             percentuale(QStringLiteral("B.3"), QStringLiteral("Contributo previdenziale"), 4000,
                         {QStringLiteral("B.2")}),
             percentuale(QStringLiteral("B.4"), QStringLiteral("IVA sulle spese tecniche"), 22000,
                         {QStringLiteral("B.2"), QStringLiteral("B.3")}),
             percentuale(QStringLiteral("B.5"), QStringLiteral("IVA sui lavori"), 10000,
                         {QStringLiteral("A")}),
             percentuale(QStringLiteral("B.6"), QStringLiteral("Incentivo per funzioni tecniche"),
                         2000, {QStringLiteral("A")})}),
    };
    f.quadro.vincolo.totale = 125000000;
    f.quadro.vincolo.compensa = QStringLiteral("B.1");
    return f;
}

// A random framework: top-level sections holding amounts, percentages of
// random lists of earlier items (never of their own sections) with up to
// three decimals, and sub-sections; with a fixed total absorbed by a random
// amount item when `vincolo`.
inline FileQuadro casuale(QRandomGenerator& g, int voci, bool vincolo) {
    FileQuadro f;
    f.intestazione.titolo = QStringLiteral("Quadro casuale");
    QStringList precedenti;  // codes that may be referred to
    QStringList importi;
    int fatte = 0;
    std::function<Voce(const QString&, int, QStringList)> nuova;
    nuova = [&](const QString& codice, int profondita, QStringList antenati) -> Voce {
        ++fatte;
        const int tipo = profondita == 0 ? 0 : static_cast<int>(g.bounded(10));
        if (tipo == 0 || (tipo == 1 && profondita < 3)) {
            Voce s = sezione(codice, QStringLiteral("Sezione ") + codice, {});
            antenati << codice;
            const int figli = 1 + static_cast<int>(g.bounded(profondita == 0 ? 8 : 4));
            for (int i = 1; i <= figli && fatte < voci; ++i)
                s.voci << nuova(codice + QLatin1Char('.') + QString::number(i), profondita + 1,
                                antenati);
            precedenti << codice;
            return s;
        }
        if (tipo <= 5 || precedenti.isEmpty()) {
            precedenti << codice;
            importi << codice;
            return importo(codice, QStringLiteral("Importo ") + codice,
                           static_cast<Centesimi>(g.bounded(Q_INT64_C(5000000000))));
        }
        QStringList di;
        const int n = 1 + static_cast<int>(g.bounded(3));
        for (int i = 0; i < n; ++i) {
            const QString c = precedenti.at(static_cast<qsizetype>(g.bounded(precedenti.size())));
            if (!di.contains(c)) di << c;
        }
        precedenti << codice;
        const auto m = static_cast<Millesimi>(g.bounded(quadro::kPercentualeMassima / 4 + 1));
        return percentuale(codice, QStringLiteral("Percentuale ") + codice, m, di);
    };
    for (int i = 0; fatte < voci; ++i)
        f.quadro.voci << nuova(QString(QChar(u'A' + i % 26)) + QString::number(i / 26), 0, {});
    if (vincolo && !importi.isEmpty()) {
        f.quadro.vincolo.compensa = importi.at(static_cast<qsizetype>(g.bounded(importi.size())));
        f.quadro.vincolo.totale = static_cast<Centesimi>(g.bounded(Q_INT64_C(50000000000)));
    }
    return f;
}

// Percentages that fall on exactly half a cent: amounts ending in 5 cents,
// up to a thousand million euro, at 10, 30, 50, 70 and 90 %; they round up.
inline FileQuadro mezziCentesimi(QRandomGenerator& g) {
    FileQuadro f;
    Voce a = sezione(QStringLiteral("A"), QStringLiteral("Importi"), {});
    Voce b = sezione(QStringLiteral("B"), QStringLiteral("Percentuali"), {});
    for (int i = 1; i <= 20; ++i) {
        const QString codice = QStringLiteral("A.") + QString::number(i);
        const Centesimi limite = i % 2 ? Q_INT64_C(1000) : Q_INT64_C(10000000000);
        a.voci << importo(codice, codice, 10 * static_cast<Centesimi>(g.bounded(limite)) + 5);
        const Millesimi m = static_cast<Millesimi>(10000 + 20000 * (i % 5));
        b.voci << percentuale(QStringLiteral("B.") + QString::number(i), codice, m, {codice});
    }
    f.quadro.voci = {a, b};
    return f;
}

// A long framework (n items or a few more), for documents of several pages.
inline FileQuadro lungo(int n) {
    QRandomGenerator g(150);
    FileQuadro f = casuale(g, n, true);
    f.intestazione = scuola().intestazione;
    return f;
}

// Texts hostile to every format.
inline QString ostile(int i) {
    static const QStringList pezzi = {
        QStringLiteral("<voce & \"doppie\" 'semplici'>"),
        QStringLiteral("]]> &amp; &lt;"),
        QStringLiteral("\u200F\u05E9\u05DC\u05D5\u05DD \u202Eabc\u202C"),
        QStringLiteral("=SUM(A1) +1 -2 @x"),
        QStringLiteral("perc. 22 % \\ / : * ? |"),
        QStringLiteral("Ing. Dell'Acqua & C. \u00ABfirma\u00BB"),
        QStringLiteral("emoji \U0001F3EB e caratteri di controllo \u0001\u001F\uFFFE")};
    return pezzi.at(i % pezzi.size()) + QStringLiteral(" ") + QString::number(i);
}

// A text as a document or a sheet holds it: without the control characters
// and non-characters that no such file can carry.
inline QString senzaControlli(const QString& t) {
    QString r;
    for (QChar c : t)
        if ((c.unicode() >= 0x20 || c == QChar(9) || c == QChar(10)) && c.unicode() != 0xFFFE &&
            c.unicode() != 0xFFFF)
            r.append(c);
    return r;
}

// The school renovation with a hostile text in every field and a label of
// 1,000 characters.
inline FileQuadro scuolaOstile() {
    FileQuadro f = scuola();
    auto& h = f.intestazione;
    int i = 0;
    for (QString* c : {&h.ente, &h.titolo, &h.cup, &h.cig, &h.rup, &h.progettista, &h.fase})
        *c = ostile(i++);
    std::function<void(QList<Voce>&)> cambia = [&](QList<Voce>& voci) {
        for (Voce& v : voci) {
            v.etichetta = ostile(i++);
            cambia(v.voci);
        }
    };
    cambia(f.quadro.voci);
    QString lunga;
    while (lunga.size() < 1000) lunga += QStringLiteral("Etichetta lunghissima <&> \u200F ");
    f.quadro.voci[1].voci[1].etichetta = lunga.left(1000);
    return f;
}

// Computed as the exports compute it; fails the test on a problem.
inline quadro::QuadroCalcolato calcolato(FileQuadro f) {
    auto v = quadro::ricalcola(f.quadro);
    if (auto* p = std::get_if<quadro::Problema>(&v)) {
        ADD_FAILURE() << p->messaggio.toStdString();
        return {};
    }
    quadro::QuadroCalcolato c;
    c.file = std::move(f);
    c.valutazione = std::get<quadro::Valutazione>(v);
    return c;
}

}  // namespace varimo::test
