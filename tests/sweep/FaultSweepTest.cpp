// Every operation a host makes through the loaded module, with each layer call
// it makes failed in turn: each function at each call number a clean run
// reaches, with each error a real system gives. Nothing may crash or leak (the
// suite also runs under ASan+UBSan), the user is told or gets the quiet result
// the entry point promises, and nothing is lost: outputs of earlier items stay
// whole, every stream holds its old or its new bytes, a moved source is gone
// only when its copy is whole, and the registry file keeps old or new values.
// Every call number is tried: the whole sweep takes a few seconds, also under
// the sanitizers, so no sampling is needed.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/HostBinding.h"
#include "host/module/PluginSession.h"
#include "hostapi/OperationMode.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/DriveMap.h"
#include "platform/win32.h"
#include "tests/platform/MappedDriveSupport.h"
#include "tests/plugin/TempRegistrySupport.h"

namespace {

using Texts = std::vector<std::string>;
using Streams = std::map<std::string, std::string>;
using Calls = std::vector<std::pair<std::string, unsigned>>;

const DWORD kErrors[] = {ERROR_ACCESS_DENIED, ERROR_DISK_FULL, ERROR_SHARING_VIOLATION,
                         ERROR_NOT_ENOUGH_MEMORY};

const char kRootKeyPath[] = "Software\\Sweep";
const char kSettingsKeyPath[] = "Software\\Sweep\\MORVEX";
const char kUsedByDefault[] = "UsedByDefault";
const char kParseSecurity[] = "ParseSecurity";
// The settings dialog: the two boxes and the button that confirms it.
const int kUsedByDefaultBox = 1, kParseSecurityBox = 2, kConfirm = 4;
// Each run binds its own scripted host beside the session's.
const int kRunModule = PluginSession::kDefaultModuleNumber + 1;

// Past one 512 KiB chunk, so that copying the main data reads and writes twice;
// the other operations never read it, and keep the sweep quick on less.
const size_t kTwoChunks = 524289;
const size_t kSmallData = 4;
const Streams kStreams = {{"s1", "first stream"}, {"s2", "second stream"}, {"s3", "kept"}};
const char kReportItem[] = "{Security_Data}";
// Two empty lines lead from the permissions to the audit section.
const char kAuditSeparator[] = "\r\n\r\n";
// The files a put takes in: one replaces a stream, one adds a stream.
const Streams kSources = {{"new", "a new stream"}, {"s1", "first stream, replaced"}};

// A free that fails keeps its block, as on Windows: there is nothing a caller
// can do about it, and failing one would only show the leak checker that leak.
const char kNotSwept[] = "LocalFree";

std::optional<std::string> Xattr(const std::string& path, const std::string& stream) {
    char value[65536];
    const ssize_t length = getxattr(path.c_str(), ("user." + stream).c_str(), value,
                                    sizeof(value));
    if (length < 0)
        return std::nullopt;
    return std::string(value, static_cast<size_t>(length));
}

// One run of an operation on files of its own, with a host of its own.
struct Attempt {
    std::string dir;   // "rN" on both drives
    std::string file;  // the Linux path of D:\rN\f
    std::string data;  // its main data
    std::unique_ptr<ScriptedUi> ui;
    std::unique_ptr<HostBinding> binding;
    HANDLE panel = INVALID_HANDLE_VALUE;
    std::vector<PanelItem> items;  // of the panel, as listed before the counted calls
    int result = 0;
    Texts listed;  // what the open-and-list operation got

    std::string OnDrive(const std::string& drive) const { return drive + ":\\" + dir; }
    // Error boxes and questions: a progress notice has no buttons and tells nothing.
    int Told() const {
        int told = 0;
        for (const ScriptedUi::MessageBoxCall& box : ui->MessageBoxes())
            told += box.buttonCount > 0;
        return told;
    }
};

struct Operation {
    const char* name;
    bool parseSecurity;
    size_t dataSize;
    std::function<void(Attempt&)> prepare;  // before the counted calls
    std::function<void(Attempt&)> perform;  // the counted calls
    std::function<void(const Attempt&, const Attempt& clean)> check;
};

class FaultSweepTest : public MappedDriveTest {
protected:
    FaultSweepTest() { mvx::MapDrive('E', target.Path()); }
    ~FaultSweepTest() override {
        for (HANDLE panel : panels)
            entries.ClosePlugin(panel);
        entries.SetStartupInfo(&session.Startup());
    }

