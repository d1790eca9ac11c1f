// Composes the embedded panel art the way the editor places it and writes
// PNGs at 1x (606 x 271) and 2x (1212 x 542), so the art can be judged
// without a host or a display.
//
//   SnapwellArtPreview <output folder>
//
// Writes, for each scale N (1 and 2):
//   panel-Nx.png          resting state: levers down, lamps lit, blank banner
//   panel-pressed-Nx.png  levers up, lamps dark, maker banner shown
//   panel-text-Nx.png     resting state with a sample preset name in the
//                         display window and the progress bars half full

#include <BinaryData.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
constexpr int panelWidth = 606;
constexpr int panelHeight = 271;

// Where the editor puts things, in panel units.
const juce::Rectangle<int> catchButton{59, 64, 72, 72};
const juce::Rectangle<int> releaseButton{475, 64, 72, 72};
const juce::Rectangle<int> bannerButton{232, 45, 142, 28};
const juce::Rectangle<int> nameLabel{160, 54, 259, 72};
constexpr int nameTextTopInset = 24; // title plate ends at y 73, the window glass starts at 76.5
const juce::Rectangle<int> progressBar{239, 103, 134, 6};
const juce::Rectangle<int> lamps[]{{182, 157, 50, 50}, {279, 157, 50, 50}, {376, 157, 50, 50}};

juce::Image load (const char* data, int size)
{
    auto image = juce::ImageCache::getFromMemory (data, size);

    if (!image.isValid())
        throw std::runtime_error ("an embedded image did not decode");

    return image;
}

struct Art
{
    juce::Image panel = load (BinaryData::panelBackground_png, BinaryData::panelBackground_pngSize);
    juce::Image leverDown = load (BinaryData::switchLeverDown_png, BinaryData::switchLeverDown_pngSize);
    juce::Image leverUp = load (BinaryData::switchLeverUp_png, BinaryData::switchLeverUp_pngSize);
    juce::Image lampLit = load (BinaryData::lampLit_png, BinaryData::lampLit_pngSize);
    juce::Image lampDark = load (BinaryData::lampDark_png, BinaryData::lampDark_pngSize);
    juce::Image bannerBlank = load (BinaryData::bannerBlank_png, BinaryData::bannerBlank_pngSize);
    juce::Image makerBanner = load (BinaryData::makerBanner_png, BinaryData::makerBanner_pngSize);
};

enum class State
{
    resting,
    pressed,
    withText
};

void drawStretched (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> bounds)
{
    g.drawImage (image, bounds.toFloat(), juce::RectanglePlacement::stretchToFit);
}

juce::Image compose (const Art& art, State state, int scale)
{
    juce::Image out (juce::Image::ARGB, panelWidth * scale, panelHeight * scale, true);
    juce::Graphics g (out);
    g.addTransform (juce::AffineTransform::scale ((float)scale));
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

    drawStretched (g, art.panel, {0, 0, panelWidth, panelHeight});

    const auto pressed = state == State::pressed;
    drawStretched (g, pressed ? art.leverUp : art.leverDown, catchButton);
    drawStretched (g, pressed ? art.leverUp : art.leverDown, releaseButton);

    for (const auto& lamp : lamps)
        drawStretched (g, pressed ? art.lampDark : art.lampLit, lamp);

    if (state == State::withText)
    {
        // Black bold 16, centred, top-aligned in the name label. The label's
        // top 22 units lie behind the title plate, so the text is set below
        // them to land in the display window.
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font (16.0f, juce::Font::bold));
        g.drawText ("Plexi Crunch 1959 - Lead", nameLabel.withTrimmedTop (nameTextTopInset).reduced (5, 0),
                    juce::Justification::centredTop, true);

        g.setColour (juce::Colour (0xff9aff1a));
        g.fillRect (progressBar.withWidth (progressBar.getWidth() / 2));
    }

    drawStretched (g, pressed ? art.makerBanner : art.bannerBlank, bannerButton);
    return out;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream stream (file);

    if (!stream.openedOk())
        return false;

    return juce::PNGImageFormat().writeImageToStream (image, stream);
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::cerr << "usage: " << argv[0] << " <output folder>\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;

    const auto folder =
        juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));

    if (!folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    try
    {
        const Art art;
        const std::pair<State, const char*> states[]{
            {State::resting, "panel"}, {State::pressed, "panel-pressed"}, {State::withText, "panel-text"}};

        for (const auto& [state, stem] : states)
        {
            for (int scale : {1, 2})
            {
                const auto file =
                    folder.getChildFile (juce::String (stem) + "-" + juce::String (scale) + "x.png");

                if (!writePng (compose (art, state, scale), file))
                {
                    std::cerr << "cannot write " << file.getFullPathName() << "\n";
                    return 1;
                }

                std::cout << file.getFullPathName() << "\n";
            }
        }
    }
    catch (const std::exception& e)
    {
        std::cerr << e.what() << "\n";
        return 1;
    }

    return 0;
}
