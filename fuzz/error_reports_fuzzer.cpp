// Fuzz target: the standard error handlers with random codes, severities below the severe one,
// messages of any length, and the embedding program's file, line and object set or unset; and the
// ErrorHandler request. The reports are collected and checked after each call.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Diagnostics.h"
#include "ErrorReport.h"
#include "FuzzRib.h"

using namespace rib;

namespace {

// The reports are collected by a sink of the fuzz target's own while a handler runs.
std::string reportOf(RtErrorHandler handler, RtInt code, RtInt severity, char *message) {
  std::string text;
  auto collect = [](void *user, DiagnosticKind, const char *said, size_t length) {
    static_cast<std::string *>(user)->append(said, length);
  };
  const DiagnosticTarget previous = setDiagnosticSink(collect, &text);
  handler(code, severity, message);
  setDiagnosticSink(previous.sink, previous.user);
  return text;
}

} // namespace

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
  rib::RibWriter &rib = fuzzrib::freshContext(false);
  RtErrorHandler handlers[] = {RiErrorIgnore, RiErrorPrint, RiErrorAbort, nullptr};
  rib.ErrorHandler(handlers[data.ConsumeIntegralInRange(0, 3)]);
  fuzzrib::checkAsciiRib(fuzzrib::written(rib));
  fuzzrib::checkReadsBack(fuzzrib::written(rib), true);

  gRibErrorFile = nullptr;
  gRibErrorObject = nullptr;
  gRibErrorLine = 0;
  return 0;
}
