#include "platform/win32/console_interrupt.h"

#include <windows.h>

#include "platform/pending_temporaries.h"

namespace {

// The temporary being written is open; it was created shareable for
// deletion, so DeleteFileA marks it and the system removes it when the
// process ends and its handle closes.
void removeTemporary(const char* path) { ::DeleteFileA(path); }

BOOL WINAPI onConsoleControl(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      ForEachPendingTemporary(removeTemporary);
      ::ExitProcess(STATUS_CONTROL_C_EXIT);
    default:
      return FALSE;
  }
}

}  // namespace

void InstallConsoleInterruptCleanup() {
  ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}
