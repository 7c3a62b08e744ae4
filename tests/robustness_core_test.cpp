// Bad input and faults for the Qt-free core: FEN/EPD text no user should paste, Pictog.ini files
// no program wrote, and a writer killed while it saves the settings.
#include "robustness_ini_writer.h"
#include "robustness_support.h"

#include "position/epd_line.h"
#include "settings/file_system.h"
#include "settings/ini_file.h"
#include "settings/pictog_params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace pictog::robustness {
namespace {

    const std::string Initial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

    // ---- FEN/EPD text

    struct LineRow {
        const char* what;
        std::function<std::string()> text;
        bool accepted;
        std::string result; // the built line when accepted, else the message
    };

    TEST(BadLineText, EveryRowEndsAcceptedOrWithTheParsersMessage)
    {
        const LineRow rows[] = {
            { "100 MB of positions, one after another",
                [] {
                    std::string text;
                    text.reserve(100u << 20);
                    while (text.size() < (100u << 20))
                        text += Initial + "\n";
                    return text;
                },
                true,
                // The move number runs on into the next line, so it is no number: 1.
                Initial },
            { "100 MB of one character", [] { return std::string(100u << 20, 'x'); }, false,
                "x - Invalid character in EPD position description" },
            { "NUL byte inside the placement", [] { return std::string("8/8/8/8\0/8/8/8/8", 16); },
                false, std::string(1, '\0') + " - Invalid character in EPD position description" },
            { "NUL bytes after the last field",
                [] { return "8/8/8/8/8/8/8/8 b - - 3 4" + std::string(3, '\0') + "junk"; }, true,
                "8/8/8/8/8/8/8/8 b - - 3 1" },
            { "invalid UTF-8 first", [] { return std::string("\xff\xfe") + Initial; }, false,
                "\xff - Invalid character in EPD position description" },
            { "a UTF-8 character where a piece belongs",
                [] { return std::string("8/8/8/8/8/8/8/7\xe2\x99\x94"); }, false,
                "\xe2\x99\x94 - Invalid character in EPD position description" },
            { "a lead byte cut short at the end", [] { return std::string("8/8/\xf0\x9f"); }, false,
                "\xf0\x9f - Invalid character in EPD position description" },
            { "only blanks", [] { return std::string("   "); }, false,
                "Error in EPD position description" },
            { "only a tab", [] { return std::string("\t"); }, false,
                "\t - Invalid character in EPD position description" },
            { "a position followed by 10,000 lines",
                [] {
                    std::string text = "8/8/8/8/8/8/8/k6K b - -\r\n";
                    for (int i = 0; i < 10000; ++i)
                        text += "line " + std::to_string(i) + "\r\n";
                    return text;
                },
                // The counters are "line 0..." and the rest: no numbers.
                true, "8/8/8/8/8/8/8/k6K b - - 0 1" },
        };
        for (const LineRow& row : rows) {
            const EpdParse parse = ParseEPDLine(row.text());
            EXPECT_EQ(parse.accepted, row.accepted) << row.what;
            const std::string result
                = row.accepted ? BuildEPDLine(parse.board, parse.panel) : parse.message;
            EXPECT_EQ(result, row.result) << row.what;
        }
    }

    // ---- Pictog.ini

    // A file system whose reads of the settings file fail as a file without read permission does.
    class NoReadPermission final : public FileSystem
    {
    protected:
        int openFile(const char* path, int flags, mode_t mode) override
        {
            if ((flags & O_ACCMODE) == O_RDONLY && !(flags & O_DIRECTORY)) {
                errno = EACCES;
                return -1;
            }
            return FileSystem::openFile(path, flags, mode);
        }
    };

    class RecordingReporter final : public ErrorReporter
    {
    public:
        void showError(const std::string& message) override { messages.push_back(message); }
        std::vector<std::string> messages;
    };

    enum class OnSave {
        Written, // a changed setting is saved as usual
        Refused, // "Settings not saved: ... cannot be read", the file stays as it was
    };

    struct IniRow {
        const char* what;
        std::function<void(const std::string& ini)> make;
        std::function<void(const TPictogParams&)> expectLoaded;
        OnSave onSave;
        std::shared_ptr<FileSystem> files = nullptr;
    };

