// The data layer against a real copy of the shipped database: the Jet forms the
// windows write, case-insensitive text, bound values, flags and failures.
#include "exam/examrun.h"
#include "platform/database.h"
#include "startup/module1.h"
#include "support/fixture.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

using plat::Database;
using plat::DbError;

namespace {

class DatabaseTest : public pemu_test::ProgramTest {
protected:
    Database& db() { return *gcnExam; }
};

}  // namespace

TEST_F(DatabaseTest, JetDeleteFormsEmptyTheirTables) {
    db().Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {1, 3});
    db().Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {4, 0});
    db().Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {5, 0});
    db().Execute("DELETE * from AnsSelected");
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AnsSelected").toInt(), 0);
    db().Execute("Delete QId from BookMark where QId = ?", {4});
    EXPECT_EQ(db().Scalar("SELECT count (*) FROM BookMark").toInt(), 1);
    EXPECT_EQ(db().Scalar("SELECT Count (*) FROM BookMark where QId = 5 ").toInt(), 1);
}

TEST_F(DatabaseTest, BareAndBracketedNamesInAnyCase) {
    db().Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {1, 7});
    db().Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {2, 3});
    auto rs = db().OpenRecordset("SELECT [QuestIds].[Qid], Index FROM QuestIds order by Index ");
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Fields("QId").toInt(), 7);
    EXPECT_EQ(rs.Fields("qid").toInt(), 7);
    EXPECT_EQ(rs.Fields("INDEX").toInt(), 1);
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(0).toInt(), 3);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    // A row inserted with Index and QId only keeps the defaults of the other columns.
    auto row = db().OpenRecordset("SELECT DiffLvl, Attempted, ExamQIdsOrder FROM QuestIds where Index = 1");
    EXPECT_TRUE(row.Fields("DiffLvl").isNull());
    EXPECT_EQ(row.Fields("Attempted").toInt(), 0);
    EXPECT_EQ(row.Fields("ExamQIdsOrder").toInt(), 0);
}

TEST_F(DatabaseTest, InnerJoinWithBracketsAndOrderBy) {
    auto rs = db().OpenRecordset(
        "SELECT [Categories].[CatName], [Questions].[QId], [Questions].[DiffLevel] FROM Categories INNER JOIN "
        "Questions ON [Categories].[Index]=[Questions].[CatInd] Order By [Categories].[Index], [Questions].[QId]  ");
    ASSERT_GT(rs.RecordCount(), 0);
    EXPECT_FALSE(rs.Fields("CatName").toString().empty());
}

TEST_F(DatabaseTest, TextComparesWithoutLetterCase) {
    db().Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)  ", {"Alice", "Alice Smith", "NA", "NA"});
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM User where Uname = ? ", {"ALICE"}).toInt(), 1);
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM User where Uname = 'alice' ").toInt(), 1);
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AdminLogin where Uname = ? and Pwd = ?  ", {"NORVI", "KELM"}).toInt(), 1);
}

TEST_F(DatabaseTest, ValuesAreBoundNeverJoined) {
    db().Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)  ",
                 {"O'Brien", "Pat O'Brien", "NA", "NA"});
    EXPECT_EQ(db().Scalar("SELECT Name FROM User where Uname = ? ", {"o'brien"}).toString(), "Pat O'Brien");
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM User where Uname = ? ", {"x' OR '1'='1"}).toInt(), 0);
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AdminLogin where Uname = ? and Pwd = ?  ",
                          {"norvi", "' OR ''='"}).toInt(), 0);
}

TEST_F(DatabaseTest, FlagsReadBackTrueForAnyNonZero) {
    db().Execute("UPDATE AdminConfig SET LearnMode = ?, ExamMode = ? where Index = 1", {1, 0});
    auto rs = db().OpenRecordset("SELECT LearnMode, ExamMode FROM AdminConfig where Index = 1 ");
    EXPECT_EQ(rs.Fields("LearnMode").toInt(), -1);
    EXPECT_EQ(rs.Fields("ExamMode").toInt(), 0);
    db().Execute("UPDATE AdminConfig SET Review = true, Previous = false");
    rs = db().OpenRecordset("SELECT Review, Previous FROM AdminConfig");
    EXPECT_EQ(rs.Fields("Review").toInt(), -1);
    EXPECT_EQ(rs.Fields("Previous").toInt(), 0);
    // Exactly one configuration row, read either way.
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AdminConfig").toInt(), 1);
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AdminDef where Index = 1").toInt(), 1);
}

TEST_F(DatabaseTest, DateAndTimeLiterals) {
    db().Execute("INSERT INTO ResultsBrief (Index,ExDate,ExTime) VALUES (1,#3/7/2026#,#14:05:09#)");
    auto rs = db().OpenRecordset("SELECT ExDate, ExTime FROM ResultsBrief where ExDate = #3/7/2026#");
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("ExDate").toString(), "2026-03-07");
    EXPECT_EQ(rs.Fields("ExTime").toString(), "14:05:09");
}

