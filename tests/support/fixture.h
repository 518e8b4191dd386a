// Shared fixture for tests that run the real windows on a real database.
#pragma once

#include "platform/form.h"
#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>

#include <deque>
#include <filesystem>
#include <functional>
#include <vector>

namespace pemu_test {

// A fresh copy of the shipped database, built once per test program.
std::filesystem::path ShippedDatabase();

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path folder() const { return dir_.path().toStdString(); }
    std::filesystem::path dbFile() const { return folder() / "PEMUV2.0.db"; }

    // Message boxes shown so far, and the answers given to the next ones (OK or
    // Yes when none is queued).
    std::vector<plat::MsgBoxCall> boxes;
    std::deque<int> answers;
    std::vector<std::filesystem::path> helpOpened;
    bool desktopOpensHelp = true;  // false: as on a desktop without a browser
    std::vector<int> endRequests;

    // The last box shown; fails the test when none was.
    plat::MsgBoxCall lastBox() const;

    // Runs `inside` once the modal window that `open` shows is running; the window
    // is unloaded afterwards if `inside` left it open, so `open` always returns.
    // Fails when the window was not shown modally; `inside` then never runs, so
    // a case whose later steps rely on the window says ASSERT_TRUE(WhileModal(...)).
    static ::testing::AssertionResult WhileModal(plat::Form& modal, const std::function<void()>& open,
                                                 const std::function<void()>& inside);

    // Lets queued events (deferred deletes, end checks) run.
    static void Settle();

    // A control by name; nullptr (and a failure) when there is none, so a case
    // that goes on to use it asserts it first.
    template <class T>
    static T* Find(plat::Form& form, const char* name) {
        T* t = form.Window()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(t, nullptr) << form.Name().toStdString() << " has no control " << name;
        return t;
    }

    static void Click(QAbstractButton* b);

    // Signs a registered candidate in at the sign-in window, as a person does;
    // the mode window is then up.
    static void SignInAs(const QString& loginName);
    // Signs the administrator in with the shipped login and password.
    static void SignInAsAdministrator();
    // The options of a question that are correct (1) or not (0), by Index.
    static std::vector<long long> OptionsOf(long long qid, int correct);

private:
    QTemporaryDir dir_;
};

}  // namespace pemu_test
