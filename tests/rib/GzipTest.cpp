// gzip: a context asked for it writes standard gzip whose content is byte for byte what it
// writes without; the reader takes gzip input whatever its name and says in one line when it is
// corrupt or cut short; a write failure while compressing is reported once.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "RibReadLog.h"
#include "RibReader.h"
#include "RibTestUtil.h"
#include "RibWriter.h"

using ribtest::readFile;
using ribtest::tok;

namespace {

// More than one member's worth (1 MB) of RIB, with a flush (WorldEnd) in the middle.
void scene(RiContext &ri) {
  std::vector<RtFloat> values(400000);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<RtFloat>(i % 977) * 0.25f;
  ri.WorldBegin();
  ri.Sphere(1, -1, 1, 360, RI_NULL);
  ri.WorldEnd();
  ri.Points(static_cast<RtInt>(values.size() / 3), tok("P"), values.data(), RI_NULL);
  ri.Points(static_cast<RtInt>(values.size() / 3), tok("P"), values.data(), RI_NULL);
}

std::string writtenWith(const char *name, int32_t gzip, int32_t level, int32_t compact) {
  const std::string path = ribtest::tempPath(name);
  const rib::RibOption options[] = {
      {"gzip", &gzip}, {"compressionlevel", &level}, {"compact", &compact}, {nullptr, nullptr}};
  {
    rib::RibWriter context(path.c_str(), options);
    scene(context);
  }
  std::string all = readFile(path);
  std::remove(path.c_str());
  return all;
}

// What zlib's gzread gives back from `compressed`.
std::string gunzipWithZlib(const std::string &compressed) {
  const std::string path = ribtest::tempPath("zlib");
  std::FILE *file = std::fopen(path.c_str(), "wb");
  std::fwrite(compressed.data(), 1, compressed.size(), file);
  std::fclose(file);
  gzFile in = gzopen(path.c_str(), "rb");
  std::string out;
  char chunk[65536];
  for (int n; (n = gzread(in, chunk, sizeof chunk)) > 0;) out.append(chunk, static_cast<size_t>(n));
  gzclose(in);
  std::remove(path.c_str());
  return out;
}

std::vector<std::string> readLog(const std::string &input) {
  ribtest::ReadLog log;
  rib::RibReader(log).readMemory(input.data(), input.size());
  return log.lines;
}

TEST(Gzip, OutputIsStandardGzipOfExactlyThePlainBytes) {
  for (const int32_t compact : {0, 1}) {
    const std::string plain = writtenWith("plain", 0, 6, compact);
    ASSERT_GT(plain.size(), size_t(1) << 20);
    for (const int32_t level : {1, 6, 9}) {
      SCOPED_TRACE("level " + std::to_string(level) + (compact ? ", compact" : ""));
      const std::string gzip = writtenWith("gzip", 1, level, compact);
      EXPECT_LT(gzip.size(), plain.size() / 4);
      EXPECT_TRUE(gunzipWithZlib(gzip) == plain);
      // gzip -d, as a program that knows nothing of this library.
      const std::string path = ribtest::tempPath("gunzip");
      std::FILE *file = std::fopen(path.c_str(), "wb");
      std::fwrite(gzip.data(), 1, gzip.size(), file);
      std::fclose(file);
      ASSERT_EQ(std::system(("gzip -dc < '" + path + "' > '" + path + ".out'").c_str()), 0);
      EXPECT_TRUE(readFile(path + ".out") == plain);
      std::remove(path.c_str());
      std::remove((path + ".out").c_str());
      // And the reader takes it as it takes the plain bytes.
      if (level == 6) {
        EXPECT_EQ(readLog(gzip), readLog(plain));
      }
    }
  }
}

TEST(Gzip, CorruptAndTruncatedInputIsReportedInOneLine) {
  const std::string gzip = writtenWith("broken", 1, 6, 0);
  std::string corrupt = gzip;
  for (size_t i = 100; i < 110; ++i) corrupt[i] = static_cast<char>(~corrupt[i]);
  std::vector<std::string> errors;
  for (const std::string &line : readLog(corrupt))
    if (line[0] == 'E') errors.push_back(line.substr(line.find(' ', 2) + 1));
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.front().rfind("gzip input is corrupt (", 0), 0u) << errors.front();
  EXPECT_EQ(errors.size(), 1u);

  // Cut inside its last member: everything before is read, then one line says why it ends.
  const std::vector<std::string> whole = readLog(gzip);
  const std::vector<std::string> cut = readLog(gzip.substr(0, gzip.size() - 20));
  ASSERT_GE(cut.size(), 2u);
  EXPECT_EQ(cut.back().substr(cut.back().find(' ', 2) + 1), "gzip input is truncated");
  EXPECT_EQ(std::vector<std::string>(cut.begin(), cut.begin() + 2),
            std::vector<std::string>(whole.begin(), whole.begin() + 2));
}

TEST(Gzip, AWriteFailureWhileCompressingIsReportedOnce) {
  const ribtest::ChildRun run = ribtest::runInChild([] {
    static char compression[] = "compression", gzip[] = "gzip";
    char *gzipText = gzip;
    RiOption(tok("rib"), compression, &gzipText, RI_NULL);
    RiBegin(tok("/dev/full"));
    scene(*RiCurrentContext);
    RiEnd();
    return static_cast<int>(RiLastError);
  });
  EXPECT_EQ(run.exitStatus, RIE_DISKFULL);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: cannot write the RIB to \"/dev/full\": No space left on device\n");
}

} // namespace
