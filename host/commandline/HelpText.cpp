#include "host/commandline/HelpText.h"

namespace {

struct Help {
    Command command;
    const char* synopsis;
    const char* text;  // after the synopsis line
};

const Help kHelps[] = {
    {Command::Help, "morvex list|get|put|rm|scan|config ... | --help | --version",
     "  morvex list [--json] [-h|--human-readable] FILE\n"
     "  morvex get FILE [ITEM ...] --to DIR [--move] [--yes]\n"
     "  morvex get FILE ITEM --output PATH [--move]\n"
     "  morvex put FILE SOURCE ... [--move] [--yes]\n"
     "  morvex put FILE SOURCE --as ITEM [--move] [--yes]\n"
     "  morvex rm FILE ITEM ... [--yes]\n"
     "  morvex scan [--json] DIR ...\n"
     "  morvex config [--used-by-default on|off] [--parse-security on|off]\n"
     "  morvex --help | morvex COMMAND --help | morvex --version\n"
     "\n"
     "Shows the streams of a file (main data, extended attributes, security\n"
     "descriptor, alternate data streams) as the MORVEX plug-in's panel does,\n"
     "copies them out, writes files in as alternate data streams, deletes them.\n"
     "\n"
     "  list    the streams of FILE: index, size, item name and description\n"
     "  get     copies streams of FILE to files in DIR\n"
     "  put     writes each SOURCE into FILE as an alternate data stream\n"
     "  rm      deletes alternate data streams of FILE\n"
     "  scan    every file and directory below DIR with an alternate data stream\n"
     "  config  shows or sets the plug-in's two settings\n"
     "\n"
     "FILE, DIR and SOURCE are Linux paths or Windows names such as\n"
     "D:\\dir\\report.txt (drive Z: is /). An ITEM is an item name as list shows\n"
     "it, or #N, the item with index N. \"--\" ends the options; \"-\" is standard\n"
     "output to get --output and standard input to put --as. Questions are asked\n"
     "on the terminal; without one they are answered no, and --yes answers them\n"
     "yes. morvex COMMAND --help tells more.\n"
     "Exit status: 0 done, 1 failed or answered no, 2 usage error.\n"},
    {Command::List, "morvex list [--json] [-h|--human-readable] FILE",
     "\n"
     "Shows the streams of FILE as the plug-in's panel lists them: the title,\n"
     "then one line per stream with its index, size in bytes, item name and\n"
     "description. Control characters, and characters the terminal's charset\n"
     "cannot show, appear as escapes (\\t, \\x01, \\u00e9).\n"
     "\n"
     "  --json                one JSON object in UTF-8: {\"title\", \"path\",\n"
     "                        \"items\": [{\"index\", \"name\", \"size\", \"description\"}]}\n"
     "  -h, --human-readable  sizes as 1023, 1.0K, 1.5M, 2.0G (powers of 1024)\n"
     "  --help                shows this text\n"
     "\n"
     "Example:\n"
     "  morvex list -h report.txt\n"},
    {Command::Get, "morvex get FILE [ITEM ...] --to DIR | ITEM --output PATH [--move] [--yes]",
     "\n"
     "Copies streams of FILE to files in DIR, each named by its item name:\n"
     "{Data} for the main data, {Security_Data} for the security descriptor,\n"
     "the stream's own name for an alternate data stream. ITEM is such a name\n"
     "(every item of that name) or #N, the item with index N; without ITEM,\n"
     "every item. DIR and its missing parents are created. On a terminal the\n"
     "destination is asked for with DIR filled in: Enter keeps it, or type\n"
     "another one ending in \\.\n"
     "\n"
     "  --to DIR       where the copies go\n"
     "  --output PATH  the one ITEM to exactly PATH instead (- for standard\n"
     "                 output); a file there is replaced once the copy is whole\n"
     "  --move         deletes the copied streams from FILE (alternate data\n"
     "                 streams only)\n"
     "  --yes          asks nothing: DIR as given, and no progress notice\n"
     "  --help         shows this text\n"
     "\n"
     "Examples:\n"
     "  morvex get report.txt Zone.Identifier --to out --yes\n"
     "  morvex get report.txt Zone.Identifier --output - | cat\n"},
    {Command::Put, "morvex put FILE SOURCE ... | SOURCE --as ITEM [--move] [--yes]",
     "\n"
     "Writes each SOURCE file into FILE as the alternate data stream named after\n"
     "it; a name as get writes it is read back (a[9]b is the stream a<TAB>b).\n"
     "Sources from several folders are written folder by folder; a SOURCE that\n"
     "does not exist stops the command before anything is written.\n"
     "\n"
     "  --as ITEM  writes the one SOURCE in under the item name ITEM instead\n"
     "  --move     deletes the sources once every one of them is written\n"
     "  --yes      asks nothing and shows no progress notice\n"
     "  --help     shows this text\n"
     "\n"
     "Examples:\n"
     "  morvex put report.txt notes.txt\n"
     "  morvex put report.txt draft.txt --as 'review[9]2'\n"},
    {Command::Rm, "morvex rm FILE ITEM ... [--yes]",
     "\n"
     "Deletes alternate data streams of FILE. ITEM is an item name as list shows\n"
     "it (every item of that name) or #N, the item with index N. The question\n"
     "is asked on the terminal; without one it is answered no.\n"
     "\n"
     "  --yes   deletes without asking\n"
     "  --help  shows this text\n"
     "\n"
     "Example:\n"
     "  morvex rm report.txt Zone.Identifier --yes\n"},
    {Command::Scan, "morvex scan [--json] DIR ...",
     "\n"
     "Walks the trees below each DIR (symbolic links are not followed) and\n"
     "reports every file and directory that has an alternate data stream: one\n"
     "line per stream, SIZE<TAB>PATH:ITEM. An unreadable file or folder is\n"
     "reported on standard error, and the walk goes on.\n"
     "\n"
     "  --json  one JSON object per line per file:\n"
     "          {\"path\": ..., \"streams\": [{\"name\": ..., \"size\": ...}, ...]}\n"
     "  --help  shows this text\n"
     "\n"
     "Example:\n"
     "  morvex scan --json ~/Downloads\n"},
    {Command::Config, "morvex config [--used-by-default on|off] [--parse-security on|off]",
     "\n"
     "Shows the plug-in's two settings, or sets those given, each under the name\n"
     "of its option (used-by-default: on). Without a switch, on a terminal, the\n"
     "settings dialog asks for each check box in turn. The settings live in\n"
     "$MORVEX_REGISTRY (by default ~/.config/morvex/registry.reg); after a change\n"
     "they are read back from there, and config fails when they did not arrive.\n"
     "A line of that file that cannot be read is named on standard error and\n"
     "kept as it is; a file that cannot be read at all makes config fail.\n"
     "\n"
     "  --used-by-default on|off  a file manager opens every file as streams by\n"
     "                            default (the dialog's \"Open every file as\n"
     "                            streams by default\"; registry value\n"
     "                            UsedByDefault)\n"
     "  --parse-security on|off   get writes a security descriptor as a text\n"
     "                            report, off: the raw descriptor (the dialog's\n"
     "                            \"Show security descriptors as text reports\";\n"
     "                            registry value ParseSecurity)\n"
     "  --help                    shows this text\n"
     "\n"
     "Example:\n"
     "  morvex config --parse-security off\n"},
};

const Help& HelpOf(Command command) {
    for (const Help& help : kHelps) {
        if (help.command == command)
            return help;
    }
    return kHelps[0];
}

}  // namespace

std::string HelpText(Command command) {
    const Help& help = HelpOf(command);
    return std::string("usage: ") + help.synopsis + "\n" + help.text;
}

const char* Synopsis(Command command) {
    return HelpOf(command).synopsis;
}

const char* VersionText() {
    return "morvex " MORVEX_VERSION "\n";
}
