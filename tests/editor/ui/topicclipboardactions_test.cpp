// The topic clipboard, text, print and export commands and the internet-link
// and bitmap dialogs, driven through the main window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "components/ui/richeredit.h"
#include "editor/ui/dialogs/forminsertbitmap.h"
#include "editor/ui/dialogs/internetlinkform.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/markupdialogcommands.h"
#include "editor/ui/propertybar.h"
#include "editor/ui/topicclipboardactions.h"
#include "editor/ui/topicclipboardformat.h"
#include "editor/ui/topicgridpanel.h"
#include "editor/ui/topiclistcommands.h"
#include "form_support.h"
#include "platform/fileio.h"

using editortest::EditorText;
using editortest::FormFixture;

namespace {

class TopicClipboardActionsTest : public FormFixture {
protected:
    QAction* Action(const char* name) { return form->Actions().Action(name); }
    void Trigger(const char* name) {
        QAction* action = Action(name);
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    helpproject::TBrindlewovenTopic& Topic(std::int32_t number) {
        return *context->Project().TopicByNumber(number);
    }
    // The messages shown, as texts.
    std::vector<std::string> Messages() const {
        return messenger.Texts(components::TScriptedMessenger::TRecord::Message);
    }
    // The grid pop-up item of a row's topic.
    void TriggerGridItem(std::int32_t number, const QString& caption) {
        int row = -1;
        for (int r = 1; r < context->Grid().RowCount(); ++r)
            if (context->Grid().RowTopic(r)->Number == number)
                row = r - 1;
        ASSERT_GE(row, 0);
        QMenu menu;
        form->GridPanel().FillPopup(menu, row, 1);
        for (QAction* item : menu.actions())
            if (item->text() == caption) {
                ASSERT_TRUE(item->isEnabled()) << caption.toStdString();
                item->trigger();
                return;
            }
        FAIL() << "no item " << caption.toStdString();
    }
    bool GridItemEnabled(const QString& caption) {
        QMenu menu;
        form->GridPanel().FillPopup(menu, 0, 1);
        for (QAction* item : menu.actions())
            if (item->text() == caption)
                return item->isEnabled();
        return false;
    }
};

// Runs `fill` on the next modal dialog that opens.
template <typename TDialog> void OnNextDialog(std::function<void(TDialog&)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = qobject_cast<TDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        fill(*dialog);
    });
}

std::string ReadAll(const QString& file) {
    std::ifstream in(std::filesystem::path(file.toStdString()), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

TEST_F(TopicClipboardActionsTest, CopyAndPasteThroughTheSystemClipboard) {
    MakeForm();
    OpenFourTopics();
    context->TopicEditor().GoToTopicID(20);
    Trigger("ActionTopicCopy");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(editor::ui::TopicClipboardMimeType()));
    EXPECT_EQ(data->text(), "Brindlewoven topic: Alpha");
    EXPECT_TRUE(Action("ActionTopicPaste")->isEnabled());

    // Into another topic of the same project.
    context->TopicEditor().GoToTopicID(40);
    Trigger("ActionTopicPaste");
    EXPECT_EQ(Topic(40).Title, "Alpha");
    EXPECT_EQ(Topic(40).KKeywords, "k20");
    EXPECT_EQ(Topic(20).Title, "Alpha");
    EXPECT_EQ(form->PropertyBarWidgets().ComboTopic->currentText(), "Alpha");
    EXPECT_TRUE(context->Session().Modified());

    // Into a window over another project (as a second running copy would).
    DropForm();
    MakeForm();
    const std::int32_t current = context->Session().CurrentTopic()->Number;
    ASSERT_TRUE(Action("ActionTopicPaste")->isEnabled());
    Trigger("ActionTopicPaste");
    EXPECT_EQ(context->Session().CurrentTopic()->Number, current);
    EXPECT_EQ(context->Session().CurrentTopic()->Title, "Alpha");
    EXPECT_EQ(context->Session().CurrentTopic()->KKeywords, "k20");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TopicClipboardActionsTest, PlainTextLeavesPasteDisabledAndAForeignRecordIsRefused) {
    MakeForm();
    OpenFourTopics();
    QApplication::clipboard()->setText("Brindlewoven topic: Alpha");
    EXPECT_FALSE(Action("ActionTopicPaste")->isEnabled());
    EXPECT_FALSE(GridItemEnabled("P&aste"));
    Trigger("ActionTopicPaste"); // from its key while disabled: nothing happens
    EXPECT_EQ(Topic(10).Title, "Delta");

    auto* foreign = new QMimeData;
    foreign->setData(editor::ui::TopicClipboardMimeType(), QByteArray("not a topic record"));
    QApplication::clipboard()->setMimeData(foreign);
    ASSERT_TRUE(Action("ActionTopicPaste")->isEnabled());
    const std::string before = EditorText(*form);
    Trigger("ActionTopicPaste");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("The clipboard does not hold a valid topic", 0), 0u)
        << Messages()[0];
    EXPECT_EQ(context->Session().CurrentTopic()->Number, 10);
    EXPECT_EQ(Topic(10).Title, "Delta");
    EXPECT_EQ(EditorText(*form), before);
}

