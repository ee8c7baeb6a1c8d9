// Starting a PcscdFixture inside a GoogleTest test: skipped with the reason where no private
// pcscd can run (not root, no mount namespaces), a failure with the reason otherwise.
#pragma once

#include <gtest/gtest.h>

#include "pcscd_fixture.h"

#define LAPDEX_START_PCSCD(rig)                                           \
    do {                                                                  \
        const ::testsupport::FixtureResult lapdexStarted = (rig).start(); \
        if (lapdexStarted.skipped) GTEST_SKIP() << lapdexStarted.error;   \
        ASSERT_TRUE(lapdexStarted) << lapdexStarted.error;                \
    } while (false)
