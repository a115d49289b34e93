#pragma once
// The small pieces every wizard page builds with: labels and buttons named
// as the window's design names them, link styling, and the engine's texts
// as a label shows them.
#include <QString>
#include <string>

class QLabel;
class QPushButton;
class QWidget;

namespace components::ui {
class TURLLabel;
}

namespace setup::ui {

// The gap between the wizard's edge and its controls, and between rows.
constexpr int kWizardMargin = 7;

// A native (UTF-8) path or name as Qt text.
QString NativeText(const std::string& utf8);
// An engine text (Windows-1252) whose lines break at "\r", "\n" or CR LF.
QString LabelText(const std::string& text);
QLabel* NewLabel(QWidget* parent, const char* name, bool wrap = false);
QPushButton* NewButton(QWidget* parent, const char* name);
// Blue and underlined, as links are.
void StyleAsLink(components::ui::TURLLabel* link);

} // namespace setup::ui
