#include "fixture.h"

#include "dbbuild/dbbuild.h"
#include "exam/frmMode.h"
#include "signin/frmLogin.h"
#include "startup/module1.h"

#include <QTest>
#include <QTimer>

namespace pemu_test {

std::filesystem::path ShippedDatabase() {
    static QTemporaryDir dir;
    static std::filesystem::path file;
    if (file.empty()) {
        file = std::filesystem::path(dir.path().toStdString()) / "shipped.db";
        dbbuild::makeDatabase(PEMU_DATA_DIR, file);
    }
    return file;
}

void ProgramTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    std::filesystem::copy_file(ShippedDatabase(), dbFile());
    std::filesystem::create_directories(folder() / "results");
    std::filesystem::create_directories(folder() / "help");
    std::filesystem::copy_file(std::filesystem::path(PEMU_SOURCE_DIR) / "help" / "Tavolin.html",
                               folder() / "help" / "Tavolin.html");
    plat::ResetEndingForTesting();
    plat::SetAppPathForTesting(folder());
    plat::SetMsgBoxHook([this](const plat::MsgBoxCall& c) {
        boxes.push_back(c);
        if (!answers.empty()) {
            int a = answers.front();
            answers.pop_front();
            return a;
        }
        return c.buttons() == plat::vbYesNo ? int(plat::vbYes) : int(plat::vbOK);
    });
    plat::SetHelpHook([this](const std::filesystem::path& p) {
        helpOpened.push_back(p);
        return desktopOpensHelp;
    });
    plat::SetEndHook([this](int status) { endRequests.push_back(status); });
    Module1::ResetState();
    Module1::Connect(QString::fromStdString(dbFile().string()));
    // A throw-away copy: its writes need not wait for the disk, which on a busy
    // machine makes a test of many saves take seconds instead of milliseconds.
    // What is written, and in which transactions, stays as the program does it.
    gcnExam->Execute("PRAGMA synchronous = OFF");
}

void ProgramTest::TearDown() {
    for (plat::Form* f : plat::Form::LoadedForms()) f->Unload();
    for (plat::Form* f : plat::Form::LoadedForms()) f->Hide();
    Settle();
    Module1::Disconnect();
    Module1::ResetState();
    plat::SetMsgBoxHook(nullptr);
    plat::SetHelpHook(nullptr);
    plat::SetEndHook(nullptr);
    plat::SetAppPathForTesting({});
    plat::ResetEndingForTesting();
}

plat::MsgBoxCall ProgramTest::lastBox() const {
    EXPECT_FALSE(boxes.empty()) << "no message box was shown";
    return boxes.empty() ? plat::MsgBoxCall{} : boxes.back();
}

::testing::AssertionResult ProgramTest::WhileModal(plat::Form& modal, const std::function<void()>& open,
                                                  const std::function<void()>& inside) {
    bool ran = false;
    bool wasModal = false;
    // The call belongs to this function: when `open` returns without showing
    // the window, the call is dropped with `context` instead of running later,
    // in another step or case, on what is gone by then.
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        ran = true;
        wasModal = modal.IsModalShown();
        if (wasModal) {
            // Thrown inside the window's event loop, an exception (an element
            // of a control array that is not there) would end the program.
            try {
                inside();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "inside " << modal.Name().toStdString() << ": " << e.what();
            } catch (...) {
                ADD_FAILURE() << "inside " << modal.Name().toStdString() << ": an exception";
            }
        }
        if (modal.IsModalShown()) modal.Unload();
    });
    open();
    if (ran && wasModal) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << modal.Name().toStdString() << " was not shown modal";
}

void ProgramTest::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void ProgramTest::Click(QAbstractButton* b) {
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->isEnabled()) << b->objectName().toStdString() << " is disabled";
    b->click();
}


void ProgramTest::SignInAs(const QString& loginName) {
    frmLogin.Show();
    frmLogin.cboUname()->setEditText(loginName);
    Click(frmLogin.cmdEnter());
    ASSERT_TRUE(frmMode.Visible()) << "the sign-in of " << loginName.toStdString() << " was refused";
}

void ProgramTest::SignInAsAdministrator() {
    frmLogin.Show();
    Click(frmLogin.optSUser());
    frmLogin.txtUname()->setText("norvi");
    frmLogin.txtPwd()->setText("kelm");
    Click(frmLogin.cmdEnter());
}

std::vector<long long> ProgramTest::OptionsOf(long long qid, int correct) {
    std::vector<long long> v;
    plat::Recordset rs = gcnExam->OpenRecordset(
        "SELECT Index FROM Answers where QId = ? and CorrectAns = ? ORDER BY Index", {qid, correct});
    for (; !rs.Eof(); rs.MoveNext()) v.push_back(rs.Fields(0).toInt());
    return v;
}

}  // namespace pemu_test
