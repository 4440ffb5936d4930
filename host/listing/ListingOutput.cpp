#include "host/listing/ListingOutput.h"

#include <algorithm>
#include <list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "host/text/JsonText.h"
#include "host/text/SizeText.h"

namespace {

// One cell of the text listing: escaped for the terminal, with the columns
// it takes there.
struct Cell {
    std::string text;
    size_t width;
};

Cell MakeCell(const TerminalCharset& charset, const std::string& utf8) {
    std::string escaped = charset.Escape(utf8);
    const size_t width = TerminalWidth(escaped);
    return {std::move(escaped), width};
}

// Numbers are digits (and a unit), which every terminal shows as they are,
// a column each.
Cell NumberCell(std::string digits) {
    const size_t width = digits.size();
    return {std::move(digits), width};
}

// Appends `cell` after the spaces that fill it out to `width` columns.
void AppendRightAligned(std::string& line, size_t width, const Cell& cell) {
    line.append(width - cell.width, ' ');
    line += cell.text;
}

struct Row {
    Cell index, size, name;
    const Cell* description;  // shared by the rows of one kind; null for none
};

}  // namespace

void WriteListingText(const StreamListing& listing, bool humanSizes,
                      const TerminalCharset& charset, std::ostream& out) {
    out << charset.Show(listing.title) << '\n';
    std::vector<Row> rows;
    rows.reserve(listing.streams.size());
    size_t indexWidth = 0, sizeWidth = 0, nameWidth = 0;
    // Streams of one kind share their description: it is escaped once.
    std::list<Cell> descriptions;
    const std::string* lastDescription = nullptr;
    for (const ListedStream& stream : listing.streams) {
        Row row{NumberCell(std::to_string(stream.index)),
                NumberCell(humanSizes ? HumanSize(stream.size) : std::to_string(stream.size)),
                MakeCell(charset, stream.name), nullptr};
        if (stream.description) {
            if (lastDescription == nullptr || *lastDescription != *stream.description)
                descriptions.push_back(MakeCell(charset, *stream.description));
            lastDescription = &*stream.description;
            row.description = &descriptions.back();
        }
        indexWidth = std::max(indexWidth, row.index.width);
        sizeWidth = std::max(sizeWidth, row.size.width);
        nameWidth = std::max(nameWidth, row.name.width);
        rows.push_back(std::move(row));
    }
    std::string line, text;
    for (const Row& row : rows) {
        line.clear();
        AppendRightAligned(line, indexWidth, row.index);
        line += "  ";
        AppendRightAligned(line, sizeWidth, row.size);
        line += "  ";
        line += row.name.text;
        if (row.description) {
            line.append(nameWidth - row.name.width, ' ');
            line += "  ";
            line += row.description->text;
        }
        text += charset.Encode(line);
        text += '\n';
    }
    out << text;
}

void WriteListingJson(const StreamListing& listing, const std::string& path, std::ostream& out) {
    out << "{\"title\": " << JsonString(listing.title) << ", \"path\": " << JsonString(path)
        << ", \"windows_path\": " << JsonString(listing.path) << ", \"items\": [";
    for (size_t i = 0; i < listing.streams.size(); ++i) {
        const ListedStream& stream = listing.streams[i];
        out << (i == 0 ? "" : ", ") << "{\"index\": " << stream.index
            << ", \"name\": " << JsonString(stream.name) << ", \"size\": " << stream.size
            << ", \"description\": "
            << (stream.description ? JsonString(*stream.description) : "null") << '}';
    }
    out << "]}\n";
}
