// Every caption of the real Tessarin.exe shows whole in every shipped
// language, at 96 and at 120 dots per inch.
//
// Each language is picked in the language box, as an operator does. Then
// each of the 32 captions and the web link is measured with
// GetTextExtentPoint32W in the font that paints it and compared with the
// room it really has: the place where its control draws text, clipped by
// the client area of every window it sits in.
//
// The fonts: a font handle of the program means nothing in this process
// (GDI handles are per process, and Wine 8 answers WM_GETFONT sent from
// another process with a failure), so the test makes the fonts here and
// proves that they are the ones that paint. The window font is 8 points at
// the resolution; of the candidate faces, the one is taken in which every
// resized label's caption measures exactly as wide as the label (labels
// size themselves to their text in their own font). That it is also the
// font of the frames, the buttons and the tabs is shown by their pixels:
// the caption drawn here in it must equal what the screen shows, better
// than in any other candidate. The link's font is chosen among its
// candidates by its pixels the same way. The title bar uses the system's
// caption font.
//
// Set TESSARIN_E2E_SHOTS to a folder to get a picture of every page in
// every language (BMP), for a look at the result.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "Driver.h"
#include "Screen.h"

namespace {

using e2e::Session;

constexpr wchar_t kProductKey[] = L"Software\\Orventa\\Tessarin";

std::string Narrow(const std::wstring& s) { return e2e::Utf8(s); }

// ---- Where each caption is drawn ------------------------------------------------

enum class Kind {
  TitleBar,  // the main window's caption bar
  GroupBox,  // the frame's title, drawn from an indent on either side
  Button,    // the face, inside its 3-D border and focus rectangle
  Label,     // the static text, its whole rectangle
  Tab,       // the tab of a page, inside its padding
  Link,      // the web link's static, its whole rectangle
};

struct Place {
  const wchar_t* key;      // text key of the language file (for the report)
  const wchar_t* control;  // L"" for the title bar
  Kind kind;
  int tab;                 // for a page: its tab index
};

// The window's 32 captions, and the link.
const Place kPlaces[] = {
    {L"Caption.Tessarin_MainForm", L"", Kind::TitleBar, -1},
    {L"String.CheckINN", L"gbCheckINN", Kind::GroupBox, -1},
    {L"String.CheckNumberPU", L"gbCheckPU", Kind::GroupBox, -1},
    {L"String.CheckNmberOfSettlementAccounts", L"gbRasSchet", Kind::GroupBox, -1},
    {L"String.CheckNumberOfCorrespondentAccounts", L"gbCorSchet", Kind::GroupBox, -1},
    {L"String.CheckNumberOKPO", L"gbCheckOKPO", Kind::GroupBox, -1},
    {L"String.CheckORGN", L"gbCheckORGN", Kind::GroupBox, -1},
    {L"Button.Check", L"Button1", Kind::Button, -1},
    {L"Button.Check", L"Button2", Kind::Button, -1},
    {L"Button.Check", L"Button3", Kind::Button, -1},
    {L"Button.Check", L"Button4", Kind::Button, -1},
    {L"Button.Check", L"Button5", Kind::Button, -1},
    {L"Button.Check", L"Button7", Kind::Button, -1},
    {L"Button.Check", L"Button8", Kind::Button, -1},
    {L"String.CheckNmberOfSettlementAccounts", L"gbRachSchetUkr", Kind::GroupBox, -1},
    {L"Menu.Exit", L"Button6", Kind::Button, -1},
    {L"Menu.Help", L"Button9", Kind::Button, -1},
    {L"String.Russia", L"tsRus", Kind::Tab, 0},
    {L"String.Ukraine", L"tsUkr", Kind::Tab, 1},
    {L"String.Bulgaria", L"tsBulg", Kind::Tab, 2},
    {L"Menu.Language", L"gbLang", Kind::GroupBox, -1},
    {L"String.CheckerINN", L"Label3", Kind::Label, -1},
    {L"String.CheckerS_A", L"Label4", Kind::Label, -1},
    {L"String.CheckerC_A", L"Label5", Kind::Label, -1},
    {L"String.CheckerOKPO", L"Label6", Kind::Label, -1},
    {L"String.CheckerR_C", L"Label7", Kind::Label, -1},
    {L"String.BIC_Bank", L"Label1", Kind::Label, -1},
    {L"String.BIC_Bank", L"Label2", Kind::Label, -1},
    {L"String.BIC_Bank", L"Label9", Kind::Label, -1},
    {L"Menu.Options", L"tsOptions", Kind::Tab, 3},
    {L"Button.Check", L"Button10", Kind::Button, -1},
    {L"String.CheckEGN", L"GroupBox1", Kind::GroupBox, -1},
    {L"(web address)", L"Label8", Kind::Link, -1},
};

// The group box draws its title from this far inside its left edge up to as
// far before its right edge (unscaled).
constexpr int kGroupCaptionIndent = 8;
// The tab control's default horizontal padding of a tab's text, each side.
constexpr int kTabPadding = 6;
// The link is drawn in blue.
constexpr COLORREF kLinkColor = RGB(0, 0, 255);
// The link's place on the Settings page at the design size: it may grow with
// its text, but the address must end within these 111 pixels (scaled).
constexpr int kLinkLeft = 416, kLinkWidth = 111;
// The window font's text height at the design size.
constexpr int kDesignTextHeight = 13;

// ---- Fonts made here ---------------------------------------------------------------

// Owns a font of this process.
class Font {
 public:
  Font() = default;
  explicit Font(const LOGFONTW& lf) : handle_(CreateFontIndirectW(&lf)), lf_(lf) {
    if (!handle_) e2e::Fail(L"CreateFontIndirectW failed for " + std::wstring(lf.lfFaceName));
  }
  Font(Font&& o) noexcept : handle_(o.handle_), lf_(o.lf_) { o.handle_ = nullptr; }
  Font& operator=(Font&& o) noexcept {
    std::swap(handle_, o.handle_);
    std::swap(lf_, o.lf_);
    return *this;
  }
  ~Font() {
    if (handle_) DeleteObject(handle_);
  }
  HFONT Get() const { return handle_; }
  std::wstring Describe() const {
    std::wostringstream out;
    out << lf_.lfFaceName << L" " << -lf_.lfHeight << L" px" << (lf_.lfWeight > 400 ? L" bold" : L"")
        << (lf_.lfUnderline ? L" underlined" : L"");
    return out.str();
  }

