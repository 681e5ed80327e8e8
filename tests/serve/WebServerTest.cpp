// The live meter's server on 127.0.0.1, asked by a real HTTP client: what
// each request gets, and that the event stream carries exactly the lines
// tarvik-cli --follow prints for the same writes. The client runs on a
// thread of its own; the server only in this thread's RunFor calls.
#include "serve/WebServer.h"

#include "TestSupport.h"
#include "analysis/Session.h"
#include "cli/FollowStream.h"
#include "config/Configuration.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "monitor/LogFollower.h"
#include "serve/LineSink.h"
#include "util/Clock.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/use_future.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tarvik {
namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using namespace std::chrono_literals;

constexpr auto Patience = 10s;

// Serves until the condition holds; fails when it does not within Patience.
bool ServeUntil(WebServer& server, const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        server.RunFor(1);
    }
    return true;
}

// The client's side: its own io_context on its own thread.
class ClientThread {
public:
    ClientThread()
        : thread_([this] { io_.run(); })
    {
    }
    ~ClientThread()
    {
        work_.reset();
        io_.stop();
        thread_.join();
    }
    net::io_context& Io() { return io_; }

    // Waits for an operation while the server serves; on timeout closes the
    // socket so that the operation ends, and throws.
    template <class T>
    T Await(WebServer& server, std::future<T> result, tcp::socket& socket)
    {
        if (!ServeUntil(server, [&] { return result.wait_for(0s) == std::future_status::ready; })) {
            net::post(io_, [&socket] {
                beast::error_code ignored;
                socket.close(ignored);
            });
            result.wait();
            throw std::runtime_error("no answer within the time allowed");
        }
        return result.get();
    }

private:
    net::io_context io_;
    net::executor_work_guard<net::io_context::executor_type> work_{io_.get_executor()};
    std::thread thread_;
};

struct Answer {
    int status = 0;
    http::response<http::string_body> response;
};

// One request on a connection of its own.
Answer Fetch(ClientThread& client, WebServer& server, const std::string& method,
             const std::string& target, const std::string& host,
             const std::vector<std::pair<std::string, std::string>>& fields = {})
{
    tcp::socket socket(client.Io());
    client.Await(
        server,
        socket.async_connect({net::ip::make_address("127.0.0.1"), server.Port()}, net::use_future),
        socket);
    http::request<http::string_body> request;
    request.method_string(method);
    request.target(target);
    request.version(11);
    if (!host.empty())
        request.set(http::field::host, host);
    for (const auto& [name, value] : fields)
        request.set(name, value);
    request.prepare_payload();
    client.Await(server, http::async_write(socket, request, net::use_future), socket);
    beast::flat_buffer buffer;
    http::response_parser<http::string_body> parser;
    parser.body_limit(16 << 20);
    parser.skip(method == "HEAD");
    client.Await(server, http::async_read(socket, buffer, parser, net::use_future), socket);
    Answer answer;
    answer.response = parser.release();
    answer.status = answer.response.result_int();
    return answer;
}

// An event stream read in the background; what arrived is kept whole.
class EventClient {
public:
    struct Frame {
        std::string event; // empty: a plain message
        std::string data;
    };

    explicit EventClient(ClientThread& client)
        : client_(client)
        , socket_(client.Io())
    {
    }
    // Closes on the client's thread and waits for the last read to end.
    ~EventClient()
    {
        std::promise<void> closed;
        net::post(client_.Io(), [this, &closed] {
            beast::error_code ignored;
            socket_.close(ignored);
            closed.set_value();
        });
        closed.get_future().wait();
        if (reading_)
            finished_.get_future().wait();
    }
    EventClient(const EventClient&) = delete;
    EventClient& operator=(const EventClient&) = delete;

    // Asks for /events and waits for the answer's headers; returns the status.
    // A small receive buffer makes a client that stops reading fall behind soon.
    int Open(WebServer& server, int receiveBuffer = 0)
    {
        socket_.open(tcp::v4());
        if (receiveBuffer > 0)
            socket_.set_option(net::socket_base::receive_buffer_size(receiveBuffer));
        client_.Await(server,
                      socket_.async_connect({net::ip::make_address("127.0.0.1"), server.Port()},
                                            net::use_future),
                      socket_);
        http::request<http::empty_body> request{http::verb::get, "/events", 11};
        request.set(http::field::host, "127.0.0.1:" + std::to_string(server.Port()));
        client_.Await(server, http::async_write(socket_, request, net::use_future), socket_);
        parser_.emplace();
        client_.Await(server, http::async_read_header(socket_, buffer_, *parser_, net::use_future),
                      socket_);
        return parser_->get().result_int();
    }

