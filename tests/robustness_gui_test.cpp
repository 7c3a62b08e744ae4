// Bad input and faults at the main window: clipboard text no line ever looked like, Pictog.ini
// files no program wrote, a program folder nothing can be written to, pictures that cannot be
// saved, broken resources, settings texts that try to run commands, and twenty copies started
// at once.
#include "gui_test_support.h"
#include "robustness_support.h"

#include "main_form.h"
#include "qt_platform.h"
#include "single_instance.h"

#include "diagram/embedded_resources.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <sys/resource.h>

namespace pictog::gui::test {
namespace {

    using robustness::exists;
    using robustness::folderEntries;
    using robustness::PermissionBitsApply;
    using robustness::readAll;
    using robustness::writeAll;

    const QString EmptyLine = QStringLiteral("8/8/8/8/8/8/8/8 w - - 0 1");
    const QString InitialLine
        = QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    const QString NoValidLine = QStringLiteral("No valid EPD/FEN found in clipboard");
    const QString InvalidSuffix
        = QStringLiteral(" - Invalid character in EPD position description");

    std::string ss(const QString& text)
    {
        return text.toStdString();
    }

    class WindowTest : public ::testing::Test
    {
    protected:
        QTemporaryDir dir;
        FakePlatform platform;
        ResourceLookup resources;
        std::unique_ptr<TFormMain> form;

        std::string programDir() const { return ss(dir.path()); }
        std::string path(const char* name) const
        {
            return ss(dir.filePath(QString::fromLatin1(name)));
        }

        void start(const QString& folder = QString())
        {
            PlatformServices services = platform.services();
            services.resources = resources;
            form = std::make_unique<TFormMain>(folder.isEmpty() ? dir.path() : folder, services);
            form->show();
        }
        template <class T> T* child(const char* name) const
        {
            T* found = form->findChild<T*>(QString::fromLatin1(name));
            EXPECT_NE(found, nullptr) << name;
            return found;
        }
        void trigger(const char* action) { child<QAction>(action)->trigger(); }
        QString line() const { return child<QLineEdit>("EditFENLine")->text(); }
        void paste(const QString& text)
        {
            platform.clipboard.setText(text);
            trigger("MIEditPaste");
        }
    };

    // ---- Clipboard text

    struct PasteRow {
        const char* what;
        std::function<QString()> text;
        QStringList messages; // empty: accepted
        QString line;
    };

    TEST_F(WindowTest, PasteOfBadTextEndsWithAClearMessageOrAPositionAndWritesNoFile)
    {
        const PasteRow rows[] = {
            { "100 MB of positions, one after another",
                [] { return (InitialLine + QLatin1Char('\n')).repeated((100 << 20) / 57); }, {},
                InitialLine },
            { "100 MB of one character", [] { return QString(100 << 20, QLatin1Char('x')); },
                { QStringLiteral("x") + InvalidSuffix, NoValidLine }, EmptyLine },
            { "a NUL character inside the placement",
                [] { return QStringLiteral("8/8/8/8") + QChar(0) + QStringLiteral("/8/8/8/8"); },
                { QString(QChar(0)) + InvalidSuffix, NoValidLine }, EmptyLine },
            { "NUL characters after the last field",
                [] { return QStringLiteral("8/8/8/8/8/8/8/k6K b - - 3 4") + QString(3, QChar(0)); },
                {}, QStringLiteral("8/8/8/8/8/8/8/k6K b - - 3 4") },
            { "invalid UTF-8, as the clipboard decodes it",
                [] { return QString::fromUtf8("\xff\xfe" + InitialLine.toUtf8()); },
                { QString(QChar::ReplacementCharacter) + InvalidSuffix, NoValidLine }, EmptyLine },
            { "only blanks", [] { return QStringLiteral("  \t "); },
                { QStringLiteral("Error in EPD position description"), NoValidLine }, EmptyLine },
            { "an empty text", [] { return QString(); },
                { QStringLiteral("Error in EPD position description"), NoValidLine }, EmptyLine },
            { "a position followed by 10,000 lines",
                [] {
                    QString text = QStringLiteral("8/8/8/8/8/8/8/k6K b - -\r\n");
                    for (int i = 0; i < 10000; ++i)
                        text += QStringLiteral("line %1\r\n").arg(i);
                    return text;
                },
                {}, QStringLiteral("8/8/8/8/8/8/8/k6K b - - 0 1") },
        };
        start();
        for (const PasteRow& row : rows) {
            SCOPED_TRACE(row.what);
            paste(QStringLiteral("4k3/8/8/8/8/8/8/4K3 w - - 7 9"));
            child<QLineEdit>("EditHeader1")->setText(QStringLiteral("caption"));
            platform.messages.shown.clear();

            QElapsedTimer timer;
            timer.start();
            paste(row.text());
            EXPECT_LT(timer.elapsed(), 20000);
            EXPECT_EQ(platform.messages.shown, row.messages);
            EXPECT_EQ(line(), row.line);
            EXPECT_TRUE(child<QLineEdit>("EditHeader1")->text().isEmpty());
            EXPECT_TRUE(folderEntries(programDir()).empty()) << "pasting writes no file";
            platform.clipboard.heldText.reset();
        }
    }

