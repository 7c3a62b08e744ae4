#pragma once

#include <cairo.h>

namespace pictog {

// DejaVu Sans (bold or regular) loaded through FreeType from its fixed file, so that labels come
// out the same on every machine whatever fontconfig would pick. Loaded once, kept for the run;
// nullptr when the font file cannot be read (the renderer then leaves text out).
cairo_font_face_t* diagramFontFace(bool bold);

// A scaled font of the face at the size (em in output units) with unhinted outlines and metrics,
// so that the PNG shows the same letter shapes at the same places as the SVG and PDF; the caller
// destroys it. nullptr without the face.
cairo_scaled_font_t* diagramScaledFont(bool bold, double size);

// For tests: the files to load instead of the fixed ones; only before the first use of a face.
void useDiagramFontFiles(const char* regular, const char* bold);

// The first font file that could not be loaded, or nullptr when both faces are there.
const char* missingDiagramFontFile();

// The files the faces come from (Debian package fonts-dejavu-core).
constexpr const char* DiagramFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* DiagramBoldFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

} // namespace pictog
