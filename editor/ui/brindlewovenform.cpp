#include "editor/ui/brindlewovenform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDockWidget>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/reopenmenu.h"
#include "components/ui/richeredit.h"
#include "components/ui/richruler.h"
#include "components/ui/saveformsize.h"
#include "editor/commandline.h"
#include "editor/projectcommands.h"
#include "editor/ui/aboutbox.h"
#include "editor/ui/actionicons.h"
#include "editor/ui/barsizing.h"
#include "editor/ui/contentseditorcommands.h"
#include "editor/ui/dialogcommands.h"
#include "editor/ui/dialogs/findform.h"
#include "editor/ui/dockpanels.h"
#include "editor/ui/editorwheel.h"
#include "editor/ui/errorlogpanel.h"
#include "editor/ui/floatingontop.h"
#include "editor/ui/formatbarwidget.h"
#include "editor/ui/helpactions.h"
#include "editor/ui/linklistener.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/mainwindowlayout.h"
#include "editor/ui/markupactions.h"
#include "editor/ui/markupdialogcommands.h"
#include "editor/ui/projectactions.h"
#include "editor/ui/projecteditorsactions.h"
#include "editor/ui/propertybar.h"
#include "editor/ui/richedittexteditor.h"
#include "editor/ui/shgeditorcommands.h"
#include "editor/ui/spellactions.h"
#include "editor/ui/textbar.h"
#include "editor/ui/textcommands.h"
#include "editor/ui/textstylecombo.h"
#include "editor/ui/topicclipboardactions.h"
#include "editor/ui/topicgridmodel.h"
#include "editor/ui/topicgridpanel.h"
#include "editor/ui/topicgridview.h"
#include "editor/ui/topiclistcommands.h"
#include "editor/ui/undomenuwidgets.h"
#include "platform/registry.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

QToolBar* MakeBar(QMainWindow& window, const char* name, const char* title) {
    auto* bar = new QToolBar(title, &window);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    window.addToolBarBreak(Qt::TopToolBarArea);
    window.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

} // namespace

TBrindlewovenForm::TBrindlewovenForm(TEditorContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
    setObjectName("BrindlewovenForm");
    setWindowTitle(tr("Brindlewoven"));
    resize(1180, 760);
    setStatusTip(kProductBanner);
    statusBar()->setObjectName("StatusBar");
    statusBar()->setToolTip(QString(kProductBanner) + "   ---   We love you all!");
    // Docking at once: a drag's end is known at the release.
    setDockOptions(QMainWindow::AllowNestedDocks);
    actions_ = new TMainActions(*menuBar(), *this);
    BuildEditor();
    BuildBars();
    BuildDocks();
    BuildCore();
    BindCommands();
    BuildOnTopStrips();
    ApplyActionIcons(*this);
    for (QToolBar* bar : {projectBar_, topicBar_, propertiesBar_, textBar_, helpToolBar_})
        ShowBarPictures(*bar);

    // A first start keeps both floating panels on top.
    hcErrorOnTop_ = !context_.Registry().KeyExists(platform::RootKey::CurrentUser, kStateKey);
    ApplyWindowState(ReadWindowState(context_.Registry()));
    reopen_->LoadFromRegistry(context_.Registry(), kReopenKey);
    UpdateCaption();
}

TBrindlewovenForm::~TBrindlewovenForm() {
    // The widgets outlive this part of the window: they may tell it nothing
    // more while they go. What they show lives in the context, which
    // outlives them all.
    for (QObject* sender :
         std::initializer_list<QObject*>{panelGrid_, panelHCError_, richEdit_, ruler_, gridModel_,
                                         propertyBar_, reopen_, formatBarWidget_})
        QObject::disconnect(sender, nullptr, this, nullptr);
}

// ---- building -----------------------------------------------------------------------

