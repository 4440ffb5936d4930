#include "host/ListingOutput.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <vector>

#include "host/JsonText.h"

namespace {

// A stream name may hold any character; control characters would garble
// the terminal, so they are shown as escapes.
std::string Printable(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\t') {
            result += "\\t";
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\r') {
            result += "\\r";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\x%02x", static_cast<unsigned char>(c));
            result += escape;
        } else {
            result += c;
        }
    }
    return result;
}

// Characters, not bytes, so that names line up in a UTF-8 terminal.
size_t Width(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

void WriteListingText(const StreamListing& listing, std::ostream& out) {
    out << Printable(listing.title) << '\n';
    std::vector<std::string> names;
    size_t nameWidth = 0;
    for (const ListedStream& stream : listing.streams) {
        names.push_back(Printable(stream.name));
        nameWidth = std::max(nameWidth, Width(names.back()));
    }
    for (size_t i = 0; i < listing.streams.size(); ++i) {
        const ListedStream& stream = listing.streams[i];
        char numbers[48];
        std::snprintf(numbers, sizeof(numbers), "%3u %14llu  ", stream.index,
                      static_cast<unsigned long long>(stream.size));
        out << numbers << names[i];
        if (stream.description)
            out << std::string(nameWidth - Width(names[i]) + 2, ' ') << *stream.description;
        out << '\n';
    }
}

void WriteListingJson(const StreamListing& listing, std::ostream& out) {
    out << "{\"title\": " << JsonString(listing.title) << ", \"path\": "
        << JsonString(listing.path) << ", \"items\": [";
    for (size_t i = 0; i < listing.streams.size(); ++i) {
        const ListedStream& stream = listing.streams[i];
        out << (i == 0 ? "" : ", ") << "{\"index\": " << stream.index
            << ", \"name\": " << JsonString(stream.name) << ", \"size\": " << stream.size
            << ", \"description\": "
            << (stream.description ? JsonString(*stream.description) : "null") << '}';
    }
    out << "]}\n";
}
