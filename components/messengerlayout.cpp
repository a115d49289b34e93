#include "components/messengerlayout.h"

#include <algorithm>

namespace components {

namespace {

// The running state of the layout: the width of the window and the bottom
// of what is placed so far.
struct TColumn {
    int Width = 0;
    int Bottom = 0;
};

int InitialWidth(const TMessengerMeasures& m, int textLeft) {
    int width = m.WidestLine + textLeft + m.Spacing;
    return std::min(width, m.ScreenWidth * 6 / 10);
}

int ButtonRowWidth(const TMessengerMeasures& m) {
    int n = static_cast<int>(m.Buttons.size());
    return n == 0 ? 0 : n * m.ButtonWidth + (n - 1) * m.Spacing;
}

// The message and the icon are centred on each other vertically.
void PlaceTextAndIcon(const TMessengerMeasures& m, int textLeft, TColumn& column,
                      TMessengerLayout& layout) {
    const int s = m.Spacing;
    int textHeight = 0;
    if (m.HasText) {
        int width = column.Width - textLeft - s;
        textHeight = m.TextHeight ? m.TextHeight(width) : 0;
        layout.Text = {textLeft, 0, width, textHeight, true};
    }
    int iconHeight = m.HasIcon ? m.IconHeight : 0;
    int h = std::max(textHeight, iconHeight);
    layout.Text.Top = s + (h - textHeight) / 2;
    if (m.HasIcon)
        layout.Icon = {s, s + (h - iconHeight) / 2, m.IconWidth, m.IconHeight, true};
    column.Bottom = s + h;
}

TLayoutRect PlaceBelow(const TMessengerMeasures& m, TColumn& column, int height) {
    TLayoutRect rect{m.Spacing, column.Bottom + m.Spacing, column.Width - 2 * m.Spacing, height,
                     true};
    column.Bottom = rect.Bottom();
    return rect;
}

void PlaceChoices(const TMessengerMeasures& m, TColumn& column, TMessengerLayout& layout) {
    int top = column.Bottom + m.Spacing;
    for (int i = 0; i < m.ChoiceCount; ++i) {
        layout.Choices.push_back(
            {m.Spacing, top, column.Width - 2 * m.Spacing, m.ChoiceHeight, true});
        top += m.ChoiceHeight;
        column.Bottom = top;
    }
    layout.CheckedChoice = m.ChoiceCount > 0 ? m.ChoiceIndex : -1;
}

void PlaceButtons(const TMessengerMeasures& m, const TColumn& column, TMessengerLayout& layout) {
    int rowLeft = (column.Width - ButtonRowWidth(m)) / 2;
    for (std::size_t k = 0; k < m.Buttons.size(); ++k)
        layout.Buttons.push_back({rowLeft + int(k) * (m.ButtonWidth + m.Spacing),
                                  column.Bottom + m.Spacing, m.ButtonWidth, m.ButtonHeight, true});
}

void ChooseFocus(const TMessengerMeasures& m, TMessengerLayout& layout) {
    if (m.HasEdit) {
        layout.FocusEdit = true;
        return;
    }
    for (std::size_t k = 0; k < m.Buttons.size(); ++k)
        if (m.Buttons[k].Default && m.Buttons[k].Enabled) {
            layout.FocusButton = static_cast<int>(k);
            return;
        }
}

} // namespace

void CheckChoiceIndex(int choiceIndex, int choiceCount) {
    if (choiceCount > 0 && (choiceIndex < -1 || choiceIndex >= choiceCount))
        throw EMessenger("TMessengerForm.ChoiceIndex out of bounds");
}

TMessengerLayout LayoutMessenger(const TMessengerMeasures& m) {
    CheckChoiceIndex(m.ChoiceIndex, m.ChoiceCount);
    const int s = m.Spacing;
    TMessengerLayout layout;
    int textLeft = m.HasIcon ? m.IconWidth + 2 * s : s;

    TColumn column;
    column.Width = InitialWidth(m, textLeft);
    if (!m.Buttons.empty())
        column.Width = std::max(column.Width, ButtonRowWidth(m) + 2 * s);
    if (m.ChoiceCount > 0)
        column.Width = std::max(column.Width, m.WidestChoice + 4 * s);

    PlaceTextAndIcon(m, textLeft, column, layout);
    if (m.HasGauge) {
        column.Width = std::max(column.Width, 4 * m.GaugeHeight + 2 * s);
        layout.Gauge = PlaceBelow(m, column, m.GaugeHeight);
    }
    if (m.HasEdit)
        layout.Edit = PlaceBelow(m, column, m.EditHeight);
    PlaceChoices(m, column, layout);
    PlaceButtons(m, column, layout);
    ChooseFocus(m, layout);

    layout.ClientWidth = column.Width;
    layout.ClientHeight =
        m.Buttons.empty() ? column.Bottom + 2 * s : m.ButtonHeight + column.Bottom + 3 * s;
    return layout;
}

TLayoutPoint MessengerPosition(int storedLeft, int storedTop, int screenWidth, int screenHeight,
                               int windowWidth, int windowHeight) {
    return {storedLeft >= 0 ? storedLeft : (screenWidth - windowWidth) / 2,
            storedTop >= 0 ? storedTop : (screenHeight - windowHeight) / 2};
}

} // namespace components
