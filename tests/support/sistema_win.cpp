// The tests' view of Windows: no links without the administrator's
// privilege, no permission bits; the documents folder is the one the
// user's shell folders in the registry name.

#include <windows.h>

#include <QDir>

#include "support/sistema.h"

namespace varimo::test {

namespace {

const wchar_t* const kCartelleShell =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const wchar_t* const kDocumenti = L"Personal";

void scriviValore(DWORD tipo, const QByteArray& dati) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kCartelleShell, kDocumenti, tipo, dati.constData(),
                      static_cast<DWORD>(dati.size()));
}

}  // namespace

bool creaCollegamento(const QString&, const QString&, bool) {
    return false;
}

std::optional<unsigned> permessi(const QString&) {
    return std::nullopt;
}

unsigned impostaMaschera(unsigned) {
    return 0;
}

// The earlier value is kept as it was stored (unexpanded, with its type) and
// put back the same way.
DocumentiIn::DocumentiIn(const QString& casa) {
    DWORD tipo = 0, dimensione = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kCartelleShell, kDocumenti,
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &tipo, nullptr,
                       &dimensione) == ERROR_SUCCESS) {
        prima_[0].resize(static_cast<qsizetype>(dimensione));
        if (::RegGetValueW(HKEY_CURRENT_USER, kCartelleShell, kDocumenti,
                           RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &tipo,
                           prima_[0].data(), &dimensione) == ERROR_SUCCESS) {
            prima_[0].resize(static_cast<qsizetype>(dimensione));
            tipo_ = tipo;
        } else {
            prima_[0] = QByteArray();
        }
    }
    const QString nuova = QDir::toNativeSeparators(casa + QStringLiteral("/Documents"));
    scriviValore(REG_SZ,
                 QByteArray(reinterpret_cast<const char*>(nuova.utf16()), (nuova.size() + 1) * 2));
}

DocumentiIn::~DocumentiIn() {
    if (prima_[0].isNull()) {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kCartelleShell, kDocumenti);
    } else {
        scriviValore(static_cast<DWORD>(tipo_), prima_[0]);
    }
}

TenutoAperto::TenutoAperto(const QString& percorso) {
    const QString nativo = QDir::toNativeSeparators(percorso);
    HANDLE h = ::CreateFileW(reinterpret_cast<LPCWSTR>(nativo.utf16()), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) maniglia_ = reinterpret_cast<std::intptr_t>(h);
}

TenutoAperto::~TenutoAperto() {
    if (aperto()) ::CloseHandle(reinterpret_cast<HANDLE>(maniglia_));
}

}  // namespace varimo::test
