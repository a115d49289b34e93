#pragma once
// The recent-files menu: the files of a components::TReopenList as the items
// of a submenu, newest first ("&0 name", "&1 name", ...), followed by a
// separator, the remove-obsolete and the remove-all items; a single disabled
// item when the list is empty. An optional popup menu is filled with copies
// of these items each time it opens. Picking a file emits Reopen.
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string_view>

#include "components/reopenlist.h"

class QMenu;

namespace platform {
class Registry;
}

namespace components::ui {

class TReopenMenu : public QObject {
    Q_OBJECT
public:
    struct TTexts {
        QString SReopenHint; // of every file item
        QString SClear;      // the remove-all item
        QString SClearHint;
        QString SFreshen; // the remove-obsolete item
        QString SFreshenHint;
        QString SEmpty; // the item shown when the list is empty
    };
    // Asked for the icon of a file item: an index into Images, -1 for none.
    using TGetImageIndex =
        std::function<void(TReopenMenu& sender, const QString& fileName, int& imageIndex)>;

    explicit TReopenMenu(QObject* parent = nullptr);
    ~TReopenMenu() override;

    // The submenu that holds the list; one of the component's own when none
    // was set. Becomes empty when the menu set is destroyed elsewhere.
    QMenu* MenuItem();
    void SetMenuItem(QMenu* menu);
    QMenu* PopupMenu() const { return popupMenu_; }
    // Detaches the previous popup menu.
    void SetPopupMenu(QMenu* menu);

    int MaxItems() const { return list_.MaxItems(); }
    void SetMaxItems(int maxItems);
    const TTexts& Texts() const { return texts_; }
    void SetTexts(const TTexts& texts);
    QList<QIcon> Images() const { return images_; }
    void SetImages(const QList<QIcon>& images);
    void SetOnGetImageIndex(TGetImageIndex handler);

    const components::TReopenList& List() const { return list_; }
    QStringList Files() const;

    void AddFile(const QString& fileName);
    void RemoveFile(const QString& fileName);
    void Clear();
    // Drops the files that no longer exist; `exists` replaces the file test.
    void RemoveObsolete(const components::TReopenList::TFileExists& exists = {});

    // HKEY_CURRENT_USER\<key>.
    void LoadFromRegistry(platform::Registry& registry, std::string_view key);
    void SaveToRegistry(platform::Registry& registry, std::string_view key) const;

signals:
    void Reopen(const QString& fileName);

private:
    void Rebuild();
    void AddFileItem(QMenu& menu, int index, const std::string& fileName);
    void AddCommandItem(QMenu& menu, const QString& caption, const QString& hint,
                        void (TReopenMenu::*command)());
    void FillPopup();
    void RemoveObsoleteFiles() { RemoveObsolete(); }

    components::TReopenList list_;
    TTexts texts_;
    QList<QIcon> images_;
    TGetImageIndex onGetImageIndex_;
    std::unique_ptr<QMenu> ownMenu_;
    QPointer<QMenu> menuItem_;
    QPointer<QMenu> popupMenu_;
};

} // namespace components::ui
