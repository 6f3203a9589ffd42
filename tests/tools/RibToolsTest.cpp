// rib-check and rib-cat as programs: they accept everything the library writes (the golden files,
// the simulator's recordings in ASCII and binary), write it again byte for byte, name the first
// problem of broken files, and refuse bad arguments.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ToolRunning.h"

namespace {

// A folder of the test's own, removed with everything in it at the end of the test.
class RibTools : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_FALSE(folder_.dir().empty()); }

  std::string path(const std::string &name) const { return folder_.path(name); }

  // Runs `program` in the test's folder with `args` (none holds a quote) and standard input from
  // `input`.
  ToolRun run(const char *program, const std::vector<std::string> &args,
              const std::string &input = "/dev/null") {
    return runCaptured("cd '" + folder_.dir() + "' && " + quotedCommand(program, args) + " <'" +
                           input + "'",
                       path("out"), path("err"));
  }

  // Runs a shell command line in the test's folder, standard error into a file.
  ToolRun shell(const std::string &line) {
    return runCaptured("cd '" + folder_.dir() + "' && { " + line + " ; }", "", path("err"));
  }

  ToolRun check(const std::vector<std::string> &args) { return run(RIB_CHECK_PATH, args); }
  ToolRun cat(const std::vector<std::string> &args) { return run(RIB_CAT_PATH, args); }

  // Records the simulator's world as RIB with its own arguments.
  void record(const std::vector<std::string> &args) {
    const ToolRun sim = run(WOBBLERAMA_SIM_PATH, args);
    ASSERT_EQ(sim.exitStatus, 0) << sim.err;
  }

private:
  TempFolder folder_{"wobble-rib-tools"};
};

const std::string kSimpleScene = WOBBLE_SOURCE_DIR "/examples/simple_scene.rib.golden";
const std::string kRecording = WOBBLERAMA_TEST_DATA "/golden/recording_two_frames.rib";

TEST_F(RibTools, AcceptEverythingTheLibraryWrites) {
  record({"--steps", "60", "--every", "20", "--push", "10:2", "--rib", path("ascii.rib")});
  record({"--steps", "60", "--every", "20", "--push", "10:1", "--rib", path("binary.rib"),
          "--rib-binary"});
  record({"--steps", "40", "--every", "20", "--rib", path("frame.%02d.rib"), "--rib-binary"});
  const ToolRun checked = check({kSimpleScene, kRecording, path("ascii.rib"), path("binary.rib"),
                                 path("frame.01.rib"), path("frame.02.rib")});
  EXPECT_EQ(checked.exitStatus, 0);
  EXPECT_EQ(checked.out + checked.err, "");
  const ToolRun piped = run(RIB_CHECK_PATH, {"-"}, path("binary.rib"));
  EXPECT_EQ(piped.exitStatus, 0);
  EXPECT_EQ(piped.out + piped.err, "");
}

TEST_F(RibTools, WriteWhatTheLibraryWroteByteForByte) {
  // The golden files at the precision they were written with: 6 digits and 9.
  ToolRun again = cat({kSimpleScene});
  EXPECT_EQ(again.exitStatus, 0);
  EXPECT_TRUE(again.out == slurp(kSimpleScene)) << again.out;
  EXPECT_EQ(again.err, "");
  // An output named like a command or a renderer is a file all the same.
  EXPECT_EQ(cat({"-o", "|cat", kSimpleScene}).out, "");
  EXPECT_TRUE(slurp(path("|cat")) == slurp(kSimpleScene));
  again = cat({"--precision", "9", kRecording});
  EXPECT_TRUE(again.out == slurp(kRecording));

  // A binary recording, again in binary (the encodings' round trips per request are checked
  // in-process with the dispatch).
  record({"--steps", "40", "--every", "20", "--rib", path("binary.rib"), "--rib-binary"});
  const std::string binary = slurp(path("binary.rib"));
  ASSERT_GT(binary.size(), 10000u);
  again = cat({"--binary", "--precision", "9", "-o", path("again.rib"), path("binary.rib")});
  EXPECT_EQ(again.exitStatus, 0);
  EXPECT_EQ(again.out, "");
  EXPECT_TRUE(slurp(path("again.rib")) == binary);

  // Indented: blocks two blanks deeper per level, and the same again when read back.
  const ToolRun indented = cat({"--indent", kSimpleScene});
  EXPECT_NE(indented.out.find("FrameBegin 1\n  Translate 0 0 6 \n  WorldBegin\n    LightSource"),
            std::string::npos);
  EXPECT_NE(indented.out.find("      Sphere 1 -1 1 360\n    AttributeEnd\n"), std::string::npos);
  EXPECT_NE(indented.out.find("\n  WorldEnd\nFrameEnd\n"), std::string::npos);
  spill(path("indented.rib"), indented.out);
  EXPECT_TRUE(cat({path("indented.rib")}).out == slurp(kSimpleScene));
}

