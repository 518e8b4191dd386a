// The build tools: makedb keeps a database with its users unless told --fresh,
// bankbuild fails the build on a breach and otherwise puts the pictures into the
// program folder, and the GIF encoder writes files that decode back exactly.
#include "bank/bank.h"
#include "bank/pictures.h"
#include "dbbuild/dbbuild.h"
#include "platform/database.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fstream>

namespace fs = std::filesystem;

namespace {

const fs::path kData = PEMU_DATA_DIR;

struct ToolRun {
    int code;
    std::string out;
};

ToolRun run(const char* exe, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QString::fromUtf8(exe), args);
    EXPECT_TRUE(p.waitForFinished(120000)) << exe;
    return {p.exitCode(), p.readAll().toStdString()};
}

QString q(const fs::path& p) { return QString::fromStdString(p.string()); }

long long users(const fs::path& db) {
    auto d = plat::Database::Open(db);
    return d.Scalar("SELECT count(*) FROM User").toInt();
}

// A copy of data/ whose sources a test may break.
fs::path copyData(const QTemporaryDir& dir) {
    fs::path to = fs::path(dir.path().toStdString()) / "data";
    fs::copy(kData, to, fs::copy_options::recursive);
    return to;
}

}  // namespace

TEST(MakeDb, KeepsAnExistingDatabaseUnlessFresh) {
    QTemporaryDir dir;
    fs::path db = fs::path(dir.path().toStdString()) / "PEMUV2.0.db";
    ToolRun r = run(MAKEDB_EXE, {q(kData), q(db)});
    ASSERT_EQ(r.code, 0) << r.out;
    {
        auto d = plat::Database::Open(db);
        d.Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)", {"kim", "Kim Lee", "NA", "NA"});
        d.Execute("UPDATE AdminConfig SET NofQues = ?", {20});
    }
    r = run(MAKEDB_EXE, {q(kData), q(db)});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_NE(r.out.find("kept"), std::string::npos) << r.out;
    EXPECT_EQ(users(db), 1) << "a rebuild without --fresh lost the users";
    EXPECT_EQ(plat::Database::Open(db).Scalar("SELECT NofQues FROM AdminConfig").toInt(), 20);

    r = run(MAKEDB_EXE, {q(kData), q(db), "--fresh"});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(users(db), 0);
    EXPECT_EQ(plat::Database::Open(db).Scalar("SELECT NofQues FROM AdminConfig").toInt(), 40);
    EXPECT_FALSE(fs::exists(fs::path(db) += ".building"));

    EXPECT_EQ(run(MAKEDB_EXE, {q(kData)}).code, 2);
    EXPECT_EQ(run(MAKEDB_EXE, {q(kData), q(db), "--fast"}).code, 2);
}

TEST(MakeDb, ABrokenBankBuildsNothing) {
    QTemporaryDir dir;
    fs::path data = copyData(dir);
    {
        std::ofstream(data / "bank" / "99-broken.txt")
            << "category 11: Broken\n\nquestion 5000\ntype: S\nlevel: B\ntext: Q\ncorrect: a\ncorrect: b\n"
               "explain: E\n";
    }
    fs::path db = fs::path(dir.path().toStdString()) / "new.db";
    try {
        dbbuild::makeDatabase(data, db);
        ADD_FAILURE() << "a bank that breaks a rule was built";
    } catch (const std::exception& e) {
        std::string m = e.what();
        EXPECT_NE(m.find("99-broken.txt:3: question 5000"), std::string::npos) << m;
    }
    EXPECT_FALSE(fs::exists(db));
    EXPECT_FALSE(fs::exists(fs::path(db) += ".building"));
}

