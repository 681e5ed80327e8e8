// The only file that includes Boost.Beast: it compiles slowly.
#include "WebServer.h"

#include "CurrentFight.h"
#include "EventHub.h"
#include "HostPolicy.h"
#include "HttpRoutes.h"

#include <array>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <optional>

namespace tarvik {

namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using namespace std::chrono_literals;

// A request must arrive, and a reply leave, within this; an idle
// keep-alive connection is closed after it too.
constexpr auto RequestTimeout = 20s;
// A stream that takes longer to take one frame is dropped.
constexpr auto StreamWriteTimeout = 30s;
// A comment on every stream this often finds clients that went away.
constexpr auto KeepAliveInterval = 15s;
constexpr int StreamSendBuffer = 128 * 1024;
constexpr uint32_t HeaderLimit = 16 * 1024;
constexpr uint64_t BodyLimit = 16 * 1024;

std::string_view View(beast::string_view text)
{
    return {text.data(), text.size()};
}

class Connection;

// What the connections share; lives as long as the server.
struct ServerCore {
    ServerCore(WebServerOptions options, std::function<std::string()> state)
        : options(std::move(options))
        , state(std::move(state))
        , hub(this->options.maxStreams, this->options.maxQueuedBytes)
    {
    }

    void Accept();
    void KeepAlive();

    WebServerOptions options;
    std::function<std::string()> state;
    EventHub hub;
    CurrentFight current;
    std::optional<HttpRoutes> routes;
    std::vector<std::weak_ptr<Connection>> connections;
    size_t open = 0;
    bool closing = false;
    // Declared last: destroyed first, with the handlers it still holds,
    // while what they refer to is still there.
    net::io_context io{1};
    net::executor_work_guard<net::io_context::executor_type> work{io.get_executor()};
    tcp::acceptor acceptor{io};
    net::steady_timer acceptRetry{io};
    net::steady_timer keepAlive{io};
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(tcp::socket socket, ServerCore& core)
        : stream_(std::move(socket))
        , core_(core)
        , writeDeadline_(core.io)
    {
        ++core_.open;
    }
    ~Connection()
    {
        if (client_)
            core_.hub.Leave(*client_);
        --core_.open;
    }

    void Start() { ReadRequest(); }

    // At once, whatever is in flight.
    void Close()
    {
        beast::error_code ignored;
        writeDeadline_.cancel();
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.close();
    }

    // After the last reply or frame: the client reads to the end.
    void Finish()
    {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        Close();
    }

    bool Streaming() const { return client_.has_value(); }

private:
    void ReadRequest()
    {
        parser_.emplace();
        parser_->header_limit(HeaderLimit);
        parser_->body_limit(BodyLimit);
        stream_.expires_after(RequestTimeout);
        http::async_read(stream_, buffer_, *parser_,
                         [self = shared_from_this()](beast::error_code error, size_t) {
                             self->OnRequest(error);
                         });
    }

    void OnRequest(beast::error_code error)
    {
        if (error) {
            const bool malformed =
                error.category() == http::make_error_code(http::error::bad_target).category() &&
                error != http::error::end_of_stream && error != http::error::partial_message;
            if (error == http::error::header_limit)
                Reply(TextReply(431, "Request headers too large."), false, false, 11);
            else if (error == http::error::body_limit)
                Reply(TextReply(413, "Request too large."), false, false, 11);
            else if (malformed)
                Reply(TextReply(400, "Bad request."), false, false, 11);
            else
                Close(); // gone, timed out or cancelled
            return;
        }
        const auto& request = parser_->get();
        HttpRequestHead head{View(request.method_string()), View(request.target()), std::nullopt};
        // Two Host headers name no single host.
        if (request.count(http::field::host) == 1)
            head.host = View(request[http::field::host]);
        HttpReply reply = core_.routes->Answer(head);
        const bool headOnly = request.method() == http::verb::head;
        if (reply.kind == HttpReply::Kind::Events && reply.status == 200)
            StartEvents(std::move(reply), headOnly, request.version());
        else
            Reply(std::move(reply), headOnly, request.keep_alive() && !core_.closing,
                  request.version());
    }

    template <class Body>
    static void SetHeaders(http::response<Body>& response, const HttpReply& reply)
    {
        for (const auto& [name, value] : reply.headers)
            response.set(name, value);
    }

