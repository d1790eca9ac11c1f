#include <BinaryData.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace
{
enum class Ground
{
    opaque,       // every pixel alpha 255
    transparent,  // every pixel alpha 0
    cutOut        // opaque middle, transparent corners
};

struct ArtCase
{
    const char* name;
    const char* data;
    int size;
    int width;
    int height;
    int pngColourType;   // IHDR colour type: 6 = RGBA, 2 = RGB
    Ground ground;
};

const ArtCase artCases[] {
    { "panelBackground", BinaryData::panelBackground_png, BinaryData::panelBackground_pngSize, 1616, 774, 6, Ground::opaque },
    { "switchLeverDown", BinaryData::switchLeverDown_png, BinaryData::switchLeverDown_pngSize, 64, 64, 6, Ground::cutOut },
    { "switchLeverUp",   BinaryData::switchLeverUp_png,   BinaryData::switchLeverUp_pngSize,   64, 64, 6, Ground::cutOut },
    { "lampLit",         BinaryData::lampLit_png,         BinaryData::lampLit_pngSize,         52, 52, 6, Ground::cutOut },
    { "lampDark",        BinaryData::lampDark_png,        BinaryData::lampDark_pngSize,        52, 52, 6, Ground::cutOut },
    { "bannerBlank",     BinaryData::bannerBlank_png,     BinaryData::bannerBlank_pngSize,     403, 80, 6, Ground::transparent },
    { "makerBanner",     BinaryData::makerBanner_png,     BinaryData::makerBanner_pngSize,     403, 80, 2, Ground::opaque },
};

class EmbeddedArt : public ::testing::TestWithParam<ArtCase>
{
protected:
    juce::ScopedJuceInitialiser_GUI juce;

    static juce::Image decode (const ArtCase& art)
    {
        return juce::ImageCache::getFromMemory (art.data, art.size);
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
    ASSERT_GT (art.size, 33);
    const auto* bytes = reinterpret_cast<const unsigned char*> (art.data);

    const unsigned char signature[] { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ (bytes[i], signature[i]) << "signature byte " << i;

    ASSERT_EQ (bigEndian32 (bytes + 8), 13u);                        // IHDR length
    ASSERT_EQ (juce::String (reinterpret_cast<const char*> (bytes + 12), 4), "IHDR");
    EXPECT_EQ (bigEndian32 (bytes + 16), (std::uint32_t) art.width);
    EXPECT_EQ (bigEndian32 (bytes + 20), (std::uint32_t) art.height);
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
            for (auto corner : { juce::Point<int> (0, 0), { lastX, 0 }, { 0, lastY }, { lastX, lastY } })
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
    const auto fresh = juce::ImageFileFormat::loadFrom (art.data, (size_t) art.size);
    ASSERT_TRUE (fresh.isValid());
    EXPECT_NE (fresh.getPixelData(), first.getPixelData());
}

INSTANTIATE_TEST_SUITE_P (Images, EmbeddedArt, ::testing::ValuesIn (artCases),
                          [] (const auto& info) { return std::string (info.param.name); });

TEST (EmbeddedArtBanner, MakerBannerScalesToTheBannerButtonSize)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto banner = juce::ImageCache::getFromMemory (BinaryData::makerBanner_png,
                                                         BinaryData::makerBanner_pngSize);
    ASSERT_TRUE (banner.isValid());

    // The editor sizes the banner from the decoded image, in float, truncated.
    constexpr float bannerScale = 0.35275736f;
    const auto width = (int) ((float) banner.getWidth() * bannerScale);
    const auto height = (int) ((float) banner.getHeight() * bannerScale);

    EXPECT_EQ (width, 142);
    EXPECT_EQ (height, 28);
}
} // namespace
