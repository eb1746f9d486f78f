// The program entry: start-up, the message loop and the exit.
#include <windows.h>

#include "app/main.h"
#include "localization/uLocalize.h"
#include "platform/Errors.h"

namespace {

// Start-up steps 2 to 4: the catalogue's options, then the default
// language; its result is ignored. A language file that cannot be read is
// shown once and start-up goes on.
void PrepareLanguages() {
  try {
    ShowShortLangNames = false;
    KeepLangFilesOpen = true;
    static_cast<void>(SetDefaultLang(u"English"));
  } catch (...) {
    ShowException(std::current_exception());
  }
}

// Units are finalised after the application object is gone.
void FinalizeUnits() { FinalizeLocalization(); }

int RunProgram() {
  int exitCode = 0;
  {
    TApplication application;  // step 0: OLE, icon, taskbar window
    application.Initialize();  // step 1: no hooks
    PrepareLanguages();        // steps 2 to 4
    application.SetTitle(L"Tessarin");  // step 5
    application.CreateForm(&Form1);     // step 6
    exitCode = application.Run();       // steps 7 and 8
  }  // the application destroys Form1 with every control
  Form1 = nullptr;
  FinalizeUnits();
  return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return RunProgram();
  } catch (...) {
    // Building the window failed: shown, and the program ends.
    ShowException(std::current_exception());
    return 1;
  }
}