TEST_F(RibTools, CompactAndGzipRecordingsReadBackAsTheAsciiOne) {
  const std::vector<std::string> steps = {"--steps", "40",  "--every", "20",
                                          "--push",  "5:1", "--rib"};
  auto recording = [&](std::vector<std::string> more) {
    std::vector<std::string> args = steps;
    args.insert(args.end(), more.begin(), more.end());
    record(args);
  };
  recording({path("ascii.rib")});
  recording({path("compact.rib.gz"), "--rib-compact"});
  recording({path("frame.%02d.rib.gz"), "--rib-compact"});
  recording({path("plain.%02d.rib")});
  const std::string ascii = slurp(path("ascii.rib"));
  const std::string compact = slurp(path("compact.rib.gz"));
  ASSERT_GT(ascii.size(), 10000u);
  EXPECT_EQ(compact.compare(0, 2, "\x1F\x8B"), 0);
  EXPECT_LT(compact.size() * 5, ascii.size());

  // Read whatever their names, gzip recognised by its first bytes.
  std::filesystem::copy_file(path("frame.02.rib.gz"), path("frame2.rib"));
  ToolRun checked = check({path("compact.rib.gz"), path("frame.01.rib.gz"), path("frame2.rib")});
  EXPECT_EQ(checked.exitStatus, 0);
  EXPECT_EQ(checked.out + checked.err, "");
  EXPECT_TRUE(cat({"--precision", "9", "compact.rib.gz"}).out == ascii);
  EXPECT_TRUE(run(RIB_CAT_PATH, {"--precision", "9", "-"}, path("compact.rib.gz")).out == ascii);
  EXPECT_TRUE(cat({"--precision", "9", "frame.01.rib.gz"}).out == slurp(path("plain.01.rib")));
  EXPECT_TRUE(cat({"--precision", "9", "frame2.rib"}).out == slurp(path("plain.02.rib")));

  // rib-cat: compact and gzip by option or by the output's name, and back again.
  EXPECT_EQ(cat({"--compact", "--precision", "9", "-o", "again.rib.gz", "ascii.rib"}).exitStatus,
            0);
  EXPECT_EQ(cat({"--gzip", "--precision", "9", "-o", "again.gzipped", "ascii.rib"}).exitStatus, 0);
  const ToolRun back = cat({"--precision", "9", "again.rib.gz", "-o", "back.rib"});
  EXPECT_EQ(back.exitStatus, 0);
  EXPECT_EQ(back.out + back.err, "");
  EXPECT_TRUE(slurp(path("back.rib")) == ascii);
  EXPECT_TRUE(cat({"--precision", "9", "again.gzipped"}).out == ascii);
  EXPECT_EQ(slurp(path("again.gzipped")).compare(0, 2, "\x1F\x8B"), 0);

  // Cut short: one line names it, and the exit status says problems were found.
  const std::string gzip = slurp(path("compact.rib.gz"));
  spill(path("cut.rib.gz"), gzip.substr(0, gzip.size() - 30));
  checked = check({"cut.rib.gz"});
  EXPECT_EQ(checked.exitStatus, 1);
  EXPECT_EQ(checked.out.substr(0, checked.out.find('\n')), "cut.rib.gz:3: gzip input is truncated");
}

