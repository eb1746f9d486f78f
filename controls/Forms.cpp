// The form and the application object (see Forms.h).
#include "controls/Forms.h"

#include <commctrl.h>
#include <ole2.h>

#include "controls/TabOrder.h"
#include "platform/Errors.h"

TApplication* Application = nullptr;

namespace {

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN |
                             WS_CLIPSIBLINGS;  // single fixed border, no maximise box
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
constexpr int kDesignDpi = 96;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

std::u16string ToU16(const char* s) {
  std::u16string out;
  for (; *s; ++s) out += static_cast<char16_t>(*s);
  return out;
}

// Returns the font description of the window font at dpi: Tahoma 8 pt.
LOGFONTW WindowFont(int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(8, dpi, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  return lf;
}

// Returns the font of the web link: MS Sans Serif 11 px (scaled), underlined.
LOGFONTW LinkFont(const Scaler& scaler) {
  LOGFONTW lf{};
  lf.lfHeight = -scaler.Scale(11);
  lf.lfWeight = FW_NORMAL;
  lf.lfUnderline = TRUE;
  lf.lfCharSet = RUSSIAN_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
  return lf;
}

// Returns true when the system gave font the face it was asked for.
bool HasFace(HDC dc, HFONT font, const wchar_t* face) {
  if (dc == nullptr || font == nullptr) return false;
  SelectGuard sel(dc, font);
  wchar_t actual[LF_FACESIZE] = L"";
  if (GetTextFaceW(dc, LF_FACESIZE, actual) == 0) return false;
  return lstrcmpiW(actual, face) == 0;
}

// Narrow face whose widths for our captions lie within a pixel of Tahoma's,
// for systems without Tahoma (Wine without its own fonts substitutes a much
// wider face, which would clip the labels sized for the design font).
constexpr wchar_t kFallbackFace[] = L"DejaVu Sans Condensed";

// Returns font, made from lf, when the system gave it lf's face; else the
// fallback face in the same height and style if the system has that; else
// font. Takes ownership of font.
HFONT WithFallback(HDC dc, HFONT font, const LOGFONTW& lf) {
  if (font == nullptr || HasFace(dc, font, lf.lfFaceName)) return font;
  LOGFONTW alt = lf;
  lstrcpynW(alt.lfFaceName, kFallbackFace, LF_FACESIZE);
  HFONT fallback = CreateFontIndirectW(&alt);
  if (fallback != nullptr && HasFace(dc, fallback, kFallbackFace)) {
    DeleteObject(font);
    return fallback;
  }
  if (fallback != nullptr) DeleteObject(fallback);
  return font;
}

// Returns the text height of font on dc.
int TextHeight(HDC dc, HFONT font) {
  if (dc == nullptr) return 0;
  SelectGuard sel(dc, font);
  TEXTMETRICW tm{};
  if (!GetTextMetricsW(dc, &tm)) return 0;
  return tm.tmHeight;
}

int ScreenDpi(HDC dc) {
  const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

}  // namespace

// ---- TForm -----------------------------------------------------------------------

TForm::TForm(const wchar_t* className, const LayoutRow* rows, std::size_t count)
    : className_(className), rows_(rows), count_(count) {}

TForm::~TForm() {
  hwnd_.reset();  // children go with the window, before their objects
}

TControl* TForm::Control(int id) const {
  const auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second;
}

TControl* TForm::ControlOf(HWND h) const {
  for (; h != nullptr && h != hwnd_.get(); h = GetParent(h)) {
    const auto it = byHwnd_.find(h);
    if (it != byHwnd_.end()) return it->second;
  }
  return nullptr;
}

void TForm::Handler(const char* name, TNotifyEvent fn) {
  handlers_.push_back({name, std::move(fn)});
}

void TForm::Create() {
  RegisterClassOnce();
  MakeFonts();
  const Rect client = ClientSize();
  RECT frame{0, 0, client.width, client.height};
  if (!AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle)) {
    throw EError(u"Cannot compute the window frame");
  }
  const HWND owner = Application != nullptr ? Application->Handle() : nullptr;
  const HWND hwnd = CreateWindowExW(kFormExStyle, className_, AsWideCaption(), kFormStyle,
                                    CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                    frame.bottom - frame.top, owner, nullptr, Instance(), this);
  if (hwnd == nullptr) throw EError(u"Cannot create the main window");
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  BuildControls();
  BindHandlers();
  AssignPublished();
  RunCreateHandler();
}

const wchar_t* TForm::AsWideCaption() const {
  return reinterpret_cast<const wchar_t*>(kFormCaption);
}

void TForm::RegisterClassOnce() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(Instance(), className_, &wc)) return;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &TForm::Proc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = Application != nullptr ? Application->Icon() : nullptr;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className_;
  if (RegisterClassExW(&wc) == 0) throw EError(u"Cannot register the main window's class");
}

