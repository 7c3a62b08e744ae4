// The single-instance guard, in this process and against real copies of the desktop program.
#include "single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace pictog::gui::test {
namespace {

    // Sets an environment variable for one test and restores it afterwards.
    class ScopedEnv
    {
    public:
        ScopedEnv(const char* name, const char* value)
            : m_name(name)
        {
            if (const char* old = std::getenv(name))
                m_old = old;
            if (value)
                ::setenv(name, value, 1);
            else
                ::unsetenv(name);
        }
        ~ScopedEnv()
        {
            if (m_old)
                ::setenv(m_name, m_old->c_str(), 1);
            else
                ::unsetenv(m_name);
        }
        ScopedEnv(const ScopedEnv&) = delete;
        ScopedEnv& operator=(const ScopedEnv&) = delete;

    private:
        const char* m_name;
        std::optional<std::string> m_old;
    };

    TEST(SingleInstanceGuardTest, LockFileLivesInTheRuntimeFolderElseTheTemporaryOne)
    {
        QTemporaryDir runtime;
        QTemporaryDir temp;
        const std::string uid = std::to_string(::getuid());
        const std::string runtimePath = runtime.path().toStdString();
        const std::string tempPath = temp.path().toStdString();
        struct Row {
            const char* runtime;
            const char* tmpdir;
            std::string expected;
        } rows[] = {
            { runtimePath.c_str(), tempPath.c_str(), runtimePath + "/Pictog_V1.0" },
            { nullptr, tempPath.c_str(), tempPath + "/Pictog_V1.0-" + uid },
            { "", tempPath.c_str(), tempPath + "/Pictog_V1.0-" + uid },
            { "/no/such/folder", tempPath.c_str(), tempPath + "/Pictog_V1.0-" + uid },
            { nullptr, nullptr, "/tmp/Pictog_V1.0-" + uid },
        };
        for (const Row& row : rows) {
            ScopedEnv xdg("XDG_RUNTIME_DIR", row.runtime);
            ScopedEnv tmp("TMPDIR", row.tmpdir);
            EXPECT_EQ(SingleInstanceGuard::lockFilePath("Pictog_V1.0"), row.expected);
        }
    }

    TEST(SingleInstanceGuardTest, OneHolderAtATime)
    {
        QTemporaryDir runtime;
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData());
        SingleInstanceGuard first("Pictog_V1.0");
        SingleInstanceGuard second("Pictog_V1.0");
        ASSERT_TRUE(first.acquire());
        EXPECT_TRUE(first.held());
        EXPECT_FALSE(second.acquire());
        first.release();
        EXPECT_TRUE(second.acquire());
    }

    // True when some process holds a flock on the file, read from /proc/locks without touching the
    // lock itself (probing with flock could make a starting copy think another one runs).
    bool flockHeldOn(const QString& path)
    {
        struct stat info {
        };
        if (::stat(path.toUtf8().constData(), &info) != 0)
            return false;
        QFile locks("/proc/locks");
        if (!locks.open(QIODevice::ReadOnly))
            return false;
        const QByteArray suffix = ":" + QByteArray::number(static_cast<qulonglong>(info.st_ino));
        for (const QByteArray& line : locks.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 5 && fields[1] == "FLOCK" && fields[5].endsWith(suffix))
                return true;
        }
        return false;
    }

    class SecondCopyTest : public ::testing::Test
    {
    protected:
        QTemporaryDir runtime;
        QTemporaryDir programDir;
        QString program;

        void SetUp() override
        {
            program = programDir.filePath("pictog");
            ASSERT_TRUE(QFile::copy(QStringLiteral(PICTOG_BIN_DIR "/pictog"), program));
        }

        void startCopy(QProcess& process,
            const QStringList& arguments = { QStringLiteral("--some"), QStringLiteral("argument") })
        {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_RUNTIME_DIR", runtime.path());
            env.insert("QT_QPA_PLATFORM", "offscreen");
            process.setProcessEnvironment(env);
            process.start(program, arguments);
            ASSERT_TRUE(process.waitForStarted(10000));
        }
    };

    TEST_F(SecondCopyTest, EndsAtOnceSilentlyWhileAnotherCopyRuns)
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData());
        SingleInstanceGuard running("Pictog_V1.0");
        ASSERT_TRUE(running.acquire());

        QProcess second;
        startCopy(second);
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(second.readAllStandardError().isEmpty());
        EXPECT_FALSE(QFile::exists(programDir.filePath("Pictog.ini")));
    }

    // Qt's own options never reach Qt: a platform plugin that does not exist would end the start
    // at once, so a copy that runs on shows the arguments were ignored (QT_QPA_PLATFORM counts).
    TEST_F(SecondCopyTest, QtOptionsOnTheCommandLineAreIgnored)
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData());
        QProcess copy;
        startCopy(copy, { "-platform", "no-such-platform", "-reverse", "-style", "nothing" });
        const QString lockFile
            = QString::fromStdString(SingleInstanceGuard::lockFilePath("Pictog_V1.0"));
        bool up = false;
        for (int i = 0; i < 300 && !up; ++i) {
            ASSERT_FALSE(copy.waitForFinished(100)) << copy.readAllStandardError().constData();
            up = flockHeldOn(lockFile);
        }
        // Give Qt the time to open its platform plugin, which comes after the guard.
        EXPECT_FALSE(copy.waitForFinished(1500)) << copy.readAllStandardError().constData();
        copy.kill();
        copy.waitForFinished(10000);
    }

    TEST_F(SecondCopyTest, ARunningCopyHoldsTheGuardAndACrashReleasesIt)
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData());
        QProcess first;
        startCopy(first);
        // Wait until the copy has taken the guard; it then runs until it is killed.
        const QString lockFile
            = QString::fromStdString(SingleInstanceGuard::lockFilePath("Pictog_V1.0"));
        bool taken = false;
        for (int i = 0; i < 300 && !taken; ++i) {
            ASSERT_FALSE(first.waitForFinished(100)) << first.readAllStandardError().constData();
            taken = flockHeldOn(lockFile);
        }
        ASSERT_TRUE(taken) << "the running copy holds the guard";
        SingleInstanceGuard probe("Pictog_V1.0");
        EXPECT_FALSE(probe.acquire());
        first.kill();
        ASSERT_TRUE(first.waitForFinished(10000));
        EXPECT_TRUE(probe.acquire())
            << "a killed copy leaves nothing behind that blocks the next start";
    }

} // namespace
} // namespace pictog::gui::test
