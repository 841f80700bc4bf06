#include "host/classes/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "support/FullDisk.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace vantora::host {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::ScopedEnv;
using test::TempDir;
using Strings = std::vector<std::string>;

Strings Items(const TStringList& list) {
  return {list.begin(), list.end()};
}

Strings Sections(const TIniFile& ini) {
  TStringList list;
  ini.ReadSections(list);
  return Items(list);
}

Strings Keys(const TIniFile& ini, const std::string& section) {
  TStringList list;
  ini.ReadSection(section, list);
  return Items(list);
}

TEST(IniFile, MissingFileReadsAsEmptyAndIsNotCreatedByReads) {
  TempDir dir;
  const auto path = dir.Name("none.ini");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "K", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("S", "K", 600), 600);
  EXPECT_TRUE(ini.ReadBool("S", "K", true));
  EXPECT_FALSE(ini.SectionExists("S"));
  EXPECT_FALSE(ini.ValueExists("S", "K"));
  EXPECT_TRUE(Sections(ini).empty());
  TStringList keys;
  keys.Add("stale");
  ini.ReadSection("S", keys);
  EXPECT_EQ(keys.Count(), 0);
  ini.EraseSection("S");
  ini.DeleteKey("S", "K");
  ini.UpdateFile();
  EXPECT_FALSE(fs::exists(path));
}

TEST(IniFile, WritesCreateDirectoriesAndReadBack) {
  TempDir dir;
  const auto path = dir.Name("a/b/fulgo.ini");
  TIniFile ini(path);
  ini.WriteString("FulgoLabel", "LabelGallery", "c:\\");
  ini.WriteBool("FulgoLabel", "BeepOnUpdate", true);
  ini.WriteInteger("FulgoLabel", "UpdateAfter", -600);
  ini.WriteString("Other", "Key", "v");
  EXPECT_EQ(ReadAll(path),
            "[FulgoLabel]\nLabelGallery=c:\\\nBeepOnUpdate=1\nUpdateAfter=-600\n\n[Other]\nKey=v\n");
  ini.UpdateFile();

  // A second object on the same file sees every write at once.
  TIniFile other(path);
  EXPECT_EQ(other.ReadString("fulgolabel", "LABELGALLERY", ""), "c:\\");
  EXPECT_TRUE(other.ReadBool("FulgoLabel", "BeepOnUpdate", false));
  EXPECT_EQ(other.ReadInteger("FulgoLabel", "UpdateAfter", 0), -600);
  EXPECT_EQ(Sections(other), (Strings{"FulgoLabel", "Other"}));
  EXPECT_EQ(Keys(other, "fulgolabel"), (Strings{"LabelGallery", "BeepOnUpdate", "UpdateAfter"}));

  // Overwriting keeps the file's spelling of the key and its place.
  other.WriteBool("FULGOLABEL", "beeponupdate", false);
  EXPECT_EQ(ReadAll(path),
            "[FulgoLabel]\nLabelGallery=c:\\\nBeepOnUpdate=0\nUpdateAfter=-600\n\n[Other]\nKey=v\n");
}

TEST(IniFile, ValuesKeepBlanksQuotesAndEmptiness) {
  TempDir dir;
  TIniFile ini(dir.Name("v.ini"));
  const Strings values = {"  padded  ", "\"quoted\"", "'single'", "\"", "", "a = b", "tab\t", "x\"y\""};
  for (std::size_t i = 0; i < values.size(); ++i) ini.WriteString("S", "K" + std::to_string(i), values[i]);
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(ini.ReadString("S", "K" + std::to_string(i), "?"), values[i]) << "value " << i;
  EXPECT_TRUE(ini.ValueExists("S", "K4"));  // an empty value is still a value
}

TEST(IniFile, IntegersAndBooleansFollowTheStrictConversion) {
  TempDir dir;
  const auto path = dir.File("n.ini",
                             "[N]\ndec= 42 \nneg=-7\nhex=$1F\nchex=0x1f\nbad=12a\nbig=2147483648\n"
                             "empty=\ntwo=2\nyes=yes\nzero=0\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("N", "dec", 0), 42);
  EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -7);
  EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "chex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "bad", 5), 5);
  EXPECT_EQ(ini.ReadInteger("N", "big", 5), 5);
  EXPECT_EQ(ini.ReadInteger("N", "empty", 5), 5);
  EXPECT_TRUE(ini.ReadBool("N", "two", false));
  EXPECT_TRUE(ini.ReadBool("N", "yes", true));
  EXPECT_FALSE(ini.ReadBool("N", "yes", false));
  EXPECT_FALSE(ini.ReadBool("N", "zero", true));
}

