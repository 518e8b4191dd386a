// Reads the bank's source files. The format, for a question author:
//
//   # a comment (a '#' in the first column)
//   category 4: Switching and VLANs
//
//   question 12
//   type: S                     S, M, D or SIM
//   level: B                    B, I or E
//   exhibit: vlan-trunk         drawn from data/exhibits/vlan-trunk.txt
//   text: Which command ...     text may go on over indented lines;
//     ... continued here        a blank line starts a new paragraph and a
//     | kept as its own line    line starting with "|" stands on its own
//   option: a wrong option
//   correct: a correct option
//   match: item => its answer   (drag and drop, one row per line)
//   device: R1                  (simulation)
//   cmd: (config)# interface <if> => (config-if)#
//   values: g0/0                value words' texts, in word order
//   response:                   device output, kept line by line
//       ...
//   explain: why the answer is right ...
//
// A key stands in the first column; its value is the rest of the line plus the
// indented lines below it.
#include "bank.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace bank {

namespace {

const char* const kCrLf = "\r\n";

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

bool isBlank(std::string_view s) { return trim(s).empty(); }

size_t indentOf(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return i;
}

// One "key: value" entry with its continuation lines.
struct Entry {
    std::string key;
    std::string first;               // text after the colon, trimmed
    std::vector<std::string> more;   // continuation lines, common indent removed; "" = blank
    int line = 0;
};

std::vector<std::string> dedent(std::vector<std::string> lines) {
    while (!lines.empty() && isBlank(lines.back())) lines.pop_back();
    size_t common = std::string::npos;
    for (const auto& l : lines)
        if (!isBlank(l)) common = std::min(common, indentOf(l));
    for (auto& l : lines) {
        if (isBlank(l)) l.clear();
        else {
            l = l.substr(common);
            while (!l.empty() && std::isspace(static_cast<unsigned char>(l.back()))) l.pop_back();
        }
    }
    return lines;
}

// Text that flows: lines of a paragraph are joined by blanks, a blank line keeps
// an empty line between paragraphs, a "|" line stands on its own.
struct Piece {
    std::string text;
    bool verbatim;  // a "|" line, or the empty line between paragraphs
};

std::vector<Piece> pieces(const Entry& e) {
    std::vector<std::string> src;
    if (!e.first.empty()) src.push_back(e.first);
    for (const auto& l : e.more) src.push_back(l);
    std::vector<Piece> out;
    std::string para;
    auto flush = [&] {
        if (!para.empty()) out.push_back({para, false});
        para.clear();
    };
    for (const auto& raw : src) {
        std::string l = trim(raw);
        if (l.empty()) {
            flush();
            if (!out.empty() && !out.back().text.empty()) out.push_back({"", true});
        } else if (l[0] == '|') {
            flush();
            std::string v = raw.substr(raw.find('|') + 1);
            if (!v.empty() && v[0] == ' ') v.erase(0, 1);
            while (!v.empty() && std::isspace(static_cast<unsigned char>(v.back()))) v.pop_back();
            out.push_back({v, true});
        } else {
            if (!para.empty()) para += ' ';
            para += l;
        }
    }
    flush();
    while (!out.empty() && out.back().text.empty()) out.pop_back();
    return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string s;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) s += kCrLf;
        s += lines[i];
    }
    return s;
}

std::string proseText(const Entry& e) {
    std::vector<std::string> lines;
    for (auto& p : pieces(e)) lines.push_back(p.text);
    return joinLines(lines);
}

