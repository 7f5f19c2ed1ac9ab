#pragma once

// The pauses of the window's module detection, in ms: after the window is
// locked, and after each of the next three steps, so that the window repaints
// and the operator sees each step. The headless mode has nobody watching and
// runs the steps back to back.
namespace DetectionPacing {
inline constexpr int AfterStart = 500;
inline constexpr int BetweenSteps = 100;
} // namespace DetectionPacing
