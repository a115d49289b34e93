#include "unitparser/ui/parserform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "unitparser/ui/parserlistbox.h"

namespace unitparser::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

constexpr const char* kHelpProperty = "HelpContext";
constexpr const char* kParsingText = "Parsing unit...";
constexpr const char* kBitmapTitle = "Add a bitmap to component topic";
constexpr const char* kBitmapFilter = "Bitmaps (*.bmp);;All files (*)";
constexpr int kBitmapSize = 24;

// List ids: the three member lists by their kind, the declaration lists
// after them.
constexpr int kFirstDeclListId = 10;

constexpr TMemberKind kMemberKinds[] = {TMemberKind::Property, TMemberKind::Method,
                                        TMemberKind::Event};
constexpr TDeclListKind kDeclKinds[] = {TDeclListKind::Types, TDeclListKind::Routines,
                                        TDeclListKind::Constants, TDeclListKind::Variables};

std::size_t MemberSlot(TMemberKind list) {
    return static_cast<std::size_t>(list);
}

std::size_t DeclSlot(TDeclListKind list) {
    return static_cast<std::size_t>(list);
}

int DeclListId(TDeclListKind list) {
    return kFirstDeclListId + static_cast<int>(list);
}

bool IsMemberListId(int id) {
    return id >= 0 && id < 3;
}

void SetHelpContext(QWidget* widget, int context) {
    widget->setProperty(kHelpProperty, context);
}

// The bitmap button's picture while the class has none of its own: a
// component block with a small plug.
QPixmap MakeDefaultBitmap() {
    QPixmap pixmap(kBitmapSize, kBitmapSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(3, 5, 17, 14);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRect(7, 9, 5, 5);
    painter.setBrush(QColor(128, 0, 0));
    painter.drawRect(20, 10, 3, 4);
    return pixmap;
}

QCheckBox* MakeCheck(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(TParserForm::tr(caption), parent);
    box->setObjectName(name);
    return box;
}

} // namespace

