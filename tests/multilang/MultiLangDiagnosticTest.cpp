// MultiLangDiagnosticTest.cpp -- diagnostic builds report a failed conversion and the text is dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MultiLang.h"

namespace {

std::vector<std::string> g_reports;

void CollectReport(const char* pszReport) {
    g_reports.push_back(pszReport);
}

// Every case collects the reports and hands the report procedure back, even
// when an assertion ends it early: a stale procedure would catch later reports.
class DiagnosticBuild : public ::testing::Test {
  protected:
    void SetUp() override {
        g_reports.clear();
        SetDiagnosticReportProc(CollectReport);
    }
    void TearDown() override { SetDiagnosticReportProc(NULL); }
};

TEST_F(DiagnosticBuild, FailedAllocationAssertsOnTheOutputBuffer) {
    SetMultiLangFault(MULTILANG_FAULT_ALLOC);
    EXPECT_EQ(nullptr, WideToAnsi(L"Uninstall"));
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_NE(std::string::npos, g_reports[0].find("pszOutBuf"));
    EXPECT_NE(std::string::npos, g_reports[0].find("MultiLang"));
    EXPECT_NE(std::string::npos, g_reports[0].find("line "));

    // The fault was used up: the next conversion works and reports nothing.
    char* psz = WideToAnsi(L"Uninstall");
    ASSERT_NE(nullptr, psz);
    EXPECT_STREQ("Uninstall", psz);
    free(psz);
    EXPECT_EQ(1u, g_reports.size());
}

TEST_F(DiagnosticBuild, FailedConversionAssertsAndYieldsNoText) {
    SetMultiLangFault(MULTILANG_FAULT_CONVERT);
    EXPECT_EQ(nullptr, WideToAnsi(L"Uninstall"));
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_NE(std::string::npos, g_reports[0].find("MultiLang"));
}

}  // namespace
