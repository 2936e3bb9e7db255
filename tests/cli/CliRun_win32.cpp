#include "tests/cli/CliRun.h"

#include <windows.h>

namespace fs = std::filesystem;

namespace {

std::wstring Wide(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    UINT codePage = CP_UTF8;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, 0);
    if (size == 0) {
        codePage = 932;
        size =
            MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    }
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        size);
    return wide;
}

// One argument quoted as CommandLineToArgvW and the C runtime split it:
// backslashes double only before a quote.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    line += L" \"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// The tool lies at the same place relative to the test program in the build.
fs::path ToolPath() {
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(std::wstring(self, length)).parent_path() / SORAHIKI_CLI_FROM_TESTS;
}

HANDLE NewInheritedFile(const fs::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The handle the tool gets as its standard output; the full device and the
// signal have no Windows form, and those cases are not run here.
HANDLE NewStdout(StdoutTo stdoutTo, const fs::path& outPath) {
    switch (stdoutTo) {
        case StdoutTo::kNothing:
            return nullptr;
        case StdoutTo::kClosedPipe: {
            SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
            HANDLE readEnd = nullptr;
            HANDLE writeEnd = nullptr;
            if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return nullptr;
            CloseHandle(readEnd);  // the pipe has no reader from the start
            return writeEnd;
        }
        default:
            return NewInheritedFile(outPath);
    }
}

}  // namespace

int RunCliInto(const std::vector<std::string>& args, const fs::path& outPath,
               const fs::path& errPath, StdoutTo stdoutTo, ChildLimits) {
    const fs::path tool = ToolPath();
    std::wstring line = L"\"" + tool.wstring() + L"\"";
    for (const std::string& arg : args) AppendQuoted(line, Wide(arg));

    int status = -1;
    HANDLE out = NewStdout(stdoutTo, outPath);
    HANDLE err = NewInheritedFile(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(tool.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (out != nullptr) CloseHandle(out);
    CloseHandle(err);
    return status;
}

// The tests take no permissions away on Windows.
bool ReadPermissionsHold() {
    return false;
}
