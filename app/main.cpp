// The main window TForm1: its members are bound to the controls built from
// the layout table, and its handlers to the controls' events.
#include "app/main.h"

#include <string>
#include <vector>

#include "checklib/CheckCommand.h"
#include "localization/LoadLang.h"
#include "localization/uLocalize.h"
#include "resources/Layout.h"
#include "settings/LangSetting.h"

TForm1* Form1 = nullptr;

namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

// Returns the shell's ShellExecuteW, or nullptr when the shell cannot be
// loaded. Loaded on the first click, from the system folder by its full
// path: the window needs the shell only for Help and the web link, and
// loading it (with the libraries it pulls in) would lengthen every start.
ShellExecuteFn ShellExecuteEntry() {
  static const ShellExecuteFn entry = [] {
    wchar_t path[MAX_PATH];
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH - 12) return ShellExecuteFn{nullptr};
    lstrcpyW(path + n, L"\\shell32.dll");
    const HMODULE shell = LoadLibraryW(path);  // kept for the run
    if (shell == nullptr) return ShellExecuteFn{nullptr};
    return reinterpret_cast<ShellExecuteFn>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")));
  }();
  return entry;
}

// Calls ShellExecuteW; its result is not examined (the shell or the program
// it starts reports failures), nor is a shell that cannot be loaded.
void OpenWithShell(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* params) {
  if (const ShellExecuteFn entry = ShellExecuteEntry()) entry(owner, verb, file, params, nullptr, 1);
}

}  // namespace

TForm1::TForm1() : TForm(kMainWindowClass, kMainLayout, kMainLayoutCount) {
  XPManifest1 = Own(std::make_unique<TXPManifest>());
#define PUBLISH(member) Publish(#member, member)
  PUBLISH(pc); PUBLISH(tsRus); PUBLISH(tsUkr); PUBLISH(gbRasSchet); PUBLISH(Label1);
  PUBLISH(Edit3); PUBLISH(Button3); PUBLISH(Edit6); PUBLISH(gbCheckORGN); PUBLISH(Edit8);
  PUBLISH(Button7); PUBLISH(gbCheckOKPO); PUBLISH(Edit5); PUBLISH(Button5);
  PUBLISH(gbCorSchet); PUBLISH(Label2); PUBLISH(Edit4); PUBLISH(Button4); PUBLISH(Edit7);
  PUBLISH(gbCheckPU); PUBLISH(Edit2); PUBLISH(Button2); PUBLISH(gbCheckINN); PUBLISH(Edit1);
  PUBLISH(Button1); PUBLISH(gbRachSchetUkr); PUBLISH(Label9); PUBLISH(Edit9); PUBLISH(Edit10);
  PUBLISH(Button8); PUBLISH(tsOptions); PUBLISH(gbLang); PUBLISH(Panel1); PUBLISH(Button6);
  PUBLISH(Button9); PUBLISH(Image1); PUBLISH(Label3); PUBLISH(Label4); PUBLISH(Label5);
  PUBLISH(Label6); PUBLISH(Label7); PUBLISH(Label8); PUBLISH(tsBulg); PUBLISH(GroupBox1);
  PUBLISH(Edit11); PUBLISH(Button10); PUBLISH(CmbBxLang);
#undef PUBLISH
#define HANDLER(name) Handler(#name, [this](TObject* sender) { name(sender); })
  HANDLER(Button1Click); HANDLER(Button2Click); HANDLER(Button3Click); HANDLER(Button4Click);
  HANDLER(Button5Click); HANDLER(Button6Click); HANDLER(Button7Click); HANDLER(Button8Click);
  HANDLER(Button9Click); HANDLER(Button10Click); HANDLER(Label8Click);
  HANDLER(CmbBxLangPropertiesChange);
#undef HANDLER
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
}

// The check commands: each runs its row of the check command table.
#define CHECK_COMMAND(id) RunCheckCommand(Handle(), CheckCommandFor(id), Application->Title())

void TForm1::Button1Click(TObject*) { CHECK_COMMAND(ID_Button1); }
void TForm1::Button2Click(TObject*) { CHECK_COMMAND(ID_Button2); }
void TForm1::Button3Click(TObject*) { CHECK_COMMAND(ID_Button3); }
void TForm1::Button4Click(TObject*) { CHECK_COMMAND(ID_Button4); }
void TForm1::Button5Click(TObject*) { CHECK_COMMAND(ID_Button5); }
void TForm1::Button7Click(TObject*) { CHECK_COMMAND(ID_Button7); }
void TForm1::Button8Click(TObject*) { CHECK_COMMAND(ID_Button8); }
void TForm1::Button10Click(TObject*) { CHECK_COMMAND(ID_Button10); }

void TForm1::Button6Click(TObject*) { Close(); }

void TForm1::Button9Click(TObject*) {
  // The viewer finds the bare name from the program's current directory.
  OpenWithShell(nullptr, nullptr, L"hh.exe", L"HelpTessarin.chm");
}

void TForm1::Label8Click(TObject*) {
  // Opens whatever address the link shows now.
  const std::wstring address = Label8->Caption();
  OpenWithShell(Handle(), L"open", address.c_str(), nullptr);
}

void TForm1::FormCreate(TObject*) {
  // The list: the language keys, in catalogue order.
  std::vector<std::u16string> keys;
  GetLangList(keys, false);
  CmbBxLang->ClearItems();
  for (const std::u16string& key : keys) CmbBxLang->AddItem(std::wstring(key.begin(), key.end()));
  // The saved language: a text that differs from the empty box runs
  // CmbBxLangPropertiesChange at once, before the window is first shown.
  const std::u16string saved = ReadLangSetting();
  CmbBxLang->SetText(std::wstring(saved.begin(), saved.end()));
}

void TForm1::CmbBxLangPropertiesChange(TObject*) {
  // Saved before it is applied: a language whose application fails stays saved.
  const std::wstring text = CmbBxLang->Text();
  WriteLangSetting(std::u16string(text.begin(), text.end()));
  LoadLanguage();
}
