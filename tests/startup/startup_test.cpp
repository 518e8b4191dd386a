// The start-up routine: data-source entries, the connection, the first window,
// and refusing to start without a usable database.
#include "signin/frmLogin.h"
#include "startup/module1.h"
#include "support/fixture.h"

#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace plat;

namespace {

class StartupTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Module1::Disconnect();  // Main opens its own
    }
    static QSettings* entries() {
        static QSettings s(QSettings::IniFormat, QSettings::UserScope, "ODBC", "ODBC.INI");
        s.sync();
        return &s;
    }
};

}  // namespace

// What a fresh program holds before anyone signs in, seen in a program of its
// own: no other test and no reset between tests has touched its state. A flag
// left set here would reach the first run (a full exam drawn for a numbered
// one, answered questions skipped, the administrator's marks on a candidate's
// windows).
static std::string StartStateProblems() {
    std::string p;
    auto check = [&p](bool ok, const char* what) {
        if (!ok) p += std::string(what) + "; ";
    };
    check(gintCurQId == 0, "a question is on screen");
    check(gintExamTime == 0, "an exam time is set");
    check(!gblnRevUnAns, "unanswered-only navigation is on");
    check(gstrUserName.isEmpty() && gstrCandName.isEmpty(), "someone is signed in");
    check(gstrExamName.isEmpty() && gintNofQues == 0, "an exam is chosen");
    check(!gblnExamMode && !gblnAdaptive, "exam mode is set");
    check(!gvarExamDate.isValid() && !gvarExamTime.isValid(), "an exam date or time is stamped");
    check(!gblnFromResults, "a saved result is open");
    check(!gblnAdminMode && !gblnAdminSignedIn, "the administrator is signed in");
    check(gintExamLimit == 0 && gintAdapScore == 0, "a score is kept");
    check(gintBeginScore == 0 && gintIntScore == 0 && gintExpScore == 0, "level weights are set");
    check(!gblnFullExam, "a full exam is pending");
    return p;
}

