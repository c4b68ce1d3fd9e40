#include <windows.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <string>

#include "common/nomifile.h"
#include "common/piattaforma.h"
#include "common/scritturafile.h"

namespace varimo {

namespace {

// The system's wording of an error, in the user's language.
QString dettaglioErrore(DWORD e) {
    wchar_t* testo = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, e, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
    QString r = n ? QString::fromWCharArray(testo, static_cast<int>(n)).trimmed()
                  : QStringLiteral("errore %1").arg(e);
    if (testo) LocalFree(testo);
    while (r.endsWith(u'.')) r.chop(1);
    return r;
}

std::wstring nativo(const QString& percorso) {
    return QDir::toNativeSeparators(percorso).toStdWString();
}

bool discoPieno(DWORD e) {
    constexpr DWORD kQuotaSuperata = 1295;  // ERROR_DISK_QUOTA_EXCEEDED
    return e == ERROR_DISK_FULL || e == ERROR_HANDLE_DISK_FULL || e == kQuotaSuperata;
}

// WriteFile until everything is written; the error of the failure, or 0.
DWORD scriviTutto(HANDLE h, const QByteArray& dati) {
    const char* p = dati.constData();
    qsizetype resto = dati.size();
    while (resto > 0) {
        const DWORD parte = static_cast<DWORD>(std::min<qsizetype>(resto, 1 << 30));
        DWORD scritti = 0;
        if (!WriteFile(h, p, parte, &scritti, nullptr)) return GetLastError();
        if (scritti == 0) return ERROR_DISK_FULL;
        p += scritti;
        resto -= scritti;
    }
    return 0;
}

}  // namespace

// On Windows a new file takes the access rights of its folder: the documents'
// folder is inside the user's own profile, so a private file needs nothing
// more than a new one.
std::optional<ErroreScritturaFile> scriviFileCompleto(const QString& percorso,
                                                      const QByteArray& contenuto,
                                                      ModoScrittura modo,
                                                      Riservatezza riservatezza) {
    Q_UNUSED(riservatezza);
    if (auto vietato = piattaforma::collegamentoVietato(percorso))
        return ErroreScritturaFile{*vietato, false};
    QString bersaglio = percorso;
    const QFileInfo info(percorso);
    if (info.isSymbolicLink() && modo == ModoScrittura::Sostituisci) {
        const QString punta = info.symLinkTarget();
        if (!punta.isEmpty()) bersaglio = punta;
    }
    const QFileInfo infoBersaglio(bersaglio);
    const QString cartella = infoBersaglio.absolutePath();
    const std::wstring destinazione = nativo(infoBersaglio.absoluteFilePath());
    piattaforma::rimuoviTemporaneiAbbandonati(cartella);

    // The temporary file: in the same folder (a rename never crosses
    // volumes), with a unique suffix.
    std::wstring temporaneo;
    HANDLE h = INVALID_HANDLE_VALUE;
    DWORD e = 0;
    for (int tentativo = 0; tentativo < 100 && h == INVALID_HANDLE_VALUE; ++tentativo) {
        // ".<name>~varimo<pid>.XXXXXX": a later save removes it if this
        // process dies before renaming it. The name part is shortened so the
        // whole fits the name limit, counted in UTF-8 bytes as a Unix file
        // system under Windows programs counts it (never fewer than the
        // UTF-16 units Windows counts).
        QString suffisso = QString::number(QRandomGenerator::global()->generate() % 0x3FFFFFFF, 36);
        const QString marca =
            piattaforma::marcaTemporaneo() + u'.' + suffisso.rightJustified(6, u'0').right(6);
        const int spazio = kByteMassimiNomeFile - 1 - static_cast<int>(marca.toUtf8().size());
        temporaneo = nativo(
            QDir(cartella).filePath(u'.' + troncaInByte(infoBersaglio.fileName(), spazio) + marca));
        h = CreateFileW(temporaneo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        e = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) break;
    }
    if (h == INVALID_HANDLE_VALUE) {
        if (e == ERROR_ACCESS_DENIED || e == ERROR_WRITE_PROTECT)
            return ErroreScritturaFile{
                QStringLiteral("non si hanno i permessi per scrivere nella cartella."), false};
        if (e == ERROR_PATH_NOT_FOUND || e == ERROR_FILE_NOT_FOUND || e == ERROR_INVALID_NAME)
            return ErroreScritturaFile{QStringLiteral("la cartella non esiste."), false};
        if (discoPieno(e))
            return ErroreScritturaFile{motivoScritturaFallita(dettaglioErrore(e)), false};
        return ErroreScritturaFile{
            conDettaglio(QStringLiteral("il file non può essere creato."), dettaglioErrore(e)),
            false};
    }

    // The data reach the disk before the new file takes the old one's place.
    e = scriviTutto(h, contenuto);
    if (!e && !FlushFileBuffers(h)) e = GetLastError();
    if (!CloseHandle(h) && !e) e = GetLastError();
    if (e) {
        DeleteFileW(temporaneo.c_str());
        return ErroreScritturaFile{motivoScritturaFallita(dettaglioErrore(e)), false};
    }

    bool fatto = false;
    if (modo == ModoScrittura::Sostituisci) {
        // An existing file is replaced keeping its attributes and access
        // rights; a new name is simply given.
        fatto = GetFileAttributesW(destinazione.c_str()) != INVALID_FILE_ATTRIBUTES
                    ? ReplaceFileW(destinazione.c_str(), temporaneo.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                    : MoveFileExW(temporaneo.c_str(), destinazione.c_str(), MOVEFILE_WRITE_THROUGH);
    } else {
        fatto = MoveFileExW(temporaneo.c_str(), destinazione.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (!fatto) {
        e = GetLastError();
        DeleteFileW(temporaneo.c_str());
        if (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS)
            return ErroreScritturaFile{QStringLiteral("il file esiste già."), true};
        return ErroreScritturaFile{
            conDettaglio(QStringLiteral("il file non può essere sostituito."), dettaglioErrore(e)),
            false};
    }
    return std::nullopt;
}

}  // namespace varimo
