#include "quadro/widgets/finestraconfronto.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "common/interazione.h"
#include "quadro/documentiquadro.h"
#include "quadro/stampaconfronto.h"
#include "reports/word.h"

namespace varimo::quadro {

namespace {

const QString kTitolo = QStringLiteral("Confronto tra le fasi");

}  // namespace

// ---- Model -------------------------------------------------------------------

void ModelloConfronto::imposta(const Confronto& c) {
    beginResetModel();
    c_ = c;
    endResetModel();
}

int ModelloConfronto::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || c_.nomi.isEmpty() ? 0 : int(c_.righe.size()) + 2;
}

int ModelloConfronto::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || c_.nomi.isEmpty()) return 0;
    return 2 + int(c_.nomi.size()) + (c_.haDifferenza() ? 1 : 0);
}

QVariant ModelloConfronto::headerData(int sezione, Qt::Orientation o, int ruolo) const {
    if (o != Qt::Horizontal || ruolo != Qt::DisplayRole) return {};
    if (sezione == 0) return QStringLiteral("Codice");
    if (sezione == 1) return QStringLiteral("Voce");
    const int k = sezione - 2;
    if (k < c_.nomi.size()) return c_.nomi[k];
    if (c_.haDifferenza())
        return QStringLiteral("Differenza\n%1 − %2").arg(c_.nomi[c_.a], c_.nomi[c_.da]);
    return {};
}

QVariant ModelloConfronto::data(const QModelIndex& i, int ruolo) const {
    if (!i.isValid() || i.row() >= rowCount()) return {};
    const int n = int(c_.righe.size());
    const int fasi = int(c_.nomi.size());
    const int col = i.column();
    const bool differenza = c_.haDifferenza() && col == 2 + fasi;
    if (ruolo == Qt::TextAlignmentRole && col >= 2)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (ruolo == Qt::FontRole) {
        const bool grassetto = i.row() >= n
                                   ? i.row() == n + 1
                                   : c_.righe[i.row()].sezione || c_.righe[i.row()].profondita == 0;
        if (!grassetto) return {};
        QFont f;
        f.setBold(true);
        return f;
    }
    if (ruolo != Qt::DisplayRole) return {};
    auto segno = [](Centesimi c) {
        return (c > 0 ? QStringLiteral("+") : QString()) + testoImporto(c);
    };
    if (i.row() >= n) {
        const bool totale = i.row() == n + 1;
        const QList<Centesimi>& v = totale ? c_.totali : c_.contratti;
        if (col == 0) return totale ? QStringLiteral("TOTALE") : QString();
        if (col == 1)
            return totale ? QStringLiteral("TOTALE PROGETTO")
                          : QStringLiteral("Importo contrattuale");
        if (differenza) return segno(v[c_.a] - v[c_.da]);
        return testoImporto(v[col - 2]);
    }
    const RigaConfronto& r = c_.righe[i.row()];
    if (col == 0) return r.codice;
    if (col == 1) return QString(r.profondita * 3, QLatin1Char(' ')) + r.etichetta;
    if (differenza) return segno(c_.differenza(r));
    const auto& x = r.importi[col - 2];
    return x ? testoImporto(*x) : QString();
}

// ---- Window ------------------------------------------------------------------

