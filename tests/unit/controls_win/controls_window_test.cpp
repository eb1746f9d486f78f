// The component layer in a real window: a form built from the main layout
// table in this process, its controls, the Tab order of each page, edits
// that select all on keyboard focus, and the default exception display.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "controls/Forms.h"
#include "controls/TabOrder.h"
#include "platform/Errors.h"
#include "resources/Layout.h"

namespace {

// A form over the main layout whose handlers count their calls or throw.
class TTestForm : public TForm {
 public:
  TTestForm() : TForm(L"TTestForm", kMainLayout, kMainLayoutCount) {
    for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
      if (const char* name = kMainLayout[i].handler) {
        Handler(name, [this, name](TObject*) {
          ++calls;
          lastHandler = name;
          if (throwing) throwing();
        });
      }
    }
  }
  int calls = 0;
  std::string lastHandler;
  std::function<void()> throwing;
};

TTestForm* g_form = nullptr;

class WindowEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    app_->SetTitle(L"Tessarin");
    app_->CreateForm(&g_form);
    g_form->Show();
    Pump();
  }
  void TearDown() override { app_.reset(); }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (g_form->PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

 private:
  std::unique_ptr<TApplication> app_;
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new WindowEnvironment);

HWND Hwnd(int id) { return g_form->Control(id)->Handle(); }

std::wstring TextOf(HWND h) {
  wchar_t buf[512] = L"";
  GetWindowTextW(h, buf, 512);
  return buf;
}

TEST(FormBuild, EveryControlIsAChildWindowWithItsIdParentRectAndCaption) {
  EXPECT_EQ(TextOf(g_form->Handle()), L"Tessarin");
  RECT client;
  GetClientRect(g_form->Handle(), &client);
  EXPECT_EQ(client.right, kFormClientWidth);
  EXPECT_EQ(client.bottom, kFormClientHeight);
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    const LayoutRow& row = kMainLayout[i];
    SCOPED_TRACE(row.name);
    const HWND h = Hwnd(row.id);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetDlgCtrlID(h), row.id);
    const HWND parent = row.parent == kFormParent ? g_form->Handle() : Hwnd(row.parent);
    EXPECT_EQ(GetParent(h), parent);
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, row.left);
    EXPECT_EQ(r.top, row.top);
    EXPECT_EQ(r.right - r.left, row.width);
    if (row.kind != ControlKind::ComboBox) {
      EXPECT_EQ(r.bottom - r.top, row.height);
    }
    if (row.kind != ControlKind::ComboBox && row.kind != ControlKind::Image) {
      EXPECT_EQ(TextOf(h), reinterpret_cast<const wchar_t*>(row.caption)) << "exact caption";
    }
  }
}

TEST(FormBuild, EditsStartEmptyWithoutALengthLimit) {
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    if (kMainLayout[i].kind != ControlKind::Edit) continue;
    const HWND edit = Hwnd(kMainLayout[i].id);
    EXPECT_EQ(GetWindowTextLengthW(edit), 0) << kMainLayout[i].name;
    EXPECT_GT(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFF) << kMainLayout[i].name;
  }
  // A text longer than the system's default limit goes in whole.
  const HWND edit = Hwnd(ID_Edit1);
  const std::wstring longText(40000, L'7');
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longText.c_str()));
  EXPECT_EQ(GetWindowTextLengthW(edit), 40000);
  SetWindowTextW(edit, L"");
}

// Text is read into a small buffer first; lengths around its size and far
// beyond it come back whole, in an edit, a label and the language box.
TEST(FormBuild, TextsOfEveryLengthAreReadWhole) {
  const int controls[] = {ID_Edit1, ID_Label1, ID_CmbBxLang};
  const std::size_t lengths[] = {0, 1, 254, 255, 256, 257, 5000};
  for (const int id : controls) {
    TControl* control = g_form->Control(id);
    ASSERT_NE(control, nullptr);
    const std::wstring before = control->Caption();
    for (const std::size_t n : lengths) {
      std::wstring text(n, L'x');
      if (n > 0) text.back() = L'Z';  // the last character must arrive too
      SetWindowTextW(control->Handle(), text.c_str());
      EXPECT_EQ(control->Caption(), text) << control->Row().name << ", " << n << " characters";
    }
    SetWindowTextW(control->Handle(), before.c_str());
  }
}