void TBrindlewovenForm::BuildEditor() {
    auto* panelEdit = new QWidget(this);
    panelEdit->setObjectName("PanelEdit");
    panelEdit->setMinimumWidth(510);
    auto* layout = new QVBoxLayout(panelEdit);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ruler_ = new components::ui::TRichRuler(panelEdit);
    ruler_->setObjectName("Ruler");
    richEdit_ = new components::ui::TRicherEdit(panelEdit);
    richEdit_->setObjectName("RichEdit");
    richEdit_->setMinimumHeight(100);
    layout->addWidget(ruler_);
    layout->addWidget(richEdit_, 1);
    setCentralWidget(panelEdit);
    ruler_->SetRichEdit(richEdit_, [this] { return richEdit_->GetParagraph(); });
    connect(ruler_, &components::ui::TRichRuler::ParagraphEdited, this,
            [this](const rtf::ParaFormat& paragraph, quint32 members) {
                richEdit_->SetParagraph(paragraph, members);
            });
    textEditor_ = std::make_unique<TRichEditTextEditor>(*richEdit_);
    richEdit_->installEventFilter(this);
    new TEditorWheel(*richEdit_);
}

void TBrindlewovenForm::BuildBars() {
    projectBar_ = MakeBar(*this, "ProjectBar", "Project");
    topicBar_ = MakeBar(*this, "TopicBar", "Topic");
    propertiesBar_ = MakeBar(*this, "PropertiesBar", "Properties");
    helpToolBar_ = MakeBar(*this, "HelpToolBar", "Help tools");
    for (const char* name :
         {"ActionProjectNew", "ActionProjectOpen", "ActionProjectSave", "ActionProjectMake"})
        projectBar_->addAction(actions_->Action(name));
    for (const char* name : {"ActionTopicAdd", "ActionTopicDelete", "ActionTopicFootnotes"})
        topicBar_->addAction(actions_->Action(name));
    topicBar_->addSeparator();
    propertyBar_ = new TPropertyBarWidgets(*topicBar_, *propertiesBar_, this);
    for (const char* name : {"ActionHelpToolsLink", "ActionHelpToolsLinkPopup"})
        helpToolBar_->addAction(actions_->Action(name));
    markup_ = new TMarkupActions(context_, *actions_, *helpToolBar_);
    helpToolBar_->addWidget(markup_->ComboLink);
    helpToolBar_->addWidget(markup_->BtnLinkSort);
    helpToolBar_->addAction(actions_->Action("ActionTextFind"));
    QWidget* find = helpToolBar_->widgetForAction(actions_->Action("ActionTextFind"));
    find->setObjectName("BtnFindAndReplace");
    TBarSizing::Stretch(*helpToolBar_, *markup_->ComboLink, *find);
}

void TBrindlewovenForm::BuildDocks() {
    panelGrid_ = new QDockWidget(tr("Topic Grid"), this);
    panelGrid_->setObjectName("PanelGrid");
    panelGrid_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    panelGrid_->setMinimumSize(164, 164);
    addDockWidget(Qt::LeftDockWidgetArea, panelGrid_);

    panelHCError_ = new QDockWidget(tr("Error Log"), this);
    panelHCError_->setObjectName("PanelHCError");
    panelHCError_->setAllowedAreas(Qt::BottomDockWidgetArea);
    panelHCError_->setMinimumHeight(70);
    errorLogPanel_ = new TErrorLogPanel(panelHCError_);
    memoHCError_ = errorLogPanel_->Memo();
    panelHCError_->setWidget(errorLogPanel_);
    addDockWidget(Qt::BottomDockWidgetArea, panelHCError_);
}

