// wobblerama-sim: the demo's world without a window, for scripted runs and measurements.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "tools/sim/SimOptions.h"
#include "tools/sim/SimRun.h"
#include "rib/RiContext.h"
#include "sim/World.h"
#include "tools/sim/SceneRib.h"

namespace {

// A self-overwriting "step N of M" line on standard error, at most a few times per second.
class TerminalProgress : public simtool::ProgressSink {
public:
    void update(std::uint64_t stepsTaken, std::uint64_t totalSteps) override
    {
        const auto now = std::chrono::steady_clock::now();
        if (shown_ && now - lastShown_ < std::chrono::milliseconds(250))
            return;
        lastShown_ = now;
        show(stepsTaken, totalSteps);
    }

    // Runs too short to have shown anything leave the terminal alone.
    void finish(std::uint64_t totalSteps) override
    {
        if (!shown_)
            return;
        show(totalSteps, totalSteps);
        std::fputc('\n', stderr);
    }

private:
    void show(std::uint64_t stepsTaken, std::uint64_t totalSteps)
    {
        shown_ = true;
        std::fprintf(stderr, "\rwobblerama-sim: step %llu of %llu",
                     static_cast<unsigned long long>(stepsTaken),
                     static_cast<unsigned long long>(totalSteps));
        std::fflush(stderr);
    }

    bool shown_ = false;
    std::chrono::steady_clock::time_point lastShown_;
};

// Records every printed state as one RIB frame, numbered from 1.
class RibFrames : public simtool::StateSink {
public:
    explicit RibFrames(RiContext *rib) : rib_(rib) {}
    void state(World &world, std::uint64_t) override
    {
        simtool::writeSceneFrame(*rib_, world, ++frame_);
    }

private:
    RiContext *rib_;
    int frame_ = 0;
};

// Opens the RIB output: 9 significant digits so that every float survives the text, binary
// encoding when asked. "-" is standard output.
RiContext *beginRib(const simtool::SimOptions &options)
{
    static char rib[] = "rib", format[] = "format", binary[] = "binary", precision[] = "precision";
    char *binaryText = binary;
    RtInt digits = 9;
    RiOption(rib, precision, &digits, RI_NULL);
    if (options.ribBinary)
        RiOption(rib, format, &binaryText, RI_NULL);
    std::string target = options.ribTarget;
    RiBegin(target == "-" ? nullptr : &target[0]);
    return RiCurrentContext;
}

// Why the RIB file named by --rib cannot be created, or empty. Checked before the world is built:
// an unwritable file is a bad argument, said in one line naming it, with nothing on standard
// output (the library would only end the process later, after the world's progress lines).
// Standard output and renderer pipes are not files and are not checked here.
std::string ribFileProblem(const std::string &target)
{
    if (target.empty() || target == "-" || target[0] == '|' || target == "rendrib" ||
        target == "rgl" || target == "prman")
        return "";
    FILE *file = std::fopen(target.c_str(), "wb");
    if (file == nullptr)
        return "cannot create the RIB file '" + target + "': " + std::strerror(errno);
    std::fclose(file);
    return "";
}

}  // namespace

int main(int argc, char **argv)
{
    const simtool::ParseResult parsed = simtool::parseSimOptions(argc, argv);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "wobblerama-sim: %s\n%s\n", parsed.error.c_str(), simtool::simUsage());
        return 2;
    }
    if (parsed.options.help) {
        std::printf("%s\n", simtool::simUsage());
        return 0;
    }
    const std::string ribProblem = ribFileProblem(parsed.options.ribTarget);
    if (!ribProblem.empty()) {
        std::fprintf(stderr, "wobblerama-sim: %s\n%s\n", ribProblem.c_str(), simtool::simUsage());
        return 2;
    }

    // With the RIB on standard output, the console carries nothing else: the world's progress
    // lines go to standard error and no CSV is written.
    const bool ribOnStdout = parsed.options.ribTarget == "-";
    std::streambuf *console = std::cout.rdbuf();
    if (ribOnStdout)
        std::cout.rdbuf(std::cerr.rdbuf());
    World world;
    std::cout.rdbuf(console);

    RiContext *rib = parsed.options.ribTarget.empty() ? nullptr : beginRib(parsed.options);
    RibFrames frames(rib);
    TerminalProgress terminal;
    simtool::ProgressSink *progress = isatty(STDERR_FILENO) ? &terminal : nullptr;
    const bool written = simtool::runSimulation(world, parsed.options, ribOnStdout ? nullptr : stdout,
                                                progress, rib ? &frames : nullptr);
    if (rib)
        RiEnd();
    if (!written) {
        std::fprintf(stderr, "wobblerama-sim: could not write the state to standard output\n");
        return 1;
    }
    return 0;
}