TEST_F(RibTools, NameTheFirstProblemOfBrokenFiles) {
  // The kinds of problem are checked in-process with the dispatch; here, their form on the way out.
  struct Broken {
    const char *rib;
    const char *firstLine;
  };
  const Broken cases[] = {
      {"WorldBegin\nSphere 1 -1 1 360 \"Kd\" [0.5\nWorldEnd\n",
       "broken.rib:2: unterminated array: no ']' before the next request"},
      {"FrameBegin 1\nWorldBegin\nAttributeBegin\nWorldEnd\nFrameEnd\n",
       "broken.rib:3: AttributeBegin is not ended before the WorldEnd of line 4"},
      {"WorldBegin\nAttributeEnd\n", "broken.rib:2: AttributeEnd without AttributeBegin"},
  };
  for (const Broken &broken : cases) {
    SCOPED_TRACE(broken.rib);
    spill(path("broken.rib"), broken.rib);
    const ToolRun checked = check({"broken.rib"});
    EXPECT_EQ(checked.exitStatus, 1);
    EXPECT_EQ(checked.out.substr(0, checked.out.find('\n')), broken.firstLine);
    EXPECT_EQ(checked.err, "");
  }

  // What the library itself says while checking is a problem line of its request, not noise.
  spill(path("broken.rib"), "WorldBegin\nSphere 1 -1 1 1e39\nWorldEnd\n");
  const ToolRun said = check({"broken.rib"});
  EXPECT_EQ(said.exitStatus, 1);
  EXPECT_EQ(said.out,
            "broken.rib:2: RiSphere has a number that is not finite; the request is left out\n");
  EXPECT_EQ(said.err, "");

  // rib-cat reports the problem the same way and writes the rest.
  spill(path("broken.rib"), "WorldBegin\nSphere 1 -1 1 \"x\"\nDisk 0 1 360\nWorldEnd\n");
  const ToolRun written = cat({"broken.rib"});
  EXPECT_EQ(written.exitStatus, 1);
  EXPECT_EQ(written.err, "broken.rib:2: Sphere: argument 4 must be a number, not a string\n");
  EXPECT_EQ(written.out, "##RenderMan RIB-Structure 1.0\nversion 3.03\nWorldBegin\nDisk 0 1 360\n"
                         "WorldEnd\n\n");
}

