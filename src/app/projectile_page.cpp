#include "app/topic_page.h"

// Replaced by the page's controller as it is built.
std::unique_ptr<TTopicPage> CreateProjectilePage(TFieldFrm &) { return nullptr; }
