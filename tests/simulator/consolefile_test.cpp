// "SimCmds.txt": the bytes of a block, lines that look like markers, failed
// writes, missing and damaged files.
#include "simulator/consolefile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

using sim::Block;

namespace {

std::filesystem::path Folder(const QTemporaryDir& d) { return d.path().toStdString(); }

QByteArray Bytes(const std::filesystem::path& file) {
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file;
    return f.readAll();
}

void Write(const std::filesystem::path& file, const QByteArray& bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.constData(), bytes.size());
}

void ExpectSame(const std::vector<Block>& a, const std::vector<Block>& b, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].qid, b[i].qid) << what;
        EXPECT_EQ(a[i].devName, b[i].devName) << what;
        EXPECT_EQ(a[i].prompt, b[i].prompt) << what;
        EXPECT_EQ(a[i].console, b[i].console) << what;
    }
}

}  // namespace

TEST(ConsoleFile, BlocksHaveTheirExactBytesAndMarkerLinesRoundTrip) {
    const Block plain{12, "R1", "(config-if)#", "Press\"Return\" to Start\nR1>en\nR1#"};
    EXPECT_EQ(sim::FormatConsoleFile({plain}),
              "[QID : 12]\r\nR1\r\n(config-if)#\r\nPress\"Return\" to Start\r\nR1>en\r\nR1#\r\n[EOQ]\r\n");
    EXPECT_EQ(sim::FormatConsoleFile({Block{3, "R1", ">", "a\n"}}), "[QID : 3]\r\nR1\r\n>\r\na\r\n\r\n[EOQ]\r\n")
        << "a console ending in a line break ends in an empty line";

    // Lines a candidate typed that read like markers, next to a block they name.
    const Block tricky{12, "R1", "#",
                       "R1#en\n[EOQ]\n[QID : 7]\n\\[EOQ]\n\\\\[QID : 7]x\n[QID : \n[EOQ] \nR1#\xC3\xA9t\xC3\xA9\n"};
    const Block seven{7, "R2", ">", "R2>"};
    const QByteArray bytes = sim::FormatConsoleFile({tricky, seven});
    EXPECT_NE(bytes.indexOf("\r\n\\[EOQ]\r\n\\[QID : 7]\r\n\\\\[EOQ]\r\n\\\\\\[QID : 7]x\r\n\\[QID : \r\n[EOQ] \r\n"), -1)
        << bytes.toStdString();
    ExpectSame(sim::ParseConsoleFile(bytes), {tricky, seven}, "read back");

    QTemporaryDir dir;
    Write(sim::ConsoleFilePath(Folder(dir)), bytes);
    auto found = sim::ReadConsoleBlock(Folder(dir), 7);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->console, "R2>") << "a typed header does not pass for question 7's block";
}

// A header's number is read whole, however large: each question finds its
// own block and no other, and its block is replaced where it stands.
TEST(ConsoleFile, QuestionsNumberedBeyond16BitsFindTheirOwnBlocks) {
    QTemporaryDir dir;
    const std::vector<long long> qids = {32767, 32768, 40000, 65535, 65536, 105535, 2147483648LL, 4294967301LL};
    auto blockOf = [](long long q) { return Block{q, "R1", ">", "R1>console of " + QString::number(q)}; };
    for (long long q : qids) ASSERT_TRUE(sim::StoreConsoleBlock(Folder(dir), q, blockOf(q))) << q;
    EXPECT_EQ(Bytes(sim::ConsoleFilePath(Folder(dir))).count("[QID : 40000]\r\n"), 1);
    for (long long q : qids) {
        const auto found = sim::ReadConsoleBlock(Folder(dir), q);
        ASSERT_TRUE(found) << q;
        EXPECT_EQ(found->qid, q);
        EXPECT_EQ(found->console, blockOf(q).console);
    }
    std::vector<long long> parsed;
    for (const Block& b : sim::ParseConsoleFile(Bytes(sim::ConsoleFilePath(Folder(dir))))) parsed.push_back(b.qid);
    EXPECT_EQ(parsed, qids);

    ASSERT_TRUE(sim::StoreConsoleBlock(Folder(dir), 40000, Block{40000, "R1", "#", "R1#again"}));
    parsed.clear();
    for (const Block& b : sim::ParseConsoleFile(Bytes(sim::ConsoleFilePath(Folder(dir))))) parsed.push_back(b.qid);
    EXPECT_EQ(parsed, qids) << "replaced where it stood";
    const auto again = sim::ReadConsoleBlock(Folder(dir), 40000);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->console, "R1#again");
    EXPECT_FALSE(sim::ReadConsoleBlock(Folder(dir), 40000 - 65536)) << "no block of the number cut to 16 bits";
}

