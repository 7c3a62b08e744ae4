// Pictog.ini: any file loads without a crash into values within their ranges; saving what was
// loaded and loading it again gives the same values, and the written file is a fixed point of
// reading and writing.
#include "fuzz_check.h"

#include "settings/ini_file.h"
#include "settings/pictog_params.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using namespace pictog;

// The real file system without the flush to the disk, which only costs time here.
struct NoSyncFileSystem final : FileSystem {
protected:
    int syncFile(int) override { return 0; }
};

struct RecordingReporter final : ErrorReporter {
    std::vector<std::string> messages;
    void showError(const std::string& message) override { messages.push_back(message); }
};

std::string g_folder;
std::string g_iniPath;

// Every value the store holds, in one text.
std::string snapshot(const TPictogParams& p)
{
    std::string s;
    auto add = [&s](std::string_view name, const std::string& value) {
        s.append(name).append("=").append(value).append("\n");
    };
    auto num = [&add](std::string_view name, long long value) { add(name, std::to_string(value)); };
    add("textEditor", p.textEditor());
    num("activated", p.activated());
    add("fenLine", p.fenLine());
    add("footer1", p.footer1());
    add("footer2", p.footer2());
    num("halfMoveClock", p.halfMoveClock());
    add("header1", p.header1());
    add("header2", p.header2());
    num("moveNumber", p.moveNumber());
    add("lastSaveDir", p.lastSaveDir());
    num("showBorder", p.showBorder());
    num("coordinates", p.coordinates());
    num("showFenLine", p.showFenLine());
    num("showFooter", p.showFooter());
    num("showHeader", p.showHeader());
    num("showSideToMove", p.showSideToMove());
    add("alignment", p.alignment());
    num("borderSize", p.borderSize());
    add("colorLightSquares", p.colorLightSquares());
    add("colorDarkSquares", p.colorDarkSquares());
    add("colorDiagramBackground", p.colorDiagramBackground());
    num("compact", p.compact());
    num("pieceSet", p.pieceSet());
    add("localImageBase", p.localImageBase());
    add("webImageBase", p.webImageBase());
    add("urlPGNStandard", p.urlPGNStandard());
    add("urlEPDStandard", p.urlEPDStandard());
    add("urlCCCForum", p.urlCCCForum());
    add("urlChessBitsForum", p.urlChessBitsForum());
    add("urlCSSForum", p.urlCSSForum());
    add("urlFCPForum", p.urlFCPForum());
    add("urlWinBoardForum", p.urlWinBoardForum());
    return s;
}

std::string fileContents()
{
    FileReadResult read = FileSystem().readTextFile(g_iniPath);
    FUZZ_CHECK(read.status == FileReadStatus::Ok);
    return read.contents;
}

void writeInput(std::string_view text)
{
    const int fd = ::open(g_iniPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()));
    ::close(fd);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/pictog-fuzz-settings-XXXXXX";
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    g_folder = pattern;
    g_iniPath = g_folder + "/Pictog.ini";
    std::atexit([] {
        ::unlink(g_iniPath.c_str());
        ::rmdir(g_folder.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The reader alone: what it writes reads back as the same text.
    const std::string written = IniFile(text).text();
    FUZZ_CHECK(IniFile(written).text() == written);

    writeInput(text);
    auto fileSystem = std::make_shared<NoSyncFileSystem>();
    RecordingReporter reporter;

    TPictogParams first(g_folder, &reporter, fileSystem);
    first.LoadSettings();
    FUZZ_CHECK(reporter.messages.empty());
    FUZZ_CHECK(!first.modified());
    FUZZ_CHECK(first.halfMoveClock() >= 0 && first.halfMoveClock() <= 100);
    FUZZ_CHECK(first.moveNumber() >= 1 && first.moveNumber() <= 999);
    FUZZ_CHECK(first.borderSize() >= 0 && first.borderSize() <= 10);
    FUZZ_CHECK(first.alignment() == "left" || first.alignment() == "center"
        || first.alignment() == "right");
    const std::string loaded = snapshot(first);

    // Force a save of exactly what was loaded. A file that could not be read (one holding a NUL
    // byte) is kept as it is until it is gone.
    first.setCompact(!first.compact());
    first.setCompact(!first.compact());
    FUZZ_CHECK(first.modified());
    if (first.iniReadStatus() != FileReadStatus::Ok) {
        FUZZ_CHECK(text.find('\0') != std::string_view::npos);
        FUZZ_CHECK(!first.SaveSettings());
        FUZZ_CHECK(reporter.messages.size() == 1);
        ::unlink(g_iniPath.c_str());
    }
    FUZZ_CHECK(first.SaveSettings());
    FUZZ_CHECK(!first.modified());
    const std::string saved = fileContents();

    TPictogParams second(g_folder, &reporter, fileSystem);
    second.LoadSettings();
    FUZZ_CHECK(second.iniReadStatus() == FileReadStatus::Ok);
    FUZZ_CHECK(!second.modified());
    FUZZ_CHECK(snapshot(second) == loaded);

    // Saving the reloaded values writes the same bytes again.
    second.setCompact(!second.compact());
    second.setCompact(!second.compact());
    FUZZ_CHECK(second.SaveSettings());
    FUZZ_CHECK(fileContents() == saved);
    FUZZ_CHECK(reporter.messages.size() <= 1);

    ::unlink(g_iniPath.c_str());
    return 0;
}
