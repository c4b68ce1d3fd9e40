#include "quadro/widgets/nuovafase.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "common/interazione.h"

namespace varimo::quadro {

namespace {

const QString kTitolo = QStringLiteral("Nuova fase");

const QList<TipoFase>& tipi() {
    static const QList<TipoFase> t{TipoFase::Fattibilita, TipoFase::Esecutivo,
                                   TipoFase::Aggiudicazione, TipoFase::Variante, TipoFase::Finale};
    return t;
}

}  // namespace

DialogoNuovaFase::DialogoNuovaFase(const FileFasi& f, int corrente, QWidget* parent)
    : QDialog(parent), file_(f) {
    setObjectName(QStringLiteral("nuovafase"));
    setWindowTitle(kTitolo);
    tipo_ = new QComboBox(this);
    tipo_->setObjectName(QStringLiteral("tipofase"));
    for (TipoFase t : tipi()) tipo_->addItem(nomeTipoFase(t));
    nome_ = new QLineEdit(this);
    nome_->setObjectName(QStringLiteral("nomefase"));
    data_ = new QLineEdit(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")), this);
    data_->setObjectName(QStringLiteral("datafase"));
    data_->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    blocca_ = new QCheckBox(QStringLiteral("Blocca la fase da cui si parte"), this);
    blocca_->setObjectName(QStringLiteral("bloccacorrente"));
    blocca_->setChecked(true);
    auto* pulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* modulo = new QFormLayout(this);
    if (corrente >= 0 && corrente < f.fasi.size())
        modulo->addRow(QStringLiteral("Copia di:"), new QLabel(f.fasi[corrente].nome, this));
    modulo->addRow(QStringLiteral("&Tipo:"), tipo_);
    modulo->addRow(QStringLiteral("&Nome:"), nome_);
    modulo->addRow(QStringLiteral("&Data:"), data_);
    modulo->addRow(blocca_);
    modulo->addRow(pulsanti);

    // The name follows the kind until the user types one of their own.
    connect(tipo_, &QComboBox::currentIndexChanged, this, [this] {
        if (!nome_->isModified()) nome_->setText(nomeNuovaFase(file_, tipo()));
    });
    connect(pulsanti, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const TipoFase seguente = corrente >= 0 && corrente < f.fasi.size()
                                  ? tipoSeguente(f.fasi[corrente].tipo)
                                  : TipoFase::Esecutivo;
    tipo_->setCurrentIndex(int(tipi().indexOf(seguente)));
    nome_->setText(nomeNuovaFase(f, seguente));
}

TipoFase DialogoNuovaFase::tipo() const {
    return tipi().value(tipo_->currentIndex(), TipoFase::Variante);
}

QString DialogoNuovaFase::nome() const {
    return nome_->text().trimmed();
}

QString DialogoNuovaFase::data() const {
    return data_->text().trimmed();
}

bool DialogoNuovaFase::bloccaCorrente() const {
    return blocca_->isChecked();
}

std::optional<int> comandoNuovaFase(QWidget* parent, FileFasi& f, int corrente) {
    DialogoNuovaFase d(f, corrente, parent);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    const auto data = dataIso(d.data());
    if (!data) {
        messaggio(QStringLiteral("«%1» non è una data: scrivere per esempio 15/03/2027.")
                      .arg(d.data()),
                  kTitolo, Icona::Esclamazione);
        return std::nullopt;
    }
    auto r = nuovaFase(f, corrente, d.tipo(), d.nome(), *data);
    if (auto* e = std::get_if<QString>(&r)) {
        messaggio(*e, kTitolo, Icona::Esclamazione);
        return std::nullopt;
    }
    if (d.bloccaCorrente()) bloccaFase(f, corrente, true);
    return std::get<int>(r);
}

QAction* azioneNuovaFase(QObject* parent) {
    auto* a = new QAction(QStringLiteral("Nuova fase"), parent);
    a->setObjectName(QStringLiteral("nuovafase"));
    return a;
}

}  // namespace varimo::quadro
