// A bank of n questions of every type, with the run holding all of them in
// bank order, for the benchmarks of the exam, review and grade windows: every
// fourth question of each type in turn ("S" and "M" with four options,
// drag and drop with three rows, router simulation with two commands), levels
// mixed, texts of a few sentences as in the shipped bank; and the timing
// helpers these benchmarks print with.
#pragma once

#include "platform/database.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline const char* TypeAt(long long qid) {
    static const char* types[] = {"S", "M", "D", "SIM"};
    return types[(qid - 1) % 4];
}

inline void MakeRunBank(plat::Database& db, int n) {
    static const char* levels[] = {"B", "I", "E"};
    plat::Transaction t(db);
    for (const char* table : {"Questions", "Answers", "DragNDrop", "SimCommands", "QuestIds", "AnsIds",
                              "AnsSelected", "BookMark", "BookMarkExam"})
        db.Execute(std::string("DELETE * from ") + table);
    long long option = 1, ansId = 1, drag = 1, command = 1;
    const std::string text =
        "Refer to the exhibit. A router receives a packet for a destination that matches two routes in its "
        "table. Which route does it use, and why does the administrative distance not decide here?";
    for (long long qid = 1; qid <= n; ++qid) {
        const std::string type = TypeAt(qid);
        const std::string level = levels[((qid - 1) / 4) % 3];
        db.Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                   "VALUES (?,?,?,?,?,'NA','An explanation.')",
                   {qid, text + " (" + std::to_string(qid) + ")", level, type, 1 + (qid - 1) % 2});
        db.Execute("INSERT INTO QuestIds (Index,QId,DiffLvl) VALUES (?,?,?)", {qid, qid, level});
        if (type == "S" || type == "M") {
            for (int o = 0; o < 4; ++o) {
                db.Execute("INSERT INTO Answers (Index,QId,Answer,CorrectAns) VALUES (?,?,?,?)",
                           {option, qid, "The route with the longest matching prefix, option " + std::to_string(o),
                            o < (type == "M" ? 2 : 1) ? 1 : 0});
                db.Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {ansId++, option++, qid});
            }
        } else if (type == "D") {
            for (int r = 0; r < 3; ++r, ++drag)
                db.Execute("INSERT INTO DragNDrop (Index,QId,Question,Answer,AnsSel,AnsRand) VALUES (?,?,?,?,0,0)",
                           {drag, qid, "Layer " + std::to_string(r + 1), "Protocol data unit " + std::to_string(drag)});
        } else {
            for (int c = 0; c < 2; ++c)
                db.Execute("INSERT INTO SimCommands (Index,QId,Command,CmdPmt,ResPmt,Response,DevName,CmdTyped) "
                           "VALUES (?,?,'show ip route','#','#','',?,0)",
                           {command++, qid, "Router" + std::to_string(qid)});
        }
    }
    t.Commit();
}

// Answers question qid as a candidate would have, correctly: its first correct
// option(s), its rows dropped in place, its commands typed.
inline void Answer(plat::Database& db, long long qid) {
    const std::string type = TypeAt(qid);
    if (type == "S" || type == "M")
        db.Execute("INSERT INTO AnsSelected (QId,Answer) SELECT QId,Index FROM Answers where QId = ? and CorrectAns = 1",
                   {qid});
    else if (type == "D")
        db.Execute("UPDATE DragNDrop SET AnsSel = Index where QId = ?", {qid});
    else
        db.Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ?", {qid});
}

inline double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline void Report(const std::string& what, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s %5zu runs   median %7.2f ms   worst %7.2f ms\n", what.c_str(), ms.size(), ms[ms.size() / 2],
                ms.back());
}

// Notes the first paint of any widget of one window, wherever it is opened
// (a modal window paints inside its own event loop).
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* (*window)()) : window_(window) { QCoreApplication::instance()->installEventFilter(this); }
    ~FirstPaint() override { QCoreApplication::instance()->removeEventFilter(this); }
    void Arm() { painted_ = false; }
    bool Painted() const { return painted_; }
    std::chrono::steady_clock::time_point At() const { return at_; }

    bool eventFilter(QObject* o, QEvent* e) override {
        if (!painted_ && e->type() == QEvent::Paint && o->isWidgetType()) {
            QWidget* w = window_();
            if (w && static_cast<QWidget*>(o)->window() == w) {
                painted_ = true;
                at_ = std::chrono::steady_clock::now();
            }
        }
        return false;
    }

private:
    QWidget* (*window_)();
    bool painted_ = false;
    std::chrono::steady_clock::time_point at_;
};

}  // namespace bench
