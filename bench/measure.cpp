// tabulon-measure: runs a command and reports its wall-clock time and peak resident set size,
// so the benchmarks need no extra package.
//
//   tabulon-measure [-o FILE] CMD [ARG...]
//
// With -o, FILE receives one line "SECONDS PEAK_RSS_KB EXIT_STATUS" for scripts; without it a
// readable line goes to standard error. The command's own output is left untouched. The exit
// status is the command's (128 + signal number when a signal ended it, 127 when it could not be
// started).

#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const char* report_path = nullptr;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "-o") == 0) {
    report_path = argv[2];
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: tabulon-measure [-o FILE] CMD [ARG...]\n");
    return 2;
  }

  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child < 0) {
    std::perror("tabulon-measure: fork");
    return 127;
  }
  if (child == 0) {
    execvp(argv[first], argv + first);
    std::fprintf(stderr, "tabulon-measure: cannot run %s: %s\n", argv[first], std::strerror(errno));
    _exit(127);
  }

  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::perror("tabulon-measure: wait4");
      return 127;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  long peak_kb = usage.ru_maxrss;  // Linux reports kilobytes

  if (report_path) {
    std::FILE* report = std::fopen(report_path, "w");
    if (!report || std::fprintf(report, "%.6f %ld %d\n", seconds, peak_kb, exit_status) < 0 ||
        std::fclose(report) != 0) {
      std::fprintf(stderr, "tabulon-measure: cannot write %s\n", report_path);
      return 127;
    }
  } else {
    std::fprintf(stderr, "%.3f s wall, %.1f MiB peak RSS, exit %d\n", seconds, peak_kb / 1024.0,
                 exit_status);
  }
  return exit_status;
}
