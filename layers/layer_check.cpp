// tq_layer_check TABLE ROOT [SKIP...]: compares every #include of the .cpp
// and .h files under ROOT with the layer table and prints each one that
// breaks it, as "file:line: #include ...: rule". Exit status 0 when none
// does, 1 when one does, 2 when the table or the tree cannot be read.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "layers/layer_rules.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: " << argv[0] << " TABLE ROOT [SKIP...]\n";
        return 2;
    }
    const std::filesystem::path tablePath = argv[1];
    std::ifstream in(tablePath);
    if (!in) {
        std::cerr << "cannot read the layer table " << tablePath.string() << "\n";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
        const layers::LayerTable table = layers::LayerTable::Parse(text.str());
        const std::vector<std::filesystem::path> skip(argv + 3, argv + argc);
        const layers::TreeCheck check =
            layers::CheckTree(table, std::filesystem::canonical(argv[2]), skip);
        if (check.files == 0) {
            std::cerr << "no .cpp or .h file under " << argv[2] << "\n";
            return 2;
        }
        for (const layers::Violation& violation : check.violations) {
            std::cout << layers::Describe(violation) << "\n";
        }
        if (!check.violations.empty()) {
            std::cout << check.violations.size() << " of the includes of " << check.files
                      << " files break the layer table " << tablePath.string() << "\n";
            return 1;
        }
        std::cout << check.files << " files checked: every include keeps to the layer table\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << tablePath.string() << ": " << error.what() << "\n";
        return 2;
    }
}