TEST_F(DatabaseTest, TemporaryTableFormsAndCursorMoves) {
    db().Execute("CREATE TABLE TempRandTble (QIndex NUMBER,RandQId NUMBER)");
    for (int i = 1; i <= 5; ++i)
        db().Execute("INSERT INTO TempRandTble (QIndex,RandQId) VALUES (?,?)", {i, i * 10});
    auto rs = db().OpenRecordset("SELECT RandQId FROM TempRandTble order by QIndex ");
    EXPECT_EQ(rs.RecordCount(), 5);
    rs.Move(2);
    EXPECT_EQ(rs.Fields(0).toInt(), 30);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields(0).toInt(), 50);
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields(0).toInt(), 10);
    rs.Move(7);
    EXPECT_TRUE(rs.Eof());
    db().Execute("DROP TABLE TempRandTble ");
    EXPECT_FALSE(db().TableExists("TempRandTble"));
}

TEST_F(DatabaseTest, FailuresCarryMessageAndStatement) {
    try {
        db().Execute("INSERT INTO NoSuchTable (a) VALUES (1)");
        FAIL() << "no error raised";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos) << e.what();
        EXPECT_EQ(e.sql(), "INSERT INTO NoSuchTable (a) VALUES (1)");
    }
    EXPECT_THROW(db().Scalar("SELECT Uname FROM User where Uname = ?", {"nobody"}), DbError);
    auto rs = db().OpenRecordset("SELECT Uname FROM User where Uname = ?", {"nobody"});
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.Fields("Uname"), DbError);
}

TEST_F(DatabaseTest, TransactionRollsBackUnlessCommitted) {
    {
        plat::Transaction t(db());
        db().Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (1,2,3)");
    }
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AnsIds").toInt(), 0);
    {
        plat::Transaction t(db());
        db().Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (1,2,3)");
        t.Commit();
    }
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AnsIds").toInt(), 1);
}

// An inner transaction is undone alone; nothing of either reaches the table
// before the outer one commits; a commit that fails leaves the transaction to
// its rollback, and the next one starts cleanly.
TEST(DatabaseTransactions, NestAndSurviveAFailedCommit) {
    plat::Database db = plat::Database::Create(":memory:");
    db.ExecScript("CREATE TABLE Parent (Id INTEGER PRIMARY KEY);"
                  "CREATE TABLE Child (ParentId INTEGER REFERENCES Parent(Id) DEFERRABLE INITIALLY DEFERRED);"
                  "PRAGMA foreign_keys = ON;");
    {
        plat::Transaction outer(db);
        db.Execute("INSERT INTO Parent (Id) VALUES (1)");
        {
            plat::Transaction inner(db);
            db.Execute("INSERT INTO Parent (Id) VALUES (2)");
        }
        outer.Commit();
    }
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Parent").toInt(), 1) << "the inner one was undone alone";
    {
        plat::Transaction t(db);
        db.Execute("INSERT INTO Child (ParentId) VALUES (99)");  // checked at commit
        EXPECT_THROW(t.Commit(), plat::DbError);
    }
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Child").toInt(), 0);
    plat::Transaction again(db);
    db.Execute("INSERT INTO Child (ParentId) VALUES (1)");
    EXPECT_NO_THROW(again.Commit());
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Child").toInt(), 1);
}

TEST(DatabaseOpen, NeverCreatesAndNamesTheFile) {
    QTemporaryDir dir;
    std::filesystem::path missing = std::filesystem::path(dir.path().toStdString()) / "PEMUV2.0.db";
    try {
        Database::Open(missing);
        FAIL() << "opened a missing file";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(missing));

    std::ofstream(missing).close();  // empty
    EXPECT_THROW(Database::Open(missing), DbError);
    std::ofstream(missing) << "this is not a database, just some text that fills a page";
    EXPECT_THROW(Database::Open(missing), DbError);
}

TEST(JetTranslation, RewritesOnlyOutsideQuotes) {
    EXPECT_EQ(Database::Translate("DELETE * from AnsSelected"), "DELETE FROM AnsSelected");
    EXPECT_EQ(Database::Translate("Delete QId from BookMark where QId = 4"), "DELETE FROM BookMark where QId = 4");
    EXPECT_EQ(Database::Translate("SELECT Index FROM T where Name = 'index true' and F = true  "),
              "SELECT \"Index\" FROM T where Name = 'index true' and F = 1");
    EXPECT_EQ(Database::Translate("SELECT [Index] FROM T where D = #12/31/1999#"),
              "SELECT [Index] FROM T where D = '1999-12-31'");
    EXPECT_EQ(Database::Translate("DELETE FROM T"), "DELETE FROM T");
}

