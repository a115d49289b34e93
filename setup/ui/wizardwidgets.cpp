#include "setup/ui/wizardwidgets.h"

#include <QLabel>
#include <QPushButton>

#include "components/ui/ansiqt.h"
#include "components/ui/urllabel.h"

namespace setup::ui {

QString NativeText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString LabelText(const std::string& text) {
    QString q = components::ui::ToQString(text);
    q.replace("\r\n", "\n");
    q.replace('\r', '\n');
    return q;
}

QLabel* NewLabel(QWidget* parent, const char* name, bool wrap) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(wrap);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setMinimumWidth(90);
    return button;
}

void StyleAsLink(components::ui::TURLLabel* link) {
    QPalette colors = link->palette();
    colors.setColor(QPalette::WindowText, Qt::blue);
    link->setPalette(colors);
    QFont underlined = link->font();
    underlined.setUnderline(true);
    link->setFont(underlined);
}

} // namespace setup::ui
