#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "TestUtil.h"

namespace tabulon {
namespace {

using test::S;
using test::ScratchDir;
using test::WriteFile;

std::string CliPath() {
  if (const char* env = std::getenv("TABULON_CLI")) return env;
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = std::string(self, n > 0 ? static_cast<size_t>(n) : 0);
  dir = dir.substr(0, dir.rfind('/'));
  return dir + "/../cli/tabulon-cli";
}

struct CliRun {
  int exitCode;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs tabulon-cli with the arguments (a shell word list, already quoted).
CliRun Cli(const std::string& args, const ScratchDir& dir) {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command = CliPath() + " " + args + " 2>" + errFile;
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, test::ReadFile(errFile)};
}

TEST(Cli, InfoImportsFirstAndPrintsTheDescriptorInUtf8OrShiftJis) {
  ScratchDir dir;
  std::string csv = "店,金額,日付\r\n";
  for (int i = 0; i < 2100; ++i) csv += "新宿," + std::to_string(i) + ".5,2024/3/31\r\n";
  WriteFile(dir.File("s.csv"), S(csv));
  const CliRun r = Cli("info " + dir.File("s.csv"), dir);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "3\t2100\n"
            "0\t店\tStr\tByt\t1\t\t\n"
            "1\t金額\tCur\tLon\t\t0.5\t2099.5\n"
            "2\t日付\tDat\tByt\t1\t2024/03/31\t2024/03/31\n");
  const CliRun sjis = Cli("--sjis info " + dir.File("s.csv"), dir);
  EXPECT_EQ(sjis.out, S(r.out));
}

TEST(Cli, ErrorsNameTheFileAndUsageMistakesExitWith2) {
  ScratchDir dir;
  const CliRun missing = Cli("import " + dir.File("none.csv"), dir);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find(dir.File("none.csv")), std::string::npos);

  WriteFile(dir.File("b.csv"), "a\r\n1\r\n");
  WriteFile(dir.File("b"), "a file where the store folder belongs");
  const CliRun blocked = Cli("import " + dir.File("b.csv"), dir);
  EXPECT_EQ(blocked.exitCode, 1);
  EXPECT_NE(blocked.err.find(dir.File("b")), std::string::npos);

  EXPECT_EQ(Cli("", dir).exitCode, 2);
  EXPECT_EQ(Cli("frobnicate x.csv", dir).exitCode, 2);
  EXPECT_EQ(Cli("import", dir).exitCode, 2);
  EXPECT_EQ(Cli("info a.csv b.csv", dir).exitCode, 2);
}

}  // namespace
}  // namespace tabulon
