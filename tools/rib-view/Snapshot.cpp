#include "Snapshot.h"

#include <cstdio>

#include "OffscreenSurface.h"
#include "PictureDraw.h"
#include "PictureSource.h"
#include "PngFile.h"

namespace ribview {
namespace {

int fail(const std::string &problem) {
  std::fprintf(stderr, "rib-view: %s\n", problem.c_str());
  return 2;
}

} // namespace

std::string noSuchPicture(int wanted, int pictures) {
  return "there is no picture " + std::to_string(wanted) + ": the input has " +
         std::to_string(pictures) + (pictures == 1 ? " picture" : " pictures");
}

int runSnapshot(const ViewArguments &arguments) {
  // An output that cannot be made is known before a long input is read.
  if (std::string problem = unwritable(arguments.outputs.fileName(arguments.firstPicture()));
      !problem.empty())
    return fail(problem);

  const bool every = arguments.outputs.perFrame() && arguments.frame == 0;
  OffscreenSurface surface;
  std::string failure;
  int pictures = 0, written = 0;
  view::ViewOptions options;
  options.width = arguments.width;
  options.height = arguments.height;
  const ReadOutcome read = readPictures(
      arguments.inputs, options, [&](view::Picture &&picture, size_t) {
        ++pictures;
        if (!failure.empty() || (!every && picture.number != arguments.firstPicture())) return;
        failure = surface.prepare(picture.width, picture.height);
        if (!failure.empty()) return;
        drawPicture(picture, {arguments.lines, picture.width, picture.height});
        const int fileNumber = picture.hasFrameNumber ? picture.frameNumber : picture.number;
        failure = writePng(arguments.outputs.fileName(fileNumber), picture.width, picture.height,
                           surface.read());
        if (failure.empty()) ++written;
      });
  if (!read.unreadable.empty()) return fail(read.unreadable);
  if (!failure.empty()) return fail(failure);
  if (written == 0) {
    if (pictures == 0) return fail("the input has no picture (no WorldEnd)");
    return fail(noSuchPicture(arguments.firstPicture(), pictures));
  }
  return read.problems == 0 ? 0 : 1;
}

} // namespace ribview
