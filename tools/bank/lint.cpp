// The rules the windows rely on when they read the shipped tables, checked row by
// row, plus a walk through every simulation lab at a modelled console.
#include "bank.h"

#include "simulator/engine.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace bank {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// Texts that must say something: neither empty nor the "nothing here" marker.
bool missing(const std::string& s) {
    std::string t = trimmed(s);
    return t.empty() || lower(t) == "na";
}

std::vector<std::string> splitBlank(const std::string& s) {
    std::vector<std::string> out;
    size_t p = 0;
    while (true) {
        size_t q = s.find(' ', p);
        out.push_back(s.substr(p, q == std::string::npos ? std::string::npos : q - p));
        if (q == std::string::npos) break;
        p = q + 1;
    }
    return out;
}

bool isValueWord(const std::string& w) { return !w.empty() && w[0] == '<'; }

class Linter {
public:
    Linter(const Tables& t, const LintOptions& o) : t_(t), o_(o) {}

    std::vector<Breach> run() {
        categories();
        questions();
        answers();
        drags();
        labs();
        return std::move(out_);
    }

private:
    void breach(const Origin& at, int qid, const char* rule, const std::string& msg) {
        out_.push_back(Breach{at, qid, rule, msg});
    }

    void categories() {
        std::set<int> seen;
        for (const auto& c : t_.categories) {
            if (!seen.insert(c.index).second)
                breach(c.at, 0, "category-unique", "category " + std::to_string(c.index) + " is defined twice");
            if (missing(c.name)) breach(c.at, 0, "text-na", "category " + std::to_string(c.index) + " has no name");
        }
        catIds_ = seen;
    }

    void questions() {
        for (const auto& q : t_.questions) {
            if (!byQid_.emplace(q.qid, &q).second)
                breach(q.at, q.qid, "qid-unique", "QId " + std::to_string(q.qid) + " is used twice");
            if (q.qid < 1 || q.qid > 32767)
                breach(q.at, q.qid, "qid-range", "QId must lie between 1 and 32767");
            if (!catIds_.count(q.catInd))
                breach(q.at, q.qid, "category-exists",
                       "category " + std::to_string(q.catInd) + " does not exist");
            if (q.qtype != "S" && q.qtype != "M" && q.qtype != "D" && q.qtype != "SIM")
                breach(q.at, q.qid, "type", "type \"" + q.qtype + "\" is not S, M, D or SIM");
            if (q.diffLevel != "B" && q.diffLevel != "I" && q.diffLevel != "E")
                breach(q.at, q.qid, "level", "level \"" + q.diffLevel + "\" is not B, I or E");
            if (missing(q.qname)) breach(q.at, q.qid, "text-na", "question text is missing or \"NA\"");
            explanation(q);
            exhibit(q);
        }
    }

    void explanation(const QuestionRow& q) {
        if (missing(q.expln)) {
            breach(q.at, q.qid, "explanation", "question has no explanation");
            return;
        }
        // The flash card shows an explanation with line breaks without wrapping it.
        if (q.expln.find("\r\n") == std::string::npos) return;
        size_t p = 0;
        while (p <= q.expln.size()) {
            size_t e = q.expln.find("\r\n", p);
            std::string line = q.expln.substr(p, e == std::string::npos ? std::string::npos : e - p);
            if (static_cast<int>(line.size()) > kExplanationLineLimit) {
                breach(q.at, q.qid, "explanation-width",
                       "explanation line longer than " + std::to_string(kExplanationLineLimit) +
                           " characters: \"" + line + "\"");
                break;
            }
            if (e == std::string::npos) break;
            p = e + 2;
        }
    }

    void exhibit(const QuestionRow& q) {
        if (q.exhibitPath == "NA") return;
        std::string name = ExhibitNameOf(q.exhibitPath);
        if (name.empty()) {
            breach(q.at, q.qid, "exhibit",
                   "exhibit path \"" + q.exhibitPath + "\" is not \"exhibits/<name>.png\"");
            return;
        }
        if (o_.exhibitSources.empty()) return;
        auto source = o_.exhibitSources / (name + ".txt");
        std::error_code ec;
        if (!std::filesystem::is_regular_file(source, ec)) {
            breach(q.at, q.qid, "exhibit", "exhibit source " + source.string() + " does not exist");
            return;
        }
        if (o_.renderExhibit) {
            auto found = rendered_.find(name);
            if (found == rendered_.end()) found = rendered_.emplace(name, o_.renderExhibit(source)).first;
            if (!found->second.empty())
                breach(q.at, q.qid, "exhibit", "exhibit " + name + " does not draw: " + found->second);
        }
    }

