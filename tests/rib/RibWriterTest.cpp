#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include "InternString.h"
#include "ParamDecl.h"
#include "PrimitiveCounts.h"
#include "RibTestUtil.h"

using namespace rib;

using ribtest::kHeader;
using ribtest::readFile;
using ribtest::ribOf;
using ribtest::tempPath;
using ribtest::tok;

namespace {

rib::RibWriter *writerAt(RtContextHandle handle) { return static_cast<rib::RibWriter *>(handle); }

TEST(RibWriter, FileTargetGetsHeaderAndClosingNewline) {
  std::string path = tempPath("file");
  rib::RibWriter *rib = writerAt(RiNewContext(tok(path.c_str())));
  ASSERT_NE(rib, nullptr);
  EXPECT_EQ(rib->name, internString(path.c_str()));
  EXPECT_EQ(rib->isPipe, 0);
  EXPECT_EQ(rib->uStep, 3);
  EXPECT_EQ(rib->nextLightHandle, 1);
  EXPECT_EQ(rib->errorHandler, RiErrorPrint);
  EXPECT_EQ(gEchoDeclares, 1);
  delete rib;
  EXPECT_EQ(readFile(path), std::string(kHeader) + "\n");
  std::remove(path.c_str());
}

TEST(RibWriter, StandardOutputStaysOpen) {
  ::testing::internal::CaptureStdout();
  rib::RibWriter *rib = writerAt(RiNewContext(nullptr));
  rib->ArchiveRecord(tok("comment"), tok("to stdout"));
  EXPECT_EQ(rib->name, nullptr);
  delete rib;
  fflush(stdout);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), std::string(kHeader) + "# to stdout\n\n");
  EXPECT_GE(fputs("", stdout), 0);
  EXPECT_EQ(ferror(stdout), 0);
}

TEST(RibWriter, BarTargetPipesIntoTheCommand) {
  std::string path = tempPath("pipe");
  std::string target = "|cat > '" + path + "'";
  rib::RibWriter *rib = writerAt(RiNewContext(tok(target.c_str())));
  EXPECT_EQ(rib->isPipe, 1);
  EXPECT_STREQ(rib->name, target.c_str() + 1);
  rib->ArchiveRecord(tok("structure"), tok("Frames 1"));
  delete rib; // waits for cat
  EXPECT_EQ(readFile(path), std::string(kHeader) + "##Frames 1\n\n");
  std::remove(path.c_str());
}

// A stand-in renderer on PATH that stores its input.
TEST(RibWriter, RendererNamesStartThatProgram) {
  std::string dir = ::testing::TempDir() + "fake_renderer_" + std::to_string(getpid());
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  std::string script = dir + "/rgl";
  FILE *file = fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  fprintf(file, "#!/bin/sh\ncat > '%s/received'\n", dir.c_str());
  fclose(file);
  chmod(script.c_str(), 0755);
  std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (dir + ":" + oldPath).c_str(), 1);
  rib::RibWriter *rib = writerAt(RiNewContext(tok("rgl")));
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(rib->isPipe, 1);
  EXPECT_STREQ(rib->name, "rgl");
  delete rib;
  EXPECT_EQ(readFile(dir + "/received"), std::string(kHeader) + "\n");
  std::remove((dir + "/received").c_str());
  std::remove(script.c_str());
  rmdir(dir.c_str());
}

TEST(RibWriter, NamesCloseToRendererNamesAreFiles) {
  std::string dir = ::testing::TempDir();
  for (const char *name : {"RGL", "rendribx", "prman "}) {
    std::string path = dir + name;
    rib::RibWriter *rib = writerAt(RiNewContext(tok(path.c_str())));
    EXPECT_EQ(rib->isPipe, 0) << name;
    delete rib;
    EXPECT_EQ(readFile(path), std::string(kHeader) + "\n") << name;
    std::remove(path.c_str());
  }
}

TEST(RibWriter, FileThatCannotBeCreatedEndsTheProcess) {
  EXPECT_EXIT(RiBegin(tok("/nonexistent-directory/scene.rib")), ::testing::ExitedWithCode(1),
              "^Error making RIB file: bad filename\n$");
}

TEST(RibWriter, PipeThatCannotBeOpenedEndsTheProcess) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers need file descriptors of their own";
#endif
  // Without room for another file descriptor the pipe cannot be made.
  auto openWithoutDescriptors = [] {
    struct rlimit none = {0, 0};
    setrlimit(RLIMIT_NOFILE, &none);
    RiBegin(tok("|cat > /dev/null"));
  };
  EXPECT_EXIT(openWithoutDescriptors(), ::testing::ExitedWithCode(1),
              "^Error opening pipe to cat > /dev/null\n$");
}

int binaryOf(const std::vector<RibOption> &options) {
  std::string path = tempPath("options");
  rib::RibWriter rib(path.c_str(), options.data());
  int binary = (rib.encoder.binary ? 1 : 0) * 10 + rib.compression;
  std::remove(path.c_str());
  return binary;
}