TEST(ConsoleFile, MissingFileReadsAsEmptyAndStoringCreatesIt) {
    QTemporaryDir dir;
    const auto file = sim::ConsoleFilePath(Folder(dir));
    QString problem;
    EXPECT_FALSE(sim::ReadConsoleBlock(Folder(dir), 5, &problem));
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_TRUE(sim::StoreConsoleBlock(Folder(dir), 5, std::nullopt));
    EXPECT_EQ(Bytes(file), "") << "removing from a missing file leaves it empty";
    EXPECT_TRUE(sim::StoreConsoleBlock(Folder(dir), 5, Block{5, "R1", ">", "x"}));
    EXPECT_EQ(Bytes(file), "[QID : 5]\r\nR1\r\n>\r\nx\r\n[EOQ]\r\n");
    EXPECT_TRUE(sim::EmptyConsoleFile(Folder(dir)));
    EXPECT_EQ(Bytes(file), "");
}

TEST(ConsoleFile, AFailedWriteKeepsTheOldFile) {
    QTemporaryDir dir;
    const auto file = sim::ConsoleFilePath(Folder(dir));
    const QByteArray old = sim::FormatConsoleFile({Block{1, "R1", ">", "R1>"}, Block{2, "R2", "#", "R2#"}});
    Write(file, old);

    // Files may grow to 40 bytes only: the new file cannot be written whole.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 40;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const sim::FileOutcome out = sim::StoreConsoleBlock(Folder(dir), 1, Block{1, "R1", "#", "R1>en\nR1#"});
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(out);
    EXPECT_TRUE(out.problem.contains("SimCmds.txt")) << out.problem.toStdString();
    EXPECT_EQ(Bytes(file), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder(dir)), {}), 1) << "no temporary file left";

}

TEST(ConsoleFile, DamagedFilesAreReadAsFarAsTheyGo) {
    // A block without its end stops at the next header; lines outside blocks, a
    // second block of a question and a header without device and prompt go.
    const QByteArray damaged =
        "stray line\r\n"
        "[QID : 1]\r\nR1\r\n>\r\nR1>en\r\n"
        "[QID : 2]\r\nR2\r\n#\r\nR2#\r\n[EOQ]\r\n"
        "[EOQ]\r\n[QID : x]\r\n[QID : 01]\r\n"
        "[QID : 2]\r\nR9\r\n>\r\nlater\r\n[EOQ]\r\n"
        "[QID : 3]\r\nR3\r\n[QID : 4]\r\nR4\r\n>\n\xff\xfe\r\n";
    const auto blocks = sim::ParseConsoleFile(damaged);
    ExpectSame(blocks, {Block{1, "R1", ">", "R1>en"}, Block{2, "R2", "#", "R2#"}, Block{4, "R4", ">", "\xEF\xBF\xBD\xEF\xBF\xBD"}},
               "damaged");

    // Random damage to a sound file: the reader never fails, and what it reads
    // is what the rewritten file reads back.
    const QByteArray sound = sim::FormatConsoleFile(
        {Block{1, "R1", "(config)#", "Press\"Return\" to Start\nR1>en\nR1#conf t\n[EOQ]\nR1(config)#"},
         Block{2, "R2", ">", "[QID : 1]\n\nR2>"}, Block{3, "S1", "#", ""}});
    std::mt19937 rng(20240611);
    const char noise[] = {'\r', '\n', '\0', '\\', '[', ']', ' ', 'Q', '\xff', '\xc3'};
    for (int round = 0; round < 2000; ++round) {
        QByteArray b = sound;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits && !b.isEmpty(); ++e) {
            const qsizetype at = static_cast<qsizetype>(rng() % b.size());
            switch (rng() % 4) {
            case 0: b.truncate(at); break;
            case 1: b.remove(at, 1 + static_cast<qsizetype>(rng() % 12)); break;
            case 2: b.insert(at, noise[rng() % sizeof(noise)]); break;
            default: b.insert(at, b.mid(static_cast<qsizetype>(rng() % b.size()), 20)); break;
            }
        }
        const auto read = sim::ParseConsoleFile(b);
        ExpectSame(sim::ParseConsoleFile(sim::FormatConsoleFile(read)), read, "round " + std::to_string(round));
        if (HasFailure()) break;
    }
}

