#include "speller/ui/formspellget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <set>

#include "components/proxysettings.h"
#include "components/scriptedmessenger.h"
#include "components/ui/formproxysettings.h"
#include "components/ui/messenger_support.h"
#include "components/ui/messengerform.h"
#include "components/ui/powerprogressbar.h"
#include "components/ui/windowedmessenger.h"
#include "speller/ui/httpdictionaryclient.h"
#include "tests/speller/dicbuilder_support.h"
#include "tests/speller/speller_support.h"
#include "tests/tools/dictserver/dictserver.h"

namespace speller::ui {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;
using W = std::vector<std::string>;

dictserver::TReply Text(std::string body, int status = 200) {
    dictserver::TReply reply;
    reply.Status = status;
    reply.Reason = status == 200 ? "OK" : "Error";
    reply.ContentType = "text/plain";
    reply.Body = std::move(body);
    return reply;
}

class FormSpellGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_ / "server");
        fs::create_directories(dir_ / "program");
        WriteBytes(dir_ / "server" / "en.dic", testing::BuildDictionary({"hello", "world"}));
        WriteBytes(dir_ / "server" / "de.dic", testing::BuildDictionary({"hallo", "welt"}));
        WriteBytes(dir_ / "server" / "catalogue.txt",
                   "LIST\r\n2\r\nEnglish\r\n'\r\n';'s\r\nen.dic\r\nwin1252\r\n"
                   "Deutsch\r\n\r\n\r\nde.dic\r\nwin1252\r\n");
        server_ = std::make_unique<dictserver::TDictServer>(dir_ / "server");
        registry_ = platform::OpenMemoryRegistry();
        registration_ = std::make_unique<TDictionaryRegistration>(
            *registry_, TDictionaryPlaces{dir_ / "program", false, dir_ / "appdata",
                                          platform::RootKey::CurrentUser});
        proxy_ = std::make_unique<components::TProxySettings>(
            *registry_, [](std::string_view) { return std::optional<std::string>(); });
        proxy_->AutoDetect = false;
        NewForm(dir_ / "dicts", {400, 1024});
    }
    // A window on the test server, installing into `folder`, with a window
    // of the transfer rule short enough for a test.
    void NewForm(const fs::path& folder, TTransferLimits limits,
                 components::IMessenger* messenger = nullptr) {
        form_ = std::make_unique<TFormSpellGet>(*registration_, *proxy_,
                                                messenger ? *messenger : messenger_);
        form_->SetServer(QString::fromStdString(server_->Address()));
        form_->Client().SetLimits(limits);
        form_->EditFolder()->setText(QString::fromStdString(folder.string()));
    }
    // The names in `folder`.
    static std::set<std::string> Names(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    void TearDown() override { server_->Stop(); }

    W Rows() const {
        W rows;
        QTreeWidget* list = form_->List();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.push_back(list->topLevelItem(i)->text(0).toStdString() + "=" +
                           list->topLevelItem(i)->text(1).toStdString());
        return rows;
    }
    void Choose(const QString& language) {
        auto found = form_->List()->findItems(language, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty());
        form_->List()->setCurrentItem(found.front());
    }
    W Errors() const { return messenger_.Texts(components::TScriptedMessenger::TRecord::Message); }
    // Answers `reply` to the request for `path`.
    void Answer(const std::string& path, dictserver::TReply reply) {
        server_->SetOverride([path, reply](const dictserver::TRequest& request) {
            return request.Path == path ? std::optional(reply) : std::nullopt;
        });
    }

    testing::TempDir dir_;
    std::unique_ptr<dictserver::TDictServer> server_;
    std::unique_ptr<platform::Registry> registry_;
    std::unique_ptr<TDictionaryRegistration> registration_;
    std::unique_ptr<components::TProxySettings> proxy_;
    components::TScriptedMessenger messenger_;
    std::unique_ptr<TFormSpellGet> form_;
};

