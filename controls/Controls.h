// The component layer of the main window over Win32 common controls v6:
// one small class per kind of control in the layout table.
//
//   TButton* b = form.ControlAs<TButton>(ID_Button6);
//   b->OnClick = [](TObject*) { ... };
//
// Every control is a real child window whose control id is its ControlId.
// Containers (pages, group boxes, the panel) forward WM_COMMAND, WM_NOTIFY
// and WM_CTLCOLOR* to the form, which hands them to the control concerned.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/Scaling.h"
#include "resources/Layout.h"

// Makes proc the window procedure of hwnd, with owner as the window's user
// data; returns the previous procedure, or nullptr when that fails.
WNDPROC HookWindowProc(HWND hwnd, WNDPROC proc, void* owner);
// Returns what the previous procedure gives for the message; it is put back
// on WM_NCDESTROY.
LRESULT CallPreviousProc(WNDPROC previous, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Returns the text of a window (its caption, an edit's content).
std::wstring WindowText(HWND hwnd);

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// An event handler: the sender is the control that raised it.
using TNotifyEvent = std::function<void(TObject*)>;

// What a control needs from the form while it is created.
struct CreateContext {
  HWND parent;        // parent window
  Rect rect;          // scaled position and size
  HFONT font;         // the window font
  HFONT linkFont;     // the font of link labels
  HINSTANCE instance;
};

class TControl : public TObject {
 public:
  explicit TControl(const LayoutRow& row) : row_(row) {}

  // Returns the control's window.
  HWND Handle() const { return hwnd_; }
  const LayoutRow& Row() const { return row_; }
  int Id() const { return row_.id; }

  // Returns the caption (the window text).
  std::wstring Caption() const;
  // Sets the caption; controls that size themselves to it do so.
  virtual void SetCaption(const std::wstring& text);

  // Creates the window; throws EError when the system refuses.
  virtual void Create(const CreateContext& ctx) = 0;
  // Binds the control's event (click or change) to a handler.
  virtual void Bind(const TNotifyEvent& handler);
  // Handles a WM_COMMAND notification code sent by the control.
  virtual void Command(WORD /*code*/) {}
  // Returns the brush for WM_CTLCOLOR*, or nullptr for the default.
  virtual HBRUSH CtlColor(HDC /*dc*/) { return nullptr; }
  // Returns true when the mouse pointer over the control is a hand.
  virtual bool WantsHandCursor() const { return false; }

 protected:
  // Creates the window of a system class with the control's id and caption.
  void CreateWindowOf(const wchar_t* cls, DWORD style, DWORD exStyle, const CreateContext& ctx);
  HWND hwnd_ = nullptr;

 private:
  const LayoutRow& row_;
};

// Page control: the tab strip (SysTabControl32); the pages are its children.
class TPageControl : public TControl {
 public:
  using TControl::TControl;
  void Create(const CreateContext& ctx) override;
  // Adds a page in order; its tab shows caption.
  void AddPage(class TTabSheet* page);
  // Makes page index the active one: its tab is selected, only it is shown.
  void SetActivePageIndex(int index);
  int ActivePageIndex() const;
  // Returns the control id of the active page, or 0.
  int ActivePageId() const;
  // Called by the form on TCN_SELCHANGE: shows the page of the selected tab.
  void SelectionChanged();
  // Sets the text of a page's tab.
  void SetTabText(const TTabSheet* page, const std::wstring& text);

 private:
  std::vector<TTabSheet*> pages_;
};

// Containers: a window class of ours that forwards to the form.
class TWinContainer : public TControl {
 public:
  using TControl::TControl;

 protected:
  void CreateContainer(const wchar_t* cls, DWORD style, const CreateContext& ctx);
  // Paints the container's own decoration (background is the class brush).
  virtual void Paint(HDC /*dc*/, const RECT& /*client*/) {}
  HFONT font_ = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
};

class TTabSheet : public TWinContainer {
 public:
  using TWinContainer::TWinContainer;
  void Create(const CreateContext& ctx) override;
  void SetCaption(const std::wstring& text) override;
  void SetPageControl(TPageControl* pc) { pc_ = pc; }

 private:
  TPageControl* pc_ = nullptr;
};

class TGroupBox : public TWinContainer {
 public:
  using TWinContainer::TWinContainer;
  void Create(const CreateContext& ctx) override;
  void SetCaption(const std::wstring& text) override;

 protected:
  void Paint(HDC dc, const RECT& client) override;
};

class TPanel : public TWinContainer {
 public:
  using TWinContainer::TWinContainer;
  void Create(const CreateContext& ctx) override;

 protected:
  void Paint(HDC dc, const RECT& client) override;
};

// Static text: created at the layout's size (its built-in caption in the
// design font); sizes itself to each caption set later.
class TLabel : public TControl {
 public:
  using TControl::TControl;
  void Create(const CreateContext& ctx) override;
  void SetCaption(const std::wstring& text) override;
  HBRUSH CtlColor(HDC dc) override;

 protected:
  // Sizes the label to its caption.
  void FitToCaption();
  HFONT font_ = nullptr;
};

// A label drawn as a web link that raises OnClick.
class TLinkLabel : public TLabel {
 public:
  using TLabel::TLabel;
  void Create(const CreateContext& ctx) override;
  void Bind(const TNotifyEvent& handler) override { OnClick = handler; }
  void Command(WORD code) override;
  HBRUSH CtlColor(HDC dc) override;
  bool WantsHandCursor() const override { return true; }
  TNotifyEvent OnClick;
};

// Single-line edit that selects its whole text when it receives the focus
// other than by a mouse click.
class TEdit : public TControl {
 public:
  using TControl::TControl;
  void Create(const CreateContext& ctx) override;
  std::wstring Text() const { return Caption(); }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  WNDPROC previous_ = nullptr;
  bool mouseDown_ = false;
};

class TButton : public TControl {
 public:
  using TControl::TControl;
  void Create(const CreateContext& ctx) override;
  void Bind(const TNotifyEvent& handler) override { OnClick = handler; }
  void Command(WORD code) override;
  TNotifyEvent OnClick;
};

// Editable drop-down combo box with a change notification and a committed
// value. The order of events:
// - a pick from the list of an entry other than the text commits the entry,
//   then changes the text to it, then raises OnChange once;
// - typing, deleting and pasting raise OnChange once per change of the text
//   and commit nothing;
// - Enter and the loss of the focus commit the text shown, without OnChange;
// - SetText with another text changes it, raises OnChange, and commits the
//   text once the handler has returned;
// - a pick or SetText of the text already shown raises nothing.
// The list keeps the order and the repeats of AddItem; eight rows drop down.
class TComboBox : public TControl {
 public:
  using TControl::TControl;
  void Create(const CreateContext& ctx) override;
  void Bind(const TNotifyEvent& handler) override { OnChange = handler; }
  void Command(WORD code) override;

  std::wstring Text() const { return Caption(); }
  // Sets the text and raises OnChange when it differs from the current one.
  void SetText(const std::wstring& text);
  void ClearItems();
  void AddItem(const std::wstring& item);
  std::vector<std::wstring> Items() const;
  // Returns the value the box last accepted; empty until the first one.
  const std::wstring& CommittedValue() const { return committed_; }
  // Accepts the text shown as the committed value; raises nothing.
  void Commit() { committed_ = Text(); }

  TNotifyEvent OnChange;

 private:
  static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
  void Picked();
  void Edited();
  // Puts text into the field without the field's own notification.
  void ShowText(const std::wstring& text);
  void RaiseChange();
  WNDPROC editPrevious_ = nullptr;  // of the edit field
  std::wstring committed_;
  std::wstring notified_;  // the text of the last OnChange (or the first text)
  bool settingText_ = false;
};

// The program icon MAINICON at 32 x 32.
class TImage : public TControl {
 public:
  using TControl::TControl;
  void Create(const CreateContext& ctx) override;
  ~TImage() override;

 private:
  HICON icon_ = nullptr;
};

// A component without run-time behaviour: the program carries the manifest.
class TXPManifest : public TObject {};
