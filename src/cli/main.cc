// symconv on the command line: converts one folder and prints the summary.

#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "app/convert_ahead.h"
#include "app/convert_app.h"
#include "app/run_report.h"
#include "cli/cli_options.h"
#include "cli/report_file.h"
#include "cli/tool_commands.h"
#include "dxf/hershey_font.h"
#include "platform/console_platform.h"

namespace {

int ExitStatus(const CConvertApp& app) {
  switch (app.outcome()) {
    case RunOutcome::kCancelled:
      return 0;
    case RunOutcome::kCompleted:
      return app.any_failure() ? 1 : 0;
    case RunOutcome::kStopped:
    case RunOutcome::kNoFolder:
    case RunOutcome::kFailed:
      break;
  }
  return 1;
}

const char* AnswerName(AnswerMode mode) {
  switch (mode) {
    case AnswerMode::kYes:
      return "yes";
    case AnswerMode::kNo:
      return "no";
    case AnswerMode::kAsk:
      break;
  }
  return "ask";
}

int RunConversion(CCliOptions options) {
  CConsoleOptions console_options;
  console_options.answer_mode = options.answer;
  console_options.beep = options.beep;
  // The report on standard output leaves the summary to standard error.
  if (options.report == "-") console_options.output = stderr;
  CConsolePlatform platform(console_options);

  std::string folder;
  if (options.folder) {
    folder = *options.folder;
  } else if (!platform.InputIsTerminal()) {
    // Reading the folder from a pipe could wait for ever.
    std::cerr << "symconv: FOLDER is required when standard input is not a "
                 "terminal\n";
    return 2;
  } else if (!platform.AskForFolder(&folder)) {
    return 0;  // cancelled: nothing touched
  }
  // The folder dialog offers existing folders only; refuse anything else
  // before a single file is touched.
  if (std::string reason = ResolveFolder(&folder); !reason.empty()) {
    std::cerr << "symconv: " << folder << ": " << reason << "\n";
    return 2;
  }
  platform.options().folder = folder;
  // The run changes the current directory: relative paths would move.
  for (std::string* path : {&options.output, &options.report}) {
    if (path->empty() || *path == "-") continue;
    if (std::string reason = AbsolutePath(path); !reason.empty()) {
      std::cerr << "symconv: " << *path << ": " << reason << "\n";
      return 2;
    }
  }

  InstallInterruptCleanup();
  CHersheyFont font;  // used by the whole run
  CConvertApp app(platform);
  CConvertOptions convert_options;
  convert_options.dxf = options.dxf;
  convert_options.verbose = options.verbose;
  convert_options.recursive = options.recursive;
  convert_options.output = options.output;
  convert_options.convert_ahead = SecondCoreAvailable();
  AllowSplitReads(platform, convert_options.convert_ahead);
  if (!LoadChosenFont(platform, options.font, &font, &convert_options.dxf)) {
    return 2;
  }
  app.SetOptions(convert_options);
  CRunReport report(SYMCONV_VERSION, AnswerName(options.answer),
                    convert_options);
  if (!options.report.empty()) app.SetObserver(report);
  app.RunBatch();
  if (options.report.empty()) return ExitStatus(app);
  if (std::string error =
          WriteReportFile(platform, options.report, report.Document(app));
      !error.empty()) {
    std::cerr << "symconv: the report was not written: " << error << "\n";
    return 1;
  }
  return ExitStatus(app);
}

}  // namespace

int main(int argc, char** argv) {
  // A first argument that names a command selects it; anything else is the
  // conversion (a folder of such a name can be given as ./inspect).
  if (argc >= 2) {
    const std::string_view command = argv[1];
    if (command == "inspect") return RunInspectCommand(argc - 1, argv + 1);
    if (command == "render") return RunRenderCommand(argc - 1, argv + 1);
    if (command == "sheet") return RunSheetCommand(argc - 1, argv + 1);
  }
  CCliOptions options;
  if (auto status = ParseCliOptions(argc, argv, &options)) return *status;
  try {
    return RunConversion(options);
  } catch (const std::exception& e) {
    std::cerr << "symconv: " << e.what() << "\n";
    return 1;
  }
}
