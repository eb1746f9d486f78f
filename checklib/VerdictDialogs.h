// The two ways a check command shows a message: the plain message dialog
// (the system task dialog, titled with the application title, no icon, one
// OK button that is the default and answers Esc, centred on the work area of
// the monitor nearest the main window) and the report box of the EGN check.
//
//   ShowPlainMessage(main, L"Tessarin", L"   Проверка пройдена.   ");
//
// Windows only.
#pragma once

#include <windows.h>

#include <string>

// Shows text in the plain message dialog, modal over owner, and returns once
// it is closed.
void ShowPlainMessage(HWND owner, const std::wstring& title, const std::wstring& text);

// Shows the report box of a verdict: MessageBoxW owned by owner, caption
// "Отчет о проверке ", the information icon for a valid identifier and the
// error icon otherwise. Its result is not used.
void ShowReportBox(HWND owner, const std::wstring& text, bool valid);