TParserForm::TParserForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ParserForm");
    setWindowTitle(TParserDialogModel::kFormCaption);
    SetHelpContext(this, kHelpContext);
    // A sizeable border: the member lists grow with the window.
    setSizeGripEnabled(true);
    setMinimumSize(400, 320);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl");
    pages_->addTab(BuildClassesPage(), tr("Classes"));
    pages_->addTab(
        BuildDeclPage(
            TDeclListKind::Types, "SheetTypes", "Type declarations found:", "ListTypes",
            "GroupTypeSelected",
            {{TEntryOption::Include, {"CheckTypeInclude", "&Include type in the help file"}},
             {TEntryOption::SeeAlso, {"CheckTypeSeeAlso", "Add \"&See also\""}}}),
        tr("Types"));
    pages_->addTab(
        BuildDeclPage(
            TDeclListKind::Routines, "SheetRoutines",
            "Procedures and functions found:", "ListRoutines", "GroupRoutineSelected",
            {{TEntryOption::Include, {"CheckRoutineInclude", "&Include routine in the help file"}},
             {TEntryOption::SeeAlso, {"CheckRoutineSeeAlso", "Add \"&See also\""}},
             {TEntryOption::Example, {"CheckRoutineExample", "Add \"&Example\""}}}),
        tr("Routines"));
    pages_->addTab(
        BuildDeclPage(
            TDeclListKind::Constants, "SheetConsts", "Constant declarations found:", "ListConsts",
            "GroupConstSelected",
            {{TEntryOption::Mention, {"CheckConstMention", "&Mention in unit's help topic"}},
             {TEntryOption::Include, {"CheckConstInclude", "&Create own help topic"}},
             {TEntryOption::SeeAlso, {"CheckConstSeeAlso", "Add \"&See also\""}}}),
        tr("Constants"));
    pages_->addTab(
        BuildDeclPage(
            TDeclListKind::Variables, "SheetVars", "Variables found:", "ListVars",
            "GroupVarSelected",
            {{TEntryOption::Mention, {"CheckVarMention", "&Mention in unit's help topic"}},
             {TEntryOption::Include, {"CheckVarInclude", "&Create own help topic"}},
             {TEntryOption::SeeAlso, {"CheckVarSeeAlso", "Add \"&See also\""}}}),
        tr("Variables"));

    checkComment_ = MakeCheck("CheckComment", "Use comments as descriptions", this);
    checkComment_->setChecked(model_.UseComments);
    SetHelpContext(checkComment_, kHelpComment);
    connect(checkComment_, &QCheckBox::clicked, this, [this](bool on) { model_.UseComments = on; });

    okBtn_ = new QPushButton(tr("OK"), this);
    okBtn_->setObjectName("OkBtn");
    okBtn_->setDefault(true);
    cancelBtn_ = new QPushButton(tr("Cancel"), this);
    cancelBtn_->setObjectName("CancelBtn");
    helpBtn_ = new QPushButton(tr("Help"), this);
    helpBtn_->setObjectName("HelpBtn");
    connect(okBtn_, &QPushButton::clicked, this, &TParserForm::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
    // The button stands on the form, below the pages: the form's topic.
    connect(helpBtn_, &QPushButton::clicked, this,
            [this] { emit HelpRequested(HelpContextOf(helpBtn_)); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(checkComment_);
    bottom->addStretch(1);
    for (QPushButton* button : {okBtn_, cancelBtn_, helpBtn_})
        bottom->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(bottom);

    PickBitmap = [this](const QString& title, const QString& filter, const QString& start) {
        QFileDialog dialog(this, title, start, filter);
        dialog.setDefaultSuffix("bmp");
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().front();
    };
    resize(720, 560);
    ShowModel();
}

TParserForm::~TParserForm() = default;

TParserListBox* TParserForm::MakeList(int listId, const char* name) {
    auto* list = new TParserListBox(listId, this);
    list->setObjectName(name);
    connect(list, &TParserListBox::EntryDropped, this, &TParserForm::EntryDropped);
    return list;
}

QWidget* TParserForm::BuildClassesPage() {
    sheetObjects_ = new QWidget(this);
    sheetObjects_->setObjectName("SheetObjects");
    SetHelpContext(sheetObjects_, kHelpClasses);

    tabObjects_ = new QTabBar(sheetObjects_);
    tabObjects_->setObjectName("TabObjects");
    tabObjects_->setExpanding(false);
    tabObjects_->setUsesScrollButtons(true);
    connect(tabObjects_, &QTabBar::currentChanged, this, &TParserForm::TabObjectsChange);

    // The member lists are placed by FormResize, not by a layout.
    membersPanel_ = new QWidget(sheetObjects_);
    membersPanel_->setObjectName("MembersPanel");
    membersPanel_->setMinimumWidth(160);
    const char* labels[] = {"Properties:", "Methods:", "Events:"};
    const char* names[] = {"ListObjProperties", "ListObjMethods", "ListObjEvents"};
    for (TMemberKind kind : kMemberKinds) {
        const std::size_t slot = MemberSlot(kind);
        memberLabels_[slot] = new QLabel(tr(labels[slot]), membersPanel_);
        TParserListBox* list = MakeList(static_cast<int>(slot), names[slot]);
        list->setParent(membersPanel_);
        SetHelpContext(list, kHelpMembers);
        // Methods stay in their list; properties and events swap.
        list->AcceptsFrom = [kind](int sourceId) {
            return IsMemberListId(sourceId) &&
                   TParserDialogModel::CanDropMember(static_cast<TMemberKind>(sourceId), kind);
        };
        connect(list, &QListWidget::currentRowChanged, this,
                [this, kind](int row) { ListObjClick(kind, row); });
        memberLists_[slot] = list;
    }
    membersPanel_->installEventFilter(this);

    groupObject_ = new QGroupBox(sheetObjects_);
    groupObject_->setObjectName("GroupObject");
    radioGroupObjectType_ = new QGroupBox(tr(" Kind of class "), groupObject_);
    radioGroupObjectType_->setObjectName("RadioGroupObjectType");
    objectTypeButtons_ = new QButtonGroup(radioGroupObjectType_);
    auto* radios = new QGridLayout(radioGroupObjectType_);
    const char* kinds[] = {"Exception", "Class", "Interface", "Component", "Form"};
    for (int i = 0; i < 5; ++i) {
        auto* radio = new QRadioButton(tr(kinds[i]), radioGroupObjectType_);
        objectTypeButtons_->addButton(radio, i);
        radios->addWidget(radio, i / 3, i % 3);
    }
    connect(objectTypeButtons_, &QButtonGroup::idClicked, this,
            &TParserForm::RadioGroupObjectTypeClick);

    checkObjInclude_ = MakeCheck("CheckObjInclude", "Include class in the help file", groupObject_);
    checkObjSeeAlso_ =
        MakeCheck("CheckObjSeeAlso", "Add \"See also\" to the class topic", groupObject_);
    checkObjTasks_ = MakeCheck("CheckObjTasks", "Add \"Tasks\" topic for this class", groupObject_);
    for (QCheckBox* box : {checkObjInclude_, checkObjSeeAlso_, checkObjTasks_})
        connect(box, &QCheckBox::clicked, this, [this, box] { CheckObjClick(box); });

    defaultBitmap_ = MakeDefaultBitmap();
    imageDefault_ = new QLabel(groupObject_);
    imageDefault_->setObjectName("ImageDefault");
    imageDefault_->setPixmap(defaultBitmap_);
    imageDefault_->hide();
    btnObjBitmap_ = new QPushButton(groupObject_);
    btnObjBitmap_->setObjectName("BtnObjBitmap");
    btnObjBitmap_->setIconSize(QSize(kBitmapSize, kBitmapSize));
    btnObjBitmap_->setAutoDefault(false);
    btnObjBitmapClear_ = new QPushButton(tr("Clear"), groupObject_);
    btnObjBitmapClear_->setObjectName("BtnObjBitmapClear");
    btnObjBitmapClear_->setAutoDefault(false);
    connect(btnObjBitmap_, &QPushButton::clicked, this, &TParserForm::BtnObjBitmapClick);
    connect(btnObjBitmapClear_, &QPushButton::clicked, this, &TParserForm::BtnObjBitmapClearClick);

    // The kind at the left, the three options beside it, the bitmap at the
    // right.
    auto* options = new QVBoxLayout;
    options->addWidget(checkObjInclude_);
    options->addWidget(checkObjSeeAlso_);
    options->addWidget(checkObjTasks_);
    options->addStretch(1);
    auto* bitmapColumn = new QVBoxLayout;
    bitmapColumn->addWidget(btnObjBitmap_, 0, Qt::AlignHCenter);
    bitmapColumn->addWidget(btnObjBitmapClear_);
    bitmapColumn->addStretch(1);
    auto* objectLayout = new QHBoxLayout(groupObject_);
    objectLayout->addWidget(radioGroupObjectType_);
    objectLayout->addLayout(options, 1);
    objectLayout->addLayout(bitmapColumn);

    groupObjSelected_ = new QGroupBox(TParserDialogModel::kNoSelection, sheetObjects_);
    groupObjSelected_->setObjectName("GroupObjSelected");
    SetHelpContext(groupObjSelected_, kHelpMembers);
    const std::pair<TEntryOption, std::pair<const char*, const char*>> checks[] = {
        {TEntryOption::Include, {"CheckObjSelInclude", "&Include this member in the help file"}},
        {TEntryOption::SeeAlso, {"CheckObjSelSeeAlso", "Add \"See &also\""}},
        {TEntryOption::Example, {"CheckObjSelExample", "Add \"&Example\""}},
        {TEntryOption::Key, {"CheckObjSelKey", "&Key member of this class"}},
        {TEntryOption::Mention, {"CheckObjSelMention", "&Mention member in the class topic"}},
    };
    auto* selectedLayout = new QVBoxLayout(groupObjSelected_);
    for (const auto& [option, names] : checks) {
        QCheckBox* box = MakeCheck(names.first, names.second, groupObjSelected_);
        connect(box, &QCheckBox::clicked, this,
                [this, option = option](bool on) { CheckObjSelClick(option, on); });
        selectedLayout->addWidget(box);
        memberChecks_[option] = box;
    }
    groupObjSelected_->installEventFilter(this);

    // The member lists reach down to the bottom of the selected member's
    // group, which sits at the foot of the page beside them.
    auto* selectedColumn = new QVBoxLayout;
    selectedColumn->addStretch(1);
    selectedColumn->addWidget(groupObjSelected_);
    auto* row = new QHBoxLayout;
    row->addWidget(membersPanel_, 1);
    row->addLayout(selectedColumn);
    auto* layout = new QVBoxLayout(sheetObjects_);
    layout->addWidget(tabObjects_);
    layout->addWidget(groupObject_);
    layout->addLayout(row, 1);
    return sheetObjects_;
}

QWidget* TParserForm::BuildDeclPage(
    TDeclListKind list, const char* sheetName, const char* label, const char* listName,
    const char* groupName,
    const std::map<TEntryOption, std::pair<const char*, const char*>>& checks) {
    TDeclPage& page = declPages_[DeclSlot(list)];
    page.sheet = new QWidget(this);
    page.sheet->setObjectName(sheetName);
    SetHelpContext(page.sheet, kHelpDeclarations);
    page.list = MakeList(DeclListId(list), listName);
    const int id = DeclListId(list);
    page.list->AcceptsFrom = [id](int sourceId) { return sourceId == id; };
    connect(page.list, &QListWidget::currentRowChanged, this,
            [this, list](int row) { ListDeclClick(list, row); });
    page.group = new QGroupBox(TParserDialogModel::kNoSelection, page.sheet);
    page.group->setObjectName(groupName);
    auto* groupLayout = new QHBoxLayout(page.group);
    // In the order the page shows them: mention, include, see also, example.
    for (TEntryOption option : TParserDialogModel::DeclOptions(list)) {
        const auto& names = checks.at(option);
        QCheckBox* box = MakeCheck(names.first, names.second, page.group);
        connect(box, &QCheckBox::clicked, this,
                [this, list, option](bool on) { CheckDeclClick(list, option, on); });
        groupLayout->addWidget(box);
        page.checks[option] = box;
    }
    groupLayout->addStretch(1);
    auto* layout = new QVBoxLayout(page.sheet);
    auto* caption = new QLabel(tr(label), page.sheet);
    caption->setBuddy(page.list);
    layout->addWidget(caption);
    layout->addWidget(page.list, 1);
    layout->addWidget(page.group);
    return page.sheet;
}

int TParserForm::ParsePascalUnit(const std::string& fileName, std::int32_t first,
                                 TParsedTopicSink& sink, components::IMessenger& messenger) {
    msgError_ = &messenger;
    auto status = [this](const std::string& text) {
        if (StatusText)
            StatusText(text);
    };
    struct TAfterRun {
        TParserForm& form;
        std::function<void(const std::string&)> status;
        // The dialog lets go of the unit: nothing of it shows next time.
        ~TAfterRun() {
            status(std::string());
            form.ShowModel();
        }
    } afterRun{*this, status};
    status(kParsingText);
    return model_.ParsePascalUnit(
        fileName, first, sink,
        [this, &status] {
            status(std::string());
            ShowModel();
            return exec() == QDialog::Accepted;
        },
        &messenger);
}

void TParserForm::ShowModel() {
    updating_ = true;
    setWindowTitle(ToQString(model_.Caption()));
    while (tabObjects_->count() > 0)
        tabObjects_->removeTab(0);
    for (const std::string& name : model_.TabNames())
        tabObjects_->addTab(ToQString(name));
    tabObjects_->setCurrentIndex(model_.CurrentTab());
    // A tab bar filled while the dialog is hidden does not tell the layout
    // that it now needs room: without this it keeps the height it had with
    // no tabs, none, and the classes cannot be told apart.
    tabObjects_->updateGeometry();
    const TParserPage pageOrder[] = {TParserPage::Classes, TParserPage::Types,
                                     TParserPage::Routines, TParserPage::Constants,
                                     TParserPage::Variables};
    for (int i = 0; i < 5; ++i)
        pages_->setTabVisible(i, model_.PageVisible(pageOrder[i]));
    pages_->setCurrentIndex(static_cast<int>(model_.FirstVisiblePage()));
    checkComment_->setChecked(model_.UseComments);
    updating_ = false;
    ShowClass();
    for (TDeclListKind list : kDeclKinds)
        ShowDeclPage(list);
}

QWidget* TParserForm::Sheet(TParserPage page) const {
    if (page == TParserPage::Classes)
        return sheetObjects_;
    return declPages_[static_cast<std::size_t>(page) - 1].sheet;
}

TParserListBox* TParserForm::MemberList(TMemberKind list) const {
    return memberLists_[MemberSlot(list)];
}

QLabel* TParserForm::MemberLabel(TMemberKind list) const {
    return memberLabels_[MemberSlot(list)];
}

QCheckBox* TParserForm::MemberCheck(TEntryOption option) const {
    return memberChecks_.at(option);
}

TParserListBox* TParserForm::DeclList(TDeclListKind list) const {
    return declPages_[DeclSlot(list)].list;
}

QGroupBox* TParserForm::DeclGroup(TDeclListKind list) const {
    return declPages_[DeclSlot(list)].group;
}

QCheckBox* TParserForm::DeclCheck(TDeclListKind list, TEntryOption option) const {
    const auto& checks = declPages_[DeclSlot(list)].checks;
    const auto found = checks.find(option);
    return found == checks.end() ? nullptr : found->second;
}

int TParserForm::HelpContextOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant context = widget->property(kHelpProperty);
        if (context.isValid() && context.toInt() != 0)
            return context.toInt();
    }
    return kHelpContext;
}

