// The video: once every frame has rendered, ffmpeg joins the pictures in the order of the FILE
// arguments into H.264 in yuv420p, the form common players show, in an MP4 file that starts
// playing before it has loaded. It reads the pictures through numbered links in the run folder
// (video/000000.png, ...), so that any picture names keep the order given. Like the frames, the
// video is written under a hidden name beside OUT and takes OUT's name only when complete.
//
//   video.sh           joins the video when every frame's result is 0; exit status 0 when it
//                      did so or had nothing to do
//   video.status       0, ffmpeg's exit status, "skipped" (a frame failed) or "rename"
//   video.err          ffmpeg's error output
#pragma once

#include <string>
#include <vector>

#include "tools/rib-farm/FramePlan.h"
#include "tools/rib-farm/RunFolder.h"

namespace farm {

// Writes video.sh and the numbered links for joining `frames` into `video` at `fps` frames per
// second. Returns the problem, or empty.
std::string prepareVideo(const RunFolder &run, const std::vector<Frame> &frames,
                         const std::string &video, const std::string &fps);

std::string videoScriptPath(const RunFolder &run);

// The hidden name `video` is written under: ".NAME.TOKEN.mp4" in its folder.
std::string hiddenVideoPath(const RunFolder &run, const std::string &video);

// How the video ended: empty when it was made, else the problem ("not made: ...", "ffmpeg exit
// status 1: ..."). `finished` is false when video.sh left no result.
std::string readVideoOutcome(const RunFolder &run, bool &finished);

} // namespace farm
