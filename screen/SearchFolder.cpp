// The folder the window searches: asked for by the command line, the folder
// picker or a drop, and taken by making its parent the current folder and
// its name the folder the run walks, so that the rows' paths stay as short
// as DATA's and every open, page load and copy of a row reaches the file
// from the current folder. The caption names the folder and says when an
// option is on. All of it runs on the window's thread, and the current
// folder changes only while no search runs.
#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include <sorahiki/listing.h>

#include "screen/FolderPaths.h"
#include "screen/SearchEdit.h"
#include "window/Window.h"

namespace {

constexpr char kOptionsMark[] = "［オプション］";
constexpr char kErrorCaption[] = "エラーメッセージ";
// The walked name of a drive or file system root: its own current folder.
constexpr char kRootName[] = ".";

void RefuseFolder(HWND hOwner, const char* pszFormat, const char* pszPath) {
    char szText[CSearchEdit::kNoticeBytes];
    std::snprintf(szText, sizeof szText, pszFormat, pszPath);
    MessageBoxA(hOwner, szText, kErrorCaption, MB_OK);
}

template <size_t N>
void CopyText(char (&szTo)[N], const char* pszFrom) {
    std::snprintf(szTo, N, "%s", pszFrom);
}

}  // namespace

void CSearchEdit::m_sub_AskFolder(const char* pszPath) {
    if (pszPath == nullptr || pszPath[0] == '\0') return;
    CopyText(m_szFolderAsked, pszPath);
    if (m_run.Running()) {
        m_run.Stop();
        return;
    }
    m_sub_TakeAskedFolder();
}

// The rows shown were walked from the former current folder: they leave, and
// the query shown, if any, is searched again in the new folder.
void CSearchEdit::m_sub_TakeAskedFolder() {
    if (m_szFolderAsked[0] == '\0' || m_run.Running()) return;
    char szPath[kFolderBytes];
    CopyText(szPath, m_szFolderAsked);
    m_szFolderAsked[0] = '\0';
    if (!m_sub_EnterFolder(szPath)) return;
    m_sub_ShowCaption();
    if (m_nHistory > 0) {
        m_sub_StartSearch(m_history[m_nHistoryCursor]);
    } else {
        m_sub_NoteFolderWithoutData();
        InvalidateRect(m_hParent, nullptr, TRUE);
    }
}

// A path whose text holds the mark of a character with no code page 932
// form would need its keys cut along with it: such a folder is refused
// rather than another of the same form searched.
bool CSearchEdit::m_sub_EnterFolder(const char* pszPath) {
    char szFull[kFolderBytes];
    const DWORD nLength = GetFullPathNameA(pszPath, sizeof szFull, szFull, nullptr);
    if (nLength == 0 || nLength >= sizeof szFull) {
        RefuseFolder(m_hParent, "フォルダ「%s」の場所が長すぎるため、検索できません。", pszPath);
        return false;
    }
    if (listed::HoldsMark(szFull)) {
        RefuseFolder(m_hParent,
                     "フォルダ「%s」の場所には、シフトJISで表せない文字を含む名前があるため、"
                     "検索できません。",
                     szFull);
        return false;
    }
    if (FolderMissing(szFull)) {
        RefuseFolder(m_hParent, "フォルダ「%s」が見つかりません。", szFull);
        return false;
    }
    DropEndSeparators(szFull);
    char szParent[kFolderBytes];
    CopyText(szParent, szFull);
    CutLastName(szParent);
    const size_t nParent = std::strlen(szParent);
    const char* pszName = szFull + nParent;
    while (*pszName == '\\' || *pszName == '/') ++pszName;
    if (!SetCurrentDirectoryA(szParent)) {
        RefuseFolder(m_hParent, "フォルダ「%s」に入れないため、検索できません。", szFull);
        return false;
    }
    CopyText(m_run.folder, pszName[0] != '\0' ? pszName : kRootName);
    CopyText(m_szFolderShown, szFull);
    return true;
}

// With no folder chosen and every option off the caption is the program's
// name alone, as ever.
void CSearchEdit::m_sub_ShowCaption() {
    char szCaption[kFolderBytes + 64];
    if (m_szFolderShown[0] != '\0') {
        std::snprintf(szCaption, sizeof szCaption, "%s - %s", m_szFolderShown, kProgramTitle);
    } else {
        CopyText(szCaption, kProgramTitle);
    }
    if (m_run.options.AnyOn()) std::strcat(szCaption, kOptionsMark);
    SetWindowTextA(m_hParent, szCaption);
}

void CSearchEdit::m_sub_ChooseFolder() {
    BROWSEINFOA info = {};
    info.hwndOwner = m_hParent;
    info.lpszTitle = "検索するフォルダを選んでください";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&info);
    if (pidl == nullptr) return;
    char szPath[MAX_PATH * 2] = {};
    const bool bNamed = SHGetPathFromIDListA(pidl, szPath) != FALSE;
    ILFree(pidl);
    if (!bNamed) {
        MessageBoxA(m_hParent,
                    "選んだフォルダの場所には、シフトJISで表せない文字を含む名前があるため、"
                    "検索できません。",
                    kErrorCaption, MB_OK);
        return;
    }
    m_sub_AskFolder(szPath);
}