void TParserForm::accept() {
    // OK keeps what the shown class's controls hold, tab changed or not.
    model_.Accept();
    QDialog::accept();
}

// ---- Classes page ---------------------------------------------------------------

void TParserForm::TabObjectsChange(int index) {
    if (updating_)
        return;
    model_.ChangeTab(index);
    ShowClass();
}

void TParserForm::ShowClass() {
    updating_ = true;
    groupObject_->setTitle(ToQString(model_.ObjectCaption()));
    if (QAbstractButton* radio = objectTypeButtons_->button(static_cast<int>(model_.Kind())))
        radio->setChecked(model_.CurrentTab() >= 0);
    checkObjInclude_->setChecked(model_.ObjInclude());
    checkObjSeeAlso_->setChecked(model_.ObjSeeAlso());
    checkObjTasks_->setChecked(model_.ObjTasks());
    for (TMemberKind kind : kMemberKinds)
        MemberList(kind)->SetItems(model_.MemberItems(kind), -1);
    checkObjInclude_->setEnabled(model_.CurrentTab() >= 0);
    updating_ = false;
    ShowClassEnabling();
    ShowBitmap();
    ShowSelectedMember();
}

void TParserForm::ShowClassEnabling() {
    // "Include class" carries the kind, the other two check boxes, the
    // bitmap buttons, the member lists and the selected member's group.
    const bool enabled = model_.ClassControlsEnabled();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{radioGroupObjectType_, checkObjSeeAlso_, checkObjTasks_,
                                         btnObjBitmap_, btnObjBitmapClear_, groupObjSelected_})
        widget->setEnabled(enabled);
    for (TParserListBox* list : memberLists_)
        list->setEnabled(enabled);
}

