// The client link over a real local socket, with the main window serving:
// clients register and get their lists, a disconnect frees their slots,
// frames that are not of the wire close only their own connection, and
// requests wait while a modal dialog runs.
#include "editor/ui/linklistener.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDialog>
#include <QTest>
#include <cerrno>
#include <cstring>

#include "editor/linkprotocol.h"
#include "editor/topiceditor.h"
#include "editor/ui/projectactions.h"
#include "form_support.h"
#include "platform/tempfolder.h"
#include "tests/editor/linkdata_support.h"

namespace {

using editor::TLinkFrame;
using editor::TLinkFrameKind;
using editor::TLinkFrameReader;
using editor::TLinkServer;
using editortest::NumberData;

// A client connection; its reads pump the window's events while they wait.
class TTestClient {
public:
    explicit TTestClient(const QString& path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = path.toLocal8Bit();
        std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        ::fcntl(fd_, F_SETFL, O_NONBLOCK);
    }
    ~TTestClient() { Close(); }
    void Close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    bool Connected() const { return connected_; }

    void SendBytes(const std::string& bytes) {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // Sends all of `bytes`, letting the window run while the system's buffer
    // is full; false once the window has closed the connection.
    bool TrySend(const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n > 0)
                sent += static_cast<std::size_t>(n);
            else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                QTest::qWait(1);
            else
                return false;
        }
        return true;
    }
    // Every frame that has arrived, read without waiting.
    std::size_t Drain() {
        std::size_t frames = 0;
        TLinkFrame frame;
        while (Poll() && reader_.Next(frame) == TLinkFrameReader::TStatus::Frame)
            ++frames;
        return frames;
    }
    void Command(std::uint32_t window, std::uint32_t number, const std::string& data = {}) {
        SendBytes(editor::EncodeLinkFrame({TLinkFrameKind::Command, window, number, 0, data}));
    }
    // The next frame within a few seconds.
    std::optional<TLinkFrame> Next(int ms = 5000) {
        std::optional<TLinkFrame> got;
        (void)QTest::qWaitFor(
            [&] {
                TLinkFrame frame;
                if (Poll() && reader_.Next(frame) == TLinkFrameReader::TStatus::Frame)
                    got = frame;
                return got.has_value() || closed_;
            },
            ms);
        return got;
    }
    // Whether the window closed the connection within a few seconds.
    bool ClosedByPeer() {
        (void)QTest::qWaitFor([&] { return !Poll() || closed_; }, 5000);
        return closed_;
    }

private:
    bool Poll() {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), 0);
            if (n > 0) {
                reader_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
                continue;
            }
            // A peer that closes with bytes of ours unread resets instead.
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                closed_ = true;
            return true;
        }
    }

    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    TLinkFrameReader reader_;
};

class LinkListenerTest : public editortest::FormFixture {
protected:
    void SetUp() override {
        MakeForm();
        OpenFourTopics();
        ASSERT_TRUE(form->LinkListener().Listen(QString::fromStdString(folder.Path().string())));
        path = form->LinkListener().SocketPath();
        ASSERT_FALSE(path.isEmpty());
    }
    TLinkServer& Server() { return form->LinkListener().Server(); }
    std::int32_t Current() { return form->Context().TopicEditor().CurrentTopic()->Number; }

    platform::TempFolder folder{"bwlink"};
    QString path;
};

void ExpectResult(std::optional<TLinkFrame> frame, std::uint32_t window, std::uint32_t command,
                  std::int32_t value) {
    ASSERT_TRUE(frame.has_value()) << "no result for command " << command;
    EXPECT_EQ(frame->Kind, TLinkFrameKind::Result);
    EXPECT_EQ(frame->Window, window);
    EXPECT_EQ(frame->Number, command);
    EXPECT_EQ(frame->Value, value);
}

TEST_F(LinkListenerTest, ClientGetsListsAndKeepsTheWindowOpenUntilItGoes) {
    EXPECT_EQ(path, QString::fromStdString((folder.Path() / "brindlewoven-link").string()));
    TTestClient client(path);
    ASSERT_TRUE(client.Connected());
    client.Command(7, TLinkServer::cmRegister);
    ExpectResult(client.Next(), 7, 1, 1);
    std::optional<TLinkFrame> list = client.Next();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Kind, TLinkFrameKind::Reply);
    EXPECT_EQ(list->Payload,
              std::string("Alpha (20)\r\nBravo (40)\r\nCharlie (30)\r\nDelta (10)") + '\0');
    client.Command(7, TLinkServer::cmSelectList1);
    ExpectResult(client.Next(), 7, 4, 1);
    ASSERT_TRUE(client.Next());

    // An edit stored in the window sends the list again.
    form->Context().TopicEditor().TitleTyped("Echo");
    form->Context().TopicEditor().StoreTopic();
    list = client.Next();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Payload,
              std::string("10: Echo\r\n20: Alpha\r\n30: Charlie\r\n40: Bravo") + '\0');

    // Closing is refused while the client is registered.
    messenger.QueueAnswer(components::mrNo); // do not save, once closing is allowed
    EXPECT_FALSE(form->close());
    EXPECT_EQ(messenger.Texts(components::TScriptedMessenger::TRecord::Message),
              std::vector<std::string>{std::string(editor::kActiveLinkMessage)});
    // A client that ends without unregistering frees its slot.
    client.Close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Server().AnyClientRegistered(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->LinkListener().ConnectionCount() == 0; }));
    EXPECT_TRUE(form->close());
}

