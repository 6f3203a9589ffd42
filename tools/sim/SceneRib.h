// The demo's scene as RIB: what the window shows after a step, written as one RIB frame.
//
// The camera matches the window's fixed view: an orthographic projection of -5..5 on every axis,
// 300 x 300 pixels. OpenGL's eye space is right-handed and looks down -z, RenderMan's camera space
// is left-handed and looks down +z, so the world is mirrored in z and moved 10 units away; the
// clipping planes 5 and 15 are then the window's near and far planes (z = 5 and z = -5).
// The spheres are drawn untransformed, the bounds, reference lines and springs turned by
// 15 degrees about (1, 1, 0), in the window's colours, with constant (unlit) surfaces (all from
// render/SceneLook.h). The walls, floor and reference lines are cut to the view volume before they
// are written (tools/sim/ViewClip.h): renderers do not clip them as the window does.
#pragma once

class RiContext;
class World;

namespace simtool {

/// Sets the RIB library's options for every context made later as the scene's recordings want
/// them: 9 significant digits, so that every float survives the text (and the encodings).
void setSceneRibPrecision();

/// Writes frame `frame` (FrameBegin ... FrameEnd) showing `world`; the image is named
/// wobblerama.NNNN.tif after the frame number.
void writeSceneFrame(RiContext &rib, World &world, int frame);

} // namespace simtool
