// wobblerama-sim: the demo's world without a window, for scripted runs and measurements.
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "tools/sim/SimOptions.h"
#include "tools/sim/SimRun.h"
#include "sim/World.h"

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

    World world;
    TerminalProgress terminal;
    simtool::ProgressSink *progress = isatty(STDERR_FILENO) ? &terminal : nullptr;
    if (!simtool::runSimulation(world, parsed.options, stdout, progress)) {
        std::fprintf(stderr, "wobblerama-sim: could not write the state to standard output\n");
        return 1;
    }
    return 0;
}
