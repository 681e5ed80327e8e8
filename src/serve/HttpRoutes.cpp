#include "HttpRoutes.h"

#include "WebAssets.h"

namespace tarvik {

namespace {

// Everything the page loads comes from this server; nothing runs that it
// did not send as a file of its own.
constexpr const char* PagePolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; "
    "img-src 'self' data:; base-uri 'none'; form-action 'none'";

HttpReply Reply(int status, std::string contentType, std::string body)
{
    HttpReply reply;
    reply.status = status;
    reply.headers = {{"Content-Type", std::move(contentType)},
                     {"Cache-Control", "no-store"},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"}};
    reply.body = std::move(body);
    return reply;
}

std::string_view ContentType(std::string_view name)
{
    if (name.ends_with(".html"))
        return "text/html; charset=utf-8";
    if (name.ends_with(".js"))
        return "text/javascript; charset=utf-8";
    if (name.ends_with(".css"))
        return "text/css; charset=utf-8";
    return "application/octet-stream";
}

// The file behind a path; empty for none.
std::string_view FileOf(std::string_view path)
{
    if (path == "/")
        return "index.html";
    if (path == "/overlay")
        return "overlay.html";
    if (path == "/tarvik.js" || path == "/tarvik.css")
        return path.substr(1);
    return {};
}

} // namespace

HttpReply TextReply(int status, std::string text)
{
    return Reply(status, "text/plain; charset=utf-8", std::move(text) + "\n");
}

HttpRoutes::HttpRoutes(HostPolicy hosts, std::function<std::string()> state)
    : hosts_(std::move(hosts))
    , state_(std::move(state))
{
}

HttpReply HttpRoutes::Answer(const HttpRequestHead& request) const
{
    if (!request.host || !hosts_.Allows(*request.host))
        return TextReply(421, "This server answers only for its own address (see --allow-host).");
    if (request.method != "GET" && request.method != "HEAD") {
        HttpReply reply = TextReply(405, "Only GET and HEAD.");
        reply.headers.emplace_back("Allow", "GET, HEAD");
        return reply;
    }
    const std::string_view path = request.target.substr(0, request.target.find('?'));
    if (path == "/events") {
        HttpReply reply = Reply(200, "text/event-stream", {});
        reply.kind = HttpReply::Kind::Events;
        return reply;
    }
    if (path == "/api/state")
        return Reply(200, "application/json", state_ ? state_() : "{}");
    const std::string_view name = FileOf(path);
    const WebAsset* asset = name.empty() ? nullptr : FindWebAsset(name);
    if (!asset)
        return TextReply(404, "Not found.");
    HttpReply reply = Reply(200, std::string(ContentType(name)), std::string(asset->body));
    if (name.ends_with(".html"))
        reply.headers.emplace_back("Content-Security-Policy", PagePolicy);
    return reply;
}

} // namespace tarvik
