#include "classico/widgets/economico.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <vector>

#include "common/widgets/controlli.h"
#include "common/widgets/proporzioni.h"
#include "common/widgets/testodigitato.h"

namespace varimo {

Economico::Economico(QWidget* parent) : QMainWindow(parent), stato_(new StatoEconomico(this)) {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(testieconomico::titoloFinestra);
    creaControlli();
    // The controls show the state's texts before the layout is fitted to them.
    collegaStato();
    limitaTestiDigitati(this);
    // The design size, in the proportion of the main windows; from then on
    // the window's texts follow its size.
    Proporzioni::avvia(centralWidget(), disegno::kProporzioneLarghezza,
                       disegno::kProporzioneAltezza);
    collocaSulloSchermo(this);
    stato_->preparaFinestra();
}

Economico::~Economico() = default;

namespace {
// Columns of the window, left to right: number, label, amount, a gap, the
// percentage, a gap, the reference. Widths in average characters of the
// window's font, also the shares of the room a larger window gives.
enum Colonna { cNum, cTipo, cCosto, cSpazio1, cPerc, cSpazio2, cRiferimento, cColonne };
constexpr double kLarghezze[cColonne] = {3.2, 43.2, 33.8, 1.4, 6.6, 1.4, 33.8};

// Rows of the grid: the headings, rows 1 to 4, a gap, the other rows, the
// total, the project name, the currency with the command buttons.
constexpr int kTitoli = 0;
constexpr int kSpazioVoci = 5;
int rigaGriglia(int k) {
    return k <= 4 ? k : k + 1;
}
constexpr int kTotale = kVoci + 2;
constexpr int kNomeProgetto = kTotale + 1;
constexpr int kTasti = kNomeProgetto + 1;
}  // namespace

void Economico::mostra(const StatoCalcolo& calcolo) {
    stato_->mostra(calcolo);
    spaziaDopoD();
}

// The works end with row D: the blank line that separates them from the sums
// at the administration's disposal falls after D wherever it is shown (third
// when B is empty), not after the fourth row. The rows after D among the first
// four move below the gap.
void Economico::spaziaDopoD() {
    int posizioneD = 4;
    for (int k = 1; k <= 4; ++k) {
        if (stato_->origine(k) == 4) posizioneD = k;
    }
    if (posizioneD == posizioneD_ || griglia_ == nullptr) return;
    posizioneD_ = posizioneD;
    const int altezzaSpazio = QFontMetrics(centralWidget()->font()).height() / 2;
    for (int k = 1; k <= 4; ++k) {
        const int riga = k <= posizioneD ? k : k + 1;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 numero_[k], tipo_[k], costo_[k], etichettaPercentuale_[k], riferimento_[k]}) {
            const int i = griglia_->indexOf(w);
            int r = 0, c = 0, rs = 0, cs = 0;
            griglia_->getItemPosition(i, &r, &c, &rs, &cs);
            griglia_->removeWidget(w);
            griglia_->addWidget(w, riga, c, rs, cs);
        }
    }
    for (int r = 1; r <= kSpazioVoci; ++r) {
        const bool spazio = r == posizioneD + 1;
        griglia_->setRowMinimumHeight(r, spazio ? altezzaSpazio : 0);
        griglia_->setRowStretch(r, spazio ? 1 : 2);
    }
    griglia_->invalidate();
    griglia_->activate();
}

