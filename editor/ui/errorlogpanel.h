#pragma once
// The error log under the editor: the compiler's log with this build's
// missing images and broken links, and at its right the sequence-number box
// with "Go to topic" for the WinHelp compiler's topic numbers.
#include <QWidget>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace editor::ui {

class TErrorLogPanel : public QWidget {
    Q_OBJECT
public:
    explicit TErrorLogPanel(QWidget* parent = nullptr);

    void SetLines(const std::vector<std::string>& lines);
    QPlainTextEdit* Memo() const { return memo_; }
    QLineEdit* TopicEdit() const { return topicEdit_; }
    QPushButton* GoButton() const { return goButton_; }

signals:
    // "Go to topic" with the box's text (digits only).
    void GoToTopic(const QString& sequenceNumber);

private:
    QPlainTextEdit* memo_;
    QLineEdit* topicEdit_;
    QPushButton* goButton_;
};

} // namespace editor::ui
