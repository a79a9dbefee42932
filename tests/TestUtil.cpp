#include "TestUtil.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/SjisText.h"

namespace tabulon::test {

ScratchDir::ScratchDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "tabulon-test-XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string S(std::string_view utf8) {
  return Utf8ToSjis(utf8);
}
std::string U(std::string_view sjis) {
  return SjisToUtf8(sjis);
}

bool KillPartWay(const std::function<void()>& work, double maxSeconds, std::mt19937& random) {
  const double delay = std::uniform_real_distribution<double>(0, maxSeconds)(random);
  int ready[2];
  if (::pipe(ready) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::close(ready[0]);
    // The delay counts from here, not from the fork, whose cost varies from build to build.
    if (::write(ready[1], "r", 1) != 1) ::_exit(3);
    try {
      work();
    } catch (...) {
      ::_exit(2);
    }
    ::_exit(0);
  }
  ::close(ready[1]);
  char byte = 0;
  const bool started = ::read(ready[0], &byte, 1) == 1;
  ::close(ready[0]);
  if (started) std::this_thread::sleep_for(std::chrono::duration<double>(delay));
  ::kill(child, SIGKILL);
  int status = 0;
  if (::waitpid(child, &status, 0) != child) throw std::runtime_error("waitpid failed");
  if (!started) throw std::runtime_error("the child did not start");
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0) throw std::runtime_error("the work failed");
  return WIFSIGNALED(status);
}

}  // namespace tabulon::test
