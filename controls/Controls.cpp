// The controls of the component layer (see Controls.h).
#include "controls/Controls.h"

#include <commctrl.h>

#include "controls/Forms.h"
#include "platform/Errors.h"

namespace {

const wchar_t* AsWide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

std::u16string ToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

// Throws the error for a window the system refused to create.
[[noreturn]] void ThrowCreateFailed(const char* name) {
  std::u16string n;
  for (const char* p = name; *p; ++p) n += static_cast<char16_t>(*p);
  throw EError(FormatText(u"Cannot create control \"%s\" (error %s)",
                          {n, ToU16(std::to_wstring(GetLastError()))}));
}

// Returns the size of text drawn with font, one line.
SIZE TextExtent(HWND hwnd, HFONT font, const std::wstring& text) {
  SIZE size{0, 0};
  HDC dc = GetDC(hwnd);
  if (dc == nullptr) return size;
  {
    SelectGuard sel(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    size = {r.right - r.left, r.bottom - r.top};
  }
  ReleaseDC(hwnd, dc);
  return size;
}

HBRUSH FaceBrush() { return GetSysColorBrush(COLOR_BTNFACE); }

}  // namespace

// ---- Window procedures of our own over system controls -------------------------
//
// Plain window-procedure subclassing, the control found again through the
// window's user data (which system controls leave to their owner). Not
// SetWindowSubclass: that keeps its data in a window property, which Wine
// fetches from its server on every message the window receives, some two
// dozen round trips per keystroke in an edit.

WNDPROC HookWindowProc(HWND hwnd, WNDPROC proc, void* owner) {
  SetLastError(0);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  if (GetLastError() != 0) return nullptr;
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

// Returns the result of the window's previous procedure; on the last
// message the previous procedure is put back first.
LRESULT CallPreviousProc(WNDPROC previous, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));  // last message: nothing to check
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  return CallWindowProcW(previous, hwnd, msg, wp, lp);
}

// ---- TControl ---------------------------------------------------------------

std::wstring WindowText(HWND hwnd) {
  // Captions are short: one message into a buffer on the stack, and the
  // length asked for only when the text may not have fitted.
  wchar_t small[256];
  const int fitted = GetWindowTextW(hwnd, small, 256);
  if (fitted < 255) return std::wstring(small, fitted > 0 ? static_cast<std::size_t>(fitted) : 0);
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

std::wstring TControl::Caption() const { return WindowText(hwnd_); }

void TControl::SetCaption(const std::wstring& text) {
  SetWindowTextW(hwnd_, text.c_str());  // a refused text leaves the old one
}

void TControl::Bind(const TNotifyEvent&) {
  throw EError(u"This kind of control raises no event");
}

void TControl::CreateWindowOf(const wchar_t* cls, DWORD style, DWORD exStyle,
                              const CreateContext& ctx) {
  hwnd_ = CreateWindowExW(exStyle, cls, AsWide(row_.caption), style | WS_CHILD, ctx.rect.left,
                          ctx.rect.top, ctx.rect.width, ctx.rect.height, ctx.parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(row_.id)), ctx.instance,
                          nullptr);
  if (hwnd_ == nullptr) ThrowCreateFailed(row_.name);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.font), FALSE);
}

// ---- TPageControl -------------------------------------------------------------

void TPageControl::Create(const CreateContext& ctx) {
  CreateWindowOf(WC_TABCONTROLW, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                     TCS_FOCUSONBUTTONDOWN,
                 0, ctx);
}

void TPageControl::AddPage(TTabSheet* page) {
  std::wstring text = page->Caption();
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  const int index = static_cast<int>(pages_.size());
  if (SendMessageW(hwnd_, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)) < 0) {
    throw EError(u"Cannot add a page to the page control");
  }
  pages_.push_back(page);
  page->SetPageControl(this);
}

void TPageControl::SetActivePageIndex(int index) {
  SendMessageW(hwnd_, TCM_SETCURSEL, index, 0);  // returns the previous selection
  SelectionChanged();
}

int TPageControl::ActivePageIndex() const {
  return static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0));
}

int TPageControl::ActivePageId() const {
  const int index = ActivePageIndex();
  if (index < 0 || index >= static_cast<int>(pages_.size())) return 0;
  return pages_[static_cast<std::size_t>(index)]->Id();
}

void TPageControl::SelectionChanged() {
  const int active = ActivePageIndex();
  // Show the new page before hiding the others, so the area never flashes.
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (static_cast<int>(i) == active) ShowWindow(pages_[i]->Handle(), SW_SHOW);
  }
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (static_cast<int>(i) != active) ShowWindow(pages_[i]->Handle(), SW_HIDE);
  }
}

void TPageControl::SetTabText(const TTabSheet* page, const std::wstring& text) {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i] != page) continue;
    std::wstring copy = text;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = copy.data();
    SendMessageW(hwnd_, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));  // FALSE: tab stays
  }
}

