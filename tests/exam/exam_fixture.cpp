#include "exam_fixture.h"

#include "startup/state.h"

#include <algorithm>
#include <stdexcept>

using namespace plat;

namespace exam_test {

void ExamTest::SetUp() {
    ProgramTest::SetUp();
    frmExam.SetClockForTesting([this] { return now_; });
}

void ExamTest::TearDown() {
    ProgramTest::TearDown();
    frmExam.SetClockForTesting(nullptr);
}

void ExamTest::fillRun(const std::vector<Item>& run) {
    gcnExam->Execute("DELETE * from QuestIds");
    gcnExam->Execute("DELETE * from AnsIds");
    long long ansIndex = 1;
    for (size_t i = 0; i < run.size(); ++i) {
        const Item& it = run[i];
        if (it.level.empty())
            gcnExam->Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {static_cast<long long>(i + 1), it.qid});
        else
            gcnExam->Execute("INSERT INTO QuestIds (Index,QId,DiffLvl) VALUES (?,?,?)",
                             {static_cast<long long>(i + 1), it.qid, it.level});
        std::vector<long long> opts = options(it.qid, 1);
        for (long long o : options(it.qid, 0)) opts.push_back(o);
        std::sort(opts.rbegin(), opts.rend());
        for (long long o : opts)
            gcnExam->Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {ansIndex++, o, it.qid});
    }
}

void ExamTest::startRun(const std::vector<Item>& run, Mode mode, int minutes) {
    fillRun(run);
    gblnExamMode = mode != Mode::Learn;
    gblnAdaptive = mode == Mode::Adaptive;
    gblnFromResults = false;
    gintExamTime = static_cast<int16_t>(minutes);
    gintBeginScore = 1;
    gintIntScore = 2;
    gintExpScore = 3;
    if (mode != Mode::Adaptive) gintExamLimit = static_cast<int16_t>(run.size());
    frmExam.Show();
}

std::vector<long long> ExamTest::ofType(const std::string& type, int n, const std::string& level) {
    std::vector<long long> q;
    Recordset rs = level.empty()
                       ? gcnExam->OpenRecordset("SELECT QId FROM Questions where QType = ? ORDER BY QId", {type})
                       : gcnExam->OpenRecordset(
                             "SELECT QId FROM Questions where QType = ? and DiffLevel = ? ORDER BY QId", {type, level});
    for (; !rs.Eof() && static_cast<int>(q.size()) < n; rs.MoveNext()) q.push_back(rs.Fields(0).toInt());
    // The case goes no further: it would index past what is there.
    if (static_cast<int>(q.size()) < n)
        throw std::runtime_error("the bank has too few " + type + " " + level + " questions");
    return q;
}

std::vector<long long> ExamTest::options(long long qid, int correct) {
    std::vector<long long> v;
    Recordset rs = gcnExam->OpenRecordset(
        "SELECT Index FROM Answers where QId = ? and CorrectAns = ? ORDER BY Index", {qid, correct});
    for (; !rs.Eof(); rs.MoveNext()) v.push_back(rs.Fields(0).toInt());
    return v;
}

std::vector<long long> ExamTest::chosen(long long qid) {
    std::vector<long long> v;
    Recordset rs = gcnExam->OpenRecordset("SELECT Answer FROM AnsSelected where QId = ? ORDER BY Answer", {qid});
    for (; !rs.Eof(); rs.MoveNext()) v.push_back(rs.Fields(0).toInt());
    return v;
}

long long ExamTest::marks(const std::string& table, long long qid) {
    return gcnExam->Scalar("SELECT count(*) FROM " + table + " where QId = ?", {qid}).toInt();
}

int ExamTest::rowOf(long long answersIndex) {
    const Recordset rs = gcnExam->OpenRecordset(
        "SELECT count(*) FROM AnsIds where Qid = ? and Index <= (SELECT Index FROM AnsIds where AnsId = ?)",
        {static_cast<long long>(gintCurQId), answersIndex});
    return static_cast<int>(rs.Fields(0).toInt());
}

long long ExamTest::optionAt(int row) {
    Recordset rs = gcnExam->OpenRecordset("SELECT AnsId FROM AnsIds where Qid = ? ORDER BY Index",
                                          {static_cast<long long>(gintCurQId)});
    rs.Move(row - 1);
    return rs.Eof() ? 0 : rs.Fields(0).toInt();
}

void ExamTest::tick(const std::vector<long long>& picks) {
    for (long long p : picks) {
        const int row = rowOf(p);
        ASSERT_GE(row, 1) << "option " << p << " is not on screen";
        if (frmExam.strQuestType == "S") frmExam.optAnswer()(row)->click();
        else frmExam.chkAnswer()(row)->click();
    }
}

void ExamTest::answerCorrectly(long long qid) {
    ASSERT_EQ(gintCurQId, qid);
    const std::vector<long long> right = options(qid, 1);
    ASSERT_FALSE(right.empty()) << "question " << qid << " has no correct option";
    tick(frmExam.strQuestType == "S" ? std::vector<long long>{right.front()} : right);
}

void ExamTest::answerWrongly(long long qid) {
    ASSERT_EQ(gintCurQId, qid);
    const std::vector<long long> wrong = options(qid, 0);
    ASSERT_FALSE(wrong.empty()) << "question " << qid << " has no wrong option";
    tick({wrong.front()});
}

std::vector<std::string> ExamTest::boxTexts() const {
    std::vector<std::string> v;
    for (const MsgBoxCall& b : boxes) v.push_back(b.text.toStdString());
    return v;
}

}  // namespace exam_test
