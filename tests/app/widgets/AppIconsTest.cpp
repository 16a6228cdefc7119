#include <gtest/gtest.h>

#include <QImage>

#include "app/widgets/AppIcons.h"

namespace {

// On a screen of ratio 2 every picture drawn in code has twice the pixels of its logical size,
// drawn at that density rather than the plain picture enlarged.
TEST(AppIconsTest, DrawnWithTheDevicePixelsOfTheScreen)
{
    struct Case {
        const char* name;
        QPixmap (*draw)(qreal ratio);
        QSize logical;
    } const cases[] = {
        {"exit", [](qreal r) { return DrawToolbarImage(EToolbarImage::Exit, r); }, {16, 15}},
        {"export", [](qreal r) { return DrawToolbarImage(EToolbarImage::ExportXML, r); }, {16, 15}},
        {"settings",
         [](qreal r) { return DrawToolbarImage(EToolbarImage::Settings, r); },
         {16, 15}},
        {"help", [](qreal r) { return DrawToolbarImage(EToolbarImage::Help, r); }, {16, 15}},
        {"program", [](qreal r) { return DrawAppIcon(32, r); }, {32, 32}},
    };
    for (const Case& c : cases) {
        const QPixmap plain = c.draw(1.0);
        const QPixmap dense = c.draw(2.0);
        EXPECT_EQ(plain.size(), c.logical) << c.name;
        EXPECT_EQ(dense.size(), c.logical * 2) << c.name;
        EXPECT_EQ(dense.deviceIndependentSize().toSize(), c.logical) << c.name;
        const QImage enlarged =
            plain.toImage().scaled(dense.size()).convertToFormat(dense.toImage().format());
        EXPECT_NE(dense.toImage(), enlarged) << c.name;
    }
    // Without a ratio: the screens' own (1 offscreen).
    EXPECT_EQ(DrawToolbarImage(EToolbarImage::Help).devicePixelRatio(), 1.0);
}

}  // namespace
