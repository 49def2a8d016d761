#include "app/leftover_sweep.h"

#include <vector>

#include "platform/exceptions.h"
#include "platform/platform.h"
#include "platform/replacing_file.h"
#include "sml/sml_file.h"

int RemoveLeftoverTemporaries(CPlatform& platform, const std::string& folder) {
  int removed = 0;
  for (const std::string& name : platform.FindFiles("*.tmp")) {
    if (!IsTemporaryName(name)) continue;
    const std::string path = folder + name;
    try {
      if (!StartsLikeSmlFile(platform.ReadFile(path))) continue;
      platform.RemoveFile(path);
      ++removed;
    } catch (const CFileException&) {
      // Held by another run, or not ours to judge: leave it.
    }
  }
  return removed;
}
