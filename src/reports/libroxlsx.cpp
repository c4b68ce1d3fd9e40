#include "reports/libroxlsx.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>

#include "common/scritturafile.h"
#include "reports/caratteri.h"

namespace varimo {

namespace {

#ifdef _WIN32
int duplica(int fd) { return ::_dup(fd); }
int sostituisci(int da, int a) { return ::_dup2(da, a); }
int chiudi(int fd) { return ::_close(fd); }
int apriNulla() { return ::_open("NUL", _O_WRONLY); }
#else
int duplica(int fd) { return ::dup(fd); }
int sostituisci(int da, int a) { return ::dup2(da, a); }
int chiudi(int fd) { return ::close(fd); }
int apriNulla() { return ::open("/dev/null", O_WRONLY | O_CLOEXEC); }
#endif

// Standard error sent nowhere while it lives.
class ErroriTrattenuti {
  public:
    ErroriTrattenuti() {
        std::fflush(stderr);
        salvato_ = duplica(2);
        const int nulla = apriNulla();
        if (salvato_ >= 0 && nulla >= 0) sostituisci(nulla, 2);
        if (nulla >= 0) chiudi(nulla);
    }
    ~ErroriTrattenuti() {
        std::fflush(stderr);
        if (salvato_ >= 0) {
            sostituisci(salvato_, 2);
            chiudi(salvato_);
        }
    }
    ErroriTrattenuti(const ErroriTrattenuti&) = delete;
    ErroriTrattenuti& operator=(const ErroriTrattenuti&) = delete;

