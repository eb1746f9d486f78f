// uLocalize: the language catalogue, the selection of the current and the
// default language, and the text lookup with its fallback chain.
#include "localization/uLocalize.h"

#include "platform/Errors.h"
#include "platform/Platform.h"

std::vector<TLangItemRec> LangList;
std::u16string CurrentLangName, CurrentLangFile, CurrentLangFlag, DefaultLangName, DefaultLangFile;
std::int32_t CurrentLangID = 0;
std::unique_ptr<TMemIniFile> CurrentLangIni, DefaultLangIni;
bool KeepLangFilesOpen = false;
bool ShowShortLangNames = false;

namespace {

const std::u16string kMainSection = u"main";
const std::u16string kDefaultFlag = u"flag_white.ico";
const std::u16string kUntranslated = u"NoTranslate:";

// Returns the directory of the language files without a trailing separator
// followed by one: "<exe dir>\lang\" (POSIX: "<exe dir>/lang/").
std::u16string LangFolder() {
  std::u16string dir = platform::ExecutableDirectory();
  if (!dir.empty() && dir.back() == platform::kPathSeparator) dir.pop_back();
  dir += platform::kPathSeparator;
  dir += u"lang";
  dir += platform::kPathSeparator;
  return dir;
}

// Returns the full path of the language file of langKey.
std::u16string LangFilePath(const std::u16string& langKey) {
  return LangFolder() + langKey + u".lng";
}

// Returns a reader of the language file of langKey; an empty key names no
// file, so its reader is empty (even if a file called ".lng" exists).
std::unique_ptr<TMemIniFile> LoadLangFile(const std::u16string& langKey) {
  if (langKey.empty()) return TMemIniFile::Empty();
  return std::unique_ptr<TMemIniFile>(new TMemIniFile(LangFilePath(langKey)));
}

// Fills the fields of entry from the main section of its file.
void DescribeEntry(TLangItemRec& entry) {
  const std::unique_ptr<TMemIniFile> ini(new TMemIniFile(LangFilePath(entry.FileName)));
  const std::u16string langName = ini->ReadText(kMainSection, u"LangName", entry.FileName);
  const std::u16string shortName = ini->ReadText(kMainSection, u"ShotLangName", u"[]");
  entry.DisplayName = ShowShortLangNames ? FormatText(u"%s [%s]", {langName, shortName}) : langName;
  entry.FlagFile = ini->ReadText(kMainSection, u"Flag", kDefaultFlag);
  if (entry.FlagFile.empty() || entry.FlagFile == u"None") entry.FlagFile = kDefaultFlag;
  entry.LangID = ini->ReadInt(kMainSection, u"LangID", -1);
}

void EnsureLangList() {
  if (LangList.empty()) LoadLangList();
}

// Returns the last catalogue entry whose FileName equals langKey exactly, or null.
const TLangItemRec* FindSelectable(const std::u16string& langKey) {
  EnsureLangList();
  const TLangItemRec* match = nullptr;
  for (const TLangItemRec& entry : LangList)
    if (entry.FileName == langKey) match = &entry;  // the last match wins
  if (!match || match->DisplayName.empty() || match->FileName.empty()) return nullptr;
  return match;
}

// Returns true and sets text when ini holds ident in section; a missing
// reader reads as an empty file.
bool TryRead(const TMemIniFile* ini, const std::u16string& section, const std::u16string& ident,
             std::u16string& text) {
  return ini != nullptr && ini->TryReadText(section, ident, text);
}

}  // namespace

void LoadLangList() {
  LangList.clear();
  platform::SearchDirectory(LangFolder() + u"*.lng", [](const platform::FoundEntry& found) {
    if (found.directory || found.hidden || found.system) return;
    TLangItemRec entry;
    entry.FileName = found.name.size() < 4 ? found.name : found.name.substr(0, found.name.size() - 4);
    LangList.push_back(entry);
  });
  for (TLangItemRec& entry : LangList) DescribeEntry(entry);
}

void GetLangList(std::vector<std::u16string>& list, bool displayNames) {
  EnsureLangList();
  list.clear();
  for (const TLangItemRec& entry : LangList) list.push_back(displayNames ? entry.DisplayName : entry.FileName);
}

bool SetCurrentLang(const std::u16string& langKey) {
  const TLangItemRec* match = FindSelectable(langKey);
  if (!match) return false;
  const TLangItemRec entry = *match;
  CurrentLangName = entry.DisplayName;
  CurrentLangFile = entry.FileName;
  CurrentLangID = entry.LangID;
  CurrentLangFlag = entry.FlagFile;
  if (KeepLangFilesOpen) {
    CurrentLangIni.reset();
    CurrentLangIni = LoadLangFile(CurrentLangFile);
  }
  return true;
}

bool SetDefaultLang(const std::u16string& langKey) {
  const TLangItemRec* match = FindSelectable(langKey);
  if (!match) return false;
  const TLangItemRec entry = *match;
  DefaultLangName = entry.DisplayName;
  DefaultLangFile = entry.FileName;
  if (KeepLangFilesOpen) {
    DefaultLangIni.reset();
    DefaultLangIni = LoadLangFile(DefaultLangFile);
  }
  return true;
}

std::u16string GetLangString(const std::u16string& textKey) {
  const std::size_t dot = textKey.find(u'.');
  std::u16string section = dot == std::u16string::npos ? std::u16string() : textKey.substr(0, dot);
  const std::u16string ident = dot == std::u16string::npos ? textKey : textKey.substr(dot + 1);
  if (section.compare(0, 3, u"LOC") == 0) section.erase(0, 3);
  const std::u16string marker = kUntranslated + ident;
  if (KeepLangFilesOpen) {
    // The default language is asked only when the current one lacks the
    // text: the same answer as reading both, without the second read.
    std::u16string text;
    if (TryRead(CurrentLangIni.get(), section, ident, text)) return text;
    if (TryRead(DefaultLangIni.get(), section, ident, text)) return text;
    return marker;
  }
  // Both files are loaded for this lookup alone, the default one first.
  const std::unique_ptr<TMemIniFile> defaultIni = LoadLangFile(DefaultLangFile);
  const std::unique_ptr<TMemIniFile> currentIni = LoadLangFile(CurrentLangFile);
  const std::u16string fallback = defaultIni->ReadText(section, ident, marker);
  return currentIni->ReadText(section, ident, fallback);
}

void FinalizeLocalization() {
  LangList.clear();
  CurrentLangName.clear();
  CurrentLangFile.clear();
  CurrentLangFlag.clear();
  CurrentLangID = 0;
  DefaultLangName.clear();
  DefaultLangFile.clear();
  CurrentLangIni.reset();
  DefaultLangIni.reset();
}
