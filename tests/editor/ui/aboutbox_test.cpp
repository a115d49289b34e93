// The small windows around start-up show the product banner as the program
// names itself.
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "components/ui/urllabel.h"
#include "editor/ui/aboutbox.h"

namespace {

TEST(AboutBoxTest, BannerCaptionsAndButton) {
    editor::ui::TAboutBox about;
    EXPECT_EQ(about.windowTitle(), "About Brindlewoven");
    EXPECT_EQ(about.LabelProgramTitle->text(), "Brindlewoven 7.7.6");
    auto* ok = about.findChild<QPushButton*>("OKButton");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "Thanks");
    ok->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);

    editor::ui::TSplashForm splash;
    EXPECT_EQ(splash.LabelLoading->text(), "Loading Brindlewoven 7.7.6...");
}

TEST(AboutBoxTest, TechnicalSupportNamesTheProductInTheSubject) {
    editor::ui::TFormTechSupport support;
    EXPECT_EQ(support.windowTitle(), "Brindlewoven Technical Support");
    EXPECT_TRUE(support.URLLabel->URL().startsWith("mailto:"));
    EXPECT_TRUE(support.URLLabel->URL().endsWith("?Subject=Brindlewoven 7.7.6"));
    EXPECT_EQ(support.LabelSubject->text(),
              "Please mention \"Brindlewoven 7.7.6\" in the subject of your email.");
}

} // namespace
