// Walking a file's records: the list ends at the first rejected header, silently; a record
// whose pixel data the end of the file cuts short is still listed.
#include "record_walk.h"
#include "test_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

RecordRecipe Delta(std::uint16_t width, std::uint16_t height, DeltaHeader delta) {
    RecordRecipe recipe = FilledRecipe(width, height, RECORD_DELTA);
    recipe.delta = delta;
    return recipe;
}

std::vector<std::uint16_t> Widths(const std::vector<ListedRecord>& records) {
    std::vector<std::uint16_t> widths;
    for (const ListedRecord& r : records) {
        widths.push_back(r.header.width);
    }
    return widths;
}

TEST(ListRecordsTest, ListsEveryRecordWithItsDeltaHeader) {
    const Bytes file =
        Concat({MakeRecord(FilledRecipe(17, 5)), MakeRecord(Delta(8, 2, {40, 8, 3})),
                MakeRecord(Delta(0, 0, {40, 0, 0})), MakeRecord(FilledRecipe(3, 11))});
    const auto records = ListRecords(MemorySource(file));
    ASSERT_TRUE(records.has_value());
    EXPECT_EQ(Widths(*records), (std::vector<std::uint16_t>{17, 8, 0, 3}));
    EXPECT_EQ((*records)[1].delta.delay, 40);
    EXPECT_EQ((*records)[1].delta.dx, 8);
    EXPECT_EQ((*records)[1].delta.dy, 3);
    EXPECT_EQ((*records)[3].header.height, 11);
}

TEST(ListRecordsTest, EndsAtTheFirstRejectedHeader) {
    const Bytes a = MakeRecord(FilledRecipe(17, 5));
    const Bytes b = MakeRecord(FilledRecipe(6, 4));
    Bytes damaged = MakeRecord(FilledRecipe(30, 1));
    damaged[4] = 0x03;
    Bytes looping = MakeRecord(FilledRecipe(30, 1));
    looping[0] = 0; // a zero length would lead back onto the same header
    looping[1] = looping[2] = looping[3] = 0;
    const struct {
        Bytes file;
        std::vector<std::uint16_t> widths;
    } cases[] = {
        {Concat({a, b, damaged, a}), {17, 6}},
        {Concat({a, b, looping, a}), {17, 6}},
        {Concat({a, Bytes{1, 2, 3, 4, 5}}), {17}},
        {Concat({a, b, Bytes(b.begin(), b.begin() + 11)}), {17, 6}},
        // Cut records: the header is whole, the pixel data is not.
        {Concat({a, b, Bytes(b.begin(), b.begin() + 12)}), {17, 6, 6}},
        {Concat({a, b, Bytes(b.begin(), b.end() - 1)}), {17, 6, 6}},
        {Bytes(a.begin(), a.end() - 1), {17}},
        {Bytes{}, {}},
    };
    for (const auto& c : cases) {
        const auto records = ListRecords(MemorySource(c.file));
        ASSERT_TRUE(records.has_value());
        EXPECT_EQ(Widths(*records), c.widths);
    }
}

TEST(ListRecordsTest, MissingFileIsNothing) {
    const auto missing = std::filesystem::temp_directory_path() / "zentra_no_such_file.ztr";
    EXPECT_FALSE(ListRecords(missing.string()).has_value());
    EXPECT_FALSE(ListRecords(std::string()).has_value());
}

} // namespace