    // ---- Pictog.ini

    struct IniRow {
        const char* what;
        std::function<void(const std::string& ini)> make;
        QString lineAtStart;
        const char* unreadable; // the reason told at start and close, the file kept; null: read
    };

    // What the window tells about a settings file it cannot read: at start-up and at close.
    QStringList unreadableMessages(const std::string& ini, const QString& reason)
    {
        const QString path = QString::fromStdString(ini);
        return { "Cannot read the settings file " + path + ": " + reason
                + ".\nPictog runs with the default settings and will not overwrite this file.",
            "Settings not saved: the settings file " + path + " cannot be read (" + reason
                + "), and Pictog does not overwrite it." };
    }

    void PrintTo(const IniRow& row, std::ostream* os)
    {
        *os << row.what;
    }

    class BadIniAtStart : public WindowTest, public ::testing::WithParamInterface<IniRow>
    {
    };

    TEST_P(BadIniAtStart, StartsWithTheDefaultsOrItsValuesAndClosesWithoutLosingTheFile)
    {
        const IniRow& row = GetParam();
        const std::string ini = path("Pictog.ini");
        row.make(ini);
        const bool folder = robustness::isFolder(ini);
        const std::string before = folder ? std::string() : readAll(ini);
        const QStringList told = row.unreadable
            ? unreadableMessages(ini, QString::fromLatin1(row.unreadable))
            : QStringList { QString(), QString() };

        start();
        EXPECT_EQ(platform.messages.shown.join('|'), told[0]);
        EXPECT_EQ(line(), row.lineAtStart);
        paste(InitialLine);
        platform.messages.shown.clear();
        EXPECT_TRUE(form->close()) << "the window closes whatever happens to the file";
        if (row.unreadable) {
            EXPECT_EQ(platform.messages.shown, QStringList({ told[1] }));
            EXPECT_EQ(folder, robustness::isFolder(ini));
            if (!folder) {
                EXPECT_TRUE(readAll(ini) == before) << "the unreadable file is kept as it was";
            }
        } else {
            EXPECT_TRUE(platform.messages.shown.isEmpty());
            TPictogParams reread(programDir());
            reread.LoadSettings();
            EXPECT_EQ(QString::fromStdString(reread.fenLine()), InitialLine);
        }
        form.reset();
    }

