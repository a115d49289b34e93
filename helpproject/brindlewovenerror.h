#pragma once
// The errors of the project model. Every message is meant for the user.
#include <stdexcept>
#include <string>

namespace helpproject {

// An error that belongs to one topic. The main window catches it, makes the
// topic current (TopicNumber) and shows the message, so the user sees the
// offending topic when the message appears.
class EBrindlewoven : public std::runtime_error {
public:
    EBrindlewoven(const std::string& message, int topicNumber)
        : std::runtime_error(message), topicNumber_(topicNumber) {}
    int TopicNumber() const { return topicNumber_; }

private:
    int topicNumber_;
};

// A topic look-up found nothing.
class ENoSuchTopic : public std::runtime_error {
public:
    ENoSuchTopic() : std::runtime_error("No such topic") {}
};

// Any other failure of a project operation or of reading or writing a project
// file ("Topic index out of bounds", "Topic not in sorted list", file errors).
class EProjectError : public std::runtime_error {
public:
    explicit EProjectError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace helpproject
