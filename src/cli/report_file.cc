#include "cli/report_file.h"

#include <cstdio>

#include "platform/exceptions.h"
#include "platform/replacing_file.h"

std::string WriteReportFile(CPlatform& platform, const std::string& path,
                            const std::string& text) {
  if (path == "-") {
    const bool written =
        std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return std::fflush(stdout) == 0 && written ? std::string()
                                               : "cannot write standard output";
  }
  try {
    CReplacingFile file(platform, path);
    std::size_t done = 0;
    while (done < text.size()) {
      const std::size_t n = file.Write(text.data() + done, text.size() - done);
      // Nothing stored means a full disk.
      if (n == 0) throw CFileException(CFileException::diskFull, -1, path);
      done += n;
    }
    file.Close();
    return std::string();
  } catch (const CFileException& e) {
    return e.what();
  }
}