// Saving one question's console rewrites its first block only: stray lines,
// other questions' blocks, a later block of the same question, lines a
// candidate typed that look like markers, other line ends and bytes that are
// not UTF-8 all stay as they were, to the byte.
TEST(ConsoleFile, SavingReplacesTheQuestionsBlockAndCopiesEveryOtherLine) {
    QTemporaryDir dir;
    const auto file = sim::ConsoleFilePath(Folder(dir));
    const QByteArray note = "a note someone left\n";
    const QByteArray first1 = "[QID : 1]\r\nR1\r\n>\r\nR1>\\[EOQ]\r\n\\[QID : 2]\r\n[EOQ]\r\n";
    const QByteArray between = "between \xff\xfe blocks\r\n[QID : 1] \r\n";
    const QByteArray block2 = "[QID : 2]\nR2\n#\nR2#  \n[EOQ]\n";
    const QByteArray later1 = "[QID : 1]\r\nR9\r\n>\r\nlater\r\n[EOQ]\r\n";
    const QByteArray tail = "no line end";
    Write(file, note + first1 + between + block2 + later1 + tail);

    const Block one{1, "R1", "#", "R1>en\n[EOQ]\nR1#"};
    const QByteArray oneBytes = "[QID : 1]\r\nR1\r\n#\r\nR1>en\r\n\\[EOQ]\r\nR1#\r\n[EOQ]\r\n";
    ASSERT_TRUE(sim::StoreConsoleBlock(Folder(dir), 1, one));
    EXPECT_EQ(Bytes(file), note + oneBytes + between + block2 + later1 + tail);
    EXPECT_FALSE(std::filesystem::exists(Folder(dir) / sim::kConsoleTempName));

    const Block two{2, "R2", ">", "R2>"};
    ASSERT_TRUE(sim::StoreConsoleBlock(Folder(dir), 2, two));
    EXPECT_EQ(Bytes(file), note + oneBytes + between + sim::FormatConsoleFile({two}) + later1 + tail);

    // A new question's block goes at the end, on a line of its own.
    const Block three{3, "S1", "#", "S1#"};
    ASSERT_TRUE(sim::StoreConsoleBlock(Folder(dir), 3, three));
    const QByteArray threeBytes = sim::FormatConsoleFile({three});
    EXPECT_EQ(Bytes(file), note + oneBytes + between + sim::FormatConsoleFile({two}) + later1 + tail + "\r\n" + threeBytes);

    // A console no longer started takes away the first block only; the later
    // one of the same question is what the next visit finds.
    ASSERT_TRUE(sim::StoreConsoleBlock(Folder(dir), 1, std::nullopt));
    EXPECT_EQ(Bytes(file), note + between + sim::FormatConsoleFile({two}) + later1 + tail + "\r\n" + threeBytes);
    const auto found = sim::ReadConsoleBlock(Folder(dir), 1);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->console, "later");
}

// A block that lost its "[EOQ]" ends where the reader ends it: before the next
// header, or at the end of the file.
TEST(ConsoleFile, ABlockWithoutItsEndIsReplacedUpToTheNextHeader) {
    const QByteArray cut4 = "[QID : 4]\r\nR4\r\n>\r\nR4>en\r\n";
    const QByteArray block5 = "[QID : 5]\r\nR5\r\n>\r\nR5>\r\n[EOQ]\r\n";
    const Block four{4, "R4", "#", "R4#"};
    const QByteArray fourBytes = sim::FormatConsoleFile({four});
    EXPECT_EQ(sim::ReplaceConsoleBlock(cut4 + block5, 4, four), fourBytes + block5);
    EXPECT_EQ(sim::ReplaceConsoleBlock(block5 + cut4, 4, four), block5 + fourBytes);
    EXPECT_EQ(sim::ReplaceConsoleBlock(block5 + cut4 + block5, 4, std::nullopt), block5 + block5);
    EXPECT_EQ(sim::ReplaceConsoleBlock("", 4, four), fourBytes);
    EXPECT_EQ(sim::ReplaceConsoleBlock("", 4, std::nullopt), "");
    // A header's number is matched whole.
    EXPECT_EQ(sim::ReplaceConsoleBlock(block5, 55, std::nullopt), block5);
}

