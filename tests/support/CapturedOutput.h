// Standard output and standard error of the test process, captured around the
// code under test and read back as text. GoogleTest's capture is internal API;
// this is the one place that names it, so a change of it is made here alone.
// One capture of each stream at a time: StartCapturing*, then Captured*, which
// ends the capture and answers what was written since.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

inline void StartCapturingStdout()
{
    testing::internal::CaptureStdout();
}

inline std::string CapturedStdout()
{
    return testing::internal::GetCapturedStdout();
}

inline void StartCapturingStderr()
{
    testing::internal::CaptureStderr();
}

inline std::string CapturedStderr()
{
    return testing::internal::GetCapturedStderr();
}

} // namespace testsupport
