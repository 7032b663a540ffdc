#include "capture/CaptureMenus.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptureMenus, ItemsFollowTheActiveTab) {
    const struct {
        int tab;
        bool graphItems;
        const char* captureVisible;
        const char* saveAs;
        const char* copy;
        bool pageItems;
    } cases[] = {
        {0, false, "Capture Visible Graph", "Save Visible Graph As...", "Copy to Clipboard", true},
        {1, true, "Capture Noise Margin Graph Image", "Save Noise Margin Graph Image As...",
         "Copy Noise Margin Graph Image", false},
        {2, true, "Capture Connection Speed Graph Image", "Save Connection Speed Graph Image As...",
         "Copy Connection Speed Graph Image", false},
        {3, true, "Capture Max Data Rate Graph Image", "Save Max Data Rate Graph Image As...",
         "Copy Max Data Rate Graph Image", false},
        {4, true, "Capture Line Attenuation Graph Image", "Save Line Attenuation Graph Image As...",
         "Copy Line Attenuation Graph Image", false},
        {5, false, "Capture Visible Graph", "Save Visible Graph As...", "Copy to Clipboard", false},
        {7, false, "Capture Visible Graph", "Save Visible Graph As...", "Copy to Clipboard", false},
    };
    for (const auto& c : cases) {
        const auto items = CaptureMenus::forTab(c.tab, "Max Data Rate", "Line Attenuation");
        EXPECT_EQ(items.graphItemsVisible, c.graphItems) << c.tab;
        EXPECT_EQ(items.captureVisible, c.captureVisible) << c.tab;
        EXPECT_EQ(items.saveAs, c.saveAs) << c.tab;
        EXPECT_EQ(items.copy, c.copy) << c.tab;
        EXPECT_EQ(items.pageItemsVisible, c.pageItems) << c.tab;
    }
}

} // namespace
