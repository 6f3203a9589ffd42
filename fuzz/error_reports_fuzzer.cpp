// Fuzz target: the standard error handlers with random codes, severities below the severe one,
// messages of any length, and the embedding program's file, line and object set or unset; and the
// ErrorHandler request. The reports go to a scratch file that is checked after each call.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>
#include <unistd.h>

#include "ErrorReport.h"
#include "FuzzRib.h"

using namespace rib;

namespace {

// Standard error is pointed at a scratch file while a handler runs; sanitizer and fuzzer reports
// keep the real one.
int gRealStderr = -1;
FILE *gScratch = nullptr;

std::string reportOf(RtErrorHandler handler, RtInt code, RtInt severity, char *message) {
  std::fflush(stderr);
  // Emptied and rewound: standard error shares the scratch descriptor's offset.
  if (ftruncate(fileno(gScratch), 0) != 0 || lseek(fileno(gScratch), 0, SEEK_SET) != 0)
    fuzzrib::fail("cannot empty the scratch file");
  dup2(fileno(gScratch), 2);
  handler(code, severity, message);
  std::fflush(stderr);
  dup2(gRealStderr, 2);
  std::string text;
  char buffer[4096];
  off_t at = 0;
  for (ssize_t got; (got = pread(fileno(gScratch), buffer, sizeof buffer, at)) > 0; at += got)
    text.append(buffer, static_cast<size_t>(got));
  return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gRealStderr = dup(2);
  __sanitizer_set_report_fd(reinterpret_cast<void *>(static_cast<intptr_t>(gRealStderr)));
  // A file in memory: emptied and read back for every report, it never touches a disk.
  const int fd = memfd_create("error_reports", 0);
  gScratch = fd >= 0 ? fdopen(fd, "w+") : std::tmpfile();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzzrib::TextStore texts;

  gRibErrorLine = data.ConsumeBool() ? 0 : data.ConsumeIntegral<RtInt>();
  gRibErrorFile = data.ConsumeBool() ? nullptr : texts.take(data, 40);
  gRibErrorObject = data.ConsumeBool() ? nullptr : texts.take(data, 40);

  const int reports = data.ConsumeIntegralInRange(1, 4);
  for (int i = 0; i < reports; ++i) {
    const RtInt code =
        data.ConsumeBool() ? data.ConsumeIntegralInRange(0, 62) : data.ConsumeIntegral<RtInt>();
    const int which = data.ConsumeIntegralInRange(0, 2);
    // Abort ends the process from ERROR up, Print only at SEVERE: stay below what ends it.
    const RtInt severity = data.ConsumeIntegralInRange(0, which == 2 ? 1 : 2);
    const size_t longest = data.ConsumeBool() ? 64 : 3000;
    char *message = data.ConsumeIntegralInRange(0, 7) == 0 ? nullptr : texts.take(data, longest);
    RtErrorHandler handlers[] = {RiErrorIgnore, RiErrorPrint, RiErrorAbort};
    const std::string report = reportOf(handlers[which], code, severity, message);
    if (RiLastError != code) fuzzrib::fail("RiLastError is not the reported code");
    if (which == 0 && !report.empty()) fuzzrib::fail("RiErrorIgnore printed something");
    if (report.empty()) continue; // a folded repeat
    if (report.back() != '\n') fuzzrib::fail("a report does not end its line");
    const std::string severityName = errorSeverityName(severity);
    if (report.rfind(severityName + ": ", 0) != 0 &&
        report.rfind("    (last message repeated ", 0) != 0)
      fuzzrib::fail("a report does not start with its severity or the repeat count");
    if (report.find(severityName + ": ") == std::string::npos)
      fuzzrib::fail("a report does not name its severity");
    if (message && report.find(std::string("\n    --> ") + message) == std::string::npos)
      fuzzrib::fail("a report lost its message");
  }

  // The request names only the standard handlers.
  RibWriter &rib = fuzzrib::freshContext(false);
  RtErrorHandler handlers[] = {RiErrorIgnore, RiErrorPrint, RiErrorAbort, nullptr};
  rib.ErrorHandler(handlers[data.ConsumeIntegralInRange(0, 3)]);
  fuzzrib::checkAsciiRib(fuzzrib::written(rib));
  fuzzrib::checkReadsBack(fuzzrib::written(rib), true);

  gRibErrorFile = nullptr;
  gRibErrorObject = nullptr;
  gRibErrorLine = 0;
  return 0;
}
