// The diagram picture: composition and PNG encoding in the core, the batch rate of
// `pictog-cli export png`, and ImageMagick's mogrify converting the same pictures from BMP to PNG
// as the baseline a user would otherwise script.
//
//   diagram_bench --benchmark_counters_tabular=true
//
// The batch benchmarks run the real programs on PICTOG_BENCH_PICTURES positions (10,000 unless
// the environment says otherwise) in a temporary folder under /tmp.
#include "diagram/bmp_codec.h"
#include "diagram/diagram_picture.h"
#include "diagram/pictogram_2d.h"
#include "diagram/png_encoder.h"
#include "position/epd_line.h"

#include "sample_positions.h"

#include <benchmark/benchmark.h>

#include <chrono>
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

    void setPosition(TPictogram2D& board, const TChessPosition& position)
    {
        for (int square = 0; square <= 77; ++square)
            if (isOnBoard(square))
                board.SetSquare(position.GetPiece(square), square);
    }

    int pictureCount()
    {
        const char* text = std::getenv("PICTOG_BENCH_PICTURES");
        const int count = text ? std::atoi(text) : 0;
        return count > 0 ? count : 10000;
    }

    void BM_ComposePicture(benchmark::State& state)
    {
        TPictogram2D board;
        const std::vector<TChessPosition> positions = samplePositions(64);
        std::size_t i = 0;
        for (auto _ : state) {
            setPosition(board, positions[i++ % positions.size()]);
            benchmark::DoNotOptimize(ComposeDiagramPicture(board, DiagramPictureOptions()));
        }
        state.SetItemsProcessed(state.iterations());
    }
    BENCHMARK(BM_ComposePicture)->Unit(benchmark::kMicrosecond);

    // As the command-line tool does it: one board, one picture and one encoder for the batch.
    void BM_ComposeAndEncodePng(benchmark::State& state)
    {
        TPictogram2D board;
        PngEncoder encoder;
        Raster picture;
        std::vector<unsigned char> png;
        const std::vector<TChessPosition> positions = samplePositions(64);
        std::size_t i = 0;
        std::size_t bytes = 0;
        for (auto _ : state) {
            setPosition(board, positions[i++ % positions.size()]);
            ComposeDiagramPicture(board, DiagramPictureOptions(), picture);
            encoder.encode(picture, png);
            bytes += png.size();
            benchmark::DoNotOptimize(png.data());
        }
        state.SetItemsProcessed(state.iterations());
        state.counters["png_bytes"]
            = static_cast<double>(bytes) / static_cast<double>(state.iterations());
    }
    BENCHMARK(BM_ComposeAndEncodePng)->Unit(benchmark::kMicrosecond);

    // encodePng alone, with a new compressor and buffers for every picture.
    void BM_EncodePngFresh(benchmark::State& state)
    {
        TPictogram2D board;
        setPosition(board, TChessPosition());
        const Raster picture = *ComposeDiagramPicture(board, DiagramPictureOptions());
        for (auto _ : state)
            benchmark::DoNotOptimize(encodePng(picture));
        state.SetItemsProcessed(state.iterations());
    }
    BENCHMARK(BM_EncodePngFresh)->Unit(benchmark::kMicrosecond);

    void BM_EncodeBmp(benchmark::State& state)
    {
        TPictogram2D board;
        setPosition(board, TChessPosition());
        const Raster picture = *ComposeDiagramPicture(board, DiagramPictureOptions());
        for (auto _ : state)
            benchmark::DoNotOptimize(encodeBmp(picture));
        state.SetItemsProcessed(state.iterations());
    }
    BENCHMARK(BM_EncodeBmp)->Unit(benchmark::kMicrosecond);

    // A folder under /tmp holding the input lines, removed with everything in it at the end.
    class BatchFolder
    {
    public:
        BatchFolder()
        {
            char name[] = "/tmp/pictog_bench_XXXXXX";
            if (::mkdtemp(name))
                m_path = name;
        }
        ~BatchFolder()
        {
            if (!m_path.empty())
                shell("rm -rf '" + m_path + "'");
        }
        const std::string& path() const { return m_path; }

        // Writes the positions as FEN lines to lines.fen.
        std::string writeLines(int count) const
        {
            const std::string file = m_path + "/lines.fen";
            std::ofstream out(file);
            for (const TChessPosition& position : samplePositions(count))
                out << BuildEPDLine(position, PanelState()) << '\n';
            return file;
        }

        static int shell(const std::string& command) { return std::system(command.c_str()); }

    private:
        std::string m_path;
    };

    // CPU time (user + system) of the finished child processes so far, in seconds.
    double childrenCpuSeconds()
    {
        rusage usage {};
        ::getrusage(RUSAGE_CHILDREN, &usage);
        auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }

    // Runs a shell command once per iteration and reports the wall time per picture and the CPU
    // time per picture of the processes it started, the steadier figure on a shared machine.
    void timeCommand(benchmark::State& state, const std::string& command, int pictures)
    {
        double seconds = 0;
        double cpuSeconds = 0;
        for (auto _ : state) {
            const double cpuBefore = childrenCpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            const int status = BatchFolder::shell(command);
            const auto end = std::chrono::steady_clock::now();
            if (status != 0) {
                state.SkipWithError(("failed: " + command).c_str());
                return;
            }
            const double elapsed = std::chrono::duration<double>(end - start).count();
            seconds += elapsed;
            cpuSeconds += childrenCpuSeconds() - cpuBefore;
            state.SetIterationTime(elapsed);
        }
        const double done = static_cast<double>(pictures) * static_cast<double>(state.iterations());
        state.SetItemsProcessed(static_cast<std::int64_t>(done));
        state.counters["ms_per_picture"] = seconds * 1000.0 / done;
        state.counters["cpu_ms_per_picture"] = cpuSeconds * 1000.0 / done;
    }

    void BM_CliExportPngBatch(benchmark::State& state)
    {
        const int pictures = pictureCount();
        BatchFolder folder;
        const std::string lines = folder.writeLines(pictures);
        timeCommand(state,
            "rm -rf '" + folder.path() + "/png' && '" PICTOG_CLI_PATH "' export png -o '"
                + folder.path() + "/png/' < '" + lines + "'",
            pictures);
    }
    BENCHMARK(BM_CliExportPngBatch)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

    void BM_CliExportBmpBatch(benchmark::State& state)
    {
        const int pictures = pictureCount();
        BatchFolder folder;
        const std::string lines = folder.writeLines(pictures);
        timeCommand(state,
            "rm -rf '" + folder.path() + "/bmp' && '" PICTOG_CLI_PATH "' export bmp -o '"
                + folder.path() + "/bmp/' < '" + lines + "'",
            pictures);
    }
    BENCHMARK(BM_CliExportBmpBatch)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

    // The same pictures written as BMP by pictog-cli (not timed), then converted to PNG by one
    // mogrify process over all of them.
    void BM_MogrifyBmpToPngBatch(benchmark::State& state)
    {
        if (BatchFolder::shell("command -v mogrify >/dev/null 2>&1") != 0) {
            state.SkipWithError("mogrify is not installed (Debian package imagemagick)");
            return;
        }
        const int pictures = pictureCount();
        BatchFolder folder;
        const std::string lines = folder.writeLines(pictures);
        const std::string bmp = folder.path() + "/bmp/";
        if (BatchFolder::shell(
                "'" PICTOG_CLI_PATH "' export bmp -o '" + bmp + "' < '" + lines + "'")
            != 0) {
            state.SkipWithError("pictog-cli export bmp failed");
            return;
        }
        timeCommand(
            state, "cd '" + bmp + "' && rm -f ./*.png && mogrify -format png '*.bmp'", pictures);
    }
    BENCHMARK(BM_MogrifyBmpToPngBatch)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);

} // namespace
} // namespace pictog

BENCHMARK_MAIN();
