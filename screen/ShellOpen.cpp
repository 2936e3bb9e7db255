#include "screen/ShellOpen.h"

#include <shellapi.h>

#include <cstdio>

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

void ReportOpenFailure(HWND hOwner, const char* pszPath, INT_PTR nResult) {
    char szOther[96];
    char szText[MAX_PATH * 4 + 256];
    std::snprintf(szText, sizeof szText, "ファイルを開けませんでした。\n%s\n\n%s", pszPath,
                  ShellFailureReason(nResult, szOther, sizeof szOther));
    MessageBoxA(hOwner, szText, "エラーメッセージ", MB_OK);
}

}  // namespace

void OpenWithShell(HWND hOwner, const char* pszPath) {
    // GetFullPathNameA reads the path in the program's code page, so a
    // trail byte 0x5C of a double-byte character is never taken for a
    // separator. When it fails the path goes to the shell as found.
    char szFullPath[MAX_PATH * 4];
    const DWORD nLength = GetFullPathNameA(pszPath, sizeof szFullPath, szFullPath, nullptr);
    const char* pszFile = (nLength > 0 && nLength < sizeof szFullPath) ? szFullPath : pszPath;
    const auto nResult = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", pszFile, nullptr, nullptr, SW_SHOWNORMAL));
    if (nResult <= kLastShellFailure) ReportOpenFailure(hOwner, pszPath, nResult);
}
