// The one writer of files and the one quoting of names and input in messages.
#include "settings/file_writer.h"
#include "settings/message_quote.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pictog {
namespace {

    TEST(MessageQuoteTest, ControlBytesEscapedAndLongItemsShortened)
    {
        const std::string sixtyOne(61, 'a');
        const struct {
            std::string text;
            QuoteLength length;
            std::string quoted;
        } cases[] = {
            { "e2e4 \xc3\xa9\xe2\x80\xa6", QuoteLength::Shortened, "e2e4 \xc3\xa9\xe2\x80\xa6" },
            { "a\x1b[2Jb\t", QuoteLength::Shortened, "a\\x1b[2Jb\\x09" },
            { "del\x7f", QuoteLength::Shortened, "del\\x7f" },
            { "csi\xc2\x9b!", QuoteLength::Shortened, "csi\\xc2\\x9b!" }, // C1 as UTF-8
            { "lone\x9b!", QuoteLength::Shortened, "lone\\x9b!" }, // C1 as one byte
            { "\xc4\x9b", QuoteLength::Shortened, "\xc4\x9b" }, // 0x9B inside a character
            { "latin\xe9", QuoteLength::Shortened, "latin\xe9" }, // not UTF-8, but no control
            { sixtyOne, QuoteLength::Shortened, std::string(60, 'a') + "\xe2\x80\xa6" },
            { std::string(60, 'a'), QuoteLength::Shortened, std::string(60, 'a') },
            { sixtyOne, QuoteLength::Whole, sixtyOne },
            { std::string(59, 'a') + "\xc3\xa9\xc3\xa9", QuoteLength::Shortened,
                std::string(59, 'a') + "\xc3\xa9\xe2\x80\xa6" }, // never cuts a character
            { std::string(59, 'a') + "\x01\x02", QuoteLength::Shortened,
                std::string(59, 'a') + "\\x01\xe2\x80\xa6" },
        };
        for (const auto& c : cases)
            EXPECT_EQ(quoteForMessage(c.text, c.length), c.quoted) << c.text;
        // A 120 KB item gives a short message.
        EXPECT_LT(quoteForMessage(std::string(120000, 'Z')).size(), 70u);
    }

    class FileWriterTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            char pattern[] = "/tmp/pictog-writer-XXXXXX";
            ASSERT_NE(::mkdtemp(pattern), nullptr);
            dir = pattern;
        }
        void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

        std::string read(const std::string& name) const
        {
            std::ifstream in(dir + "/" + name, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            return text.str();
        }
        void write(const std::string& name, const std::string& text) const
        {
            std::ofstream(dir + "/" + name, std::ios::binary) << text;
        }
        // The names in the folder, sorted, to see that no temporary file is left.
        std::string listing() const
        {
            FILE* ls = ::popen(("ls -A '" + dir + "'").c_str(), "r");
            std::string names;
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, ls))
                names += buffer;
            ::pclose(ls);
            return names;
        }

        std::string dir;
        FileSystem files;
    };

    TEST_F(FileWriterTest, RegularFileReplacedWithItsModeThroughTheLink)
    {
        write("old", "old text");
        ASSERT_EQ(::chmod((dir + "/old").c_str(), 0666), 0);
        ASSERT_EQ(::symlink("old", (dir + "/link").c_str()), 0);
        const mode_t mask = ::umask(022);
        EXPECT_EQ(writeWholeFile(files, dir + "/link", "new"), "");
        EXPECT_EQ(writeWholeFile(files, dir + "/fresh", "fresh"), "");
        ::umask(mask);
        struct stat info {
        };
        ASSERT_EQ(::lstat((dir + "/link").c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode));
        ASSERT_EQ(::stat((dir + "/old").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0666u); // kept, not narrowed by the umask
        ASSERT_EQ(::stat((dir + "/fresh").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0644u); // a new file follows the umask
        EXPECT_EQ(read("old"), "new");
        EXPECT_EQ(listing(), "fresh\nlink\nold\n");
    }

    TEST_F(FileWriterTest, FifoIsStreamedAndNeverReplaced)
    {
        const std::string fifo = dir + "/fifo";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::string received;
        std::thread reader([&] {
            std::ifstream in(fifo, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            received = text.str();
        });
        EXPECT_EQ(writeWholeFile(files, fifo, "through the pipe"), "");
        reader.join();
        EXPECT_EQ(received, "through the pipe");
        struct stat info {
        };
        ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
        EXPECT_EQ(listing(), "fifo\n");
    }

    TEST_F(FileWriterTest, FailureOrAbandonKeepsTheOldFileAndLeavesNoTemporary)
    {
        write("keep", "old");
        {
            FileWriter writer(files);
            ASSERT_EQ(writer.open(dir + "/keep"), "");
            EXPECT_TRUE(writer.write("half of it"));
            EXPECT_EQ(listing().find("keep.tmp") != std::string::npos, true);
            writer.abandon();
        }
        {
            FileWriter writer(files);
            ASSERT_EQ(writer.open(dir + "/keep"), "");
            EXPECT_TRUE(writer.write("never committed"));
        }
        {
            FileWriter writer(files);
            ASSERT_EQ(writer.open(dir + "/keep"), "");
            ::close(writer.descriptor()); // every later step fails
            EXPECT_FALSE(writer.write("lost"));
            EXPECT_NE(writer.commit(), "");
        }
        ASSERT_EQ(::mkdir((dir + "/folder").c_str(), 0755), 0);
        EXPECT_EQ(writeWholeFile(files, dir + "/folder", "x"), "Is a directory");
        EXPECT_EQ(read("keep"), "old");
        EXPECT_EQ(listing(), "folder\nkeep\n");
    }

} // namespace
} // namespace pictog
