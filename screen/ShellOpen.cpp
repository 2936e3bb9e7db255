#include "screen/ShellOpen.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "screen/WideText.h"

namespace {

// Room for the longest walked path below the deepest current folder.
constexpr DWORD kFullPathUnits = MAX_PATH * 8;

// The shell's results up to this one say that it opened nothing.
constexpr INT_PTR kLastShellFailure = 32;

// The shell's result for a system error, where it has one of its own.
INT_PTR ShellResultOf(DWORD dwError) {
    switch (dwError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return SE_ERR_FNF;
        case ERROR_ACCESS_DENIED:
            return SE_ERR_ACCESSDENIED;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return SE_ERR_OOM;
        default:
            return static_cast<INT_PTR>(dwError);
    }
}

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

// The box names the file as the system does while it is there, else as
// the row shows it.
void ReportFailure(HWND hOwner, const char* pszWhat, const char* pszPath, INT_PTR nResult) {
    char szOther[96];
    WCHAR szName[kFullPathUnits];
    WideText text = FromCp932(pszWhat);
    text += static_cast<WCHAR>('\n');
    text += SystemPathOf(pszPath, szName, kFullPathUnits) ? WideText(szName) : FromCp932(pszPath);
    text += FromCp932("\n\n");
    text += FromCp932(ShellFailureReason(nResult, szOther, sizeof szOther));
    MessageBoxW(hOwner, text.c_str(), FromCp932("エラーメッセージ").c_str(), MB_OK);
}

// GetFullPathNameA reads the path in the program's code page and keeps its
// keys; a path too long for it is given as the walk found it, relative to
// the current folder.
const char* FullPathOf(const char* pszPath, char (&szFull)[kFullPathUnits]) {
    const DWORD nLength = GetFullPathNameA(pszPath, sizeof szFull, szFull, nullptr);
    return nLength > 0 && nLength < sizeof szFull ? szFull : pszPath;
}

// The shell's item of the file the walk found; null, with the system's
// error, when it is gone.
PIDLIST_ABSOLUTE ItemOf(const char* pszPath) {
    char szFull[kFullPathUnits];
    return ILCreateFromPathA(FullPathOf(pszPath, szFull));
}

// The full path on the clipboard as Unicode text.
bool PutOnClipboard(HWND hOwner, const WCHAR* pszText) {
    size_t nUnits = 0;
    while (pszText[nUnits] != 0) ++nUnits;
    const size_t nBytes = (nUnits + 1) * sizeof(WCHAR);
    HGLOBAL hText = GlobalAlloc(GMEM_MOVEABLE, nBytes);
    if (hText == nullptr) return false;
    std::memcpy(GlobalLock(hText), pszText, nBytes);
    GlobalUnlock(hText);
    if (!OpenClipboard(hOwner)) {
        GlobalFree(hText);
        return false;
    }
    EmptyClipboard();
    const bool bSet = SetClipboardData(CF_UNICODETEXT, hText) != nullptr;
    if (!bSet) GlobalFree(hText);  // else it is the clipboard's
    CloseClipboard();
    return bSet;
}

}  // namespace

bool SystemPathOf(const char* pszPath, WCHAR* szPath, DWORD nUnits) {
    PIDLIST_ABSOLUTE pItem = ItemOf(pszPath);
    if (pItem == nullptr) return false;
    const bool bFound = SHGetPathFromIDListEx(pItem, szPath, nUnits, GPFIDL_DEFAULT) != FALSE;
    ILFree(pItem);
    return bFound;
}

// The shell is given the listed path whole: it finds the file as the walk's
// reads found it.
void OpenWithShell(HWND hOwner, const char* pszPath) {
    char szFull[kFullPathUnits];
    const auto nResult = reinterpret_cast<INT_PTR>(ShellExecuteA(
        nullptr, "open", FullPathOf(pszPath, szFull), nullptr, nullptr, SW_SHOWNORMAL));
    if (nResult <= kLastShellFailure) {
        ReportFailure(hOwner, "ファイルを開けませんでした。", pszPath, nResult);
    }
}

void ShowInFolderWithShell(HWND hOwner, const char* pszPath) {
    PIDLIST_ABSOLUTE pItem = ItemOf(pszPath);
    if (pItem == nullptr) {
        ReportFailure(hOwner, "フォルダを開けませんでした。", pszPath,
                      ShellResultOf(GetLastError()));
        return;
    }
    const HRESULT hr = SHOpenFolderAndSelectItems(pItem, 0, nullptr, 0);
    ILFree(pItem);
    if (FAILED(hr)) {
        const auto dwError = static_cast<DWORD>(hr & 0xFFFF);
        ReportFailure(hOwner, "フォルダを開けませんでした。", pszPath,
                      hr == E_FAIL ? SE_ERR_NOASSOC : ShellResultOf(dwError));
    }
}

void CopyPathToClipboard(HWND hOwner, const char* pszPath) {
    WCHAR szFull[kFullPathUnits];
    if (!SystemPathOf(pszPath, szFull, kFullPathUnits)) {
        ReportFailure(hOwner, "パスをコピーできませんでした。", pszPath,
                      ShellResultOf(GetLastError()));
        return;
    }
    if (PutOnClipboard(hOwner, szFull)) return;
    WideText text = FromCp932(
        "パスをコピーできませんでした。\nほかのプログラムがクリップボードを使用中です。\n");
    text += szFull;
    MessageBoxW(hOwner, text.c_str(), FromCp932("エラーメッセージ").c_str(), MB_OK);
}