// Two connections on one file, as two copies of the program: both open, each
// commit is seen by the other, and every commit is synced to the log.
TEST_F(DatabaseTest, TwoConnectionsShareCommitsThroughTheLog) {
    Database other = Database::Open(dbFile());
    EXPECT_EQ(db().JournalMode(), "wal");
    EXPECT_EQ(other.JournalMode(), "wal");
    EXPECT_EQ(other.Scalar("PRAGMA synchronous").toInt(), 2) << "commits must be synced to disk";
    {
        plat::Transaction t(db());
        db().Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {7, 21});
        EXPECT_EQ(other.Scalar("SELECT count(*) FROM AnsSelected").toInt(), 0) << "seen before its commit";
        t.Commit();
    }
    EXPECT_EQ(other.Scalar("SELECT Answer FROM AnsSelected where QId = ?", {7}).toInt(), 21);
    other.Execute("INSERT INTO BookMarkExam (QId) VALUES (?)", {7});
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM BookMarkExam where QId = ?", {7}).toInt(), 1);
    EXPECT_TRUE(std::filesystem::exists(Database::CompanionFiles(dbFile())[0])) << "no log beside the file";
}

// Another program holding the write lock: reading goes on, a write waits its
// time and then fails naming the lock, and succeeds once the lock is let go.
TEST_F(DatabaseTest, AWriteLockHeldElsewhereIsReportedAsSuch) {
    Database other = Database::Open(dbFile());
    other.BeginTrans();
    other.Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {3, 0});
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM BookMark").toInt(), 0);
    try {
        db().Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {4, 0});
        ADD_FAILURE() << "wrote through another connection's write lock";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isBusy()) << e.what();
        EXPECT_FALSE(e.isReadOnly()) << e.what();
        EXPECT_NE(std::string(e.what()).find("is locked by another program"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(dbFile().string()), std::string::npos) << e.what();
    }
    other.CommitTrans();
    db().Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {4, 0});
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM BookMark").toInt(), 2);
}

// A second copy of the program writing briefly: this connection waits for the
// lock to be let go instead of failing at once.
TEST_F(DatabaseTest, AShortWriteElsewhereIsWaitedFor) {
    Database other = Database::Open(dbFile());
    std::promise<void> locked, writing;
    std::thread holder([&] {
        plat::Transaction t(other);
        other.Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {3, 0});
        locked.set_value();
        writing.get_future().wait();
        // Well within the time the connection waits.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        t.Commit();
    });
    locked.get_future().wait();
    writing.set_value();
    EXPECT_NO_THROW(db().Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {4, 0}));
    holder.join();
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM BookMark").toInt(), 2);
}

// A transaction holds the write lock from its start: one that reads first and
// writes later would otherwise fail at once, without waiting, when another
// copy of the program committed in between.
TEST_F(DatabaseTest, ATransactionHoldsTheWriteLockFromItsStart) {
    Database other = Database::Open(dbFile());
    other.Execute("PRAGMA busy_timeout = 0");
    plat::Transaction t(db());
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM BookMark").toInt(), 0);
    EXPECT_THROW(other.Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {9, 0}), DbError);
    db().Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,?)", {1, 0});
    EXPECT_NO_THROW(t.Commit());
    EXPECT_EQ(other.Scalar("SELECT count(*) FROM BookMark").toInt(), 1);
}

// The file deleted or moved away under the open connection: writing stops with
// the real cause, not as if the file were read-only, and nothing is taken as saved.
TEST_F(DatabaseTest, ADatabaseDeletedOrMovedWhileOpenIsNamedAsSuch) {
    auto expectMoved = [&](const std::function<void()>& write) {
        try {
            write();
            ADD_FAILURE() << "a write to a database no longer at its path succeeded";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.isMoved()) << e.what();
            EXPECT_NE(std::string(e.what()).find("was moved or deleted while the program was running"),
                      std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(dbFile().string()), std::string::npos) << e.what();
        }
    };
    db().Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {1, 2});
    const std::filesystem::path away = folder() / "elsewhere.db";
    std::filesystem::rename(dbFile(), away);
    expectMoved([&] { db().Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {1, 3}); });
    // A transaction is refused at its start, before anything is written.
    expectMoved([&] { plat::Transaction t(db()); });
    std::filesystem::rename(away, dbFile());
    db().Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {1, 4});  // back in place

    {
        plat::Transaction t(db());
        db().Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {2, 5});
        std::filesystem::remove(dbFile());
        expectMoved([&] { t.Commit(); });
    }
    expectMoved([&] { examrun::SaveAnswers(db(), 3, {6}); });
    EXPECT_EQ(db().Scalar("SELECT count(*) FROM AnsSelected").toInt(), 2) << "a refused write was kept";
}

// A connection in rollback mode (as the build tool writes) meets the same cause
// and the same message.
TEST(DatabaseMoved, RollbackModeReportsTheSameCause) {
    QTemporaryDir dir;
    const std::filesystem::path file = std::filesystem::path(dir.path().toStdString()) / "plain.db";
    Database db = Database::Create(file);
    db.Execute("CREATE TABLE T (A INTEGER)");
    db.Execute("INSERT INTO T (A) VALUES (1)");
    EXPECT_EQ(db.JournalMode(), "delete");
    std::filesystem::remove(file);
    try {
        db.Execute("INSERT INTO T (A) VALUES (2)");
        ADD_FAILURE() << "wrote into a deleted file";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isMoved()) << e.what();
    }
}
