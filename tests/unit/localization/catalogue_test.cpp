// The language catalogue, the selections and the text lookup, over real
// temporary folders standing in for the executable's directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "localization/uLocalize.h"
#include "platform/Errors.h"
#include "platform/Platform.h"
#include "tests/unit/localization/TestFiles.h"
#include "tests/unit/localization/Unopenable.h"

namespace {

using testfiles::Show;
using testfiles::TempDir;
using testfiles::Unopenable;
using testfiles::Utf16LE;

const std::u16string kWhiteFlag = u"flag_white.ico";

// Each test starts with the program's state at start: nothing catalogued or
// selected, both options off, the executable's directory a fresh folder.
class Localization : public ::testing::Test {
 protected:
  void SetUp() override {
    FinalizeLocalization();
    KeepLangFilesOpen = true;
    ShowShortLangNames = false;
    platform::SetExecutableDirectoryForTesting(dir_.Dir());
  }
  void TearDown() override {
    FinalizeLocalization();
    KeepLangFilesOpen = false;
    ShowShortLangNames = false;
    platform::SetExecutableDirectoryForTesting(u"");
  }

  // Writes lang/<file> as UTF-16LE with the mark.
  void WriteLang(const std::u16string& file, const std::u16string& text) { dir_.Write(u"lang/" + file, Utf16LE(text)); }
  // Returns the path the catalogue uses for a language key.
  std::u16string LangPath(const std::u16string& key) const {
    return dir_.Dir() + u"lang" + platform::kPathSeparator + key + u".lng";
  }
  // Returns the language keys in the order the directory search reports them.
  std::vector<std::u16string> SearchOrder() const {
    std::vector<std::u16string> keys;
    platform::SearchDirectory(dir_.Dir() + u"lang" + platform::kPathSeparator + u"*.lng",
                              [&](const platform::FoundEntry& e) {
                                if (!e.directory) keys.push_back(e.name.substr(0, e.name.size() - 4));
                              });
    return keys;
  }
  static std::vector<std::u16string> Keys() {
    std::vector<std::u16string> list;
    GetLangList(list, false);
    return list;
  }

