#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline const std::filesystem::path kFixturesDir = VANTREL_FIXTURES_DIR;

// A writable copy of a fixture tree (or an empty folder), removed with the object, for tests
// whose files change between reads.
class FixtureTree {
public:
    // `fixture` is relative to tests/fixtures, e.g. "gpu/two-gpus"; empty gives an empty root.
    explicit FixtureTree(const std::filesystem::path& fixture = {}) {
        if (!fixture.empty()) {
            std::filesystem::copy(kFixturesDir / fixture, root(),
                                  std::filesystem::copy_options::recursive |
                                      std::filesystem::copy_options::copy_symlinks);
        }
    }
    std::filesystem::path root() const { return dir_.path().toStdString(); }

    // Replaces the file's content, making its folders first. A path is taken relative to the
    // root unless it is absolute.
    void write(const std::filesystem::path& relative, const std::string& text) const {
        const auto path = root() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    std::string read(const std::filesystem::path& relative) const {
        std::ostringstream text;
        text << std::ifstream(root() / relative, std::ios::binary).rdbuf();
        return text.str();
    }

private:
    QTemporaryDir dir_;
};
