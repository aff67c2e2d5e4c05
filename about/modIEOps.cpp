#include "modIEOps.h"

#include "LauncherFailure.h"
#include "ProgramStarter.h"
#include "RegistryReader.h"

#include <QByteArray>

namespace parlo {

namespace {

constexpr char kVersionKey[] = "Software\\Microsoft\\Internet Explorer";
constexpr char kVersionValue[] = "Version";
constexpr char kPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
constexpr char kPathValue[] = "Path";

// Only the first character counts: "11.0" reads as 1, anything but a digit as 0.
int firstDigitOf(const QString& version) {
    if (version.isEmpty()) {
        return 0;
    }
    const char16_t first = version.at(0).unicode();
    return first >= u'0' && first <= u'9' ? first - u'0' : 0;
}

} // namespace

modIEOps::modIEOps(RegistryReader& registry, ProgramStarter& starter)
    : m_registry(registry), m_starter(starter) {}

QString modIEOps::getIEVersion() {
    try {
        return readLocalMachineString(kVersionKey, kVersionValue);
    } catch (const LauncherFailure& failure) {
        return QStringLiteral("Error in 'getIEVersion' - ") + failure.description();
    }
}

QString modIEOps::getIEPath() {
    try {
        return readLocalMachineString(kPathKey, kPathValue);
    } catch (const LauncherFailure& failure) {
        return QStringLiteral("Error in 'getIEPath' - ") + failure.description();
    }
}

void modIEOps::loadIEInfo() {
    strIEPath = getIEPath();
    strIEVersion = getIEVersion();
}

QString modIEOps::showDoc(const QString& strURL, qint16 intMinVersion) {
    try {
        if (strIEPath.isEmpty()) {
            loadIEInfo();
        }
        if (firstDigitOf(strIEVersion) >= intMinVersion) {
            if (strIEPath.isEmpty()) {
                throw LauncherFailure(
                    QStringLiteral("cannot drop the last character of an empty path"));
            }
            // The whole executable path is quoted, so a folder with spaces cannot
            // make another program earlier on that path start instead.
            m_starter.start(QLatin1Char('"') + strIEPath.chopped(1) +
                            QStringLiteral("\\IExplore.exe\" ") + strURL);
        }
        return {};
    } catch (const LauncherFailure& failure) {
        return QStringLiteral("Error in 'showDoc' - ") + failure.description();
    }
}

QString modIEOps::readLocalMachineString(const char* subKey, const char* valueName) {
    const QByteArray name(valueName);
    // The open's status is not examined: a key that cannot be opened stays 0,
    // and the queries on it fail in turn, which leaves the result empty.
    RegistryKey key = 0;
    m_registry.openLocalMachineKey(QByteArray(subKey), 0, registry::kKeyRead, key);

    // First ask for the size with a buffer of zero length (but a real one, so the
    // registry reports ERROR_MORE_DATA rather than filling in the size only).
    char probe[1] = {};
    quint32 type = registry::kRegSz;
    quint32 size = 0;
    long status = m_registry.queryValue(key, name, type, probe, size);

    QByteArray buffer;
    if (status == registry::kMoreData) {
        buffer = QByteArray(static_cast<qsizetype>(size), ' ');
        type = registry::kRegSz;
        status = m_registry.queryValue(key, name, type, buffer.data(), size);
    }

    QString text;
    if (status == registry::kSuccess) {
        if (size == 0) {
            m_registry.closeKey(key);
            throw LauncherFailure(QStringLiteral(
                "the registry reported a value of size 0, so there is no terminating NUL to cut"));
        }
        // Drop the terminating NUL: keep the first size-1 bytes, then convert from
        // the system code page.
        text = QString::fromLocal8Bit(buffer.left(static_cast<qsizetype>(size) - 1));
    } else {
        // After a failed second query the buffer still holds the spaces it was made of.
        text = QString::fromLocal8Bit(buffer);
    }
    m_registry.closeKey(key);
    return text;
}

} // namespace parlo