FinestraConfronto::FinestraConfronto(FileFasi file, QWidget* parent)
    : QWidget(parent), file_(std::move(file)) {
    setObjectName(QStringLiteral("confronto"));
    setWindowTitle(kTitolo);
    modello_ = new ModelloConfronto(this);

    fasi_ = new QListWidget(this);
    fasi_->setObjectName(QStringLiteral("fasi"));
    // As wide as its longest phase, up to a third of the window.
    fasi_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    fasi_->setMaximumWidth(fontMetrics().averageCharWidth() * 48);
    da_ = new QComboBox(this);
    da_->setObjectName(QStringLiteral("da"));
    a_ = new QComboBox(this);
    a_->setObjectName(QStringLiteral("a"));
    tabella_ = new QTableView(this);
    tabella_->setObjectName(QStringLiteral("tabella"));
    tabella_->setModel(modello_);
    tabella_->verticalHeader()->hide();
    tabella_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabella_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    andamento_ = new QLabel(this);
    andamento_->setObjectName(QStringLiteral("andamento"));
    andamento_->setWordWrap(true);
    andamento_->setTextFormat(Qt::PlainText);
    problema_ = new QLabel(this);
    problema_->setObjectName(QStringLiteral("problema"));
    problema_->setWordWrap(true);
    problema_->setStyleSheet(QStringLiteral("color: #a00000"));
    auto* stampa = new QPushButton(QStringLiteral("&Stampa"), this);
    stampa->setObjectName(QStringLiteral("stampaconfronto"));
    auto* esporta = new QPushButton(QStringLiteral("&Esporta…"), this);
    esporta->setObjectName(QStringLiteral("esportaconfronto"));
    auto* chiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("chiudiconfronto"));

    auto* sinistra = new QVBoxLayout;
    sinistra->addWidget(new QLabel(QStringLiteral("Fasi confrontate:"), this));
    sinistra->addWidget(fasi_);
    auto* scelta = new QHBoxLayout;
    scelta->addWidget(new QLabel(QStringLiteral("Differenza tra"), this));
    scelta->addWidget(a_);
    scelta->addWidget(new QLabel(QStringLiteral("e"), this));
    scelta->addWidget(da_);
    scelta->addStretch();
    scelta->addWidget(stampa);
    scelta->addWidget(esporta);
    scelta->addWidget(chiudi);
    auto* destra = new QVBoxLayout;
    destra->addLayout(scelta);
    destra->addWidget(tabella_, 1);
    destra->addWidget(problema_);
    destra->addWidget(andamento_);
    auto* tutto = new QHBoxLayout(this);
    tutto->addLayout(sinistra);
    tutto->addLayout(destra, 1);

    connect(fasi_, &QListWidget::itemChanged, this, [this] {
        if (!riempiendo_) aggiorna();
    });
    connect(da_, &QComboBox::currentIndexChanged, this, [this] {
        if (!riempiendo_) aggiorna();
    });
    connect(a_, &QComboBox::currentIndexChanged, this, [this] {
        if (!riempiendo_) aggiorna();
    });
    connect(stampa, &QPushButton::clicked, this, &FinestraConfronto::stampa);
    connect(esporta, &QPushButton::clicked, this, &FinestraConfronto::esporta);
    connect(chiudi, &QPushButton::clicked, this, &QWidget::close);
    // Esc closes it, as it closes a dialog, wherever the focus is in it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
    riempiFasi();
    aggiorna();
    resize(misuraIniziale());
}

QSize FinestraConfronto::misuraIniziale() {
    // The table whole: every column as wide as its widest cell or title (so
    // no label is cut), every row shown, room for a scroll bar all the same;
    // sizeHintForColumn is public on the view's base.
    const QAbstractItemView* vista = tabella_;
    const QHeaderView* titoli = tabella_->horizontalHeader();
    const int cornice = 2 * tabella_->frameWidth();
    int larghezza = cornice + tabella_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < modello_->columnCount(); ++c)
        larghezza += std::max(vista->sizeHintForColumn(c), titoli->sectionSizeHint(c));
    const int altezza = cornice + titoli->sizeHint().height() +
                        tabella_->verticalHeader()->length() +
                        tabella_->horizontalScrollBar()->sizeHint().height();
    // The window around a table of that size, as its layout lays it out.
    const QSize prima = tabella_->minimumSize();
    tabella_->setMinimumSize(larghezza, altezza);
    layout()->activate();
    QSize misura = layout()->totalSizeHint();
    tabella_->setMinimumSize(prima);
    layout()->activate();  // and the window's own minimum back to what it holds
    // Never past the screen (1366 x 768 included), with room for the frame
    // the window manager adds.
    if (const QScreen* schermo = screen())
        misura = misura.boundedTo(schermo->availableSize() * 0.95);
    return misura;
}

void FinestraConfronto::impostaFile(FileFasi file) {
    file_ = std::move(file);
    riempiFasi();
    aggiorna();
}

void FinestraConfronto::riempiFasi() {
    // The phases left out stay out, by name; a new phase comes in checked.
    QSet<QString> escluse;
    for (int i = 0; i < fasi_->count(); ++i)
        if (fasi_->item(i)->checkState() != Qt::Checked)
            escluse.insert(fasi_->item(i)->data(Qt::UserRole).toString());
    riempiendo_ = true;
    fasi_->clear();
    for (const Fase& f : file_.fasi) {
        QString testo = f.nome;
        if (!f.data.isEmpty()) testo += QStringLiteral(" (") + dataItaliana(f.data) + u')';
        if (f.bloccata) testo += QStringLiteral(" (bloccata)");
        auto* voce = new QListWidgetItem(testo, fasi_);
        voce->setData(Qt::UserRole, f.nome);
        voce->setFlags(voce->flags() | Qt::ItemIsUserCheckable);
        voce->setCheckState(escluse.contains(f.nome) ? Qt::Unchecked : Qt::Checked);
    }
    riempiendo_ = false;
}

