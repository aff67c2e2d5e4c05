#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace parlo {

// An opened registry key as the reader hands it out; 0 means "no key".
using RegistryKey = quintptr;

// The values the launcher passes and tests, numbered as the Win32 registry API numbers them.
namespace registry {
inline constexpr long kSuccess = 0;          // ERROR_SUCCESS
inline constexpr long kMoreData = 234;       // ERROR_MORE_DATA: the buffer is too small
inline constexpr quint32 kKeyRead = 0x20019; // KEY_READ
inline constexpr quint32 kRegSz = 1;         // REG_SZ
} // namespace registry

// Read access to the local-machine hive, shaped like RegOpenKeyExA,
// RegQueryValueExA and RegCloseKey. Each call returns the API's status code.
// A layer that cannot reach a registry at all throws LauncherFailure instead.
class RegistryReader {
public:
    virtual ~RegistryReader() = default;

    // Opens subKey under HKEY_LOCAL_MACHINE. On failure key is left 0.
    virtual long openLocalMachineKey(const QByteArray& subKey, quint32 options, quint32 accessMask,
                                     RegistryKey& key) = 0;

    // Reads valueName into data, which holds size bytes. On return size holds the
    // value's size in bytes (terminating NUL included) and type its reported type.
    // A buffer that is too small yields registry::kMoreData with the needed size.
    virtual long queryValue(RegistryKey key, const QByteArray& valueName, quint32& type, char* data,
                            quint32& size) = 0;

    virtual long closeKey(RegistryKey key) = 0;
};

// The registry of the platform the program runs on, alive for the whole run.
RegistryReader& systemRegistryReader();

} // namespace parlo
