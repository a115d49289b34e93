#pragma once
// The colour combo box: a drop-down list of colours, each drawn as a colour
// square and a name, with an optional first item "Custom..." that opens the
// colour dialog, and optional "None" and "Default" entries. Which colours are
// listed and how they are named is components::BuildColorList; colours are
// TColor values (components/colorlist.h).
#include <QComboBox>
#include <cstdint>

#include "components/colorlist.h"

namespace components::ui {

class TVXColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit TVXColorBox(QWidget* parent = nullptr);

    components::TColorBoxStyle Style() const { return style_; }
    // A changed style rebuilds the list; the box is enabled exactly when the
    // style lists a group of colours.
    void SetStyle(components::TColorBoxStyle style);

    // The colour of the chosen item; components::kNoColorChosen when none is.
    std::uint32_t Selected() const;
    // Chooses the item holding the colour. A colour the list lacks goes into
    // the custom item when the style has one; otherwise no item is chosen.
    void SetSelected(std::uint32_t color);

    // The colours painted for the "Default" and "None" entries.
    std::uint32_t DefaultColorColor() const { return defaultColorColor_; }
    void SetDefaultColorColor(std::uint32_t color);
    std::uint32_t NoneColorColor() const { return noneColorColor_; }
    void SetNoneColorColor(std::uint32_t color);

    std::uint32_t ItemColor(int index) const;
    // The colour an item's square is filled with.
    QColor ItemPaintColor(int index) const;
    int ItemHeight() const;

    // Shows the colour dialog for the custom item with the custom colours
    // every box shares; true when the person chose a colour.
    virtual bool PickCustomColor();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Draws one item: the colour square framed by ColorSquareFrame's rule,
    // and the name five pixels to its right.
    void PaintItem(QPainter& painter, const QRect& rect, int index, bool selected) const;

signals:
    // The person chose a colour (a custom pick cancelled chooses nothing).
    void ColorSelected(std::uint32_t color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void PopulateList();
    void Activated(int index);
    bool CustomItemChosen() const;
    void SetCustomColor(std::uint32_t color);

    components::TColorBoxStyle style_ = components::kDefaultColorBoxStyle;
    std::uint32_t selected_ = 0;
    std::uint32_t customColor_ = components::kDefaultCustomColor;
    std::uint32_t defaultColorColor_ = 0;
    std::uint32_t noneColorColor_ = 0;
    // Set while a key or the wheel moves through the closed list: such a
    // move chooses the custom item without opening the colour dialog.
    bool navigating_ = false;
};

} // namespace components::ui
