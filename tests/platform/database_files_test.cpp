// The database's files on disk: every committed answer survives the program
// being killed mid-write, and a program folder that cannot be written still
// opens its database for reading and says why a write fails.
#include "exam/examrun.h"
#include "platform/database.h"
#include "startup/indexes.h"
#include "support/fixture.h"

#include <QTemporaryDir>

#include <csignal>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using plat::Database;
using plat::DbError;

namespace {

fs::path FreshCopy(const QTemporaryDir& dir) {
    const fs::path folder = fs::path(dir.path().toStdString()) / "program";
    fs::create_directories(folder);
    fs::copy_file(pemu_test::ShippedDatabase(), folder / "PEMUV2.0.db");
    return folder / "PEMUV2.0.db";
}

bool ReadAll(int fd, void* buf, size_t n) {
    auto* p = static_cast<char*>(buf);
    while (n > 0) {
        ssize_t got = ::read(fd, p, n);
        if (got <= 0) return false;
        p += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}

// Runs `body` in a child process that may not write into `folder` (as root, who
// may write anywhere, the child first becomes the unprivileged user "nobody").
// The child's verdict comes back as text: empty when every check held.
std::string WithoutWriteAccess(const fs::path& folder, const std::function<std::string()>& body) {
    fs::permissions(folder.parent_path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                              fs::perms::others_read | fs::perms::others_exec);
    for (const auto& entry : fs::directory_iterator(folder))
        ::chmod(entry.path().c_str(), 0666);
    ::chmod(folder.c_str(), 0555);
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string verdict;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            verdict = "cannot give up root";
        else if (::access(folder.c_str(), W_OK) == 0)
            verdict = "the folder stayed writable";
        else {
            try {
                verdict = body();
            } catch (const std::exception& e) {
                verdict = std::string("unexpected error: ") + e.what();
            }
        }
        (void)!::write(fds[1], verdict.data(), verdict.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string verdict;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) verdict.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::chmod(folder.c_str(), 0755);
    if (!WIFEXITED(status)) return "the child ended abnormally";
    return verdict;
}

// What a user sees in a read-only program folder: the database opens and reads,
// and the first write fails naming the folder.
std::string OpensReadsAndRefusesWrites(const fs::path& file) {
    Database db = Database::Open(file);
    std::string problems;
    if (db.Scalar("SELECT count(*) FROM Questions").toInt() == 0) problems += "no questions read; ";
    indexes::Ensure(db);  // missing indexes are not an error here
    try {
        db.Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)", {"kim", "Kim", "NA", "NA"});
        problems += "a write succeeded; ";
    } catch (const DbError& e) {
        const std::string m = e.what();
        if (!e.isReadOnly()) problems += "not reported as read-only: " + m + "; ";
        if (m.find("The program folder " + file.parent_path().string() + " is read-only") == std::string::npos)
            problems += "the folder is not named: " + m + "; ";
    }
    return problems;
}

}  // namespace

// A child saving answers in a loop is killed at an arbitrary moment: the
// database then opens whole, and every answer the child saw committed is there,
// each save complete (its delete and inserts together).
TEST(DatabaseDurability, EveryCommittedAnswerSurvivesAKill) {
    QTemporaryDir dir;
    const fs::path file = FreshCopy(dir);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(fds[0]);
        try {
            Database db = Database::Open(file);
            for (int16_t q = 1;; q = static_cast<int16_t>(q % 30000 + 1)) {
                examrun::SaveAnswers(db, q, {q, static_cast<int16_t>(q + 1)});
                const int32_t committed = q;
                if (::write(fds[1], &committed, sizeof committed) != sizeof committed) break;
            }
        } catch (...) {
        }
        ::_exit(1);
    }
    ::close(fds[1]);
    std::vector<int32_t> reported;
    for (int32_t q; reported.size() < 200 && ReadAll(fds[0], &q, sizeof q);) reported.push_back(q);
    ::kill(pid, SIGKILL);
    for (int32_t q; ReadAll(fds[0], &q, sizeof q);) reported.push_back(q);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer stopped before the kill";
    ASSERT_GE(reported.size(), 200u);
    EXPECT_TRUE(fs::exists(Database::CompanionFiles(file)[0])) << "the kill left no log to recover";

    Database db = Database::Open(file);
    EXPECT_EQ(db.Scalar("PRAGMA integrity_check").toString(), "ok");
    std::map<long long, std::vector<long long>> saved;
    for (auto rs = db.OpenRecordset("SELECT QId, Answer FROM AnsSelected ORDER BY QId, Answer"); !rs.Eof();
         rs.MoveNext())
        saved[rs.Fields(0).toInt()].push_back(rs.Fields(1).toInt());
    for (int32_t q : reported)
        EXPECT_EQ(saved[q], (std::vector<long long>{q, q + 1})) << "answer of question " << q;
    for (const auto& [q, answers] : saved) EXPECT_EQ(answers.size(), 2u) << "a save of question " << q << " is partial";
    EXPECT_LE(saved.size(), reported.size() + 1) << "more saves than the child made";
}

// The program folder is read-only and the database was never opened in
// write-ahead mode: it stays in rollback mode, as it always worked there.
TEST(DatabaseReadOnlyFolder, AFreshDatabaseOpensReadsAndNamesTheFolder) {
    QTemporaryDir dir;
    const fs::path file = FreshCopy(dir);
    EXPECT_EQ(WithoutWriteAccess(file.parent_path(), [&] {
                  std::string problems = OpensReadsAndRefusesWrites(file);
                  if (Database::Open(file).JournalMode() != "delete") problems += "the journal mode changed; ";
                  return problems;
              }),
              "");
    EXPECT_EQ(Database::Open(file).Scalar("PRAGMA integrity_check").toString(), "ok");
}

// The database ran in write-ahead mode before the folder became read-only (and
// predates an index): SQLite could not even read it, as its shared index cannot
// be created there. With no log left over, it opens for reading all the same.
TEST(DatabaseReadOnlyFolder, ADatabaseLeftInWriteAheadModeStillOpens) {
    QTemporaryDir dir;
    const fs::path file = FreshCopy(dir);
    {
        Database db = Database::Open(file);
        ASSERT_EQ(db.JournalMode(), "wal");
        db.Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)", {"ann", "Ann", "NA", "NA"});
        db.ExecScript("DROP INDEX BookMarkQId");
    }
    ASSERT_FALSE(fs::exists(Database::CompanionFiles(file)[0]));
    EXPECT_EQ(WithoutWriteAccess(file.parent_path(), [&] {
                  std::string problems = OpensReadsAndRefusesWrites(file);
                  if (Database::Open(file).Scalar("SELECT count(*) FROM User where Uname = 'ANN'").toInt() != 1)
                      problems += "the committed user is not read; ";
                  return problems;
              }),
              "");
}