TEST_F(FormSpellGetTest, CatalogueAnswers) {
    struct Case {
        const char* name;
        dictserver::TReply reply;
        W rows;
        W errors;
    } cases[] = {
        {"list", Text("LIST\n1\nEnglish\n'\n';'s\nen.dic\nwin1252\n"), {"English=no"}, {}},
        {"error",
         Text("ERROR\nThe dictionaries are being updated."),
         {},
         {"The dictionaries are being updated."}},
        {"666",
         Text("666\nPlease update your program first."),
         {},
         {"Please update your program first."}},
        {"other", Text("<html>Welcome to the portal</html>"), {}, {}},
        {"hostile file names",
         Text("LIST\n2\nEvil\n\n\n../../evil.dic\n\nOk\n\n\nen.dic\n\n"),
         {"Ok=no"},
         {}},
        {"empty",
         Text(""),
         {},
         {"The Internet server storing the spell check dictionaries did "
          "not return any answer."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messenger_.Records.clear();
        form_ = std::make_unique<TFormSpellGet>(*registration_, *proxy_, messenger_);
        form_->SetServer(QString::fromStdString(server_->Address()));
        Answer("/cgi-bin/spell3.pl", c.reply);
        form_->RequestCatalogue();
        EXPECT_EQ(Rows(), c.rows);
        EXPECT_EQ(Errors(), c.errors);
    }
    const auto requests = server_->Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().Query, "0+0");
    EXPECT_EQ(requests.back().Headers.at("user-agent"), "Brindlewoven 7.7.6");
    EXPECT_EQ(requests.back().Headers.at("accept"), "text/plain, */*");
    for (const auto& request : requests)
        EXPECT_EQ(request.Path.rfind("/spell/", 0), std::string::npos);
}

TEST_F(FormSpellGetTest, NoServerSaysHowToGoOn) {
    server_->Stop();
    form_->RequestCatalogue();
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0].rfind("Cannot connect to the Internet server storing the spell check "
                                "dictionaries.\r\n",
                                0),
              0u);
    EXPECT_TRUE(Rows().empty());
}

TEST_F(FormSpellGetTest, InstallAndUninstall) {
    form_->RequestCatalogue();
    EXPECT_EQ(Rows(), (W{"English=no", "Deutsch=no"}));
    Choose("English");
    EXPECT_TRUE(form_->BtnInstall()->isEnabled());
    EXPECT_FALSE(form_->BtnUninstall()->isEnabled());
    form_->BtnInstallClick();
    EXPECT_TRUE(Errors().empty()) << (Errors().empty() ? "" : Errors()[0]);
    EXPECT_EQ(Rows(), (W{"English=YES", "Deutsch=no"}));
    EXPECT_EQ(ReadBytes(dir_ / "dicts" / "en.dic"), ReadBytes(dir_ / "server" / "en.dic"));
    EXPECT_EQ(form_->Progress()->Progress(), form_->Progress()->MaxValue());
    EXPECT_EQ(registry_->ReadString(platform::RootKey::CurrentUser, kDictionariesKey, "Name0"),
              "English");
    Choose("English");
    EXPECT_TRUE(form_->BtnUninstall()->isEnabled());
    form_->BtnUninstallClick();
    EXPECT_EQ(Rows(), (W{"English=no", "Deutsch=no"}));
    EXPECT_FALSE(fs::exists(dir_ / "dicts" / "en.dic"));
}

TEST_F(FormSpellGetTest, BrokenTransfersNeverReplaceAGoodFile) {
    fs::create_directories(dir_ / "dicts");
    WriteBytes(dir_ / "dicts" / "en.dic", "the good old file");
    dictserver::TReply shortBody = Text(std::string(5000, 'x'));
    shortBody.DeclaredLength = 9000;
    dictserver::TReply stall = Text(std::string(5000, 'x'));
    stall.Stall = true;
    struct Case {
        const char* name;
        dictserver::TReply reply;
        const char* reason;
    } cases[] = {
        {"error page", Text("<html>Not here</html>", 404), "404"},
        {"short body", shortBody, "broke off"},
        {"stall", stall, "sent 0 bytes in the last 0.4 seconds"},
        {"no dictionary", Text(dictserver::GarbageBytes()), "is damaged"},
    };
    form_->RequestCatalogue();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messenger_.Records.clear();
        Answer("/spell/en.dic", c.reply);
        Choose("English");
        form_->BtnInstallClick();
        ASSERT_EQ(Errors().size(), 1u);
        EXPECT_EQ(Errors()[0].rfind("Unable to download dictionary file en.dic", 0), 0u);
        EXPECT_NE(Errors()[0].find(c.reason), std::string::npos) << Errors()[0];
        EXPECT_EQ(ReadBytes(dir_ / "dicts" / "en.dic"), "the good old file");
        EXPECT_EQ(Rows(), (W{"English=no", "Deutsch=no"}));
        // Nothing half-written is left beside it.
        EXPECT_EQ(Names(dir_ / "dicts"), (std::set<std::string>{"en.dic"}));
    }
}

