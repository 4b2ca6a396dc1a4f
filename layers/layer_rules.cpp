#include "layers/layer_rules.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace layers {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTestsLine = "tests";
constexpr std::string_view kTestsSuffix = "/tests";
constexpr std::string_view kNoQt = "(no Qt)";

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// "tests" and "<folder>/tests": the lines that add to what tests may include.
bool IsTestsLine(std::string_view folder) {
    return folder == kTestsLine || EndsWith(folder, kTestsSuffix);
}

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '/')) {
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    return parts;
}

std::invalid_argument TableError(int line, const std::string& what) {
    return std::invalid_argument("layer table line " + std::to_string(line) + ": " + what);
}

bool IsQtHeader(const std::string& name) {
    return name.size() >= 2 && name[0] == 'Q' && std::isalpha(static_cast<unsigned char>(name[1]));
}

std::string Directive(const Include& include) {
    return include.angled ? "#include <" + include.name + ">" : "#include \"" + include.name + "\"";
}

std::string ReachText(const std::string& folder, const std::set<std::string>& reach) {
    if (reach.empty()) {
        return folder + " may include only its own headers";
    }
    std::string text = folder + " may include only";
    const char* separator = " ";
    for (const std::string& target : reach) {
        text += separator + target;
        separator = ", ";
    }
    return text;
}

// Whether a block comment is open at the end of the line, given whether one
// was open at its start. String and character literals are passed over, so
// "/*" inside one starts nothing.
bool EndsInBlockComment(std::string_view line, bool inComment) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (inComment) {
            if (line.substr(i, 2) == "*/") {
                inComment = false;
                ++i;
            }
            continue;
        }
        const char c = line[i];
        if (line.substr(i, 2) == "//") {
            return false;
        }
        if (line.substr(i, 2) == "/*") {
            inComment = true;
            ++i;
            continue;
        }
        const bool quote = c == '"';
        const bool apostrophe =
            c == '\'' && (i == 0 || !std::isalnum(static_cast<unsigned char>(line[i - 1])));
        if (quote || apostrophe) {
            for (++i; i < line.size() && line[i] != c; ++i) {
                if (line[i] == '\\') {
                    ++i;
                }
            }
        }
    }
    return inComment;
}

// The directive of a line that starts with "#include", if it is one.
bool ReadDirective(std::string_view line, Include& include) {
    line = Trimmed(line);
    if (line.empty() || line.front() != '#') {
        return false;
    }
    line = Trimmed(line.substr(1));
    constexpr std::string_view kInclude = "include";
    if (line.substr(0, kInclude.size()) != kInclude) {
        return false;
    }
    line = Trimmed(line.substr(kInclude.size()));
    if (line.empty() || (line.front() != '"' && line.front() != '<')) {
        return false;
    }
    const char close = line.front() == '"' ? '"' : '>';
    const size_t end = line.find(close, 1);
    if (end == std::string_view::npos) {
        return false;
    }
    include.angled = close == '>';
    include.name = std::string(line.substr(1, end - 1));
    return true;
}

bool IsSourceFile(const fs::path& path) {
    const std::string extension = path.extension().string();
    return extension == ".cpp" || extension == ".h" || extension == ".cc" || extension == ".hpp";
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

}  // namespace

