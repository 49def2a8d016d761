#include "platform/folder_dialog.h"

namespace {

constexpr char kTitle[] = "Select folder to convert";
constexpr std::size_t kStatusWidth = 35;

}  // namespace

CFolderDialog::CFolderDialog(CShell& shell, const char* initial_folder,
                             std::uint32_t flags, ShellWindow owner)
    : m_shell(shell),
      m_strInitialFolder(initial_folder != nullptr ? initial_folder : "") {
  m_bi.hwndOwner = owner;
  m_bi.pidlRoot = 0;
  m_bi.pszDisplayName = m_szDisplayName;
  m_bi.lpszTitle = kTitle;
  m_bi.ulFlags = flags | kBifStatusText;
  m_bi.lpfn = &CFolderDialog::BrowseCallbackProc;
  m_bi.lParam = reinterpret_cast<ShellParam>(this);
  m_bi.iImage = 0;
}

int CFolderDialog::Browse() {
  m_strPath = m_strInitialFolder;
  const ShellItemList item = m_shell.BrowseForFolder(m_bi);
  int result = kIdCancel;
  if (item != 0) {
    // A chosen item without a file-system path (a printer, the network
    // neighbourhood) counts as a cancel; the list is freed either way.
    if (m_shell.GetPathFromIDList(item, m_szPath)) {
      m_strPath = m_szPath;
      result = kIdOk;
    }
    m_shell.FreeIDList(item);
  }
  return result;
}

std::string CFolderDialog::ShortenPath(const std::string& path) {
  if (path.size() <= kStatusWidth) return path;
  return path.substr(0, kStatusWidth) + "...";
}

int CFolderDialog::BrowseCallbackProc(ShellWindow dialog, unsigned message,
                                      ShellParam lParam, ShellParam data) {
  reinterpret_cast<CFolderDialog*>(data)->OnCallback(dialog, message, lParam);
  return 0;
}

void CFolderDialog::OnCallback(ShellWindow dialog, unsigned message,
                               ShellParam lParam) {
  m_hDialog = dialog;
  if (message == kBffmInitialized) {
    OnInitialized();
  } else if (message == kBffmSelChanged) {
    OnSelChanged(static_cast<ShellItemList>(lParam));
  }
}

void CFolderDialog::OnInitialized() {
  SetSelection(m_strInitialFolder);
  SetStatusText(ShortenPath(m_strInitialFolder));
}

void CFolderDialog::OnSelChanged(ShellItemList item) {
  // An item without a file-system path (a printer, the control panel)
  // shows an empty status line rather than whatever the buffer held.
  if (!m_shell.GetPathFromIDList(item, m_szPath)) m_szPath[0] = '\0';
  m_strPath = m_szPath;
  SetStatusText(ShortenPath(m_strPath));
}

void CFolderDialog::SetSelection(const std::string& path) {
  // wParam 1: the selection is given as a path, not as an item-id list.
  m_shell.SendDialogMessage(m_hDialog, kBffmSetSelectionA, 1,
                            reinterpret_cast<ShellParam>(path.c_str()));
}

void CFolderDialog::SetStatusText(const std::string& text) {
  m_shell.SendDialogMessage(m_hDialog, kBffmSetStatusTextA, 0,
                            reinterpret_cast<ShellParam>(text.c_str()));
}
