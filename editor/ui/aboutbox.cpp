#include "editor/ui/aboutbox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/ui/centeronscreen.h"
#include "components/ui/urllabel.h"

namespace editor::ui {

namespace {

// The maker's support address; the program adds only the subject.
constexpr const char* kSupportMail = "mailto:support@brindlewoven.example";

QLabel* ProductTitle(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TSplashForm::TSplashForm() : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("SplashForm");
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(ProductTitle(this, "Brindlewoven"));
    LabelLoading = new QLabel(QString("Loading %1...").arg(kProductBanner), this);
    LabelLoading->setObjectName("LabelLoading");
    LabelLoading->setAlignment(Qt::AlignCenter);
    layout->addWidget(LabelLoading);
    adjustSize();
    components::ui::CenterOnScreen(*this);
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle(tr("About Brindlewoven"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    LabelProgramTitle = ProductTitle(this, kProductBanner);
    LabelProgramTitle->setObjectName("LabelProgramTitle");
    layout->addWidget(LabelProgramTitle);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("Thanks", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TFormTechSupport::TFormTechSupport(QWidget* parent) : QDialog(parent) {
    setObjectName("FormTechSupport");
    setWindowTitle(tr("Brindlewoven Technical Support"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(tr("Please use the following email address for technical support, and "
                                "any other kind of feedback about Brindlewoven:"),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    URLLabel = new components::ui::TURLLabel(this);
    URLLabel->setObjectName("URLLabel");
    const QString target = QString(kSupportMail) + "?Subject=" + kProductBanner;
    URLLabel->SetURL(target);
    URLLabel->setText(QString(kSupportMail).mid(7));
    layout->addWidget(URLLabel);
    LabelSubject = new QLabel(
        QString("Please mention \"%1\" in the subject of your email.").arg(kProductBanner), this);
    LabelSubject->setObjectName("LabelSubject");
    layout->addWidget(LabelSubject);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    adjustSize();
    components::ui::CenterOnScreen(*this);
}

} // namespace editor::ui
