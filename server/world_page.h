#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "score_store.h"

namespace vrumbal::scores {

// Text made safe to stand in HTML content and in quoted attribute values.
std::string EscapeHtml(std::string_view text);

// The world table as a UTF-8 HTML page: the rows in the given order, numbered from
// firstPlace, with links to the pages before and after when there are several.
std::string WorldPage(const std::vector<StoredScore>& rows, int firstPlace = 1, int pageNumber = 1,
                      int pageCount = 1);

}  // namespace vrumbal::scores