TEST_F(RibTools, BadArgumentsExitTwoWithOneLineAndUsage) {
  spill(path("good.rib"), "WorldBegin\nWorldEnd\n");
  struct Bad {
    const char *program;
    std::vector<std::string> args;
    std::string firstLine;
  };
  const Bad cases[] = {
      {RIB_CHECK_PATH, {}, "rib-check: no file to check"},
      {RIB_CHECK_PATH, {"--quick", path("good.rib")}, "rib-check: unknown option '--quick'"},
      {RIB_CHECK_PATH,
       {path("good.rib"), path("missing.rib")},
       "rib-check: cannot read '" + path("missing.rib") + "': No such file or directory"},
      {RIB_CAT_PATH, {path("good.rib"), "-o"}, "rib-cat: option -o needs a file name"},
      {RIB_CAT_PATH,
       {"--precision", "18", path("good.rib")},
       "rib-cat: value '18' of --precision is not a number of digits from 1 to 17"},
      {RIB_CAT_PATH,
       {"--binary", "--compact", path("good.rib")},
       "rib-cat: options --binary and --compact exclude each other"},
      {RIB_CAT_PATH,
       {"-o", path("good.rib"), path("good.rib")},
       "rib-cat: output '" + path("good.rib") + "' is also an input"},
  };
  for (const Bad &bad : cases) {
    SCOPED_TRACE(bad.firstLine);
    const ToolRun result = run(bad.program, bad.args);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    const size_t end = result.err.find('\n');
    EXPECT_EQ(result.err.substr(0, end), bad.firstLine);
    EXPECT_EQ(result.err.compare(end + 1, 7, "usage: "), 0) << result.err;
  }
  // An input that cannot be read stops rib-cat before anything is written.
  const ToolRun missing = cat({"-o", path("out.rib"), path("good.rib"), path("missing.rib")});
  EXPECT_EQ(missing.exitStatus, 2);
  EXPECT_EQ(missing.err,
            "rib-cat: cannot read '" + path("missing.rib") + "': No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(path("out.rib")));
  EXPECT_EQ(slurp(path("good.rib")), "WorldBegin\nWorldEnd\n");
}

TEST_F(RibTools, InputsAreNeverDestroyedNorReadAsTheirOwnOutput) {
  const std::string good = "WorldBegin\nSphere 1 -1 1 360\nWorldEnd\n";
  const std::string goodOut = "##RenderMan RIB-Structure 1.0\nversion 3.03\n" + good + "\n";
  spill(path("good.rib"), good);
  const std::string cat = std::string("'") + RIB_CAT_PATH + "'";
  const std::string check = std::string("'") + RIB_CHECK_PATH + "'";
  auto firstLine = [](const std::string &text) { return text.substr(0, text.find('\n')); };

  // Standard input and output count as inputs and outputs: the file is left as it was, and
  // rib-cat never reads what it writes.
  struct Same {
    std::string line, said;
  };
  const Same same[] = {
      {cat + " - -o good.rib < good.rib",
       "rib-cat: output 'good.rib' is also an input (standard input)"},
      {cat + " good.rib >> good.rib", "rib-cat: standard output is also an input"},
      {cat + " - < good.rib >> good.rib",
       "rib-cat: standard output is also an input (standard input)"},
  };
  for (const Same &c : same) {
    const ToolRun refused = shell(c.line);
    EXPECT_EQ(refused.exitStatus, 2) << c.line;
    EXPECT_EQ(firstLine(refused.err), c.said);
    EXPECT_EQ(slurp(path("good.rib")), good) << c.line;
  }

  // OUT is replaced only by a whole run: an input that cannot be read after another was written
  // (standard input is a folder) leaves it as it was, and no temporary file behind.
  spill(path("out.rib"), "old");
  ToolRun run = shell(cat + " good.rib - -o out.rib < .");
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, "rib-cat: cannot read '-': it is a folder\n");
  EXPECT_EQ(slurp(path("out.rib")), "old");
  run = shell(cat + " good.rib -o out.rib");
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(slurp(path("out.rib")), goodOut);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("")),
                          std::filesystem::directory_iterator()),
            3); // good.rib, out.rib, err

  // A failed write is one line (at the request where it failed) and status 2.
  run = shell(cat + " good.rib -o /dev/full");
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err,
            "good.rib:3: cannot write the RIB to \"/dev/full\": No space left on device\n");

  // A FIFO is opened once: its reader gets everything.
  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
  run = shell("cat fifo > read.rib & " + cat + " good.rib -o fifo; status=$?; wait; exit $status");
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(slurp(path("read.rib")), goodOut);

  // Closed standard descriptors: the tools say that they cannot read or write, status 2; a
  // problem list that cannot be written is said too.
  spill(path("bad.rib"), "Sphere 1 -1 1 \"x\"\n");
  spill(path("noted.rib"), "Surface \"s\" \"Km\" -1.0\n");
  const Same closed[] = {
      {cat + " good.rib >&-",
       "good.rib:3: cannot write the RIB to standard output: Bad file descriptor"},
      {cat + " - <&- > /dev/null", "rib-cat: cannot read '-': Bad file descriptor"},
      {check + " - <&-", "rib-check: cannot read '-': Bad file descriptor"},
      {check + " bad.rib > /dev/full",
       "rib-check: cannot write the problems to standard output: No space left on device"},
      {check + " noted.rib > /dev/full", // notes only
       "rib-check: cannot write the problems to standard output: No space left on device"},
  };
  for (const Same &c : closed) {
    run = shell(c.line);
    EXPECT_EQ(run.exitStatus, 2) << c.line;
    EXPECT_EQ(firstLine(run.err), c.said);
  }

  // A read that fails midway (standard input closed, after good.rib) leaves OUT as it was.
  spill(path("out.rib"), "old");
  run = shell(cat + " good.rib - -o out.rib <&-");
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, "rib-cat: cannot read '-': Bad file descriptor\n");
  EXPECT_EQ(slurp(path("out.rib")), "old");

  // Each input declares for itself: a name that one input declares anew is put back for the
  // next, also in the one stream rib-cat writes.
  spill(path("a.rib"), "Declare \"Kd\" \"uniform color\"\nSurface \"plastic\" \"Kd\" [1 0 0]\n");
  spill(path("b.rib"), "Surface \"plastic\" \"Kd\" 0.5\n");
  run = shell(cat + " a.rib b.rib > both.rib");
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(slurp(path("both.rib")), "##RenderMan RIB-Structure 1.0\nversion 3.03\n"
                                     "Declare \"Kd\" \"uniform color\"\n"
                                     "Surface \"plastic\" \"Kd\" [1 0 0]\n"
                                     "Declare \"Kd\" \"uniform float\"\n"
                                     "Surface \"plastic\" \"Kd\" [0.5]\n\n");
  EXPECT_EQ(shell(check + " a.rib b.rib both.rib").exitStatus, 0);

  // An undeclared parameter keeps the type its values had, through rib-cat and back again.
  run = shell(cat + " noted.rib > once.rib && " + cat + " once.rib > twice.rib");
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const std::string typed = "##RenderMan RIB-Structure 1.0\nversion 3.03\n"
                            "Surface \"s\" \"constant float Km\" [-1]\n\n";
  EXPECT_EQ(slurp(path("once.rib")), typed);
  EXPECT_EQ(slurp(path("twice.rib")), typed);

  // A Declare at fault is one problem and is left out.
  spill(path("declares.rib"), "Declare \"Kr\" \"float[99999999999]\"\nDeclare \"Cs\" \"bogus\"\n"
                              "Declare \"Kq\" \"float\"\n");
  run = shell(cat + " declares.rib > declared.rib");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err, "declares.rib:1: Declare: \"float[99999999999]\" has an array size out of "
                     "range\ndeclares.rib:2: Declare: \"bogus\" names no type\n");
  EXPECT_EQ(slurp(path("declared.rib")),
            "##RenderMan RIB-Structure 1.0\nversion 3.03\nDeclare \"Kq\" \"float\"\n\n");
}

