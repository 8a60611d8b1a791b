// A folder of a test's own in the temporary folder, made empty before the test and removed
// after it, with the few ways the tests reach its files.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quobrel::testing {

namespace fs = std::filesystem;

class TestFolder {
 protected:
  // Called from SetUp and TearDown; `name` tells the test's folder from its neighbours'.
  void MakeFolder(const std::string& name) {
    folder = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void RemoveFolder() const { fs::remove_all(folder); }

  fs::path Path(const std::string& name) const { return folder / name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The names in the folder, hidden temporary files included.
  std::vector<std::string> Names(const std::string& subfolder = "") const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder / subfolder))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder;
};

}  // namespace quobrel::testing
