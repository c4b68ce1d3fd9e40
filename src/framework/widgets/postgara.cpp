#include "framework/widgets/postgara.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "calculation/importi.h"
#include "calculation/numeri.h"
#include "calculation/widgets/calcolo.h"
#include "framework/persezioni.h"
#include "framework/widgets/economico.h"
#include "reports/sezioni.h"
#include "shell/interazione.h"
#include "shell/modvarimo.h"
#include "shell/widgets/controlli.h"
#include "shell/widgets/finestre.h"
#include "shell/widgets/twips.h"

namespace varimo {

using namespace disegno;

namespace {

// Layout in twips. The rows keep the lines of the main windows, a little
// lower to leave room for the discount; the economies come after row S and
// before T, the total after a gap, then the three statements and the buttons.
constexpr int kScendi = 240;
constexpr int kTitoli = 480;  // headings, two lines high
int alto(int k) {
    return altoRiga(k) + kScendi;
}
const int kAltoEconomie = alto(kVoci);
const int kAltoT = kAltoEconomie + kRiga;
const int kAltoTotale = kAltoT + kRiga + 120;
const int kAltoDichiarazioni = kAltoTotale + kRiga + 240;
const int kAltoTasti = kAltoDichiarazioni + 3 * 2 * kRiga + 3 * 60 + 120;
const int kAltezzaFinestra = kAltoTasti + kTasto + 180;

struct Colonna {
    int sinistra, larghezza;
};
// The label column is wide enough for the default labels to show whole:
// the window is too tall to grow for them within a small screen.
constexpr Colonna kNum{120, 240};
constexpr Colonna kTipo{360, 3600};
constexpr Colonna kPrima{4005, 1695};
constexpr Colonna kSegue{5745, 855};
constexpr Colonna kDopo{6645, 1695};
constexpr Colonna kDifferenza{8385, 1695};
constexpr int kFine = kDifferenza.sinistra + kDifferenza.larghezza + 105;  // buttons end here
constexpr int kLarghezzaFinestra = kDifferenza.sinistra + kDifferenza.larghezza + 120;

const QColor kSegnalato(255, 200, 200);

void colloca(QWidget* w, Colonna c, int top, int altezza = kRiga) {
    collocaTwip(w, c.sinistra, top, c.larghezza, altezza);
}

QLineEdit* importo(QWidget* padre, const QString& nome, Colonna c, int top) {
    auto* e = new QLineEdit(padre);
    e->setObjectName(nome);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    colloca(e, c, top);
    return e;
}

QLabel* etichetta(QWidget* padre, const QString& nome, const QString& testo, Colonna c, int top) {
    auto* l = new QLabel(testo, padre);
    l->setObjectName(nome);
    colloca(l, c, top);
    return l;
}

void poni(QLineEdit* e, const QString& t) {
    if (e->text() != t) {
        e->setText(t);
        e->setCursorPosition(0);
    }
}
void poni(QLabel* l, const QString& t) {
    if (l->text() != t) l->setText(t);
}

}  // namespace

PostGara::PostGara() : stato_(new StatoPostGara(this)) {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(testipostgara::titolo);
    // The small font of the main windows' rows, and the twips of this font.
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    impostaFattoreTwip(this, fattoreCarattere(font()));
    resize(twip(this, kLarghezzaFinestra), twip(this, kAltezzaFinestra));
    creaControlli();
    connect(stato_, &StatoPostGara::cambiato, this, &PostGara::aggiorna);
    riprendiProgetto();
    aggiorna();
    // The layout grows for the texts it now shows (the project's labels).
    avviaScala(kLarghezzaFinestra, kAltezzaFinestra);
}

PostGara::~PostGara() = default;

void PostGara::creaControlli() {
    etichetta(this, QStringLiteral("Label1"), QStringLiteral("Ribasso d'asta offerto (%):"),
              {120, 2175}, 120);
    ribasso_ = new QLineEdit(this);
    ribasso_->setObjectName(QStringLiteral("ribasso"));
    ribasso_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ribasso_->setToolTip(QStringLiteral(
        "percentuale di ribasso offerta dall'aggiudicatario, fino a tre decimali (23,456)"));
    collocaTwip(ribasso_, 2340, 120, 975, kRiga);
    avviso_ = new QLabel(this);
    avviso_->setObjectName(QStringLiteral("avviso"));
    avviso_->setWordWrap(true);
    avviso_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    collocaTwip(avviso_, kPrima.sinistra, 60,
                kDifferenza.sinistra + kDifferenza.larghezza - kPrima.sinistra, 420);

    const struct {
        const char* nome;
        QString testo;
        Colonna colonna;
    } titoli[] = {
        {"titolovoce", QStringLiteral("voce del quadro"), kTipo},
        {"titoloprima", QStringLiteral("progetto"), kPrima},
        {"titolosegue", testipostgara::segue, kSegue},
        {"titolodopo", QStringLiteral("dopo la gara"), kDopo},
        {"titolodifferenza", QStringLiteral("differenza"), kDifferenza},
    };
    for (const auto& t : titoli) {
        auto* l = new QLabel(t.testo, this);
        l->setObjectName(QString::fromLatin1(t.nome));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignCenter);
        sfondo(l, Qt::cyan);
        colloca(l, t.colonna, alto(1) - kTitoli - 30, kTitoli);
    }