LayerTable LayerTable::Parse(std::string_view text) {
    LayerTable table;
    std::map<std::string, int> numbers;
    std::istringstream in{std::string(text)};
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        std::string_view line = raw;
        line = Trimmed(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            throw TableError(number, "no colon after the folder");
        }
        std::string_view head = Trimmed(line.substr(0, colon));
        Line entry;
        if (EndsWith(head, kNoQt)) {
            entry.noQt = true;
            head = Trimmed(head.substr(0, head.size() - kNoQt.size()));
        }
        if (head.empty() || std::any_of(head.begin(), head.end(), [](char c) {
                return std::isspace(static_cast<unsigned char>(c)) != 0;
            })) {
            throw TableError(number, "a line names one folder before its colon");
        }
        std::istringstream arrows{std::string(line.substr(colon + 1))};
        std::string arrow;
        while (arrows >> arrow) {
            entry.arrows.push_back(arrow);
        }
        const std::string folder(head);
        if (!numbers.emplace(folder, number).second) {
            throw TableError(number, folder + " has a line already");
        }
        table.mLines.emplace(folder, std::move(entry));
    }
    const auto isLayer = [&](const std::string& folder) {
        return !IsTestsLine(folder) && table.mLines.count(folder) != 0;
    };
    for (const auto& [folder, entry] : table.mLines) {
        const int at = numbers[folder];
        if (IsTestsLine(folder) && folder != kTestsLine &&
            !isLayer(folder.substr(0, folder.size() - kTestsSuffix.size()))) {
            throw TableError(at, folder + " is the tests folder of no folder of the table");
        }
        for (const std::string& arrow : entry.arrows) {
            const bool testsHelpers = IsTestsLine(folder) && EndsWith(arrow, kTestsSuffix) &&
                                      isLayer(arrow.substr(0, arrow.size() - kTestsSuffix.size()));
            if (!isLayer(arrow) && !testsHelpers) {
                throw TableError(at, folder + " points at " + arrow + ", which has no line");
            }
        }
    }
    return table;
}

const LayerTable::Line* LayerTable::LineOf(const std::string& folder) const {
    const auto found = mLines.find(folder);
    return found == mLines.end() ? nullptr : &found->second;
}

std::string LayerTable::FolderOf(const std::string& path) const {
    const std::vector<std::string> parts = Components(path);
    // The longest folder of the table that holds the file: "ui/main" before "ui".
    for (size_t length = std::min<size_t>(2, parts.size() - (parts.empty() ? 0 : 1)); length > 0;
         --length) {
        std::string folder = parts[0];
        for (size_t i = 1; i < length; ++i) {
            folder += "/" + parts[i];
        }
        if (IsTestsLine(folder) || LineOf(folder) == nullptr) {
            continue;
        }
        if (parts.size() > length + 1 && parts[length] == kTestsLine) {
            folder += kTestsSuffix;
        }
        return folder;
    }
    return {};
}

void LayerTable::Follow(const std::string& folder, std::set<std::string>& reached) const {
    const Line* line = LineOf(folder);
    if (line == nullptr) {
        return;
    }
    for (const std::string& arrow : line->arrows) {
        if (reached.insert(arrow).second) {
            Follow(arrow, reached);
        }
    }
}

std::set<std::string> LayerTable::Reach(const std::string& folder) const {
    std::set<std::string> reached;
    if (!EndsWith(folder, kTestsSuffix)) {
        if (!IsTestsLine(folder)) {
            Follow(folder, reached);
        }
        return reached;
    }
    const std::string tested = folder.substr(0, folder.size() - kTestsSuffix.size());
    if (LineOf(tested) == nullptr) {
        return reached;
    }
    reached.insert(tested);
    Follow(tested, reached);
    // The helpers of the tests below: the fixtures of the folders reached.
    const std::set<std::string> below = reached;
    for (const std::string& target : below) {
        if (target != tested) {
            reached.insert(target + std::string(kTestsSuffix));
        }
    }
    for (const std::string& extra : {std::string(kTestsLine), folder}) {
        if (const Line* line = LineOf(extra)) {
            reached.insert(line->arrows.begin(), line->arrows.end());
        }
    }
    return reached;
}

bool LayerTable::MayInclude(const std::string& from, const std::string& to) const {
    return from == to || Reach(from).count(to) != 0;
}

bool LayerTable::MayIncludeQt(const std::string& folder) const {
    std::string layer = folder;
    if (EndsWith(layer, kTestsSuffix)) {
        layer.resize(layer.size() - kTestsSuffix.size());
    }
    const Line* line = LineOf(layer);
    return line == nullptr || !line->noQt;
}

