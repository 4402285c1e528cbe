#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "score_store.h"

namespace vrumbal::scores {

// Text made safe to stand in HTML content and in quoted attribute values.
std::string EscapeHtml(std::string_view text);

// The world table as a UTF-8 HTML page: the rows in the given order, numbered from 1.
std::string WorldPage(const std::vector<StoredScore>& rows);

}  // namespace vrumbal::scores
