// A small window with the program's window classes and a few of its control
// ids, on which the driver itself is tested: a tab strip (pc) with two tabs,
// an edit (Edit1), a button that shows an error message box (Button1), one
// that shows an information box (Button3), one that closes (Button6) and one
// that starts the help viewer through the shell (Button9) and one that shows
// a task dialog whose text has leading and trailing spaces (Button2).
// Tab moves the focus through the dialog manager. Exit code 0 on close.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "resources/ControlIds.h"

namespace {

HWND g_app = nullptr;

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x,
           int y, int w, int h) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void OnCreate(HWND hwnd) {
  HWND pc = Child(hwnd, WC_TABCONTROLW, L"", WS_TABSTOP, ID_pc, 0, 0, 553, 505);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"One");
  SendMessageW(pc, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  item.pszText = const_cast<wchar_t*>(L"Two ");
  SendMessageW(pc, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
  Child(hwnd, L"Edit", L"", WS_TABSTOP | WS_BORDER, ID_Edit1, 16, 60, 233, 21);
  Child(hwnd, L"Button", L" Проверить ", WS_TABSTOP, ID_Button1, 266, 58, 75, 25);
  Child(hwnd, L"Button", L"Info", WS_TABSTOP, ID_Button3, 266, 100, 75, 25);
  Child(hwnd, L"Button", L"Закрыть", WS_TABSTOP, ID_Button6, 465, 536, 75, 25);
  Child(hwnd, L"Button", L"Help", WS_TABSTOP, ID_Button9, 10, 536, 75, 25);
  Child(hwnd, L"Button", L"Task", WS_TABSTOP, ID_Button2, 266, 140, 75, 25);
}

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Shows a task dialog as the program's report box does; with no task dialog
// in the process the probe shows nothing, and the driver test says so.
void ShowTaskDialog(HWND owner) {
  HMODULE controls = GetModuleHandleW(L"comctl32.dll");
  auto taskDialog = controls ? reinterpret_cast<TaskDialogIndirectFn>(reinterpret_cast<void*>(
                                   GetProcAddress(controls, "TaskDialogIndirect")))
                             : nullptr;
  if (!taskDialog) return;
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = L"Tessarin";
  config.pszContent = L"   \u041f\u0440\u043e\u0432\u0435\u0440\u043a\u0430.   ";
  taskDialog(&config, nullptr, nullptr, nullptr);  // the driver reads what is shown
}

void OnCommand(HWND hwnd, int id) {
  if (id == ID_Button1) MessageBoxW(hwnd, L" error text ", L"Tessarin", MB_OK | MB_ICONERROR);
  if (id == ID_Button3) MessageBoxW(hwnd, L"info", L"Tessarin", MB_OK | MB_ICONINFORMATION);
  if (id == ID_Button2) ShowTaskDialog(hwnd);
  if (id == ID_Button6) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  if (id == ID_Button9)  // the result is not needed: the test looks for the process
    ShellExecuteW(nullptr, nullptr, L"hh.exe", L"HelpTessarin.chm", nullptr, SW_SHOWNORMAL);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: OnCreate(hwnd); return 0;
    case WM_COMMAND: OnCommand(hwnd, LOWORD(wp)); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

ATOM Register(const wchar_t* name, WNDPROC proc) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassW(&wc);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  InitCommonControls();
  if (!Register(kApplicationWindowClass, DefWindowProcW) || !Register(kMainWindowClass, WndProc))
    return 1;
  g_app = CreateWindowExW(0, kApplicationWindowClass, L"Tessarin", WS_POPUP, 0, 0, 0, 0, nullptr,
                          nullptr, nullptr, nullptr);
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r{0, 0, 553, 577};
  AdjustWindowRect(&r, style, FALSE);
  HWND main = CreateWindowExW(0, kMainWindowClass, L"Probe", style, 100, 100, r.right - r.left,
                              r.bottom - r.top, g_app, nullptr, nullptr, nullptr);
  if (!g_app || !main) return 1;
  ShowWindow(main, SW_SHOW);
  SetFocus(GetDlgItem(main, ID_pc));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyWindow(g_app);
  return static_cast<int>(msg.wParam);
}
