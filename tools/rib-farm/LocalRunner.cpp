#include "tools/rib-farm/LocalRunner.h"

#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <map>

#include "tools/rib-farm/ChildProcess.h"
#include "tools/rib-farm/VideoAssembly.h"

namespace farm {

std::vector<int> renderLocally(const RunFolder &run, std::size_t count, unsigned jobs,
                               ProgressLine &progress) {
  std::vector<int> statuses(count, -1);
  std::map<pid_t, std::size_t> running; // process -> frame
  std::size_t next = 0, done = 0;
  progress.show(0, count);
  while (done < count) {
    while (!interruption() && next < count && running.size() < jobs) {
      std::string problem;
      const pid_t pid =
          startProcess({"/bin/sh", framesScriptPath(run), std::to_string(next)}, problem, true);
      if (pid < 0) {
        ++done; // no result file: the frame is reported without one
      } else {
        running[pid] = next;
      }
      ++next;
    }
    if (running.empty()) break; // interrupted before starting the rest
    int status = 0;
    const pid_t pid = waitpid(-1, &status, 0);
    if (pid < 0) {
      if (errno != EINTR) break;
      // Interrupted: each frame still rendering is stopped with its renderer (its process group).
      if (interruption())
        for (const auto &entry : running) kill(-entry.first, SIGTERM);
      continue;
    }
    const auto found = running.find(pid);
    if (found == running.end()) continue;
    statuses[found->second] = status;
    running.erase(found);
    progress.show(++done, count);
  }
  return statuses;
}

int joinVideoLocally(const RunFolder &run) {
  std::string problem;
  const pid_t pid = startProcess({"/bin/sh", videoScriptPath(run)}, problem);
  return pid < 0 ? -1 : waitForProcess(pid);
}

} // namespace farm
