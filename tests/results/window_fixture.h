// The results windows on a fresh program folder: the review marks in place,
// runs put straight into the run tables, the exam window on a clock the test
// moves, and the printer dialog answered with a PDF printer (or cancelled).
#pragma once

#include "exam/examclock.h"
#include "support/fixture.h"

#include <QDate>
#include <QTime>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QTableWidget;

namespace results_test {

class WindowTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes "correct.gif" and "incorrect.gif" into the program folder.
    void writeMarks();

    // Sets the run's state (exam mode or learn mode, linear), stamps it and
    // shows the exam window over what the run tables hold.
    void showExam(bool examMode, int limit);
    // A run of the given questions in QuestIds (options in stored order).
    void run(const std::vector<long long>& qids);

    // The printer dialog: chosen with this many copies, printing to a PDF file
    // in the program folder, or cancelled (0 copies).
    void printerChosen(int copies, bool landscape = false);
    std::filesystem::path pdf() const { return folder() / "printed.pdf"; }
    int pdfPages() const;  // 0 when nothing was printed
    int dialogs = 0;       // printer dialogs shown

    std::vector<std::string> boxTexts() const;
    long long count(const std::string& sql);
    // The text of a grid cell (row from 0 below the header); empty when none.
    static QString cell(QTableWidget* grid, int row, int col);
    // The trimmed text of a column's header; empty when it has none.
    static QString header(QTableWidget* grid, int col);

    examclock::TimePoint now_{std::chrono::hours(1000)};
    const QDate date_{2026, 12, 7};
    const QTime time_{9, 5, 7};
};

}  // namespace results_test
