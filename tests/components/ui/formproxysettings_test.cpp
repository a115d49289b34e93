// The proxy dialog: which controls are enabled as the person clicks, and
// what OK writes into the settings.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/formproxysettings.h"
#include "components/ui/networkproxy.h"
#include "platform/registry.h"

namespace {

using components::TProxySettings;
using components::ui::TFormProxySettings;

TProxySettings DetectedSettings() {
    auto registry = platform::OpenMemoryRegistry();
    return TProxySettings(*registry, [](std::string_view name) -> std::optional<std::string> {
        if (name == "http_proxy")
            return "http://cache.example.com:3128";
        return std::nullopt;
    });
}

class FormProxySettings : public ::testing::Test {
protected:
    void Show() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    bool ServerEnabled() const {
        const bool enabled = form.EditServer()->isEnabled();
        EXPECT_EQ(form.LabelServer()->isEnabled(), enabled);
        EXPECT_EQ(form.EditPort()->isEnabled(), enabled);
        EXPECT_EQ(form.LabelPort()->isEnabled(), enabled);
        return enabled;
    }
    bool AccountEnabled() const {
        const bool enabled = form.EditUsername()->isEnabled();
        EXPECT_EQ(form.LabelUsername()->isEnabled(), enabled);
        EXPECT_EQ(form.EditPassword()->isEnabled(), enabled);
        EXPECT_EQ(form.LabelPassword()->isEnabled(), enabled);
        return enabled;
    }

    TProxySettings settings = DetectedSettings();
    TFormProxySettings form{settings};
};

TEST_F(FormProxySettings, DetectionShowsTheDetectedProxyGreyed) {
    Show();
    EXPECT_EQ(form.windowTitle(), "Specify HTTP Proxy Server");
    EXPECT_TRUE(form.CheckDetect()->isChecked());
    EXPECT_TRUE(form.CheckUseProxy()->isChecked());
    EXPECT_FALSE(form.CheckUseProxy()->isEnabled());
    EXPECT_EQ(form.EditServer()->text(), "cache.example.com");
    EXPECT_EQ(form.EditPort()->text(), "3128");
    EXPECT_FALSE(ServerEnabled());
    EXPECT_FALSE(form.CheckLogin()->isEnabled());
    EXPECT_FALSE(AccountEnabled());
    EXPECT_EQ(form.EditPassword()->echoMode(), QLineEdit::Password);
}

TEST_F(FormProxySettings, ClicksEnableTheControlsThatFollow) {
    Show();
    QTest::mouseClick(form.CheckDetect(), Qt::LeftButton);
    EXPECT_TRUE(form.CheckUseProxy()->isEnabled());
    EXPECT_TRUE(ServerEnabled());
    EXPECT_TRUE(form.CheckLogin()->isEnabled());
    EXPECT_FALSE(AccountEnabled());
    QTest::mouseClick(form.CheckLogin(), Qt::LeftButton);
    EXPECT_TRUE(AccountEnabled());
    QTest::mouseClick(form.CheckUseProxy(), Qt::LeftButton);
    EXPECT_FALSE(ServerEnabled());
    EXPECT_FALSE(form.CheckLogin()->isEnabled());
    EXPECT_FALSE(AccountEnabled());
    QTest::mouseClick(form.CheckUseProxy(), Qt::LeftButton);
    EXPECT_TRUE(AccountEnabled());
    // Back to detection: the log-on is cleared.
    QTest::mouseClick(form.CheckDetect(), Qt::LeftButton);
    EXPECT_FALSE(form.CheckLogin()->isChecked());
    EXPECT_FALSE(AccountEnabled());
}

TEST_F(FormProxySettings, OkWritesTheManualSettings) {
    Show();
    QTest::mouseClick(form.CheckDetect(), Qt::LeftButton);
    form.EditServer()->setText("http://manual.example.com");
    form.EditPort()->clear();
    QTest::mouseClick(form.CheckLogin(), Qt::LeftButton);
    form.EditUsername()->setText("jo");
    form.EditPassword()->setText("secret");
    QTest::mouseClick(form.BtnOK(), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(settings.AutoDetect);
    EXPECT_TRUE(settings.UseProxy);
    EXPECT_EQ(settings.Server, "manual.example.com");
    EXPECT_EQ(settings.Port, 8080); // the port left empty
    EXPECT_TRUE(settings.Login);
    EXPECT_EQ(settings.Username, "jo");
    EXPECT_EQ(settings.Password, "secret");

    // Shown again, the dialog starts from what was written.
    Show();
    EXPECT_FALSE(form.CheckDetect()->isChecked());
    EXPECT_EQ(form.EditServer()->text(), "manual.example.com");
    EXPECT_EQ(form.EditPort()->text(), "8080");
    EXPECT_TRUE(AccountEnabled());
    form.EditServer()->setText("changed");
    QTest::mouseClick(form.BtnCancel(), Qt::LeftButton);
    EXPECT_EQ(settings.Server, "manual.example.com");
}

TEST_F(FormProxySettings, OkWithDetectionKeepsTheManualValues) {
    settings.Server = "kept";
    Show();
    form.EditServer()->setText("typed while greyed");
    QTest::mouseClick(form.BtnOK(), Qt::LeftButton);
    EXPECT_TRUE(settings.AutoDetect);
    EXPECT_EQ(settings.Server, "kept");
}

TEST(NetworkProxy, TheManagerAsksTheSettingsForEachRequest) {
    TProxySettings settings = DetectedSettings();
    QNetworkAccessManager manager;
    components::ui::ApplyTo(settings, manager);
    QNetworkProxyFactory* factory = manager.proxyFactory();
    ASSERT_NE(factory, nullptr);
    const QNetworkProxy proxy =
        factory->queryProxy(QNetworkProxyQuery(QUrl("http://dict.example.org/x.dic"))).first();
    EXPECT_EQ(proxy.type(), QNetworkProxy::HttpProxy);
    EXPECT_EQ(proxy.hostName(), "cache.example.com");
    EXPECT_EQ(proxy.port(), 3128);

    settings.AutoDetect = false;
    settings.UseProxy = true;
    settings.Server = "manual";
    settings.Port = 81;
    settings.Login = true;
    settings.Username = "jo";
    settings.Password = "pw";
    components::ui::ApplyTo(settings, manager);
    const QNetworkProxy manual =
        manager.proxyFactory()->queryProxy(QNetworkProxyQuery(QUrl("https://x/"))).first();
    EXPECT_EQ(manual.hostName(), "manual");
    EXPECT_EQ(manual.user(), "jo");
    EXPECT_EQ(manual.password(), "pw");

    settings.UseProxy = false;
    components::ui::ApplyTo(settings, manager);
    EXPECT_EQ(
        manager.proxyFactory()->queryProxy(QNetworkProxyQuery(QUrl("http://x/"))).first().type(),
        QNetworkProxy::NoProxy);
}

} // namespace
