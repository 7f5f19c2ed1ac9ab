#pragma once

// The pauses of a module detection, in ms: after the window is locked, and
// after each of the next three steps. They give the module time to settle
// between the steps and the window time to repaint; the headless mode keeps
// the same pace.
namespace DetectionPacing {
inline constexpr int AfterStart = 500;
inline constexpr int BetweenSteps = 100;
} // namespace DetectionPacing
