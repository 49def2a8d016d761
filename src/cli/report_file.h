#ifndef SYMCONV_CLI_REPORT_FILE_H_
#define SYMCONV_CLI_REPORT_FILE_H_

#include <string>

class CPlatform;

/// Writes the run's report to path ("-": standard output) whole, replacing
/// an earlier file only once the new one is complete. Returns an empty
/// string, or why it could not be written.
std::string WriteReportFile(CPlatform& platform, const std::string& path,
                            const std::string& text);

#endif  // SYMCONV_CLI_REPORT_FILE_H_
