#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "TestUtil.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/Messages.h"

namespace tabulon {
namespace {

using test::S;

using test::InJapanese;

template <typename Command>
std::string IoMessage(Command command) {
  try {
    command();
  } catch (const IoError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(Messages, FileErrorsSayWhatFailedAndWhyInJapanese) {
  test::ScratchDir dir;
  const InJapanese japanese;
  const std::string gone = dir.File("gone.csv");
  EXPECT_EQ(IoMessage([&] { ReadWholeFile(gone); }),
            gone + S(" を開けません: ファイルがありません"));
  EXPECT_EQ(IoMessage([&] { ReadWholeFile(dir.Path()); }),
            dir.Path() + S(" を開けません: フォルダーです"));

  test::WriteFile(dir.File("file"), "x");
  const std::string through = dir.File("file/list.lis");
  EXPECT_EQ(IoMessage([&] { WriteWholeFileAtomically(through, "a"); }),
            through + S(" を作成できません: 途中のフォルダーがフォルダーではありません"));
  EXPECT_EQ(IoMessage([&] { CreateDirectoryIfMissing(dir.File("file")); }),
            dir.File("file") + S(" を作成できません: 同じ名前のファイルがあります"));
  EXPECT_EQ(IoMessage([&] { ListDirectory(dir.File("none")); }),
            dir.File("none") + S(" の一覧を読めません: ファイルがありません"));

  InjectFileFault(FileOp::kWrite, 1);
  EXPECT_EQ(IoMessage([&] { WriteWholeFileAtomically(dir.File("t.csv"), "a"); }),
            dir.File("t.csv") + S(" に書き込めません: テストのために起こした障害です"));
  ClearFileFaults();
}

TEST(Messages, AReplacedFileIsNamedNeverItsTemporaryFile) {
  test::ScratchDir dir;
  const std::string folder = dir.File("taken.csv");
  ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
  // The rename over a folder fails: to the user, writing the file failed.
  EXPECT_EQ(IoMessage([&] { WriteWholeFileAtomically(folder, "a"); }),
            folder + ": cannot write: Is a directory");
  const InJapanese japanese;
  EXPECT_EQ(IoMessage([&] { WriteWholeFileAtomically(folder, "a"); }),
            folder + S(" に書き込めません: フォルダーです"));
  // Once the write is over, the temporary name is a name like any other.
  EXPECT_EQ(IoMessage([&] { ReadWholeFile(folder + ".tmp"); }),
            folder + S(".tmp を開けません: ファイルがありません"));
}

TEST(Messages, FilesOfAStoreFolderAreNamedByTheirCsvFile) {
  test::ScratchDir dir;
  const std::string csv = dir.File("sales.csv");
  const std::string store = dir.File("sales");
  RegisterStoreFolder(store, csv);
  EXPECT_EQ(IoMessage([&] { ReadWholeFile(store + "/3.Dat"); }),
            csv + " (imported data): cannot open: No such file or directory");
  const InJapanese japanese;
  EXPECT_EQ(IoMessage([&] { ReadWholeFile(store + "/3.Dat"); }),
            csv + S(" の取り込みデータを開けません: ファイルがありません"));
  test::WriteFile(store, "a file in the way");
  EXPECT_EQ(IoMessage([&] { CreateDirectoryIfMissing(store); }),
            csv + S(" のフォルダーを作成できません: 同じ名前のファイルがあります"));
  // A file beside the store whose name only begins like it is no file of the store.
  EXPECT_EQ(IoMessage([&] { ReadWholeFile(store + "2/x"); }),
            store + S("2/x を開けません: ファイルがありません"));
}

TEST(Messages, TheCommonErrorNumbersHaveOurOwnJapaneseWording) {
  EXPECT_EQ(ErrnoReason(ENOENT), "No such file or directory");
  const InJapanese japanese;
  EXPECT_EQ(ErrnoReason(ENOENT), S("ファイルがありません"));
  EXPECT_EQ(ErrnoReason(EACCES), S("アクセスが拒否されました"));
  EXPECT_EQ(ErrnoReason(EPERM), S("アクセスが拒否されました"));
  EXPECT_EQ(ErrnoReason(ENOSPC), S("ディスクに空きがありません"));
  EXPECT_EQ(ErrnoReason(EROFS), S("書き込みのできないドライブです"));
  EXPECT_EQ(ErrnoReason(EEXIST), S("同じ名前のものがすでにあります"));
  EXPECT_EQ(ErrnoReason(EIO), S("読み書きの途中で装置のエラーが起きました"));
  EXPECT_EQ(ErrnoReason(EMFILE), S("開いているファイルが多すぎます"));
  EXPECT_EQ(ErrnoReason(ENAMETOOLONG), S("ファイル名が長すぎます"));
  EXPECT_EQ(ErrnoReason(EDOM),
            S("システムのエラーです（エラー番号 ") + std::to_string(EDOM) + S("）"));
}

TEST(Messages, TheLocaleChoosesJapaneseByItsLanguage) {
  struct Env {
    const char* all;
    const char* messages;
    const char* lang;
    TLanguage expected;
  };
  const Env cases[] = {
      {nullptr, nullptr, nullptr, TLanguage::kEnglish},
      {nullptr, nullptr, "ja_JP.UTF-8", TLanguage::kJapanese},
      {"", "", "ja", TLanguage::kJapanese},  // empty values do not count
      {nullptr, "ja_JP.eucJP", "en_US.UTF-8", TLanguage::kJapanese},
      {"C", "ja_JP.UTF-8", "ja_JP.UTF-8", TLanguage::kEnglish},  // LC_ALL wins
      {"ja_JP.SJIS", nullptr, "C", TLanguage::kJapanese},
      {nullptr, nullptr, "jv_ID", TLanguage::kEnglish},
  };
  const auto set = [](const char* name, const char* value) {
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  };
  std::string saved[3];
  bool had[3];
  const char* const names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  for (int i = 0; i < 3; ++i) {
    const char* value = std::getenv(names[i]);
    had[i] = value != nullptr;
    if (had[i]) saved[i] = value;
  }
  for (const Env& e : cases) {
    set("LC_ALL", e.all);
    set("LC_MESSAGES", e.messages);
    set("LANG", e.lang);
    EXPECT_EQ(LocaleLanguage(), e.expected)
        << (e.all ? e.all : "-") << " " << (e.messages ? e.messages : "-") << " "
        << (e.lang ? e.lang : "-");
  }
  for (int i = 0; i < 3; ++i) set(names[i], had[i] ? saved[i].c_str() : nullptr);
}

}  // namespace
}  // namespace tabulon