  TempDir dir_;
};

TEST_F(Localization, CataloguesTwoLanguagesInSearchOrder) {
  WriteLang(u"English.lng", u"[main]\nLangName=English\n");
  WriteLang(u"Russian.lng", u"[main]\nLangName=Русский\n");
  const std::vector<std::u16string> keys = Keys();
  EXPECT_EQ(std::set<std::u16string>(keys.begin(), keys.end()), (std::set<std::u16string>{u"English", u"Russian"}));
  EXPECT_EQ(keys, SearchOrder()) << "the catalogue neither sorts nor reorders";
}

struct EntryCase {
  const char16_t* file;
  const char16_t* text;
  bool showShort;
  const char16_t* displayName;
  const char16_t* flagFile;
  std::int32_t langId;
  const char* reason;
};

TEST_F(Localization, EntryFieldsFromTheMainSection) {
  const EntryCase cases[] = {
      {u"x.lng", u"[String]\nA=1\n", false, u"x", kWhiteFlag.c_str(), -1, "no main section"},
      {u"English.lng", u"[main]\nLangName=English\nShotLangName=EN\nFlag=gb.ico\nLangID=$0409", false, u"English",
       u"gb.ico", 0x0409, "every key given"},
      {u"English.lng", u"[main]\nLangName=English\nShotLangName=EN\n", true, u"English [EN]", kWhiteFlag.c_str(), -1,
       "short names shown"},
      {u"English.lng", u"[main]\nLangName=English\n", true, u"English [[]]", kWhiteFlag.c_str(), -1,
       "the default short name is \"[]\" inside the brackets"},
      {u"English.lng", u"[main]\nFlag=None\n", false, u"English", kWhiteFlag.c_str(), -1, "\"None\" gives the white flag"},
      {u"English.lng", u"[main]\nFlag=none\n", false, u"English", u"none", -1, "\"none\" is a file name"},
      {u"English.lng", u"[main]\nFlag=\n", false, u"English", kWhiteFlag.c_str(), -1, "an empty flag gives the white flag"},
      {u"English.lng", u"[main]\nLangID=1049\n", false, u"English", kWhiteFlag.c_str(), 1049, "decimal identifier"},
      {u"English.lng", u"[main]\nLangID=0x4O9\n", false, u"English", kWhiteFlag.c_str(), -1, "invalid identifier"},
      {u"Empty.lng", u"[main]\nLangName=\n", false, u"", kWhiteFlag.c_str(), -1, "an empty LangName stays empty"},
      {u"Empty.lng", u"[main]\nLangName=\nShotLangName=E\n", true, u" [E]", kWhiteFlag.c_str(), -1,
       "...also with short names"},
  };
  for (const EntryCase& c : cases) {
    TempDir dir;
    platform::SetExecutableDirectoryForTesting(dir.Dir());
    FinalizeLocalization();
    ShowShortLangNames = c.showShort;
    dir.Write(u"lang/" + std::u16string(c.file), Utf16LE(c.text));
    LoadLangList();
    ASSERT_EQ(LangList.size(), 1u) << c.reason;
    const std::u16string file = c.file;
    EXPECT_EQ(LangList[0].FileName, file.substr(0, file.size() - 4)) << c.reason;
    EXPECT_EQ(LangList[0].DisplayName, std::u16string(c.displayName)) << c.reason;
    EXPECT_EQ(LangList[0].FlagFile, std::u16string(c.flagFile)) << c.reason;
    EXPECT_EQ(LangList[0].LangID, c.langId) << c.reason;
  }
}

TEST_F(Localization, SkipsDirectoriesAndListsAFileNamedDotLng) {
  WriteLang(u"English.lng", u"[main]\nLangName=English\n");
  WriteLang(u".lng", u"[main]\nLangName=Nameless\n");
  std::set<std::u16string> expected = {u"English", u""};
#ifdef _WIN32
  // Wine reports names that begin with "." as hidden (Windows does not), and
  // setting the attributes does not change that: then the rule for hidden
  // files applies to ".lng" too.
  const DWORD attrs = GetFileAttributesW(reinterpret_cast<const wchar_t*>(LangPath(u"").c_str()));
  ASSERT_NE(attrs, INVALID_FILE_ATTRIBUTES);
  if (attrs & FILE_ATTRIBUTE_HIDDEN) expected.erase(u"");
#endif
  std::filesystem::create_directories(dir_.path() / "lang" / "folder.lng");
  const std::vector<std::u16string> keys = Keys();
  EXPECT_EQ(std::set<std::u16string>(keys.begin(), keys.end()), expected);
  EXPECT_FALSE(SetCurrentLang(u"")) << "an entry with an empty key can never be selected";
  EXPECT_FALSE(SetCurrentLang(u"folder"));
  EXPECT_TRUE(CurrentLangFile.empty());
}

#ifdef _WIN32
TEST_F(Localization, SkipsHiddenAndSystemFiles) {
  WriteLang(u"English.lng", u"[main]\n");
  WriteLang(u"Hidden.lng", u"[main]\n");
  WriteLang(u"System.lng", u"[main]\n");
  ASSERT_TRUE(SetFileAttributesW(reinterpret_cast<const wchar_t*>(LangPath(u"Hidden").c_str()), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW(reinterpret_cast<const wchar_t*>(LangPath(u"System").c_str()), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_NE(GetFileAttributesW(reinterpret_cast<const wchar_t*>(LangPath(u"Hidden").c_str())) & FILE_ATTRIBUTE_HIDDEN, 0u)
      << "the file system keeps no hidden attribute here";
  EXPECT_EQ(Keys(), std::vector<std::u16string>{u"English"});
}

TEST_F(Localization, TheExtensionMatchesInAnyLetterCase) {
  WriteLang(u"Upper.LNG", u"[main]\nLangName=U\n");
  ASSERT_EQ(Keys(), std::vector<std::u16string>{u"Upper"});
  EXPECT_EQ(LangList[0].DisplayName, u"U") << "the file is read under the name with \".lng\"";
}
#else
TEST_F(Localization, TheExtensionMatchesOnlyInSmallLetters) {
  // POSIX names differ by letter case: "Upper.LNG" is not "Upper.lng",
  // which is the file the catalogue would read.
  WriteLang(u"Upper.LNG", u"[main]\nLangName=U\n");
  WriteLang(u"Lower.lng", u"[main]\nLangName=L\n");
  EXPECT_EQ(Keys(), std::vector<std::u16string>{u"Lower"});
}
#endif

TEST_F(Localization, SelectionComparesKeysWithLetterCase) {
  WriteLang(u"English.lng", u"[main]\nLangName=English\nFlag=gb.ico\nLangID=$0409\n");
  WriteLang(u"Russian.lng", u"[main]\nLangName=Русский\nLangID=$0419\n");
  WriteLang(u"Empty.lng", u"[main]\nLangName=\n");
  ASSERT_TRUE(SetCurrentLang(u"English"));
  struct {
    const char16_t* key;
    bool ok;
    const char16_t* currentFile;
    const char* reason;
  } const cases[] = {
      {u"english", false, u"English", "another letter case"},
      {u"ENGLISH", false, u"English", "all capitals"},
      {u"English ", false, u"English", "a trailing space"},
      {u"German", false, u"English", "not installed"},
      {u"", false, u"English", "the empty text"},
      {u"Empty", false, u"English", "an empty display name"},
      {u"Russian", true, u"Russian", "installed"},
      {u"English.lng", false, u"Russian", "the file name is no key"},
      {u"English", true, u"English", "back again"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SetCurrentLang(c.key), c.ok) << c.reason;
    EXPECT_EQ(CurrentLangFile, std::u16string(c.currentFile)) << c.reason;
  }
  EXPECT_EQ(CurrentLangName, u"English");
  EXPECT_EQ(CurrentLangFlag, u"gb.ico");
  EXPECT_EQ(CurrentLangID, 0x0409);
  EXPECT_TRUE(DefaultLangFile.empty()) << "the current selection leaves the default alone";

  EXPECT_FALSE(SetDefaultLang(u"russian"));
  EXPECT_TRUE(DefaultLangFile.empty());
  EXPECT_TRUE(SetDefaultLang(u"Russian"));
  EXPECT_EQ(DefaultLangName, u"Русский");
  EXPECT_EQ(DefaultLangFile, u"Russian");
  EXPECT_EQ(CurrentLangFile, u"English") << "the default selection leaves the current alone";
}

TEST_F(Localization, TheLastOfSeveralEntriesWithOneKeyIsSelected) {
  // One folder cannot hold two files of one name, so the catalogue is
  // given here as the search could report it on a file system that can.
  LangList = {{u"First", u"Dup", u"a.ico", 1}, {u"Other", u"Else", u"b.ico", 2}, {u"Last", u"Dup", u"c.ico", 3}};
  ASSERT_TRUE(SetCurrentLang(u"Dup"));
  EXPECT_EQ(CurrentLangName, u"Last");
  EXPECT_EQ(CurrentLangFlag, u"c.ico");
  EXPECT_EQ(CurrentLangID, 3);
}

TEST_F(Localization, GetLangListEmptiesTheListFirst) {
  WriteLang(u"English.lng", u"[main]\nLangName=English\nShotLangName=EN\n");
  ShowShortLangNames = true;
  std::vector<std::u16string> list = {u"stale", u"entries"};
  GetLangList(list, true);
  EXPECT_EQ(list, std::vector<std::u16string>{u"English [EN]"});
  GetLangList(list, false);
  EXPECT_EQ(list, std::vector<std::u16string>{u"English"});
}

TEST_F(Localization, EmptyFolderIsSearchedAgainUntilAFileIsFound) {
  EXPECT_TRUE(Keys().empty()) << "no lang folder at all";
  EXPECT_FALSE(SetDefaultLang(u"English"));
  std::filesystem::create_directories(dir_.path() / "lang");
  EXPECT_TRUE(Keys().empty()) << "an empty lang folder";
  WriteLang(u"English.lng", u"[main]\n");
  EXPECT_EQ(Keys(), std::vector<std::u16string>{u"English"}) << "searched again while empty";
  WriteLang(u"Russian.lng", u"[main]\n");
  EXPECT_EQ(Keys(), std::vector<std::u16string>{u"English"}) << "never built again once it holds an entry";
  EXPECT_FALSE(SetCurrentLang(u"Russian"));
}

TEST_F(Localization, ReselectingReloadsTheFileButNotTheEntry) {
  WriteLang(u"Russian.lng", u"[main]\nLangName=Old\n[String]\nA=old text\n");
  ASSERT_TRUE(SetCurrentLang(u"Russian"));
  EXPECT_EQ(GetLangString(u"String.A"), u"old text");
  WriteLang(u"Russian.lng", u"[main]\nLangName=New\n[String]\nA=new text\n");
  EXPECT_EQ(GetLangString(u"String.A"), u"old text") << "the kept reader shows the file as it was selected";
  ASSERT_TRUE(SetCurrentLang(u"Russian"));
  EXPECT_EQ(GetLangString(u"String.A"), u"new text");
  EXPECT_EQ(CurrentLangName, u"Old") << "the catalogue entry stays as it was built";
}

TEST_F(Localization, WithFilesNotKeptOpenEveryLookupReadsTheFiles) {
  KeepLangFilesOpen = false;
  WriteLang(u"English.lng", u"[String]\nA=default\n");
  WriteLang(u"Russian.lng", u"[String]\nA=old text\n");
  ASSERT_TRUE(SetDefaultLang(u"English"));
  ASSERT_TRUE(SetCurrentLang(u"Russian"));
  EXPECT_FALSE(CurrentLangIni) << "no reader is kept";
  EXPECT_FALSE(DefaultLangIni);
  EXPECT_EQ(GetLangString(u"String.A"), u"old text");
  WriteLang(u"Russian.lng", u"[String]\nB=other\n");
  EXPECT_EQ(GetLangString(u"String.A"), u"default") << "the edit shows at once";
}

TEST_F(Localization, ASelectedFileThatHasGoneReadsAsEmpty) {
  WriteLang(u"English.lng", u"[String]\nA=default\n");
  WriteLang(u"Russian.lng", u"[String]\nA=current\n");
  ASSERT_TRUE(SetDefaultLang(u"English"));
  std::filesystem::remove(dir_.path() / "lang" / "Russian.lng");
  EXPECT_TRUE(SetCurrentLang(u"Russian")) << "success depends on the catalogue as built";
  EXPECT_EQ(GetLangString(u"String.A"), u"default");
}

struct LookupCase {
  const char16_t* key;
  const char16_t* expected;
  const char* reason;
};

TEST_F(Localization, LookupChainForBothSettings) {
  WriteLang(u"English.lng",
            u"[String]\nOnlyDefault=default text\nBoth=default both\nEmptyInCurrent=default 2\nEmptyInDefault=\n"
            u"[Button]\nCheck=Check\n[ ]\nNoDot=default nodot\n");
  WriteLang(u"Russian.lng", u"[String]\nBoth=current both\nEmptyInCurrent=\nDotted.Key=dotted\n=empty key\n");
  const LookupCase cases[] = {
      {u"String.Both", u"current both", "the current file has it"},
      {u"String.OnlyDefault", u"default text", "only the default file has it"},
      {u"String.Nowhere", u"NoTranslate:Nowhere", "neither has it: the marker with the Ident"},
      {u"Nosection.X", u"NoTranslate:X", "a section neither has"},
      {u"String.EmptyInCurrent", u"", "an empty current text hides the default one"},
      {u"String.EmptyInDefault", u"", "an empty default text hides the marker"},
      {u"NoDot", u"default nodot", "no dot: the empty section, opened by \"[ ]\""},
      {u"Missing", u"NoTranslate:Missing", "no dot and no such key: the marker for the whole key"},
      {u"LOCString.Both", u"current both", "\"LOC\" is dropped from the section"},
      {u"LOC.NoDot", u"default nodot", "\"LOC\" alone leaves the empty section"},
      {u"locString.Both", u"NoTranslate:Both", "\"loc\" is kept"},
      {u"LocString.Both", u"NoTranslate:Both", "\"Loc\" is kept"},
      {u"LOCLOCString.Both", u"NoTranslate:Both", "only one \"LOC\" is dropped"},
      {u"String.Dotted.Key", u"dotted", "further dots belong to the Ident"},
      {u"String.Dotted.Missing", u"NoTranslate:Dotted.Missing", "...also in the marker"},
      {u"String.", u"empty key", "a trailing dot looks up the empty key"},
      {u"Button.", u"NoTranslate:", "...and gives the marker with an empty Ident"},
      {u"string.both", u"current both", "letter case does not count"},
      {u"STRING.ONLYDEFAULT", u"default text", "...in either file"},
      {u"String.Both ", u"NoTranslate:Both ", "the key is not trimmed"},
      {u" String.Both", u"NoTranslate:Both", "...on either side"},
  };
  for (const bool keep : {true, false}) {
    FinalizeLocalization();
    KeepLangFilesOpen = keep;
    ASSERT_TRUE(SetDefaultLang(u"English"));
    ASSERT_TRUE(SetCurrentLang(u"Russian"));
    for (const LookupCase& c : cases)
      EXPECT_EQ(GetLangString(c.key), std::u16string(c.expected))
          << c.reason << " (KeepLangFilesOpen " << keep << ") got " << Show(GetLangString(c.key));
  }
}

TEST_F(Localization, AMissingReaderReadsAsAnEmptyFile) {
  WriteLang(u"Russian.lng", u"[String]\nA=current\n");
  for (const bool keep : {true, false}) {
    FinalizeLocalization();
    KeepLangFilesOpen = keep;
    EXPECT_EQ(GetLangString(u"String.A"), u"NoTranslate:A") << "nothing selected, keep " << keep;
    EXPECT_FALSE(SetDefaultLang(u"English")) << "English is not installed";
    EXPECT_EQ(GetLangString(u"String.A"), u"NoTranslate:A");
    ASSERT_TRUE(SetCurrentLang(u"Russian"));
    EXPECT_EQ(GetLangString(u"String.A"), u"current") << "no default reader, keep " << keep;
    EXPECT_EQ(GetLangString(u"String.B"), u"NoTranslate:B") << "no default reader, keep " << keep;
  }
}

TEST_F(Localization, CatalogueBuildStopsAtAFileThatCannotBeOpened) {
  WriteLang(u"Alpha.lng", u"[main]\nLangName=A\nLangID=1\n");
  WriteLang(u"Bravo.lng", u"[main]\nLangName=B\nLangID=2\n");
  WriteLang(u"Charlie.lng", u"[main]\nLangName=C\nLangID=3\n");
  const std::vector<std::u16string> order = SearchOrder();
  ASSERT_EQ(order.size(), 3u);
  const std::u16string failing = order[1];
  {
    Unopenable lock(LangPath(failing));
    try {
      LoadLangList();
      ADD_FAILURE() << "no error raised";
    } catch (const EError& e) {
      EXPECT_EQ(e.Message(), u"Cannot open file \"" + LangPath(failing) + u"\". " + Unopenable::Reason())
          << Show(e.Message());
    }
  }
  ASSERT_EQ(LangList.size(), 3u);
  EXPECT_EQ(LangList[0].FileName, order[0]);
  EXPECT_EQ(LangList[0].DisplayName, order[0].substr(0, 1)) << "the entry before is complete";
  EXPECT_EQ(LangList[0].FlagFile, kWhiteFlag);
  EXPECT_NE(LangList[0].LangID, 0);
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(LangList[i].FileName, order[i]) << "from the failing entry on, only the FileName";
    EXPECT_TRUE(LangList[i].DisplayName.empty()) << i;
    EXPECT_TRUE(LangList[i].FlagFile.empty()) << i;
    EXPECT_EQ(LangList[i].LangID, 0) << i;
  }
  EXPECT_EQ(Keys(), order) << "not built again: all three listed";
  EXPECT_FALSE(SetCurrentLang(order[2])) << "an entry after the failing one cannot be selected";
  EXPECT_TRUE(SetCurrentLang(order[0]));
}

TEST_F(Localization, FailedReloadLeavesNoReaderOfItsKind) {
  WriteLang(u"English.lng", u"[main]\nLangName=English\n[String]\nA=default\n");
  WriteLang(u"Russian.lng", u"[main]\nLangName=Русский\nLangID=$0419\n[String]\nA=current\n");
  ASSERT_TRUE(SetDefaultLang(u"English"));
  ASSERT_TRUE(SetCurrentLang(u"English"));
  {
    Unopenable lock(LangPath(u"Russian"));
    try {
      SetCurrentLang(u"Russian");
      ADD_FAILURE() << "no error raised";
    } catch (const EError& e) {
      EXPECT_EQ(e.Message(), u"Cannot open file \"" + LangPath(u"Russian") + u"\". " + Unopenable::Reason())
          << Show(e.Message());
    }
    EXPECT_EQ(CurrentLangFile, u"Russian") << "the selection texts have already changed";
    EXPECT_EQ(CurrentLangID, 0x0419);
    EXPECT_FALSE(CurrentLangIni) << "the previous reader is released";
    EXPECT_EQ(GetLangString(u"String.A"), u"default") << "the missing reader reads as empty";
  }
  ASSERT_TRUE(SetCurrentLang(u"Russian"));
  EXPECT_EQ(GetLangString(u"String.A"), u"current");
}

TEST_F(Localization, LookupWithoutKeptFilesRaisesForAFileThatCannotBeOpened) {
  KeepLangFilesOpen = false;
  WriteLang(u"English.lng", u"[String]\nA=default\n");
  WriteLang(u"Russian.lng", u"[String]\nA=current\n");
  ASSERT_TRUE(SetDefaultLang(u"English"));
  ASSERT_TRUE(SetCurrentLang(u"Russian"));
  Unopenable lock(LangPath(u"Russian"));
  try {
    GetLangString(u"String.A");
    ADD_FAILURE() << "no error raised";
  } catch (const EError& e) {
    EXPECT_EQ(e.Message(), u"Cannot open file \"" + LangPath(u"Russian") + u"\". " + Unopenable::Reason())
        << Show(e.Message());
  }
}

TEST_F(Localization, FinalizeEmptiesTheCatalogueAndTheSelection) {
  WriteLang(u"English.lng", u"[main]\nLangName=English\nLangID=9\n");
  ASSERT_TRUE(SetDefaultLang(u"English"));
  ASSERT_TRUE(SetCurrentLang(u"English"));
  FinalizeLocalization();
  EXPECT_TRUE(LangList.empty());
  EXPECT_TRUE(CurrentLangName.empty() && CurrentLangFile.empty() && CurrentLangFlag.empty());
  EXPECT_TRUE(DefaultLangName.empty() && DefaultLangFile.empty());
  EXPECT_EQ(CurrentLangID, 0);
  EXPECT_FALSE(CurrentLangIni);
  EXPECT_FALSE(DefaultLangIni);
}

}  // namespace
