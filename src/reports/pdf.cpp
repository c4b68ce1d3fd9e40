#include "reports/pdf.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "reports/caratteri.h"
#include "reports/impaginazione.h"

namespace varimo {

namespace {

// At this resolution one device unit is one twip, the unit of the page
// geometry shared with the .docx package.
constexpr int kRisoluzione = 1440;
constexpr double kFondo = kAltezzaPagina - kMargineBasso;

// The coloured table format: heading row white and bold on dark red, a pale
// body, dark red borders; a plain table has thin black borders.
const QColor kColoreIntestazione(0x80, 0x00, 0x00);
const QColor kColoreCorpo(0xFF, 0xFF, 0xCC);
constexpr double kBordoColorato = 15;  // 3/4 point
constexpr double kBordoGriglia = 10;   // 1/2 point

QFont fontDi(const Carattere& c, bool grassetto) {
    QFont f(c.nome.isEmpty() ? carattereIniziale().nome : c.nome);
    f.setPointSizeF(c.dimensione > 0 ? c.dimensione : carattereIniziale().dimensione);
    f.setBold(grassetto || c.grassetto);
    // Outline metrics, as a word processor lays text out for print.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

Qt::Alignment allineamentoQt(Allineamento a) {
    switch (a) {
        case Allineamento::Centro:
            return Qt::AlignHCenter;
        case Allineamento::Destra:
            return Qt::AlignRight;
        case Allineamento::Giustificato:
            return Qt::AlignJustify;
        case Allineamento::Sinistra:
            break;
    }
    return Qt::AlignLeft;
}

using Disegno = std::function<void(QPainter&)>;

// One laid-out line of text; an empty line has no layout, only a height.
struct Riga {
    std::shared_ptr<QTextLayout> layout;
    int indice = 0;
    double altezza = 0;

    void disegna(QPainter& p, QPointF dove) const {
        if (layout) layout->lineAt(indice).draw(&p, dove);
    }
};

// The lines of one table cell in one row, and how many are placed already.
struct CellaImpaginata {
    std::vector<Riga> righe;
    std::size_t prossima = 0;
    bool finita() const { return prossima >= righe.size(); }
};

// The drawing steps of one page, handed on as soon as the page is full.
using Consegna = std::function<void(std::vector<Disegno>& passi)>;

// Lays the document out page by page into drawing steps and hands each page
// on when the next one starts (and the last one at fine()): only one page's
// laid-out text is held at a time, whatever the document's length.
class Impaginatore {
  public:
    Impaginatore(const QPaintDevice* dispositivo, Consegna consegna)
        : dispositivo_(dispositivo), consegna_(std::move(consegna)) {
        y_ = kMargineAlto;
    }

    void documento(const Documento& d);
    void paragrafo(const Paragrafo& p);
    void tabella(const Tabella& t);
    // Hands on the last page.
    void fine() {
        consegna_(pagina_);
        pagina_.clear();
    }

  private:
    std::vector<Riga> righe(const QList<Frammento>& frammenti, const Carattere& marcatore,
                            Allineamento a, double larghezza, bool grassetto) const;
    void nuovaPagina() {
        consegna_(pagina_);
        pagina_.clear();
        y_ = kMargineAlto;
    }
    void disegna(Disegno d) { pagina_.push_back(std::move(d)); }
    bool inCima() const { return y_ <= kMargineAlto; }
    void collocaRiga(const Tabella& t, int riga, const std::vector<int>& larghezze);
    void fetta(const Tabella& t, int riga, const std::vector<int>& larghezze,
               std::vector<CellaImpaginata>& celle);

    const QPaintDevice* dispositivo_;
    Consegna consegna_;
    std::vector<Disegno> pagina_;
    double y_ = kMargineAlto;
};

std::vector<Riga> Impaginatore::righe(const QList<Frammento>& frammenti, const Carattere& marcatore,
                                      Allineamento a, double larghezza, bool grassetto) const {
    // Every text the PDF shows is laid out here (the footer aside): each
    // fragment goes through testoPerDocumenti(), after its manual line
    // breaks have become line separators, so an unpaired surrogate or a
    // control character reaches neither the layout nor the fonts embedded
    // in the file. The filter may shorten a fragment, hence the ranges are
    // taken from the filtered text.
    QString testo;
    QList<QTextLayout::FormatRange> formati;
    for (const Frammento& f : frammenti) {
        QString pezzo = f.testo;
        pezzo.replace(QChar(11), QChar::LineSeparator);
        pezzo = testoPerDocumenti(pezzo);
        QTextLayout::FormatRange r;
        r.start = static_cast<int>(testo.size());
        r.length = static_cast<int>(pezzo.size());
        r.format.setFont(fontDi(f.carattere, grassetto));
        formati.append(r);
        testo += pezzo;
    }
    if (testo.isEmpty()) {
        const QFontMetricsF m(fontDi(marcatore, grassetto), dispositivo_);
        return {Riga{nullptr, 0, m.lineSpacing()}};
    }

    auto layout = std::make_shared<QTextLayout>(
        testo, fontDi(frammenti.first().carattere, grassetto), dispositivo_);
    layout->setFormats(formati);
    QTextOption opzioni(allineamentoQt(a));
    opzioni.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    opzioni.setTabStopDistance(kTabulazione);
    layout->setTextOption(opzioni);

    std::vector<Riga> r;
    layout->beginLayout();
    for (QTextLine l = layout->createLine(); l.isValid(); l = layout->createLine()) {
        l.setLeadingIncluded(true);
        l.setLineWidth(larghezza);
        // A slash inside a word ("ottocentonove/41", an amount in words with
        // its cents) or a point inside a code ("B.5.3" of a rule) is no place
        // for a line break: the line ends at the blank before the word, which
        // runs on the next line whole.
        const int inizio = l.textStart();
        const int fine = inizio + l.textLength();
        if (fine < testo.size() && fine > inizio &&
            (testo.at(fine - 1) == QLatin1Char('/') || testo.at(fine - 1) == QLatin1Char('.')) &&
            !testo.at(fine).isSpace()) {
            const auto spazio = testo.lastIndexOf(QLatin1Char(' '), fine - 1);
            if (spazio >= inizio) l.setNumColumns(static_cast<int>(spazio) + 1 - inizio, larghezza);
        }
        l.setPosition(QPointF(0, 0));
        r.push_back(Riga{layout, l.lineNumber(), l.height()});
    }
    layout->endLayout();
    return r;
}

void Impaginatore::paragrafo(const Paragrafo& p) {
    // A page break inside the paragraph splits it: what follows starts a new
    // page.
    QList<QList<Frammento>> pezzi(1);
    for (const Frammento& f : p.frammenti) {
        const QStringList parti = f.testo.split(QChar(12));
        for (qsizetype i = 0; i < parti.size(); ++i) {
            if (i > 0) pezzi.append(QList<Frammento>{});
            if (!parti[i].isEmpty()) pezzi.last().append(Frammento{parti[i], f.carattere});
        }
    }
    for (qsizetype i = 0; i < pezzi.size(); ++i) {
        if (i > 0) nuovaPagina();
        // The empty stretch before a page break takes no line of its own.
        if (pezzi[i].isEmpty() && i + 1 < pezzi.size()) continue;
        for (const Riga& r : righe(pezzi[i], p.marcatore, p.allineamento, kLarghezzaTesto, false)) {
            if (y_ + r.altezza > kFondo && !inCima()) nuovaPagina();
            const QPointF dove(kMargineLato, y_);
            disegna([r, dove](QPainter& pt) {
                pt.setPen(Qt::black);
                r.disegna(pt, dove);
            });
            y_ += r.altezza;
        }
    }
}

void Impaginatore::documento(const Documento& d) {
    for (const Documento::Blocco& b : d.blocchi()) {
        if (const auto* p = std::get_if<Paragrafo>(&b)) {
            paragrafo(*p);
        } else {
            tabella(*std::get<std::unique_ptr<Tabella>>(b));
        }
    }
    fine();
}

void Impaginatore::tabella(const Tabella& t) {
    const std::vector<int> larghezze = larghezzeColonne(t);
    for (int r = 1; r <= t.righe(); ++r) collocaRiga(t, r, larghezze);
}

void Impaginatore::collocaRiga(const Tabella& t, int riga, const std::vector<int>& larghezze) {
    std::vector<CellaImpaginata> celle(static_cast<std::size_t>(t.colonne()));
    double altezza = 0;
    for (int c = 1; c <= t.colonne(); ++c) {
        const Cella& cella = t.cella(riga, c);
        CellaImpaginata& ci = celle[static_cast<std::size_t>(c - 1)];
        const double interno = larghezze[static_cast<std::size_t>(c - 1)] - 2 * kMargineCella;
        const bool grassetto = cellaInGrassetto(t, riga, c);
        for (const QString& testo : cella.testo.split(QChar(13))) {
            QList<Frammento> f;
            if (!testo.isEmpty()) f.append(Frammento{testo, t.carattere()});
            for (Riga& r : righe(f, t.carattere(), cella.allineamento, interno, grassetto))
                ci.righe.push_back(std::move(r));
        }
        altezza = std::max(altezza,
                           std::accumulate(ci.righe.begin(), ci.righe.end(), 0.0,
                                           [](double s, const Riga& r) { return s + r.altezza; }));
    }

    // The heading row of the coloured and plain formats repeats at the top of
    // every page the table runs onto.
    const bool ripeti = riga > 1 && t.conIntestazione();
    auto voltaPagina = [&] {
        nuovaPagina();
        if (ripeti) collocaRiga(t, 1, larghezze);
    };

    // A row that does not fit here goes whole to the next page; a row taller
    // than a page starts here and runs on between its lines.
    const double bordi =
        t.formato() == Tabella::Formato::Colorato2 ? kBordoColorato : kBordoGriglia;
    const bool staInUnaPagina = altezza + bordi <= kFondo - kMargineAlto;
    if (y_ + altezza + bordi > kFondo && !inCima() && staInUnaPagina) voltaPagina();
    for (;;) {
        fetta(t, riga, larghezze, celle);
        if (std::all_of(celle.begin(), celle.end(),
                        [](const CellaImpaginata& c) { return c.finita(); }))
            break;
        voltaPagina();
    }
}

// Places as much of the row as fits on the page: the cell backgrounds, the
// lines of text, then the borders.
void Impaginatore::fetta(const Tabella& t, int riga, const std::vector<int>& larghezze,
                         std::vector<CellaImpaginata>& celle) {
    const bool colorata = t.formato() == Tabella::Formato::Colorato2;
    const bool intestazione = riga == 1 && colorata;
    // The borders take room of their own, above and below the text, as in a
    // word processor.
    const double spessore = colorata ? kBordoColorato : kBordoGriglia;
    const double disponibile = kFondo - y_ - spessore;

    struct Pezzo {
        QRectF cella;
        std::vector<std::pair<Riga, QPointF>> righe;
    };
    std::vector<Pezzo> pezzi;
    double altezza = 0;
    double x = kMargineLato;
    bool messo = false;
    for (std::size_t c = 0; c < celle.size(); ++c) {
        CellaImpaginata& ci = celle[c];
        Pezzo pz;
        double usato = 0;
        while (!ci.finita()) {
            const Riga& r = ci.righe[ci.prossima];
            // At least one line of the row goes on each page, or a line
            // taller than the page would never be placed.
            if (usato + r.altezza > disponibile && messo) break;
            pz.righe.emplace_back(r, QPointF(x + kMargineCella, y_ + spessore / 2 + usato));
            usato += r.altezza;
            messo = true;
            ++ci.prossima;
        }
        altezza = std::max(altezza, usato);
        pz.cella = QRectF(x, y_, larghezze[c], 0);
        pezzi.push_back(std::move(pz));
        x += larghezze[c];
    }
    altezza += spessore;
    for (Pezzo& pz : pezzi) pz.cella.setHeight(altezza);

    const QColor sfondo =
        colorata ? (intestazione ? kColoreIntestazione : kColoreCorpo) : QColor(Qt::transparent);
    const QColor testo = intestazione ? QColor(Qt::white) : QColor(Qt::black);
    const QColor bordo = colorata ? kColoreIntestazione : QColor(Qt::black);
    const bool conBordi = colorata || t.bordi();
    disegna([pezzi, sfondo, testo, bordo, spessore, conBordi](QPainter& p) {
        if (sfondo.alpha() > 0)
            for (const Pezzo& pz : pezzi) p.fillRect(pz.cella, sfondo);
        p.setPen(testo);
        for (const Pezzo& pz : pezzi)
            for (const auto& [r, dove] : pz.righe) r.disegna(p, dove);
        if (!conBordi) return;
        p.setPen(QPen(bordo, spessore));
        p.setBrush(Qt::NoBrush);
        for (const Pezzo& pz : pezzi) p.drawRect(pz.cella);
    });
    y_ += altezza;
}

// The footer of page `numero` of `totale`: the date on the left, the page on
// the right.
void piePagina(QPainter& p, QPdfWriter& w, const Documento& d, int numero, int totale) {
    const QFont piede = fontDi(caratterePiePagina(d), false);
    p.setFont(piede);
    p.setPen(Qt::black);
    const QFontMetricsF m(piede, &w);
    // The footer ends at its distance from the bottom edge; its texts pass
    // the same filter as the body's.
    const QRectF riga(kMargineLato, kAltezzaPagina - kDistanzaPiePagina - m.height(),
                      kLarghezzaTesto, m.height());
    p.drawText(riga, Qt::AlignLeft | Qt::AlignBottom, testoPerDocumenti(dataPiePagina(d)));
    p.drawText(riga, Qt::AlignRight | Qt::AlignBottom,
               testoPerDocumenti(testoPagina(numero, totale)));
}

}  // namespace

std::optional<QByteArray> pdfDocumento(const Documento& d, QString* errore) {
    auto fallisci = [&](const QString& motivo) -> std::optional<QByteArray> {
        if (errore) *errore = motivo;
        return std::nullopt;
    };
    // Fonts and their metrics come from the graphical application.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fallisci(QStringLiteral("caratteri di stampa non disponibili"));

    QByteArray dati;
    QBuffer uscita(&dati);
    if (!uscita.open(QIODevice::WriteOnly)) return fallisci(uscita.errorString());
    {
        QPdfWriter w(&uscita);
        w.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        w.setResolution(kRisoluzione);
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        // Qt writes the title and the creator twice: in the Info dictionary
        // and in the XMP metadata, an XML packet that a control character or
        // an unpaired surrogate would leave unreadable.
        w.setTitle(testoPerDocumenti(d.proprieta().titolo));
        w.setCreator(testoPerDocumenti(d.proprieta().autore));

        // The footer names the number of pages: a first layout counts them,
        // the second paints each page as soon as it is laid out.
        int totale = 0;
        Impaginatore(&w, [&totale](std::vector<Disegno>&) { ++totale; }).documento(d);
        QPainter p;
        if (!p.begin(&w)) return fallisci(QStringLiteral("impossibile comporre il PDF"));
        int numero = 0;
        Impaginatore(&w, [&](std::vector<Disegno>& passi) {
            if (numero > 0) w.newPage();
            for (const Disegno& passo : passi) passo(p);
            piePagina(p, w, d, ++numero, totale);
        }).documento(d);
        if (!p.end()) return fallisci(QStringLiteral("impossibile completare il PDF"));
    }
    uscita.close();
    if (dati.isEmpty()) return fallisci(QStringLiteral("PDF vuoto"));
    return dati;
}

bool esportaPdf(const Documento& d, const QString& percorso, QString* errore) {
    return d.salvaCome(percorso, errore, Documento::Formato::PdfA);
}

}  // namespace varimo
