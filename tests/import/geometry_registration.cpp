// Tests that make a job writer themselves register the coordinate geometry first, as every
// conversion does: the writer's road set hands the job index a transform at once.
#include <gtest/gtest.h>

#include "cogo/transfrm.h"

namespace {

class GeometryRegistration : public ::testing::Environment {
public:
    void SetUp() override { transfrm_Register(); }
};

const ::testing::Environment* const kRegistration =
    ::testing::AddGlobalTestEnvironment(new GeometryRegistration);

}  // namespace
