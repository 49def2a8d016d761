#include "platform/folder_dialog.h"

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

// One callback that the scripted dialog delivers while it "runs".
struct Event {
  ShellWindow dialog;
  unsigned message;
  ShellItemList item;
};

struct SentMessage {
  ShellWindow dialog;
  unsigned message;
  std::uintptr_t wParam;
  std::string text;  // lParam read as a C string
  bool operator==(const SentMessage&) const = default;
};

std::ostream& operator<<(std::ostream& os, const SentMessage& m) {
  return os << "{" << m.dialog << ", " << m.message << ", " << m.wParam
            << ", \"" << m.text << "\"}";
}

// A shell whose browse dialog plays a script of callbacks and then returns
// a chosen item (0 for Cancel). Items listed in paths have a file-system
// path; others have none.
class CScriptedShell : public CShell {
 public:
  std::vector<Event> script;
  ShellItemList chosen = 0;
  std::map<ShellItemList, std::string> paths;

  std::vector<int> callback_results;
  std::vector<SentMessage> sent;
  std::vector<ShellItemList> freed;
  int browse_calls = 0;

  ShellItemList BrowseForFolder(const CBrowseInfo& info) override {
    ++browse_calls;
    for (const Event& e : script) {
      callback_results.push_back(info.lpfn(
          e.dialog, e.message, static_cast<ShellParam>(e.item), info.lParam));
    }
    return chosen;
  }

  bool GetPathFromIDList(ShellItemList item, char* path) override {
    auto it = paths.find(item);
    if (it == paths.end()) return false;
    std::strncpy(path, it->second.c_str(), kMaxPath - 1);
    path[kMaxPath - 1] = '\0';
    return true;
  }

  void FreeIDList(ShellItemList item) override { freed.push_back(item); }

  ShellParam SendDialogMessage(ShellWindow dialog, unsigned message,
                               std::uintptr_t wParam,
                               ShellParam lParam) override {
    sent.push_back(
        {dialog, message, wParam, reinterpret_cast<const char*>(lParam)});
    return 0;
  }
};

constexpr ShellWindow kDialog = 0x1234;

SentMessage Selection(const std::string& path) {
  return {kDialog, kBffmSetSelectionA, 1, path};
}
SentMessage Status(const std::string& text) {
  return {kDialog, kBffmSetStatusTextA, 0, text};
}

TEST(FolderDialogTest, ShortenPathKeepsAtMost35Bytes) {
  const std::string p35(35, 'a');
  const struct {
    std::string path, shown;
  } cases[] = {
      {"", ""},
      {"C:\\", "C:\\"},
      {p35, p35},
      {p35 + "b", p35 + "..."},
      {"C:\\Program Files\\Drawing\\Symbols\\Electrical\\Valves",
       "C:\\Program Files\\Drawing\\Symbols\\El..."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CFolderDialog::ShortenPath(c.path), c.shown) << c.path;
  }
  EXPECT_EQ(CFolderDialog::ShortenPath(std::string(300, 'x')).size(), 38u);
}

TEST(FolderDialogTest, BrowseInfoAlwaysAsksForTheStatusLine) {
  CScriptedShell shell;
  const struct {
    std::uint32_t given, used;
  } cases[] = {{0, 0x4}, {kBifReturnOnlyFsDirs, 0x5}, {0x4, 0x4}, {0x41, 0x45}};
  for (const auto& c : cases) {
    CFolderDialog dialog(shell, nullptr, c.given, 0);
    EXPECT_EQ(dialog.browse_info().ulFlags, c.used) << c.given;
  }

  CFolderDialog dialog(shell, "D:\\", kBifReturnOnlyFsDirs, 0x99);
  const CBrowseInfo& bi = dialog.browse_info();
  EXPECT_EQ(bi.hwndOwner, 0x99u);
  EXPECT_EQ(bi.pidlRoot, 0u);
  EXPECT_STREQ(bi.lpszTitle, "Select folder to convert");
  EXPECT_NE(bi.pszDisplayName, nullptr);
  EXPECT_EQ(bi.lpfn, &CFolderDialog::BrowseCallbackProc);
  EXPECT_EQ(bi.lParam, reinterpret_cast<ShellParam>(&dialog));
  EXPECT_EQ(bi.iImage, 0);
}

