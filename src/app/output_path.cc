#include "app/output_path.h"

void FormOutputPath(const std::string& source_name, const std::string& folder,
                    const std::string& out_folder, std::string* path) {
  constexpr std::size_t kExtension = 4;  // ".SYM", ".DXF"
  std::size_t from = 0;
  if (source_name.compare(0, folder.size(), folder) == 0) {
    path->assign(out_folder);
    from = folder.size();
  } else {
    path->clear();
  }
  path->append(source_name, from, std::string::npos);
  // As SmlOutputPath forms it: the last four characters replaced.
  path->resize(path->size() > kExtension ? path->size() - kExtension : 0);
  path->append(".SML");
}
