// The widget boundary: Shift-JIS bytes and file-system bytes to widget text and back.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <string>

#include "TestUtil.h"
#include "ui/QtStrings.h"

namespace tabulon::test {
namespace {

TEST(QtStrings, ShiftJisBytesBecomeTheTextTheyStandFor) {
  EXPECT_EQ(FromSjis("\x94\x84\x8f\xe3 2024"), QStringLiteral("売上 2024"));
  // A backslash of an ASCII text stays a backslash (no yen sign), as in a Windows path.
  EXPECT_EQ(FromSjis("C:\\data\\a.csv"), QStringLiteral("C:\\data\\a.csv"));
  EXPECT_EQ(FromSjis(std::string("a\0b", 3)), QString::fromLatin1("a\0b", 3));
  EXPECT_EQ(FromSjis(""), QString());
}

TEST(QtStrings, BytesThatFormNoCharacterShowAsTheReplacementCharacter) {
  EXPECT_EQ(FromSjis("\x94\x84\xff"), QStringLiteral("売\uFFFD"));
}

TEST(QtStrings, WidgetTextBecomesShiftJisAndCharactersWithoutAFormAQuestionMark) {
  EXPECT_EQ(ToSjis(QStringLiteral("売上")), "\x94\x84\x8f\xe3");
  EXPECT_EQ(ToSjis(QStringLiteral("a😀b")), "a?b");
  EXPECT_EQ(FromSjis(ToSjis(QStringLiteral("ｶﾞ①～"))), QStringLiteral("ｶﾞ①～"));
}

TEST(QtStrings, ANativePathOpensTheFileTheWidgetTextNames) {
  ScratchDir dir;
  const QString name = FromNative(dir.Path()) + QStringLiteral("/売上 表.csv");
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x,y\n");
  file.close();
  EXPECT_EQ(ReadFile(ToNative(name)), "x,y\n");
  EXPECT_EQ(FromNative(ToNative(name)), name);
}

}  // namespace
}  // namespace tabulon::test