TEST(RibWriter, OptionsApplyInOrder) {
  const char *binaryText = "binary", *asciiText = "ascii", *gzip = "gzip";
  int32_t zero = 0, one = 1;
  EXPECT_EQ(binaryOf({{"format", &binaryText}, {nullptr, nullptr}}), 10);
  EXPECT_EQ(binaryOf({{"format", &asciiText}, {nullptr, nullptr}}), 0);
  EXPECT_EQ(binaryOf({{"format", &binaryText}, {"binary", &zero}, {nullptr, nullptr}}), 0);
  EXPECT_EQ(binaryOf({{"binary", &one}, {"compression", &gzip}, {nullptr, nullptr}}), 11);
  EXPECT_EQ(binaryOf({{"gzip", &one}, {"Binary", &one}, {"other", &one}, {nullptr, nullptr}}), 1);
  // Nothing after the null token is read.
  EXPECT_EQ(binaryOf({{nullptr, nullptr}, {"binary", &one}}), 0);
}

TEST(RibWriter, AtMost512OptionPairsAreRead) {
  int32_t zero = 0, one = 1;
  std::vector<RibOption> options(600, RibOption{"binary", &zero});
  options[511].value = &one; // the last pair read
  options[599].value = &zero;
  EXPECT_EQ(binaryOf(options), 10);
  options[511].value = &zero;
  options[512].value = &one; // beyond the limit: ignored
  EXPECT_EQ(binaryOf(options), 0);
}

TEST(RibWriter, RiBeginUsesTheGlobalBinaryFlagAndBecomesCurrent) {
  std::string first = tempPath("begin1"), second = tempPath("begin2");
  gRibBinary = 1;
  RtContextHandle a = RiBegin(tok(first.c_str()));
  EXPECT_EQ(RiCurrentContext, a);
  EXPECT_TRUE(writerAt(a)->encoder.binary);
  RtContextHandle other = RiNewContext(tok(second.c_str()));
  EXPECT_FALSE(writerAt(other)->encoder.binary);
  EXPECT_EQ(RiCurrentContext, a);
  delete writerAt(other);
  gRibBinary = 0;
  RtContextHandle b = RiBegin(tok(second.c_str()));
  EXPECT_EQ(RiCurrentContext, b); // the first stays open
  RtFloat one[] = {1};
  RiCurrentContext->ReadArchive(tok("x"), nullptr, tok("Ka"), one, RI_NULL);
  writerAt(a)->ArchiveRecord(tok("comment"), tok("first"));
  delete writerAt(b);
  delete writerAt(a);
  RiCurrentContext = nullptr;
  EXPECT_EQ(readFile(first), std::string(kHeader) + "# first\n\n");
  EXPECT_EQ(readFile(second), std::string(kHeader) + "ReadArchive \"x\" \"Ka\" [1]\n\n");
  std::remove(first.c_str());
  std::remove(second.c_str());
}

// Requests of this module and the value writers in one file, byte for byte.
TEST(RibWriter, GoldenAsciiAndBinaryFiles) {
  auto scene = [](rib::RibWriter &rib) {
    rib.ArchiveRecord(tok("structure"), tok("Scene %s"), "golden");
    RtToken kq = rib.Declare(tok("Kq"), tok("varying color"));
    RtFloat kqValues[] = {0.25f, 0.5f, 1};
    RtFloat half[] = {0.5f};
    RtInt two[] = {2, 3};
    rib.ReadArchive(tok("lights.rib"), nullptr, kq, kqValues, tok("origin"), two, RI_NULL);
    rib.encoder.writeRaw("Translate ");
    rib.encoder.writeFloat(1);
    rib.encoder.writeFloat(-2.5f);
    rib.encoder.writeFloat(1e-7f);
    rib.encoder.writeRaw("\nSphere 1 -1 1 360");
    RtToken tokens[] = {tok("Cs"), tok("constantwidth")};
    RtFloat cs[] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1};
    RtPointer values[] = {cs, half};
    rib.encoder.writePrimParamList(rib::PrimitiveCounts{4, 4, 1}, 2, tokens, values);
    rib.ErrorHandler(RiErrorAbort);
  };
  EXPECT_EQ(ribOf(scene),
            "##Scene golden\n"
            "Declare \"Kq\" \"varying color\"\n"
            "ReadArchive \"lights.rib\" \"Kq\" [0.25 0.5 1] \"origin\" [2 3 ]\n"
            "Translate 1 -2.5 1e-07 \n"
            "Sphere 1 -1 1 360 \"Cs\" [1 0 0 0 1 0 0 0 1 1 1 1] \"constantwidth\" [0.5]\n"
            "ErrorHandler \"abort\"\n");
  EXPECT_EQ(
      ribOf(scene, true),
      ribtest::bytes("##Scene golden\n"
                     "Declare \"Kq\" \"varying color\"\n"
                     "ReadArchive \"lights.rib\" \"Kq\" \xC8\x03\x3E\x80\x00\x00\x3F\x00\x00\x00"
                     "\x3F\x80\x00\x00 \"origin\" [2 3 ]\n"
                     "Translate \xA4\x3F\x80\x00\x00\xA4\xC0\x20\x00\x00\xA4\x33\xD6\xBF\x95"
                     "\nSphere 1 -1 1 360 \"Cs\" \xC8\x0C"
                     "\x3F\x80\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                     "\x00\x00\x00\x00\x3F\x80\x00\x00\x00\x00\x00\x00"
                     "\x00\x00\x00\x00\x00\x00\x00\x00\x3F\x80\x00\x00"
                     "\x3F\x80\x00\x00\x3F\x80\x00\x00\x3F\x80\x00\x00"
                     " \"constantwidth\" \xC8\x01\x3F\x00\x00\x00\n"
                     "ErrorHandler \"abort\"\n"));
}

} // namespace
