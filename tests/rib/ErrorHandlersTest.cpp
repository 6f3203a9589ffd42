#include <gtest/gtest.h>

#include <string>

#include "ErrorReport.h"
#include "RibTestUtil.h"

using namespace rib;

using ribtest::ribOf;
using ribtest::stderrOf;
using ribtest::tok;

namespace {

class ErrorHandlers : public ::testing::Test {
protected:
  void SetUp() override { clearState(); }
  void TearDown() override { clearState(); }
  static void clearState() {
    resetErrorReports();
    gRibErrorFile = nullptr;
    gRibErrorLine = 0;
    gRibErrorObject = nullptr;
  }
};

TEST_F(ErrorHandlers, ReportNamesSeverityCodeAndMessage) {
  EXPECT_EQ(stderrOf([] { RiErrorPrint(RIE_NOFILE, RIE_ERROR, tok("scene.rib")); }),
            "ERROR: File not found\n    --> scene.rib\n");
  EXPECT_EQ(RiLastError, RIE_NOFILE);
  // Codes without a text print their number; code 0 prints nothing after the severity.
  EXPECT_EQ(stderrOf([] { RiErrorPrint(RIE_VERSION, RIE_WARNING, nullptr); }), "WARNING: code 5\n");
  EXPECT_EQ(stderrOf([] { RiErrorPrint(77, RIE_INFO, nullptr); }), "INFO: code 77\n");
  EXPECT_EQ(stderrOf([] { RiErrorPrint(0, RIE_INFO, tok("note")); }), "INFO: \n    --> note\n");
}

TEST_F(ErrorHandlers, EveryCodeOfTheTableHasItsText) {
  EXPECT_STREQ(errorCodeText(RIE_NOMEM), "Memory allocation error");
  EXPECT_STREQ(errorCodeText(RIE_NOTSTARTED), "RiBegin not called");
  EXPECT_STREQ(errorCodeText(RIE_BADSOLID), "Bad Solid block");
  EXPECT_STREQ(errorCodeText(RIE_MATH), "Math error");
  EXPECT_EQ(errorCodeText(RIE_DISKFULL), nullptr);
  EXPECT_STREQ(errorSeverityName(RIE_SEVERE), "SEVERE ERROR");
  EXPECT_STREQ(errorSeverityName(7), "");
}

TEST_F(ErrorHandlers, ImmediateRepeatsFoldIntoACountLine) {
  std::string out = stderrOf([] {
    RiErrorPrint(RIE_RANGE, RIE_WARNING, tok("Sides 3"));
    RiErrorPrint(RIE_RANGE, RIE_WARNING, tok("Sides 3"));
    RiErrorPrint(RIE_RANGE, RIE_WARNING, tok("Sides 3"));
    RiErrorPrint(RIE_MATH, RIE_WARNING, tok("divide"));
  });
  EXPECT_EQ(out, "WARNING: Parameter out of range\n    --> Sides 3\n"
                 "    (last message repeated 2 times)\n"
                 "WARNING: Math error\n    --> divide\n");
}

TEST_F(ErrorHandlers, ReportsWithoutMessageFoldAsEmptyMessages) {
  std::string out = stderrOf([] {
    RiErrorPrint(RIE_BUG, RIE_ERROR, nullptr);
    RiErrorPrint(RIE_BUG, RIE_ERROR, nullptr);
    RiErrorPrint(RIE_BUG, RIE_ERROR, tok("")); // the same report as far as folding goes
    RiErrorPrint(RIE_BUG, RIE_ERROR, tok("other"));
  });
  EXPECT_EQ(out, "ERROR: Probable bug in renderer\n"
                 "    (last message repeated 2 times)\n"
                 "ERROR: Probable bug in renderer\n    --> other\n");
}

TEST_F(ErrorHandlers, BadTokenWithMessageIsNeverFolded) {
  std::string out = stderrOf([] {
    RiErrorPrint(RIE_BADTOKEN, RIE_ERROR, tok("foo"));
    RiErrorPrint(RIE_BADTOKEN, RIE_ERROR, tok("foo"));
  });
  EXPECT_EQ(out, "ERROR: Invalid token\n    --> foo\nERROR: Invalid token\n    --> foo\n");
}

TEST_F(ErrorHandlers, LongMessagesArePrintedButNotRemembered) {
  std::string longMessage(1023, 'x');
  std::string once = "ERROR: Syntax error\n    --> " + longMessage + "\n";
  EXPECT_EQ(stderrOf([&] {
              RiErrorPrint(RIE_SYNTAX, RIE_ERROR, tok(longMessage.c_str()));
              RiErrorPrint(RIE_SYNTAX, RIE_ERROR, tok(longMessage.c_str()));
            }),
            once + once);
  // One character shorter is remembered, so the repeat folds.
  std::string shorter(1022, 'y');
  EXPECT_EQ(stderrOf([&] {
              RiErrorPrint(RIE_SYNTAX, RIE_ERROR, tok(shorter.c_str()));
              RiErrorPrint(RIE_SYNTAX, RIE_ERROR, tok(shorter.c_str()));
            }),
            "ERROR: Syntax error\n    --> " + shorter + "\n");
}

TEST_F(ErrorHandlers, SourceLineAndObjectAreNamed) {
  gRibErrorFile = tok("scene.rib");
  gRibErrorLine = 12;
  gRibErrorObject = tok("teapot");
  EXPECT_EQ(stderrOf([] { RiErrorPrint(RIE_SYNTAX, RIE_ERROR, nullptr); }),
            "ERROR: scene.rib (12): Syntax error\n\t(error encountered in object \"teapot\")\n");
  // Another line is another report, even with the same code and message.
  gRibErrorLine = 13;
  EXPECT_EQ(stderrOf([] { RiErrorPrint(RIE_SYNTAX, RIE_ERROR, nullptr); }),
            "ERROR: scene.rib (13): Syntax error\n\t(error encountered in object \"teapot\")\n");
}

TEST_F(ErrorHandlers, IgnoreOnlyRecordsTheCode) {
  EXPECT_EQ(stderrOf([] { RiErrorIgnore(RIE_NOSHADER, RIE_SEVERE, tok("x")); }), "");
  EXPECT_EQ(RiLastError, RIE_NOSHADER);
}

TEST_F(ErrorHandlers, SevereErrorsEndTheProcess) {
  EXPECT_EXIT(RiErrorPrint(RIE_NOTSTARTED, RIE_SEVERE, tok("RiFormat")),
              ::testing::ExitedWithCode(255),
              "^SEVERE ERROR: RiBegin not called\n    --> RiFormat\n$");
  EXPECT_EXIT(RiErrorAbort(RIE_NESTING, RIE_ERROR, nullptr), ::testing::ExitedWithCode(255),
              "^ERROR: Nesting error\n$");
}

TEST_F(ErrorHandlers, AbortReturnsBelowErrorAndPrintReturnsAtError) {
  EXPECT_EQ(stderrOf([] { RiErrorAbort(RIE_LIMIT, RIE_WARNING, nullptr); }),
            "WARNING: Program limit\n");
  EXPECT_EQ(stderrOf([] { RiErrorPrint(RIE_MATH, RIE_ERROR, nullptr); }), "ERROR: Math error\n");
}

TEST_F(ErrorHandlers, ErrorHandlerRequestNamesOnlyTheStandardHandlers) {
  auto own = [](RtInt, RtInt, char *) {};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.ErrorHandler(RiErrorIgnore);
              rib.ErrorHandler(RiErrorPrint);
              rib.ErrorHandler(RiErrorAbort);
              rib.ErrorHandler(own);
              EXPECT_EQ(rib.errorHandler, RiErrorPrint);
            }),
            "ErrorHandler \"ignore\"\nErrorHandler \"print\"\nErrorHandler \"abort\"\n");
}

} // namespace