TEST_F(LinkListenerTest, MalformedFramesCloseOnlyTheirConnection) {
    TTestClient good(path);
    good.Command(1, TLinkServer::cmRegister);
    ExpectResult(good.Next(), 1, 1, 1);
    ASSERT_TRUE(good.Next());

    std::string oversized = editor::EncodeLinkFrame({TLinkFrameKind::Command, 2, 1, 0, ""});
    oversized[22] = 0x20; // 2 MiB
    std::string badKind = editor::EncodeLinkFrame({TLinkFrameKind::Command, 2, 1, 0, ""});
    badKind[4] = 0;
    const std::string badMagic = "XXXX" + editor::EncodeLinkFrame({}).substr(4);
    for (const std::string& bytes : {oversized, badKind, badMagic}) {
        TTestClient bad(path);
        // A frame of the wire first: it registers this connection's window.
        bad.Command(2, TLinkServer::cmRegister);
        ExpectResult(bad.Next(), 2, 1, 1);
        bad.SendBytes(bytes);
        EXPECT_TRUE(bad.ClosedByPeer());
        EXPECT_TRUE(QTest::qWaitFor([&] { return Server().Slots()[1].Used == false; }, 5000));
    }
    // A truncated header: the connection ends with it, nothing runs.
    {
        TTestClient truncated(path);
        truncated.SendBytes(
            editor::EncodeLinkFrame({TLinkFrameKind::Command, 3, 5, 0, NumberData(30)})
                .substr(0, 13));
        QTest::qWait(50);
    }
    QTest::qWait(50);
    EXPECT_EQ(Current(), 10);
    // The good client is served as before.
    good.Command(1, TLinkServer::cmShowTopic, NumberData(30));
    ExpectResult(good.Next(), 1, 5, 1);
    EXPECT_EQ(Current(), 30);
    EXPECT_TRUE(Server().Slots()[0].Used);
}

TEST_F(LinkListenerTest, RequestsWaitWhileAModalDialogRuns) {
    TTestClient client(path);
    QDialog dialog(form.get());
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
    client.Command(4, TLinkServer::cmShowTopic, NumberData(40));
    client.Command(4, TLinkServer::cmRequestTopic, NumberData(40));
    EXPECT_FALSE(client.Next(300)); // nothing runs under the dialog
    EXPECT_EQ(Current(), 10);
    dialog.accept();
    ExpectResult(client.Next(), 4, 5, 1);
    EXPECT_EQ(Current(), 40);
    ExpectResult(client.Next(), 4, 7, 1);
    const std::optional<TLinkFrame> fields = client.Next();
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->Number, 2u);
    EXPECT_EQ(fields->Payload.substr(0, 8), "40\r\nBrav");
}

TEST_F(LinkListenerTest, AnotherProjectSendsItsList) {
    TTestClient client(path);
    client.Command(3, TLinkServer::cmRegister);
    ExpectResult(client.Next(), 3, 1, 1);
    ASSERT_TRUE(client.Next());
    form->Context().Run([&] { form->ProjectActions().Commands().NewProject(); });
    const std::optional<TLinkFrame> list = client.Next();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Payload, std::string("<new topic> (10)") + '\0');
}

TEST_F(LinkListenerTest, ASecondCopyServesOnItsOwnName) {
    editor::ui::TLinkListener second(form->Context());
    ASSERT_TRUE(second.Listen(QString::fromStdString(folder.Path().string())));
    EXPECT_EQ(second.SocketPath(),
              QString::fromStdString((folder.Path() / "brindlewoven-link-2").string()));
}

// A listener of its own with a small buffer limit.
class LinkBufferTest : public LinkListenerTest {
protected:
    static constexpr std::size_t kLimit = 64 * 1024;
    void SetUp() override {
        LinkListenerTest::SetUp();
        small = std::make_unique<editor::ui::TLinkListener>(form->Context(), nullptr, kLimit);
        ASSERT_TRUE(small->Listen(QString::fromStdString(folder.Path().string())));
    }
    std::unique_ptr<editor::ui::TLinkListener> small;
};

