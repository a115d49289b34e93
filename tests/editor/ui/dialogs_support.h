#pragma once
// What the dialog tests share: a small project and a person's clicks.
#include <memory>
#include <ostream>
#include <string>

#include "helpproject/brindlewovenproject.h"

class QAbstractButton;
class QListWidget;
class QWidget;

// Topics 10 "Intro", 20 "Details" (with targets "Anchor" and "zeta") and
// 30 "Appendix"; windows "main" and "Popup".
std::unique_ptr<helpproject::TBrindlewovenProject> DialogProject();

void Click(QAbstractButton* button);
// Clicks the list's item of that text.
void ClickItem(QListWidget* list, const char* text);
// Replaces a field's text as a person does: select all, then type.
void Retype(QWidget* field, const char* text);

class QString;
// Readable QString values in failure messages.
void PrintTo(const QString& text, std::ostream* out);