void TBrindlewovenForm::BuildCore() {
    TTopicEditor& topics = context_.CreateTopicEditor(*this);
    propertyBar_->SetEditor(&topics);
    propertyBar_->SetRunner([this](const std::function<void()>& command) { Run(command); });
    BuildTextBar();
    gridModel_ = new TTopicGridModel(context_.Grid(), this);
    gridView_ = new TTopicGridView(*gridModel_, panelGrid_);
    gridPanel_ = new TTopicGridPanel(context_, *gridView_, panelGrid_);
    panelGrid_->setWidget(gridPanel_);
    connect(gridView_, &TTopicGridView::EditTopic, this, [this](std::int32_t number) {
        Run([&] { context_.TopicEditor().TitleChosen(number); });
    });
    connect(gridModel_, &TTopicGridModel::CellEdited, this, [this] { PropertyBarChanged(); });
    reopen_ = new components::ui::TReopenMenu(this);
    reopen_->SetMaxItems(10);
    reopen_->SetTexts({tr("Reopen this project"), tr("&Remove All"),
                       tr("Remove all items from the reopen menu"), tr("Remove &Obsolete"),
                       tr("Remove all projects that no longer exist from the reopen menu"),
                       tr("Empty")});
    projectActions_ = new TProjectActions(context_, {*this, *actions_, *errorLogPanel_, *panelGrid_,
                                                     *panelHCError_, *reopen_, *styleCombo_});
    markup_->SetFileChooser(
        [this](TFileDialogKind kind) { return projectActions_->ChooseFile(kind); });
    QMenu* project = actions_->Menu("MenuProject");
    QAction* reopenItem = actions_->Action("ReopenItem");
    QMenu* reopenMenu = reopen_->MenuItem();
    reopenMenu->setTitle(tr("&Reopen"));
    project->insertMenu(reopenItem, reopenMenu);
    project->removeAction(reopenItem);
    connect(reopen_, &components::ui::TReopenMenu::Reopen, this, [this](const QString& file) {
        Run([&] { projectActions_->Commands().Reopen(FromQString(file)); });
    });
    BuildOpenButtonPopup();
    undoMenus_ = new TUndoMenuWidgets(context_, *actions_->Menu("MenuTopic"),
                                      *actions_->Action("ActionTopicUndoCurrent"),
                                      *actions_->Action("ActionTopicRedoCurrent"), this);
    // The editor showed its first topic before the lists had their views.
    topics.ProjectReplaced();
    formatBarWidget_->Follow(richEdit_);
    richEdit_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(richEdit_, &QWidget::customContextMenuRequested, this, &TBrindlewovenForm::EditorPopup);
    connect(propertyBar_, &TPropertyBarWidgets::PropertyTyped, this,
            [this] { gridModel_->Repaint(); });
    connect(propertyBar_, &TPropertyBarWidgets::HistoryRequested, this, [this] {
        const QWidget* go = propertyBar_->BtnGo;
        ShowHistoryMenu(go->mapToGlobal(QPoint(0, go->height())));
    });
}

// A right click on the tool bar's Open button offers the recent projects
// just below the button, in place of the tool bars' own menu.
void TBrindlewovenForm::BuildOpenButtonPopup() {
    popupReopen_ = new QMenu(this);
    popupReopen_->setObjectName("PopupReopen");
    reopen_->SetPopupMenu(popupReopen_);
    QWidget* open = projectBar_->widgetForAction(actions_->Action("ActionProjectOpen"));
    open->setObjectName("BtnOpen");
    open->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(open, &QWidget::customContextMenuRequested, this,
            [this, open] { popupReopen_->popup(open->mapToGlobal(QPoint(0, open->height()))); });
}

// The formatting bar and the style box, between the properties bar and the
// help tool bar; their commands join the Text menu.
void TBrindlewovenForm::BuildTextBar() {
    formatBarWidget_ = new ui::TFormatBarWidget(context_.TopicEditor(), this);
    textBar_ = formatBarWidget_;
    formatBarWidget_->setMovable(false);
    formatBarWidget_->setFloatable(false);
    formatBarWidget_->setIconSize(QSize(16, 16));
    insertToolBar(helpToolBar_, formatBarWidget_);
    insertToolBarBreak(helpToolBar_);
    formatBarWidget_->addSeparator();
    styleCombo_ = FillTextBar(*formatBarWidget_, context_, *actions_, *this);
    connect(formatBarWidget_, &ui::TFormatBarWidget::SelectionPresenceChanged, this,
            &TBrindlewovenForm::SelectionPresenceChanged);
}

void TBrindlewovenForm::EditorPopup(const QPoint& at) {
    std::unique_ptr<QMenu> menu(richEdit_->createStandardContextMenu(at));
    menu->addSeparator();
    markup_->AddFollowLink(*menu);
    menu->exec(richEdit_->viewport()->mapToGlobal(at));
}