    INSTANTIATE_TEST_SUITE_P(Rows, BadIniAtStart,
        ::testing::Values(
            IniRow { "a folder",
                [](const std::string& p) { QDir().mkpath(QString::fromStdString(p)); }, QString(),
                "Is a directory" },
            IniRow { "binary garbage",
                [](const std::string& p) {
                    writeAll(
                        p, std::string("[History]\nfenLine=8/8/8/8/8/8/8/8\n\0\x01\xff\xfe", 38));
                },
                QString(), "not a text file" },
            IniRow { "50 MB of one line",
                [](const std::string& p) { writeAll(p, std::string(50u << 20, '=')); }, QString(),
                nullptr },
            IniRow { "a UTF-8 byte order mark",
                [](const std::string& p) {
                    writeAll(p, "\xEF\xBB\xBF[History]\nfenLine=8/8/8/8/8/8/8/k6K b - -\n");
                },
                QStringLiteral("8/8/8/8/8/8/8/k6K b - - 0 1"), nullptr },
            IniRow { "CR LF line ends",
                [](const std::string& p) {
                    writeAll(p,
                        "[History]\r\nfenLine=8/8/8/8/8/8/8/k6K b - - 5 6\r\nmoveNumber=6\r\n"
                        "halfMoveClock=5\r\n");
                },
                QStringLiteral("8/8/8/8/8/8/8/k6K b - - 5 6"), nullptr },
            IniRow { "repeated sections and keys: the first key wins",
                [](const std::string& p) {
                    writeAll(p,
                        "[History]\nfenLine=8/8/8/8/8/8/8/k6K w - - 0 1\nfenLine=8/8/8/8/8/8/8/8\n"
                        "[History]\nfenLine=x\nmoveNumber=3\n");
                },
                QStringLiteral("8/8/8/8/8/8/8/k6K w - - 0 3"), nullptr },
            IniRow { "counters beyond 32-bit integers",
                [](const std::string& p) {
                    writeAll(p,
                        "[History]\nfenLine=8/8/8/8/8/8/8/k6K w - - 0 1\nmoveNumber=4294967297\n"
                        "halfMoveClock=-2147483649\n[HTML Settings]\nborderSize=99999999999\n");
                },
                QStringLiteral("8/8/8/8/8/8/8/k6K w - - 0 1"), nullptr }),
        [](const ::testing::TestParamInfo<IniRow>& row) { return std::to_string(row.index); });

    TEST_F(WindowTest, IniWithoutReadPermissionIsKeptAsItWas)
    {
        PermissionBitsApply permissions;
        if (!permissions.active())
            GTEST_SKIP() << "running as root without the right to drop CAP_DAC_OVERRIDE, so the "
                            "permission bits cannot stop this process";
        const std::string ini = path("Pictog.ini");
        writeAll(ini, "[History]\nfenLine=8/8/8/8/8/8/8/k6K w - - 0 1\n");
        ::chmod(ini.c_str(), 0);
        start();
        EXPECT_TRUE(line().isEmpty()) << "the defaults apply";
        paste(InitialLine);
        EXPECT_TRUE(form->close());
        EXPECT_EQ(platform.messages.shown, unreadableMessages(ini, "Permission denied"));
        ::chmod(ini.c_str(), 0600);
        EXPECT_EQ(readAll(ini), "[History]\nfenLine=8/8/8/8/8/8/8/k6K w - - 0 1\n");
    }

    // ---- A program folder nothing can be written to

    struct FolderRow {
        const char* what;
        std::function<QString(const QTemporaryDir&)> make; // the program folder
        const char* error; // the system's error text for a file created there
        bool needsPermissionBits;
    };

    void PrintTo(const FolderRow& row, std::ostream* os)
    {
        *os << row.what;
    }

    class UnwritableProgramFolder : public WindowTest,
                                    public ::testing::WithParamInterface<FolderRow>
    {
    };

