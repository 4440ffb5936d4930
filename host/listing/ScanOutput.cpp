#include "host/listing/ScanOutput.h"

#include <ostream>

#include "host/text/JsonText.h"
#include "host/text/TerminalText.h"

void WriteScanText(const std::string& path, const std::vector<ListedStream>& streams,
                   std::ostream& out) {
    const std::string shownPath = ForTerminal(path);
    for (const ListedStream& stream : streams)
        out << stream.size << '\t' << shownPath << ':' << ForTerminal(stream.name) << '\n';
}

void WriteScanJson(const std::string& path, const std::vector<ListedStream>& streams,
                   std::ostream& out) {
    out << "{\"path\": " << JsonString(path) << ", \"streams\": [";
    for (size_t i = 0; i < streams.size(); ++i)
        out << (i == 0 ? "" : ", ") << "{\"name\": " << JsonString(streams[i].name)
            << ", \"size\": " << streams[i].size << '}';
    out << "]}\n";
}
