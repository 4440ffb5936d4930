#include "host/panel/PanelItemBlock.h"

#include <cstring>

#include "host/text/Utf8Text.h"

std::string ListedName(const PanelItem& item) {
    std::string name(item.fileName, strnlen(item.fileName, sizeof(item.fileName)));
    return ToUtf8(name.c_str(), CP_OEMCP);
}
