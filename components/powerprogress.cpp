#include "components/powerprogress.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>

namespace components {

namespace {

std::int64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// x / y rounded to the nearest integer, ties to even; x >= 0, y > 0. Exact,
// so that a tie is a tie and not whatever a floating-point product gives.
std::int64_t DivideRoundHalfEven(__int128 x, __int128 y) {
    __int128 quotient = x / y;
    __int128 twiceRemainder = 2 * (x % y);
    if (twiceRemainder > y || (twiceRemainder == y && quotient % 2 != 0))
        ++quotient;
    return static_cast<std::int64_t>(quotient);
}

// A new upper bound lowers the value to it and pushes the lower bound below
// it; it may not be the smallest int, for there would be no room below.
void SetUpperBound(int bound, int& upper, int& lower, int& value) {
    upper = std::max(bound, INT_MIN + 1);
    value = std::min(value, upper);
    if (upper <= lower)
        lower = upper - 1;
}

// The mirror image: raises the value, pushes the upper bound above.
void SetLowerBound(int bound, int& lower, int& upper, int& value) {
    lower = std::min(bound, INT_MAX - 1);
    value = std::max(value, lower);
    if (lower >= upper)
        upper = lower + 1;
}

} // namespace

TPowerProgress::TPowerProgress() : TPowerProgress(SteadyMilliseconds) {}

TPowerProgress::TPowerProgress(TClock clock) : clock_(std::move(clock)) {}

void TPowerProgress::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    captionChanged_ = true;
    UpdateDisplay();
}

void TPowerProgress::SetColorFront(std::optional<TRgbColor> color) {
    colorFront_ = color;
    if (OnRepaint)
        OnRepaint();
}

void TPowerProgress::SetColorBack(std::optional<TRgbColor> color) {
    colorBack_ = color;
    if (OnRepaint)
        OnRepaint();
}

void TPowerProgress::SetMaxSpeed(int value) {
    SetUpperBound(value, maxSpeed_, minSpeed_, speed_);
    UpdateDisplay();
}

void TPowerProgress::SetMinSpeed(int value) {
    SetLowerBound(value, minSpeed_, maxSpeed_, speed_);
    UpdateDisplay();
}

void TPowerProgress::SetSpeed(int value) {
    speed_ = std::clamp(value, minSpeed_, maxSpeed_);
    UpdateDisplay();
}

void TPowerProgress::SetMaxValue(int value) {
    SetUpperBound(value, maxValue_, minValue_, progress_);
    UpdateDisplay();
}

void TPowerProgress::SetMinValue(int value) {
    SetLowerBound(value, minValue_, maxValue_, progress_);
    UpdateDisplay();
}

void TPowerProgress::SetProgress(int value) {
    progress_ = std::clamp(value, minValue_, maxValue_);
    if (secondsDone_ >= 0)
        EstimateSecondsLeft();
    UpdateDisplay();
}

void TPowerProgress::SetSecondsDone(int value) {
    secondsDone_ = value;
    if (value < 0)
        return;
    EstimateSecondsLeft();
    UpdateDisplay();
}

// An estimate from the caller has no seconds done to tell it from the last
// one; forgetting the mark lets the acceptance rule weigh each new estimate
// instead of showing only the first.
void TPowerProgress::SetSecondsLeft(int value) {
    secondsLeft_ = value;
    secondsDone_ = -1;
    acceptedSecondsDone_ = INT_MIN;
    UpdateDisplay();
}

void TPowerProgress::EstimateSecondsLeft() {
    std::int64_t done = std::int64_t(progress_) - minValue_;
    if (secondsDone_ <= 0 || done <= 0) {
        secondsLeft_ = -1;
        return;
    }
    std::int64_t remaining = std::int64_t(maxValue_) - progress_;
    std::int64_t estimate = DivideRoundHalfEven(__int128(secondsDone_) * remaining, done);
    secondsLeft_ = static_cast<int>(std::min<std::int64_t>(estimate, INT_MAX));
}

// Every rule runs, so that each keeps what is on screen up to date.
void TPowerProgress::UpdateDisplay() {
    bool repaint = PercentChanged();
    repaint = EstimateAccepted() || repaint;
    repaint = SpeedChanged() || repaint;
    repaint = CaptionDue() || repaint;
    if (repaint && OnRepaint)
        OnRepaint();
}

