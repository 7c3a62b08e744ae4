#pragma once

#include "diagram_scene.h"

#include <string>

namespace pictog {

// How the SVG states its size: pixels, or millimetres for a physical size (scale = millimetres
// per drawing unit).
struct SvgUnits {
    bool millimetres = false;
    double scale = 1.0;
};

// The scene as a self-contained SVG document: the pieces and the letters of the labels as
// outlines defined once and placed with <use>, no external reference, the position line as
// <title> and <desc>. It paints what the cairo painter paints, shape for shape.
std::string writeSceneSvg(const Scene& scene, const std::string& line, const SvgUnits& units);

} // namespace pictog
