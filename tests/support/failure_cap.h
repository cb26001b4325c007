// Keeps a loop over thousands of cases from collecting every failed check
// (a fault that breaks every case would otherwise grow the runner by
// gigabytes): while one stands, the first few dozen failures are kept as
// they come and the rest only counted; when it goes, the kept ones are
// reported, with how many more there were.
#pragma once

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class FailureCap {
public:
    static const unsigned Kept = 40;
    FailureCap() : reporter_(new Reporter(this)) {}
    ~FailureCap()
    {
        reporter_.reset();  // the runner's own reporter is back
        for (const testing::TestPartResult& failure : kept_)
            ADD_FAILURE_AT(failure.file_name() ? failure.file_name() : "?", failure.line_number())
                << failure.message();
        if (more_ > 0)
            ADD_FAILURE() << "and " << more_ << " more failed checks, not shown";
    }

private:
    struct Reporter : testing::ScopedFakeTestPartResultReporter {
        explicit Reporter(FailureCap* cap)
            : ScopedFakeTestPartResultReporter(INTERCEPT_ONLY_CURRENT_THREAD, &ignored), cap(cap) {}
        void ReportTestPartResult(const testing::TestPartResult& result) override
        {
            if (!result.failed())
                return;
            if (cap->kept_.size() < Kept)
                cap->kept_.push_back(result);
            else
                ++cap->more_;
        }
        testing::TestPartResultArray ignored;
        FailureCap* cap;
    };
    std::vector<testing::TestPartResult> kept_;
    unsigned long more_ = 0;
    std::unique_ptr<Reporter> reporter_;
};