void Economico::creaControlli() {
    QGridLayout* griglia = creaAreaCentrale(this);
    griglia_ = griglia;
    QWidget* area = centralWidget();
    const QFontMetrics fm(area->font());
    proporzionaGriglia(griglia, fm, kLarghezze, {kSpazioVoci}, kTasti);
    auto poni = [griglia](QWidget* w, int riga, int colonna, int righe = 1, int colonne = 1) {
        poniInCella(griglia, w, riga, colonna, righe, colonne);
    };

    const struct {
        int indice;
        QString testo, suggerimento;
        int colonna;
    } titoli[] = {
        {19, testieconomico::titoloTipo, testieconomico::titoloTipoSuggerimento, cTipo},
        {20, testieconomico::titoloCosto, testieconomico::titoloCostoSuggerimento, cCosto},
        {0, testieconomico::titoloPercentuale, testieconomico::titoloPercentualeSuggerimento,
         cPerc},
    };
    for (const auto& t : titoli) {
        etichettaPercentuale_[t.indice] =
            titoloColonna(area, nomeControllo("perc", t.indice), t.testo, t.suggerimento);
        griglia->addWidget(etichettaPercentuale_[t.indice], kTitoli, t.colonna);
    }
    titoloRiferimento_ =
        titoloColonna(area, QStringLiteral("Label1"), testieconomico::titoloRiferimento,
                      testieconomico::titoloRiferimentoSuggerimento);
    griglia->addWidget(titoloRiferimento_, kTitoli, cRiferimento);

    for (int k = 1; k <= kVoci; ++k) {
        const int riga = rigaGriglia(k);
        auto* n = new QLabel(area);
        n->setObjectName(nomeControllo("num", k));
        poni(n, riga, cNum);
        numero_[k] = n;

        auto* t = new QLineEdit(area);
        t->setObjectName(nomeControllo("tipo", k));
        poni(t, riga, cTipo);
        tipo_[k] = t;

        auto* c = new QLineEdit(area);
        c->setObjectName(nomeControllo("costo", k));
        c->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        poni(c, riga, cCosto);
        costo_[k] = c;

        auto* p = new QLabel(area);
        p->setObjectName(nomeControllo("perc", k));
        p->setAlignment(Qt::AlignCenter);
        poni(p, riga, cPerc);
        etichettaPercentuale_[k] = p;

        auto* r = new QLabel(area);
        r->setObjectName(nomeControllo("riferimento", k));
        poni(r, riga, cRiferimento);
        riferimento_[k] = r;
    }

    auto* t19 = new QLineEdit(area);
    t19->setObjectName(nomeControllo("tipo", kTotaleQuadro));
    t19->setToolTip(testieconomico::tipo19Suggerimento);
    grassetto(t19);
    poni(t19, kTotale, cNum, 1, 2);
    tipo_[kTotaleQuadro] = t19;

    auto* c19 = new QLineEdit(area);
    c19->setObjectName(nomeControllo("costo", kTotaleQuadro));
    c19->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grassetto(c19);
    poni(c19, kTotale, cCosto);
    costo_[kTotaleQuadro] = c19;

    etichettaNomeProgetto_ = new QLabel(testieconomico::nomeProgetto, area);
    etichettaNomeProgetto_->setObjectName(QStringLiteral("Label2"));
    etichettaNomeProgetto_->setToolTip(testieconomico::nomeProgettoSuggerimento);

    nomeProgetto_ = new QLineEdit(area);
    nomeProgetto_->setObjectName(QStringLiteral("nomeprog"));
    riempieCella(nomeProgetto_);
    {
        auto* riga = new QHBoxLayout;
        riga->setSpacing(0);
        riga->addWidget(etichettaNomeProgetto_, 16);
        riga->addWidget(nomeProgetto_, 64);
        griglia->addLayout(riga, kNomeProgetto, cNum, 1, cSpazio1);
    }

    valuta_ = new ElencoIntero(area);
    valuta_->setObjectName(QStringLiteral("valut"));
    valuta_->setEditable(true);
    valuta_->setInsertPolicy(QComboBox::NoInsert);
    valuta_->setCompleter(nullptr);
    valuta_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    valuta_->setMinimumContentsLength(8);

    auto tasto = [area](const char* n, const QString& testo, const QString& suggerimento) {
        auto* b = new QPushButton(testo, area);
        b->setObjectName(QString::fromLatin1(n));
        b->setToolTip(suggerimento);
        b->setAutoDefault(false);
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        return b;
    };
    pulsanteRielabora_ = tasto("elabor", testieconomico::rielabora, QString());
    {
        auto* riga = new QHBoxLayout;
        riga->addStretch(16);
        riga->addWidget(pulsanteRielabora_, 18);
        griglia->addLayout(riga, kTotale, cRiferimento, 2, 1);
    }
    aiuto_ = tasto("aiuto", testieconomico::aiuto, testieconomico::aiutoSuggerimento);
    guidaInLinea_ = tasto("Command6", QStringLiteral("&Guida in linea"),
                          QStringLiteral("cliccare per visualizzare il sommario della Guida"));
    pulsanteStampa_ = tasto("cmdStampa", QStringLiteral("&Stampa"),
                            QStringLiteral("clicca per stampare i dati della finestra"));
    pulsanteEsci_ = tasto("esco", QStringLiteral("&USCITA"), QString());
    auto* tasti = new QHBoxLayout;
    tasti->setSpacing(0);
    tasti->addWidget(valuta_, 16);
    tasti->addStretch(37);
    for (QPushButton* b : {aiuto_, guidaInLinea_, pulsanteStampa_, pulsanteEsci_})
        tasti->addWidget(b, 18);
    griglia->addLayout(tasti, kTasti, cNum, 1, cColonne);
}

