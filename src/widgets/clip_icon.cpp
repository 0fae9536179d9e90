#include "widgets/clip_icon.h"

#include "platform/clipboard.h"
#include "platform/graphic.h"
#include "platform/icon.h"

unsigned RegisterClipIcon() {
  static const unsigned Format = [] {
    unsigned F = RegisterClipboardFormat("Vornelle Icon");
    TIcon::ClipboardFormat = F;
    TPicture::RegisterClipboardFormat(F, "TIcon", [] { return std::make_unique<TIcon>(); });
    return F;
  }();
  return Format;
}
