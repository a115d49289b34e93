#include "components/ui/reopenmenu.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QScreen>
#include <algorithm>

#include "components/ui/ansiqt.h"

namespace components::ui {

namespace {

constexpr int kWidestNameInCharacters = 60;

// A long path is shortened in the middle, so that the menu stays narrow
// enough to read; an "&" in the name is shown, not taken as an accelerator.
QString MenuCaption(const QMenu& menu, int index, const QString& fileName) {
    QFontMetrics metrics(menu.font());
    int widest = metrics.averageCharWidth() * kWidestNameInCharacters;
    if (const QScreen* screen = menu.screen())
        widest = std::min(widest, screen->availableGeometry().width() / 2);
    QString name = metrics.elidedText(fileName, Qt::ElideMiddle, widest);
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    return ToQString(components::ReopenCaption(index, "")) + name;
}

// Empties a menu. The actions go later: the one being triggered may be
// among them (a reopened file moves to the top and rebuilds the menu).
void RemoveActions(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        menu.removeAction(action);
        if (action->parent() == &menu)
            action->deleteLater();
    }
}

} // namespace

TReopenMenu::TReopenMenu(QObject* parent) : QObject(parent) {}

TReopenMenu::~TReopenMenu() = default;

QMenu* TReopenMenu::MenuItem() {
    if (!menuItem_ && !ownMenu_) {
        ownMenu_ = std::make_unique<QMenu>();
        menuItem_ = ownMenu_.get();
        Rebuild();
    }
    return menuItem_;
}

void TReopenMenu::SetMenuItem(QMenu* menu) {
    if (menuItem_)
        RemoveActions(*menuItem_);
    menuItem_ = menu;
    if (menu != ownMenu_.get())
        ownMenu_.reset();
    Rebuild();
}

void TReopenMenu::SetPopupMenu(QMenu* menu) {
    if (popupMenu_)
        disconnect(popupMenu_, &QMenu::aboutToShow, this, nullptr);
    popupMenu_ = menu;
    if (menu)
        connect(menu, &QMenu::aboutToShow, this, &TReopenMenu::FillPopup);
}

void TReopenMenu::SetMaxItems(int maxItems) {
    list_.SetMaxItems(maxItems);
    Rebuild();
}

void TReopenMenu::SetTexts(const TTexts& texts) {
    texts_ = texts;
    Rebuild();
}

void TReopenMenu::SetImages(const QList<QIcon>& images) {
    images_ = images;
    Rebuild();
}

void TReopenMenu::SetOnGetImageIndex(TGetImageIndex handler) {
    onGetImageIndex_ = std::move(handler);
    Rebuild();
}

QStringList TReopenMenu::Files() const {
    QStringList files;
    for (const std::string& file : list_.Files())
        files << ToQString(file);
    return files;
}

void TReopenMenu::AddFile(const QString& fileName) {
    list_.AddFile(FromQString(fileName));
    Rebuild();
}

void TReopenMenu::RemoveFile(const QString& fileName) {
    list_.RemoveFile(FromQString(fileName));
    Rebuild();
}

void TReopenMenu::Clear() {
    list_.Clear();
    Rebuild();
}

void TReopenMenu::RemoveObsolete(const components::TReopenList::TFileExists& exists) {
    list_.RemoveObsolete(exists);
    Rebuild();
}

void TReopenMenu::LoadFromRegistry(platform::Registry& registry, std::string_view key) {
    list_.LoadFromRegistry(registry, key);
    Rebuild();
}

void TReopenMenu::SaveToRegistry(platform::Registry& registry, std::string_view key) const {
    list_.SaveToRegistry(registry, key);
}

void TReopenMenu::Rebuild() {
    QMenu* menu = menuItem_;
    if (!menu)
        return;
    RemoveActions(*menu);
    if (list_.Empty()) {
        QAction* empty = menu->addAction(texts_.SEmpty);
        empty->setEnabled(false);
        empty->setData(components::kReopenCommandTag);
        return;
    }
    const std::vector<std::string>& files = list_.Files();
    for (std::size_t i = 0; i < files.size(); ++i)
        AddFileItem(*menu, static_cast<int>(i), files[i]);
    menu->addSeparator()->setData(components::kReopenCommandTag);
    AddCommandItem(*menu, texts_.SFreshen, texts_.SFreshenHint, &TReopenMenu::RemoveObsoleteFiles);
    AddCommandItem(*menu, texts_.SClear, texts_.SClearHint, &TReopenMenu::Clear);
}

void TReopenMenu::AddFileItem(QMenu& menu, int index, const std::string& fileName) {
    QString name = ToQString(fileName);
    QAction* action = menu.addAction(MenuCaption(menu, index, name));
    action->setData(index);
    action->setStatusTip(texts_.SReopenHint);
    action->setToolTip(name); // the whole name, where the caption is shortened
    int imageIndex = -1;
    if (onGetImageIndex_)
        onGetImageIndex_(*this, name, imageIndex);
    if (imageIndex >= 0 && imageIndex < images_.size())
        action->setIcon(images_.at(imageIndex));
    connect(action, &QAction::triggered, this, [this, name] { emit Reopen(name); });
}

void TReopenMenu::AddCommandItem(QMenu& menu, const QString& caption, const QString& hint,
                                 void (TReopenMenu::*command)()) {
    QAction* action = menu.addAction(caption);
    action->setData(components::kReopenCommandTag);
    action->setStatusTip(hint);
    action->setToolTip(hint);
    connect(action, &QAction::triggered, this, command);
}

void TReopenMenu::FillPopup() {
    QMenu* popup = popupMenu_;
    QMenu* menu = MenuItem();
    if (!popup || !menu)
        return;
    RemoveActions(*popup);
    for (QAction* source : menu->actions()) {
        QAction* copy = popup->addAction(source->icon(), source->text());
        copy->setSeparator(source->isSeparator());
        copy->setEnabled(source->isEnabled());
        copy->setStatusTip(source->statusTip());
        copy->setToolTip(source->toolTip());
        copy->setData(source->data());
        connect(copy, &QAction::triggered, source, &QAction::trigger);
    }
}

} // namespace components::ui
