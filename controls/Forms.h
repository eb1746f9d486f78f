// The form (a top-level window built from a layout table) and the
// application object (title, zero-size taskbar window, message loop,
// default exception display).
//
//   Application->CreateForm(&Form1);   // builds the window, runs FormCreate
//   Application->Run();                // shows it, loops until closed
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/Controls.h"
#include "controls/Handles.h"

class TForm : public TObject {
 public:
  TForm(const wchar_t* className, const LayoutRow* rows, std::size_t count);
  ~TForm() override;

  HWND Handle() const { return hwnd_.get(); }
  // Returns the control with this id, or nullptr.
  TControl* Control(int id) const;
  // Returns the control of the window h (or of one of its inner windows,
  // such as a combo box's edit), or nullptr.
  TControl* ControlOf(HWND h) const;
  template <class T>
  T* ControlAs(int id) const {
    return dynamic_cast<T*>(Control(id));
  }

  // Builds the window hidden: controls, handlers, published members, then
  // the create handler. Throws when the window cannot be built.
  void Create();
  // Shows and activates the window, placed on the desktop (first time only).
  void Show();
  // Asks the window to close (as the title bar's close button does).
  void Close();
  // Handles Tab and Shift+Tab (per the layout's keyboard order), Ctrl+Tab
  // and Enter on a focused button. Returns true when msg was consumed.
  bool PreTranslate(const MSG& msg);
  // Returns the id of the control that has the focus, or 0.
  int FocusedId() const;
  // Moves the focus to the control with this id.
  void FocusControl(int id);

  TNotifyEvent OnCreate;

 protected:
  // Binds a handler name of the layout table to a handler.
  void Handler(const char* name, TNotifyEvent fn);
  // Publishes a member: after the build, slot points at the named control.
  template <class T>
  void Publish(const char* name, T*& slot) {
    publish_.push_back({name, [&slot](TControl* c) {
                          slot = dynamic_cast<T*>(c);
                          return slot != nullptr;
                        }});
  }
  // Keeps a component that is no window for the form's lifetime.
  template <class T>
  T* Own(std::unique_ptr<T> component) {
    T* raw = component.get();
    components_.push_back(std::move(component));
    return raw;
  }

 private:
  struct Published {
    const char* name;
    std::function<bool(TControl*)> assign;
  };
  struct NamedHandler {
    const char* name;
    TNotifyEvent fn;
  };

  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnCommand(WPARAM wp, LPARAM lp);
  LRESULT OnNotify(LPARAM lp);
  LRESULT OnCtlColor(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnActivate(WPARAM wp, LPARAM lp);
  LRESULT OnSysCommand(WPARAM wp, LPARAM lp);
  bool OnSetCursor(WPARAM wp);

  const wchar_t* AsWideCaption() const;
  void RegisterClassOnce();
  void MakeFonts();
  void BuildControls();
  void BindHandlers();
  void AssignPublished();
  void RunCreateHandler();
  std::unique_ptr<TControl> MakeControl(const LayoutRow& row) const;
  HWND ParentWindowOf(const LayoutRow& row) const;
  Rect ClientSize() const;
  void TabTo(bool backwards);
  void SwitchPage(bool backwards);
  void EnsureFocusVisible();

  const wchar_t* className_;
  const LayoutRow* rows_;
  std::size_t count_;
  Scaler scaler_;
  GdiObject<HFONT> font_;
  GdiObject<HFONT> linkFont_;
  std::vector<std::unique_ptr<TObject>> components_;
  std::vector<std::unique_ptr<TControl>> controls_;
  std::map<int, TControl*> byId_;
  std::map<HWND, TControl*> byHwnd_;
  std::vector<Published> publish_;
  std::vector<NamedHandler> handlers_;
  HWND savedFocus_ = nullptr;
  bool shownOnce_ = false;
  WindowHandle hwnd_;  // last member: the window goes before the controls
};

class TApplication {
 public:
  // Initialises OLE, loads MAINICON and creates the zero-size application
  // window that carries the taskbar entry.
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  void Initialize() {}
  HWND Handle() const { return hwnd_.get(); }
  HICON Icon() const { return icon_; }
  const std::wstring& Title() const { return title_; }
  void SetTitle(const std::wstring& title);
  TForm* MainForm() const { return mainForm_; }

  // Creates a form of type T: *ref is set before the form is built and
  // reset to null when building fails; the first form is the main form.
  template <class T>
  void CreateForm(T** ref) {
    auto form = std::make_unique<T>();
    *ref = form.get();
    try {
      form->Create();
    } catch (...) {
      *ref = nullptr;
      throw;
    }
    if (mainForm_ == nullptr) mainForm_ = form.get();
    forms_.push_back(std::move(form));
  }

  // Shows the main form and runs the message loop until the quit request;
  // returns its exit code. Exceptions reach the default display.
  int Run();
  // Minimises the application (the main form hides with it) and restores it.
  void Minimize();
  void Restore();
  // The default exception display for the current exception.
  void HandleException(const std::exception_ptr& e);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Initialises the common controls, loads the icon, creates the window.
  void CreateHandle();
  void ActivateMainForm();
  void DestroyForms();

  bool oleInitialized_ = false;
  HICON icon_ = nullptr;  // shared resource icon: not destroyed
  std::wstring title_;
  TForm* mainForm_ = nullptr;
  std::vector<std::unique_ptr<TForm>> forms_;
  WindowHandle hwnd_;
};

// The application object, set while it exists.
extern TApplication* Application;

// Shows the current exception by the default exception display; safe to
// call from any handler's catch (...), and never throws.
void ShowException(const std::exception_ptr& e) noexcept;

// Runs f and routes any exception it lets escape to the default display;
// returns f's result, or fallback after an exception.
template <class F, class R>
R Guarded(F&& f, R fallback) noexcept {
  try {
    return f();
  } catch (...) {
    ShowException(std::current_exception());
    return fallback;
  }
}
