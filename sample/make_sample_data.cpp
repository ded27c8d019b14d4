// Writes the sample program directory (see sample_directory.h).
//
//   make_sample_data <directory>

#include <cstdio>
#include <exception>

#include "sample_directory.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_data <directory>\n");
    return 2;
  }
  try {
    WriteSampleDirectory(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_sample_data: %s\n", error.what());
    return 1;
  }
  return 0;
}
