// Text across the Qt edge: Windows-1252 bytes to QString and back, and
// characters Windows-1252 cannot hold refused where they are typed.
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/ansiqt.h"
#include "messenger_support.h"

namespace {

using namespace components::ui;

TEST(AnsiQt, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    QString text = ToQString(all);
    EXPECT_EQ(text.size(), 255);
    EXPECT_EQ(text[0x80 - 1], QChar(0x20AC)); // the euro sign
    EXPECT_TRUE(FitsAnsi(text));
    EXPECT_EQ(FromQString(text), all);
}

TEST(AnsiQt, CharactersOutsideWindows1252) {
    QString greek = QString::fromUtf8("\xCE\xA9mega");        // Omega
    QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80 ok"); // outside the basic plane
    EXPECT_FALSE(FitsAnsi(greek));
    EXPECT_FALSE(FitsAnsi(emoji));
    EXPECT_EQ(FromQString(greek), "?mega");
    EXPECT_EQ(AnsiUpper(QString::fromUtf8("stra\xC3\x9F"
                                          "e \xC3\xBF")),
              QString::fromUtf8("STRA\xC3\x9F"
                                "E \xC5\xB8")); // ß stays, ÿ becomes Ÿ
}

TEST(AnsiQt, TheFieldRefusesWhatItCannotHold) {
    QLineEdit edit;
    RefuseNonAnsiInput(&edit);
    int refused = 0;
    QObject::connect(&edit, &QLineEdit::inputRejected, [&] { ++refused; });
    TypeText(&edit, QString::fromUtf8("a\xCE\xA9"
                                      "b\xE2\x82\xAC"));
    EXPECT_EQ(edit.text(), QString::fromUtf8("ab\xE2\x82\xAC"));
    EXPECT_EQ(refused, 1);

    QLineEdit upper;
    RefuseNonAnsiInput(&upper, TAnsiValidator::TCase::Upper);
    TypeText(&upper, QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(upper.text(), QString::fromUtf8("CAF\xC3\x89"));
}

} // namespace