    const QuestionRow* question(int qid) const {
        auto it = byQid_.find(qid);
        return it == byQid_.end() ? nullptr : it->second;
    }

    void answers() {
        std::set<int> seen;
        std::map<int, std::pair<int, int>> counts;  // qid -> options, correct
        for (const auto& a : t_.answers) {
            if (!seen.insert(a.index).second)
                breach(a.at, a.qid, "answer-index", "Answers.Index " + std::to_string(a.index) + " is used twice");
            const QuestionRow* q = question(a.qid);
            if (!q) {
                breach(a.at, a.qid, "orphan", "option belongs to no question");
                continue;
            }
            if (q->qtype != "S" && q->qtype != "M")
                breach(a.at, a.qid, "orphan", "a " + q->qtype + " question has options");
            if (missing(a.answer)) breach(a.at, a.qid, "text-na", "option text is missing or \"NA\"");
            if (a.correct != 0 && a.correct != 1)
                breach(a.at, a.qid, "answer-flag", "CorrectAns must be 0 or 1");
            auto& c = counts[a.qid];
            ++c.first;
            if (a.correct == 1) ++c.second;
        }
        std::map<int, std::set<std::string>> texts;
        for (const auto& a : t_.answers)
            if (!texts[a.qid].insert(lower(trimmed(a.answer))).second)
                breach(a.at, a.qid, "answer-duplicate", "option \"" + a.answer + "\" is given twice");
        for (const auto& q : t_.questions) {
            auto c = counts[q.qid];
            if (q.qtype == "S") {
                if (c.first < 2) breach(q.at, q.qid, "single-answer", "a single-answer question needs two options or more");
                if (c.second != 1)
                    breach(q.at, q.qid, "single-answer",
                           "a single-answer question needs exactly one correct option, has " + std::to_string(c.second));
            } else if (q.qtype == "M") {
                if (c.second < 2)
                    breach(q.at, q.qid, "multiple-answer",
                           "a multiple-answer question needs two correct options or more, has " + std::to_string(c.second));
                if (c.first - c.second < 1)
                    breach(q.at, q.qid, "multiple-answer", "a multiple-answer question needs a wrong option too");
            }
        }
    }

    void drags() {
        std::set<int> seen;
        std::map<int, std::vector<const DragRow*>> byQ;
        for (const auto& d : t_.drags) {
            if (!seen.insert(d.index).second)
                breach(d.at, d.qid, "drag-index", "DragNDrop.Index " + std::to_string(d.index) + " is used twice");
            if (d.index < 1 || d.index > 32767)
                breach(d.at, d.qid, "drag-index", "DragNDrop.Index must lie between 1 and 32767");
            const QuestionRow* q = question(d.qid);
            if (!q) breach(d.at, d.qid, "orphan", "drag-and-drop row belongs to no question");
            else if (q->qtype != "D") breach(d.at, d.qid, "orphan", "a " + q->qtype + " question has drag-and-drop rows");
            if (missing(d.question) || missing(d.answer))
                breach(d.at, d.qid, "text-na", "drag-and-drop item or answer is missing or \"NA\"");
            if (d.question.size() > kDragText || d.answer.size() > kDragText)
                breach(d.at, d.qid, "drag-length",
                       "drag-and-drop texts are shown in narrow labels: keep them to " +
                           std::to_string(kDragText) + " characters");
            if (d.ansSel != 0 || d.ansRand != 0)
                breach(d.at, d.qid, "drag-working", "AnsSel and AnsRand must ship as 0");
            byQ[d.qid].push_back(&d);
        }
        for (const auto& q : t_.questions) {
            if (q.qtype != "D") continue;
            auto rows = byQ[q.qid];
            if (rows.size() < 3 || rows.size() > 6)
                breach(q.at, q.qid, "drag-rows",
                       "a drag-and-drop question needs 3 to 6 rows, has " + std::to_string(rows.size()));
            if (rows.empty()) continue;
            std::sort(rows.begin(), rows.end(), [](auto a, auto b) { return a->index < b->index; });
            for (size_t i = 1; i < rows.size(); ++i)
                if (rows[i]->index != rows[i - 1]->index + 1) {
                    breach(rows[i]->at, q.qid, "drag-consecutive",
                           "drag-and-drop rows must have consecutive Index values (" +
                               std::to_string(rows[i - 1]->index) + " then " + std::to_string(rows[i]->index) + ")");
                    break;
                }
            std::set<std::string> answers, items;
            for (auto* r : rows) {
                if (!answers.insert(lower(trimmed(r->answer))).second)
                    breach(r->at, q.qid, "drag-distinct", "answer \"" + r->answer + "\" is given to two rows");
                if (!items.insert(lower(trimmed(r->question))).second)
                    breach(r->at, q.qid, "drag-distinct", "item \"" + r->question + "\" is given twice");
            }
        }
    }

