#include "program_data.h"

#include "code_file.h"

void ProgramData::LoadCodeFile() { ::LoadCodeFile(codeList_, exeDir_); }

void ProgramData::SaveCodeFile() { ::SaveCodeFile(codeList_, exeDir_); }
