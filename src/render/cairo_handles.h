#pragma once

// Owners of cairo objects: each releases its object however the scope is left, so a throwing
// encoder or an early return never leaks a surface.

#include <cairo.h>

#include <memory>

namespace pictog {

struct CairoSurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoContextRelease {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
struct CairoScaledFontRelease {
    void operator()(cairo_scaled_font_t* font) const { cairo_scaled_font_destroy(font); }
};

using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceRelease>;
using CairoContext = std::unique_ptr<cairo_t, CairoContextRelease>;
using CairoScaledFont = std::unique_ptr<cairo_scaled_font_t, CairoScaledFontRelease>;

} // namespace pictog
