// The world table's page: one HTML file with its style, readable from a phone's 390 pixels to a
// desktop's width, every row linkable and every proven row's replay a click away.
#include "world_page.h"

#include "online/score_protocol.h"
#include "platform/codepage.h"
#include "server_time.h"

namespace vrumbal::scores {
namespace {

constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Vrumbal — мировая таблица рекордов</title>
<meta name="description" content="Лучшие заезды мотогонки Vrumbal со всего мира. Каждый результат проверен: сервер заново проехал запись заезда.">
<meta property="og:type" content="website">
<meta property="og:site_name" content="Vrumbal">
<meta property="og:title" content="Vrumbal — мировая таблица рекордов">
<meta property="og:description" content="Лучшие заезды мотогонки Vrumbal со всего мира. Каждый результат проверен: сервер заново проехал запись заезда.">
<style>
:root { color-scheme: dark; }
body { font-family: system-ui, sans-serif; background: #1d2330; color: #e8e8e8; margin: 0 auto; padding: 1.5em 1em; max-width: 46em; line-height: 1.4; }
h1 { margin: 0; text-align: center; color: #ffcc33; font-size: 2.2em; letter-spacing: 0.05em; }
p.sub { margin: 0.1em 0 1em; text-align: center; color: #ffcc33; font-size: 1.15em; }
p.about, p.note { color: #b8c0d0; font-size: 0.92em; }
a { color: #8cc4ff; }
code { color: #e8e8e8; }
table { border-collapse: collapse; width: 100%; table-layout: fixed; }
col.place { width: 3em; } col.score { width: 4.6em; } col.level { width: 2.6em; }
col.date { width: 6.6em; } col.replay { width: 2.2em; }
th, td { padding: 0.4em 0.5em; border-bottom: 1px solid #3a4458; vertical-align: baseline; overflow: hidden; }
th { text-align: left; color: #ffcc33; font-weight: 600; }
.n { text-align: right; font-variant-numeric: tabular-nums; }
td.n a { color: inherit; text-decoration: none; }
td.who span { display: block; overflow: hidden; text-overflow: ellipsis; white-space: nowrap; }
td.who .country { font-size: 0.8em; color: #9aa3b5; }
td.date { font-size: 0.85em; color: #b8c0d0; white-space: nowrap; }
tbody tr:nth-child(even) td { background: #242b3b; }
tbody tr:target td { background: #4a3d14; }
a.play { text-decoration: none; }
.hide { position: absolute; left: -9999px; }
p.pages, p.empty { text-align: center; }
@media (max-width: 480px) {
  body { padding: 1em 0.4em; font-size: 15px; }
  th, td { padding: 0.35em 0.25em; }
  col.place { width: 2.5em; } col.score { width: 3.8em; } col.level { width: 2.3em; }
  col.date { width: 5.4em; } col.replay { width: 1.7em; }
  td.date { font-size: 0.72em; }
}
</style>
</head>
<body>
<h1>Vrumbal</h1>
)";

constexpr std::string_view kAbout =
    "<p class=\"about\">Vrumbal — аркадные мотогонки по извилистой дороге: пять мотоциклов, "
    "десять уровней, соперники и часы. Здесь лучшие результаты игроков со всего мира. Каждый "
    "из них проверен: сервер заново проехал запись заезда и получил те же очки. Запись "
    "любого заезда можно скачать (&#9654;) и посмотреть в игре: "
    "<code>vrumbal --replay ФАЙЛ</code>.</p>\n";

constexpr std::string_view kUnprovenAbout =
    "<p class=\"note\">Эти результаты присланы без записи заезда, и проверить их нельзя. "
    "Они не входят в мировую таблицу.</p>\n";

std::string Utf8Html(const std::string& cp1251) {
    return EscapeHtml(Cp1251ToUtf8(cp1251));
}

std::string RowAddress(bool proven, std::int64_t id) {
    return TableAddress(proven, 1, true) + "&amp;id=" + std::to_string(id) + "#r" +
           std::to_string(id);
}

void AddRows(std::string& page, const PageView& view) {
    page +=
        "<table>\n<colgroup><col class=\"place\"><col><col class=\"score\"><col class=\"level\">"
        "<col class=\"date\">";
    if (view.proven) page += "<col class=\"replay\">";
    page +=
        "</colgroup>\n<thead><tr><th class=\"n\">№</th><th>Игрок</th><th class=\"n\">Очки</th>"
        "<th class=\"n\" title=\"Уровень\">Ур.</th><th>Дата</th>";
    if (view.proven) page += "<th><span class=\"hide\">Запись</span></th>";
    page += "</tr></thead>\n<tbody>\n";
    int place = view.firstPlace - 1;
    for (const StoredScore& row : view.rows) {
        const std::string id = std::to_string(row.id);
        page += "<tr id=\"r" + id + "\"><td class=\"n\"><a href=\"" +
                RowAddress(view.proven, row.id) + "\">" + std::to_string(++place) +
                "</a></td><td class=\"who\"><span class=\"name\">" + Utf8Html(row.name) +
                "</span><span class=\"country\">" + Utf8Html(row.country) +
                "</span></td><td class=\"n\">" + std::to_string(row.score) +
                "</td><td class=\"n\">" + (row.level > 0 ? std::to_string(row.level) : "") +
                "</td><td class=\"date\">" + UtcDay(row.receivedAt) + "</td>";
        if (view.proven) {
            page += "<td><a class=\"play\" href=\"" + std::string(kReplaysPath) + id +
                    ".vrr\" title=\"Запись заезда\" download>&#9654;</a></td>";
        }
        page += "</tr>\n";
    }
    page += "</tbody>\n</table>\n";
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

std::string TableAddress(bool proven, int pageNumber, bool forHtml) {
    const std::string amp = forHtml ? "&amp;" : "&";
    std::string address = std::string(kScoreScriptPath) + "?show" + amp +
                          "prg=" + std::string(kProductCode) + amp + "type=0";
    if (!proven) address += amp + "unproven";
    if (pageNumber > 1) address += amp + "page=" + std::to_string(pageNumber);
    return address;
}

std::string WorldPage(const PageView& view) {
    std::string page(kHead);
    if (view.proven) {
        page += "<p class=\"sub\">Мировая таблица рекордов</p>\n";
        page += kAbout;
    } else {
        page += "<p class=\"sub\">Непроверенные результаты</p>\n";
        page += kUnprovenAbout;
        page += "<p><a href=\"" + TableAddress(true, 1) + "\">&larr; Мировая таблица</a></p>\n";
    }
    if (view.rows.empty()) {
        page += "<p class=\"empty\">Результатов пока нет.</p>\n";
    } else {
        AddRows(page, view);
    }
    if (view.pageCount > 1) {
        page += "<p class=\"pages\">";
        if (view.pageNumber > 1) {
            page +=
                "<a href=\"" + TableAddress(view.proven, view.pageNumber - 1) + "\">&larr;</a> ";
        }
        page += std::to_string(view.pageNumber) + " / " + std::to_string(view.pageCount);
        if (view.pageNumber < view.pageCount) {
            page +=
                " <a href=\"" + TableAddress(view.proven, view.pageNumber + 1) + "\">&rarr;</a>";
        }
        page += "</p>\n";
    }
    if (view.proven && view.unprovenCount > 0) {
        page += "<p class=\"note\"><a href=\"" + TableAddress(false, 1) +
                "\">Непроверенные результаты</a> (" + std::to_string(view.unprovenCount) +
                "): присланы старыми версиями игры без записи заезда.</p>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace vrumbal::scores
