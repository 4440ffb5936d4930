#include <cstring>
#include <string>
#include <vector>

#include "hostapi/MessageNumbers.h"
#include "tests/windows/HostSession.h"
#include "tests/windows/SmokeChecks.h"

namespace {

constexpr int kOpenFromPanelItem = 1;
constexpr int kOpenFromCommandLine = 4;
// Stands for OpenFilePlugin in the table of opens by name.
constexpr int kOpenFilePlugin = -1;

HANDLE OpenByName(ProbedPlugin& plugin, int openFrom, const char* name) {
    if (openFrom == kOpenFilePlugin)
        return plugin.OpenFilePlugin(name, nullptr, 0);
    return plugin.OpenPlugin(openFrom, reinterpret_cast<INT_PTR>(name));
}

// None of these opens gives a panel, and none has anything to say.
void CheckSilentRefusals(SmokeContext& smoke) {
    const std::string missing = smoke.directory.PathOf("missing.txt");
    const std::string quoted = "\"" + missing + "\"";
    struct Case {
        const char* what;
        int openFrom;
        const char* name;
    };
    const Case cases[] = {
        {"command line naming a missing file", kOpenFromCommandLine, missing.c_str()},
        {"the same name in double quotes", kOpenFromCommandLine, quoted.c_str()},
        {"a lone double quote", kOpenFromCommandLine, "\""},
        {"an empty command line", kOpenFromCommandLine, ""},
        {"open-from code 0", 0, nullptr},
        {"open-from code 2", 2, nullptr},
        {"open-from code 3, one before the command line", 3, nullptr},
        {"open-from code 5, one past the command line", 5, nullptr},
        {"OpenFilePlugin on a missing file", kOpenFilePlugin, missing.c_str()},
        {"OpenFilePlugin without a name", kOpenFilePlugin, nullptr},
    };
    for (const Case& c : cases) {
        HostSession session(smoke.plugin);
        const std::string what = c.what;
        smoke.log.Check(OpenByName(smoke.plugin, c.openFrom, c.name) == INVALID_HANDLE_VALUE,
                        what + ": no panel");
        smoke.log.Equal(session.ShownText(), std::string(), what + ": no message");
        smoke.log.Equal(session.ui.PanelControls().size(), size_t{0},
                        what + ": no panel query");
    }
}

// Opening the host's current item asks the host about its active panel first.
void CheckPanelQuery(SmokeContext& smoke) {
    const std::string missing = smoke.directory.PathOf("missing.txt");
    PanelItem missingItem;
    std::memset(&missingItem, 0, sizeof(missingItem));
    std::strcpy(missingItem.fileName, missing.c_str());
    struct Case {
        const char* what;
        int queryResult;
        int itemCount;
        int currentItem;
        const char* expectedMessage;
    };
    const Case cases[] = {
        {"the host refuses the panel query", 0, 0, 0, "OpenPlugin #142134"},
        {"the host's panel is empty", 1, 0, 0, "OpenPlugin: There are no items"},
        {"the current item is one past the last", 1, 1, 1, "OpenPlugin: There are no items"},
        {"the current item is one before the first", 1, 1, -1,
         "OpenPlugin: There are no items"},
        {"the current item names a missing file", 1, 1, 0, ""},
    };
    for (const Case& c : cases) {
        HostSession session(smoke.plugin);
        session.ui.SetPanel(c.queryResult,
                            std::vector<PanelItem>(static_cast<size_t>(c.itemCount), missingItem),
                            c.currentItem);
        const std::string what = c.what;
        smoke.log.Check(smoke.plugin.OpenPlugin(kOpenFromPanelItem, 0) == INVALID_HANDLE_VALUE,
                        what + ": no panel");
        smoke.log.Equal(session.ShownText(), std::string(c.expectedMessage),
                        what + ": message");
        const std::vector<ScriptedUi::PanelControlCall>& queries = session.ui.PanelControls();
        smoke.log.Check(queries.size() == 1 && queries[0].panel == INVALID_HANDLE_VALUE &&
                            queries[0].command == 1,
                        what + ": one query, command 1 about the active panel");
        if (*c.expectedMessage == 0 || session.ui.MessageBoxes().empty())
            continue;
        const ScriptedUi::MessageBoxCall& box = session.ui.MessageBoxes()[0];
        const std::vector<std::string> lines = {session.ui.Messages().Text(kMsgErrorTitle),
                                                c.expectedMessage,
                                                session.ui.Messages().Text(kMsgConfirm)};
        smoke.log.Check(box.flags == 1 && !box.hasHelpTopic && box.buttonCount == 1 &&
                            box.lines == lines,
                        what + ": an error box with its title and one button");
    }
}

// Neither asks anything of the host or of the handle it is given.
void CheckNoPanelCalls(SmokeContext& smoke) {
    struct Case {
        const char* what;
        HANDLE panel;
        int key;
        unsigned controlState;
    };
    const Case cases[] = {
        {"null handle", nullptr, 0, 0},
        {"no-panel handle", INVALID_HANDLE_VALUE, 13, 0},
        {"a handle of nothing", reinterpret_cast<HANDLE>(0x1234), -1, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        HostSession session(smoke.plugin);
        const std::string what = c.what;
        smoke.log.Equal(smoke.plugin.ProcessKey(c.panel, c.key, c.controlState), 0,
                        "ProcessKey, " + what + ": leaves the key to the host");
        if (c.panel == nullptr || c.panel == INVALID_HANDLE_VALUE)
            smoke.plugin.ClosePlugin(c.panel);
        smoke.log.Check(session.ui.Events().empty(), "ProcessKey and ClosePlugin, " + what +
                                                         ": nothing shown");
    }
}

}  // namespace

void CheckOpensWithoutPanel(SmokeContext& smoke) {
    smoke.log.Group("opens without a panel");
    CheckSilentRefusals(smoke);
    smoke.log.Group("open from the host's panel");
    CheckPanelQuery(smoke);
    smoke.log.Group("no panel");
    CheckNoPanelCalls(smoke);
}
