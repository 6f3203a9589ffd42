// Starting and waiting for the programs rib-farm hands work to: the frame and video scripts
// locally, and Slurm's commands (sbatch, squeue, scontrol) whose answers it reads.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace farm {

// Starts `argv` (argv[0] searched in PATH) with standard input from /dev/null and standard output
// and error inherited; with `ownGroup`, in a process group of its own that kill(-pid, ...) stops
// as a whole. Returns the process id, or -1 with `problem` set.
pid_t startProcess(const std::vector<std::string> &argv, std::string &problem,
                   bool ownGroup = false);

// Waits for `pid`, through interruptions; returns its wait status, or -1.
int waitForProcess(pid_t pid);

// A program run to its end with its output read.
struct Captured {
  bool started = false;
  int status = -1;     // wait status
  std::string output;  // standard output, at most 16 MiB
  std::string errors;  // standard error, at most 16 MiB
  std::string problem; // why it could not start
};
Captured runCaptured(const std::vector<std::string> &argv);

// "exit status N" or "killed by signal N (Name)" for a wait status.
std::string describeEnd(int status);

// True when a wait status is a clean exit with status 0.
bool succeeded(int status);

// The full path of an executable `name` in PATH, or empty.
std::string findInPath(const std::string &name);

// The folder this program's executable is in, or empty where it cannot be told.
std::string ownFolder();

// Interruptions (SIGINT, SIGTERM, SIGHUP) are noted rather than ending the program at once, so
// that it can stop its work and tidy up first; waits return early when one comes.
void catchInterruptions();

// The signal that interrupted the program, or 0.
int interruption();

// Ends the program by the signal that interrupted it, as if it had not been caught.
[[noreturn]] void endByInterruption();

} // namespace farm