    TEST_P(UnwritableProgramFolder, PreviewReportsAndOpensNothingAndClosingStillEnds)
    {
        const FolderRow& row = GetParam();
        PermissionBitsApply permissions;
        if (row.needsPermissionBits && !permissions.active())
            GTEST_SKIP()
                << "running as root without the right to drop CAP_DAC_OVERRIDE; the folder "
                   "reached through a file covers the same path";
        const QString folder = row.make(dir);
        start(folder);
        EXPECT_TRUE(platform.messages.shown.isEmpty());

        child<QPushButton>("BtnPreviewHTML")->click();
        EXPECT_EQ(platform.messages.shown, QStringList({ QString::fromLatin1(row.error) }));
        EXPECT_TRUE(platform.shell.files.isEmpty()) << "nothing is opened";

        platform.messages.shown.clear();
        paste(InitialLine);
        EXPECT_TRUE(form->close());
        EXPECT_EQ(platform.messages.shown,
            QStringList({ QStringLiteral("Cannot create file ") + folder
                + QStringLiteral("/Pictog.ini") }));
        EXPECT_TRUE(folderEntries(ss(folder)).empty());
        form.reset();
    }

    INSTANTIATE_TEST_SUITE_P(Rows, UnwritableProgramFolder,
        ::testing::Values(FolderRow { "read-only folder",
                              [](const QTemporaryDir& d) {
                                  const QString folder = d.filePath(QStringLiteral("program"));
                                  QDir().mkpath(folder);
                                  ::chmod(folder.toUtf8().constData(), 0555);
                                  return folder;
                              },
                              "Permission denied", true },
            FolderRow { "folder path through a file",
                [](const QTemporaryDir& d) {
                    writeAll(ss(d.filePath(QStringLiteral("file"))), "not a folder");
                    return d.filePath(QStringLiteral("file/program"));
                },
                "Not a directory", false }),
        [](const ::testing::TestParamInfo<FolderRow>& row) { return std::to_string(row.index); });

    // ---- Pictures that cannot be saved

    // Makes every file of this process larger than limit bytes fail as on a full disk ("File too
    // large" instead of the signal that would end the process).
    class FileSizeLimit
    {
    public:
        explicit FileSizeLimit(rlim_t limit)
        {
            ::getrlimit(RLIMIT_FSIZE, &m_saved);
            m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit reduced = m_saved;
            reduced.rlim_cur = limit;
            ::setrlimit(RLIMIT_FSIZE, &reduced);
        }
        ~FileSizeLimit()
        {
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
            std::signal(SIGXFSZ, m_oldHandler);
        }

    private:
        rlimit m_saved {};
        void (*m_oldHandler)(int) = nullptr;
    };

    struct SaveRow {
        const char* what;
        std::function<std::string(const std::string& dir)> prepare; // the chosen file
        const char* error;
        bool needsPermissionBits = false;
        bool diskFull = false;
    };

    void PrintTo(const SaveRow& row, std::ostream* os)
    {
        *os << row.what;
    }

    class UnsavablePicture : public WindowTest,
                             public ::testing::WithParamInterface<std::tuple<SaveRow, bool>>
    {
    };

    TEST_P(UnsavablePicture, ShowsTheErrorLeavesNoFileAndKeepsTheLastFolder)
    {
        const auto& [row, png] = GetParam();
        PermissionBitsApply permissions;
        if (row.needsPermissionBits && !permissions.active())
            GTEST_SKIP() << "running as root without the right to drop CAP_DAC_OVERRIDE";
        start();
        paste(InitialLine);
        const std::string remembered = programDir() + "/";
        form->params().setLastSaveDir(remembered);
        const std::string file = row.prepare(programDir());
        const std::string folder = file.substr(0, file.rfind('/'));
        const std::vector<std::string> entriesBefore = folderEntries(folder);
        const std::string oldFile = exists(file) ? readAll(file) : std::string();

        platform.saveDialog.answers << QString::fromStdString(file);
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (row.diskFull)
                limit = std::make_unique<FileSizeLimit>(1000);
            trigger(png ? "MIFileSaveAsPNG" : "MIFileSaveAsBMP");
        }
        EXPECT_EQ(platform.messages.shown, QStringList({ QString::fromLatin1(row.error) }));
        EXPECT_EQ(folderEntries(folder), entriesBefore) << "no partial or temporary file remains";
        if (!oldFile.empty()) {
            EXPECT_TRUE(readAll(file) == oldFile)
                << "an older picture of that name stays as it was";
        }
        EXPECT_EQ(form->params().lastSaveDir(), remembered);
    }

