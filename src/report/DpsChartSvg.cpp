#include "DpsChartSvg.h"

#include "Html.h"
#include "util/Encoding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvik {

namespace {

const char* LineColor(ChartLineKind kind, size_t opponentIndex)
{
    static constexpr std::array<const char*, 4> Opponents = {"#d62728", "#ff7f0e", "#9467bd",
                                                             "#8c564b"};
    switch (kind) {
    case ChartLineKind::You:
        return "#1f77b4";
    case ChartLineKind::Party:
        return "#2ca02c";
    case ChartLineKind::Taken:
        return "#555555";
    case ChartLineKind::Opponent:
        break;
    }
    return Opponents[opponentIndex % Opponents.size()];
}

} // namespace

double NiceStep(double maximum, int ticks)
{
    if (!(maximum > 0) || ticks < 1)
        return 1;
    const double raw = maximum / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (raw <= factor * power)
            return factor * power;
    }
    return 10 * power;
}

std::string DpsChartSvg(const DpsChart& chart, int width, int height)
{
    constexpr int Left = 56, Right = 12, Top = 44, Bottom = 34;
    const double plotWidth = std::max(1, width - Left - Right);
    const double plotHeight = std::max(1, height - Top - Bottom);
    const double seconds =
        std::max<double>(1, static_cast<double>(chart.points) * chart.bucketSeconds);

    // Scaled to the averages: a single fireball's second would squash
    // them flat; the per-bucket values above the top are cut at it.
    double maximum = 0;
    for (const ChartLine& line : chart.lines) {
        for (const double v : line.average)
            maximum = std::max(maximum, v);
    }
    const double yStep = NiceStep(maximum, 4);
    const double yMax = std::max(yStep, std::ceil(maximum / yStep) * yStep);
    auto x = [&](double second) { return Left + second / seconds * plotWidth; };
    auto y = [&](double dps) {
        return Top + plotHeight - std::clamp(dps, 0.0, yMax) / yMax * plotHeight;
    };

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"" +
                      std::to_string(width) + "\" height=\"" + std::to_string(height) +
                      "\" viewBox=\"0 0 " + std::to_string(width) + " " + std::to_string(height) +
                      "\" font-family=\"sans-serif\" font-size=\"11\">\n";
    svg += "<title>Damage per second</title>\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\" fill=\"#ffffff\"/>\n";

    // Grid and axes.
    for (double v = 0; v <= yMax + yStep / 2; v += yStep) {
        const std::string py = SvgNumber(y(v));
        svg += "<line x1=\"" + std::to_string(Left) + "\" y1=\"" + py + "\" x2=\"" +
               SvgNumber(Left + plotWidth) + "\" y2=\"" + py + "\" stroke=\"" +
               (v == 0 ? "#000000" : "#dddddd") + "\"/>\n";
        svg += "<text x=\"" + std::to_string(Left - 6) + "\" y=\"" + SvgNumber(y(v) + 4) +
               "\" text-anchor=\"end\">" + SvgNumber(v) + "</text>\n";
    }
    const double xStep = NiceStep(seconds, 8);
    for (double s = 0; s <= seconds + xStep / 100; s += xStep) {
        const std::string px = SvgNumber(x(s));
        svg += "<line x1=\"" + px + "\" y1=\"" + SvgNumber(Top + plotHeight) + "\" x2=\"" + px +
               "\" y2=\"" + SvgNumber(Top + plotHeight + 4) + "\" stroke=\"#000000\"/>\n";
        svg += "<text x=\"" + px + "\" y=\"" + SvgNumber(Top + plotHeight + 16) +
               "\" text-anchor=\"middle\">" + SvgNumber(s) + "</text>\n";
    }
    svg += "<line x1=\"" + std::to_string(Left) + "\" y1=\"" + std::to_string(Top) + "\" x2=\"" +
           std::to_string(Left) + "\" y2=\"" + SvgNumber(Top + plotHeight) +
           "\" stroke=\"#000000\"/>\n";
    svg += "<text x=\"" + SvgNumber(Left + plotWidth / 2) + "\" y=\"" + std::to_string(height - 4) +
           "\" text-anchor=\"middle\">seconds</text>\n";
    svg += "<text x=\"12\" y=\"" + SvgNumber(Top + plotHeight / 2) +
           "\" text-anchor=\"middle\" transform=\"rotate(-90 12 " +
           SvgNumber(Top + plotHeight / 2) + ")\">DPS</text>\n";

    // Lines: each bucket's point at the bucket's middle.
    auto polyline = [&](const std::vector<double>& values) {
        std::string points;
        for (size_t i = 0; i < values.size(); ++i) {
            if (!points.empty())
                points += ' ';
            points += SvgNumber(x((static_cast<double>(i) + 0.5) * chart.bucketSeconds)) + "," +
                      SvgNumber(y(values[i]));
        }
        return points;
    };
    size_t opponent = 0;
    double legendX = Left;
    int legendY = 8;
    for (const ChartLine& line : chart.lines) {
        const char* color =
            LineColor(line.kind, line.kind == ChartLineKind::Opponent ? opponent++ : 0);
        const std::string name = DisplayText(line.label);
        const std::string label = HtmlEscape(name);
        const char* dash = line.kind == ChartLineKind::Taken ? " stroke-dasharray=\"6 3\"" : "";
        svg += "<g class=\"line\"><title>" + label + "</title>\n";
        svg += "<polyline class=\"raw\" fill=\"none\" stroke=\"" + std::string(color) +
               "\" stroke-opacity=\"0.25\" points=\"" + polyline(line.dps) + "\"/>\n";
        svg += "<polyline class=\"average\" fill=\"none\" stroke=\"" + std::string(color) +
               "\" stroke-width=\"2\"" + dash + " points=\"" + polyline(line.average) +
               "\"/>\n</g>\n";
        // Legend along the top, in two rows when one is not enough. The
        // text's width is estimated; the font is not known here.
        const double entry = 30 + 6.5 * static_cast<double>(std::min<size_t>(name.size(), 40));
        if (legendX > Left && legendX + entry > width && legendY == 8) {
            legendX = Left;
            legendY = 22;
        }
        svg += "<rect x=\"" + SvgNumber(legendX) + "\" y=\"" + std::to_string(legendY) +
               "\" width=\"14\" height=\"4\" fill=\"" + color + "\"/>\n";
        svg += "<text x=\"" + SvgNumber(legendX + 18) + "\" y=\"" + std::to_string(legendY + 6) +
               "\">" + label + "</text>\n";
        legendX += entry;
    }
    svg += "</svg>";
    return svg;
}

} // namespace tarvik
