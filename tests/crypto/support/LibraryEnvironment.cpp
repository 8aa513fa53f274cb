// Every crypto test runs with the library started as the program starts it.
#include <gtest/gtest.h>

#include "crypto/startup/CryptoLibrary.h"

namespace {

class CryptoLibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override { kd::InitializeCryptoLibrary(); }
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new CryptoLibraryEnvironment);

} // namespace
