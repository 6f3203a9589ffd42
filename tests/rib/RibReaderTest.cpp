// The RIB reader on whole files: what the library writes (ASCII and binary recordings) reads back
// request for request, and broken files give one error on the right line and reading goes on.
// (The golden files are read back by the tools' round trips; chunking by the reader's fuzz target.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "RibReadLog.h"
#include "RibReader.h"
#include "RibTestUtil.h"
#include "RibWriter.h"
#include "rib/RibRead.h"
#include "rib/ri.h"

using ribtest::ReadLog;

namespace {

std::vector<std::string> readLog(const std::string &bytes, size_t chunkBytes = 65536,
                                 size_t requestBytes = size_t(1) << 30) {
  ReadLog log;
  rib::RibReaderLimits limits;
  limits.chunkBytes = chunkBytes;
  limits.requestBytes = requestBytes;
  rib::RibReader reader(log, limits);
  reader.readMemory(bytes.data(), bytes.size());
  return log.lines;
}

// A scene through the C interface, written once as ASCII with 9 digits and once with binary
// floats: both read back to the same requests, and every float is the one that was written.
TEST(RibReader, BinaryAndNineDigitAsciiRecordingsReadBackExactly) {
  std::vector<RtFloat> P;
  for (int i = 0; i < 3 * 300; ++i)
    P.push_back(std::ldexp(static_cast<float>(i * 7919 % 1000) - 500.3f, i % 40 - 20));
  std::vector<RtInt> nvertices(100, 3), vertices;
  for (int i = 0; i < 300; ++i) vertices.push_back(299 - i);
  auto record = [&](bool binary) {
    const std::string path = ribtest::tempPath(binary ? "read_binary" : "read_ascii");
    RtInt flag = binary ? 1 : 0, digits = 9;
    RiOption(ribtest::tok("rib"), "binary", &flag, "precision", &digits, RI_NULL);
    RiBegin(ribtest::tok(path.c_str()));
    RtFloat fov = 37.5f;
    RiProjection(ribtest::tok("perspective"), "fov", &fov, RI_NULL);
    RiWorldBegin();
    RtColor color = {0.1f, 0.2f, 1.0f / 3.0f};
    RiColor(color);
    RiTranslate(1e-7f, -2.5f, 3e20f);
    RiArchiveRecord(ribtest::tok("structure"), ribtest::tok("Frame %d"), 2);
    RtToken tokens[] = {ribtest::tok("P")};
    RtPointer values[] = {P.data()};
    RiPointsPolygonsV(100, nvertices.data(), vertices.data(), 1, tokens, values);
    RiSphere(1.0f, -1.0f, 1.0f, 360.0f, RI_NULL);
    RiWorldEnd();
    RiEnd();
    flag = 0;
    digits = 6;
    RiOption(ribtest::tok("rib"), "binary", &flag, "precision", &digits, RI_NULL);
    const std::string bytes = ribtest::readFile(path);
    std::remove(path.c_str());
    return bytes;
  };
  const std::string ascii = record(false), binary = record(true);
  ASSERT_NE(binary.find('\xC8'), std::string::npos); // binary float arrays are in there

  std::vector<float> readP;
  struct Collector : ReadLog {
    std::vector<float> *P;
    void request(const rib::RibRequest &request) override {
      ReadLog::request(request);
      if (request.name == "PointsPolygons" && request.size() == 4)
        P->assign(request[3].floats, request[3].floats + request[3].count);
    }
  };
  Collector fromAscii, fromBinary;
  fromAscii.P = &readP;
  fromBinary.P = &readP;
  rib::RibReader(fromAscii).readMemory(ascii.data(), ascii.size());
  ASSERT_EQ(readP.size(), P.size());
  EXPECT_EQ(std::memcmp(readP.data(), P.data(), P.size() * sizeof(float)), 0);
  readP.clear();
  rib::RibReader(fromBinary).readMemory(binary.data(), binary.size());
  ASSERT_EQ(readP.size(), P.size());
  EXPECT_EQ(std::memcmp(readP.data(), P.data(), P.size() * sizeof(float)), 0);

  // The same requests and values; only positions and the types of whole-number float arrays
  // (an integer array in ASCII, floats in binary) differ.
  auto withoutPositions = [](std::vector<std::string> lines) {
    for (std::string &line : lines) {
      const size_t space = line.find(' ', 2);
      line = line.substr(0, 2) + line.substr(space + 1);
      for (size_t at; (at = line.find(" I[")) != std::string::npos;) line[at + 1] = 'F';
    }
    return lines;
  };
  EXPECT_TRUE(fromAscii.only('E').empty());
  EXPECT_EQ(withoutPositions(fromAscii.lines), withoutPositions(fromBinary.lines));
  EXPECT_EQ(fromAscii.lines[4], "R 5:92 Color | F[0.100000001 0.200000003 0.333333343]");
  EXPECT_EQ(fromAscii.lines[6], "C 7 Frame 2");
}

// Broken inputs: one error each, on the line and at the byte of the problem; the request it is
// in is dropped and reading goes on at the next request name.
TEST(RibReader, BrokenInputsGiveOneErrorAndReadingGoesOn) {
  struct Case {
    std::string input;
    std::string error;   // the one "E" line
    bool resumes = true; // WorldEnd is read after it
  };
  const Case cases[] = {
      {"Polygon \"P\" [0 1\n [2] 3]\nWorldEnd\n", "E 2:18 array inside an array"},
      {"Color [1 2\nWorldEnd\n", "E 1:6 unterminated array: no ']' before the next request"},
      {"Color [1 \"a\"]\nWorldEnd\n", "E 1:9 string in an array of numbers"},
      {"Sphere 1 -1.5.2 1 360\nWorldEnd\n", "E 1:9 malformed number '-1.5.2'"},
      // A number runs into a name only when that is a request's ("5Sphere" reads on, noted).
      {"Translate 0 0 1f\nWorldEnd\n", "E 1:14 malformed number '1f'"},
      {"Sphere 0x1p3 -1 1 360\nWorldEnd\n", "E 1:7 malformed number '0x1p3'"},
      {"Sphere 1e5e5 -1 1 360\nWorldEnd\n", "E 1:7 malformed number '1e5e5'"},
      {"Sphere 1 ) 1\nWorldEnd\n", "E 1:9 unexpected character ')'"},
      {"1 2 3\nWorldEnd\n", "E 1:0 value before the first request"},
      {"Color ]\nWorldEnd\n", "E 1:6 ']' without '['"},
      {"Surface \"a\\777\"\nWorldEnd\n", "E 1:10 octal escape above \\377 in a string"},
      {"Sphere \xA7 1\nWorldEnd\n", "E 1:7 reserved binary code 0xA7 at byte 7"},
      {"Surface \xCF\x05\nWorldEnd\n", "E 1:8 binary string code 5 at byte 8 has no definition"},
      // Open strings and short binary values are only known at the end of the input.
      {"Sphere 1\nDisplay \"a.tif\n\nWorldEnd\n", "E 2:17 unterminated string", false},
      {std::string("Polygon \"P\" \xC8\x03\x3F\x80\x00\x00\x40", 19),
       "E 1:12 binary float array truncated after 1 of 3 values (array at byte 12)", false},
      {std::string("Polygon \"P\" \xCB\xFF\xFF\xFF\xFF\x3F\x80\x00\x00", 21),
       "E 1:12 binary float array truncated after 1 of 4294967295 values (array at byte 12)",
       false},
      {"Sphere \xA4\x3F\x80", "E 1:7 binary value truncated at byte 7", false},
      // A request's name defined in the binary form has the limit of an ASCII one.
      {std::string("\xCC\x00\xA2\x10\x00\x01", 6) + std::string(0x100001, 'a') + "\nWorldEnd\n",
       "E 1:0 binary request definition at byte 0: name longer than 1048576 bytes"},
      {"WorldBegin\nFrameBegi",
       "E 2:11 the input ends in the middle of a request name ('FrameBegi')", false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.input);
    const std::vector<std::string> lines = readLog(c.input);
    std::vector<std::string> errors;
    for (const std::string &line : lines)
      if (line[0] == 'E') errors.push_back(line);
    EXPECT_EQ(errors, std::vector<std::string>{c.error});
    EXPECT_NE(lines.back().find(c.resumes ? "WorldEnd |" : c.error), std::string::npos);
  }
}

// A file cut short inside a request's name is never taken for a request nobody knows.
TEST(RibReader, ARecordingCutInsideAnyRequestNameHasAProblem) {
  const std::string recording =
      ribtest::readFile(WOBBLE_SOURCE_DIR "/tests/tools/golden/recording_two_frames.rib");
  struct Names : rib::RibHandler {
    std::vector<std::pair<size_t, size_t>> at; // offset and length of each request's name
    void request(const rib::RibRequest &r) override {
      at.push_back({static_cast<size_t>(r.where.offset), r.name.size()});
    }
  } names;
  rib::RibReader(names).readMemory(recording.data(), recording.size());
  ASSERT_GT(names.at.size(), 30u);
  rib::RibWriter nowhere("/dev/null");
  ribtest::CollectedDiagnostics said;
  for (const auto &[offset, length] : names.at)
    for (size_t cut = offset + 1; cut < offset + length; ++cut)
      EXPECT_GT(rib::readRib(recording.data(), cut, "cut.rib", nowhere), 0)
          << recording.substr(offset, cut - offset);
}

// Values beyond a request's limit are not kept: the request is reported once, the next one read.
TEST(RibReader, RequestLimitHoldsAgainstLargeAndHostileArrays) {
  std::string ascii = "Points \"P\" [";
  for (int i = 0; i < 2000; ++i) ascii += "1.5 ";
  ascii += "]\nWorldEnd\n";
  EXPECT_EQ(readLog(ascii, 65536, 4096),
            (std::vector<std::string>{"E 1:0 request Points is larger than the limit of 4096 bytes",
                                      "R 2:8014 WorldEnd |"}));
  std::string binary("Points \"P\" \xC9\x0F\xA0", 14); // 4000 floats
  binary += std::string(16000, '\x3F') + "\nWorldEnd\n";
  EXPECT_EQ(readLog(binary, 1000, 4096),
            (std::vector<std::string>{"E 1:0 request Points is larger than the limit of 4096 bytes",
                                      "R 2:16015 WorldEnd |"}));
  // Single numbers hold the most per byte of input (the value, its integer, a record and the
  // handler's view of each): ten thousand of them hold more than a million bytes.
  std::string singles = "Points";
  for (int i = 0; i < 10000; ++i) singles += " 1";
  EXPECT_EQ(
      readLog(singles + "\nWorldEnd\n", 65536, 1000000),
      (std::vector<std::string>{"E 1:0 request Points is larger than the limit of 1000000 bytes",
                                "R 2:20007 WorldEnd |"}));
  // A count of a million floats with four thousand behind it: nothing is set aside for the
  // count, and the array is reported as what it is.
  std::string hostile("Points \"P\" \xCA\x10\x00\x00", 15);
  hostile += std::string(16000, '\x3F');
  EXPECT_EQ(readLog(hostile, 1000),
            (std::vector<std::string>{"E 1:11 binary float array truncated after 4000 of 1048576 "
                                      "values (array at byte 11)"}));
}

// The binary encoding's other forms, spelled out byte by byte.
TEST(RibReader, BinaryFormsOfNumbersStringsAndDefinitions) {
  const std::string input("\xCC\x01\x96Sphere"   // request 1 is "Sphere"
                          "\xCD\x07\x93xyz"      // string 7 is "xyz"
                          "\xCE\x01\x00\"long\"" // string 256 is "long", from an ASCII string
                          "\xA6\x01"             // Sphere
                          "\x80\xFE"             // 254: the short forms are unsigned
                          "\x81\x80\x00"         // 32768
                          "\x83\xFF\xFF\xFF\xFF" // -1
                          "\x85\x01\x80"         // 1.5: two bytes, one of them after the point
                          "\x8C\x80"             // 0.5 / 65536: one byte, three after the point
                          "\xA4\x3E\x80\x00\x00" // 0.25
                          "\xA5\x3F\xF4\x00\x00\x00\x00\x00\x00" // 1.25 as a double
                          "\x92hi"                               // "hi"
                          "\xA0\x03"
                          "abc"                  // "abc" with a one-byte length
                          "\xCF\x07\xD0\x01\x00" // "xyz", "long"
                          "[\xCF\x07 \"q\"]"     // a string array mixing forms
                          "\xC8\x00"             // an empty float array
                          "\nWorldEnd\n",
                          88);
  EXPECT_EQ(readLog(input),
            (std::vector<std::string>{
                "R 1:24 Sphere | i:254 i:32768 i:-1 f:1.5 f:7.62939453e-06 f:0.25 f:1.25 s:\"hi\" "
                "s:\"abc\" s:\"xyz\" s:\"long\" S[\"xyz\" \"q\"] F[]",
                "R 2:79 WorldEnd |"}));
}

} // namespace
