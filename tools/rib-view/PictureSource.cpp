#include "PictureSource.h"

#include <unistd.h>

#include "rib/RibRead.h"
#include "tools/common/ProblemPrinter.h"

namespace ribview {

ReadOutcome readPictures(const std::vector<std::string> &inputs, const view::ViewOptions &options,
                         const PictureSink &sink) {
  ReadOutcome outcome;
  size_t input = 0;
  view::ViewContext scene(options, [&](view::Picture &&picture) { sink(std::move(picture), input); });
  ribtools::ProblemPrinter problems(STDERR_FILENO, "rib-view");
  rib::RibReadSession session(scene);
  problems.follow(session);
  for (input = 0; input < inputs.size(); ++input) {
    scene.setInputName(inputs[input]);
    problems.startInput(inputs[input]);
    const int found = session.read(inputs[input].c_str());
    problems.endProgress();
    if (found < 0) {
      outcome.unreadable = problems.unreadableMessage();
      break;
    }
    outcome.problems += found;
  }
  return outcome;
}

} // namespace ribview
