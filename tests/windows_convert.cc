// The converter on the Win32 platform without its dialogs, for the
// differential test: converts the folder named by the last argument,
// answering Yes to every failure prompt and writing every message to
// standard error and the summary to standard output.
//
//   windows_convert [--drawings] [--polylines] FOLDER

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "app/convert_app.h"
#include "platform/win32/win32_platform.h"

namespace {

class CUnattendedPlatform final : public CWin32Platform {
 public:
  explicit CUnattendedPlatform(std::string folder)
      : m_strFolder(std::move(folder)) {}

  bool ChooseFolder(std::string* path) override {
    *path = m_strFolder;
    return true;
  }
  MessageResult ShowMessage(const std::string& text,
                            MessageButtons buttons) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return buttons == MessageButtons::kYesNo ? MessageResult::kYes
                                             : MessageResult::kOk;
  }
  void ShowSummary(const std::string& text) override {
    std::printf("%s\n", text.c_str());
  }
  void Beep() override {}

 private:
  std::string m_strFolder;
};

}  // namespace

int main(int argc, char** argv) {
  CConvertOptions options;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--drawings") {
      options.dxf.drawings = true;
    } else if (arg == "--polylines") {
      options.dxf.polylines = true;
    } else {
      folder = argv[i];
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr,
                 "usage: windows_convert [--drawings] [--polylines] "
                 "FOLDER\n");
    return 2;
  }
  try {
    CUnattendedPlatform platform(folder);
    CConvertApp app(platform);
    app.SetOptions(options);
    app.RunBatch();
    return app.outcome() == RunOutcome::kCompleted ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "windows_convert: %s\n", e.what());
    return 1;
  }
}