 private:
  HFONT handle_ = nullptr;
  LOGFONTW lf_{};
};

LOGFONTW Describe(const wchar_t* face, int pixelHeight, BYTE charset, bool underline) {
  LOGFONTW lf{};
  lf.lfHeight = -pixelHeight;
  lf.lfWeight = FW_NORMAL;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = charset;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  return lf;
}

// Width and height of text in font (GetTextExtentPoint32W, one line).
SIZE Extent(HFONT font, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  if (!dc) e2e::Fail(L"GetDC failed");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{0, 0};
  const BOOL ok =
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (!ok) e2e::Fail(L"GetTextExtentPoint32W failed");
  return size;
}

int TextHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  if (!dc) e2e::Fail(L"GetDC failed");
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  const BOOL ok = GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (!ok) e2e::Fail(L"GetTextMetricsW failed");
  return tm.tmHeight;
}

int ThisProcessDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi;
}

// Faces the window may draw with: the designed ones, and the condensed face
// it takes where the system has neither (as under Wine without its fonts).
const wchar_t* const kWindowFaces[] = {L"Tahoma", L"DejaVu Sans Condensed"};
const wchar_t* const kLinkFaces[] = {L"MS Sans Serif", L"DejaVu Sans Condensed"};

// The labels whose widths identify the window font: a label sizes itself to
// a caption set on it, in its font. Until then it has the layout's size, so
// only labels that show another text than their built-in one are compared.
struct SizedLabel {
  const wchar_t* name;
  const wchar_t* builtIn;
};
const SizedLabel kSizedLabels[] = {
    {L"Label1", L"БИК банка"},     {L"Label2", L"БИК банка"},    {L"Label3", L"Проверка ИНН"},
    {L"Label4", L"Проверка р/с"},  {L"Label5", L"Проверка к/с"}, {L"Label6", L"Проверка ОКПО"},
    {L"Label7", L"Проверка ПУ"},   {L"Label9", L"БИК банка"},
};

