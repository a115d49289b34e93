#include "editor/ui/dialogs/findform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextCursor>
#include <QVBoxLayout>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/flyingpanel.h"
#include "components/ui/messenger.h"
#include "components/ui/richeredit.h"
#include "editor/editorcontext.h"
#include "editor/findsettings.h"
#include "platform/registry.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

// The floating panel keeps its placement beside the main window's values.
constexpr std::string_view kPanelKey = "Software\\Vexlor\\Brindlewoven";

struct TButtonSpec {
    const char* name;
    const char* caption;
    const char* hint;
    QStyle::StandardPixmap glyph;
};

// A hint is "short|long": the short part is the tool tip, the long one the
// status text.
void SetHint(QWidget* widget, const QString& hint) {
    const int bar = hint.indexOf('|');
    widget->setToolTip(bar < 0 ? hint : hint.left(bar));
    widget->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

QComboBox* MakeHistoryBox(QWidget* parent, const char* name, const QString& hint) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(28);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setToolTip(hint);
    // The history is offered in a list below the box and never completes
    // what is typed: with "e" in it, a typed "E" stays "E", and Enter
    // searches for what the box shows (its match against the items follows
    // the completer's case rule).
    auto* completer = new QCompleter(box->model(), box);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    box->setCompleter(completer);
    return box;
}

} // namespace

