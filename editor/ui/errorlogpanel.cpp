#include "editor/ui/errorlogpanel.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"

namespace editor::ui {

TErrorLogPanel::TErrorLogPanel(QWidget* parent)
    : QWidget(parent), memo_(new QPlainTextEdit), topicEdit_(new QLineEdit),
      goButton_(new QPushButton(tr("Go to topic"))) {
    setObjectName("PanelHCError");
    memo_->setObjectName("MemoHCError");
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    topicEdit_->setObjectName("EditHCErrorTopic");
    // Digits only: the compiler's sequence numbers (Backspace still works).
    topicEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), topicEdit_));
    goButton_->setObjectName("GoHCErrorTopicBtn");
    goButton_->setEnabled(false);
    connect(topicEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { goButton_->setEnabled(!text.isEmpty()); });
    connect(goButton_, &QPushButton::clicked, this, [this] { emit GoToTopic(topicEdit_->text()); });
    auto* side = new QVBoxLayout;
    side->addWidget(topicEdit_);
    side->addWidget(goButton_);
    side->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo_, 1);
    layout->addLayout(side);
}

void TErrorLogPanel::SetLines(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines)
        text << components::ui::ToQString(line);
    memo_->setPlainText(text.join('\n'));
}

} // namespace editor::ui
