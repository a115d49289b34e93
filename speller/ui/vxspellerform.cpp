#include "speller/ui/vxspellerform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "speller/spellerplacement.h"

namespace speller::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

struct TButtonSpec {
    TSpellButton Button;
    const char* Name;
    const char* Caption;
    const char* Hint;
};

const TButtonSpec kButtons[] = {
    {TSpellButton::Ignore, "BtnIgnore", "&Ignore", "Ignore the presumed error this time"},
    {TSpellButton::IgnoreAlways, "BtnIgnoreAlways", "Always Ig&nore",
     "Always ignore this presumed error during this session"},
    {TSpellButton::Replace, "BtnReplace", "&Replace",
     "Replace the word not found with the selected suggestion"},
    {TSpellButton::ReplaceAlways, "BtnReplaceAlways", "Always R&eplace",
     "Always replace the word not found with the selected suggestion during this session"},
    {TSpellButton::Delete, "BtnDelete", "&Delete", "Delete duplicate word"},
    {TSpellButton::Learn, "BtnLearn", "&Learn", "Learn that this word is spelled correctly"},
    {TSpellButton::ReplaceLearn, "BtnReplaceLearn", "Learn Re&place",
     "Always replace the word not found with the selected suggestion and remember this for the "
     "future"},
    {TSpellButton::Suggest, "BtnSuggest", "S&uggest Similar",
     "Look up words similar to the selected suggestion"},
    {TSpellButton::Undo, "BtnUndo", "Undo", "Undo the last replace"},
    {TSpellButton::Resume, "BtnResume", "Resume",
     "Resume spell check from the current text cursor position"},
    {TSpellButton::WordList, "BtnWordList", "Word List", "Terminate the spell checking process"},
    {TSpellButton::Abort, "BtnAbort", "Abort", "Terminate the spell checking process"},
};

// The buttons ShowWord enables for a misspelling.
const TSpellButton kActionButtons[] = {TSpellButton::Ignore,        TSpellButton::IgnoreAlways,
                                       TSpellButton::Learn,         TSpellButton::Replace,
                                       TSpellButton::ReplaceAlways, TSpellButton::ReplaceLearn,
                                       TSpellButton::Suggest};

