#pragma once
// The topic box of the dialogs that pick a topic, and the link list of the
// main window: it lists the project's topics either as "%s (%d)" sorted by
// title or as "%d: %s" in number order (the sort button down), and keeps
// the picked topic when the order is switched.
#include <cstdint>
#include <string>

#include "helpproject/brindlewovenproject.h"

namespace editor {

class TTopicPicker {
public:
    explicit TTopicPicker(const helpproject::TBrindlewovenProject& project) : project_(&project) {}

    // The sort button is down: the "%d: %s" list.
    bool NumberStyle() const { return numberStyle_; }
    // The items shown: the project's picker list of the present style.
    const helpproject::TTopicList& Items() const;

    // The box's text: an item's text, or what was typed.
    const std::string& Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    // The item whose text the box shows, -1 for none.
    int SelectedIndex() const;
    // Shows the item's text (-1: nothing).
    void Select(int index);

    // The topic number the text names (a whole number, or the number inside
    // the item text), -1 when it names none.
    std::int32_t Number() const;
    // The topic ID the text names: the ID of the numbered topic, else the
    // typed text itself (a context string, or a number no topic has).
    std::string TopicID() const;

    // Switches the style and shows what the text named before in the new
    // style: a topic's item for a topic, typed text unchanged (the link
    // dialog).
    void SetNumberStyleKeepingID(bool numberStyle);
    // Switches the style and selects the item of the topic that was
    // selected; with `selectFirst`, the first item when none is (the button
    // dialog and the link list).
    void SetNumberStyleKeepingNumber(bool numberStyle, bool selectFirst);

private:
    const helpproject::TBrindlewovenProject* project_;
    bool numberStyle_ = false;
    std::string text_;
};

} // namespace editor