    void labs() {
        std::set<int> seen;
        std::map<int, std::vector<SimCommandRow>> byQ;
        for (const auto& c : t_.commands) {
            if (!seen.insert(c.index).second)
                breach(c.at, c.qid, "command-index", "SimCommands.Index " + std::to_string(c.index) + " is used twice");
            const QuestionRow* q = question(c.qid);
            if (!q) breach(c.at, c.qid, "orphan", "simulator command belongs to no question");
            else if (q->qtype != "SIM") breach(c.at, c.qid, "orphan", "a " + q->qtype + " question has simulator commands");
            if (missing(c.command) || missing(c.cmdPmt) || missing(c.resPmt) || missing(c.devName))
                breach(c.at, c.qid, "text-na", "command, prompts and device name must not be missing or \"NA\"");
            if (trimmed(c.response).empty())
                breach(c.at, c.qid, "text-na", "a command without output has the response \"NA\", not an empty one");
            if (c.cmdTyped != 0) breach(c.at, c.qid, "command-working", "CmdTyped must ship as 0");
            for (const std::string* p : {&c.cmdPmt, &c.resPmt})
                if (!missing(*p) && (p->find(' ') != std::string::npos || (p->back() != '#' && p->back() != '>')))
                    breach(c.at, c.qid, "prompt", "prompt \"" + *p + "\" must end in \"#\" or \">\" and hold no blank");
            if (c.devName.find(' ') != std::string::npos)
                breach(c.at, c.qid, "device", "device name \"" + c.devName + "\" holds a blank");
            words(c);
            byQ[c.qid].push_back(c);
        }
        std::map<int, std::vector<std::string>> values;
        for (const auto& v : t_.values) {
            if (!seen.count(v.cmdInd))
                breach(v.at, 0, "value-orphan", "value \"" + v.cmdVal + "\" names no command (CmdInd " +
                                                    std::to_string(v.cmdInd) + ")");
            if (trimmed(v.cmdVal).empty() || v.cmdVal.find(' ') != std::string::npos)
                breach(v.at, 0, "value", "value \"" + v.cmdVal + "\" is empty or holds a blank, so it can never be typed");
            values[v.cmdInd].push_back(v.cmdVal);
        }
        for (const auto& c : t_.commands) {
            int want = 0;
            for (const auto& w : splitBlank(c.command))
                if (isValueWord(w)) ++want;
            int have = static_cast<int>(values[c.index].size());
            if (want != have)
                breach(c.at, c.qid, "values",
                       "command \"" + c.command + "\" has " + std::to_string(want) + " value word(s) but " +
                           std::to_string(have) + " value row(s)");
        }
        for (const auto& q : t_.questions) {
            if (q.qtype != "SIM") continue;
            auto rows = byQ[q.qid];
            if (rows.empty()) {
                breach(q.at, q.qid, "lab", "a simulation question has no commands");
                continue;
            }
            std::sort(rows.begin(), rows.end(), [](auto& a, auto& b) { return a.index < b.index; });
            for (const auto& r : rows)
                if (r.devName != rows.front().devName) {
                    breach(r.at, q.qid, "device", "one lab, one device: \"" + r.devName + "\" differs from \"" +
                                                     rows.front().devName + "\"");
                    break;
                }
            for (const auto& problem : WalkLab(rows, values))
                breach(q.at, q.qid, "lab-walk", problem);
        }
    }