TEST(FormBuild, TabsShowThePageCaptionsAndTheFirstPageIsActive) {
  const HWND pc = Hwnd(ID_pc);
  const int pages[] = {ID_tsRus, ID_tsUkr, ID_tsBulg, ID_tsOptions};
  ASSERT_EQ(SendMessageW(pc, TCM_GETITEMCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) {
    wchar_t text[64] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(pc, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(text), TextOf(Hwnd(pages[i])));
    EXPECT_EQ(IsWindowVisible(Hwnd(pages[i])) != FALSE, i == 0) << "only the active page shows";
  }
}

TEST(FormBuild, ApplicationWindowOwnsTheFormAndHasNoSize) {
  const HWND app = GetWindow(g_form->Handle(), GW_OWNER);
  ASSERT_NE(app, nullptr);
  wchar_t cls[64] = L"";
  GetClassNameW(app, cls, 64);
  EXPECT_STREQ(cls, L"TApplication");
  EXPECT_EQ(TextOf(app), L"Tessarin");
  RECT r;
  GetWindowRect(app, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
}

// Presses Tab (or Shift+Tab) as the message loop sees it.
void PressTab(bool shift) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_TRUE(g_form->PreTranslate(msg));
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  WindowEnvironment::Pump();
}

TEST(Keyboard, TabAndShiftTabFollowEachPagesSequenceAndWrap) {
  auto* pc = g_form->ControlAs<TPageControl>(ID_pc);
  const int pages[] = {ID_tsRus, ID_tsUkr, ID_tsBulg, ID_tsOptions};
  for (int index = 0; index < 4; ++index) {
    pc->SetActivePageIndex(index);
    const std::vector<int> seq = FocusSequence(kMainLayout, kMainLayoutCount, pages[index]);
    g_form->FocusControl(ID_pc);
    WindowEnvironment::Pump();
    ASSERT_EQ(g_form->FocusedId(), ID_pc);
    for (std::size_t i = 1; i <= seq.size(); ++i) {
      PressTab(false);
      EXPECT_EQ(g_form->FocusedId(), seq[i % seq.size()]) << "page " << index << " step " << i;
    }
    for (std::size_t i = seq.size(); i-- > 0;) {
      PressTab(true);
      EXPECT_EQ(g_form->FocusedId(), seq[i]) << "page " << index << " back to " << i;
    }
  }
  pc->SetActivePageIndex(0);
}

TEST(Keyboard, PageChangeThatHidesTheFocusMovesItToTheTabStrip) {
  auto* pc = g_form->ControlAs<TPageControl>(ID_pc);
  pc->SetActivePageIndex(0);
  g_form->FocusControl(ID_Edit3);
  WindowEnvironment::Pump();
  ASSERT_EQ(g_form->FocusedId(), ID_Edit3);
  // The tab strip's own arrow key: it selects the next tab and notifies.
  SendMessageW(Hwnd(ID_pc), WM_KEYDOWN, VK_RIGHT, 0);
  WindowEnvironment::Pump();
  EXPECT_EQ(pc->ActivePageId(), ID_tsUkr);
  EXPECT_TRUE(IsWindowVisible(Hwnd(ID_tsUkr)));
  EXPECT_FALSE(IsWindowVisible(Hwnd(ID_tsRus)));
  EXPECT_EQ(g_form->FocusedId(), ID_pc) << "Edit3 went out of sight";

  // Ctrl+Tab and Ctrl+Shift+Tab change the page, wrapping.
  BYTE keys[256];
  GetKeyboardState(keys);
  const std::pair<bool, int> steps[] = {{false, ID_tsBulg}, {false, ID_tsOptions},
                                        {false, ID_tsRus},  {true, ID_tsOptions}};
  for (const auto& [shift, page] : steps) {
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(g_form->PreTranslate(msg));
    EXPECT_EQ(pc->ActivePageId(), page) << (shift ? "Ctrl+Shift+Tab" : "Ctrl+Tab");
  }
  keys[VK_CONTROL] = 0;
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  pc->SetActivePageIndex(0);
  WindowEnvironment::Pump();
}

TEST(Keyboard, EditSelectsAllOnKeyboardFocusButNotOnClick) {
  g_form->ControlAs<TPageControl>(ID_pc)->SetActivePageIndex(0);
  const HWND edit = Hwnd(ID_Edit3);
  SetWindowTextW(edit, L"40702810900000000001");
  g_form->FocusControl(ID_pc);
  PressTab(false);  // pc -> Edit3
  ASSERT_EQ(g_form->FocusedId(), ID_Edit3);
  DWORD from = 0, to = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 20u) << "the whole text is selected";

  g_form->FocusControl(ID_pc);
  WindowEnvironment::Pump();
  SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  WindowEnvironment::Pump();
  ASSERT_EQ(GetFocus(), edit);
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, to) << "a click places the caret and selects nothing";
  SetWindowTextW(edit, L"");
}

// ---- The default exception display ---------------------------------------------

struct SeenBox {
  std::wstring title, text;
  bool seen = false;
};

// Watches for a message box of this process for up to timeoutMs, reads it
// and closes it with OK.
std::thread WatchBox(SeenBox& out, DWORD timeoutMs = 4000) {
  const DWORD pid = GetCurrentProcessId();
  return std::thread([&out, pid, timeoutMs] {
    for (DWORD waited = 0; waited < timeoutMs && !out.seen; waited += 50) {
      Sleep(50);
      HWND box = nullptr;
      while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner != pid || !IsWindowVisible(box)) continue;
        out.title = TextOf(box);
        out.text = TextOf(GetDlgItem(box, 0xFFFF));
        out.seen = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        break;
      }
    }
  });
}