TEST(BankBuild, ABreachFailsTheBuildNamingFileAndQuestion) {
    QTemporaryDir dir;
    fs::path data = copyData(dir);
    {
        // A lab that expects its first command at a prompt the console never reaches.
        std::ofstream(data / "bank" / "99-broken.txt")
            << "category 11: Broken\n\nquestion 5001\ntype: SIM\nlevel: B\ntext: Q\ndevice: R9\n"
               "cmd: # configure terminal => (config)#\nexplain: E\n";
    }
    ToolRun r = run(BANKBUILD_EXE, {q(data), q(fs::path(dir.path().toStdString()) / "program")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("data/bank/99-broken.txt:3: question 5001:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("lab-walk"), std::string::npos) << r.out;
}

TEST(BankBuild, WritesEveryPictureTheProgramShows) {
    QTemporaryDir dir;
    fs::path program = fs::path(dir.path().toStdString()) / "program";
    ToolRun r = run(BANKBUILD_EXE, {q(kData), q(program)});
    ASSERT_EQ(r.code, 0) << r.out;

    std::vector<bank::Breach> errors;
    bank::Tables t = bank::ReadBankSources(kData / "bank", errors);
    ASSERT_TRUE(errors.empty());
    EXPECT_TRUE(bank::LintProgramFolder(t, program).empty());
    int exhibits = 0;
    for (const auto& question : t.questions) {
        if (question.exhibitPath == "NA") continue;
        ++exhibits;
        QImage img(q(program / question.exhibitPath));
        ASSERT_FALSE(img.isNull()) << question.exhibitPath;
        EXPECT_GE(img.width(), 100) << question.exhibitPath;
        EXPECT_GE(img.height(), 40) << question.exhibitPath;
        // The viewer's scroll bars count in 16-bit twips: 2184 pixels at most.
        EXPECT_LE(img.width(), 2000) << question.exhibitPath;
        EXPECT_LE(img.height(), 2000) << question.exhibitPath;
    }
    EXPECT_GE(exhibits, 20);

    // A second run leaves unchanged files alone.
    auto stamp = fs::last_write_time(program / "correct.gif");
    EXPECT_EQ(run(BANKBUILD_EXE, {q(kData), q(program)}).code, 0);
    EXPECT_EQ(fs::last_write_time(program / "correct.gif"), stamp);
}

TEST(ReviewMarks, TickAndCrossAreSmallTransparentGifs) {
    QTemporaryDir dir;
    fs::path program = dir.path().toStdString();
    ASSERT_TRUE(bank::WriteProgramPictures(bank::Tables{}, kData / "exhibits", program).empty());
    QImage tick(q(program / "correct.gif"), "GIF"), cross(q(program / "incorrect.gif"), "GIF");
    ASSERT_FALSE(tick.isNull());
    ASSERT_FALSE(cross.isNull());
    EXPECT_EQ(tick.size(), QSize(16, 16));
    EXPECT_EQ(cross.size(), QSize(16, 16));
    tick = tick.convertToFormat(QImage::Format_ARGB32);
    cross = cross.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(tick.pixel(0, 0)), 0) << "corners are transparent";
    EXPECT_EQ(qAlpha(cross.pixel(15, 0)), 0);
    int green = 0, red = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            QRgb a = tick.pixel(x, y), b = cross.pixel(x, y);
            if (qAlpha(a) == 255 && qGreen(a) > qRed(a) + 60) ++green;
            if (qAlpha(b) == 255 && qRed(b) > qGreen(b) + 60) ++red;
        }
    EXPECT_GT(green, 20) << "the tick is green";
    EXPECT_GT(red, 20) << "the cross is red";
    // The cross is symmetric, the tick is not.
    EXPECT_NE(tick.mirrored(true, false), tick);
    EXPECT_EQ(qAlpha(cross.pixel(7, 7)), 255);
}

TEST(GifEncoder, DecodesBackToTheSamePixels) {
    // Many colours and many pixels: the code width grows to 12 bits and the
    // code table is cleared and refilled several times.
    QImage img(150, 110, QImage::Format_ARGB32);
    QRandomGenerator rng(42);
    std::vector<QRgb> palette;
    for (int i = 0; i < 200; ++i) palette.push_back(qRgb(rng.bounded(256), rng.bounded(256), rng.bounded(256)));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, (x + y) % 37 == 0 ? qRgba(0, 0, 0, 0) : palette[rng.bounded(200)]);
    auto bytes = bank::EncodeGif(img);
    QImage back;
    ASSERT_TRUE(back.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "GIF"));
    back = back.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(back.size(), img.size());
    int wrong = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb a = img.pixel(x, y), b = back.pixel(x, y);
            if (qAlpha(a) == 0 ? qAlpha(b) != 0 : (qAlpha(b) != 255 || qRgb(qRed(a), qGreen(a), qBlue(a)) != (b | 0xff000000)))
                ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    // Runs of one colour compress (so codes longer than a pixel are used).
    QImage flat(64, 64, QImage::Format_ARGB32);
    flat.fill(qRgb(10, 200, 30));
    auto flatBytes = bank::EncodeGif(flat);
    EXPECT_LT(flatBytes.size(), 200u);
    ASSERT_TRUE(back.loadFromData(flatBytes.data(), static_cast<int>(flatBytes.size()), "GIF"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32).pixel(63, 63), qRgb(10, 200, 30));
}

