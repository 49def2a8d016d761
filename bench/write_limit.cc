// The write limit: writes the files that a conversion wrote, with the same
// names and sizes, through the same path as the converter (a temporary file
// claimed exclusively, one write, one file-system sync per chunk of files,
// close, rename over the target), and does nothing else. Its time is what
// the disk and the file system ask for the outputs alone.
//
//   write_limit MANIFEST FOLDER
//
// MANIFEST holds one "SIZE NAME" line per file; the files go into FOLDER.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/posix/posix_platform.h"
#include "platform/publish_queue.h"
#include "platform/replacing_file.h"

namespace {

struct COutput {
  std::size_t size;
  std::string name;
};

bool ReadManifest(const char* path, std::vector<COutput>* outputs,
                  std::size_t* largest) {
  std::ifstream in(path);
  if (!in) return false;
  COutput output;
  while (in >> output.size >> output.name) {
    if (output.size > *largest) *largest = output.size;
    outputs->push_back(output);
  }
  return in.eof();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: write_limit MANIFEST FOLDER\n";
    return 2;
  }
  std::vector<COutput> outputs;
  std::size_t largest = 0;
  if (!ReadManifest(argv[1], &outputs, &largest)) {
    std::cerr << "write_limit: cannot read " << argv[1] << "\n";
    return 2;
  }
  // The bytes do not matter to the file system; one buffer serves all.
  const std::vector<char> bytes(largest, 'x');
  CPosixPlatform platform;
  const std::string folder = std::string(argv[2]) + "/";
  // Published as the converter publishes: synced a chunk at a time.
  CPublishQueue queue(platform, folder);
  try {
    for (const COutput& output : outputs) {
      CReplacingFile file(platform, folder + output.name, &queue);
      if (file.Write(bytes.data(), output.size) != output.size) {
        std::cerr << "write_limit: short write: " << output.name << "\n";
        return 1;
      }
      file.Close();
      if (queue.full() && !queue.Publish().empty()) {
        std::cerr << "write_limit: cannot publish\n";
        return 1;
      }
    }
    if (!queue.Publish().empty()) {
      std::cerr << "write_limit: cannot publish\n";
      return 1;
    }
  } catch (const CFileException& e) {
    std::cerr << "write_limit: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
