#pragma once
// The logic of the contents editor over a project: what it reads when it is
// shown (the contents title, the flag of the hidden "Don't display Find tab"
// box, the index and link file lists, the contents lines), what OK writes
// back, the General page's two lists, and the property panel of the
// Contents page: the parts of the current item as the panel shows them and
// the line rebuilt from them. The lines themselves and their undo store are
// the TContentsDocument it holds.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "editor/contentsdocument.h"
#include "helpproject/brindlewovenproject.h"

namespace editor {

// One of the General page's lists: the index files ("title=file") or the
// link files ("file"), with the selected row.
class TContentsFileList {
public:
    TContentsFileList(std::string defaultItem, bool titled)
        : defaultItem_(std::move(defaultItem)), titled_(titled) {}

    void Load(std::vector<std::string> items);
    const std::vector<std::string>& Items() const { return items_; }
    int Selected() const { return selected_; }
    void Select(int row);
    // The selected item's parts: the title (text before "=") and the file
    // (after it); a list without titles has only the file.
    std::string SelectedTitle() const;
    std::string SelectedFile() const;
    // An edit of the fields rewrites the selected item.
    void EditSelected(std::string_view title, std::string_view file);
    // Appends the fields' item (the default one when the file field is
    // empty) and selects it.
    void Add(std::string_view title, std::string_view file);
    // Removes the selected item; the one now at its place (or the new last)
    // is selected.
    void DeleteSelected();

private:
    std::string Compose(std::string_view title, std::string_view file) const;

    std::vector<std::string> items_;
    int selected_ = -1;
    std::string defaultItem_;
    bool titled_;
};

// What the property panel shows of an item: its parts, with the topic of a
// link to this help file in the topic box's style.
struct TContentsPanel {
    TContentsItem Item;
    std::string TopicText; // the topic box (Link)
    bool operator==(const TContentsPanel&) const = default;
};

class TContentsEditorModel {
public:
    TContentsEditorModel();

    // ---- the project ---------------------------------------------------------
    // Reads the contents from the project and forgets the undo store.
    void Load(const helpproject::TBrindlewovenProject& project);
    // OK: the title, the flag, both file lists and the lines into the project.
    void Write(helpproject::TBrindlewovenProject& project) const;
    // The window names of the project (the text before "=" of each window
    // definition), for the window box.
    static std::vector<std::string> WindowNames(const helpproject::TBrindlewovenProject& project);
    // A chosen file as the fields take it: without its folder.
    static std::string FileNameOnly(std::string_view path);

    // ---- the General page ----------------------------------------------------
    std::string Title;
    // The hidden "Don't display Find tab" box; the project keeps no value
    // for it, so it starts unticked at each load.
    bool DontShowFindTab = false;
    TContentsFileList& IndexFiles() { return indexFiles_; }
    const TContentsFileList& IndexFiles() const { return indexFiles_; }
    TContentsFileList& LinkFiles() { return linkFiles_; }
    const TContentsFileList& LinkFiles() const { return linkFiles_; }

    // ---- the Contents page ---------------------------------------------------
    TContentsDocument& Document() { return document_; }
    const TContentsDocument& Document() const { return document_; }

    // The topic box lists "%d: %s" (true) or "%s (%d)" items.
    bool NumberStyle() const { return numberStyle_; }
    void SetNumberStyle(bool numberStyle) { numberStyle_ = numberStyle; }

    // The current item's parts for the panel (nothing changes).
    TContentsPanel ShowCurrent(const helpproject::TBrindlewovenProject& project);
    // A change in the panel: the current item's line rebuilt from the
    // panel's parts at its present level. Parts back as ShowCurrent gave them
    // give the line as it was; a link's topic box still showing what
    // ShowCurrent put there keeps the line's own topic ID.
    bool PanelChanged(const helpproject::TBrindlewovenProject& project,
                      const TContentsPanel& panel);
    // The topic ID a topic-box text names: the ID of the topic whose number
    // it holds, else the text itself.
    std::string TopicIDFromText(const helpproject::TBrindlewovenProject& project,
                                const std::string& text) const;
    // The topic a topic-box text names by number, nullptr for none.
    helpproject::TBrindlewovenTopic* TopicFromText(const helpproject::TBrindlewovenProject& project,
                                                   const std::string& text) const;

    // Add: after the current item, for `topic` (nullptr: "New Item").
    int AddItem(const helpproject::TBrindlewovenTopic* topic, std::string_view window);

    // Whether some contents line links to the topic (its ID compared as
    // topic IDs are, ignoring case): the topic grid greys its title.
    bool TopicInContents(const helpproject::TBrindlewovenTopic& topic) const;

private:
    TContentsDocument document_;
    TContentsFileList indexFiles_;
    TContentsFileList linkFiles_;
    bool numberStyle_ = false;
    // What ShowCurrent showed, and the line and topic ID behind it.
    int shownItem_ = -1;
    TContentsPanel shownPanel_;
    std::string shownLine_;
    mutable std::unordered_set<std::string> usedIDs_;
    mutable std::uint64_t usedIDsGeneration_ = ~std::uint64_t{0};
};

} // namespace editor