std::vector<std::string> wrap(const std::string& para, size_t width) {
    std::vector<std::string> out;
    std::istringstream words(para);
    std::string w, line;
    while (words >> w) {
        if (!line.empty() && line.size() + 1 + w.size() > width) {
            out.push_back(line);
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += w;
    }
    if (!line.empty()) out.push_back(line);
    return out;
}

// An explanation of one paragraph stays one line (its box wraps it); one with
// several parts is broken into lines that fit the box that does not wrap.
std::string explanationText(const Entry& e) {
    std::vector<Piece> ps = pieces(e);
    if (ps.size() == 1 && !ps[0].verbatim) return ps[0].text;
    std::vector<std::string> lines;
    for (auto& p : ps) {
        if (p.verbatim) lines.push_back(p.text);
        else
            for (auto& l : wrap(p.text, kExplanationWidth)) lines.push_back(l);
    }
    return joinLines(lines);
}

// Output kept line by line, as a device prints it.
std::string verbatimText(const Entry& e) {
    std::vector<std::string> lines;
    if (!e.first.empty()) lines.push_back(e.first);
    for (const auto& l : e.more) lines.push_back(l);
    return joinLines(lines);
}

struct Lab {
    SimCommandRow row;
    std::vector<std::string> values;
    bool hasValues = false;
    bool hasResponse = false;
};

struct Question {
    QuestionRow row;
    bool seen[6] = {};  // type, level, text, explain, exhibit, device
    struct Option {
        std::string text;
        bool correct;
        Origin at;
    };
    std::vector<Option> options;
    std::vector<DragRow> drags;
    std::vector<Lab> labs;
    std::string device;
    int deviceLine = 0;
};

class Parser {
public:
    Parser(std::string name, std::vector<Breach>& errors) : name_(std::move(name)), errors_(errors) {}

    void parse(std::string_view text) {
        std::vector<std::string> lines;
        {
            std::string cur;
            for (char c : text) {
                if (c == '\n') {
                    if (!cur.empty() && cur.back() == '\r') cur.pop_back();
                    lines.push_back(cur);
                    cur.clear();
                } else {
                    cur += c;
                }
            }
            if (!cur.empty()) lines.push_back(cur);
        }
        std::vector<Entry> entries;
        bool open = false;                 // the last entry takes continuation lines
        std::vector<std::string> pending;  // continuation lines of the open entry
        auto close = [&] {
            if (open) entries.back().more = dedent(pending);
            pending.clear();
        };
        // Headers ("category", "question") are entries too, with an empty key suffix.
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& l = lines[i];
            int no = static_cast<int>(i) + 1;
            if (!l.empty() && l[0] == '#') continue;
            if (isBlank(l)) {
                if (open) pending.push_back("");
                continue;
            }
            if (indentOf(l) > 0) {
                if (!open) {
                    error(no, 0, "syntax", "indented line belongs to no key");
                    continue;
                }
                pending.push_back(l);
                continue;
            }
            close();
            Entry e;
            e.line = no;
            size_t colon = l.find(':');
            std::string head = trim(l.substr(0, colon));
            if (head.rfind("question", 0) == 0 && (head.size() == 8 || head[8] == ' ') &&
                colon == std::string::npos) {
                e.key = "question";
                e.first = trim(head.substr(8));
            } else if (head.rfind("category ", 0) == 0 && colon != std::string::npos) {
                e.key = "category";
                e.first = trim(head.substr(9)) + ":" + trim(l.substr(colon + 1));
            } else if (colon != std::string::npos && head.find(' ') == std::string::npos) {
                e.key = head;
                e.first = trim(l.substr(colon + 1));
            } else {
                error(no, 0, "syntax", "expected \"key: value\", \"question N\" or \"category N: name\"");
                open = false;
                continue;
            }
            entries.push_back(std::move(e));
            open = true;
        }
        close();
        for (auto& e : entries) handle(e);
        finishQuestion();
    }

    std::vector<CategoryRow> categories;
    std::vector<Question> questions;

private:
    void error(int line, int qid, const std::string& rule, const std::string& msg) {
        errors_.push_back(Breach{Origin{name_, line}, qid, rule, msg});
    }

    Origin at(const Entry& e) const { return Origin{name_, e.line}; }

    static bool toInt(const std::string& s, int& v) {
        if (s.empty() || s.size() > 9) return false;
        for (char c : s)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        v = std::stoi(s);
        return true;
    }

    void finishQuestion() {
        if (!cur_) return;
        Question& q = *cur_;
        int qid = q.row.qid;
        if (!q.seen[0]) error(q.row.at.line, qid, "syntax", "question has no type");
        if (!q.seen[1]) error(q.row.at.line, qid, "syntax", "question has no level");
        if (!q.seen[2]) error(q.row.at.line, qid, "syntax", "question has no text");
        for (auto& lab : q.labs) lab.row.devName = q.device;
        if (!q.labs.empty() && q.device.empty())
            error(q.row.at.line, qid, "syntax", "simulation has no \"device\"");
        cur_ = nullptr;
    }

    Question* need(const Entry& e) {
        if (!cur_) error(e.line, 0, "syntax", "\"" + e.key + "\" outside a question");
        return cur_;
    }

    void once(Question& q, int slot, const Entry& e) {
        if (q.seen[slot]) error(e.line, q.row.qid, "syntax", "\"" + e.key + "\" given twice");
        q.seen[slot] = true;
    }

    void handle(Entry& e) {
        if (e.key == "category") {
            finishQuestion();
            size_t c = e.first.find(':');
            CategoryRow row;
            row.at = at(e);
            row.name = trim(e.first.substr(c + 1));
            if (!toInt(e.first.substr(0, c), row.index))
                error(e.line, 0, "syntax", "category number expected");
            else if (!categories.empty())
                error(e.line, 0, "syntax", "one category per file");
            else
                categories.push_back(row);
            return;
        }
        if (e.key == "question") {
            finishQuestion();
            Question q;
            q.row.at = at(e);
            if (!toInt(e.first, q.row.qid)) {
                error(e.line, 0, "syntax", "question number expected after \"question\"");
                q.row.qid = 0;
            }
            if (categories.empty())
                error(e.line, q.row.qid, "syntax", "question before the file's \"category\" line");
            else
                q.row.catInd = categories.front().index;
            questions.push_back(std::move(q));
            cur_ = &questions.back();
            return;
        }
        Question* q = need(e);
        if (!q) return;
        int qid = q->row.qid;
        if (!e.more.empty() && (e.key == "type" || e.key == "level" || e.key == "exhibit" ||
                                e.key == "device" || e.key == "values" || e.key == "match" ||
                                e.key == "cmd"))
            error(e.line, qid, "syntax", "\"" + e.key + "\" takes one line");
        if (e.key == "type") {
            once(*q, 0, e);
            q->row.qtype = e.first;
        } else if (e.key == "level") {
            once(*q, 1, e);
            q->row.diffLevel = e.first;
        } else if (e.key == "text") {
            once(*q, 2, e);
            q->row.qname = proseText(e);
        } else if (e.key == "explain") {
            once(*q, 3, e);
            q->row.expln = explanationText(e);
        } else if (e.key == "exhibit") {
            once(*q, 4, e);
            q->row.exhibitPath = ExhibitPathFor(e.first);
        } else if (e.key == "option" || e.key == "correct") {
            q->options.push_back({proseText(e), e.key == "correct", at(e)});
        } else if (e.key == "match") {
            size_t p = e.first.find("=>");
            DragRow d;
            d.qid = qid;
            d.at = at(e);
            if (p == std::string::npos) {
                error(e.line, qid, "syntax", "\"match\" needs \"item => answer\"");
                return;
            }
            d.question = trim(e.first.substr(0, p));
            d.answer = trim(e.first.substr(p + 2));
            q->drags.push_back(d);
        } else if (e.key == "device") {
            once(*q, 5, e);
            q->device = e.first;
        } else if (e.key == "cmd") {
            Lab lab;
            lab.row.qid = qid;
            lab.row.at = at(e);
            std::string s = e.first;
            size_t arrow = s.rfind("=>");
            std::string res;
            if (arrow != std::string::npos) {
                res = trim(s.substr(arrow + 2));
                s = s.substr(0, arrow);
            }
            size_t b = s.find_first_not_of(" \t");
            size_t sp = b == std::string::npos ? std::string::npos : s.find(' ', b);
            if (sp == std::string::npos) {
                error(e.line, qid, "syntax", "\"cmd\" needs \"PROMPT command [=> PROMPT]\"");
                return;
            }
            lab.row.cmdPmt = s.substr(b, sp - b);
            // The command keeps its inner spacing (the linter judges it); the ends go.
            std::string cmd = trim(s.substr(sp + 1));
            lab.row.command = cmd;
            lab.row.resPmt = res.empty() ? lab.row.cmdPmt : res;
            q->labs.push_back(lab);
        } else if (e.key == "values" || e.key == "response") {
            if (q->labs.empty()) {
                error(e.line, qid, "syntax", "\"" + e.key + "\" must follow a \"cmd\"");
                return;
            }
            Lab& lab = q->labs.back();
            if (e.key == "values") {
                if (lab.hasValues) error(e.line, qid, "syntax", "\"values\" given twice for one command");
                lab.hasValues = true;
                std::istringstream in(e.first);
                std::string v;
                while (in >> v) lab.values.push_back(v);
            } else {
                if (lab.hasResponse) error(e.line, qid, "syntax", "\"response\" given twice for one command");
                lab.hasResponse = true;
                lab.row.response = verbatimText(e);
            }
        } else {
            error(e.line, qid, "syntax", "unknown key \"" + e.key + "\"");
        }
    }

    std::string name_;
    std::vector<Breach>& errors_;
    Question* cur_ = nullptr;
};

}  // namespace