void Economico::collegaStato() {
    StatoEconomico* s = stato_;
    std::vector<std::function<void()>> viste;
    auto vista = [&viste](auto& valore, std::function<void()> f) {
        valore.allaVista(f);
        viste.push_back(std::move(f));
    };
    auto testo = [](QLineEdit* e, const QString& t) { mostraTesto(e, t); };
    auto didascalia = [](QLabel* l, const QString& t) {
        if (l->text() != t) l->setText(t);
    };

    for (int k = 1; k <= kTotaleQuadro; ++k) {
        RigaQuadro& r = s->riga(k);
        vista(r.tipo, [this, s, k, testo] { testo(tipo_[k], s->tipo(k)); });
        vista(r.costo, [this, s, k, testo] { testo(costo_[k], s->costo(k)); });
        connect(tipo_[k], &QLineEdit::textEdited, s,
                [s, k](const QString& t) { s->scriviTipo(k, t); });
        connect(costo_[k], &QLineEdit::textEdited, s,
                [s, k](const QString& t) { s->scriviCosto(k, t); });
        if (k == kTotaleQuadro) break;
        vista(r.numero, [this, s, k, didascalia] { didascalia(numero_[k], s->numero(k)); });
        vista(r.percentuale, [this, s, k, didascalia] {
            didascalia(etichettaPercentuale_[k], s->testoPercentuale(k));
        });
        vista(r.riferimento,
              [this, s, k, didascalia] { didascalia(riferimento_[k], s->riferimento(k)); });
        vista(r.visibile, [this, s, k] {
            const bool v = s->visibile(k);
            for (QWidget* w : std::initializer_list<QWidget*>{
                     numero_[k], tipo_[k], costo_[k], etichettaPercentuale_[k], riferimento_[k]}) {
                if (w->isHidden() == v) w->setVisible(v);
            }
        });
    }
    vista(s->nomeProgettoValore(), [this, s, testo] { testo(nomeProgetto_, s->nomeProgetto()); });
    vista(s->valuteValore(), [this] { aggiornaValuta(); });
    vista(s->valutaValore(), [this] { aggiornaValuta(); });
    vista(s->suggerimentoUscitaValore(),
          [this, s] { pulsanteEsci_->setToolTip(s->suggerimentoUscita()); });

    connect(nomeProgetto_, &QLineEdit::textEdited, s,
            [s](const QString& t) { s->scriviNomeProgetto(t); });
    connect(valuta_->lineEdit(), &QLineEdit::textEdited, s,
            [s](const QString& t) { s->scriviValuta(t); });
    connect(valuta_, &QComboBox::activated, s, [s](int p) { s->scegliValuta(p); });

    connect(pulsanteRielabora_, &QPushButton::clicked, this, &Economico::rielaboraCalcolo);
    connect(aiuto_, &QPushButton::clicked, this, &Economico::mostraAiuto);

    for (const auto& v : viste) v();
}

void Economico::aggiornaValuta() {
    const QStringList& voci = stato_->valute();
    QStringList attuali;
    for (int k = 0; k < valuta_->count(); ++k) attuali << valuta_->itemText(k);
    const bool scrittoQui = valuta_->lineEdit()->text() == stato_->valuta();
    const int cursore = valuta_->lineEdit()->cursorPosition();
    if (attuali != voci) {
        valuta_->clear();
        valuta_->addItems(voci);
    }
    // An entry of the list is selected when the text is one; any other text
    // is kept with nothing selected.
    const QString t = stato_->valuta();
    const int p = voci.indexOf(t);
    if (valuta_->currentIndex() != p) valuta_->setCurrentIndex(p);
    if (valuta_->currentText() != t) {
        valuta_->setEditText(t);
        valuta_->lineEdit()->setCursorPosition(
            scrittoQui ? std::min(cursore, static_cast<int>(t.size())) : 0);
    }
}

void Economico::rielaboraCalcolo() {
    if (rielabora_) rielabora_();
}

}  // namespace varimo