TEST_F(LinkBufferTest, AClientThatNeverReadsIsClosedAndItsSlotFreed) {
    TTestClient client(small->SocketPath());
    client.Command(1, TLinkServer::cmRegister);
    ASSERT_TRUE(QTest::qWaitFor([&] { return small->Server().AnyClientRegistered(); }, 5000));
    // List requests in batches, never reading the lists they bring.
    std::string batch;
    for (int i = 0; i < 500; ++i)
        batch += editor::EncodeLinkFrame(
            {TLinkFrameKind::Command, 1, TLinkServer::cmSelectList0, 0, ""});
    int batches = 0;
    while (small->ConnectionCount() > 0 && batches < 400) {
        if (!client.TrySend(batch))
            break;
        ++batches;
        QApplication::processEvents();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return small->ConnectionCount() == 0; }, 5000))
        << batches << " batches sent";
    EXPECT_FALSE(small->Server().AnyClientRegistered());
    EXPECT_FALSE(small->Server().HasWork()); // nothing left queued for it
    // The freed slot serves the next client.
    TTestClient next(small->SocketPath());
    next.Command(1, TLinkServer::cmRegister);
    ExpectResult(next.Next(), 1, TLinkServer::cmRegister, 1);
    EXPECT_TRUE(small->Server().Slots()[0].Used);
}

TEST_F(LinkBufferTest, AClientThatReadsMayAskForMoreThanTheLimitInAll) {
    TTestClient client(small->SocketPath());
    client.Command(1, TLinkServer::cmRegister);
    ExpectResult(client.Next(), 1, TLinkServer::cmRegister, 1);
    ASSERT_TRUE(client.Next());
    std::string batch;
    for (int i = 0; i < 200; ++i)
        batch += editor::EncodeLinkFrame(
            {TLinkFrameKind::Command, 1, TLinkServer::cmSelectList1, 0, ""});
    // Some 20 times the limit in results and lists, read as they come.
    std::size_t frames = 0;
    for (int round = 0; round < 60; ++round) {
        ASSERT_TRUE(client.TrySend(batch));
        const std::size_t expected = frames + 400;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                frames += client.Drain();
                return frames >= expected;
            },
            5000))
            << round;
    }
    EXPECT_EQ(small->ConnectionCount(), 1u);
    EXPECT_TRUE(small->Server().Slots()[0].Used);
}

TEST_F(LinkBufferTest, AClientThatFloodsABusyWindowIsClosed) {
    TTestClient patient(small->SocketPath());
    TTestClient flood(small->SocketPath());
    ASSERT_TRUE(QTest::qWaitFor([&] { return small->ConnectionCount() == 2; }));
    QDialog dialog(form.get());
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
    patient.Command(2, TLinkServer::cmShowTopic, NumberData(40));
    // Topics to create, more of them than the limit holds, while nothing runs.
    const std::string create =
        editor::EncodeLinkFrame({TLinkFrameKind::Command, 3, TLinkServer::cmCreateTopic, 0,
                                 "0\r\n" + std::string(100, 't') + "\r\n" +
                                     std::string(16000, 'k') + "\r\n\r\n\r\n\r\n\r\n\r\n" + '\0'});
    for (int i = 0; i < 20 && small->ConnectionCount() == 2; ++i) {
        if (!flood.TrySend(create))
            break;
        QApplication::processEvents();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return small->ConnectionCount() == 1; }, 5000));
    EXPECT_TRUE(flood.ClosedByPeer());
    dialog.accept();
    // The other client's command runs; none of the flood's does.
    ExpectResult(patient.Next(), 2, TLinkServer::cmShowTopic, 1);
    EXPECT_EQ(Current(), 40);
    EXPECT_EQ(form->Context().Project().Topics().size(), 4u);
}

TEST(LinkBufferLimitTest, TheEnvironmentMaySetIt) {
    using editor::ui::TLinkListener;
    const struct {
        const char* value;
        std::size_t limit;
    } cases[] = {{"65536", 65536},
                 {"", TLinkListener::kDefaultBufferLimit},
                 {"0", TLinkListener::kDefaultBufferLimit},
                 {"many", TLinkListener::kDefaultBufferLimit},
                 {"-5", TLinkListener::kDefaultBufferLimit}};
    for (const auto& c : cases) {
        qputenv("BRINDLE_LINK_BUFFER_LIMIT", c.value);
        EXPECT_EQ(TLinkListener::BufferLimitFromEnvironment(), c.limit) << c.value;
    }
    qunsetenv("BRINDLE_LINK_BUFFER_LIMIT");
    EXPECT_EQ(TLinkListener::BufferLimitFromEnvironment(), TLinkListener::kDefaultBufferLimit);
    EXPECT_EQ(TLinkListener::kDefaultBufferLimit, std::size_t{4} << 20);
}

} // namespace
