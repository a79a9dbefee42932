#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"
#include "column/Descriptor.h"
#include "column/TCol.h"
#include "platform/Errors.h"
#include "platform/LocaleFormats.h"

namespace tabulon {
namespace {

// A descriptor with one section per value type, as the import writes them, and one damaged
// section whose Min of an Int column is not an integer.
TDescriptor Sections(const test::ScratchDir& dir) {
  const std::string path = dir.File("d.Ini");
  test::WriteFile(path,
                  "[Csv]\r\nColCount=5\r\nRowCount=9\r\n0=n\r\n1=c\r\n2=d\r\n3=s\r\n4=bad\r\n"
                  "[n]\r\nMin=-7\r\nMax=12\r\nValType=Int\r\nColType=Byt\r\nCount=3\r\n"
                  "[c]\r\nMin=-0.25\r\nMax=1.5\r\nValType=Cur\r\nColType=Wor\r\nCount=300\r\n"
                  "[d]\r\nMin=2024/03/01 0:00:00\r\nMax=2024/03/31 9:05:00\r\nValType=Dat\r\n"
                  "ColType=Lon\r\n"
                  "[s]\r\nValType=Str\r\nColType=Byt\r\nCount=2\r\n"
                  "[bad]\r\nMin=1.5\r\nMax=4\r\nValType=Int\r\nColType=Byt\r\nCount=2001\r\n");
  return TDescriptor::Read(path);
}

TEST(Descriptor, AColumnSectionReadsItsExtremesAsItsValueTypeReadsThem) {
  test::ScratchDir dir;
  const TDescriptor descriptor = Sections(dir);
  EXPECT_EQ(descriptor.colCount, 5);
  EXPECT_EQ(descriptor.rowCount, 9);
  EXPECT_FALSE(descriptor.completed);
  ASSERT_EQ(descriptor.sections.size(), 5u);

  const TColumnSection& n = descriptor.sections[0];
  EXPECT_EQ(n.valType, "Int");
  EXPECT_EQ(n.colType, "Byt");
  EXPECT_EQ(n.DistinctCount(), 3);
  EXPECT_TRUE(n.hasExtremes);
  EXPECT_EQ(n.min, -7);
  EXPECT_EQ(n.max, 12);

  const TColumnSection& c = descriptor.sections[1];
  EXPECT_EQ(c.DistinctCount(), 300);
  EXPECT_EQ(c.min, -0.25);
  EXPECT_EQ(c.max, 1.5);

  const TColumnSection& d = descriptor.sections[2];
  EXPECT_EQ(d.count, -1);  // a per-row column has no Count
  EXPECT_EQ(d.DistinctCount(), 0);
  EXPECT_EQ(FormatDateTime(d.min), "2024/03/01");
  EXPECT_EQ(FormatDateTime(d.max), "2024/03/31 9:05:00");

  const TColumnSection& s = descriptor.sections[3];
  EXPECT_FALSE(s.hasExtremes);
  EXPECT_EQ(s.DistinctCount(), 2);

  // An Int's Min is an integer or nothing; a Count beyond what any store holds is no count.
  const TColumnSection& bad = descriptor.sections[4];
  EXPECT_EQ(bad.min, 0);
  EXPECT_EQ(bad.max, 4);
  EXPECT_EQ(bad.count, 2001);
  EXPECT_EQ(bad.DistinctCount(), 0);
}

TEST(Descriptor, ApplyingASectionTypesTheColumnAndKeepsTheExtremesOfAColumnWithout) {
  test::ScratchDir dir;
  const TDescriptor descriptor = Sections(dir);
  TCol col;
  col.Open(dir.File("store"), "c", 10);
  descriptor.sections[1].ApplyTo(col);
  EXPECT_EQ(col.FValueType, vtCur);
  EXPECT_EQ(col.FStorage, csWor);
  EXPECT_EQ(col.FCount, 300);
  EXPECT_EQ(col.FMin, -0.25);
  EXPECT_EQ(col.FMax, 1.5);

  col.FMin = 5;
  col.FMax = 3;
  descriptor.sections[3].ApplyTo(col);
  EXPECT_EQ(col.FValueType, vtStr);
  EXPECT_EQ(col.FStorage, csByt);
  EXPECT_EQ(col.FCount, 2);
  EXPECT_EQ(col.FMin, 5);
  EXPECT_EQ(col.FMax, 3);
}

TColumnSection Section(const char* valType, const char* colType, int32_t count, double min,
                       double max) {
  TColumnSection section;
  section.valType = valType;
  section.colType = colType;
  section.count = count;
  section.hasExtremes = std::string(valType) != "Str";
  if (section.hasExtremes) {
    section.min = min;
    section.max = max;
  }
  return section;
}

// What is written reads back the same, in the file's own order: the store's shape, each column's
// name and section as it comes, the completion mark last. Keys an older descriptor holds keep
// their places.
TEST(Descriptor, AWrittenDescriptorReadsBackAndKeepsTheFilesOrder) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  test::WriteFile(path, "[Csv]\r\nRowCount=1\r\n[old]\r\nValType=Int\r\n");
  double stamp = 0;
  ASSERT_TRUE(TryParseDateTime("2025/06/30 23:59:58", &stamp));
  TDescriptor written;
  written.colCount = 4;
  written.rowCount = 12;
  written.names = {"n", "c", "when", "note"};
  written.sections = {Section("Int", "Byt", 3, -7, 12), Section("Cur", "Wor", 300, -0.25, 1.5),
                      Section("Dat", "Lon", -1, 45000, stamp), Section("Str", "Lon", -1, 0, 0)};
  written.completed = stamp;
  written.Write(path);

  EXPECT_EQ(test::ReadFile(path),
            "[Csv]\r\nRowCount=12\r\nColCount=4\r\n0=n\r\n1=c\r\n2=when\r\n3=note\r\n"
            "DateTime=2025/06/30 23:59:58\r\n"
            "[old]\r\nValType=Int\r\n"
            "[n]\r\nMin=-7\r\nMax=12\r\nValType=Int\r\nColType=Byt\r\nCount=3\r\n"
            "[c]\r\nMin=-0.25\r\nMax=1.5\r\nValType=Cur\r\nColType=Wor\r\nCount=300\r\n"
            "[when]\r\nMin=2023/03/15\r\nMax=2025/06/30 23:59:58\r\nValType=Dat\r\n"
            "ColType=Lon\r\n"
            "[note]\r\nValType=Str\r\nColType=Lon\r\n");
  EXPECT_EQ(TDescriptor::Read(path), written);
}

// A count of columns beyond their names is damage: reading refuses it, where a missing file is a
// descriptor of no columns.
TEST(Descriptor, AColumnCountBeyondTheNamesIsRefusedAndAMissingFileHasNoColumns) {
  test::ScratchDir dir;
  const std::string path = dir.File("d.Ini");
  const TDescriptor missing = TDescriptor::Read(path);
  EXPECT_EQ(missing.Columns(), 0);
  EXPECT_EQ(missing.Rows(), 0);
  EXPECT_FALSE(missing.completed);

  test::WriteFile(path, "[Csv]\r\nColCount=3\r\nRowCount=1\r\n0=a\r\n2=c\r\n[a]\r\n[c]\r\n");
  try {
    TDescriptor::Read(path);
    ADD_FAILURE() << "a damaged descriptor was read";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()),
              path + ": cannot read: damaged descriptor: no name for column 1");
  }
}

}  // namespace
}  // namespace tabulon
