// Teapot.h - Geometry "teapot": the classic teapot's bicubic Bezier patches (body, handle, spout,
// lid), standing on the xy plane with +z up, as renderers place it.
#pragma once

#include "Mesh.h"
#include "ViewSpace.h"

namespace view {

/// Adds the teapot's surface to `mesh`.
void tessellateTeapot(const ViewSpace &view, Mesh &mesh);

} // namespace view
