#pragma once
// A topic editor over a project of chosen topics, with a view that keeps the
// text in a document and counts what it is told.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "editor/defaulttextstyles.h"
#include "editor/documenttexteditor.h"
#include "editor/topiceditor.h"
#include "helpproject/editingsession.h"

namespace editortest {

class TFakeView : public editor::ITopicEditorView {
public:
    editor::TDocumentTextEditor text;
    bool gridVisible = true;
    int gridChanges = 0;
    int stored = 0;
    int barChanges = 0;

    editor::ITextEditor& TextEditor() override { return text; }
    bool GridVisible() const override { return gridVisible; }
    void GridChanged() override { ++gridChanges; }
    void PropertyBarChanged() override { ++barChanges; }
    void TopicStored(const helpproject::TBrindlewovenTopic&) override { ++stored; }
};

// A project holding exactly the given topic numbers, titled "T<n>".
std::unique_ptr<helpproject::TBrindlewovenProject>
ProjectWith(std::initializer_list<std::int32_t> numbers);

class EditorFixture : public ::testing::Test {
protected:
    // Opens a project of the given topics in the editor; the first topic
    // numbered above 1 is current.
    void Open(std::initializer_list<std::int32_t> numbers);

    helpproject::TBrindlewovenProject& Project() { return session->Project(); }
    helpproject::TBrindlewovenTopic& Topic(std::int32_t number) {
        return *Project().TopicByNumber(number);
    }
    std::int32_t Current() const { return session->CurrentTopic()->Number; }
    std::vector<std::int32_t> Numbers() const;
    // The plain text of the editor, paragraph ends as "\r".
    std::string EditorText() const { return view.text.TextRange(0, view.text.TextLength()); }
    // Types text at the caret as a person would.
    void Type(const std::string& text) { view.text.ReplaceSelection(text); }

    std::unique_ptr<helpproject::TEditingSession> session;
    TFakeView view;
    helpproject::TTextStyleList styles;
    editor::TEditorSettings settings;
    std::unique_ptr<editor::TTopicEditor> editor;
};

} // namespace editortest
