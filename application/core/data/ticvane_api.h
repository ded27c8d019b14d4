#pragma once
// The nine library functions the program calls, as one table, so that the
// tests can stand a fake library in for the real one. The real table refers to
// the exports, so the program still links the library at load time.

#include "ticvane.h"

struct TicvaneApi {
  decltype(&::TicvaneInit) Init;
  decltype(&::TicvaneEnd) End;
  decltype(&::TicvaneGetCodeData) GetCodeData;
  decltype(&::TicvaneGetCodeInfo) GetCodeInfo;
  decltype(&::TicvaneGetCodeUnit) GetCodeUnit;
  decltype(&::TicvaneGetPastData) GetPastData;
  decltype(&::TicvaneUpdPastData) UpdPastData;
  decltype(&::TicvaneClearPastData) ClearPastData;
  decltype(&::TicvaneCnvStrWtoH) CnvStrWtoH;
};

// The table of the real library's exports.
const TicvaneApi& RealTicvaneApi();
