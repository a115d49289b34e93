#pragma once
// "SHG Editor": a window of its own with tabs of open hotspot bitmaps
// (.shg, or plain BMP, GIF and PNG pictures made into new ones), zoom, the
// hotspots drawn, moved and resized with the mouse over a TSHGCanvas, and a
// side panel with the selected hotspot's kind, target, place and size.
// Saves hotspot bitmaps in 16 colours or true colour, or exports the bare
// picture.
#include <QImage>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/dialogs/topicpicker.h"
#include "editor/projectcommands.h"
#include "editor/shgcanvas.h"
#include "helpproject/shg.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QTabBar;

namespace components::ui {
class TReopenMenu;
}
namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TMacroEditorOpener;
class TSHGPicture;
class TTopicPickerBox;

inline constexpr std::string_view kSHGEditKey = "Software\\Vexlor\\Brindlewoven\\SHGEdit";
inline constexpr std::string_view kSHGEditReopenKey =
    "Software\\Vexlor\\Brindlewoven\\SHGEdit\\Reopen";

class TSHGForm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 22000;
    // A file dialog: the chosen path, or "" when cancelled. Tests replace it.
    using TFileChooser = std::function<std::string(const TFileDialogSpec& dialog)>;

    explicit TSHGForm(TEditorContext& context, QWidget* parent = nullptr);
    ~TSHGForm() override;

    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }

    // Opens a file into a new tab (or, for a plain picture with a tab open,
    // as the person chooses). Errors are shown; returns whether a tab was
    // added or a picture replaced.
    bool OpenFile(const std::string& fileName, bool fromNew = false);
    // The commands.
    void NewClick();
    void OpenClick();
    bool SaveClick();
    bool SaveAsClick();
    // Writes the current tab to the file; the extension picks the format.
    bool SaveAs(const std::string& fileName);
    // Closes the current tab; a changed picture asks to be saved first.
    void CloseTabClick();
    // Before the window closes: each changed picture asks Save, Don't save
    // or Cancel. False when the author cancels or a save does not happen;
    // otherwise the pictures not saved are closed, their changes dropped.
    bool CloseQuery();
    void CopyBitmapClick();
    void PasteBitmapClick();
    void ZoomInClick();
    void ZoomOutClick();
    // Reorders the current picture's hotspots in the sort dialog.
    void SortClick();

    // The state shown.
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    int CurrentTab() const;
    helpproject::TSHG* CurrentSHG() const;
    TSHGCanvas* CurrentCanvas() const;
    // Stores the panel into the selected hotspot.
    void StorePanel();
    // Keeps the placement, the splitter and the recent files in the registry
    // (also done when the window is destroyed).
    void SaveState();

    // ---- the controls -------------------------------------------------------
    QTabBar* Tabs() const { return tabBar_; }
    TSHGPicture* Picture() const { return picture_; }
    QScrollArea* ScrollBox() const { return scroll_; }
    QComboBox* ComboHotspot() const { return comboHotspot_; }
    QRadioButton* RadioType(int index) const { return radioType_[index]; }
    QLineEdit* EditName() const { return editName_; }
    QCheckBox* CheckInvisible() const { return checkInvisible_; }
    QComboBox* ComboTopic() const;
    QLineEdit* EditMacro() const { return editMacro_; }
    QSpinBox* SpinLeft() const { return spinLeft_; }
    QSpinBox* SpinTop() const { return spinTop_; }
    QSpinBox* SpinWidth() const { return spinWidth_; }
    QSpinBox* SpinHeight() const { return spinHeight_; }
    QComboBox* ComboWindow() const { return comboWindow_; }
    QLineEdit* EditFile() const { return editFile_; }
    QPushButton* BtnAdd() const { return btnAdd_; }
    QPushButton* BtnDel() const { return btnDel_; }
    QPushButton* BtnPrev() const { return btnPrev_; }
    QPushButton* BtnNext() const { return btnNext_; }
    QAction* ItemSave() const { return itemSave_; }
    QAction* ItemClose() const { return itemClose_; }
    QAction* ItemExit() const { return itemExit_; }
    QAction* ItemDelete() const { return itemDelete_; }
    QAction* ItemZoomIn() const { return itemZoomIn_; }
    QAction* ItemSort() const { return itemSort_; }
    QAction* ItemContents() const { return itemContents_; }

