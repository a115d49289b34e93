#include "editor/ui/dialogs/shgsortform.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "components/ui/saveformsize.h"

namespace editor::ui {

using components::ui::ToQString;

TSHGSortForm::TSHGSortForm(platform::Registry* registry, QWidget* parent)
    : TEditorDialog(parent, kHelpContext, TPlace::Centered), registry_(registry) {
    setObjectName("SHGSortForm");
    setWindowTitle("Sort Hotspots");
    listHotspots_ = new QListWidget(this);
    listHotspots_->setObjectName("ListHotspots");
    listHotspots_->setDragDropMode(QAbstractItemView::InternalMove);
    listHotspots_->setDefaultDropAction(Qt::MoveAction);
    btnUp_ = new QPushButton("&Up", this);
    btnUp_->setObjectName("BtnUp");
    btnDown_ = new QPushButton("&Down", this);
    btnDown_->setObjectName("BtnDown");
    auto* side = new QVBoxLayout;
    side->addWidget(btnUp_);
    side->addWidget(btnDown_);
    side->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(listHotspots_, 1);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addLayout(ButtonRow());
    resize(360, 360);

    connect(btnUp_, &QPushButton::clicked, this, [this] {
        model_.Select(listHotspots_->currentRow());
        model_.Up();
        ShowItems();
    });
    connect(btnDown_, &QPushButton::clicked, this, [this] {
        model_.Select(listHotspots_->currentRow());
        model_.Down();
        ShowItems();
    });
    // A drag within the list: the list moved its own row; the model follows.
    connect(listHotspots_->model(), &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int from, int, const QModelIndex&, int to) {
                model_.Move(from, to > from ? to - 1 : to);
                ShowItems();
            });
    if (registry_)
        components::ui::LoadFormPlacement(*registry_, kSHGSortKey, *this);
}

TSHGSortForm::~TSHGSortForm() = default;

std::optional<std::vector<int>> TSHGSortForm::Execute(const std::vector<std::string>& names) {
    model_.SetHotspots(names);
    ShowItems();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return model_.Order();
}

void TSHGSortForm::ShowItems() {
    const QSignalBlocker block(listHotspots_->model());
    listHotspots_->clear();
    for (const auto& item : model_.Items())
        listHotspots_->addItem(ToQString(item.Name));
    listHotspots_->setCurrentRow(model_.Selected());
}

void TSHGSortForm::hideEvent(QHideEvent* event) {
    if (registry_)
        components::ui::SaveFormPlacement(*registry_, kSHGSortKey, *this);
    TEditorDialog::hideEvent(event);
}

} // namespace editor::ui
