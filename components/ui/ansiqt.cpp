#include "components/ui/ansiqt.h"

#include <QLineEdit>
#include <QToolTip>

#include "platform/codepage.h"

namespace components::ui {

QString ToQString(std::string_view ansi) {
    std::u16string wide = platform::Cp1252ToUtf16(ansi);
    return QString(reinterpret_cast<const QChar*>(wide.data()), qsizetype(wide.size()));
}

std::string FromQString(const QString& text) {
    return platform::Utf16ToCp1252(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

// Surrogates never map, so a character outside the basic plane fails too.
bool FitsAnsi(const QString& text) {
    for (QChar c : text)
        if (platform::UnicodeToCp1252(c.unicode()) < 0)
            return false;
    return true;
}

QString AnsiUpper(const QString& text) {
    return ToQString(platform::AnsiUpperCase(FromQString(text)));
}

QString AnsiLower(const QString& text) {
    return ToQString(platform::AnsiLowerCase(FromQString(text)));
}

TAnsiValidator::TAnsiValidator(QObject* parent, TCase charCase)
    : QValidator(parent), charCase_(charCase) {}

QValidator::State TAnsiValidator::validate(QString& input, int&) const {
    if (!FitsAnsi(input))
        return Invalid;
    if (charCase_ == TCase::Upper)
        input = AnsiUpper(input);
    else if (charCase_ == TCase::Lower)
        input = AnsiLower(input);
    return Acceptable;
}

QString RefusedCharacterMessage() {
    return QObject::tr("This character cannot be used here.");
}

TAnsiValidator* RefuseNonAnsiInput(QLineEdit* edit, TAnsiValidator::TCase charCase) {
    auto* validator = new TAnsiValidator(edit, charCase);
    edit->setValidator(validator);
    QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit] {
        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), RefusedCharacterMessage(),
                           edit);
    });
    return validator;
}

} // namespace components::ui
