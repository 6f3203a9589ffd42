// PageProbe: what the page tells the outside about its run, so that a test (or a curious reader
// in the browser's console) can hold it against the native simulator: how many frames (steps)
// have been shown, which kicks were given after how many steps, and the state now, in the
// simulator's CSV lines. From JavaScript: Module.ccall('webState', 'string').
#pragma once

#include <cstdint>

// The page's display: the demo's display, counted (and recorded when a recording runs).
void countedDisplay();

// Starts the run again: a fresh world (printing its start-up lines), no frames, no kicks.
void restartRun();

// The page's mouse callback: the demo's, with each kick noted against the steps taken so far,
// as `wobblerama-sim --push S:MODE` would give it.
void notedMouse(int button, int state, int x, int y);

extern "C" {
// Frames shown so far; each is one simulation step.
std::uint32_t webFramesShown();
// The kicks given so far, as "S:MODE" separated by spaces (empty: none).
const char *webKicks();
// The state after the frames shown, one line per mass point as the simulator prints it
// (step,i,j,k,x,y,z,vx,vy,vz).
const char *webState();
}