bool TPowerProgress::PercentChanged() {
    std::int64_t range = std::int64_t(maxValue_) - minValue_;
    int percent = static_cast<int>((std::int64_t(progress_) - minValue_) * 100 / range);
    if (percent == shownPercent_)
        return false;
    shownPercent_ = percent;
    return true;
}

// A new estimate replaces the one on screen only when it moved clearly, so
// that the time left does not flicker by a second or two on every update.
bool TPowerProgress::EstimateAccepted() {
    if (secondsDone_ == acceptedSecondsDone_)
        return false;
    double fresh = secondsLeft_;
    double shown = shownSecondsLeft_;
    bool clearlyLower = fresh < shown - 5 || fresh < 0.95 * shown;
    bool clearlyHigher = fresh > shown + 2 && fresh > 1.1 * shown;
    if (!clearlyLower && !clearlyHigher)
        return false;
    shownSecondsLeft_ = secondsLeft_;
    acceptedSecondsDone_ = secondsDone_;
    shownSpeed_ = speed_;
    return true;
}

bool TPowerProgress::SpeedChanged() {
    double low = 0.9 * speed_;
    double high = 1.1 * speed_;
    if (low > high)
        std::swap(low, high);
    if (shownSpeed_ >= low && shownSpeed_ <= high)
        return false;
    shownSpeed_ = speed_;
    return true;
}

bool TPowerProgress::CaptionDue() {
    if (!captionChanged_)
        return false;
    std::int64_t now = clock_();
    if (captionEverPainted_ && now - lastCaptionPaint_ <= 100)
        return false;
    captionChanged_ = false;
    captionEverPainted_ = true;
    lastCaptionPaint_ = now;
    return true;
}

TRgbColor TPowerProgress::SpeedColor() const {
    return components::SpeedColor(minSpeed_, maxSpeed_, speed_);
}

TRgbColor TPowerProgress::FrontColor() const {
    return colorFront_ ? *colorFront_ : SpeedColor();
}

TRgbColor TPowerProgress::BackColor() const {
    if (colorBack_)
        return *colorBack_;
    TRgbColor c = SpeedColor();
    return {std::uint8_t(c.Red >> 1), std::uint8_t(c.Green >> 1), std::uint8_t(c.Blue >> 1)};
}

int TPowerProgress::BarWidth(int width) const {
    std::int64_t range = std::int64_t(maxValue_) - minValue_;
    return static_cast<int>(std::int64_t(width) * (std::int64_t(progress_) - minValue_) / range);
}

std::string TPowerProgress::PercentText() const {
    return std::to_string(shownPercent_) + "%";
}

std::string TPowerProgress::TimeLeftText() const {
    return FormatSecondsLeft(shownSecondsLeft_);
}

TRgbColor SpeedColor(std::int64_t minSpeed, std::int64_t maxSpeed, std::int64_t speed) {
    const std::uint8_t blue = 0x80;
    std::int64_t r = maxSpeed - minSpeed;
    if (r <= 0)
        return {0x80, 0xFF, blue};
    std::int64_t s = std::clamp<std::int64_t>(speed - minSpeed, 0, r);
    std::int64_t half = (r + 1) / 2;
    if (half > s) {
        // With a range of one step, r div 2 is 0: the slow end stays orange.
        std::int64_t green = r / 2 > 0 ? 128 + 127 * s / (r / 2) : 128;
        return {0xFF, std::uint8_t(green), blue};
    }
    std::int64_t red = 0x80 + 127 * (r - s) / half;
    return {std::uint8_t(red), 0xFF, blue};
}

std::string FormatSecondsLeft(int seconds) {
    if (seconds < 0)
        return std::string();
    char text[40];
    if (seconds < 60)
        std::snprintf(text, sizeof text, "%d\"", seconds);
    else if (seconds < 3600)
        std::snprintf(text, sizeof text, "%d'%.2d\"", seconds / 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%dh%.2d'%.2d\"", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    return text;
}

std::string FitProgressCaption(std::string caption, int available,
                               const std::function<int(std::string_view)>& textWidth) {
    while (!caption.empty() && textWidth(caption) > available) {
        std::size_t cut = caption.find_last_of(";,\\/ \"'");
        if (cut == std::string::npos || cut < 1)
            return std::string();
        caption.erase(cut);
        caption += "...";
    }
    return caption;
}

} // namespace components
