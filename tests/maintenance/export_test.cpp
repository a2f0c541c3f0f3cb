#include "common/clock.h"
#include "common/files.h"
#include "maintenance/export.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* FileName = "12-05-2026application data.txt";
constexpr const char* Warning =
    "***** To keep your information secure, delete this file when you finish using it! *****";

class Exports : public InTempFolder {
protected:
    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 12, 5, 23, 59, 58}; });
    }
    void TearDown() override {
        SetClockForTesting({});
        SetWriteStepHookForTesting({});
    }

    // How many files of the folder are export files (temporary ones would show here too).
    int ExportFiles() {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(".")) {
            if (entry.path().filename().string().find("application data") != std::string::npos)
                ++count;
        }
        return count;
    }

    HeadlessPlatform ui;
};

TEST_F(Exports, AnEmptyTableWritesNoFile) {
    Export();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().text, "There are no Application Records in Ombrelay");
    EXPECT_EQ(ui.LastMessage().caption, "Ombrelay System Message");
    EXPECT_EQ(ui.LastMessage().style, ui::MbTaskModal | ui::MbIconInformation);
    EXPECT_EQ(ExportFiles(), 0);
    EXPECT_TRUE(ui.shellOpens.empty());
}

TEST_F(Exports, OneRecordIsFollowedByFiveLineEndsAndTheWarning) {
    AddApplications({{"Pocket Notes", "PN-7781", "keys@pocket.example", "Yes"}});
    Export();
    EXPECT_EQ(ReadFile(FileName), "Pocket Notes,PN-7781,keys@pocket.example\r\n\r\n\r\n\r\n\r\n" +
                                      std::string(Warning) + "\r\n");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().text,
              "Application Data has been exported to the file 12-05-2026application data.txt");
    EXPECT_EQ(ui.LastMessage().style, ui::MbTaskModal | ui::MbIconInformation);
    ASSERT_EQ(ui.shellOpens.size(), 1u);
    EXPECT_EQ(ui.shellOpens[0].target, PathToUtf8(fs::current_path() / FileName));
    EXPECT_EQ(ui.shellOpens[0].show, ui::ShowState::Normal);
}

TEST_F(Exports, RecordsComeInNameOrderUnquotedAndTheSecondExportReplacesTheFirst) {
    AddApplications({
        {"Zeta", "Z-1", "z@zeta.example", "Yes"},
        {"alpha", "A,1", "", "No"}, // a comma is written as it is; no e-mail ends the line
        {"Beta Tools", "  B-2  ", "b@beta.example", "No"},
    });
    Export();
    const std::string first = "alpha,A,1,\r\n\r\n"
                              "Beta Tools,  B-2  ,b@beta.example\r\n\r\n"
                              "Zeta,Z-1,z@zeta.example\r\n\r\n"
                              "\r\n\r\n\r\n" +
                              std::string(Warning) + "\r\n";
    EXPECT_EQ(ReadFile(FileName), first);

    AddApplications({{"Gamma", "G-3", "g@gamma.example", "No"}});
    Export();
    EXPECT_EQ(ReadFile(FileName), "alpha,A,1,\r\n\r\n"
                                  "Beta Tools,  B-2  ,b@beta.example\r\n\r\n"
                                  "Gamma,G-3,g@gamma.example\r\n\r\n"
                                  "Zeta,Z-1,z@zeta.example\r\n\r\n"
                                  "\r\n\r\n\r\n" +
                                      std::string(Warning) + "\r\n");
    EXPECT_EQ(ExportFiles(), 1);
    EXPECT_EQ(ui.shellOpens.size(), 2u);
}

TEST_F(Exports, AFailingShellOpenIsReportedAndTheFileStays) {
    AddApplications({{"Pocket Notes", "PN-7781", "keys@pocket.example", "Yes"}});
    ui.shellResult = 2;
    Export();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text.rfind("Application Data has been exported", 0), 0u);
    EXPECT_EQ(ui.LastMessage().text, "Could not load target file.");
    EXPECT_EQ(ui.LastMessage().caption, "Error");
    EXPECT_EQ(ui.LastMessage().style, ui::MbIconStop);
    EXPECT_TRUE(fs::exists(FileName));
}

TEST_F(Exports, AFileThatCannotBeWrittenIsNotReportedAsExported) {
    AddApplications({{"Pocket Notes", "PN-7781", "keys@pocket.example", "Yes"}});
    Export();
    const std::string earlier = ReadFile(FileName);
    ui.messages.clear();
    ui.shellOpens.clear();

    SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataSynced; });
    Export();
    SetWriteStepHookForTesting({});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.LastMessage().style, ui::MbTaskModal | ui::MbIconExclamation);
    EXPECT_EQ(ui.LastMessage().text.find("has been exported"), std::string::npos);
    EXPECT_NE(ui.LastMessage().text.find(FileName), std::string::npos);
    EXPECT_EQ(ReadFile(FileName), earlier);
    EXPECT_EQ(ExportFiles(), 1);
    EXPECT_TRUE(ui.shellOpens.empty());
}

} // namespace
