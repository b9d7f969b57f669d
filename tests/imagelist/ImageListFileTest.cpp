// The control image file format: a round trip, and every damaged file refused as a whole before
// anything is allocated for its sizes.

#include "ImageListFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using tindra::TImageListFile;
using tindra::TImageListItem;

namespace {

// Two small lists with distinct pixels, alpha included.
std::vector<TImageListItem> SampleItems() {
    TImageListItem a{"First", 3, 2, {}};
    a.Pictures.push_back({0xFF112233, 0x00000000, 0x80FFFFFF, 0xFF000001, 0x01020304, 0xFFFF00FF});
    a.Pictures.push_back(std::vector<uint32_t>(6, 0xFFCCCCCC));
    TImageListItem b{"Language buttons", 1, 1, {{0x7F123456}}};
    return {a, b};
}

void PutU16(std::vector<uint8_t>& data, size_t at, uint16_t v) {
    data[at] = static_cast<uint8_t>(v);
    data[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Recomputes the trailing checksum so that only the edited field is wrong.
void Reseal(std::vector<uint8_t>& data) {
    const uint32_t crc = TImageListFile::Crc32(data.data(), data.size() - 4);
    for (int i = 0; i < 4; ++i)
        data[data.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
}

// A folder of its own below the temporary folder, removed with everything in it.
struct TScratchFolder {
    std::filesystem::path Path = std::filesystem::temp_directory_path() /
                                 ("tindra-iml-" + std::to_string(::getpid()) + "-" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TScratchFolder() { std::filesystem::create_directories(Path); }
    ~TScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

} // namespace

TEST(ImageListFile, RoundTrip) {
    const std::vector<TImageListItem> items = SampleItems();
    TScratchFolder dir;
    const std::string path = (dir.Path / "images.iml").string();
    ASSERT_TRUE(TImageListFile::Save(path, items));
    std::vector<TImageListItem> loaded;
    std::string error;
    ASSERT_TRUE(TImageListFile::Load(path, loaded, &error)) << error;
    ASSERT_EQ(loaded.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(loaded[i].Name, items[i].Name);
        EXPECT_EQ(loaded[i].Width, items[i].Width);
        EXPECT_EQ(loaded[i].Height, items[i].Height);
        EXPECT_TRUE(loaded[i].Pictures == items[i].Pictures);
    }
}

// Every cut of the file and every single changed byte must be refused as a whole.
TEST(ImageListFile, RejectsEveryTruncationAndFlip) {
    const std::vector<uint8_t> good = TImageListFile::Encode(SampleItems());
    std::vector<TImageListItem> items;
    for (size_t length = 0; length < good.size(); ++length) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + length);
        EXPECT_FALSE(TImageListFile::Decode(cut, items)) << "length " << length;
        EXPECT_TRUE(items.empty());
    }
    for (size_t at = 0; at < good.size(); ++at) {
        std::vector<uint8_t> bad = good;
        bad[at] ^= 0x10;
        EXPECT_FALSE(TImageListFile::Decode(bad, items)) << "byte " << at;
    }
    std::vector<uint8_t> longer = good;
    longer.insert(longer.end() - 4, 0);
    Reseal(longer);
    EXPECT_FALSE(TImageListFile::Decode(longer, items));
}

// Sizes from the file are checked before anything is allocated for them.
TEST(ImageListFile, RejectsHugeSizesWithValidChecksum) {
    struct Case {
        const char* What;
        int Field; // offset of the edited u16 after the first item's name
        int Value;
    } cases[] = {{"width 0", 0, 0},
                 {"width 60000", 0, 60000},
                 {"height 60000", 2, 60000},
                 {"65535 pictures", 4, 65535},
                 {"pictures beyond the data", 4, 100}};
    for (const Case& c : cases) {
        std::vector<uint8_t> data = TImageListFile::Encode(SampleItems());
        const size_t sizes = 4 + 2 + 2 + 1 + std::string("First").size(); // magic, version, count, name
        PutU16(data, sizes + c.Field, static_cast<uint16_t>(c.Value));
        Reseal(data);
        std::vector<TImageListItem> items;
        std::string error;
        EXPECT_FALSE(TImageListFile::Decode(data, items, &error)) << c.What;
        EXPECT_FALSE(error.empty()) << c.What;
    }
}

TEST(ImageListFile, SaveRefusesBadPictures) {
    std::vector<TImageListItem> items = SampleItems();
    items[0].Pictures[1].pop_back();
    TScratchFolder dir;
    std::string error;
    EXPECT_FALSE(TImageListFile::Save((dir.Path / "x.iml").string(), items, &error));
    EXPECT_FALSE(error.empty());
}