    void words(const SimCommandRow& c) {
        if (missing(c.command)) return;
        for (const auto& w : splitBlank(c.command)) {
            if (w.empty()) {
                breach(c.at, c.qid, "command-words",
                       "command \"" + c.command + "\" has a doubled, leading or trailing blank");
                return;
            }
            if (isValueWord(w)) {
                if (w.size() < 3 || w.back() != '>')
                    breach(c.at, c.qid, "command-words", "value word \"" + w + "\" is not of the form <name>");
                continue;
            }
            if (lower(w) != w)
                breach(c.at, c.qid, "command-words",
                       "command word \"" + w + "\" must be lowercase: candidates type commands in lowercase");
            if (std::isdigit(static_cast<unsigned char>(w[0])))
                breach(c.at, c.qid, "command-words",
                       "number \"" + w + "\" must be a value word: as a plain word any leading part of it is accepted");
        }
    }

    static constexpr size_t kDragText = 32;

    const Tables& t_;
    const LintOptions& o_;
    std::vector<Breach> out_;
    std::set<int> catIds_;
    std::map<int, const QuestionRow*> byQid_;
    std::map<std::string, std::string> rendered_;
};

}  // namespace

std::vector<Breach> Lint(const Tables& t, const LintOptions& options) { return Linter(t, options).run(); }

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

std::vector<std::string> WalkLab(const std::vector<SimCommandRow>& commands,
                                 const std::map<int, std::vector<std::string>>& valuesByCmd) {
    std::vector<std::string> problems;
    std::vector<SimCommandRow> rows = commands;
    std::sort(rows.begin(), rows.end(), [](auto& a, auto& b) { return a.index < b.index; });
    sim::Lab lab;
    for (const SimCommandRow& r : rows) {
        sim::Command c;
        c.index = r.index;
        c.command = Q(r.command);
        c.cmdPmt = Q(r.cmdPmt);
        c.resPmt = Q(r.resPmt);
        c.response = Q(r.response);
        c.devName = Q(r.devName);
        if (auto it = valuesByCmd.find(r.index); it != valuesByCmd.end())
            for (const std::string& v : it->second) c.values << Q(v);
        lab.commands.push_back(c);
    }
    // The console the candidate types at, started by Return on its start line.
    sim::Console console;
    QString text = sim::kStartLine;
    auto type = [&](const QString& line) {
        text += line;
        sim::Reply r = console.Enter(text, lab);
        if (r.accepted)
            for (sim::Command& c : lab.commands)
                if (c.index == *r.accepted) c.typed = true;
        text = r.Applied(text);
        return r;
    };
    type(QString());
    for (size_t i = 0; i < rows.size(); ++i) {
        const SimCommandRow& row = rows[i];
        const sim::Command& expected = lab.commands[i];
        std::string what = "command " + std::to_string(i + 1) + " \"" + row.command + "\"";
        // Only "exit" moves the console without a command of the lab.
        while (console.Prompt().compare(expected.cmdPmt, Qt::CaseInsensitive) != 0) {
            const QString from = console.Prompt();
            if (sim::ExitPrompt(from) == from) {
                problems.push_back(what + " is expected at \"" + row.cmdPmt + "\", which cannot be reached from \"" +
                                   from.toStdString() + "\"" +
                                   (from == QLatin1String(">") ? "" : " (exit does not leave that prompt)"));
                return problems;
            }
            type(QStringLiteral("exit"));
        }
        const QString line = sim::FilledCommand(expected);
        if (sim::NormaliseCommand(line).compare(QLatin1String("exit"), Qt::CaseInsensitive) == 0) {
            problems.push_back(what + ": the console takes \"exit\" itself, so it cannot be an expected command");
            return problems;
        }
        const sim::Reply r = type(line);
        if (!r.accepted) {
            problems.push_back(what + ": the model answer \"" + line.toStdString() + "\" is refused");
            return problems;
        }
        if (*r.accepted != row.index) {
            problems.push_back(what + ": the model answer \"" + line.toStdString() +
                               "\" is taken for another command of the lab");
            return problems;
        }
    }
    return problems;
}

}  // namespace bank
