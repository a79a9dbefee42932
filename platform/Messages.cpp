#include "platform/Messages.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/SjisText.h"
#include "platform/System.h"

namespace tabulon {

namespace {

TLanguage& Language() {
  static TLanguage language = TLanguage::kEnglish;
  return language;
}

bool Japanese() {
  return Language() == TLanguage::kJapanese;
}

// Store folder -> the CSV file it belongs to.
std::map<std::string, std::string>& StoreOwners() {
  static std::map<std::string, std::string> owners;
  return owners;
}

// Temporary file -> the file it replaces.
std::map<std::string, std::string>& TemporaryNames() {
  static std::map<std::string, std::string> names;
  return names;
}

struct Words {
  const char* english;
  const char* japanese;
};

Words ActionWords(TFileAction action) {
  switch (action) {
    case TFileAction::kOpen:
      return {"cannot open", "を開けません"};
    case TFileAction::kCreate:
      return {"cannot create", "を作成できません"};
    case TFileAction::kRead:
      return {"cannot read", "を読み込めません"};
    case TFileAction::kWrite:
      return {"cannot write", "に書き込めません"};
    case TFileAction::kRename:
      return {"cannot rename", "の名前を変更できません"};
    case TFileAction::kDelete:
      return {"cannot delete", "を削除できません"};
    case TFileAction::kList:
      return {"cannot list", "の一覧を読めません"};
    case TFileAction::kCreateFolder:
      return {"cannot create directory", "を作成できません"};
    case TFileAction::kImport:
      return {"cannot import", "を取り込めません"};
  }
  return {"cannot use", "を使えません"};
}

// Our Japanese wording of the common error numbers; null for the others.
const char* JapaneseReason(int err) {
  switch (err) {
    case ENOENT:
      return "ファイルがありません";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました";
    case ENOSPC:
      return "ディスクに空きがありません";
#ifdef EDQUOT  // no disk quotas on Windows
    case EDQUOT:
      return "ディスクの使用量の上限を超えました";
#endif
    case EROFS:
      return "書き込みのできないドライブです";
    case EISDIR:
      return "フォルダーです";
    case ENOTDIR:
      return "途中のフォルダーがフォルダーではありません";
    case EEXIST:
      return "同じ名前のものがすでにあります";
    case ENOTEMPTY:
      return "フォルダーが空ではありません";
    case EIO:
      return "読み書きの途中で装置のエラーが起きました";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます";
    case ENAMETOOLONG:
      return "ファイル名が長すぎます";
    case ELOOP:
      return "シンボリックリンクが循環しています";
    case EFBIG:
      return "ファイルが大きすぎます";
    case ENOMEM:
      return "メモリが足りません";
    case EBUSY:
    case ETXTBSY:
      return "ほかのプログラムが使用中です";
    case EXDEV:
      return "別のドライブへは移せません";
    case EINVAL:
      return "この名前は使えません";
    default:
      return nullptr;
  }
}

}  // namespace

void SetMessageLanguage(TLanguage language) {
  Language() = language;
}

TLanguage MessageLanguage() {
  return Language();
}

TLanguage LocaleLanguage() {
  return sys::MessagesLocaleName().starts_with("ja") ? TLanguage::kJapanese : TLanguage::kEnglish;
}

std::string Wording(const char* english, const char* japaneseUtf8) {
  return Japanese() ? Sjis(japaneseUtf8) : std::string(english);
}

std::string ErrnoReason(int err) {
  if (!Japanese()) return std::strerror(err);
  if (const char* reason = JapaneseReason(err)) return Sjis(reason);
  return Utf8ToSjis("システムのエラーです（エラー番号 " + std::to_string(err) + "）");
}

std::string TooShortReason() {
  return Wording("file is too short", "ファイルが途中で切れています");
}

std::string DamagedReason(const char* englishDetail, const char* japaneseDetail) {
  if (Japanese()) return Sjis("ファイルが壊れています（") + Sjis(japaneseDetail) + Sjis("）");
  return std::string("file is damaged: ") + englishDetail;
}

std::string FileMessage(const std::string& path, TFileAction action, const std::string& reason) {
  std::string name = path;
  const auto temporary = TemporaryNames().find(name);
  if (temporary != TemporaryNames().end()) name = temporary->second;

  // 1) A store folder, 2) a file inside one, 3) any other file.
  const char* englishPart = nullptr;
  const char* japanesePart = " ";
  for (const auto& [dir, csv] : StoreOwners()) {
    if (name == dir) {
      englishPart = " (store folder)";
      japanesePart = " のフォルダー";
    } else if (name.size() > dir.size() && name.compare(0, dir.size(), dir) == 0 &&
               sys::IsPathSeparator(name[dir.size()])) {
      englishPart = " (imported data)";
      japanesePart = " の取り込みデータ";
    } else {
      continue;
    }
    name = csv;
    break;
  }
  const Words words = ActionWords(action);
  if (Japanese())
    return Utf8ToSjis(name) + Sjis(japanesePart) + Sjis(words.japanese) + ": " + reason;
  return Utf8ToSjis(name) + (englishPart ? englishPart : "") + ": " + words.english + ": " + reason;
}

void RegisterStoreFolder(const std::string& storeDir, const std::string& csvPath) {
  if (storeDir != csvPath) StoreOwners()[storeDir] = csvPath;
}

TTemporaryName::TTemporaryName(const std::string& temporary, const std::string& userPath)
    : temporary_(temporary) {
  TemporaryNames()[temporary] = userPath;
}

TTemporaryName::~TTemporaryName() {
  TemporaryNames().erase(temporary_);
}

}  // namespace tabulon
