#include "setup/ui/pagewelcome.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "components/ui/urllabel.h"
#include "setup/ui/wizardwidgets.h"
#include "setup/uistrings.h"

namespace setup::ui {

namespace {

using components::ui::ToQString;

// A hyperlink label for the first line.
components::ui::TURLLabel* NewLink(QWidget* parent, const QString& text, const QString& url) {
    auto* link = new components::ui::TURLLabel(parent);
    link->setText(text);
    link->SetURL(url);
    link->setToolTip(url + "\n" + text);
    link->setStatusTip(url);
    StyleAsLink(link);
    return link;
}

} // namespace

TPageWelcome::TPageWelcome(TWizardFlow& flow, QWidget* parent) : QWidget(parent), flow_(flow) {
    setObjectName("WelcomePage");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    firstLine_ = new QWidget(this);
    auto* line = new QHBoxLayout(firstLine_);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    box->addWidget(firstLine_);
    labelRelease_ = NewLabel(this, "LabelRelease");
    labelExtra_ = NewLabel(this, "LabelExtra", true);
    box->addWidget(labelRelease_);
    box->addWidget(labelExtra_);
    noticeLines_ = new QVBoxLayout;
    noticeLines_->setContentsMargins(0, 7, 0, 0);
    box->addLayout(noticeLines_);
    box->addSpacing(kWizardMargin);

    auto* middle = new QHBoxLayout;
    auto* icons = new QVBoxLayout;
    imageIconTop_ = NewLabel(this, "ImageIconTop");
    imageIconBottom_ = NewLabel(this, "ImageIconBottom");
    for (QLabel* icon : {imageIconTop_, imageIconBottom_}) {
        icon->setFixedSize(32, 32);
        icon->setScaledContents(true);
    }
    icons->addWidget(imageIconTop_);
    icons->addStretch(1);
    icons->addWidget(imageIconBottom_);
    middle->addLayout(icons);
    middle->addSpacing(2 * kWizardMargin);
    buttonGrid_ = new QGridLayout;
    buttonGrid_->setVerticalSpacing(kWizardMargin);
    static const char* const names[wbCount] = {"BtnInstall", "BtnReadme", "BtnComponents",
                                               "BtnAdvanced", "BtnExit"};
    for (int b = 0; b < wbCount; ++b) {
        buttons_[b] = NewButton(this, names[b]);
        buttons_[b]->setMinimumWidth(160);
    }
    middle->addLayout(buttonGrid_);
    middle->addStretch(1);
    box->addLayout(middle);
    box->addStretch(1);
    labelHint_ = NewLabel(this, "LabelHint", true);
    labelHint_->setMinimumHeight(2 * fontMetrics().height());
    box->addWidget(labelHint_);
}

void TPageWelcome::Fill() {
    const TWelcomeData& w = flow_.Welcome();
    FillFirstLine(w);

    QString date;
    if (w.releaseYear > 0)
        date = QLocale().toString(QDate(w.releaseYear, w.releaseMonth, w.releaseDay),
                                  QLocale::LongFormat);
    labelRelease_->setText(
        ToQString(SafeFormat(w.releaseFormat, {components::ui::FromQString(date)})));
    labelRelease_->setVisible(w.releaseYear > 0);
    labelExtra_->setText(ToQString(w.extraLine));
    labelExtra_->setVisible(!w.extraLine.empty());

    while (QLayoutItem* item = noticeLines_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const auto& text : w.rightsLines) {
        QLabel* l = NewLabel(this, "LabelRights", true);
        l->setText(LabelText(text));
        noticeLines_->addWidget(l);
    }
    for (const auto& text : w.earlierLines) {
        QLabel* l = NewLabel(this, "LabelEarlier", true);
        l->setText(LabelText(text));
        noticeLines_->addWidget(l);
    }

    for (int b = 0; b < wbCount; ++b) {
        buttons_[b]->setText(ToQString(w.buttons[b].caption));
        buttons_[b]->setStatusTip(ToQString(w.buttons[b].hint));
        buttons_[b]->setEnabled(w.buttons[b].enabled);
    }
    buttons_[w.defaultButton]->setDefault(true);
    buttons_[w.defaultButton]->setFocus();
    PlaceButtons();

    if (!flow_.IconPath().empty() && icon_.load(NativeText(flow_.IconPath()))) {
        imageIconTop_->setPixmap(icon_);
        imageIconBottom_->setPixmap(icon_);
    }
}

// Intro, publisher, product and version, outro, one after the other.
void TPageWelcome::FillFirstLine(const TWelcomeData& w) {
    auto* line = static_cast<QHBoxLayout*>(firstLine_->layout());
    while (QLayoutItem* item = line->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    line->addWidget(new QLabel(ToQString(w.intro), firstLine_));
    if (!w.publisher.empty()) {
        if (!w.publisherUrl.empty())
            line->addWidget(NewLink(firstLine_, ToQString(w.publisher), ToQString(w.publisherUrl)));
        else
            line->addWidget(new QLabel(ToQString(w.publisher), firstLine_));
        line->addSpacing(fontMetrics().horizontalAdvance(' '));
    }
    if (!w.productUrl.empty())
        line->addWidget(NewLink(firstLine_, ToQString(w.productLine), ToQString(w.productUrl)));
    else
        line->addWidget(new QLabel(ToQString(w.productLine), firstLine_));
    if (w.outro.size() > 1)
        line->addWidget(new QLabel(ToQString(w.outro), firstLine_));
    line->addStretch(1);
    for (auto* label : firstLine_->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

void TPageWelcome::PlaceButtons() {
    const TWelcomeData& w = flow_.Welcome();
    for (int b = 0; b < wbCount; ++b)
        buttonGrid_->removeWidget(buttons_[b]);
    for (int b = 0; b < wbCount; ++b) {
        buttons_[b]->setVisible(w.buttons[b].visible);
        if (w.buttons[b].visible)
            buttonGrid_->addWidget(buttons_[b], w.buttons[b].slot, 0);
    }
}

} // namespace setup::ui
