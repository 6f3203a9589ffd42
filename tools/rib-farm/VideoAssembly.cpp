#include "tools/rib-farm/VideoAssembly.h"

#include <cstdio>
#include <filesystem>

namespace farm {

namespace fs = std::filesystem;

namespace {

// Odd sizes cannot be subsampled to yuv420p: such pictures get one black row or column more.
const char *kEncode = "-vf 'pad=ceil(iw/2)*2:ceil(ih/2)*2' -c:v libx264 -pix_fmt yuv420p "
                      "-movflags +faststart -f mp4";

} // namespace

std::string videoScriptPath(const RunFolder &run) { return run.path + "/video.sh"; }

std::string hiddenVideoPath(const RunFolder &run, const std::string &video) {
  const fs::path path(video);
  return (path.parent_path() / ("." + path.filename().string() + "." + run.token + ".mp4"))
      .string();
}

std::string prepareVideo(const RunFolder &run, const std::vector<Frame> &frames,
                         const std::string &video, const std::string &fps) {
  std::error_code error;
  const fs::path links = fs::path(run.path) / "video";
  fs::create_directory(links, error);
  if (error) return "cannot make '" + links.string() + "': " + error.message();
  for (std::size_t i = 0; i < frames.size(); ++i) {
    char number[32];
    std::snprintf(number, sizeof number, "%06zu.png", i);
    fs::create_symlink(fs::absolute(frames[i].picture, error), links / number, error);
    if (error) return "cannot make a link in '" + links.string() + "': " + error.message();
  }
  const std::string hidden = shellQuote(hiddenVideoPath(run, video));
  std::string script =
      "#!/bin/sh\n"
      "# rib-farm: joins the pictures into the video once every frame has rendered.\n";
  script += "cd " + shellQuote(run.cwd) + " || exit 1\n";
  script += "run=" + shellQuote(run.path) + "\n";
  script += "finish() { echo \"$1\" >\"$run/video.status.part\" && "
            "mv -f \"$run/video.status.part\" \"$run/video.status\"; }\n";
  script += "rendered=$(cat \"$run\"/[0-9]*.status 2>/dev/null | grep -c '^0$')\n";
  script += "if [ \"$rendered\" -ne " + std::to_string(frames.size()) +
            " ]; then finish skipped; exit 0; fi\n";
  script += "ffmpeg -nostdin -y -loglevel error -framerate " + shellQuote(fps) +
            " -i \"$run/video/%06d.png\" " + kEncode + " " + hidden + " 2>\"$run/video.err\"\n";
  script += "status=$?\n";
  script += "if [ \"$status\" = 0 ]; then mv -f " + hidden + " " + shellQuote(video) +
            " || status=rename; fi\n";
  script += "[ \"$status\" = 0 ] || rm -f " + hidden + "\n";
  script += "finish \"$status\"\n";
  script += "[ \"$status\" = 0 ]\n";
  return writeTextFile(videoScriptPath(run), script);
}

std::string readVideoOutcome(const RunFolder &run, bool &finished) {
  const std::string result = readResult(run.path + "/video.status", finished);
  if (!finished || result == "0") return "";
  if (result == "skipped") return "not made, as not every frame rendered";
  const std::string line = firstLineOf(run.path + "/video.err");
  const std::string said = line.empty() ? "" : ": " + line;
  if (result == "rename") return "could not be given its name" + said;
  return "ffmpeg exit status " + result + (line.empty() ? " (no error output)" : said);
}

} // namespace farm