TEST(ExceptionDisplay, OwnErrorsFollowTheFullStopRule) {
  struct Case {
    const char16_t* message;
    const wchar_t* shown;
    const char* reason;
  };
  const Case cases[] = {
      {u"Failed", L"Failed.", "letter"},      {u"Error 7", L"Error 7.", "digit"},
      {u"Done.", L"Done.", "full stop"},      {u"Stop!", L"Stop!", "exclamation mark"},
      {u"(x)", L"(x)", "closing parenthesis"}, {u"a ", L"a ", "space"},
      {u"Why?", L"Why?.", "question mark"},   {u"", L"", "empty"},
  };
  for (const Case& c : cases) {
    SeenBox box;
    std::thread watcher = WatchBox(box);
    ShowException(std::make_exception_ptr(EError(c.message)));
    watcher.join();
    EXPECT_TRUE(box.seen) << c.reason;
    EXPECT_EQ(box.title, L"Tessarin") << c.reason;
    EXPECT_EQ(box.text, c.shown) << c.reason;
  }
}

TEST(ExceptionDisplay, WrappedErrorShowsTheInnermostMessage) {
  SeenBox box;
  std::thread watcher = WatchBox(box);
  ShowException(std::make_exception_ptr(
      EError(u"outer", std::make_exception_ptr(EError(u"Cannot open file \"x\". Access denied")))));
  watcher.join();
  EXPECT_EQ(box.text, L"Cannot open file \"x\". Access denied.");
}

TEST(ExceptionDisplay, AbortIsSilent) {
  SeenBox box;
  std::thread watcher = WatchBox(box, 1500);
  ShowException(std::make_exception_ptr(EAbort()));
  watcher.join();
  EXPECT_FALSE(box.seen) << "the silent kind shows nothing";
}

TEST(ExceptionDisplay, ForeignExceptionNamesClassModuleAndOffset) {
  SeenBox box;
  std::thread watcher = WatchBox(box);
  try {
    throw std::runtime_error("not ours");
  } catch (...) {
    ShowException(std::current_exception());
  }
  watcher.join();
  EXPECT_EQ(box.title, L"Application Error");
  const std::wstring prefix = L"Exception std::runtime_error in module controls_window_test.exe at ";
  EXPECT_EQ(box.text.substr(0, prefix.size()), prefix) << std::string(box.text.begin(), box.text.end());
  const std::wstring tail = L".\r\n\r\n";
  ASSERT_GE(box.text.size(), prefix.size() + tail.size());
  EXPECT_EQ(box.text.substr(box.text.size() - tail.size()), tail);
  const std::wstring hex = box.text.substr(prefix.size(), box.text.size() - prefix.size() - tail.size());
  EXPECT_EQ(hex.size(), sizeof(void*) * 2);
  EXPECT_NE(hex, std::wstring(hex.size(), L'0')) << "the throw's offset in the module is known";
}

TEST(ExceptionDisplay, HandlerExceptionIsShownAndTheWindowGoesOn) {
  g_form->throwing = [] { throw EError(u"Handler failed"); };
  SeenBox box;
  std::thread watcher = WatchBox(box);
  SendMessageW(Hwnd(ID_Button6), BM_CLICK, 0, 0);  // dispatch through the form
  watcher.join();
  g_form->throwing = nullptr;
  EXPECT_EQ(g_form->lastHandler, "Button6Click");
  EXPECT_EQ(box.text, L"Handler failed.");
  EXPECT_TRUE(IsWindow(g_form->Handle()));
  const int before = g_form->calls;
  SendMessageW(Hwnd(ID_Button9), BM_CLICK, 0, 0);
  EXPECT_EQ(g_form->calls, before + 1) << "handlers still run";
  EXPECT_EQ(g_form->lastHandler, "Button9Click");
}

TEST(ExceptionDisplay, CreateHandlerFailureIsShownOnceAndTheFormIsBuilt) {
  struct TFailingForm : TTestForm {
    TFailingForm() {
      OnCreate = [this](TObject*) {
        ++creates;
        throw EError(u"Create failed");
      };
    }
    int creates = 0;
  };
  TFailingForm* form = nullptr;
  SeenBox box;
  std::thread watcher = WatchBox(box);
  Application->CreateForm(&form);
  watcher.join();
  ASSERT_NE(form, nullptr) << "creation goes on after the display";
  EXPECT_EQ(form->creates, 1);
  EXPECT_EQ(box.text, L"Create failed.");
  EXPECT_NE(form->Control(ID_Edit1), nullptr);
  EXPECT_EQ(Application->MainForm(), g_form) << "the first form stays the main form";
  SeenBox again;
  std::thread second = WatchBox(again, 1000);
  second.join();
  EXPECT_FALSE(again.seen) << "reported once";
}

}  // namespace
