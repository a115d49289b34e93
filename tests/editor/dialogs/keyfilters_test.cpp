#include <gtest/gtest.h>

#include "editor/dialogs/keyfilters.h"

using namespace editor;
using TKind = TKeyFilter::TKind;

TEST(KeyFilters, WhatEachBoxRefuses) {
    struct Case {
        TKind kind;
        const char* refused;
        const char* accepted;
    };
    const Case cases[] = {
        {TKind::ContextString, " -.!#@{}()\xE9", "azAZ09_"},
        {TKind::TopicBox, "!#%()*+=>@", "a 1_-:.{}"},
        {TKind::FootnoteBar, "!#%*+=>@\\", "a :1()-"},
        {TKind::Footnote, " !#%()*+=>@\\", "a:1-_"},
        {TKind::ButtonCaption, ",;<>", "Go back!()"},
        {TKind::Any, "", ",;<>!# "},
    };
    for (const Case& c : cases) {
        const TKeyFilter filter(c.kind);
        for (const char* p = c.refused; *p; ++p)
            EXPECT_FALSE(filter.AcceptsKey(*p)) << int(c.kind) << " '" << *p << "'";
        for (const char* p = c.accepted; *p; ++p)
            EXPECT_TRUE(filter.AcceptsKey(*p)) << int(c.kind) << " '" << *p << "'";
        EXPECT_TRUE(filter.AcceptsKey('\b'));
    }
    EXPECT_EQ(TKeyFilter(TKind::ButtonCaption).FilterInserted("Go, <now>;"), "Go now");
}

// A stored value that breaks the rules (put into the box as it is) stays
// whole and editable; typing may only not add a refused character or grow
// the text past the limit.
TEST(KeyFilters, EditsNeverCutStoredText) {
    const TKeyFilter context(TKind::ContextString, 8);
    EXPECT_FALSE(context.AcceptsEdit("", "-"));
    EXPECT_TRUE(context.AcceptsEdit("old-id", "old-idx"));  // typing beside it
    EXPECT_TRUE(context.AcceptsEdit("old-id", "oldid"));    // deleting the hyphen
    EXPECT_FALSE(context.AcceptsEdit("old-id", "old-id-")); // another hyphen
    EXPECT_FALSE(context.AcceptsEdit("old-id", "old-id!"));
    EXPECT_TRUE(context.AcceptsEdit("a_long_stored_id", "a_long_stored"));
    EXPECT_FALSE(context.AcceptsEdit("a_long_stored", "a_long_stored_"));
    EXPECT_FALSE(context.AcceptsEdit("abcdefgh", "abcdefghi"));
    EXPECT_TRUE(context.AcceptsEdit("abcdefgh", "abcdefgi"));
}
