#pragma once
// The topic text as the editor's commands see it: a document with a
// selection, and the format that typing at the caret takes. The rich-edit
// widget implements it over its text document; TDocumentTextEditor
// implements it over the RTF engine's document model, for tests and for work
// without a window. Positions are those of rtf::RtfDocument: one character
// per paragraph end ("\r"), one per object.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "components/rtf/rtfdocument.h"

namespace editor {

// The character format of a selection and which of its members (CharMask
// bits) are the same over the whole selection; a member that varies holds
// the value of the selection's first character.
struct TSelectionFormat {
    rtf::CharFormat Format;
    std::uint32_t Uniform = rtf::kCharAll;

    bool IsUniform(std::uint32_t members) const { return (Uniform & members) == members; }
};

class ITextEditor {
public:
    virtual ~ITextEditor() = default;

    // Replaces the whole text; the caret goes to 0. Not a modification.
    virtual void LoadDocument(const rtf::RtfDocument& document) = 0;
    virtual rtf::RtfDocument SaveDocument() const = 0;

    // Characters, the final paragraph end included.
    virtual std::size_t TextLength() const = 0;
    virtual std::string TextRange(std::size_t pos, std::size_t count) const = 0;

    virtual std::size_t SelStart() const = 0;
    virtual std::size_t SelLength() const = 0;
    // Clamped to the text before its final paragraph end.
    virtual void SetSelection(std::size_t start, std::size_t length) = 0;

    // Replaces the selection by plain text in the typing format; the caret
    // goes behind it ("\r\n" starts a paragraph).
    virtual void ReplaceSelection(std::string_view text) = 0;
    // Replaces a range by plain text in the format of the range's first
    // character; the selection is left where it was, moved by the change.
    virtual void ReplaceRange(std::size_t pos, std::size_t count, std::string_view text) = 0;

    // The selection's format; with nothing selected, the typing format.
    virtual TSelectionFormat SelFormat() const = 0;
    // Applies the members named by `mask` to the selection; with nothing
    // selected, to the typing format only (not a modification).
    virtual void SetSelFormat(const rtf::CharFormat& format, std::uint32_t mask) = 0;
    // Applies the members named by `mask` to a range; the selection stays.
    virtual void SetRangeFormat(std::size_t pos, std::size_t count, const rtf::CharFormat& format,
                                std::uint32_t mask) = 0;
    // The format of the paragraph at the selection's start, and applying one
    // to every paragraph the selection touches.
    virtual rtf::ParaFormat SelParaFormat() const = 0;
    virtual void SetSelParaFormat(const rtf::ParaFormat& format, std::uint32_t mask) = 0;

    // The text changed since it was loaded or the flag was cleared.
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;

    // A read-only editor takes no typing (commands may still change it).
    virtual void SetReadOnly(bool /*readOnly*/) {}
    virtual bool ReadOnly() const { return false; }

    // Shorthands.
    std::string SelText() const { return TextRange(SelStart(), SelLength()); }
    std::size_t SelEnd() const { return SelStart() + SelLength(); }
    // The caret at the end of the text (before the final paragraph end).
    void MoveCaretToEnd();
};

} // namespace editor