void TBrindlewovenForm::BindCommands() {
    auto bind = [this](const char* name, std::function<void()> command) {
        actions_->Bind(name, [this, command = std::move(command)] { Run(command); });
    };
    projectActions_->BindActions();
    actions_->Bind("ActionProjectExit", [this] { close(); });
    TTopicEditor& topics = context_.TopicEditor();
    bind("ActionTopicAdd", [&topics] { topics.NewTopic(); });
    bind("ActionTopicDelete", [&topics] { topics.DeleteCurrentTopic(); });
    bind("ActionTopicUndoCurrent", [&topics] { topics.UndoCurrent(); });
    bind("ActionTopicRedoCurrent", [&topics] { topics.RedoCurrent(); });
    bind("ActionGoToNext", [&topics] { topics.GoToNext(); });
    bind("ActionGoToPrev", [&topics] { topics.GoToPrevious(); });
    bind("ActionGoToNextBookmark", [&topics] { topics.GoToNextBookmark(); });
    bind("ActionGoToPrevBookmark", [&topics] { topics.GoToPreviousBookmark(); });
    bind("HistoryItem", [this] { ShowHistoryMenu(QCursor::pos()); });
    bind("ActionHelpAbout", [this] {
        TAboutBox box(this);
        box.exec();
    });
    bind("ActionHelpTechSupport", [this] {
        TFormTechSupport box(this);
        box.exec();
    });
    actions_->Bind("ActionTextFind", [this] { Run([this] { ShowFindForm(); }); });
    BindTextCommands();
    BindViewCommands();
    markup_->BindActions();
    dialogCommands_ = new TDialogCommands(context_, *actions_, *markup_, *this);
    dialogCommands_->BindActions();
    markupDialogs_ = new TMarkupDialogCommands(context_, *markup_, *this);
    markupDialogs_->BindActions();
    gridPanel_->SetDialogCommands(dialogCommands_);
    spellActions_ = new TSpellActions(context_, *richEdit_, *this);
    spellActions_->BindActions(*actions_);
    linkListener_ = new TLinkListener(context_, this);
    connect(projectActions_, &TProjectActions::ProjectSwitched, linkListener_,
            [this] { linkListener_->Server().NotifyLinkClients(); });
    contentsEditors_ = new TContentsEditorCommands(context_, *actions_, *this);
    contentsEditors_->BindActions();
    connect(projectActions_, &TProjectActions::ProjectSwitched, contentsEditors_,
            &TContentsEditorCommands::ProjectReplaced);
    projectEditors_ = new TProjectEditorsActions(context_, *this);
    projectEditors_->BindActions(*actions_);
    shgEditor_ = new TSHGEditorCommands(context_, *actions_, *this);
    shgEditor_->BindActions();
    helpActions_ =
        new THelpActions(context_, *actions_, *this,
                         QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    helpActions_->BindActions();
    SelectionPresenceChanged(false);
    actions_->Action("ActionTopicRedoCurrent")->setEnabled(topics.RedoCurrentEnabled());
}

void TBrindlewovenForm::BindTextCommands() {
    (new TTextCommands(*actions_, *richEdit_))->BindActions();
    topicClipboard_ = new TTopicClipboardActions(context_, *actions_, this);
    topicClipboard_->BindActions();
    gridPanel_->SetTopicClipboard(topicClipboard_);
    topicListCommands_ = new TTopicListCommands(context_, *actions_, *this);
    topicListCommands_->BindActions();
    topicListCommands_->SetGridVisible(!panelGrid_->isHidden());
    connect(panelGrid_, &QDockWidget::visibilityChanged, topicListCommands_,
            [grid = panelGrid_, commands = topicListCommands_] {
                commands->SetGridVisible(!grid->isHidden());
            });
}

void TBrindlewovenForm::BindViewCommands() {
    auto bindBar = [this](const char* name, QWidget* bar) {
        QAction* action = actions_->Action(name);
        action->setChecked(!bar->isHidden());
        actions_->Bind(name, [bar, action] { bar->setVisible(action->isChecked()); });
        if (auto* toolBar = qobject_cast<QToolBar*>(bar))
            connect(toolBar, &QToolBar::visibilityChanged, action,
                    [action, toolBar] { action->setChecked(!toolBar->isHidden()); });
    };
    bindBar("ActionViewProjectBar", projectBar_);
    bindBar("ActionViewTopicBar", topicBar_);
    bindBar("ActionViewPropertiesBar", propertiesBar_);
    bindBar("ActionViewTextBar", textBar_);
    bindBar("ActionViewHelpToolBar", helpToolBar_);
    bindBar("ActionViewRuler", ruler_);
    actions_->Bind("ActionViewGrid", [this] { ToggleGrid(); });
    bindBar("ActionViewErrorLog", panelHCError_);
    actions_->Bind("ActionViewFocusEditor", [this] { richEdit_->setFocus(); });
    // The check marks follow the panels when they are closed or shown otherwise.
    connect(panelGrid_, &QDockWidget::visibilityChanged, this,
            [this] { actions_->Action("ActionViewGrid")->setChecked(!panelGrid_->isHidden()); });
    connect(panelHCError_, &QDockWidget::visibilityChanged, this, [this] {
        actions_->Action("ActionViewErrorLog")->setChecked(!panelHCError_->isHidden());
    });
}

void TBrindlewovenForm::BuildOnTopStrips() {
    docks_ = new TDockPanels({*this, *panelGrid_, *gridPanel_, *panelHCError_, *errorLogPanel_},
                             state_.GridOnTop, hcErrorOnTop_, applyingLayout_);
}

void TBrindlewovenForm::ToggleGrid() {
    panelGrid_->setVisible(panelGrid_->isHidden());
    actions_->Action("ActionViewGrid")->setChecked(!panelGrid_->isHidden());
    if (!panelGrid_->isHidden())
        gridView_->Rebuild();
}

// ---- services ---------------------------------------------------------------------

TCommandLineResult TBrindlewovenForm::RunCommandLine(const std::vector<std::string>& args) {
    TCommandLineResult result;
    Run([&] { result = projectActions_->RunCommandLine(args); });
    return result;
}

void TBrindlewovenForm::ShowHistoryMenu(const QPoint& at) {
    QMenu menu(this);
    for (const THistoryMenuItem& item : context_.TopicEditor().HistoryMenu()) {
        QAction* action = menu.addAction(ToQString(item.Caption));
        action->setStatusTip(ToQString(std::string(kHistoryHint)));
        const std::int32_t number = item.Number;
        connect(action, &QAction::triggered, this,
                [this, number] { Run([&] { context_.TopicEditor().GoToTopicID(number); }); });
    }
    if (!menu.isEmpty())
        menu.exec(at);
}

TFindForm& TBrindlewovenForm::ShowFindForm() {
    if (!findForm_) {
        findForm_ = new TFindForm(context_, *richEdit_, this);
        findForm_->OnRepaintGrid = [this] {
            if (gridModel_)
                gridModel_->Repaint();
        };
        findForm_->OnEditorChange = [this] { RefreshEditorState(); };
    }
    findForm_->ShowFind();
    return *findForm_;
}

void TBrindlewovenForm::UpdateCaption() {
    setWindowTitle(ToQString(ProjectCaption(context_.Project().Title)));
}

// ---- ITopicEditorView -------------------------------------------------------------

ITextEditor& TBrindlewovenForm::TextEditor() {
    return *textEditor_;
}

void TBrindlewovenForm::PropertyBarChanged() {
    if (propertyBar_)
        propertyBar_->ShowBar();
    if (gridModel_)
        gridModel_->Repaint();
    UpdateCaption();
}

void TBrindlewovenForm::TopicListChanged() {
    if (propertyBar_ && context_.HasTopicEditor())
        propertyBar_->FillTopicList();
}

void TBrindlewovenForm::LinkListChanged() {
    if (markup_ && context_.HasTopicEditor())
        markup_->FillLinkList();
}

void TBrindlewovenForm::EndGridEdit() {
    if (gridView_)
        gridView_->EndEdit();
}

void TBrindlewovenForm::GridChanged() {
    if (gridView_ && context_.HasTopicEditor() && !context_.TopicEditor().BulkUpdate())
        gridView_->Rebuild();
}

bool TBrindlewovenForm::GridVisible() const {
    return panelGrid_ && !panelGrid_->isHidden();
}

void TBrindlewovenForm::UndoMenusChanged() {
    if (undoMenus_)
        undoMenus_->Rebuild();
}

void TBrindlewovenForm::PropertyListsChanged() {
    if (propertyBar_ && context_.HasTopicEditor())
        propertyBar_->FillPropertyLists();
}

void TBrindlewovenForm::RefreshEditorState() {
    if (formatBarWidget_)
        formatBarWidget_->Mirror();
    if (ruler_)
        ruler_->ReadParagraph();
}

void TBrindlewovenForm::TopicStored(const helpproject::TBrindlewovenTopic& /*topic*/) {
    if (linkListener_)
        linkListener_->Server().NotifyLinkClients();
}

// Delete, Cut, Copy and Link... need a selection.
void TBrindlewovenForm::SelectionPresenceChanged(bool hasSelection) {
    for (const char* name : {"ActionTextDelete", "ActionTextCut", "ActionTextCopy"})
        actions_->Action(name)->setEnabled(hasSelection);
    markup_->SetSelectionPresent(hasSelection);
}

// ---- layout and state ----------------------------------------------------------------

void TBrindlewovenForm::ApplyWindowState(const TWindowState& state) {
    state_ = state;
    context_.Settings() = state.Settings;
    context_.GridLayout() = state.Grid;
    applyingLayout_ = true;
    ApplyWindowLayout(Parts(), state_);
    applyingLayout_ = false;
    docks_->GridOnTop().Follow();
    docks_->HCErrorOnTop().Follow();
    UpdateRulerPage();
    gridView_->Rebuild();
    gridView_->ApplyWidths();
    gridPanel_->UpdateButtons();
}

TMainWindowParts TBrindlewovenForm::Parts() {
    return {*this,       *actions_, *panelGrid_,    *panelHCError_, *ruler_,
            projectBar_, topicBar_, propertiesBar_, textBar_,       helpToolBar_};
}

TWindowState TBrindlewovenForm::CurrentWindowState() {
    gridView_->StoreWidths();
    TWindowState state = state_;
    state.Settings = context_.Settings();
    state.Grid = context_.GridLayout();
    CollectWindowLayout(Parts(), state);
    return state;
}

bool TBrindlewovenForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == richEdit_ && event->type() == QEvent::Resize)
        UpdateRulerPage(); // the grid's splitter moves the editor's edge too
    if (watched == richEdit_ && event->type() == QEvent::ShortcutOverride) {
        // The window's commands win over the editor's built-in keys (its
        // own redo takes Ctrl+Shift+Z, which undoes the topic's changes).
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (QAction* action : actions_->All())
            if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                event->ignore();
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TBrindlewovenForm::UpdateRulerPage() {
    const double dpi = richEdit_->logicalDpiX();
    if (dpi <= 0)
        return;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const double inches = (richEdit_->width() - scrollBar) / dpi;
    const bool centimetres = ruler_->Units() == components::TRulerUnits::ruCentimeters;
    ruler_->SetPageSize(centimetres ? inches * 2.54 : inches);
}

// ---- show and close ------------------------------------------------------------------

void TBrindlewovenForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (showTimeRuns_ == 0) // shown again after a minimise: nothing to redo
        RunShowTimeWork();
}

