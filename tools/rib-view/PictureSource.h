// PictureSource.h - the pictures of rib-view's inputs: every input read in order as one stream
// (as rib-cat reads them) into one view::ViewContext, whose finished pictures are handed on as
// they end. Problems of the input go to standard error as rib-check prints them, one line each.
//
//     ReadOutcome read = readPictures(inputs, {}, [&](view::Picture &&picture, size_t input) {
//       show(picture, inputs[input]);
//     });
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "view/Picture.h"
#include "view/ViewContext.h"

namespace ribview {

struct ReadOutcome {
  int problems = 0;        // problems found in the inputs read
  std::string unreadable;  // "cannot read 'NAME': reason" when an input could not be read
};

/// Called with each picture as its WorldEnd is read, and the index of the input it ended in.
using PictureSink = std::function<void(view::Picture &&, size_t input)>;

/// Reads `inputs` ("-": standard input) and passes on their pictures. Stops at the first input
/// that cannot be read.
ReadOutcome readPictures(const std::vector<std::string> &inputs, const view::ViewOptions &options,
                         const PictureSink &sink);

} // namespace ribview
