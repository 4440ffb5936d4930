#include "NtfsImageSupport.h"

#include <sys/mount.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/host/ProgramRunSupport.h"

namespace {

// The ntfsprogs read names in the locale's character set.
const char kUtf8Locale[] = "LC_ALL=C.UTF-8";

// The fields of /proc/PID/stat after the command: state, then the parent.
bool ProcessState(pid_t pid, char& state, pid_t& parent) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
        return false;
    std::istringstream fields(line.substr(line.rfind(')') + 1));
    return static_cast<bool>(fields >> state >> parent);
}

std::string CommandLineOf(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline");
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The ntfs-3g child of this process that serves `image`.
pid_t DriverOf(const std::string& image) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        pid_t pid = static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
        char state;
        pid_t parent;
        if (pid > 0 && ProcessState(pid, state, parent) && parent == getpid() &&
            CommandLineOf(pid).find(image) != std::string::npos)
            return pid;
    }
    return -1;
}

// One attribute of ntfsinfo's dump: its type, and the name and the size of
// its data; the dump prints each field on its own line, tab-indented.
struct DumpedAttribute {
    std::string type;
    std::string name;
    long long size = -1;
};

// The field `label` of a line of the dump into `value`, without the quotes
// ntfsinfo puts around a name.
bool DumpField(const std::string& line, const std::string& label, std::string& value) {
    const size_t at = line.find(label);
    if (at == std::string::npos)
        return false;
    const size_t start = line.find_first_not_of("\t ", at + label.size());
    value = start == std::string::npos ? "" : line.substr(start);
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
        value = value.substr(1, value.size() - 2);
    return true;
}

std::vector<DumpedAttribute> DumpedAttributes(const std::string& dump) {
    std::vector<DumpedAttribute> attributes;
    std::istringstream lines(dump);
    std::string line, value;
    while (std::getline(lines, line)) {
        if (DumpField(line, "Dumping attribute ", value))
            attributes.push_back({value.substr(0, value.find(' ')), "", -1});
        else if (!attributes.empty() && DumpField(line, "\tAttribute name:", value))
            attributes.back().name = value;
        else if (!attributes.empty() && DumpField(line, "\tData size:", value))
            attributes.back().size = std::atoll(value.c_str());
    }
    return attributes;
}

}  // namespace

bool UnmountForReading(const NtfsVolume& volume) {
    pid_t driver = DriverOf(volume.Image());
    if (driver < 0 || umount2(volume.Root().c_str(), 0) != 0)
        return false;
    // An ended driver stays a zombie until the volume object waits for it.
    for (int tries = 0; tries < 400; ++tries) {
        char state;
        pid_t parent;
        if (!ProcessState(driver, state, parent) || state == 'Z')
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

bool ReadImageStream(const std::string& image, const std::string& path,
                     const std::string& stream, std::string& data) {
    ProgramRun run = RunProgram("/usr/bin/ntfscat", {image, path, "-n", stream},
                                {{kUtf8Locale}, "", ""});
    data = run.out;
    return run.status == 0;
}

bool ReadImageStreamSizes(const std::string& image, const std::string& path,
                          std::map<std::string, long long>& sizes) {
    ProgramRun run = RunProgram("/usr/bin/ntfsinfo", {"-F", path, image},
                                {{kUtf8Locale}, "", ""});
    sizes.clear();
    for (const DumpedAttribute& attribute : DumpedAttributes(run.out)) {
        if (attribute.type == "$DATA" && !attribute.name.empty())
            sizes[attribute.name] = attribute.size;
    }
    return run.status == 0 && run.out.rfind("Dumping Inode", 0) == 0;
}