    for (int i = 1; i <= kVoci; ++i) {
        const int top = i == kVoci ? kAltoT : alto(i);
        num_[i] = etichetta(this, nomeControllo("num", i), QString(letteraVoce(i)), kNum, top);
        tipo_[i] = etichetta(this, nomeControllo("tipo", i), QString(), kTipo, top);
        prima_[i] = importo(this, nomeControllo("prima", i), kPrima, top);
        dopo_[i] = importo(this, nomeControllo("dopo", i), kDopo, top);
        differenza_[i] = importo(this, nomeControllo("differenza", i), kDifferenza, top);
        if (i >= 5 && i <= 17) {
            auto* c = new QCheckBox(this);
            c->setObjectName(nomeControllo("segue", i));
            c->setToolTip(testipostgara::segue);
            collocaTwip(c, kSegue.sinistra + (kSegue.larghezza - 240) / 2, top, 240, kRiga);
            connect(c, &QCheckBox::clicked, stato_,
                    [this, i](bool v) { stato_->scriviSegue(i, v); });
            segue_[i] = c;
        }
        if (i == 4 || i == kVoci) {
            for (QWidget* w :
                 {static_cast<QWidget*>(tipo_[i]), static_cast<QWidget*>(prima_[i]),
                  static_cast<QWidget*>(dopo_[i]), static_cast<QWidget*>(differenza_[i])})
                testoColorato(w, Qt::red, true);
        }
    }

    etichetta(this, QStringLiteral("tipoeconomie"), testipostgara::economie, kTipo, kAltoEconomie);
    economiePrima_ = importo(this, QStringLiteral("economieprima"), kPrima, kAltoEconomie);
    economie_ = importo(this, QStringLiteral("economie"), kDopo, kAltoEconomie);
    economieDifferenza_ =
        importo(this, QStringLiteral("economiedifferenza"), kDifferenza, kAltoEconomie);
    testoColorato(economie_, Qt::darkGreen, true);

    auto* tt = etichetta(this, QStringLiteral("tipototale"),
                         QStringLiteral("TOTALE PROGETTO (D + T)"), kTipo, kAltoTotale);
    grassetto(tt);
    totalePrima_ = importo(this, QStringLiteral("totaleprima"), kPrima, kAltoTotale);
    totaleDopo_ = importo(this, QStringLiteral("totaledopo"), kDopo, kAltoTotale);
    totaleDifferenza_ = importo(this, QStringLiteral("totaledifferenza"), kDifferenza, kAltoTotale);
    for (QWidget* w : {static_cast<QWidget*>(totalePrima_), static_cast<QWidget*>(totaleDopo_),
                       static_cast<QWidget*>(totaleDifferenza_)})
        testoColorato(w, Qt::blue, true);

