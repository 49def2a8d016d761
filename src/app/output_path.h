#ifndef SYMCONV_APP_OUTPUT_PATH_H_
#define SYMCONV_APP_OUTPUT_PATH_H_

#include <string>

/// Forms in *path (keeping its storage) the .SML path of source_name's
/// output: its name within folder, in out_folder (both with their
/// separators), the last four characters (".SYM", ".DXF") replaced by
/// ".SML". A source outside folder keeps its own folder.
void FormOutputPath(const std::string& source_name, const std::string& folder,
                    const std::string& out_folder, std::string* path);

#endif  // SYMCONV_APP_OUTPUT_PATH_H_
