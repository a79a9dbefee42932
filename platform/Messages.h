// The wording of the messages the core raises, in English or Japanese, chosen once at start: the
// window always speaks Japanese; tabulon-cli speaks English unless the user's locale is Japanese.
// Every message is Shift-JIS bytes. Messages about files name the user's files: a file inside a
// column store names the CSV file the store belongs to, and the temporary file of a write that
// replaces a file names the file it replaces.
#pragma once

#include <string>

namespace tabulon {

enum class TLanguage { kEnglish, kJapanese };

// The language of every message made from now on (default English).
void SetMessageLanguage(TLanguage language);
TLanguage MessageLanguage();
// The language of the user's locale: Japanese when the first non-empty of LC_ALL, LC_MESSAGES
// and LANG begins with "ja", else English.
TLanguage LocaleLanguage();

// The text in the language in force, as Shift-JIS: english (ASCII) as it stands, or japanese
// (a UTF-8 literal) converted.
std::string Wording(const char* english, const char* japaneseUtf8);

// The reason of an operating system error number in the language in force: the system's own
// text in English, our own Japanese wording of the common numbers ("ファイルがありません",
// "アクセスが拒否されました", ...), and for the others a general text with the number.
std::string ErrnoReason(int err);

// Reasons of our own that several places give.
std::string TooShortReason();  // a file ends before the records it should hold
// A file whose contents contradict themselves: "file is damaged: DETAIL" /
// "ファイルが壊れています（DETAIL）"; the details are literals.
std::string DamagedReason(const char* englishDetail, const char* japaneseDetail);

// What was being done to a file when it failed.
enum class TFileAction {
  kOpen,          // "cannot open" / を開けません
  kCreate,        // "cannot create" / を作成できません
  kRead,          // "cannot read" / を読み込めません
  kWrite,         // "cannot write" / に書き込めません
  kRename,        // "cannot rename" / の名前を変更できません
  kDelete,        // "cannot delete" / を削除できません
  kList,          // "cannot list" / の一覧を読めません
  kCreateFolder,  // "cannot create directory" / を作成できません
  kImport,        // "cannot import" / を取り込めません
};

// The whole message of a failed file action: path (native bytes) as the user knows it, the
// action and the reason (Shift-JIS, already in the language in force). English
// "PATH: cannot open: REASON", Japanese "PATH を開けません: REASON".
std::string FileMessage(const std::string& path, TFileAction action, const std::string& reason);

// Files under storeDir belong to csvPath: their messages name csvPath. Kept for the run.
void RegisterStoreFolder(const std::string& storeDir, const std::string& csvPath);

// While one of these lives, messages about temporary name userPath instead.
class TTemporaryName {
 public:
  TTemporaryName(const std::string& temporary, const std::string& userPath);
  ~TTemporaryName();
  TTemporaryName(const TTemporaryName&) = delete;
  TTemporaryName& operator=(const TTemporaryName&) = delete;

 private:
  std::string temporary_;  // the name it stands for, removed again at the end
};

}  // namespace tabulon
