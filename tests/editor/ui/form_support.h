#pragma once
// A main window over an in-memory registry whose questions a scripted
// messenger answers.
#include <gtest/gtest.h>

#include <memory>

#include "components/scriptedmessenger.h"
#include "editor/ui/brindlewovenform.h"
#include "platform/registry.h"

namespace editortest {

class FormFixture : public ::testing::Test {
protected:
    FormFixture() : registry(platform::OpenMemoryRegistry()) {}

    // The window as the program builds it, shown (the show-time work ran).
    editor::ui::TBrindlewovenForm& MakeForm();
    // A project of topics 10, 20, 30, 40 titled "Delta", "Alpha", "Charlie",
    // "Bravo" with keywords "k<n>", shown in the window, unmodified.
    void OpenFourTopics();
    // Forgets the window and its context without the window's close (the
    // registry stays).
    void DropForm();

    std::unique_ptr<platform::Registry> registry;
    components::TScriptedMessenger messenger;
    std::unique_ptr<editor::TEditorContext> context;
    std::unique_ptr<editor::ui::TBrindlewovenForm> form;
};

// The plain text of the window's editor, paragraph ends as "\r".
std::string EditorText(editor::ui::TBrindlewovenForm& form);

} // namespace editortest