  private:
    int salvato_ = -1;
};

// What ends a text cut to fit a cell.
const QString kTroncato = QStringLiteral(" \u2026 (testo troncato)");

// At most `n` UTF-16 code units of `t`, never half of a surrogate pair.
QString primi(const QString& t, qsizetype n) {
    if (t.size() <= n) return t;
    if (n > 0 && t.at(n - 1).isHighSurrogate()) --n;
    return t.left(n);
}

// Without blanks and apostrophes at its ends, which a sheet name may not
// have (the apostrophes quote it in a formula).
QString senzaEstremi(QString t) {
    for (qsizetype prima = -1; prima != t.size();) {
        prima = t.size();
        t = t.trimmed();
        while (t.startsWith(QLatin1Char('\''))) t.remove(0, 1);
        while (t.endsWith(QLatin1Char('\''))) t.chop(1);
    }
    return t;
}

}  // namespace

QString testoCella(const QString& testo) {
    QString t = testoPerDocumenti(testo);
    if (t.size() <= kTestoMassimoCella) return t;
    return primi(t, kTestoMassimoCella - kTroncato.size()) + kTroncato;
}

QString nomeFoglio(const QString& nome, const QStringList& usati, const QString& riserva) {
    // The names Excel keeps for itself count as taken.
    QStringList presi = usati;
    presi << QStringLiteral("History");
    auto libero = [&](const QString& n) {
        return std::none_of(presi.cbegin(), presi.cend(), [&](const QString& u) {
            return u.compare(n, Qt::CaseInsensitive) == 0;
        });
    };
    auto adatto = [](const QString& grezzo, qsizetype lunghezza) {
        QString n = testoPerDocumenti(grezzo);
        for (QChar& c : n)
            if (QStringLiteral("[]:*?/\\").contains(c)) c = QLatin1Char('_');
        return senzaEstremi(primi(senzaEstremi(n), lunghezza));
    };
    constexpr qsizetype kLunghezzaNome = 31;
    QString base = adatto(nome, kLunghezzaNome);
    if (base.isEmpty()) base = adatto(riserva, kLunghezzaNome);
    if (base.isEmpty()) base = QStringLiteral("Foglio");
    if (libero(base)) return base;
    for (int i = 2;; ++i) {
        const QString segno = QStringLiteral(" (%1)").arg(i);
        QString n = adatto(base, kLunghezzaNome - segno.size()) + segno;
        if (libero(n)) return n;
    }
}

QString letteraColonna(int colonna) {
    QString s;
    for (int c = colonna + 1; c > 0; c = (c - 1) / 26)
        s.prepend(QChar(static_cast<char16_t>(u'A' + (c - 1) % 26)));
    return s;
}

QString sommaCelle(const QString& colonna, QList<int> righe) {
    std::sort(righe.begin(), righe.end());
    QStringList argomenti;
    for (qsizetype i = 0; i < righe.size();) {
        qsizetype j = i;
        while (j + 1 < righe.size() && righe.at(j + 1) == righe.at(j) + 1) ++j;
        const QString prima = colonna + QString::number(righe.at(i));
        argomenti << (j == i ? prima
                             : prima + QLatin1Char(':') + colonna + QString::number(righe.at(j)));
        i = j + 1;
    }
    if (argomenti.isEmpty()) return QStringLiteral("0");
    while (argomenti.size() > kArgomentiMassimi) {
        QStringList gruppi;
        for (qsizetype i = 0; i < argomenti.size(); i += kArgomentiMassimi)
            gruppi << QStringLiteral("SUM(") +
                          argomenti.mid(i, kArgomentiMassimi).join(QLatin1Char(',')) +
                          QLatin1Char(')');
        argomenti = gruppi;
    }
    return QStringLiteral("SUM(") + argomenti.join(QLatin1Char(',')) + QLatin1Char(')');
}

bool formulaAmmessa(const QString& formula) {
    return formula.size() + (formula.startsWith(QLatin1Char('=')) ? 0 : 1) <= kFormulaMassima;
}

QString motivoLibro(int errore) {
    switch (static_cast<lxw_error>(errore)) {
        case LXW_NO_ERROR:
            return {};
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return QStringLiteral("memoria insufficiente per comporre il foglio di calcolo");
        case LXW_ERROR_CREATING_XLSX_FILE:
            return QStringLiteral("impossibile creare il file del foglio di calcolo");
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
            return QStringLiteral(
                "impossibile usare i file temporanei del foglio di calcolo (il disco potrebbe "
                "essere pieno)");
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_PARAMETER_ERROR:
        case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        case LXW_ERROR_ZIP_INTERNAL_ERROR:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            return QStringLiteral("impossibile comporre l'archivio del foglio di calcolo");
        case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED:
        case LXW_ERROR_INVALID_SHEETNAME_CHARACTER:
        case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE:
        case LXW_ERROR_SHEETNAME_ALREADY_USED:
            return QStringLiteral("il nome di un foglio non è ammesso in un foglio di calcolo");
        case LXW_ERROR_32_STRING_LENGTH_EXCEEDED:
        case LXW_ERROR_128_STRING_LENGTH_EXCEEDED:
        case LXW_ERROR_255_STRING_LENGTH_EXCEEDED:
        case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
            return QStringLiteral("un testo è più lungo di quanto un foglio di calcolo ammetta");
        case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
            return QStringLiteral(
                "il foglio di calcolo supera il numero di righe o di colonne di un foglio");
        default:
            return QStringLiteral("errore del foglio di calcolo (codice %1)").arg(errore);
    }
}

std::optional<QString> chiudiLibro(lxw_workbook* libro) {
    lxw_error esito = LXW_NO_ERROR;
    int sistema = 0;
    {
        const ErroriTrattenuti trattenuti;
        errno = 0;
        esito = workbook_close(libro);
        sistema = errno;
    }
    if (esito == LXW_NO_ERROR) return std::nullopt;
    if (sistema == EFBIG || sistema == ENOSPC || sistema == EIO
#ifdef EDQUOT
        || sistema == EDQUOT
#endif
    )
        return motivoScritturaFallita(QString::fromLocal8Bit(std::strerror(sistema)));
    return motivoLibro(esito);
}

}  // namespace varimo