// The test server playing a hostile one: the user's word list and the
// dictionary of the installed language stay byte for byte whatever it
// offers, a trickle ends by the rate rule, garbage is refused.
TEST_F(FormSpellGetTest, HostileServer) {
    server_->EnableHostileLanguages(100); // the trickle: a byte every 0.1 s
    const fs::path folder = DefaultDictionaryFolder(dir_ / "appdata");
    NewForm(folder, {1000, 1024});
    form_->RequestCatalogue();
    // A language naming a word list is not offered at all.
    EXPECT_EQ(Rows(), (W{"English=no", "Deutsch=no", "Impostor=no", "Trickle=no", "Garbage=no"}));
    // Deutsch (de.dic, the server's victim) is installed, and its user word
    // list lies where the engine keeps it.
    Choose("Deutsch");
    form_->BtnInstallClick();
    ASSERT_TRUE(Errors().empty()) << Errors()[0];
    const std::string words = "[Added]\r\nIGN_ListCount=1\r\nIGN_0=Brindlewoven\r\n";
    WriteBytes(folder / "de.udt", words);
    const std::string german = ReadBytes(folder / "de.dic");
    // Another good dictionary under the victim's name: a replacement would show.
    WriteBytes(dir_ / "server" / "de.dic", testing::BuildDictionary({"impostor"}));

    struct Case {
        const char* language;
        const char* message; // the error begins so
        const char* reason;  // and holds this
    } cases[] = {
        {"Impostor",
         "Unable to install Impostor: the dictionary file de.dic belongs to Deutsch, which is "
         "installed.",
         ""},
        {"Trickle", "Unable to download dictionary file trickle.dic",
         "in the last 1 seconds, less than 1024 bytes a second"},
        {"Garbage", "Unable to download dictionary file garbage.dic",
         "The dictionary \"garbage.dic\" is damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        messenger_.Records.clear();
        Choose(c.language);
        QElapsedTimer clock;
        clock.start();
        form_->BtnInstallClick();
        const qint64 took = clock.elapsed();
        ASSERT_EQ(Errors().size(), 1u);
        EXPECT_EQ(Errors()[0].rfind(c.message, 0), 0u) << Errors()[0];
        EXPECT_NE(Errors()[0].find(c.reason), std::string::npos) << Errors()[0];
        if (std::string(c.language) == "Trickle") {
            // Ended by the rule: not before its window, and long before the
            // trickle would have finished.
            EXPECT_GE(took, 1000);
            EXPECT_LT(took, 10'000);
        }
        EXPECT_EQ(ReadBytes(folder / "de.udt"), words);
        EXPECT_EQ(ReadBytes(folder / "de.dic"), german);
        EXPECT_EQ(Names(folder), (std::set<std::string>{"de.dic", "de.udt"}));
        EXPECT_EQ(Rows(),
                  (W{"English=no", "Deutsch=YES", "Impostor=no", "Trickle=no", "Garbage=no"}));
    }
}

// Cancel, Escape and the close box end a transfer the server never
// finishes, during the catalogue and during a file. Cancel and Escape leave
// the window open; the close box closes it. Nothing is said, nothing changes.
TEST_F(FormSpellGetTest, CancelEscapeAndTheCloseBoxAlwaysWork) {
    fs::create_directories(dir_ / "dicts");
    WriteBytes(dir_ / "dicts" / "en.dic", "the good old file");
    dictserver::TReply stall = Text(std::string(5000, 'x'));
    stall.Stall = true;
    enum class How { Cancel, Escape, CloseBox };
    for (const bool catalogue : {true, false}) {
        for (const How how : {How::Cancel, How::Escape, How::CloseBox}) {
            SCOPED_TRACE(std::string(catalogue ? "catalogue" : "file") + " " +
                         (how == How::Cancel   ? "Cancel"
                          : how == How::Escape ? "Escape"
                                               : "close box"));
            messenger_.Records.clear();
            server_->SetOverride({});
            // Only the person can end these transfers within the test.
            NewForm(dir_ / "dicts", {600'000, 1});
            if (!catalogue)
                form_->RequestCatalogue();
            Answer(catalogue ? "/cgi-bin/spell3.pl" : "/spell/en.dic", stall);
            form_->show();
            bool cancelShown = false;
            bool barFull = false;
            QTimer::singleShot(200, [&] {
                cancelShown =
                    form_->BtnClose()->isEnabled() && form_->BtnClose()->text() == "&Cancel";
                // The bar shows this transfer, not the end of the one before.
                barFull = form_->Progress()->Progress() == form_->Progress()->MaxValue();
                if (how == How::Cancel)
                    QTest::mouseClick(form_->BtnClose(), Qt::LeftButton);
                else if (how == How::Escape)
                    QTest::keyClick(form_.get(), Qt::Key_Escape);
                else
                    form_->close();
            });
            QElapsedTimer clock;
            clock.start();
            if (catalogue) {
                form_->RequestCatalogue();
            } else {
                Choose("English");
                form_->BtnInstallClick();
            }
            EXPECT_LT(clock.elapsed(), 10'000);
            EXPECT_TRUE(cancelShown);
            EXPECT_FALSE(barFull);
            EXPECT_TRUE(Errors().empty()) << Errors()[0];
            EXPECT_EQ(form_->isVisible(), how != How::CloseBox);
            EXPECT_EQ(form_->BtnClose()->text(), "&Close");
            EXPECT_TRUE(form_->BtnClose()->isEnabled());
            EXPECT_EQ(ReadBytes(dir_ / "dicts" / "en.dic"), "the good old file");
            EXPECT_EQ(Names(dir_ / "dicts"), (std::set<std::string>{"en.dic"}));
            form_->hide();
        }
    }
}

// What the server says is shown as it stands, never read as markup.
TEST_F(FormSpellGetTest, ServerTextIsShownAsPlainText) {
    for (const char* first : {"ERROR", "666"}) {
        SCOPED_TRACE(first);
        components::ui::TWindowedMessenger windowed;
        NewForm(dir_ / "dicts", {400, 1024}, &windowed);
        Answer("/cgi-bin/spell3.pl", Text(std::string(first) + "\n<b>maintenance</b> until 5"));
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        AnswerNextDialog([&](components::ui::TMessengerForm& box) {
            shown = box.MessageLabel()->text();
            format = box.MessageLabel()->textFormat();
            box.DialogButton(0)->click();
        });
        form_->RequestCatalogue();
        EXPECT_EQ(shown, "<b>maintenance</b> until 5");
        EXPECT_EQ(format, Qt::PlainText);
    }
}

TEST_F(FormSpellGetTest, ProxyThatAsksForBasicAuthentication) {
    server_->RequireProxyAuthentication("joe", "s3cret");
    form_->SetServer("http://dictionaries.invalid");
    proxy_->UseProxy = true;
    proxy_->Server = "127.0.0.1";
    proxy_->Port = server_->Port();
    proxy_->Login = true;
    proxy_->Username = "joe";
    proxy_->Password = "wrong";
    form_->RequestCatalogue();
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(Rows().empty());

    messenger_.Records.clear();
    proxy_->Password = "s3cret";
    form_->RequestCatalogue();
    EXPECT_TRUE(Errors().empty()) << (Errors().empty() ? "" : Errors()[0]);
    EXPECT_EQ(Rows(), (W{"English=no", "Deutsch=no"}));
    EXPECT_EQ(server_->Requests().back().Target,
              "http://dictionaries.invalid/cgi-bin/spell3.pl?0+0");
    Choose("Deutsch");
    form_->BtnInstallClick();
    EXPECT_TRUE(fs::exists(dir_ / "dicts" / "de.dic"));
}

// The window's Help button and the proxy settings' Help button both ask for
// the window's help context.
TEST_F(FormSpellGetTest, HelpButtonsAskForTheWindowsContext) {
    form_->SetHelpContext(16140);
    QSignalSpy help(form_.get(), &TFormSpellGet::HelpRequested);
    QTest::mouseClick(form_->BtnHelp(), Qt::LeftButton);
    bool proxyShown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<components::ui::TFormProxySettings*>(widget);
            if (dialog && dialog->isVisible()) {
                proxyShown = true;
                QTest::mouseClick(dialog->BtnHelp(), Qt::LeftButton);
                dialog->reject();
            }
        }
    });
    form_->BtnSettingsClick();
    EXPECT_TRUE(proxyShown);
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0][0].toInt(), 16140);
    EXPECT_EQ(help[1][0].toInt(), 16140);
}

} // namespace
} // namespace speller::ui