    // A fresh file with its streams, the switches stored, and a host bound.
    std::unique_ptr<Attempt> NewAttempt(const Operation& operation) {
        auto run = std::make_unique<Attempt>();
        run->dir = "r" + std::to_string(runs++);
        temp.AddDirectory(run->dir);
        target.AddDirectory(run->dir);
        run->data.assign(operation.dataSize, 'd');
        run->file = temp.AddFile(run->dir + "/f", run->data);
        for (const auto& [name, contents] : kStreams)
            setxattr(run->file.c_str(), ("user." + name).c_str(), contents.data(),
                     contents.size(), 0);
        StoreSwitch(kUsedByDefault, 1);
        StoreSwitch(kParseSecurity, operation.parseSecurity);
        run->ui = std::make_unique<ScriptedUi>();
        run->binding = std::make_unique<HostBinding>(*run->ui, kRunModule, kRootKeyPath);
        entries.SetStartupInfo(&run->binding->Startup());
        return run;
    }

    void OpenPanel(Attempt& run) {
        const std::string name = run.OnDrive("D") + "\\f";
        run.panel = entries.OpenPlugin(4, reinterpret_cast<INT_PTR>(name.c_str()));
        ASSERT_NE(run.panel, INVALID_HANDLE_VALUE);
        panels.insert(run.panel);
        PanelItem* block = nullptr;
        int count = 0;
        ASSERT_EQ(entries.GetFindData(run.panel, &block, &count, 0), 1);
        run.items.assign(block, block + count);
        entries.FreeFindData(run.panel, block, count);
    }

    // Each attempt writes its own copies; they go when it is judged.
    void Remove(const Attempt& run) {
        std::filesystem::remove_all(temp.PathOf(run.dir));
        std::filesystem::remove_all(target.PathOf(run.dir));
    }

    void ClosePanel(Attempt& run) {
        if (run.panel == INVALID_HANDLE_VALUE)
            return;
        entries.ClosePlugin(run.panel);
        panels.erase(run.panel);
        run.panel = INVALID_HANDLE_VALUE;
    }

    static std::vector<PanelItem> Pick(const Attempt& run, const Texts& names) {
        std::vector<PanelItem> chosen;
        for (const std::string& name : names) {
            for (const PanelItem& item : run.items) {
                if (name == item.fileName)
                    chosen.push_back(item);
            }
        }
        return chosen;
    }

