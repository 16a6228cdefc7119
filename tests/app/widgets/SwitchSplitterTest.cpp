#include <gtest/gtest.h>

#include <QLabel>

#include "app/widgets/SwitchSplitter.h"

namespace {

QWidget* MakeView(QWidget* parent, const QString& name)
{
    auto* view = new QLabel(name, parent);
    view->setObjectName(name);
    return view;
}

TEST(SwitchSplitterTest, LastRegisteredViewIsShownAndNumbersFollowRegistration)
{
    CSwitchSplitter splitter;
    splitter.resize(800, 500);
    splitter.show();
    const QStringList names = {"reports", "statistics", "thumbnails", "calendar"};
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(splitter.AddSwitchView(
                      0, 1, [&](QWidget* parent) { return MakeView(parent, names[i]); }),
                  i);
    }
    EXPECT_EQ(splitter.GetCurrentView(0, 1), 3);
    EXPECT_TRUE(splitter.GetView(3)->isVisible());
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(splitter.GetView(i)->isVisible()) << i;

    // A failed creation keeps the shown view and gives -1.
    EXPECT_EQ(splitter.AddSwitchView(0, 1, [](QWidget*) { return nullptr; }), -1);
    EXPECT_TRUE(splitter.GetView(3)->isVisible());
    EXPECT_EQ(
        splitter.AddSwitchView(0, 1, [&](QWidget* parent) { return MakeView(parent, "extra"); }),
        4);
}

TEST(SwitchSplitterTest, ShowingSwitchesExactlyOneViewAndResetsOnlyInResetMode)
{
    CSwitchSplitter splitter;
    splitter.resize(800, 500);
    splitter.show();
    for (const char* name : {"a", "b", "c"}) {
        splitter.AddSwitchView(0, 1, [&](QWidget* parent) { return MakeView(parent, name); });
    }
    int resets = 0;
    splitter.SetResetHandler(1, [&resets] { ++resets; });
    EXPECT_FALSE(splitter.ShowSwitchView(7));
    EXPECT_EQ(splitter.GetCurrentView(0, 1), 2);

    EXPECT_TRUE(splitter.ShowSwitchView(1));
    EXPECT_TRUE(splitter.GetView(1)->isVisible());
    EXPECT_FALSE(splitter.GetView(2)->isVisible());
    EXPECT_EQ(resets, 0);

    splitter.SetShowMode(CSwitchSplitter::kShowResetBrowser);
    EXPECT_TRUE(splitter.ShowSwitchView(1));
    EXPECT_TRUE(splitter.ShowSwitchView(1));
    EXPECT_EQ(resets, 2);
    splitter.SetShowMode(CSwitchSplitter::kShowNormal);
    EXPECT_TRUE(splitter.ShowSwitchView(0));
    EXPECT_EQ(resets, 2);
    EXPECT_TRUE(splitter.GetView(0)->isVisible());
    EXPECT_FALSE(splitter.GetView(1)->isVisible());
    // The pane starts below the etched strip.
    EXPECT_GE(splitter.GetView(0)->mapTo(&splitter, QPoint(0, 0)).y(),
              CSwitchSplitter::kStripHeight);
}

TEST(SwitchSplitterTest, PanesArePackedColumnHighRowLow)
{
    EXPECT_EQ(CSwitchSplitter::PackPane(0, 1), 0x10000);
    EXPECT_EQ(CSwitchSplitter::PackPane(2, 3), 0x30002);
}

}  // namespace
