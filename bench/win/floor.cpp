// The floor programs the Windows benchmark measures the program against:
// the least a program must do to show what the program shows. One
// executable, one mode per measure (the first command-line word):
//   window      a window of the main window's client size and styles with a
//               four-tab tab control, shown centred: the start-up floor;
//   combo       the same window with one editable combo box holding
//               "Russian": the keystroke floor;
//   taskdialog  the same window with one push button whose click shows a
//               task dialog (title, text, OK): the check-command floor.
// The children carry the control ids of the program's own (ID_CmbBxLang,
// ID_Button1), so the benchmark finds them the same way in both.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "resources/ControlIds.h"

namespace {

enum class Mode { Window, Combo, TaskDialog };

constexpr wchar_t kClass[] = L"TessarinFloor";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr int kClientWidth = 553, kClientHeight = 577;

Mode g_mode = Mode::Window;

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y,
           int w, int h) {
  return CreateWindowExW(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                         nullptr);
}

void AddTabs(HWND parent) {
  HWND tabs = Child(parent, WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS, 1, 0, 0, kClientWidth, 505);
  const wchar_t* names[] = {L"Россия", L"Украина", L"Болгария", L"Настройки"};
  for (int i = 0; i < 4; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(names[i]);
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

void AddCombo(HWND parent) {
  HWND combo = Child(parent, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                     ID_CmbBxLang, 24, 40, 153, 200);
  const wchar_t* items[] = {L"Bulgarian", L"English", L"French", L"Russian", L"Ukrainian"};
  for (const wchar_t* item : items)
    SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item));
  SetWindowTextW(combo, L"Russian");
}

void ShowTaskDialog(HWND owner) {
  using Fn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
  // Looked up at run time, as the program does (common controls 6 only).
  const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "TaskDialogIndirect")));
  if (fn == nullptr) {
    MessageBoxW(owner, L"   Проверка пройдена.   ", L"Tessarin", MB_OK);
    return;
  }
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = L"Tessarin";
  config.pszContent = L"   Проверка пройдена.   ";
  fn(&config, nullptr, nullptr, nullptr);  // the button pressed does not matter here
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == ID_Button1 && HIWORD(wp) == BN_CLICKED) ShowTaskDialog(hwnd);
      return 0;
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

Mode ModeOf(const wchar_t* cmd) {
  if (std::wcsstr(cmd, L"taskdialog")) return Mode::TaskDialog;
  if (std::wcsstr(cmd, L"combo")) return Mode::Combo;
  return Mode::Window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR cmd, int) {
  g_mode = ModeOf(cmd);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);  // a failure shows in the window the benchmark waits for
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (RegisterClassExW(&wc) == 0) return 1;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);  // fails only for invalid styles
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  HWND hwnd = CreateWindowExW(0, kClass, L"Floor", kStyle, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr, nullptr, instance,
                              nullptr);
  if (hwnd == nullptr) return 1;
  switch (g_mode) {
    case Mode::Window: AddTabs(hwnd); break;
    case Mode::Combo: AddCombo(hwnd); break;
    case Mode::TaskDialog:
      Child(hwnd, L"BUTTON", L"Check", WS_TABSTOP | BS_PUSHBUTTON, ID_Button1, 266, 28, 71, 25);
      break;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