// ---- Containers ---------------------------------------------------------------

void TWinContainer::CreateContainer(const wchar_t* cls, DWORD style, const CreateContext& ctx) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(ctx.instance, cls, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TWinContainer::Proc;
    wc.hInstance = ctx.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls;
    if (RegisterClassExW(&wc) == 0) ThrowCreateFailed(Row().name);
  }
  font_ = ctx.font;
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, cls, AsWide(Row().caption),
                          style | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, ctx.rect.left,
                          ctx.rect.top, ctx.rect.width, ctx.rect.height, ctx.parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id())), ctx.instance, this);
  if (hwnd_ == nullptr) ThrowCreateFailed(Row().name);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.font), FALSE);
}

LRESULT CALLBACK TWinContainer::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    auto* created = static_cast<TWinContainer*>(cs->lpCreateParams);
    created->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<TWinContainer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  return Guarded([&] { return self->HandleMessage(msg, wp, lp); }, LRESULT{0});
}

LRESULT TWinContainer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      // The form decides for every control, wherever it sits.
      return SendMessageW(GetAncestor(hwnd_, GA_ROOT), msg, wp, lp);
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
      InvalidateRect(hwnd_, nullptr, TRUE);  // the caption is drawn by Paint
      return r;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      if (dc != nullptr) {
        RECT client;
        GetClientRect(hwnd_, &client);
        Paint(dc, client);
        EndPaint(hwnd_, &ps);
      }
      return 0;
    }
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void TTabSheet::Create(const CreateContext& ctx) { CreateContainer(L"TTabSheet", 0, ctx); }

void TTabSheet::SetCaption(const std::wstring& text) {
  TControl::SetCaption(text);
  if (pc_ != nullptr) pc_->SetTabText(this, text);
}

void TGroupBox::Create(const CreateContext& ctx) {
  CreateContainer(L"TGroupBox", WS_VISIBLE, ctx);
}

void TGroupBox::SetCaption(const std::wstring& text) { TControl::SetCaption(text); }

void TGroupBox::Paint(HDC dc, const RECT& client) {
  SelectGuard sel(dc, font_);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  RECT frame = client;
  frame.top = tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::wstring text = Caption();
  if (text.empty()) return;
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  RECT textRect{8, 0, client.right - 8, tm.tmHeight};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
            DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

void TPanel::Create(const CreateContext& ctx) { CreateContainer(L"TPanel", WS_VISIBLE, ctx); }

void TPanel::Paint(HDC dc, const RECT& client) {
  RECT r = client;
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);  // a raised edge one pixel wide
}

// ---- Labels -----------------------------------------------------------------------

void TLabel::Create(const CreateContext& ctx) {
  font_ = ctx.font;
  // The layout gives the size of the built-in caption in the design font;
  // a caption set later sizes the label to itself.
  CreateWindowOf(L"STATIC", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, ctx);
}

void TLabel::SetCaption(const std::wstring& text) {
  TControl::SetCaption(text);
  FitToCaption();
}

void TLabel::FitToCaption() {
  // The label's size is that of its caption in its font; the position stays.
  const SIZE size = TextExtent(hwnd_, font_, Caption());
  if (size.cx <= 0 || size.cy <= 0) return;  // nothing measured: keep the layout's size
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH TLabel::CtlColor(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return FaceBrush();
}

void TLinkLabel::Create(const CreateContext& ctx) {
  font_ = ctx.linkFont;
  CreateWindowOf(L"STATIC", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, ctx);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.linkFont), FALSE);
}

void TLinkLabel::Command(WORD code) {
  if (code == STN_CLICKED && OnClick) OnClick(this);
}

HBRUSH TLinkLabel::CtlColor(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 255));
  return FaceBrush();
}

// ---- TEdit ------------------------------------------------------------------------

void TEdit::Create(const CreateContext& ctx) {
  CreateWindowOf(L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE,
                 ctx);
  SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);  // 0: the largest length, no limit of ours
  previous_ = HookWindowProc(hwnd_, &TEdit::Proc, this);
  if (previous_ == nullptr) ThrowCreateFailed(Row().name);
}

LRESULT CALLBACK TEdit::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TEdit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_LBUTTONDOWN: {
      // A click that gives the focus places the caret; it selects nothing.
      self->mouseDown_ = true;
      const LRESULT r = CallWindowProcW(self->previous_, hwnd, msg, wp, lp);
      self->mouseDown_ = false;
      return r;
    }
    case WM_SETFOCUS: {
      const LRESULT r = CallWindowProcW(self->previous_, hwnd, msg, wp, lp);
      if (!self->mouseDown_) SendMessageW(hwnd, EM_SETSEL, 0, -1);
      return r;
    }
    default:
      return CallPreviousProc(self->previous_, hwnd, msg, wp, lp);
  }
}