void TParserForm::ShowBitmap() {
    QPixmap glyph;
    const std::string file = model_.BitmapFile();
    if (!file.empty())
        glyph.load(ToQString(file));
    btnObjBitmap_->setIcon(QIcon(glyph.isNull() ? defaultBitmap_ : glyph));
    btnObjBitmap_->setToolTip(ToQString(file));
}

void TParserForm::ShowSelectedMember() {
    updating_ = true;
    groupObjSelected_->setTitle(ToQString(model_.SelectedMemberCaption()));
    for (const auto& [option, box] : memberChecks_) {
        const TOptionState state = model_.MemberOption(option);
        box->setChecked(state.checked);
        box->setEnabled(state.enabled);
    }
    for (TMemberKind kind : kMemberKinds) {
        const bool selected = model_.HasSelectedMember() && model_.SelectedMemberList() == kind;
        TParserListBox* list = MemberList(kind);
        if (selected)
            list->setCurrentRow(model_.SelectedMemberIndex());
    }
    updating_ = false;
}

void TParserForm::RadioGroupObjectTypeClick(int kind) {
    model_.SetKind(static_cast<TObjectKind>(kind));
}

void TParserForm::CheckObjClick(QCheckBox* box) {
    const bool on = box->isChecked();
    if (box == checkObjInclude_) {
        model_.SetObjInclude(on);
        ShowClassEnabling();
        ShowSelectedMember();
    } else if (box == checkObjSeeAlso_) {
        model_.SetObjSeeAlso(on);
    } else if (box == checkObjTasks_) {
        model_.SetObjTasks(on);
    }
}