TEST(StartupState, StateIsEmptyBeforeAnySignIn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir dir;
            const std::filesystem::path folder = dir.path().toStdString();
            std::filesystem::copy_file(pemu_test::ShippedDatabase(), folder / Module1::kDatabaseFile);
            SetAppPathForTesting(folder);
            std::string problems;
            SetMsgBoxHook([&problems](const MsgBoxCall& c) {
                problems += "message: " + c.text.toStdString() + "; ";
                return int(vbOK);
            });
            problems += StartStateProblems();
            if (Module1::Main() != 0) problems += "the start-up failed; ";
            if (!frmLogin.Visible()) problems += "the sign-in window is not shown; ";
            if (gcnExam == nullptr) problems += "no connection; ";
            problems += StartStateProblems();
            std::fprintf(stderr, "%s\n", problems.c_str());
            std::fflush(stderr);
            std::_Exit(problems.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(StartupTest, RegistersTheDataSourceOpensTheConnectionAndShowsSignIn) {
    ASSERT_EQ(Module1::Main(), 0);
    ASSERT_NE(gcnExam, nullptr);
    EXPECT_EQ(gcnExam->file(), dbFile());
    ASSERT_NE(gwsODBC, nullptr);
    EXPECT_EQ(gwsODBC->name, "CommandsODBCWorkspace");
    EXPECT_EQ(gwsODBC->user, "norvi");
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_EQ(Form::LoadedCount(), 1);

    QSettings* s = entries();
    EXPECT_EQ(s->value("pemu/DBQ").toString().toStdString(), dbFile().string());
    EXPECT_EQ(s->value("pemu/Description").toString(), "<Desired Description>");
    EXPECT_EQ(s->value("pemu/Driver").toString(), "C:\\windows\\System\\odbcjt32.dll");
    EXPECT_EQ(s->value("pemu/DriverID").toInt(), 25);
    EXPECT_EQ(s->value("pemu/FIL").toString(), "MS Access");
    EXPECT_EQ(s->value("pemu/PWD").toString(), "");
    EXPECT_EQ(s->value("pemu/SafeTransactions").toInt(), 0);
    EXPECT_EQ(s->value("pemu/UID").toString(), "norvi");
    EXPECT_EQ(s->value("pemu/Engines/Jet/ImplicitCommitSync").toString(), "");
    EXPECT_EQ(s->value("pemu/Engines/Jet/MaxBufferSize").toInt(), 2048);
    EXPECT_EQ(s->value("pemu/Engines/Jet/PageTimeout").toInt(), 5);
    EXPECT_EQ(s->value("pemu/Engines/Jet/Threads").toInt(), 3);
    EXPECT_EQ(s->value("pemu/Engines/Jet/UserCommitSync").toString(), "Yes");
    const QString driver = s->value("ODBC Data Sources/pemu").toString();
    EXPECT_EQ(driver, "MIcrosoft Access Driver (*.mdb)");
    EXPECT_EQ(driver.size(), 31);
}

TEST_F(StartupTest, ASecondStartRewritesTheSameEntries) {
    ASSERT_EQ(Module1::Main(), 0);
    const QStringList first = entries()->allKeys();
    frmLogin.Unload();
    Settle();
    ASSERT_EQ(Module1::Main(), 0);
    EXPECT_EQ(entries()->allKeys(), first);
    EXPECT_EQ(entries()->value("pemu/DBQ").toString().toStdString(), dbFile().string());
}

TEST_F(StartupTest, TheDatabaseIsFoundInTheProgramFolderWhateverTheWorkingFolder) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    const int status = Module1::Main();
    QDir::setCurrent(before);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(gcnExam->file(), dbFile());
}

// A configuration folder that cannot be written (here: a file stands where its
// folder should be) does not keep the program from its own database.
TEST_F(StartupTest, AnUnwritableConfigurationFolderStillOpensTheProgramFoldersDatabase) {
    const std::filesystem::path ini = entries()->fileName().toStdString();
    const std::filesystem::path odbcFolder = ini.parent_path();
    std::filesystem::remove_all(odbcFolder);
    std::ofstream(odbcFolder) << "not a folder";
    const int status = Module1::Main();
    std::filesystem::remove(odbcFolder);
    ASSERT_EQ(status, 0) << (boxes.empty() ? std::string() : boxes.back().text.toStdString());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(gcnExam->file(), dbFile());
    EXPECT_TRUE(frmLogin.Visible());
}

TEST_F(StartupTest, MissingDatabaseEndsBeforeAnyWindowAndCreatesNothing) {
    std::filesystem::remove(dbFile());
    EXPECT_NE(Module1::Main(), 0);
    EXPECT_EQ(Form::LoadedCount(), 0);
    EXPECT_EQ(gcnExam, nullptr);
    EXPECT_FALSE(std::filesystem::exists(dbFile())) << "an empty database must never be created";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon(), vbCritical);
    EXPECT_TRUE(boxes[0].text.contains(QString::fromStdString(dbFile().string()))) << boxes[0].text.toStdString();
}

TEST_F(StartupTest, EmptyOrUnreadableDatabaseEndsBeforeAnyWindow) {
    std::ofstream(dbFile(), std::ios::trunc).close();
    EXPECT_NE(Module1::Main(), 0);
    EXPECT_EQ(Form::LoadedCount(), 0);
    std::ofstream(dbFile(), std::ios::trunc) << std::string(4096, 'x');
    EXPECT_NE(Module1::Main(), 0);
    EXPECT_EQ(Form::LoadedCount(), 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].text.contains("PEMUV2.0.db"));
}

TEST_F(StartupTest, DatabaseWithoutUserTableEndsBeforeAnyWindow) {
    {
        auto db = Database::Open(dbFile());
        db.Execute("DROP TABLE User");
    }
    EXPECT_NE(Module1::Main(), 0);
    EXPECT_EQ(Form::LoadedCount(), 0) << "the sign-in window must not be left half-loaded";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("User"));
}

