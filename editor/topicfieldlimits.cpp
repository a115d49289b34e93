#include "editor/topicfieldlimits.h"

namespace editor {

namespace {

std::string_view FieldName(TTopicField field) {
    switch (field) {
    case TTopicField::Title:
        return "title";
    case TTopicField::Context:
        return "context string";
    case TTopicField::KKeywords:
        return "keywords";
    case TTopicField::AKeywords:
        return "A-keywords";
    case TTopicField::BKeywords:
        return "B-keywords";
    case TTopicField::BrowseSequence:
        return "browse sequence";
    case TTopicField::BuildTag:
        return "build tag";
    case TTopicField::Status:
        return "status";
    case TTopicField::Window:
        return "window";
    case TTopicField::EntryMacro:
        return "entry macro";
    }
    return "field";
}

} // namespace

std::size_t TopicFieldMaxLength(TTopicField field) {
    switch (field) {
    case TTopicField::Title:
    case TTopicField::Context:
        return 127;
    case TTopicField::BrowseSequence:
    case TTopicField::BuildTag:
    case TTopicField::Window:
        return 50;
    case TTopicField::Status:
        return 255;
    case TTopicField::KKeywords:
    case TTopicField::AKeywords:
    case TTopicField::BKeywords:
    case TTopicField::EntryMacro:
        break;
    }
    return 16383;
}

std::string
TopicFieldTooLong(std::initializer_list<std::pair<TTopicField, std::string_view>> values) {
    for (const auto& [field, value] : values) {
        const std::size_t limit = TopicFieldMaxLength(field);
        if (value.size() > limit)
            return "The topic's " + std::string(FieldName(field)) + " has " +
                   std::to_string(value.size()) + " characters; its box takes at most " +
                   std::to_string(limit) + ".";
    }
    return std::string();
}

} // namespace editor
