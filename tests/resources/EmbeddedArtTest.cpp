#include <BinaryData.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <ostream>
#include <string>

namespace
{
enum class Ground
{
    opaque,      // every pixel alpha 255
    transparent, // every pixel alpha 0
    cutOut       // opaque middle, transparent corners
};

struct ArtCase
{
    const char* resource; // BinaryData name, looked up when the test runs
    int width;
    int height;
    int pngColourType; // IHDR colour type: 6 = RGBA, 2 = RGB
    Ground ground;
};

const ArtCase artCases[]{
    {"panelBackground_png", 1616, 774, 6, Ground::opaque},
    {"switchLeverDown_png", 64, 64, 6, Ground::cutOut},
    {"switchLeverUp_png", 64, 64, 6, Ground::cutOut},
    {"lampLit_png", 52, 52, 6, Ground::cutOut},
    {"lampDark_png", 52, 52, 6, Ground::cutOut},
    {"bannerBlank_png", 403, 80, 6, Ground::transparent},
    {"makerBanner_png", 403, 80, 2, Ground::opaque},
};

// Keeps test names readable in gtest and ctest output.
void PrintTo (const ArtCase& art, std::ostream* os)
{
    *os << art.resource;
}

struct Bytes
{
    const char* data = nullptr;
    int size = 0;
};

Bytes bytesOf (const ArtCase& art)
{
    Bytes b;
    b.data = BinaryData::getNamedResource (art.resource, b.size);
    return b;
}

class EmbeddedArt : public ::testing::TestWithParam<ArtCase>
{
protected:
    juce::ScopedJuceInitialiser_GUI juce;

    static juce::Image decode (const ArtCase& art)
    {
        const auto bytes = bytesOf (art);
        return juce::ImageCache::getFromMemory (bytes.data, bytes.size);
    }
};

std::uint32_t bigEndian32 (const unsigned char* p)
{
    return (std::uint32_t (p[0]) << 24) | (std::uint32_t (p[1]) << 16) | (std::uint32_t (p[2]) << 8) | p[3];
}

/** Counts pixels whose alpha is (or is not) the given value. */
int countAlpha (const juce::Image& image, juce::uint8 alpha, bool equal)
{
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    int count = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if ((pixels.getPixelColour (x, y).getAlpha() == alpha) == equal)
                ++count;

    return count;
}

TEST_P (EmbeddedArt, PngHeaderIsEightBitNonInterlacedOfTheRightColourType)
{
    const auto& art = GetParam();
    const auto resource = bytesOf (art);
    ASSERT_NE (resource.data, nullptr);
    ASSERT_GT (resource.size, 33);
    const auto* bytes = reinterpret_cast<const unsigned char*> (resource.data);

    const unsigned char signature[]{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ (bytes[i], signature[i]) << "signature byte " << i;

    ASSERT_EQ (bigEndian32 (bytes + 8), 13u); // IHDR length
    ASSERT_EQ (juce::String (reinterpret_cast<const char*> (bytes + 12), 4), "IHDR");
    EXPECT_EQ (bigEndian32 (bytes + 16), (std::uint32_t)art.width);
    EXPECT_EQ (bigEndian32 (bytes + 20), (std::uint32_t)art.height);
    EXPECT_EQ (bytes[24], 8) << "bit depth";
    EXPECT_EQ (bytes[25], art.pngColourType) << "colour type";
    EXPECT_EQ (bytes[28], 0) << "interlace method";
}

TEST_P (EmbeddedArt, DecodesToItsSizeWithTheExpectedGround)
{
    const auto& art = GetParam();
    const auto image = decode (art);

    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), art.width);
    EXPECT_EQ (image.getHeight(), art.height);
    EXPECT_EQ (image.hasAlphaChannel(), art.pngColourType == 6);

    const auto lastX = art.width - 1, lastY = art.height - 1;

    switch (art.ground)
    {
    case Ground::opaque:
        EXPECT_EQ (countAlpha (image, 255, false), 0) << "pixels that are not fully opaque";
        break;

    case Ground::transparent:
        EXPECT_EQ (countAlpha (image, 0, false), 0) << "pixels that are not fully transparent";
        break;

    case Ground::cutOut:
        for (auto corner : {juce::Point<int> (0, 0), {lastX, 0}, {0, lastY}, {lastX, lastY}})
            EXPECT_EQ (image.getPixelAt (corner.x, corner.y).getAlpha(), 0) << "corner " << corner.toString();

        EXPECT_EQ (image.getPixelAt (art.width / 2, art.height / 2).getAlpha(), 255) << "centre";
        EXPECT_GT (countAlpha (image, 0, true), 0);
        break;
    }
}

TEST_P (EmbeddedArt, SecondFetchReturnsTheCachedImage)
{
    const auto& art = GetParam();
    const auto first = decode (art);
    const auto second = decode (art);

    ASSERT_TRUE (first.isValid());
    EXPECT_EQ (first.getPixelData(), second.getPixelData());

    // Decoding the bytes afresh gives a different pixel buffer, so the
    // identity above comes from the cache and not from the decoder.
    const auto resource = bytesOf (art);
    const auto fresh = juce::ImageFileFormat::loadFrom (resource.data, (size_t)resource.size);
    ASSERT_TRUE (fresh.isValid());
    EXPECT_NE (fresh.getPixelData(), first.getPixelData());
}

INSTANTIATE_TEST_SUITE_P (Images, EmbeddedArt, ::testing::ValuesIn (artCases),
                          [] (const auto& testInfo) { return std::string (testInfo.param.resource); });

TEST (EmbeddedArtList, HoldsExactlyTheSevenPanelImages)
{
    EXPECT_EQ (BinaryData::namedResourceListSize, (int)std::size (artCases));

    for (const auto& art : artCases)
        EXPECT_NE (bytesOf (art).data, nullptr) << art.resource;
}

TEST (EmbeddedArtBanner, MakerBannerScalesToTheBannerButtonSize)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto banner =
        juce::ImageCache::getFromMemory (BinaryData::makerBanner_png, BinaryData::makerBanner_pngSize);
    ASSERT_TRUE (banner.isValid());

    // The editor sizes the banner from the decoded image, in float, truncated.
    constexpr float bannerScale = 0.35275736f;
    const auto width = (int)((float)banner.getWidth() * bannerScale);
    const auto height = (int)((float)banner.getHeight() * bannerScale);

    EXPECT_EQ (width, 142);
    EXPECT_EQ (height, 28);
}
} // namespace
