#include "data/sector_names.h"

// clang-format off
const std::array<std::string_view, 34> TypeNames = {
    "\x82\xBB\x82\xCC\x91\xBC",                                  //  0 その他
    "\x90\x85\x8E\x59\x81\x45\x94\x5F\x97\xD1\x8B\xC6",          //  1 水産・農林業
    "\x8D\x7A\x8B\xC6",                                          //  2 鉱業
    "\x8C\x9A\x90\xDD\x8B\xC6",                                  //  3 建設業
    "\x90\x48\x97\xBF\x95\x69",                                  //  4 食料品
    "\x91\x40\x88\xDB\x90\xBB\x95\x69",                          //  5 繊維製品
    "\x83\x70\x83\x8B\x83\x76\x81\x45\x8E\x86",                  //  6 パルプ・紙
    "\x89\xBB\x8A\x77",                                          //  7 化学
    "\x88\xE3\x96\xF2\x95\x69",                                  //  8 医薬品
    "\x90\xCE\x96\xFB\x81\x45\x90\xCE\x92\x59\x90\xBB\x95\x69",  //  9 石油・石炭製品
    "\x83\x53\x83\x80\x90\xBB\x95\x69",                          // 10 ゴム製品
    "\x83\x4B\x83\x89\x83\x58\x93\x79\x90\xCE\x90\xBB\x95\x69",  // 11 ガラス土石製品
    "\x93\x53\x8D\x7C",                                          // 12 鉄鋼
    "\x94\xF1\x93\x53\x8B\xE0\x91\xAE",                          // 13 非鉄金属
    "\x8B\xE0\x91\xAE\x90\xBB\x95\x69",                          // 14 金属製品
    "\x8B\x40\x8A\x42",                                          // 15 機械
    "\x93\x64\x8B\x43\x8B\x40\x8A\xED",                          // 16 電気機器
    "\x97\x41\x91\x97\x97\x70\x8B\x40\x8A\xED",                  // 17 輸送用機器
    "\x90\xB8\x96\xA7\x8B\x40\x8A\xED",                          // 18 精密機器
    "\x82\xBB\x82\xCC\x91\xBC\x90\xBB\x95\x69",                  // 19 その他製品
    "\x93\x64\x8B\x43\x81\x45\x83\x4B\x83\x58\x8B\xC6",          // 20 電気・ガス業
    "\x97\xA4\x89\x5E\x8B\xC6",                                  // 21 陸運業
    "\x8A\x43\x89\x5E\x8B\xC6",                                  // 22 海運業
    "\x8B\xF3\x89\x5E\x8B\xC6",                                  // 23 空運業
    "\x91\x71\x8C\xC9\x89\x5E\x97\x41\x8A\xD6\x98\x41",          // 24 倉庫運輸関連
    "\x8F\xEE\x95\xF1\x81\x45\x92\xCA\x90\x4D\x8B\xC6",          // 25 情報・通信業
    "\x89\xB5\x94\x84\x8B\xC6",                                  // 26 卸売業
    "\x8F\xAC\x94\x84\x8B\xC6",                                  // 27 小売業
    "\x8B\xE2\x8D\x73\x8B\xC6",                                  // 28 銀行業
    "\x8F\xD8\x8C\x94\x8F\xA4\x95\x69\x90\xE6\x95\xA8",          // 29 証券商品先物
    "\x95\xDB\x8C\xAF\x8B\xC6",                                  // 30 保険業
    "\x82\xBB\x82\xCC\x91\xBC\x8B\xE0\x97\x5A\x8B\xC6",          // 31 その他金融業
    "\x95\x73\x93\xAE\x8E\x59\x8B\xC6",                          // 32 不動産業
    "\x83\x54\x81\x5B\x83\x72\x83\x58\x8B\xC6",                  // 33 サービス業
};
// clang-format on

std::string_view TypeName(int32_t type) {
  if (type < 0 || type >= static_cast<int32_t>(TypeNames.size())) return TypeNames[0];
  return TypeNames[static_cast<size_t>(type)];
}
