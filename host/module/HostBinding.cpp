#include "host/module/HostBinding.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, HostUi*>>& Bindings() {
    static std::vector<std::pair<int, HostUi*>> bindings;
    return bindings;
}

HostUi* UiOfModule(int module) {
    for (const auto& binding : Bindings()) {
        if (binding.first == module)
            return binding.second;
    }
    return nullptr;
}

HostUi* LatestUi() {
    return Bindings().empty() ? nullptr : Bindings().back().second;
}

// A call after its binding ended gets the host's refusal, and nothing the UI
// raises may unwind through the plug-in's frames.
template <typename Result, typename Call>
Result Forward(HostUi* ui, Result refusal, Call call) {
    if (ui == nullptr)
        return refusal;
    try {
        return call(*ui);
    } catch (...) {
        return refusal;
    }
}

const char* WINAPI ServeMessageText(int module, int message) {
    return Forward<const char*>(UiOfModule(module), nullptr,
                                [&](HostUi& ui) { return ui.MessageText(message); });
}

int WINAPI ServeMessageBox(int module, unsigned flags, const char* helpTopic,
                           const char* const* lines, int lineCount, int buttonCount) {
    return Forward(UiOfModule(module), -1, [&](HostUi& ui) {
        return ui.ShowMessageBox(flags, helpTopic, lines, lineCount, buttonCount);
    });
}

int WINAPI ServeDialog(int module, int x1, int y1, int x2, int y2, const char* helpTopic,
                       HostDialogItem* items, int count) {
    return Forward(UiOfModule(module), -1, [&](HostUi& ui) {
        return ui.Dialog(x1, y1, x2, y2, helpTopic, items, count);
    });
}

int WINAPI ServePanelControl(HANDLE panel, int command, void* param) {
    return Forward(LatestUi(), 0,
                   [&](HostUi& ui) { return ui.PanelControl(panel, command, param); });
}

HANDLE WINAPI ServeScreenSave(int x1, int y1, int x2, int y2) {
    return Forward<HANDLE>(LatestUi(), nullptr,
                           [&](HostUi& ui) { return ui.ScreenSave(x1, y1, x2, y2); });
}

void WINAPI ServeScreenRestore(HANDLE screen) {
    Forward(LatestUi(), 0, [&](HostUi& ui) {
        ui.ScreenRestore(screen);
        return 0;
    });
}

}  // namespace

HostBinding::HostBinding(HostUi& ui, int moduleNumber, const std::string& root)
    : rootKeyPath(root), startup() {
    if (UiOfModule(moduleNumber) != nullptr)
        throw std::invalid_argument("module number " + std::to_string(moduleNumber) +
                                    " is bound already");
    startup.moduleNumber = moduleNumber;
    startup.rootKeyPath = rootKeyPath.c_str();
    startup.HostDialog = ServeDialog;
    startup.HostMessageBox = ServeMessageBox;
    startup.HostMessageText = ServeMessageText;
    startup.HostPanelControl = ServePanelControl;
    startup.HostScreenSave = ServeScreenSave;
    startup.HostScreenRestore = ServeScreenRestore;
    Bindings().emplace_back(moduleNumber, &ui);
}

HostBinding::~HostBinding() {
    auto& bindings = Bindings();
    for (auto it = bindings.begin(); it != bindings.end(); ++it) {
        if (it->first == startup.moduleNumber) {
            bindings.erase(it);
            return;
        }
    }
}
