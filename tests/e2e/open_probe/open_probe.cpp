// Stands in for the browser and the .html viewer while the lookup and help
// tests run: the shell starts it instead of them.
//
//   open_probe.exe LOG ARG
//
// Appends ARG (the %1 of the association: the URL or the document's path) to
// LOG as one UTF-8 line, and ends. The argument is taken from the wide command
// line, so the log shows exactly what the shell made of the caller's code
// page 932 bytes. Control characters are written as \xNN, so that every
// opening stays on one line.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string EscapeControls(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) {
        return 2;
    }
    const std::string line = EscapeControls(argc >= 3 ? Utf8(argv[2]) : std::string()) + "\r\n";
    // Several openings may come at once: retry while another probe appends.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileW(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok =
                WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            LocalFree(argv);
            return ok && written == line.size() ? 0 : 3;
        }
        Sleep(20);
    }
    LocalFree(argv);
    return 4;
}
