#include "Snapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

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

// The inputs that are files, by identity: a picture renamed over one would destroy it.
class InputFiles {
public:
  explicit InputFiles(const std::vector<std::string> &inputs) {
    for (const std::string &input : inputs) {
      struct stat info;
      const int status = input == "-" ? fstat(STDIN_FILENO, &info) : stat(input.c_str(), &info);
      if (status == 0 && S_ISREG(info.st_mode)) files_.push_back(info);
    }
  }
  /// "" or the line saying that `output` is one of the inputs.
  std::string sameAs(const std::string &output) const {
    struct stat info;
    if (stat(output.c_str(), &info) != 0) return "";
    for (const struct stat &file : files_)
      if (file.st_dev == info.st_dev && file.st_ino == info.st_ino)
        return "output '" + output + "' is also an input";
    return "";
  }

private:
  std::vector<struct stat> files_;
};

} // namespace

std::string noSuchPicture(int wanted, int pictures) {
  return "there is no picture " + std::to_string(wanted) + ": the input has " +
         std::to_string(pictures) + (pictures == 1 ? " picture" : " pictures");
}

int runSnapshot(const ViewArguments &arguments) {
  // An output that cannot be made is known before a long input is read.
  const InputFiles inputs(arguments.inputs);
  if (std::string problem = inputs.sameAs(arguments.outputs.fileName(arguments.firstPicture()));
      !problem.empty()) {
    std::fprintf(stderr, "rib-view: %s\n%s\n", problem.c_str(), viewUsage());
    return 2;
  }
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
        const int fileNumber = picture.hasFrameNumber ? picture.frameNumber : picture.number;
        const std::string output = arguments.outputs.fileName(fileNumber);
        failure = inputs.sameAs(output);
        if (failure.empty()) failure = surface.prepare(picture.width, picture.height);
        if (!failure.empty()) return;
        drawPicture(picture, {arguments.lines, picture.width, picture.height});
        failure = writePng(output, picture.width, picture.height, surface.read());
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
