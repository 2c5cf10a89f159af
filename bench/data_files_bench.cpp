// Indexed record lookups on a 100,000-entry index and .def table lookups on
// 3,000 entries, each with a reference in the same run.

#include "data/data_files.h"
#include "data/def_tables.h"
#include "data/file_manager.h"
#include "fixtures/data_file_writer.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int32_t kEntries = 100000;
constexpr int64_t kLookups = 10000000;

// A client directory with every required file and a 100,000-entry art index,
// loaded into a table of its own. Lives for the whole benchmark run.
class LoadedDataFiles {
public:
    LoadedDataFiles()
    {
        setenv("VARDUN_CONFIG_DIR", m_root.file("config").c_str(), 1);
        fixture::writeRequiredDataFiles(m_root, "client");
        std::string index;
        std::string data;
        for (int32_t n = 0; n < kEntries; ++n) {
            index += fixture::idxEntry(int32_t(data.size()), 8, uint32_t(n));
            data += fixture::le32(uint32_t(n)) + fixture::le32(~uint32_t(n));
        }
        m_root.write("client/artidx.mul", index);
        m_root.write("client/art.mul", data);
        m_manager.setCommandLine(std::vector<std::string> { "vardun", "-r", m_root.file("client") });
        m_previous = installFileManager(&m_manager);
        m_files.reset();
        m_files.load();

        std::mt19937 random(12345);
        m_numbers.resize(1 << 16);
        for (int32_t& n : m_numbers)
            n = int32_t(random() % kEntries);
    }
    ~LoadedDataFiles()
    {
        m_files.close();
        installFileManager(m_previous);
    }

    DataFiles& files() { return m_files; }
    const std::vector<int32_t>& numbers() const { return m_numbers; }

private:
    test::TempDir m_root;
    FileManager m_manager;
    FileManager* m_previous = nullptr;
    DataFiles m_files;
    std::vector<int32_t> m_numbers;
};

LoadedDataFiles& loaded()
{
    static LoadedDataFiles instance;
    return instance;
}

void BM_IndexedLookup(benchmark::State& state)
{
    DataFiles& files = loaded().files();
    const std::vector<int32_t>& numbers = loaded().numbers();
    size_t at = 0;
    for (auto _ : state) {
        int32_t length = 0;
        uint32_t extra = 0;
        const uint8_t* record = files.lookupIndexedRecord(kArtIndexFile, kArtFile, numbers[at], length, extra);
        benchmark::DoNotOptimize(record);
        at = (at + 1) & (numbers.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IndexedLookup)->Iterations(kLookups);

// The reference: the same entries read from the same mapping with no check.
void BM_UncheckedIndexRead(benchmark::State& state)
{
    DataFiles& files = loaded().files();
    const uint8_t* index = files.base(kArtIndexFile);
    const uint8_t* data = files.base(kArtFile);
    const std::vector<int32_t>& numbers = loaded().numbers();
    size_t at = 0;
    for (auto _ : state) {
        const uint8_t* entry = index + size_t(numbers[at]) * kIndexEntrySize;
        uint32_t offset
            = uint32_t(entry[0]) | uint32_t(entry[1]) << 8 | uint32_t(entry[2]) << 16 | uint32_t(entry[3]) << 24;
        benchmark::DoNotOptimize(data + offset);
        at = (at + 1) & (numbers.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UncheckedIndexRead)->Iterations(kLookups);

class LoadedDefTable {
public:
    LoadedDefTable()
    {
        test::TempDir root;
        std::string lines;
        for (int id = 0; id < 3000; ++id)
            lines += std::to_string(id * 7) + " {" + std::to_string(id) + ", " + std::to_string(id + 1) + "} 0\r\n";
        m_table.load(root.write("gump.def", lines));
        std::mt19937 random(54321);
        m_ids.resize(1 << 16);
        for (uint16_t& id : m_ids)
            id = uint16_t(random() % 21000);
    }
    DefTable m_table;
    std::vector<uint16_t> m_ids;
};

LoadedDefTable& defLoaded()
{
    static LoadedDefTable instance;
    return instance;
}

void BM_DefContains(benchmark::State& state)
{
    LoadedDefTable& def = defLoaded();
    size_t at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(def.m_table.contains(def.m_ids[at]));
        at = (at + 1) & (def.m_ids.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DefContains);

// The reference: a membership test in a plain sorted vector of the same ids.
void BM_SortedVectorContains(benchmark::State& state)
{
    LoadedDefTable& def = defLoaded();
    std::vector<uint16_t> sorted;
    for (int id = 0; id < 3000; ++id)
        sorted.push_back(uint16_t(id * 7));
    size_t at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::binary_search(sorted.begin(), sorted.end(), def.m_ids[at]));
        at = (at + 1) & (def.m_ids.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SortedVectorContains);

} // namespace