TEST(ExhibitRenderer, ReportsTheLineOfAMistake) {
    std::string error;
    EXPECT_TRUE(bank::RenderExhibit("device R1 router 10 10\nlink R1 R2\n", error).isNull());
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_NE(error.find("R2"), std::string::npos) << error;
    EXPECT_TRUE(bank::RenderExhibit("# only a comment\n", error).isNull());
    EXPECT_TRUE(bank::RenderExhibit("text 0 0\n  R1# show clock\n", error).isNull());
    EXPECT_NE(error.find("end"), std::string::npos) << error;
    EXPECT_TRUE(bank::RenderExhibit("note 0 0 \"unclosed\n", error).isNull());
    EXPECT_TRUE(bank::RenderExhibit("device R1 router 0 0\ndevice R2 router 5000 0\n", error).isNull());
    EXPECT_NE(error.find("2000"), std::string::npos) << error;

    QImage ok = bank::RenderExhibit("canvas 300 100\ntext 10 10\n  R1# show clock\nend\n", error);
    ASSERT_FALSE(ok.isNull()) << error;
    EXPECT_GE(ok.width(), 300);
    // Text was drawn: the block holds dark pixels.
    int dark = 0;
    for (int y = 0; y < ok.height(); ++y)
        for (int x = 0; x < ok.width(); ++x)
            if (qGray(ok.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 30);
}

TEST(ExhibitRenderer, RefusesTextsPrintedOverOneAnother) {
    // A short link leaves no room between its port labels and its middle label.
    const std::string shortLink =
        "device R1 router 100 50\ndevice SW1 switch 100 170\n"
        "link R1 SW1 from=\"G0/0\" to=\"Gi0/1\" mid=\"802.1Q trunk\"\n";
    std::string problem = bank::ExhibitLayoutProblem(shortLink);
    EXPECT_NE(problem.find("\"802.1Q trunk\""), std::string::npos) << problem;
    EXPECT_NE(problem.find("\"G0/0\""), std::string::npos) << problem;
    // The same link made longer reads cleanly.
    EXPECT_EQ(bank::ExhibitLayoutProblem("device R1 router 100 50\ndevice SW1 switch 100 210\n"
                                         "link R1 SW1 from=\"G0/0\" to=\"Gi0/1\" mid=\"802.1Q trunk\"\n"),
              "");
    // A note over a device's caption, and a command output over an icon.
    problem = bank::ExhibitLayoutProblem("device PC1 pc 100 100 label=\"VLAN 10\"\nnote 80 125 \"gateway?\"\n");
    EXPECT_NE(problem.find("PC1 caption"), std::string::npos) << problem;
    problem = bank::ExhibitLayoutProblem("device R1 router 100 100\ntext 60 90\n  R1# show clock\nend\n");
    EXPECT_NE(problem.find("R1 icon"), std::string::npos) << problem;
    // A mistake in the description is still named by its line.
    EXPECT_NE(bank::ExhibitLayoutProblem("device R1 rooter 0 0\n").find("line 1"), std::string::npos);
}
