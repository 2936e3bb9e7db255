#include "screen/ShellOpen.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace {

// The shell's results up to this one say that it opened nothing.
constexpr INT_PTR kLastShellFailure = 32;

// Why the shell opened nothing, from its result; szOther receives the text
// for a result without a reason of its own.
const char* ShellFailureReason(INT_PTR nResult, char* szOther, int nOtherBytes) {
    switch (nResult) {
        case SE_ERR_FNF:
        case SE_ERR_PNF:
            return "ファイルが見つかりません。検索の後で名前が変わったか、削除されたようです。";
        case SE_ERR_ACCESSDENIED:
            return "ファイルを開く権限がありません。";
        case 0:
        case SE_ERR_OOM:
            return "メモリーが足りません。";
        case SE_ERR_SHARE:
            return "ファイルはほかのプログラムが使用中です。";
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC:
            return "このファイルを開くアプリケーションがありません。";
        default:
            std::snprintf(szOther, static_cast<std::size_t>(nOtherBytes),
                          "開くことができませんでした（エラー番号 %d）。",
                          static_cast<int>(nResult));
            return szOther;
    }
}

void ReportFailure(HWND hOwner, const char* pszWhat, const char* pszPath, INT_PTR nResult) {
    char szOther[96];
    char szText[MAX_PATH * 4 + 256];
    std::snprintf(szText, sizeof szText, "%s\n%s\n\n%s", pszWhat, pszPath,
                  ShellFailureReason(nResult, szOther, sizeof szOther));
    MessageBoxA(hOwner, szText, "エラーメッセージ", MB_OK);
}

}  // namespace

// GetFullPathNameA reads the path in the program's code page, so a trail
// byte 0x5C of a double-byte character is never taken for a separator.
// When it fails the path is given as found.
const char* FullPathOf(const char* pszPath, char* szFullPath, DWORD nBytes) {
    const DWORD nLength = GetFullPathNameA(pszPath, nBytes, szFullPath, nullptr);
    return (nLength > 0 && nLength < nBytes) ? szFullPath : pszPath;
}

void OpenWithShell(HWND hOwner, const char* pszPath) {
    char szFullPath[MAX_PATH * 4];
    const char* pszFile = FullPathOf(pszPath, szFullPath, sizeof szFullPath);
    const auto nResult = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", pszFile, nullptr, nullptr, SW_SHOWNORMAL));
    if (nResult <= kLastShellFailure) {
        ReportFailure(hOwner, "ファイルを開けませんでした。", pszPath, nResult);
    }
}

// explorer splits its options on commas, so a path with a comma goes in
// quotes; any other goes bare, as Wine's file manager takes quotes for part
// of the path and opens the current folder instead.
void ShowInFolderWithShell(HWND hOwner, const char* pszPath) {
    char szFullPath[MAX_PATH * 4];
    char szParameters[MAX_PATH * 4 + 16];
    const char* pszFull = FullPathOf(pszPath, szFullPath, sizeof szFullPath);
    const char* pszQuote = std::strchr(pszFull, ',') != nullptr ? "\"" : "";
    std::snprintf(szParameters, sizeof szParameters, "/select,%s%s%s", pszQuote, pszFull, pszQuote);
    const auto nResult = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", "explorer.exe", szParameters, nullptr, SW_SHOWNORMAL));
    if (nResult <= kLastShellFailure) {
        ReportFailure(hOwner, "フォルダを開けませんでした。", pszPath, nResult);
    }
}
