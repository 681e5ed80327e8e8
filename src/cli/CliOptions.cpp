#include "CliOptions.h"

#include "serve/HostPolicy.h"
#include "util/Text.h"

namespace tarvik {

std::string CliUsage()
{
    return "Usage: tarvik-cli [--config FILE] [--json | --html] [--fights] [--targets]\n"
           "                  [--user NAME] [--party NAME]... [--autodetect] [--errors[=all]]\n"
           "                  [--debug-level N] LOG...\n"
           "       tarvik-cli --follow DIR [--for SECONDS] [options]\n"
           "       tarvik-cli --serve [ADDRESS:]PORT [--allow-host NAME]... --follow DIR\n"
           "                  [--for SECONDS] [options]\n"
           "\n"
           "Analyses Neverwinter Nights logs and prints the statistics.\n"
           "  --config FILE      configuration file (default: Tarvik.ini beside the program;\n"
           "                     installed: your copy if you have one, else the shipped one)\n"
           "  --json             print one JSON document instead of text\n"
           "  --html             print the HTML report instead of text (always with the\n"
           "                     fights, targets and their charts)\n"
           "  --fights           add the fights, their characters and death recaps\n"
           "  --targets          add what the rolls tell of every enemy (AC, AB, saves,\n"
           "                     immunities)\n"
           "  --follow DIR       follow the game's logs in DIR as they are written and print\n"
           "                     JSON Lines (see docs/json.md) until SIGINT or SIGTERM\n"
           "  --for SECONDS      with --follow: stop after SECONDS\n"
           "  --serve [ADDRESS:]PORT\n"
           "                     with --follow: serve a live meter page instead of printing\n"
           "                     (its address is the only line printed); / the page,\n"
           "                     /overlay for streaming software, /events the JSON Lines,\n"
           "                     /api/state the --json --fights --targets document.\n"
           "                     ADDRESS defaults to 127.0.0.1; PORT 0 takes a free one\n"
           "  --allow-host NAME  with --serve: also answer requests for NAME (the name or\n"
           "                     address another computer uses; repeatable)\n"
           "  --user NAME        mark NAME as your own character\n"
           "  --party NAME       mark NAME as a party member (repeatable)\n"
           "  --autodetect       detect your character and party from the logs\n"
           "  --errors           list the problem lines of the logs on standard error\n"
           "                     (without it, only how many lines of each kind)\n"
           "  --errors=all       list every line that gave no record, each with its kind\n"
           "                     (blank, session header, engine, chat duplicate,\n"
           "                     continuation or problem)\n"
           "  --debug-level N    write the debug log at level N (0-4)\n"
           "Exit status: 0 all logs analysed, 1 an analysis stopped, a log was missing or\n"
           "not a file, or the report could not be written, 2 configuration or usage error.\n";
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error)
{
    CliOptions options;
    bool onlyFiles = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = std::string(name) + " needs a value.";
                return std::nullopt;
            }
            return args[++i];
        };
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            options.logs.push_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--html") {
            options.html = true;
        } else if (arg == "--fights") {
            options.fights = true;
        } else if (arg == "--targets") {
            options.targets = true;
        } else if (arg == "--follow") {
            const auto v = value("--follow");
            if (!v)
                return std::nullopt;
            options.followDir = *v;
        } else if (arg == "--for") {
            const auto v = value("--for");
            if (!v)
                return std::nullopt;
            const auto seconds = ToInt32(*v);
            if (!seconds || *seconds < 1 || !IsNumeric(*v)) {
                error = "--for takes a number of seconds, at least 1.";
                return std::nullopt;
            }
            options.forSeconds = *seconds;
        } else if (arg == "--serve") {
            const auto v = value("--serve");
            if (!v)
                return std::nullopt;
            options.serve = ParseListenAddress(*v, error);
            if (!options.serve)
                return std::nullopt;
        } else if (arg == "--allow-host") {
            const auto v = value("--allow-host");
            if (!v)
                return std::nullopt;
            if (!IsAllowableHostName(*v)) {
                error = "--allow-host takes a host name or IP address without a port.";
                return std::nullopt;
            }
            options.allowedHosts.push_back(*v);
        } else if (arg == "--errors") {
            options.listErrors = ErrorListing::Problems;
        } else if (arg == "--errors=all") {
            options.listErrors = ErrorListing::All;
        } else if (arg == "--autodetect") {
            options.autodetect = true;
        } else if (arg == "--config") {
            const auto v = value("--config");
            if (!v)
                return std::nullopt;
            options.configPath = *v;
        } else if (arg == "--user") {
            const auto v = value("--user");
            if (!v)
                return std::nullopt;
            options.user = *v;
        } else if (arg == "--party") {
            const auto v = value("--party");
            if (!v)
                return std::nullopt;
            options.party.push_back(*v);
        } else if (arg == "--debug-level") {
            const auto v = value("--debug-level");
            if (!v)
                return std::nullopt;
            const auto level = ToInt32(*v);
            if (!level || *level < 0 || *level > 4 || !IsNumeric(*v)) {
                error = "--debug-level takes a number from 0 to 4.";
                return std::nullopt;
            }
            options.debugLevel = *level;
        } else {
            error = "Unknown option " + arg + ".";
            return std::nullopt;
        }
    }
    if (options.help)
        return options;
    if (options.json && options.html) {
        error = "--json and --html cannot go together.";
        return std::nullopt;
    }
    if (!options.followDir.empty() && options.html) {
        error = "--html does not go with --follow.";
        return std::nullopt;
    }
    if (!options.followDir.empty() && !options.logs.empty()) {
        error = "--follow reads the logs of its folder; give no LOG files with it.";
        return std::nullopt;
    }
    if (options.serve && options.followDir.empty()) {
        error = "--serve needs --follow DIR: it shows the logs as they are written.";
        return std::nullopt;
    }
    if (!options.allowedHosts.empty() && !options.serve) {
        error = "--allow-host only goes with --serve.";
        return std::nullopt;
    }
    if (options.followDir.empty() && options.forSeconds > 0) {
        error = "--for only goes with --follow.";
        return std::nullopt;
    }
    if (options.followDir.empty() && options.logs.empty()) {
        error = "No log file given.";
        return std::nullopt;
    }
    return options;
}

} // namespace tarvik
