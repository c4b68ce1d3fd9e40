#include "quadro/widgets/datianac.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/interazione.h"
#include "quadro/anac.h"
#include "reports/esportazione.h"

namespace varimo::quadro {

namespace {

const QString kTitolo = QStringLiteral("Dati per ANAC");

enum Colonna { Chiave, Nome, Importo, Colonne };

}  // namespace

FinestraDatiAnac::FinestraDatiAnac(std::function<QString()> nomeProposto, QWidget* parent)
    : QDialog(parent), nomeProposto_(std::move(nomeProposto)) {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(kTitolo);
    auto* colonna = new QVBoxLayout(this);
    fase_ = new QLabel(this);
    fase_->setObjectName(QStringLiteral("faseanac"));
    fase_->setTextFormat(Qt::PlainText);
    fase_->setWordWrap(true);
    colonna->addWidget(fase_);

    chiavi_ = new QTreeWidget(this);
    chiavi_->setObjectName(QStringLiteral("chiavianac"));
    chiavi_->setColumnCount(Colonne);
    chiavi_->setHeaderLabels({QStringLiteral("Chiave"), QStringLiteral("Voce per ANAC e voci sommate"),
                              QStringLiteral("Importo")});
    chiavi_->setRootIsDecorated(true);
    chiavi_->setUniformRowHeights(true);
    chiavi_->header()->setStretchLastSection(false);
    chiavi_->header()->setSectionResizeMode(Chiave, QHeaderView::ResizeToContents);
    chiavi_->header()->setSectionResizeMode(Nome, QHeaderView::Stretch);
    chiavi_->header()->setSectionResizeMode(Importo, QHeaderView::ResizeToContents);
    colonna->addWidget(chiavi_, 1);

    // The sums and the check, as text the user may select and copy.
    auto riga = [&](const char* nome) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(nome));
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        colonna->addWidget(l);
        return l;
    };
    totali_ = riga("totalianac");
    verifica_ = riga("verificaanac");

    auto* pulsanti = new QDialogButtonBox(this);
    QPushButton* copia = pulsanti->addButton(QStringLiteral("&Copia"), QDialogButtonBox::ActionRole);
    copia->setObjectName(QStringLiteral("copiaanac"));
    copia->setToolTip(QStringLiteral("Copia le chiavi, i loro nomi e gli importi negli appunti"));
    QPushButton* json =
        pulsanti->addButton(QStringLiteral("&Salva JSON\u2026"), QDialogButtonBox::ActionRole);
    json->setObjectName(QStringLiteral("salvajsonanac"));
    QPushButton* chiudi = pulsanti->addButton(QStringLiteral("C&hiudi"), QDialogButtonBox::RejectRole);
    chiudi->setObjectName(QStringLiteral("chiudianac"));
    colonna->addWidget(pulsanti);
    connect(copia, &QPushButton::clicked, this, &FinestraDatiAnac::copia);
    connect(json, &QPushButton::clicked, this, &FinestraDatiAnac::salvaJson);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);

    resize(fontMetrics().averageCharWidth() * 118, fontMetrics().height() * 34);
}

void FinestraDatiAnac::impostaFase(const FileFasi& f, int i) {
    fasi_ = f;
    indice_ = i;
    chiavi_->clear();
    const auto dati = datiAnacFase(f, i);
    const QString nome = f.fasi.value(i).nome;
    if (const auto* e = std::get_if<QString>(&dati)) {
        fase_->setText(QStringLiteral("Fase: %1").arg(nome));
        totali_->clear();
        verifica_->setText(*e);
        verifica_->setStyleSheet(QStringLiteral("color: #a00000"));
        return;
    }
    const DatiAnac& d = std::get<DatiAnac>(dati);
    QString forma = QStringLiteral("quadroEconomicoStandard");
    if (d.modifica)
        forma += QStringLiteral(" e quadroEconomicoModificaContrattuale (giorni di proroga: %1)")
                     .arg(d.giorniProroga);
    fase_->setText(QStringLiteral("Fase: %1 (%2) · %3").arg(nome, nomeTipoFase(d.tipo), forma));

    QFont grassetto = chiavi_->font();
    grassetto.setBold(true);
    for (const RigaAnac& r : d.righe) {
        auto* riga = new QTreeWidgetItem(
            chiavi_, {r.categoria.chiave, r.categoria.nome, testoImporto(r.importo)});
        riga->setTextAlignment(Importo, Qt::AlignRight | Qt::AlignVCenter);
        if (!r.voci.isEmpty())
            for (int c = 0; c < Colonne; ++c) riga->setFont(c, grassetto);
        if (d.modifica && !r.categoria.inModifica)
            riga->setToolTip(Nome, QStringLiteral("Solo nel quadro economico standard: la "
                                                  "modifica contrattuale non ha questa voce"));
        for (const VoceAnac& v : r.voci) {
            auto* figlia = new QTreeWidgetItem(
                riga, {QString(), v.codice + QStringLiteral("  ") + v.etichetta,
                       testoImporto(v.importo)});
            figlia->setTextAlignment(Importo, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    chiavi_->expandAll();

    totali_->setText(QStringLiteral("Somma delle voci per ANAC: %1 · Totale della fase: %2")
                         .arg(testoImporto(d.somma()), testoImporto(d.totale)));
    QStringList righe = d.problemi();
    const bool tornano = righe.isEmpty();
    if (tornano)
        righe.prepend(QStringLiteral("Le voci per ANAC tornano con il totale della fase."));
    righe += d.avvisi();
    verifica_->setText(righe.join(u'\n'));
    verifica_->setStyleSheet(tornano ? QStringLiteral("color: #006000")
                                     : QStringLiteral("color: #a00000"));
}

void FinestraDatiAnac::copia() {
    const auto dati = datiAnacFase(fasi_, indice_);
    if (const auto* e = std::get_if<QString>(&dati)) {
        messaggio(*e, kTitolo, Icona::Esclamazione);
        return;
    }
    QApplication::clipboard()->setText(testoAnac(std::get<DatiAnac>(dati)));
}

void FinestraDatiAnac::salvaJson() {
    const auto dati = datiAnacFase(fasi_, indice_);
    if (const auto* e = std::get_if<QString>(&dati)) {
        messaggio(*e, kTitolo, Icona::Esclamazione);
        return;
    }
    const DatiAnac& d = std::get<DatiAnac>(dati);
    // Figures that do not add up to the phase's total are not handed on.
    if (!d.tornano()) {
        messaggio(QStringLiteral("I dati per ANAC non sono stati salvati: ") +
                      d.problemi().join(u' '),
                  kTitolo, Icona::Esclamazione);
        return;
    }
    EsportazioneFile e;
    e.titolo = QStringLiteral("Salva i dati per ANAC");
    e.descrizioneFiltro = QStringLiteral("Dati JSON");
    e.estensione = QStringLiteral(".json");
    e.fallimento = QStringLiteral("I dati per ANAC non sono stati salvati");
    e.scrivi = scritturaDi(jsonAnac(d));
    esportaFile(e, nomeProposto_ ? nomeProposto_() : QStringLiteral("dati-anac"));
}

}  // namespace varimo::quadro
