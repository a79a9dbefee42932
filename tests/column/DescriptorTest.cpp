#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"
#include "column/Descriptor.h"
#include "column/TCol.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

// A descriptor with one section per value type, as the import writes them, and one damaged
// section whose Min of an Int column is not an integer.
IniFile Sections(const test::ScratchDir& dir) {
  const std::string path = dir.File("d.Ini");
  test::WriteFile(path,
                  "[n]\r\nMin=-7\r\nMax=12\r\nValType=Int\r\nColType=Byt\r\nCount=3\r\n"
                  "[c]\r\nMin=-0.25\r\nMax=1.5\r\nValType=Cur\r\nColType=Wor\r\nCount=300\r\n"
                  "[d]\r\nMin=2024/03/01 0:00:00\r\nMax=2024/03/31 9:05:00\r\nValType=Dat\r\n"
                  "ColType=Lon\r\n"
                  "[s]\r\nValType=Str\r\nColType=Byt\r\nCount=2\r\n"
                  "[bad]\r\nMin=1.5\r\nMax=4\r\nValType=Int\r\nColType=Byt\r\nCount=2001\r\n");
  return IniFile(path);
}

TEST(Descriptor, AColumnSectionReadsItsExtremesAsItsValueTypeReadsThem) {
  test::ScratchDir dir;
  const IniFile ini = Sections(dir);

  const TColumnSection n = ReadColumnSection(ini, "n");
  EXPECT_EQ(n.valType, "Int");
  EXPECT_EQ(n.colType, "Byt");
  EXPECT_EQ(n.count, 3);
  EXPECT_TRUE(n.hasExtremes);
  EXPECT_EQ(n.min, -7);
  EXPECT_EQ(n.max, 12);

  const TColumnSection c = ReadColumnSection(ini, "c");
  EXPECT_EQ(c.count, 300);
  EXPECT_EQ(c.min, -0.25);
  EXPECT_EQ(c.max, 1.5);

  const TColumnSection d = ReadColumnSection(ini, "d");
  EXPECT_EQ(d.count, 0);  // a per-row column has no Count
  EXPECT_EQ(FormatDateTime(d.min), "2024/03/01");
  EXPECT_EQ(FormatDateTime(d.max), "2024/03/31 9:05:00");

  const TColumnSection s = ReadColumnSection(ini, "s");
  EXPECT_FALSE(s.hasExtremes);
  EXPECT_EQ(s.count, 2);

  // An Int's Min is an integer or nothing; a Count beyond what any store holds is no count.
  const TColumnSection bad = ReadColumnSection(ini, "bad");
  EXPECT_EQ(bad.min, 0);
  EXPECT_EQ(bad.max, 4);
  EXPECT_EQ(bad.count, 0);

  const TColumnSection missing = ReadColumnSection(ini, "none");
  EXPECT_EQ(missing.valType, "");
  EXPECT_FALSE(missing.hasExtremes);
}

TEST(Descriptor, ApplyingASectionTypesTheColumnAndKeepsTheExtremesOfAColumnWithout) {
  test::ScratchDir dir;
  const IniFile ini = Sections(dir);
  TCol col;
  col.Open(dir.File("store"), "c", 10);
  ReadColumnSection(ini, "c").ApplyTo(col);
  EXPECT_EQ(col.FValueType, vtCur);
  EXPECT_EQ(col.FStorage, csWor);
  EXPECT_EQ(col.FCount, 300);
  EXPECT_EQ(col.FMin, -0.25);
  EXPECT_EQ(col.FMax, 1.5);

  col.FMin = 5;
  col.FMax = 3;
  ReadColumnSection(ini, "s").ApplyTo(col);
  EXPECT_EQ(col.FValueType, vtStr);
  EXPECT_EQ(col.FStorage, csByt);
  EXPECT_EQ(col.FCount, 2);
  EXPECT_EQ(col.FMin, 5);
  EXPECT_EQ(col.FMax, 3);
}

}  // namespace
}  // namespace tabulon