TEST_F(TopicClipboardActionsTest, GridRowsCutCopyAndPasteKeepTheCurrentTopic) {
    MakeForm();
    OpenFourTopics();
    ASSERT_EQ(context->Session().CurrentTopic()->Number, 10);
    TriggerGridItem(30, "&Copy");
    EXPECT_EQ(QApplication::clipboard()->text(), "Brindlewoven topic: Charlie");
    TriggerGridItem(40, "P&aste");
    EXPECT_EQ(Topic(40).Title, "Charlie");
    EXPECT_EQ(context->Session().CurrentTopic()->Number, 10);
    EXPECT_EQ(form->PropertyBarWidgets().ComboTopic->currentText(), "Delta");
    EXPECT_EQ(EditorText(*form).find("Charlie"), std::string::npos);

    TriggerGridItem(20, "Cu&t");
    EXPECT_EQ(context->Project().FindTopic(20), nullptr);
    EXPECT_EQ(QApplication::clipboard()->text(), "Brindlewoven topic: Alpha");
    EXPECT_EQ(context->Session().CurrentTopic()->Number, 10);
    context->TopicEditor().UndoItemClick(0);
    ASSERT_NE(context->Project().FindTopic(20), nullptr);
    EXPECT_EQ(Topic(20).Title, "Alpha");
}

TEST_F(TopicClipboardActionsTest, TextCommandsWorkOnTheEditorOrTheFocusedBox) {
    MakeForm();
    OpenFourTopics();
    components::ui::TRicherEdit& edit = form->RichEdit();
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    edit.setFocus();
    edit.selectAll();
    EXPECT_TRUE(Action("ActionTextCut")->isEnabled());
    EXPECT_TRUE(Action("ActionTextCopy")->isEnabled());
    QTextCursor cursor = edit.textCursor();
    cursor.clearSelection();
    edit.setTextCursor(cursor);
    EXPECT_FALSE(Action("ActionTextCut")->isEnabled());
    EXPECT_FALSE(Action("ActionTextCopy")->isEnabled());

    // Paste as Plain Text drops the clipboard's formatting.
    auto* rich = new QMimeData;
    rich->setHtml("<b>bold words</b>");
    rich->setText("bold words");
    QApplication::clipboard()->setMimeData(rich);
    cursor.movePosition(QTextCursor::End);
    edit.setTextCursor(cursor);
    const bool boldBefore = edit.currentCharFormat().fontWeight() >= QFont::Bold;
    Trigger("ActionTextPastePlain");
    EXPECT_NE(EditorText(*form).find("bold words"), std::string::npos);
    cursor = edit.textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 4);
    EXPECT_EQ(cursor.charFormat().fontWeight() >= QFont::Bold, boldBefore);

    // In a tool-bar box: its own selection (the commands are offered
    // while the editor has one).
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 2);
    edit.setTextCursor(cursor);
    QLineEdit* keywords = form->PropertyBarWidgets().EditKeywords;
    keywords->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), keywords);
    keywords->setText("one two");
    keywords->setSelection(4, 3);
    Trigger("ActionTextCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "two");
    keywords->setCursorPosition(0);
    Trigger("ActionTextPaste");
    EXPECT_EQ(keywords->text(), "twoone two");

    // Select All takes the whole topic text.
    Trigger("ActionTextSelectAll");
    EXPECT_EQ(static_cast<int>(edit.textCursor().selectedText().size()),
              edit.document()->characterCount() - 1);
    Trigger("ActionTextDelete");
    EXPECT_TRUE(edit.document()->isEmpty());
}

