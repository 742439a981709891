#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

// A test may skip only for a documented, optional reason (no corpus, no unprivileged user, not
// root to mount a small file system), given with OPTIONAL_SKIP. Any other skip, such as the one
// GoogleTest gives every test of a suite whose set-up failed, is a fault: it is printed as a
// failure, without the "[  SKIPPED ]" mark that CTest counts as not run, and the test program
// fails.
#define OPTIONAL_SKIP(reason) GTEST_SKIP() << "optional skip: " << (reason)

// GoogleTest's own printer, but for skips without a documented reason.
class StrictSkipPrinter : public ::testing::TestEventListener
{
public:
    explicit StrictSkipPrinter(::testing::TestEventListener* printer) : printer_(printer) {}

    // Puts itself in place of the default printer; the listeners own it.
    static StrictSkipPrinter* Install()
    {
        ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
        auto* strict = new StrictSkipPrinter(listeners.Release(listeners.default_result_printer()));
        listeners.Append(strict);
        return strict;
    }

    int Unexpected() const { return unexpected_; }

    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        if (!IsUnexpectedSkip(test)) {
            printer_->OnTestEnd(test);
            return;
        }
        ++unexpected_;
        std::printf("[  FAILED  ] %s.%s: skipped without a documented reason\n",
                    test.test_suite_name(), test.name());
        std::fflush(stdout);
    }
    void OnTestIterationEnd(const ::testing::UnitTest& run, int iteration) override
    {
        if (unexpected_ == 0)
            printer_->OnTestIterationEnd(run, iteration);
        else
            std::printf("[  FAILED  ] %d test(s) skipped without a documented reason\n",
                        unexpected_);
    }

    void OnTestProgramStart(const ::testing::UnitTest& run) override
    {
        printer_->OnTestProgramStart(run);
    }
    void OnTestIterationStart(const ::testing::UnitTest& run, int iteration) override
    {
        printer_->OnTestIterationStart(run, iteration);
    }
    void OnEnvironmentsSetUpStart(const ::testing::UnitTest& run) override
    {
        printer_->OnEnvironmentsSetUpStart(run);
    }
    void OnEnvironmentsSetUpEnd(const ::testing::UnitTest& run) override
    {
        printer_->OnEnvironmentsSetUpEnd(run);
    }
    void OnTestSuiteStart(const ::testing::TestSuite& suite) override
    {
        printer_->OnTestSuiteStart(suite);
    }
    void OnTestCaseStart(const ::testing::TestCase& suite) override
    {
        printer_->OnTestCaseStart(suite);
    }
    void OnTestStart(const ::testing::TestInfo& test) override { printer_->OnTestStart(test); }
    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        printer_->OnTestPartResult(result);
    }
    void OnTestSuiteEnd(const ::testing::TestSuite& suite) override
    {
        printer_->OnTestSuiteEnd(suite);
    }
    void OnTestCaseEnd(const ::testing::TestCase& suite) override
    {
        printer_->OnTestCaseEnd(suite);
    }
    void OnEnvironmentsTearDownStart(const ::testing::UnitTest& run) override
    {
        printer_->OnEnvironmentsTearDownStart(run);
    }
    void OnEnvironmentsTearDownEnd(const ::testing::UnitTest& run) override
    {
        printer_->OnEnvironmentsTearDownEnd(run);
    }
    void OnTestProgramEnd(const ::testing::UnitTest& run) override
    {
        printer_->OnTestProgramEnd(run);
    }

private:
    static bool IsUnexpectedSkip(const ::testing::TestInfo& test)
    {
        if (!test.result()->Skipped())
            return false;
        for (int p = 0; p < test.result()->total_part_count(); ++p)
            if (std::string(test.result()->GetTestPartResult(p).message())
                    .rfind("optional skip: ", 0) == 0)
                return false;
        return true;
    }

    std::unique_ptr<::testing::TestEventListener> printer_;
    int unexpected_ = 0;
};
