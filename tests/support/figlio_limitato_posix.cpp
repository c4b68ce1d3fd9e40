// A child process whose files cannot grow beyond a few bytes: with SIGXFSZ
// ignored, a write past the limit fails with EFBIG, just as a write on a full
// disk fails with ENOSPC. Works for the administrator too, who is not exempt
// from the limit.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/figlio_limitato.h"

namespace varimo::test {

bool limiteFileDisponibile() {
    return true;
}

std::optional<QString> nelFiglioConLimite(long long limite, const std::function<QString()>& f) {
    int tubo[2];
    if (::pipe(tubo) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        ::close(tubo[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{static_cast<rlim_t>(limite), static_cast<rlim_t>(limite)};
        if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(3);
        const QByteArray esito = f().toUtf8();
        const char* p = esito.constData();
        qsizetype resto = esito.size();
        while (resto > 0) {
            const ssize_t n = ::write(tubo[1], p, static_cast<size_t>(resto));
            if (n <= 0) ::_exit(4);
            p += n;
            resto -= n;
        }
        ::_exit(0);  // no exit handlers: the parent's objects are not the child's
    }
    ::close(tubo[1]);
    std::string letto;
    char buf[4096];
    for (ssize_t n; (n = ::read(tubo[0], buf, sizeof buf)) != 0;) {
        if (n < 0) break;
        letto.append(buf, static_cast<size_t>(n));
    }
    ::close(tubo[0]);
    int stato = 0;
    if (::waitpid(pid, &stato, 0) != pid || !WIFEXITED(stato) || WEXITSTATUS(stato) != 0)
        return std::nullopt;
    return QString::fromStdString(letto);
}

}  // namespace varimo::test
