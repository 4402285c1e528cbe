#include "world_page.h"

#include <ctime>

#include "online/score_protocol.h"
#include "platform/codepage.h"

namespace vrumbal::scores {
namespace {

constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Vrumbal — мировая таблица</title>
<style>
body { font-family: sans-serif; background: #1d2330; color: #e8e8e8; margin: 2em auto; max-width: 46em; }
h1 { text-align: center; color: #ffcc33; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: 0.35em 0.8em; border-bottom: 1px solid #3a4458; }
th { text-align: left; color: #ffcc33; }
td.n, th.n { text-align: right; }
tr:nth-child(even) td { background: #242b3b; }
p.empty { text-align: center; }
</style>
</head>
<body>
<h1>Мировая таблица</h1>
)";

// The UTC day a result arrived, as YYYY-MM-DD.
std::string Day(std::int64_t secondsSinceEpoch) {
    const auto t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm tm{};
    if (!gmtime_r(&t, &tm)) return {};
    char text[16];
    if (std::strftime(text, sizeof text, "%Y-%m-%d", &tm) == 0) return {};
    return text;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string WorldPage(const std::vector<StoredScore>& rows, int firstPlace, int pageNumber,
                      int pageCount) {
    std::string page(kHead);
    if (rows.empty()) {
        page += "<p class=\"empty\">Результатов пока нет.</p>\n";
    } else {
        page +=
            "<table>\n<thead><tr><th class=\"n\">№</th><th>Имя</th><th class=\"n\">Очки</th>"
            "<th>Страна</th><th>Дата</th></tr></thead>\n<tbody>\n";
        int place = firstPlace - 1;
        for (const StoredScore& row : rows) {
            page += "<tr><td class=\"n\">" + std::to_string(++place) + "</td><td>" +
                    EscapeHtml(Cp1251ToUtf8(row.name)) + "</td><td class=\"n\">" +
                    std::to_string(row.score) + "</td><td>" +
                    EscapeHtml(Cp1251ToUtf8(row.country)) + "</td><td>" + Day(row.receivedAt) +
                    "</td></tr>\n";
        }
        page += "</tbody>\n</table>\n";
    }
    if (pageCount > 1) {
        // The query the game's own link opens, with the page number after it.
        const std::string base = std::string(kScoreScriptPath) +
                                 "?show&amp;prg=" + std::string(kProductCode) +
                                 "&amp;type=0&amp;page=";
        page += "<p class=\"pages\">";
        if (pageNumber > 1) {
            page += "<a href=\"" + base + std::to_string(pageNumber - 1) + "\">&larr;</a> ";
        }
        page += std::to_string(pageNumber) + " / " + std::to_string(pageCount);
        if (pageNumber < pageCount) {
            page += " <a href=\"" + base + std::to_string(pageNumber + 1) + "\">&rarr;</a>";
        }
        page += "</p>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace vrumbal::scores
