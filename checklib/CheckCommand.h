// The eight check commands of the main window: the command table and the
// one routine that runs a command against the check library Vrifax.dll.
//
//   void TForm1::Button1Click(TObject*) {
//     RunCheckCommand(Handle, CheckCommandFor(ID_Button1), Application->Title);
//   }
//
// Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "checklib/VrifaxApi.h"

// Where a command shows its verdict.
enum class VerdictBox { PlainDialog, ReportBox };

// One row of the command table.
struct CheckCommandRow {
  const wchar_t* handler;  // L"Button1Click"
  int buttonId;            // ID_Button1 (resources/ControlIds.h)
  CheckOrdinal ordinal;    // entry point of the check library
  int firstEditId;         // ID_Edit1
  int secondEditId;        // 0: none
  VerdictBox box;
};

// The command table, in its order.
extern const CheckCommandRow kCheckCommands[8];

// Returns the row of the command bound to the button; raises EError for a
// button that is no check command.
const CheckCommandRow& CheckCommandFor(int buttonId);

// Runs one check command for the main window: existence test of "Vrifax.dll",
// load, lookup by ordinal, read the edit(s) (found by id among mainWindow's
// descendants), call (guarded against faults inside the library), verdict
// dialog, release. Raises EError (platform/Errors.h) for what the default
// exception display must show.
void RunCheckCommand(HWND mainWindow, const CheckCommandRow& row,
                     const std::wstring& applicationTitle);
