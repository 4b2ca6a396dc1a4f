// The layer rules of the source tree: which folder may include which (the
// table in layer_table.txt), the includes of a source file, and the check of
// every file of the tree against the table. Plain C++ with no library of the
// program, so that the check runs before anything else is built.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace layers {

class LayerTable {
public:
    // Reads the table's text. Throws std::invalid_argument naming the line
    // when a line cannot be read, a folder has two lines, or an arrow points
    // at a folder that has no line.
    static LayerTable Parse(std::string_view text);

    // The folder of the table that a file of the tree lies in, by its path
    // from the tree's root: "ui/main" for "ui/main/main_wnd.cpp",
    // "ui/main/tests" for "ui/main/tests/links_window_test.cpp". Empty when
    // the path lies in no folder of the table.
    std::string FolderOf(const std::string& path) const;

    // Whether a file of folder `from` may include a header of folder `to`
    // (both as FolderOf gives them).
    bool MayInclude(const std::string& from, const std::string& to) const;
    // Whether the files of the folder may include Qt headers.
    bool MayIncludeQt(const std::string& folder) const;
    // Every folder that `folder` may include besides itself.
    std::set<std::string> Reach(const std::string& folder) const;

private:
    struct Line {
        bool noQt = false;
        std::vector<std::string> arrows;
    };
    const Line* LineOf(const std::string& folder) const;
    void Follow(const std::string& folder, std::set<std::string>& reached) const;

    std::map<std::string, Line> mLines;
};

// One #include directive of a source file.
struct Include {
    int line = 0;         // counted from 1
    std::string name;     // what stands between the quotes or the angle brackets
    bool angled = false;  // <name> rather than "name"

    bool operator==(const Include&) const = default;
};

// The #include directives of a source text, in order; directives inside
// comments do not count.
std::vector<Include> IncludesOf(std::string_view source);

// An include that breaks the table, or a file in no folder of the table.
struct Violation {
    std::string file;     // from the tree's root
    int line = 0;         // 0 for a file in no folder of the table
    std::string include;  // the directive as written, empty with line 0
    std::string rule;     // what the table says

    bool operator==(const Violation&) const = default;
};

// "file:line: #include ...: rule", or "file: rule" for a file in no folder.
std::string Describe(const Violation& violation);

// The includes of one file that break the table. `path` is the file's path
// from `root`; an include in quotes is looked up beside the file first, then
// from the root.
std::vector<Violation> CheckFile(const LayerTable& table, const std::filesystem::path& root,
                                 const std::string& path, std::string_view source);

struct TreeCheck {
    int files = 0;
    std::vector<Violation> violations;
};

// Every .cpp and .h file under `root`, in path order. Hidden folders, the
// top-level "build" folder, every build tree (a folder with CMakeCache.txt)
// and the folders of `skip` are left out.
TreeCheck CheckTree(const LayerTable& table, const std::filesystem::path& root,
                    const std::vector<std::filesystem::path>& skip);

}  // namespace layers
