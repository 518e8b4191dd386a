// The saved-results list laid out as a candidate and the administrator see
// it: a few results, and more than the grid shows at once.
#include "results/frmResBrief.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

using namespace plat;

namespace {
class ResBriefLayoutTest : public pemu_test::LayoutTest {};
}  // namespace

TEST_F(ResBriefLayoutTest, SavedResultsForACandidateAndForTheAdministrator) {
    for (int i = 1; i <= 14; ++i)
        gcnExam->Execute("INSERT INTO ResultsBrief (Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,"
                         "PassScore,MaxScore,Percentage,Result,FileName) VALUES (?,'Annabel Montgomery-Fairweather',?,"
                         "'Network Associate Practice Exam','2026-12-27','23:59:59',10000,8000,10000,100,'Pass',?)",
                         {i, i <= 2 ? "cand01" : "cand02", "key" + std::to_string(i)});
    gstrUserName = "cand01";
    frmResBrief.Show();
    expectClean(frmResBrief, "a candidate's two results");
    frmResBrief.Unload();

    gstrUserName = "norvi";
    gblnAdminSignedIn = true;
    frmResBrief.Show();
    EXPECT_TRUE(frmResBrief.cmdDelRes()->isEnabled());
    expectClean(frmResBrief, "the administrator, fourteen results");
}
