// The public GIF test suite and wuffs' test files: every file loads or is refused with a codec
// error; expected index planes, sizes, delays and loop counts match.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFSubImage.h"
#include "GIFTestUtil.h"
#include "Stream.h"

namespace fs = std::filesystem;

namespace {

const fs::path Shared = TINDRA_SHARED_TESTDATA;

TBytes ReadFile(const fs::path& p) {
    return ReadWholeFile(p.string());
}

// The .conf files: [section] key = value.
std::map<std::string, std::map<std::string, std::string>> ReadConf(const fs::path& p) {
    std::map<std::string, std::map<std::string, std::string>> conf;
    std::ifstream in(p);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        auto trim = [](std::string s) {
            s.erase(0, s.find_first_not_of(" \t"));
            s.erase(s.find_last_not_of(" \t\r") + 1);
            return s;
        };
        conf[section][trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
    return conf;
}

} // namespace

TEST(ExternalData, EveryFileLoadsOrIsRefusedAndRewrites) {
    if (!fs::exists(Shared)) GTEST_SKIP() << "shared test data not found at " << Shared;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(Shared)) {
        if (entry.path().extension() != ".gif") continue;
        ++files;
        TGIFPicture gif;
        try {
            LoadBytes(gif, ReadFile(entry.path()));
        } catch (const EGIFException&) {
            continue; // refused with a codec error
        }
        // Whatever loaded can be written unless its indices exceed its tables.
        try {
            TBytes out = SaveBytes(gif);
            TGIFPicture again;
            LoadBytes(again, out);
            ASSERT_EQ(again.Images().ItemCount(), gif.Images().ItemCount()) << entry.path();
            for (int i = 0; i < gif.Images().ItemCount(); ++i) {
                TGIFSubImage* a = gif.Images()[i];
                TGIFSubImage* b = again.Images()[i];
                ASSERT_EQ(a->PixelBytes(), b->PixelBytes()) << entry.path() << " frame " << i;
                EXPECT_TRUE(std::equal(a->Pixels(), a->Pixels() + a->PixelBytes(), b->Pixels()))
                    << entry.path() << " frame " << i;
            }
        } catch (const EGIFException& e) {
            EXPECT_TRUE(std::string(e.what()) == "Color not in color table" ||
                        std::string(e.what()) == "Unsupported GIF version")
                << entry.path() << ": " << e.what();
        }
    }
    EXPECT_GT(files, 50);
}

TEST(ExternalData, WuffsIndexPlanes) {
    const fs::path dir = Shared / "wuffs-gif";
    if (!fs::exists(dir)) GTEST_SKIP() << "wuffs test data not found";
    for (const char* name : {"bricks-dither", "bricks-nodither"}) {
        TGIFPicture gif;
        LoadBytes(gif, ReadFile(dir / (std::string(name) + ".gif")));
        ASSERT_GE(gif.Images().ItemCount(), 1);
        const TBytes expected = ReadFile(dir / (std::string(name) + ".indexes"));
        TGIFSubImage* frame = gif.Images()[0];
        ASSERT_EQ(frame->PixelBytes(), expected.size()) << name;
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), frame->Pixels())) << name;
        // The palette file holds blue, green, red, alpha quads.
        const TBytes palette = ReadFile(dir / (std::string(name) + ".palette"));
        const TGIFColorMap& table = frame->ActiveColorTable();
        for (int i = 0; i < table.Count(); ++i) {
            EXPECT_EQ(table.Data()[i * 3 + 0], palette[static_cast<std::size_t>(i) * 4 + 2])
                << name << " entry " << i;
            EXPECT_EQ(table.Data()[i * 3 + 2], palette[static_cast<std::size_t>(i) * 4 + 0])
                << name << " entry " << i;
        }
    }
}

TEST(ExternalData, WuffsFramesAgreeWithGiflib) {
    const fs::path dir = Shared / "wuffs-gif";
    if (!fs::exists(dir)) GTEST_SKIP() << "wuffs test data not found";
    for (const char* name : {"harvesters.gif", "muybridge.gif", "hippopotamus.interlaced.gif",
                             "hippopotamus.regular.gif", "hibiscus.regular.gif", "hibiscus.primitive.gif",
                             "animated-red-blue.gif", "gifplayer-muybridge.gif"}) {
        const TBytes bytes = ReadFile(dir / name);
        TGiflibFile ref;
        ASSERT_TRUE(GiflibDecode(bytes, ref)) << name;
        TGIFPicture gif;
        LoadBytes(gif, bytes);
        int k = 0;
        for (TGIFSubImage* frame : gif.Images()) {
            if (frame->Empty()) continue;
            ASSERT_LT(static_cast<std::size_t>(k), ref.Frames.size()) << name;
            const TGiflibFrame& f = ref.Frames[static_cast<std::size_t>(k++)];
            ASSERT_EQ(frame->PixelBytes(), f.Pixels.size()) << name;
            EXPECT_TRUE(std::equal(f.Pixels.begin(), f.Pixels.end(), frame->Pixels()))
                << name << " frame " << k - 1;
        }
        EXPECT_EQ(static_cast<std::size_t>(k), ref.Frames.size()) << name;
    }
}

TEST(ExternalData, SuiteSizesDelaysAndLoopCounts) {
    const fs::path dir = Shared / "gif-test-suite";
    if (!fs::exists(dir)) GTEST_SKIP() << "gif test suite not found";
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".conf") continue;
        auto conf = ReadConf(entry.path());
        const std::string input = conf["config"]["input"];
        TGIFPicture gif;
        try {
            LoadBytes(gif, ReadFile(dir / input));
        } catch (const EGIFException&) {
            continue;
        }
        ++checked;
        EXPECT_EQ(std::to_string(gif.Width()), conf["config"]["width"]) << input;
        EXPECT_EQ(std::to_string(gif.Height()), conf["config"]["height"]) << input;
        // Loop count: "infinite" is a looping extension with count 0; otherwise the count.
        std::string loops = "0";
        for (TGIFSubImage* frame : gif.Images()) {
            for (TGIFBaseExtension* ext : frame->Extensions()) {
                if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(ext)) {
                    loops = loop->Loops ? std::to_string(loop->Loops) : "infinite";
                }
            }
        }
        // "force-animation" files carry no looping extension; readers there invent the looping.
        if (conf["config"].count("loop-count") && conf["config"]["force-animation"] != "yes") {
            EXPECT_EQ(loops, conf["config"]["loop-count"]) << input;
        }
        // Delays of the frames with image data, in order.
        std::vector<std::string> frameNames;
        std::stringstream names(conf["config"]["frames"]);
        for (std::string n; std::getline(names, n, ',');)
            if (!n.empty()) frameNames.push_back(n.substr(n.find_first_not_of(' ')));
        std::vector<TGIFSubImage*> images;
        for (TGIFSubImage* frame : gif.Images())
            if (!frame->Empty()) images.push_back(frame);
        if (images.size() != frameNames.size()) continue; // the suite composes differently here
        for (std::size_t i = 0; i < images.size(); ++i) {
            auto& section = conf[frameNames[i]];
            if (!section.count("delay")) continue;
            const int delay =
                images[i]->GraphicControlExtension() ? images[i]->GraphicControlExtension()->Delay() : 0;
            EXPECT_EQ(std::to_string(delay), section["delay"]) << input << " " << frameNames[i];
        }
    }
    EXPECT_GT(checked, 40);
}