    INSTANTIATE_TEST_SUITE_P(Rows, UnsavablePicture,
        ::testing::Combine(::testing::Values(SaveRow { "read-only folder",
                                                 [](const std::string& d) {
                                                     ::mkdir((d + "/pictures").c_str(), 0555);
                                                     return d + "/pictures/pos.pic";
                                                 },
                                                 "Permission denied", true },
                               SaveRow { "folder vanished after the dialog",
                                   [](const std::string& d) {
                                       ::mkdir((d + "/gone").c_str(), 0755);
                                       ::rmdir((d + "/gone").c_str());
                                       return d + "/gone/pos.pic";
                                   },
                                   "No such file or directory" },
                               SaveRow { "folder path through a file",
                                   [](const std::string& d) {
                                       writeAll(d + "/file", "x");
                                       return d + "/file/pos.pic";
                                   },
                                   "Not a directory" },
                               SaveRow { "full disk, an older picture under the name",
                                   [](const std::string& d) {
                                       ::mkdir((d + "/pictures").c_str(), 0755);
                                       writeAll(d + "/pictures/pos.pic", "an older picture");
                                       return d + "/pictures/pos.pic";
                                   },
                                   "File too large", false, true }),
            ::testing::Bool()),
        [](const ::testing::TestParamInfo<std::tuple<SaveRow, bool>>& row) {
            return std::to_string(row.index / 2) + (std::get<1>(row.param) ? "_png" : "_bmp");
        });

    // ---- Resources

    TEST_F(WindowTest, MissingPieceBitmapIsReportedAndEndsTheStartWithoutACrash)
    {
        resources = [](std::string_view name) -> std::optional<ResourceBytes> {
            if (name == "PIECE5")
                return std::nullopt;
            return findResource(name);
        };
        start();
        EXPECT_EQ(platform.messages.shown, QStringList({ QStringLiteral("Error loading PIECE5") }));
        EXPECT_TRUE(form->terminationRequested()) << "the program then ends";
    }

    TEST_F(WindowTest, CorruptPaletteIconIsReportedAndTheWindowWorks)
    {
        const auto good = findResource("PALETTE3");
        ASSERT_TRUE(good);
        std::vector<unsigned char> cut(good->data, good->data + good->size / 2);
        cut[cut.size() / 3] ^= 0xFF;
        resources = [&cut](std::string_view name) -> std::optional<ResourceBytes> {
            if (name == "PALETTE3")
                return ResourceBytes { cut.data(), cut.size() };
            if (name == "PALETTE5")
                return ResourceBytes { reinterpret_cast<const unsigned char*>("GIF89a"), 6 };
            return findResource(name);
        };
        start();
        EXPECT_EQ(platform.messages.shown,
            QStringList({ QStringLiteral("Error loading PALETTE5"),
                QStringLiteral("Error loading PALETTE3") }));
        EXPECT_FALSE(form->terminationRequested());
        platform.messages.shown.clear();
        paste(InitialLine);
        EXPECT_EQ(line(), InitialLine);
        EXPECT_TRUE(platform.messages.shown.isEmpty());
    }

    // ---- Settings texts that look like commands

