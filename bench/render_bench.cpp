// The scalable diagram: an SVG, a PNG at 76-pixel squares and a PDF page per diagram, and, as the
// baseline a user of SVG-only tools has, rsvg-convert turning the same diagram's SVG into a PNG
// of the same size, measured in the same run.
//
//   render_bench --benchmark_counters_tabular=true
#include "diagram_renderer.h"
#include "position/epd_line.h"

#include "sample_positions.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pictog {
namespace {

    const std::vector<TChessPosition>& positions()
    {
        static const std::vector<TChessPosition> all = samplePositions(256);
        return all;
    }

    DiagramRenderOptions annotated(int square)
    {
        DiagramRenderOptions o;
        o.squarePx = square;
        parseArrowList("Ge2e4,Rd1d8", o.annotations);
        parseSquareList("Yd5,Rf7", o.annotations);
        return o;
    }

    void BM_Svg(benchmark::State& state)
    {
        const DiagramRenderOptions o = annotated(static_cast<int>(state.range(0)));
        const PanelState panel;
        std::size_t i = 0, bytes = 0;
        for (auto _ : state) {
            const std::string svg
                = renderDiagramSvg(positions()[i++ % positions().size()], panel, o);
            bytes += svg.size();
            benchmark::DoNotOptimize(svg.data());
        }
        state.counters["diagrams/s"] = benchmark::Counter(
            static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
        state.counters["bytes"] = static_cast<double>(bytes) / state.iterations();
    }
    BENCHMARK(BM_Svg)->Arg(38)->Arg(76);

    void BM_Png(benchmark::State& state)
    {
        const DiagramRenderOptions o = annotated(static_cast<int>(state.range(0)));
        const PanelState panel;
        std::size_t i = 0;
        for (auto _ : state) {
            const std::string png
                = renderDiagramPng(positions()[i++ % positions().size()], panel, o);
            benchmark::DoNotOptimize(png.data());
        }
        state.counters["diagrams/s"] = benchmark::Counter(
            static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    BENCHMARK(BM_Png)->Arg(38)->Arg(76)->Unit(benchmark::kMicrosecond);

    // Pages added to one streamed document of 1,000 pages, as `export pdf -o FILE` makes it.
    void BM_PdfBatch1000(benchmark::State& state)
    {
        const DiagramRenderOptions o = annotated(38);
        const PanelState panel;
        for (auto _ : state) {
            std::size_t size = 0;
            PdfDiagramWriter writer(
                [&size](const unsigned char*, std::size_t n) {
                    size += n;
                    return true;
                },
                PdfPageSize::Diagram);
            for (int page = 0; page < 1000; ++page)
                writer.addPage(
                    positions()[static_cast<std::size_t>(page) % positions().size()], panel, o);
            writer.finish();
            benchmark::DoNotOptimize(size);
        }
        state.counters["pages/s"] = benchmark::Counter(
            1000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    BENCHMARK(BM_PdfBatch1000)->Unit(benchmark::kMillisecond)->Iterations(3);

    // rsvg-convert rendering the diagram's SVG to a PNG at 76-pixel squares, one process per
    // picture as a script over a folder of SVG files runs it; wall time of the child.
    void BM_RsvgConvertPng76(benchmark::State& state)
    {
        if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) {
            state.SkipWithError("rsvg-convert is not installed");
            return;
        }
        char folder[] = "/tmp/pictog-render-bench-XXXXXX";
        if (!::mkdtemp(folder)) {
            state.SkipWithError("no temporary folder");
            return;
        }
        const std::string dir = folder;
        const DiagramRenderOptions o = annotated(76);
        const PanelState panel;
        std::ofstream(dir + "/d.svg") << renderDiagramSvg(positions()[0], panel, o);
        const std::string command
            = "rsvg-convert -o '" + dir + "/d.png' '" + dir + "/d.svg' >/dev/null 2>&1";
        for (auto _ : state) {
            if (std::system(command.c_str()) != 0) {
                state.SkipWithError("rsvg-convert failed");
                break;
            }
        }
        std::system(("rm -rf '" + dir + "'").c_str());
        state.counters["diagrams/s"] = benchmark::Counter(
            static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    BENCHMARK(BM_RsvgConvertPng76)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

} // namespace
} // namespace pictog

BENCHMARK_MAIN();
