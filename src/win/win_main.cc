// The desktop program: asks for a folder, converts it and shows what it
// did. It has no window of its own and no message loop; every run ends with
// exit status 0.

#include <windows.h>
// After windows.h, which they rely on.
#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <string>

#include "app/convert_app.h"
#include "platform/win32/win32_platform.h"

namespace {

void ShowUnexpectedFailure(const std::string& what) {
  const std::string text = "The conversion ended unexpectedly:\n\n" + what;
  MessageBoxA(nullptr, text.c_str(), ApplicationTitle().c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // With the visual-styles manifest this gives the dialogs their themed
  // (three-dimensional) controls.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The shell's browse dialog talks to the namespace through COM.
  const HRESULT com = CoInitialize(nullptr);

  try {
    CWin32Platform platform;
    CConvertApp app(platform);
    app.RunBatch();
  } catch (const std::exception& e) {
    ShowUnexpectedFailure(e.what());
  } catch (...) {
    ShowUnexpectedFailure("unknown failure");
  }

  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}
