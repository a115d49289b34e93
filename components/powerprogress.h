#pragma once
// The model of the speed-aware progress bar: the clamped values, the estimate
// of the time left, and the decision when the picture on screen is out of
// date. Callers may set values as often as they like (a million times in a
// long operation); the model asks for a repaint only when something visible
// changed enough. The widget (components/ui/powerprogressbar.h) draws what
// the paint helpers below describe.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace components {

struct TRgbColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    bool operator==(const TRgbColor&) const = default;
};

class TPowerProgress {
public:
    // Milliseconds of a steady clock; injected so that tests need no sleeping.
    using TClock = std::function<std::int64_t()>;

    TPowerProgress();
    explicit TPowerProgress(TClock clock);

    // Called whenever the display must be repainted.
    std::function<void()> OnRepaint;

    const std::string& Caption() const { return caption_; }
    std::optional<TRgbColor> ColorFront() const { return colorFront_; }
    std::optional<TRgbColor> ColorBack() const { return colorBack_; }
    int MinSpeed() const { return minSpeed_; }
    int MaxSpeed() const { return maxSpeed_; }
    int Speed() const { return speed_; }
    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Progress() const { return progress_; }
    int SecondsDone() const { return secondsDone_; }
    int SecondsLeft() const { return secondsLeft_; }

    void SetCaption(std::string caption);
    // nullopt: the speed colour (front) or the speed colour at half brightness (back).
    void SetColorFront(std::optional<TRgbColor> color);
    void SetColorBack(std::optional<TRgbColor> color);
    void SetMinSpeed(int value);
    void SetMaxSpeed(int value);
    void SetSpeed(int value);
    void SetMinValue(int value);
    void SetMaxValue(int value);
    void SetProgress(int value);
    // Seconds spent so far; -1 when not known. The estimate of the seconds
    // left follows from it and the progress.
    void SetSecondsDone(int value);
    // An estimate made by the caller; the seconds done become unknown.
    void SetSecondsLeft(int value);

    // What is on screen.
    int ShownPercent() const { return shownPercent_; }
    int ShownSecondsLeft() const { return shownSecondsLeft_; }

    // Paint helpers.
    TRgbColor SpeedColor() const;
    TRgbColor FrontColor() const;
    TRgbColor BackColor() const;
    // The width of the filled part of a bar `width` pixels wide.
    int BarWidth(int width) const;
    std::string PercentText() const;
    // Empty when the seconds left are not known.
    std::string TimeLeftText() const;

private:
    void UpdateDisplay();
    void EstimateSecondsLeft();
    bool PercentChanged();
    bool EstimateAccepted();
    bool SpeedChanged();
    bool CaptionDue();

    TClock clock_;
    std::string caption_;
    std::optional<TRgbColor> colorFront_;
    std::optional<TRgbColor> colorBack_;
    int minSpeed_ = 0;
    int maxSpeed_ = 100;
    int speed_ = 50;
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    int secondsDone_ = -1;
    int secondsLeft_ = -1;

    int shownPercent_ = 0;
    int shownSecondsLeft_ = -1;
    int acceptedSecondsDone_ = -1;
    int shownSpeed_ = 50;
    bool captionChanged_ = false;
    std::int64_t lastCaptionPaint_ = 0;
    bool captionEverPainted_ = false;
};

// The speed colour: orange when slow, pale yellow in the middle, pale green
// when fast; blue is always 0x80. `speed` lies within [minSpeed, maxSpeed].
TRgbColor SpeedColor(std::int64_t minSpeed, std::int64_t maxSpeed, std::int64_t speed);

// 59 -> 59", 61 -> 1'01", 3725 -> 1h02'05"; empty for negative values.
std::string FormatSecondsLeft(int seconds);

// Shortens a caption that is wider than `available` pixels: cut before its
// last ; , \ / space " or ' and append "...", again while it is too wide;
// dropped (empty) when no such character is left at the second position or
// later.
std::string FitProgressCaption(std::string caption, int available,
                               const std::function<int(std::string_view)>& textWidth);

} // namespace components
