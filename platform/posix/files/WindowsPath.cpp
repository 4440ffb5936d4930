#include "platform/posix/files/WindowsPath.h"

#include "platform/posix/files/DriveMap.h"

#include <string_view>
#include <vector>

namespace mvx {
namespace {

std::string WithBackslashes(std::string text) {
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

char UpperDriveLetter(char letter) {
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
}

// What follows the first `from` bytes of `name`, without a copy.
std::string_view TailOf(const std::string& name, std::size_t from) {
    return std::string_view(name).substr(from);
}

std::string DriveOf(char letter) { return std::string(1, UpperDriveLetter(letter)) + ":"; }

// Windows drops trailing dots and spaces from the last component only: a
// directory whose name ends in a space is still reachable through "name \".
std::string_view TrimDotsAndSpaces(std::string_view component) {
    const std::string_view::size_type end = component.find_last_not_of(". ");
    return component.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

// The components of `rest` after resolving "." and "..", which never climb
// above the root; `trailing` says whether the result ends in a separator.
// The components are views into `rest`: every file function resolves its
// names here, so no component is copied.
std::vector<std::string_view> ResolveComponents(std::string_view rest, TrailingDots dots,
                                                bool& trailing) {
    std::vector<std::string_view> parts;
    parts.reserve(16);
    bool lastWasName = false;
    std::string_view::size_type i = 0;
    while (i < rest.size()) {
        if (IsSeparator(rest[i])) {
            ++i;
            continue;
        }
        std::string_view::size_type end = i;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        const std::string_view component = rest.substr(i, end - i);
        lastWasName = component != "." && component != "..";
        if (component == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (lastWasName) {
            parts.push_back(component);
        }
        i = end;
    }
    trailing = !rest.empty() && IsSeparator(rest.back());
    if (!trailing && lastWasName && dots == TrailingDots::Dropped) {
        parts.back() = TrimDotsAndSpaces(parts.back());
        if (parts.back().empty()) {
            parts.pop_back();
            trailing = true;
        }
    }
    return parts;
}

// Drive and device roots always end in a separator; a share only when
// something follows it or the name ended in one.
std::string Assemble(const std::string& root, std::string_view rest, bool separatorAfterRoot,
                     TrailingDots dots = TrailingDots::Dropped) {
    bool trailing = false;
    const std::vector<std::string_view> parts = ResolveComponents(rest, dots, trailing);
    std::string full;
    // The parts are pieces of `rest` that kept a separator between them.
    full.reserve(root.size() + rest.size() + 2);
    full = root;
    if (separatorAfterRoot || !parts.empty() || trailing) full += '\\';
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) full += '\\';
        full.append(parts[i]);
    }
    if (trailing && !parts.empty()) full += '\\';
    return full;
}

// \\server\share is the root of a UNC name; ".." stops there.
std::string AssembleUnc(const std::string& name) {
    std::string::size_type end = 2;
    for (int component = 0; component < 2 && end != std::string::npos; ++component) {
        if (component > 0) ++end;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        if (end >= name.size()) end = std::string::npos;
    }
    if (end == std::string::npos) return WithBackslashes(name);
    return Assemble(WithBackslashes(name.substr(0, end)), TailOf(name, end), false);
}

// `name` continued from a full directory path; an empty rest names the
// directory itself, without a trailing separator.
bool Continue(const std::string& directory, const std::string& rest, std::string& full,
              TrailingDots dots) {
    if (rest.empty()) {
        full = directory;
        return true;
    }
    return MakeFullPath(directory + "\\" + rest, full, dots);
}

}  // namespace

PathKind ClassifyPath(const std::string& name) {
    if (!name.empty() && IsSeparator(name[0])) {
        if (name.size() < 2 || !IsSeparator(name[1])) return PathKind::Rooted;
        if (name.size() >= 3 && (name[2] == '.' || name[2] == '?')) {
            if (name.size() == 3) return PathKind::RootLocalDevice;
            if (IsSeparator(name[3])) return PathKind::LocalDevice;
        }
        return PathKind::Unc;
    }
    if (name.size() >= 2 && name[1] == ':')
        return name.size() >= 3 && IsSeparator(name[2]) ? PathKind::DriveAbsolute
                                                        : PathKind::DriveRelative;
    return PathKind::Relative;
}

bool MakeFullPath(const std::string& name, std::string& full, TrailingDots dots) {
    if (name.empty()) return false;
    switch (ClassifyPath(name)) {
    case PathKind::DriveAbsolute:
        full = Assemble(DriveOf(name[0]), TailOf(name, 3), true, dots);
        return true;
    case PathKind::DriveRelative:
        return Continue(DriveDirectory(UpperDriveLetter(name[0])), name.substr(2), full, dots);
    case PathKind::Relative:
        return Continue(CurrentDirectory(), name, full, dots);
    case PathKind::Rooted:
        full = Assemble(DriveOf(CurrentDirectory()[0]), TailOf(name, 1), true, dots);
        return true;
    case PathKind::Unc:
        full = AssembleUnc(name);
        return true;
    case PathKind::LocalDevice:
        full = Assemble(WithBackslashes(name.substr(0, 3)), TailOf(name, 4), true);
        return true;
    case PathKind::RootLocalDevice:
        full = WithBackslashes(name) + "\\";
        return true;
    }
    return false;
}

}  // namespace mvx
