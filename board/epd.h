#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// One line of a perft suite: a FEN, then ";Dn count" for each depth n.
struct SuitePosition {
    std::string fen;
    std::map<int, std::uint64_t> counts;
};

inline std::vector<SuitePosition> readSuite(const std::string& path) {
    std::vector<SuitePosition> positions;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        std::istringstream parts(line);
        SuitePosition position;
        std::getline(parts, position.fen, ';');
        while (!position.fen.empty() && position.fen.back() == ' ') position.fen.pop_back();
        for (std::string entry; std::getline(parts, entry, ';');) {
            std::istringstream fields(entry);
            std::string label;
            std::uint64_t count = 0;
            if (fields >> label >> count && label.size() > 1 && label[0] == 'D')
                position.counts[std::stoi(label.substr(1))] = count;
        }
        if (!position.fen.empty()) positions.push_back(position);
    }
    return positions;
}
