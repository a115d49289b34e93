#pragma once
// "Sort Hotspots": the hotspots of the SHG editor's picture in their tab
// order, reordered with Up, Down or by dragging, over TSHGSortModel. The
// dialog keeps its place under HKCU Software\Vexlor\Brindlewoven\SHGSort.
#include <optional>
#include <string>
#include <vector>

#include "editor/dialogs/shgsortmodel.h"
#include "editor/ui/dialogs/editordialog.h"

class QListWidget;
class QPushButton;

namespace platform {
class Registry;
}

namespace editor::ui {

inline constexpr const char* kSHGSortKey = "Software\\Vexlor\\Brindlewoven\\SHGSort";

class TSHGSortForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 22030;

    // `registry` keeps the dialog's place (nullptr: not kept).
    explicit TSHGSortForm(platform::Registry* registry, QWidget* parent = nullptr);
    ~TSHGSortForm() override;

    // The hotspots' names in their order; on OK the old places of the
    // hotspots in their new order, nullopt on Cancel.
    std::optional<std::vector<int>> Execute(const std::vector<std::string>& names);

    QListWidget* ListHotspots() const { return listHotspots_; }
    QPushButton* BtnUp() const { return btnUp_; }
    QPushButton* BtnDown() const { return btnDown_; }
    const TSHGSortModel& Model() const { return model_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void ShowItems();

    platform::Registry* registry_;
    TSHGSortModel model_;
    QListWidget* listHotspots_;
    QPushButton* btnUp_;
    QPushButton* btnDown_;
};

} // namespace editor::ui
