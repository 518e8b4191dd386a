#include "window_fixture.h"

#include "bank/pictures.h"
#include "exam/frmExam.h"
#include "platform/printing.h"
#include "run.h"
#include "startup/state.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTableWidget>

#include <fstream>

using namespace plat;

namespace results_test {

void WindowTest::SetUp() {
    ProgramTest::SetUp();
    writeMarks();
    frmExam.SetClockForTesting([this] { return now_; });
    SetPrintDialogHook(nullptr);
}

void WindowTest::TearDown() {
    ProgramTest::TearDown();
    frmExam.SetClockForTesting(nullptr);
    SetPrintDialogHook(nullptr);
    SetFontDialogHook(nullptr);
}

void WindowTest::writeMarks() {
    for (auto [file, tick] : {std::pair{"correct.gif", true}, std::pair{"incorrect.gif", false}}) {
        const std::vector<unsigned char> bytes = bank::EncodeGif(tick ? bank::DrawTick() : bank::DrawCross());
        std::ofstream(folder() / file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

void WindowTest::run(const std::vector<long long>& qids) {
    gcnExam->Execute("DELETE * from QuestIds");
    gcnExam->Execute("DELETE * from AnsIds");
    for (long long q : qids) AddToRun(*gcnExam, q);
}

void WindowTest::showExam(bool examMode, int limit) {
    gblnExamMode = examMode;
    gblnAdaptive = false;
    gblnFromResults = false;
    gintExamTime = 60;
    gintExamLimit = static_cast<int16_t>(limit);
    gvarExamDate = date_;
    gvarExamTime = time_;
    frmExam.Show();
}

void WindowTest::printerChosen(int copies, bool landscape) {
    SetPrintDialogHook([this, copies, landscape]() -> std::unique_ptr<QPrinter> {
        ++dialogs;
        if (copies == 0) return nullptr;
        auto p = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(QString::fromStdString(pdf().string()));
        p->setCopyCount(copies);
        if (landscape) p->setPageOrientation(QPageLayout::Landscape);
        return p;
    });
}

int WindowTest::pdfPages() const {
    std::ifstream in(pdf(), std::ios::binary);
    if (!in) return 0;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return static_cast<int>(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))
                                .count(page));
}

std::vector<std::string> WindowTest::boxTexts() const {
    std::vector<std::string> v;
    for (const MsgBoxCall& b : boxes) v.push_back(b.text.toStdString());
    return v;
}

long long WindowTest::count(const std::string& sql) { return gcnExam->Scalar(sql).toInt(); }

QString WindowTest::cell(QTableWidget* grid, int row, int col) {
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QString();
}

QString WindowTest::header(QTableWidget* grid, int col) {
    const QTableWidgetItem* item = grid->horizontalHeaderItem(col);
    return item ? item->text().trimmed() : QString();
}

}  // namespace results_test