    TEST_F(WindowTest, EditorWithShellCharactersStartsNothingButTheNamedFile)
    {
        // A program folder whose name a shell would take apart.
        QTemporaryDir odd(
            QDir::tempPath() + QStringLiteral("/pictog $(touch x); 'q' \"r\" -XXXXXX"));
        ASSERT_TRUE(odd.isValid());
        const QString marker = odd.filePath(QStringLiteral("marker"));
        const QString manual = odd.filePath(QStringLiteral("Pictog.txt"));
        writeAll(ss(manual), "manual");

        // A value that names no file falls back to the default; none of it runs.
        writeAll(ss(odd.filePath(QStringLiteral("Pictog.ini"))),
            "[General]\ntextEditor=touch " + ss(marker) + "; echo\n");
        start(odd.path());
        trigger("MIHelpManual");
        EXPECT_EQ(platform.editor.started, QStringList({ QStringLiteral("xdg-open|") + manual }));
        QtTextEditor().open(QStringLiteral("touch ") + marker + QStringLiteral("; echo"), manual);
        form.reset();

        // An editor file whose own name holds shell characters is started as that file, with the
        // manual as one argument.
        const QString editor = odd.filePath(QStringLiteral("ed; touch marker #"));
        writeAll(ss(editor), "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"$0.args\"\n");
        ::chmod(editor.toUtf8().constData(), 0755);
        writeAll(ss(odd.filePath(QStringLiteral("Pictog.ini"))),
            "[General]\ntextEditor=" + ss(editor) + "\n");
        platform.editor.started.clear();
        start(odd.path());
        trigger("MIHelpManual");
        ASSERT_EQ(platform.editor.started, QStringList({ editor + QLatin1Char('|') + manual }));
        QtTextEditor().open(editor, manual);
        const std::string args = ss(editor) + ".args";
        for (int i = 0; i < 100 && readAll(args).empty(); ++i)
            QThread::msleep(50);
        EXPECT_EQ(readAll(args), "1\n" + ss(manual) + "\n");
        EXPECT_FALSE(QFile::exists(marker));
        EXPECT_FALSE(QFile::exists(odd.filePath(QStringLiteral("x"))));
        EXPECT_FALSE(QFile::exists(QStringLiteral("marker")));
        EXPECT_FALSE(QFile::exists(QStringLiteral("x")));
    }

    // Records what the desktop's opener would have been asked to open.
    class OpenedUrls : public QObject
    {
        Q_OBJECT
    public:
        QList<QUrl> urls;
    public slots:
        void open(const QUrl& url) { urls << url; }
    };

    struct UrlRow {
        const char* key;
        const char* value;
        const char* opened; // the URL the opener receives; null: refused with a message
    };

    TEST_F(WindowTest, AddressesFromTheIniReachTheOpenerOnlyAsWebAddresses)
    {
        const UrlRow rows[] = {
            { "urlPGNStandard", "https://example.org/pgn.htm", "https://example.org/pgn.htm" },
            { "urlEPDStandard", "www.example.org/epd", "http://www.example.org/epd" },
            // A bare word is a host name to the browser, never a command.
            { "urlCCCForum", "calc", "http://calc" },
            { "urlChessBitsForum", "file:///etc/passwd", nullptr },
            { "urlCSSForum", "/usr/bin/xterm", nullptr },
            { "urlFCPForum", "touch /tmp/pictog-url-marker; echo", nullptr },
            { "urlWinBoardForum", "javascript:alert(1)", nullptr },
        };
        const char* actions[] = { "MIHelpWWWPGNStandard", "MIHelpWWWFENEPDStandard",
            "MIHelpWWWCCCForum", "MIHelpWWWChessBitsForum", "MIHelpWWWCSSForum",
            "MIHelpWWWFCPForum", "MIHelpWWWWinBoardForum" };
        std::string ini = "[Standard URLs]\n";
        for (const UrlRow& row : rows)
            ini += std::string(row.key) + "=" + row.value + "\n";
        writeAll(path("Pictog.ini"), ini);
        start();

        // The handlers stand in for the desktop for every scheme involved, so nothing is started.
        OpenedUrls opener;
        const char* schemes[] = { "http", "https", "file", "javascript" };
        for (const char* scheme : schemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &opener, "open");
        QtShell shell;
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            SCOPED_TRACE(rows[i].key);
            platform.shell.urls.clear();
            platform.messages.shown.clear();
            opener.urls.clear();
            trigger(actions[i]);
            const QString value = QString::fromLatin1(rows[i].value);
            if (rows[i].opened) {
                EXPECT_EQ(platform.shell.urls, QStringList({ value }));
                EXPECT_TRUE(platform.messages.shown.isEmpty());
            } else {
                EXPECT_TRUE(platform.shell.urls.isEmpty());
                EXPECT_EQ(platform.messages.shown,
                    QStringList({ QStringLiteral("Not a web address: ") + value }));
            }
            // The real adapter turns the text into a URL, or drops it.
            shell.openUrl(value);
            EXPECT_EQ(opener.urls,
                rows[i].opened ? QList<QUrl>({ QUrl(QString::fromLatin1(rows[i].opened)) })
                               : QList<QUrl>());
        }
        for (const char* scheme : schemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/pictog-url-marker")));
    }

