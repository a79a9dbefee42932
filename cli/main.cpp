// tabulon-cli: the headless front end.
//
//   tabulon-cli import FILE.csv...   build the column stores of the files that are out of date
//   tabulon-cli info FILE.csv        the dataset's shape and columns, as its descriptor holds them
//   tabulon-cli tab FILE.csv [options]     the result table, as 保存(&S) writes the grid
//   tabulon-cli list FILE.csv [options]    the record list, in the same format
//   tabulon-cli count FILE.csv [options]   the number of records that pass all filters
//
// Standard output and text arguments are UTF-8; --sjis writes Shift-JIS bytes instead.
// Exit codes: 0 done, 1 an I/O or data error (message on stderr), 2 a usage error.
// Messages of I/O and data errors are English, or Japanese (as the window shows them) when the
// locale's language is Japanese (LC_ALL, LC_MESSAGES or LANG beginning with "ja"); usage errors
// and the usage text stay English.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Analysis.h"
#include "column/Descriptor.h"
#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/Messages.h"
#include "platform/SjisText.h"
#include "platform/System.h"

namespace tabulon {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: tabulon-cli import FILE.csv...\n"
    "       tabulon-cli info FILE.csv\n"
    "       tabulon-cli tab|list|count FILE.csv [options]\n"
    "options, applied in order as the window's panels and buttons do:\n"
    "  --col NAME | --row NAME | --value NAME   column items, row items, value\n"
    "  --agg sum|avg|min|max|count              the aggregate (default count)\n"
    "  --percent row|col|total                  tab: each cell as a share of its row total,\n"
    "                                           column total or the grand total (count or sum)\n"
    "  --no-totals | --hide-empty | --no-sort   display toggles\n"
    "  --separators                             tab: numbers with thousands separators\n"
    "  --sort-by-total                          tab: rows and columns by their totals, largest\n"
    "                                           first, (null) last\n"
    "  --pick NAME=TEXT                         pick an item of the item list\n"
    "  --search NAME=PATTERN                    text search; the selection becomes all matches\n"
    "  --range NAME=LO..HI                      typed bounds (either side may be empty)\n"
    "  --div NAME=N|all                         division count\n"
    "  --dates NAME=YYYY/MM/DD..YYYY/MM/DD      date pickers\n"
    "  --times NAME=HH:MM[:SS]..HH:MM[:SS]      time pickers; with dates, the time of day on\n"
    "                                           every day\n"
    "  --weekday NAME=0..9|日|月|火|水|木|金|土|土日|月～金|月～木\n"
    "  --unit NAME=year|month|weekday|day|hour|minute|second|年|月|曜日|日|時|分|秒\n"
    "  --output FILE                            write the table to FILE instead; FILE.xlsx\n"
    "                                           an Excel workbook\n"
    "  --sjis                                   standard output in Shift-JIS (default UTF-8)\n";

// Standard output in the chosen encoding; core texts are Shift-JIS.
class Output {
 public:
  explicit Output(bool sjis) : sjis_(sjis) {}
  void Text(const std::string& sjisText) {
    const std::string bytes = sjis_ ? sjisText : SjisToUtf8(sjisText);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  }

 private:
  bool sjis_;
};

// The import's progress as a bar on a terminal's standard error; silent elsewhere.
class TerminalProgress : public TProgressView {
 public:
  TerminalProgress() : enabled_(sys::StandardErrorIsTerminal()) {}
  void SetCaption(const std::string& caption) override { caption_ = SjisToUtf8(caption); }
  void SetMax(int64_t max) override { max_ = max; }
  void SetPosition(int64_t position) override { position_ = position; }
  void SetPositionLabel(const std::string& text) override { positionLabel_ = text; }
  void SetTimeLabel(const std::string& text) override {
    timeLabel_ = text;
    Draw();
  }
  void ProcessEvents() override {}
  void Close() override {
    if (enabled_ && drawn_) std::fputs("\r\033[K", stderr);
    drawn_ = false;
  }

