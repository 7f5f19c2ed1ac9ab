#pragma once

#include <QObject>

#include <cstdint>

// The enumerations of the plot control. They live in a namespace of their own,
// registered with the meta-object system, so that the plot list can use them
// without the widget and Designer and .ui files can set them by name. They are
// scoped because a bare None collides with the X11 headers.
namespace XYPlotTypes {
Q_NAMESPACE

enum class TPlotStyle : std::uint8_t {
    Line = 0,
    Points = 1,
    OpenPoints = 2,
    LinePoints = 3,
    LineOpenPoints = 4,
};
Q_ENUM_NS(TPlotStyle)

enum class TAxisFormat : std::uint8_t {
    Linear = 0,
    Log = 1,
};
Q_ENUM_NS(TAxisFormat)

enum class TAxisStyle : std::uint8_t {
    Box = 0,
    Centered = 1,
    CenteredBox = 2,
    LB = 3,
    None = 4,
};
Q_ENUM_NS(TAxisStyle)

// The values under their bare names in the namespace, as code that uic
// generates from a form names them (XYPlotTypes::Box).
inline constexpr TPlotStyle Line = TPlotStyle::Line;
inline constexpr TPlotStyle Points = TPlotStyle::Points;
inline constexpr TPlotStyle OpenPoints = TPlotStyle::OpenPoints;
inline constexpr TPlotStyle LinePoints = TPlotStyle::LinePoints;
inline constexpr TPlotStyle LineOpenPoints = TPlotStyle::LineOpenPoints;
inline constexpr TAxisFormat Linear = TAxisFormat::Linear;
inline constexpr TAxisFormat Log = TAxisFormat::Log;
inline constexpr TAxisStyle Box = TAxisStyle::Box;
inline constexpr TAxisStyle Centered = TAxisStyle::Centered;
inline constexpr TAxisStyle CenteredBox = TAxisStyle::CenteredBox;
inline constexpr TAxisStyle LB = TAxisStyle::LB;
inline constexpr TAxisStyle None = TAxisStyle::None;

} // namespace XYPlotTypes

using XYPlotTypes::TAxisFormat;
using XYPlotTypes::TAxisStyle;
using XYPlotTypes::TPlotStyle;