    // ---- Twenty copies at once

    // True when some process holds a flock on the file, read from /proc/locks.
    bool flockHeldOn(const QString& path)
    {
        struct stat info {
        };
        if (::stat(path.toUtf8().constData(), &info) != 0)
            return false;
        QFile locks(QStringLiteral("/proc/locks"));
        if (!locks.open(QIODevice::ReadOnly))
            return false;
        const QByteArray suffix = ":" + QByteArray::number(static_cast<qulonglong>(info.st_ino));
        for (const QByteArray& entry : locks.readAll().split('\n')) {
            const QList<QByteArray> fields = entry.simplified().split(' ');
            if (fields.size() > 5 && fields[1] == "FLOCK" && fields[5].endsWith(suffix))
                return true;
        }
        return false;
    }

    TEST(TwentyCopies, ExactlyOneSurvivesTheOthersEndSilentlyAndTheNextStartRuns)
    {
        QTemporaryDir runtime;
        QTemporaryDir programDir;
        const QString program = programDir.filePath(QStringLiteral("pictog"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(PICTOG_BIN_DIR "/pictog"), program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString lockFile = runtime.filePath(QStringLiteral("Pictog_V1.0"));

        std::vector<std::unique_ptr<QProcess>> copies;
        for (int i = 0; i < 20; ++i) {
            copies.push_back(std::make_unique<QProcess>());
            copies.back()->setProcessEnvironment(env);
            copies.back()->start(program, {});
        }
        for (auto& copy : copies)
            ASSERT_TRUE(copy->waitForStarted(30000));

        // Nineteen end by themselves; the last one keeps running with the guard.
        QElapsedTimer timer;
        timer.start();
        auto running = [&copies] {
            int count = 0;
            for (auto& copy : copies)
                count += copy->state() != QProcess::NotRunning;
            return count;
        };
        while (running() > 1 && timer.elapsed() < 60000) {
            for (auto& copy : copies)
                if (copy->state() != QProcess::NotRunning)
                    copy->waitForFinished(20);
        }
        ASSERT_EQ(running(), 1);
        QProcess* survivor = nullptr;
        for (auto& copy : copies) {
            if (copy->state() != QProcess::NotRunning) {
                survivor = copy.get();
                continue;
            }
            EXPECT_EQ(copy->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(copy->exitCode(), 0);
            EXPECT_TRUE(copy->readAllStandardOutput().isEmpty());
            EXPECT_TRUE(copy->readAllStandardError().isEmpty());
        }
        ASSERT_NE(survivor, nullptr);
        // It stays: a second later it still runs and holds the guard.
        EXPECT_FALSE(survivor->waitForFinished(1000));
        EXPECT_TRUE(flockHeldOn(lockFile));

        survivor->kill();
        ASSERT_TRUE(survivor->waitForFinished(10000));
        QProcess next;
        next.setProcessEnvironment(env);
        next.start(program, {});
        ASSERT_TRUE(next.waitForStarted(30000));
        bool taken = false;
        for (int i = 0; i < 300 && !taken; ++i) {
            ASSERT_FALSE(next.waitForFinished(100))
                << "the new copy ended: " << next.readAllStandardError().constData();
            taken = flockHeldOn(lockFile);
        }
        EXPECT_TRUE(taken) << "the new copy runs and holds the guard";
        next.kill();
        next.waitForFinished(10000);
    }

} // namespace
} // namespace pictog::gui::test

#include "robustness_gui_test.moc"