    const char* const nomi[3][3] = {
        {"etichettacontratto", "contratto", "contrattolettere"},
        {"etichettaribassolavori", "ribassolavori", "ribassolavorilettere"},
        {"etichettaeconomie", "economieriepilogo", "economielettere"},
    };
    for (int d = 0; d < 3; ++d) {
        const int top = kAltoDichiarazioni + d * (2 * kRiga + 60);
        RigaDichiarazione& r = dichiarazioni_.at(static_cast<std::size_t>(d));
        r.voce = etichetta(this, QString::fromLatin1(nomi[d][0]), QString(),
                           {kTipo.sinistra, kPrima.sinistra - kTipo.sinistra}, top);
        grassetto(r.voce);
        r.cifre = importo(this, QString::fromLatin1(nomi[d][1]), kPrima, top);
        grassetto(r.cifre);
        r.lettere = etichetta(
            this, QString::fromLatin1(nomi[d][2]), QString(),
            {kTipo.sinistra, kDifferenza.sinistra + kDifferenza.larghezza - kTipo.sinistra},
            top + kRiga);
        r.lettere->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    auto tasto = [this](const char* nome, const QString& testo, const QString& suggerimento,
                        int sinistra) {
        auto* b = new QPushButton(testo, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setToolTip(suggerimento);
        b->setAutoDefault(false);
        collocaTwip(b, sinistra, kAltoTasti, 1335, kTasto);
        return b;
    };
    cmdStampa_ =
        tasto("cmdStampa", QStringLiteral("&Stampa"),
              QStringLiteral("documento del quadro dopo la gara (.docx)"), kFine - 2 * 1440);
    cmdPdf_ = tasto("cmdPdf", QStringLiteral("Esporta in &PDF..."),
                    QStringLiteral("quadro dopo la gara in un file PDF"), kFine - 3 * 1440);
    cmdChiudi_ = tasto("cmdChiudi", QStringLiteral("&Chiudi"),
                       QStringLiteral("chiude la finestra; il progetto non cambia"), kFine - 1440);

    connect(ribasso_, &QLineEdit::textEdited, stato_,
            [this](const QString& t) { stato_->scriviRibasso(t); });
    connect(cmdStampa_, &QPushButton::clicked, this, &PostGara::cmdStampa_Click);
    connect(cmdPdf_, &QPushButton::clicked, this, &PostGara::cmdPdf_Click);
    connect(cmdChiudi_, &QPushButton::clicked, this, &PostGara::cmdChiudi_Click);
}

void PostGara::riprendiProgetto() {
    Calcolo* c = Finestre::istanza().trova<Calcolo>();
    StatoCalcolo* s = c ? &c->stato() : nullptr;
    if (s != calcolo_) {
        if (calcolo_) disconnect(calcolo_, nullptr, this, nullptr);
        calcolo_ = s;
        if (s)
            connect(s, &StatoCalcolo::cambiato, this,
                    [this] { stato_->caricaProgetto(progettoDa(*calcolo_)); });
    }
    stato_->caricaProgetto(s ? progettoDa(*s) : ProgettoGara{});
}

void PostGara::showEvent(QShowEvent* e) {
    FinestraProporzionata::showEvent(e);
    if (!e->spontaneous()) riprendiProgetto();
}

void PostGara::aggiorna() {
    const StatoPostGara& s = *stato_;
    const ProgettoGara& p = s.progetto();
    const std::optional<QuadroDopoGara>& q = s.quadro();

    if (ribasso_->text() != s.ribasso()) ribasso_->setText(s.ribasso());
    QPalette pal = ribasso_->palette();
    pal.setColor(QPalette::Base,
                 s.ribassoSegnalato() ? kSegnalato : palette().color(QPalette::Base));
    ribasso_->setPalette(pal);
    ribasso_->setToolTip(s.ribassoSegnalato() ? s.avviso()
                                              : QStringLiteral("percentuale di ribasso offerta "
                                                               "dall'aggiudicatario, fino a tre "
                                                               "decimali (23,456)"));
    poni(avviso_, s.avviso());
    testoColorato(avviso_,
                  s.ribassoSegnalato() || (!q && s.lettura().esito == LetturaRibasso::Esito::Valido)
                      ? Qt::red
                      : palette().color(QPalette::WindowText),
                  false);

    for (int i = 1; i <= kVoci; ++i) {
        const auto u = static_cast<std::size_t>(i);
        const VoceProgetto& v = p.voci.at(u);
        poni(tipo_[i], v.tipo);
        QString suggerimento = v.tipo;
        if (v.riferimento > 0)
            suggerimento += QLatin1Char(' ') + regolaPercentuale(v.perc, v.testoRiferimento);
        tipo_[i]->setToolTip(suggerimento);
        const bool presente = i == 4 || i == kVoci || !v.costo.isEmpty();
        const bool conImporto = q && presente;
        poni(prima_[i], v.costo.isEmpty() ? QString() : formatoImporto(v.costo));
        poni(dopo_[i], conImporto ? formatoCentesimi(q->dopo.at(u)) : QString());
        poni(differenza_[i], conImporto ? formatoCentesimi(q->differenza(i)) : QString());
        if (QCheckBox* c = segue_[i]) {
            // Only a percentage row can follow the discount.
            if (c->isHidden() == s.puoSeguire(i)) c->setVisible(s.puoSeguire(i));
            if (c->isChecked() != s.segue(i)) c->setChecked(s.segue(i));
        }
    }
    poni(economiePrima_, q ? formatoCentesimi(0) : QString());
    poni(economie_, q ? formatoCentesimi(q->economie) : QString());
    poni(economieDifferenza_, q ? formatoCentesimi(q->economie) : QString());
    poni(totalePrima_, p.progetto.isEmpty() ? QString() : formatoImporto(p.progetto));
    poni(totaleDopo_, q ? formatoCentesimi(q->totaleDopo) : QString());
    poni(totaleDifferenza_, q ? formatoCentesimi(q->totaleDopo - q->totalePrima) : QString());

    const QList<Dichiarazione> d = dichiarazioni(q ? *q : QuadroDopoGara{});
    for (int k = 0; k < 3 && k < d.size(); ++k) {
        RigaDichiarazione& r = dichiarazioni_.at(static_cast<std::size_t>(k));
        poni(r.voce, d.at(k).voce + QLatin1Char(':'));
        poni(r.cifre, q ? formatoCentesimi(d.at(k).importo) : QString());
        poni(r.lettere, q ? d.at(k).inLettere(ModVarimo::valuta) : QString());
    }
}

void PostGara::stampa(bool pdf) {
    const std::optional<QuadroDopoGara>& q = stato_->quadro();
    if (!q) {
        messaggio(stato_->avviso(), ModVarimo::titoloaiuto, Icona::Esclamazione);
        return;
    }
    QStringList testi;
    for (const Dichiarazione& d : dichiarazioni(*q)) testi << d.testo(ModVarimo::valuta);
    const QString riga = rigaRibasso(stato_->lettura().millesimi);
    const QuadroSezioni sezioni = sezioniDopoGara(*stato_, *q);
    const EsitoStampa e =
        pdf ? esportaDopoGara(riga, sezioni, testi) : stampaDopoGara(riga, sezioni, testi);
    if (e == EsitoStampa::MostraQuadro) Finestre::istanza().mostra<Economico>();
}

void PostGara::cmdStampa_Click() {
    stampa(false);
}

void PostGara::cmdPdf_Click() {
    stampa(true);
}

void PostGara::cmdChiudi_Click() {
    close();
}

}  // namespace varimo
