// The one test that calls the real library: a conversion that needs no
// network and no TicvaneInit.
#include <gtest/gtest.h>

#include "data/short_text.h"
#include "data/ticvane_api.h"

namespace {

TEST(RealTicvane, FullWidthLettersAndBracketsBecomeHalfWidth) {
  // ＡＢＣ（株） -> ABC(株)
  const ShortText converted =
      RealTicvaneApi().CnvStrWtoH(ToShortText("\x82\x60\x82\x61\x82\x62\x81\x69\x8A\x94\x81\x6A"));
  EXPECT_EQ(FromShortText(converted), "\x41\x42\x43\x28\x8A\x94\x29");
}

}  // namespace
