// Writing a file whole and reading only plain files of a bounded size: what a
// result file and the console file rely on when the disk fails or a special
// file stands in the way.
#include "platform/safefile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/stat.h>

namespace fs = std::filesystem;
using plat::Existing;
using plat::FileRead;

namespace {

class SafeFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    fs::path Path(const char* name) const { return fs::path(dir.path().toStdString()) / name; }
    static std::string Bytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

}  // namespace

TEST_F(SafeFileTest, WritesWholeReplacingOrKeepingWhatStands) {
    const fs::path target = Path("a.txt"), temp = Path("a.txt.part");
    ASSERT_TRUE(plat::WriteWhole(target, "first", temp, Existing::Keep));
    EXPECT_EQ(Bytes(target), "first");
    EXPECT_FALSE(fs::exists(temp));

    const plat::FileStep kept = plat::WriteWhole(target, "second", temp, Existing::Keep);
    EXPECT_FALSE(kept);
    EXPECT_FALSE(kept.reason.isEmpty());
    EXPECT_EQ(Bytes(target), "first");
    EXPECT_FALSE(fs::exists(temp));

    ASSERT_TRUE(plat::WriteWhole(target, "third", temp, Existing::Replace));
    EXPECT_EQ(Bytes(target), "third");
    EXPECT_FALSE(fs::exists(temp));
}

TEST_F(SafeFileTest, AFailedWriteNamesItsReason) {
    const fs::path target = Path("missing/a.txt");
    const plat::FileStep step = plat::WriteWhole(target, "x", Path("missing/a.txt.part"), Existing::Replace);
    EXPECT_FALSE(step);
    EXPECT_EQ(step.reason, QString::fromLocal8Bit(std::strerror(ENOENT)));

    const std::string longName(300, 'n');
    const plat::FileStep tooLong =
        plat::WriteWhole(Path("b.txt"), "x", fs::path(dir.path().toStdString()) / longName, Existing::Replace);
    EXPECT_EQ(tooLong.reason, QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)));
}

TEST_F(SafeFileTest, ReadsOnlyPlainFilesWithinTheLimit) {
    const fs::path file = Path("r.txt");
    ASSERT_TRUE(plat::WriteWhole(file, "12345", Path("r.tmp"), Existing::Replace));
    FileRead r = plat::ReadRegularFile(file, 5);
    EXPECT_EQ(r.status, FileRead::Status::Read);
    EXPECT_EQ(r.bytes, "12345");
    EXPECT_EQ(plat::ReadRegularFile(file, 4).status, FileRead::Status::TooLarge);
    EXPECT_EQ(plat::ReadRegularFile(Path("none"), 5).status, FileRead::Status::Missing);
    EXPECT_EQ(plat::ReadRegularFile(fs::path(dir.path().toStdString()), 5).status, FileRead::Status::NotAFile);

    // A pipe with no writer would block an ordinary open for good.
    const fs::path fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(plat::ReadRegularFile(fifo, 1 << 20).status, FileRead::Status::NotAFile);

    // An endless device behind a link is refused before a byte is read.
    const fs::path zero = Path("zero");
    fs::create_symlink("/dev/zero", zero);
    EXPECT_EQ(plat::ReadRegularFile(zero, 1 << 20).status, FileRead::Status::NotAFile);
}

TEST_F(SafeFileTest, ALeftoverTemporaryNameIsNeverWrittenThrough) {
    const fs::path target = Path("c.txt"), temp = Path("c.tmp"), other = Path("other.txt");
    // A second name of another file: writing through it would empty that file.
    ASSERT_TRUE(plat::WriteWhole(other, "keep me", Path("o.tmp"), Existing::Replace));
    fs::create_hard_link(other, temp);
    ASSERT_TRUE(plat::WriteWhole(target, "new", temp, Existing::Replace));
    EXPECT_EQ(Bytes(other), "keep me");
    EXPECT_EQ(Bytes(target), "new");

    // A pipe with no reader would hold an ordinary open for good.
    ASSERT_EQ(::mkfifo(temp.c_str(), 0600), 0);
    ASSERT_TRUE(plat::WriteWhole(target, "newer", temp, Existing::Replace));
    EXPECT_EQ(Bytes(target), "newer");
    EXPECT_FALSE(fs::exists(temp));
}
