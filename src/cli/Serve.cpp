#include "Serve.h"

#include "analysis/Session.h"
#include "report/JsonReport.h"
#include "serve/LineSink.h"
#include "serve/WebServer.h"

namespace tarvik {

namespace {

// How long the last lines (the summary) may take to reach the pages.
constexpr int64_t FlushMs = 2000;

} // namespace

int RunServe(Session& session, FollowOptions follow, const ServeOptions& options, DebugLog& debug,
             const Clock& clock, std::ostream& out, std::ostream& err)
{
    WebServerOptions web;
    web.listen = options.listen;
    web.allowedHosts = options.allowedHosts;
    // The page's full state is the document --json --fights --targets prints.
    WebServer server(web, [&session] {
        return JsonDocument(session, FollowedLogNames(session), session.Errors().Lines(),
                            {true, true})
            .dump();
    });
    std::string error;
    if (!server.Listen(error)) {
        err << "tarvik-cli: " << error << '\n';
        return 1;
    }
    out << server.Url() << std::endl;

    LineSink sink([&server](std::string_view line) { server.Publish(line); });
    std::ostream events(&sink);
    follow.idle = [&server](int64_t ms) { server.RunFor(ms); };
    const int status = RunFollow(session, follow, debug, clock, events, err);
    server.Close(FlushMs);
    return status;
}

} // namespace tarvik
