#include "app/file_manager.h"
#include "fixtures/house_table_files.h"
#include "housing/component_catalogue.h"
#include "housing/support_info_table.h"
#include "platform/key_store.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

// A file manager whose client directory is a fresh temporary one.
class TableFiles : public testing::Test {
protected:
    TableFiles()
        : m_keyStore(m_root.file("registry.ini"))
        , m_previousStore(platform::installKeyStore(&m_keyStore))
        , m_scoped(m_manager)
    {
        std::string client = m_root.path() + "/client";
        m_root.write("client/.keep", "");
        const char* argv[] = { "vardun", "-r", client.c_str() };
        m_manager.init(3, argv);
    }
    ~TableFiles() override { platform::installKeyStore(m_previousStore); }

    void write(const std::string& name, const std::string& text) { m_root.write("client/" + name, text); }

    test::TempDir m_root;
    platform::KeyStore m_keyStore;
    platform::KeyStore* m_previousStore;
    FileManager m_manager;
    ScopedFileManager m_scoped;
};

TEST_F(TableFiles, TheCatalogueReadsEachTableFromItsFile)
{
    write("Walls.TXT",
        fixtures::HouseTableFile().row({ 0, 0, 1, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 0, 0, 0 }).text());
    write("doors.txt",
        fixtures::HouseTableFile().row({ 0, 1, 2, 3, 4, 5, 6, 7, 8 }).row({ 1, 1, 2, 3, 4, 5, 6, 7, 8 }).text());
    housing::HouseComponentCatalogue catalogue;
    catalogue.load();
    EXPECT_EQ(catalogue.table(housing::ComponentKind::Walls).size(), 1u) << "names are found in any case";
    EXPECT_EQ(catalogue.pageCount(housing::ComponentKind::Doors), 2);
    EXPECT_EQ(catalogue.pageCount(housing::ComponentKind::Floors), 0) << "a missing file is an empty table";

    // Reading again replaces the rows rather than adding to them.
    write("doors.txt", fixtures::HouseTableFile().row({ 5, 1, 2, 3, 4, 5, 6, 7, 8 }).text());
    catalogue.load();
    EXPECT_EQ(catalogue.pageCount(housing::ComponentKind::Doors), 1);
}

TEST_F(TableFiles, TheSupportTableReadsSuppinfo)
{
    housing::SupportInfoTable table;
    EXPECT_FALSE(table.load());
    write("suppinfo.txt", fixtures::supportInfoText({ { "post", 44, { housing::kSupportCorner } } }));
    EXPECT_TRUE(table.load());
    EXPECT_TRUE(table.mayStandOnCorner(44));
}

} // namespace