QLabel* BoldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TVXSpellerForm::TVXSpellerForm(QWidget* parent) : QDialog(parent) {
    setObjectName("VXSpellerForm");
    setWindowTitle(tr("Check Spelling"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);

    auto* top = new QVBoxLayout(this);
    auto* languageRow = new QHBoxLayout;
    auto* label1 = new QLabel(tr("L&anguage:"), this);
    comboLanguage_ = new QComboBox(this);
    comboLanguage_->setObjectName("ComboLanguage");
    label1->setBuddy(comboLanguage_);
    languageRow->addWidget(label1);
    languageRow->addWidget(comboLanguage_, 1);
    top->addLayout(languageRow);

    auto* wordRow = new QHBoxLayout;
    labelNotInDict_ = BoldLabel(tr("Word not in dictionary:"), this);
    labelNotInDict_->setObjectName("LabelNotInDict");
    labelRepeated_ = BoldLabel(tr("Repeated word:"), this);
    labelRepeated_->setObjectName("LabelRepeated");
    labelRepeated_->hide();
    labelNotFound_ = new QLabel(this);
    labelNotFound_->setObjectName("LabelNotFound");
    labelNotFound_->setTextFormat(Qt::PlainText);
    labelNotFound_->setWordWrap(true); // a problem with a dictionary takes lines
    wordRow->addWidget(labelNotInDict_);
    wordRow->addWidget(labelRepeated_);
    wordRow->addWidget(labelNotFound_, 1);
    top->addLayout(wordRow);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* labelAction = new QLabel(tr("Replace &with:"), this);
    labelAction->setObjectName("LabelAction");
    editReplace_ = new QLineEdit(this);
    editReplace_->setObjectName("EditReplace");
    components::ui::RefuseNonAnsiInput(editReplace_);
    labelAction->setBuddy(editReplace_);
    auto* suggestionsRow = new QHBoxLayout;
    auto* label4 = new QLabel(tr("&Suggestions:"), this);
    labelBusy_ = new QLabel(tr("(searching...)"), this);
    labelBusy_->setObjectName("LabelSuggestionsBusy");
    labelBusy_->hide();
    suggestionsRow->addWidget(label4);
    suggestionsRow->addWidget(labelBusy_);
    suggestionsRow->addStretch(1);
    listSuggestions_ = new QListWidget(this);
    listSuggestions_->setObjectName("ListSuggestions");
    label4->setBuddy(listSuggestions_);
    left->addWidget(labelAction);
    left->addWidget(editReplace_);
    left->addLayout(suggestionsRow);
    left->addWidget(listSuggestions_, 1);
    body->addLayout(left, 1);

    auto* grid = new QGridLayout;
    int index = 0;
    for (const TButtonSpec& spec : kButtons) {
        auto* button = new QPushButton(tr(spec.Caption), this);
        button->setObjectName(spec.Name);
        button->setToolTip(tr(spec.Hint));
        button->setAutoDefault(false);
        const bool startsEnabled =
            spec.Button == TSpellButton::Abort || spec.Button == TSpellButton::WordList;
        button->setEnabled(startsEnabled);
        buttons_[spec.Button] = button;
        const TSpellButton which = spec.Button;
        connect(button, &QPushButton::clicked, this, [this, which] { Clicked(which); });
        if (spec.Button == TSpellButton::Delete) {
            // In Replace's place while a repeated word is shown.
            grid->addWidget(button, 1, 0);
            button->hide();
            continue;
        }
        grid->addWidget(button, index / 2, index % 2);
        ++index;
    }
    grid->setRowStretch(index / 2 + 1, 1);
    body->addLayout(grid);
    top->addLayout(body, 1);

    connect(editReplace_, &QLineEdit::textChanged, this, [this] { EditReplaceChange(); });
    connect(listSuggestions_, &QListWidget::itemClicked, this, [this] { ListSuggestionsClick(); });
    connect(listSuggestions_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !filling_)
            ListSuggestionsClick();
    });
    connect(listSuggestions_, &QListWidget::itemDoubleClicked, this, [this] {
        // A repeated word hides Replace: a double-click does not reach it.
        QPushButton* replace = Button(TSpellButton::Replace);
        if (!replace->isHidden() && replace->isEnabled())
            Clicked(TSpellButton::Replace);
    });
    connect(comboLanguage_, &QComboBox::activated, this,
            [this] { Button(TSpellButton::Resume)->setEnabled(true); });
    resize(sizeHint().expandedTo(QSize(440, 300)));
}

void TVXSpellerForm::Clicked(TSpellButton button) {
    if (callbacks_.clicked)
        callbacks_.clicked(button);
}

void TVXSpellerForm::SetCallbacks(TSpellerFormCallbacks callbacks) {
    callbacks_ = std::move(callbacks);
}

void TVXSpellerForm::SetBusy(bool on) {
    labelBusy_->setVisible(on);
}

void TVXSpellerForm::SetButtonVisible(TSpellButton button, bool visible) {
    Button(button)->setVisible(visible);
}

void TVXSpellerForm::SetButtonEnabled(TSpellButton button, bool enabled) {
    if (!learnAllowed_ && (button == TSpellButton::Learn || button == TSpellButton::ReplaceLearn))
        enabled = false;
    Button(button)->setEnabled(enabled);
}

void TVXSpellerForm::SetLearnAllowed(bool allowed) {
    learnAllowed_ = allowed;
    if (!allowed) {
        Button(TSpellButton::Learn)->setEnabled(false);
        Button(TSpellButton::ReplaceLearn)->setEnabled(false);
    }
}

void TVXSpellerForm::ShowWord(const std::string& word, bool repeated, bool canUndo) {
    labelNotFound_->setText(ToQString(word));
    labelNotInDict_->setVisible(!repeated);
    labelRepeated_->setVisible(repeated);
    if (!repeated) {
        ClearSuggestions();
        for (TSpellButton button : kActionButtons)
            SetButtonEnabled(button, true);
        SetButtonEnabled(TSpellButton::Undo, canUndo);
    } else {
        // The list and the field belong to the word before; nothing here
        // is to be replaced.
        ClearSuggestions();
        filling_ = true;
        editReplace_->clear();
        filling_ = false;
        SetButtonVisible(TSpellButton::Delete, true);
        SetButtonEnabled(TSpellButton::Delete, true);
        SetButtonVisible(TSpellButton::Replace, false);
        SetButtonEnabled(TSpellButton::Ignore, true);
        SetButtonEnabled(TSpellButton::Undo, canUndo);
    }
}