    // Reads everything until the server ends the stream.
    void ReadOn()
    {
        // What came with the headers belongs to the stream; the retry field
        // is the first frame.
        {
            std::lock_guard lock(mutex_);
            received_.append(beast::buffers_to_string(buffer_.data()));
            Scan();
        }
        buffer_.consume(buffer_.size());
        reading_ = true;
        net::post(client_.Io(), [this] { Read(); });
    }

    std::vector<Frame> Frames()
    {
        std::lock_guard lock(mutex_);
        std::vector<Frame> frames;
        size_t start = 0;
        for (size_t end; (end = received_.find("\n\n", start)) != std::string::npos;
             start = end + 2) {
            Frame frame;
            std::istringstream fields(received_.substr(start, end - start));
            bool hasData = false;
            for (std::string field; std::getline(fields, field);) {
                if (field.rfind("event: ", 0) == 0)
                    frame.event = field.substr(7);
                else if (field.rfind("data: ", 0) == 0)
                    frame.data += (hasData ? "\n" : "") + field.substr(6), hasData = true;
            }
            if (hasData)
                frames.push_back(std::move(frame));
        }
        return frames;
    }
    std::vector<std::string> Messages()
    {
        std::vector<std::string> messages;
        for (const Frame& frame : Frames()) {
            if (frame.event.empty())
                messages.push_back(frame.data);
        }
        return messages;
    }
    // Plain messages complete so far (what Messages() would count).
    size_t Count()
    {
        std::lock_guard lock(mutex_);
        return count_;
    }
    bool Ended()
    {
        std::lock_guard lock(mutex_);
        return ended_;
    }
    size_t Bytes()
    {
        std::lock_guard lock(mutex_);
        return received_.size();
    }

private:
    // Counts the plain messages among the frames completed since the last scan.
    void Scan()
    {
        for (size_t end; (end = received_.find("\n\n", frameStart_)) != std::string::npos;) {
            if (received_.compare(frameStart_, 6, "data: ") == 0)
                ++count_;
            frameStart_ = end + 2;
        }
    }

    void Read()
    {
        socket_.async_read_some(net::buffer(chunk_), [this](beast::error_code error, size_t count) {
            {
                std::lock_guard lock(mutex_);
                received_.append(chunk_.data(), count);
                Scan();
                ended_ = error.failed();
            }
            if (error)
                finished_.set_value(); // the last touch of this object
            else
                Read();
        });
    }

    ClientThread& client_;
    tcp::socket socket_;
    beast::flat_buffer buffer_;
    std::optional<http::response_parser<http::empty_body>> parser_;
    std::array<char, 16384> chunk_{};
    std::mutex mutex_;
    std::string received_;
    size_t count_ = 0;
    size_t frameStart_ = 0;
    bool ended_ = false;
    bool reading_ = false;
    std::promise<void> finished_;
};

class WebServerTest : public ::testing::Test {
protected:
    std::unique_ptr<WebServer> Start(WebServerOptions options,
                                     std::function<std::string()> state = {})
    {
        options.listen = {"127.0.0.1", 0};
        auto server = std::make_unique<WebServer>(std::move(options), std::move(state));
        std::string error;
        EXPECT_TRUE(server->Listen(error)) << error;
        return server;
    }

    ClientThread client;
};