    void Reply(HttpReply reply, bool headOnly, bool keepAlive, unsigned version)
    {
        const auto status = static_cast<http::status>(reply.status);
        if (headOnly) {
            auto response = std::make_shared<http::response<http::empty_body>>(status, version);
            SetHeaders(*response, reply);
            response->content_length(reply.body.size());
            response->keep_alive(keepAlive);
            Send(std::move(response), keepAlive);
        } else {
            auto response = std::make_shared<http::response<http::string_body>>(status, version);
            SetHeaders(*response, reply);
            response->body() = std::move(reply.body);
            response->prepare_payload();
            response->keep_alive(keepAlive);
            Send(std::move(response), keepAlive);
        }
    }

    template <class Response>
    void Send(std::shared_ptr<Response> response, bool keepAlive)
    {
        stream_.expires_after(RequestTimeout);
        http::async_write(
            stream_, *response,
            [self = shared_from_this(), response, keepAlive](beast::error_code error, size_t) {
                if (error)
                    self->Close();
                else if (keepAlive && !self->core_.closing)
                    self->ReadRequest();
                else
                    self->Finish();
            });
    }

    // The headers, then one frame after the other until the client or the
    // server goes.
    void StartEvents(HttpReply reply, bool headOnly, unsigned version)
    {
        if (!headOnly) {
            const auto client = core_.hub.Join([weak = weak_from_this()] {
                if (const auto self = weak.lock())
                    self->Pump();
            });
            if (!client) {
                HttpReply busy = TextReply(503, "Too many event streams; try again later.");
                busy.headers.emplace_back("Retry-After", "10");
                Reply(std::move(busy), false, false, version);
                return;
            }
            client_ = client;
            // Reconnect soon after the program restarts; start with the
            // fight a view shows now.
            core_.hub.Send(*client_, "retry: 2000\n\n");
            if (!core_.current.Line().empty())
                core_.hub.Send(*client_, EventFrame("current", core_.current.Line()));
        }
        auto response =
            std::make_shared<http::response<http::empty_body>>(http::status::ok, version);
        SetHeaders(*response, reply);
        // The stream ends when the connection does.
        response->keep_alive(false);
        stream_.expires_after(RequestTimeout);
        http::async_write(
            stream_, *response,
            [self = shared_from_this(), response, headOnly](beast::error_code error, size_t) {
                if (error) {
                    self->Close();
                    return;
                }
                if (headOnly) {
                    self->Finish();
                    return;
                }
                self->stream_.expires_never();
                // What a client has not taken waits in its queue, not
                // in a send buffer the system grows to megabytes.
                beast::error_code ignored;
                self->stream_.socket().set_option(
                    net::socket_base::send_buffer_size(StreamSendBuffer), ignored);
                self->streaming_ = true;
                self->WatchForClose();
                self->Pump();
            });
    }

    // A client that goes away closes its side; nothing else is read.
    void WatchForClose()
    {
        stream_.socket().async_read_some(
            net::buffer(ignored_), [self = shared_from_this()](beast::error_code error, size_t) {
                if (error)
                    self->Close();
                else
                    self->WatchForClose();
            });
    }

    void Pump()
    {
        if (!streaming_ || !client_)
            return;
        // Dropped: also what is stuck in a write to a client that reads no more.
        if (core_.hub.IsDropped(*client_)) {
            Close();
            return;
        }
        if (writing_)
            return;
        const EventHub::Frame frame = core_.hub.Front(*client_);
        if (!frame)
            return;
        writing_ = true;
        writeDeadline_.expires_after(StreamWriteTimeout);
        writeDeadline_.async_wait([weak = weak_from_this()](beast::error_code error) {
            if (const auto self = weak.lock(); self && !error)
                self->Close();
        });
        net::async_write(stream_.socket(), net::buffer(*frame),
                         [self = shared_from_this(), frame](beast::error_code error, size_t) {
                             self->writing_ = false;
                             self->writeDeadline_.cancel();
                             if (error) {
                                 self->Close();
                                 return;
                             }
                             self->core_.hub.Pop(*self->client_);
                             self->Pump();
                         });
    }

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    ServerCore& core_;
    std::optional<EventHub::ClientId> client_;
    bool streaming_ = false;
    bool writing_ = false;
    net::steady_timer writeDeadline_;
    std::array<char, 512> ignored_{};
};

void ServerCore::Accept()
{
    acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
        if (closing || error == net::error::operation_aborted)
            return;
        if (error) {
            // Out of descriptors, say: try again in a moment, not in a loop.
            acceptRetry.expires_after(100ms);
            acceptRetry.async_wait([this](beast::error_code wait) {
                if (!wait && !closing)
                    Accept();
            });
            return;
        }
        if (open >= options.maxConnections) {
            beast::error_code ignored;
            socket.close(ignored);
        } else {
            std::erase_if(connections, [](const auto& weak) { return weak.expired(); });
            auto connection = std::make_shared<Connection>(std::move(socket), *this);
            connections.push_back(connection);
            connection->Start();
        }
        Accept();
    });
}