TEST_F(StartupTest, ReadOnlyDatabaseIsReportedClearlyWhenWriting) {
    ASSERT_EQ(Module1::Main(), 0);
    // What a read-only folder or file gives SQLite, whoever runs the test.
    gcnExam->Execute("PRAGMA query_only = 1");
    try {
        gcnExam->Execute("INSERT into User (Uname,Name,Email,Phone) values('a','b','NA','NA')");
        ADD_FAILURE() << "a write into a read-only database succeeded";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isReadOnly()) << e.what();
        EXPECT_NE(std::string(e.what()).find("cannot be written"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(dbFile().string()), std::string::npos) << e.what();
    }
}

// The message names what cannot be written: the file, or the folder that must
// hold its journal (the tests run as a user who may write anything, so the
// cases are given rather than made).
TEST_F(StartupTest, AWriteFailureNamesTheFileOrTheFolderThatIsReadOnly) {
    const std::filesystem::path file = "/opt/pemu/PEMUV2.0.db";
    EXPECT_EQ(Database::WriteFailure(file, false, true), "The database file /opt/pemu/PEMUV2.0.db is read-only");
    EXPECT_EQ(Database::WriteFailure(file, false, false), "The database file /opt/pemu/PEMUV2.0.db is read-only");
    EXPECT_EQ(Database::WriteFailure(file, true, false),
              "The program folder /opt/pemu is read-only, so the database /opt/pemu/PEMUV2.0.db cannot keep its "
              "journal there");
}

TEST_F(StartupTest, AFolderInPlaceOfTheDatabaseIsNamedAsSuch) {
    std::filesystem::remove(dbFile());
    std::filesystem::create_directory(dbFile());
    EXPECT_NE(Module1::Main(), 0);
    EXPECT_EQ(Form::LoadedCount(), 0);
    EXPECT_TRUE(lastBox().text.contains("is a folder, not a database file")) << lastBox().text.toStdString();
}

// Another program in the middle of writing: the program starts all the same,
// reading past its lock; a database held exclusively in rollback mode (as an
// older program would keep it) is reported as locked, not as unreadable.
TEST_F(StartupTest, ADatabaseLockedByAnotherProgram) {
    Database other = Database::Open(dbFile());
    other.BeginTrans();
    other.Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)", {"kim", "Kim Lee", "NA", "NA"});
    ASSERT_EQ(Module1::Main(), 0) << lastBox().text.toStdString();
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_EQ(frmLogin.cboUname()->findText("kim"), -1) << "an uncommitted user was listed";
    other.Rollback();
    frmLogin.Unload();
    Settle();
    Module1::Disconnect();

    ASSERT_EQ(other.Scalar("PRAGMA journal_mode = DELETE").toString(), "delete");
    other.ExecScript("BEGIN EXCLUSIVE; INSERT INTO BookMark (QId) VALUES (1);");
    EXPECT_NE(Module1::Main(), 0);
    EXPECT_EQ(Form::LoadedCount(), 0);
    EXPECT_TRUE(lastBox().text.contains("is locked by another program")) << lastBox().text.toStdString();
    other.ExecScript("ROLLBACK");
}

// Without fonts Qt draws every character as the same box and says nothing.
TEST_F(StartupTest, DesignedTypefacesResolveToRealFonts) {
    ASSERT_EQ(Module1::Main(), 0);
    // Family names may carry their foundry: "P052 [UKWN]".
    EXPECT_TRUE(QFontInfo(QFont("Book Antiqua")).family().startsWith("P052"))
        << QFontInfo(QFont("Book Antiqua")).family().toStdString();
    EXPECT_TRUE(QFontInfo(QFont("Arial")).family().startsWith("Nimbus Sans"))
        << QFontInfo(QFont("Arial")).family().toStdString();
    auto draw = [](const QString& text) {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(QFont("Arial", 14));
        p.drawText(img.rect(), Qt::AlignCenter, text);
        return img;
    };
    EXPECT_NE(draw("A"), draw("B"));
    EXPECT_NE(draw("A"), draw("#"));
}
