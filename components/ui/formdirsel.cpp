#include "components/ui/formdirsel.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <memory>

#include "components/dirsel.h"
#include "components/ui/centeronscreen.h"

namespace components::ui {

TFormDirSel::TFormDirSel(QWidget* parent) : QDialog(parent) {
    setObjectName("FormDirSel");
    setWindowTitle(tr("Select Folder"));
    setSizeGripEnabled(true);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setRootPath(QDir::rootPath());

    edit_ = new QLineEdit(this);
    shellTree_ = new QTreeView(this);
    shellTree_->setModel(model_);
    shellTree_->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column)
        shellTree_->hideColumn(column);
    shellTree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    shellTree_->header()->setStretchLastSection(false);

    btnOK_ = new QPushButton(tr("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(tr("Cancel"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(shellTree_, 1);
    layout->addLayout(buttons);
    resize(360, 420);

    connect(edit_, &QLineEdit::textChanged, this, &TFormDirSel::EditChanged);
    connect(shellTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFormDirSel::TreeChanged);
    // The tree fills in and sorts itself as folders are read: keep the
    // chosen folder in view meanwhile.
    auto keepInView = [this] {
        if (shellTree_->currentIndex().isValid())
            shellTree_->scrollTo(shellTree_->currentIndex(), QAbstractItemView::PositionAtCenter);
    };
    connect(model_, &QFileSystemModel::directoryLoaded, this, keepInView);
    connect(model_, &QAbstractItemModel::layoutChanged, this, keepInView);
    connect(btnOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormDirSel::TreePath() const {
    const QModelIndex current = shellTree_->currentIndex();
    return current.isValid() ? QDir::toNativeSeparators(model_->filePath(current)) : QString();
}

void TFormDirSel::showEvent(QShowEvent* event) {
    CenterOnScreen(*this);
    QDialog::showEvent(event);
}

void TFormDirSel::EditChanged(const QString& text) {
    if (updating_)
        return;
    const auto folder =
        components::DeepestExistingFolder(QDir::fromNativeSeparators(text).toStdString());
    if (!folder)
        return;
    updating_ = true;
    const QModelIndex index = model_->index(QString::fromStdString(*folder));
    shellTree_->setCurrentIndex(index);
    shellTree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    updating_ = false;
}

void TFormDirSel::TreeChanged() {
    if (updating_)
        return;
    updating_ = true;
    edit_->setText(TreePath());
    updating_ = false;
}

QString SelectFolder(const QString& folder, QWidget* owner) {
    QWidget* window = owner ? owner->window() : nullptr;
    TFormDirSel* form =
        window ? window->findChild<TFormDirSel*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    std::unique_ptr<TFormDirSel> once;
    if (!form && window) {
        form = new TFormDirSel(window);
    } else if (!form) {
        once = std::make_unique<TFormDirSel>();
        form = once.get();
    }
    form->Edit()->setText(folder);
    return form->exec() == QDialog::Accepted ? form->Edit()->text() : folder;
}

} // namespace components::ui