void TParserForm::ListObjClick(TMemberKind list, int row) {
    if (updating_ || row < 0)
        return;
    model_.SelectMember(list, row);
    ShowSelectedMember();
}

void TParserForm::CheckObjSelClick(TEntryOption option, bool on) {
    if (updating_)
        return;
    model_.SetMemberOption(option, on);
    if (model_.HasSelectedMember()) {
        const TMemberKind list = model_.SelectedMemberList();
        const int row = model_.SelectedMemberIndex();
        MemberList(list)->SetItem(row, model_.MemberItems(list)[static_cast<std::size_t>(row)]);
    }
    ShowSelectedMember();
}

void TParserForm::BtnObjBitmapClick() {
    const QString file =
        PickBitmap(tr(kBitmapTitle), tr(kBitmapFilter), ToQString(model_.BitmapFile()));
    if (file.isEmpty())
        return;
    if (!components::ui::FitsAnsi(file)) {
        if (msgError_)
            msgError_->ShowMessage(components::TMessageKind::Error, kBitmapTitle,
                                   "The name of this file holds characters that a help project "
                                   "cannot store: " +
                                       FromQString(file));
        return;
    }
    model_.SetBitmapFile(FromQString(file));
    ShowBitmap();
}

void TParserForm::BtnObjBitmapClearClick() {
    model_.ClearBitmapFile();
    ShowBitmap();
}

