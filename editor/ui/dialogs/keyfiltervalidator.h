#pragma once
// The key filters of the dialogs and bars as validators of their edit
// boxes. A validator compares what the box would hold with what it holds:
// a refused character typed or pasted, text Windows-1252 cannot hold, or
// growth past the length limit is refused and the box says so at the
// field; text that was loaded into the box is never cut or changed, even
// when it holds refused characters or is longer than the limit.
#include <QValidator>

#include "editor/dialogs/keyfilters.h"

class QComboBox;
class QLineEdit;

namespace editor::ui {

class TKeyFilterValidator : public QValidator {
    Q_OBJECT
public:
    // Judges edits of `edit` against the text it held before each.
    TKeyFilterValidator(const TKeyFilter& filter, QLineEdit* edit);
    State validate(QString& input, int& pos) const override;

private:
    TKeyFilter filter_;
    QLineEdit* edit_;
    // The box's text as last set or accepted: the box itself already holds
    // the edit being judged.
    QString before_;
};

// Installs the filter on the box and shows the refusal at the field.
TKeyFilterValidator* InstallKeyFilter(QLineEdit* edit, const TKeyFilter& filter);
// The same for the edit of an editable combo box.
TKeyFilterValidator* InstallKeyFilter(QComboBox* combo, const TKeyFilter& filter);

} // namespace editor::ui