TFindForm::TFindForm(TEditorContext& context, components::ui::TRicherEdit& richEdit,
                     QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Tool), context_(context), richEdit_(richEdit),
      mainWindow_(mainWindow) {
    setObjectName("FindForm");
    setWindowTitle(tr("Find and Replace"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    session_ = std::make_unique<TFindSession>(context_.TopicEditor(), context_.Messenger(), *this);

    PanelFind = new QWidget(this);
    PanelFind->setObjectName("PanelFind");
    auto* layout = new QVBoxLayout(PanelFind);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    BuildText();
    BuildOptions();
    BuildScope();
    layout->addWidget(PanelText);
    layout->addWidget(PanelOptions);
    layout->addWidget(PanelScope);
    layout->addStretch(1);
    setCentralWidget(PanelFind);
    BuildBar();
    BuildSettings();

    msgReplaceAll_ = std::make_unique<components::ui::TMessenger>();
    MsgReplaceAll = msgReplaceAll_.get();
    MsgReplaceAll->setObjectName("MsgReplaceAll");
    MsgReplaceAll->SetCaption(tr("Replace action in progress..."));
    MsgReplaceAll->SetCursor(Qt::WaitCursor);
    components::ui::TMessengerButton abort;
    abort.SetKind(components::ui::TBitBtnKind::Abort);
    abort.Caption = tr("Abort");
    abort.Visible = true;
    MsgReplaceAll->SetButton(1, abort);
    for (int i = 2; i <= 5; ++i)
        MsgReplaceAll->GetButton(i).Visible = false;
    connect(MsgReplaceAll, &components::ui::TMessenger::OnButtonClick, this,
            [this] { abortReplace_ = true; });

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { emit HelpRequested(kHelpContext); });

    panelSize_ = PanelFind->sizeHint();
    LoadSettings();
    ComboFindChange();
}

TFindForm::~TFindForm() {
    try {
        SaveSettings();
    } catch (const std::exception& error) {
        context_.Messenger().Warning(error.what());
    }
}

// ---- building ----------------------------------------------------------------------------

void TFindForm::BuildText() {
    PanelText = new QWidget(PanelFind);
    PanelText->setObjectName("PanelText");
    auto* grid = new QGridLayout(PanelText);
    grid->setContentsMargins(0, 0, 0, 0);
    ComboFind = MakeHistoryBox(PanelText, "ComboFind", tr("Find text: \\n = newline; \\t = tab"));
    ComboReplace =
        MakeHistoryBox(PanelText, "ComboReplace", tr("Replace text: \\n = newline; \\t = tab"));
    auto* labelFind = new QLabel(tr("&Text to find:"), PanelText);
    labelFind->setBuddy(ComboFind);
    auto* labelReplace = new QLabel(tr("&Replace with:"), PanelText);
    labelReplace->setBuddy(ComboReplace);
    grid->addWidget(labelFind, 0, 0);
    grid->addWidget(ComboFind, 0, 1);
    grid->addWidget(labelReplace, 1, 0);
    grid->addWidget(ComboReplace, 1, 1);
    grid->setColumnStretch(1, 1);
    for (QComboBox* box : {ComboFind, ComboReplace}) {
        connect(box, &QComboBox::editTextChanged, this, [this] { ComboFindChange(); });
        // Enter presses the default button.
        connect(box->lineEdit(), &QLineEdit::returnPressed, this, [this] {
            QPushButton* button = session_->Buttons().FindDefault ? BtnFind : BtnFindNext;
            if (button->isEnabled())
                button->click();
        });
    }
}

void TFindForm::BuildOptions() {
    PanelOptions = new QGroupBox(tr(" Options "), PanelFind);
    PanelOptions->setObjectName("PanelOptions");
    auto* box = new QGridLayout(PanelOptions);
    CheckCase = new QCheckBox(tr("&Case sensitive"), PanelOptions);
    CheckCase->setObjectName("CheckCase");
    CheckWholeWords = new QCheckBox(tr("&Whole words only"), PanelOptions);
    CheckWholeWords->setObjectName("CheckWholeWords");
    CheckPrompt = new QCheckBox(tr("&Prompt on replace"), PanelOptions);
    CheckPrompt->setObjectName("CheckPrompt");
    CheckRegEx = new QCheckBox(tr("Regular e&xpressions"), PanelOptions);
    CheckRegEx->setObjectName("CheckRegEx");
    CheckRegEx->setToolTip(tr("The text to find is a regular expression; $1 in the replace text "
                              "stands for its first group"));
    box->addWidget(CheckCase, 0, 0);
    box->addWidget(CheckWholeWords, 0, 1);
    box->addWidget(CheckPrompt, 1, 0);
    box->addWidget(CheckRegEx, 1, 1);
    for (QCheckBox* check : {CheckCase, CheckRegEx})
        connect(check, &QCheckBox::toggled, this, [this] { ComboFindChange(); });
}

void TFindForm::BuildScope() {
    PanelScope = new QWidget(PanelFind);
    PanelScope->setObjectName("PanelScope");
    auto* row = new QHBoxLayout(PanelScope);
    row->setContentsMargins(0, 0, 0, 0);
    auto* scope = new QGroupBox(tr(" &Scope "), PanelScope);
    auto* origin = new QGroupBox(tr(" &Origin "), PanelScope);
    auto* scopeColumn = new QVBoxLayout(scope);
    auto* originColumn = new QVBoxLayout(origin);
    auto radio = [](QGroupBox* group, QVBoxLayout* column, const char* name, const char* text) {
        auto* button = new QRadioButton(TFindForm::tr(text), group);
        button->setObjectName(name);
        column->addWidget(button);
        return button;
    };
    RadioAllDocs = radio(scope, scopeColumn, "RadioAllDocs", "All topics");
    RadioCurrentDoc = radio(scope, scopeColumn, "RadioCurrentDoc", "Current topic");
    RadioCurrentSel = radio(scope, scopeColumn, "RadioCurrentSel", "Current selection");
    RadioDocStart = radio(origin, originColumn, "RadioDocStart", "Start of topic");
    RadioSelStart = radio(origin, originColumn, "RadioSelStart", "Start of selection");
    RadioCursor = radio(origin, originColumn, "RadioCursor", "Current cursor position");
    RadioCurrentDoc->setChecked(true);
    RadioDocStart->setChecked(true);
    row->addWidget(scope);
    row->addWidget(origin);
    // RadioContinueClick, RadioCurrentDocClick, RadioCurrentSelClick.
    connect(RadioAllDocs, &QRadioButton::clicked, this,
            [this] { ApplyScope(TFindScope::AllTopics, false); });
    connect(RadioCurrentDoc, &QRadioButton::clicked, this,
            [this] { ApplyScope(TFindScope::CurrentTopic, false); });
    connect(RadioCurrentSel, &QRadioButton::clicked, this,
            [this] { ApplyScope(TFindScope::CurrentSelection, false); });
}

void TFindForm::BuildBar() {
    FindBar = new components::ui::TFlyingPanel(this);
    FindBar->setObjectName("FindBar");
    const TButtonSpec specs[] = {
        {"BtnFind", "&Find", "Find|Find the first next occurrence of the text to find",
         QStyle::SP_FileDialogContentsView},
        {"BtnFindNext", "Find &Next", "Find Next|Find the next occurrence of the text to find",
         QStyle::SP_ArrowForward},
        {"BtnReplaceCurrent", "Replace &Current",
         "Replace Current|Replace the currently highlighted occurrence of the text to find "
         "with the replace text",
         QStyle::SP_DialogApplyButton},
        {"BtnReplaceNext", "&Replace Next",
         "Replace Next|Find the next occurrence of the text to find and replace it",
         QStyle::SP_MediaSeekForward},
        {"BtnReplaceAll", "Replace &All", "Replace All|Replace all occurrences of the text to find",
         QStyle::SP_BrowserReload},
        {"BtnSettings", "Settings", "Settings|Change the appearance of the Find and Replace dialog",
         QStyle::SP_FileDialogDetailedView},
        {"BtnClose", "Close", "Close|Close the Find and Replace dialog",
         QStyle::SP_DialogCloseButton},
        {"BtnHelp", "&Help", "Help|Show the help on the Find and Replace dialog",
         QStyle::SP_DialogHelpButton},
    };
    QPushButton** targets[] = {&BtnFind,       &BtnFindNext, &BtnReplaceCurrent, &BtnReplaceNext,
                               &BtnReplaceAll, &BtnSettings, &BtnClose,          &BtnHelp};
    int top = 4;
    const int height = 25;
    wideWidth_ = 0;
    for (std::size_t i = 0; i < std::size(specs); ++i) {
        auto* button = new QPushButton(tr(specs[i].caption), FindBar->Content());
        button->setObjectName(specs[i].name);
        button->setIcon(style()->standardIcon(specs[i].glyph));
        button->setAutoDefault(false);
        SetHint(button, tr(specs[i].hint));
        captions_ << tr(specs[i].caption);
        wideWidth_ = std::max(wideWidth_, button->sizeHint().width() + 8);
        *targets[i] = button;
    }
    narrowWidth_ = height;
    for (QPushButton* button : BarButtons()) {
        button->setGeometry(5, top, wideWidth_, height);
        top += height + 4;
    }
    FindBar->SetRegistry(&context_.Registry());
    FindBar->AddDockSite(this, true, false, false, true);
    FindBar->DockInto(this, components::TPanelAlign::Right);
    FindBar->SetRegistryKey(std::string(kPanelKey));
    FindBar->Loaded();
    connect(FindBar, &components::ui::TFlyingPanel::DockChanged, this,
            [this] { AdjustFormSize(); }); // FindBarDockChanged

    connect(BtnFind, &QPushButton::clicked, this, [this] { BtnFindClick(TFindButton::Find); });
    connect(BtnFindNext, &QPushButton::clicked, this,
            [this] { BtnFindClick(TFindButton::FindNext); });
    connect(BtnReplaceNext, &QPushButton::clicked, this,
            [this] { BtnFindClick(TFindButton::ReplaceNext); });
    connect(BtnReplaceAll, &QPushButton::clicked, this,
            [this] { BtnFindClick(TFindButton::ReplaceAll); });
    connect(BtnReplaceCurrent, &QPushButton::clicked, this, [this] { BtnReplaceCurrentClick(); });
    connect(BtnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(BtnHelp, &QPushButton::clicked, this, [this] { emit HelpRequested(kHelpContext); });
    connect(BtnSettings, &QPushButton::clicked, this, [this] {
        PopupSettings->popup(BtnSettings->mapToGlobal(QPoint(0, BtnSettings->height())));
    });
}

void TFindForm::BuildSettings() {
    PopupSettings = new QMenu(this);
    PopupSettings->setObjectName("PopupSettings");
    auto item = [this](const char* name, const char* caption, const char* hint) {
        QAction* action = PopupSettings->addAction(tr(caption));
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(true);
        if (*hint)
            action->setStatusTip(tr(hint));
        return action;
    };
    ItemOptions = item("ItemOptions", "Show &Options", "Show Search Options checkboxes");
    ItemScope = item("ItemScope", "Show &Scope", "Show search scope and origin radio groups");
    ItemButtonText = item("ItemButtonText", "Show Button &Text", "");
    ItemStayOnTop = item("ItemStayOnTop", "&Stay on Top", "");
    connect(ItemOptions, &QAction::toggled, this, [this](bool on) {
        PanelOptions->setVisible(on);
        AdjustFormSize();
    });
    connect(ItemScope, &QAction::toggled, this, [this](bool on) {
        PanelScope->setVisible(on);
        AdjustFormSize();
    });
    connect(ItemButtonText, &QAction::toggled, this, [this](bool on) { SetButtonText(on); });
    connect(ItemStayOnTop, &QAction::toggled, this, [this](bool on) { SetStayOnTop(on); });
}

QList<QPushButton*> TFindForm::BarButtons() const {
    return {BtnFind,       BtnFindNext, BtnReplaceCurrent, BtnReplaceNext,
            BtnReplaceAll, BtnSettings, BtnClose,          BtnHelp};
}

void TFindForm::SetButtonText(bool withText) {
    const QList<QPushButton*> buttons = BarButtons();
    for (int i = 0; i < buttons.size(); ++i) {
        buttons[i]->setText(withText ? captions_[i] : QString());
        buttons[i]->resize(withText ? wideWidth_ : narrowWidth_, buttons[i]->height());
    }
    FindBar->RemoveDockSite(this);
    if (withText)
        FindBar->AddDockSite(this, true, false, false, true);
    else
        FindBar->AddDockSite(this, true, true, true, true);
    FindBar->UpdateControlSizes();
    FindBar->ArrangeControls(components::IsVerticalAlign(FindBar->Align()));
    AdjustFormSize();
}

void TFindForm::SetStayOnTop(bool onTop) {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        show();
}

void TFindForm::AdjustFormSize() {
    int h = panelSize_.height();
    if (PanelOptions->isHidden())
        h -= PanelOptions->sizeHint().height();
    if (PanelScope->isHidden())
        h -= PanelScope->sizeHint().height();
    const QSize bar = FindBar->Content()->minimumSize();
    const int closeRight = BtnClose->geometry().right() + 4;
    const int closeBottom = BtnClose->geometry().bottom() + 4;
    QSize size;
    if (FindBar->Site() != this || FindBar->isFloating())
        size = QSize(panelSize_.width(), h);
    else if (components::IsVerticalAlign(FindBar->Align()))
        size = QSize(bar.width() + panelSize_.width(), std::max(h, closeBottom));
    else
        size = QSize(std::max(panelSize_.width(), closeRight), bar.height() + h);
    setMinimumSize(0, 0);
    resize(size);
}

// ---- the registry --------------------------------------------------------------------------

void TFindForm::LoadSettings() {
    TFindSettings settings;
    settings.Load(context_.Registry());
    // A stored 0 runs the toggle, so that the item and its effect turn off.
    ItemOptions->setChecked(settings.ShowOptions);
    ItemScope->setChecked(settings.ShowScope);
    ItemButtonText->setChecked(settings.ShowButtonText);
    ItemStayOnTop->setChecked(settings.StayOnTop);
    SetStayOnTop(settings.StayOnTop);
    session_->FindHistory() = settings.HistoryFind;
    session_->ReplaceHistory() = settings.HistoryReplace;
    FillHistories();
    ComboFind->setCurrentText(QString());
    ComboReplace->setCurrentText(QString());
    AdjustFormSize();
    QPoint at = pos();
    if (settings.Left && settings.Top)
        at = QPoint(*settings.Left, *settings.Top);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const TFindPoint clamped =
            ClampToScreen({at.x(), at.y()}, width(), height(), screen->availableGeometry().width(),
                          screen->availableGeometry().height());
        at = QPoint(clamped.X, clamped.Y);
    }
    move(at);
}

void TFindForm::SaveSettings() {
    TFindSettings settings;
    settings.ShowOptions = ItemOptions->isChecked();
    settings.ShowScope = ItemScope->isChecked();
    settings.ShowButtonText = ItemButtonText->isChecked();
    settings.StayOnTop = ItemStayOnTop->isChecked();
    settings.Left = x();
    settings.Top = y();
    settings.HistoryFind = session_->FindHistory();
    settings.HistoryReplace = session_->ReplaceHistory();
    settings.Save(context_.Registry());
    FindBar->SaveState(std::string(kPanelKey));
    context_.Registry().Flush();
}

void TFindForm::FillHistories() {
    for (auto [box, history] : {std::pair{ComboFind, &session_->FindHistory()},
                                std::pair{ComboReplace, &session_->ReplaceHistory()}}) {
        const QString text = box->currentText();
        const QSignalBlocker block(box);
        box->clear();
        for (const std::string& item : *history)
            box->addItem(ToQString(item));
        box->setCurrentIndex(-1);
        box->setEditText(text);
    }
}

// ---- what the controls hold ------------------------------------------------------------------

TFindRequest TFindForm::Request() const {
    TFindRequest request;
    request.FindText = FromQString(ComboFind->currentText());
    request.ReplaceText = FromQString(ComboReplace->currentText());
    request.MatchCase = CheckCase->isChecked();
    request.WholeWords = CheckWholeWords->isChecked();
    request.Prompt = CheckPrompt->isChecked();
    request.RegularExpressions = CheckRegEx->isChecked();
    request.Scope = RadioAllDocs->isChecked()      ? TFindScope::AllTopics
                    : RadioCurrentSel->isChecked() ? TFindScope::CurrentSelection
                                                   : TFindScope::CurrentTopic;
    request.Origin = RadioSelStart->isChecked() ? TFindOrigin::SelectionStart
                     : RadioCursor->isChecked() ? TFindOrigin::Cursor
                                                : TFindOrigin::TopicStart;
    return request;
}

void TFindForm::ApplyScope(TFindScope scope, bool activation) {
    const TFindRequest request = Request();
    const TFindScopeControls controls =
        FindScopeControls(hasSelection_, scope, request.Origin, activation);
    RadioCurrentSel->setEnabled(controls.CurrentSelEnabled);
    RadioDocStart->setEnabled(controls.DocStartEnabled);
    RadioSelStart->setEnabled(controls.SelStartEnabled);
    RadioCursor->setEnabled(controls.CursorEnabled);
    switch (controls.Scope) {
    case TFindScope::AllTopics:
        RadioAllDocs->setChecked(true);
        break;
    case TFindScope::CurrentTopic:
        RadioCurrentDoc->setChecked(true);
        break;
    case TFindScope::CurrentSelection:
        RadioCurrentSel->setChecked(true);
        break;
    }
    switch (controls.Origin) {
    case TFindOrigin::TopicStart:
        RadioDocStart->setChecked(true);
        break;
    case TFindOrigin::SelectionStart:
        RadioSelStart->setChecked(true);
        break;
    case TFindOrigin::Cursor:
        RadioCursor->setChecked(true);
        break;
    }
}

void TFindForm::ApplyButtons() {
    const TFindButtons& buttons = session_->Buttons();
    BtnFind->setEnabled(buttons.FindEnabled);
    BtnFindNext->setEnabled(buttons.FindNextEnabled);
    BtnReplaceNext->setEnabled(buttons.ReplaceNextEnabled);
    BtnReplaceCurrent->setEnabled(buttons.ReplaceCurrentEnabled);
    BtnReplaceAll->setEnabled(buttons.ReplaceAllEnabled);
    BtnFind->setDefault(buttons.FindDefault);
    BtnFindNext->setDefault(!buttons.FindDefault);
}

// ---- handlers --------------------------------------------------------------------------------

void TFindForm::ComboFindChange() {
    if (session_->Running())
        return;
    session_->UpdateButtons(Request());
    ApplyButtons();
}

void TFindForm::FormActivate() {
    hasSelection_ = richEdit_.textCursor().hasSelection();
    ApplyScope(Request().Scope, true);
    ComboFindChange();
    FindBar->setVisible(true);
    ComboFind->setFocus();
}

void TFindForm::ShowFind() {
    show();
    raise();
    activateWindow();
    FormActivate();
}

void TFindForm::BtnFindClick(TFindButton button) {
    // A click let through while Replace All pumps events starts nothing.
    if (session_->Running())
        return;
    const TFindRequest request = Request();
    context_.Run([&] { session_->Search(button, request); });
    FillHistories();
    ApplyButtons();
}

void TFindForm::BtnReplaceCurrentClick() {
    if (session_->Running())
        return;
    const TFindRequest request = Request();
    context_.Run([&] { session_->ReplaceCurrent(request); });
    FillHistories();
    ComboFindChange();
}

// ---- placement -------------------------------------------------------------------------------

int TFindForm::EditorFontHeight() const {
    return QFontMetrics(richEdit_.currentFont()).height();
}

std::optional<TFindRect> TFindForm::SelectionRect() const {
    const QTextCursor cursor = richEdit_.textCursor();
    if (!cursor.hasSelection())
        return std::nullopt;
    QTextCursor start(richEdit_.document());
    start.setPosition(cursor.selectionStart());
    QTextCursor end(richEdit_.document());
    end.setPosition(cursor.selectionEnd());
    QWidget* viewport = richEdit_.viewport();
    const QPoint a = viewport->mapToGlobal(richEdit_.cursorRect(start).topLeft());
    const QPoint b = viewport->mapToGlobal(richEdit_.cursorRect(end).topLeft());
    return TFindRect{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
                     std::max(a.y(), b.y()) + EditorFontHeight()};
}

void TFindForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    const QScreen* screen = QApplication::primaryScreen();
    if (!screen)
        return;
    const QRect s = screen->availableGeometry();
    const QPoint topLeft = richEdit_.mapToGlobal(QPoint(0, 0));
    const TFindRect editor{topLeft.x(), topLeft.y(), topLeft.x() + richEdit_.width(),
                           topLeft.y() + richEdit_.height()};
    const QSize frame = frameGeometry().size();
    const TFindPoint at = PlaceBesideEditor(editor, frame.width(), frame.height(), s.width(),
                                            s.height(), SelectionRect(), EditorFontHeight());
    move(at.X, at.Y);
}

