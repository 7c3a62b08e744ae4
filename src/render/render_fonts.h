#pragma once

#include <cairo.h>

namespace pictog {

// DejaVu Sans (bold or regular) loaded through FreeType from its fixed file, so that labels come
// out the same on every machine whatever fontconfig would pick. Loaded once, kept for the run;
// nullptr when the font file cannot be read (the renderer then leaves text out).
cairo_font_face_t* diagramFontFace(bool bold);

// The files the faces come from.
constexpr const char* DiagramFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* DiagramBoldFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

} // namespace pictog
