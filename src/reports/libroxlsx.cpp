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

#include "common/scritturafile.h"

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

}  // namespace

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
    return QStringLiteral("errore del foglio di calcolo: ") + QString::fromUtf8(lxw_strerror(esito));
}

}  // namespace varimo