void TForm::MakeFonts() {
  // One screen device context serves every measurement (each costs a round
  // trip to the window system), and the font asked for is kept when the
  // system gives its face.
  ScreenDC dc;
  const int dpi = ScreenDpi(dc.get());
  const LOGFONTW lf = WindowFont(dpi);
  HFONT requested = CreateFontIndirectW(&lf);
  if (requested == nullptr) throw EError(u"Cannot create the window font");
  // The scale follows the window font as the system gives "Tahoma".
  scaler_ = ScalerFor(dpi, TextHeight(dc.get(), requested), kDesignTextHeight);
  font_.reset(WithFallback(dc.get(), requested, lf));
  const LOGFONTW link = LinkFont(scaler_);
  linkFont_.reset(WithFallback(dc.get(), CreateFontIndirectW(&link), link));
  if (linkFont_.get() == nullptr) throw EError(u"Cannot create the link font");
}

Rect TForm::ClientSize() const {
  return {0, 0, scaler_.Scale(kFormClientWidth), scaler_.Scale(kFormClientHeight)};
}

std::unique_ptr<TControl> TForm::MakeControl(const LayoutRow& row) const {
  switch (row.kind) {
    case ControlKind::PageControl: return std::make_unique<TPageControl>(row);
    case ControlKind::Page: return std::make_unique<TTabSheet>(row);
    case ControlKind::GroupBox: return std::make_unique<TGroupBox>(row);
    case ControlKind::Panel: return std::make_unique<TPanel>(row);
    case ControlKind::Label: return std::make_unique<TLabel>(row);
    case ControlKind::LinkLabel: return std::make_unique<TLinkLabel>(row);
    case ControlKind::Edit: return std::make_unique<TEdit>(row);
    case ControlKind::Button: return std::make_unique<TButton>(row);
    case ControlKind::ComboBox: return std::make_unique<TComboBox>(row);
    case ControlKind::Image: return std::make_unique<TImage>(row);
  }
  throw EError(u"Unknown kind of control in the layout");
}

HWND TForm::ParentWindowOf(const LayoutRow& row) const {
  if (row.parent == kFormParent) return hwnd_.get();
  const TControl* parent = Control(row.parent);
  if (parent == nullptr) throw EError(u"Layout row before its parent: " + ToU16(row.name));
  return parent->Handle();
}

void TForm::BuildControls() {
  for (std::size_t i = 0; i < count_; ++i) {
    const LayoutRow& row = rows_[i];
    std::unique_ptr<TControl> control = MakeControl(row);
    const CreateContext ctx{ParentWindowOf(row),
                            scaler_.ScaleRect({row.left, row.top, row.width, row.height}),
                            font_.get(), linkFont_.get(), Instance()};
    control->Create(ctx);
    if (row.kind == ControlKind::Page) {
      auto* pc = dynamic_cast<TPageControl*>(Control(row.parent));
      if (pc == nullptr) throw EError(u"A page outside a page control: " + ToU16(row.name));
      pc->AddPage(static_cast<TTabSheet*>(control.get()));
    }
    byId_[row.id] = control.get();
    byHwnd_[control->Handle()] = control.get();
    controls_.push_back(std::move(control));
  }
  // The first page is active at every start.
  for (auto& c : controls_) {
    if (auto* pc = dynamic_cast<TPageControl*>(c.get())) {
      const int tabHeight = scaler_.Scale(kTabStripHeight);
      SendMessageW(pc->Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(0, tabHeight - 4));
      pc->SetActivePageIndex(0);
    }
  }
}

