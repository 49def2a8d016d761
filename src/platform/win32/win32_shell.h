#ifndef SYMCONV_PLATFORM_WIN32_WIN32_SHELL_H_
#define SYMCONV_PLATFORM_WIN32_WIN32_SHELL_H_

#include "platform/shell.h"

/// The folder chooser's shell services on Windows: SHBrowseForFolderA,
/// SHGetPathFromIDListA, the shell allocator and SendMessageA. Needs COM
/// initialised on the calling thread.
class CWin32Shell : public CShell {
 public:
  ShellItemList BrowseForFolder(const CBrowseInfo& info) override;
  bool GetPathFromIDList(ShellItemList item, char* path) override;
  void FreeIDList(ShellItemList item) override;
  ShellParam SendDialogMessage(ShellWindow dialog, unsigned message,
                               std::uintptr_t wParam,
                               ShellParam lParam) override;
};

#endif  // SYMCONV_PLATFORM_WIN32_WIN32_SHELL_H_
