// Opening the simulator window over console files a candidate could never
// have written (one line of 1 MB or 3 MB, a console of very many short lines,
// a file at the size the reader accepts), from the load to the window shown,
// its console laid out, the caret at the end and the window's events handled,
// on the offscreen platform (or another: QT_QPA_PLATFORM=xcb). Then the close,
// which saves the console as shown. Each case is opened three times (or as
// many as the argument says); the worst is shown.
//
//   bench_simulator_open [rounds [case-name part]]
#include "simulator/consolefile.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

int rounds = 3;
std::string only;
constexpr long long kQId = 98;  // a shipped lab

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Block(const std::string& consoleLines) {
    return "[QID : " + std::to_string(kQId) + "]\r\nR1\r\n#\r\nPress\"Return\" to Start\r\nR1>en\r\n" + consoleLines +
           "R1#\r\n[EOQ]\r\n";
}

std::string ManyLines(size_t bytes) {
    std::string out;
    const std::string line = "R1(config-if)#description LINK-TO-SW1 and some more words\r\n";
    while (out.size() + line.size() < bytes) out += line;
    return out;
}

void Case(const char* what, const std::filesystem::path& folder, const std::string& file) {
    if (std::string(what).find(only) == std::string::npos) return;
    double open = 0, close = 0;
    for (int round = 0; round < rounds; ++round) {
        Write(sim::ConsoleFilePath(folder), file);
        const auto t0 = std::chrono::steady_clock::now();
        frmSimulator.Show();
        QCoreApplication::processEvents();
        const auto t1 = std::chrono::steady_clock::now();
        frmSimulator.cmdClose_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto t2 = std::chrono::steady_clock::now();
        open = std::max(open, Ms(t1 - t0));
        close = std::max(close, Ms(t2 - t1));
    }
    std::printf("%-44s %9zu bytes   open %8.1f ms   close %7.1f ms\n", what, file.size(), open, close);
}

}  // namespace

int main(int argc, char** argv) {
    bench::QuietHeadless();
    QApplication app(argc, argv);
    if (argc > 1) rounds = std::max(1, std::atoi(argv[1]));
    if (argc > 2) only = argv[2];
    std::string lastBox;
    bench::ProgramFolder program([&](const plat::MsgBoxCall& b) {
        lastBox = b.text.toStdString();
        return int(plat::vbOK);
    });
    gintCurQId = kQId;

    std::printf("Simulator window, opened over a console file: worst of %d\n", rounds);
    Case("a console of a few lines", program.dir(), Block(""));
    Case("one line of 1 MB", program.dir(), Block(std::string(1 << 20, 'x') + "\r\n"));
    Case("one line of 3 MB", program.dir(), Block(std::string(3 << 20, 'x') + "\r\n"));
    Case("1 MB of 60-character lines", program.dir(), Block(ManyLines(1 << 20)));
    Case("just under the reader's limit, short lines", program.dir(), Block(ManyLines(sim::kConsoleFileLimit - 200)));
    Case("just under the reader's limit, empty lines", program.dir(),
         Block(std::string((sim::kConsoleFileLimit - 200) & ~1, '\n')));
    Case("just under the reader's limit, 4 KB lines", program.dir(),
         Block([] {
             std::string s;
             const std::string line = std::string(4096, 'y') + "\r\n";
             while (s.size() + line.size() < sim::kConsoleFileLimit - 200) s += line;
             return s;
         }()));
    Case("one line just under the reader's limit", program.dir(), Block(std::string(sim::kConsoleFileLimit - 200, 'z') + "\r\n"));
    if (!lastBox.empty()) std::printf("last box: %s\n", lastBox.c_str());
    return 0;
}
