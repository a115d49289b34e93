#include "editor/ui/dialogs/shgform.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/reopenmenu.h"
#include "components/ui/saveformsize.h"
#include "editor/dialogs/contentseditormodel.h"
#include "editor/editorcontext.h"
#include "editor/helpmenu.h"
#include "editor/ui/aboutbox.h"
#include "editor/ui/dialogs/macroeditoropener.h"
#include "editor/ui/dialogs/shgpicture.h"
#include "editor/ui/dialogs/shgsortform.h"
#include "editor/ui/dialogs/topicpickerbox.h"
#include "editor/ui/projectactions.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"
#include "platform/registry.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;
using helpproject::TSHG;

namespace {

constexpr int kSplitMinimum = 160;
constexpr int kPanelWidth = 180;

std::string FileNameOnly(const std::string& path) {
    return TContentsEditorModel::FileNameOnly(path);
}

components::TMessageButton Button(const char* caption, int result, bool isDefault = false,
                                  bool isCancel = false) {
    components::TMessageButton b;
    b.Caption = caption;
    b.ModalResult = result;
    b.Default = isDefault;
    b.Cancel = isCancel;
    return b;
}

components::TQuestion SaveChangesPrompt(const std::string& name) {
    components::TQuestion q;
    q.Kind = components::TMessageKind::Warning;
    q.Caption = "If you do not save your hotspot bitmap, you will lose all your changes";
    q.Text = "\"" + name + "\" has been modified!\rDo you wish to save your changes?";
    q.Buttons = {Button("&Yes: Save!", components::mrYes, true),
                 Button("&No: Don't save", components::mrNo),
                 Button("&Cancel action", components::mrCancel, false, true)};
    return q;
}

} // namespace

TSHGForm::TSHGForm(TEditorContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context),
      macroOpener_(std::make_unique<TMacroEditorOpener>(this)) {
    setWindowFlag(Qt::Window);
    setObjectName("SHGForm");
    setWindowTitle(tr("SHG Editor"));
    setMinimumSize(360, 418);

    splitIt_ = new QSplitter(Qt::Horizontal, this);
    splitIt_->setObjectName("SplitIt");
    auto* left = new QWidget(splitIt_);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    tabBar_ = new QTabBar(left);
    tabBar_->setObjectName("Tabs");
    tabBar_->setExpanding(false);
    scroll_ = new QScrollArea(left);
    picture_ = new TSHGPicture;
    picture_->setObjectName("Image");
    scroll_->setWidget(picture_);
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    leftLayout->addWidget(tabBar_);
    leftLayout->addWidget(scroll_, 1);
    left->setMinimumWidth(kSplitMinimum);

    panelControls_ = new QWidget(splitIt_);
    panelControls_->setObjectName("PanelControls");
    panelControls_->setMinimumWidth(kPanelWidth);
    BuildPanel(panelControls_);
    splitIt_->addWidget(left);
    splitIt_->addWidget(panelControls_);
    splitIt_->setStretchFactor(0, 1);
    splitIt_->setCollapsible(0, false);
    splitIt_->setCollapsible(1, false);
    setCentralWidget(splitIt_);

    BuildMenus();

    connect(tabBar_, &QTabBar::currentChanged, this, &TSHGForm::TabsChange);
    connect(picture_, &TSHGPicture::Edited, this, &TSHGForm::PictureEdited);
    connect(picture_, &TSHGPicture::SelectionChanged, this, &TSHGForm::PictureSelectionChanged);

    platform::Registry& registry = context_.Registry();
    // At first as large as the side panel needs, so that none of its
    // fields is squeezed.
    resize(QSize(640, 480).expandedTo(sizeHint()));
    components::ui::LoadFormPlacement(registry, kSHGEditKey, *this);
    const auto split = registry.ReadDword(platform::RootKey::CurrentUser, kSHGEditKey, "SplitIt");
    const int position = split && static_cast<std::int32_t>(*split) >= 1
                             ? static_cast<int>(*split)
                             : std::max(kSplitMinimum, width() - kPanelWidth - 40);
    splitIt_->setSizes({position, std::max(kPanelWidth, width() - position)});
    reopen_->LoadFromRegistry(registry, kSHGEditReopenKey);
    EnableCommands();
}

TSHGForm::~TSHGForm() {
    SaveState();
}

void TSHGForm::SaveState() {
    try {
        platform::Registry& registry = context_.Registry();
        components::ui::SaveFormPlacement(registry, kSHGEditKey, *this);
        registry.WriteDword(platform::RootKey::CurrentUser, kSHGEditKey, "SplitIt",
                            static_cast<std::uint32_t>(splitIt_->sizes().value(0)));
        reopen_->SaveToRegistry(registry, kSHGEditReopenKey);
    } catch (const std::exception& e) {
        context_.Messenger().Warning(e.what());
    }
}

