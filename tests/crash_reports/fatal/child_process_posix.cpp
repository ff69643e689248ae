// Linux: the child by fork and exec of /proc/self/exe, waited for with a
// deadline.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "crashing_child.h"

namespace kestrum::testing {

ChildOutcome RunCrashingChild(CrashKind kind, const std::string& reportFolder, const std::string& outputPath) {
  const std::string kindArgument = std::string("--crash-child=") + CrashKindName(kind);
  const std::string folderArgument = "--report-folder=" + reportFolder;
  // The program's own path as its name, as a shell would start it.
  char program[4096] = {};
  if (readlink("/proc/self/exe", program, sizeof program - 1) < 0) {
    return {};
  }
  const pid_t child = fork();
  if (child == 0) {
    const int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    execl(program, program, kindArgument.c_str(), folderArgument.c_str(), nullptr);
    _exit(127);
  }
  ChildOutcome outcome;
  if (child < 0) {
    return outcome;
  }
  outcome.processId = static_cast<unsigned long>(child);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return outcome;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  outcome.ended = true;
  outcome.endedBy = WIFSIGNALED(status) ? static_cast<unsigned long>(WTERMSIG(status)) : 0;
  return outcome;
}

}  // namespace kestrum::testing