    void expectDefaults(const TPictogParams& p)
    {
        EXPECT_TRUE(p.activated());
        EXPECT_EQ(p.fenLine(), "");
        EXPECT_EQ(p.header1(), "");
        EXPECT_EQ(p.moveNumber(), 1);
        EXPECT_EQ(p.halfMoveClock(), 0);
        EXPECT_EQ(p.borderSize(), 3);
        EXPECT_EQ(p.pieceSet(), 1);
        EXPECT_EQ(p.alignment(), "left");
    }

    const std::string Binary = "[History]\nfenLine=8/8/8/8/8/8/8/8\n"
        + std::string("\0\x01\x02\xff", 4) + "[HTML Settings]\nborderSize=5\n";

    std::string randomText(std::size_t size, bool withNul)
    {
        std::mt19937 random(7);
        std::string text(size, ' ');
        for (char& c : text)
            c = static_cast<char>(withNul ? random() % 256 : 1 + random() % 255);
        return text;
    }

    class BadIniFile : public ::testing::Test
    {
    protected:
        ScratchFolder folder;
        std::string ini = folder / "Pictog.ini";
        RecordingReporter reporter;

        void check(const IniRow& row)
        {
            SCOPED_TRACE(row.what);
            reporter.messages.clear();
            row.make(ini);
            const bool wasFolder = isFolder(ini);
            const std::string before = wasFolder ? "" : readAll(ini);

            TPictogParams params(folder.path(), &reporter, row.files);
            params.LoadSettings();
            EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
            EXPECT_FALSE(params.modified());
            row.expectLoaded(params);
            EXPECT_EQ(wasFolder, isFolder(ini));
            if (!wasFolder) {
                EXPECT_TRUE(readAll(ini) == before) << "loading leaves the file as it was";
            }

            params.setFenLine(Initial);
            const bool saved = params.SaveSettings();
            if (row.onSave == OnSave::Written) {
                EXPECT_TRUE(saved);
                EXPECT_TRUE(reporter.messages.empty());
                TPictogParams reread(folder.path());
                reread.LoadSettings();
                EXPECT_EQ(reread.fenLine(), Initial);
            } else {
                EXPECT_FALSE(saved);
                EXPECT_EQ(reporter.messages,
                    std::vector<std::string> { "Settings not saved: the settings file " + ini
                        + " cannot be read (" + params.iniReadError()
                        + "), and Pictog does not overwrite it." });
                EXPECT_TRUE(params.modified()) << "a later save tries again";
                EXPECT_EQ(wasFolder, isFolder(ini));
                if (!wasFolder) {
                    EXPECT_TRUE(readAll(ini) == before) << "the file is not replaced";
                }
            }
            EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string> { "Pictog.ini" })
                << "nothing is left beside the file";
            ::chmod(ini.c_str(), 0600);
            ::remove(ini.c_str());
        }
    };

    TEST_F(BadIniFile, EveryRowLoadsWithoutHarmAndSavesOrKeepsTheFile)
    {
        const IniRow rows[] = {
            { "a folder", [](const std::string& path) { ::mkdir(path.c_str(), 0755); },
                expectDefaults, OnSave::Refused },
            { "unreadable: the system refuses to open it",
                [](const std::string& path) { writeAll(path, "[History]\nfenLine=kept\n"); },
                expectDefaults, OnSave::Refused, std::make_shared<NoReadPermission>() },
            { "binary garbage holding NUL bytes",
                [](const std::string& path) { writeAll(path, Binary); }, expectDefaults,
                OnSave::Refused },
            { "a megabyte of random bytes",
                [](const std::string& path) { writeAll(path, randomText(1 << 20, true)); },
                expectDefaults, OnSave::Refused },
            { "random bytes without NUL read as text without sections",
                [](const std::string& path) {
                    writeAll(path, randomText(1 << 20, false) + "\n[History]\nmoveNumber=77\n");
                },
                [](const TPictogParams& p) { EXPECT_EQ(p.moveNumber(), 77); }, OnSave::Written },
            { "50 MB of one line",
                [](const std::string& path) { writeAll(path, std::string(50u << 20, 'x')); },
                expectDefaults, OnSave::Written },
            { "a value of 50 MB",
                [](const std::string& path) {
                    writeAll(path, "[History]\nheader1=" + std::string(50u << 20, 'h') + "\n");
                },
                [](const TPictogParams& p) { EXPECT_EQ(p.header1().size(), 50u << 20); },
                OnSave::Written },
            { "a UTF-8 byte order mark before the first section",
                [](const std::string& path) {
                    writeAll(path, "\xEF\xBB\xBF[History]\nfenLine=8/8/8/8/8/8/8/k6K b - - 0 1\n");
                },
                [](const TPictogParams& p) {
                    EXPECT_EQ(p.fenLine(), "8/8/8/8/8/8/8/k6K b - - 0 1");
                },
                OnSave::Written },
            { "CR LF line ends",
                [](const std::string& path) {
                    writeAll(path,
                        "[History]\r\nheader1=Caption\r\nmoveNumber=12\r\n[HTML Settings]\r\n"
                        "alignment=right\r\n");
                },
                [](const TPictogParams& p) {
                    EXPECT_EQ(p.header1(), "Caption");
                    EXPECT_EQ(p.moveNumber(), 12);
                    EXPECT_EQ(p.alignment(), "right") << "no CR left on the value";
                },
                OnSave::Written },
            { "a repeated section and a repeated key: the first one wins",
                [](const std::string& path) {
                    writeAll(path,
                        "[History]\nheader1=first\nheader1=second\n[HTML Settings]\nborderSize=4\n"
                        "[History]\nheader2=merged\nheader1=third\n");
                },
                [](const TPictogParams& p) {
                    EXPECT_EQ(p.header1(), "first");
                    EXPECT_EQ(p.header2(), "merged");
                    EXPECT_EQ(p.borderSize(), 4);
                },
                OnSave::Written },
            { "values beyond 32-bit integers read as the defaults, without a rewrite",
                [](const std::string& path) {
                    writeAll(path,
                        "[History]\nhalfMoveClock=4294967296\nmoveNumber=-2147483649\n"
                        "[HTML Settings]\nborderSize=2147483648\npieceSet=99999999999\n"
                        "[Diagram Layout]\nshowBorder=18446744073709551616\n");
                },
                [](const TPictogParams& p) {
                    EXPECT_EQ(p.halfMoveClock(), 0);
                    EXPECT_EQ(p.moveNumber(), 1);
                    EXPECT_EQ(p.borderSize(), 3);
                    EXPECT_EQ(p.pieceSet(), 1);
                    EXPECT_TRUE(p.showBorder());
                },
                OnSave::Written },
            { "a hexadecimal value that wraps into a negative one is taken as stored",
                [](const std::string& path) {
                    writeAll(path, "[HTML Settings]\npieceSet=$FFFFFFFF\n");
                },
                [](const TPictogParams& p) {
                    EXPECT_EQ(p.pieceSet(), -1);
                    EXPECT_EQ(p.PieceImageSize(), -1);
                },
                OnSave::Written },
        };
        for (const IniRow& row : rows)
            check(row);
    }

    TEST_F(BadIniFile, FileWithoutReadPermission)
    {
        PermissionBitsApply permissions;
        if (!permissions.active())
            GTEST_SKIP() << "running as root without the right to drop CAP_DAC_OVERRIDE: the "
                            "permission bits cannot stop this process (the injected refusal in "
                            "EveryRowLoadsWithoutHarmAndSavesOrKeepsTheFile covers the case)";
        check({ "mode 000",
            [](const std::string& path) {
                writeAll(path, "[History]\nfenLine=kept\n");
                ::chmod(path.c_str(), 0);
            },
            expectDefaults, OnSave::Refused });
    }

    TEST_F(BadIniFile, RepeatedKeysStayInPlaceAndTheFirstOneKeepsWinning)
    {
        writeAll(ini, "[History]\nheader1=first\nheader1=second\n");
        TPictogParams params(folder.path());
        params.LoadSettings();
        params.setHeader1("changed");
        ASSERT_TRUE(params.SaveSettings());
        const std::string text = readAll(ini);
        EXPECT_LT(text.find("header1=changed\n"), text.find("header1=second\n"));
        TPictogParams reread(folder.path());
        reread.LoadSettings();
        EXPECT_EQ(reread.header1(), "changed");
    }

    TEST_F(BadIniFile, UnreadableFileThatIsRemovedIsWrittenByTheNextSave)
    {
        writeAll(ini, Binary);
        TPictogParams params(folder.path(), &reporter);
        params.LoadSettings();
        params.setHeader1("kept for later");
        EXPECT_FALSE(params.SaveSettings());
        ASSERT_EQ(::remove(ini.c_str()), 0);
        EXPECT_TRUE(params.SaveSettings());
        EXPECT_EQ(IniFile(readAll(ini)).readString("History", "header1", ""), "kept for later");
    }

    // ---- A writer killed while it saves

    // The complete file of a state, as the writer saves it in that folder.
    std::string savedText(const ScratchFolder& folder, int state)
    {
        TPictogParams params(folder.path());
        params.LoadSettings();
        applyWriterState(params, state);
        EXPECT_TRUE(params.SaveSettings());
        return readAll(folder / "Pictog.ini");
    }

    // Starts the writer on the folder with its stdout on a pipe; returns its pid and the pipe.
    pid_t startWriter(const std::string& folder, int& output)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return -1;
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        ::posix_spawn_file_actions_addclose(&actions, fds[0]);
        char* argv[]
            = { const_cast<char*>(PICTOG_INI_WRITER), const_cast<char*>(folder.c_str()), nullptr };
        pid_t pid = -1;
        if (::posix_spawn(&pid, PICTOG_INI_WRITER, &actions, nullptr, argv, environ) != 0)
            pid = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        output = fds[0];
        return pid;
    }

    TEST(KilledWriter, FileIsAlwaysTheOldOrTheNewCompleteFile)
    {
        constexpr int Kills = 1000;
        ScratchFolder folder;
        const std::string ini = folder / "Pictog.ini";
        // The last save leaves the file in state 1, where the writer starts. The median time of
        // a save sets the window the kills are spread over: the first two saves of each writer.
        std::string texts[2];
        std::vector<std::chrono::steady_clock::duration> saveTimes;
        for (int round = 0; round < 8; ++round) {
            const auto before = std::chrono::steady_clock::now();
            texts[round % 2] = savedText(folder, round % 2);
            saveTimes.push_back(std::chrono::steady_clock::now() - before);
        }
        ASSERT_NE(texts[0], texts[1]);
        std::nth_element(saveTimes.begin(), saveTimes.begin() + 4, saveTimes.end());
        const auto window = std::chrono::duration_cast<std::chrono::microseconds>(2 * saveTimes[4]);

        std::mt19937 random(20021012);
        std::uniform_int_distribution<long long> delay(0, window.count());
        int seen[2] = { 0, 0 };
        int killedMidWrite = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int kill = 0; kill < Kills; ++kill) {
            int output = -1;
            const pid_t pid = startWriter(folder.path(), output);
            ASSERT_GT(pid, 0);
            char ready[6];
            ASSERT_EQ(::read(output, ready, sizeof ready), 6) << "the writer did not start";
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            ASSERT_EQ(::kill(pid, SIGKILL), 0);
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            ::close(output);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
                << "the writer ended by itself, status " << status;

            const std::string text = readAll(ini);
            const int which = text == texts[0] ? 0 : text == texts[1] ? 1 : -1;
            ASSERT_NE(which, -1) << "after kill " << kill << " the file holds " << text.size()
                                 << " bytes that are neither complete file";
            ++seen[which];
            // A kill between creating the new file and renaming it leaves that file behind
            // under a temporary name; nothing else may appear.
            for (const std::string& name : folderEntries(folder.path())) {
                if (name == "Pictog.ini")
                    continue;
                ASSERT_EQ(name.rfind("Pictog.ini.tmp", 0), 0u) << name;
                ++killedMidWrite;
                ::remove((folder / name).c_str());
            }
        }
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%d kills in %.1f s within %lld us of the first save: %d left the first state, "
                    "%d the second, %d landed while a new file was being written\n",
            Kills, seconds, static_cast<long long>(window.count()), seen[0], seen[1],
            killedMidWrite);
        EXPECT_GT(seen[0], 0);
        EXPECT_GT(seen[1], 0);
        EXPECT_GT(killedMidWrite, 0) << "no kill landed during a write: the test proves little";
    }

} // namespace
} // namespace pictog::robustness
