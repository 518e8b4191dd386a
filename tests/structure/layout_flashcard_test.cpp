// The flash card as a candidate sees it: the design text, a paragraph in the
// wrapping box and lines in the other.
#include "exam/frmFlashCard.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

using FlashCardLayoutTest = pemu_test::LayoutTest;

TEST_F(FlashCardLayoutTest, EachBoxAndTheDesignText) {
    const long long q = gcnExam->Scalar("SELECT min(QId) FROM Questions").toInt();
    gintCurQId = static_cast<int16_t>(q);
    gcnExam->Execute("UPDATE Questions SET Expln = 'NA' WHERE QId = ?", {q});
    frmFlashCard.Show();
    frmFlashCard.ShowTime("01:29:59");
    expectClean(frmFlashCard, "no explanation");
    frmFlashCard.Unload();
    gcnExam->Execute("UPDATE Questions SET Expln = 'One paragraph that wraps.' WHERE QId = ?", {q});
    frmFlashCard.Show();
    expectClean(frmFlashCard, "a paragraph");
    frmFlashCard.Unload();
    gcnExam->Execute("UPDATE Questions SET Expln = ? WHERE QId = ?", {"first line\r\nsecond line", q});
    frmFlashCard.Show();
    expectClean(frmFlashCard, "lines");
}
