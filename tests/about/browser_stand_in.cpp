// The About table's helper on Windows (a wide-character program: -municode).
// Started as the browser, it stores "<its own path>: <its command line as
// received>" as the value "ran" of HKEY_CURRENT_USER\Software\Parlo stand-in.
// Started as "browser_stand_in --access <key> <SDDL>", it gives that key under
// HKEY_LOCAL_MACHINE the access list (the key's owner may always change it again).
#include <windows.h>

#include <sddl.h>
#include <string>

int wmain(int argc, wchar_t* argv[]) {
    if (argc == 4 && std::wstring(argv[1]) == L"--access") {
        HKEY key = nullptr;
        PSECURITY_DESCRIPTOR access = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[2], 0, WRITE_DAC, &key);
        ConvertStringSecurityDescriptorToSecurityDescriptorW(argv[3], SDDL_REVISION_1, &access,
                                                             nullptr);
        return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, access);
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring line = std::wstring(self) + L": " + GetCommandLineW();
    const auto bytes = static_cast<DWORD>((line.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Parlo stand-in", L"ran", REG_SZ,
                           line.c_str(), bytes);
}
