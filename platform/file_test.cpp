#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/testing/scratch.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class FileTest : public testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    Text PathText(const std::string& name) const { return Latin1Text(Path(name)); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Returns the names in the folder, so that a test can see that no temporary file is left.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    ScratchFolder scratch_;
    const std::string& folder_ = scratch_.path();
};

TEST_F(FileTest, TypeTellsFilesFromFoldersAndOthers) {
    Write("file", "x");
    fs::create_directory(Path("folder"));
    fs::create_symlink(Path("file"), Path("link"));
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);

    EXPECT_EQ(FileType(PathText("missing")), FileNone);
    EXPECT_EQ(FileType(PathText("file")), FileRegular);
    EXPECT_EQ(FileType(PathText("folder")), FileFolder);
    EXPECT_EQ(FileType(PathText("link")), FileRegular);
    EXPECT_EQ(FileType(PathText("pipe")), FileNone);
    EXPECT_EQ(FileType(PathText("file/below")), FileNone);
}

TEST_F(FileTest, MakeFolderMakesOneFolderAndTurnsBackslashes) {
    Write("file", "x");
    fs::create_directory(Path("existing"));

    EXPECT_TRUE(MakeFolder(PathText("new")));
    EXPECT_TRUE(fs::is_directory(Path("new")));
    EXPECT_TRUE(MakeFolder(PathText("existing")));
    EXPECT_FALSE(MakeFolder(PathText("file")));
    EXPECT_FALSE(MakeFolder(PathText("no/parent")));
    EXPECT_FALSE(fs::exists(Path("no")));

    EXPECT_TRUE(MakeFolder(PathText("new") + u"\\inner"));
    EXPECT_TRUE(fs::is_directory(Path("new/inner")));
    EXPECT_EQ(FileType(PathText("new") + u"\\inner"), FileFolder);
}

struct LinesCase {
    const char* name;
    std::string bytes;
    std::vector<Text> lines;  // The first lines read, in order.
};

TEST_F(FileTest, ReadLineFollowsTheReadingRules) {
    const LinesCase cases[] = {
        {"CR LF and LF alone", "a\r\nb\nc", {u"a", u"b", u"c", u""}},
        {"CR anywhere is dropped", "1\r2\r\r\n\r", {u"12", u"", u""}},
        {"NUL ends a line", std::string("x\0y\n", 4), {u"x", u"y", u""}},
        {"empty file", "", {u"", u"", u""}},
        {"empty lines", "\n\n", {u"", u"", u""}},
        {"bytes are characters", "\xff\xe9\x80\n", {u"\u00ff\u00e9\u0080", u""}},
        {"no length limit", std::string(3 << 20, '7') + "\n8", {Text(3 << 20, u'7'), u"8", u""}},
        {"CR LF split between reads",
         std::string(4095, '5') + "\r\n6",
         {Text(4095, u'5'), u"6", u""}},
    };
    for (const LinesCase& c : cases) {
        SCOPED_TRACE(c.name);
        Write("lines", c.bytes);
        FileStream* stream = OpenRead(PathText("lines"));
        ASSERT_NE(stream, nullptr);
        for (const Text& expected : c.lines) EXPECT_EQ(ReadLine(stream), expected);
        CloseFile(stream);
    }
}

TEST_F(FileTest, OpenReadRefusesWhatIsNoRegularFile) {
    fs::create_directory(Path("folder"));
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);

    EXPECT_EQ(OpenRead(PathText("missing")), nullptr);
    EXPECT_EQ(OpenRead(PathText("folder")), nullptr);
    EXPECT_EQ(OpenRead(PathText("pipe")), nullptr);  // Refused at once, not waited on.
}

TEST_F(FileTest, CommitReplacesTheFileWithLowBytesAndCrLf) {
    Write("settings", "old content\r\n");
    fs::permissions(Path("settings"), fs::perms::owner_read);

    FileStream* stream = OpenReplacement(PathText("settings"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(Read("settings"), "old content\r\n");  // Untouched until the commit.
    EXPECT_TRUE(WriteLine(stream, u"8088"));
    EXPECT_TRUE(WriteLine(stream, u""));
    EXPECT_TRUE(WriteLine(stream, u"\u0141\u00ff-"));  // Only the low byte of each character.
    ASSERT_TRUE(CommitReplacement(stream));

    EXPECT_EQ(Read("settings"), "8088\r\n\r\nA\xff-\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"settings"});
    // A fresh file, writable again, with the mode a newly created file gets.
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(Path("settings")).permissions()), 0666 & ~mask);
}

TEST_F(FileTest, ReplacementMakesAMissingFileAndTurnsBackslashes) {
    fs::create_directory(Path("folder"));
    FileStream* stream = OpenReplacement(PathText("folder") + u"\\new");
    ASSERT_NE(stream, nullptr);
    WriteLine(stream, u"1");
    ASSERT_TRUE(CommitReplacement(stream));
    EXPECT_EQ(Read("folder/new"), "1\r\n");
}

TEST_F(FileTest, AbandonLeavesTheOldFile) {
    Write("settings", "old");
    FileStream* stream = OpenReplacement(PathText("settings"));
    ASSERT_NE(stream, nullptr);
    WriteLine(stream, u"new");
    AbandonReplacement(stream);
    EXPECT_EQ(Read("settings"), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"settings"});
}

TEST_F(FileTest, NoReplacementOfAFolderOrInAMissingFolder) {
    fs::create_directory(Path("folder"));
    EXPECT_EQ(OpenReplacement(PathText("folder")), nullptr);
    EXPECT_EQ(OpenReplacement(PathText("missing/file")), nullptr);
    EXPECT_EQ(Names(), std::vector<std::string>{"folder"});
    EXPECT_TRUE(fs::is_empty(Path("folder")));
}

TEST_F(FileTest, FailedRenameRemovesTheTemporary) {
    FileStream* stream = OpenReplacement(PathText("target"));
    ASSERT_NE(stream, nullptr);
    WriteLine(stream, u"1");
    fs::create_directory(Path("target"));  // A folder took the file's place meanwhile.
    EXPECT_FALSE(CommitReplacement(stream));
    EXPECT_EQ(Names(), std::vector<std::string>{"target"});
    EXPECT_TRUE(fs::is_directory(Path("target")));
}

// Lowers the process's file size limit for one test, so that writes fail as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);  // The write fails instead of killing us.
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
};

struct WriteFailureCase {
    const char* name;
    Text line;  // Written twice.
    bool lineRefused;
};

TEST_F(FileTest, WriteErrorsKeepTheOldFileWhole) {
    const WriteFailureCase cases[] = {
        {"failure seen at the commit", u"0123456789", false},
        {"failure seen by WriteLine", Text(1 << 17, u'9'), true},
    };
    const std::string old = "8088\r\n100\r\n50\r\n480\r\n640\r\n0\r\n";
    for (const WriteFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Write("settings", old);
        bool allWritten = true;
        {
            const FileSizeLimit limit(8);
            FileStream* stream = OpenReplacement(PathText("settings"));
            ASSERT_NE(stream, nullptr);
            allWritten = WriteLine(stream, c.line);
            allWritten = WriteLine(stream, c.line) && allWritten;
            EXPECT_FALSE(CommitReplacement(stream));
        }
        EXPECT_EQ(allWritten, !c.lineRefused);
        EXPECT_EQ(Read("settings"), old);
        EXPECT_EQ(Names(), std::vector<std::string>{"settings"});
    }
}

}  // namespace
