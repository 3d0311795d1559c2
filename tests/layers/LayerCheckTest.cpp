// Every `#include "folder/..."` of a file under src/ must name its own folder or one the
// layer map lets its folder use.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The folders each folder may include, from the layer map (lowest first: base; archive,
// variables, comm, tabulon; model; memmap, sim; transfer, livedata, report; app; controls;
// wizard; shell, cli). Lower layers are written out in full; nothing includes sim, and comm,
// sim and tabulon keep to the few folders drawn for them.
const std::map<std::string, std::set<std::string>>& mayIncludeTable() {
    static const std::set<std::string> engine = {"transfer", "livedata",  "report",  "memmap",
                                                 "model",    "variables", "archive", "comm",
                                                 "tabulon",  "base"};
    static const std::map<std::string, std::set<std::string>> table = [] {
        std::map<std::string, std::set<std::string>> t = {
            {"base", {}},
            {"archive", {"base"}},
            {"variables", {"archive", "base"}},
            {"comm", {"base"}},
            {"tabulon", {"base"}},
            {"model", {"variables", "archive", "base"}},
            {"memmap", {"model", "variables", "archive", "base"}},
            // The simulator knows which measurements each wiring system has from the variable
            // catalogue, which needs nothing but base: still no archive, no SQLite.
            {"sim", {"comm", "variables", "base"}},
            {"transfer", {"memmap", "model", "variables", "archive", "comm", "base"}},
            {"livedata", {"memmap", "model", "variables", "archive", "comm", "base"}},
            {"report", {"tabulon", "memmap", "model", "variables", "archive", "comm", "base"}},
        };
        t["app"] = engine;
        t["controls"] = engine;
        t["controls"].insert("app");
        t["wizard"] = t["controls"];
        t["wizard"].insert("controls");
        t["shell"] = t["wizard"];
        t["shell"].insert("wizard");
        t["cli"] = engine;
        t["cli"].insert("app");
        return t;
    }();
    return table;
}

// True when a file of folder `from` may include a header of folder `to`; a folder missing
// from the table may include nothing but itself.
bool mayInclude(const std::string& from, const std::string& to) {
    if (from == to)
        return true;
    const auto& table = mayIncludeTable();
    const auto it = table.find(from);
    return it != table.end() && it->second.count(to) > 0;
}

// The folder of `#include "folder/..."` on `line`, or empty for any other line.
std::string includedFolder(const std::string& line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#')
        return {};
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0)
        return {};
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || line[i] != '"')
        return {};
    const std::size_t slash = line.find('/', i + 1);
    const std::size_t close = line.find('"', i + 1);
    if (slash == std::string::npos || close == std::string::npos || slash > close)
        return {};
    return line.substr(i + 1, slash - i - 1);
}

struct Violation {
    std::string file;  // relative to src/
    int line;
    std::string text;
};

// Every include of a src/ folder that its file's folder may not use.
std::vector<Violation> findViolations(const fs::path& sourceDir) {
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(sourceDir)) {
        if (entry.is_directory())
            folders.insert(entry.path().filename().string());
    }
    std::vector<Violation> out;
    for (const auto& entry : fs::recursive_directory_iterator(sourceDir)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        const fs::path relative = fs::relative(entry.path(), sourceDir);
        const std::string from = relative.begin()->string();
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            const std::string folder = includedFolder(text);
            if (!folder.empty() && folders.count(folder) && !mayInclude(from, folder))
                out.push_back({relative.generic_string(), line, text});
        }
    }
    return out;
}

TEST(LayerRule, ReadsTheFolderOfAnInclude) {
    const struct {
        const char* line;
        const char* folder;
    } cases[] = {
        {"#include \"comm/Frames.h\"", "comm"},
        {"  #  include \"base/a/b.h\"  // why", "base"},
        {"#include <QString>", ""},
        {"#include \"Local.h\"", ""},
        {"// #include \"model/CUsoInstr.h\"", ""},
        {"#includes \"x/y.h\"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(includedFolder(c.line), c.folder) << c.line;
}

TEST(LayerRule, AllowsOnlyWhatTheMapDraws) {
    const struct {
        const char* from;
        const char* to;
        bool allowed;
    } cases[] = {
        {"model", "model", true},      {"model", "archive", true},
        {"model", "base", true},       {"variables", "archive", true},
        {"report", "tabulon", true},   {"memmap", "model", true},
        {"transfer", "memmap", true},  {"transfer", "comm", true},
        {"livedata", "comm", true},    {"sim", "comm", true},
        {"sim", "base", true},         {"cli", "app", true},
        {"cli", "transfer", true},     {"shell", "wizard", true},
        {"wizard", "controls", true},  {"shell", "base", true},
        {"base", "archive", false},    {"archive", "variables", false},
        {"archive", "model", false},   {"comm", "archive", false},
        {"comm", "memmap", false},     {"comm", "model", false},
        {"comm", "variables", false},  {"sim", "archive", false},
        {"sim", "model", false},       {"sim", "variables", true},
        {"tabulon", "report", false},  {"model", "memmap", false},
        {"model", "comm", false},      {"transfer", "livedata", false},
        {"livedata", "report", false}, {"report", "transfer", false},
        {"app", "controls", false},    {"app", "sim", false},
        {"cli", "wizard", false},      {"cli", "shell", false},
        {"cli", "controls", false},    {"shell", "cli", false},
        {"controls", "wizard", false}, {"wizard", "shell", false},
        {"unknown", "base", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mayInclude(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
}

TEST(LayerCheck, NoFileOfSrcIncludesFromAboveItsLayer) {
    const fs::path sourceDir(VOLTARIS_SOURCE_DIR);
    ASSERT_TRUE(fs::is_directory(sourceDir / "base")) << sourceDir;
    std::string report;
    const std::vector<Violation> violations = findViolations(sourceDir);
    for (const Violation& v : violations)
        report += "\n  src/" + v.file + ":" + std::to_string(v.line) + ": " + v.text;
    EXPECT_TRUE(violations.empty())
        << violations.size() << " includes cross the layer map:" << report;
}

}  // namespace