// ---- TButton ------------------------------------------------------------------------

void TButton::Create(const CreateContext& ctx) {
  CreateWindowOf(L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, ctx);
}

void TButton::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick(this);
}

// ---- TComboBox ------------------------------------------------------------------------

void TComboBox::Create(const CreateContext& ctx) {
  CreateWindowOf(WC_COMBOBOXW, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN |
                                   CBS_AUTOHSCROLL,
                 0, ctx);
  // Eight rows drop down: the list's height is set from the row height (the
  // window's height is the dropped-down height), and common controls 6 is
  // told the same; the edit field keeps one text line of its font.
  const LRESULT field = SendMessageW(hwnd_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  const LRESULT row = SendMessageW(hwnd_, CB_GETITEMHEIGHT, 0, 0);
  if (field != CB_ERR && row != CB_ERR) {
    const int dropped = static_cast<int>(field + 8 * row) + 2 * GetSystemMetrics(SM_CYEDGE) + 2;
    SetWindowPos(hwnd_, nullptr, 0, 0, ctx.rect.width, dropped,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);  // refused: the layout's height
  }
  SendMessageW(hwnd_, CB_SETMINVISIBLE, 8, 0);  // FALSE before common controls 6: nothing to do
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!GetComboBoxInfo(hwnd_, &info) || info.hwndItem == nullptr) ThrowCreateFailed(Row().name);
  editPrevious_ = HookWindowProc(info.hwndItem, &TComboBox::EditProc, this);
  if (editPrevious_ == nullptr) ThrowCreateFailed(Row().name);
}

LRESULT CALLBACK TComboBox::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TComboBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_KEYDOWN && wp == VK_RETURN) self->Commit();  // Enter validates the typed text
  return CallPreviousProc(self->editPrevious_, hwnd, msg, wp, lp);
}

void TComboBox::Command(WORD code) {
  switch (code) {
    case CBN_EDITCHANGE:
      Edited();
      break;
    case CBN_SELCHANGE:
      Picked();
      break;
    case CBN_KILLFOCUS:
      Commit();  // at the latest on focus loss the typed text is accepted
      break;
    default:
      break;
  }
}

void TComboBox::Edited() {
  if (settingText_) return;  // our own assignment: handled where it is made
  const std::wstring text = Text();
  if (text == notified_) return;  // the field repeated a notification: no change
  notified_ = text;
  RaiseChange();
}

void TComboBox::Picked() {
  // The field takes the picked text only after this notification: the box
  // commits the entry, puts it into the field itself, then notifies once.
  const LRESULT index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return;
  std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
  if (got == CB_ERR) return;
  item.resize(static_cast<std::size_t>(got));
  if (item == Text()) return;  // the entry shown already: nothing happens
  committed_ = item;
  ShowText(item);
  notified_ = item;
  RaiseChange();
}

void TComboBox::SetText(const std::wstring& text) {
  if (text == Text()) return;
  ShowText(text);
  notified_ = text;
  // The text is accepted once the handler has run, also when it raised.
  try {
    RaiseChange();
  } catch (...) {
    committed_ = text;
    throw;
  }
  committed_ = text;
}

void TComboBox::ShowText(const std::wstring& text) {
  settingText_ = true;
  SetWindowTextW(hwnd_, text.c_str());  // a refused text leaves the old one
  settingText_ = false;
}

void TComboBox::ClearItems() { SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }

void TComboBox::AddItem(const std::wstring& item) {
  // Appended at the end: CB_ADDSTRING would sort a sorted box; this one keeps
  // the order and the repeats it is given.
  const LRESULT r =
      SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
  if (r == CB_ERR || r == CB_ERRSPACE) throw EError(u"Cannot add an item to the combo box");
}

std::vector<std::wstring> TComboBox::Items() const {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(hwnd_, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, i, 0);
    if (length == CB_ERR) continue;
    std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(hwnd_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(length));
    items.push_back(std::move(item));
  }
  return items;
}

void TComboBox::RaiseChange() {
  if (OnChange) OnChange(this);
}

// ---- TImage ------------------------------------------------------------------------

void TImage::Create(const CreateContext& ctx) {
  CreateWindowOf(L"STATIC", WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, 0, ctx);
  icon_ = static_cast<HICON>(LoadImageW(ctx.instance, L"MAINICON", IMAGE_ICON, 32, 32, 0));
  if (icon_ != nullptr) SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
  // The picture's natural size; the static may have resized itself.
  SetWindowPos(hwnd_, nullptr, ctx.rect.left, ctx.rect.top, 32, 32,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

TImage::~TImage() {
  if (icon_ != nullptr) DestroyIcon(icon_);  // loaded without LR_SHARED: ours to free
}
