#pragma once
// The layout of the messenger dialog as a pure function: the widget measures
// its texts and controls in its own font and hands the sizes in; the rules
// here place the icon, message, gauge, input line, choices and buttons and
// size the window. No widget is needed to test them.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace components {

// Errors of the messenger dialog.
class EMessenger : public std::runtime_error {
public:
    explicit EMessenger(const std::string& message) : std::runtime_error(message) {}
};

struct TLayoutRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Visible = false;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const TLayoutRect&) const = default;
};

// A visible button of the dialog, as far as focus is concerned.
struct TMessengerLayoutButton {
    bool Default = false;
    bool Enabled = true;
};

// What the dialog shows, measured in its fonts (pixels).
struct TMessengerMeasures {
    int Spacing = 12;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    bool HasIcon = false;
    int IconWidth = 0;
    int IconHeight = 0;
    bool HasText = false; // the message has lines
    int WidestLine = 0;   // of the message's lines, unwrapped
    // The height of the word-wrapped message at a width.
    std::function<int(int width)> TextHeight;
    std::vector<TMessengerLayoutButton> Buttons; // the visible ones, in order
    int ButtonWidth = 100;
    int ButtonHeight = 28;
    bool HasGauge = false;
    int GaugeHeight = 25;
    bool HasEdit = false;
    int EditHeight = 0;
    int ChoiceCount = 0;
    int WidestChoice = 0; // the widest choice text
    int ChoiceHeight = 0; // of one radio button
    // The checked choice; -1 checks none. Anything else outside the choices
    // is an error.
    int ChoiceIndex = -1;
};

struct TMessengerLayout {
    TLayoutRect Icon;
    TLayoutRect Text;
    TLayoutRect Gauge;
    TLayoutRect Edit;
    std::vector<TLayoutRect> Choices;
    std::vector<TLayoutRect> Buttons;
    int CheckedChoice = -1;
    bool FocusEdit = false;
    int FocusButton = -1; // index into the visible buttons; -1 none
    int ClientWidth = 0;
    int ClientHeight = 0;
};

// Throws EMessenger "TMessengerForm.ChoiceIndex out of bounds" for a choice
// index that is neither -1 nor one of the choices.
TMessengerLayout LayoutMessenger(const TMessengerMeasures& measures);

// Throws the same error; -1 and, without choices, any index pass.
void CheckChoiceIndex(int choiceIndex, int choiceCount);

struct TLayoutPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TLayoutPoint&) const = default;
};

// A stored position (>= 0) is kept; -1 centres the window on the screen.
TLayoutPoint MessengerPosition(int storedLeft, int storedTop, int screenWidth, int screenHeight,
                               int windowWidth, int windowHeight);

} // namespace components
