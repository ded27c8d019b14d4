#include "data/program_data.h"

#include "data/code_file.h"

void ProgramData::LoadCodeFile() { ::LoadCodeFile(codeList_, exeDir_); }

bool ProgramData::SaveCodeFile(std::string* error) {
  return ::SaveCodeFile(codeList_, exeDir_, error);
}
