#include "quadro/widgets/datifase.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "common/interazione.h"

namespace varimo::quadro {

namespace {

const QString kTitolo = QStringLiteral("Dati della fase");

QLineEdit* campo(QWidget* padre, const char* nome, const QString& testo) {
    auto* e = new QLineEdit(testo, padre);
    e->setObjectName(QString::fromLatin1(nome));
    return e;
}

}  // namespace

DialogoDatiFase::DialogoDatiFase(const Fase& f, QWidget* parent) : QDialog(parent), fase_(f) {
    setObjectName(QStringLiteral("datifase"));
    setWindowTitle(kTitolo);
    auto* modulo = new QFormLayout(this);
    nome_ = campo(this, "nomefase", f.nome);
    data_ = campo(this, "datafase", dataItaliana(f.data));
    data_->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    modulo->addRow(QStringLiteral("&Nome:"), nome_);
    modulo->addRow(QStringLiteral("&Data:"), data_);
    if (f.tipo == TipoFase::Aggiudicazione) {
        ribasso_ = campo(this, "ribasso", testoPercentuale(f.ribasso.value_or(0)));
        manodopera_ = new QCheckBox(QStringLiteral("Ribassa anche i costi della manodopera"), this);
        manodopera_->setObjectName(QStringLiteral("ribassamanodopera"));
        manodopera_->setChecked(f.ribassaManodopera);
        modulo->addRow(QStringLiteral("&Ribasso d'asta (%):"), ribasso_);
        modulo->addRow(manodopera_);
    }
    if (f.tipo == TipoFase::Variante) {
        const Atto a = f.atto.value_or(Atto{});
        numero_ = campo(this, "attonumero", a.numero);
        dataAtto_ = campo(this, "attodata", dataItaliana(a.data));
        dataAtto_->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
        limite_ =
            campo(this, "limite", f.limite ? testoPercentuale(f.limite->percentuale) : QString());
        articolo_ = campo(this, "articolo", f.limite ? f.limite->articolo : QString());
        modulo->addRow(QStringLiteral("Atto di approvazione n.:"), numero_);
        modulo->addRow(QStringLiteral("Data dell'atto:"), dataAtto_);
        modulo->addRow(QStringLiteral("Aumento massimo del contratto (%):"), limite_);
        modulo->addRow(QStringLiteral("Articolo che lo consente:"), articolo_);
        proroga_ = campo(this, "giorniproroga",
                         f.giorniProroga ? QString::number(*f.giorniProroga) : QString());
        proroga_->setToolTip(QStringLiteral("I giorni di proroga concessi con la variante, "
                                            "come li chiedono i dati per ANAC"));
        modulo->addRow(QStringLiteral("Giorni di &proroga:"), proroga_);
    }
    auto* pulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    modulo->addRow(pulsanti);
    connect(pulsanti, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::variant<Fase, QString> DialogoDatiFase::fase() const {
    Fase f = fase_;
    f.nome = nome_->text().trimmed();
    // Typed the Italian way, stored as ISO dates.
    const auto data = dataIso(data_->text());
    if (!data)
        return QStringLiteral("«%1» non è una data: scrivere per esempio 15/03/2027.")
            .arg(data_->text().trimmed());
    f.data = *data;
    if (ribasso_) {
        const auto r = leggiRibasso(ribasso_->text()).valore();
        if (!r)
            return QStringLiteral(
                       "Il ribasso «%1» non è una percentuale da 0 a 100 con al più tre "
                       "decimali (per esempio 18,735).")
                .arg(ribasso_->text());
        f.ribasso = *r;
        f.ribassaManodopera = manodopera_->isChecked();
    }
    if (numero_) {
        Atto a = f.atto.value_or(Atto{});
        a.numero = numero_->text().trimmed();
        const auto dataAtto = dataIso(dataAtto_->text());
        if (!dataAtto)
            return QStringLiteral("«%1» non è una data: scrivere per esempio 10/03/2027.")
                .arg(dataAtto_->text().trimmed());
        a.data = *dataAtto;
        f.atto = a;
        if (limite_->text().trimmed().isEmpty()) {
            f.limite.reset();
        } else {
            const auto l = leggiPercentualeItaliana(limite_->text());
            if (!l)
                return QStringLiteral(
                           "Il limite «%1» non è una percentuale da 0 a 100 con al più "
                           "tre decimali (per esempio 20).")
                    .arg(limite_->text());
            LimiteVariante lim = f.limite.value_or(LimiteVariante{});
            lim.percentuale = *l;
            lim.articolo = articolo_->text().trimmed();
            f.limite = lim;
        }
        const QString giorni = proroga_->text().trimmed();
        if (giorni.isEmpty()) {
            f.giorniProroga.reset();
        } else {
            bool numero = false;
            const int g = giorni.toInt(&numero);
            if (!numero || g < 0 || g > kGiorniProrogaMassimi)
                return QStringLiteral("I giorni di proroga «%1» non sono un numero intero da 0 "
                                      "a %2.")
                    .arg(giorni)
                    .arg(kGiorniProrogaMassimi);
            f.giorniProroga = g;
        }
    }
    return f;
}

bool comandoDatiFase(QWidget* parent, FileFasi& f, int i) {
    if (i < 0 || i >= f.fasi.size()) return false;
    DialogoDatiFase d(f.fasi[i], parent);
    if (d.exec() != QDialog::Accepted) return false;
    auto nuova = d.fase();
    std::optional<QString> e;
    if (auto* m = std::get_if<QString>(&nuova))
        e = *m;
    else
        e = modificaFase(f, i, [&](Fase& x) {
            x = std::get<Fase>(nuova);
            return EsitoFase{};
        });
    if (e) {
        messaggio(*e, kTitolo, Icona::Esclamazione);
        return false;
    }
    return true;
}

}  // namespace varimo::quadro
