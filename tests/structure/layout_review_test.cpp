// The review list laid out as the candidate sees it: empty, and with more
// questions than fit, bookmarks, long question texts and the time shown.
#include "results/frmReview.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

using namespace plat;

namespace {
class ReviewLayoutTest : public pemu_test::LayoutTest {};
}  // namespace

TEST_F(ReviewLayoutTest, ReviewListEmptyAndWithALongRun) {
    gstrCandName = "Annabel Montgomery-Fairweather";
    gstrExamName = "Network Associate Practice Exam";
    frmReview.Show();
    expectClean(frmReview, "no questions");
    frmReview.Unload();

    gcnExam->Execute("INSERT INTO QuestIds (Index,QId) SELECT QId, QId FROM Questions where QId <= 40");
    gcnExam->Execute("INSERT INTO BookMarkExam (QId) VALUES (3)");
    frmReview.Show();
    frmReview.ShowTime("01:29:59");
    EXPECT_EQ(frmReview.msgReview()->rowCount(), 40);
    expectClean(frmReview, "forty questions, time shown");
}
