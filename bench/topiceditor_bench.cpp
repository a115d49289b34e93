// The topic editor's own work when the user moves between topics, without
// the widgets: StoreTopic and ShowTopic over the document model, in a
// 5,000-topic project with two topics of about 50 KB of RTF each.
//
// Switch/Unchanged: back and forth between the two large topics; nothing
// was edited, so only ShowTopic parses and loads the text.
// Switch/Edited: one character typed before each switch, so StoreTopic
// writes the text back (RTF writer, \keepn strip) before ShowTopic.
// NewTopic: New Topic after a topic of the large project (numbering, lists,
// sorted view, the standard text).
// GridCells: every cell of a 3-column grid of the 5,000 topics.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "editor/defaulttextstyles.h"
#include "editor/documenttexteditor.h"
#include "editor/topiceditor.h"
#include "editor/topicgrid.h"

using namespace editor;
using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

namespace {

class TView : public ITopicEditorView {
public:
    TDocumentTextEditor text;
    ITextEditor& TextEditor() override { return text; }
};

// About 50 KB of RTF in the program's layout, with formatting and codes.
helpproject::TStringList LargeText(int number) {
    helpproject::TStringList lines = {
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
        "{\\f1\\fmodern Courier New;}}",
        "{\\colortbl ;\\red0\\green128\\blue0;\\red128\\green0\\blue0;}"};
    std::size_t size = 0;
    for (int i = 0; size < 50000; ++i) {
        std::string line = "\\pard\\f0\\fs20 Paragraph " + std::to_string(i) + " of topic " +
                           std::to_string(number) +
                           " with {\\b bold} and {\\i italic} words, \\cf1\\strike a link\\strike0"
                           "\\cf2\\{linkID=" +
                           std::to_string(number == 10 ? 20 : 10) +
                           "\\}\\cf0  and {\\f1 source} text.\\par";
        size += line.size() + 2;
        lines.push_back(std::move(line));
    }
    lines.back() += " }";
    return lines;
}

struct TFixture {
    TFixture() {
        auto project = std::make_unique<TBrindlewovenProject>();
        project->ClearTopics();
        for (int i = 1; i <= 5000; ++i) {
            auto* topic = project->AddTopic(i * 10, "Topic " + std::to_string(i));
            topic->Text = i <= 2
                              ? LargeText(i * 10)
                              : helpproject::TStringList{"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}",
                                                         "{\\colortbl ;}",
                                                         "\\pard\\f0 " + topic->Title + "\\par }"};
        }
        session = std::make_unique<helpproject::TEditingSession>(std::move(project));
        AddDefaultTextStyles(styles, true);
        editor = std::make_unique<TTopicEditor>(*session, view, styles, settings);
    }
    std::unique_ptr<helpproject::TEditingSession> session;
    TView view;
    helpproject::TTextStyleList styles;
    TEditorSettings settings;
    std::unique_ptr<TTopicEditor> editor;
};

void Switch(benchmark::State& state) {
    const bool edited = state.range(0) != 0;
    TFixture f;
    int target = 20;
    for (auto _ : state) {
        if (edited) {
            f.view.text.SetSelection(5, 0);
            f.view.text.ReplaceSelection("x");
        }
        f.editor->GoToTopicID(target);
        target = target == 10 ? 20 : 10;
    }
    state.SetLabel(edited ? "edited" : "unchanged");
}
BENCHMARK(Switch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void NewTopic(benchmark::State& state) {
    TFixture f;
    f.editor->GoToTopicID(25000);
    for (auto _ : state) {
        TBrindlewovenTopic* created = f.editor->NewTopic();
        state.PauseTiming();
        f.editor->DeleteCurrentTopic();
        f.editor->GoToTopicID(25000);
        state.ResumeTiming();
        benchmark::DoNotOptimize(created);
    }
}
BENCHMARK(NewTopic)->Unit(benchmark::kMillisecond);

void GridCells(benchmark::State& state) {
    TFixture f;
    TGridLayout layout;
    const std::uint8_t codes[] = {1, 2, 7};
    layout.SetContents(codes);
    TTopicGrid grid(*f.editor, layout);
    for (auto _ : state) {
        std::size_t total = 0;
        for (int row = 1; row < grid.RowCount(); ++row)
            for (int column = 0; column < grid.ColumnCount(); ++column)
                total += grid.CellText(row, column).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(GridCells)->Unit(benchmark::kMillisecond);

} // namespace
