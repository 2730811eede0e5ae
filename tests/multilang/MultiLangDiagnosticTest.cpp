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

TEST(DiagnosticBuild, FailedAllocationAssertsOnTheOutputBuffer) {
    g_reports.clear();
    SetDiagnosticReportProc(CollectReport);
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
    SetDiagnosticReportProc(NULL);
}

TEST(DiagnosticBuild, FailedConversionAssertsAndYieldsNoText) {
    g_reports.clear();
    SetDiagnosticReportProc(CollectReport);
    SetMultiLangFault(MULTILANG_FAULT_CONVERT);
    EXPECT_EQ(nullptr, WideToAnsi(L"Uninstall"));
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_NE(std::string::npos, g_reports[0].find("MultiLang"));
    SetDiagnosticReportProc(NULL);
}

}  // namespace