 private:
  void Draw() {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    drawn_ = true;
    constexpr int kWidth = 30;
    const int filled =
        max_ > 0 ? static_cast<int>(std::min<int64_t>(position_, max_) * kWidth / max_) : 0;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\r\033[K%s [%s] %s  %s", caption_.c_str(), bar.c_str(),
                 positionLabel_.c_str(), SjisToUtf8(timeLabel_).c_str());
    std::fflush(stderr);
  }

  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point lastDraw_;
  std::string caption_, positionLabel_;
  std::string timeLabel_;  // Shift-JIS: converted only when drawn
  int64_t max_ = 0, position_ = 0;
};

// Imports one file when its store is out of date. A missing file is an error here, though the
// import itself skips it silently.
void ImportFile(TformProgress& importer, const std::string& path) {
  if (!FileExists(path)) throw IoError(path, TFileAction::kOpen, ENOENT);
  importer.Import(path);
  // What the text lost, once per file (nothing when the store was up to date).
  for (const std::string& notice : importer.Notices())
    std::fprintf(stderr, "tabulon-cli: %s %s\n",
                 MessageLanguage() == TLanguage::kJapanese ? "警告:" : "warning:",
                 SjisToUtf8(notice).c_str());
}

int RunImport(const std::vector<std::string>& files) {
  if (files.empty()) throw UsageError("import: name at least one CSV file");
  TerminalProgress progress;
  TformProgress importer(&progress);
  for (const std::string& f : files) ImportFile(importer, f);
  return kExitOk;
}

int RunInfo(const std::vector<std::string>& files, Output& out) {
  if (files.size() != 1) throw UsageError("info: name exactly one CSV file");
  TerminalProgress progress;
  TformProgress importer(&progress);
  ImportFile(importer, files[0]);

  // The descriptor as the window's opening reads it.
  TMainLogic logic;
  logic.ListBox1Click(files[0]);
  const TDescriptor& descriptor = *logic.Descriptor();
  out.Text(std::to_string(descriptor.colCount) + "\t" + std::to_string(descriptor.rowCount) + "\n");
  for (size_t i = 0; i < descriptor.names.size(); ++i) {
    const TColumnSection& section = descriptor.sections[i];
    const bool hasCount = section.colType != "Lon";
    const bool hasRange = section.hasExtremes;
    out.Text(std::to_string(i) + "\t" + descriptor.names[i] + "\t" + section.valType + "\t" +
             section.colType + "\t" + (hasCount ? std::to_string(section.count) : "") + "\t" +
             (hasRange ? section.ExtremeText(section.min) : "") + "\t" +
             (hasRange ? section.ExtremeText(section.max) : "") + "\n");
  }
  return kExitOk;
}

int Main(int argc, char** argv) {
  SetMessageLanguage(LocaleLanguage());
  std::vector<std::string> args;
  bool sjis = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--sjis")
      sjis = true;
    else if (a == "--help" || a == "-h")
      return std::fputs(kUsage, stdout), kExitOk;
    else
      args.push_back(a);
  }
  Output out(sjis);
  try {
    if (args.empty()) throw UsageError("name a command");
    const std::string command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "import") return RunImport(rest);
    if (command == "info") return RunInfo(rest, out);
    if (command == "tab" || command == "list" || command == "count") {
      const TAnalysis what = command == "tab"    ? TAnalysis::kTab
                             : command == "list" ? TAnalysis::kList
                                                 : TAnalysis::kCount;
      out.Text(RunAnalysis(what, rest));
      return kExitOk;
    }
    throw UsageError("unknown command '" + command + "'");
  } catch (const UsageError& e) {
    // The whole usage only when the command itself is wrong; otherwise the message says enough.
    const bool knownCommand =
        !args.empty() && (args[0] == "import" || args[0] == "info" || args[0] == "tab" ||
                          args[0] == "list" || args[0] == "count");
    std::fprintf(stderr, "tabulon-cli: %s\n%s", e.what(),
                 knownCommand ? "(tabulon-cli --help lists the options)\n" : kUsage);
    return kExitUsage;
  } catch (const TabulonError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "tabulon-cli: %s\n", SjisToUtf8(e.what()).c_str());
    return kExitError;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "tabulon-cli: %s\n",
                 SjisToUtf8(Wording("out of memory", "メモリが足りません")).c_str());
    return kExitError;
  }
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
  return tabulon::Main(argc, argv);
}
