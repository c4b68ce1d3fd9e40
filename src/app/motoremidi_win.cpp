#include <windows.h>
// after windows.h
#include <mmsystem.h>

#include <QDir>
#include <QFile>
#include <QUuid>

#include <string>

#include "app/motoremidi.h"

namespace varimo {

namespace {

// Whether the file starts as a standard MIDI file does.
bool eFileMidi(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.read(4) == "MThd";
}

// A MIDI sequencer device of the multimedia control interface, opened on the
// file under a name of its own; the system's synthesizer plays it.
class MotoreMci final : public MotoreMidi {
  public:
    explicit MotoreMci(std::wstring alias) : alias_(std::move(alias)) {}
    ~MotoreMci() override { comando(L"close "); }

    bool suona() override { return comando(L"play "); }
    void pausa() override { comando(L"pause "); }

    // Sends a command to this device; true when it succeeded.
    bool comando(const std::wstring& verbo, const std::wstring& resto = {}) const {
        const std::wstring c = verbo + alias_ + resto;
        return mciSendStringW(c.c_str(), nullptr, 0, nullptr) == 0;
    }

  private:
    std::wstring alias_;
};

// The output that discards the music: the commands succeed, nothing sounds.
class MotoreMuto final : public MotoreMidi {
  public:
    bool suona() override { return true; }
    void pausa() override {}
};

}  // namespace

QString Suono::soundfont() {
    return {};  // the system's synthesizer brings its own instruments
}

std::unique_ptr<MotoreMidi> creaMotoreMidi(Suono::Uscita uscita, const QString& file) {
    if (file.isEmpty() || !eFileMidi(file)) return nullptr;
    std::unique_ptr<MotoreMidi> m;
    if (uscita == Suono::Uscita::Scarto) {
        m = std::make_unique<MotoreMuto>();
    } else {
        // A name of its own for this device, unique in the process.
        const std::wstring alias =
            L"varimo_suono_" + QUuid::createUuid().toString(QUuid::Id128).toStdWString();
        const std::wstring percorso = QDir::toNativeSeparators(file).toStdWString();
        const std::wstring apri = L"open \"" + percorso + L"\" type sequencer alias " + alias;
        if (mciSendStringW(apri.c_str(), nullptr, 0, nullptr) != 0) return nullptr;
        m = std::make_unique<MotoreMci>(alias);
    }
    m->file = file;
    return m;
}

}  // namespace varimo
