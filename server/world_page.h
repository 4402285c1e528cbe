// The world table's web page.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "score_store.h"

namespace vrumbal::scores {

// What one page of the world table shows.
struct PageView {
    std::vector<StoredScore> rows;   // its rows, best first
    int firstPlace = 1;              // the place of its first row
    int pageNumber = 1;              // which page of its list it is, from 1
    int pageCount = 1;               // pages in its list
    bool proven = true;              // the proven results, or the unproven list apart
    std::int64_t unprovenCount = 0;  // results in the unproven list (linked when any)
};

// Text made safe to stand in HTML content and in quoted attribute values.
std::string EscapeHtml(std::string_view text);

// The address of a page of a list, as the game's own link spells the query ("&" as in a URL,
// not escaped for HTML).
std::string TableAddress(bool proven, int pageNumber, bool forHtml = true);

// The world table as a UTF-8 HTML page: each row with an anchor and a link to itself, a
// proven row with a link to its replay, links to the pages before and after, and the
// unproven list linked (or, on that list, explained).
std::string WorldPage(const PageView& view);

}  // namespace vrumbal::scores
