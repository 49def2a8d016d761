#ifndef SYMCONV_PLATFORM_WIN32_WIN32_PLATFORM_H_
#define SYMCONV_PLATFORM_WIN32_WIN32_PLATFORM_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

/// The desktop program's platform: message boxes, the shell's folder
/// dialog and the Win32 file services, all in their ANSI forms. The calling
/// thread must have COM initialised for ChooseFolder.
class CWin32Platform : public CPlatform {
 public:
  CWin32Platform();

  bool ChooseFolder(std::string* path) override;
  MessageResult ShowMessage(const std::string& text,
                            MessageButtons buttons) override;
  void Beep() override;

  char PathSeparator() const override { return '\\'; }
  void ChangeDirectory(const std::string& path) override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;
  std::vector<std::string> FindSubfolders() override;
  void MakeFolder(const std::string& path) override;

  CFileContents ReadFile(const std::string& path) override;
  std::unique_ptr<CWritableFile> CreateNewFile(
      const std::string& path) override;
  void RenameReplacing(const std::string& from, const std::string& to) override;
  void RemoveFile(const std::string& path) override;

 private:
  std::string m_strTitle;
};

/// The caption of every message box: the executable's file name without
/// its extension ("symconv" for C:\Tools\symconv.exe).
std::string ApplicationTitle();

#endif  // SYMCONV_PLATFORM_WIN32_WIN32_PLATFORM_H_