void TBrindlewovenForm::RunShowTimeWork() {
    ++showTimeRuns_;
    Run([this] { projectActions_->Commands().NewProject(); });
    panelHCError_->hide(); // shown again when a make fills it
    if (context_.Registry().KeyExists(platform::RootKey::CurrentUser, kMainKey))
        components::ui::LoadFormPlacement(context_.Registry(), kMainKey, *this);
}

void TBrindlewovenForm::closeEvent(QCloseEvent* event) {
    // The window manager closes even a disabled window: a running command
    // (or its modal dialog) keeps the window open.
    if (context_.Busy() || closing_ || !CloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TBrindlewovenForm::CloseQuery() {
    bool mayClose = false;
    closing_ = true;
    Run([&] {
        context_.TopicEditor().StoreTopic();
        mayClose = linkListener_->Server().CloseQuery() && shgEditor_->CloseQuery() &&
                   projectActions_->ConfirmDiscard();
    });
    closing_ = false;
    return mayClose;
}

void TBrindlewovenForm::FormClose() {
    platform::Registry& registry = context_.Registry();
    try {
        if (registry.KeyExists(platform::RootKey::CurrentUser, kMainKey))
            components::ui::SaveFormPlacement(registry, kMainKey, *this);
        WriteWindowState(registry, CurrentWindowState());
        reopen_->SaveToRegistry(registry, kReopenKey);
        spellActions_->Commands().FreeSpeller(); // its language is saved
        shgEditor_->FormClose();
        registry.Flush();
    } catch (const std::exception& error) {
        context_.Messenger().Warning(
            error.what()); // losing the layout must not keep the window open
    }
}

} // namespace editor::ui
