#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "TestUtil.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

using test::S;

TEST(IniFile, WritesSectionsAndKeysInCrLfLinesAndReadsThemBack) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  {
    IniFile ini(path);
    ini.WriteInteger("Csv", "ColCount", 2);
    ini.WriteInteger("Csv", "RowCount", -5);
    ini.WriteString("Csv", "0", S("店舗"));
    ini.WriteString(S("店舗"), "ValType", "Str");
    ini.WriteString("Csv", "1", " a=b ");  // taken as it stands
    ini.Flush();
  }
  EXPECT_EQ(test::ReadFile(path), "[Csv]\r\nColCount=2\r\nRowCount=-5\r\n0=" + S("店舗") +
                                      "\r\n1= a=b \r\n[" + S("店舗") + "]\r\nValType=Str\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("csv", "COLCOUNT", 0), 2);
  EXPECT_EQ(ini.ReadInteger("Csv", "RowCount", 0), -5);
  EXPECT_EQ(ini.ReadString("Csv", "0", ""), S("店舗"));
  EXPECT_EQ(ini.ReadString("Csv", "1", ""), " a=b ");
  EXPECT_EQ(ini.ReadString(S("店舗"), "ValType", ""), "Str");
}

TEST(IniFile, SectionNamesHoldingBracketsEqualsAndLfReadBackCaseInsensitively) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  const std::string names[] = {"a]b", "[x]", "k=v", " lead", "a\nb", S("Ａゾ"), S("ソ表")};
  {
    IniFile ini(path);
    for (const std::string& name : names) ini.WriteString(name, "Key", name);
    ini.Flush();
  }
  IniFile ini(path);
  for (const std::string& name : names) EXPECT_EQ(ini.ReadString(name, "key", "-"), name);
  EXPECT_EQ(ini.ReadString(S("ａゾ"), "Key", "-"), S("Ａゾ"));  // full-width letters fold
  EXPECT_EQ(ini.ReadString("A]B", "Key", "-"), "a]b");
  EXPECT_EQ(ini.Serialize(), test::ReadFile(path));
}

TEST(IniFile, ExistingKeyKeepsItsSpellingAndANewKeyGoesToTheEndOfItsSection) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  test::WriteFile(path, "; note\r\n[Csv]\r\nColCount =1\r\nDateTime=x\r\nstray\r\n[Col]\r\nMin=0");
  IniFile ini(path);
  ini.WriteInteger("csv", "colcount", 3);
  ini.DeleteKey("Csv", "DateTime");
  ini.WriteString("Csv", "DateTime", "y");
  ini.WriteString("Col", "Max", "9");
  ini.WriteString("New", "K", "v");
  ini.Flush();
  EXPECT_EQ(test::ReadFile(path),
            "; note\r\n[Csv]\r\nColCount =3\r\nstray\r\nDateTime=y\r\n[Col]\r\nMin=0\r\nMax=9\r\n"
            "[New]\r\nK=v\r\n");
}

TEST(IniFile, MissingFileReadsDefaultsAndIsCreatedOnlyByAWrite) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Csv", "0", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("Csv", "ColCount", 7), 7);
  EXPECT_EQ(ini.ReadFloat("Col", "Min", 1.5), 1.5);
  EXPECT_EQ(ini.ReadDateTime("Csv", "DateTime", 2.0), 2.0);
  EXPECT_FALSE(ini.KeyExists("Csv", "ColCount"));
  ini.DeleteKey("Csv", "DateTime");
  ini.Flush();
  EXPECT_FALSE(FileExists(path));
}

TEST(IniFile, ReadIntegerTakesOnlyASignedDecimalInt32) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  test::WriteFile(path,
                  "[S]\r\na=007\r\nb=+12\r\nc=-2147483648\r\nd=2147483648\r\ne= 1\r\n"
                  "f=1x\r\ng=\r\nh=-\r\ni=99999999999999999999\r\n");
  IniFile ini(path);
  const struct {
    const char* key;
    int32_t value;
  } cases[] = {{"a", 7},  {"b", 12}, {"c", INT32_MIN}, {"d", -1}, {"e", -1},
               {"f", -1}, {"g", -1}, {"h", -1},        {"i", -1}};
  for (const auto& c : cases) EXPECT_EQ(ini.ReadInteger("S", c.key, -1), c.value) << c.key;
}