TEST_F(WebServerTest, AnswersOnlyReadsOfItsOwnPagesForItsOwnNames)
{
    WebServerOptions options;
    options.allowedHosts = {"obs-pc"};
    const std::string state = R"({"files":["nwclientLog1.txt"],"fights":[]})";
    const auto server = Start(options, [&] { return state; });
    const std::string port = std::to_string(server->Port());
    const std::string local = "127.0.0.1:" + port;
    EXPECT_EQ(server->Url(), "http://" + local + "/");

    const struct {
        const char* method;
        const char* target;
        std::string host;
        int status;
        const char* contentType; // start of it
        const char* bodyHolds;
    } cases[] = {
        {"GET", "/", local, 200, "text/html", "<title>"},
        {"GET", "/overlay?rows=3&scale=1.5&mode=taken", "localhost:" + port, 200, "text/html",
         "overlay"},
        {"GET", "/tarvik.js", "[::1]:" + port, 200, "text/javascript", "EventSource"},
        {"GET", "/tarvik.css", local, 200, "text/css", ".row"},
        {"GET", "/api/state", local, 200, "application/json", "nwclientLog1.txt"},
        {"GET", "/api/state?x=1", "OBS-PC:" + port, 200, "application/json", "fights"},
        {"HEAD", "/", local, 200, "text/html", ""},
        {"POST", "/", local, 405, "text/plain", "GET"},
        {"DELETE", "/api/state", local, 405, "text/plain", ""},
        {"OPTIONS", "/events", local, 405, "text/plain", ""},
        {"PUT", "/tarvik.js", local, 405, "text/plain", ""},
        {"GET", "/nothing", local, 404, "text/plain", ""},
        {"GET", "/overlay/", local, 404, "text/plain", ""},
        {"GET", "/../etc/passwd", local, 404, "text/plain", ""},
        {"GET", "/", "evil.example:" + port, 421, "text/plain", ""},
        {"GET", "/api/state", "localhost:" + std::to_string(server->Port() + 1), 421, "text/plain",
         ""},
        {"GET", "/", "obs-pc", 421, "text/plain", ""},
        {"GET", "/", "", 421, "text/plain", ""},
        {"POST", "/", "evil.example:" + port, 421, "text/plain", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.target + " Host: " + c.host);
        // A page of another site asks as well: no answer lets it read.
        const Answer answer =
            Fetch(client, *server, c.method, c.target, c.host, {{"Origin", "http://evil.example"}});
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(std::string(answer.response[http::field::content_type]).rfind(c.contentType, 0),
                  0u)
            << answer.response[http::field::content_type];
        EXPECT_NE(answer.response.body().find(c.bodyHolds), std::string::npos);
        for (const auto& field : answer.response)
            EXPECT_NE(std::string(field.name_string()).rfind("Access-Control", 0), 0u);
        if (c.status == 405) {
            EXPECT_EQ(answer.response[http::field::allow], "GET, HEAD");
        }
    }

    // HEAD: the headers of GET, no body.
    const Answer get = Fetch(client, *server, "GET", "/", local);
    const Answer head = Fetch(client, *server, "HEAD", "/", local);
    EXPECT_TRUE(head.response.body().empty());
    EXPECT_EQ(head.response[http::field::content_length],
              std::to_string(get.response.body().size()));
    EXPECT_NE(get.response["Content-Security-Policy"].find("script-src 'self'"), std::string::npos);
    const Answer state1 = Fetch(client, *server, "GET", "/api/state", local);
    EXPECT_EQ(state1.response.body(), state);
}

TEST_F(WebServerTest, ASlowEventStreamIsDroppedAndTheOthersGetEverything)
{
    WebServerOptions options;
    options.maxStreams = 2;
    options.maxQueuedBytes = 256 * 1024;
    const auto server = Start(options);
    EventClient fast(client);
    EventClient slow(client);
    EventClient third(client);
    ASSERT_EQ(fast.Open(*server), 200);
    ASSERT_EQ(slow.Open(*server, 4096), 200);
    EXPECT_EQ(third.Open(*server), 503) << "more streams than allowed";
    fast.ReadOn();
    ASSERT_EQ(server->StreamCount(), 2u);

    // Far more than the slow client's socket buffers and its queue hold; the
    // fast client reads each line before the next comes.
    std::vector<std::string> published;
    for (int i = 0; i < 256; ++i) {
        published.push_back("{\"type\":\"update\",\"fight\":" + std::to_string(i) + ",\"pad\":\"" +
                            std::string(16 * 1024, 'x') + "\"}");
        server->Publish(published.back());
        ASSERT_TRUE(ServeUntil(*server, [&] { return fast.Count() == published.size(); }))
            << "line " << i << " did not reach the fast client";
    }
    EXPECT_TRUE(ServeUntil(*server, [&] { return server->StreamCount() == 1; }))
        << "the slow stream is still open";
    EXPECT_TRUE(fast.Messages() == published);
    EXPECT_LT(slow.Bytes(), 2u << 20);

    // The freed place takes a new stream, which starts with the current fight.
    EventClient late(client);
    ASSERT_EQ(late.Open(*server), 200);
    late.ReadOn();
    EXPECT_TRUE(ServeUntil(*server, [&] { return !late.Frames().empty(); }));
    ASSERT_FALSE(late.Frames().empty());
    EXPECT_EQ(late.Frames()[0].event, "current");
    EXPECT_TRUE(late.Frames()[0].data == published.back());
}

TEST_F(WebServerTest, HeadOfTheEventStreamEndsAfterItsHeaders)
{
    const auto server = Start({});
    const Answer head =
        Fetch(client, *server, "HEAD", "/events", "127.0.0.1:" + std::to_string(server->Port()));
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.response[http::field::content_type], "text/event-stream");
    EXPECT_EQ(server->StreamCount(), 0u);
}

std::string Lines(const std::string& header, const std::vector<std::string>& timedBodies)
{
    std::string text = "Messages for: Mon Aug  3 " + header + " 2026\r\n";
    for (const auto& timed : timedBodies)
        text += "[CHAT WINDOW TEXT] [Mon Aug  3 " + timed.substr(0, 8) + "] " + timed.substr(9) +
                "\r\n";
    return text;
}

