// Runs of the exam window on a fresh copy of the shipped database: run tables
// filled as the question selection fills them (options shown in the reverse of
// their stored order, to tell display order from stored order), a clock the
// test moves, and readers of what the window wrote.
#pragma once

#include "exam/examclock.h"
#include "exam/frmExam.h"
#include "support/fixture.h"

#include <chrono>
#include <string>
#include <vector>

namespace exam_test {

class ExamTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    enum class Mode { Learn, Linear, Adaptive };
    struct Item {
        long long qid;
        std::string level = "";  // QuestIds.DiffLvl ("" leaves it empty)
    };
    // Fills QuestIds (Index 1..n) and AnsIds, sets the run's state and shows
    // the exam window.
    void startRun(const std::vector<Item>& run, Mode mode, int minutes = 90);
    void fillRun(const std::vector<Item>& run);

    // The shipped bank's questions of a type ("S", "M", "D", "SIM"), by QId;
    // fewer than n stop the case (an exception, as a fatal failure would).
    std::vector<long long> ofType(const std::string& type, int n = 1, const std::string& level = "");
    std::vector<long long> options(long long qid, int correct);  // by Index
    std::vector<long long> chosen(long long qid);                // AnsSelected rows, sorted
    long long marks(const std::string& table, long long qid);

    // Ticks the display rows whose options are in `picks` ("S": selects).
    void tick(const std::vector<long long>& picks);
    // The display row (1..n) that shows option `answersIndex`; 0 when none.
    int rowOf(long long answersIndex);
    // The option (Answers.Index) shown in display row `row` of the question on screen.
    long long optionAt(int row);
    void answerCorrectly(long long qid);
    void answerWrongly(long long qid);

    void advance(std::chrono::nanoseconds d) { now_ += d; }
    void tick1s() {
        advance(std::chrono::seconds(1));
        frmExam.tmrExamTime_Timer();
    }
    std::vector<std::string> boxTexts() const;

    examclock::TimePoint now_{std::chrono::hours(1000)};
};

}  // namespace exam_test
