// Two copies of the program at work on one program folder: while one saves or
// deletes again and again, the other starts (putting the folder straight),
// saves and deletes. Neither may take the other's save or delete in flight for
// a dead one: every result reported saved keeps its whole file until it is
// reported deleted, every delete reported done stays done, and no result file
// is left that no row names.
#include "driver.h"
#include "results/resultfolder.h"
#include "results/savedresults.h"
#include "run.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <fstream>
#include <map>

using namespace results;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

class TwoCopiesTest : public pemu_test::ProgramTest {
protected:
    // Runs two drivers at once, each with its own log.
    void together(const std::vector<std::string>& a, const std::vector<std::string>& b) {
        const pid_t first = StartDriver(folder(), withLog(a), {});
        const pid_t second = StartDriver(folder(), withLog(b), {});
        EXPECT_EQ(WaitFor(first).status, 0);
        EXPECT_EQ(WaitFor(second).status, 0);
    }

    std::vector<std::string> withLog(std::vector<std::string> args) {
        args.push_back((folder() / ("copy" + std::to_string(++logs) + ".log")).string());
        return args;
    }

    // Every key's saves less its deletes, from every log; the failures.
    std::map<std::string, int> tally(std::vector<std::string>& failures) const {
        std::map<std::string, int> net;
        for (int i = 1; i <= logs; ++i) {
            std::ifstream in(folder() / ("copy" + std::to_string(i) + ".log"));
            for (std::string line; std::getline(in, line);) {
                if (line.rfind("saved ", 0) == 0) ++net[line.substr(6)];
                else if (line.rfind("deleted ", 0) == 0) --net[line.substr(8)];
                else failures.push_back(line);
            }
        }
        return net;
    }

    int logs = 0;
};

}  // namespace

TEST_F(TwoCopiesTest, NeitherCopyUndoesTheOthersSavesOrDeletes) {
    for (long long q : {Pick(*gcnExam, "S"), Pick(*gcnExam, "D"), Pick(*gcnExam, "SIM")}) {
        AddToRun(*gcnExam, q);
        Answer(*gcnExam, q, true);
    }
    fs::create_directories(ResultsFolder(folder()));
    // One copy saves while the other starts again and again; both save under
    // one login name, so that their keys clash; one deletes while the other
    // starts and saves.
    together({"saves", "100", "ann"}, {"starts", "50", "bob"});
    together({"saves", "100", "cat"}, {"saves", "100", "cat"});
    together({"deletes", "100", "ann"}, {"starts", "50", "dan"});

    std::vector<std::string> failures;
    const std::map<std::string, int> net = tally(failures);
    // A copy kept waiting past the database's limit says so and changes
    // nothing; that must stay the exception.
    for (const std::string& f : failures)
        EXPECT_NE(f.find("is locked by another program"), std::string::npos) << f;
    EXPECT_LT(failures.size(), 25u);
    ASSERT_GT(net.size(), 200u);

    const fs::path results = ResultsFolder(folder());
    for (const auto& [key, n] : net) {
        const bool row = gcnExam->Scalar("SELECT count(*) FROM ResultsBrief where FileName = ?", {key}).toInt() > 0;
        EXPECT_TRUE(n == 0 || n == 1) << key << " saved less deleted: " << n;
        EXPECT_EQ(row, n == 1) << key << (n == 1 ? " was saved and is not listed" : " was deleted and is listed");
        EXPECT_EQ(fs::exists(results / (key + kResultEnding)), n == 1)
            << key << (n == 1 ? " was saved and has no file" : " was deleted and its file came back");
    }
    for (const auto& e : fs::directory_iterator(results)) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(name.find(".erf."), std::string::npos) << name << " was left behind";
        if (name.size() > 4 && name.compare(name.size() - 4, 4, kResultEnding) == 0)
            EXPECT_EQ(net.count(name.substr(0, name.size() - 4)) ? net.at(name.substr(0, name.size() - 4)) : 0, 1)
                << name << " is no listed result's";
    }
    const Viewer admin{"norvi", true};
    const std::vector<SavedResult> list = ListResults(*gcnExam, admin);
    for (size_t i = 0; i < list.size(); ++i) {
        const ReopenOutcome o = ReopenResult(*gcnExam, folder(), admin, static_cast<int>(i) + 1);
        EXPECT_TRUE(o.ok) << list[i].fileName.toStdString() << ": " << o.message.text.toStdString();
    }
}