TEST_F(WebServerTest, TheEventStreamCarriesTheFollowLinesOfTheSameWrites)
{
    ConfigurationResult loaded = LoadConfiguration(test::ShippedConfigPath(), "Tarvik");
    ASSERT_TRUE(loaded.configuration) << loaded.fatalMessage;
    test::TempDir debugDir;
    test::TempDir logs;
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile{clock, lastError, debugDir.Path(), "Tarvik_debug"};
    DebugLog debug{logFile};
    SessionHost host;
    Session session(loaded.configuration->analysis, debug, clock, host);
    session.ClearAllData();
    session.Options().autodetectParty = true;
    session.SetMonitoringEnabled(true);
    LogFollower follower(session.Monitor(), session.FollowerHooks(), debug, clock);

    const auto server = Start({});
    EventClient events(client);
    ASSERT_EQ(events.Open(*server), 200);
    events.ReadOn();

    // What --follow prints, and the same lines to the server.
    std::vector<std::string> printed;
    LineSink sink([&](std::string_view line) {
        printed.emplace_back(line);
        server->Publish(line);
    });
    std::ostream out(&sink);
    FollowStream stream(session, out, {true, true});
    const std::string log = logs.File("nwclientLog1.txt");
    const auto write = [&](int minute, int second, const std::string& text) {
        clock.Set(DateTime::FromCivil(2026, 8, 3, 20, minute, second));
        {
            std::ofstream file(log, std::ios::binary | std::ios::app);
            file << text;
        }
        test::SetModifiedLocal(log, clock.Now());
        follower.Tick({logs.Path(), "nwclientLog*.txt", false, true});
        stream.AfterTick(clock.Now());
        server->RunFor(1);
    };

    const std::string first = Lines(
        "20:00:00", {
                        "20:00:10 Drogo : Initiative Roll : 11 : (4 + 7 = 11)",
                        "20:00:10 Brenna <script>alert(1)</script> has joined the party.",
                        "20:00:11 Drogo attacks Duergar Veteran : *hit* : (10 + 19 = 29)",
                        "20:00:11 Drogo damages Duergar Veteran: 30 (20 Physical 10 Fire)",
                        "20:00:12 Duergar Veteran attacks Drogo : *hit* : (14 + 12 = 26)",
                        "20:00:12 Duergar Veteran damages Drogo: 41 (41 Physical)",
                        "20:00:12 Duergar Veteran killed Drogo",
                        "20:00:13 Brenna <script>alert(1)</script> damages Duergar Veteran: 22 "
                        "(22 Divine)",
                        "20:00:14 Brenna <script>alert(1)</script> killed Duergar Veteran",
                    });
    const size_t half = first.find("Drogo: 41") + 4; // in the middle of a line
    write(0, 12, first.substr(0, half));
    write(0, 13, first.substr(half, first.find("[CHAT WINDOW TEXT] [Mon Aug  3 20:00:14]") - half));
    write(0, 14, first.substr(first.find("[CHAT WINDOW TEXT] [Mon Aug  3 20:00:14]")));
    write(0, 14, "");
    write(5, 0, ""); // quiet long enough: the fight ended
    write(5, 1,
          "[CHAT WINDOW TEXT] [Mon Aug  3 20:05:01] Drogo attacks Cave Spider : *hit* : (15 + 14 "
          "= 29)\r\n[CHAT WINDOW TEXT] [Mon Aug  3 20:05:01] Drogo damages Cave Spider: 17 (12 "
          "Physical 5 Cold)\r\n");
    write(5, 2, "");
    stream.Finish({"nwclientLog1.txt"}, session.Errors().Lines());
    server->Close(5000);
    ASSERT_TRUE(ServeUntil(*server, [&] { return events.Ended(); })) << "the stream never ended";

    std::vector<std::string> types;
    for (const auto& line : printed)
        types.push_back(nlohmann::json::parse(line)["type"].get<std::string>());
    // Fight 1 runs at 20:00:12, 13 and 14 (Drogo dies at 13), ends by 20:05:00;
    // fight 2 runs at 20:05:01 and 02.
    EXPECT_EQ(types, (std::vector<std::string>{"update", "death", "update", "update", "fight",
                                               "update", "update", "summary"}));
    EXPECT_EQ(events.Messages(), printed);
    // Every line of a newer or the same fight became the current one.
    std::vector<std::string> current;
    for (const auto& frame : events.Frames()) {
        if (frame.event == "current")
            current.push_back(frame.data);
    }
    std::vector<std::string> fightLines;
    for (size_t i = 0; i < printed.size(); ++i) {
        if (types[i] == "update" || types[i] == "fight")
            fightLines.push_back(printed[i]);
    }
    // What the lines hold is the follow stream's tests'.
    EXPECT_EQ(current, fightLines);
}

} // namespace
} // namespace tarvik
