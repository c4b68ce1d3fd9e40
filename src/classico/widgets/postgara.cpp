#include "classico/widgets/postgara.h"

#include "calculation/progetto.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "common/importi.h"
#include "common/interazione.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "common/widgets/controlli.h"
#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"
#include "classico/persezioni.h"
#include "reports/sezioni.h"

namespace varimo {

namespace {

// Columns of the window, left to right: letter, label, the project, the mark
// "segue il ribasso", after the tender, the difference. Widths in average
// characters of the window's font, also the shares of the room a larger
// window gives. The label column is wide enough for the default labels to
// show whole.
enum Colonna { cNum, cTipo, cPrima, cSegue, cDopo, cDifferenza, cColonne };
constexpr double kLarghezze[cColonne] = {3.2, 48, 22.6, 11.4, 22.6, 22.6};

// Rows of the grid: the discount and its notice, the headings (two lines
// high), rows A to D, a gap, rows E to S, the economies, row T, a gap, the
// project total, a gap, the three statements (figures, then words), a gap,
// the buttons.
constexpr int kRibasso = 0;
constexpr int kTitoli = 1;
int rigaGriglia(int i) {
    if (i <= 4) return kTitoli + i;
    if (i < kVoci) return kTitoli + i + 1;
    return kTitoli + i + 2;  // row T, after the economies
}
constexpr int kSpazioVoci = kTitoli + 5;
constexpr int kEconomie = kTitoli + kVoci + 1;
constexpr int kSpazioTotale = kTitoli + kVoci + 3;
constexpr int kTotale = kSpazioTotale + 1;
constexpr int kSpazioDichiarazioni = kTotale + 1;
constexpr int kDichiarazioni = kSpazioDichiarazioni + 1;
constexpr int kSpazioTasti = kDichiarazioni + 6;
constexpr int kTasti = kSpazioTasti + 1;

// Proportion of the window's width to its height.
constexpr int kProporzioneLarghezza = 136;
constexpr int kProporzioneAltezza = 115;

const QColor kSegnalato(255, 200, 200);

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
    // The small font of the main windows' rows.
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    creaControlli();
    connect(stato_, &StatoPostGara::cambiato, this, &PostGara::aggiorna);
    riprendiProgetto();
    aggiorna();
    // The design size, from the texts the window now shows (the project's
    // labels); from then on the texts follow the window's size.
    Proporzioni::avvia(this, kProporzioneLarghezza, kProporzioneAltezza);
    collocaSulloSchermo(this);
}

PostGara::~PostGara() = default;

void PostGara::creaControlli() {
    auto* griglia = new QGridLayout(this);
    const QFontMetrics fm(font());
    griglia->setHorizontalSpacing(larghezzaCaratteri(fm, 0.6));
    griglia->setVerticalSpacing(0);
    const int lato = larghezzaCaratteri(fm, 1.6);
    griglia->setContentsMargins(lato, fm.height() / 3, lato, fm.height() / 2);
    proporzionaGriglia(griglia, fm, kLarghezze,
                       {kSpazioVoci, kSpazioTotale, kSpazioDichiarazioni, kSpazioTasti}, kTasti);
    auto cella = [griglia](QWidget* w, int riga, int colonna, int colonne = 1) {
        poniInCella(griglia, w, riga, colonna, 1, colonne);
    };
    auto importo = [this, &cella](const QString& nome, int colonna, int riga) {
        auto* e = new QLineEdit(this);
        e->setObjectName(nome);
        e->setReadOnly(true);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        cella(e, riga, colonna);
        return e;
    };
    auto etichetta = [this, &cella](const QString& nome, const QString& testo, int colonna,
                                    int riga, int colonne = 1) {
        auto* l = new QLabel(testo, this);
        l->setObjectName(nome);
        cella(l, riga, colonna, colonne);
        return l;
    };

    auto* titoloRibasso = new QLabel(QStringLiteral("Ribasso d'asta offerto (%):"), this);
    titoloRibasso->setObjectName(QStringLiteral("Label1"));
    ribasso_ = new QLineEdit(this);
    ribasso_->setObjectName(QStringLiteral("ribasso"));
    ribasso_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ribasso_->setToolTip(QStringLiteral(
        "percentuale di ribasso offerta dall'aggiudicatario, fino a tre decimali (23,456)"));
    ribasso_->setMinimumWidth(larghezzaCaratteri(fm, 13));
    {
        auto* riga = new QHBoxLayout;
        riga->setSpacing(griglia->horizontalSpacing());
        riga->addWidget(titoloRibasso);
        riga->addWidget(ribasso_);
        riga->addStretch(1);
        griglia->addLayout(riga, kRibasso, cNum, 1, 2, Qt::AlignTop);
    }
    avviso_ = new QLabel(this);
    avviso_->setObjectName(QStringLiteral("avviso"));
    avviso_->setWordWrap(true);
    avviso_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    avviso_->setMinimumHeight(altezzaRighe(fm, 2));
    cella(avviso_, kRibasso, cPrima, cColonne - cPrima);

    const struct {
        const char* nome;
        QString testo;
        int colonna;
    } titoli[] = {
        {"titolovoce", QStringLiteral("voce del quadro"), cTipo},
        {"titoloprima", QStringLiteral("progetto"), cPrima},
        {"titolosegue", testipostgara::segue, cSegue},
        {"titolodopo", QStringLiteral("dopo la gara"), cDopo},
        {"titolodifferenza", QStringLiteral("differenza"), cDifferenza},
    };
    for (const auto& t : titoli) {
        auto* l = new QLabel(t.testo, this);
        l->setObjectName(QString::fromLatin1(t.nome));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumHeight(altezzaRighe(fm, 2));
        sfondo(l, Qt::cyan);
        cella(l, kTitoli, t.colonna);
    }

    for (int i = 1; i <= kVoci; ++i) {
        const int riga = rigaGriglia(i);
        lettera_[i] = etichetta(nomeControllo("num", i), QString(letteraVoce(i)), cNum, riga);
        tipo_[i] = etichetta(nomeControllo("tipo", i), QString(), cTipo, riga);
        prima_[i] = importo(nomeControllo("prima", i), cPrima, riga);
        dopo_[i] = importo(nomeControllo("dopo", i), cDopo, riga);
        differenza_[i] = importo(nomeControllo("differenza", i), cDifferenza, riga);
        if (i >= 5 && i <= 17) {
            auto* c = new QCheckBox(this);
            c->setObjectName(nomeControllo("segue", i));
            c->setToolTip(testipostgara::segue);
            griglia->addWidget(c, riga, cSegue, Qt::AlignCenter);
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

    etichetta(QStringLiteral("tipoeconomie"), testipostgara::economie, cTipo, kEconomie);
    economiePrima_ = importo(QStringLiteral("economieprima"), cPrima, kEconomie);
    economie_ = importo(QStringLiteral("economie"), cDopo, kEconomie);
    economieDifferenza_ = importo(QStringLiteral("economiedifferenza"), cDifferenza, kEconomie);
    testoColorato(economie_, Qt::darkGreen, true);

    auto* tt = etichetta(QStringLiteral("tipototale"), QStringLiteral("TOTALE PROGETTO (D + T)"),
                         cTipo, kTotale);
    grassetto(tt);
    totalePrima_ = importo(QStringLiteral("totaleprima"), cPrima, kTotale);
    totaleDopo_ = importo(QStringLiteral("totaledopo"), cDopo, kTotale);
    totaleDifferenza_ = importo(QStringLiteral("totaledifferenza"), cDifferenza, kTotale);
    for (QWidget* w : {static_cast<QWidget*>(totalePrima_), static_cast<QWidget*>(totaleDopo_),
                       static_cast<QWidget*>(totaleDifferenza_)})
        testoColorato(w, Qt::blue, true);

    const char* const nomi[3][3] = {
        {"etichettacontratto", "contratto", "contrattolettere"},
        {"etichettaribassolavori", "ribassolavori", "ribassolavorilettere"},
        {"etichettaeconomie", "economieriepilogo", "economielettere"},
    };
    for (int d = 0; d < 3; ++d) {
        const int riga = kDichiarazioni + 2 * d;
        RigaDichiarazione& r = dichiarazioni_.at(static_cast<std::size_t>(d));
        r.voce = etichetta(QString::fromLatin1(nomi[d][0]), QString(), cTipo, riga);
        grassetto(r.voce);
        r.cifre = importo(QString::fromLatin1(nomi[d][1]), cPrima, riga);
        grassetto(r.cifre);
        r.lettere = etichetta(QString::fromLatin1(nomi[d][2]), QString(), cTipo, riga + 1,
                              cColonne - cTipo);
        r.lettere->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    auto tasto = [this](const char* nome, const QString& testo, const QString& suggerimento) {
        auto* b = new QPushButton(testo, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setToolTip(suggerimento);
        b->setAutoDefault(false);
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        return b;
    };
    pulsanteStampa_ = tasto("cmdStampa", QStringLiteral("&Stampa"),
                            QStringLiteral("documento del quadro dopo la gara (.docx)"));
    pulsantePdf_ = tasto("cmdPdf", QStringLiteral("Esporta in &PDF..."),
                         QStringLiteral("quadro dopo la gara in un file PDF"));
    pulsanteChiudi_ = tasto("cmdChiudi", QStringLiteral("&Chiudi"),
                            QStringLiteral("chiude la finestra; il progetto non cambia"));
    {
        // On the right of the last line: the PDF, the print, then the close.
        auto* riga = new QHBoxLayout;
        riga->setSpacing(larghezzaCaratteri(fm, 1.4));
        riga->addStretch(95);
        for (QPushButton* b : {pulsantePdf_, pulsanteStampa_, pulsanteChiudi_})
            riga->addWidget(b, 18);
        griglia->addLayout(riga, kTasti, cNum, 1, cColonne);
    }

    connect(ribasso_, &QLineEdit::textEdited, stato_,
            [this](const QString& t) { stato_->scriviRibasso(t); });
    connect(pulsanteStampa_, &QPushButton::clicked, this, &PostGara::stampa);
    connect(pulsantePdf_, &QPushButton::clicked, this, &PostGara::esportaPdf);
    connect(pulsanteChiudi_, &QPushButton::clicked, this, &PostGara::chiudi);
}

void PostGara::impostaFonti(std::function<StatoCalcolo*()> calcolo,
                            std::function<void()> mostraQuadro) {
    fonte_ = std::move(calcolo);
    mostraQuadro_ = std::move(mostraQuadro);
    riprendiProgetto();
}

void PostGara::riprendiProgetto() {
    StatoCalcolo* s = fonte_ ? fonte_() : nullptr;
    if (s != calcolo_) {
        if (calcolo_) disconnect(calcolo_, nullptr, this, nullptr);
        calcolo_ = s;
        if (s)
            connect(s, &StatoCalcolo::cambiato, this,
                    [this] { stato_->caricaProgetto(progettoDa(*calcolo_)); });
    }
    stato_->caricaProgetto(s ? progettoDa(*s) : ProgettoGara{});
}

IntestazioneProgetto PostGara::intestazione() const {
    const Progetto* p = calcolo_ ? Progetto::di(*calcolo_) : nullptr;
    return p ? IntestazioneProgetto{p->nome(), p->valuta()} : IntestazioneProgetto{};
}

void PostGara::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
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
        poni(r.lettere, q ? d.at(k).inLettere(intestazione().valuta) : QString());
    }
}

void PostGara::stampaOEsporta(bool pdf) {
    const std::optional<QuadroDopoGara>& q = stato_->quadro();
    if (!q) {
        messaggio(stato_->avviso(), TestiProgramma::titoloaiuto, Icona::Esclamazione);
        return;
    }
    const IntestazioneProgetto progetto = intestazione();
    QStringList testi;
    for (const Dichiarazione& d : dichiarazioni(*q)) testi << d.testo(progetto.valuta);
    const QString riga = rigaRibasso(stato_->lettura().millesimi);
    QuadroSezioni sezioni = sezioniDopoGara(*stato_, *q);
    sezioni.intestazione = progetto;
    const EsitoStampa e =
        pdf ? esportaDopoGara(riga, sezioni, testi) : stampaDopoGara(riga, sezioni, testi);
    if (e == EsitoStampa::MostraQuadro && mostraQuadro_) mostraQuadro_();
}

void PostGara::stampa() {
    stampaOEsporta(false);
}

void PostGara::esportaPdf() {
    stampaOEsporta(true);
}

void PostGara::chiudi() {
    close();
}

}  // namespace varimo
