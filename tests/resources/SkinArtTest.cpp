// Checks on the skin's design that a careless edit of the generator could break: labels must not
// sit under controls, texts and curves must stay readable on what they are drawn over, and the six
// band handles must be told apart.
#include "Art.h"
#include "Canvas.h"
#include "Layout.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skingen;

namespace {

class FontCaches : public ::testing::Environment {
public:
    void TearDown() override { releaseFontCaches(); }
};
const auto* const gFontCaches = ::testing::AddGlobalTestEnvironment(new FontCaches);

double luminance(double r, double g, double b)
{
    auto lin = [](double c) {
        c /= 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

double contrast(double l1, double l2)
{
    if (l1 < l2)
        std::swap(l1, l2);
    return (l1 + 0.05) / (l2 + 0.05);
}

// Draws at a scale for one test and always goes back to 100 %.
struct AtScale {
    explicit AtScale(qv::Scale scale) { setArtScale(scale); }
    ~AtScale() { setArtScale(qv::kScale100); }
};

TEST(SkinArt, BackgroundLabelsNeverLieUnderAControl)
{
    for (qv::Scale s : {qv::kScale100, qv::kScale150, qv::kScale200}) {
        AtScale at(s);
        Picture labels = editorLabels();
        ASSERT_EQ(labels.width, editorWidth(s));
        ASSERT_EQ(labels.height, editorHeight(s));
        for (const Rect& r : controlRects(s))
            for (int y = r.y; y < r.bottom(); ++y)
                for (int x = r.x; x < r.right(); ++x)
                    ASSERT_EQ(labels.at(x, y).a, 0)
                        << s << " %: label pixel at " << x << "," << y << " under the control at " << r.x << "," << r.y;
        // And the headings are really there, in the strip between the graph and the first band row.
        int inked = 0;
        for (int y = scaled(kGraph, s).bottom() + 3; y < qv::scalePx(bandY(1), s); ++y)
            for (int x = 0; x < labels.width; ++x)
                inked += labels.at(x, y).a > 128;
        EXPECT_GT(inked, 200 * qv::percentOf(s) / 100) << s;
    }
}

TEST(SkinArt, ScaledPiecesFitTheScaledLayout)
{
    for (qv::Scale s : {qv::kScale150, qv::kScale200}) {
        AtScale at(s);
        const Picture graph = graphBackground(), lamp = clipLamp(editorBackground(), clipLamp(0, s), 2);
        EXPECT_EQ(graph.width, scaled(kGraph, s).w);
        EXPECT_EQ(graph.height, scaled(kGraph, s).h);
        EXPECT_EQ(lamp.height, clipLamp(0, s).h);
        EXPECT_EQ(buttonFace(76, 21, false, ButtonShape::Single).width, scaled(kBypass, s).w);
        EXPECT_EQ(meterBar(true).height, scaled(kMeterL, s).h);
        // A handle has a centre pixel, and the lamp is lit in its middle, not cut off.
        EXPECT_EQ(handleSize() % 2, 1);
        const Rgba& c = lamp.at(lamp.width / 2, lamp.height / 2);
        EXPECT_GT(c.r, 200) << s;
    }
}

TEST(SkinArt, GraphKeepsCurveAndScaleReadable)
{
    // The graph draws a white curve and dark blue labels (0x253A49) over its background.
    Picture g = graphBackground();
    ASSERT_EQ(g.width, kGraphW);
    ASSERT_EQ(g.height, kGraphH);
    const double white = luminance(255, 255, 255), label = luminance(0x25, 0x3A, 0x49);
    for (int y = 2; y < kGraphH - 2; ++y)
        for (int x = 2; x < kGraphW - 2; ++x) {
            if (x >= kGraphW - 16 && y >= kGraphH - 14)
                continue;  // the unit sign, itself a label
            const Rgba& p = g.at(x, y);
            double l = luminance(p.r, p.g, p.b);
            ASSERT_GE(contrast(l, white), 1.8) << x << "," << y;
            ASSERT_GE(contrast(l, label), 3.0) << x << "," << y;
        }
}

TEST(SkinArt, ButtonTextIsReadableInEveryLook)
{
    // Text 0x404040 on the face, pressed face and the checked (tinted) face.
    const double text = luminance(0x40, 0x40, 0x40);
    for (int w : {15, 24, 27, 50, 61, 76})
        for (bool pressed : {false, true}) {
            Picture f = buttonFace(w, 21, pressed, ButtonShape::Single);
            const Rgba& p = f.at(w / 2, 10);
            ASSERT_EQ(p.a, 255);
            EXPECT_GE(contrast(luminance(p.r, p.g, p.b), text), 4.5) << w << (pressed ? " pressed" : "");
            double r = std::min(255.0, p.r * 255.0 / 235), gg = std::min(255.0, p.g * 248.0 / 235),
                   b = p.b * 120.0 / 235;
            EXPECT_GE(contrast(luminance(r, gg, b), text), 4.5) << w << " checked";
        }
}

TEST(SkinArt, BandHandlesAreSixDistinctColoursInFourStates)
{
    Picture h = bandHandles();
    ASSERT_EQ(h.width, 60);
    ASSERT_EQ(h.height, 40);
    for (int row = 0; row < 4; ++row)
        for (int a = 0; a < 6; ++a) {
            // Every used cell has a visible body, and no cell is all key colour.
            const Rgba& ca = h.at(a * 10 + 4, row * 10 + 4);
            EXPECT_FALSE(ca.r == 255 && ca.g == 0 && ca.b == 255) << "cell " << a << "," << row;
            if (row < 2)
                continue;
            // Switched-on handles: body colours far apart from each other.
            const Rgba& pa = h.at(a * 10 + 6, row * 10 + 6);
            for (int b = a + 1; b < 6; ++b) {
                const Rgba& pb = h.at(b * 10 + 6, row * 10 + 6);
                double d =
                    std::sqrt(std::pow(pa.r - pb.r, 2.0) + std::pow(pa.g - pb.g, 2.0) + std::pow(pa.b - pb.b, 2.0));
                EXPECT_GT(d, 70.0) << "bands " << a + 1 << " and " << b + 1;
            }
        }
    // Selected handles differ from unselected ones at the rim; on differs from off in the body.
    for (int a = 0; a < 6; ++a) {
        const Rgba &rimOff = h.at(a * 10 + 4, 0), &rimSel = h.at(a * 10 + 4, 10);
        EXPECT_NE(rimOff.r + rimOff.g + rimOff.b, rimSel.r + rimSel.g + rimSel.b);
        const Rgba &bodyOff = h.at(a * 10 + 6, 26 - 20), &bodyOn = h.at(a * 10 + 6, 26);
        EXPECT_NE(bodyOff.r + bodyOff.g + bodyOff.b, bodyOn.r + bodyOn.g + bodyOn.b);
    }
}

}  // namespace