// The window font: the candidate face at 8 points in which every resized
// label's caption measures as wide and high as the label itself; fails when
// none does, or when no label has been resized.
Font WindowFont(const Session& s, int dpi) {
  std::wstring tried;
  for (const wchar_t* face : kWindowFaces) {
    Font font(Describe(face, MulDiv(8, dpi, 72), DEFAULT_CHARSET, false));
    std::wstring mismatch;
    int compared = 0;
    for (const SizedLabel& label : kSizedLabels) {
      const std::wstring text = s.Text(label.name);
      if (text == label.builtIn) continue;
      ++compared;
      const RECT r = s.ScreenRect(label.name);
      const SIZE size = Extent(font.Get(), text);
      if (size.cx != r.right - r.left || size.cy != r.bottom - r.top) {
        mismatch = std::wstring(label.name) + L" is " + std::to_wstring(r.right - r.left) + L"x" +
                   std::to_wstring(r.bottom - r.top) + L", measured " + std::to_wstring(size.cx) +
                   L"x" + std::to_wstring(size.cy);
        break;
      }
    }
    if (compared == 0) e2e::Fail(L"no label shows a caption of its own: nothing to tell the font by");
    if (mismatch.empty()) return font;
    tried += L"\n  " + font.Describe() + L": " + mismatch;
  }
  e2e::Fail(L"no candidate font measures the labels as the window sizes them:" + tried);
}

// The layout's scale at dpi: the text height of "Tahoma" 8 pt as the system
// serves it, over its height at the design size.
int LayoutTextHeight(int dpi) {
  if (dpi == 96) return kDesignTextHeight;
  const Font tahoma(Describe(L"Tahoma", MulDiv(8, dpi, 72), DEFAULT_CHARSET, false));
  return TextHeight(tahoma.Get());
}

// A design-size length at the layout's scale, rounded half up.
int Scaled(int value, int designHeight, int height) {
  return (value * height * 2 + designHeight) / (designHeight * 2);
}

// A caption that the screen shows, for telling which font paints it.
struct Shown {
  HWND window;  // the window whose client area holds it
  RECT part;    // where, in that client area, for the text in the font tried
  std::wstring text;
  COLORREF color;
};

// How many pixels differ when the caption is drawn here in font, waiting a
// little for the window's painting to reach the screen.
int PixelsOff(const Shown& shown, HFONT font) {
  int diff = -1;
  for (int i = 0; i < 20; ++i) {
    diff = e2e::TextPixelDifferences(shown.window, shown.part, font, shown.text, shown.color);
    if (diff == 0) break;
    Sleep(50);
  }
  return diff;
}

// A font matches a caption when at most this share of its pixels differ
// (the frame's line and the face's edge may enter the compared area).
bool CloseEnough(int diff, const RECT& part) {
  const int area = (part.right - part.left + 2 * e2e::kTextShift) *
                   (part.bottom - part.top + 2 * e2e::kTextShift);
  return diff >= 0 && diff * 20 <= area;
}

// The link font: 11 px at the design size, scaled, underlined; the candidate
// whose drawing of the link's caption comes closest to the screen's pixels.
Font LinkFont(const Session& s, int dpi) {
  const int height = Scaled(11, kDesignTextHeight, LayoutTextHeight(dpi));
  const HWND link = s.Control(L"Label8");
  const std::wstring text = s.Text(L"Label8");
  Font best;
  int bestDiff = -1;
  std::wstring tried;
  for (const wchar_t* face : kLinkFaces) {
    Font font(Describe(face, height, RUSSIAN_CHARSET, true));
    RECT client{};
    GetClientRect(link, &client);
    const SIZE size = Extent(font.Get(), text);
    const RECT part{0, 0, std::min<LONG>(size.cx, client.right), std::min<LONG>(size.cy, client.bottom)};
    const int diff = PixelsOff({link, part, text, kLinkColor}, font.Get());
    tried += L"\n  " + font.Describe() + L": " + std::to_wstring(diff) + L" pixels differ";
    std::cout << "Label8 in " << Narrow(font.Describe()) << ": " << diff << " pixels differ\n";
    if (CloseEnough(diff, part) && (bestDiff < 0 || diff < bestDiff)) {
      bestDiff = diff;
      best = std::move(font);
    }
  }
  if (!best.Get()) e2e::Fail(L"no candidate font draws the link as the screen shows it:" + tried);
  return best;
}

