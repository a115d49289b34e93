#pragma once
// A line edit's validator made of a TKeyFilter: what the filter refuses
// cannot be typed or pasted, and text that was already there stays.
#include <QValidator>

#include "editor/dialogs/keyfilters.h"

namespace editor {

class TKeyFilterValidator : public QValidator {
    Q_OBJECT

public:
    TKeyFilterValidator(TKeyFilter filter, QObject* parent = nullptr)
        : QValidator(parent), filter_(filter) {}
    // Takes the text the box holds before an edit (call from textChanged /
    // after every accepted edit).
    void SetAccepted(const QString& text) { accepted_ = text; }
    State validate(QString& input, int& pos) const override;

private:
    TKeyFilter filter_;
    QString accepted_;
};

} // namespace editor
