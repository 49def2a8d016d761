#include "platform/win32/win32_shell.h"

#include <windows.h>
// After windows.h, which it relies on.
#include <shlobj.h>

static_assert(sizeof(ShellWindow) == sizeof(HWND));
static_assert(sizeof(ShellItemList) == sizeof(LPITEMIDLIST));
static_assert(sizeof(ShellParam) == sizeof(LPARAM));
static_assert(kBifReturnOnlyFsDirs == BIF_RETURNONLYFSDIRS);
static_assert(kBifStatusText == BIF_STATUSTEXT);
static_assert(kBffmInitialized == BFFM_INITIALIZED);
static_assert(kBffmSelChanged == BFFM_SELCHANGED);
static_assert(kBffmSetStatusTextA == BFFM_SETSTATUSTEXTA);
static_assert(kBffmSetSelectionA == BFFM_SETSELECTIONA);
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL);
static_assert(kMaxPath == MAX_PATH);

namespace {

// The shell calls back with its own (stdcall) convention; this forwards to
// the chooser's callback with the chooser's own data. The shell's data
// parameter carries the CBrowseInfo, which lives through the modal call.
int CALLBACK ForwardBrowseCallback(HWND dialog, UINT message, LPARAM lParam,
                                   LPARAM data) {
  const auto* info = reinterpret_cast<const CBrowseInfo*>(data);
  return info->lpfn(reinterpret_cast<ShellWindow>(dialog), message, lParam,
                    info->lParam);
}

}  // namespace

ShellItemList CWin32Shell::BrowseForFolder(const CBrowseInfo& info) {
  BROWSEINFOA bi = {};
  bi.hwndOwner = reinterpret_cast<HWND>(info.hwndOwner);
  bi.pidlRoot = reinterpret_cast<PCIDLIST_ABSOLUTE>(info.pidlRoot);
  bi.pszDisplayName = info.pszDisplayName;
  bi.lpszTitle = info.lpszTitle;
  bi.ulFlags = info.ulFlags;
  bi.lpfn = info.lpfn != nullptr ? ForwardBrowseCallback : nullptr;
  bi.lParam = reinterpret_cast<LPARAM>(&info);
  bi.iImage = info.iImage;
  return reinterpret_cast<ShellItemList>(SHBrowseForFolderA(&bi));
}

bool CWin32Shell::GetPathFromIDList(ShellItemList item, char* path) {
  return SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(item),
                              path) != FALSE;
}

void CWin32Shell::FreeIDList(ShellItemList item) {
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
    allocator->Free(reinterpret_cast<void*>(item));
    allocator->Release();
  }
}

ShellParam CWin32Shell::SendDialogMessage(ShellWindow dialog, unsigned message,
                                          std::uintptr_t wParam,
                                          ShellParam lParam) {
  return SendMessageA(reinterpret_cast<HWND>(dialog), message, wParam, lParam);
}