TEST(IniFile, ACrInANameOrValueIsStoredAsLfSoTheFileKeepsItsShape) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  {
    IniFile ini(path);
    ini.WriteString("Csv", "0", "a\rb");
    ini.WriteString("a\rb", "Count", "4");
    ini.WriteString("Csv", "1", "c");
    ini.Flush();
  }
  EXPECT_EQ(test::ReadFile(path), "[Csv]\r\n0=a\nb\r\n1=c\r\n[a\nb]\r\nCount=4\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Csv", "0", ""), "a\nb");
  EXPECT_EQ(ini.ReadInteger("a\rb", "Count", 0), 4);
}

TEST(IniFile, AFailedFlushLeavesTheOldFileAndRetriesLater) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  test::WriteFile(path, "[S]\r\nA=1\r\n");
  IniFile ini(path);
  ini.WriteString("S", "A", "2");
  InjectFileFault(FileOp::kRename, 1);
  EXPECT_THROW(ini.Flush(), IoError);
  ClearFileFaults();
  EXPECT_EQ(test::ReadFile(path), "[S]\r\nA=1\r\n");
  EXPECT_FALSE(FileExists(path + ".tmp"));
  ini.Flush();
  EXPECT_EQ(test::ReadFile(path), "[S]\r\nA=2\r\n");
}

TEST(IniFile, FloatsAndDateTimesUseTheDescriptorForms) {
  test::ScratchDir dir;
  IniFile ini(dir.File("d.Ini"));
  const double when = EncodeDate(2024, 3, 31) + EncodeTime(9, 5, 0, 0);
  ini.WriteFloat("C", "Max", 922337203685477.5807);
  ini.WriteFloat("C", "Min", -0.25);
  ini.WriteDateTime("C", "DateTime", when);
  ini.WriteString("C", "Bad", "x");
  EXPECT_EQ(ini.Serialize(),
            "[C]\r\nMax=922337203685478\r\nMin=-0.25\r\nDateTime=2024/03/31 9:05:00\r\nBad=x\r\n");
  EXPECT_EQ(ini.ReadFloat("C", "Min", 0), -0.25);
  EXPECT_EQ(ini.ReadFloat("C", "Bad", 3), 3);
  EXPECT_EQ(FormatDateTime(ini.ReadDateTime("C", "DateTime", 0)), "2024/03/31 9:05:00");
  EXPECT_EQ(ini.ReadDateTime("C", "Bad", 5), 5);
}

TEST(IniFile, FuzzedNamesAndValuesReadBackAfterAFlush) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  const std::string pieces[] = {"[", "]", "=",    " ",     "\t",    "\n",    "a",
                                "A", ";", "\x1A", S("Ａ"), S("ａ"), S("ゾ"), S("表")};
  std::mt19937 rng(7);
  auto randomText = [&](size_t maxPieces) {
    std::string text;
    for (size_t n = rng() % (maxPieces + 1); n > 0; --n) text += pieces[rng() % std::size(pieces)];
    return text;
  };
  const char* keys[] = {"Min", "Max", "Count", "0"};
  std::map<std::string, std::map<std::string, std::string>> expected;  // by folded section
  std::map<std::string, std::string> spelling;                         // folded -> name used
  {
    IniFile ini(path);
    for (int i = 0; i < 400; ++i) {
      const std::string section = randomText(4);
      const std::string key = keys[rng() % std::size(keys)];
      const std::string value = randomText(6);
      ini.WriteString(section, key, value);
      expected[FoldKey(section)][key] = value;
      spelling[FoldKey(section)] = section;
    }
    ini.Flush();
  }
  IniFile ini(path);
  for (const auto& [folded, values] : expected) {
    for (const auto& [key, value] : values) {
      EXPECT_EQ(ini.ReadString(spelling[folded], key, "?"), value) << spelling[folded];
    }
  }
  EXPECT_EQ(ini.Serialize(), test::ReadFile(path));
}

TEST(IniFile, FuzzedFilesReadAndWriteBackUnchanged) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  const std::string pieces[] = {"[", "]", "=", " ", "\r", "\n", "\r\n", "a", "K", S("ゾ")};
  std::mt19937 rng(11);
  for (int round = 0; round < 100; ++round) {
    std::string bytes;
    for (size_t n = rng() % 40; n > 0; --n) bytes += pieces[rng() % std::size(pieces)];
    test::WriteFile(path, bytes);
    const std::string once = IniFile(path).Serialize();
    test::WriteFile(path, once);
    IniFile again(path);
    EXPECT_EQ(again.Serialize(), once);
    again.WriteString("K", "a", "1");  // any section: found or appended, never lost
    EXPECT_EQ(again.ReadString("k", "A", ""), "1");
  }
}

}  // namespace
}  // namespace tabulon
