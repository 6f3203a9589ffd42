// PageRecording: the page's recording of what it shows as RIB, the simulator's own frames. Record
// starts the block again from its first state; from then on one frame is written every K steps
// (and the last state at Stop, as wobblerama-sim writes its final state), in plain RIB, into a
// file in the page's memory. The browser compresses it for the download. The bytes are exactly
// those of `wobblerama-sim --steps N --every K --push S:MODE... --rib wobblerama.rib` for the
// steps shown and the kicks given meanwhile (the probe's, PageProbe.h, which restarts with it).
//
// From JavaScript: Module.ccall('webRecordStart', 'number', ['number'], [5]), then
// webRecordStop(), webRecordingData()/webRecordingSize() and webRecordCommand().
#pragma once

#include <cstdint>

class World;

// Hears every step the page shows; writes a frame when one is due.
void recordShownStep(World &world, std::uint64_t stepsTaken);

extern "C" {
// Starts the run again from the world's first state and records one frame every `every` steps
// (at least 1). Returns 0, or 1 when the recording cannot start.
int webRecordStart(int every);
// True while recording.
int webRecording();
// Ends the recording: the last state as the final frame, unless it is written already. Returns
// the number of frames, or -1 when the RIB could not be written (the library said why).
int webRecordStop();
// The last recording's plain RIB and its length in bytes.
const char *webRecordingData();
std::uint32_t webRecordingSize();
// The command line that writes the same bytes: wobblerama-sim --steps N --every K ... --rib FILE.
const char *webRecordCommand();
}
