// The driver itself, tried on the probe window (driver/ProbeWindow.cpp): if
// these fail, the window tests cannot be trusted either way.
#include <gtest/gtest.h>

#include "Driver.h"

namespace {

using e2e::Session;

Session StartProbe() {
  const std::wstring dir = e2e::FixtureDir();
  return Session::Start(dir + L"\\probe_window.exe", dir);
}

TEST(Driver, ReadsWindowsTextsAndTabs) {
  Session s = StartProbe();
  EXPECT_EQ(s.WindowText(s.ApplicationWindow()), L"Tessarin");
  const RECT client = s.ClientRect();
  EXPECT_EQ(client.right, 553);
  EXPECT_EQ(client.bottom, 577);
  EXPECT_EQ(s.Text(L"Button1"), L" Проверить ");  // spaces kept both sides
  const RECT b = s.RectIn(L"Button1", L"");
  EXPECT_EQ(b.left, 266);
  EXPECT_EQ(b.top, 58);
  EXPECT_EQ(b.right - b.left, 75);
  ASSERT_EQ(s.TabCount(), 2);
  EXPECT_EQ(s.TabCaption(0), L"One");
  EXPECT_EQ(s.TabCaption(1), L"Two ");
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Driver, FollowsFocusWithRealKeys) {
  Session s = StartProbe();
  s.WaitFocus(L"pc");
  s.PressKey(VK_TAB);
  s.WaitFocus(L"Edit1");
  s.TypeText(L"ab\u0436");
  EXPECT_EQ(s.Text(L"Edit1"), L"ab\u0436");
  s.PressKey(VK_TAB, /*shift=*/true);
  s.WaitFocus(L"pc");
  s.SelectPage(1);
  EXPECT_EQ(s.ActivePage(), 1);
  s.PressKey(VK_F4, false, /*alt=*/true);
  EXPECT_EQ(s.WaitExit(), 0u);
}

TEST(Driver, ReadsMessageBoxesAndTheirIcons) {
  struct Case {
    const wchar_t* button;
    const wchar_t* text;
    const wchar_t* icon;
  } const cases[] = {
      {L"Button1", L" error text ", L"error"},
      {L"Button3", L"info", L"information"},
  };
  Session s = StartProbe();
  for (const auto& c : cases) {
    s.Click(c.button);
    e2e::Dialog d = s.WaitDialog();
    EXPECT_EQ(d.title, L"Tessarin");
    EXPECT_EQ(d.text, c.text);
    EXPECT_TRUE(d.hasIcon);
    EXPECT_EQ(d.iconKind, c.icon) << e2e::Utf8(c.text);
    EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
    d.Close();
  }
  s.Click(L"Button6");
  EXPECT_EQ(s.WaitExit(), 0u);
}

TEST(Driver, ReadsATaskDialogWithItsSpaces) {
  Session s = StartProbe();
  s.Click(L"Button2");
  const e2e::Dialog d = s.WaitDialog();
  EXPECT_EQ(d.title, L"Tessarin");
  EXPECT_EQ(d.text, L"   Проверка.   ");
  EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(d.hasIcon) << "the task dialog was given no icon";
  d.Close();
  EXPECT_FALSE(s.HasDialog());
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Driver, ReadsTheCommandLineOfAStartedProcess) {
  Session s = StartProbe();
  s.Click(L"Button9");
  const e2e::ChildProcess hh = s.WaitChildProcess(L"hh.exe");
  e2e::EndProcess(hh.pid);
  EXPECT_NE(hh.commandLine.find(L"HelpTessarin.chm"), std::wstring::npos)
      << e2e::Utf8(hh.commandLine);
  EXPECT_EQ(hh.currentDirectory, e2e::FixtureDir() + L"\\") << "the probe's current directory";
  EXPECT_EQ(s.Close(), 0u);
}

}  // namespace