std::string ExhibitPathFor(std::string_view name) { return "exhibits/" + std::string(name) + ".png"; }

std::string ExhibitNameOf(std::string_view path) {
    constexpr std::string_view pre = "exhibits/", post = ".png";
    if (path.size() <= pre.size() + post.size() || path.substr(0, pre.size()) != pre ||
        path.substr(path.size() - post.size()) != post)
        return "";
    std::string name(path.substr(pre.size(), path.size() - pre.size() - post.size()));
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_')) return "";
    return name;
}

Tables CompileBankTexts(const std::map<std::string, std::string>& files, std::vector<Breach>& errors) {
    std::vector<CategoryRow> cats;
    std::vector<Question> all;
    for (const auto& [name, text] : files) {
        Parser p(name, errors);
        p.parse(text);
        if (p.categories.empty() && !p.questions.empty())
            errors.push_back(Breach{Origin{name, 1}, 0, "syntax", "file has no \"category N: name\" line"});
        for (auto& c : p.categories) cats.push_back(c);
        for (auto& q : p.questions) all.push_back(std::move(q));
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const Question& a, const Question& b) { return a.row.qid < b.row.qid; });
    std::stable_sort(cats.begin(), cats.end(),
                     [](const CategoryRow& a, const CategoryRow& b) { return a.index < b.index; });

    Tables t;
    t.categories = cats;
    int answerIndex = 0, dragIndex = 0, cmdIndex = 0;
    for (auto& q : all) {
        t.questions.push_back(q.row);
        for (auto& o : q.options) {
            AnswerRow a;
            a.index = ++answerIndex;
            a.qid = q.row.qid;
            a.answer = o.text;
            a.correct = o.correct ? 1 : 0;
            a.at = o.at;
            t.answers.push_back(a);
        }
        for (auto d : q.drags) {
            d.index = ++dragIndex;
            t.drags.push_back(d);
        }
        for (auto& lab : q.labs) {
            SimCommandRow c = lab.row;
            c.index = ++cmdIndex;
            t.commands.push_back(c);
            for (auto& v : lab.values) t.values.push_back(SimValueRow{c.index, v, lab.row.at});
        }
    }
    return t;
}