signals:
    // Help > Contents: the program's help at that context number.
    void HelpRequested(int helpContext);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct TTab {
        helpproject::TSHG Shg;
        TSHGCanvas Canvas{Shg};
        QImage Image;
        // The hotspot last shown in the panel (-1 none).
        int Shown = -1;
        // The file name was made from a plain picture's, not chosen or
        // loaded: a file already there under it is another's.
        bool NameProposed = false;
    };

    void BuildMenus();
    void BuildPanel(QWidget* panel);
    std::string ChooseFile(const TFileDialogSpec& spec, bool save);
    // `changed`: the picture is in no file yet (pasted).
    void AddTab(std::unique_ptr<TTab> tab, bool changed = false);
    // The tab goes without a question.
    void RemoveTab(int index);
    // For a changed picture: asks whether to save it, and saves it on Yes.
    // mrYes once saved, mrNo to drop it (also for an unchanged one),
    // mrCancel to keep it open.
    int AskSaveTab(int index);
    TTab* Current() const;
    void TabsChange(int index);
    void ShowHotspot(int index);
    void FillComboHotspot();
    void ComboHotspotChange(int index);
    void RadioTypeClick();
    void SpinChange();
    // The spin boxes' rectangle, and the hotspot's shown in them without
    // writing back.
    TCanvasRect SpinRect() const;
    void ShowRect(const helpproject::TBrindlewovenHotspot& hotspot);
    void PictureEdited(TCanvasResult result);
    void PictureSelectionChanged();
    void BtnAddClick();
    void BtnDelClick();
    void BtnPrevClick();
    void BtnNextClick();
    void FileBtnClick();
    void MacroBtnClick();
    void EnableCommands();
    void ReplaceCurrentPicture(helpproject::TBitmap bitmap);
    void RefreshProjectLists();
    void ZoomChanged();

    TEditorContext& context_;
    TFileChooser chooser_;
    std::vector<std::unique_ptr<TTab>> tabs_;
    // The tab whose hotspot the panel shows.
    TTab* panelTab_ = nullptr;
    std::unique_ptr<TTopicPicker> picker_;
    std::unique_ptr<TMacroEditorOpener> macroOpener_;
    // Spin-box changes made by the mouse do not write back.
    bool guard_ = false;

    QTabBar* tabBar_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    TSHGPicture* picture_ = nullptr;
    QSplitter* splitIt_ = nullptr;
    QWidget* panelControls_ = nullptr;
    QComboBox* comboHotspot_ = nullptr;
    QRadioButton* radioType_[3] = {};
    QLineEdit* editName_ = nullptr;
    QCheckBox* checkInvisible_ = nullptr;
    TTopicPickerBox* topicBox_ = nullptr;
    QWidget* topicRow_ = nullptr;
    QWidget* macroRow_ = nullptr;
    QWidget* windowRow_ = nullptr;
    QWidget* fileRow_ = nullptr;
    QLineEdit* editMacro_ = nullptr;
    QSpinBox* spinLeft_ = nullptr;
    QSpinBox* spinTop_ = nullptr;
    QSpinBox* spinWidth_ = nullptr;
    QSpinBox* spinHeight_ = nullptr;
    QComboBox* comboWindow_ = nullptr;
    QLineEdit* editFile_ = nullptr;
    QPushButton* btnAdd_ = nullptr;
    QPushButton* btnDel_ = nullptr;
    QPushButton* btnPrev_ = nullptr;
    QPushButton* btnNext_ = nullptr;
    components::ui::TReopenMenu* reopen_ = nullptr;
    QAction* itemSave_ = nullptr;
    QAction* itemSaveAs_ = nullptr;
    QAction* itemClose_ = nullptr;
    QAction* itemExit_ = nullptr;
    QAction* itemCopy_ = nullptr;
    QAction* itemNewHotspot_ = nullptr;
    QAction* itemDelete_ = nullptr;
    QAction* itemNext_ = nullptr;
    QAction* itemPrevious_ = nullptr;
    QAction* itemSort_ = nullptr;
    QAction* itemContents_ = nullptr;
    QAction* itemZoomIn_ = nullptr;
    QAction* itemZoomOut_ = nullptr;
};

} // namespace editor::ui