// The frames, the buttons and the tabs paint with the window font: for one
// of each, the caption drawn here in it is close to the screen's pixels and
// closer than in any other candidate face. The Russia page must be shown.
void ExpectWindowFontPaintsEverything(const Session& s, const Font& windowFont, int dpi) {
  struct Probe {
    const wchar_t* what;
    HWND window;
    RECT box;  // the control's client area, or the tab's rectangle
    int indent;
    bool centred;
    std::wstring text;
    COLORREF color;
  };
  const HWND frame = s.Control(L"gbCheckINN"), button = s.Control(L"Button1"), pc = s.Control(L"pc");
  RECT frameBox{}, buttonBox{};
  GetClientRect(frame, &frameBox);
  GetClientRect(button, &buttonBox);
  const Probe probes[] = {
      {L"gbCheckINN", frame, frameBox, kGroupCaptionIndent, false, s.Text(L"gbCheckINN"),
       GetSysColor(COLOR_WINDOWTEXT)},
      {L"Button1", button, buttonBox, 0, true, s.Text(L"Button1"), GetSysColor(COLOR_BTNTEXT)},
      {L"tab 2", pc, s.TabRect(2), 0, true, s.TabCaption(2), GetSysColor(COLOR_BTNTEXT)},
  };
  for (const Probe& p : probes) {
    std::wstring tried;
    int windowDiff = -1, bestOther = -1;
    RECT windowPart{};
    for (const wchar_t* face : kWindowFaces) {
      const Font font(Describe(face, MulDiv(8, dpi, 72), DEFAULT_CHARSET, false));
      const SIZE size = Extent(font.Get(), p.text);
      RECT part{};
      if (p.centred) {
        const int left = (p.box.left + p.box.right - size.cx) / 2;
        const int top = (p.box.top + p.box.bottom - size.cy) / 2;
        part = {left, top, left + size.cx, top + size.cy};
      } else {
        part = {p.indent, 0, p.indent + size.cx, size.cy};
      }
      const int diff = PixelsOff({p.window, part, p.text, p.color}, font.Get());
      tried += L" " + font.Describe() + L": " + std::to_wstring(diff) + L";";
      if (font.Describe() == windowFont.Describe()) {
        windowDiff = diff;
        windowPart = part;
      } else if (bestOther < 0 || diff < bestOther) {
        bestOther = diff;
      }
    }
    std::cout << Narrow(p.what) << ", pixels that differ:" << Narrow(tried) << "\n";
    EXPECT_TRUE(CloseEnough(windowDiff, windowPart) && (bestOther < 0 || windowDiff < bestOther))
        << Narrow(p.what) << " does not paint in " << Narrow(windowFont.Describe())
        << "; pixels that differ:" << Narrow(tried);
  }
}

// The title bar's font: the system's caption font, at the program's resolution.
Font CaptionFont(int dpi) {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof(m);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0))
    e2e::Fail(L"SPI_GETNONCLIENTMETRICS failed");
  m.lfCaptionFont.lfHeight = MulDiv(m.lfCaptionFont.lfHeight, dpi, ThisProcessDpi());
  return Font(m.lfCaptionFont);
}

// ---- The room each caption has -------------------------------------------------------