void TForm::BindHandlers() {
  for (std::size_t i = 0; i < count_; ++i) {
    const LayoutRow& row = rows_[i];
    if (row.handler == nullptr) continue;
    const NamedHandler* found = nullptr;
    for (const NamedHandler& h : handlers_) {
      if (std::string(h.name) == row.handler) found = &h;
    }
    if (found == nullptr) throw EError(u"No handler named " + ToU16(row.handler));
    Control(row.id)->Bind(found->fn);
  }
}

void TForm::AssignPublished() {
  for (const Published& p : publish_) {
    TControl* control = nullptr;
    for (std::size_t i = 0; i < count_; ++i) {
      if (std::string(rows_[i].name) == p.name) control = Control(rows_[i].id);
    }
    if (control == nullptr || !p.assign(control)) {
      throw EError(u"No control of the right kind for member " + ToU16(p.name));
    }
  }
}

void TForm::RunCreateHandler() {
  if (!OnCreate) return;
  // An exception here is shown once, and creation goes on.
  try {
    OnCreate(this);
  } catch (...) {
    ShowException(std::current_exception());
  }
}

void TForm::Show() {
  if (!shownOnce_) {
    shownOnce_ = true;
    RECT r;
    GetWindowRect(hwnd_.get(), &r);
    const Rect desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const Point at = CentreOnDesktop(desktop, r.right - r.left, r.bottom - r.top);
    SetWindowPos(hwnd_.get(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(hwnd_.get(), SW_SHOWNORMAL);  // returns the previous visibility
  SetForegroundWindow(hwnd_.get());        // refused when another program is in front
  if (GetFocus() == nullptr || !IsChild(hwnd_.get(), GetFocus())) {
    const std::vector<int> seq = FocusSequence(rows_, count_, 0);
    if (!seq.empty()) FocusControl(seq.front());
  }
}

void TForm::Close() { PostMessageW(hwnd_.get(), WM_CLOSE, 0, 0); }

int TForm::FocusedId() const {
  const TControl* c = ControlOf(GetFocus());
  return c != nullptr ? c->Id() : 0;
}

void TForm::FocusControl(int id) {
  if (const TControl* c = Control(id)) SetFocus(c->Handle());  // refused: focus stays
}

namespace {

int ActivePageOf(const std::vector<std::unique_ptr<TControl>>& controls) {
  for (const auto& c : controls) {
    if (auto* pc = dynamic_cast<const TPageControl*>(c.get())) return pc->ActivePageId();
  }
  return 0;
}

}  // namespace

void TForm::TabTo(bool backwards) {
  const std::vector<int> seq = FocusSequence(rows_, count_, ActivePageOf(controls_));
  int next = NextInSequence(seq, FocusedId(), backwards);
  // Skip controls that cannot take the focus now (disabled).
  for (std::size_t tries = 0; tries < seq.size() && next != 0; ++tries) {
    const TControl* c = Control(next);
    if (c != nullptr && IsWindowEnabled(c->Handle()) && IsWindowVisible(c->Handle())) break;
    next = NextInSequence(seq, next, backwards);
  }
  if (next != 0) FocusControl(next);
}

void TForm::SwitchPage(bool backwards) {
  for (auto& c : controls_) {
    auto* pc = dynamic_cast<TPageControl*>(c.get());
    if (pc == nullptr) continue;
    const int count = static_cast<int>(SendMessageW(pc->Handle(), TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    const int index = (pc->ActivePageIndex() + (backwards ? count - 1 : 1)) % count;
    pc->SetActivePageIndex(index);
    EnsureFocusVisible();
  }
}

void TForm::EnsureFocusVisible() {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsWindowVisible(focus)) return;
  const std::vector<int> seq = FocusSequence(rows_, count_, ActivePageOf(controls_));
  if (!seq.empty()) FocusControl(seq.front());
}

bool TForm::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != hwnd_.get() && !IsChild(hwnd_.get(), msg.hwnd)) return false;
  if (msg.wParam == VK_TAB && !KeyDown(VK_MENU)) {
    // A dropped-down list closes first, as the focus leaves the box.
    if (KeyDown(VK_CONTROL)) {
      SwitchPage(KeyDown(VK_SHIFT));
    } else {
      TabTo(KeyDown(VK_SHIFT));
    }
    return true;
  }
  if (msg.wParam == VK_RETURN) {
    // Enter presses the focused push button; elsewhere it does nothing.
    if (auto* b = dynamic_cast<TButton*>(ControlOf(msg.hwnd))) {
      SendMessageW(b->Handle(), BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

LRESULT CALLBACK TForm::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    auto* created = static_cast<TForm*>(cs->lpCreateParams);
    created->hwnd_.reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<TForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return Guarded([&] { return self->HandleMessage(msg, wp, lp); }, LRESULT{0});
}

LRESULT TForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND hwnd = hwnd_.get();
  switch (msg) {
    case WM_COMMAND: return OnCommand(wp, lp);
    case WM_NOTIFY: return OnNotify(lp);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: return OnCtlColor(msg, wp, lp);
    case WM_SETCURSOR:
      if (OnSetCursor(wp)) return TRUE;
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_ACTIVATE: return OnActivate(wp, lp);
    case WM_SYSCOMMAND: return OnSysCommand(wp, lp);
    case WM_CLOSE:
      // The main form's close ends the application; nothing asks, nothing is kept.
      if (Application != nullptr && Application->MainForm() == this) PostQuitMessage(0);
      else ShowWindow(hwnd, SW_HIDE);
      return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT TForm::OnCommand(WPARAM wp, LPARAM lp) {
  const HWND from = reinterpret_cast<HWND>(lp);
  if (from == nullptr) return 0;  // menus and accelerators: none here
  const auto it = byHwnd_.find(from);
  if (it != byHwnd_.end()) it->second->Command(HIWORD(wp));
  return 0;
}

LRESULT TForm::OnNotify(LPARAM lp) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
  const auto it = byHwnd_.find(hdr->hwndFrom);
  if (it == byHwnd_.end()) return 0;
  if (auto* pc = dynamic_cast<TPageControl*>(it->second)) {
    if (hdr->code == TCN_SELCHANGE) {
      pc->SelectionChanged();
      EnsureFocusVisible();
    }
  }
  return 0;
}

LRESULT TForm::OnCtlColor(UINT msg, WPARAM wp, LPARAM lp) {
  const auto it = byHwnd_.find(reinterpret_cast<HWND>(lp));
  if (it != byHwnd_.end()) {
    if (HBRUSH brush = it->second->CtlColor(reinterpret_cast<HDC>(wp))) {
      return reinterpret_cast<LRESULT>(brush);
    }
  }
  return DefWindowProcW(hwnd_.get(), msg, wp, lp);
}

bool TForm::OnSetCursor(WPARAM wp) {
  const TControl* c = ControlOf(reinterpret_cast<HWND>(wp));
  if (c == nullptr || !c->WantsHandCursor()) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

LRESULT TForm::OnActivate(WPARAM wp, LPARAM) {
  if (LOWORD(wp) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_.get(), focus)) savedFocus_ = focus;
    return 0;
  }
  if (HIWORD(wp) != 0) return 0;  // minimised: no focus to give
  if (savedFocus_ != nullptr && IsWindow(savedFocus_) && IsWindowVisible(savedFocus_)) {
    SetFocus(savedFocus_);
  } else {
    EnsureFocusVisible();
  }
  return 0;
}

LRESULT TForm::OnSysCommand(WPARAM wp, LPARAM lp) {
  if ((wp & 0xFFF0) == SC_MINIMIZE && Application != nullptr && Application->MainForm() == this) {
    Application->Minimize();
    return 0;
  }
  return DefWindowProcW(hwnd_.get(), WM_SYSCOMMAND, wp, lp);
}

// ---- TApplication ---------------------------------------------------------------------

// Returns the executable's file name without folder and extension: the
// application's title until the program sets its own, so that a message
// shown earlier in start-up still carries a caption.
namespace {
std::wstring ExecutableTitle() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"";  // no name to show: an empty caption
  std::wstring name(path, n);
  const std::size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return name;
}
}  // namespace

TApplication::TApplication() : title_(ExecutableTitle()) {
  oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  try {
    CreateHandle();
  } catch (...) {
    if (oleInitialized_) OleUninitialize();  // the destructor does not run
    throw;
  }
  Application = this;
}

void TApplication::CreateHandle() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&icc)) throw EError(u"Cannot initialise the common controls");
  icon_ = LoadIconW(Instance(), L"MAINICON");  // shared: the system frees it

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &TApplication::Proc;
  wc.hInstance = Instance();
  wc.hIcon = icon_;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"TApplication";
  if (RegisterClassExW(&wc) == 0) throw EError(u"Cannot register the application's class");
  // Zero size and never drawn; it carries the taskbar entry.
  const HWND hwnd = CreateWindowExW(
      0, L"TApplication", title_.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
      GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
      Instance(), this);
  if (hwnd == nullptr) throw EError(u"Cannot create the application window");
}

