#include "render_fonts.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace pictog {

namespace {

    const char* fontFiles[2] = { DiagramFontFile, DiagramBoldFontFile };

    struct LoadedFaces {
        const char* files[2] = { fontFiles[0], fontFiles[1] };
        FT_Library library = nullptr;
        FT_Face faces[2] = { nullptr, nullptr };
        cairo_font_face_t* cairoFaces[2] = { nullptr, nullptr };

        LoadedFaces()
        {
            if (FT_Init_FreeType(&library) != 0) {
                library = nullptr;
                return;
            }
            for (int i = 0; i < 2; ++i) {
                if (FT_New_Face(library, files[i], 0, &faces[i]) != 0) {
                    faces[i] = nullptr;
                    continue;
                }
                cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(faces[i], 0);
                if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
                    cairo_font_face_destroy(face);
                    continue;
                }
                cairoFaces[i] = face;
            }
        }
        // Kept to the end of the run: cairo may still hold scaled fonts of the faces in its
        // caches, so neither the FreeType faces nor the library are ever released.
    };

    const LoadedFaces& loadedFaces()
    {
        static const LoadedFaces* faces = new LoadedFaces();
        return *faces;
    }

} // namespace

void useDiagramFontFiles(const char* regular, const char* bold)
{
    fontFiles[0] = regular;
    fontFiles[1] = bold;
}

const char* missingDiagramFontFile()
{
    const LoadedFaces& faces = loadedFaces();
    for (int i = 0; i < 2; ++i)
        if (!faces.cairoFaces[i])
            return faces.files[i];
    return nullptr;
}

cairo_font_face_t* diagramFontFace(bool bold)
{
    return loadedFaces().cairoFaces[bold ? 1 : 0];
}

cairo_scaled_font_t* diagramScaledFont(bool bold, double size)
{
    cairo_font_face_t* face = diagramFontFace(bold);
    if (!face)
        return nullptr;
    cairo_matrix_t fontMatrix;
    cairo_matrix_init_scale(&fontMatrix, size, size);
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_scaled_font_t* font = cairo_scaled_font_create(face, &fontMatrix, &identity, options);
    cairo_font_options_destroy(options);
    if (cairo_scaled_font_status(font) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(font);
        return nullptr;
    }
    return font;
}

} // namespace pictog
