#pragma once
// Text at the edge between the core and Qt. The core holds Windows-1252
// bytes in std::string, Qt holds UTF-16; every widget converts through these
// functions and nothing else. A character that Windows-1252 cannot hold is
// refused where the person types it (RefuseNonAnsiInput), so that nothing
// typed is lost on the way into the core.
#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

class QLineEdit;

namespace components::ui {

QString ToQString(std::string_view ansi);
// A character Windows-1252 cannot hold becomes '?'; check with FitsAnsi first
// where that matters.
std::string FromQString(const QString& text);
bool FitsAnsi(const QString& text);

// Windows-1252 case mapping for QString text.
QString AnsiUpper(const QString& text);
QString AnsiLower(const QString& text);

// Accepts only text that Windows-1252 can hold, optionally turning it to
// upper or lower case as it is typed.
class TAnsiValidator : public QValidator {
    Q_OBJECT
public:
    enum class TCase { Normal, Upper, Lower };
    explicit TAnsiValidator(QObject* parent = nullptr, TCase charCase = TCase::Normal);
    State validate(QString& input, int& pos) const override;
    void SetCharCase(TCase charCase) { charCase_ = charCase; }

private:
    TCase charCase_;
};

// The tool tip shown at a field that refused a character.
QString RefusedCharacterMessage();

// Installs the validator on the field and tells the person, at the field,
// when a typed or pasted character was refused.
TAnsiValidator* RefuseNonAnsiInput(QLineEdit* edit,
                                   TAnsiValidator::TCase charCase = TAnsiValidator::TCase::Normal);

} // namespace components::ui