std::optional<components::TBoxPosition> TFindForm::PromptPosition(int width, int height) {
    // MsgPromptShow
    const std::optional<TFindRect> text = SelectionRect();
    const QScreen* screen = QApplication::primaryScreen();
    if (!text || !screen)
        return std::nullopt;
    const QRect s = screen->availableGeometry();
    const TFindPoint at =
        PlacePrompt(*text, EditorFontHeight(), width, height, s.width(), s.height());
    return components::TBoxPosition{at.X, at.Y};
}

void TFindForm::OccurrenceSelected() {
    // MoveAwayFromSelection
    const std::optional<TFindRect> text = SelectionRect();
    const QScreen* screen = QApplication::primaryScreen();
    if (!text || !screen || !isVisible())
        return;
    const QRect frame = frameGeometry();
    const TFindRect form{frame.left(), frame.top(), frame.left() + frame.width(),
                         frame.top() + frame.height()};
    const QRect s = screen->availableGeometry();
    if (const auto moved =
            MoveAwayFromSelection(*text, EditorFontHeight(), form, s.width(), s.height()))
        move(moved->X, moved->Y);
}

void TFindForm::closeEvent(QCloseEvent* event) {
    // The window is kept: closing hides it and its bar.
    FindBar->hide();
    hide();
    event->ignore();
}

void TFindForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !session_->Running())
        FormActivate();
}

// ---- IFindView -------------------------------------------------------------------------------

void TFindForm::ScrollCaret() {
    richEdit_.ScrollCaret();
}

void TFindForm::LockUpdates(bool locked) {
    richEdit_.SetRedraw(!locked);
}

void TFindForm::RepaintGrid() {
    if (OnRepaintGrid)
        OnRepaintGrid();
}

void TFindForm::EditorChanged() {
    if (OnEditorChange)
        OnEditorChange();
}

void TFindForm::HideForm() {
    hide();
}

void TFindForm::ShowForm() {
    show();
}

void TFindForm::FocusForm() {
    activateWindow();
    ComboFind->setFocus();
}

void TFindForm::BringMainForward() {
    if (mainWindow_) {
        mainWindow_->raise();
        mainWindow_->activateWindow();
    }
}

void TFindForm::BeginReplaceAll(const std::string& text) {
    abortReplace_ = false;
    pumpTimer_.invalidate();
    // While events come in for the Abort button, nothing else may change
    // the topics or the text under the run.
    disabledMain_ = mainWindow_ && mainWindow_->isEnabled();
    if (disabledMain_)
        mainWindow_->setEnabled(false);
    MsgReplaceAll->SetText(ToQString(text));
    MsgReplaceAll->Show();
}

bool TFindForm::ReplaceAllAborted() {
    // The flag is read after every replacement; the Abort button's click
    // comes in with the events, let through a few times a second.
    if (!pumpTimer_.isValid() || pumpTimer_.elapsed() >= 40) {
        QApplication::processEvents();
        pumpTimer_.start();
    }
    return abortReplace_;
}

void TFindForm::EndReplaceAll() {
    MsgReplaceAll->Close();
    if (disabledMain_)
        mainWindow_->setEnabled(true);
    disabledMain_ = false;
}

} // namespace editor::ui