Tables ReadBankSources(const std::filesystem::path& bankDir, std::vector<Breach>& errors) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    std::error_code ec;
    if (!fs::is_directory(bankDir, ec)) {
        errors.push_back(Breach{Origin{bankDir.string(), 0}, 0, "syntax", "bank folder not found"});
        return {};
    }
    // Named as from the repository's top: "data/bank/01-x.txt".
    fs::path dir = bankDir.filename().empty() ? bankDir.parent_path() : bankDir;
    std::string folder = (dir.parent_path().filename() / dir.filename()).generic_string();
    for (const auto& entry : fs::directory_iterator(bankDir)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".txt") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        if (!in) {
            errors.push_back(Breach{Origin{entry.path().string(), 0}, 0, "syntax", "cannot read the file"});
            continue;
        }
        files[folder + "/" + entry.path().filename().string()] = ss.str();
    }
    return CompileBankTexts(files, errors);
}

std::string Describe(const Breach& b) {
    std::string s = b.at.file;
    if (b.at.line > 0) s += ":" + std::to_string(b.at.line);
    s += ": ";
    if (b.qid > 0) s += "question " + std::to_string(b.qid) + ": ";
    s += b.message;
    if (!b.rule.empty()) s += " [" + b.rule + "]";
    return s;
}

std::string DescribeAll(const std::vector<Breach>& breaches) {
    std::string s;
    for (const auto& b : breaches) s += Describe(b) + "\n";
    return s;
}

}  // namespace bank
