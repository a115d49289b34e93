#include "setup/ui/pagecomponents.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "components/ui/ansiqt.h"
#include "setup/setuppackage.h"
#include "setup/ui/wizardwidgets.h"

namespace setup::ui {

namespace {

using components::ui::ToQString;

constexpr int kComponentRole = Qt::UserRole + 1; // component index; -1 for detail nodes

} // namespace

TPageComponents::TPageComponents(TWizardFlow& flow, TSetupPackage& package, QWidget* parent)
    : QWidget(parent), flow_(flow), package_(package) {
    setObjectName("ComponentsPage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    // The tree and the description side by side, the detail switch and the
    // space line in one row under them.
    auto* lists = new QHBoxLayout;
    treeComponents_ = new QTreeWidget(this);
    treeComponents_->setObjectName("TreeComponents");
    treeComponents_->setHeaderHidden(true);
    treeComponents_->setRootIsDecorated(false);
    treeComponents_->installEventFilter(this);
    lists->addWidget(treeComponents_, 3);
    memoComponent_ = new QPlainTextEdit(this);
    memoComponent_->setObjectName("MemoComponent");
    memoComponent_->setReadOnly(true);
    memoComponent_->setFocusPolicy(Qt::NoFocus);
    lists->addWidget(memoComponent_, 2);
    box->addLayout(lists, 1);
    auto* row = new QHBoxLayout;
    checkComponentsDetail_ = new QCheckBox(this);
    checkComponentsDetail_->setObjectName("CheckComponentsDetail");
    row->addWidget(checkComponentsDetail_);
    row->addStretch(1);
    labelSpace_ = NewLabel(this, "LabelSpace");
    row->addWidget(labelSpace_);
    box->addLayout(row);
    connect(treeComponents_, &QTreeWidget::itemChanged, this, &TPageComponents::ItemChanged);
    connect(treeComponents_, &QTreeWidget::currentItemChanged, this,
            &TPageComponents::ShowDescription);
    connect(checkComponentsDetail_, &QCheckBox::toggled, this, &TPageComponents::DetailToggled);
}

void TPageComponents::Fill() {
    FillTree();
    checkComponentsDetail_->setChecked(false);
    UpdateSpaceLine();
    if (treeComponents_->topLevelItemCount() > 0)
        treeComponents_->setCurrentItem(treeComponents_->topLevelItem(0));
}

void TPageComponents::FillTree() {
    filling_ = true;
    treeComponents_->clear();
    detailAdded_ = false;
    for (std::size_t index : flow_.TreeComponents()) {
        auto* item = new QTreeWidgetItem(treeComponents_);
        item->setText(0, ToQString(package_.Tables().components[index].name));
        item->setData(0, kComponentRole, static_cast<int>(index));
    }
    filling_ = false;
    RefreshStates();
}

void TPageComponents::RefreshStates() {
    filling_ = true;
    const auto& comps = package_.Tables().components;
    for (int i = 0; i < treeComponents_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = treeComponents_->topLevelItem(i);
        const TComponentData& c = comps.at(item->data(0, kComponentRole).toInt());
        const int state = c.StateImage();
        const bool checked = state == 2 || state == 4;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (state == 1 || state == 2 || state == 5)
            flags |= Qt::ItemIsUserCheckable;
        item->setFlags(flags);
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        QFont f = treeComponents_->font();
        f.setItalic(state == 5); // installed by the earlier installation
        item->setFont(0, f);
        item->setForeground(0, state == 3 || state == 4
                                   ? palette().color(QPalette::Disabled, QPalette::Text)
                                   : palette().color(QPalette::Text));
    }
    filling_ = false;
}

void TPageComponents::ItemChanged(QTreeWidgetItem* item) {
    if (filling_ || !item || item->parent())
        return;
    flow_.Toggle(item->data(0, kComponentRole).toInt());
    RefreshStates();
    UpdateSpaceLine();
}

// The description of the component the selected node belongs to.
void TPageComponents::ShowDescription(QTreeWidgetItem* item) {
    while (item && item->parent())
        item = item->parent();
    std::string text;
    if (item) {
        int index = item->data(0, kComponentRole).toInt();
        text = package_.Tables().components.at(index).description;
    }
    memoComponent_->setPlainText(ToQString(text));
}

void TPageComponents::DetailToggled(bool on) {
    if (on && !detailAdded_ && treeComponents_->topLevelItemCount() > 0)
        AddDetail();
    treeComponents_->setRootIsDecorated(on);
    if (on)
        treeComponents_->expandAll();
    else
        treeComponents_->collapseAll();
}

void TPageComponents::AddDetail() {
    detailAdded_ = true;
    filling_ = true;
    const auto& tables = package_.Tables();
    const bool portable = flow_.Portable();
    auto fileName = [&](std::uint16_t index) {
        return index < tables.fileTable.files.size() ? ToQString(tables.fileTable.files[index].name)
                                                     : QString();
    };
    for (int i = 0; i < treeComponents_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = treeComponents_->topLevelItem(i);
        const TComponentData& c = tables.components.at(node->data(0, kComponentRole).toInt());
        std::function<void(QTreeWidgetItem*, const TComponentFolder&, bool)> addFolder =
            [&](QTreeWidgetItem* parent, const TComponentFolder& folder, bool top) {
                const QString text =
                    top ? NativeText(folder.path.empty() ? folder.name : folder.path)
                        : ToQString(folder.name);
                QTreeWidgetItem* folderNode = nullptr;
                for (int k = 0; k < parent->childCount(); ++k)
                    if (parent->child(k)->text(0) == text)
                        folderNode = parent->child(k);
                const bool reused = folderNode != nullptr;
                if (!folderNode) {
                    folderNode = new QTreeWidgetItem(parent, {text});
                    folderNode->setData(0, kComponentRole, -1);
                    folderNode->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
                }
                for (const auto& item : folder.items) {
                    // Files, shortcuts and Internet shortcuts each with their image.
                    QString name;
                    QStyle::StandardPixmap image = QStyle::SP_FileIcon;
                    if (const auto* copy = std::get_if<TCopyItem>(&item)) {
                        name = fileName(copy->fileIndex);
                    } else if (portable) {
                        continue;
                    } else if (const auto* link = std::get_if<TShortcutItem>(&item)) {
                        name = fileName(link->targetIndex);
                        image = QStyle::SP_FileLinkIcon;
                    } else {
                        name = ToQString(std::get<TUrlItem>(item).name);
                        image = QStyle::SP_DriveNetIcon;
                    }
                    auto* leaf = new QTreeWidgetItem(folderNode, {name});
                    leaf->setData(0, kComponentRole, -1);
                    leaf->setIcon(0, style()->standardIcon(image));
                }
                for (const auto& sub : folder.folders)
                    addFolder(folderNode, sub, false);
                if (!reused && folderNode->childCount() == 0)
                    delete folderNode;
            };
        for (const auto& folder : c.folders)
            addFolder(node, folder, true);
    }
    filling_ = false;
}

void TPageComponents::UpdateSpaceLine() {
    TSpaceLine line = flow_.SpaceLine();
    labelSpace_->setText(ToQString(line.text));
    QFont f = font();
    f.setBold(line.warn);
    labelSpace_->setFont(f);
    labelSpace_->setStyleSheet(line.warn ? "color: red" : "");
}

// Enter toggles a component as Space does, and goes no further.
bool TPageComponents::eventFilter(QObject* watched, QEvent* event) {
    if (watched == treeComponents_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QTreeWidgetItem* item = treeComponents_->currentItem();
            if (item && !item->parent() && (item->flags() & Qt::ItemIsUserCheckable))
                item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked
                                                                          : Qt::Checked);
            return true; // swallowed
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace setup::ui