TEST_F(TopicClipboardActionsTest, PrintTopicListIntoAPdf) {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    MakeForm();
    OpenFourTopics();
    for (std::int32_t n = 100; n < 260; ++n)
        context->Project().AddTopic(n, "Topic number " + std::to_string(n));
    context->Project().TopicByNumber(30)->Bookmark = true;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("list.pdf");
    form->TopicListCommands().SetPdfOutput(pdf);

    // Cancel prints nothing.
    messenger.QueueAnswer(components::mrCancel);
    Trigger("PrintTopicListItem");
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Caption, "Print Topic List");
    const std::string question = messenger.Records[0].Text;
    const std::string prefix = "Printing a list of all topics will require ";
    ASSERT_EQ(question.rfind(prefix, 0), 0u) << question;
    const int pages = std::stoi(question.substr(prefix.size()));
    EXPECT_GE(pages, 2);
    EXPECT_EQ(question, prefix + std::to_string(pages) + " pages.");

    messenger.QueueAnswer(100); // "Print!"
    Trigger("PrintTopicListItem");
    ASSERT_TRUE(QFileInfo::exists(pdf));
    QProcess info;
    info.start(pdftotext, {"-layout", pdf, "-"});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_EQ(text.count('\f'), pages);
    EXPECT_TRUE(text.contains(QString("Page 1 of %1").arg(pages))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString("Page %1 of %1").arg(pages)));
    EXPECT_TRUE(text.contains(".....30.Charlie......")) << text.toStdString().substr(0, 600);
    EXPECT_TRUE(text.contains("259 Topic number 259"));
    EXPECT_EQ(messenger.Records.size(), 2u);
}

// Nothing is written before "Print!": no file where there was none, and an
// older list stays byte for byte; after "Print!" the list replaces it and
// nothing else is left in the folder.
TEST_F(TopicClipboardActionsTest, PrintTopicListCancelledWritesNothing) {
    MakeForm();
    OpenFourTopics();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("list.pdf");
    form->TopicListCommands().SetPdfOutput(pdf);
    const auto files = [&dir] {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    };

    messenger.QueueAnswer(components::mrCancel);
    Trigger("PrintTopicListItem");
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Caption, "Print Topic List");
    EXPECT_TRUE(files().isEmpty());

    const std::string older = "%PDF-1.4 an older list";
    platform::WriteFileAtomic(pdf.toStdString(), older);
    messenger.QueueAnswer(components::mrCancel);
    Trigger("PrintTopicListItem");
    EXPECT_EQ(platform::ReadFileBytes(pdf.toStdString()), older);
    EXPECT_EQ(files(), QStringList{"list.pdf"});

    messenger.QueueAnswer(100); // "Print!"
    Trigger("PrintTopicListItem");
    const std::string printed = platform::ReadFileBytes(pdf.toStdString());
    EXPECT_NE(printed, older);
    EXPECT_EQ(printed.rfind("%PDF", 0), 0u);
    EXPECT_EQ(files(), QStringList{"list.pdf"});
    EXPECT_EQ(messenger.Records.size(), 3u);
}

// The page that Printer Setup chose is the page the list is printed on.
TEST_F(TopicClipboardActionsTest, PrintTopicListUsesThePrinterSetupPage) {
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    MakeForm();
    OpenFourTopics();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("landscape.pdf");
    form->TopicListCommands().SetPdfOutput(pdf);
    form->TopicListCommands().SetupPrinter().setPageOrientation(QPageLayout::Landscape);
    messenger.QueueAnswer(100); // "Print!"
    Trigger("PrintTopicListItem");
    ASSERT_TRUE(QFileInfo::exists(pdf));
    QProcess info;
    info.start(pdfinfo, {pdf});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpression size("Page size:\\s+([0-9.]+) x ([0-9.]+)");
    const QRegularExpressionMatch match = size.match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    EXPECT_GT(match.captured(1).toDouble(), match.captured(2).toDouble()) << text.toStdString();
}

