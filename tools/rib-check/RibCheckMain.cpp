// rib-check: reads RIB files (ASCII or binary) as a renderer would and reports, one line each as
// "FILE:LINE: message", what is wrong in them: syntax, unknown requests, arguments of the wrong
// number or type, undeclared parameters, values that do not fit a parameter's declaration and
// the primitive's counts, unbalanced blocks. What is accepted beyond the standard's RIB (undeclared
// parameters, unknown requests) is noted as "FILE:LINE: note: message". Exit status 0 when every
// file is clean or has notes only, 1 when problems were found (notes too with --strict), 2 for
// bad arguments or a file that cannot be read.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RibWriter.h"
#include "rib/RibRead.h"
#include "tools/common/ProblemPrinter.h"
#include "tools/common/StandardDescriptors.h"

namespace {

const char *kUsage = "usage: rib-check [--strict] FILE...   ('-' reads standard input)";

int badArgument(const std::string &problem) {
  std::fprintf(stderr, "rib-check: %s\n%s\n", problem.c_str(), kUsage);
  return 2;
}

} // namespace

int main(int argc, char **argv) {
  ribtools::occupyClosedStandardDescriptors();
  std::vector<std::string> paths;
  bool options = true, strict = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "-h" || arg == "--help")) {
      std::printf("%s\n", kUsage);
      return 0;
    } else if (options && arg == "--strict") {
      strict = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return badArgument("unknown option '" + arg + "'");
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.empty()) return badArgument("no file to check");
  for (const std::string &path : paths)
    if (const std::string problem = ribtools::unreadable(path); !problem.empty())
      return badArgument(problem);

  ribtools::ProblemPrinter problems(STDOUT_FILENO, "rib-check");
  problems.showNotes();
  int found = 0;
  for (const std::string &path : paths) {
    // Each file on its own, as a renderer reads it: a context of its own that writes nothing
    // anyone reads, so that every request takes the path it takes when RIB is written.
    static char nowhere[] = "/dev/null";
    rib::RibWriter context(nowhere);
    rib::RibReadSession session(context);
    problems.follow(session);
    problems.startInput(path);
    const int problemsOfFile = session.read(path.c_str());
    problems.endProgress();
    if (problemsOfFile < 0) {
      std::fprintf(stderr, "rib-check: %s\n%s\n", problems.unreadableMessage().c_str(), kUsage);
      return 2;
    }
    found += problemsOfFile;
  }
  // A problem list that did not reach its reader must not pass for a short one.
  if (problems.writeError() != 0) {
    std::fprintf(stderr, "rib-check: cannot write the problems to standard output: %s\n",
                 std::strerror(problems.writeError()));
    return 2;
  }
  return found == 0 && !(strict && problems.noteCount() > 0) ? 0 : 1;
}
