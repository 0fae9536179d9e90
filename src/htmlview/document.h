#pragma once
// The document model: sections, cells, tables, objects in the text and the root.
#include "htmlview/cell.h"
#include "htmlview/doc_images.h"
#include "htmlview/font_stack.h"
#include "htmlview/form_controls.h"
#include "htmlview/section_list.h"
#include "htmlview/sections.h"
#include "htmlview/tables.h"
