#include <gtest/gtest.h>

#include "testWorld.h"

namespace {

// Every test process starts Allegro without a display: even fixed-point maths reports overflow
// through Allegro's errno pointer, which only exists once the library is installed.
class headlessAllegro : public ::testing::Environment {
  public:
    void SetUp() override { startHeadlessAllegro(); }
};

const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new headlessAllegro());

} // namespace
