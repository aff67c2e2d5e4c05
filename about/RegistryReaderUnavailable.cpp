// Away from Windows there is no registry to read: every call fails, so the
// launcher's readers return their error texts and the browser is never started.

#include "LauncherFailure.h"
#include "RegistryReader.h"

namespace parlo {

namespace {

class UnavailableRegistryReader final : public RegistryReader {
public:
    long openLocalMachineKey(const QByteArray&, quint32, quint32, RegistryKey& key) override {
        key = 0;
        unavailable();
    }

    long queryValue(RegistryKey, const QByteArray&, quint32&, char*, quint32&) override {
        unavailable();
    }

    long closeKey(RegistryKey) override { unavailable(); }

private:
    [[noreturn]] static void unavailable() {
        throw LauncherFailure(QStringLiteral(
            "the Windows registry (advapi32.dll) is not available on this platform"));
    }
};

} // namespace

RegistryReader& systemRegistryReader() {
    static UnavailableRegistryReader reader;
    return reader;
}

} // namespace parlo
