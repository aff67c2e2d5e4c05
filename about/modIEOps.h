#pragma once

#include <QString>
#include <QtGlobal>

namespace parlo {

class ProgramStarter;
class RegistryReader;

// Opens a web page in Internet Explorer: finds the browser's folder and version in
// the local-machine registry, caches both for the rest of the run, and starts the
// browser with the address when its version is recent enough.
//
// No routine throws. A failure makes the routine return its error text
// ("Error in '<routine>' - " and what failed); an empty result from showDoc means
// it ran through, whether or not it started the browser.
class modIEOps {
public:
    modIEOps(RegistryReader& registry, ProgramStarter& starter);

    modIEOps(const modIEOps&) = delete;
    modIEOps& operator=(const modIEOps&) = delete;

    // The value "Version" of "Software\Microsoft\Internet Explorer";
    // empty when it cannot be read.
    QString getIEVersion();
    // The value "Path" of "Software\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE";
    // empty when it cannot be read.
    QString getIEPath();
    // Fills the cache: the path first, then the version. Error texts are cached as values.
    void loadIEInfo();
    // Starts the browser with strURL when the first character of the cached version,
    // read as a digit, is at least intMinVersion. Reads the registry while the cached path is
    // empty.
    QString showDoc(const QString& strURL, qint16 intMinVersion);

private:
    // One string value under HKEY_LOCAL_MACHINE by the two-step size-then-read query.
    // Throws LauncherFailure on a run-time failure.
    QString readLocalMachineString(const char* subKey, const char* valueName);

    RegistryReader& m_registry;
    ProgramStarter& m_starter;
    QString strIEPath;
    QString strIEVersion;
};

} // namespace parlo
