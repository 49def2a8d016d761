#ifndef SYMCONV_PLATFORM_SHELL_H_
#define SYMCONV_PLATFORM_SHELL_H_

#include <cstdint>

// The few services of the Windows shell that the folder chooser uses, in
// the chooser's own terms: handles and item-id lists are opaque integers, so
// the chooser builds and is tested without the shell. The Win32 edition
// implements CShell with SHBrowseForFolderA and friends.

/// A window handle (HWND); 0 is none.
using ShellWindow = std::uintptr_t;
/// An item-id list of the shell namespace (LPITEMIDLIST); 0 is none.
using ShellItemList = std::uintptr_t;
/// The pointer-sized message parameter (LPARAM).
using ShellParam = std::intptr_t;

/// Values of the shell's browse dialog, as the Windows headers number them.
inline constexpr std::uint32_t kBifReturnOnlyFsDirs = 0x0001;
inline constexpr std::uint32_t kBifStatusText = 0x0004;
inline constexpr unsigned kBffmInitialized = 1;
inline constexpr unsigned kBffmSelChanged = 2;
inline constexpr unsigned kBffmSetStatusTextA = 0x0400 + 100;  // 1124
inline constexpr unsigned kBffmSetSelectionA = 0x0400 + 102;   // 1126
/// Results of a dialog: IDOK and IDCANCEL.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
/// Size of the path buffers that the shell fills (MAX_PATH).
inline constexpr int kMaxPath = 260;

/// Called by the running browse dialog on the thread that started it:
/// dialog, message (kBffmInitialized, kBffmSelChanged, ...), the message's
/// parameter (for kBffmSelChanged the new selection's item-id list) and the
/// lParam of the CBrowseInfo. The result is returned to the shell.
using BrowseCallback = int (*)(ShellWindow dialog, unsigned message,
                               ShellParam lParam, ShellParam data);

/// What the browse dialog is started with; the fields of BROWSEINFOA.
struct CBrowseInfo {
  ShellWindow hwndOwner = 0;
  ShellItemList pidlRoot = 0;      // 0: the tree starts at the desktop
  char* pszDisplayName = nullptr;  // kMaxPath bytes, filled by the shell
  const char* lpszTitle = nullptr;
  std::uint32_t ulFlags = 0;
  BrowseCallback lpfn = nullptr;
  ShellParam lParam = 0;  // handed back to lpfn as data
  int iImage = 0;
};

class CShell {
 public:
  virtual ~CShell() = default;

  /// Runs the modal browse dialog. Returns the chosen item's id list, which
  /// the caller frees with FreeIDList, or 0 when the user cancelled.
  virtual ShellItemList BrowseForFolder(const CBrowseInfo& info) = 0;

  /// Writes the file-system path of item into path (kMaxPath bytes).
  /// Returns false when the item has no such path.
  virtual bool GetPathFromIDList(ShellItemList item, char* path) = 0;

  /// Frees an item-id list through the shell's allocator.
  virtual void FreeIDList(ShellItemList item) = 0;

  /// Sends a message to the running dialog and returns its result.
  virtual ShellParam SendDialogMessage(ShellWindow dialog, unsigned message,
                                       std::uintptr_t wParam,
                                       ShellParam lParam) = 0;
};

#endif  // SYMCONV_PLATFORM_SHELL_H_
