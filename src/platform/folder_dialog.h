#ifndef SYMCONV_PLATFORM_FOLDER_DIALOG_H_
#define SYMCONV_PLATFORM_FOLDER_DIALOG_H_

#include <cstdint>
#include <string>

#include "platform/shell.h"

/// Asks the user for a folder with the shell's browse dialog, whose status
/// line follows the current selection (shortened to fit), and gives back the
/// chosen file-system path. Construct, Browse once, then GetPath.
class CFolderDialog {
 public:
  /// initial_folder may be null (no folder selected at the start). The
  /// status line is always on (kBifStatusText is added to flags). shell must
  /// outlive the dialog.
  CFolderDialog(CShell& shell, const char* initial_folder, std::uint32_t flags,
                ShellWindow owner);
  CFolderDialog(const CFolderDialog&) = delete;
  CFolderDialog& operator=(const CFolderDialog&) = delete;

  /// Runs the dialog. Returns kIdOk when a folder with a file-system path
  /// was chosen, else kIdCancel; GetPath then holds the last selection.
  int Browse();

  std::string GetPath() const { return m_strPath; }
  const CBrowseInfo& browse_info() const { return m_bi; }

  /// The status-line text for a path: at most 35 bytes are shown, a longer
  /// path is cut there and followed by "...".
  static std::string ShortenPath(const std::string& path);

  /// The callback standing in the browse info; data is the CFolderDialog.
  /// Always returns 0.
  static int BrowseCallbackProc(ShellWindow dialog, unsigned message,
                                ShellParam lParam, ShellParam data);

 private:
  /// Remembers the dialog and dispatches kBffmInitialized and
  /// kBffmSelChanged; other messages are ignored.
  void OnCallback(ShellWindow dialog, unsigned message, ShellParam lParam);
  void OnInitialized();
  void OnSelChanged(ShellItemList item);

  void SetSelection(const std::string& path);
  void SetStatusText(const std::string& text);

 private:
  CShell& m_shell;
  CBrowseInfo m_bi;
  std::string m_strInitialFolder;
  std::string m_strPath;
  char m_szDisplayName[kMaxPath] = {};
  char m_szPath[kMaxPath] = {};
  ShellWindow m_hDialog = 0;
};

#endif  // SYMCONV_PLATFORM_FOLDER_DIALOG_H_