    static void StoreSwitch(const char* name, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // The stored switch; nullopt when the key or the value cannot be read.
    static std::optional<DWORD> StoredSwitch(const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return std::nullopt;
        DWORD value = 0, size = sizeof(value), type = REG_NONE;
        const LONG result = RegQueryValueExA(key, name, nullptr, &type,
                                             reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS || size != sizeof(value))
            return std::nullopt;
        return value;
    }

    // The files beside the registry file: a damaged one is kept aside there.
    static std::set<std::string> RegistryDirectory() {
        std::string dir = std::getenv("MORVEX_REGISTRY");
        dir.erase(dir.rfind('/'));
        std::set<std::string> names;
        if (DIR* listing = opendir(dir.c_str())) {
            while (const dirent* entry = readdir(listing))
                names.insert(entry->d_name);
            closedir(listing);
        }
        return names;
    }

    // What an extraction may leave of an item when it goes on to the next: what
    // the clean run wrote or, for the report, that report without its audit
    // section, which is left out when the security privilege cannot be had.
    bool Whole(const Attempt& run, const Attempt& clean, const std::string& name) {
        const std::string out = run.dir + "/out/" + name;
        if (!target.Exists(out))
            return false;
        const std::string written = target.Contents(out);
        const std::string expected = target.Contents(clean.dir + "/out/" + name);
        return written == expected ||
               (name == kReportItem && expected.rfind(written + kAuditSeparator, 0) == 0);
    }

    // The items an extraction writes out: whole ones first, then at most the
    // one a failure stopped, then nothing.
    void ExpectStoppedAtOneItem(const Attempt& run, const Attempt& clean, const Texts& outputs) {
        bool stopped = false;
        for (const std::string& name : outputs) {
            if (stopped) {
                EXPECT_FALSE(target.Exists(run.dir + "/out/" + name))
                    << name << " written after an earlier item failed";
            } else {
                stopped = !Whole(run, clean, name);
            }
        }
        if (run.result == 1) {
            EXPECT_FALSE(stopped) << "an item is missing or cut, yet the copy succeeded";
        }
    }

    void ExpectToldOnFailure(const Attempt& run) {
        if (run.result != 1) {
            EXPECT_GT(run.Told(), 0) << "failed with " << run.result << " and said nothing";
        }
    }

    // The opened file's data and the streams an operation leaves alone.
    void ExpectUntouched(const Attempt& run, const Texts& streams) {
        EXPECT_EQ(temp.Contents(run.dir + "/f"), run.data);
        for (const std::string& stream : streams)
            EXPECT_EQ(Xattr(run.file, stream), kStreams.at(stream)) << stream;
    }

    std::vector<Operation> Operations();

    TempDirectory target;  // drive E:
    TempRegistry registry;
    ScriptedUi hostUi;
    PluginSession session{PluginSession::DefaultModulePath(), hostUi,
                          PluginSession::kDefaultModuleNumber, kRootKeyPath};
    const PluginEntryPoints& entries = session.Entries();
    std::set<HANDLE> panels;  // open ones, closed at the end if an assertion cut an attempt
    std::set<std::string> cleanRegistryFiles;  // after the clean run
    unsigned runs = 0;
};

std::vector<Operation> FaultSweepTest::Operations() {
    const Texts everyItem = {"{Data}", "{Security_Data}", "s1", "s2"};
    auto openPanel = [this](Attempt& run) { OpenPanel(run); };
    auto get = [this](const Texts& names, int move) {
        return [this, names, move](Attempt& run) {
            std::vector<PanelItem> items = Pick(run, names);
            const std::string out = run.OnDrive("E") + "\\out";
            run.result = entries.GetFiles(run.panel, items.data(),
                                          static_cast<int>(items.size()), move, out.c_str(),
                                          OpModeQuiet);
        };
    };
    auto checkGet = [this](const Texts& names) {
        return [this, names](const Attempt& run, const Attempt& clean) {
            ExpectToldOnFailure(run);
            ExpectStoppedAtOneItem(run, clean, names);
            ExpectUntouched(run, {"s1", "s2", "s3"});
        };
    };
    return {
        {"open and list", true, kSmallData, [](Attempt&) {},
         [this](Attempt& run) {
             const std::string name = run.OnDrive("D") + "\\f";
             const HANDLE panel = entries.OpenPlugin(4, reinterpret_cast<INT_PTR>(name.c_str()));
             // An open that fails says why or nothing at all: both are its contract.
             run.result = panel == INVALID_HANDLE_VALUE ? -1 : 1;
             if (panel == INVALID_HANDLE_VALUE)
                 return;
             PanelItem* block = nullptr;
             int count = 0;
             if (entries.GetFindData(panel, &block, &count, 0) == 1) {
                 for (int i = 0; i < count; ++i)
                     run.listed.push_back(block[i].fileName);
                 entries.FreeFindData(panel, block, count);
             } else {
                 run.result = 0;
             }
             entries.ClosePlugin(panel);
         },
         [this](const Attempt& run, const Attempt& clean) {
             if (run.result == 0) {
                 EXPECT_GT(run.Told(), 0) << "the listing failed and said nothing";
             }
             if (run.result == 1 && run.Told() == 0) {
                 EXPECT_EQ(run.listed, clean.listed) << "streams missing without a word";
             }
             ExpectUntouched(run, {"s1", "s2", "s3"});
         }},
        {"get with the report", true, kTwoChunks, openPanel, get(everyItem, 0),
         checkGet(everyItem)},
        {"get raw", false, kSmallData, openPanel, get({kReportItem}, 0), checkGet({kReportItem})},
        {"get and move", true, kSmallData, openPanel, get({"s1", "s2"}, 1),
         [this](const Attempt& run, const Attempt&) {
             ExpectToldOnFailure(run);
             ExpectUntouched(run, {"s3"});
             for (const std::string stream : {"s1", "s2"}) {
                 const std::string out = run.dir + "/out/" + stream;
                 const std::optional<std::string> left = Xattr(run.file, stream);
                 const bool whole = target.Exists(out) &&
                                    target.Contents(out) == kStreams.at(stream);
                 if (left) {
                     EXPECT_EQ(*left, kStreams.at(stream)) << stream;
                 } else {
                     EXPECT_TRUE(whole) << stream << " deleted, but its copy is not whole";
                 }
                 if (run.result == 1) {
                     EXPECT_TRUE(whole && !left) << stream;
                 }
             }
         }},
        {"put and move", true, kSmallData,
         [this](Attempt& run) {
             target.AddDirectory(run.dir + "/src");
             for (const auto& [name, contents] : kSources)
                 target.AddFile(run.dir + "/src/" + name, contents);
             mvx::SetCurrentDirectory(run.OnDrive("E") + "\\src");
             OpenPanel(run);
         },
         [this](Attempt& run) {
             std::vector<PanelItem> items(kSources.size());
             size_t i = 0;
             for (const auto& source : kSources) {
                 std::memset(&items[i], 0, sizeof(PanelItem));
                 std::strcpy(items[i++].fileName, source.first.c_str());
             }
             run.result = entries.PutFiles(run.panel, items.data(),
                                           static_cast<int>(items.size()), 1, OpModeQuiet);
         },
         [this](const Attempt& run, const Attempt&) {
             ExpectToldOnFailure(run);
             ExpectUntouched(run, {"s2", "s3"});
             bool allWritten = true, anyDeleted = false;
             for (const auto& [name, contents] : kSources) {
                 const std::optional<std::string> stream = Xattr(run.file, name);
                 const auto old = kStreams.find(name);
                 const bool written = stream == contents;
                 if (!written && old == kStreams.end()) {
                     EXPECT_FALSE(stream) << name << " left half written";
                 } else if (!written) {
                     EXPECT_EQ(stream, old->second) << name << " left half written";
                 }
                 allWritten = allWritten && written;
                 anyDeleted = anyDeleted || !target.Exists(run.dir + "/src/" + name);
             }
             if (anyDeleted) {
                 EXPECT_TRUE(allWritten) << "a source is gone before every stream was written";
             }
             if (run.result == 1) {
                 EXPECT_TRUE(allWritten) << "a stream is not written, yet the put succeeded";
             }
         }},
        {"rm", true, kSmallData, openPanel,
         [this](Attempt& run) {
             std::vector<PanelItem> items = Pick(run, {"s1", "s2"});
             run.result = entries.DeleteFiles(run.panel, items.data(),
                                              static_cast<int>(items.size()), OpModeQuiet);
         },
         [this](const Attempt& run, const Attempt&) {
             ExpectToldOnFailure(run);
             ExpectUntouched(run, {"s3"});
             const std::optional<std::string> first = Xattr(run.file, "s1");
             const std::optional<std::string> second = Xattr(run.file, "s2");
             if (first) {
                 EXPECT_EQ(*first, kStreams.at("s1"));
             }
             if (second) {
                 EXPECT_EQ(*second, kStreams.at("s2"));
             }
             if (first) {
                 EXPECT_TRUE(second) << "s2 deleted after deleting s1 failed";
             }
             if (run.result == 1) {
                 EXPECT_FALSE(first || second) << "a stream is left, yet the deletion succeeded";
             }
         }},
        {"configure", true, kSmallData, [](Attempt&) {},
         [this](Attempt& run) {
             entries.SetStartupInfo(&run.binding->Startup());
             run.ui->AnswerDialog(kConfirm, {{kUsedByDefaultBox, 0, std::nullopt},
                                             {kParseSecurityBox, 0, std::nullopt}});
             run.result = entries.Configure(0);
         },
         [this](const Attempt& run, const Attempt&) {
             // Storing the switches is silent by contract: the dialog's answer
             // holds for this session whatever the disk said.
             EXPECT_EQ(run.result, 1);
             for (const char* name : {kUsedByDefault, kParseSecurity}) {
                 const std::optional<DWORD> stored = StoredSwitch(name);
                 EXPECT_TRUE(stored == 0u || stored == 1u) << name << " lost";
             }
             EXPECT_EQ(RegistryDirectory(), cleanRegistryFiles) << "files left beside it";
         }},
    };
}

TEST_F(FaultSweepTest, EveryCallFailsInTurnAndNothingIsLost) {
    const auto started = std::chrono::steady_clock::now();
    unsigned tried = 0;
    for (const Operation& operation : Operations()) {
        SCOPED_TRACE(operation.name);
        std::unique_ptr<Attempt> clean = NewAttempt(operation);
        operation.prepare(*clean);
        mvx::ClearFaults();
        operation.perform(*clean);
        const Calls calls = mvx::CalledFunctions();
        mvx::ClearFaults();
        cleanRegistryFiles = RegistryDirectory();
        ASSERT_EQ(clean->result, 1) << "the clean run failed";
        ASSERT_EQ(clean->Told(), 0);
        ClosePanel(*clean);
        clean->binding.reset();
        for (const auto& [function, count] : calls) {
            if (function == kNotSwept)
                continue;
            for (unsigned nth = 1; nth <= count; ++nth) {
                for (DWORD error : kErrors) {
                    SCOPED_TRACE(function + " #" + std::to_string(nth) + " error " +
                                 std::to_string(error));
                    std::unique_ptr<Attempt> run = NewAttempt(operation);
                    operation.prepare(*run);
                    mvx::ClearFaults();
                    mvx::InjectFault(function.c_str(), nth, error);
                    operation.perform(*run);
                    mvx::ClearFaults();
                    ClosePanel(*run);
                    operation.check(*run, *clean);
                    Remove(*run);
                    ++tried;
                }
            }
        }
        Remove(*clean);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "fault sweep: " << tried << " operations x calls x errors tried in " << seconds
              << " s\n";
    EXPECT_GT(tried, 0u);
}

}  // namespace