std::vector<Include> IncludesOf(std::string_view source) {
    std::vector<Include> includes;
    bool inComment = false;
    int number = 0;
    size_t start = 0;
    while (start <= source.size()) {
        size_t end = source.find('\n', start);
        if (end == std::string_view::npos) {
            end = source.size();
        }
        const std::string_view line = source.substr(start, end - start);
        ++number;
        Include include;
        if (!inComment && ReadDirective(line, include)) {
            include.line = number;
            includes.push_back(include);
        }
        inComment = EndsInBlockComment(line, inComment);
        if (end == source.size()) {
            break;
        }
        start = end + 1;
    }
    return includes;
}

std::string Describe(const Violation& violation) {
    if (violation.line == 0) {
        return violation.file + ": " + violation.rule;
    }
    return violation.file + ":" + std::to_string(violation.line) + ": " + violation.include + ": " +
           violation.rule;
}

std::vector<Violation> CheckFile(const LayerTable& table, const fs::path& root,
                                 const std::string& path, std::string_view source) {
    const std::string folder = table.FolderOf(path);
    if (folder.empty()) {
        const std::vector<std::string> parts = Components(path);
        const std::string top = parts.size() > 1 ? parts[0] : std::string(".");
        return {{path, 0, "", "the folder " + top + " has no line in the layer table"}};
    }
    const std::set<std::string> reach = table.Reach(folder);
    const bool qt = table.MayIncludeQt(folder);
    std::vector<Violation> found;
    for (const Include& include : IncludesOf(source)) {
        const auto report = [&](const std::string& rule) {
            found.push_back({path, include.line, Directive(include), rule});
        };
        std::string target;
        if (include.angled) {
            if (IsQtHeader(include.name)) {
                if (!qt) {
                    report(folder + " may not include Qt headers");
                }
                continue;
            }
            // A header of the tree in angle brackets keeps to the table too.
            if (!fs::is_regular_file(root / include.name)) {
                continue;
            }
            target = table.FolderOf(fs::path(include.name).lexically_normal().generic_string());
            if (target.empty()) {
                continue;
            }
        } else {
            const fs::path beside = ((root / path).parent_path() / include.name).lexically_normal();
            if (fs::is_regular_file(beside)) {
                const fs::path relative = beside.lexically_relative(root.lexically_normal());
                if (!relative.empty() && *relative.begin() != "..") {
                    target = table.FolderOf(relative.generic_string());
                }
            } else {
                target = table.FolderOf(fs::path(include.name).lexically_normal().generic_string());
            }
            if (target.empty()) {
                report("neither beside the file nor in a folder of the layer table");
                continue;
            }
        }
        if (target != folder && reach.count(target) == 0) {
            report(folder + " may not include " + target + "; " + ReachText(folder, reach));
        }
    }
    return found;
}

TreeCheck CheckTree(const LayerTable& table, const fs::path& root,
                    const std::vector<fs::path>& skip) {
    std::vector<fs::path> files;
    fs::recursive_directory_iterator walk(root, fs::directory_options::skip_permission_denied);
    for (auto entry = fs::begin(walk); entry != fs::end(walk); ++entry) {
        const fs::path& path = entry->path();
        if (entry->is_directory()) {
            const std::string name = path.filename().string();
            const bool topBuild = entry.depth() == 0 && name == "build";
            const bool skipped = std::any_of(
                skip.begin(), skip.end(), [&](const fs::path& s) { return SameFolder(s, path); });
            if (name.front() == '.' || topBuild || skipped || fs::exists(path / "CMakeCache.txt")) {
                entry.disable_recursion_pending();
            }
            continue;
        }
        if (entry->is_regular_file() && IsSourceFile(path)) {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    TreeCheck check;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::vector<Violation> found =
            CheckFile(table, root, file.lexically_relative(root).generic_string(), text.str());
        check.violations.insert(check.violations.end(), found.begin(), found.end());
        ++check.files;
    }
    return check;
}

}  // namespace layers
