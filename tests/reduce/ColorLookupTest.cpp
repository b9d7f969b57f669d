#include <gtest/gtest.h>

#include <random>

#include "ColorLookup.h"

TEST(ColorLookup, FixedLookupsMapByTheirFormulas) {
    struct Case {
        const char* Name;
        const TColorLookup* Lookup;
        int R, G, B;
        int Index;
        int ER, EG, EB;
    };
    const TNetscapeColorLookup cube;
    const TMonochromeLookup mono;
    const TGrayScaleLookup gray;
    const Case cases[] = {
        {"cube", &cube, 200, 100, 50, 121, 153, 102, 51},
        {"cube", &cube, 47, 47, 47, 0, 0, 0, 0},
        {"cube", &cube, 48, 48, 48, 43, 51, 51, 51},
        {"cube", &cube, 255, 255, 255, 215, 255, 255, 255},
        {"mono", &mono, 127, 127, 127, 0, 0, 0, 0}, // weighted sum 32512: not above
        {"mono", &mono, 128, 128, 128, 1, 255, 255, 255},
        {"gray", &gray, 255, 255, 255, 255, 255, 255, 255},
        {"gray", &gray, 10, 200, 30, (77 * 10 + 150 * 200 + 29 * 30) >> 8, 123, 123, 123},
    };
    for (const Case& c : cases) {
        TLookupColor e;
        EXPECT_EQ(c.Lookup->NearestIndex(c.R, c.G, c.B, e), c.Index) << c.Name << " " << c.R;
        EXPECT_EQ(e.Red, c.ER) << c.Name;
        EXPECT_EQ(e.Green, c.EG) << c.Name;
        EXPECT_EQ(e.Blue, c.EB) << c.Name;
    }
    EXPECT_EQ(cube.EntryCount(), 216);
    EXPECT_EQ(mono.EntryCount(), 2);
    EXPECT_EQ(gray.EntryCount(), 256);
}

TEST(ColorLookup, SlowLookupAgreesWithThePlainSearch) {
    // The pruned search must give the platform search's answer, ties and duplicates included.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255), coarse(0, 4);
    for (int round = 0; round < 20; ++round) {
        std::vector<TPaletteEntry> entries;
        const int n = 1 + static_cast<int>(rng() % 256);
        for (int i = 0; i < n; ++i) {
            // Coarse values make ties and duplicates frequent.
            const bool isCoarse = round % 2 == 0;
            auto v = [&] { return static_cast<std::uint8_t>(isCoarse ? coarse(rng) * 60 : byte(rng)); };
            entries.push_back(TPaletteEntry{v(), v(), v(), 0});
        }
        const TPalette palette(entries);
        const TSlowColorLookup lookup(palette);
        ASSERT_EQ(lookup.EntryCount(), n);
        for (int k = 0; k < 2000; ++k) {
            const int r = byte(rng), g = byte(rng), b = byte(rng);
            TLookupColor e;
            const int index = lookup.NearestIndex(r, g, b, e);
            ASSERT_EQ(index, palette.NearestIndex(r, g, b)) << r << "," << g << "," << b;
            ASSERT_EQ(MakeColorRef(e.Red, e.Green, e.Blue), palette.ColorAt(index));
        }
    }
}