TEST(IniFile, WritesKeepCommentsOddLinesAndLineEnds) {
  TempDir dir;
  const std::string original =
      "; settings\r\n"
      "stray=before any section\r\n"
      "[Main]\r\n"
      "# comment inside\r\n"
      "  Width = 10  \r\n"
      "no equals sign here\r\n"
      "\r\n"
      "[Next]\r\n"
      "a=1";
  const auto path = dir.File("c.ini", original);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Main", "stray", "none"), "none");  // lines before a section belong to none
  EXPECT_EQ(ini.ReadInteger("main", "width", 0), 10);
  EXPECT_EQ(Keys(ini, "Main"), (Strings{"Width"}));
  EXPECT_EQ(ini.ReadString("Next", "a", ""), "1");

  ini.WriteInteger("Main", "Height", 20);
  ini.WriteInteger("Main", "Width", 11);
  ini.WriteString("New", "k", "v");
  EXPECT_EQ(ReadAll(path),
            "; settings\r\n"
            "stray=before any section\r\n"
            "[Main]\r\n"
            "# comment inside\r\n"
            "Width=11\r\n"
            "Height=20\r\n"
            "no equals sign here\r\n"
            "\r\n"
            "[Next]\r\n"
            "a=1\n"
            "\r\n"
            "[New]\r\n"
            "k=v\r\n");
}

