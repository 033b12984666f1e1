// The default error report: one box per user action, also when handlers run inside handlers
// or inside a modal loop that a handler opened.
#include "Dialogs.h"

#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class DefaultErrorReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        DialogHooks().Message = [this](const QString& text, bool error) {
            if (error)
                Errors << text;
        };
    }
    void TearDown() override { DialogHooks() = TDialogHooks(); }
    QStringList Errors;
};

TEST_F(DefaultErrorReport, InnerFailureEndsTheUserActionAndIsShownOnce)
{
    int ranAfter = 0;
    RunReported([&] {
        RunReported([] { throw std::runtime_error("first"); });
        RunReported([] { throw std::runtime_error("second"); });
        RunReported([&] { ++ranAfter; });
    });
    EXPECT_EQ(Errors, QStringList{"first"});
    EXPECT_EQ(ranAfter, 0);

    RunReported([&] { ++ranAfter; });  // the next user action starts afresh
    EXPECT_EQ(ranAfter, 1);
}

TEST_F(DefaultErrorReport, ModalLoopRunsEachActionOnItsOwn)
{
    int ranInside = 0;
    RunReported([&] {
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [&] {
            RunReported([] { throw std::runtime_error("inside"); });
            RunReported([&] { ++ranInside; });
            dialog.accept();
        });
        RunModal(dialog);
        throw std::runtime_error("after");
    });
    EXPECT_EQ(Errors, (QStringList{"inside", "after"}));
    EXPECT_EQ(ranInside, 1);
}

} // namespace
