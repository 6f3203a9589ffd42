// rib-cat: reads RIB files (ASCII, binary or compact, plain or gzip-compressed) and writes their
// requests again through the RIB library's own writer, as one stream: ASCII by default (so that
// binary RIB becomes readable), binary float arrays with --binary, every token binary with
// --compact, gzip-compressed with --gzip or an output name ending in ".gz", nested blocks indented
// with --indent, floats with N
// significant digits with --precision N (6 by default, as the library writes them). A file the
// library wrote comes out byte for byte as it was when written again with its own settings.
// Problems in the input are reported as rib-check reports them and those requests left out;
// the rest is written and the exit status is 1.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CatOutput.h"
#include "RibWriter.h"
#include "rib/RibRead.h"
#include "tools/common/ProblemPrinter.h"
#include "tools/common/StandardDescriptors.h"

namespace {

const char *kUsage = "usage: rib-cat [--binary | --compact] [--gzip] [--indent] [--precision N] "
                     "[-o OUT] FILE...   ('-' reads standard input)";

struct CatOptions {
  bool binary = false;
  bool compact = false;
  bool gzip = false;
  bool indent = false;
  int precision = 6;
  std::string output; // empty: standard output
  std::vector<std::string> inputs;
};

int badArgument(const std::string &problem) {
  std::fprintf(stderr, "rib-cat: %s\n%s\n", problem.c_str(), kUsage);
  return 2;
}

// The option's problem, or empty; `help` is set for -h and --help.
std::string parseOptions(int argc, char **argv, CatOptions &options, bool &help) {
  bool outputGiven = false, optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (optionsEnd || arg == "-" || arg.empty() || arg[0] != '-') {
      options.inputs.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "-h" || arg == "--help") {
      help = true;
    } else if (arg == "--binary") {
      options.binary = true;
    } else if (arg == "--compact") {
      options.compact = true;
    } else if (arg == "--gzip") {
      options.gzip = true;
    } else if (arg == "--indent") {
      options.indent = true;
    } else if (arg == "--precision" || arg.compare(0, 12, "--precision=") == 0) {
      std::string value;
      if (arg.size() > 11) {
        value = arg.substr(12);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        return "option --precision needs a value";
      }
      const bool digits = !value.empty() && value.size() <= 2 &&
                          value.find_first_not_of("0123456789") == std::string::npos;
      const int precision = digits ? std::stoi(value) : 0;
      if (precision < 1 || precision > 17)
        return "value '" + value + "' of --precision is not a number of digits from 1 to 17";
      options.precision = precision;
    } else if (arg.compare(0, 2, "-o") == 0) {
      if (outputGiven) return "option -o is given twice";
      if (arg.size() > 2)
        options.output = arg.substr(2);
      else if (i + 1 < argc)
        options.output = argv[++i];
      else
        return "option -o needs a file name";
      if (options.output.empty()) return "option -o needs a file name";
      outputGiven = true;
    } else {
      return "unknown option '" + arg + "'";
    }
  }
  if (options.binary && options.compact) return "options --binary and --compact exclude each other";
  if (!help && options.inputs.empty()) return "no file to read";
  return std::string();
}

bool endsWith(const std::string &text, const char *suffix) {
  const size_t n = std::strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

} // namespace

int main(int argc, char **argv) {
  ribtools::occupyClosedStandardDescriptors();
  CatOptions options;
  bool help = false;
  if (const std::string problem = parseOptions(argc, argv, options, help); !problem.empty())
    return badArgument(problem);
  if (help) {
    std::printf("%s\n", kUsage);
    return 0;
  }
  // Every input must be readable before anything is written.
  for (const std::string &path : options.inputs) {
    if (const std::string problem = ribtools::unreadable(path); !problem.empty()) {
      std::fprintf(stderr, "rib-cat: %s\n", problem.c_str());
      return 2;
    }
  }
  // Writing over an input would destroy what is still to be read, or read its own output
  // without end ("rib-cat f.rib >> f.rib").
  if (const std::string *input = ribtools::inputThatIsOutput(options.output, options.inputs))
    return badArgument((options.output.empty() ? std::string("standard output")
                                               : "output '" + options.output + "'") +
                       " is also an input" + (*input == "-" ? " (standard input)" : ""));
  ribtools::CatOutput output;
  if (const std::string problem = output.open(options.output); !problem.empty()) {
    std::fprintf(stderr, "rib-cat: %s\n", problem.c_str());
    return 2;
  }

  ribtools::ProblemPrinter problems(STDERR_FILENO, "rib-cat");
  int32_t binary = options.binary ? 1 : 0;
  int32_t compact = options.compact ? 1 : 0;
  int32_t gzip = options.gzip || endsWith(options.output, ".gz") ? 1 : 0;
  int32_t precision = options.precision;
  const rib::RibOption writerOptions[] = {{"binary", &binary},
                                          {"compact", &compact},
                                          {"gzip", &gzip},
                                          {"precision", &precision},
                                          {nullptr, nullptr}};
  // OUT is always a file, opened once above: the writer gets the stream, not the name.
  std::unique_ptr<rib::RibWriter> writer(new rib::RibWriter(
      output.stream(), options.output.empty() ? nullptr : options.output.c_str(), writerOptions));
  writer->encoder.indentBlocks = options.indent;
  // One session for all inputs: they are one stream for the writer.
  int found = 0;
  {
    rib::RibReadSession session(*writer);
    problems.follow(session);
    for (const std::string &path : options.inputs) {
      problems.startInput(path);
      const int problemsOfFile = session.read(path.c_str());
      problems.endProgress();
      if (problemsOfFile < 0) {
        std::fprintf(stderr, "rib-cat: %s\n", problems.unreadableMessage().c_str());
        return 2;
      }
      found += problemsOfFile;
    }
  }
  // The library says in one line why the output failed; OUT then stays as it was.
  writer->endOutput();
  const bool written = !writer->encoder.failed();
  writer.reset();
  if (!written) return 2;
  if (const std::string why = output.commit(); !why.empty()) {
    std::fprintf(stderr, "rib-cat: cannot write '%s': %s\n", options.output.c_str(), why.c_str());
    return 2;
  }
  return found == 0 ? 0 : 1;
}
