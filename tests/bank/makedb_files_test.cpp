// The build's database step and the files SQLite keeps beside the database: a
// rebuild keeps commits that still sit in the log, and a newly made database
// never meets the log or journal of the one it replaces.
#include "platform/database.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace fs = std::filesystem;
using plat::Database;

namespace {

const fs::path kData = PEMU_DATA_DIR;

std::string MakeDb(const fs::path& db, bool fresh) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList args{QString::fromStdString(kData.string()), QString::fromStdString(db.string())};
    if (fresh) args << "--fresh";
    p.start(MAKEDB_EXE, args);
    EXPECT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    return p.readAll().toStdString();
}

long long Users(const fs::path& db) { return Database::Open(db).Scalar("SELECT count(*) FROM User").toInt(); }

// A log with one user's commit in it, as a program killed after the commit
// leaves it: copied while the connection is open, put back after it closed.
void LeaveALogBehind(const fs::path& db) {
    const auto companions = Database::CompanionFiles(db);
    fs::path walCopy = db;
    walCopy += ".walcopy";
    fs::path shmCopy = db;
    shmCopy += ".shmcopy";
    {
        Database d = Database::Open(db);
        d.Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)", {"kim", "Kim Lee", "NA", "NA"});
        fs::copy_file(companions[0], walCopy);
        fs::copy_file(companions[1], shmCopy);
    }
    fs::rename(walCopy, companions[0]);
    fs::rename(shmCopy, companions[1]);
}

}  // namespace

TEST(MakeDbFiles, ARebuildWhileTheProgramRunsKeepsCommitsInTheLog) {
    QTemporaryDir dir;
    const fs::path db = fs::path(dir.path().toStdString()) / "PEMUV2.0.db";
    MakeDb(db, false);
    Database running = Database::Open(db);
    running.Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)", {"kim", "Kim Lee", "NA", "NA"});
    ASSERT_TRUE(fs::exists(Database::CompanionFiles(db)[0]));
    EXPECT_NE(MakeDb(db, false).find("kept"), std::string::npos);
    EXPECT_EQ(Users(db), 1);
    running.Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)", {"ann", "Ann Ray", "NA", "NA"});
    EXPECT_EQ(Users(db), 2) << "the running connection's commits stopped reaching the file";
}

TEST(MakeDbFiles, AFreshDatabaseNeverMeetsTheOldLog) {
    QTemporaryDir dir;
    const fs::path db = fs::path(dir.path().toStdString()) / "PEMUV2.0.db";
    MakeDb(db, false);
    LeaveALogBehind(db);
    MakeDb(db, true);
    for (const fs::path& p : Database::CompanionFiles(db)) EXPECT_FALSE(fs::exists(p)) << p;
    EXPECT_EQ(Users(db), 0) << "the old log was read into the fresh database";
    EXPECT_EQ(Database::Open(db).Scalar("PRAGMA integrity_check").toString(), "ok");
}

// Deleting the database to start again, as the README says, may leave its log.
TEST(MakeDbFiles, ADeletedDatabasesLeftoverLogIsNotReadIntoItsSuccessor) {
    QTemporaryDir dir;
    const fs::path db = fs::path(dir.path().toStdString()) / "PEMUV2.0.db";
    MakeDb(db, false);
    LeaveALogBehind(db);
    fs::remove(db);
    EXPECT_NE(MakeDb(db, false).find("built"), std::string::npos);
    EXPECT_EQ(Users(db), 0) << "the old log was read into the new database";
    EXPECT_EQ(Database::Open(db).Scalar("PRAGMA integrity_check").toString(), "ok");
}