void FinestraConfronto::aggiorna() {
    QList<int> scelte;
    for (int i = 0; i < fasi_->count(); ++i)
        if (fasi_->item(i)->checkState() == Qt::Checked) scelte.append(i);
    // The two columns of the difference, kept by name when the choice changes;
    // the last two stay the last two.
    const bool ultime =
        da_->currentIndex() == da_->count() - 2 && a_->currentIndex() == a_->count() - 1;
    const QString primaDa = ultime ? QString() : da_->currentText();
    const QString primaA = ultime ? QString() : a_->currentText();
    riempiendo_ = true;
    da_->clear();
    a_->clear();
    for (int i : scelte) {
        da_->addItem(file_.fasi[i].nome);
        a_->addItem(file_.fasi[i].nome);
    }
    const int n = int(scelte.size());
    int da = primaDa.isEmpty() ? -1 : da_->findText(primaDa);
    int a = primaA.isEmpty() ? -1 : a_->findText(primaA);
    if (da < 0 || a < 0 || da == a) {
        da = n - 2;
        a = n - 1;
    }
    da_->setCurrentIndex(da);
    a_->setCurrentIndex(a);
    da_->setEnabled(n >= 2);
    a_->setEnabled(n >= 2);
    riempiendo_ = false;

    problema_->clear();
    if (scelte.isEmpty()) {
        modello_->imposta({});
        andamento_->clear();
        return;
    }
    auto c = confronta(file_, scelte, n >= 2 ? da : -1, n >= 2 ? a : -1);
    if (auto* p = std::get_if<Problema>(&c)) {
        modello_->imposta({});
        problema_->setText(p->messaggio);
        return;
    }
    modello_->imposta(std::get<Confronto>(c));
    tabella_->resizeColumnsToContents();
    tabella_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    andamento_->setText(testoAndamento());
}

QString FinestraConfronto::testoAndamento() const {
    auto a = andamento(file_);
    if (auto* p = std::get_if<Problema>(&a)) return p->messaggio;
    const QList<Andamento>& lista = std::get<QList<Andamento>>(a);
    QStringList righe;
    for (int i = 0; i < file_.fasi.size(); ++i) {
        const Andamento& x = lista[i];
        QStringList parti{QStringLiteral("contratto %1").arg(testoImporto(x.contratto))};
        if (!x.imprevisti.codice.isEmpty())
            parti.append(
                QStringLiteral("imprevisti usati %1, residui %2")
                    .arg(testoImporto(x.imprevisti.usato), testoImporto(x.imprevisti.residuo)));
        if (!x.economie.codice.isEmpty())
            parti.append(
                QStringLiteral("economie usate %1, residue %2")
                    .arg(testoImporto(x.economie.usato), testoImporto(x.economie.residuo)));
        righe.append(file_.fasi[i].nome + QStringLiteral(": ") + parti.join(QStringLiteral("; ")));
        if (!x.avviso.isEmpty()) righe.append(QStringLiteral("⚠ ") + x.avviso);
    }
    return righe.join(u'\n');
}

// The comparison on screen with what its documents need besides.
std::optional<ConfrontoCalcolato> FinestraConfronto::calcolato() const {
    const Confronto& c = modello_->confronto();
    if (c.nomi.isEmpty()) return std::nullopt;
    auto cc = calcolaConfronto(file_, c.fasi, c.da, c.a);
    if (auto* p = std::get_if<Problema>(&cc)) {
        messaggio(p->messaggio, kTitolo, Icona::Esclamazione);
        return std::nullopt;
    }
    return std::get<ConfrontoCalcolato>(std::move(cc));
}

void FinestraConfronto::stampa() {
    const auto cc = calcolato();
    if (!cc) return;
    const auto doc = documentoConfronto(*cc, stampaAColori());
    consegnaDocumento(*doc, kTitolo);
}

void FinestraConfronto::esporta() {
    if (modello_->confronto().nomi.isEmpty()) return;
    RichiestaFile r;
    r.titolo = QStringLiteral("Esporta il confronto");
    r.filtri = {
        {QStringLiteral("Testo separato da punto e virgola (*.csv)"), QStringLiteral("*.csv")},
        {QStringLiteral("Documento PDF/A (*.pdf)"), QStringLiteral("*.pdf")},
        {QStringLiteral("Documento di Word (*.docx)"), QStringLiteral("*.docx")},
        {QStringLiteral("Foglio di calcolo (*.xlsx)"), QStringLiteral("*.xlsx")}};
    r.nomeFile = QStringLiteral("confronto.csv");
    r.salvataggio = true;
    const auto percorso = chiediFile(r);
    if (!percorso || percorso->trimmed().isEmpty()) return;
    // As every export: a file already there is replaced only when the user says so.
    if (!consentiSostituzione(*percorso, kTitolo)) return;
    const auto cc = calcolato();
    if (!cc) return;
    if (const auto e = esportaConfronto(*cc, *percorso))
        messaggio(
            QStringLiteral("Il confronto non è stato esportato in «%1»: %2").arg(*percorso, *e),
            kTitolo, Icona::Esclamazione);
}

}  // namespace varimo::quadro
