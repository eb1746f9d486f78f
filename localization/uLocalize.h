// uLocalize: the catalogue of installed languages, the current and the
// default language, and the text lookup.
//
//   KeepLangFilesOpen = true;
//   SetDefaultLang(u"English");
//   SetCurrentLang(u"Russian");
//   std::u16string caption = GetLangString(u"String.CheckINN");
//
// Language files are <executable's directory>/lang/<language key>.lng. The
// catalogue is built on first need and kept for the run once it holds an
// entry. Everything here runs on the GUI thread; nothing is locked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "localization/TMemIniFile.h"

// One installed language.
struct TLangItemRec {
  std::u16string DisplayName;  // LangName (with ShowShortLangNames: "LangName [ShotLangName]")
  std::u16string FileName;     // the language key: the file name without ".lng"
  std::u16string FlagFile;     // never empty once catalogued; "flag_white.ico" by default
  std::int32_t LangID = 0;     // LangID of the main section; -1 when absent or invalid
};

// The catalogue, in the order in which the directory search reported the files.
extern std::vector<TLangItemRec> LangList;

// Selection state: empty (ID 0) until the first successful selection.
extern std::u16string CurrentLangName, CurrentLangFile, CurrentLangFlag, DefaultLangName,
    DefaultLangFile;
extern std::int32_t CurrentLangID;
// Readers of the selected files, kept only while KeepLangFilesOpen is on.
extern std::unique_ptr<TMemIniFile> CurrentLangIni, DefaultLangIni;

// Options: set once, before any other call, and never changed afterwards.
extern bool KeepLangFilesOpen;   // initial false
extern bool ShowShortLangNames;  // initial false

// Builds the catalogue afresh from <exe dir>/lang/*.lng. Raises EError
// "Cannot open file ..." for a language file that exists but cannot be
// opened; the entries from that one on then hold only their FileName.
void LoadLangList();
// Fills list (emptied first) with the display names (displayNames true) or
// the language keys, in catalogue order; builds the catalogue when empty.
void GetLangList(std::vector<std::u16string>& list, bool displayNames);
// Returns true when langKey (compared with letter case) names a catalogued
// language with a non-empty display name and file name, which is then the
// current language; false changes nothing. May raise "Cannot open file ...".
bool SetCurrentLang(const std::u16string& langKey);
// Returns true when langKey becomes the default language (as SetCurrentLang).
bool SetDefaultLang(const std::u16string& langKey);
// Returns the text of textKey ("Section.Ident") in the current language, else
// in the default language, else "NoTranslate:" + Ident. A missing reader
// reads as an empty file.
std::u16string GetLangString(const std::u16string& textKey);
// Shutdown: catalogue emptied, selection texts cleared, readers released.
void FinalizeLocalization();
