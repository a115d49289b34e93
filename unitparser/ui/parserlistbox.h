#pragma once
// A list box of the parser dialog: shows entry strings and lets the person
// drag an entry to another place, in its own list or (where the dialog
// allows it) into another one. The dialog decides what a drop may do and
// carries it out; the list box only reports where the entry came from and
// where it was dropped.
#include <QListWidget>
#include <functional>
#include <string>
#include <vector>

class QMimeData;

namespace unitparser::ui {

class TParserListBox : public QListWidget {
    Q_OBJECT
public:
    // What a dragged entry carries: "list:row".
    static constexpr const char* kMimeType = "application/x-brindlewoven-parser-entry";

    TParserListBox(int listId, QWidget* parent = nullptr);

    int ListId() const { return listId_; }
    // Whether an entry of the list `sourceId` may be dropped here.
    std::function<bool(int sourceId)> AcceptsFrom;

    // Shows the entries with `currentRow` (-1: none) as the current one,
    // without reporting it as a click.
    void SetItems(const std::vector<std::string>& items, int currentRow);
    // Replaces the text of one entry.
    void SetItem(int row, const std::string& item);

    // The data of a drag of `row` out of list `listId`.
    static QMimeData* EntryMimeData(int listId, int row);

signals:
    // An entry of list `sourceId`, row `row`, was dropped here at `at` (-1:
    // below the last item).
    void EntryDropped(int sourceId, int row, int targetId, int at);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The list and row a drag carries; false when it is none of ours.
    static bool DraggedEntry(const QMimeData* data, int& listId, int& row);
    bool Accepts(const QMimeData* data) const;

    int listId_;
};

} // namespace unitparser::ui