void TParserForm::EntryDropped(int sourceId, int row, int targetId, int at) {
    if (IsMemberListId(sourceId) && IsMemberListId(targetId)) {
        const auto source = static_cast<TMemberKind>(sourceId);
        const auto target = static_cast<TMemberKind>(targetId);
        if (!model_.DropMember(source, row, target, at))
            return;
        updating_ = true;
        for (TMemberKind kind : {source, target})
            MemberList(kind)->SetItems(model_.MemberItems(kind), -1);
        updating_ = false;
        ShowSelectedMember();
        return;
    }
    if (sourceId != targetId || sourceId < kFirstDeclListId || sourceId >= kFirstDeclListId + 4)
        return;
    const auto list = static_cast<TDeclListKind>(sourceId - kFirstDeclListId);
    if (model_.MoveDecl(list, row, at))
        ShowDeclPage(list);
}

bool TParserForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == membersPanel_ || watched == groupObjSelected_) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
         event->type() == QEvent::Show))
        FormResize();
    return QDialog::eventFilter(watched, event);
}

void TParserForm::FormResize() {
    const int labelHeight = memberLabels_[0]->sizeHint().height();
    // The bottom of the selected member's group, in the panel's coordinates;
    // the panel's own bottom until the group has been placed.
    int bottom = membersPanel_->height();
    if (groupObjSelected_->isVisible()) {
        const QPoint groupBottom =
            groupObjSelected_->mapTo(sheetObjects_, QPoint(0, groupObjSelected_->height()));
        bottom = std::min(bottom, membersPanel_->mapFrom(sheetObjects_, groupBottom).y());
    }
    const TMemberListGeometry geometry = MemberListGeometry(0, labelHeight, bottom);
    const int width = membersPanel_->width();
    for (std::size_t i = 0; i < 3; ++i) {
        memberLabels_[i]->setGeometry(0, geometry.labelTop[i], width, labelHeight);
        memberLists_[i]->setGeometry(0, geometry.listTop[i], width, geometry.listHeight);
    }
}

// ---- Declaration pages ------------------------------------------------------------

void TParserForm::ShowDeclPage(TDeclListKind list) {
    TDeclPage& page = declPages_[DeclSlot(list)];
    updating_ = true;
    page.list->SetItems(model_.DeclItems(list), model_.SelectedDecl(list));
    page.group->setTitle(ToQString(model_.DeclCaption(list)));
    for (const auto& [option, box] : page.checks) {
        const TOptionState state = model_.DeclOption(list, option);
        box->setChecked(state.checked);
        box->setEnabled(state.enabled);
    }
    updating_ = false;
}

void TParserForm::ListDeclClick(TDeclListKind list, int row) {
    if (updating_ || row < 0)
        return;
    model_.SelectDecl(list, row);
    ShowDeclPage(list);
}

void TParserForm::CheckDeclClick(TDeclListKind list, TEntryOption option, bool on) {
    if (updating_)
        return;
    model_.SetDeclOption(list, option, on);
    ShowDeclPage(list);
}

} // namespace unitparser::ui
