// The texts of a plug-in's messages, by number, as the host shows them.
// The file format is described at the top of lang/en.msg.
#pragma once

#include <string>
#include <vector>

class MessageFile {
public:
    // Throws std::runtime_error naming the file and line of the first fault.
    static MessageFile Load(const std::string& path);
    // lang/en.msg as the build placed it (see BuildLocation.h).
    static MessageFile LoadDefault();

    // Text of message `number`, or null when the file has none.
    const char* Text(int number) const;
    int Count() const { return static_cast<int>(texts.size()); }

private:
    std::vector<std::string> texts;
};
