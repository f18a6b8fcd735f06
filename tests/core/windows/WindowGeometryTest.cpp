// Window places: the stored place read back onto a screen, and a secondary
// window centred over its owner, both with the frame kept on the screen.
#include <gtest/gtest.h>

#include "core/windows/WindowGeometry.h"

namespace quellstone::windows {
namespace {

TEST(WindowGeometry, ReadsOnlyFourNumbersTheProgramCouldHaveWritten) {
    EXPECT_EQ(ParseWindowRect("10,20,800,600"), (WindowRect{10, 20, 800, 600}));
    EXPECT_EQ(ParseWindowRect(" -5 , 0 ,640, 480 "), (WindowRect{-5, 0, 640, 480}));
    EXPECT_EQ(ParseWindowRect(WindowRectText({3, -4, 5, 6})), (WindowRect{3, -4, 5, 6}));
    for (const char* hostile :
         {"", "10,20,800", "10,20,800,600,1", "10,20,800,600,", "a,b,c,d", "10;20;800;600", "10,20,0,600",
          "10,20,800,-600", "1e3,0,800,600", "0x10,0,800,600", "99999999999999999999,0,800,600", "2000000,0,800,600",
          "10,,800,600", "10,20,800,600\n"}) {
        EXPECT_EQ(ParseWindowRect(hostile), std::nullopt) << hostile;
    }
}

TEST(WindowGeometry, APlaceIsMovedAndShrunkOntoTheScreenAndKeptAboveTheMinimum) {
    const WindowRect screen{0, 0, 1920, 1080};
    EXPECT_EQ(PlaceOnScreen("100,50,900,600", screen, 700, 500), (WindowRect{100, 50, 900, 600}));
    // Off every edge: moved back so that all of it shows.
    EXPECT_EQ(PlaceOnScreen("5000,-300,900,600", screen, 700, 500), (WindowRect{1020, 0, 900, 600}));
    EXPECT_EQ(PlaceOnScreen("-2000,4000,900,600", screen, 700, 500), (WindowRect{0, 480, 900, 600}));
    // Larger than the screen: the screen's size; smaller than the window can be: its minimum.
    EXPECT_EQ(PlaceOnScreen("0,0,5000,5000", screen, 700, 500), (WindowRect{0, 0, 1920, 1080}));
    EXPECT_EQ(PlaceOnScreen("10,10,20,20", screen, 700, 500), (WindowRect{10, 10, 700, 500}));
    // A second screen's area that does not start at 0.
    EXPECT_EQ(PlaceOnScreen("0,0,800,600", {1920, 100, 1280, 1024}, 700, 500), (WindowRect{1920, 100, 800, 600}));
    EXPECT_EQ(PlaceOnScreen("garbage", screen, 700, 500), std::nullopt);
}

TEST(WindowGeometry, ASecondaryWindowIsCentredOverItsOwnerAndStaysOnTheScreen) {
    const WindowRect screen{0, 0, 960, 540};  // 1920 x 1080 at 200 %
    const WindowRect centred = PlaceOver({100, 50, 600, 400}, screen, 300, 200);
    EXPECT_EQ(centred.x + centred.width / 2, 400);
    EXPECT_EQ(centred.y + centred.height / 2, 250);

    // Larger than the screen: cut to it, and inside it.
    EXPECT_EQ(PlaceOver({100, 50, 600, 400}, screen, 1440, 1040), (WindowRect{0, 0, 960, 540}));

    // An owner near the edge: moved back in rather than hanging off.
    const WindowRect edge = PlaceOver({800, 480, 200, 100}, {0, 30, 960, 510}, 400, 300);
    EXPECT_EQ(edge.x, 560);
    EXPECT_EQ(edge.y, 240);
    EXPECT_GE(PlaceOver({-500, -500, 10, 10}, {0, 30, 960, 510}, 400, 300).y, 30);
}

TEST(WindowGeometry, TheFrameStaysOnTheScreenAt200Percent) {
    // A title bar of 30 and borders of 2: the inside may use what is left.
    const FrameMargins frame{2, 30, 2, 2};
    const WindowRect inside = InsideFrame({0, 0, 960, 540}, frame);
    EXPECT_EQ(inside, (WindowRect{2, 30, 956, 508}));
    // A window as tall as the screen is cut so that its title bar still shows.
    const WindowRect placed = PlaceOver({0, 0, 960, 540}, inside, 720, 600);
    EXPECT_EQ(placed.y - frame.top, 0);
    EXPECT_EQ(placed.y + placed.height + frame.bottom, 540);
    // A stored place at the top edge is moved down by the title bar.
    EXPECT_EQ(PlaceOnScreen("0,0,800,500", inside, 700, 400), (WindowRect{2, 30, 800, 500}));
    // Margins larger than the screen leave a window of one pixel, never less.
    EXPECT_EQ(InsideFrame({0, 0, 10, 10}, {20, 20, 20, 20}).width, 1);
}

}  // namespace
}  // namespace quellstone::windows
