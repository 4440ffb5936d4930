#include "hostapi/DialogItemTemplate.h"

#include <cstring>

#include "hostapi/HostServices.h"

namespace {

void CopyTextCut(char* target, size_t size, const char* text) {
    size_t length = std::strlen(text);
    if (length > size - 1)
        length = size - 1;
    std::memcpy(target, text, length);
    std::memset(target + length, 0, size - length);
}

}  // namespace

void DialogItemTemplate::ToHostItem(HostDialogItem& item) const {
    item.type = type;
    item.x1 = x1;
    item.y1 = y1;
    item.x2 = x2;
    item.y2 = y2;
    item.focus = focus ? 1 : 0;
    item.selected = selected ? 1 : 0;
    item.flags = flags;
    item.defaultButton = defaultButton ? 1 : 0;
    const char* source = messageNumber >= 0 ? g_HostServices.MessageText(messageNumber)
                                            : (text != nullptr ? text : "");
    CopyTextCut(item.text, sizeof(item.text), source);
}

void MakeHostDialogItems(const DialogItemTemplate* templates, int count, HostDialogItem* items) {
    for (int i = 0; i < count; ++i)
        templates[i].ToHostItem(items[i]);
}