TEST(FolderDialogTest, ChosenFolderIsReturnedAndItsListFreed) {
  CScriptedShell shell;
  shell.paths = {{7, "C:\\Symbols"}, {8, "C:\\"}};
  shell.script = {{kDialog, kBffmInitialized, 0},
                  {kDialog, kBffmSelChanged, 8},
                  {kDialog, kBffmSelChanged, 7}};
  shell.chosen = 7;
  CFolderDialog dialog(shell, nullptr, kBifReturnOnlyFsDirs, 0);

  EXPECT_EQ(dialog.Browse(), kIdOk);
  EXPECT_EQ(dialog.GetPath(), "C:\\Symbols");
  EXPECT_EQ(shell.freed, std::vector<ShellItemList>{7});
  // No initial folder: an empty selection and status line, then the status
  // line follows the selection.
  EXPECT_EQ(shell.sent,
            (std::vector<SentMessage>{Selection(""), Status(""), Status("C:\\"),
                                      Status("C:\\Symbols")}));
  EXPECT_EQ(shell.callback_results, (std::vector<int>{0, 0, 0}));
}

TEST(FolderDialogTest, DriveRootKeepsItsBackslash) {
  CScriptedShell shell;
  shell.paths = {{3, "E:\\"}};
  shell.chosen = 3;
  CFolderDialog dialog(shell, nullptr, kBifReturnOnlyFsDirs, 0);
  EXPECT_EQ(dialog.Browse(), kIdOk);
  EXPECT_EQ(dialog.GetPath(), "E:\\");
}

TEST(FolderDialogTest, CancelKeepsTheLastSelectionOrTheInitialFolder) {
  const std::string initial = "C:\\Drawings\\Symbols\\Mechanical\\Pumps";
  const struct {
    const char* name;
    std::vector<Event> script;
    std::string path;
    std::vector<SentMessage> sent;
  } cases[] = {
      {"no selection",
       {{kDialog, kBffmInitialized, 0}},
       initial,
       {Selection(initial),
        Status("C:\\Drawings\\Symbols\\Mechanical\\Pump...")}},
      {"after a selection",
       {{kDialog, kBffmInitialized, 0}, {kDialog, kBffmSelChanged, 5}},
       "C:\\Temp",
       {Selection(initial),
        Status("C:\\Drawings\\Symbols\\Mechanical\\Pump..."),
        Status("C:\\Temp")}},
      {"dialog closed before it opened", {}, initial, {}},
  };
  for (const auto& c : cases) {
    CScriptedShell shell;
    shell.paths = {{5, "C:\\Temp"}};
    shell.script = c.script;
    CFolderDialog dialog(shell, initial.c_str(), kBifReturnOnlyFsDirs, 0);
    EXPECT_EQ(dialog.Browse(), kIdCancel) << c.name;
    EXPECT_EQ(dialog.GetPath(), c.path) << c.name;
    EXPECT_EQ(shell.sent, c.sent) << c.name;
    EXPECT_TRUE(shell.freed.empty()) << c.name;
  }
}

TEST(FolderDialogTest, ItemWithoutFileSystemPathIsNoFolder) {
  CScriptedShell shell;
  shell.paths = {{5, "C:\\Temp"}};
  shell.script = {{kDialog, kBffmInitialized, 0},
                  {kDialog, kBffmSelChanged, 5},
                  {kDialog, kBffmSelChanged, 9}};  // e.g. the printers
  shell.chosen = 9;
  CFolderDialog dialog(shell, nullptr, kBifReturnOnlyFsDirs, 0);

  EXPECT_EQ(dialog.Browse(), kIdCancel);
  EXPECT_EQ(shell.freed, std::vector<ShellItemList>{9});
  // The status line is emptied, not left showing the previous folder.
  EXPECT_EQ(shell.sent.back(), Status(""));
  EXPECT_EQ(dialog.GetPath(), "");
}

TEST(FolderDialogTest, MessagesGoToTheDialogOfTheLatestCallback) {
  CScriptedShell shell;
  shell.paths = {{5, "C:\\Temp"}};
  shell.script = {{kDialog, kBffmInitialized, 0},
                  {0x77, 3, 0},  // BFFM_VALIDATEFAILEDA: ignored
                  {0x88, kBffmSelChanged, 5}};
  CFolderDialog dialog(shell, nullptr, kBifReturnOnlyFsDirs, 0);
  dialog.Browse();
  ASSERT_EQ(shell.sent.size(), 3u);
  EXPECT_EQ(shell.sent[2],
            (SentMessage{0x88, kBffmSetStatusTextA, 0, "C:\\Temp"}));
  EXPECT_EQ(shell.callback_results, (std::vector<int>{0, 0, 0}));
}

}  // namespace
