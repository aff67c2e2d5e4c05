// The real registry reader for Windows: the three registry functions are bound by
// name from advapi32.dll, each at its first call, and called as they are.

#include "LauncherFailure.h"
#include "RegistryReader.h"

#include <QString>

#include <windows.h>

namespace parlo {

namespace {

using RegOpenKeyExAFn = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
using RegQueryValueExAFn = LONG(WINAPI*)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegCloseKeyFn = LONG(WINAPI*)(HKEY);

QString windowsErrorText(DWORD code) {
    return qt_error_string(static_cast<int>(code));
}

class WindowsRegistryReader final : public RegistryReader {
public:
    long openLocalMachineKey(const QByteArray& subKey, quint32 options, quint32 accessMask,
                             RegistryKey& key) override {
        bind(m_open, "RegOpenKeyExA");
        HKEY opened = nullptr;
        const LONG status = m_open(HKEY_LOCAL_MACHINE, subKey.constData(), options,
                                   static_cast<REGSAM>(accessMask), &opened);
        key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
        return status;
    }

    long queryValue(RegistryKey key, const QByteArray& valueName, quint32& type, char* data,
                    quint32& size) override {
        bind(m_query, "RegQueryValueExA");
        DWORD valueType = type;
        DWORD valueSize = size;
        const LONG status = m_query(reinterpret_cast<HKEY>(key), valueName.constData(), nullptr,
                                    &valueType, reinterpret_cast<LPBYTE>(data), &valueSize);
        type = valueType;
        size = valueSize;
        return status;
    }

    long closeKey(RegistryKey key) override {
        bind(m_close, "RegCloseKey");
        return m_close(reinterpret_cast<HKEY>(key));
    }

private:
    // Loads advapi32.dll on first need; a load that fails is tried again on the next call.
    HMODULE library() {
        if (!m_library) {
            m_library = LoadLibraryA("advapi32.dll");
            if (!m_library) {
                throw LauncherFailure(QStringLiteral("advapi32.dll could not be loaded: ") +
                                      windowsErrorText(GetLastError()));
            }
        }
        return m_library;
    }

    template <typename Fn> void bind(Fn& function, const char* name) {
        if (function) {
            return;
        }
        const FARPROC proc = GetProcAddress(library(), name);
        if (!proc) {
            throw LauncherFailure(
                QStringLiteral("the entry point %1 was not found in advapi32.dll: %2")
                    .arg(QLatin1String(name), windowsErrorText(GetLastError())));
        }
        // Through the generic function pointer type, which converts to any other without a warning.
        function = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
    }

    HMODULE m_library = nullptr;
    RegOpenKeyExAFn m_open = nullptr;
    RegQueryValueExAFn m_query = nullptr;
    RegCloseKeyFn m_close = nullptr;
};

} // namespace

RegistryReader& systemRegistryReader() {
    static WindowsRegistryReader reader;
    return reader;
}

} // namespace parlo