void TVXSpellerForm::ShowProblem(const std::string& message) {
    labelNotInDict_->hide();
    labelRepeated_->hide();
    labelNotFound_->setText(
        ToQString(components::WithLineFeeds(std::string_view(message))).trimmed());
    ClearSuggestions();
    DisableAll();
    Button(TSpellButton::Resume)->setEnabled(true);
    comboLanguage_->setFocus();
}

std::string TVXSpellerForm::GetReplacement() const {
    return FromQString(editReplace_->text());
}

void TVXSpellerForm::AddSuggestion(const std::string& word) {
    const QString text = ToQString(word);
    if (!listSuggestions_->findItems(text, Qt::MatchExactly).isEmpty())
        return;
    filling_ = true;
    listSuggestions_->addItem(text);
    filling_ = false;
}

int TVXSpellerForm::SuggestionCount() const {
    return listSuggestions_->count();
}

void TVXSpellerForm::SetSuggestions(const std::vector<std::string>& words) {
    for (const std::string& word : words)
        AddSuggestion(word);
}

void TVXSpellerForm::ClearSuggestions() {
    filling_ = true;
    listSuggestions_->clear();
    filling_ = false;
}

int TVXSpellerForm::LanguageIndex() const {
    return comboLanguage_->currentIndex();
}

void TVXSpellerForm::SetLanguages(const std::vector<std::string>& languages, int index) {
    comboLanguage_->clear();
    for (const std::string& entry : languages)
        comboLanguage_->addItem(ToQString(entry.substr(0, entry.find('|'))));
    comboLanguage_->setCurrentIndex(index);
}

void TVXSpellerForm::DisableAll() {
    for (TSpellButton button : kActionButtons)
        Button(button)->setEnabled(false);
    for (TSpellButton button : {TSpellButton::Delete, TSpellButton::Undo, TSpellButton::Resume})
        Button(button)->setEnabled(false);
    filling_ = true;
    editReplace_->clear();
    filling_ = false;
}

void TVXSpellerForm::Place(const TPlacementRequest& request) {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (!isVisible())
        adjustSize();
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const TRect form{frame.left(), frame.top(), frame.left() + frame.width(),
                     frame.top() + frame.height()};
    const TRect screenRect{area.left(), area.top(), area.left() + area.width(),
                           area.top() + area.height()};
    if (auto at = SpellerFormPosition(request, form, screenRect))
        move(at->x, at->y);
}

bool TVXSpellerForm::Visible() const {
    return isVisible();
}

void TVXSpellerForm::SetVisible(bool visible) {
    if (visible == isVisible())
        return;
    if (visible)
        show();
    else
        hide();
}

void TVXSpellerForm::EditReplaceChange() {
    if (filling_)
        return;
    QListWidgetItem* chosen = listSuggestions_->currentItem();
    if (chosen && chosen->text() != editReplace_->text()) {
        filling_ = true;
        listSuggestions_->setCurrentRow(-1);
        listSuggestions_->clearSelection();
        filling_ = false;
    }
    for (TSpellButton button : {TSpellButton::Replace, TSpellButton::ReplaceAlways,
                                TSpellButton::ReplaceLearn, TSpellButton::Suggest})
        SetButtonEnabled(button, true);
}

void TVXSpellerForm::ListSuggestionsClick() {
    if (QListWidgetItem* item = listSuggestions_->currentItem())
        editReplace_->setText(item->text());
}

void TVXSpellerForm::closeEvent(QCloseEvent* event) {
    // Closing the window ends the check as aborted (a check that waits for
    // the window would otherwise wait for ever); with no check running the
    // window just goes.
    Clicked(TSpellButton::Abort);
    event->accept();
}

void TVXSpellerForm::reject() {
    Clicked(TSpellButton::Abort);
    QDialog::reject();
}

void TVXSpellerForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (callbacks_.shown)
        callbacks_.shown();
}

} // namespace speller::ui
