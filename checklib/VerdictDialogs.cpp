// The plain message dialog and the report box of the check commands.
#include "checklib/VerdictDialogs.h"

#include <commctrl.h>

#include "platform/Errors.h"

namespace {

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Returns TaskDialogIndirect of the common controls the process uses (version
// 6 when the manifest asks for it), or null where there is none.
TaskDialogIndirectFn FindTaskDialog() {
  // The library stays loaded for the life of the process, as the window's
  // own controls need it anyway.
  HMODULE controls = LoadLibraryW(L"comctl32.dll");
  if (!controls) return nullptr;
  return reinterpret_cast<TaskDialogIndirectFn>(
      reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")));
}

// Centres the dialog on the work area of the monitor nearest the owner.
void CentreOnWorkArea(HWND dialog, HWND owner) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  HMONITOR nearest = MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST);
  RECT frame;
  if (!GetMonitorInfoW(nearest, &monitor) || !GetWindowRect(dialog, &frame)) return;
  const RECT& work = monitor.rcWork;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;
  // A dialog that stays where the system put it is still usable.
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

constexpr wchar_t kPreviousProcedure[] = L"Tessarin.TaskDialogProcedure";

// Esc (IDCANCEL) presses the one OK button. Some task dialog implementations
// ignore a cancellation that no Cancel button stands for, so it is turned
// into OK before the dialog sees it.
LRESULT CALLBACK EscAnswersOk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropW(dialog, kPreviousProcedure));
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    wParam = MAKEWPARAM(IDOK, HIWORD(wParam));
    lParam = 0;
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(dialog, kPreviousProcedure);  // the window is going; nothing to check
  }
  return CallWindowProcW(previous, dialog, message, wParam, lParam);
}

void AnswerEscWithOk(HWND dialog) {
  const LONG_PTR previous = GetWindowLongPtrW(dialog, GWLP_WNDPROC);
  // Without the property the procedure cannot be chained: leave the dialog as it is.
  if (!previous || !SetPropW(dialog, kPreviousProcedure, reinterpret_cast<HANDLE>(previous))) return;
  SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EscAnswersOk));
}

HRESULT CALLBACK TaskDialogEvents(HWND dialog, UINT notification, WPARAM, LPARAM,
                                  LONG_PTR owner) {
  if (notification == TDN_CREATED) {
    CentreOnWorkArea(dialog, reinterpret_cast<HWND>(owner));
    AnswerEscWithOk(dialog);
  }
  return S_OK;
}

void ShowTaskDialog(TaskDialogIndirectFn taskDialog, HWND owner, const std::wstring& title,
                    const std::wstring& text) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;  // Esc closes it like OK
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = title.c_str();
  config.pszContent = text.c_str();
  config.nDefaultButton = IDOK;
  config.pfCallback = &TaskDialogEvents;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(owner);
  const HRESULT result = taskDialog(&config, nullptr, nullptr, nullptr);
  if (FAILED(result)) {
    throw EError(u"The message dialog cannot be shown");
  }
}

}  // namespace

void ShowPlainMessage(HWND owner, const std::wstring& title, const std::wstring& text) {
  static const TaskDialogIndirectFn taskDialog = FindTaskDialog();
  if (taskDialog) {
    ShowTaskDialog(taskDialog, owner, title, text);
    return;
  }
  // Without task dialogs: a plain box with the same title, text and button.
  MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK);  // the answer is always OK
}

void ShowReportBox(HWND owner, const std::wstring& text, bool valid) {
  MessageBoxW(owner, text.c_str(), L"Отчет о проверке ",
              MB_OK | (valid ? MB_ICONINFORMATION : MB_ICONERROR));  // result ignored
}
