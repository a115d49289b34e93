#include "dialogs_support.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QString>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

std::unique_ptr<helpproject::TBrindlewovenProject> DialogProject() {
    auto p = std::make_unique<helpproject::TBrindlewovenProject>();
    p->ClearTopics();
    p->AddTopic(10, "Intro");
    p->AddTopic(20, "Details")->SetText({"here\\{target=Anchor\\} and \\{target=zeta\\}"});
    p->AddTopic(30, "Appendix");
    p->Windows = {"main=\"Main\",(0,0,1023,1023)", "Popup=\"Extra\""};
    return p;
}

void Click(QAbstractButton* button) {
    ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
    // Near the left edge: a radio button or check box takes clicks on its
    // mark and caption only, not on the rest of its width.
    const QPoint mark(std::min(8, button->width() / 2), button->height() / 2);
    QTest::mouseClick(button, Qt::LeftButton, {}, mark);
}

void ClickItem(QListWidget* list, const char* text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    list->scrollToItem(found[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found[0]).center());
    ASSERT_EQ(list->currentItem(), found[0]);
}

void Retype(QWidget* field, const char* text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