const char kBinaryIntegers[] = "Format \x81\x01\x40 \x80\xC8 1\nPointsPolygons [3] [0 1 2] "
                               "\"P\" [0 0 0 1 0 0 0 1 0] \"uniform integer id\" "
                               "\x83\xFF\xFF\xFF\xFF\n";

TEST_F(RibTools, ReadWhatOthersWriteAndKeepWhatTheyMeant) {
  // Small files as other programs write them. rib-check accepts each, with the notes shown
  // (problems under --strict); rib-cat writes it as shown; that output goes to binary and back
  // byte for byte.
  struct Accepted {
    const char *name;
    std::string rib;
    std::string notes;   // rib-check's output
    std::string written; // rib-cat's, between the header and the final line end
  };
  const Accepted cases[] = {
      {"bracketed.rib",
       "DetailRange [0 0 20 30]\nScreenWindow [-1 1 -0.75 0.75]\nCropWindow [0 1 0 1]\n"
       "Skew [45 0 1 0 1 0 0]\nSphere [1 -1 1 360]\nTorus [1 0.25 0 360 360] \"Kd\" [0.5]\n",
       "",
       "DetailRange 0 0 20 30\nScreenWindow -1 1 -0.75 0.75\nCropWindow 0 1 0 1\n"
       "Skew 45   0 1 0   1 0 0\nSphere 1 -1 1 360\nTorus 1 0.25 0 360 360 \"Kd\" [0.5]\n"},
      {"blobby.rib", "Blobby 1 [1001 0] [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] [\"\"]\n", "",
       "Blobby 1 [1001 0 ] [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] [\"\" ]\n"},
      {"texture.rib",
       "MakeTexture \"a.tif\" \"a.tex\" \"periodic\" \"clamp\" \"gaussian\" 2 2 "
       "\"string compression\" \"packbits\"\nMakeShadow \"d.z\" \"s.tex\" \"float bias\" [0.1]\n",
       "",
       "MakeTexture \"a.tif\" \"a.tex\" \"periodic\" \"clamp\" \"gaussian\" 2 2 "
       "\"string compression\" [\"packbits\"]\nMakeShadow \"d.z\" \"s.tex\" \"float bias\" "
       "[0.1]\n"},
      // "\r" and "\t" stay escapes, an unknown escape keeps its backslash, octal stays octal.
      {"strings.rib",
       "ReadArchive \"d:\\rib\\lakerefl.env\"\nSurface \"s\" \"string map\" "
       "\"a\\tb\\001c\\\\\"\n",
       "",
       "ReadArchive \"d:\\rib\\\\lakerefl.env\"\nSurface \"s\" \"string map\" "
       "[\"a\\tb\\001c\\\\\"]\n"},
      // The short binary integers are unsigned (320, 200), the four-byte one signed (-1).
      {"binary.rib", std::string(kBinaryIntegers, sizeof kBinaryIntegers - 1), "",
       "Format 320 200 1\nPointsPolygons[3 ] [0 1 2 ]  \"P\" [0 0 0 1 0 0 0 1 0] "
       "\"uniform integer id\" [-1 ]\n"},
      {"glued.rib",
       "Translate 0 0 5Sphere 1 -1 1 360\nOption \"rib\" \"string format\" [\"ascii\"]\n",
       "glued.rib:1: note: no blank between a number and the name after it\n",
       "Translate 0 0 5 \nSphere 1 -1 1 360\nOption \"rib\" \"string format\" [\"ascii\"]\n"},
      // What renderers' own files hold: a handler of their own, a number in brackets.
      {"others.rib",
       "ErrorHandler \"printonce\"\nGeometricApproximation \"flatness\" [0.5]\n"
       "PixelSamples [2] 2\n",
       "others.rib:1: note: ErrorHandler: handler \"printonce\" is not a standard one; passed on "
       "as read\n"
       "others.rib:2: note: GeometricApproximation: a single number in brackets is read as the "
       "number\n"
       "others.rib:3: note: PixelSamples: a single number in brackets is read as the number\n",
       "ErrorHandler \"printonce\"\nGeometricApproximation \"flatness\" 0.5\nPixelSamples 2 2\n"},
      {"undeclared.rib",
       "Hider \"hidden\" \"depthfilter\" \"midpoint\"\n"
       "Surface \"paint\" \"mapname\" \"wood.tx\" \"roughness2\" [0.25 0.5] \"count\" 3\n"
       "Surface \"paint\" \"mapname\" \"oak.tx\"\n",
       "undeclared.rib:1: note: Hider: parameter \"depthfilter\" is not declared; its values are "
       "kept as given\n"
       "undeclared.rib:2: note: Surface: parameter \"mapname\" is not declared; its values are "
       "kept as given\n"
       "undeclared.rib:2: note: Surface: parameter \"roughness2\" is not declared; its values "
       "are "
       "kept as given\n"
       "undeclared.rib:2: note: Surface: parameter \"count\" is not declared; its values are "
       "kept as given\n",
       "Hider \"hidden\" \"constant string depthfilter\" [\"midpoint\"]\n"
       "Surface \"paint\" \"constant string mapname\" [\"wood.tx\"] "
       "\"constant float[2] roughness2\" [0.25 0.5] \"constant integer count\" [3 ]\n"
       "Surface \"paint\" \"constant string mapname\" [\"oak.tx\"]\n"},
      {"facevarying.rib",
       "PointsPolygons [3 3] [0 1 2 2 1 3] \"P\" [0 0 0 1 0 0 0 1 0 1 1 0] "
       "\"facevarying float s\" [0 1 0 0 1 1]\n",
       "",
       "PointsPolygons[3 3 ] [0 1 2 2 1 3 ]  \"P\" [0 0 0 1 0 0 0 1 0 1 1 0] "
       "\"facevarying float s\" [0 1 0 0 1 1]\n"},
      // Named lights and objects keep what names them apart; the writer numbers its handles.
      {"handles.rib",
       "LightSource \"spotlight\" \"key\"\nIlluminate \"key\" 0\nObjectBegin \"thing\"\n"
       "Sphere 1 -1 1 360\nObjectEnd\nObjectInstance \"thing\"\n",
       "",
       "LightSource \"spotlight\" 1\nIlluminate 1 0\nObjectBegin 1\nSphere 1 -1 1 360\n"
       "ObjectEnd\nObjectInstance 1\n"},
      {"unknown.rib",
       "Bxdf \"PxrDiffuse\" \"d\" \"float diffuseGain\" [0.8] \"string note\" \"a\\tb\"\n"
       "Bxdf \"PxrConstant\" \"c\"\nPattern \"PxrTexture\" \"t\" \"float[2] st\" [0.1 1e-07]\n",
       "unknown.rib:1: note: unknown request \"Bxdf\" is passed on as read\n"
       "unknown.rib:3: note: unknown request \"Pattern\" is passed on as read\n",
       "Bxdf \"PxrDiffuse\" \"d\" \"float diffuseGain\" [0.8] \"string note\" \"a\\tb\"\n"
       "Bxdf \"PxrConstant\" \"c\"\nPattern \"PxrTexture\" \"t\" \"float[2] st\" [0.1 1e-07]\n"},
      // Requests of the later interface and its filters, by the request table; blocks nest.
      {"later.rib",
       "ArchiveBegin \"a\"\nSphere 1 -1 1 360\nArchiveEnd\nIfBegin \"$pass == 'beauty'\"\n"
       "ElseIf \"$pass == 'shadow'\"\nElse\nIfEnd\nResourceBegin\nResource \"r\" \"attributes\" "
       "\"string operation\" \"save\"\nResourceEnd\nClippingPlane 0 0 1 0 0 -1\n"
       "Deformation \"twist\" \"float angle\" 30\nMakeBump \"b.tif\" \"b.tex\" \"periodic\" "
       "\"clamp\" \"mitchell\" 2 2\nMakeOcclusion [\"a.z\" \"b.z\"] \"o.sm\" \"float bias\" 0.1\n"
       "ShaderLayer \"surface\" \"texmap\" \"l1\"\n"
       "ConnectShaderLayers \"surface\" \"l1\" \"Cout\" \"l2\" \"Cs\"\n"
       "PixelFilter \"bessel\" 2 2\nPixelFilter \"disk\" 1 1\n",
       "",
       "ArchiveBegin \"a\"\nSphere 1 -1 1 360\nArchiveEnd\nIfBegin \"$pass == 'beauty'\"\n"
       "ElseIf \"$pass == 'shadow'\"\nElse\nIfEnd\nResourceBegin\nResource \"r\" \"attributes\" "
       "\"string operation\" [\"save\"]\nResourceEnd\nClippingPlane 0 0 1 0 0 -1\n"
       "Deformation \"twist\" \"float angle\" [30]\nMakeBump \"b.tif\" \"b.tex\" \"periodic\" "
       "\"clamp\" \"mitchell\" 2 2\nMakeOcclusion [\"a.z\" \"b.z\" ] \"o.sm\" \"float bias\" "
       "[0.1]\n"
       "ShaderLayer \"surface\" \"texmap\" \"l1\"\n"
       "ConnectShaderLayers \"surface\" \"l1\" \"Cout\" \"l2\" \"Cs\"\n"
       "PixelFilter \"bessel\" 2 2\nPixelFilter \"disk\" 1 1\n"},
  };
  const std::string header = "##RenderMan RIB-Structure 1.0\nversion 3.03\n";
  for (const Accepted &accepted : cases) {
    SCOPED_TRACE(accepted.name);
    spill(path(accepted.name), accepted.rib);
    const ToolRun checked = check({accepted.name});
    EXPECT_EQ(checked.exitStatus, 0);
    EXPECT_EQ(checked.out, accepted.notes);
    EXPECT_EQ(check({"--strict", accepted.name}).exitStatus, accepted.notes.empty() ? 0 : 1);
    const ToolRun ascii = cat({"-o", "ascii.rib", accepted.name});
    EXPECT_EQ(ascii.exitStatus, 0);
    EXPECT_EQ(ascii.err, "");
    EXPECT_EQ(slurp(path("ascii.rib")), header + accepted.written + "\n");
    EXPECT_EQ(cat({"--binary", "-o", "binary.rib", "ascii.rib"}).exitStatus, 0);
    EXPECT_EQ(cat({"-o", "again.rib", "binary.rib"}).exitStatus, 0);
    EXPECT_EQ(slurp(path("again.rib")), slurp(path("ascii.rib")));
  }

  // What stays wrong is reported once, naming what is wrong.
  spill(path("wrong.rib"), "Blobby 1 [1001 0] [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0] [\"\"]\n"
                           "Declare \" Kx\" \"uniform float\"\n"
                           "LightSource \"spotlight\" 1 \"intensity\" \"bright\"\n"
                           "Illuminate 1 0\nIlluminate 1 1\nIfBegin \"a\"\nArchiveEnd\n");
  const ToolRun wrong = check({"wrong.rib"});
  EXPECT_EQ(wrong.exitStatus, 1);
  EXPECT_EQ(
      wrong.out,
      "wrong.rib:1: Blobby: 1 leaves, 15 floats and 1 strings where the code has 1, 16 and 0\n"
      "wrong.rib:2: Declare: the name \" Kx\" is not one word\n"
      "wrong.rib:3: LightSource: parameter \"intensity\" is declared uniform float, its value "
      "is a string\n"
      "wrong.rib:7: ArchiveEnd without ArchiveBegin\n"
      "wrong.rib:6: IfBegin is never ended\n");
}

} // namespace
