#include "data/ticvane_api.h"

const TicvaneApi& RealTicvaneApi() {
  static const TicvaneApi api{
      &::TicvaneInit,        &::TicvaneEnd,           &::TicvaneGetCodeData,
      &::TicvaneGetCodeInfo, &::TicvaneGetCodeUnit,   &::TicvaneGetPastData,
      &::TicvaneUpdPastData, &::TicvaneClearPastData, &::TicvaneCnvStrWtoH,
  };
  return api;
}