void ServerCore::KeepAlive()
{
    keepAlive.expires_after(KeepAliveInterval);
    keepAlive.async_wait([this](beast::error_code error) {
        if (error || closing)
            return;
        hub.Publish(": keep-alive\n\n");
        KeepAlive();
    });
}

} // namespace

struct WebServer::Impl : ServerCore {
    using ServerCore::ServerCore;
    tcp::endpoint bound;
    bool closed = false;
};

WebServer::WebServer(WebServerOptions options, std::function<std::string()> state)
    : impl_(std::make_unique<Impl>(std::move(options), std::move(state)))
{
}

WebServer::~WebServer()
{
    if (!impl_->closed)
        Close(0);
}

bool WebServer::Listen(std::string& error)
{
    Impl& core = *impl_;
    beast::error_code code;
    const net::ip::address address = net::ip::make_address(core.options.listen.address, code);
    if (code) {
        error = core.options.listen.address + " is not an IP address.";
        return false;
    }
    const tcp::endpoint endpoint(address, core.options.listen.port);
    const std::string where =
        (address.is_v6() ? "[" + address.to_string() + "]" : address.to_string()) + ":" +
        std::to_string(endpoint.port());
    core.acceptor.open(endpoint.protocol(), code);
#ifdef _WIN32
    // No other program may take the port while this one listens.
    if (!code)
        core.acceptor.set_option(
            net::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>(true), code);
    code.clear();
#else
    if (!code)
        core.acceptor.set_option(net::socket_base::reuse_address(true), code);
#endif
    if (!code)
        core.acceptor.bind(endpoint, code);
    if (!code)
        core.acceptor.listen(net::socket_base::max_listen_connections, code);
    if (!code)
        core.bound = core.acceptor.local_endpoint(code);
    if (code) {
        error = "cannot listen on " + where + ": " + code.message();
        beast::error_code ignored;
        core.acceptor.close(ignored);
        return false;
    }
    core.routes.emplace(
        HostPolicy(core.bound.address().to_string(), core.bound.port(), core.options.allowedHosts),
        core.state);
    core.Accept();
    core.KeepAlive();
    return true;
}

uint16_t WebServer::Port() const
{
    return impl_->bound.port();
}

std::string WebServer::Url() const
{
    const net::ip::address address = impl_->bound.address();
    std::string host;
    if (address.is_unspecified())
        host = address.is_v6() ? "[::1]" : "127.0.0.1";
    else
        host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
    return "http://" + host + ":" + std::to_string(Port()) + "/";
}

void WebServer::Publish(std::string_view line)
{
    impl_->hub.Publish(EventFrame({}, line));
    if (impl_->current.Offer(line))
        impl_->hub.Publish(EventFrame("current", line));
}

void WebServer::RunFor(int64_t ms)
{
    if (impl_->closed)
        return;
    if (impl_->io.stopped())
        impl_->io.restart();
    impl_->io.run_for(std::chrono::milliseconds(ms));
}

void WebServer::Close(int64_t ms)
{
    Impl& core = *impl_;
    if (core.closed)
        return;
    core.closed = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (core.hub.QueuedBytes() > 0 && std::chrono::steady_clock::now() < deadline) {
        if (core.io.stopped())
            core.io.restart();
        core.io.run_for(10ms);
    }
    core.closing = true;
    beast::error_code ignored;
    core.acceptor.close(ignored);
    core.acceptRetry.cancel();
    core.keepAlive.cancel();
    for (const auto& weak : core.connections) {
        if (const auto connection = weak.lock())
            connection->Finish();
    }
    core.work.reset();
    if (core.io.stopped())
        core.io.restart();
    // What is left are handlers of cancelled operations.
    core.io.run_for(1s);
}

size_t WebServer::StreamCount() const
{
    return impl_->hub.ClientCount();
}

} // namespace tarvik
