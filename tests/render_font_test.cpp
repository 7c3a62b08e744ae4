// The renderer without its font files: a diagram with text is an error naming the file, one
// without text is still drawn. A program of its own, since the faces are loaded once a run.
#include "diagram_renderer.h"
#include "render_fonts.h"

#include <gtest/gtest.h>

namespace pictog {
namespace {

    TEST(RenderFontTest, MissingFontFileIsAnErrorNamingIt)
    {
        useDiagramFontFiles("/nonexistent/DejaVuSans.ttf", DiagramBoldFontFile);
        TChessPosition board;
        const PanelState panel;
        DiagramRenderOptions withText;
        DiagramRenderOptions withoutText;
        withoutText.coordinates = false;
        for (const DiagramFormat format :
            { DiagramFormat::Png, DiagramFormat::Svg, DiagramFormat::Pdf }) {
            const RenderResult failed = renderDiagram(format, board, panel, withText);
            EXPECT_EQ(failed.error, "cannot read the font file /nonexistent/DejaVuSans.ttf");
            EXPECT_EQ(failed.bytes, "");
            const RenderResult drawn = renderDiagram(format, board, panel, withoutText);
            EXPECT_TRUE(drawn.ok()) << drawn.error;
            EXPECT_FALSE(drawn.bytes.empty());
        }
        withoutText.header1 = "A caption needs the font too";
        EXPECT_FALSE(renderDiagram(DiagramFormat::Svg, board, panel, withoutText).ok());

        PdfDiagramWriter writer(
            [](const unsigned char*, std::size_t) { return true; }, PdfPageSize::Diagram);
        EXPECT_FALSE(writer.addPage(board, panel, withText));
        EXPECT_EQ(writer.error(), "cannot read the font file /nonexistent/DejaVuSans.ttf");
    }

} // namespace
} // namespace pictog
