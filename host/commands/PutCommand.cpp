#include "host/commands/PutCommand.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "host/commands/FileIdentity.h"
#include "host/messages/ErrorBoxHold.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/messages/ItemFailure.h"
#include "host/messages/SystemMessage.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/ResolvedFolderForm.h"
#include "host/text/Utf8Text.h"
#include "hostapi/OperationMode.h"

namespace {

// The sources of one folder, which a panel hands over in one call.
struct FolderItems {
    std::string folder;  // full Windows name in the ANSI page, ending in a backslash
    std::vector<PanelItem> items;
    std::vector<std::string> shown;  // how messages name each item's source
};

// The full Windows name of `name`, without a trailing backslash unless it is
// a drive's root.
bool FullName(const std::string& name, std::string& full) {
    DWORD size = GetFullPathNameA(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return false;
    full.assign(size, '\0');
    DWORD length = GetFullPathNameA(name.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return false;
    full.resize(length);
    if (full.size() > 3 && full.back() == '\\')
        full.pop_back();
    return true;
}

void FillItem(PanelItem& item, const WIN32_FIND_DATAA& data) {
    item = PanelItem();
    std::memcpy(&item, &data, sizeof(data));
    item.hostSizeHigh = data.nFileSizeHigh;
    item.hostSizeLow = data.nFileSizeLow;
}

// A name with wildcards is a pattern to the system, which would find other
// entries by it; a Linux user may still have a file of that very name, which
// only the Linux view of `source` tells apart.
bool FindLinuxEntry(const std::string& source, const std::string& baseName, PanelItem& item) {
    struct stat status {};
    if (stat(source.c_str(), &status) != 0 || baseName.size() >= sizeof(item.fileName))
        return false;
    WIN32_FIND_DATAA data = {};
    data.dwFileAttributes = S_ISDIR(status.st_mode)       ? FILE_ATTRIBUTE_DIRECTORY
                            : (status.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL
                                                         : FILE_ATTRIBUTE_READONLY;
    data.nFileSizeHigh = static_cast<DWORD>(static_cast<unsigned long long>(status.st_size) >> 32);
    data.nFileSizeLow = static_cast<DWORD>(status.st_size);
    std::memcpy(data.cFileName, baseName.c_str(), baseName.size() + 1);
    FillItem(item, data);
    return true;
}

// The panel item of the entry `full` names, as the panel of its folder shows it.
bool FindItem(const std::string& source, const std::string& full, const std::string& baseName,
              PanelItem& item) {
    if (baseName.find_first_of("*?") != std::string::npos) {
        if (FindLinuxEntry(source, baseName, item))
            return true;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(full.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    FillItem(item, data);
    return true;
}

// A file the system cannot read would fail halfway through the writing, so
// it is refused before anything is written. Folders are the plug-in's to refuse,
// and a name with wildcards is no name the system opens.
bool IsReadable(const std::string& full, const PanelItem& item) {
    if ((item.fileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        full.find_first_of("*?") != std::string::npos)
        return true;
    HANDLE file = CreateFileA(full.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The system's words for the last error.
std::string LastErrorText() {
    const DWORD error = GetLastError();
    const std::string text = SystemMessageText(error);
    return text.empty() ? "system error " + std::to_string(error) : text;
}

// A Linux path that names an entry reaches that entry as Linux finds it
// (".." after a link to a folder leads out of the folder linked to), so it
// is handed over with its folder resolved, in a form the system reads the
// same way. One that holds a backslash the system would read as another
// name: it cannot be handed over, and `why` says so. Any other name goes as
// it is, for the system to judge.
bool HandedForm(const std::string& source, std::string& form, std::string& why) {
    form = source;
    struct stat status {};
    if (lstat(source.c_str(), &status) != 0)
        return true;
    form = ResolvedFolderForm(source);
    if (form.find('\\') == std::string::npos)
        return true;
    why = "its path holds a backslash, which the plug-in reads as a folder separator";
    return false;
}

// Where `source` is and what its folder's panel shows of it; when it cannot
// be written in, `why` says why.
bool LocateSource(const std::string& source, std::string& folder, PanelItem& item,
                  std::string& why) {
    std::string name, full;
    if (!FromUtf8(source, CP_ACP, name)) {
        why = SystemMessageText(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    if (!FullName(name, full)) {
        why = LastErrorText();
        return false;
    }
    if (full.back() == '\\') {
        why = "a drive's root is no file";
        return false;
    }
    size_t slash = full.rfind('\\');
    folder = full.substr(0, slash + 1);
    if (!FindItem(source, full, full.substr(slash + 1), item) || !IsReadable(full, item)) {
        why = LastErrorText();
        return false;
    }
    return true;
}

// The sources grouped by folder, in the order the folders first appear.
bool GroupSources(const std::vector<SourceFile>& sources, std::vector<FolderItems>& groups,
                  std::ostream& err) {
    for (const SourceFile& source : sources) {
        std::string folder, why;
        PanelItem item;
        if (!LocateSource(source.path, folder, item, why)) {
            WriteErrorLine(err, source.shown + ": " + why);
            return false;
        }
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const FolderItems& g) { return g.folder == folder; });
        if (group == groups.end())
            group = groups.insert(groups.end(), FolderItems{folder, {}, {}});
        group->items.push_back(item);
        group->shown.push_back(source.shown);
    }
    return true;
}

// The stream a source's name is written to: the plug-in reads [N], N being
// 1 to 9 digits worth 1 to 255, as the byte N. A name it cannot read so is
// refused, whatever it is, and is set apart from every name that reads.
std::string StreamNameOf(const std::string& name) {
    const std::string unreadable = std::string(1, '\0') + name;
    std::string stream;
    size_t at = 0;
    size_t open = name.find('[');
    while (open != std::string::npos) {
        stream.append(name, at, open - at);
        const size_t close = name.find(']', open);
        if (close == std::string::npos)
            return unreadable;
        const std::string digits = name.substr(open + 1, close - open - 1);
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return unreadable;
        const unsigned long value = std::stoul(digits);
        if (value < 1 || value > 255)
            return unreadable;
        stream.push_back(static_cast<char>(value));
        at = close + 1;
        open = name.find('[', at);
    }
    return stream.append(name, at, std::string::npos);
}

// Two sources that name one stream, [N] spelled or not, would be written
// to it, the later over the earlier, and a move would then delete both.
bool NamesAreDistinct(const std::vector<FolderItems>& groups, std::ostream& err) {
    std::vector<std::pair<std::string, std::string>> names;  // the stream, the source's name
    for (const FolderItems& group : groups)
        for (const PanelItem& item : group.items)
            names.emplace_back(StreamNameOf(item.fileName), item.fileName);
    std::sort(names.begin(), names.end());
    const auto sameStream = [](const auto& a, const auto& b) { return a.first == b.first; };
    const auto twice = std::adjacent_find(names.begin(), names.end(), sameStream);
    if (twice == names.end())
        return true;
    const std::string first = ToUtf8(twice->second.c_str(), CP_ACP);
    const std::string second = ToUtf8(std::next(twice)->second.c_str(), CP_ACP);
    if (first == second)
        WriteErrorLine(err, "two sources are named '" + first +
                                "'; each would be written to the same stream");
    else
        WriteErrorLine(err, "two sources, '" + first + "' and '" + second + "', name the stream '" +
                                ToUtf8(twice->first.c_str(), CP_ACP) +
                                "'; each would be written to it");
    return false;
}

}  // namespace

bool NoSourceIsTheFile(const std::vector<SourceFile>& sources, const std::string& file,
                       std::ostream& err) {
    for (const SourceFile& source : sources) {
        std::string form, why;
        HandedForm(source.path, form, why);
        const Sameness sameness = CompareFiles(form, file);
        if (sameness == Sameness::kSame) {
            WriteErrorLine(err, source.shown + ": is the file written to; a move would delete it");
            return false;
        }
        if (sameness == Sameness::kUntold) {
            WriteErrorLine(err, source.shown + ": cannot be told apart from the file written to; "
                                               "a move could delete it");
            return false;
        }
    }
    return true;
}

namespace {

// Each of `sources` in the form it is handed over in, named as the user
// named it; false when one cannot be, with the reason told.
bool HandedForms(const std::vector<SourceFile>& sources, std::vector<SourceFile>& handed,
                 std::ostream& err) {
    for (const SourceFile& source : sources) {
        std::string form, why;
        if (!HandedForm(source.path, form, why)) {
            WriteErrorLine(err, source.shown + ": " + why);
            return false;
        }
        handed.push_back({form, source.shown});
    }
    return true;
}

// Deletes a source of a move, a read-only one too, as the plug-in does; one
// that stays keeps its attributes, so a failed move leaves no file writable
// that was not. False with the system's error.
bool DeleteSource(const std::string& name, DWORD attributes) {
    if (!SetFileAttributesA(name.c_str(), 0))
        return false;
    if (DeleteFileA(name.c_str()))
        return true;
    const DWORD error = GetLastError();
    SetFileAttributesA(name.c_str(), attributes);
    SetLastError(error);
    return false;
}

// Deletes every source of a move it can, as rm goes on past a file it
// cannot remove; each that stays is told as the user named it.
bool DeleteSources(const std::vector<FolderItems>& groups, std::ostream& err) {
    bool all = true;
    for (const FolderItems& group : groups)
        for (size_t i = 0; i < group.items.size(); ++i) {
            const PanelItem& item = group.items[i];
            if (DeleteSource(group.folder + item.fileName, item.fileAttributes))
                continue;
            WriteErrorLine(err, group.shown[i] + ": written, but cannot be deleted: " +
                                    LastErrorText());
            all = false;
        }
    return all;
}

// A file whose name begins with a brace would be read as the data, the
// descriptor or another kind that is no alternate data stream: get writes
// those so, and a glob of what it wrote brings them back to put.
bool NamesAnotherKind(const std::string& source) {
    const size_t slash = source.find_last_of("/\\");
    return source.compare(slash == std::string::npos ? 0 : slash + 1, 1, "{") == 0;
}

// A file's name is read as an item name, where [N] stands for character N:
// a name the plug-in cannot read so is no reason to keep the file out.
void SuggestAnotherName(const std::string& source, const std::vector<ErrorBox>& boxes,
                        std::ostream& err) {
    for (const ErrorBox& box : boxes)
        if (box.Text().find("[Number] in name") != std::string::npos) {
            WriteErrorLine(err, source + ": put FILE SOURCE --as ITEM writes it under an item "
                                         "name of your choice");
            return;
        }
}

// Each source of `group` in a call of its own; the number that failed, each
// told.
int WriteOneByOne(const PluginEntryPoints& entries, HANDLE panel, const std::string& file,
                  FolderItems& group, unsigned opMode, std::ostream& err) {
    int failures = 0;
    for (size_t i = 0; i < group.items.size(); ++i) {
        ErrorBoxHold hold;
        SetLastError(NO_ERROR);
        if (entries.PutFiles(panel, &group.items[i], 1, 0, opMode) == 1)
            continue;
        ++failures;
        WriteItemFailure(err,
                         group.shown[i] + " -> " + file + ":" +
                             ToUtf8(group.items[i].fileName, CP_ACP),
                         hold.Boxes(), "not written");
        SuggestAnotherName(group.shown[i], hold.Boxes(), err);
    }
    return failures;
}

// The sources of one folder go in one call: the panel reads the file's
// streams again after each call, and a call per source made writing N
// sources cost N such readings. The plug-in stops at the first source that
// fails without saying which, so then each is written again on its own
// (those before it once more, from the same source), and each failure is
// told with its source.
int WriteGroup(const PluginEntryPoints& entries, HANDLE panel, const std::string& file,
               FolderItems& group, unsigned opMode, std::ostream& err) {
    if (group.items.size() > 1) {
        ErrorBoxHold untold;
        SetLastError(NO_ERROR);
        if (entries.PutFiles(panel, group.items.data(), static_cast<int>(group.items.size()), 0,
                             opMode) == 1)
            return 0;
    }
    return WriteOneByOne(entries, panel, file, group, opMode, err);
}

// Each folder's sources from that folder as the current directory; the
// number that failed.
int WriteEach(const PluginEntryPoints& entries, HANDLE panel, const std::string& file,
              std::vector<FolderItems>& groups, unsigned opMode, std::ostream& err) {
    int failures = 0;
    for (FolderItems& group : groups) {
        if (!SetCurrentDirectoryA(group.folder.c_str())) {
            WriteErrorLine(err, "cannot enter " + ToUtf8(group.folder.c_str(), CP_ACP));
            return failures + static_cast<int>(group.items.size());
        }
        failures += WriteGroup(entries, panel, file, group, opMode, err);
    }
    return failures;
}

}  // namespace

int WriteSources(const PluginEntryPoints& entries, HANDLE panel, const std::string& file,
                 const std::vector<SourceFile>& sources, bool move, bool yes,
                 std::ostream& err) {
    // Every source is found before the first one is written.
    std::vector<SourceFile> handed;
    if (!HandedForms(sources, handed, err))
        return kExitFailed;
    std::vector<FolderItems> groups;
    if (!GroupSources(handed, groups, err) || !NamesAreDistinct(groups, err))
        return kExitFailed;
    if (move && !NoSourceIsTheFile(sources, file, err))
        return kExitFailed;
    // The sources of a move go only once every one of them is written.
    if (WriteEach(entries, panel, file, groups, yes ? OpModeQuiet : 0, err) != 0)
        return kExitFailed;
    if (move && !DeleteSources(groups, err))
        return kExitFailed;
    return kExitDone;
}

int RunPut(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& err) {
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid(err))
        return kExitFailed;
    std::vector<SourceFile> sources;
    for (const std::string& source : line.sources) {
        if (NamesAnotherKind(source))
            WriteErrorLine(err, source + ": passed over: put writes alternate data streams, "
                                         "not the data or the descriptor of a file");
        else
            sources.push_back({source, source});
    }
    if (sources.empty())
        return kExitFailed;
    return WriteSources(entries, panel.Handle(), line.file, sources, line.move, line.yes, err);
}
