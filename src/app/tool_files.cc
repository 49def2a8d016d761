#include "app/tool_files.h"

#include <string_view>

#include "platform/exceptions.h"
#include "platform/replacing_file.h"

namespace {

std::string reasonOf(const CFileException& e) {
  return e.m_strReason.empty() ? e.what() : e.m_strReason;
}

}  // namespace

void CToolOutput::Complain(const std::string& what,
                           const std::string& why) const {
  err << "symconv: " << what << ": " << why << "\n";
}

bool ReadToolInput(CPlatform& platform, const std::string& path,
                   std::string* bytes, std::string* error) {
  try {
    *bytes = std::string(platform.ReadFile(path).view());
  } catch (const CFileException& e) {
    *error = reasonOf(e);
    return false;
  }
  return true;
}

bool ReadSmlSymbolFile(CPlatform& platform, const std::string& path,
                       CSymbol* symbol, std::string* error,
                       std::optional<std::size_t>* offset) {
  std::string bytes;
  if (!ReadToolInput(platform, path, &bytes, error)) return false;
  try {
    ReadSmlFile(bytes, symbol);
  } catch (const CSmlFormatException& e) {
    *error = e.what();
    *offset = e.m_nOffset;
    return false;
  }
  return true;
}

bool WriteToolOutput(CPlatform& platform, const std::string& path,
                     const std::string& bytes, const CToolOutput& io) {
  try {
    CReplacingFile out(platform, path);
    if (out.Write(bytes.data(), bytes.size()) != bytes.size()) {
      throw CFileException(CFileException::diskFull, -1, path, std::string());
    }
    out.Close();
  } catch (const CFileException& e) {
    io.Complain(path, "cannot be written: " + reasonOf(e));
    return false;
  }
  return true;
}

std::string FileNameForSymbol(const std::string& name) {
  std::string safe;
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    const bool bad =
        b < 0x20 || b == 0x7F ||
        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    safe += bad ? '_' : c;
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "_" + safe;
  return safe;
}