RECT ClientOnScreen(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// area (screen coordinates), clipped by the client area of every window
// that holds hwnd, up to the main window.
RECT ClipByAncestors(HWND hwnd, RECT area) {
  const HWND desktop = GetDesktopWindow();
  for (HWND p = GetAncestor(hwnd, GA_PARENT); p && p != desktop; p = GetAncestor(p, GA_PARENT)) {
    const RECT client = ClientOnScreen(p);
    if (!IntersectRect(&area, &area, &client)) return RECT{0, 0, 0, 0};
  }
  return area;
}

// The visible scroll arrows of the tab strip, when its tabs overflow it.
BOOL CALLBACK FindUpDown(HWND h, LPARAM lp) {
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (IsWindowVisible(h) && lstrcmpiW(cls, UPDOWN_CLASSW) == 0) {
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  return TRUE;
}

struct Fonts {
  Font window, link, caption;
};

struct Room {
  RECT area;        // where the text may be drawn, on the screen, clipped
  bool checkHeight;  // a frame's title and the title bar have the height of their font
};

Room RoomOf(const Session& s, const Place& p, const Fonts& fonts, int dpi) {
  if (p.kind == Kind::TitleBar) {
    // Between the system menu's icon and the three caption buttons, each a
    // caption button wide; the bar spans the client area's width.
    const HWND main = s.MainWindow();
    RECT bar = ClientOnScreen(main);
    const int button = MulDiv(GetSystemMetrics(SM_CXSIZE), dpi, ThisProcessDpi());
    bar.left += button;
    bar.right -= 3 * button;
    return {bar, false};
  }
  const HWND hwnd = s.Control(p.control);
  RECT area{};
  GetWindowRect(hwnd, &area);
  switch (p.kind) {
    case Kind::GroupBox:
      area.left += kGroupCaptionIndent;
      area.right -= kGroupCaptionIndent;
      area.bottom = area.top + TextHeight(fonts.window.Get());
      return {ClipByAncestors(hwnd, area), false};
    case Kind::Button: {
      const int bx = GetSystemMetrics(SM_CXEDGE) + 1, by = GetSystemMetrics(SM_CYEDGE) + 1;
      InflateRect(&area, -bx, -by);
      return {ClipByAncestors(hwnd, area), true};
    }
    case Kind::Tab: {
      const HWND pc = s.Control(L"pc");
      area = s.TabRect(p.tab);
      MapWindowPoints(pc, nullptr, reinterpret_cast<POINT*>(&area), 2);
      area.left += kTabPadding;
      area.right -= kTabPadding;
      HWND arrows = nullptr;
      EnumChildWindows(pc, &FindUpDown, reinterpret_cast<LPARAM>(&arrows));
      RECT a{};
      if (arrows && GetWindowRect(arrows, &a) && a.left < area.right) area.right = a.left;
      const RECT client = ClientOnScreen(pc);
      if (!IntersectRect(&area, &area, &client)) area = RECT{0, 0, 0, 0};
      return {ClipByAncestors(pc, area), true};
    }
    case Kind::Link: {
      const int h = LayoutTextHeight(dpi);
      const RECT page = ClientOnScreen(s.Control(L"tsOptions"));
      const LONG end = page.left + Scaled(kLinkLeft + kLinkWidth, kDesignTextHeight, h);
      if (area.right > end) area.right = end;
      break;
    }
    case Kind::Label:
    case Kind::TitleBar:
      break;
  }
  return {ClipByAncestors(hwnd, area), true};
}

// ---- Measuring ---------------------------------------------------------------------

struct Measure {
  std::wstring control, text;
  int textWidth, roomWidth, textHeight, roomHeight;
  bool checkHeight;
  bool Fits() const {
    return textWidth <= roomWidth && (!checkHeight || textHeight <= roomHeight);
  }
};

std::wstring ShownText(const Session& s, const Place& p) {
  if (p.kind == Kind::TitleBar) return s.WindowText(s.MainWindow());
  if (p.kind == Kind::Tab) return s.TabCaption(p.tab);
  return s.Text(p.control);
}

HFONT FontFor(const Place& p, const Fonts& fonts) {
  if (p.kind == Kind::TitleBar) return fonts.caption.Get();
  if (p.kind == Kind::Link) return fonts.link.Get();
  return fonts.window.Get();
}

std::vector<Measure> MeasureAll(const Session& s, const Fonts& fonts, int dpi) {
  std::vector<Measure> out;
  for (const Place& p : kPlaces) {
    const std::wstring text = ShownText(s, p);
    const SIZE size = Extent(FontFor(p, fonts), text);
    const Room room = RoomOf(s, p, fonts, dpi);
    out.push_back({*p.control ? p.control : L"Form1", text, static_cast<int>(size.cx),
                   static_cast<int>(room.area.right - room.area.left), static_cast<int>(size.cy),
                   static_cast<int>(room.area.bottom - room.area.top), room.checkHeight});
  }
  return out;
}

// ---- The languages -------------------------------------------------------------------


// The value of Section.Key in a shipped file (UTF-16LE with the mark, one
// entry per line without spaces around "=", as the language script writes).
std::wstring LngValue(const std::wstring& lngPath, const std::wstring& section,
                      const std::wstring& key) {
  std::ifstream in(Narrow(lngPath), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::wstring text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  std::wistringstream lines(text);
  std::wstring line, current, found;
  const std::wstring header = L"[" + section + L"]", prefix = key + L"=";
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (!line.empty() && line.front() == L'[') current = line;
    if (lstrcmpiW(current.c_str(), header.c_str()) == 0 && line.size() > prefix.size() &&
        CompareStringOrdinal(line.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                             static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL)
      found = line.substr(prefix.size());
  }
  return found;
}

// The languages in the order they are picked: first one whose labels differ
// from the built-in ones (so the window font can be told at once), then the
// others in the directory's order.
std::vector<std::wstring> PickOrder(const std::wstring& dir) {
  std::vector<std::wstring> keys = e2e::LanguageKeys(dir);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::wstring file = dir + L"\\lang\\" + keys[i] + L".lng";
    if (LngValue(file, L"String", L"CheckerINN") != kSizedLabels[2].builtIn) {
      std::rotate(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(i), keys.begin() +
                  static_cast<std::ptrdiff_t>(i) + 1);
      break;
    }
  }
  return keys;
}

void ResetSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey); }  // absent is fine