TEST(IniFile, DuplicatesFirstWinsAndEraseRemovesEveryCopy) {
  TempDir dir;
  const auto path =
      dir.File("d.ini", "[A]\nk=first\nk=second\n[b]\nx=1\n[a]\nk=third\nonly=late\n; end\n[C]\nc=3\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("A", "k", ""), "first");
  EXPECT_FALSE(ini.ValueExists("A", "only"));  // the second copy of a section is shadowed
  EXPECT_EQ(Sections(ini), (Strings{"A", "b", "C"}));
  EXPECT_EQ(Keys(ini, "a"), (Strings{"k"}));

  ini.WriteString("a", "k", "new");
  EXPECT_EQ(ini.ReadString("A", "k", ""), "new");
  ini.DeleteKey("A", "K");
  EXPECT_FALSE(ini.ValueExists("A", "k"));
  EXPECT_EQ(ReadAll(path), "[A]\n[b]\nx=1\n[a]\nonly=late\n; end\n[C]\nc=3\n");

  ini.EraseSection("A");
  EXPECT_FALSE(ini.SectionExists("a"));
  EXPECT_EQ(ReadAll(path), "[b]\nx=1\n[C]\nc=3\n");
}

TEST(IniFile, OddInputNeverBreaksReading) {
  TempDir dir;
  std::string content = "[Bin]\nkey=va";
  content += '\0';
  content += "lue\n[Unclosed\nu=1\n[]\n=no key\n[Long]\nlong=";
  content += std::string(1 << 20, 'x');
  content += "\n\xff\xfe[junk\n";
  const auto path = dir.File("odd.ini", content);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Bin", "key", ""), std::string("va\0lue", 6));
  EXPECT_EQ(ini.ReadInteger("Unclosed", "u", 0), 1);
  EXPECT_TRUE(ini.SectionExists(""));
  EXPECT_TRUE(Keys(ini, "").empty());
  EXPECT_EQ(ini.ReadString("Long", "long", "").size(), std::size_t{1} << 20);

  ini.WriteString("Unclosed", "v", "2");
  EXPECT_EQ(ini.ReadInteger("Unclosed", "u", 0), 1);
  EXPECT_EQ(ini.ReadInteger("Unclosed", "v", 0), 2);
  EXPECT_EQ(ini.ReadString("Bin", "key", ""), std::string("va\0lue", 6));
}

TEST(IniFile, NamesThatCannotBeStoredAreRefused) {
  TempDir dir;
  const auto path = dir.File("r.ini", "[S]\nk=v\n");
  TIniFile ini(path);
  EXPECT_THROW(ini.WriteString("", "k", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("a]b", "k", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("a\nb", "k", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("S", " ", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("S", "a=b", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("S", ";k", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("S", "[k", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("S", "k", "line\n[Injected]"), EConvertError);
  EXPECT_EQ(ReadAll(path), "[S]\nk=v\n");
}

TEST(IniFile, SeveralKeysAreStoredTogetherOrNotAtAll) {
  TempDir dir;
  const auto path = dir.File("s.ini", "; mine\n[S]\nk=v\n");
  TIniFile ini(path);
  EXPECT_THROW(ini.WriteStrings("S", {{"a", "1"}, {"b=c", "2"}}), EConvertError);
  EXPECT_EQ(ReadAll(path), "; mine\n[S]\nk=v\n");
  ini.WriteStrings("S", {{"a", "1"}, {"K", "w"}});
  EXPECT_EQ(ReadAll(path), "; mine\n[S]\nk=w\na=1\n");

  test::FullDisk disk(dir.Path() / "disk");
  TIniFile full(disk.Name("s.ini"));
  full.WriteStrings("S", {{"k", "v"}});
  disk.Fill();
  test::FullDisk::Cap cap(disk);
  EXPECT_THROW(full.WriteStrings("S", {{"k", std::string(70000, 'x')}}), EFCreateError);
  EXPECT_EQ(ReadAll(disk.Name("s.ini")), "[S]\nk=v\n");
}

TEST(IniFile, FilesThatCannotBeReadOrWrittenRaise) {
  TempDir dir;
  TIniFile onDirectory(dir.Path().string());
  try {
    onDirectory.ReadString("S", "K", "");
    FAIL() << "reading a directory must raise";
  } catch (const EInOutError& e) {
    EXPECT_NE(e.Message().find(dir.Path().string()), std::string::npos) << e.Message();
  }
  EXPECT_THROW(onDirectory.WriteString("S", "K", "V"), EInOutError);

  const auto blocker = dir.File("plain", "x");
  TIniFile underFile(blocker + "/sub/s.ini");
  EXPECT_EQ(underFile.ReadString("S", "K", "d"), "d");  // nothing there to read
  EXPECT_THROW(underFile.WriteString("S", "K", "V"), EFCreateError);

  if (geteuid() != 0) {  // permissions do not stop the superuser
    const auto locked = dir.File("locked.ini", "[S]\nK=V\n");
    chmod(locked.c_str(), 0);
    EXPECT_THROW(TIniFile(locked).ReadString("S", "K", ""), EInOutError);
    EXPECT_THROW(TIniFile(locked).WriteString("S", "K", "W"), EInOutError);
    chmod(locked.c_str(), 0600);
  }
}

TEST(IniFile, SettingsFileLookupOrder) {
  TempDir dir;
  const auto config = dir.Path() / "config";
  const auto data = dir.Path() / "data";
  fs::create_directories(config / "vantora");
  ScopedEnv dataDir("VANTORA_DATA_DIR", data.c_str());
  ScopedEnv xdg("XDG_CONFIG_HOME", config.c_str());

  {
    ScopedEnv ini("VANTORA_INI", "/explicit/fulgo.ini");
    EXPECT_EQ(FulgoIniPath(), "/explicit/fulgo.ini");
  }
  ScopedEnv noIni("VANTORA_INI", nullptr);
  EXPECT_EQ(VantoraDataDir(), data.string());
  // The user's file counts only once it exists.
  EXPECT_EQ(FulgoIniPath(), (data / "fulgo.ini").string());
  const auto user = config / "vantora" / "fulgo.ini";
  std::ofstream(user) << "[FulgoLabel]\n";
  EXPECT_EQ(FulgoIniPath(), user.string());
  {
    // Without XDG_CONFIG_HOME (or with a relative one, which is invalid) the home's .config is used.
    ScopedEnv home("HOME", dir.Path().c_str());
    const auto homeIni = dir.Path() / ".config" / "vantora" / "fulgo.ini";
    ScopedEnv relative("XDG_CONFIG_HOME", "config");
    EXPECT_EQ(FulgoIniPath(), (data / "fulgo.ini").string());
    fs::create_directories(homeIni.parent_path());
    std::ofstream(homeIni) << "";
    EXPECT_EQ(FulgoIniPath(), homeIni.string());
    ScopedEnv unset("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(FulgoIniPath(), homeIni.string());
  }
  {
    // Run from the build tree, the build's own data (with its default settings file) is found.
    ScopedEnv noData("VANTORA_DATA_DIR", nullptr);
    ScopedEnv noXdg("XDG_CONFIG_HOME", dir.Path().c_str());
    const std::string found = VantoraDataDir();
    EXPECT_TRUE(fs::is_regular_file(fs::path(found) / "fulgo.ini")) << found;
    EXPECT_EQ(FulgoIniPath(), found + "/fulgo.ini");
    EXPECT_TRUE(TIniFile(FulgoIniPath()).SectionExists("FulgoLabel"));
  }
}

}  // namespace
}  // namespace vantora::host
