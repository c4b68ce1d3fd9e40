// The tests' view of a POSIX system: real links and modes; the documents
// folder follows HOME (and the XDG configuration folder, where
// user-dirs.dirs could name another).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "support/sistema.h"

namespace varimo::test {

namespace {

constexpr uid_t kAltroUtente = 65534;  // nobody

void ripristina(const char* nome, const QByteArray& valore) {
    if (valore.isNull()) {
        qunsetenv(nome);
    } else {
        qputenv(nome, valore);
    }
}

}  // namespace

bool creaCollegamento(const QString& bersaglio, const QString& link, bool altroUtente) {
    const QByteArray l = QFile::encodeName(link);
    if (altroUtente && ::geteuid() != 0) return false;
    if (::symlink(QFile::encodeName(bersaglio).constData(), l.constData()) != 0) return false;
    return !altroUtente || ::lchown(l.constData(), kAltroUtente, static_cast<gid_t>(-1)) == 0;
}

std::optional<unsigned> permessi(const QString& percorso) {
    struct stat s {};
    if (::stat(QFile::encodeName(percorso).constData(), &s) != 0) return std::nullopt;
    return static_cast<unsigned>(s.st_mode & 0777);
}

unsigned impostaMaschera(unsigned maschera) {
    return static_cast<unsigned>(::umask(static_cast<mode_t>(maschera)));
}

DocumentiIn::DocumentiIn(const QString& casa) {
    prima_[0] = qgetenv("HOME");
    prima_[1] = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(casa));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(casa + QStringLiteral("/.config")));
}

DocumentiIn::~DocumentiIn() {
    ripristina("HOME", prima_[0]);
    ripristina("XDG_CONFIG_HOME", prima_[1]);
}

TenutoAperto::TenutoAperto(const QString& percorso)
    : maniglia_(::open(QFile::encodeName(percorso).constData(), O_RDONLY | O_CLOEXEC)) {}

TenutoAperto::~TenutoAperto() {
    if (aperto()) ::close(static_cast<int>(maniglia_));
}

}  // namespace varimo::test