void TSHGForm::BuildMenus() {
    const auto add = [this](QMenu* menu, const QString& caption, const QKeySequence& key,
                            auto slot) {
        QAction* action = menu->addAction(caption);
        if (!key.isEmpty())
            action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* itemNew = add(file, tr("&New"), {}, &TSHGForm::NewClick);
    itemClose_ = add(file, tr("&Close"), QKeySequence("Ctrl+F4"), &TSHGForm::CloseTabClick);
    QAction* itemOpen = add(file, tr("&Open..."), QKeySequence("F3"), &TSHGForm::OpenClick);
    QMenu* reopenMenu = file->addMenu(tr("&Reopen"));
    reopen_ = new components::ui::TReopenMenu(this);
    reopen_->SetMenuItem(reopenMenu);
    reopen_->SetMaxItems(10);
    connect(reopen_, &components::ui::TReopenMenu::Reopen, this,
            [this](const QString& name) { OpenFile(FromQString(name)); });
    itemSave_ = add(file, tr("&Save"), QKeySequence("F2"), [this] { SaveClick(); });
    itemSaveAs_ = add(file, tr("Save &As..."), QKeySequence("Shift+F2"), [this] { SaveAsClick(); });
    file->addSeparator();
    itemExit_ = add(file, tr("E&xit"), {}, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    itemCopy_ = add(edit, tr("&Copy Bitmap"), QKeySequence("Ctrl+C"), &TSHGForm::CopyBitmapClick);
    add(edit, tr("&Paste Bitmap"), QKeySequence("Ctrl+V"), &TSHGForm::PasteBitmapClick);
    edit->addSeparator();
    itemNewHotspot_ = add(edit, tr("&New hotspot"), QKeySequence("F4"), &TSHGForm::BtnAddClick);
    itemDelete_ = add(edit, tr("&Delete hotspot"), QKeySequence("Ctrl+D"), &TSHGForm::BtnDelClick);
    itemNext_ = add(edit, tr("Ne&xt"), QKeySequence("F6"), &TSHGForm::BtnNextClick);
    itemPrevious_ = add(edit, tr("&Previous"), QKeySequence("Shift+F6"), &TSHGForm::BtnPrevClick);
    itemSort_ = add(edit, tr("&Sort Hotspots"), {}, &TSHGForm::SortClick);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    itemZoomIn_ = add(view, tr("Zoom &In"), QKeySequence("Ctrl+I"), &TSHGForm::ZoomInClick);
    itemZoomOut_ = add(view, tr("Zoom &Out"), QKeySequence("Ctrl+U"), &TSHGForm::ZoomOutClick);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    itemContents_ =
        add(help, tr("&Contents"), {}, [this] { emit HelpRequested(kHelpContentsContext); });
    add(help, tr("&About..."), {}, [this] {
        TAboutBox about(this);
        about.exec();
    });

    picture_->setContextMenuPolicy(Qt::ActionsContextMenu);
    picture_->addAction(itemZoomIn_);
    picture_->addAction(itemZoomOut_);

    QToolBar* bar = addToolBar(tr("SHG Editor"));
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    QAction* newBtn = bar->addAction(tr("&New"), this, &TSHGForm::NewClick);
    newBtn->setObjectName("NewBtn");
    QAction* openBtn = bar->addAction(tr("&Open"), this, &TSHGForm::OpenClick);
    openBtn->setObjectName("OpenBtn");
    if (auto* openButton = qobject_cast<QToolButton*>(bar->widgetForAction(openBtn))) {
        openButton->setMenu(reopenMenu);
        openButton->setPopupMode(QToolButton::MenuButtonPopup);
    }
    bar->addAction(itemSave_);
    bar->addAction(itemClose_);
    Q_UNUSED(itemNew);
    Q_UNUSED(itemOpen);
}

void TSHGForm::BuildPanel(QWidget* panel) {
    auto* layout = new QVBoxLayout(panel);
    auto* hotspotLabel = new QLabel(tr(" &Hotspot: "), panel);
    comboHotspot_ = new QComboBox(panel);
    comboHotspot_->setObjectName("ComboHotspot");
    comboHotspot_->setMaxVisibleItems(24);
    hotspotLabel->setBuddy(comboHotspot_);
    layout->addWidget(hotspotLabel);
    layout->addWidget(comboHotspot_);

    auto* typeBox = new QGroupBox(panel);
    typeBox->setObjectName("RadioType");
    auto* typeLayout = new QVBoxLayout(typeBox);
    auto* typeGroup = new QButtonGroup(typeBox);
    const char* kinds[] = {"&Link", "&Popup link", "&Macro"};
    for (int i = 0; i < 3; ++i) {
        radioType_[i] = new QRadioButton(tr(kinds[i]), typeBox);
        typeGroup->addButton(radioType_[i], i);
        typeLayout->addWidget(radioType_[i]);
    }
    radioType_[0]->setChecked(true);
    layout->addWidget(typeBox);

    auto* form = new QFormLayout;
    editName_ = new QLineEdit(panel);
    editName_->setObjectName("EditName");
    form->addRow(tr("&Name:"), editName_);
    layout->addLayout(form);
    checkInvisible_ = new QCheckBox(tr("&Invisible"), panel);
    checkInvisible_->setToolTip(tr("Visible hotspots are shown using a black border by WinHelp"));
    layout->addWidget(checkInvisible_);

    const auto row = [panel](const QString& caption, QWidget* field, QWidget* button) {
        auto* box = new QWidget(panel);
        auto* v = new QVBoxLayout(box);
        v->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(caption, box);
        label->setBuddy(field);
        v->addWidget(label);
        auto* h = new QHBoxLayout;
        h->addWidget(field, 1);
        if (button)
            h->addWidget(button);
        v->addLayout(h);
        return box;
    };
    topicBox_ = new TTopicPickerBox(TTopicPickerBox::TKind::Editable, panel);
    topicRow_ = row(tr("&Topic:"), topicBox_, nullptr);
    editMacro_ = new QLineEdit(panel);
    editMacro_->setObjectName("EditMacro");
    auto* macroBtn = new QPushButton(tr("..."), panel);
    macroBtn->setObjectName("MacroBtn");
    macroBtn->setMaximumWidth(30);
    macroRow_ = row(tr("Ma&cro:"), editMacro_, macroBtn);
    comboWindow_ = new QComboBox(panel);
    comboWindow_->setObjectName("ComboWindow");
    comboWindow_->setEditable(true);
    windowRow_ = row(tr("&Window:"), comboWindow_, nullptr);
    editFile_ = new QLineEdit(panel);
    editFile_->setObjectName("EditFile");
    auto* fileBtn = new QPushButton(tr("..."), panel);
    fileBtn->setObjectName("FileBtn");
    fileBtn->setMaximumWidth(30);
    fileRow_ = row(tr("&File:"), editFile_, fileBtn);
    for (QWidget* w : {topicRow_, macroRow_, windowRow_, fileRow_})
        layout->addWidget(w);

    auto* grid = new QFormLayout;
    const auto spin = [panel, grid](const QString& caption, const char* name) {
        auto* s = new QSpinBox(panel);
        s->setObjectName(name);
        s->setRange(0, 0);
        grid->addRow(caption, s);
        return s;
    };
    spinLeft_ = spin(tr("L&eft:"), "SpinLeft");
    spinTop_ = spin(tr("T&op:"), "SpinTop");
    spinWidth_ = spin(tr("W&idth:"), "SpinWidth");
    spinHeight_ = spin(tr("H&eight:"), "SpinHeight");
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    btnAdd_ = new QPushButton(tr("&Add"), panel);
    btnDel_ = new QPushButton(tr("&Delete"), panel);
    btnPrev_ = new QPushButton(tr("<"), panel);
    btnNext_ = new QPushButton(tr(">"), panel);
    for (QPushButton* b : {btnAdd_, btnDel_, btnPrev_, btnNext_})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(comboHotspot_, &QComboBox::activated, this, &TSHGForm::ComboHotspotChange);
    connect(typeGroup, &QButtonGroup::idClicked, this, [this] { RadioTypeClick(); });
    for (QSpinBox* s : {spinLeft_, spinTop_, spinWidth_, spinHeight_})
        connect(s, &QSpinBox::valueChanged, this, &TSHGForm::SpinChange);
    connect(btnAdd_, &QPushButton::clicked, this, &TSHGForm::BtnAddClick);
    connect(btnDel_, &QPushButton::clicked, this, &TSHGForm::BtnDelClick);
    connect(btnPrev_, &QPushButton::clicked, this, &TSHGForm::BtnPrevClick);
    connect(btnNext_, &QPushButton::clicked, this, &TSHGForm::BtnNextClick);
    connect(fileBtn, &QPushButton::clicked, this, &TSHGForm::FileBtnClick);
    connect(macroBtn, &QPushButton::clicked, this, &TSHGForm::MacroBtnClick);
    RadioTypeClick();
}

QComboBox* TSHGForm::ComboTopic() const {
    return topicBox_->Combo();
}

// ---- tabs -------------------------------------------------------------------

int TSHGForm::CurrentTab() const {
    return tabBar_->currentIndex();
}

TSHGForm::TTab* TSHGForm::Current() const {
    const int index = CurrentTab();
    return index >= 0 && index < TabCount() ? tabs_[index].get() : nullptr;
}

TSHG* TSHGForm::CurrentSHG() const {
    TTab* tab = Current();
    return tab ? &tab->Shg : nullptr;
}

TSHGCanvas* TSHGForm::CurrentCanvas() const {
    TTab* tab = Current();
    return tab ? &tab->Canvas : nullptr;
}

void TSHGForm::AddTab(std::unique_ptr<TTab> tab, bool changed) {
    StorePanel();
    tab->Canvas.MarkSaved();
    if (changed)
        tab->Canvas.MarkPictureChanged();
    tab->Image = SHGImage(tab->Shg.Bitmap);
    const std::string caption =
        tab->Shg.FileName.empty() ? std::string("Untitled") : FileNameOnly(tab->Shg.FileName);
    tabs_.push_back(std::move(tab));
    const QSignalBlocker block(tabBar_);
    const int index = tabBar_->addTab(ToQString(caption));
    tabBar_->setCurrentIndex(index);
    TabsChange(index);
}

void TSHGForm::TabsChange(int index) {
    (void)index;
    // Leaving a tab stores the panel into its hotspot first.
    StorePanel();
    TTab* tab = Current();
    panelTab_ = tab;
    if (!tab) {
        picture_->SetCanvas(nullptr, nullptr);
        FillComboHotspot();
        ShowHotspot(-1);
        EnableCommands();
        return;
    }
    tab->Canvas.ResetZoom();
    picture_->SetCanvas(&tab->Canvas, &tab->Image);
    const QSignalBlocker b1(spinLeft_), b2(spinTop_), b3(spinWidth_), b4(spinHeight_);
    spinLeft_->setMaximum(std::max(0, tab->Canvas.PictureWidth() - 1));
    spinTop_->setMaximum(std::max(0, tab->Canvas.PictureHeight() - 1));
    spinWidth_->setMaximum(tab->Canvas.PictureWidth());
    spinHeight_->setMaximum(tab->Canvas.PictureHeight());
    FillComboHotspot();
    ShowHotspot(tab->Canvas.Selected() >= 0 ? tab->Canvas.Selected()
                                            : (tab->Shg.Hotspots.empty() ? -1 : 0));
    EnableCommands();
}

void TSHGForm::FillComboHotspot() {
    const QSignalBlocker block(comboHotspot_);
    comboHotspot_->clear();
    if (TTab* tab = Current())
        for (const auto& h : tab->Shg.Hotspots)
            comboHotspot_->addItem(ToQString(h.Name));
}

// ---- the panel ----------------------------------------------------------------

void TSHGForm::StorePanel() {
    TTab* tab = panelTab_;
    if (!tab || tab->Shown < 0 || tab->Shown >= static_cast<int>(tab->Shg.Hotspots.size()))
        return;
    auto& h = tab->Shg.Hotspots[tab->Shown];
    const helpproject::TBrindlewovenProject& project = context_.Project();
    const bool numberStyle = picker_ && picker_->NumberStyle();
    const std::string topicText = FromQString(topicBox_->Combo()->currentText());
    const THotspotFields old = LoadHotspotFields(h);
    const std::string oldTitle = helpproject::TBrindlewovenProject::TitleFromListText(
        project.ListTextFromID(old.TopicID, numberStyle), numberStyle);
    THotspotFields fields;
    fields.Kind = static_cast<TSHGHotspotKind>(radioType_[1]->isChecked()   ? 1
                                               : radioType_[2]->isChecked() ? 2
                                                                            : 0);
    fields.Invisible = checkInvisible_->isChecked();
    fields.TopicID = project.IDFromListText(topicText, numberStyle);
    fields.Window = FromQString(comboWindow_->currentText());
    fields.File = FromQString(editFile_->text());
    fields.Macro = FromQString(editMacro_->text());
    const std::string chosenTitle =
        fields.Kind == TSHGHotspotKind::Macro
            ? std::string()
            : helpproject::TBrindlewovenProject::TitleFromListText(topicText, numberStyle);
    h.Name = StoredHotspotName(FromQString(editName_->text()), oldTitle, chosenTitle);
    StoreHotspotFields(h, fields);
    tab->Canvas.Select(tab->Shown);
    tab->Canvas.SetSelectedRect(SpinRect());
    if (tab == Current() && tab->Shown < comboHotspot_->count())
        comboHotspot_->setItemText(tab->Shown, ToQString(h.Name));
}

void TSHGForm::ShowHotspot(int index) {
    TTab* tab = Current();
    const bool any = tab && index >= 0 && index < static_cast<int>(tab->Shg.Hotspots.size());
    for (QWidget* w : std::initializer_list<QWidget*>{
             radioType_[0]->parentWidget(), editName_, checkInvisible_, topicRow_, macroRow_,
             windowRow_, fileRow_, spinLeft_, spinTop_, spinWidth_, spinHeight_})
        w->setEnabled(any);
    panelTab_ = tab;
    if (!tab)
        return;
    tab->Shown = any ? index : -1;
    tab->Canvas.Select(tab->Shown);
    {
        const QSignalBlocker block(comboHotspot_);
        comboHotspot_->setCurrentIndex(tab->Shown);
    }
    if (any) {
        const auto& h = tab->Shg.Hotspots[index];
        const THotspotFields fields = LoadHotspotFields(h);
        radioType_[static_cast<int>(fields.Kind)]->setChecked(true);
        editName_->setText(ToQString(h.Name));
        checkInvisible_->setChecked(fields.Invisible);
        if (picker_) {
            picker_->SetText(
                context_.Project().ListTextFromID(fields.TopicID, picker_->NumberStyle()));
            topicBox_->Refill();
        } else {
            topicBox_->Combo()->setEditText(ToQString(fields.TopicID));
        }
        editMacro_->setText(ToQString(fields.Macro));
        comboWindow_->setEditText(ToQString(fields.Window));
        editFile_->setText(ToQString(fields.File));
        ShowRect(h);
    }
    RadioTypeClick();
    picture_->update();
    EnableCommands();
}

TCanvasRect TSHGForm::SpinRect() const {
    return {spinLeft_->value(), spinTop_->value(), spinWidth_->value(), spinHeight_->value()};
}

void TSHGForm::ShowRect(const helpproject::TBrindlewovenHotspot& hotspot) {
    guard_ = true;
    spinLeft_->setValue(hotspot.Left);
    spinTop_->setValue(hotspot.Top);
    spinWidth_->setValue(hotspot.Width);
    spinHeight_->setValue(hotspot.Height);
    guard_ = false;
}

void TSHGForm::ComboHotspotChange(int index) {
    StorePanel();
    ShowHotspot(index);
}

void TSHGForm::RadioTypeClick() {
    const bool macro = radioType_[2]->isChecked();
    macroRow_->setVisible(macro);
    topicRow_->setVisible(!macro);
    windowRow_->setVisible(!macro);
    fileRow_->setVisible(!macro);
}

void TSHGForm::SpinChange() {
    TTab* tab = Current();
    if (guard_ || !tab || tab->Shown < 0)
        return;
    tab->Canvas.Select(tab->Shown);
    tab->Canvas.SetSelectedRect(SpinRect());
    picture_->update();
}

void TSHGForm::PictureSelectionChanged() {
    TTab* tab = Current();
    if (!tab)
        return;
    const int selected = tab->Canvas.Selected();
    // The panel belongs to the hotspot shown before the click.
    tab->Canvas.Select(tab->Shown);
    StorePanel();
    tab->Canvas.Select(selected);
    // A click beside the hotspots leaves the panel empty while drawing.
    ShowHotspot(selected);
}

void TSHGForm::PictureEdited(TCanvasResult result) {
    TTab* tab = Current();
    if (!tab)
        return;
    if (result == TCanvasResult::Created) {
        FillComboHotspot();
        ShowHotspot(tab->Canvas.Selected());
        return;
    }
    ShowRect(tab->Shg.Hotspots[tab->Canvas.Selected()]);
}

void TSHGForm::BtnAddClick() {
    TTab* tab = Current();
    if (!tab)
        return;
    StorePanel();
    tab->Canvas.AddHotspot();
    FillComboHotspot();
    ShowHotspot(tab->Canvas.Selected());
}

void TSHGForm::BtnDelClick() {
    TTab* tab = Current();
    if (!tab || tab->Shown < 0)
        return;
    tab->Canvas.Select(tab->Shown);
    const int next = tab->Canvas.DeleteSelected();
    tab->Shown = -1;
    FillComboHotspot();
    ShowHotspot(next);
}

void TSHGForm::BtnPrevClick() {
    TTab* tab = Current();
    if (!tab || tab->Shg.Hotspots.empty())
        return;
    StorePanel();
    ShowHotspot(tab->Canvas.Previous());
}

void TSHGForm::BtnNextClick() {
    TTab* tab = Current();
    if (!tab || tab->Shg.Hotspots.empty())
        return;
    StorePanel();
    ShowHotspot(tab->Canvas.Next());
}

void TSHGForm::SortClick() {
    TTab* tab = Current();
    if (!tab || tab->Shg.Hotspots.empty())
        return;
    StorePanel();
    std::vector<std::string> names;
    for (const auto& h : tab->Shg.Hotspots)
        names.push_back(h.Name);
    TSHGSortForm dialog(&context_.Registry(), this);
    const auto order = dialog.Execute(names);
    if (!order || order->size() != tab->Shg.Hotspots.size())
        return;
    const int selected = tab->Canvas.Selected();
    std::vector<helpproject::TBrindlewovenHotspot> sorted;
    sorted.reserve(order->size());
    int newSelected = -1;
    for (int place : *order) {
        if (place < 0 || place >= static_cast<int>(tab->Shg.Hotspots.size()))
            return;
        if (place == selected)
            newSelected = static_cast<int>(sorted.size());
        sorted.push_back(tab->Shg.Hotspots[place]);
    }
    tab->Shg.Hotspots = std::move(sorted);
    tab->Shown = -1;
    FillComboHotspot();
    ShowHotspot(newSelected >= 0 ? newSelected : 0);
    picture_->update();
}

void TSHGForm::FileBtnClick() {
    TFileDialogSpec spec;
    spec.Title = "Pick the help file to link to";
    spec.Filter = "Help files (*.hlp)|*.hlp|All files|*.*";
    spec.MustExist = true;
    const std::string path = ChooseFile(spec, false);
    if (!path.empty())
        editFile_->setText(ToQString(FileNameOnly(path)));
}

void TSHGForm::MacroBtnClick() {
    macroOpener_->Edit(*editMacro_);
}

void TSHGForm::EnableCommands() {
    TTab* tab = Current();
    const bool open = tab != nullptr;
    const int count = open ? static_cast<int>(tab->Shg.Hotspots.size()) : 0;
    for (QAction* a : {itemSave_, itemSaveAs_, itemClose_, itemCopy_, itemNewHotspot_, itemZoomIn_,
                       itemZoomOut_})
        a->setEnabled(open);
    itemDelete_->setEnabled(count > 0);
    itemNext_->setEnabled(count > 1);
    itemPrevious_->setEnabled(count > 1);
    itemSort_->setEnabled(count > 0);
    btnAdd_->setEnabled(open);
    btnDel_->setEnabled(count > 0);
    btnNext_->setEnabled(count > 1);
    btnPrev_->setEnabled(count > 1);
    comboHotspot_->setEnabled(count > 0);
}

// ---- activation ------------------------------------------------------------------

void TSHGForm::RefreshProjectLists() {
    const bool numberStyle = picker_ && picker_->NumberStyle();
    const std::string text = FromQString(topicBox_->Combo()->currentText());
    picker_ = std::make_unique<TTopicPicker>(context_.Project());
    picker_->SetNumberStyleKeepingID(numberStyle);
    picker_->SetText(text);
    TTopicPicker* picker = picker_.get();
    topicBox_->Bind(*picker_, [picker](bool down) { picker->SetNumberStyleKeepingID(down); });
    const QString window = comboWindow_->currentText();
    comboWindow_->clear();
    comboWindow_->addItem(QString());
    for (const std::string& name : TContentsEditorModel::WindowNames(context_.Project()))
        comboWindow_->addItem(ToQString(name));
    comboWindow_->setEditText(window);
}

void TSHGForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RefreshProjectLists();
    QMainWindow::changeEvent(event);
}

void TSHGForm::closeEvent(QCloseEvent* event) {
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool TSHGForm::CloseQuery() {
    StorePanel();
    // Nothing is dropped until every changed picture has its answer: a
    // Cancel at the last one keeps them all.
    std::vector<const TTab*> dropped;
    for (int i = 0; i < TabCount(); ++i) {
        if (!tabs_[i]->Canvas.Modified())
            continue;
        const int answer = AskSaveTab(i);
        if (answer == components::mrCancel)
            return false;
        if (answer == components::mrNo)
            dropped.push_back(tabs_[i].get());
    }
    for (const TTab* tab : dropped)
        for (int i = 0; i < TabCount(); ++i)
            if (tabs_[i].get() == tab) {
                RemoveTab(i);
                break;
            }
    return true;
}

int TSHGForm::AskSaveTab(int index) {
    if (index < 0 || index >= TabCount() || !tabs_[index]->Canvas.Modified())
        return components::mrNo;
    // The picture asked about is the one shown.
    if (index != CurrentTab())
        tabBar_->setCurrentIndex(index);
    components::TQuestion question = SaveChangesPrompt(FromQString(tabBar_->tabText(index)));
    switch (context_.Messenger().Ask(question)) {
    case components::mrYes:
        return SaveClick() ? components::mrYes : components::mrCancel;
    case components::mrNo:
        return components::mrNo;
    default:
        return components::mrCancel;
    }
}

// ---- files ------------------------------------------------------------------------

std::string TSHGForm::ChooseFile(const TFileDialogSpec& spec, bool save) {
    if (chooser_)
        return chooser_(spec);
    QFileDialog dialog(this, ToQString(spec.Title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QtFilter(spec.Filter));
    const QStringList filters = dialog.nameFilters();
    // The format control: the filter of the current file's kind, or the last.
    QString initial = filters.value(save ? 0 : filters.size() - 1);
    if (!spec.FileName.empty()) {
        const QString ext = "*." + QFileInfo(ToQString(spec.FileName)).suffix().toLower();
        for (const QString& f : filters)
            if (f.contains(ext) && !f.contains(';') && !f.contains(' ' + ext + ' '))
                initial = f;
        dialog.selectFile(ToQString(spec.FileName));
    }
    dialog.selectNameFilter(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::string();
    QString path = dialog.selectedFiles().first();
    if (save && QFileInfo(path).suffix().isEmpty()) {
        const QString filter = dialog.selectedNameFilter();
        const int star = filter.indexOf("*.");
        if (star >= 0)
            path += filter.mid(star + 1, 4);
    }
    return FromQString(QDir::toNativeSeparators(path));
}

bool TSHGForm::OpenFile(const std::string& fileName, bool fromNew) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool done = false;
    context_.Run([&] {
        StorePanel();
        auto tab = std::make_unique<TTab>();
        if (IsSHGFileName(fileName)) {
            // The reader shows and closes the gauge.
            tab->Shg.LoadFromFile(fileName, true, &context_.Messenger());
        } else {
            helpproject::TBitmap bitmap = LoadPlainPicture(fileName);
            if (!fromNew && Current()) {
                QApplication::restoreOverrideCursor();
                components::TQuestion q;
                q.Caption = "Open bitmap";
                q.Text = "You are about to open a regular bitmap (i.e. one without hotspots).\n\n"
                         "Do you wish to replace the bitmap in the current SHG file you want to "
                         "open\nor do you wish to create a new SHG file with that bitmap?";
                q.Buttons = {Button("&Replace", components::mrYes, true),
                             Button("&New SHG", components::mrNo),
                             Button("&Don't load bitmap", components::mrCancel, false, true)};
                const int answer = context_.Messenger().Ask(q);
                if (answer == components::mrYes) {
                    ReplaceCurrentPicture(std::move(bitmap));
                    done = true;
                }
                QApplication::setOverrideCursor(Qt::WaitCursor);
                if (answer != components::mrNo)
                    return;
            }
            tab->Shg.Bitmap = std::move(bitmap);
            tab->Shg.FileName = platform::ChangeFileExt(fileName, ".shg");
            tab->NameProposed = true;
        }
        AddTab(std::move(tab));
        reopen_->AddFile(ToQString(fileName));
        done = true;
    });
    QApplication::restoreOverrideCursor();
    return done;
}

void TSHGForm::ReplaceCurrentPicture(helpproject::TBitmap bitmap) {
    TTab* tab = Current();
    StorePanel();
    const int moved = tab->Canvas.ReplacePicture(std::move(bitmap));
    tab->Image = SHGImage(tab->Shg.Bitmap);
    // The panel still shows the places before the move: it is filled again
    // from the hotspots, not stored into them.
    panelTab_ = nullptr;
    TabsChange(CurrentTab());
    if (moved > 0)
        context_.Messenger().ShowMessage(
            components::TMessageKind::Information, "SHG Editor",
            moved == 1 ? std::string("1 hotspot reached beyond the new picture and was moved "
                                     "into it.")
                       : std::to_string(moved) +
                             " hotspots reached beyond the new picture and were moved into it.");
}

void TSHGForm::NewClick() {
    TFileDialogSpec spec;
    spec.Title = "Load Bitmap to create new SHG with";
    spec.Filter = "Windows Bitmap (*.bmp)|*.bmp|GIF files (*.gif)|*.gif|PNG files "
                  "(*.png)|*.png|All bitmaps|*.bmp;*.gif;*.png";
    spec.MustExist = true;
    const std::string path = ChooseFile(spec, false);
    if (!path.empty())
        OpenFile(path, true);
}

void TSHGForm::OpenClick() {
    TFileDialogSpec spec;
    spec.Title = "Load Segmented HyperGraphic (hotspot bitmap)";
    spec.Filter = "Segmented HyperGraphic (*.shg)|*.shg|Windows Bitmap (*.bmp)|*.bmp|GIF files "
                  "(*.gif)|*.gif|PNG files (*.png)|*.png|All bitmaps|*.shg;*.bmp;*.gif;*.png";
    spec.MustExist = true;
    const std::string path = ChooseFile(spec, false);
    if (!path.empty())
        OpenFile(path);
}

bool TSHGForm::SaveClick() {
    TTab* tab = Current();
    if (!tab)
        return false;
    if (tab->Shg.FileName.empty() || !IsSHGFileName(tab->Shg.FileName))
        return SaveAsClick();
    std::error_code missing;
    if (tab->NameProposed &&
        std::filesystem::exists(std::filesystem::path(tab->Shg.FileName), missing)) {
        // The picture's name with ".shg" may be a hotspot bitmap made
        // before: it is replaced only when the author says so.
        components::TQuestion q;
        q.Kind = components::TMessageKind::Warning;
        q.Caption = "Save Segmented HyperGraphic";
        q.Text = "\"" + FileNameOnly(tab->Shg.FileName) +
                 "\" already exists.\rDo you want to replace it?";
        q.Buttons = {Button("&Yes", components::mrYes),
                     Button("&No", components::mrNo, true, true)};
        if (context_.Messenger().Ask(q) != components::mrYes)
            return SaveAsClick();
    }
    StorePanel();
    return context_.Run([&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            tab->Shg.SaveToFile(tab->Shg.FileName, true, &context_.Messenger());
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        tab->Canvas.MarkSaved();
        tab->NameProposed = false;
    });
}

bool TSHGForm::SaveAsClick() {
    TTab* tab = Current();
    if (!tab)
        return false;
    TFileDialogSpec spec;
    spec.Title = "Save Segmented HyperGraphic";
    spec.Filter = "Save as Segmented HyperGraphics (*.shg)|*.shg|Export to Windows Bitmap "
                  "(*.bmp)|*.bmp|Export to GIF (*.gif)|*.gif|Export to PNG (*.png)|*.png";
    spec.DefaultExtension = "shg";
    spec.FileName = tab->Shg.FileName;
    spec.ConfirmOverwrite = true;
    const std::string path = ChooseFile(spec, true);
    return !path.empty() && SaveAs(path);
}

bool TSHGForm::SaveAs(const std::string& fileName) {
    TTab* tab = Current();
    if (!tab)
        return false;
    StorePanel();
    const std::string ext = platform::AnsiLowerCase(platform::ExtractFileExt(fileName));
    return context_.Run([&] {
        components::IMessenger& messenger = context_.Messenger();
        if (ext == ".bmp" || ext == ".gif" || ext == ".png") {
            const char* into = ext == ".bmp"   ? "into a regular Windows BMP file."
                               : ext == ".gif" ? "into a GIF file."
                                               : "into a PNG file.";
            components::TQuestion q;
            q.Caption = ext == ".bmp"   ? "Save bitmap into BMP file"
                        : ext == ".gif" ? "Save bitmap into GIF file"
                                        : "Save bitmap into PNG file";
            q.Text = std::string("You are about to save the bitmap ") + into +
                     "\nThis file will NOT include the hotspots, just the bitmap.\nIs this OK?";
            q.Buttons = {Button("&Yes: save bitmap only", components::mrYes),
                         Button("&No: don't save", components::mrNo, true, true)};
            if (messenger.Ask(q) != components::mrYes)
                throw components::EAbort("");
            ExportPicture(tab->Shg.Bitmap, fileName,
                          ext == ".bmp"   ? TPictureExport::BMP
                          : ext == ".gif" ? TPictureExport::GIF
                                          : TPictureExport::PNG);
        } else {
            components::TQuestion q;
            q.Caption = "Save SHG";
            q.Text = "Do you want to save the SHG with only 16 colors, or with millions of colors "
                     "(true color)?\n\nThe 16 color option creates files that are significantly "
                     "smaller, and can be properly displayed on all computers.\nThe true color "
                     "option will properly preserve all the colors in the bitmap, but WinHelp "
                     "cannot display true color SHGs on low color systems.";
            // Help opens the editor's help and leaves the question open; the
            // close box cancels the save.
            components::TMessageButton help = Button("&Help", components::mrNone);
            help.Action = [this] { emit HelpRequested(kHelpContext); };
            q.Buttons = {Button("16 colors", components::mrNo),
                         Button("True color", components::mrYes, true), help};
            const int answer = messenger.Ask(q);
            if (answer != components::mrYes && answer != components::mrNo)
                throw components::EAbort("");
            const std::uint16_t keep = tab->Shg.BitCount;
            tab->Shg.BitCount = answer == components::mrNo ? 4 : 24;
            try {
                tab->Shg.SaveToFile(fileName, true, &messenger);
            } catch (...) {
                tab->Shg.BitCount = keep;
                throw;
            }
            tab->Canvas.MarkSaved();
            tab->NameProposed = false;
            tabBar_->setTabText(CurrentTab(), ToQString(FileNameOnly(fileName)));
        }
        reopen_->AddFile(ToQString(fileName));
    });
}

void TSHGForm::CloseTabClick() {
    const int index = CurrentTab();
    if (index < 0)
        return;
    StorePanel();
    if (AskSaveTab(index) == components::mrCancel)
        return;
    RemoveTab(index);
}

void TSHGForm::RemoveTab(int index) {
    StorePanel();
    tabs_[index]->Shown = -1;
    picture_->SetCanvas(nullptr, nullptr);
    panelTab_ = nullptr;
    std::unique_ptr<TTab> closing = std::move(tabs_[index]);
    tabs_.erase(tabs_.begin() + index);
    {
        const QSignalBlocker block(tabBar_);
        tabBar_->removeTab(index);
    }
    TabsChange(tabBar_->currentIndex());
}

// ---- clipboard and zoom ------------------------------------------------------------

void TSHGForm::CopyBitmapClick() {
    if (TTab* tab = Current())
        QApplication::clipboard()->setImage(tab->Image);
}

void TSHGForm::PasteBitmapClick() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return;
    context_.Run([&] {
        helpproject::TBitmap bitmap = SHGBitmap(image);
        if (Current()) {
            components::TQuestion q;
            q.Caption = "Paste bitmap";
            q.Text = "You are about to paste a regular bitmap (i.e. one without hotspots) from the "
                     "clipboard.\n\nDo you wish to replace the bitmap in the current SHG file with "
                     "the pasted bitmap\nor do you wish to create a new SHG file with that bitmap?";
            q.Buttons = {Button("&Replace", components::mrYes, true),
                         Button("&New SHG", components::mrNo),
                         Button("&Don't paste bitmap", components::mrCancel, false, true)};
            const int answer = context_.Messenger().Ask(q);
            if (answer == components::mrCancel)
                return;
            if (answer == components::mrYes) {
                ReplaceCurrentPicture(std::move(bitmap));
                return;
            }
        }
        auto tab = std::make_unique<TTab>();
        tab->Shg.Bitmap = std::move(bitmap);
        AddTab(std::move(tab), true);
    });
}

void TSHGForm::ZoomInClick() {
    if (TTab* tab = Current(); tab && tab->Canvas.ZoomIn())
        ZoomChanged();
}

void TSHGForm::ZoomOutClick() {
    if (TTab* tab = Current(); tab && tab->Canvas.ZoomOut())
        ZoomChanged();
}

void TSHGForm::ZoomChanged() {
    picture_->UpdateSize();
}

} // namespace editor::ui
