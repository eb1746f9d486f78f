// langdump: prints what each language file in a folder yields for the main
// section and for the 22 text keys that the main window reads, as UTF-8.
//
//   langdump build/host/product/lang
//
// Exits with 1 when a file lacks one of these keys (a text would then show
// the default language's text or the untranslated marker), else 0.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Utf8.h"
#include "localization/TMemIniFile.h"
#include "platform/Errors.h"
#include "platform/Platform.h"

namespace {

// The text keys of the main window, as "Section", "Key".
const char16_t* const kTextKeys[][2] = {
    {u"Caption", u"Tessarin_MainForm"},
    {u"String", u"CheckINN"},
    {u"String", u"CheckNumberPU"},
    {u"String", u"CheckNmberOfSettlementAccounts"},
    {u"String", u"CheckNumberOfCorrespondentAccounts"},
    {u"String", u"CheckNumberOKPO"},
    {u"String", u"CheckORGN"},
    {u"String", u"Russia"},
    {u"String", u"Ukraine"},
    {u"String", u"Bulgaria"},
    {u"String", u"CheckerINN"},
    {u"String", u"CheckerS_A"},
    {u"String", u"CheckerC_A"},
    {u"String", u"CheckerOKPO"},
    {u"String", u"CheckerR_C"},
    {u"String", u"BIC_Bank"},
    {u"String", u"CheckEGN"},
    {u"Button", u"Check"},
    {u"Menu", u"Exit"},
    {u"Menu", u"Help"},
    {u"Menu", u"Language"},
    {u"Menu", u"Options"},
};

const char16_t* const kMainKeys[] = {u"LangName", u"ShotLangName", u"LangID", u"Flag"};

// A value that no file can hold (values are trimmed), marking a missing key.
const std::u16string kMissing = u" <missing> ";

// Prints one file; returns the number of keys it lacks.
int DumpFile(const std::u16string& folder, const std::u16string& name) {
  const TMemIniFile ini(folder + name);
  std::printf("== %s\n", platform::ToUtf8(name).c_str());
  int missing = 0;
  for (const char16_t* key : kMainKeys) {
    const std::u16string v = ini.ReadText(u"main", key, kMissing);
    if (v == kMissing && std::u16string(key) != u"Flag") ++missing;  // Flag is optional
    std::printf("  main.%-40s %s\n", platform::ToUtf8(key).c_str(), platform::ToUtf8(v).c_str());
  }
  std::printf("  main.LangID as integer%*s %d\n", 23, "", ini.ReadInt(u"main", u"LangID", -1));
  for (const auto& k : kTextKeys) {
    const std::u16string v = ini.ReadText(k[0], k[1], kMissing);
    if (v == kMissing) ++missing;
    std::printf("  %-45s %s\n", platform::ToUtf8(std::u16string(k[0]) + u"." + k[1]).c_str(), platform::ToUtf8(v).c_str());
  }
  return missing;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: langdump <folder of .lng files>\n");
    return 2;
  }
  std::string arg = argv[1];
  if (arg.back() != '/') arg += '/';
  const std::u16string folder(arg.begin(), arg.end());  // ASCII paths of the build tree
  std::vector<std::u16string> names;
  platform::SearchDirectory(folder + u"*.lng", [&](const platform::FoundEntry& e) {
    if (!e.directory) names.push_back(e.name);
  });
  std::sort(names.begin(), names.end());
  if (names.empty()) {
    std::fprintf(stderr, "no .lng file in %s\n", arg.c_str());
    return 1;
  }
  int missing = 0;
  try {
    for (const std::u16string& name : names) missing += DumpFile(folder, name);
  } catch (const EError& e) {
    std::fprintf(stderr, "%s\n", platform::ToUtf8(e.Message()).c_str());
    return 1;
  }
  std::printf("%zu files, %d keys missing\n", names.size(), missing);
  return missing == 0 ? 0 : 1;
}
