#pragma once
// The topic pages of the main window, one row each: the sheets a page serves and how it
// is made. The window builds them in this order at start-up.
#include <memory>
#include <vector>

#include "app/topic_table.h"

class TPageHost;
class TTopicPage;

struct TPageRow {
  std::vector<TSheet> Sheets;
  std::unique_ptr<TTopicPage> (*Create)(TPageHost &Host);
};

const std::vector<TPageRow> &PageRegistry();