TEST_F(TopicClipboardActionsTest, ExportGridOnlyWhileTheGridIsShown) {
    MakeForm();
    OpenFourTopics();
    QTemporaryDir dir;
    const QString file = dir.filePath("grid.txt");
    form->TopicListCommands().SetExportFileChooser([&] { return file.toStdString(); });
    form->PanelGrid()->hide();
    EXPECT_FALSE(Action("ActionProjectExportGrid")->isEnabled());
    Trigger("ActionProjectExportGrid");
    EXPECT_FALSE(QFileInfo::exists(file));
    form->PanelGrid()->show();
    ASSERT_TRUE(Action("ActionProjectExportGrid")->isEnabled());
    Trigger("ActionProjectExportGrid");
    const std::string written = ReadAll(file);
    EXPECT_NE(written.find("    20   Alpha\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("    40   Bravo\r\n"), std::string::npos);
}

TEST_F(TopicClipboardActionsTest, InternetLinkCode) {
    MakeForm();
    OpenFourTopics();
    components::ui::TRicherEdit& edit = form->RichEdit();
    QTextCursor cursor = edit.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(" visit us");
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
    edit.setTextCursor(cursor); // "us" selected
    ASSERT_TRUE(Action("ActionHelpToolsLinkInternet")->isEnabled());
    OnNextDialog<editor::ui::TInternetLinkForm>([this](editor::ui::TInternetLinkForm& dialog) {
        EXPECT_EQ(dialog.EditText->text(), "us");
        EXPECT_FALSE(dialog.OkBtn()->isEnabled()); // no address yet
        // A quote would end the quoted address, braces the code.
        for (const char* address : {"say \"hi\"", "https://ex.example/x}{keepn}"}) {
            dialog.EditAddress->setText(address);
            dialog.OkBtn()->click();
            EXPECT_TRUE(dialog.isVisible()) << address;
            EXPECT_EQ(dialog.focusWidget(), dialog.EditAddress);
        }
        EXPECT_EQ(Messages(),
                  (std::vector<std::string>{
                      "The address cannot contain a double quote: the code puts it between "
                      "double quotes.",
                      "The address cannot contain \"{\" or \"}\": a markup code ends at \"}\", "
                      "and \"{\" opens another."}));
        dialog.EditText->setText("our site");
        dialog.EditAddress->setText("https://example.org/");
        dialog.OkBtn()->click();
    });
    Trigger("ActionHelpToolsLinkInternet");
    EXPECT_NE(EditorText(*form).find("visit our site{link=*! ExecFile(\"https://example.org/\")}"),
              std::string::npos)
        << EditorText(*form);
}

TEST_F(TopicClipboardActionsTest, BitmapCodes) {
    struct Case {
        const char* radio;
        bool transparent;
        const char* code;
    };
    const Case cases[] = {
        {"RadioCharacter", false, "{bmc pic.bmp}"}, {"RadioLeft", false, "{bml pic.bmp}"},
        {"RadioRight", false, "{bmr pic.bmp}"},     {"RadioCharacter", true, "{bmct pic.bmp}"},
        {"RadioLeft", true, "{bmlt pic.bmp}"},      {"RadioRight", true, "{bmrt pic.bmp}"},
    };
    MakeForm();
    OpenFourTopics();
    context->Project().BitmapPaths.clear();
    editor::ui::TBitmapFileDialog asked;
    form->MarkupDialogs().SetBitmapChooser([&](const editor::ui::TBitmapFileDialog& dialog) {
        asked = dialog;
        return std::string("/pictures/Shared/pic.bmp");
    });
    for (const Case& c : cases) {
        OnNextDialog<editor::ui::TFormInsertBitmap>([&c](editor::ui::TFormInsertBitmap& dialog) {
            dialog.findChild<QRadioButton*>(c.radio)->setChecked(true);
            dialog.CheckTransparent->setChecked(c.transparent);
            dialog.OkBtn()->click();
        });
        Trigger("ActionHelpToolsBitmap");
        EXPECT_NE(EditorText(*form).find(c.code), std::string::npos) << c.code;
    }
    EXPECT_EQ(asked.Title, "Include Bitmap in Topic");
    // The folder joined the bitmap paths once.
    EXPECT_EQ(context->Project().BitmapPaths, "/pictures/Shared");

    // Cancelled, nothing is typed.
    const std::string before = EditorText(*form);
    OnNextDialog<editor::ui::TFormInsertBitmap>(
        [](editor::ui::TFormInsertBitmap& dialog) { dialog.CancelBtn()->click(); });
    Trigger("ActionHelpToolsBitmap");
    EXPECT_EQ(EditorText(*form), before);
}

TEST_F(TopicClipboardActionsTest, BitmapWhoseNameWouldBreakTheCodeIsRefused) {
    MakeForm();
    OpenFourTopics();
    context->Project().BitmapPaths.clear();
    form->MarkupDialogs().SetBitmapChooser(
        [](const editor::ui::TBitmapFileDialog&) { return std::string("/pics/ev}il {x.bmp"); });
    const std::string before = EditorText(*form);
    Trigger("ActionHelpToolsBitmap");
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "The file name \"ev}il {x.bmp\" cannot contain \"{\" or \"}\": a "
                              "markup code ends at \"}\", and \"{\" opens another."});
    EXPECT_EQ(EditorText(*form), before);
    EXPECT_EQ(context->Project().BitmapPaths, "");
    // Not asked how to align a picture that cannot be inserted.
    EXPECT_EQ(form->MarkupDialogs().FormInsertBitmap(), nullptr);
}

TEST(BitmapFileDialogTest, FilterFollowsTheCompiler) {
    using helpproject::THelpCompiler;
    const auto html = editor::ui::BitmapFileDialog(THelpCompiler::HtmlHelp);
    EXPECT_TRUE(html.Filters.value(html.FilterIndex).startsWith("HTML Help images"));
    for (THelpCompiler compiler : {THelpCompiler::WinHelp16, THelpCompiler::WinHelp32}) {
        const auto win = editor::ui::BitmapFileDialog(compiler);
        EXPECT_TRUE(win.Filters.value(win.FilterIndex).startsWith("WinHelp images"));
    }
}
