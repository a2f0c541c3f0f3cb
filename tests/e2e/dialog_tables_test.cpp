// Every dialog of the program, built by the backend this test program is built for, is the
// dialog its table describes, and no caption is cut beyond those the backend is known to cut.

#include "e2e/built_dialog.h"
#include "support/all_dialogs.h"
#include "support/ui_driver.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(DialogTables, EveryDialogIsBuiltAsItsTableSaysAndItsCaptionsFit) {
    const auto backend = MakeBackend();
    std::vector<std::string> cut;
    for (const ui::Dialog& table : AllDialogs()) {
        SCOPED_TRACE(table.title);
        EXPECT_EQ(DifferencesFromTable(table, cut).found, std::vector<std::string>{});
    }
    ASSERT_EQ(cut.size(), KnownCutCaptions.size()) << (cut.empty() ? "" : cut.back());
    for (std::size_t i = 0; i < cut.size(); ++i)
        EXPECT_EQ(cut[i].rfind(KnownCutCaptions[i], 0), 0u) << cut[i];
}

TEST(DialogTables, WindowTitlesAreUniqueBecauseOperationsFindDialogsByThem) {
    std::set<std::string> titles;
    for (const ui::Dialog& table : AllDialogs())
        EXPECT_TRUE(titles.insert(table.title).second) << table.title;
}

} // namespace
