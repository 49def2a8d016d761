#ifndef SYMCONV_TESTS_SUPPORT_BATCH_MESSAGES_H_
#define SYMCONV_TESTS_SUPPORT_BATCH_MESSAGES_H_

#include <string>

/// The texts a batch shows, spelled out independently of the driver so that
/// tests catch a changed character.

/// The failure prompt for file.
inline std::string ExpectedPrompt(const std::string& file) {
  return "Error Converting File:\n\n\"" + file +
         "\"\n\nContinue With Other Symbols?";
}

/// The summary of a run over folder; the .SML count is the sum of the
/// symbol counts.
inline std::string ExpectedSummary(const std::string& folder, int dxf_files,
                                   int dxf_symbols, int sym_files) {
  return "Converting folder: \"" + folder + "\"\n\n" +
         std::to_string(dxf_files) +
         " Drawing Exchange Format (*.dxf) files converted\n\t(" +
         std::to_string(dxf_symbols) + " Symbols)\n\n" +
         std::to_string(sym_files) +
         " KRO DOS Symbol (*.sym) files converted\n\n" +
         std::to_string(dxf_symbols + sym_files) +
         " KRO Win Symbol (*.sml) files Generated";
}

#endif  // SYMCONV_TESTS_SUPPORT_BATCH_MESSAGES_H_