TApplication::~TApplication() {
  DestroyForms();
  hwnd_.reset();
  if (oleInitialized_) OleUninitialize();
  Application = nullptr;
}

void TApplication::DestroyForms() {
  mainForm_ = nullptr;
  while (!forms_.empty()) forms_.pop_back();  // last created goes first
}

void TApplication::SetTitle(const std::wstring& title) {
  title_ = title;
  SetWindowTextW(hwnd_.get(), title_.c_str());  // a refused text leaves the old one
}

int TApplication::Run() {
  if (mainForm_ != nullptr) {
    ShowWindow(hwnd_.get(), SW_SHOWNOACTIVATE);  // the taskbar entry appears
    mainForm_->Show();
  }
  MSG msg{};
  for (;;) {
    try {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0 || got == -1) break;  // the quit request, or no queue left
      if (mainForm_ != nullptr && mainForm_->PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
  DestroyForms();
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void TApplication::Minimize() { ShowWindow(hwnd_.get(), SW_MINIMIZE); }

void TApplication::Restore() {
  ShowWindow(hwnd_.get(), SW_RESTORE);
  ActivateMainForm();
}

void TApplication::ActivateMainForm() {
  if (mainForm_ == nullptr) return;
  HWND target = mainForm_->Handle();
  // While a message box is open the form is disabled: activate the box.
  const HWND popup = GetLastActivePopup(target);
  if (popup != nullptr && IsWindowVisible(popup) && IsWindowEnabled(popup)) target = popup;
  if (IsWindowVisible(target)) SetActiveWindow(target);
}

void TApplication::HandleException(const std::exception_ptr& e) { ShowException(e); }

LRESULT CALLBACK TApplication::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    auto* created = static_cast<TApplication*>(cs->lpCreateParams);
    created->hwnd_.reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return Guarded([&] { return self->HandleMessage(msg, wp, lp); }, LRESULT{0});
}

LRESULT TApplication::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND hwnd = hwnd_.get();
  switch (msg) {
    case WM_SYSCOMMAND:
      switch (wp & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return 0;
        case SC_RESTORE: Restore(); return 0;
        case SC_CLOSE:
          if (mainForm_ != nullptr) mainForm_->Close();
          return 0;
        default: return DefWindowProcW(hwnd, msg, wp, lp);
      }
    case WM_CLOSE:
      // The taskbar's Close: the main form closes, which ends the program.
      if (mainForm_ != nullptr) mainForm_->Close();
      return 0;
    case WM_SETFOCUS:
      ActivateMainForm();
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      ValidateRect(hwnd, nullptr);  // never drawn
      return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}
