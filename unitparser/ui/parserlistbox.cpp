#include "unitparser/ui/parserlistbox.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalBlocker>

#include "components/ui/ansiqt.h"

namespace unitparser::ui {

using components::ui::ToQString;

TParserListBox::TParserListBox(int listId, QWidget* parent) : QListWidget(parent), listId_(listId) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setUniformItemSizes(true);
}

void TParserListBox::SetItems(const std::vector<std::string>& items, int currentRow) {
    const QSignalBlocker blocker(this);
    clear();
    for (const std::string& item : items)
        addItem(ToQString(item));
    setCurrentRow(currentRow);
    if (currentRow < 0)
        clearSelection();
}

void TParserListBox::SetItem(int row, const std::string& text) {
    if (QListWidgetItem* entry = item(row))
        entry->setText(ToQString(text));
}

QMimeData* TParserListBox::EntryMimeData(int listId, int row) {
    auto* data = new QMimeData;
    data->setData(kMimeType, QByteArray::number(listId) + ':' + QByteArray::number(row));
    return data;
}

bool TParserListBox::DraggedEntry(const QMimeData* data, int& listId, int& row) {
    if (!data || !data->hasFormat(kMimeType))
        return false;
    const QList<QByteArray> parts = data->data(kMimeType).split(':');
    if (parts.size() != 2)
        return false;
    bool listOk = false;
    bool rowOk = false;
    listId = parts[0].toInt(&listOk);
    row = parts[1].toInt(&rowOk);
    return listOk && rowOk;
}

bool TParserListBox::Accepts(const QMimeData* data) const {
    int sourceId = 0;
    int row = 0;
    if (!isEnabled() || !DraggedEntry(data, sourceId, row))
        return false;
    return AcceptsFrom ? AcceptsFrom(sourceId) : sourceId == listId_;
}

void TParserListBox::startDrag(Qt::DropActions) {
    const int row = currentRow();
    if (row < 0)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(EntryMimeData(listId_, row));
    // The drop carries out the move; the list box never removes the entry
    // itself.
    drag->exec(Qt::MoveAction);
}

void TParserListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (Accepts(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TParserListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (Accepts(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TParserListBox::dropEvent(QDropEvent* event) {
    int sourceId = 0;
    int row = 0;
    if (!Accepts(event->mimeData()) || !DraggedEntry(event->mimeData(), sourceId, row)) {
        event->ignore();
        return;
    }
    const int at = indexAt(event->position().toPoint()).row();
    // Reported as a copy, so that nothing on the dragging side removes
    // the entry a second time.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit EntryDropped(sourceId, row, listId_, at);
}

} // namespace unitparser::ui