class Captions : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

void SaveShots(Session& s, const std::wstring& language, int dpi) {
  const DWORD n = GetEnvironmentVariableW(L"TESSARIN_E2E_SHOTS", nullptr, 0);
  if (n == 0) return;
  std::wstring dir(n, L'\0');
  dir.resize(GetEnvironmentVariableW(L"TESSARIN_E2E_SHOTS", dir.data(), n));
  CreateDirectoryW(dir.c_str(), nullptr);  // may exist
  const wchar_t* const pages[] = {L"russia", L"ukraine", L"bulgaria", L"settings"};
  for (int page = 0; page < 4; ++page) {
    if (s.ActivePage() != page) s.SelectPage(page);
    s.WaitAnswer();
    Sleep(300);  // the page's paint reaches the screen
    const std::wstring path = dir + L"\\" + language + L"-" + std::to_wstring(dpi) + L"-" +
                              pages[page] + L".bmp";
    EXPECT_TRUE(e2e::SaveWindowImage(s.MainWindow(), path)) << "cannot save " << Narrow(path);
  }
}

// ---- Tests ---------------------------------------------------------------------------

TEST_P(Captions, EveryCaptionShowsWholeInEveryShippedLanguage) {
  const int dpi = GetParam();
  e2e::ScopedDpi resolution(static_cast<DWORD>(dpi));
  const std::wstring dir = e2e::FreshProductCopy(L"captions");
  const std::vector<std::wstring> languages = PickOrder(dir);
  ASSERT_FALSE(languages.empty()) << "the product ships no language file";
  Session s = Session::Start(dir + L"\\Tessarin.exe", dir);
  std::string clipped, linkClipped;
  Font windowFont;
  for (const std::wstring& language : languages) {
    // The language box sits on the Settings page; the link is checked there.
    if (s.ActivePage() != 3) s.SelectPage(3);
    s.PickFromList(L"CmbBxLang", language);
    const std::wstring file = dir + L"\\lang\\" + language + L".lng";
    ASSERT_EQ(s.TabCaption(3), LngValue(file, L"Menu", L"Options"))
        << "picking " << Narrow(language) << " did not apply it";
    if (!windowFont.Get()) {
      windowFont = WindowFont(s, dpi);
      s.SelectPage(0);
      ExpectWindowFontPaintsEverything(s, windowFont, dpi);
      s.SelectPage(3);
    }
    Fonts fonts{std::move(windowFont), LinkFont(s, dpi), CaptionFont(dpi)};
    std::cout << dpi << " dpi " << Narrow(language) << ": window font "
              << Narrow(fonts.window.Describe()) << ", link font " << Narrow(fonts.link.Describe())
              << ", title font " << Narrow(fonts.caption.Describe()) << "\n";
    for (const Measure& m : MeasureAll(s, fonts, dpi)) {
      std::ostringstream line;
      line << dpi << " dpi " << Narrow(language) << " " << Narrow(m.control) << " \""
           << Narrow(m.text) << "\": " << m.textWidth << " of " << m.roomWidth << " px";
      if (m.checkHeight) line << ", " << m.textHeight << " of " << m.roomHeight << " px high";
      std::cout << (m.Fits() ? "  " : "! ") << line.str() << "\n";
      if (!m.Fits()) (m.control == L"Label8" ? linkClipped : clipped) += "\n  " + line.str();
    }
    SaveShots(s, language, dpi);
    windowFont = std::move(fonts.window);
  }
  EXPECT_TRUE(clipped.empty()) << "captions cut off (text width of room width):" << clipped;
  EXPECT_TRUE(linkClipped.empty()) << "web addresses beyond the link's " << kLinkWidth
                                   << " design pixels:" << linkClipped;
  EXPECT_EQ(s.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, Captions, ::testing::Values(96, 120),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Dpi" + std::to_string(info.param);
                         });

}  // namespace
