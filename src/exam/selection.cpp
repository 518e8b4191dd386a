#include "selection.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace selection {

namespace {

using plat::Database;
using plat::Value;

const std::array<const char*, 3> kLevels = {"B", "I", "E"};
const std::array<const char*, 3> kLevelNames = {"beginner", "intermediate", "expert"};

Outcome Fail(std::string problem) { return Outcome{false, std::move(problem)}; }

std::string Num(long long n) { return std::to_string(n); }

// A table name is joined into the SQL text, so it must be a plain name.
bool PlainName(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// Text as the database's text columns compare it: ASCII letters in any case.
std::string Folded(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string GroupKey(const std::string& foldedName, const std::string& foldedLevel) {
    return foldedName + '\x1f' + foldedLevel;
}

size_t Uniform(Rng& rng, size_t lo, size_t hi) { return std::uniform_int_distribution<size_t>(lo, hi)(rng); }

// Puts a uniformly drawn ordered sample of k items first (partial Fisher-Yates).
template <class T>
void SampleFront(std::vector<T>& v, size_t k, Rng& rng) {
    for (size_t i = 0; i < k && i + 1 < v.size(); ++i) std::swap(v[i], v[Uniform(rng, i, v.size() - 1)]);
}

template <class T>
void Shuffle(std::vector<T>& v, Rng& rng) { SampleFront(v, v.size(), rng); }

// What the run tables hold already: callers empty them first, but a selection
// made on top of earlier rows numbers on after them and never repeats a question
// or an option.
struct RunSoFar {
    long long nextIndex = 1;
    std::unordered_set<long long> qids;
};

long long NextIndex(Database& db, const char* table) {
    plat::Recordset rs = db.OpenRecordset(std::string("SELECT Index FROM ") + table + " ORDER BY Index DESC LIMIT 1");
    return rs.Eof() ? 1 : rs.Fields(0).toInt() + 1;
}

RunSoFar ReadRun(Database& db) {
    RunSoFar run;
    run.nextIndex = NextIndex(db, "QuestIds");
    plat::Recordset rs = db.OpenRecordset("SELECT QId FROM QuestIds");
    for (; !rs.Eof(); rs.MoveNext()) run.qids.insert(rs.Fields(0).toInt());
    return run;
}

// Inserts rows of `cols` values each, many rows to a statement.
void InsertRows(Database& db, const std::string& head, int cols, const std::vector<Value>& values) {
    constexpr size_t kRowsPerStatement = 250;
    const size_t rows = values.size() / cols;
    std::string tuple = "(";
    for (int c = 0; c < cols; ++c) tuple += c ? ",?" : "?";
    tuple += ")";
    std::string full;
    for (size_t r = 0; r < rows; r += kRowsPerStatement) {
        const size_t k = std::min(kRowsPerStatement, rows - r);
        std::string sql = head;
        sql.reserve(head.size() + k * (tuple.size() + 1));
        for (size_t i = 0; i < k; ++i) {
            if (i) sql += ',';
            sql += tuple;
        }
        std::vector<Value> params(values.begin() + static_cast<long>(r * cols),
                                  values.begin() + static_cast<long>((r + k) * cols));
        db.Execute(sql, params);
    }
}

struct Chosen {
    long long qid = 0;
    std::optional<std::string> level;  // written to DiffLvl when present
};

// The difficulty letter of each chosen question, as its source table stores it.
void ReadLevels(Database& db, const std::string& table, std::vector<Chosen>& chosen) {
    constexpr size_t kPerQuery = 500;
    std::unordered_map<long long, std::string> level;
    for (size_t at = 0; at < chosen.size(); at += kPerQuery) {
        const size_t k = std::min(kPerQuery, chosen.size() - at);
        std::string sql = "SELECT QId, DiffLevel FROM " + table + " WHERE QId IN (";
        std::vector<Value> params;
        for (size_t i = 0; i < k; ++i) {
            sql += i ? ",?" : "?";
            params.emplace_back(chosen[at + i].qid);
        }
        plat::Recordset rs = db.OpenRecordset(sql + ")", params);
        for (; !rs.Eof(); rs.MoveNext()) level.emplace(rs.Fields(0).toInt(), rs.Fields(1).toString());
    }
    for (Chosen& c : chosen) c.level = level[c.qid];
}

void WriteQuestions(Database& db, const std::vector<Chosen>& chosen, long long firstIndex) {
    std::vector<Value> plain, withLevel;
    long long i = firstIndex;
    for (const Chosen& c : chosen) {
        if (c.level) {
            withLevel.insert(withLevel.end(), {Value(i), Value(c.qid), Value(*c.level)});
        } else {
            plain.insert(plain.end(), {Value(i), Value(c.qid)});
        }
        ++i;
    }
    if (!plain.empty()) InsertRows(db, "INSERT INTO QuestIds (Index,QId) VALUES ", 2, plain);
    if (!withLevel.empty()) InsertRows(db, "INSERT INTO QuestIds (Index,QId,DiffLvl) VALUES ", 3, withLevel);
}

// Fills AnsIds for every question of QuestIds in run order; runs inside the
// caller's transaction so that it sees the questions just written.
Outcome WriteAnswers(Database& db, bool blnRandAns, Rng& rng) {
    plat::Recordset rs = db.OpenRecordset(
        "SELECT QuestIds.Index AS Pos, QuestIds.QId AS QId, Answers.Index AS AnsId "
        "FROM QuestIds INNER JOIN Answers ON Answers.QId = QuestIds.QId "
        "ORDER BY QuestIds.Index, Answers.Index");
    long long next = NextIndex(db, "AnsIds");
    std::unordered_set<long long> used;
    {
        plat::Recordset prior = db.OpenRecordset("SELECT AnsId FROM AnsIds");
        for (; !prior.Eof(); prior.MoveNext()) used.insert(prior.Fields(0).toInt());
    }

    std::vector<Value> rows;
    std::vector<long long> options;
    while (!rs.Eof()) {
        const Value pos = rs.Fields(0);
        const long long q = rs.Fields(1).toInt();
        options.clear();
        for (; !rs.Eof() && rs.Fields(0) == pos && rs.Fields(1).toInt() == q; rs.MoveNext())
            options.push_back(rs.Fields(2).toInt());
        if (blnRandAns) {
            // Each option once, in a uniformly random order; an option number that is
            // not unique could never be placed.
            std::vector<long long> pool;
            std::unordered_set<long long> seen;
            for (long long a : options) {
                if (used.count(a) || !seen.insert(a).second) {
                    return Fail("The options of question " + Num(q) +
                                " cannot be put in random order: option number " + Num(a) +
                                " is used more than once in Answers.");
                }
                pool.push_back(a);
            }
            Shuffle(pool, rng);
            options.swap(pool);
        }
        for (long long a : options) {
            rows.insert(rows.end(), {Value(next++), Value(a), Value(q)});
            used.insert(a);
        }
    }
    InsertRows(db, "INSERT INTO AnsIds (Index,AnsId,Qid) VALUES ", 3, rows);
    return {};
}

// Writes the questions and their options in one transaction; nothing is kept
// when the options cannot be listed.
Outcome WriteRun(Database& db, const std::vector<Chosen>& chosen, long long firstIndex, bool blnRandAns,
                 Rng& rng) {
    plat::Transaction t(db);
    WriteQuestions(db, chosen, firstIndex);
    Outcome o = WriteAnswers(db, blnRandAns, rng);
    if (!o) return o;
    t.Commit();
    return o;
}

// The first question number that occurs twice in the list, if any.
std::optional<long long> Repeated(const std::vector<long long>& qids) {
    std::unordered_set<long long> seen;
    for (long long q : qids)
        if (!seen.insert(q).second) return q;
    return std::nullopt;
}

}  // namespace

Rng MakeRng() {
    std::random_device rd;
    std::seed_seq seq{rd(), rd(), rd(), rd(), rd(), rd(), rd(), rd()};
    return Rng(seq);
}

Outcome FetchQuest(Database& db, const std::string& strTblName, int intMaxQuests, bool blnRandQuest,
                   bool blnRandAns, int intStartInd, bool examMode, bool& fullExam, Rng& rng,
                   const Progress& progress) {
    auto report = [&](std::initializer_list<int> values) {
        if (progress)
            for (int v : values) progress(v);
    };
    // The flag is good for one random draw, whatever becomes of it.
    bool full = false;
    if (blnRandQuest) {
        full = fullExam;
        fullExam = false;
        report({2});
    }
    const std::string& t = strTblName;
    if (!PlainName(t)) return Fail("\"" + t + "\" is not a table that questions can be taken from.");
    if (intMaxQuests < 1)
        return Fail("At least one question must be asked for; " + Num(intMaxQuests) + " were asked for.");

    const long long total = db.Scalar("SELECT Count (*) FROM " + t).toInt();
    if (total == 0) return Fail("There are no questions in " + t + ".");
    if (intStartInd < 1 || intStartInd > total)
        return Fail("The questions are to start at number " + Num(intStartInd) + ", but " + t + " holds " +
                    Num(total) + (total == 1 ? " question." : " questions."));
    if (blnRandQuest && !full && intStartInd + static_cast<long long>(intMaxQuests) - 1 > total)
        return Fail(Num(intMaxQuests) + " questions from number " + Num(intStartInd) + " on are asked for, but " +
                    t + " holds only " + Num(total) + " questions.");

    const bool withLevel = blnRandQuest && examMode;
    const long long limit = blnRandQuest && full ? -1 : intMaxQuests;
    plat::Recordset rs = db.OpenRecordset(
        "SELECT QId FROM " + t + " Order By QId LIMIT ? OFFSET ?",
        {Value(limit), Value(static_cast<long long>(intStartInd) - 1)});
    RunSoFar run = ReadRun(db);

    std::vector<Chosen> chosen;
    if (!blnRandQuest) {
        // In order: the block's rows, up to the end of the table.
        std::vector<long long> qids;
        for (; !rs.Eof(); rs.MoveNext()) {
            qids.push_back(rs.Fields(0).toInt());
            chosen.push_back({qids.back(), std::nullopt});
        }
        std::vector<long long> all(run.qids.begin(), run.qids.end());
        all.insert(all.end(), qids.begin(), qids.end());
        if (auto q = Repeated(all))
            return Fail("Question number " + Num(*q) + " would be listed twice in the run: " + t +
                        " holds it more than once.");
    } else {
        // At random: each different question of the block once, in a uniformly
        // random order (for the full exam, a uniform sample of the rows from the
        // start on).
        std::vector<Chosen> pool;
        std::unordered_set<long long> seen;
        std::optional<long long> repeated;
        for (; !rs.Eof(); rs.MoveNext()) {
            const long long q = rs.Fields(0).toInt();
            if (!seen.insert(q).second) {
                if (!repeated) repeated = q;
                continue;
            }
            if (!run.qids.count(q)) pool.push_back({q, std::nullopt});
        }
        report({3, 4, 5});
        if (pool.size() < static_cast<size_t>(intMaxQuests)) {
            if (repeated)
                return Fail(t + " holds question number " + Num(*repeated) + " more than once, so " +
                            Num(intMaxQuests) + " different questions cannot be drawn from number " +
                            Num(intStartInd) + " on.");
            if (run.qids.empty())
                return Fail(Num(intMaxQuests) + " questions are asked for, but " + t + " holds only " +
                            Num(total - intStartInd + 1) + " from number " + Num(intStartInd) + " on.");
            return Fail("The run already holds questions of this block, so " + Num(intMaxQuests) +
                        " different questions cannot be drawn.");
        }
        SampleFront(pool, static_cast<size_t>(intMaxQuests), rng);
        pool.resize(static_cast<size_t>(intMaxQuests));
        if (withLevel) ReadLevels(db, t, pool);
        chosen = std::move(pool);
        report({6, 7, 8});
    }

    Outcome o = WriteRun(db, chosen, run.nextIndex, blnRandAns, rng);
    if (o) report({9});
    return o;
}

Outcome FetchCustQuest(Database& db, CustomGrid& grid, bool blnRandQuest, bool blnRandAns, Rng& rng) {
    const size_t nCells = grid.cells.size();
    auto categoryOf = [&](size_t cell) -> std::string {
        const size_t row = cell / 3;
        return row < grid.categories.size() ? grid.categories[row] : std::string();
    };
    auto cellName = [&](size_t cell) {
        return std::string(kLevelNames[cell % 3]) + " questions of the category \"" + categoryOf(cell) + "\"";
    };
    long long wanted = 0;
    for (int v : grid.cells) wanted += std::max(v, 0);
    // Which category a grid row stands for: its Index when every row has one,
    // else its name (exactly in order, as the database compares it at random).
    const bool byIndex = !grid.categories.empty() && grid.indexes.size() == grid.categories.size();
    auto indexKey = [](long long index) { return std::to_string(index); };

    std::vector<Chosen> chosen;
    std::vector<size_t> takenFrom;  // the cell of each question taken in order
    RunSoFar run;

    if (!blnRandQuest) {
        if (wanted == 0) return Fail("The custom selection asks for no questions.");
        // Each question's cell: the first grid row of its category and the column
        // of its level.
        std::unordered_map<std::string, size_t> rowOf;
        for (size_t r = grid.categories.size(); r-- > 0;)
            rowOf[byIndex ? indexKey(grid.indexes[r]) : grid.categories[r]] = r;
        plat::Recordset rs = db.OpenRecordset(
            "SELECT [Categories].[CatName], [Questions].[QId], [Questions].[DiffLevel], [Categories].[Index] FROM "
            "Categories INNER JOIN Questions ON [Categories].[Index]=[Questions].[CatInd] Order By "
            "[Categories].[Index], [Questions].[QId]  ");
        std::vector<long long> available(nCells, 0);
        std::vector<std::pair<size_t, long long>> rows;  // cell, QId
        for (; !rs.Eof(); rs.MoveNext()) {
            auto r = rowOf.find(byIndex ? indexKey(rs.Fields(3).toInt()) : rs.Fields(0).toString());
            if (r == rowOf.end()) continue;
            const std::string level = rs.Fields(2).toString();
            size_t col = 3;
            for (size_t l = 0; l < 3; ++l)
                if (level == kLevels[l]) col = l;
            const size_t cell = r->second * 3 + col;
            if (col == 3 || cell >= nCells) continue;
            ++available[cell];
            rows.emplace_back(cell, rs.Fields(1).toInt());
        }
        for (size_t c = 0; c < nCells; ++c)
            if (grid.cells[c] > available[c])
                return Fail("The custom selection asks for " + Num(grid.cells[c]) + " " + cellName(c) +
                            ", but there " + (available[c] == 1 ? "is " : "are ") + Num(available[c]) + ".");
        std::vector<int> left = grid.cells;
        std::vector<long long> qids;
        for (const auto& [cell, q] : rows) {
            if (left[cell] <= 0) continue;
            --left[cell];
            chosen.push_back({q, std::nullopt});
            takenFrom.push_back(cell);
            qids.push_back(q);
        }
        run = ReadRun(db);
        std::vector<long long> all(run.qids.begin(), run.qids.end());
        all.insert(all.end(), qids.begin(), qids.end());
        if (auto q = Repeated(all))
            return Fail("Question number " + Num(*q) +
                        " would be listed twice in the run: Questions holds it more than once.");
    } else {
        // A working table that an interrupted selection may have left behind.
        if (db.TableExists("TempRandTble")) db.Execute("DROP TABLE TempRandTble ");
        if (wanted == 0) return Fail("The custom selection asks for no questions.");
        // The bank grouped by category (Index, or name as the database compares
        // it, letter case aside) and level, each group in QId order.
        std::unordered_map<long long, std::vector<std::string>> names;  // Categories.Index -> CatName
        {
            plat::Recordset cats = db.OpenRecordset("SELECT Index, CatName FROM Categories");
            for (; !cats.Eof(); cats.MoveNext())
                names[cats.Fields(0).toInt()].push_back(Folded(cats.Fields(1).toString()));
        }
        std::unordered_map<std::string, std::vector<long long>> groups;
        {
            plat::Recordset rs = db.OpenRecordset("SELECT QId, CatInd, DiffLevel FROM Questions ORDER BY QId");
            for (; !rs.Eof(); rs.MoveNext()) {
                auto n = names.find(rs.Fields(1).toInt());
                if (n == names.end()) continue;
                const std::string level = Folded(rs.Fields(2).toString());
                if (byIndex) {
                    groups[GroupKey(indexKey(n->first), level)].push_back(rs.Fields(0).toInt());
                    continue;
                }
                for (const std::string& name : n->second)
                    groups[GroupKey(name, level)].push_back(rs.Fields(0).toInt());
            }
        }
        // Each cell in element order draws its questions uniformly among the
        // different questions of its category and level not drawn yet.
        std::unordered_set<long long> taken;
        std::vector<long long> set;
        for (size_t c = 0; c < nCells; ++c) {
            if (grid.cells[c] <= 0) continue;
            std::vector<long long> pool;
            std::string category;
            if (!byIndex) category = Folded(categoryOf(c));
            else if (c / 3 < grid.indexes.size()) category = indexKey(grid.indexes[c / 3]);
            auto g = groups.find(GroupKey(category, Folded(kLevels[c % 3])));
            if (g != groups.end()) {
                std::unordered_set<long long> inPool;
                for (long long q : g->second)
                    if (!taken.count(q) && inPool.insert(q).second) pool.push_back(q);
            }
            const size_t k = static_cast<size_t>(grid.cells[c]);
            if (pool.size() < k)
                return Fail("The custom selection asks for " + Num(grid.cells[c]) + " " + cellName(c) +
                            ", but there " + (pool.size() == 1 ? "is " : "are ") + Num(pool.size()) + ".");
            SampleFront(pool, k, rng);
            for (size_t i = 0; i < k; ++i) {
                taken.insert(pool[i]);
                set.push_back(pool[i]);
            }
        }
        run = ReadRun(db);
        for (long long q : set)
            if (run.qids.count(q))
                return Fail("Question number " + Num(q) + " is in the run already.");
        Shuffle(set, rng);
        for (long long q : set) chosen.push_back({q, std::nullopt});
    }

    Outcome o = WriteRun(db, chosen, run.nextIndex, blnRandAns, rng);
    if (o && !blnRandQuest) {
        // The cells show what is still to be taken: 0 once the selection is made.
        // Each cell that gave questions is told once, its final value.
        std::vector<bool> gave(nCells, false);
        for (size_t cell : takenFrom) {
            --grid.cells[cell];
            gave[cell] = true;
        }
        if (grid.cellChanged)
            for (size_t cell = 0; cell < nCells; ++cell)
                if (gave[cell]) grid.cellChanged(static_cast<int>(cell) + 1, grid.cells[cell]);
    }
    return o;
}

Outcome RandAns(Database& db, bool blnRandAns, Rng& rng) {
    plat::Transaction t(db);
    Outcome o = WriteAnswers(db, blnRandAns, rng);
    if (!o) return o;
    t.Commit();
    return o;
}

}  // namespace selection
