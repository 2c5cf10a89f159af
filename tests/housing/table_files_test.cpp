#include "fixtures/client_directory.h"
#include "fixtures/house_table_files.h"
#include "housing/component_catalogue.h"
#include "housing/support_info_table.h"

#include <gtest/gtest.h>

namespace {

// A file manager whose client directory is a fresh temporary one.
class TableFiles : public testing::Test {
protected:
    void write(const std::string& name, const std::string& text) { m_client.write(name, text); }

    fixture::ClientDirectory m_client;
};

TEST_F(TableFiles, TheCatalogueReadsEachTableFromItsFile)
{
    write("Walls.TXT",
        fixture::HouseTableFile().row({ 0, 0, 1, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 0, 0, 0 }).text());
    write("doors.txt",
        fixture::HouseTableFile().row({ 0, 1, 2, 3, 4, 5, 6, 7, 8 }).row({ 1, 1, 2, 3, 4, 5, 6, 7, 8 }).text());
    housing::HouseComponentCatalogue catalogue;
    catalogue.load();
    EXPECT_EQ(catalogue.table(housing::ComponentKind::Walls).size(), 1u) << "names are found in any case";
    EXPECT_EQ(catalogue.pageCount(housing::ComponentKind::Doors), 2);
    EXPECT_EQ(catalogue.pageCount(housing::ComponentKind::Floors), 0) << "a missing file is an empty table";

    // Reading again replaces the rows rather than adding to them.
    write("doors.txt", fixture::HouseTableFile().row({ 5, 1, 2, 3, 4, 5, 6, 7, 8 }).text());
    catalogue.load();
    EXPECT_EQ(catalogue.pageCount(housing::ComponentKind::Doors), 1);
}

TEST_F(TableFiles, TheSupportTableReadsSuppinfo)
{
    housing::SupportInfoTable table;
    EXPECT_FALSE(table.load());
    write("suppinfo.txt", fixture::supportInfoText({ { "post", 44, { housing::kSupportCorner } } }));
    EXPECT_TRUE(table.load());
    EXPECT_TRUE(table.mayStandOnCorner(44));
}

} // namespace