// A line far longer than any the simulator writes is cut when read, at the same
// length in every place, and a console of very many lines keeps its last ones;
// the file keeps them all until that console is saved again.
TEST(ConsoleFile, LongLinesAndLongConsolesAreCutWhenReadAndKeptInTheFile) {
    const qsizetype limit = sim::kConsoleLineLimit;
    const QString atLimit(limit, QLatin1Char('a'));
    const QString over = QString(limit, QLatin1Char('b')) + "tail";
    // A character outside the BMP straddling the cut is dropped whole.
    const QString pair = QString(limit - 1, QLatin1Char('c')) + QString::fromUtf8("\xF0\x9F\x98\x80") + "c";
    const QByteArray bytes = "[QID : 1]\r\n" + over.toUtf8() + "\r\n" + over.toUtf8() + "\r\n" + atLimit.toUtf8() +
                             "\r\n" + over.toUtf8() + "\r\n" + pair.toUtf8() + "\r\nR1#\r\n[EOQ]\r\n";
    const auto blocks = sim::ParseConsoleFile(bytes);
    ASSERT_EQ(blocks.size(), 1u);
    const QString cut(limit, QLatin1Char('b'));
    EXPECT_EQ(blocks[0].devName, cut);
    EXPECT_EQ(blocks[0].prompt, cut);
    EXPECT_EQ(blocks[0].console, atLimit + "\n" + cut + "\n" + QString(limit - 1, QLatin1Char('c')) + "\nR1#");

    // An escaped marker line is cut after its escape is taken off.
    const QString marker = "[QID : " + QString(limit, QLatin1Char('9'));
    const auto escaped = sim::ParseConsoleFile(sim::FormatConsoleFile({Block{2, "R", ">", marker}}));
    ASSERT_EQ(escaped.size(), 1u);
    EXPECT_EQ(escaped[0].console, marker.left(limit));

    QStringList many;
    for (qsizetype i = 0; i < sim::kConsoleLinesKept + 2; ++i) many << QString::number(i);
    const QByteArray manyBytes = sim::FormatConsoleFile({Block{3, "R3", ">", many.join('\n')}});
    const auto kept = sim::ParseConsoleFile(manyBytes);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].console, many.mid(2).join('\n'));

    QTemporaryDir dir;
    const auto file = sim::ConsoleFilePath(Folder(dir));
    Write(file, bytes + manyBytes);
    ASSERT_TRUE(sim::ReadConsoleBlock(Folder(dir), 1));
    ASSERT_TRUE(sim::StoreConsoleBlock(Folder(dir), 2, Block{2, "R2", ">", "R2>"}));
    EXPECT_TRUE(Bytes(file).startsWith(bytes + manyBytes)) << "another question's save keeps what was cut";
}

// Only a plain file of a sensible size is read; a larger one is refused and
// kept, and a leftover temporary file, whatever took its name, does not stop
// a save.
TEST(ConsoleFile, AnOversizedFileIsRefusedAndAStaleTemporaryFileIsNoObstacle) {
    QTemporaryDir dir;
    const auto file = sim::ConsoleFilePath(Folder(dir));
    const QByteArray block = sim::FormatConsoleFile({Block{1, "R1", ">", "R1>"}});
    QByteArray big = block + QByteArray(sim::kConsoleFileLimit - block.size(), '\n');
    Write(file, big);
    ASSERT_TRUE(sim::ReadConsoleBlock(Folder(dir), 1)) << "a file of the limit's size is read";

    big += '\n';
    Write(file, big);
    QString problem;
    EXPECT_FALSE(sim::ReadConsoleBlock(Folder(dir), 1, &problem));
    EXPECT_TRUE(problem.contains("SimCmds.txt") && problem.contains("larger than 4 MB")) << problem.toStdString();
    const sim::FileOutcome out = sim::StoreConsoleBlock(Folder(dir), 1, Block{1, "R1", "#", "R1#"});
    EXPECT_FALSE(out);
    EXPECT_EQ(out.problem, problem);
    EXPECT_EQ(Bytes(file), big);

    const auto temp = Folder(dir) / sim::kConsoleTempName;
    ASSERT_EQ(mkfifo(temp.c_str(), 0600), 0);
    ASSERT_TRUE(sim::EmptyConsoleFile(Folder(dir)));
    EXPECT_EQ(Bytes(file), "");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(temp)));
}
