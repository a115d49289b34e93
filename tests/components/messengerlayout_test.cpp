// The messenger dialog's layout rules over measured sizes: a fixed-pitch
// fake stands for the font (a message of N pixels wraps into lines of 16).
#include <gtest/gtest.h>

#include "components/messengerlayout.h"

namespace {

using components::TLayoutRect;
using components::TMessengerLayout;
using components::TMessengerMeasures;

// A message whose lines are `textWidth` pixels wide at most, one button
// (OK, the default), a screen of 1000 x 800.
TMessengerMeasures Message(int textWidth) {
    TMessengerMeasures m;
    m.ScreenWidth = 1000;
    m.ScreenHeight = 800;
    m.HasText = true;
    m.WidestLine = textWidth;
    m.TextHeight = [textWidth](int width) { return 16 * ((textWidth + width - 1) / width); };
    m.Buttons = {{true, true}};
    return m;
}

TEST(MessengerLayout, Table) {
    struct Case {
        const char* name;
        std::function<void(TMessengerMeasures&)> setup;
        std::function<void(const TMessengerLayout&)> check;
    } cases[] = {
        {"one line, one button", [](TMessengerMeasures&) {},
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.ClientWidth, 224);
             EXPECT_EQ(l.Text, (TLayoutRect{12, 12, 200, 16, true}));
             EXPECT_EQ(l.Buttons.at(0), (TLayoutRect{62, 40, 100, 28, true}));
             EXPECT_EQ(l.ClientHeight, 28 + 28 + 36); // button + y + 3S
             EXPECT_EQ(l.FocusButton, 0);
             EXPECT_FALSE(l.Icon.Visible);
         }},
        {"no buttons", [](TMessengerMeasures& m) { m.Buttons.clear(); },
         [](const TMessengerLayout& l) {
             EXPECT_TRUE(l.Buttons.empty());
             EXPECT_EQ(l.ClientHeight, 28 + 24); // y + 2S
             EXPECT_EQ(l.FocusButton, -1);
         }},
        {"wide line capped at 6/10 of the screen, text wraps",
         [](TMessengerMeasures& m) {
             m.WidestLine = 900;
             m.TextHeight = [](int width) { return 16 * ((900 + width - 1) / width); };
         },
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.ClientWidth, 600);
             EXPECT_EQ(l.Text.Width, 576);
             EXPECT_EQ(l.Text.Height, 32);
         }},
        {"icon and one line centred on each other",
         [](TMessengerMeasures& m) {
             m.HasIcon = true;
             m.IconWidth = m.IconHeight = 32;
         },
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.Icon, (TLayoutRect{12, 12, 32, 32, true}));
             EXPECT_EQ(l.Text.Left, 32 + 24);
             EXPECT_EQ(l.Text.Top, 12 + 8);
             EXPECT_EQ(l.ClientWidth, 200 + 56 + 12);
             EXPECT_EQ(l.Buttons.at(0).Top, 12 + 32 + 12);
         }},
        {"icon beside a taller text",
         [](TMessengerMeasures& m) {
             m.HasIcon = true;
             m.IconWidth = m.IconHeight = 32;
             m.TextHeight = [](int) { return 48; };
         },
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.Icon.Top, 12 + 8);
             EXPECT_EQ(l.Text.Top, 12);
         }},
        {"five buttons widen the dialog",
         [](TMessengerMeasures& m) {
             m.Buttons.assign(5, {false, true});
         },
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.ClientWidth, 5 * 100 + 4 * 12 + 24);
             ASSERT_EQ(l.Buttons.size(), 5u);
             EXPECT_EQ(l.Buttons[0].Left, 12);
             EXPECT_EQ(l.Buttons[4].Left, 12 + 4 * 112);
             EXPECT_EQ(l.FocusButton, -1); // none is the default
         }},
        {"disabled default passes focus to the next default",
         [](TMessengerMeasures& m) {
             m.Buttons = {{true, false}, {false, true}, {true, true}};
         },
         [](const TMessengerLayout& l) { EXPECT_EQ(l.FocusButton, 2); }},
        {"gauge widens to four times its height",
         [](TMessengerMeasures& m) {
             m.WidestLine = 50;
             m.TextHeight = [](int) { return 16; };
             m.Buttons.clear();
             m.HasGauge = true;
         },
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.Text.Width, 50); // laid out before the gauge widened the dialog
             EXPECT_EQ(l.ClientWidth, 4 * 25 + 24);
             EXPECT_EQ(l.Gauge, (TLayoutRect{12, 28 + 12, 100, 25, true}));
             EXPECT_EQ(l.ClientHeight, 65 + 24);
         }},
        {"input line below the text takes the focus",
         [](TMessengerMeasures& m) {
             m.HasEdit = true;
             m.EditHeight = 24;
         },
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.Edit, (TLayoutRect{12, 40, 200, 24, true}));
             EXPECT_TRUE(l.FocusEdit);
             EXPECT_EQ(l.FocusButton, -1);
             EXPECT_EQ(l.Buttons.at(0).Top, 64 + 12);
         }},
        {"choices follow each other without gaps",
         [](TMessengerMeasures& m) {
             m.ChoiceCount = 3;
             m.WidestChoice = 250;
             m.ChoiceHeight = 20;
             m.ChoiceIndex = 1;
         },
         [](const TMessengerLayout& l) {
             EXPECT_EQ(l.ClientWidth, 250 + 48);
             ASSERT_EQ(l.Choices.size(), 3u);
             EXPECT_EQ(l.Choices[0], (TLayoutRect{12, 40, 274, 20, true}));
             EXPECT_EQ(l.Choices[2].Top, 80);
             EXPECT_EQ(l.CheckedChoice, 1);
             EXPECT_EQ(l.Buttons.at(0).Top, 100 + 12);
         }},
        {"choice index -1 checks none",
         [](TMessengerMeasures& m) {
             m.ChoiceCount = 2;
             m.ChoiceHeight = 20;
             m.ChoiceIndex = -1;
         },
         [](const TMessengerLayout& l) { EXPECT_EQ(l.CheckedChoice, -1); }},
        {"no text, no icon",
         [](TMessengerMeasures& m) {
             m.HasText = false;
             m.WidestLine = 0;
         },
         [](const TMessengerLayout& l) {
             EXPECT_FALSE(l.Text.Visible);
             EXPECT_EQ(l.ClientWidth, 124);
             EXPECT_EQ(l.Buttons.at(0).Top, 24);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMessengerMeasures m = Message(200);
        c.setup(m);
        c.check(components::LayoutMessenger(m));
    }
}

TEST(MessengerLayout, ChoiceIndexOutsideTheChoicesIsAnError) {
    TMessengerMeasures m = Message(100);
    m.ChoiceCount = 3;
    for (int bad : {3, -2, 100}) {
        m.ChoiceIndex = bad;
        try {
            components::LayoutMessenger(m);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const components::EMessenger& e) {
            EXPECT_STREQ(e.what(), "TMessengerForm.ChoiceIndex out of bounds");
        }
    }
    m.ChoiceCount = 0; // without choices the index is not used
    m.ChoiceIndex = 5;
    EXPECT_NO_THROW(components::LayoutMessenger(m));
}

TEST(MessengerLayout, StoredPositionOrCentred) {
    EXPECT_EQ(components::MessengerPosition(-1, -1, 1000, 800, 300, 101),
              (components::TLayoutPoint{350, 349}));
    EXPECT_EQ(components::MessengerPosition(20, 30, 1000, 800, 300, 100),
              (components::TLayoutPoint{20, 30}));
}

} // namespace
